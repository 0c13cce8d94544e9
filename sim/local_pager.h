#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>

#include "link/serial_port.h"
#include "pager_simulator.h"
#include "platform/clock.h"
#include "sim_backend.h"

namespace harvelin::sim {

// The simulated pager inside the tool's own process, in real time, for
// systems where it cannot answer behind a pseudo-terminal. Once started, the
// backend opens the simulated line by its own name and hands every other
// name to the system's serial backend, so the pager stands in the port table
// beside the real ports. It holds the demo configuration, and a call button
// is pressed a moment after it takes up learn mode.
class LocalPagerBackend final : public SerialBackend {
public:
    static constexpr const char* DeviceName = "zelvatron-sim";

    LocalPagerBackend(SerialBackend& system, Clock& clock);

    // The device name to open.
    std::string start();

    std::unique_ptr<SerialPort> open(const std::string& deviceName) override;

private:
    void afterWrite();

    SerialBackend& system_;
    Clock& clock_;
    SimBackend lines_;
    std::shared_ptr<PagerSimulator> pager_;
    bool started_ = false;
    std::optional<std::int64_t> pressDueAt_;  // a press to queue once the answer is on its way
    bool pressQueued_ = false;                // the press of the current learn mode is queued
};

}  // namespace harvelin::sim
