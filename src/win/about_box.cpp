#include "win/about_box.h"

#include <algorithm>

#include "ui/dialog_layout.h"
#include "win/dialog_template.h"

namespace harvelin::win {

namespace {

// Puts a box in the middle of its owner, kept inside the owner's monitor's
// work area, as dialogs of the form's kind open.
void centreOnOwner(HWND box)
{
    const HWND owner = ::GetWindow(box, GW_OWNER);
    RECT ownerRect{};
    RECT boxRect{};
    if (!owner || !::GetWindowRect(owner, &ownerRect) || !::GetWindowRect(box, &boxRect))
        return;
    const LONG width = boxRect.right - boxRect.left;
    const LONG height = boxRect.bottom - boxRect.top;
    LONG left = ownerRect.left + (ownerRect.right - ownerRect.left - width) / 2;
    LONG top = ownerRect.top + (ownerRect.bottom - ownerRect.top - height) / 2;
    MONITORINFO monitor{};
    monitor.cbSize = sizeof monitor;
    if (::GetMonitorInfoW(::MonitorFromWindow(owner, MONITOR_DEFAULTTONEAREST), &monitor)) {
        const RECT& area = monitor.rcWork;
        left = std::max(area.left, std::min(left, area.right - width));
        top = std::max(area.top, std::min(top, area.bottom - height));
    }
    ::SetWindowPos(box, nullptr, left, top, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

INT_PTR CALLBACK aboutProc(HWND box, UINT message, WPARAM wParam, LPARAM)
{
    if (message == WM_INITDIALOG) {
        centreOnOwner(box);
        return TRUE;
    }
    if (message == WM_COMMAND && (LOWORD(wParam) == IDOK || LOWORD(wParam) == IDCANCEL)) {
        ::EndDialog(box, LOWORD(wParam));
        return TRUE;
    }
    return FALSE;
}

struct LinesShown {
    const std::wstring* heading;
    const std::wstring* lines;
};

INT_PTR CALLBACK linesProc(HWND box, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        const auto* shown = reinterpret_cast<const LinesShown*>(lParam);
        ::SetDlgItemTextW(box, layout::LinesHeadingId, shown->heading->c_str());
        ::SetDlgItemTextW(box, layout::LinesListId, shown->lines->c_str());
        centreOnOwner(box);
        // The lines take the focus, without their text selected.
        const HWND list = ::GetDlgItem(box, layout::LinesListId);
        ::SetFocus(list);
        ::SendMessageW(list, EM_SETSEL, 0, 0);
        return FALSE;
    }
    return aboutProc(box, message, wParam, lParam);
}

}  // namespace

void showLinesBox(HWND owner, const std::wstring& heading, const std::wstring& lines)
{
    const DialogTemplate box = buildTemplate(layout::linesBox(), Frame::LinesBox);
    LinesShown shown{&heading, &lines};
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(box.data()), owner, linesProc,
                              reinterpret_cast<LPARAM>(&shown));
}

void showAboutBox(HWND owner)
{
    const DialogTemplate about = buildTemplate(layout::aboutBox(), Frame::AboutBox);
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(about.data()), owner, aboutProc,
                              0);
}

}  // namespace harvelin::win
