// harvelin-cli: the form's steps from the command line, on the machine's
// serial ports (see --help).

#include <atomic>
#include <cerrno>
#include <csignal>
#include <cstdio>
#include <cstdlib>
#include <iostream>
#include <locale>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/texts.h"
#include "files/backups.h"
#include "platform/clock.h"
#include "platform/port_enumeration.h"
#include "platform/serial_backends.h"
#include "platform/system_language.h"

#ifdef _WIN32
#include <io.h>
#include <windows.h>
// after windows.h, which it builds on
#include <shellapi.h>

#include "cli/win32_console_output.h"
#include "local_pager.h"
#else
#include <signal.h>
#include <unistd.h>

#include "pty_pager.h"
#endif

namespace {

std::atomic<bool> interruptRequested{false};
static_assert(std::atomic<bool>::is_always_lock_free);

// The first Ctrl-C asks the series to end after the pager at hand; the
// second stops the command as SIGTERM does, between two commands to the pager.
void onSeriesInterrupt()
{
    if (interruptRequested.exchange(true))
        harvelin::requestCliStop();
}

#ifdef _WIN32
BOOL WINAPI onConsoleControl(DWORD type)
{
    if (type != CTRL_C_EVENT && type != CTRL_BREAK_EVENT)
        return FALSE;
    onSeriesInterrupt();
    return TRUE;
}
#else
void onInterrupt(int) { onSeriesInterrupt(); }
#endif

// A series takes Ctrl-C over from onStopSignal when it first asks.
bool interrupted()
{
    static const bool caught = [] {
#ifdef _WIN32
        return ::SetConsoleCtrlHandler(onConsoleControl, TRUE) != 0;
#else
        struct sigaction sa {};
        sa.sa_handler = onInterrupt;
        sigemptyset(&sa.sa_mask);
        return ::sigaction(SIGINT, &sa, nullptr) == 0;
#endif
    }();
    return caught && interruptRequested;
}

// The decimal separator of the user's locale, for the CSV files.
char localeDecimalPoint()
{
    try {
        return std::use_facet<std::numpunct<char>>(std::locale("")).decimal_point();
    } catch (const std::runtime_error&) {
        return '.';  // a locale the system does not know
    }
}

bool stderrIsTerminal()
{
#ifdef _WIN32
    return ::_isatty(::_fileno(stderr)) != 0;
#else
    return ::isatty(::fileno(stderr)) != 0;
#endif
}

// Whether standard error is a terminal that moves its cursor as told (the
// live lines of a series): on Windows a console that takes the escape
// sequences once asked to.
bool stderrTakesCursorMoves()
{
    if (!stderrIsTerminal())
        return false;
#ifdef _WIN32
    const HANDLE console = ::GetStdHandle(STD_ERROR_HANDLE);
    DWORD mode = 0;
    return ::GetConsoleMode(console, &mode) != 0 &&
           ::SetConsoleMode(console, mode | ENABLE_VIRTUAL_TERMINAL_PROCESSING) != 0;
#else
    const char* term = std::getenv("TERM");
    return term != nullptr && *term != '\0' && std::string(term) != "dumb";
#endif
}

// Ctrl-C and SIGTERM let the command stop between two commands to the
// pager instead of leaving it in the middle of an exchange or in learn mode.
extern "C" void onStopSignal(int) { harvelin::requestCliStop(); }

#ifdef _WIN32
// The arguments as UTF-8, like everywhere else: the narrow arguments that
// Windows hands to main are in the ANSI code page, where a name or a file
// name outside it is lost.
std::vector<std::string> utf8Arguments()
{
    std::vector<std::string> args;
    int count = 0;
    wchar_t** wide = ::CommandLineToArgvW(::GetCommandLineW(), &count);
    if (!wide)
        return args;
    for (int i = 0; i < count; ++i) {
        const int n = ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, nullptr, 0, nullptr, nullptr);
        std::string arg(n > 0 ? static_cast<std::size_t>(n) : 1, '\0');
        if (n > 0)
            ::WideCharToMultiByte(CP_UTF8, 0, wide[i], -1, arg.data(), n, nullptr, nullptr);
        arg.resize(arg.size() - 1);
        args.push_back(std::move(arg));
    }
    ::LocalFree(wide);
    return args;
}
#endif

}  // namespace

int main(int argc, char** argv)
{
    const char* const* arguments = argv;
#ifdef _WIN32
    // Texts leave the tool as UTF-8; a console gets them as the characters
    // they are, in any code page, and the console's code page stays as the
    // user has it.
    const harvelin::ConsoleStandardStreams console;
    const std::vector<std::string> args = utf8Arguments();
    std::vector<const char*> utf8Argv;
    for (const std::string& a : args)
        utf8Argv.push_back(a.c_str());
    if (!utf8Argv.empty()) {
        argc = static_cast<int>(utf8Argv.size());
        utf8Argv.push_back(nullptr);
        arguments = utf8Argv.data();
    }
#else
    // A closed pipe or a file over the size limit is reported as a failed
    // write and a message, not by dying of the signal.
    ::signal(SIGPIPE, SIG_IGN);
    ::signal(SIGXFSZ, SIG_IGN);
#endif
    const std::unique_ptr<harvelin::SerialBackend> systemBackend = harvelin::makeSystemSerialBackend();
    harvelin::SystemClock clock;

#ifndef _WIN32
    harvelin::SerialBackend* backend = systemBackend.get();
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
    // No pseudo-terminals here: the simulated pager answers inside this
    // process, under a port name of its own.
    harvelin::sim::LocalPagerBackend local(*systemBackend, clock);
    harvelin::SerialBackend* backend = &local;
    auto startSimulator = [&local]() -> std::optional<std::string> { return local.start(); };
#endif

    std::signal(SIGINT, onStopSignal);
    std::signal(SIGTERM, onStopSignal);

    harvelin::CliEnvironment env{*backend, clock, harvelin::systemPortTable, startSimulator, std::cout, std::cerr,
                                 stderrIsTerminal(), harvelin::BackupFolder::standardPath(),
                                 localeDecimalPoint(), interrupted, stderrTakesCursorMoves(),
                                 harvelin::systemLanguageSetting()};
    // runCli speaks the language it chooses and puts back the one before:
    // what is said here after it returns is said in the same language.
    harvelin::chooseLanguage(harvelin::cliLanguage(argc, arguments, env.systemLanguage).value_or("de"));
    const int status = harvelin::runCli(argc, arguments, env);
    errno = 0;
    std::cout.flush();
    if (!std::cout && status == harvelin::exitcode::Success) {
        std::cerr << "harvelin-cli: "
                  << harvelin::cli::said(harvelin::CliText::CannotWriteResult,
                                         {harvelin::outputFailureReason(errno)})
                  << '\n';
        return harvelin::exitcode::OutputFailed;
    }
    return status;
}
