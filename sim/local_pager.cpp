#include "local_pager.h"

#include <functional>

namespace harvelin::sim {

namespace {

// A real person takes a moment between the tool's learn command and the
// press of the call button.
constexpr std::int64_t LearnPressDelayMs = 1500;

// The simulated line, with one step after every write: what the pager's
// answer set in motion is queued behind that answer.
class LocalPort final : public SerialPort {
public:
    LocalPort(std::unique_ptr<SerialPort> inner, std::function<void()> afterWrite)
        : inner_(std::move(inner)), afterWrite_(std::move(afterWrite))
    {
    }

    bool readSettings() override { return inner_->readSettings(); }
    bool applyLineSettings() override { return inner_->applyLineSettings(); }
    void setTimeouts(TimeoutSet set) override { inner_->setTimeouts(set); }
    std::string read(std::size_t maxBytes) override { return inner_->read(maxBytes); }
    bool write(std::string_view bytes) override
    {
        const bool ok = inner_->write(bytes);
        afterWrite_();
        return ok;
    }

private:
    std::unique_ptr<SerialPort> inner_;
    std::function<void()> afterWrite_;
};

}  // namespace

LocalPagerBackend::LocalPagerBackend(SerialBackend& system, Clock& clock)
    : system_(system), clock_(clock), lines_(clock)
{
}

std::string LocalPagerBackend::start()
{
    if (!started_) {
        pager_ = lines_.attachPager(DeviceName, demoPagerState());
        // One button press for each time the pager takes up learn mode, as
        // long as it stays there.
        pager_->onLearnMode = [this](bool on) {
            if (!on)
                pressQueued_ = false;
            if (on && !pressQueued_)
                pressDueAt_ = clock_.nowMs() + LearnPressDelayMs;
        };
        started_ = true;
    }
    return DeviceName;
}

void LocalPagerBackend::afterWrite()
{
    // The lines keep a log of everything for tests; nobody reads it here,
    // so it is emptied rather than left growing while the program runs.
    lines_.clearEvents();
    if (pressDueAt_ && pager_->state().learnMode) {
        // The report is made now, while learn mode is on, and reaches the
        // line when the button is pressed.
        lines_.inject(DeviceName, pager_->pressButton(nextButtonIdentity()), *pressDueAt_);
        pressQueued_ = true;
    }
    pressDueAt_.reset();
}

std::unique_ptr<SerialPort> LocalPagerBackend::open(const std::string& deviceName)
{
    if (started_ && deviceName == DeviceName) {
        std::unique_ptr<SerialPort> port = lines_.open(deviceName);
        return port ? std::make_unique<LocalPort>(std::move(port), [this] { afterWrite(); }) : nullptr;
    }
    return system_.open(deviceName);
}

}  // namespace harvelin::sim
