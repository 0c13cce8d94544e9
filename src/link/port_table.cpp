#include "link/port_table.h"

#include <algorithm>
#include <cctype>
#include <cstdio>
#include <map>
#include <string_view>

namespace harvelin {

namespace {

// COM port names are read for the numbers 1 to 255. Windows' port database
// could hand out higher ones; a port numbered so is left out of the system's
// list, and a name typed for one is opened as it is given.
constexpr unsigned MaxComNumber = 255;

PortEntry comPort(unsigned n)
{
    char label[16];
    char device[24];
    std::snprintf(label, sizeof label, "COM%u", n);
    // Ports from 10 on are only reachable through the device namespace.
    std::snprintf(device, sizeof device, n < 10 ? "COM%u" : "\\\\.\\COM%u", n);
    return {device, label, {}, n};
}

// The number of a COM port name in any letter case, with or without the
// device-namespace prefix; 0 for any other name.
unsigned comNumber(std::string_view name)
{
    if (name.substr(0, 4) == "\\\\.\\")
        name.remove_prefix(4);
    if (name.size() < 4 || name.size() > 6)
        return 0;
    for (std::size_t i = 0; i < 3; ++i)
        if (std::toupper(static_cast<unsigned char>(name[i])) != "COM"[i])
            return 0;
    unsigned n = 0;
    for (const char c : name.substr(3)) {
        if (c < '0' || c > '9')
            return 0;
        n = n * 10 + static_cast<unsigned>(c - '0');
    }
    return name[3] != '0' && n <= MaxComNumber ? n : 0;
}

// Any device by its path; the label is the file name.
PortEntry pathPort(const std::string& path)
{
    const auto slash = path.find_last_of("/\\");
    return {path, slash == std::string::npos ? path : path.substr(slash + 1), {}};
}

}  // namespace

PortTable::PortTable(std::vector<PortEntry> entries) : entries_(std::move(entries))
{
    if (entries_.size() > MaxPorts)
        entries_.resize(MaxPorts);
    unsigned place = 0;
    for (PortEntry& entry : entries_)
        entry.number = ++place;
}

PortTable PortTable::windowsComPorts()
{
    std::vector<PortEntry> entries;
    for (unsigned n = 1; n <= MaxPorts; ++n)
        entries.push_back(comPort(n));
    return PortTable(std::move(entries));
}

PortTable PortTable::listedComPorts(const std::vector<ListedPort>& listed)
{
    // The lists overlap, and a list may name a port twice.
    std::map<unsigned, PortEntry> byNumber;
    for (const ListedPort& port : listed) {
        const unsigned n = comNumber(port.name);
        if (n == 0)
            continue;
        PortEntry& entry = byNumber.try_emplace(n, comPort(n)).first->second;
        if (entry.description.empty())
            entry.description = port.description;
    }
    PortTable table;
    for (auto& [n, entry] : byNumber)
        table.entries_.push_back(std::move(entry));
    return table;
}

PortTable PortTable::fromWindowsNames(const std::vector<std::string>& names)
{
    std::vector<PortEntry> entries;
    for (const auto& name : names) {
        const unsigned n = comNumber(name);
        entries.push_back(n != 0 ? comPort(n) : pathPort(name));
    }
    return PortTable(std::move(entries));
}

PortTable PortTable::fromPaths(const std::vector<std::string>& paths)
{
#ifdef _WIN32
    return fromWindowsNames(paths);
#else
    std::vector<PortEntry> entries;
    for (const auto& path : paths)
        entries.push_back(pathPort(path));
    return PortTable(std::move(entries));
#endif
}

PortTable PortTable::withSimulatedPager(const std::string& device) const
{
    std::vector<PortEntry> entries = entries_;
    entries.insert(entries.begin(), fromPaths({device}).entries().front());
    entries.front().description = "simulated Zelvatron";
    return PortTable(std::move(entries));
}

const PortEntry* PortTable::entry(unsigned n) const
{
    const auto found = std::lower_bound(entries_.begin(), entries_.end(), n,
                                        [](const PortEntry& e, unsigned number) { return e.number < number; });
    return found != entries_.end() && found->number == n ? &*found : nullptr;
}

}  // namespace harvelin
