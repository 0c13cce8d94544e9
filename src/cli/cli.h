#pragma once

#include <functional>
#include <optional>
#include <ostream>
#include <string>
#include <string_view>

#include "link/port_table.h"
#include "link/serial_port.h"
#include "platform/clock.h"

namespace harvelin {

// What the command line needs of the machine it runs on. The program wires
// the real serial ports, the system clock and the terminal; tests wire
// simulated lines on virtual time and string streams.
struct CliEnvironment {
    SerialBackend& backend;
    Clock& clock;
    // The ports to search when no --port is given.
    std::function<PortTable()> systemPorts;
    // Starts the built-in simulated pager and gives the device to open;
    // nullopt when it cannot be started.
    std::function<std::optional<std::string>()> startSimulator;
    std::ostream& out;
    std::ostream& err;
    // A progress bar is drawn on `err` only when it is a terminal.
    bool errIsTerminal = false;
    // Where complete read-outs are kept; empty: nowhere.
    std::string backupFolder;
    // The user's decimal separator; CSV files use ";" where it is a comma.
    char decimalPoint = '.';
    // Whether the user asked the running series to end (Ctrl-C); null: never.
    std::function<bool()> interrupted;
    // `err` is a terminal that takes cursor moves: a series keeps a live line
    // per port there.
    bool errTakesCursorMoves = false;
    // What the system's settings say about the language (systemLanguageSetting()):
    // the language of every text unless --language chooses one.
    std::string systemLanguage;
};

// Exit statuses of harvelin-cli.
namespace exitcode {
constexpr int Success = 0;
constexpr int DeviceFailed = 1;  // the pager did not do what was asked
constexpr int BadInput = 2;      // bad usage, or a file that cannot be read or written
// Any output that cannot be written: a file, standard output, a log, the
// backup folder. The message names the path and the system's reason.
constexpr int OutputFailed = BadInput;
constexpr int NoPager = 3;       // the search found no pager
constexpr int Interrupted = 130; // stopped by Ctrl-C or SIGTERM
}  // namespace exitcode

// Runs the command of these arguments in the language that --language
// (before or after the command) or else `env.systemLanguage` chooses; the
// language chosen before is put back when it returns.
int runCli(int argc, const char* const* argv, CliEnvironment& env);

// The language that runCli speaks with these arguments on a system with
// this setting; nullopt when --language names one the tool does not speak.
std::optional<std::string_view> cliLanguage(int argc, const char* const* argv, std::string_view systemSetting);

// The system's reason for a failed write, from errno; a stream that fails
// without one has most likely met a full disk.
std::string outputFailureReason(int errorNumber);

// Stops the running command before its next command to the pager goes out;
// it then leaves learn mode, closes the port, writes no file and ends with
// exitcode::Interrupted. Safe to call from a signal handler.
void requestCliStop();

}  // namespace harvelin
