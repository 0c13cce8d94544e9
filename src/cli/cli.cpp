#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/configuration_report.h"
#include "cli/trace_backend.h"
#include "files/pager_data_file.h"
#include "files/replacing_file.h"
#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "ui/memory_host.h"
#include "ui/messages.h"

namespace harvelin {

namespace {

constexpr const char* Program = "harvelin-cli";
constexpr int ProgressBarWidth = 40;
// The learn window closes itself after 8 seconds; this only guards against
// a window that never ends.
constexpr int MaxLearnTicks = 600;
constexpr int SlotsPerPage = 16;
constexpr int CallerSlots = 32;
constexpr std::size_t PagerNameMax = 14;

// The bar that replaces the form's progress bar, drawn in place on a terminal.
class ProgressBar {
public:
    ProgressBar(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}

    void show(int low, int high, int pos)
    {
        // The form's bar drops back when an operation ends; the terminal
        // keeps what was reached.
        if (!enabled_ || high <= low || (drawn_ && pos < shown_))
            return;
        shown_ = pos;
        const int filled = std::clamp((pos - low) * ProgressBarWidth / (high - low), 0, ProgressBarWidth);
        err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(ProgressBarWidth - filled), '.') << "] " << (pos - low) << '/'
             << (high - low) << std::flush;
        drawn_ = true;
    }

    // Ends the bar's line, so what follows starts on a line of its own.
    void end()
    {
        if (drawn_)
            err_ << '\n' << std::flush;
        drawn_ = false;
        shown_ = 0;
    }

private:
    std::ostream& err_;
    bool enabled_;
    bool drawn_ = false;
    int shown_ = 0;
};

// The main form without a window, driven the way a user drives it. What the
// form shows in message boxes goes to standard error, as UTF-8.
class Session {
public:
    Session(CliEnvironment& env, SerialBackend& backend, PortTable ports)
        : env_(env), progress_(env.err, env.errIsTerminal), dialog(host, backend, std::move(ports), env.clock)
    {
        host.onMessage = [this](const std::string& text) {
            progress_.end();
            env_.err << win1252ToUtf8(text) << '\n' << std::flush;
        };
        host.onProgress = [this](int low, int high, int pos) { progress_.show(low, high, pos); };
        dialog.OnInitDialog();
    }
    ~Session()
    {
        progress_.end();
        dialog.link.close();
    }
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    void press(int controlId)
    {
        dialog.onCommand(controlId);
        progress_.end();
    }

    // "Suche Zelvatron"; true when a pager was found.
    bool search()
    {
        press(ctl::SearchButton);
        return dialog.link.state == LinkState::Open && dialog.link.portNumber != 0;
    }

    // The file dialog that the next button opens is answered with `path`.
    void answerFileDialog(const std::string& path) { host.fileDialogAnswers.push_back(path); }

    // The 100 ms timer while a learn window is open. A tick falls due 100 ms
    // after the previous one began, or at once when that one ran longer.
    bool runLearnWindow()
    {
        std::int64_t lastTickAt = env_.clock.nowMs();
        std::string shownStatus;
        for (int tick = 0; dialog.learnRow != 0; ++tick) {
            if (tick == MaxLearnTicks)
                return false;
            const std::int64_t due = lastTickAt + ctl::UiTimerPeriodMs;
            const std::int64_t now = env_.clock.nowMs();
            if (due > now)
                env_.clock.sleepMs(static_cast<unsigned>(due - now));
            lastTickAt = env_.clock.nowMs();
            dialog.onTimer(ctl::UiTimerId);
            if (env_.errIsTerminal && !dialog.statusText.empty() && dialog.statusText != shownStatus) {
                shownStatus = dialog.statusText;
                env_.err << '\r' << win1252ToUtf8(shownStatus) << std::flush;
            }
        }
        if (!shownStatus.empty())
            env_.err << '\n' << std::flush;
        return true;
    }

    MemoryHost host;

private:
    CliEnvironment& env_;
    ProgressBar progress_;

public:
    MainDialog dialog;
};

std::ostream& complain(CliEnvironment& env) { return env.err << Program << ": "; }

std::filesystem::path nativePath(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

// Whether the form would open the file; the form's own message says why not.
// `coverage` receives which lines the file held.
bool fileOpens(CliEnvironment& env, const std::string& path, FileCoverage* coverage = nullptr)
{
    Session scratch(env, env.backend, PortTable());
    scratch.answerFileDialog(path);
    scratch.press(ctl::OpenFileButton);
    if (coverage)
        *coverage = scratch.dialog.lastFileCoverage;
    return scratch.dialog.lastFileOk;
}

// Where an incomplete read-out is kept: beside FILE, ".partial" before its
// extension ("kueche.pag" -> "kueche.partial.pag").
std::string partialPath(const std::string& path)
{
    const std::size_t name = path.find_last_of("/\\") + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= name)
        return path + ".partial";
    return path.substr(0, dot) + ".partial" + path.substr(dot);
}

// Whether a file can be saved at `path`, found out before the pager is
// busied with a long read-out; nothing is left behind.
bool fileCanBeSaved(CliEnvironment& env, const std::string& path)
{
    ReplacingFile probe(path);
    if (!probe.create()) {
        complain(env) << "cannot write " << path << ": " << win1252ToUtf8(probe.error()) << '\n';
        return false;
    }
    probe.discard();
    return true;
}

int noPager(CliEnvironment& env, const Session& session)
{
    complain(env) << "no Zelvatron found on the " << session.dialog.link.ports().size() << " port(s) searched\n";
    return exitcode::NoPager;
}

int failed(CliEnvironment& env, const std::string& what)
{
    complain(env) << what << '\n';
    return exitcode::DeviceFailed;
}

// A result that never reached standard output (a full disk, a closed pipe)
// is no success, whatever the command did.
int outputWritten(CliEnvironment& env, int status)
{
    env.out.flush();
    if (env.out)
        return status;
    const int code = errno;
    complain(env) << "cannot write the result to standard output"
                  << (code != 0 ? std::string(": ") + std::strerror(code) : std::string()) << '\n';
    return exitcode::DeviceFailed;
}

// --- the commands ------------------------------------------------------------

int listPorts(CliEnvironment& env, const PortTable& ports)
{
    for (unsigned n = 1; n <= ports.size(); ++n) {
        const PortEntry& e = *ports.entry(n);
        env.out << n << ' ' << e.deviceName;
        if (!e.description.empty())
            env.out << "  " << e.description;
        env.out << '\n';
    }
    return exitcode::Success;
}

int searchCommand(CliEnvironment& env, Session& session)
{
    if (!session.search())
        return noPager(env, session);
    const unsigned n = session.dialog.link.portNumber;
    env.out << n << ' ' << session.dialog.link.ports().entry(n)->deviceName << '\n';
    return exitcode::Success;
}

int readCommand(CliEnvironment& env, Session& session, const std::string& file)
{
    const std::string partial = partialPath(file);
    if (!fileCanBeSaved(env, file) || !fileCanBeSaved(env, partial))
        return exitcode::BadInput;
    if (!session.search())
        return noPager(env, session);
    const std::size_t shownBefore = session.host.messages.size();
    session.press(ctl::ReadButton);
    // Without the pager's version the read-out takes nothing over; saving
    // then would put the form's start values in place of FILE.
    const std::vector<std::string>& shown = session.host.messages;
    if (std::find(shown.begin() + static_cast<std::ptrdiff_t>(shownBefore), shown.end(), NoConnectionMessage) !=
        shown.end())
        return failed(env, "nothing was read; " + file + " is left as it was");
    // Only a complete read-out replaces FILE; what an incomplete one gave is
    // kept beside it, so a good FILE is never overwritten with gaps.
    const bool complete = session.dialog.lastReadOutComplete;
    session.answerFileDialog(complete ? file : partial);
    session.press(ctl::SaveFileButton);
    if (!session.dialog.lastFileOk)
        return exitcode::BadInput;
    if (!complete)
        return failed(env, "the read-out was incomplete; what the pager gave is in " + partial + ", " + file +
                               " is left as it was");
    return exitcode::Success;
}

int writeCommand(CliEnvironment& env, Session& session, const std::string& file, bool partial)
{
    // A file that lacks lines would fill the gaps with the form's start
    // values; that is written only when asked for.
    FileCoverage coverage;
    if (!fileOpens(env, file, &coverage))
        return exitcode::BadInput;
    if (!partial && !coverage.complete()) {
        complain(env) << file << " is not a complete configuration; it lacks " << coverage.missing()
                      << ". --partial writes it anyway, with the start values in their place\n";
        return exitcode::BadInput;
    }
    if (!session.search())
        return noPager(env, session);
    session.answerFileDialog(file);
    session.press(ctl::OpenFileButton);
    if (!session.dialog.lastFileOk)
        return exitcode::BadInput;
    session.press(ctl::WriteButton);
    return session.dialog.lastWriteSucceeded && !session.dialog.lastWriteLeftSlotsOut ? exitcode::Success
                                                                                     : exitcode::DeviceFailed;
}

int showCommand(CliEnvironment& env, Session& session, const std::string& file, bool json)
{
    session.answerFileDialog(file);
    session.press(ctl::OpenFileButton);
    if (!session.dialog.lastFileOk)
        return exitcode::BadInput;
    const MainDialog& d = session.dialog;
    const PagerConfiguration shown{d.image,
                                   d.pagerName,
                                   d.remoteDeleteText,
                                   session.host.isChecked(ctl::Battery),
                                   session.host.isChecked(ctl::Buzzer),
                                   session.host.isChecked(ctl::RemoteDelete)};
    env.out << (json ? configurationJson(shown) : configurationText(shown));
    return exitcode::Success;
}

int learnCommand(CliEnvironment& env, Session& session, int slot, const std::string& file)
{
    std::error_code ec;
    const bool exists = std::filesystem::exists(nativePath(file), ec);
    if (exists && !fileOpens(env, file))
        return exitcode::BadInput;
    if (!fileCanBeSaved(env, file))
        return exitcode::BadInput;
    if (!session.search())
        return noPager(env, session);
    if (exists) {
        session.answerFileDialog(file);
        session.press(ctl::OpenFileButton);
        if (!session.dialog.lastFileOk)
            return exitcode::BadInput;
    }
    // The row that shows the slot, on the page that holds it.
    session.press(slot <= SlotsPerPage ? ctl::PageLower : ctl::PageUpper);
    const int row = (slot - 1) % SlotsPerPage + 1;
    session.press(ctl::learnButton(row));
    if (session.dialog.learnRow == 0)
        return failed(env, "the pager did not take up learn mode");
    complain(env) << "learn mode for slot " << slot << ": press the call button now\n" << std::flush;
    if (!session.runLearnWindow())
        return failed(env, "the learn window did not end");
    const bool left = session.dialog.lastLearnModeLeft;
    if (!session.dialog.lastLearnStored)
        return failed(env, std::string(left ? "" : "the pager did not confirm leaving learn mode; ") +
                               "no call button was learned; " + file + " is left as it was");
    session.answerFileDialog(file);
    session.press(ctl::SaveFileButton);
    if (!session.dialog.lastFileOk)
        return exitcode::BadInput;
    // The identity is saved all the same; the pager may still be listening.
    if (!left)
        return failed(env, "the pager did not confirm leaving learn mode; it may still be in learn mode");
    return exitcode::Success;
}

struct OptionSwitch {
    const char* name;
    int checkId;
};
constexpr OptionSwitch OptionSwitches[] = {
    {"battery", ctl::Battery},
    {"buzzer", ctl::Buzzer},
    {"remote-delete", ctl::RemoteDelete},
};

int optionCommand(CliEnvironment& env, Session& session, const std::string& option, bool on,
                  const std::optional<std::string>& name)
{
    int checkId = 0;
    for (const OptionSwitch& s : OptionSwitches)
        if (option == s.name)
            checkId = s.checkId;
    std::optional<std::string> pagerName;
    if (name) {
        pagerName = utf8ToWin1252(*name);
        if (!pagerName || pagerName->size() > PagerNameMax) {
            complain(env) << "the pager name must be at most " << PagerNameMax
                          << " characters of the pager's character set\n";
            return exitcode::BadInput;
        }
    }
    if (!session.search())
        return noPager(env, session);
    // The switch carries the name that the form shows, taken as the timer
    // takes it.
    if (pagerName) {
        session.host.setControlText(ctl::PagerName, *pagerName);
        session.dialog.UpdateData(true);
    }
    // A click toggles the box before its handler runs.
    session.host.setChecked(checkId, on);
    session.press(checkId);
    if (!session.dialog.lastSwitchConfirmed)
        return failed(env, "the pager did not confirm the switch");
    return exitcode::Success;
}

int clockCommand(CliEnvironment& env, Session& session)
{
    if (!session.search())
        return noPager(env, session);
    // The button is there only while the repeater's clock is shown.
    if (!session.host.isVisible(ctl::ClockButton))
        return failed(env, "the repeater did not report its clock after the search; it cannot be set");
    session.press(ctl::ClockButton);
    // The group is hidden at once when the repeater confirms the new time.
    if (session.host.isVisible(ctl::ClockButton))
        return failed(env, "the repeater did not confirm the new time");
    return exitcode::Success;
}

int bootloaderCommand(CliEnvironment& env, Session& session)
{
    if (!session.search())
        return noPager(env, session);
    session.press(ctl::BootloaderButton);
    if (!session.dialog.lastBootloaderConfirmed)
        return failed(env, "the pager did not confirm the boot loader start");
    return exitcode::Success;
}

}  // namespace

int runCli(int argc, const char* const* argv, CliEnvironment& env)
{
    CLI::App app{"Configures the Zelvatron pager from the command line: the same steps as the form's buttons, "
                 "with the form's messages on standard error.",
                 Program};
    app.set_version_flag("--version", std::string(Program) + " " + HARVELIN_VERSION);
    app.require_subcommand(1);
    app.fallthrough();
    app.footer("Exit status: 0 success, 1 a device step failed, 2 bad usage or a file that cannot be read or "
               "written, 3 no pager found.");

    std::vector<std::string> portPaths;
    bool simulate = false;
    bool trace = false;
    app.add_option("--port", portPaths, "Serial device to search, repeatable; the first is port 1 "
                                        "(default: the serial ports of this system)")
        ->type_name("PATH")
        ->allow_extra_args(false);
    app.add_flag("--simulate", simulate, "Put the built-in simulated pager first into the port table");
    app.add_flag("--trace", trace, "Print every frame sent and every reply received on standard error");

    CLI::App* ports = app.add_subcommand("ports", "List the port table: number and device");
    CLI::App* search = app.add_subcommand("search", "Search the pager (\"Suche Zelvatron\") and print its port");

    std::string file;
    CLI::App* read = app.add_subcommand("read", "Read the pager (\"Pager -> PC\") and save the configuration");
    read->add_option("FILE", file, "The .pag file to save")->required();
    CLI::App* write = app.add_subcommand("write", "Open a .pag file and write it into the pager (\"PC -> Pager\")");
    write->add_option("FILE", file, "The .pag file to write")->required();
    bool partial = false;
    write->add_flag("--partial", partial, "Write a file that lacks some of a saved configuration's lines; "
                                          "the form's start values take their place");

    bool json = false;
    CLI::App* show = app.add_subcommand("show", "Print what a .pag file holds, as the form would show it");
    show->add_option("FILE", file, "The .pag file")->required();
    show->add_flag("--json", json, "One JSON object instead of a table");

    int slot = 0;
    CLI::App* learn = app.add_subcommand("learn", "Teach the pager a call button for a caller slot (\"Lernen\") "
                                                  "and save its identity into FILE");
    learn->add_option("SLOT", slot, "Caller slot 1..32")->required()->check(CLI::Range(1, CallerSlots));
    learn->add_option("FILE", file, "The .pag file to update (created when missing)")->required();

    std::string optionName;
    std::string optionState;
    std::optional<std::string> pagerName;
    CLI::App* option = app.add_subcommand("option", "Switch a pager option at once, as a click on its box does");
    option->add_option("OPTION", optionName, "battery, buzzer or remote-delete")
        ->required()
        ->check(CLI::IsMember({"battery", "buzzer", "remote-delete"}));
    option->add_option("STATE", optionState, "on or off")->required()->check(CLI::IsMember({"on", "off"}));
    option->add_option("--name", pagerName, "The pager's name, which the switch carries (default \"Pager:A\")");

    CLI::App* clock = app.add_subcommand("clock", "Set the repeater's clock from this machine's clock "
                                                  "(\"Systemzeit -> Repeater\")");
    CLI::App* bootloader = app.add_subcommand("bootloader", "Tell the pager to start its boot loader");

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        const int code = app.exit(e, env.out, env.err);
        return code == 0 ? exitcode::Success : exitcode::BadInput;
    }

    // The port table: the simulated pager first, then the ports asked for or
    // those of the system.
    std::vector<PortEntry> entries =
        portPaths.empty() ? env.systemPorts().entries() : PortTable::fromPaths(portPaths).entries();
    if (simulate) {
        const std::optional<std::string> device = env.startSimulator ? env.startSimulator() : std::nullopt;
        if (!device) {
            complain(env) << "the simulated pager could not be started\n";
            return exitcode::DeviceFailed;
        }
        entries.insert(entries.begin(), PortTable::fromPaths({*device}).entries().front());
        entries.front().description = "simulated Zelvatron";
    }
    const PortTable table(std::move(entries));

    if (ports->parsed())
        return outputWritten(env, listPorts(env, table));

    std::optional<TracingBackend> tracer;
    if (trace)
        tracer.emplace(env.backend, env.clock, env.err);
    SerialBackend& backend = tracer ? static_cast<SerialBackend&>(*tracer) : env.backend;
    Session session(env, backend, table);

    if (search->parsed())
        return outputWritten(env, searchCommand(env, session));
    if (read->parsed())
        return readCommand(env, session, file);
    if (write->parsed())
        return writeCommand(env, session, file, partial);
    if (show->parsed())
        return outputWritten(env, showCommand(env, session, file, json));
    if (learn->parsed())
        return learnCommand(env, session, slot, file);
    if (option->parsed())
        return optionCommand(env, session, optionName, optionState == "on", pagerName);
    if (clock->parsed())
        return clockCommand(env, session);
    if (bootloader->parsed())
        return bootloaderCommand(env, session);
    return exitcode::BadInput;
}

}  // namespace harvelin
