#pragma once

#include <functional>
#include <vector>

#include "link/operation_sink.h"
#include "link/port_problem.h"
#include "link/port_table.h"
#include "link/serial_link.h"
#include "platform/clock.h"

namespace harvelin {

// What a search for the pager found.
struct SearchResult {
    // The pager answered on `port`, number `portNumber` of the table; the
    // link holds that port open with the search's settings.
    bool found = false;
    unsigned portNumber = 0;
    PortEntry port;
    // Ports that could not be opened for a reason the system told, in the
    // order they were tried.
    std::vector<FailedPort> failed;
    // The machine has no serial port at all.
    bool noPorts = false;
    // "Abbrechen": the search holds no port, also when it had found one.
    bool cancelled = false;
};

// Looks for the pager port by port, from the first of the table: each port
// is opened, set up and asked with the probe until one answers as a pager.
// The port list line names the port being tried and the one found. Whatever
// the link held before is closed first. `whenFound` runs as soon as the
// pager is found, on the open port, before the search ends (the form ticks
// "Aktiv" and asks for the repeater's status there); a cancel that comes
// before the search ends still lets the port go.
SearchResult searchPager(SerialLink& link, Clock& clock, OperationSink& sink,
                         const std::function<void()>& whenFound = {});

}  // namespace harvelin
