#pragma once

#include <functional>
#include <string>

#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "ui/device_runner.h"

namespace harvelin {

// One click at a time, for a desktop form: the window holds its input from a
// click until the click's work is done and shown, so nothing clicked or typed
// meanwhile is carried out afterwards. "Abbrechen" shows while the search, the
// read-out, the write or the comparison with the pager runs, and stops it before its next command to the
// pager. A close asked for meanwhile cancels the work and comes again once it
// has stopped; during a write the user is asked first, and the write goes on
// while the question is open.
class ClickGate {
public:
    // What the gate needs of the window.
    class Window {
    public:
        virtual ~Window() = default;
        // Every control that takes input is disabled except "Abbrechen".
        // With `cancel`, "Abbrechen" is shown and has the focus before
        // anything is disabled, so the focus goes there directly and no
        // other control reports it on the way.
        virtual void holdInput(bool cancel) = 0;
        virtual void releaseInput() = 0;
        // Hides "Abbrechen".
        virtual void hideCancel() = 0;
        // A click's work has ended and its result is shown.
        virtual void clickEnded() = 0;
        // Closes the window as the close box does.
        virtual void closeAgain() = 0;
    };

    ClickGate(MainDialog& dialog, DeviceRunner& runner, Window& window)
        : dialog_(dialog), runner_(runner), window_(window)
    {
    }

    // True from a click until its work has ended.
    bool busy() const { return busy_; }
    void press(int controlId);
    // A file given from outside the form (dropped on it, or named at start),
    // taken as a click on "Datei öffnen" is: not while other work runs.
    void openGivenFile(const std::string& path);
    // "Abbrechen" (and Escape while it shows).
    void cancel();
    // Before the window closes: true while a click's work runs, which is then
    // cancelled; closeAgain() follows once it has stopped. A write is
    // stopped only when the user agrees (unless `ask` is false: a signal, the
    // end of the session); "Nein" lets it finish and the window stays. False
    // also when the write ended while the question was open and the user
    // agreed: the window may close now.
    bool closeDeferred(bool ask = true);
    // A write runs.
    bool writing() const { return busy_ && runningId_ == ctl::WriteButton; }
    // Holds the window's input for work of the window's own (ending learn
    // mode and giving the port back before it closes).
    void hold();
    void release();

private:
    // Runs `handler` as the click on `controlId`.
    void run(int controlId, const std::function<void()>& handler);
    void ended();

    MainDialog& dialog_;
    DeviceRunner& runner_;
    Window& window_;
    bool busy_ = false;
    bool cancellable_ = false;
    int runningId_ = 0;
    bool asking_ = false;
    bool closePending_ = false;
};

}  // namespace harvelin
