#include "gui/device_worker.h"

#include <utility>

namespace harvelin::gui {

// What the work tells while it runs, posted to the GUI thread in order; the
// work goes on at once.
class DeviceWorker::Context final : public WorkContext {
public:
    Context(DialogHost& host, QObject& gui, bool threaded) : host_(host), gui_(gui), threaded_(threaded) {}

    void progressRange(int low, int high) override
    {
        onGui([this, low, high] { host_.setProgressRange(low, high); });
    }
    void progress(int position) override
    {
        onGui([this, position] { host_.setProgressPos(position); });
    }
    void portLine(const std::string& line) override
    {
        onGui([this, line] { host_.setPortListLine(line); });
    }
    // The GUI thread paints by itself while the device thread works.
    void repaint() override
    {
        if (!threaded_)
            host_.repaintNow();
    }
    void notice(const std::string& text) override
    {
        onGui([this, text] { host_.messageBox(text); });
    }
    void show(std::function<void()> onFormThread) override { onGui(std::move(onFormThread)); }

private:
    template <class F>
    void onGui(F f)
    {
        if (threaded_)
            QMetaObject::invokeMethod(&gui_, std::move(f), Qt::QueuedConnection);
        else
            f();
    }

    DialogHost& host_;
    QObject& gui_;
    bool threaded_;
};

DeviceWorker::DeviceWorker(DialogHost& host, QObject& guiContext, Mode mode)
    : mode_(mode), host_(host), gui_(guiContext),
      context_(std::make_unique<Context>(host, guiContext, mode == Mode::Threaded))
{
    if (mode_ == Mode::Blocking)
        return;
    thread_.setObjectName(QStringLiteral("device"));
    deviceContext_ = std::make_unique<QObject>();
    deviceContext_->moveToThread(&thread_);
    thread_.start();
}

DeviceWorker::~DeviceWorker() { shutdown(); }

void DeviceWorker::run(std::function<void(WorkContext&)> work, std::function<void()> done)
{
    ++queued_;
    ++unfinished_;
    auto deliver = [this, done = std::move(done)] {
        --queued_;
        if (done)
            done();
        finished();
    };
    if (mode_ == Mode::Blocking) {
        work(*context_);
        deliver();
        return;
    }
    QMetaObject::invokeMethod(
        deviceContext_.get(),
        [this, work = std::move(work), deliver = std::move(deliver)]() mutable {
            work(*context_);
            QMetaObject::invokeMethod(&gui_, std::move(deliver), Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void DeviceWorker::repaintWhileWaiting()
{
    if (mode_ == Mode::Blocking)
        host_.repaintNow();
}

void DeviceWorker::whenIdle(std::function<void()> then)
{
    if (unfinished_ == 0) {
        then();
        return;
    }
    whenIdle_.push_back(std::move(then));
}

void DeviceWorker::finished()
{
    if (--unfinished_ > 0)
        return;
    auto waiting = std::move(whenIdle_);
    whenIdle_.clear();
    for (auto& then : waiting)
        then();
}

void DeviceWorker::shutdown()
{
    if (!thread_.isRunning())
        return;
    thread_.quit();
    thread_.wait();
}

}  // namespace harvelin::gui
