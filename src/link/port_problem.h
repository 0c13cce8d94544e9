#pragma once

#include <string>
#include <vector>

#include "link/port_table.h"
#include "link/serial_port.h"

namespace harvelin {

// A port of the table that could not be opened, and why.
struct FailedPort {
    PortEntry port;
    PortProblem problem;
};

// What the form shows after a search that found no pager while ports failed
// for a reason the system told: one paragraph per port with the remedy, and
// a note on services that take USB adapters, in the language chosen.
// Windows-1252; empty when no port failed for a known reason.
std::string searchProblemsMessage(const std::vector<FailedPort>& failed);

// What the form shows when the machine has no serial port at all.
std::string noSerialPortMessage();

// The port list line after a search that found nothing.
std::string nothingFoundLine();

// A short English status for the port listing's column, the same in every
// language since scripts read it: "ok", "permission denied (group dialout)",
// "busy (minicom (PID 4711))", "no such device", "not a serial device";
// "cannot be opened" when the reason is unknown.
std::string portStatusText(const PortProblem& problem);

// Whether the device is a USB serial adapter by its name.
bool isUsbAdapterName(const std::string& deviceName);

}  // namespace harvelin
