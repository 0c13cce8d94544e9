#pragma once

// The command line's link to the pager: every command calls the operations
// below the form and says what came of them.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "files/pager_data_file.h"
#include "model/win1252.h"
#include "device/learn_window.h"
#include "link/operation_sink.h"
#include "link/serial_link.h"
#include "model/option_switches.h"
#include "transfer/read_out.h"
#include "transfer/transfer_steps.h"
#include "transfer/write.h"
#include "transfer/messages.h"

namespace harvelin::cli {

constexpr const char* Program = "harvelin-cli";
constexpr int ProgressBarWidth = 40;
// The learn window closes itself after 8 seconds; this only guards against
// a window that never ends.
constexpr int MaxLearnTicks = 600;

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

// Set from a signal handler (requestCliStop): lock-free atomics only.
extern std::atomic<bool> stopRequested;
extern std::atomic<SerialLink*> stoppableLink;

// One link to the pager and the configuration a command works on, with what
// the operations show on the way: the progress bar, and the form's German
// messages on standard error, as UTF-8. Every operation is called directly;
// the session keeps only what the next one needs (whether the pager still
// answers, the configuration it starts from).
class Session : public OperationSink {
public:
    Session(CliEnvironment& env, SerialBackend& backend, PortTable ports);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // --- OperationSink
    void progressRange(int low, int high) override;
    void progress(int position) override;
    void repaint() override;
    void notice(const std::string& text) override { tell(text); }

    // A stop request from now on cancels what this session's link does,
    // until the session ends.
    void acceptStopRequests();
    bool stopped() const { return stopRequested.load(); }

    // "Suche Zelvatron"; true when a pager was found. A found pager is asked
    // for the repeater's status at once, as the form asks.
    bool search();
    // Whether the last search showed a message (the ports that failed, no
    // serial port at all).
    bool searchToldWhy() const { return searchToldWhy_; }
    // The port the last search found the pager on.
    const PortEntry& foundPort() const { return foundPort_; }
    unsigned foundPortNumber() const { return foundPortNumber_; }
    // The repeater reported its clock when the pager was found.
    bool repeaterReported() const { return repeaterReported_; }

    // "Pager -> PC", starting from `configuration()`; a complete read-out
    // becomes the configuration and is kept in the backup folder. Tells the
    // form's messages, except that a stop request cancelled it.
    ReadOutResult read();
    // "PC -> Pager" of `configuration()`; tells how it went, as the form does.
    WriteResult write();

    // Puts the pager into learn mode for caller slot `slot` (1..32); false
    // when it did not take it up.
    bool startLearn(int slot);
    // Runs the open learn window's ticks, 100 ms apart, until it ends;
    // false when it never did. An identity heard goes into the slot.
    bool runLearnWindow();
    // The pager confirmed leaving learn mode at the window's end.
    bool learnModeLeft() const { return learnModeLeft_; }
    bool learnStored() const { return learnStored_; }

    // Switches an option as a click on its box does, with the pager name
    // `pagerName` (Windows-1252); true when the pager confirmed it.
    bool switchOption(OptionSwitchTexts texts, bool on, const std::string& pagerName);
    // Sets the repeater's clock; true when the repeater confirmed the time.
    bool setClock();
    bool startBootloader();

    // After a stop request: the pager is left as a user leaves it, learn
    // mode off and the port closed.
    void stop();

    // A note of the tool's own on a line of its own, also while a progress
    // bar is drawn.
    void note(const std::string& text);
    // One of the form's messages (Windows-1252), unless the session is quiet.
    void tell(const std::string& text);

    // The configuration the session holds: the start values, what was opened
    // into it, or what a complete read-out got.
    PagerConfiguration& configuration() { return held_; }
    const PagerConfiguration& configuration() const { return held_; }

    // The lines this session opens, for another session on the same ports.
    SerialBackend& lineBackend;
    SerialLink link;
    // While set, the form's messages are not printed.
    bool quiet = false;
    // Whether the small pager's message is printed after a write (a series
    // tells it in its result line).
    bool tellSmallPager = true;
    // Called while the pager is busy with an exchange, e.g. to say at once
    // what a Ctrl-C will do.
    std::function<void(Session&)> whileBusy;
    // Where complete read-outs are kept (UTF-8); empty: nowhere.
    std::string backupFolder;
    // The backup of the last read-out, empty if none was kept.
    std::string lastBackupPath;
    // A folder that cannot be written is named once.
    bool backupFailureShown = false;

private:
    void keepBackup(const ReadOutResult& result);

    CliEnvironment& env_;
    ProgressBar progress_;
    int progressLow_ = 0;
    int progressHigh_ = FullProgressMax;
    SerialLink* outerLink_ = nullptr;
    PagerConfiguration held_ = startConfiguration();
    // "Aktiv": a pager was found and has not gone silent since.
    bool active_ = false;
    bool searchToldWhy_ = false;
    bool repeaterReported_ = false;
    PortEntry foundPort_;
    unsigned foundPortNumber_ = 0;
    LearnWindow learnWindow_;
    int learnSlot_ = 0;
    std::string statusText_;
    bool learnModeLeft_ = false;
    bool learnStored_ = false;
};

std::ostream& complain(CliEnvironment& env);
std::filesystem::path nativePath(const std::string& utf8);
// Opens a .pag file onto `config` as the form opens it: what the file does
// not mention keeps its value. False after the form's message says why not;
// `coverage` receives which lines the file held.
bool openFile(CliEnvironment& env, const std::string& path, PagerConfiguration& config,
              FileCoverage* coverage = nullptr);
// Saves `config` as the form's "Speichern unter" does; false after the form's
// message.
bool saveFile(CliEnvironment& env, const std::string& path, const PagerConfiguration& config);
// The form's messages for a file that could not be opened or saved, for a
// German reason as the file code gives it (Windows-1252).
void fileNotOpened(CliEnvironment& env, const std::string& path, const std::string& reason);
void fileNotSaved(CliEnvironment& env, const std::string& path, const std::string& reason);
// Whether a file can be saved at `path`, found out before the pager is
// busied with a long read-out; nothing is left behind.
bool fileCanBeSaved(CliEnvironment& env, const std::string& path, FileNaming naming = FileNaming::ByUser);
// After a stop request: the pager is left as a user leaves it, learn mode
// off and the port closed; whatever the command was to write is not written.
// exitcode::Interrupted.
int stopNow(Session& session);
// The same, with the note "interrupted; <what>" (`what` says what the stop
// left as it was; empty: nothing to add).
int interrupted(CliEnvironment& env, Session& session, const std::string& what);
// "no file was written, FILE is left as it was" (or only the first part when
// there is no FILE yet).
std::string fileLeftAsItWas(const std::string& file);
// The form's own line when the search showed no message; exitcode::NoPager.
int noPager(CliEnvironment& env, const Session& session);
int failed(CliEnvironment& env, const std::string& what);

}  // namespace harvelin::cli
