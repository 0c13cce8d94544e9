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

}  // namespace

void showAboutBox(HWND owner)
{
    const DialogTemplate about = buildTemplate(layout::aboutBox(), Frame::AboutBox);
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(about.data()), owner, aboutProc,
                              0);
}

}  // namespace harvelin::win
