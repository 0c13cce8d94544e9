#pragma once

#include <functional>
#include <memory>
#include <vector>

#include <QObject>
#include <QThread>

#include "ui/dialog_host.h"
#include "ui/work_runner.h"

namespace harvelin::gui {

// Where the form's work runs.
//
//   GUI thread     the widgets, MainDialog and its image, clicks, keys, the
//                  close box, the 100 ms timer and every message box
//   device thread  the work handed to run(): the operations on the link
//
// The device thread never waits for the GUI thread: progress, port lines and
// what the work hands over to show are posted to the GUI thread, and so is
// the `done` that shows the result. The GUI thread never waits for the
// device thread either; the form holds its input until the work is done.
// In Blocking mode there is no device thread: the work runs on the GUI
// thread as it is handed over.
class DeviceWorker final : public WorkRunner {
public:
    enum class Mode { Threaded, Blocking };

    DeviceWorker(DialogHost& host, QObject& guiContext, Mode mode);
    ~DeviceWorker() override;
    DeviceWorker(const DeviceWorker&) = delete;
    DeviceWorker& operator=(const DeviceWorker&) = delete;

    Mode mode() const { return mode_; }

    void run(std::function<void(WorkContext&)> work, std::function<void()> done) override;
    bool working() const override { return queued_ > 0; }
    void repaintWhileWaiting() override;

    // Calls `then` on the GUI thread as soon as no work is queued or running
    // and every `done` has returned; at once when that is so already.
    void whenIdle(std::function<void()> then);
    // Ends the device thread once its current work is done; work still
    // queued is dropped. Cancel the link first so that it ends soon.
    void shutdown();

private:
    class Context;
    void finished();

    Mode mode_;
    DialogHost& host_;
    QObject& gui_;
    QThread thread_;
    std::unique_ptr<QObject> deviceContext_;  // lives on the device thread
    std::unique_ptr<Context> context_;
    int queued_ = 0;      // handed over, `done` not yet begun
    int unfinished_ = 0;  // handed over, `done` not yet returned
    std::vector<std::function<void()>> whenIdle_;
};

}  // namespace harvelin::gui
