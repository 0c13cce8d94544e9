#pragma once

#include "link/serial_port.h"

namespace harvelin {

// Why opening a port failed with `error`, the system's error code
// (GetLastError). Windows refuses a COM port that another program holds
// with ERROR_ACCESS_DENIED, and a device or file opened without sharing
// with ERROR_SHARING_VIOLATION: both are a busy port, whose holder Windows
// does not name. Any other failure tells the user nothing worth a line.
PortProblem diagnoseOpenFailure(unsigned long error);

}  // namespace harvelin
