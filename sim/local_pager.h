#pragma once

#include <memory>
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
    SerialBackend& system_;
    Clock& clock_;
    SimBackend lines_;
    std::shared_ptr<PagerSimulator> pager_;
    bool started_ = false;
};

}  // namespace harvelin::sim
