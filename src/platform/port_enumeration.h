#pragma once

#include "link/port_table.h"

namespace harvelin {

// The port table of this system. On Windows the COM ports the system lists,
// each under its COM number, in ascending order, as many as there are; on
// POSIX the serial devices present, USB adapters first, then the built-in
// ports, in a stable order, numbered by place, at most 30.
PortTable systemPortTable();

}  // namespace harvelin
