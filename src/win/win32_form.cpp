#include "win/win32_form.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <optional>
#include <string>
#include <utility>

#include "ui/control_ids.h"
#include "ui/control_names.h"
#include "ui/dialog_layout.h"
#include "ui/form_policy.h"
#include "win/dialog_template.h"
#include "win/win32_text.h"

namespace harvelin::win {

namespace {

// A closure from the device thread, in the message's lParam.
constexpr UINT RunPosted = WM_APP + 1;

// How long the end of the user's session may wait for the pager to leave
// learn mode: a running exchange ends and the pager is given its tries to
// confirm, well within the time the system grants a program.
constexpr ULONGLONG SessionEndBoundMs = 4000;

std::wstring windowText(HWND window)
{
    const int length = ::GetWindowTextLengthW(window);
    std::wstring text(static_cast<std::size_t>(std::max(length, 0)) + 1, L'\0');
    const int got = ::GetWindowTextW(window, text.data(), length + 1);
    text.resize(static_cast<std::size_t>(std::max(got, 0)));
    return text;
}

// The text the edit would hold with `inserted` in place of its selection,
// cut to the edit's limit as the edit itself cuts it.
std::wstring textAfterInsert(HWND edit, std::wstring inserted)
{
    const std::wstring text = windowText(edit);
    DWORD from = 0;
    DWORD to = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const std::size_t start = std::min<std::size_t>(from, text.size());
    const std::size_t end = std::clamp<std::size_t>(to, start, text.size());
    const std::size_t kept = text.size() - (end - start);
    const auto limit = static_cast<std::size_t>(::SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
    inserted.resize(std::min(inserted.size(), limit > kept ? limit - kept : 0));
    return text.substr(0, start) + inserted + text.substr(end);
}

// The form's rule for what an edit may hold; its length the edit's limit
// keeps.
bool mayHold(DWORD_PTR input, const std::wstring& text)
{
    const std::optional<std::string> bytes = bytesFromWide(text);
    return bytes && fieldMayHold(static_cast<FieldInput>(input), *bytes);
}

std::optional<std::wstring> clipboardText(HWND owner)
{
    if (!::IsClipboardFormatAvailable(CF_UNICODETEXT) || !::OpenClipboard(owner))
        return std::nullopt;
    std::optional<std::wstring> text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// Typed or pasted text that would leave the edit holding what the form
// refuses is itself refused, as a whole and with a beep, so no field ever
// holds it. Characters below the space are the edit's own keys (Backspace,
// Ctrl+C, Ctrl+V ...), not text.
LRESULT CALLBACK editFilter(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR input)
{
    std::optional<std::wstring> inserted;
    if ((message == WM_CHAR || message == WM_IME_CHAR) && wParam >= 0x20)
        inserted = std::wstring(1, static_cast<wchar_t>(wParam));
    else if (message == WM_PASTE)
        inserted = clipboardText(edit);
    if (inserted && !mayHold(input, textAfterInsert(edit, *inserted))) {
        ::MessageBeep(MB_OK);
        return 0;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

std::wstring className(HWND window)
{
    wchar_t name[64] = {};
    ::GetClassNameW(window, name, 64);
    return name;
}

bool isEdit(HWND window) { return window && ::lstrcmpiW(className(window).c_str(), L"Edit") == 0; }
bool isListBox(HWND window) { return window && ::lstrcmpiW(className(window).c_str(), L"ListBox") == 0; }

// The one line of the port list.
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

Win32Form::Win32Form(SerialBackend& backend, PortTable ports, Clock& clock, std::string backupFolder)
    : backend_(backend), ports_(std::move(ports)), clock_(clock), backupFolder_(std::move(backupFolder)),
      caption_(programName())
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

int Win32Form::run(const std::string& file, std::function<void(HWND)> whenShown)
{
    const DialogTemplate form = buildTemplate(layout::mainForm(), Frame::MainForm);
    window_ = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr),
                                           static_cast<LPCDLGTEMPLATEW>(form.data()), nullptr, dialogProc,
                                           reinterpret_cast<LPARAM>(this));
    if (!window_)
        return 1;
    ::ShowWindow(window_, SW_SHOW);
    if (!file.empty())
        post([this, file] { gate_->openGivenFile(file); });
    if (whenShown)
        post([this, whenShown = std::move(whenShown)] { whenShown(window_); });
    MSG msg;
    while (!ended_ && ::GetMessageW(&msg, nullptr, 0, 0) > 0) {
        if (filterKey(msg) || !::IsDialogMessageW(window_, &msg)) {
            ::TranslateMessage(&msg);
            ::DispatchMessageW(&msg);
        }
    }
    return result_;
}

bool Win32Form::filterKey(const MSG& msg)
{
    if (msg.message != WM_KEYDOWN || (msg.wParam != VK_RETURN && msg.wParam != VK_ESCAPE))
        return false;
    if (msg.hwnd != window_ && !::IsChild(window_, msg.hwnd))
        return false;
    if (msg.wParam == VK_ESCAPE && ::IsWindowVisible(control(ctl::Cancel)))
        cancelOperation();
    return true;
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
        const std::wstring entry = wideFromBytes(layout::aboutEntryText());
        ::AppendMenuW(menu, MF_SEPARATOR, 0, nullptr);
        ::AppendMenuW(menu, MF_STRING, layout::AboutCommand, entry.c_str());
    }
    accessible_ = std::make_unique<AccessibleControls>(static_cast<const ControlNamer&>(*this));
    for (HWND child = ::GetWindow(window_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        if (isEdit(child))
            ::SetWindowSubclass(child, editFilter, 1, static_cast<DWORD_PTR>(fieldInput(::GetDlgCtrlID(child))));
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

    runner_ = std::make_unique<ThreadedRunner>(
        *this, [this](std::function<void()> f) { post(std::move(f)); }, true);
    dialog_ = std::make_unique<MainDialog>(*this, backend_, ports_, clock_, runner_.get());
    dialog_->session().setBackupFolder(backupFolder_);
    gate_ = std::make_unique<ClickGate>(*dialog_, *runner_, static_cast<ClickGate::Window&>(*this));
    dialog_->OnInitDialog();
    // Files dropped anywhere on the form come to it: the shell looks for the
    // first window that takes them from the control under the cursor up.
    ::DragAcceptFiles(window_, TRUE);
}

void Win32Form::post(std::function<void()> onUiThread)
{
    auto* job = new std::function<void()>(std::move(onUiThread));
    if (!::PostMessageW(window_, RunPosted, 0, reinterpret_cast<LPARAM>(job)))
        delete job;
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
        // Sent by the system as the session ends, the close box's question
        // would hold up the end or be cut off by it.
        if (sessionEnding_ || ::GetSystemMetrics(SM_SHUTTINGDOWN))
            endForSession();
        else
            close();
        return TRUE;
    case WM_QUERYENDSESSION:
        // A write stopped now would leave the pager partly written: the
        // system asks the user, naming why, and the write goes on meanwhile.
        if (gate_ && gate_->writing()) {
            ::ShutdownBlockReasonCreate(window_, wideFromUtf8(std::string(WriteRunningText)).c_str());
            ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, FALSE);
            return TRUE;
        }
        // The session may end: the pager leaves learn mode now, before the
        // answer lets the system go on.
        leaveForSessionEnd();
        ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, TRUE);
        return TRUE;
    case WM_ENDSESSION:
        if (wParam) {
            endForSession();
        } else {
            // The session goes on after all; so does the form, with the port
            // closed until it is next needed.
            sessionEnding_ = false;
            leftForSession_ = false;
            quiet_ = false;
        }
        ::SetWindowLongPtrW(window_, DWLP_MSGRESULT, 0);
        return TRUE;
    case WM_DROPFILES:
        onDroppedFiles(reinterpret_cast<HDROP>(wParam));
        return TRUE;
    case WM_SYSCOMMAND:
        if ((wParam & 0xFFF0) == layout::AboutCommand) {
            showAbout();
            return TRUE;
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

void Win32Form::cancelOperation()
{
    if (gate_)
        gate_->cancel();
}

// The close box: a running operation is cancelled first and the form closes
// when it has stopped; nothing unsaved is lost unasked. A learn window still
// open is ended on the pager too, and the port given back, before the form
// goes.
void Win32Form::close()
{
    if (!gate_ || ended_ || sessionEnding_ || gate_->closeDeferred() || !dialog_->queryClose())
        return;
    gate_->hold();
    dialog_->leaveLearnModeAndClose([this] {
        result_ = IDCANCEL;
        ended_ = true;
    });
}

bool Win32Form::leaveForSessionEnd()
{
    sessionEnding_ = true;
    quiet_ = true;
    if (!gate_ || leftForSession_)
        return true;
    const ULONGLONG deadline = ::GetTickCount64() + SessionEndBoundMs;
    // The work under way first: a search, read-out or write stops before
    // its next command, and the stop is taken back once it has ended.
    gate_->cancel();
    const auto idle = std::make_shared<bool>(false);
    runner_->whenIdle([idle] { *idle = true; });
    if (!runPostedUntil(idle, deadline))
        return false;
    const auto left = std::make_shared<bool>(false);
    dialog_->leaveLearnModeAndClose([left] { *left = true; });
    leftForSession_ = runPostedUntil(left, deadline);
    return leftForSession_;
}

void Win32Form::endForSession()
{
    if (ended_)
        return;
    leaveForSessionEnd();
    result_ = IDCANCEL;
    ended_ = true;
    ::KillTimer(window_, ctl::UiTimerId);
    // The message loop sees the end with its next message.
    ::PostMessageW(window_, WM_NULL, 0, 0);
}

bool Win32Form::runPostedUntil(const std::shared_ptr<bool>& done, ULONGLONG deadline)
{
    while (!*done) {
        const ULONGLONG now = ::GetTickCount64();
        if (now >= deadline)
            return false;
        MSG msg;
        if (::PeekMessageW(&msg, window_, RunPosted, RunPosted, PM_REMOVE)) {
            ::DispatchMessageW(&msg);
            continue;
        }
        ::MsgWaitForMultipleObjects(0, nullptr, FALSE, static_cast<DWORD>(deadline - now),
                                    QS_POSTMESSAGE | QS_SENDMESSAGE);
    }
    return true;
}

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

void Win32Form::showAbout()
{
    const DialogTemplate about = buildTemplate(layout::aboutBox(), Frame::AboutBox);
    ::DialogBoxIndirectParamW(::GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(about.data()), window_,
                              aboutProc, 0);
}

// --- DialogHost ----------------------------------------------------------------

// Every edit refuses characters outside Windows-1252 as they are typed or
// pasted, and the other controls only show texts that came from the dialog,
// so the conversion succeeds.
std::string Win32Form::controlText(int id) const
{
    HWND c = control(id);
    if (!c)
        return {};
    if (isListBox(c)) {
        const LRESULT at = ::SendMessageW(c, LB_GETCURSEL, 0, 0);
        if (at == LB_ERR)
            return {};
        const LRESULT length = ::SendMessageW(c, LB_GETTEXTLEN, static_cast<WPARAM>(at), 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        ::SendMessageW(c, LB_GETTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        return bytesFromWide(text).value_or(std::string());
    }
    return bytesFromWide(windowText(c)).value_or(std::string());
}

void Win32Form::setControlText(int id, const std::string& bytes)
{
    HWND c = control(id);
    if (!c)
        return;
    const std::wstring text = wideFromBytes(bytes);
    // A control whose text has not changed is left alone, so the caret of
    // the edit the user is typing in stays where it is.
    if (windowText(c) == text)
        return;
    if (isEdit(c)) {
        // The input limit stops typing, not the program: a longer text from
        // the pager or a file is shown whole, and taking it back from the
        // form then reports the limit instead of cutting the text silently.
        const auto limit = limits_.find(id);
        if (limit != limits_.end())
            ::SendMessageW(c, EM_LIMITTEXT, static_cast<WPARAM>(std::max<std::size_t>(limit->second, text.size())),
                           0);
    }
    settingText_ = true;
    ::SetWindowTextW(c, text.c_str());
    settingText_ = false;
    // A label's name says what it shows.
    if (isLabel(c) && !layout::accessibleName(id, page_).empty())
        AccessibleControls::tell(c, EVENT_OBJECT_NAMECHANGE);
    if (id == ctl::StatusLine)
        AccessibleControls::liveRegionChanged(c);
}

bool Win32Form::isChecked(int id) const { return ::IsDlgButtonChecked(window_, id) == BST_CHECKED; }

void Win32Form::setChecked(int id, bool checked)
{
    if (isChecked(id) == checked)
        return;
    ::CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
    AccessibleControls::tell(control(id), EVENT_OBJECT_STATECHANGE);
}

void Win32Form::setVisible(int id, bool visible)
{
    HWND c = control(id);
    if (!c)
        return;
    // A control that hides with the focus hands it on as Tab would, instead
    // of leaving the keyboard nowhere ("Systemzeit -> Repeater").
    if (!visible && ::GetFocus() == c)
        ::SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
    ::ShowWindow(c, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Form::setEnabled(int id, bool enabled)
{
    HWND c = control(id);
    if (c && hold_.enableNow(id, enabled, ::IsWindowEnabled(c) != FALSE))
        ::EnableWindow(c, enabled ? TRUE : FALSE);
}

void Win32Form::setInputLimit(int id, int maxChars)
{
    HWND c = control(id);
    if (!isEdit(c))
        return;
    limits_[id] = maxChars;
    const int shown = ::GetWindowTextLengthW(c);
    ::SendMessageW(c, EM_LIMITTEXT, static_cast<WPARAM>(std::max(maxChars, shown)), 0);
}

void Win32Form::setFocus(int id)
{
    HWND c = control(id);
    if (!c || !hold_.focusNow(id))
        return;
    ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c), TRUE);
    if (isEdit(c))
        ::SendMessageW(c, EM_SETSEL, 0, -1);
}

void Win32Form::setProgressRange(int low, int high)
{
    ::SendDlgItemMessageW(window_, ctl::Progress, PBM_SETRANGE32, static_cast<WPARAM>(low),
                          static_cast<LPARAM>(high));
}

// A position beyond the range shows as the range's end.
void Win32Form::setProgressPos(int pos)
{
    const LRESULT before = ::SendDlgItemMessageW(window_, ctl::Progress, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
    if (before != ::SendDlgItemMessageW(window_, ctl::Progress, PBM_GETPOS, 0, 0))
        AccessibleControls::tell(control(ctl::Progress), EVENT_OBJECT_VALUECHANGE);
}

void Win32Form::setPortListLine(const std::string& line)
{
    HWND list = control(ctl::PortList);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    const std::wstring text = wideFromBytes(line);
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    // The list's name says its line.
    AccessibleControls::tell(list, EVENT_OBJECT_NAMECHANGE);
    AccessibleControls::liveRegionChanged(list);
}

// The caller rows' names follow the slots they show.
void Win32Form::pageShown(ViewPage page)
{
    if (page == page_)
        return;
    const ViewPage before = page_;
    page_ = page;
    for (HWND child = ::GetWindow(window_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(child);
        if (layout::accessibleName(id, before) != layout::accessibleName(id, page))
            AccessibleControls::tell(child, EVENT_OBJECT_NAMECHANGE);
    }
}

std::wstring Win32Form::accessibleName(HWND c) const
{
    const std::string name = layout::accessibleName(::GetDlgCtrlID(c), page_);
    if (name.empty())
        return {};
    const std::wstring shown = isListBox(c) ? listLine(c) : isLabel(c) ? windowText(c) : std::wstring();
    return shown.empty() ? wideFromBytes(name) : wideFromBytes(name) + L": " + shown;
}

void Win32Form::showTitle(const std::string& title, bool modified)
{
    ::SetWindowTextW(window_, wideFromUtf8(windowTitle(title, modified)).c_str());
}

namespace {

HHOOK boxHook = nullptr;

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
            ::SetDlgItemTextW(box, IDYES, L"&Ja");
            ::SetDlgItemTextW(box, IDNO, L"&Nein");
        }
        widenToCaption(box);
    }
    return ::CallNextHookEx(boxHook, code, wParam, lParam);
}

int showBox(HWND owner, const std::wstring& text, const std::wstring& caption, UINT type)
{
    boxHook = ::SetWindowsHookExW(WH_CBT, fitBox, nullptr, ::GetCurrentThreadId());
    const int answer = ::MessageBoxW(owner, text.c_str(), caption.c_str(), type);
    if (boxHook)
        ::UnhookWindowsHookEx(boxHook);
    boxHook = nullptr;
    return answer;
}

}  // namespace

void Win32Form::messageBox(const std::string& text)
{
    if (quiet_)
        return;
    showBox(window_, wideFromBytes(text), caption_, MB_OK);
}

bool Win32Form::askYesNo(const std::string& text)
{
    if (quiet_)
        return false;
    // "Nein" is the safe default.
    return showBox(window_, wideFromBytes(text), caption_, MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

std::optional<std::string> Win32Form::fileDialog(const FileDialogSpec& spec)
{
    if (quiet_)
        return std::nullopt;
    // "Datenfiles (*.pag)", then the pattern, each ended by a zero; two end the list.
    std::wstring filter = wideFromBytes(spec.filterText);
    filter.push_back(L'\0');
    filter += wideFromBytes(spec.filterPattern);
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    const std::wstring extension = wideFromBytes(spec.defaultExtension);
    std::wstring path(32768, L'\0');

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_EXPLORER;
    dialog.Flags |= spec.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    const BOOL chosen = spec.save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    if (!chosen)
        return std::nullopt;
    path.resize(std::wcslen(path.c_str()));
    // The data-file functions take paths as UTF-8 and widen them themselves.
    return utf8FromWide(path);
}

void Win32Form::startTimer(int id, unsigned periodMs) { ::SetTimer(window_, static_cast<UINT_PTR>(id), periodMs, nullptr); }

void Win32Form::stopTimer(int id) { ::KillTimer(window_, static_cast<UINT_PTR>(id)); }

void Win32Form::repaintNow() { ::UpdateWindow(window_); }

void Win32Form::endDialog(int result)
{
    result_ = result;
    ended_ = true;
    ::KillTimer(window_, ctl::UiTimerId);
}

}  // namespace harvelin::win
