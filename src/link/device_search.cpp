#include <algorithm>
#include <cstdio>

#include "link/port_problem.h"
#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

namespace {

// The search's probe has no SYN in front and ends with CR LF, unlike the
// exchange's frames; the pager answers it with its identification.
constexpr std::string_view Probe = ">@\r\n";
constexpr std::string_view PagerWord = "Pager";
// Shorter answers are line noise or an echo of the probe, not a pager.
constexpr std::size_t MinAnswerBytes = 15;
constexpr std::size_t AnswerReadBytes = 200;
constexpr int ProbeAttempts = 4;
constexpr unsigned SettleMs = 300;
constexpr unsigned ProbeWaitMs = 100;
constexpr unsigned FailedApplyWaitMs = 1;
constexpr std::uint8_t FoundClockTicks = 50;

bool answersAsPager(SerialPort& port, Clock& clock)
{
    for (int attempt = 0; attempt < ProbeAttempts; ++attempt) {
        port.write(Probe);
        clock.sleepMs(ProbeWaitMs);
        const std::string answer = port.read(AnswerReadBytes);
        if (answer.size() >= MinAnswerBytes && answer.find(PagerWord) != std::string::npos)
            return true;
    }
    return false;
}

// The found line names the port by number where the table has COM ports
// ("Pager an Port:12 gefunden"), and by its device name elsewhere.
std::string foundLabel(unsigned n, const PortEntry& port)
{
    char com[16];
    std::snprintf(com, sizeof com, "COM%u", n);
    return port.label == com ? std::to_string(n) : port.label;
}

}  // namespace

void MainDialog::searchPager()
{
    // 1. Whatever the validation says, the search goes on.
    UpdateData(true);
    // 2.-4.
    deviceBusy = true;
    stopUiTimer();
    clock.sleepMs(SettleMs);
    // 5.
    host.setChecked(ctl::Active, false);
    // 6.
    if (link.state != LinkState::Closed)
        link.close();

    // 7.
    const unsigned lastPort = std::min(PortTable::MaxPorts, link.ports().size());
    bool found = false;
    // Ports that failed for a reason the system told; they are skipped
    // silently while the search runs and named once at its end.
    std::vector<FailedPort> failed;
    for (unsigned n = 1; n <= lastPort && !found; ++n) {
        const PortEntry& port = *link.ports().entry(n);
        host.setPortListLine(win1252("Prüfe :") + port.label);
        host.repaintNow();

        // A handle left from a failed open attempt would keep its port
        // locked against this very search.
        link.portHandle.reset();
        link.portHandle = link.openDevice(n);
        if (!link.portHandle) {
            if (PortProblem problem = link.openProblem(); problem.fault != PortFault::None)
                failed.push_back({port, std::move(problem)});
            continue;
        }
        if (!link.portHandle->readSettings()) {
            link.portHandle.reset();
            continue;
        }
        if (!link.portHandle->applyLineSettings()) {
            clock.sleepMs(FailedApplyWaitMs);
            link.portHandle.reset();
            continue;
        }
        link.portHandle->setTimeouts(TimeoutSet::Search);
        if (!answersAsPager(*link.portHandle, clock)) {
            link.portHandle.reset();
            continue;
        }

        // 8. The port stays open with the search's settings.
        found = true;
        host.setPortListLine("Pager an Port:" + foundLabel(n, port) + " gefunden");
        host.repaintNow();
        link.portNumber = static_cast<std::uint8_t>(n);
        link.state = LinkState::Open;
        host.setChecked(ctl::Active, true);
        if (readRepeaterStatus()) {
            showClockGroup(true);
            clockDisplayTicks = FoundClockTicks;
        }
    }
    if (!found) {
        // A link that had fallen to Closed before the search still named its
        // old port; after a fruitless search no port is known or held.
        link.portHandle.reset();
        link.portNumber = 0;
        link.state = LinkState::Closed;
        host.setPortListLine(nothingFoundLine());
    }

    // 9.
    deviceBusy = false;
    startUiTimer();
    // 10.
    UpdateData(false);

    if (!found) {
        const std::string why = lastPort == 0 ? noSerialPortMessage() : searchProblemsMessage(failed);
        if (!why.empty())
            host.messageBox(why);
    }
}

}  // namespace harvelin
