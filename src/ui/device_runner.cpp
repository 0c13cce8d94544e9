#include "ui/device_runner.h"

#include <utility>

namespace harvelin {

// What the session tells while the work runs, each event handed to the
// form's thread in order; the work goes on at once.
class DeviceRunner::Context final : public SessionEvents {
public:
    Context(const Post& post, bool threaded) : post_(post), threaded_(threaded) {}
    void showOn(SessionEvents& shown) { shown_ = &shown; }

    void progressRange(int low, int high) override
    {
        onForm([low, high](SessionEvents& e) { e.progressRange(low, high); });
    }
    void progress(int position) override
    {
        onForm([position](SessionEvents& e) { e.progress(position); });
    }
    void portLine(const std::string& line) override
    {
        onForm([line](SessionEvents& e) { e.portLine(line); });
    }
    // The form's thread paints by itself while the device thread works.
    void repaint() override
    {
        if (!threaded_ && shown_)
            shown_->repaint();
    }
    void notice(const std::string& text) override
    {
        onForm([text](SessionEvents& e) { e.notice(text); });
    }
    void pagerFound(const FoundPager& pager) override
    {
        onForm([pager](SessionEvents& e) { e.pagerFound(pager); });
    }
    void repeaterStatus(const RepeaterStatus& status) override
    {
        onForm([status](SessionEvents& e) { e.repeaterStatus(status); });
    }
    void clockTimeSent(const std::string& time) override
    {
        onForm([time](SessionEvents& e) { e.clockTimeSent(time); });
    }
    void learnStatus(const std::string& text) override
    {
        onForm([text](SessionEvents& e) { e.learnStatus(text); });
    }
    void learnEnded(bool stored, LearnModeExit exit) override
    {
        onForm([stored, exit](SessionEvents& e) { e.learnEnded(stored, exit); });
    }
    void learnLineDropped() override
    {
        onForm([](SessionEvents& e) { e.learnLineDropped(); });
    }

private:
    void onForm(std::function<void(SessionEvents&)> f)
    {
        if (!shown_)
            return;
        if (threaded_)
            post_([f = std::move(f), shown = shown_] { f(*shown); });
        else
            f(*shown_);
    }

    const Post& post_;
    bool threaded_;
    SessionEvents* shown_ = nullptr;
};

DeviceRunner::DeviceRunner(DialogHost& host, Post post, bool threaded)
    : host_(host), post_(std::move(post)), threaded_(threaded), context_(std::make_unique<Context>(post_, threaded))
{
    if (threaded_)
        thread_ = std::thread([this] { deviceLoop(); });
}

DeviceRunner::~DeviceRunner() { shutdown(); }

void DeviceRunner::deviceLoop()
{
    for (;;) {
        std::function<void()> job;
        {
            std::unique_lock lock(mutex_);
            wake_.wait(lock, [this] { return stopping_ || !jobs_.empty(); });
            if (stopping_)
                return;
            job = std::move(jobs_.front());
            jobs_.pop_front();
        }
        job();
    }
}

void DeviceRunner::showEventsOn(SessionEvents& shown) { context_->showOn(shown); }

void DeviceRunner::run(std::function<void(SessionEvents&)> work, std::function<void()> done)
{
    ++queued_;
    ++unfinished_;
    auto deliver = [this, done = std::move(done)] {
        --queued_;
        if (done)
            done();
        finished();
    };
    if (!threaded_) {
        work(*context_);
        deliver();
        return;
    }
    std::lock_guard lock(mutex_);
    jobs_.push_back([this, work = std::move(work), deliver = std::move(deliver)]() mutable {
        work(*context_);
        post_(std::move(deliver));
    });
    wake_.notify_one();
}

void DeviceRunner::repaintWhileWaiting()
{
    if (!threaded_)
        host_.repaintNow();
}

void DeviceRunner::whenIdle(std::function<void()> then)
{
    if (unfinished_ == 0) {
        then();
        return;
    }
    whenIdle_.push_back(std::move(then));
}

void DeviceRunner::finished()
{
    if (--unfinished_ > 0)
        return;
    auto waiting = std::move(whenIdle_);
    whenIdle_.clear();
    for (auto& then : waiting)
        then();
}

void DeviceRunner::shutdown()
{
    if (!thread_.joinable())
        return;
    {
        std::lock_guard lock(mutex_);
        stopping_ = true;
        jobs_.clear();
    }
    wake_.notify_one();
    thread_.join();
}

}  // namespace harvelin
