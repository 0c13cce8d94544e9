#include "files/replacing_file.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#include <windows.h>

#include <cstdio>
#include <cwctype>

#include "files/texts.h"
#include "model/win1252.h"

namespace harvelin {

namespace {

constexpr int TemporaryNameAttempts = 100;

std::wstring widePath(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    if (n <= 0)
        return {};
    std::wstring wide(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string reasonFor(DWORD code)
{
    switch (code) {
    case ERROR_FILE_NOT_FOUND:
    case ERROR_PATH_NOT_FOUND: return std::string(localized(FilesText::NotFound));
    case ERROR_ACCESS_DENIED: return std::string(localized(FilesText::AccessDenied));
    case ERROR_SHARING_VIOLATION:
    case ERROR_LOCK_VIOLATION: return std::string(localized(FilesText::InUse));
    case ERROR_DISK_FULL:
    case ERROR_HANDLE_DISK_FULL: return std::string(localized(FilesText::DiskFull));
    case ERROR_WRITE_PROTECT: return std::string(localized(FilesText::WriteProtected));
    case ERROR_NOT_READY: return std::string(localized(FilesText::DriveNotReady));
    case ERROR_INVALID_NAME:
    case ERROR_BAD_PATHNAME: return std::string(localized(FilesText::InvalidName));
    case ERROR_FILENAME_EXCED_RANGE: return std::string(localized(FilesText::NameTooLong));
    default: return localized(FilesText::SystemError, {std::to_string(static_cast<unsigned long>(code))});
    }
}

// Names of the system's devices ("COM3", "\\.\COM12", "NUL", "con.txt"):
// never a file, and opening one would talk to the device.
bool namesDevice(const std::wstring& path)
{
    if (path.rfind(L"\\\\.\\", 0) == 0)
        return true;
    std::size_t start = path.find_last_of(L"\\/:");
    start = start == std::wstring::npos ? 0 : start + 1;
    std::wstring base = path.substr(start, path.find(L'.', start) - start);
    for (auto& c : base)
        c = static_cast<wchar_t>(::towupper(c));
    while (!base.empty() && base.back() == L' ')
        base.pop_back();
    static const wchar_t* const Reserved[] = {L"CON", L"PRN", L"AUX", L"NUL"};
    for (const wchar_t* name : Reserved)
        if (base == name)
            return true;
    return base.size() == 4 && (base.rfind(L"COM", 0) == 0 || base.rfind(L"LPT", 0) == 0) && base[3] >= L'0' &&
           base[3] <= L'9';
}

// Empty when `path` may be replaced by a file: it is missing or a file.
std::string refusalForTarget(const std::wstring& path, FileNaming naming)
{
    if (namesDevice(path))
        return notRegularFileReason();
    const DWORD attributes = ::GetFileAttributesW(path.c_str());
    if (attributes == INVALID_FILE_ATTRIBUTES)
        return {};
    // Symbolic links and junctions are reparse points.
    if (naming == FileNaming::MadeUp && (attributes & FILE_ATTRIBUTE_REPARSE_POINT))
        return madeUpNameIsLinkReason();
    if (attributes & FILE_ATTRIBUTE_DIRECTORY)
        return directoryReason();
    // A write-protected file is refused before anything is written. Windows
    // would refuse the final replacement too, but only after the whole
    // read-out, and not every system that runs this program does.
    if (attributes & FILE_ATTRIBUTE_READONLY)
        return reasonFor(ERROR_ACCESS_DENIED);
    return {};
}

}  // namespace

struct ReplacingFile::Impl {
    std::wstring target;
    std::wstring temporary;
    HANDLE handle = INVALID_HANDLE_VALUE;
    bool committed = false;
};

ReplacingFile::ReplacingFile(std::string targetPath, FileNaming naming)
    : target_(std::move(targetPath)), naming_(naming)
{
}

ReplacingFile::~ReplacingFile() { discard(); }

bool ReplacingFile::create()
{
    discard();
    impl_ = std::make_unique<Impl>();
    impl_->target = widePath(target_);
    if (impl_->target.empty()) {
        error_ = reasonFor(ERROR_INVALID_NAME);
        impl_.reset();
        return false;
    }
    if (error_ = refusalForTarget(impl_->target, naming_); !error_.empty()) {
        impl_.reset();
        return false;
    }
    static unsigned counter = 0;
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        wchar_t suffix[48];
        std::swprintf(suffix, 48, L".~%lu.%u.tmp", static_cast<unsigned long>(::GetCurrentProcessId()), counter++);
        const std::wstring name = impl_->target + suffix;
        // A name that is taken, by a link too, is passed over, never opened.
        const HANDLE h = ::CreateFileW(name.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_NEW,
                                       FILE_ATTRIBUTE_NORMAL | FILE_FLAG_OPEN_REPARSE_POINT, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            impl_->handle = h;
            impl_->temporary = name;
            return true;
        }
        const DWORD code = ::GetLastError();
        if (code != ERROR_FILE_EXISTS && code != ERROR_ALREADY_EXISTS) {
            error_ = reasonFor(code);
            impl_.reset();
            return false;
        }
    }
    error_ = reasonFor(ERROR_FILE_EXISTS);
    impl_.reset();
    return false;
}

bool ReplacingFile::write(std::string_view bytes)
{
    if (!impl_ || impl_->handle == INVALID_HANDLE_VALUE)
        return false;
    while (!bytes.empty()) {
        DWORD written = 0;
        if (!::WriteFile(impl_->handle, bytes.data(), static_cast<DWORD>(bytes.size()), &written, nullptr)) {
            error_ = reasonFor(::GetLastError());
            return false;
        }
        bytes.remove_prefix(written);
    }
    return true;
}

bool ReplacingFile::commit()
{
    if (!impl_ || impl_->handle == INVALID_HANDLE_VALUE)
        return false;
    // The bytes must be on the disk before the name points at them.
    if (!::FlushFileBuffers(impl_->handle)) {
        error_ = reasonFor(::GetLastError());
        discard();
        return false;
    }
    ::CloseHandle(impl_->handle);
    impl_->handle = INVALID_HANDLE_VALUE;
    if (!::MoveFileExW(impl_->temporary.c_str(), impl_->target.c_str(),
                       MOVEFILE_REPLACE_EXISTING | MOVEFILE_WRITE_THROUGH)) {
        error_ = reasonFor(::GetLastError());
        discard();
        return false;
    }
    impl_->committed = true;
    impl_.reset();
    return true;
}

void ReplacingFile::discard()
{
    if (!impl_)
        return;
    if (impl_->handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(impl_->handle);
    if (!impl_->committed && !impl_->temporary.empty())
        ::DeleteFileW(impl_->temporary.c_str());
    impl_.reset();
}

struct InputFile::Impl {
    HANDLE handle = INVALID_HANDLE_VALUE;
};

InputFile::InputFile() = default;

InputFile::~InputFile()
{
    if (impl_ && impl_->handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(impl_->handle);
}

bool InputFile::open(const std::string& path, std::size_t maxBytes)
{
    const std::wstring wide = widePath(path);
    if (!wide.empty() && namesDevice(wide)) {
        error_ = notRegularFileReason();
        return false;
    }
    const HANDLE h = wide.empty() ? INVALID_HANDLE_VALUE
                                  : ::CreateFileW(wide.c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr,
                                                  OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (h == INVALID_HANDLE_VALUE) {
        error_ = reasonFor(wide.empty() ? ERROR_INVALID_NAME : ::GetLastError());
        return false;
    }
    LARGE_INTEGER size{};
    if (::GetFileType(h) != FILE_TYPE_DISK) {
        error_ = notRegularFileReason();
    } else if (!::GetFileSizeEx(h, &size)) {
        error_ = reasonFor(::GetLastError());
    } else if (static_cast<unsigned long long>(size.QuadPart) > maxBytes) {
        error_ = tooLargeReason(maxBytes);
    }
    if (!error_.empty()) {
        ::CloseHandle(h);
        return false;
    }
    if (impl_ && impl_->handle != INVALID_HANDLE_VALUE)
        ::CloseHandle(impl_->handle);
    impl_ = std::make_unique<Impl>();
    impl_->handle = h;
    return true;
}

std::optional<std::size_t> InputFile::read(char* buffer, std::size_t size)
{
    if (!impl_ || impl_->handle == INVALID_HANDLE_VALUE)
        return std::nullopt;
    DWORD got = 0;
    if (!::ReadFile(impl_->handle, buffer, static_cast<DWORD>(size), &got, nullptr)) {
        error_ = reasonFor(::GetLastError());
        return std::nullopt;
    }
    return static_cast<std::size_t>(got);
}

}  // namespace harvelin
