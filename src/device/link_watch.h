#pragma once

#include <optional>
#include <string>

#include "link/serial_link.h"

namespace harvelin {

// What the form shows after one tick of the link watch.
struct LinkWatchResult {
    // "Aktiv" ticked or not; none: left as it is.
    std::optional<bool> active;
    // The link was found lost in this tick: the repeater clock group hides.
    bool lost = false;
};

// Outside learn mode, once per tick of the form's timer: keeps a found port
// alive, notices when it dies and brings it back. Does nothing while another
// operation has the line (`deviceBusy`) or no pager was found.
LinkWatchResult linkWatch(SerialLink& link, bool deviceBusy);

// One tick's read of whatever the pager sent: up to 100 bytes, or what came
// in about 100 ms, so a tick lasts about as long as the timer period. A failed
// read, or a line without a handle, gives nothing.
std::string readTick(SerialLink& link);

}  // namespace harvelin
