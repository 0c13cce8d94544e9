#pragma once

#include <string>
#include <vector>

#include "link/serial_port.h"

namespace harvelin {

// Why opening `device` failed with `error` (an errno value; ENOTTY when it
// opened but is no terminal, EWOULDBLOCK when another program holds its
// lock), with what /proc and the group database tell about it.
PortProblem diagnoseOpenFailure(const std::string& device, int error);

// Who holds `device`, "minicom (PID 4711)": the holder of its lock where
// there is one, else every program that has it open, as far as /proc lets
// this user see.
std::vector<std::string> programsHolding(const std::string& device);

// Running services that take USB serial adapters for themselves.
std::vector<std::string> runningAdapterGrabbers();

}  // namespace harvelin
