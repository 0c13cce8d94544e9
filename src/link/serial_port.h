#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace harvelin {

// The two sets of total read/write time-outs the tool uses. A read of up to N
// bytes returns as soon as N bytes have arrived, otherwise after
//   Link:   N + 1 ms    (multiplier 1, constant 1)
//   Search: N ms        (multiplier 1, constant 0)
// with what has arrived. A write of k bytes is given k + 5 ms in both sets.
enum class TimeoutSet { Link, Search };

constexpr unsigned readTimeoutMs(TimeoutSet set, std::size_t bytes)
{
    return static_cast<unsigned>(bytes) + (set == TimeoutSet::Link ? 1u : 0u);
}

constexpr unsigned writeTimeoutMs(std::size_t bytes) { return static_cast<unsigned>(bytes) + 5u; }

// One opened serial line. Destroying the object closes it.
class SerialPort {
public:
    virtual ~SerialPort() = default;

    // Reads the line's settings; false when the handle has gone bad. This is
    // also the liveness check of every exchange.
    virtual bool readSettings() = 0;
    // 115200 baud, 8 data bits, no parity, one stop bit, DTR and RTS inactive;
    // every other setting as the line reports it.
    virtual bool applyLineSettings() = 0;
    virtual void setTimeouts(TimeoutSet set) = 0;
    // Up to maxBytes; returns after maxBytes or after the read time-out of the
    // current set, with what has arrived (possibly nothing).
    virtual std::string read(std::size_t maxBytes) = 0;
    // False when the line refused the bytes.
    virtual bool write(std::string_view bytes) = 0;
    // Drops whatever has arrived and not been read yet, without waiting, and
    // returns what it dropped as far as the line tells.
    // Every command goes out on a line emptied this way, the search's probes
    // and the exchange's frames alike, on every system: bytes waiting before
    // a command is written answer an earlier one (a late or repeated answer,
    // the rest of an overlong one), and must never count for this one.
    virtual std::string discardInput() { return {}; }
};

// Why a line could not be opened, as far as the system tells.
enum class PortFault {
    None,              // unknown, or nothing worth telling the user
    NoDevice,          // no such device (an adapter pulled, a wrong name)
    PermissionDenied,  // the user may not open it
    Busy,              // another program holds it
    NotSerial,         // it opens, but is no serial line
};

struct PortProblem {
    PortFault fault = PortFault::None;
    // PermissionDenied: the group that owns the device, and whether the user
    // is already a member of it although this login does not have it yet.
    std::string group;
    bool memberAfterNextLogin = false;
    // Busy: who holds it, "minicom (PID 4711)", where the system tells.
    std::string holder;
    // NoDevice or Busy: running services known to take USB serial adapters
    // for themselves ("ModemManager", "brltty").
    std::vector<std::string> adapterGrabbers;
};

// Opens serial lines by device name, exclusively.
class SerialBackend {
public:
    virtual ~SerialBackend() = default;
    // nullptr when the device is absent or in use.
    virtual std::unique_ptr<SerialPort> open(const std::string& deviceName) = 0;
    // Why the last open() of this backend returned nullptr.
    virtual PortProblem lastOpenProblem() const { return {}; }
};

}  // namespace harvelin
