#include "local_pager.h"

namespace harvelin::sim {

namespace {

// A real person takes a moment between the tool's learn command and the
// press of the call button.
constexpr std::int64_t LearnPressDelayMs = 1500;

// The in-process lines keep a log of everything for tests; here nobody reads
// it, so it is emptied on every write rather than growing for as long as the
// program runs.
class UnloggedPort final : public SerialPort {
public:
    UnloggedPort(std::unique_ptr<SerialPort> inner, SimBackend& lines) : inner_(std::move(inner)), lines_(lines) {}

    bool readSettings() override { return inner_->readSettings(); }
    bool applyLineSettings() override { return inner_->applyLineSettings(); }
    void setTimeouts(TimeoutSet set) override { inner_->setTimeouts(set); }
    std::string read(std::size_t maxBytes) override { return inner_->read(maxBytes); }
    bool write(std::string_view bytes) override
    {
        lines_.clearEvents();
        return inner_->write(bytes);
    }

private:
    std::unique_ptr<SerialPort> inner_;
    SimBackend& lines_;
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
        pager_->onLearnMode = [this](bool on) {
            // The report is made now, while learn mode is on, and reaches
            // the line when the button is pressed.
            if (on)
                lines_.inject(DeviceName, pager_->pressButton(nextButtonIdentity()),
                              clock_.nowMs() + LearnPressDelayMs);
        };
        started_ = true;
    }
    return DeviceName;
}

std::unique_ptr<SerialPort> LocalPagerBackend::open(const std::string& deviceName)
{
    if (started_ && deviceName == DeviceName) {
        std::unique_ptr<SerialPort> port = lines_.open(deviceName);
        return port ? std::make_unique<UnloggedPort>(std::move(port), lines_) : nullptr;
    }
    return system_.open(deviceName);
}

}  // namespace harvelin::sim
