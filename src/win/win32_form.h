#pragma once

#include "win/windows_api.h"

#include <shellapi.h>

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/port_table.h"
#include "link/serial_port.h"
#include "platform/clock.h"
#include "ui/click_gate.h"
#include "ui/dialog_host.h"
#include "ui/dialog_layout.h"
#include "ui/form_policy.h"
#include "ui/main_dialog.h"
#include "ui/device_runner.h"
#include "win/accessible_names.h"
#include "win/form_layout.h"

namespace harvelin::win {

// The main form (dialog 102) as a native Windows dialog, built from the
// layout table with the template's dialog units and font. The clicks and
// timer ticks go to MainDialog on this, the UI thread; its work on the pager
// runs on the device thread (ui/device_runner.h), whose progress and
// results come back as posted messages. While a click's work runs, the form
// takes no other input; "Abbrechen" and Escape stop the search, the
// read-out or the write. Screen readers hear each control by its name in
// layout::accessibleName, for the page shown, and learn of what changes
// through WinEvents. Defined in three files: the window, its clicks and its
// held input (win32_form.cpp), what the dialog reads and sets on it
// (form_host.cpp), and the message loop with the end of the form and of the
// user's session (message_loop.cpp).
class Win32Form final : public DialogHost, private ClickGate::Window, private ControlNamer {
public:
    Win32Form(SerialBackend& backend, PortTable ports, Clock& clock, std::string backupFolder);
    ~Win32Form() override;
    Win32Form(const Win32Form&) = delete;
    Win32Form& operator=(const Win32Form&) = delete;

    // Shows the form and runs it until it ends; its result. `file` (UTF-8),
    // if given, is opened once the form shows, as "Datei öffnen" opens the
    // one chosen. `whenShown`, if given, is run once with the form's window
    // as soon as the form shows.
    int run(const std::string& file = {}, std::function<void(HWND)> whenShown = {});

    // --- DialogHost
    std::string controlText(int id) const override;
    void setControlText(int id, const std::string& text) override;
    bool isChecked(int id) const override;
    void setChecked(int id, bool checked) override;
    void setVisible(int id, bool visible) override;
    void setEnabled(int id, bool enabled) override;
    void setInputLimit(int id, int maxChars) override;
    void setFocus(int id) override;
    bool userChangedControls() const override { return userChanged_; }
    void userChangesTaken() override { userChanged_ = false; }
    void setProgressRange(int low, int high) override;
    void setProgressPos(int pos) override;
    void setPortListLine(const std::string& line) override;
    void pageShown(ViewPage page) override;
    void showTitle(const std::string& title, bool modified) override;
    void messageBox(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void showLines(const std::string& heading, const std::vector<std::string>& lines) override;
    bool openInBrowser(const std::string& path) override;
    std::optional<std::string> fileDialog(const FileDialogSpec& spec) override;
    void startTimer(int id, unsigned periodMs) override;
    void stopTimer(int id) override;
    void repaintNow() override;
    void endDialog(int result) override;

private:
    // A closure from the device thread, in the message's lParam.
    static constexpr UINT RunPosted = WM_APP + 1;

    static INT_PTR CALLBACK dialogProc(HWND window, UINT message, WPARAM wParam, LPARAM lParam);
    INT_PTR handle(UINT message, WPARAM wParam, LPARAM lParam);
    void initDialog();
    void onCommand(int id, int code, HWND control);
    // The keys the dialog manager would take: Return and Escape reach the
    // focused control; Escape also stops the work while "Abbrechen" shows.
    bool filterKey(const MSG& msg);
    void cancelOperation();
    // WM_CLOSE, WM_QUERYENDSESSION and WM_ENDSESSION.
    INT_PTR sessionMessage(UINT message, WPARAM wParam);
    void close();
    // The end of the user's session (log-off, shutdown): a running search,
    // read-out or write is cancelled, learn mode is left on the pager and the
    // port closed before this returns, as the system may end the program
    // right after; nothing is asked and no box opens. Waits at most
    // SessionEndBoundMs for the device thread; true when all was done.
    bool leaveForSessionEnd();
    void endForSession();
    // Runs what the device thread posts, and nothing else, until `done` is
    // set or the deadline (GetTickCount64) has passed; whether it was set.
    bool runPostedUntil(const std::shared_ptr<bool>& done, ULONGLONG deadline);
    // A file dropped on the form (WM_DROPFILES): one file is opened as a
    // file given at start is; several are refused.
    void onDroppedFiles(HDROP drop);
    // ClickGate::Window
    void holdInput(bool cancel) override;
    void releaseInput() override;
    void hideCancel() override;
    // The control with the focus; layout::NoId for none.
    int focusedControl() const;
    void clickEnded() override;
    void closeAgain() override { close(); }
    void showAbout();
    // An entry of the system menu (layout::systemMenu): the about box, or a
    // command the dialog takes as a click; the tick of "Nach dem Schreiben
    // prüfen" follows the dialog.
    void menuCommand(unsigned command);
    // ControlNamer: the table's name, and after it what a label or the port
    // list shows ("Status: Lernzeit ..."), as the Qt form names them.
    std::wstring accessibleName(HWND control) const override;
    // The whole text of a control that may cut it (the status line, the
    // port line); its tooltip says the same.
    std::wstring accessibleDescription(HWND control) const override;
    // The tooltips of the texts that may be cut, each with the whole text.
    void addTooltips();
    void updateTooltip(HWND control, const std::wstring& text);
    // The port line's height in the list's font, and the line drawn cut
    // with "…" to the list's width, in the system's colours of a list item.
    void fitPortLine();
    void drawPortLine(const DRAWITEMSTRUCT& item);
    // The form moved to a monitor of another dpi: its font at that dpi, every
    // control placed anew from the table, and the window where the system
    // suggests.
    void onDpiChanged(UINT dpi, const RECT& suggested);
    // The form's font made for a dpi (the caller deletes it), and the
    // window's size, frame included, for the table in a font at a dpi.
    HFONT fontAt(UINT dpi) const;
    SIZE windowSizeAt(UINT dpi, HFONT font) const;
    // WM_GETDPISCALEDSIZE: false leaves the system to scale the size.
    bool scaledSize(UINT dpi, SIZE& size) const;
    void post(std::function<void()> onUiThread);
    HWND control(int id) const { return ::GetDlgItem(window_, id); }

    SerialBackend& backend_;
    PortTable ports_;
    Clock& clock_;
    std::string backupFolder_;

    HWND window_ = nullptr;
    std::unique_ptr<DeviceRunner> runner_;
    std::unique_ptr<MainDialog> dialog_;
    std::unique_ptr<ClickGate> gate_;
    std::unique_ptr<AccessibleControls> accessible_;
    ViewPage page_ = ViewPage::Lower;
    bool ended_ = false;
    int result_ = 0;
    bool sessionEnding_ = false;  // asked whether the session may end, not told it does not
    bool leftForSession_ = false;  // learn mode left and the port closed for it
    bool quiet_ = false;  // no box opens: messages left out, questions answered "Nein"
    bool userChanged_ = true;
    bool settingText_ = false;
    std::map<int, int> limits_;
    InputHold hold_{layout::mainForm()};
    std::unique_ptr<FormLayout> layout_;
    UINT dpi_ = 96;
    LOGFONTW baseFont_ = {};  // the dialog's font as the form was made
    HFONT scaledFont_ = nullptr;  // the form's font after a change of dpi; before it, the dialog's own
    HWND tooltips_ = nullptr;
    HICON bigIcon_ = nullptr;
    HICON smallIcon_ = nullptr;
};

}  // namespace harvelin::win
