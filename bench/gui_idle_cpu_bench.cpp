// What the desktop program costs while nobody uses it: the process's CPU time
// over a stretch of idle time, as a share of one core, first with no pager
// searched for, then with the simulated pager found (the link watch then
// sends its keep-alive every tick). Target: under 0.5 % of a core.
// Runs on the offscreen platform unless another one is asked for. The
// simulated pager answers from a thread of this process, so the second
// figure includes what it spends.
// Usage: gui_idle_cpu_bench [SECONDS]   (default 30 per stretch)

#include <sys/resource.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <functional>
#include <memory>

#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QElapsedTimer>
#include <QEventLoop>
#include <QTimer>

#include "gui/main_form.h"
#include "link/port_table.h"
#include "platform/clock.h"
#include "platform/serial_backends.h"
#include "pty_pager.h"
#include "ui/control_ids.h"

namespace {

using namespace harvelin;

constexpr double TargetPercent = 0.5;
constexpr int SearchLimitMs = 60000;

double cpuSeconds()
{
    rusage usage{};
    ::getrusage(RUSAGE_SELF, &usage);
    return static_cast<double>(usage.ru_utime.tv_sec + usage.ru_stime.tv_sec) +
           static_cast<double>(usage.ru_utime.tv_usec + usage.ru_stime.tv_usec) / 1e6;
}

void turnEventLoop(int ms)
{
    QEventLoop loop;
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    loop.exec();
}

// The share of one core the process used while its event loop idled.
double idlePercent(int seconds)
{
    QElapsedTimer wall;
    const double before = cpuSeconds();
    wall.start();
    turnEventLoop(seconds * 1000);
    return 100.0 * (cpuSeconds() - before) / (static_cast<double>(wall.elapsed()) / 1000.0);
}

int report(const char* what, double percent)
{
    const bool ok = percent < TargetPercent;
    std::printf("%-22s %6.2f %% of a core  target < %.1f %% %s\n", what, percent, TargetPercent,
                ok ? "ok" : "ABOVE TARGET");
    return ok ? 0 : 1;
}

}  // namespace

int main(int argc, char** argv)
{
    if (qEnvironmentVariableIsEmpty("QT_QPA_PLATFORM"))
        qputenv("QT_QPA_PLATFORM", "offscreen");
    QApplication app(argc, argv);
    const int seconds = argc > 1 ? std::max(1, std::atoi(argv[1])) : 30;

    sim::PtyPager pager(sim::PtyPager::Options{sim::demoPagerState(), {}, {}, false});
    if (!pager.start()) {
        std::fprintf(stderr, "gui_idle_cpu_bench: no pseudo-terminal to be had\n");
        return 2;
    }
    const std::unique_ptr<SerialBackend> backend = makeSystemSerialBackend();
    SystemClock clock;
    gui::MainForm form(*backend, PortTable::fromPaths({pager.devicePath()}), clock);
    form.show();
    turnEventLoop(1000);  // the window settles

    int above = report("idle, no pager", idlePercent(seconds));

    static_cast<QAbstractButton*>(form.control(ctl::SearchButton))->click();
    QElapsedTimer searching;
    searching.start();
    while (form.busy() && searching.elapsed() < SearchLimitMs)
        turnEventLoop(10);
    if (!static_cast<QCheckBox*>(form.control(ctl::Active))->isChecked()) {
        std::fprintf(stderr, "gui_idle_cpu_bench: the search did not find the pager\n");
        return 2;
    }
    above += report("idle, pager found", idlePercent(seconds));
    return above == 0 ? 0 : 1;
}
