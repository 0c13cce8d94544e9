#pragma once

#include <cstddef>
#include <memory>
#include <string>
#include <string_view>

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
    // Drops whatever has arrived and not been read yet, without waiting.
    virtual void discardInput() {}
};

// Opens serial lines by device name, exclusively.
class SerialBackend {
public:
    virtual ~SerialBackend() = default;
    // nullptr when the device is absent or in use.
    virtual std::unique_ptr<SerialPort> open(const std::string& deviceName) = 0;
};

}  // namespace harvelin
