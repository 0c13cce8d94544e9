#pragma once

// The command line's adapter to the pager session, and the file steps every
// command shares.

#include <algorithm>
#include <atomic>
#include <cstdint>
#include <filesystem>
#include <functional>
#include <ostream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "cli/texts.h"
#include "files/pager_data_file.h"
#include "model/win1252.h"
#include "model/option_switches.h"
#include "session/pager_session.h"
#include "transfer/messages.h"
#include "transfer/transfer_steps.h"

namespace harvelin::cli {

constexpr const char* Program = "harvelin-cli";
constexpr int ProgressBarWidth = 40;

// The bar that replaces the form's progress bar, drawn in place on a terminal.
class ProgressBar {
public:
    ProgressBar(std::ostream& err, bool enabled) : err_(err), enabled_(enabled) {}

    void range(int low, int high)
    {
        low_ = low;
        high_ = high;
    }

    void show(int pos)
    {
        // The form's bar drops back when an operation ends; the terminal
        // keeps what was reached.
        if (!enabled_ || high_ <= low_ || (drawn_ && pos < shown_))
            return;
        shown_ = pos;
        const int filled = std::clamp((pos - low_) * ProgressBarWidth / (high_ - low_), 0, ProgressBarWidth);
        err_ << "\r[" << std::string(static_cast<std::size_t>(filled), '#')
             << std::string(static_cast<std::size_t>(ProgressBarWidth - filled), '.') << "] " << (pos - low_) << '/'
             << (high_ - low_) << std::flush;
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
    int low_ = 0;
    int high_ = FullProgressMax;
    bool drawn_ = false;
    int shown_ = 0;
};

// Set from a signal handler (requestCliStop): lock-free atomics only.
extern std::atomic<bool> stopRequested;
extern std::atomic<PagerSession*> stoppableSession;

// The command line's adapter to the pager session: it runs the session's
// actions for a command and prints what they tell on the way (the progress
// bar, the form's German messages on standard error as UTF-8, the learn
// countdown). What an outcome means the session decides; the commands turn
// it into their lines and exit status.
class Session : public SessionEvents {
public:
    Session(CliEnvironment& env, SerialBackend& backend, PortTable ports);
    ~Session() override;
    Session(const Session&) = delete;
    Session& operator=(const Session&) = delete;

    // --- SessionEvents
    void progressRange(int low, int high) override
    {
        progress_.range(low, high);
        progressLow_ = low;
        progressHigh_ = high;
    }
    void progress(int position) override
    {
        progress_.show(position);
        if (progressSeen)
            progressSeen(position - progressLow_, progressHigh_ - progressLow_);
    }
    void repaint() override;
    void notice(const std::string& text) override { tell(text); }
    void learnStatus(const std::string& text) override;
    void learnLineDropped() override;

    // A stop request from now on stops what this session does, until the
    // session ends. On the program's main thread the signal handler stops
    // the session at once; a session on another thread (a port of a
    // series) sees the request before its next exchange with the pager.
    void acceptStopRequests();
    bool stopped() const { return stopRequested.load(); }

    // "Suche Zelvatron"; true when a pager was found. Tells why none was.
    bool search();
    // "Pager -> PC", starting from `configuration()`, which a complete
    // read-out replaces. Tells the form's messages.
    ReadOutOutcome read(PagerSession::Backup backup = PagerSession::Backup::Keep);
    // "PC -> Pager" of `configuration()`; tells how it went, as the form does.
    WriteOutcome write(PagerSession::Check check = PagerSession::Check::None);
    // Teaches caller slot `slot` (1..32) a call button: false when the
    // pager did not take up learn mode; then the window runs, and the
    // identity heard goes into `configuration()`.
    bool startLearn(int slot);
    LearnEnd runLearnWindow();

    // After a stop request: learn mode off and the port closed.
    void stop();

    // A note of the tool's own on a line of its own, also while a progress
    // bar is drawn.
    void note(const std::string& text);
    // One of the form's messages (Windows-1252), unless the session is quiet.
    void tell(const std::string& text);
    void tellAll(const Messages& messages);

    // The configuration the command works on: the start values, what was
    // opened into it, or what a complete read-out got.
    PagerConfiguration& configuration() { return pagerSession.configuration(); }

    PagerSession pagerSession;
    // The lines this session opens, for another session on the same ports.
    SerialBackend& lineBackend;
    // While set, the form's messages are not printed.
    bool quiet = false;
    // Called while the pager is busy with an exchange, e.g. to say at once
    // what a Ctrl-C will do.
    std::function<void(Session&)> whileBusy;
    // Each step of a read-out or write: how many of how many are done.
    std::function<void(int done, int steps)> progressSeen;
    // The backup of the last read-out, empty if none was kept.
    std::string lastBackupPath;

private:
    CliEnvironment& env_;
    ProgressBar progress_;
    PagerSession* outerSession_ = nullptr;
    bool followsStopFlag_ = false;
    int progressLow_ = 0;
    int progressHigh_ = FullProgressMax;
    std::string shownStatus_;
};

std::ostream& complain(CliEnvironment& env);
std::filesystem::path nativePath(const std::string& utf8);
// Searches the pager for a command: Success when it was found; after a stop
// the note "interrupted; <leftUndone>" (none when that is empty: the caller
// says it) and exitcode::Interrupted; when none
// answered, the form's own line unless the search told why, and
// exitcode::NoPager.
int findPager(CliEnvironment& env, Session& session, const std::string& leftUndone);
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
int failed(CliEnvironment& env, const std::string& what);

}  // namespace harvelin::cli
