#include "gui/win32_system_menu.h"

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>

namespace harvelin::gui::win32 {

void appendAboutEntry(void* window, const char* utf8Text)
{
    HMENU menu = ::GetSystemMenu(static_cast<HWND>(window), FALSE);
    if (!menu)
        return;
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8Text, -1, nullptr, 0);
    if (n <= 0)
        return;
    std::wstring text(static_cast<std::size_t>(n), L'\0');
    ::MultiByteToWideChar(CP_UTF8, 0, utf8Text, -1, text.data(), n);
    ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
    ::AppendMenuW(menu, MF_STRING, AboutCommandId, text.c_str());
}

bool isAboutCommand(const void* message)
{
    const MSG* msg = static_cast<const MSG*>(message);
    return msg->message == WM_SYSCOMMAND && (msg->wParam & 0xFFF0) == AboutCommandId;
}

}  // namespace harvelin::gui::win32
