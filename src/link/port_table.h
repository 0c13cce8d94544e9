#pragma once

#include <string>
#include <vector>

namespace harvelin {

struct PortEntry {
    std::string deviceName;   // what is opened: "COM3", "\\.\COM12", "/dev/ttyUSB0"
    std::string label;        // what the port list shows: "COM12", "ttyUSB0"
    std::string description;  // e.g. the USB adapter's product text; may be empty
};

// Port numbers 1 to 30 and the device behind each.
class PortTable {
public:
    static constexpr unsigned MaxPorts = 30;

    PortTable() = default;
    explicit PortTable(std::vector<PortEntry> entries);

    // COM1..COM30: "COM%u" below 10, "\\.\COM%u" from 10 on; labels "COM%u".
    static PortTable windowsComPorts();
    // The given device paths, the first being port 1; labels are the file
    // names. On Windows the names are read as fromWindowsNames reads them.
    static PortTable fromPaths(const std::vector<std::string>& paths);
    // Port names as Windows users write them: "COM7", "com7" and "\\.\COM12"
    // name the ports 7 and 12, opened as COM1..COM30 are; any other name is
    // opened as it is given.
    static PortTable fromWindowsNames(const std::vector<std::string>& names);

    // Port n (1-based); nullptr when the table has no such port.
    const PortEntry* entry(unsigned n) const;
    unsigned size() const { return static_cast<unsigned>(entries_.size()); }
    const std::vector<PortEntry>& entries() const { return entries_; }

private:
    std::vector<PortEntry> entries_;
};

}  // namespace harvelin
