#pragma once

#include "link/serial_port.h"
#include "platform/clock.h"
#include "ui/main_dialog.h"
#include "form_results.h"
#include "memory_host.h"

namespace harvelin {

// A backend on which no port can be opened.
class NoPortsBackend : public SerialBackend {
public:
    std::unique_ptr<SerialPort> open(const std::string& name) override
    {
        opened.push_back(name);
        return nullptr;
    }
    std::vector<std::string> opened;
};

// The dialog on an in-memory host and virtual time, with no pager attached.
struct TestRig {
    VirtualClock clock;
    MemoryHost host;
    NoPortsBackend backend;
    MainDialog dialog{host, backend, PortTable::windowsComPorts(), clock};
    FormResults results{dialog};
};

}  // namespace harvelin
