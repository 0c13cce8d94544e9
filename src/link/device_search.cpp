#include "link/device_search.h"

#include <cstdio>

#include "link/texts.h"
#include "model/win1252.h"

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

bool answersAsPager(SerialLink& link, SerialPort& port, Clock& clock)
{
    for (int attempt = 0; attempt < ProbeAttempts && !link.cancelled(); ++attempt) {
        port.discardInput();
        port.write(Probe);
        clock.sleepMs(ProbeWaitMs);
        const std::string answer = port.read(AnswerReadBytes);
        if (answer.size() >= MinAnswerBytes && answer.find(PagerWord) != std::string::npos)
            return true;
    }
    return false;
}

// The found line names a COM port by its number where that is the port's
// number in the table ("Pager an Port:35 gefunden"), and any other port by
// its device name.
std::string foundLabel(unsigned n, const PortEntry& port)
{
    char com[16];
    std::snprintf(com, sizeof com, "COM%u", n);
    return port.label == com ? std::to_string(n) : port.label;
}

}  // namespace

SearchResult searchPager(SerialLink& link, Clock& clock, OperationSink& sink, const std::function<void()>& whenFound)
{
    SearchResult result;
    // The pager finishes whatever the keep-alive had started.
    clock.sleepMs(SettleMs);
    // The old link is given up.
    if (link.state() != LinkState::Closed)
        link.close();

    // The table's ports in its order, which is by ascending number: at
    // most 30 in a table numbered by place, and on Windows every COM port
    // the system lists.
    const std::vector<PortEntry>& ports = link.ports().entries();
    result.noPorts = ports.empty();
    for (auto next = ports.begin(); next != ports.end() && !result.found && !link.cancelled(); ++next) {
        const PortEntry& port = *next;
        const unsigned n = port.number;
        sink.portLine(localized(LinkText::CheckingPort, {port.label}));
        sink.repaint();

        // A handle left from a failed open attempt would keep its port
        // locked against this very search.
        link.dropPort();
        link.adopt(link.openDevice(n));
        if (!link.port()) {
            // Skipped silently while the search runs; the caller names them
            // once at its end.
            if (PortProblem problem = link.openProblem(); problem.fault != PortFault::None)
                result.failed.push_back({port, std::move(problem)});
            continue;
        }
        if (!link.port()->readSettings()) {
            link.dropPort();
            continue;
        }
        if (!link.port()->applyLineSettings()) {
            clock.sleepMs(FailedApplyWaitMs);
            link.dropPort();
            continue;
        }
        link.port()->setTimeouts(TimeoutSet::Search);
        if (!answersAsPager(link, *link.port(), clock)) {
            link.dropPort();
            continue;
        }

        // The port stays open with the search's settings.
        result.found = true;
        result.portNumber = n;
        result.port = port;
        sink.portLine(localized(LinkText::PagerFoundAt, {foundLabel(n, port)}));
        sink.repaint();
        link.setPortNumber(n);
        link.setState(LinkState::Open);
        if (whenFound)
            whenFound();
    }
    result.cancelled = link.cancelled();
    if (result.cancelled) {
        result.found = false;
        result.portNumber = 0;
        result.port = {};
    }
    if (!result.found) {
        // A link that had fallen to Closed before the search still named its
        // old port; after a fruitless search no port is known or held.
        link.dropPort();
        link.setPortNumber(0);
        link.setState(LinkState::Closed);
    }
    return result;
}

}  // namespace harvelin
