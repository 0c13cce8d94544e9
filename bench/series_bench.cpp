// A technician's visit in miniature: N simulated pagers written with
// `write FILE --each --verify` on M pseudo-terminals at once, each port's next
// pager plugged in once the last is taken off and the port says so; then
// N/M pagers on one port, the same work for one port. Prints both wall times
// and their ratio: four ports should cost no more than one (ratio <= 1.10).
//
//   series_bench [--pagers N] [--ports M] [--no-verify] [--one-port-too]
//
// --one-port-too also times all N pagers on one port, as a series was before
// it served its ports at once.

#include <signal.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <memory>
#include <string>
#include <vector>

#include "pty_programs.h"
#include "test_files.h"

namespace {

using namespace harvelin;
using Clock = std::chrono::steady_clock;

std::size_t occurrences(const std::string& text, const std::string& what)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(what); at != std::string::npos; at = text.find(what, at + 1))
        ++n;
    return n;
}

// One series of `pagers` pagers on `ports` ports; its wall time in seconds,
// or a negative number when it failed.
double runSeries(const std::filesystem::path& dir, unsigned pagers, unsigned ports, bool verify)
{
    std::vector<std::unique_ptr<SimulatedPagerProcess>> sims;
    std::vector<std::string> args = {HARVELIN_CLI_PATH, "--no-backup"};
    for (unsigned p = 0; p < ports; ++p) {
        sims.push_back(std::make_unique<SimulatedPagerProcess>());
        sims.back()->start(dir / ("pager" + std::to_string(p)));
        if (sims.back()->device.empty()) {
            std::fprintf(stderr, "series_bench: no pseudo-terminal to be had\n");
            return -1;
        }
        args.push_back("--port");
        args.push_back(sims.back()->device);
    }
    const std::filesystem::path file = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";
    args.insert(args.end(), {"write", file.string(), "--each", "--count", std::to_string(pagers)});
    if (verify)
        args.push_back("--verify");

    const auto started = Clock::now();
    const pid_t pid = startProgram(args, dir / "out.txt", dir / "err.txt");
    if (pid <= 0)
        return -1;
    // Per port: pagers served, and whether one is waiting to be taken off.
    std::vector<unsigned> served(ports, 0);
    std::vector<bool> off(ports, false);
    unsigned done = 0;
    while (done < pagers) {
        ::usleep(100 * 1000);
        const std::string out = readBytes(dir / "out.txt");
        const std::string err = readBytes(dir / "err.txt");
        for (unsigned p = 0; p < ports; ++p) {
            const std::string& device = sims[p]->device;
            const std::size_t results = occurrences(out, "  " + device + "  #");
            if (results > served[p]) {
                served[p] = static_cast<unsigned>(results);
                done += 1;
                // The port's share is done when the pagers left are for others.
                if (served[p] * ports < pagers) {
                    sims[p]->command("unplug");
                    off[p] = true;
                }
            }
            // The port says when the next may come: a fresh, empty pager.
            const std::size_t cues = occurrences(err, device + ": the pager is gone");
            if (off[p] && cues >= served[p]) {
                sims[p]->command("plug empty");
                off[p] = false;
            }
        }
        if (std::chrono::duration<double>(Clock::now() - started).count() > 1800) {
            std::fprintf(stderr, "series_bench: the series took more than 30 minutes\n");
            ::kill(pid, SIGTERM);
            break;
        }
    }
    const int status = exitStatus(pid);
    const double seconds = std::chrono::duration<double>(Clock::now() - started).count();
    if (status != 0) {
        std::fprintf(stderr, "series_bench: harvelin-cli ended with %d:\n%s\n", status,
                     readBytes(dir / "err.txt").c_str());
        return -1;
    }
    return seconds;
}

}  // namespace

int main(int argc, char** argv)
{
    unsigned pagers = 8;
    unsigned ports = 4;
    bool verify = true;
    bool onePortToo = false;
    for (int i = 1; i < argc; ++i) {
        const std::string a = argv[i];
        if (a == "--pagers" && i + 1 < argc)
            pagers = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (a == "--ports" && i + 1 < argc)
            ports = static_cast<unsigned>(std::atoi(argv[++i]));
        else if (a == "--no-verify")
            verify = false;
        else if (a == "--one-port-too")
            onePortToo = true;
        else {
            std::fprintf(stderr, "usage: series_bench [--pagers N] [--ports M] [--no-verify] [--one-port-too]\n");
            return 2;
        }
    }
    if (pagers == 0 || ports == 0 || pagers % ports != 0) {
        std::fprintf(stderr, "series_bench: the pagers must be a multiple of the ports\n");
        return 2;
    }

    TempDir dir;
    const std::filesystem::path parallel = dir.path() / "parallel";
    const std::filesystem::path single = dir.path() / "single";
    std::filesystem::create_directories(parallel);
    std::filesystem::create_directories(single);
    const double many = runSeries(parallel, pagers, ports, verify);
    const double one = runSeries(single, pagers / ports, 1, verify);
    if (many < 0 || one < 0)
        return 1;
    const char* what = verify ? "written and verified" : "written";
    std::printf("%u pagers on %u ports, %s: %.1f s\n", pagers, ports, what, many);
    std::printf("%u pagers on 1 port, %s: %.1f s\n", pagers / ports, what, one);
    std::printf("ratio: %.3f (goal <= 1.10)\n", many / one);
    if (onePortToo) {
        const std::filesystem::path all = dir.path() / "all";
        std::filesystem::create_directories(all);
        const double serial = runSeries(all, pagers, 1, verify);
        if (serial < 0)
            return 1;
        std::printf("%u pagers on 1 port, %s: %.1f s (%.1f times the %u ports)\n", pagers, what, serial,
                    serial / many, ports);
    }
    return 0;
}
