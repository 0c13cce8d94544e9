#pragma once

#include <memory>

#include "link/serial_port.h"
#include "pager_simulator.h"
#include "platform/clock.h"
#include "sim_backend.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "form_results.h"
#include "memory_host.h"

namespace harvelin {

// The dialog on an in-memory host and virtual time, with a simulated pager on
// COM1 of the Windows port table.
struct SimRig {
    explicit SimRig(sim::PagerState state = {})
        : pager(backend.attachPager("COM1", std::move(state)))
    {
    }

    // The state a successful search leaves: port 1 open, "Aktiv" ticked.
    void connect()
    {
        dialog.session().takePort(1);
        host.setChecked(ctl::Active, true);
        pager->clearLog();
        backend.clearEvents();
    }

    VirtualClock clock;
    MemoryHost host;
    sim::SimBackend backend{clock};
    std::shared_ptr<sim::PagerSimulator> pager;
    MainDialog dialog{host, backend, PortTable::windowsComPorts(), clock};
    FormResults results{dialog};
};

}  // namespace harvelin
