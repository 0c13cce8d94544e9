#include "ui/threaded_runner.h"

#include <utility>

namespace harvelin {

// What the work tells while it runs, posted to the form's thread in order;
// the work goes on at once.
class ThreadedRunner::Context final : public WorkContext {
public:
    Context(DialogHost& host, const Post& post, bool threaded) : host_(host), post_(post), threaded_(threaded) {}

    void progressRange(int low, int high) override
    {
        onForm([this, low, high] { host_.setProgressRange(low, high); });
    }
    void progress(int position) override
    {
        onForm([this, position] { host_.setProgressPos(position); });
    }
    void portLine(const std::string& line) override
    {
        onForm([this, line] { host_.setPortListLine(line); });
    }
    // The form's thread paints by itself while the device thread works.
    void repaint() override
    {
        if (!threaded_)
            host_.repaintNow();
    }
    void notice(const std::string& text) override
    {
        onForm([this, text] { host_.messageBox(text); });
    }
    void show(std::function<void()> onFormThread) override { onForm(std::move(onFormThread)); }

private:
    void onForm(std::function<void()> f)
    {
        if (threaded_)
            post_(std::move(f));
        else
            f();
    }

    DialogHost& host_;
    const Post& post_;
    bool threaded_;
};

ThreadedRunner::ThreadedRunner(DialogHost& host, Post post, bool threaded)
    : host_(host), post_(std::move(post)), threaded_(threaded),
      context_(std::make_unique<Context>(host_, post_, threaded))
{
    if (threaded_)
        thread_ = std::thread([this] { deviceLoop(); });
}

ThreadedRunner::~ThreadedRunner() { shutdown(); }

void ThreadedRunner::deviceLoop()
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

void ThreadedRunner::run(std::function<void(WorkContext&)> work, std::function<void()> done)
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

void ThreadedRunner::repaintWhileWaiting()
{
    if (!threaded_)
        host_.repaintNow();
}

void ThreadedRunner::whenIdle(std::function<void()> then)
{
    if (unfinished_ == 0) {
        then();
        return;
    }
    whenIdle_.push_back(std::move(then));
}

void ThreadedRunner::finished()
{
    if (--unfinished_ > 0)
        return;
    auto waiting = std::move(whenIdle_);
    whenIdle_.clear();
    for (auto& then : waiting)
        then();
}

void ThreadedRunner::shutdown()
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
