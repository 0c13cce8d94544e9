// harvelin-cli: the form's steps from the command line, on the machine's
// serial ports (see --help).

#include <cstdio>
#include <iostream>
#include <memory>
#include <optional>
#include <string>

#include "cli/cli.h"
#include "platform/clock.h"
#include "platform/port_enumeration.h"
#include "platform/serial_backends.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
#else
#include <signal.h>
#include <unistd.h>

#include "pty_pager.h"
#endif

namespace {

bool stderrIsTerminal()
{
#ifdef _WIN32
    return ::_isatty(::_fileno(stderr)) != 0;
#else
    return ::isatty(::fileno(stderr)) != 0;
#endif
}

}  // namespace

int main(int argc, char** argv)
{
#ifdef _WIN32
    // Texts leave the tool as UTF-8.
    ::SetConsoleOutputCP(CP_UTF8);
#else
    // A closed pipe or a file over the size limit is reported as a failed
    // write and a message, not by dying of the signal.
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
#endif
    const std::unique_ptr<harvelin::SerialBackend> backend = harvelin::makeSystemSerialBackend();
    harvelin::SystemClock clock;

#ifndef _WIN32
    // The simulated pager answers behind a pseudo-terminal, in real time,
    // for as long as the command runs.
    std::unique_ptr<harvelin::sim::PtyPager> simulated;
    auto startSimulator = [&simulated]() -> std::optional<std::string> {
        harvelin::sim::PtyPager::Options options;
        options.state = harvelin::sim::demoPagerState();
        options.pressButtonOnLearn = true;
        simulated = std::make_unique<harvelin::sim::PtyPager>(std::move(options));
        if (!simulated->start())
            return std::nullopt;
        return simulated->devicePath();
    };
#else
    auto startSimulator = []() -> std::optional<std::string> { return std::nullopt; };
#endif

    harvelin::CliEnvironment env{*backend, clock, harvelin::systemPortTable, startSimulator, std::cout, std::cerr,
                                 stderrIsTerminal()};
    const int status = harvelin::runCli(argc, argv, env);
    std::cout.flush();
    if (!std::cout && status == harvelin::exitcode::Success) {
        std::cerr << "harvelin-cli: cannot write the result to standard output\n";
        return harvelin::exitcode::DeviceFailed;
    }
    return status;
}
