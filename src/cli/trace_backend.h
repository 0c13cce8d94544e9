#pragma once

#include <cstdint>
#include <memory>
#include <mutex>
#include <ostream>
#include <string>
#include <string_view>

#include "link/serial_port.h"
#include "platform/clock.h"

namespace harvelin {

// Passes every serial line through and prints what goes over it: each open,
// every write and every read that brought bytes, with the time since the
// trace began. Control bytes are escaped, texts shown as UTF-8.
class TracingBackend : public SerialBackend {
public:
    TracingBackend(SerialBackend& inner, Clock& clock, std::ostream& out);

    std::unique_ptr<SerialPort> open(const std::string& deviceName) override;
    PortProblem lastOpenProblem() const override { return inner_.lastOpenProblem(); }

    void log(const std::string& device, std::string_view direction, std::string_view bytes);

private:
    SerialBackend& inner_;
    Clock& clock_;
    std::ostream& out_;
    std::mutex outLock_;
    std::int64_t startMs_;
};

// "\x16>Lese:0\r" for the bytes 0x16 ">Lese:0" 0x0D; Windows-1252 letters as
// UTF-8, a backslash doubled.
std::string escapedBytes(std::string_view bytes);

}  // namespace harvelin
