#pragma once

#include <condition_variable>
#include <deque>
#include <functional>
#include <memory>
#include <mutex>
#include <thread>
#include <vector>

#include "ui/dialog_host.h"
#include "ui/work_runner.h"

namespace harvelin {

// The form's work on a device thread of its own, for a desktop program.
//
//   form's thread    the widgets, MainDialog and its image, clicks, keys, the
//                    close box, the 100 ms timer and every message box
//   device thread    the work handed to run(): the operations on the link
//
// Neither thread waits for the other: what the session tells while the work
// runs is posted to the form's thread with `post`, and so is the `done` that
// shows the result. The form holds its input until the work
// is done (whenIdle). Without a thread (`threaded` false) the work runs at
// once on the caller's thread, and so does what it hands over.
class DeviceRunner : public WorkRunner {
public:
    // Hands a closure to the form's thread, to run there in the order given,
    // without waiting for it.
    using Post = std::function<void(std::function<void()>)>;

    DeviceRunner(DialogHost& host, Post post, bool threaded);
    // Without a thread: the work runs at once on the caller's thread, then
    // `done`, and the handlers behave as if they talked to the pager
    // themselves (the tests, the fuzz targets, the benchmarks).
    static std::unique_ptr<DeviceRunner> inlineOn(DialogHost& host)
    {
        return std::make_unique<DeviceRunner>(host, Post{}, false);
    }
    ~DeviceRunner() override;
    DeviceRunner(const DeviceRunner&) = delete;
    DeviceRunner& operator=(const DeviceRunner&) = delete;

    void showEventsOn(SessionEvents& shown) override;
    void run(std::function<void(SessionEvents&)> work, std::function<void()> done) override;
    bool working() const override { return queued_ > 0; }
    void repaintWhileWaiting() override;

    // Calls `then` on the form's thread as soon as no work is queued or
    // running and every `done` has returned; at once when that is so already.
    void whenIdle(std::function<void()> then);
    // Ends the device thread once its current work is done; work still
    // queued is dropped. Cancel the link first so that it ends soon.
    void shutdown();

private:
    class Context;
    void deviceLoop();
    void finished();

    DialogHost& host_;
    Post post_;
    bool threaded_;
    std::unique_ptr<Context> context_;
    // Form's thread only.
    int queued_ = 0;      // handed over, `done` not yet begun
    int unfinished_ = 0;  // handed over, `done` not yet returned
    std::vector<std::function<void()>> whenIdle_;
    // Shared with the device thread.
    std::mutex mutex_;
    std::condition_variable wake_;
    std::deque<std::function<void()>> jobs_;
    bool stopping_ = false;
    std::thread thread_;
};

}  // namespace harvelin
