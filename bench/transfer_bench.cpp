// How close a full read-out and a full write of a 32-slot pager come, in real
// time over a pseudo-terminal, to the time their fixed waits and read windows
// add up to. Everything beyond that is the tool's own work, the backend and
// the line; the target is a ratio of at most 1.02. Also prints the peak
// memory of the process.

#include <sys/resource.h>

#include <chrono>
#include <cstdio>
#include <string>

#include "form_results.h"
#include "link/port_table.h"
#include "model/win1252.h"
#include "platform/clock.h"
#include "platform/serial_backends.h"
#include "pty_pager.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "memory_host.h"

namespace {

using namespace harvelin;
using Steady = std::chrono::steady_clock;

constexpr double Target = 1.02;

// The exchange: 100 ms, then the 200-byte read of the link's time-outs, which
// runs out since every answer is shorter.
constexpr double ExchangeMs = 100 + 201;
// ">Lese:0" first has the pager identify itself: 200 ms, the 150-byte read,
// the 200-byte drain.
constexpr double PresenceExchangeMs = 200 + 151 + 201 + ExchangeMs;
constexpr double StartWaitMs = 300;
constexpr double KitchenWaitMs = 100;
constexpr double ResultWaitMs = 1000;

// One try per step: the version, 32 caller slots, 16 kitchen slots with
// their pause, five settings.
constexpr double ReadOutFixedMs =
    StartWaitMs + ExchangeMs + PresenceExchangeMs + 31 * ExchangeMs + 16 * (ExchangeMs + KitchenWaitMs) + 5 * ExchangeMs;
// Four version queries, 53 steps, the pause before the result.
constexpr double WriteFixedMs = StartWaitMs + 4 * ExchangeMs + 53 * ExchangeMs + ResultWaitMs;

double msSince(Steady::time_point start)
{
    return std::chrono::duration<double, std::milli>(Steady::now() - start).count();
}

int report(const char* what, double measured, double fixed)
{
    const double ratio = measured / fixed;
    std::printf("%-22s measured %9.1f ms  fixed waits %9.1f ms  ratio %.4f %s\n", what, measured, fixed, ratio,
                ratio <= Target ? "ok" : "ABOVE TARGET");
    return ratio <= Target ? 0 : 1;
}

// A configuration that fills every field, so every answer and command has
// its full length.
void fillForm(MainDialog& dialog, MemoryHost& host)
{
    for (unsigned n = 0; n < 32; ++n) {
        editImage(dialog, [&](PagerImage& image) { image.callers[n].setButtonIdValue(0xFFFFFFFFu - n); });
        editImage(dialog, [&](PagerImage& image) { image.callers[n].idSuffix = 255; });
    }
    dialog.onCommand(ctl::PageUpper);
    for (int r = 1; r <= 16; ++r)
        host.setControlText(ctl::callerText(r), win1252("Außenbereich ") + static_cast<char>('A' + r));
    dialog.onCommand(ctl::PageLower);
    for (int r = 1; r <= 16; ++r) {
        host.setControlText(ctl::callerText(r), win1252("Tür zum Saal ") + static_cast<char>('a' + r));
        host.setControlText(ctl::kitchenText(r), win1252("Küchenruf Nr.") + static_cast<char>('a' + r));
        host.setControlText(ctl::kitchenKey(r), "255");
        host.setControlText(ctl::kitchenStation(r), "255");
    }
    host.setControlText(ctl::PagerName, win1252("Pager:Südseite"));
    host.setControlText(ctl::RemoteDeleteText, win1252(" Bitte abräumen "));
    host.setChecked(ctl::Battery, true);
    host.setChecked(ctl::Buzzer, true);
    host.setChecked(ctl::RemoteDelete, true);
}

}  // namespace

int main()
{
    sim::PtyPager pager({});
    if (!pager.start()) {
        std::fprintf(stderr, "transfer_bench: no pseudo-terminal to be had\n");
        return 2;
    }

    SystemClock clock;
    MemoryHost host;
    auto backend = makeSystemSerialBackend();
    MainDialog dialog(host, *backend, PortTable::fromPaths({pager.devicePath()}), clock);
    FormResults results(dialog);
    dialog.OnInitDialog();
    // As a successful search leaves it.
    if (!dialog.session().takePort(1)) {
        std::fprintf(stderr, "transfer_bench: the pager's line does not open\n");
        return 2;
    }
    host.setChecked(ctl::Active, true);

    int above = 0;
    fillForm(dialog, host);
    auto start = Steady::now();
    dialog.onCommand(ctl::WriteButton);
    const double writeMs = msSince(start);
    if (!results.lastWriteSucceeded) {
        std::fprintf(stderr, "transfer_bench: the write was not taken over\n");
        return 2;
    }

    start = Steady::now();
    dialog.onCommand(ctl::ReadButton);
    const double readMs = msSince(start);
    if (!results.lastReadOutComplete) {
        std::fprintf(stderr, "transfer_bench: the read-out was incomplete\n");
        return 2;
    }

    // A careful read-out asks every step until two answers agree: on a clean
    // line twice, so about twice the plain one's waits. Its ratio is shown
    // against those waits, with no target of its own.
    dialog.session().setReading(Reading::Careful);
    start = Steady::now();
    dialog.onCommand(ctl::ReadButton);
    const double carefulMs = msSince(start);
    if (!results.lastReadOutComplete) {
        std::fprintf(stderr, "transfer_bench: the careful read-out was incomplete\n");
        return 2;
    }

    above += report("read-out, 32 slots", readMs, ReadOutFixedMs);
    above += report("write, 32 slots", writeMs, WriteFixedMs);
    std::printf("%-22s measured %9.1f ms  plain fixed waits %9.1f ms  ratio %.4f\n", "careful read-out", carefulMs,
                ReadOutFixedMs, carefulMs / ReadOutFixedMs);

    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    std::printf("%-22s %ld KiB\n", "peak memory", usage.ru_maxrss);

    SessionEvents none;
    dialog.session().end(none);
    return above == 0 ? 0 : 1;
}
