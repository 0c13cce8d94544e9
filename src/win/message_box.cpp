#include "win/message_box.h"

#include <cstddef>
#include <string>

#include "ui/texts.h"
#include "win/win32_text.h"
#include "win/window_queries.h"

namespace harvelin::win {

namespace {

HHOOK boxHook = nullptr;

// The program file's name without its extension, as message boxes carry it.
std::wstring programName()
{
    wchar_t path[MAX_PATH] = {};
    ::GetModuleFileNameW(nullptr, path, MAX_PATH);
    std::wstring name = path;
    const std::size_t slash = name.find_last_of(L"\\/");
    if (slash != std::wstring::npos)
        name.erase(0, slash + 1);
    const std::size_t dot = name.rfind(L'.');
    if (dot != std::wstring::npos && dot > 0)
        name.erase(dot);
    return name;
}

// Some systems (Wine among them) size a message box to its text alone, and a
// short text then leaves the caption cut ("ha… n"). The box is widened to
// show its caption whole, its buttons kept in the middle.
void widenToCaption(HWND box)
{
    NONCLIENTMETRICSW metrics{};
    metrics.cbSize = sizeof metrics;
    if (!::SystemParametersInfoW(SPI_GETNONCLIENTMETRICS, sizeof metrics, &metrics, 0))
        return;
    const std::wstring caption = windowText(box);
    HFONT font = ::CreateFontIndirectW(&metrics.lfCaptionFont);
    HDC dc = ::GetDC(box);
    const HGDIOBJ old = ::SelectObject(dc, font);
    SIZE extent{};
    ::GetTextExtentPoint32W(dc, caption.c_str(), static_cast<int>(caption.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(box, dc);
    ::DeleteObject(font);
    // The icon, the text, and room for the frame's buttons and edges.
    const int needed = extent.cx + ::GetSystemMetrics(SM_CXSMICON) + 4 * ::GetSystemMetrics(SM_CXSIZE) +
                       2 * ::GetSystemMetrics(SM_CXFRAME) + 24;
    RECT place{};
    ::GetWindowRect(box, &place);
    const int grow = needed - (place.right - place.left);
    if (grow <= 0)
        return;
    ::SetWindowPos(box, nullptr, place.left - grow / 2, place.top, needed, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    for (HWND child = ::GetWindow(box, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (::lstrcmpiW(className(child).c_str(), L"Button") != 0)
            continue;
        RECT button{};
        ::GetWindowRect(child, &button);
        ::MapWindowPoints(nullptr, box, reinterpret_cast<POINT*>(&button), 2);
        ::SetWindowPos(child, nullptr, button.left + grow / 2, button.top, 0, 0,
                       SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    }
}

// As a box opens: its caption shown whole, and a question's answers named in
// the form's language, whatever the system's is.
LRESULT CALLBACK fitBox(int code, WPARAM wParam, LPARAM lParam)
{
    if (code == HCBT_ACTIVATE) {
        const HWND box = reinterpret_cast<HWND>(wParam);
        if (::GetDlgItem(box, IDYES)) {
            ::SetDlgItemTextW(box, IDYES, wideFromBytes(std::string(localized(FormText::YesButton))).c_str());
            ::SetDlgItemTextW(box, IDNO, wideFromBytes(std::string(localized(FormText::NoButton))).c_str());
        }
        widenToCaption(box);
    }
    return ::CallNextHookEx(boxHook, code, wParam, lParam);
}

}  // namespace

int showMessageBox(HWND owner, const std::wstring& text, UINT type)
{
    boxHook = ::SetWindowsHookExW(WH_CBT, fitBox, nullptr, ::GetCurrentThreadId());
    const int answer = ::MessageBoxW(owner, text.c_str(), programName().c_str(), type);
    if (boxHook)
        ::UnhookWindowsHookEx(boxHook);
    boxHook = nullptr;
    return answer;
}

}  // namespace harvelin::win
