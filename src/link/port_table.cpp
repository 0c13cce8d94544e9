#include "link/port_table.h"

#include <cstdio>

namespace harvelin {

PortTable::PortTable(std::vector<PortEntry> entries) : entries_(std::move(entries))
{
    if (entries_.size() > MaxPorts)
        entries_.resize(MaxPorts);
}

PortTable PortTable::windowsComPorts()
{
    std::vector<PortEntry> entries;
    for (unsigned n = 1; n <= MaxPorts; ++n) {
        char label[16];
        char device[24];
        std::snprintf(label, sizeof label, "COM%u", n);
        // Ports from 10 on are only reachable through the device namespace.
        std::snprintf(device, sizeof device, n < 10 ? "COM%u" : "\\\\.\\COM%u", n);
        entries.push_back({device, label, {}});
    }
    return PortTable(std::move(entries));
}

PortTable PortTable::fromPaths(const std::vector<std::string>& paths)
{
    std::vector<PortEntry> entries;
    for (const auto& path : paths) {
        const auto slash = path.find_last_of("/\\");
        entries.push_back({path, slash == std::string::npos ? path : path.substr(slash + 1), {}});
    }
    return PortTable(std::move(entries));
}

const PortEntry* PortTable::entry(unsigned n) const
{
    if (n == 0 || n > entries_.size())
        return nullptr;
    return &entries_[n - 1];
}

}  // namespace harvelin
