// A long run of the toolkit-free dialog on the real serial backend against
// zelvatron-sim on a pseudo-terminal: the link watch ticks every 100 ms, the
// line is pulled and put back at intervals, a read-out or a write runs now
// and then. Prints resident memory and open descriptors at the start and the
// end, the recoveries, the longest recovery and the longest tick; exits 1
// when memory or descriptors grew or the link did not come back.
//
//   soak MINUTES PATH-TO-ZELVATRON-SIM
#include <dirent.h>
#include <fcntl.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>

#include "form_results.h"
#include "platform/clock.h"
#include "platform/serial_backends.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "memory_host.h"

namespace {

using namespace harvelin;
using Ms = std::int64_t;

// How long each phase of a round lasts: connected before the operation, after
// it until the pull, and the line pulled. The link watch notices a pull
// within a tick or two.
constexpr Ms SettleMs = 3000;
constexpr Ms ConnectedMs = 3000;
constexpr Ms PulledMs = 3000;
// The link watch must have the pager back within this time of the plug.
constexpr Ms RecoveryLimitMs = 5000;
// Resident memory may settle a little after the first round; more is growth.
constexpr long GrowthLimitKb = 1024;

long residentKb()
{
    std::ifstream status("/proc/self/status");
    std::string line;
    while (std::getline(status, line))
        if (line.rfind("VmRSS:", 0) == 0)
            return std::atol(line.c_str() + 6);
    return -1;
}

int openDescriptors()
{
    int n = 0;
    if (DIR* dir = ::opendir("/proc/self/fd")) {
        while (const dirent* e = ::readdir(dir))
            n += e->d_name[0] != '.' ? 1 : 0;
        ::closedir(dir);
    }
    return n - 1;  // the directory's own
}

// zelvatron-sim as a child: commands on its stdin, device path on its stdout.
struct Simulator {
    pid_t pid = -1;
    int in = -1;
    int out = -1;

    bool start(const std::string& program, const std::string& link)
    {
        int toChild[2];
        int fromChild[2];
        if (::pipe2(toChild, O_CLOEXEC) != 0 || ::pipe2(fromChild, O_CLOEXEC) != 0)
            return false;
        pid = ::fork();
        if (pid == 0) {
            ::dup2(toChild[0], STDIN_FILENO);
            ::dup2(fromChild[1], STDOUT_FILENO);
            ::execl(program.c_str(), program.c_str(), "--demo", "--link", link.c_str(), static_cast<char*>(nullptr));
            ::_exit(127);
        }
        ::close(toChild[0]);
        ::close(fromChild[1]);
        in = toChild[1];
        out = fromChild[0];
        // The first line is the device; wait for it.
        char c;
        while (::read(out, &c, 1) == 1 && c != '\n') {
        }
        ::fcntl(out, F_SETFL, O_NONBLOCK);
        return pid > 0;
    }
    void say(const char* line)
    {
        [[maybe_unused]] const ssize_t n = ::write(in, line, std::char_traits<char>::length(line));
        char drain[256];
        while (::read(out, drain, sizeof drain) > 0) {
        }
    }
    void stop()
    {
        say("quit\n");
        ::close(in);
        ::close(out);
        ::waitpid(pid, nullptr, 0);
    }
};

Ms now()
{
    return std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now().time_since_epoch())
        .count();
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::fprintf(stderr, "usage: soak MINUTES PATH-TO-ZELVATRON-SIM\n");
        return 2;
    }
    const Ms runMs = static_cast<Ms>(std::atof(argv[1]) * 60000);
    std::string dirTemplate = (std::filesystem::temp_directory_path() / "harvelin-soak-XXXXXX").string();
    if (!::mkdtemp(dirTemplate.data()))
        return 2;
    const std::string link = dirTemplate + "/zelvatron";

    Simulator sim;
    if (!sim.start(argv[2], link)) {
        std::fprintf(stderr, "soak: zelvatron-sim did not start\n");
        return 2;
    }

    SystemClock clock;
    MemoryHost host;
    auto backend = makeSystemSerialBackend();
    MainDialog dialog(host, *backend, PortTable::fromPaths({link}), clock);
    FormResults results(dialog);
    dialog.OnInitDialog();
    dialog.onCommand(ctl::SearchButton);
    if (dialog.session().linkState() != LinkState::Open) {
        std::fprintf(stderr, "soak: the search did not find the simulated pager\n");
        sim.stop();
        return 2;
    }

    const long rssStart = residentKb();
    const int fdsStart = openDescriptors();
    long rssAfterFirstRound = -1;
    int pulls = 0, recoveries = 0, missed = 0, readOuts = 0, writes = 0, failedOps = 0;
    Ms longestRecovery = 0, longestTick = 0;

    // One round: an operation, a pause, the line pulled, put back, recovered.
    // Each phase starts when the one before has ended, however long that took.
    enum class Phase { Settle, Operate, Connected, Pulled, Recovering } phase = Phase::Settle;
    const Ms begin = now();
    Ms nextTick = begin;
    Ms phaseSince = begin;
    int rounds = 0;
    bool noticed = false;
    const auto enter = [&](Phase p) {
        phase = p;
        phaseSince = now();
    };
    // A round in progress is finished before the run ends.
    while (now() - begin < runMs || phase == Phase::Pulled || phase == Phase::Recovering) {
        const Ms inPhase = now() - phaseSince;
        switch (phase) {
        case Phase::Settle:
            if (inPhase >= SettleMs && host.isChecked(ctl::Active))
                enter(Phase::Operate);
            break;
        case Phase::Operate:
            host.messages.clear();
            if (rounds % 2 == 0) {
                dialog.onCommand(ctl::ReadButton);
                ++readOuts;
                failedOps += results.lastReadOutComplete ? 0 : 1;
            } else {
                dialog.onCommand(ctl::WriteButton);
                ++writes;
                failedOps += results.lastWriteSucceeded ? 0 : 1;
            }
            enter(Phase::Connected);
            break;
        case Phase::Connected:
            if (inPhase >= ConnectedMs && runMs - (now() - begin) > PulledMs + RecoveryLimitMs) {
                sim.say("unplug\n");
                ++pulls;
                noticed = false;
                enter(Phase::Pulled);
            }
            break;
        case Phase::Pulled:
            noticed = noticed || !host.isChecked(ctl::Active);
            if (inPhase >= PulledMs) {
                sim.say("plug\n");
                enter(Phase::Recovering);
            }
            break;
        case Phase::Recovering:
            // Back: the link watch noticed the pull, re-opened the line and
            // ticked "Aktiv" again.
            if (noticed && dialog.session().linkState() == LinkState::Open && host.isChecked(ctl::Active)) {
                longestRecovery = std::max(longestRecovery, inPhase);
                ++recoveries;
                if (++rounds == 1)
                    rssAfterFirstRound = residentKb();
                enter(Phase::Settle);
            } else if (inPhase > RecoveryLimitMs) {
                ++missed;
                ++rounds;
                enter(Phase::Settle);
            }
            break;
        }

        const Ms tickStart = now();
        dialog.onTimer(ctl::UiTimerId);
        longestTick = std::max(longestTick, now() - tickStart);
        host.progressHistory.clear();
        host.portListHistory.clear();
        nextTick += ctl::UiTimerPeriodMs;
        const Ms wait = nextTick - now();
        if (wait > 0)
            std::this_thread::sleep_for(std::chrono::milliseconds(wait));
        else
            nextTick = now();
    }

    // Measured as at the start: the link open, the simulator running.
    const long rssEnd = residentKb();
    const int fdsEnd = openDescriptors();
    SessionEvents none;
    dialog.session().end(none);
    sim.stop();
    ::unlink(link.c_str());
    ::rmdir(dirTemplate.c_str());

    const long rssBase = rssAfterFirstRound > 0 ? rssAfterFirstRound : rssStart;
    const bool grew = rssEnd - rssBase > GrowthLimitKb || fdsEnd > fdsStart;
    std::printf("soak: %.1f minutes, %d line pulls\n", static_cast<double>(runMs) / 60000, pulls);
    std::printf("resident memory: %ld kB at start, %ld kB after the first round, %ld kB at the end\n", rssStart,
                rssBase, rssEnd);
    std::printf("open descriptors: %d at start, %d at the end\n", fdsStart, fdsEnd);
    std::printf("recoveries: %d of %d, missed %d, longest %lld ms\n", recoveries, pulls, missed,
                static_cast<long long>(longestRecovery));
    std::printf("read-outs: %d, writes: %d, of them incomplete or failed: %d\n", readOuts, writes, failedOps);
    std::printf("longest tick: %lld ms\n", static_cast<long long>(longestTick));
    if (grew)
        std::printf("FAILED: resident memory or descriptors grew\n");
    if (missed > 0 || recoveries < pulls)
        std::printf("FAILED: the link did not come back after every pull\n");
    return grew || missed > 0 || recoveries < pulls ? 1 : 0;
}
