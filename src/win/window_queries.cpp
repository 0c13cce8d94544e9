#include "win/window_queries.h"

#include <algorithm>
#include <cstddef>

namespace harvelin::win {

std::wstring windowText(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    const int got = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

std::wstring className(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

bool isEdit(HWND window) { return window && ::lstrcmpiW(className(window).c_str(), L"Edit") == 0; }
bool isListBox(HWND window) { return window && ::lstrcmpiW(className(window).c_str(), L"ListBox") == 0; }

std::wstring listLine(HWND list)
{
    const LRESULT length = ::SendMessageW(list, LB_GETTEXTLEN, 0, 0);
    if (length <= 0)
        return {};
    std::wstring text(static_cast<std::size_t>(length) + 1, L'\0');
    ::SendMessageW(list, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text.data()));
    text.resize(static_cast<std::size_t>(length));
    return text;
}

bool isLabel(HWND window)
{
    return ::lstrcmpiW(className(window).c_str(), L"Static") == 0 &&
           (::GetWindowLongPtrW(window, GWL_STYLE) & SS_TYPEMASK) == SS_LEFT;
}

}  // namespace harvelin::win
