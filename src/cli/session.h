#pragma once

// The main form without a window, for the command line's commands: every
// command presses the form's buttons on an in-memory host.

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
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "ui/memory_host.h"
#include "ui/messages.h"

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

// The main form without a window, driven the way a user drives it. What the
// form shows in message boxes goes to standard error, as UTF-8.
class Session {
public:
    Session(CliEnvironment& env, SerialBackend& backend, PortTable ports)
        : lineBackend(backend), env_(env), progress_(env.err, env.errIsTerminal),
          dialog(host, backend, std::move(ports), env.clock)
    {
        host.onMessage = [this](const std::string& text) {
            if (quiet || std::find(unprinted.begin(), unprinted.end(), text) != unprinted.end())
                return;
            progress_.end();
            env_.err << win1252ToUtf8(text) << '\n' << std::flush;
        };
        host.onProgress = [this](int low, int high, int pos) { progress_.show(low, high, pos); };
        host.onRepaint = [this] {
            if (whileBusy)
                whileBusy(*this);
        };
        // The commands start from a fresh form, or one that holds what was
        // just opened, read or written, so the form never has unsaved
        // changes to ask about. Were it ever to ask, the question shows,
        // and "Ja" goes on as the command was asked to.
        host.onQuestion = host.onMessage;
        dialog.OnInitDialog();
    }
    ~Session()
    {
        // The session that accepted stop requests before this one does again.
        SerialLink* mine = &dialog.link;
        if (stoppableLink.compare_exchange_strong(mine, outerLink_) && outerLink_ && stopRequested.load())
            outerLink_->cancel();
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

    // A stop request from now on cancels what this session's link does,
    // until the session ends.
    void acceptStopRequests()
    {
        outerLink_ = stoppableLink.exchange(&dialog.link);
        if (stopRequested.load())
            dialog.link.cancel();
    }
    bool stopped() const { return stopRequested.load(); }

    // "Suche Zelvatron"; true when a pager was found.
    bool search()
    {
        shownBeforeSearch_ = host.messages.size();
        press(ctl::SearchButton);
        return dialog.link.state == LinkState::Open && dialog.link.portNumber != 0;
    }
    // Whether the last search showed a message (the ports that failed, no
    // serial port at all).
    bool searchToldWhy() const { return host.messages.size() != shownBeforeSearch_; }

    // A note of the tool's own on a line of its own, also while a progress
    // bar is drawn.
    void note(const std::string& text)
    {
        progress_.end();
        env_.err << Program << ": " << text << '\n' << std::flush;
    }

    // The file dialog that the next button opens is answered with `path`.
    void answerFileDialog(const std::string& path) { host.fileDialogAnswers.push_back(path); }

    // The 100 ms timer while a learn window is open. A tick falls due 100 ms
    // after the previous one began, or at once when that one ran longer.
    bool runLearnWindow()
    {
        std::int64_t lastTickAt = env_.clock.nowMs();
        std::string shownStatus;
        for (int tick = 0; dialog.learnWindow.row() != 0 && !stopped(); ++tick) {
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

    // The configuration as the form holds it now, as its file would keep it.
    PagerConfiguration configuration() const { return dialog.configurationFromForm(); }

    // The lines this session opens, for another session on the same ports.
    SerialBackend& lineBackend;
    MemoryHost host;
    // While set, the form's messages are not printed (the host still keeps
    // them).
    bool quiet = false;
    // Form messages not printed. A stop request's: the command's own note
    // says what the stop left as it was (and the read-out's speaks of the
    // form's fields, which the command line has none of). And those that a
    // command tells in a line of its own.
    std::vector<std::string> unprinted{win1252(ReadCancelledMessage), win1252(WriteCancelledMessage)};
    // Called while the pager is busy with an exchange, e.g. to say at once
    // what a Ctrl-C will do.
    std::function<void(Session&)> whileBusy;

private:
    CliEnvironment& env_;
    ProgressBar progress_;
    SerialLink* outerLink_ = nullptr;
    std::size_t shownBeforeSearch_ = 0;

public:
    MainDialog dialog;
};

std::ostream& complain(CliEnvironment& env);
std::filesystem::path nativePath(const std::string& utf8);
// Whether the form would open the file; the form's own message says why not.
// `coverage` receives which lines the file held.
bool fileOpens(CliEnvironment& env, const std::string& path, FileCoverage* coverage = nullptr);
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
