#include "files/replacing_file.h"

#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

#include "files/texts.h"
#include "model/win1252.h"

namespace harvelin {

namespace {

// How often a fresh temporary name is tried when one is taken already.
constexpr int TemporaryNameAttempts = 100;

std::string reasonFor(int errorNumber)
{
    switch (errorNumber) {
    case ENOENT: return std::string(localized(FilesText::NotFound));
    case EACCES:
    case EPERM: return std::string(localized(FilesText::AccessDenied));
    case ENOSPC:
#ifdef EDQUOT
    case EDQUOT:
#endif
        return std::string(localized(FilesText::DiskFull));
    case EROFS: return std::string(localized(FilesText::WriteProtected));
    case EISDIR: return std::string(localized(FilesText::IsDirectory));
    case ENOTDIR: return std::string(localized(FilesText::PartNotDirectory));
    case ENAMETOOLONG: return std::string(localized(FilesText::NameTooLong));
    case EFBIG: return std::string(localized(FilesText::BeyondSystemSize));
    case EIO: return std::string(localized(FilesText::InputOutputError));
    case EMFILE:
    case ENFILE: return std::string(localized(FilesText::TooManyOpenFiles));
    default: return localized(FilesText::SystemError, {std::to_string(errorNumber)});
    }
}

// The file a save really replaces: through a symbolic link, its target, so
// the link keeps pointing at the configuration.
std::string resolvedTarget(const std::string& path)
{
    struct stat st {};
    if (::lstat(path.c_str(), &st) != 0 || !S_ISLNK(st.st_mode))
        return path;
    char* real = ::realpath(path.c_str(), nullptr);
    if (!real)
        return path;
    std::string resolved(real);
    std::free(real);
    return resolved;
}

std::string directoryOf(const std::string& path)
{
    const auto slash = path.find_last_of('/');
    if (slash == std::string::npos)
        return ".";
    return slash == 0 ? "/" : path.substr(0, slash);
}

// A save that was killed midway leaves its temporary file "TARGET.~PID.N.tmp"
// behind. The next save beside the same file removes those whose process is
// gone; a process that still runs may be saving right now.
void removeAbandonedTemporaries(const std::string& target)
{
    const auto slash = target.find_last_of('/');
    const std::string base = slash == std::string::npos ? target : target.substr(slash + 1);
    const std::string dirPath = directoryOf(target);
    DIR* dir = ::opendir(dirPath.c_str());
    if (!dir)
        return;
    const std::string prefix = base + ".~";
    while (const dirent* entry = ::readdir(dir)) {
        const std::string_view name(entry->d_name);
        if (name.size() <= prefix.size() || name.substr(0, prefix.size()) != prefix)
            continue;
        // PID "." N ".tmp", digits only.
        const std::string_view rest = name.substr(prefix.size());
        const auto dot = rest.find('.');
        const std::string_view suffix = ".tmp";
        if (dot == 0 || dot == std::string_view::npos || rest.size() <= dot + 1 + suffix.size() ||
            rest.substr(rest.size() - suffix.size()) != suffix)
            continue;
        const std::string_view pid = rest.substr(0, dot);
        const std::string_view serial = rest.substr(dot + 1, rest.size() - dot - 1 - suffix.size());
        const auto digits = [](std::string_view t) {
            return !t.empty() && t.size() <= 18 && t.find_first_not_of("0123456789") == std::string_view::npos;
        };
        if (!digits(pid) || !digits(serial))
            continue;
        const long long id = std::stoll(std::string(pid));
        if (id <= 0 || id > INT_MAX || id == ::getpid())
            continue;
        if (::kill(static_cast<pid_t>(id), 0) == 0 || errno != ESRCH)
            continue;
        const std::string path = dirPath == "/" ? "/" + std::string(name) : dirPath + "/" + std::string(name);
        struct stat st {};
        if (::lstat(path.c_str(), &st) == 0 && S_ISREG(st.st_mode) && st.st_uid == ::geteuid())
            ::unlink(path.c_str());
    }
    ::closedir(dir);
}

}  // namespace

struct ReplacingFile::Impl {
    std::string target;
    std::string temporary;
    int fd = -1;
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
    // Only a regular file or a missing one is replaced. A link that points
    // nowhere would otherwise become a file of its own.
    struct stat link {};
    struct stat st {};
    const bool isLink = ::lstat(target_.c_str(), &link) == 0 && S_ISLNK(link.st_mode);
    if (isLink && naming_ == FileNaming::MadeUp) {
        error_ = madeUpNameIsLinkReason();
        return false;
    }
    if (isLink && ::stat(target_.c_str(), &st) != 0) {
        error_ = danglingLinkReason();
        return false;
    }
    if (::stat(target_.c_str(), &st) == 0 && !S_ISREG(st.st_mode)) {
        error_ = S_ISDIR(st.st_mode) ? directoryReason() : notRegularFileReason();
        return false;
    }
    impl_ = std::make_unique<Impl>();
    // A made-up name is replaced as it stands: rename() puts the file in
    // place of a link planted meanwhile, never into the file it points at.
    impl_->target = naming_ == FileNaming::MadeUp ? target_ : resolvedTarget(target_);
    // Renaming over a file needs no right to write it; a file the user may
    // not write is refused here, as writing into it would be.
    if (::access(impl_->target.c_str(), F_OK) == 0 && ::access(impl_->target.c_str(), W_OK) != 0) {
        error_ = reasonFor(errno);
        impl_.reset();
        return false;
    }
    removeAbandonedTemporaries(impl_->target);
    static unsigned counter = 0;
    for (int attempt = 0; attempt < TemporaryNameAttempts; ++attempt) {
        char suffix[48];
        std::snprintf(suffix, sizeof suffix, ".~%ld.%u.tmp", static_cast<long>(::getpid()), counter++);
        const std::string name = impl_->target + suffix;
        // 0666 under the umask: the mode a plain new file would get. A name
        // that is taken, by a link too, is passed over, never opened.
        const int fd = ::open(name.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_NOFOLLOW | O_CLOEXEC, 0666);
        if (fd >= 0) {
            impl_->fd = fd;
            impl_->temporary = name;
            break;
        }
        if (errno != EEXIST) {
            error_ = reasonFor(errno);
            impl_.reset();
            return false;
        }
    }
    if (impl_->fd < 0) {
        error_ = reasonFor(EEXIST);
        impl_.reset();
        return false;
    }
    // A replaced file keeps its permissions.
    if (::lstat(impl_->target.c_str(), &st) == 0 && S_ISREG(st.st_mode))
        (void)::fchmod(impl_->fd, st.st_mode & 07777);
    return true;
}

bool ReplacingFile::write(std::string_view bytes)
{
    if (!impl_ || impl_->fd < 0)
        return false;
    while (!bytes.empty()) {
        const ssize_t n = ::write(impl_->fd, bytes.data(), bytes.size());
        if (n < 0) {
            if (errno == EINTR)
                continue;
            error_ = reasonFor(errno);
            return false;
        }
        bytes.remove_prefix(static_cast<std::size_t>(n));
    }
    return true;
}

bool ReplacingFile::commit()
{
    if (!impl_ || impl_->fd < 0)
        return false;
    // The bytes must be on the disk before the name points at them, or a
    // power cut right after the rename could leave an empty file.
    if (::fsync(impl_->fd) != 0) {
        error_ = reasonFor(errno);
        discard();
        return false;
    }
    const int fd = impl_->fd;
    impl_->fd = -1;
    if (::close(fd) != 0) {
        error_ = reasonFor(errno);
        discard();
        return false;
    }
    if (::rename(impl_->temporary.c_str(), impl_->target.c_str()) != 0) {
        error_ = reasonFor(errno);
        discard();
        return false;
    }
    impl_->committed = true;
    // Makes the rename itself durable; where a directory cannot be synced the
    // new file is in place all the same.
    const int dir = ::open(directoryOf(impl_->target).c_str(), O_RDONLY | O_CLOEXEC);
    if (dir >= 0) {
        (void)::fsync(dir);
        ::close(dir);
    }
    impl_.reset();
    return true;
}

void ReplacingFile::discard()
{
    if (!impl_)
        return;
    if (impl_->fd >= 0)
        ::close(impl_->fd);
    if (!impl_->committed && !impl_->temporary.empty())
        ::unlink(impl_->temporary.c_str());
    impl_.reset();
}

struct InputFile::Impl {
    int fd = -1;
};

InputFile::InputFile() = default;

InputFile::~InputFile()
{
    if (impl_ && impl_->fd >= 0)
        ::close(impl_->fd);
}

namespace {

// Empty when `st` describes a file that may be read.
std::string refusalFor(const struct stat& st, std::size_t maxBytes)
{
    if (S_ISDIR(st.st_mode))
        return directoryReason();
    if (!S_ISREG(st.st_mode))
        return notRegularFileReason();
    if (static_cast<std::uintmax_t>(st.st_size) > maxBytes)
        return tooLargeReason(maxBytes);
    return {};
}

}  // namespace

bool InputFile::open(const std::string& path, std::size_t maxBytes)
{
    // Judged before opening: opening a serial device would change its
    // lines, and opening a FIFO would wait for a writer.
    struct stat st {};
    if (::stat(path.c_str(), &st) != 0) {
        error_ = reasonFor(errno);
        return false;
    }
    if (error_ = refusalFor(st, maxBytes); !error_.empty())
        return false;
    const int fd = ::open(path.c_str(), O_RDONLY | O_CLOEXEC | O_NOCTTY | O_NONBLOCK);
    if (fd < 0) {
        error_ = reasonFor(errno);
        return false;
    }
    // The name may have changed hands between the look and the open.
    if (::fstat(fd, &st) != 0 || !(error_ = refusalFor(st, maxBytes)).empty()) {
        if (error_.empty())
            error_ = reasonFor(errno);
        ::close(fd);
        return false;
    }
    (void)::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) & ~O_NONBLOCK);
    if (impl_ && impl_->fd >= 0)
        ::close(impl_->fd);
    impl_ = std::make_unique<Impl>();
    impl_->fd = fd;
    return true;
}

std::optional<std::size_t> InputFile::read(char* buffer, std::size_t size)
{
    if (!impl_ || impl_->fd < 0)
        return std::nullopt;
    for (;;) {
        const ssize_t n = ::read(impl_->fd, buffer, size);
        if (n >= 0)
            return static_cast<std::size_t>(n);
        if (errno != EINTR) {
            error_ = reasonFor(errno);
            return std::nullopt;
        }
    }
}

}  // namespace harvelin
