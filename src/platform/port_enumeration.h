#pragma once

#include "link/port_table.h"

namespace harvelin {

// The port table of this system: COM1..COM30 on Windows; on POSIX the serial
// devices present, USB adapters first, then the built-in ports, in a stable
// order, at most 30.
PortTable systemPortTable();

}  // namespace harvelin
