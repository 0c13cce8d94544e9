#include "link/port_problem.h"

#include <algorithm>

#include "link/texts.h"

namespace harvelin {

namespace {

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// One paragraph for one port; the device name goes in as the system gives it.
std::string portParagraph(const FailedPort& f)
{
    const PortProblem& p = f.problem;
    const std::string& device = f.port.deviceName;
    switch (p.fault) {
    case PortFault::NoDevice: return localized(LinkText::NoDevice, {device});
    case PortFault::PermissionDenied: {
        std::string text = localized(LinkText::NoPermission, {device});
        if (p.group.empty())
            return text + std::string(localized(LinkText::OnlyOwner));
        text += localized(LinkText::GroupOwns, {p.group});
        if (p.memberAfterNextLogin)
            return text + std::string(localized(LinkText::AlreadyMember));
        return text + localized(LinkText::JoinGroup, {p.group});
    }
    case PortFault::Busy:
        if (p.holder.empty())
            return localized(LinkText::BusyOther, {device});
        return localized(LinkText::BusyHolder, {device, p.holder});
    case PortFault::NotSerial: return localized(LinkText::NotSerial, {device});
    case PortFault::None:
        break;
    }
    return {};
}

// Services that take USB serial adapters for themselves, and what helps.
std::string grabberParagraph(const std::string& service)
{
    if (service == "ModemManager")
        return std::string(localized(LinkText::ModemManagerRuns));
    if (service == "brltty")
        return std::string(localized(LinkText::BrlttyRuns));
    return {};
}

}  // namespace

std::string nothingFoundLine() { return std::string(localized(LinkText::NothingFound)); }

bool isUsbAdapterName(const std::string& deviceName)
{
    return contains(deviceName, "ttyUSB") || contains(deviceName, "ttyACM") || contains(deviceName, "/serial/by-id/");
}

std::string searchProblemsMessage(const std::vector<FailedPort>& failed)
{
    std::string text;
    std::vector<std::string> grabbers;
    for (const FailedPort& f : failed) {
        const std::string paragraph = portParagraph(f);
        if (paragraph.empty())
            continue;
        text += "\n\n" + paragraph;
        const bool usbGone = f.problem.fault == PortFault::NoDevice || f.problem.fault == PortFault::Busy;
        if (usbGone && isUsbAdapterName(f.port.deviceName))
            for (const std::string& g : f.problem.adapterGrabbers)
                if (std::find(grabbers.begin(), grabbers.end(), g) == grabbers.end())
                    grabbers.push_back(g);
    }
    if (text.empty())
        return {};
    for (const std::string& g : grabbers)
        if (const std::string note = grabberParagraph(g); !note.empty())
            text += "\n\n" + note;
    return localized(LinkText::PortsNotOpened, {nothingFoundLine()}) + text;
}

std::string noSerialPortMessage()
{
    return localized(LinkText::NoSerialPort, {nothingFoundLine()});
}

std::string portStatusText(const PortProblem& problem)
{
    switch (problem.fault) {
    case PortFault::NoDevice: return "no such device";
    case PortFault::PermissionDenied:
        return problem.group.empty() ? "permission denied" : "permission denied (group " + problem.group + ")";
    case PortFault::Busy: return problem.holder.empty() ? "busy" : "busy (" + problem.holder + ")";
    case PortFault::NotSerial: return "not a serial device";
    case PortFault::None: break;
    }
    return "cannot be opened";
}

}  // namespace harvelin
