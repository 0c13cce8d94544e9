#pragma once

#include <string>
#include <vector>

namespace harvelin {

struct PortEntry {
    std::string deviceName;   // what is opened: "COM3", "\\.\COM12", "/dev/ttyUSB0"
    std::string label;        // what the port list shows: "COM12", "ttyUSB0"
    std::string description;  // e.g. the USB adapter's product text; may be empty
    // The port's number, what the search and the messages call it ("Pager an
    // Port:35 gefunden"): a COM port of the system's own list keeps its COM
    // number; any other port is numbered by its place in the table, from 1.
    unsigned number = 0;
};

// A serial port as one of the system's lists names it ("COM35"), and what the
// system says of the device behind it (may be empty).
struct ListedPort {
    std::string name;
    std::string description;
};

// The ports a search tries, in the order it tries them, each under its
// number; numbers ascend through the table.
class PortTable {
public:
    // A table numbered by place holds ports 1 to 30.
    static constexpr unsigned MaxPorts = 30;

    PortTable() = default;
    // The entries in the order given, numbered by place; at most MaxPorts.
    explicit PortTable(std::vector<PortEntry> entries);

    // COM1..COM30, for a Windows system whose lists of ports cannot be read:
    // "COM%u" below 10, "\\.\COM%u" from 10 on; labels "COM%u".
    static PortTable windowsComPorts();
    // The COM ports that a Windows system lists, from any of its lists and
    // in any order: each once, under its COM number, in ascending order and
    // opened as windowsComPorts() opens them; the first description given
    // for a port is kept. Names that are not COM port names are left out.
    // There is no limit of 30 here: the system lists only ports that exist.
    static PortTable listedComPorts(const std::vector<ListedPort>& listed);
    // The given device paths, the first being port 1; labels are the file
    // names. On Windows the names are read as fromWindowsNames reads them.
    static PortTable fromPaths(const std::vector<std::string>& paths);
    // Port names as Windows users write them: "COM7", "com7" and "\\.\COM12"
    // are opened as windowsComPorts() opens COM7 and COM12; any other name is
    // opened as it is given. Numbered by place, as the user listed them.
    static PortTable fromWindowsNames(const std::vector<std::string>& names);

    // The simulated pager at `device` first, then this table's ports: the
    // programs' --simulate. The ports keep their own numbers; behind the
    // simulated pager, port 1, all are numbered by place.
    PortTable withSimulatedPager(const std::string& device) const;

    // The port numbered n; nullptr when the table has no such port.
    const PortEntry* entry(unsigned n) const;
    unsigned size() const { return static_cast<unsigned>(entries_.size()); }
    const std::vector<PortEntry>& entries() const { return entries_; }

private:
    std::vector<PortEntry> entries_;
};

}  // namespace harvelin
