// The form's message loop on the UI thread: what the device thread posts
// runs here, and so does the end of the form, by the close box or with the
// user's session.
#include "win/win32_form.h"

#include <memory>
#include <string>
#include <utility>

#include "ui/control_ids.h"
#include "ui/dialog_layout.h"
#include "ui/texts.h"
#include "win/dialog_template.h"
#include "win/win32_text.h"

namespace harvelin::win {

namespace {

// How long the end of the user's session may wait for the pager to leave
// learn mode: a running exchange ends and the pager is given its tries to
// confirm, well within the time the system grants a program.
constexpr ULONGLONG SessionEndBoundMs = 4000;

}  // namespace

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

void Win32Form::post(std::function<void()> onUiThread)
{
    auto* job = new std::function<void()>(std::move(onUiThread));
    if (!::PostMessageW(window_, RunPosted, 0, reinterpret_cast<LPARAM>(job)))
        delete job;
}

// The close box, and the end of the user's session (log-off, shutdown).
INT_PTR Win32Form::sessionMessage(UINT message, WPARAM wParam)
{
    switch (message) {
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
            ::ShutdownBlockReasonCreate(window_, wideFromBytes(std::string(localized(FormText::WriteRunning))).c_str());
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
    default: return FALSE;
    }
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

}  // namespace harvelin::win
