// How close the search and the exchange come, in real time over
// pseudo-terminals, to the time their fixed waits and read windows add up to.
// Everything beyond that is overhead of the backend or the line; the target
// is a ratio of at most 1.02.

#include <fcntl.h>
#include <stdlib.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <string>
#include <vector>

#include "link/port_table.h"
#include "platform/clock.h"
#include "platform/serial_backends.h"
#include "ui/control_ids.h"
#include "pty_pager.h"
#include "ui/main_dialog.h"
#include "memory_host.h"

namespace {

using namespace harvelin;
using Steady = std::chrono::steady_clock;

constexpr double Target = 1.02;
constexpr int ExchangeRuns = 10;

// The search's fixed costs: the wait at the start, four probe rounds on a
// port that opens but stays silent, one round on the pager's port (its
// answer is shorter than the read, so the read runs out).
constexpr double SettleMs = 300;
constexpr double ProbeRoundMs = 100 + 200;
constexpr double SilentPortMs = 4 * ProbeRoundMs;
// The exchange: 100 ms, then the 200-byte read of the link's time-outs.
constexpr double ExchangeMs = 100 + 201;
// With the presence check: 200 ms, the 150-byte read, the 200-byte drain.
constexpr double PresenceExchangeMs = 200 + 151 + 201 + ExchangeMs;

double msSince(Steady::time_point start)
{
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

// Remembers when the search showed the pager as found.
class TimedHost : public MemoryHost {
public:
    void setPortListLine(const std::string& line) override
    {
        MemoryHost::setPortListLine(line);
        if (line.rfind("Pager an Port:", 0) == 0)
            foundAt = Steady::now();
    }
    Steady::time_point foundAt{};
};

// A pseudo-terminal nobody answers on: a port that opens and stays silent.
struct SilentPty {
    int master = -1;
    std::string path;
    SilentPty()
    {
        master = ::posix_openpt(O_RDWR | O_NOCTTY);
        char name[128];
        if (master >= 0 && ::grantpt(master) == 0 && ::unlockpt(master) == 0 &&
            ::ptsname_r(master, name, sizeof name) == 0)
            path = name;
    }
    ~SilentPty()
    {
        if (master >= 0)
            ::close(master);
    }
};

int report(const char* what, double measured, double fixed)
{
    const double ratio = measured / fixed;
    std::printf("%-34s measured %8.1f ms  fixed waits %7.1f ms  ratio %.4f %s\n", what, measured, fixed, ratio,
                ratio <= Target ? "ok" : "ABOVE TARGET");
    return ratio <= Target ? 0 : 1;
}

}  // namespace

int main()
{
    sim::PtyPager pager({});
    SilentPty silent;
    if (!pager.start() || silent.path.empty()) {
        std::fprintf(stderr, "search_bench: no pseudo-terminal to be had\n");
        return 2;
    }

    SystemClock clock;
    TimedHost host;
    auto backend = makeSystemSerialBackend();
    MainDialog dialog(host, *backend, PortTable::fromPaths({silent.path, pager.devicePath()}), clock);
    dialog.OnInitDialog();

    int above = 0;
    const auto searchStart = Steady::now();
    dialog.onCommand(ctl::SearchButton);
    const double searchTotal = msSince(searchStart);
    if (dialog.session().portNumber() != 2) {
        std::fprintf(stderr, "search_bench: the search did not find the pager\n");
        return 2;
    }
    const double untilFound = std::chrono::duration<double, std::milli>(host.foundAt - searchStart).count();
    above += report("search (silent port, then pager)", untilFound, SettleMs + SilentPortMs + ProbeRoundMs);
    std::printf("%-34s measured %8.1f ms  (with the repeater status read after the find)\n", "search, whole",
                searchTotal);

    // The exchanges run on the link's own time-outs, as after any re-open.
    SerialLink& link = dialog.session().link();
    link.port()->setTimeouts(TimeoutSet::Link);
    std::string reply;
    std::uint8_t length = 0;
    double total = 0;
    for (int i = 0; i < ExchangeRuns; ++i) {
        const auto start = Steady::now();
        if (!link.exchange(">List Debug", reply, length) || reply.find("Debug") == std::string::npos) {
            std::fprintf(stderr, "search_bench: the exchange got no answer\n");
            return 2;
        }
        total += msSince(start);
    }
    above += report("exchange", total / ExchangeRuns, ExchangeMs);

    total = 0;
    for (int i = 0; i < ExchangeRuns; ++i) {
        const auto start = Steady::now();
        if (!link.exchange(">Lese:0", reply, length)) {
            std::fprintf(stderr, "search_bench: the presence check failed\n");
            return 2;
        }
        total += msSince(start);
    }
    above += report("exchange with presence check", total / ExchangeRuns, PresenceExchangeMs);

    SessionEvents none;
    dialog.session().end(none);
    return above == 0 ? 0 : 1;
}
