// zelvatron-sim: a simulated Zelvatron behind a pseudo-terminal, for trying
// the tool without the hardware and for tests in real time.
//
// Prints the device to open on stdout, then takes commands on stdin, one a
// line:
//   press B0 B1 B2 B3 SUFFIX   a call button with this identity is pressed
//   unplug                     the line vanishes (adapter pulled)
//   plug [empty|demo]          it comes back, as another pager when a
//                              configuration is named; the path is printed again
//   forget SLOT                the pager acknowledges writes of this caller
//                              slot (1..32) but keeps the old contents
//   silent-at SLOT             the pager falls silent for good when the
//                              write of this caller slot (1..32) begins
//   answer                     it answers again
//   quit
// Runs until "quit", SIGTERM or SIGINT; a standard input that is closed or at
// its end (in the background, under a service manager) only ends the console.

#include <poll.h>
#include <signal.h>
#include <unistd.h>

#include <CLI/CLI.hpp>
#include <array>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <iostream>
#include <sstream>
#include <string>

#include "model/build_info.h"
#include "pty_pager.h"

namespace {

int signalPipe[2] = {-1, -1};

void onSignal(int)
{
    const char c = 0;
    [[maybe_unused]] const ssize_t n = ::write(signalPipe[1], &c, 1);
}

void installSignals()
{
    if (::pipe(signalPipe) != 0)
        return;
    struct sigaction sa {};
    sa.sa_handler = onSignal;
    sigemptyset(&sa.sa_mask);
    ::sigaction(SIGTERM, &sa, nullptr);
    ::sigaction(SIGINT, &sa, nullptr);
    ::sigaction(SIGHUP, &sa, nullptr);
    ::signal(SIGPIPE, SIG_IGN);
}

void printPath(const harvelin::sim::PtyPager& pager)
{
    std::printf("%s\n", pager.devicePath().c_str());
    std::fflush(stdout);
}

bool parsePress(std::istringstream& in, std::array<std::uint8_t, 5>& id)
{
    for (auto& value : id) {
        unsigned v = 0;
        if (!(in >> v) || v > 255)
            return false;
        value = static_cast<std::uint8_t>(v);
    }
    return true;
}

// One command line from stdin; false when the simulator should end.
// The beginning of the write command of caller slot `slot` (1..32).
std::string callerWritePrefix(unsigned slot) { return ">Setze:" + std::to_string(slot - 1) + " "; }

bool handleLine(const std::string& line, harvelin::sim::PtyPager& pager)
{
    std::istringstream in(line);
    std::string word;
    if (!(in >> word))
        return true;
    if (word == "quit")
        return false;
    if (word == "press") {
        std::array<std::uint8_t, 5> id{};
        if (!parsePress(in, id)) {
            std::fprintf(stderr, "zelvatron-sim: press needs five numbers 0..255: B0 B1 B2 B3 SUFFIX\n");
            return true;
        }
        pager.pressButton(id);
    } else if (word == "unplug") {
        pager.unplug();
    } else if (word == "plug") {
        std::string configuration;
        in >> configuration;
        if (!configuration.empty()) {
            const auto guard = pager.lock();
            pager.pager().state() =
                configuration == "demo" ? harvelin::sim::demoPagerState() : harvelin::sim::PagerState{};
        }
        pager.plug();
        printPath(pager);
    } else if (word == "forget") {
        unsigned slot = 0;
        if (!(in >> slot) || slot < 1 || slot > 32) {
            std::fprintf(stderr, "zelvatron-sim: forget needs a caller slot 1..32\n");
            return true;
        }
        const auto guard = pager.lock();
        pager.pager().faults().forgetCallerWrite.insert(slot - 1);
    } else if (word == "silent-at") {
        unsigned slot = 0;
        if (!(in >> slot) || slot < 1 || slot > 32) {
            std::fprintf(stderr, "zelvatron-sim: silent-at needs a caller slot 1..32\n");
            return true;
        }
        const auto guard = pager.lock();
        pager.pager().faults().silentFrom = callerWritePrefix(slot);
    } else if (word == "answer") {
        const auto guard = pager.lock();
        pager.pager().faults().silentFrom.clear();
        pager.pager().faults().silent = false;
    } else {
        std::fprintf(stderr, "zelvatron-sim: unknown command \"%s\"\n", word.c_str());
    }
    return true;
}

}  // namespace

int main(int argc, char** argv)
{
    CLI::App app{"A simulated Zelvatron pager on a pseudo-terminal"};
    harvelin::sim::PtyPager::Options options;
    bool version16 = false;
    bool demo = false;
    std::string version;
    app.add_option("--link", options.linkPath, "Create a symlink of this name to the device");
    app.add_option("--log", options.frameLogPath, "Log every frame received to this file, one a line");
    app.add_flag("--version16", version16, "Be a version 1.4 pager with 16 caller slots");
    app.add_option("--pager-version", version, "Firmware version the pager reports, e.g. 1.4 or 2.62")
        ->excludes("--version16");
    CLI::Option* pressOnLearn =
        app.add_flag("--press-on-learn", options.pressButtonOnLearn,
                     "Press a call button with a fresh identity a moment after learn mode starts");
    unsigned pressDelayMs = static_cast<unsigned>(options.learnPressDelay.count());
    app.add_option("--press-delay-ms", pressDelayMs,
                   "How long after learn mode starts that press comes, in milliseconds (default 1500)")
        ->check(CLI::Range(0u, 60000u))
        ->needs(pressOnLearn);
    unsigned silentAt = 0;
    app.add_option("--silent-at", silentAt,
                   "Fall silent for good when the write of this caller slot begins, as \"silent-at\" does")
        ->check(CLI::Range(1u, 32u));
    app.set_version_flag("--version", "zelvatron-sim " + harvelin::versionText());
    app.add_flag("--demo", demo, "Start with a sample configuration instead of an empty one");
    std::string name;
    app.add_option("--name", name, "The pager's name at the start (Windows-1252 bytes, at most 14; "
                                   "default \"Pager:A\")");
    CLI11_PARSE(app, argc, argv);

    options.learnPressDelay = std::chrono::milliseconds(pressDelayMs);
    if (silentAt != 0)
        options.silentFrom = callerWritePrefix(silentAt);
    if (demo)
        options.state = harvelin::sim::demoPagerState();
    if (!name.empty())
        options.state.pagerName = name;

    if (version16)
        options.state.version = "1.4";
    else if (!version.empty())
        options.state.version = version;

    installSignals();
    harvelin::sim::PtyPager pager(std::move(options));
    if (!pager.start()) {
        std::fprintf(stderr, "zelvatron-sim: no pseudo-terminal to be had\n");
        return 1;
    }
    printPath(pager);

    std::string pending;
    bool running = true;
    int console = STDIN_FILENO;
    while (running) {
        // poll() skips a negative descriptor: with the console gone only a
        // signal ends the wait.
        pollfd fds[2] = {{console, POLLIN, 0}, {signalPipe[0], POLLIN, 0}};
        if (::poll(fds, 2, -1) < 0) {
            if (errno == EINTR)
                continue;
            break;
        }
        if (fds[1].revents & POLLIN)
            break;
        if (fds[0].revents & (POLLIN | POLLHUP | POLLERR)) {
            char buf[256];
            const ssize_t n = ::read(STDIN_FILENO, buf, sizeof buf);
            if (n < 0 && (errno == EINTR || errno == EAGAIN))
                continue;
            if (n <= 0) {
                console = -1;
                continue;
            }
            pending.append(buf, static_cast<std::size_t>(n));
            std::size_t eol;
            while (running && (eol = pending.find('\n')) != std::string::npos) {
                running = handleLine(pending.substr(0, eol), pager);
                pending.erase(0, eol + 1);
            }
        }
    }
    pager.stop();
    return 0;
}
