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

// Functions of user32 that systems before Windows 10 lack, looked up when
// they are needed. SetDialogDpiChangeBehavior switches off the scaling that
// Windows gives dialogs on a change of dpi (per-monitor v2): the form scales
// itself, from the table.
using SetDialogDpiChangeBehaviorFn = BOOL(WINAPI*)(HWND, int, int);
constexpr int DialogDpiChangeDisableAll = 1;
using GetDpiForWindowFn = UINT(WINAPI*)(HWND);
using AdjustWindowRectExForDpiFn = BOOL(WINAPI*)(RECT*, DWORD, BOOL, DWORD, UINT);

template <typename Fn>
Fn user32Function(const char* name)
{
    return reinterpret_cast<Fn>(reinterpret_cast<void*>(::GetProcAddress(::GetModuleHandleW(L"user32.dll"), name)));
}

// The dpi the window is drawn at: its monitor's, or the system's before
// Windows 10 1607.
UINT windowDpi(HWND window)
{
    if (const auto forWindow = user32Function<GetDpiForWindowFn>("GetDpiForWindow"))
        return forWindow(window);
    HDC dc = ::GetDC(nullptr);
    const int dpi = ::GetDeviceCaps(dc, LOGPIXELSY);
    ::ReleaseDC(nullptr, dc);
    return static_cast<UINT>(dpi);
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
    if (scaledFont_)
        ::DeleteObject(scaledFont_);
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
    dpi_ = windowDpi(window_);
    ::GetObjectW(reinterpret_cast<HFONT>(::SendMessageW(window_, WM_GETFONT, 0, 0)), sizeof baseFont_, &baseFont_);
    if (const auto behaviour = user32Function<SetDialogDpiChangeBehaviorFn>("SetDialogDpiChangeBehavior"))
        behaviour(window_, DialogDpiChangeDisableAll, DialogDpiChangeDisableAll);
    layout_ = std::make_unique<FormLayout>(window_, layout::mainForm());
    layout_->place();
    fitPortLine();
    addTooltips();
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
    case WM_SIZE:
        // Maximised, the form stands in the middle of the larger window;
        // back to its own size, where the table puts it.
        if (layout_ && wParam != SIZE_MINIMIZED)
            layout_->place();
        return FALSE;
    case WM_DRAWITEM:
        if (wParam != static_cast<WPARAM>(ctl::PortList))
            return FALSE;
        drawPortLine(*reinterpret_cast<const DRAWITEMSTRUCT*>(lParam));
        return TRUE;
    case WM_GETDPISCALEDSIZE:
        // Asked before a move to another monitor, so that the system knows
        // the size the form will take there.
        if (scaledSize(static_cast<UINT>(wParam), *reinterpret_cast<SIZE*>(lParam))) {
            ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
            return TRUE;
        }
        return FALSE;
    case WM_DPICHANGED:
        onDpiChanged(HIWORD(wParam), *reinterpret_cast<const RECT*>(lParam));
        return TRUE;
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
    // A label that takes the mouse for its tooltip tells of clicks with the
    // same code as a button.
    if (code != BN_CLICKED || isLabel(source))
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

// --- dpi, size, and the texts that may be cut -----------------------------------

HFONT Win32Form::fontAt(UINT dpi) const
{
    // The face the dialog manager chose, at the template's size, as it
    // would make it at that dpi.
    LOGFONTW font = baseFont_;
    font.lfHeight = -::MulDiv(ShellFontPoints, static_cast<int>(dpi), 72);
    return ::CreateFontIndirectW(&font);
}

// A font does not grow in step with the dpi (its sizes are whole pixels), so
// the window is made as large as the table asks in that font, not as the
// system scales it.
SIZE Win32Form::windowSizeAt(UINT dpi, HFONT font) const
{
    const SIZE area = layout_->templateSize(font);
    RECT frame = {0, 0, area.cx, area.cy};
    const DWORD style = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_STYLE));
    const DWORD exStyle = static_cast<DWORD>(::GetWindowLongPtrW(window_, GWL_EXSTYLE));
    if (const auto forDpi = user32Function<AdjustWindowRectExForDpiFn>("AdjustWindowRectExForDpi"))
        forDpi(&frame, style, FALSE, exStyle, dpi);
    else
        ::AdjustWindowRectEx(&frame, style, FALSE, exStyle);
    return {frame.right - frame.left, frame.bottom - frame.top};
}

bool Win32Form::scaledSize(UINT dpi, SIZE& size) const
{
    const HFONT font = layout_ ? fontAt(dpi) : nullptr;
    if (!font)
        return false;
    size = windowSizeAt(dpi, font);
    ::DeleteObject(font);
    return true;
}

void Win32Form::onDpiChanged(UINT dpi, const RECT& suggested)
{
    RECT place = suggested;
    if (const HFONT scaled = dpi != dpi_ ? fontAt(dpi) : nullptr) {
        for (const PlacedControl& p : layout_->controls())
            ::SendMessageW(p.window, WM_SETFONT, reinterpret_cast<WPARAM>(scaled), FALSE);
        if (scaledFont_)
            ::DeleteObject(scaledFont_);
        scaledFont_ = scaled;
        dpi_ = dpi;
    }
    // Maximised, the window keeps the monitor's area the system gives it.
    if (!::IsZoomed(window_)) {
        const HFONT font = reinterpret_cast<HFONT>(::SendMessageW(control(ctl::Ok), WM_GETFONT, 0, 0));
        const SIZE size = windowSizeAt(dpi_, font);
        place.right = place.left + size.cx;
        place.bottom = place.top + size.cy;
    }
    // A new size places the controls (WM_SIZE); the same size would not.
    ::SetWindowPos(window_, nullptr, place.left, place.top, place.right - place.left, place.bottom - place.top,
                   SWP_NOZORDER | SWP_NOACTIVATE);
    layout_->place();
    fitPortLine();
    ::RedrawWindow(window_, nullptr, nullptr, RDW_INVALIDATE | RDW_ERASE | RDW_ALLCHILDREN);
}

void Win32Form::addTooltips()
{
    tooltips_ = ::CreateWindowExW(WS_EX_TOPMOST, TOOLTIPS_CLASSW, nullptr, WS_POPUP | TTS_NOPREFIX | TTS_ALWAYSTIP,
                                  CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, CW_USEDEFAULT, window_, nullptr,
                                  ::GetModuleHandleW(nullptr), nullptr);
    if (!tooltips_)
        return;
    // A long port line wraps at a third of the screen instead of running off it.
    ::SendMessageW(tooltips_, TTM_SETMAXTIPWIDTH, 0, ::GetSystemMetrics(SM_CXSCREEN) / 3);
    for (const PlacedControl& p : layout_->controls()) {
        if (!(p.control.flags & layout::Elides))
            continue;
        TOOLINFOW tool = {};
        tool.cbSize = sizeof tool;
        tool.uFlags = TTF_IDISHWND | TTF_SUBCLASS;
        tool.hwnd = window_;
        tool.uId = reinterpret_cast<UINT_PTR>(p.window);
        std::wstring text = isListBox(p.window) ? listLine(p.window) : windowText(p.window);
        tool.lpszText = text.data();
        ::SendMessageW(tooltips_, TTM_ADDTOOLW, 0, reinterpret_cast<LPARAM>(&tool));
    }
}

void Win32Form::updateTooltip(HWND c, const std::wstring& text)
{
    if (!tooltips_)
        return;
    std::wstring whole = text;
    TOOLINFOW tool = {};
    tool.cbSize = sizeof tool;
    tool.hwnd = window_;
    tool.uId = reinterpret_cast<UINT_PTR>(c);
    tool.lpszText = whole.data();
    ::SendMessageW(tooltips_, TTM_UPDATETIPTEXTW, 0, reinterpret_cast<LPARAM>(&tool));
}

void Win32Form::fitPortLine()
{
    HWND list = control(ctl::PortList);
    ::SendMessageW(list, LB_SETITEMHEIGHT, 0, lineHeight(list));
    ::InvalidateRect(list, nullptr, TRUE);
}

// The list box has no ellipsis of its own. What it draws is its one line;
// the line it holds stays whole for the dialog and the screen reader.
void Win32Form::drawPortLine(const DRAWITEMSTRUCT& item)
{
    const bool selected = (item.itemState & ODS_SELECTED) != 0;
    ::FillRect(item.hDC, &item.rcItem, ::GetSysColorBrush(selected ? COLOR_HIGHLIGHT : COLOR_WINDOW));
    if (item.itemID != static_cast<UINT>(-1)) {
        const int colour = (item.itemState & ODS_DISABLED) ? COLOR_GRAYTEXT
                           : selected                        ? COLOR_HIGHLIGHTTEXT
                                                             : COLOR_WINDOWTEXT;
        ::SetTextColor(item.hDC, ::GetSysColor(colour));
        ::SetBkMode(item.hDC, TRANSPARENT);
        // As far in from either side as the list draws its own lines.
        constexpr int Inset = 2;
        RECT text = item.rcItem;
        text.left += Inset;
        text.right -= Inset;
        const std::wstring line = listLine(item.hwndItem);
        ::DrawTextW(item.hDC, line.c_str(), static_cast<int>(line.size()), &text,
                    DT_SINGLELINE | DT_VCENTER | DT_NOPREFIX | DT_END_ELLIPSIS);
    }
    if (item.itemState & ODS_FOCUS)
        ::DrawFocusRect(item.hDC, &item.rcItem);
}


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
