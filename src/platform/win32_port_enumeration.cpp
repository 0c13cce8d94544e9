// On Windows the tool searches the fixed names COM1..COM30, present or not:
// a port that does not exist costs only a failed open.

#include "platform/port_enumeration.h"

namespace harvelin {

PortTable systemPortTable() { return PortTable::windowsComPorts(); }

}  // namespace harvelin
