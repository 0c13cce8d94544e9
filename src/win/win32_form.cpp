// The form's window: built from the template, its messages and clicks, and
// its input held while a click's work runs. All on the form's (UI) thread.
#include "win/win32_form.h"

#include <commctrl.h>

#include <algorithm>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "ui/control_ids.h"
#include "ui/control_names.h"
#include "ui/dialog_layout.h"
#include "ui/form_policy.h"
#include "win/about_box.h"
#include "win/dialog_template.h"
#include "win/edit_filter.h"
#include "win/win32_text.h"
#include "win/window_queries.h"

namespace harvelin::win {

namespace {

// A label a few pixels too narrow for its text in this font would wrap or
// lose its last letters; nothing lies to the right of the labels, so it is
// widened to its text.
void fitLabel(HWND label)
{
    const std::wstring text = windowText(label);
    HDC dc = ::GetDC(label);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(label, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(label, dc);
    RECT place = {};
    ::GetWindowRect(label, &place);
    if (extent.cx + 1 > place.right - place.left)
        ::SetWindowPos(label, nullptr, 0, 0, extent.cx + 1, place.bottom - place.top,
                       SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
}

}  // namespace

Win32Form::Win32Form(SerialBackend& backend, PortTable ports, Clock& clock, std::string backupFolder)
    : backend_(backend), ports_(std::move(ports)), clock_(clock), backupFolder_(std::move(backupFolder))
{
}

Win32Form::~Win32Form()
{
    if (dialog_)
        dialog_->session().requestStop();
    if (runner_)
        runner_->shutdown();
    // What the device thread posted and nobody ran any more.
    MSG msg;
    while (window_ && ::PeekMessageW(&msg, window_, RunPosted, RunPosted, PM_REMOVE))
        delete reinterpret_cast<std::function<void()>*>(msg.lParam);
    accessible_.reset();  // its annotations go while their controls are there
    if (window_)
        ::DestroyWindow(window_);
    if (bigIcon_)
        ::DestroyIcon(bigIcon_);
    if (smallIcon_)
        ::DestroyIcon(smallIcon_);
}

INT_PTR CALLBACK Win32Form::dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam)
{
    if (message == WM_INITDIALOG) {
        ::SetWindowLongPtrW(window, DWLP_USER, lParam);
        auto* form = reinterpret_cast<Win32Form*>(lParam);
        form->window_ = window;
        form->initDialog();
        return TRUE;  // the focus goes to the first control of the tab order
    }
    auto* form = reinterpret_cast<Win32Form*>(::GetWindowLongPtrW(window, DWLP_USER));
    return form ? form->handle(message, wParam, lParam) : FALSE;
}

void Win32Form::initDialog()
{
    // The window's icons and the system-menu entry of the about box.
    const HINSTANCE instance = ::GetModuleHandleW(nullptr);
    bigIcon_ = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(layout::AppIconId), IMAGE_ICON,
                                               ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), 0));
    smallIcon_ = static_cast<HICON>(::LoadImageW(instance, MAKEINTRESOURCEW(layout::AppIconId), IMAGE_ICON,
                                                 ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON), 0));
    if (bigIcon_)
        ::SendMessageW(window_, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(bigIcon_));
    if (smallIcon_)
        ::SendMessageW(window_, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(smallIcon_));
    if (HMENU menu = ::GetSystemMenu(window_, FALSE)) {
        for (const layout::MenuEntry& entry : layout::systemMenu()) {
            if (entry.command == layout::CompareCommand || entry.command == layout::AboutCommand)
                ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
            ::AppendMenuW(menu, MF_STRING | MF_UNCHECKED, entry.command, wideFromBytes(entry.text).c_str());
        }
    }
    accessible_ = std::make_unique<AccessibleControls>(static_cast<const ControlNamer&>(*this));
    for (HWND child = ::GetWindow(window_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (isEdit(child))
            filterEdit(child, fieldInput(::GetDlgCtrlID(child)));
        else if (isLabel(child))
            fitLabel(child);
        // Windows would name an edit after the label before it and a row's
        // buttons only "Lernen" and "Löschen"; the table names each.
        if (!layout::accessibleName(::GetDlgCtrlID(child), page_).empty())
            accessible_->name(child);
    }
    // What the search, the learn window and the link watch say reaches the
    // screen reader wherever the focus is.
    accessible_->markLive(control(ctl::StatusLine));
    accessible_->markLive(control(ctl::PortList));

    runner_ = std::make_unique<DeviceRunner>(
        *this, [this](std::function<void()> f) { post(std::move(f)); }, true);
    dialog_ = std::make_unique<MainDialog>(*this, backend_, ports_, clock_, runner_.get());
    dialog_->session().setBackupFolder(backupFolder_);
    gate_ = std::make_unique<ClickGate>(*dialog_, *runner_, static_cast<ClickGate::Window&>(*this));
    dialog_->OnInitDialog();
    // Files dropped anywhere on the form come to it: the shell looks for the
    // first window that takes them from the control under the cursor up.
    ::DragAcceptFiles(window_, TRUE);
}

INT_PTR Win32Form::handle(UINT message, WPARAM wParam, LPARAM lParam)
{
    switch (message) {
    case RunPosted: {
        std::unique_ptr<std::function<void()>> job(reinterpret_cast<std::function<void()>*>(lParam));
        (*job)();
        return TRUE;
    }
    case WM_COMMAND:
        onCommand(LOWORD(wParam), HIWORD(wParam), reinterpret_cast<HWND>(lParam));
        return TRUE;
    case WM_TIMER:
        if (dialog_)
            dialog_->onTimer(static_cast<int>(wParam));
        return TRUE;
    case WM_CLOSE:
    case WM_QUERYENDSESSION:
    case WM_ENDSESSION: return sessionMessage(message, wParam);
    case WM_DROPFILES:
        onDroppedFiles(reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        for (const layout::MenuEntry& entry : layout::systemMenu()) {
            if ((wParam & 0xFFF0) == entry.command) {
                menuCommand(entry.command);
                return TRUE;
            }
        }
        return FALSE;
    case WM_ACTIVATE:
    case WM_SETFOCUS:
        // Back from a box or file dialog of the click's own, with the input
        // still held and "Abbrechen" hidden, the dialog manager would give the
        // focus to the first label, and a screen reader would read it out;
        // the form keeps the focus itself until the input comes back
        // (releaseInput).
        return hold_.held() && (message == WM_SETFOCUS || LOWORD(wParam) != WA_INACTIVE) &&
               !::IsWindowVisible(control(ctl::Cancel));
    case WM_SETCURSOR:
        if (hold_.held()) {
            ::SetCursor(::LoadCursorW(nullptr, IDC_WAIT));
            ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    default: return FALSE;
    }
}

void Win32Form::onCommand(int id, int code, HWND source)
{
    if (!source)
        return;  // menus and accelerators: the form has none
    if (code == EN_CHANGE) {
        if (!settingText_)
            userChanged_ = true;
        return;
    }
    if (code != BN_CLICKED)
        return;
    const LONG_PTR style = ::GetWindowLongPtrW(source, GWL_STYLE) & BS_TYPEMASK;
    if (style == BS_AUTOCHECKBOX || style == BS_AUTORADIOBUTTON)
        userChanged_ = true;
    if (id == ctl::Cancel)
        return cancelOperation();
    if (gate_)
        gate_->press(id);
}

void Win32Form::cancelOperation()
{
    if (gate_)
        gate_->cancel();
}

void Win32Form::onDroppedFiles(HDROP drop)
{
    std::wstring name;
    if (::DragQueryFileW(drop, 0xFFFFFFFF, nullptr, 0) == 1) {
        name.resize(::DragQueryFileW(drop, 0, nullptr, 0) + 1);
        name.resize(::DragQueryFileW(drop, 0, name.data(), static_cast<UINT>(name.size())));
    }
    ::DragFinish(drop);
    // The drop has ended for the program the file came from before the
    // file's boxes open.
    if (!name.empty())
        post([this, file = utf8FromWide(name)] { gate_->openGivenFile(file); });
}

void Win32Form::showAbout() { showAboutBox(window_); }

void Win32Form::menuCommand(unsigned command)
{
    if (command == layout::AboutCommand) {
        showAbout();
        return;
    }
    gate_->press(static_cast<int>(command));
    if (HMENU menu = ::GetSystemMenu(window_, FALSE))
        ::CheckMenuItem(menu, layout::VerifyAfterWriteCommand,
                        MF_BYCOMMAND | (dialog_->verifiesAfterWrite() ? MF_CHECKED : MF_UNCHECKED));
}

// --- holding the input (InputHold decides, the controls carry it out) ----------

int Win32Form::focusedControl() const
{
    const HWND focus = ::GetFocus();
    return focus && ::IsChild(window_, focus) ? ::GetDlgCtrlID(focus) : layout::NoId;
}

void Win32Form::holdInput(bool withCancel)
{
    if (hold_.held())
        return;
    const std::vector<int> off =
        hold_.begin(focusedControl(), [this](int id) { return ::IsWindowEnabled(control(id)) != FALSE; });
    const HWND cancel = control(ctl::Cancel);
    if (withCancel) {
        ::ShowWindow(cancel, SW_SHOW);
        ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(cancel), TRUE);
    }
    for (const int id : off)
        ::EnableWindow(control(id), FALSE);
}

void Win32Form::releaseInput()
{
    const std::optional<InputHold::End> end = hold_.end();
    if (!end)
        return;
    for (const int id : end->enable)
        ::EnableWindow(control(id), TRUE);
    if (end->focusAsked) {
        setFocus(end->focus);
    } else if (HWND back = end->focus != layout::NoId ? control(end->focus) : nullptr) {
        if (!::IsWindowEnabled(back) || !::IsWindowVisible(back))
            back = ::GetNextDlgTabItem(window_, back, FALSE);
        if (back)
            ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(back), TRUE);
    }
    if (end->hideCancel) {
        const HWND cancel = control(ctl::Cancel);
        if (::GetFocus() == cancel) {
            const HWND first = ::GetNextDlgTabItem(window_, nullptr, FALSE);
            ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(first), TRUE);
        }
        ::ShowWindow(cancel, SW_HIDE);
    }
}

void Win32Form::hideCancel()
{
    const HWND cancel = control(ctl::Cancel);
    if (hold_.hideCancelNow(::GetFocus() == cancel))
        ::ShowWindow(cancel, SW_HIDE);
}

void Win32Form::clickEnded()
{
    dialog_->refreshTitle();
    // A write that held up the end of the session has ended.
    ::ShutdownBlockReasonDestroy(window_);
}

}  // namespace harvelin::win
