#include "gui/dialog_thread.h"

#include <type_traits>
#include <utility>
#include <vector>

#include <QEventLoop>
#include <QTimer>

#include "gui/stand_in_timers.h"

namespace harvelin::gui {

// The dialog's host on the device thread: widget calls are run on the GUI
// thread and waited for; the timers are the device thread's own, so a tick
// never waits for the GUI thread to come round to it.
class DialogThread::Relay final : public DialogHost {
public:
    Relay(FormHost& form, QObject& gui, QObject& device) : form_(form), gui_(gui), device_(device) {}

    std::function<void(int)> onTick;
    int modalDepth = 0;  // > 0 while the device thread waits for a modal box

    std::string controlText(int id) const override { return onGui([&] { return form_.controlText(id); }); }
    // A tick writes back what it read; see FormHost.
    void setControlText(int id, const std::string& text) override
    {
        onGui([&, inTick = tickDepth_ > 0] { form_.setControlText(id, text, inTick); });
    }
    bool isChecked(int id) const override { return onGui([&] { return form_.isChecked(id); }); }
    void setChecked(int id, bool checked) override
    {
        onGui([&, inTick = tickDepth_ > 0] { form_.setChecked(id, checked, inTick); });
    }
    void setVisible(int id, bool visible) override { onGui([&] { form_.setVisible(id, visible); }); }
    void setEnabled(int id, bool enabled) override { onGui([&] { form_.setEnabled(id, enabled); }); }
    void setInputLimit(int id, int maxChars) override { onGui([&] { form_.setInputLimit(id, maxChars); }); }
    void setFocus(int id) override { onGui([&] { form_.setFocus(id); }); }
    void setProgressRange(int low, int high) override { onGui([&] { form_.setProgressRange(low, high); }); }
    void setProgressPos(int pos) override { onGui([&] { form_.setProgressPos(pos); }); }
    void setPortListLine(const std::string& line) override { onGui([&] { form_.setPortListLine(line); }); }
    void endDialog(int result) override { onGui([&] { form_.endDialog(result); }); }

    void messageBox(const std::string& text) override
    {
        modal([&] {
            form_.messageBox(text);
            return true;
        });
    }
    bool askYesNo(const std::string& text) override
    {
        return modal([&] { return form_.askYesNo(text); });
    }
    std::optional<std::string> fileDialog(const FileDialogSpec& spec) override
    {
        return modal([&] { return form_.fileDialog(spec); });
    }

    // The GUI thread paints by itself while the device thread works.
    void repaintNow() override
    {
        if (onGuiThread())
            form_.repaintNow();
    }

    void startTimer(int id, unsigned periodMs) override
    {
        onDevice([this, id, periodMs] {
            QTimer*& timer = timers_[id];
            if (!timer) {
                timer = new QTimer(&device_);
                QObject::connect(timer, &QTimer::timeout, &device_, [this, id] { tick(id); });
            }
            // Ticks that fall due while a handler runs are not caught up.
            timer->start(static_cast<int>(periodMs));
        });
    }
    void stopTimer(int id) override
    {
        onDevice([this, id] {
            const auto it = timers_.find(id);
            if (it != timers_.end() && it->second)
                it->second->stop();
        });
    }
    // On the device thread.
    void deleteTimers()
    {
        for (auto& [id, timer] : timers_)
            delete timer;
        timers_.clear();
    }

private:
    bool onGuiThread() const { return QThread::currentThread() == gui_.thread(); }

    template <class F>
    std::invoke_result_t<F&> onGui(F&& f) const
    {
        using R = std::invoke_result_t<F&>;
        if (onGuiThread())
            return f();
        if constexpr (std::is_void_v<R>) {
            QMetaObject::invokeMethod(&gui_, [&f] { f(); }, Qt::BlockingQueuedConnection);
        } else {
            R result{};
            QMetaObject::invokeMethod(&gui_, [&] { result = f(); }, Qt::BlockingQueuedConnection);
            return result;
        }
    }

    template <class F>
    void onDevice(F f)
    {
        if (QThread::currentThread() == device_.thread())
            f();
        else
            QMetaObject::invokeMethod(&device_, std::move(f), Qt::QueuedConnection);
    }

    // A box or file dialog runs its own event loop on the GUI thread. The
    // device thread waits for its answer in an event loop of its own, so the
    // timer's ticks go on meanwhile (learning keeps counting and listening).
    // Qt does not fire a timer again while its own handler is still running,
    // so within a tick the running timers are stood in for by timers of the
    // box's lifetime.
    template <class F>
    std::invoke_result_t<F&> modal(F&& f)
    {
        using R = std::invoke_result_t<F&>;
        if (onGuiThread())
            return f();
        std::optional<R> answer;
        QEventLoop loop;
        QMetaObject::invokeMethod(
            &gui_,
            [&] {
                R result = f();
                QMetaObject::invokeMethod(
                    &loop,
                    [&, result] {
                        answer = result;
                        loop.quit();
                    },
                    Qt::QueuedConnection);
            },
            Qt::QueuedConnection);

        const auto standIns = standInTimers(tickDepth_ > 0, timers_, &device_, [this](int id) { tick(id); });
        ++modalDepth;
        loop.exec();
        --modalDepth;
        return *answer;
    }

    void tick(int id)
    {
        ++tickDepth_;
        if (onTick)
            onTick(id);
        --tickDepth_;
    }

    FormHost& form_;
    QObject& gui_;
    QObject& device_;
    std::map<int, QTimer*> timers_;
    int tickDepth_ = 0;
};

DialogThread::DialogThread(FormHost& form, QObject& guiContext, Mode mode)
    : mode_(mode), form_(form), gui_(guiContext)
{
    if (mode_ == Mode::Blocking)
        return;
    thread_.setObjectName(QStringLiteral("device"));
    deviceContext_ = std::make_unique<QObject>();
    deviceContext_->moveToThread(&thread_);
    relay_ = std::make_unique<Relay>(form_, gui_, *deviceContext_);
    thread_.start();
}

DialogThread::~DialogThread() { shutdown(); }

DialogHost& DialogThread::host()
{
    if (relay_)
        return *relay_;
    return form_;
}

void DialogThread::setTickHandler(std::function<void(int)> onTick)
{
    if (relay_)
        relay_->onTick = std::move(onTick);
    else
        form_.onTick = std::move(onTick);
}

void DialogThread::post(std::function<void()> job, std::function<void()> done)
{
    if (!relay_) {
        job();
        if (done)
            done();
        return;
    }
    QMetaObject::invokeMethod(
        deviceContext_.get(),
        [this, job = std::move(job), done = std::move(done)] {
            if (relay_->modalDepth == 0)
                job();
            if (done)
                QMetaObject::invokeMethod(&gui_, done, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
}

void DialogThread::runAndWait(const std::function<void()>& job)
{
    if (!relay_ || !thread_.isRunning()) {
        job();
        return;
    }
    QEventLoop loop;
    QMetaObject::invokeMethod(
        deviceContext_.get(),
        [&] {
            job();
            QMetaObject::invokeMethod(&loop, &QEventLoop::quit, Qt::QueuedConnection);
        },
        Qt::QueuedConnection);
    loop.exec();
}

void DialogThread::shutdown()
{
    if (!relay_ || !thread_.isRunning())
        return;
    runAndWait([this] { relay_->deleteTimers(); });
    thread_.quit();
    thread_.wait();
}

}  // namespace harvelin::gui
