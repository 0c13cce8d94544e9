#pragma once

#include <memory>

#include "link/serial_port.h"

namespace harvelin {

// The serial backend of this system: termios on POSIX, the Win32 comm API on
// Windows.
std::unique_ptr<SerialBackend> makeSystemSerialBackend();

}  // namespace harvelin
