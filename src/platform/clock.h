#pragma once

#include <cstdint>

namespace harvelin {

struct LocalTime {
    unsigned hour = 0;
    unsigned minute = 0;
    unsigned second = 0;
};

// Every wait of the tool goes through a Clock, so tests run on virtual time.
class Clock {
public:
    virtual ~Clock() = default;
    virtual void sleepMs(unsigned ms) = 0;
    // Monotonic milliseconds since an arbitrary start.
    virtual std::int64_t nowMs() const = 0;
    // The PC's local wall-clock time.
    virtual LocalTime localTime() const = 0;
};

class SystemClock final : public Clock {
public:
    void sleepMs(unsigned ms) override;
    std::int64_t nowMs() const override;
    LocalTime localTime() const override;
};

// Time that moves only when someone sleeps or advances it. The local time
// moves along with it from the value set last.
class VirtualClock final : public Clock {
public:
    void sleepMs(unsigned ms) override { now_ += ms; }
    std::int64_t nowMs() const override { return now_; }
    LocalTime localTime() const override;

    void advanceTo(std::int64_t ms)
    {
        if (ms > now_)
            now_ = ms;
    }
    void setLocalTime(LocalTime time);

private:
    std::int64_t now_ = 0;
    std::int64_t localBaseMs_ = 12 * 3600 * 1000;  // seconds of the day at localSetAt_
    std::int64_t localSetAt_ = 0;
};

}  // namespace harvelin
