#include "local_pager.h"

namespace harvelin::sim {

namespace {

// A real person takes a moment between the tool's learn command and the
// press of the call button.
constexpr std::int64_t LearnPressDelayMs = 1500;

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
    if (started_ && deviceName == DeviceName)
        return lines_.open(deviceName);
    return system_.open(deviceName);
}

}  // namespace harvelin::sim
