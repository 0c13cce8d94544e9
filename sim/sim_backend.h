#pragma once

#include <cstdint>
#include <map>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "pager_simulator.h"
#include "platform/clock.h"

namespace harvelin::sim {

// Serial lines in process, on the clock given: virtual time in tests, real
// time where the simulated pager runs inside the tool. Each device name can carry a
// simulated pager, a silent device, or a device with fixed answers. Answers
// are available the moment they are produced (plus the pager's configured
// delays); a read of up to N bytes returns when N bytes are there or when its
// read time-out (serial_port.h) has passed on the clock.
class SimBackend : public SerialBackend {
public:
    explicit SimBackend(Clock& clock);

    // A pager on this device name. The backend shares ownership.
    std::shared_ptr<PagerSimulator> attachPager(const std::string& deviceName, PagerState state = {});
    // A device that opens but never answers.
    void attachSilentDevice(const std::string& deviceName);
    // A device that answers every write with these bytes.
    void attachEchoDevice(const std::string& deviceName, std::string answer);
    // The line vanishes (adapter pulled): writes and the liveness check fail,
    // and the device cannot be opened until it is plugged back.
    // With backAtMs, it is plugged back by itself at that virtual time.
    void unplug(const std::string& deviceName, std::optional<std::int64_t> backAtMs = std::nullopt);
    void plug(const std::string& deviceName);
    // Make the line's settings unreadable or unappliable on open.
    void failSettings(const std::string& deviceName, bool readFails, bool applyFails);
    // Another program holds the port: open fails.
    void setBusy(const std::string& deviceName, bool busy);
    // A device that cannot be opened, for this reason (which open() then
    // reports).
    void refuseOpen(const std::string& deviceName, PortProblem why);

    std::unique_ptr<SerialPort> open(const std::string& deviceName) override;
    PortProblem lastOpenProblem() const override { return lastProblem_; }

    // What happened on the wire, in order, for all devices.
    struct Event {
        enum Kind { Open, OpenFailed, Close, Write, Read } kind;
        std::string device;
        std::string bytes;      // written or read bytes
        std::int64_t atMs;      // clock time when it happened (for Read: when it returned)
        std::size_t requested;  // for Read: the maximum asked for
    };
    const std::vector<Event>& events() const;
    void clearEvents();
    // Convenience: every write to a device, in order.
    std::vector<std::string> writes(const std::string& deviceName) const;
    // Names of devices opened successfully, in order.
    std::vector<std::string> opened() const;

    // Queue bytes from the device at clock time atMs (for unsolicited lines).
    void inject(const std::string& deviceName, std::string bytes, std::int64_t atMs);

    struct Device;

private:
    Clock& clock_;
    std::shared_ptr<std::map<std::string, std::shared_ptr<Device>>> devices_;
    std::shared_ptr<std::vector<Event>> events_;
    PortProblem lastProblem_;
};

}  // namespace harvelin::sim
