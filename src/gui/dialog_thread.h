#pragma once

#include <functional>
#include <map>
#include <memory>
#include <optional>
#include <string>

#include <QObject>
#include <QThread>

#include "gui/form_host.h"
#include "ui/dialog_host.h"

class QTimer;

namespace harvelin::gui {

// Where the main dialog runs.
//
//   GUI thread     the widgets (FormHost), clicks, keys, the close box
//   device thread  MainDialog, its link and image, the 100 ms timer's ticks
//
// The dialog talks to the widgets only through host(): each call runs on the
// GUI thread while the device thread waits for it, so the dialog's handlers
// read as if they owned the window. The GUI thread never waits for the
// device thread except when the form is taken down, and then keeps its own
// events turning. In Blocking mode there is no device thread: everything runs
// on the GUI thread as the handlers are called.
class DialogThread final {
public:
    enum class Mode { Threaded, Blocking };

    DialogThread(FormHost& form, QObject& guiContext, Mode mode);
    ~DialogThread();
    DialogThread(const DialogThread&) = delete;
    DialogThread& operator=(const DialogThread&) = delete;

    Mode mode() const { return mode_; }
    // The host the dialog is given.
    DialogHost& host();
    // Where the ticks of the dialog's timers go, on the device thread.
    void setTickHandler(std::function<void(int timerId)> onTick);

    // Runs `job` on the device thread and then `done` on the GUI thread. A job
    // that arrives while the dialog waits for a message box or file dialog is
    // not run (the box would have kept its click from the form); `done` runs
    // all the same. In Blocking mode both run at once.
    void post(std::function<void()> job, std::function<void()> done = {});
    // Runs `job` on the device thread and returns when it has run. The GUI
    // thread's events are handled meanwhile.
    void runAndWait(const std::function<void()>& job);
    // Stops the timers and ends the device thread once its current job is
    // done. Nothing may be posted afterwards.
    void shutdown();

private:
    class Relay;
    Mode mode_;
    FormHost& form_;
    QObject& gui_;
    QThread thread_;
    std::unique_ptr<QObject> deviceContext_;  // lives on the device thread
    std::unique_ptr<Relay> relay_;
};

}  // namespace harvelin::gui
