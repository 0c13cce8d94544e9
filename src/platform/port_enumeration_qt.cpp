// The serial devices of this machine, listed through Qt's serial-port module.
// Only the list comes from Qt; the lines themselves are opened by the tool's
// own backends.

#include "platform/port_enumeration.h"

#include <QSerialPortInfo>
#include <algorithm>
#include <filesystem>
#include <map>
#include <system_error>
#include <tuple>

namespace harvelin {

namespace {

bool startsWith(const std::string& text, const char* prefix) { return text.rfind(prefix, 0) == 0; }

// The stable names of USB adapters, by the device they point to. Opening by
// such a name finds the same adapter again after it was pulled and put back,
// even when the system hands it another ttyUSB number.
std::map<std::string, std::string> stableUsbNames()
{
    namespace fs = std::filesystem;
    std::map<std::string, std::string> byDevice;
    std::error_code ec;
    const fs::path dir = "/dev/serial/by-id";
    if (!fs::is_directory(dir, ec))
        return byDevice;
    for (const auto& item : fs::directory_iterator(dir, ec)) {
        const fs::path target = fs::canonical(item.path(), ec);
        if (!ec)
            byDevice.emplace(target.string(), item.path().string());
    }
    return byDevice;
}

// USB adapters first, then the built-in ports, then anything else.
int rankOf(const std::string& name, bool usb)
{
    if (usb || startsWith(name, "ttyUSB") || startsWith(name, "ttyACM"))
        return 0;
    if (startsWith(name, "ttyS"))
        return 1;
    return 2;
}

// "ttyUSB2" before "ttyUSB10": the stem, then the number at the end.
std::tuple<std::string, long, std::string> naturalKey(const std::string& name)
{
    std::size_t digits = name.size();
    while (digits > 0 && name[digits - 1] >= '0' && name[digits - 1] <= '9')
        --digits;
    long number = digits < name.size() ? 0 : -1;
    for (std::size_t i = digits; i < name.size() && number < 1000000; ++i)
        number = number * 10 + (name[i] - '0');
    return {name.substr(0, digits), number, name};
}

}  // namespace

PortTable systemPortTable()
{
    const auto stable = stableUsbNames();
    struct Found {
        int rank;
        std::tuple<std::string, long, std::string> key;
        PortEntry entry;
    };
    std::vector<Found> found;
    for (const QSerialPortInfo& info : QSerialPortInfo::availablePorts()) {
        const std::string location = info.systemLocation().toLocal8Bit().toStdString();
        const std::string name = info.portName().toLocal8Bit().toStdString();
        const auto link = stable.find(location);
        const bool usb = link != stable.end() || info.hasVendorIdentifier();
        // Texts of the core are single-byte; Latin-1 is what the adapter's
        // product text has in common with them.
        std::string description = info.description().toLatin1().toStdString();
        if (description.empty())
            description = info.manufacturer().toLatin1().toStdString();
        PortEntry entry{link != stable.end() ? link->second : location, name, description};
        found.push_back({rankOf(name, usb), naturalKey(name), std::move(entry)});
    }
    std::sort(found.begin(), found.end(),
              [](const Found& a, const Found& b) { return std::tie(a.rank, a.key) < std::tie(b.rank, b.key); });

    std::vector<PortEntry> entries;
    for (auto& f : found) {
        const bool seen = std::any_of(entries.begin(), entries.end(),
                                      [&](const PortEntry& e) { return e.deviceName == f.entry.deviceName; });
        if (!seen)
            entries.push_back(std::move(f.entry));
    }
    return PortTable(std::move(entries));
}

}  // namespace harvelin
