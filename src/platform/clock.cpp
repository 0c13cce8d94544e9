#include "platform/clock.h"

#include <chrono>
#include <ctime>
#include <thread>

namespace harvelin {

void SystemClock::sleepMs(unsigned ms) { std::this_thread::sleep_for(std::chrono::milliseconds(ms)); }

std::int64_t SystemClock::nowMs() const
{
    using namespace std::chrono;
    return duration_cast<milliseconds>(steady_clock::now().time_since_epoch()).count();
}

LocalTime SystemClock::localTime() const
{
    const std::time_t now = std::time(nullptr);
    std::tm tm{};
#if defined(_WIN32)
    localtime_s(&tm, &now);
#else
    localtime_r(&now, &tm);
#endif
    return {static_cast<unsigned>(tm.tm_hour), static_cast<unsigned>(tm.tm_min), static_cast<unsigned>(tm.tm_sec)};
}

LocalTime VirtualClock::localTime() const
{
    constexpr std::int64_t Day = 24 * 3600 * 1000;
    const std::int64_t ms = ((localBaseMs_ + (now_ - localSetAt_)) % Day + Day) % Day;
    const auto seconds = static_cast<unsigned>(ms / 1000);
    return {seconds / 3600, seconds / 60 % 60, seconds % 60};
}

void VirtualClock::setLocalTime(LocalTime time)
{
    localBaseMs_ = (static_cast<std::int64_t>(time.hour) * 3600 + time.minute * 60 + time.second) * 1000;
    localSetAt_ = now_;
}

}  // namespace harvelin
