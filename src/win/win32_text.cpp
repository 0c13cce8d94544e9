#include "win/win32_text.h"

#include "win/windows_api.h"

#include "model/win1252.h"

namespace harvelin::win {

std::wstring wideFromUtf8(const std::string& utf8)
{
    if (utf8.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(n > 0 ? n : 0), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

std::string utf8FromWide(const std::wstring& text)
{
    if (text.empty())
        return {};
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), nullptr, 0,
                                        nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(n > 0 ? n : 0), '\0');
    if (n > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text.data(), static_cast<int>(text.size()), utf8.data(), n, nullptr,
                              nullptr);
    return utf8;
}

std::wstring wideFromBytes(const std::string& windows1252) { return wideFromUtf8(win1252ToUtf8(windows1252)); }

std::optional<std::string> bytesFromWide(const std::wstring& text) { return utf8ToWin1252(utf8FromWide(text)); }

}  // namespace harvelin::win
