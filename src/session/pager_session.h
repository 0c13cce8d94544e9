#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "device/learn_window.h"
#include "device/link_watch.h"
#include "device/repeater_clock.h"
#include "files/configuration_diff.h"
#include "files/pager_data_file.h"
#include "link/device_search.h"
#include "link/serial_link.h"
#include "model/configuration.h"
#include "model/option_switches.h"
#include "platform/clock.h"
#include "transfer/read_out.h"
#include "transfer/write.h"
#include "session/outcomes.h"

namespace harvelin {

// The pager the last search found, and what it said of itself when a
// read-out or a write last asked its version.
struct FoundPager {
    unsigned portNumber = 0;  // 0: none found
    PortEntry port;
    // The repeater reported its clock right after the pager was found.
    bool repeaterReported = false;
    std::string versionText;  // "2.10"; empty until asked
    unsigned callerSlots = 0; // 16 or 32; 0 until asked
};

// What the session tells the front end that runs it, while it works. Every
// call comes on the thread that runs the session's actions.
class SessionEvents : public OperationSink {
public:
    // The search found the pager and holds its port ("Aktiv"); it goes on to
    // ask the repeater for its status.
    virtual void pagerFound(const FoundPager& /*pager*/) {}
    virtual void repeaterStatus(const RepeaterStatus& /*status*/) {}
    // The repeater's clock is being set to this time ("12.30;45").
    virtual void clockTimeSent(const std::string& /*time*/) {}
    // The learn window's status line changed: the countdown, or that it ran
    // out (Windows-1252). Only runLearnWindow() tells it; a front end that
    // ticks the window itself reads it from the tick.
    virtual void learnStatus(const std::string& /*text*/) {}
    // Learn mode ended: whether the window stored an identity, and how the
    // pager took the end.
    virtual void learnEnded(bool /*stored*/, LearnModeExit /*exit*/) {}
    // The pager sent a line longer than the learn window's line buffer; it
    // was given up, and the window listens on.
    virtual void learnLineDropped() {}
};

// Opens a .pag file (UTF-8 path) onto `config` as "Datei öffnen" does: what
// the file does not mention keeps its value, and a file that is refused
// changes nothing.
FileOutcome openConfigurationFile(const std::string& path, PagerConfiguration& config);
// Saves `config` as "Speichern unter" does.
FileOutcome saveConfigurationFile(const std::string& path, const PagerConfiguration& config);

// Puts the identity a learn tick heard into the caller slot it belongs to:
// the one whose "Lernen" was pressed. False when the tick stored nothing.
bool storeLearnedIdentity(const LearnTick& tick, PagerImage& image);

// The link to one pager and everything a front end needs to work with it,
// without any toolkit: the pager found, the configuration last kept, the
// backups of read-outs, the stop request and learn mode. Its actions run on
// one thread at a time (the form's device thread, the command line's main
// thread); requestStop() may come from anywhere, a signal handler included.
// Each action that talks to the pager first leaves learn mode, so the
// pager never answers a read or a write while it listens for a call button.
class PagerSession {
public:
    PagerSession(SerialBackend& backend, PortTable ports, Clock& clock);
    ~PagerSession();
    PagerSession(const PagerSession&) = delete;
    PagerSession& operator=(const PagerSession&) = delete;

    // --- the actions ------------------------------------------------------
    // "Suche Zelvatron": the pager found is asked for the repeater's status
    // at once. Whatever the link held is given up first.
    SearchOutcome search(SessionEvents& events);
    // "Pager -> PC", starting from `configuration()`, whose place a
    // complete read-out takes. A complete read-out is also kept as the
    // configuration last kept and, with `backup`, in the backup folder; an
    // incomplete one keeps the lines the pager answered there.
    enum class Backup : std::uint8_t { Keep, None };
    ReadOutOutcome readOut(SessionEvents& events, Backup backup = Backup::Keep);
    // The pager's name alone, asked as a read-out asks for it (its version
    // first); nothing else is read, kept or changed.
    NameReadOutcome readName(SessionEvents& events);
    // "PC -> Pager" of `configuration()`; the result is told a second after
    // the last step, so a full progress bar can be seen. A complete write is
    // kept. With Check::ReadBack, a write the pager acknowledged is read back
    // and compared (outcome.readBack) before its result is told.
    enum class Check : std::uint8_t { None, ReadBack };
    WriteOutcome write(SessionEvents& events, Check check = Check::None);
    // Reads the pager and compares it with `expected`, of which only the
    // lines in `expectedHas` count. What the session holds (its
    // configuration, what is kept, the status line) stays as it was. A
    // read-back right after a write is no backup worth keeping, so none is
    // kept unless asked for.
    PagerComparison compare(SessionEvents& events, PagerConfiguration expected,
                            const FileCoverage& expectedHas = FileCoverage::everything(),
                            Backup backup = Backup::None);
    // "Lernen" for caller slot `slot` (1..32). The identity heard goes into
    // that slot, whatever page the form shows when it comes.
    LearnBegin startLearn(SessionEvents& events, int slot);
    // One tick of the open learn window, with the caller slots 1..16 as the
    // form holds them now. A duplicate leaves the window open until
    // learnDuplicateShown(); further ticks go on meanwhile.
    // The end of the window is told to `events` (learnEnded).
    LearnStep learnTick(SessionEvents& events, LearnWindow::LowerSlots lowerSlots);
    LearnStep learnDuplicateShown(SessionEvents& events);
    // For a front end without a timer: ticks the window every 100 ms of the
    // clock until it ends or a stop is requested, telling the status on the
    // way; a duplicate is told as a notice. The slot's identity, if one was
    // heard, goes into `config`.
    LearnEnd runLearnWindow(SessionEvents& events, PagerConfiguration& config);
    // Switches an option at once, the command followed by the pager's name
    // (Windows-1252); what the pager confirmed is kept.
    // Without a pager found nothing is sent: the new state waits for the
    // next write.
    Confirmation switchOption(SessionEvents& events, OptionSwitchTexts texts, bool on, const std::string& pagerName);
    RepeaterStatus readRepeaterStatus(SessionEvents& events);
    Confirmation setRepeaterClock(SessionEvents& events);
    Confirmation startBootloader(SessionEvents& events);
    // Outside learn mode, once per tick of the form's timer: keeps the line
    // alive and notices a pager that went and came back.
    LinkWatchResult watch(bool deviceBusy);
    // A tick of the form's timer: the learn window's while it is open (with
    // the caller slots 1..16 as the form holds them), else the link watch's.
    TimerTick timerTick(SessionEvents& events, LearnWindow::LowerSlots lowerSlots, bool deviceBusy);
    // Leaves learn mode, also on the pager, and lets the port go: the end of
    // every front end, however it ends.
    void end(SessionEvents& events);

    // --- state ---------------------------------------------------------------
    // "Aktiv": a pager was found and has not gone silent since.
    bool active() const { return active_; }
    const FoundPager& pager() const { return pager_; }
    LinkState linkState() const { return link_.state(); }
    unsigned portNumber() const { return link_.portNumber(); }
    const PortTable& ports() const { return link_.ports(); }
    const LearnWindow& learnWindow() const { return learnWindow_; }
    bool learning() const { return learnWindow_.open(); }
    // The status line (Windows-1252) as the last action left it, until the
    // next one: the learn window's countdown, that it ran out or what it
    // learned ("Tischsender 15: Rufknopf 968 0 gelernt"), or what a complete
    // read-out got ("Pager gelesen: 32 Tischsender, 16 Küchenrufe").
    const std::string& statusLine() const { return statusLine_; }

    // The configuration being worked on: what a write sends, and what a
    // complete read-out replaces.
    PagerConfiguration& configuration() { return configuration_; }
    const PagerConfiguration& configuration() const { return configuration_; }
    // Why no action on the pager can be taken now (no pager found), in the
    // words the user is told; empty while a pager is active. The one place
    // that decides it: the actions refuse with it, and a front end asks it
    // before it asks the user anything about an action.
    Messages refusalWithoutPager() const;

    // The configuration last saved, read completely or written completely:
    // what the user cannot lose.
    const PagerConfiguration& kept() const { return kept_; }
    void keep(const PagerConfiguration& config) { kept_ = config; }

    // Where complete read-outs are kept (UTF-8); empty: nowhere.
    void setBackupFolder(std::string folder) { backupFolder_ = std::move(folder); }
    // How every read-out of this session asks each step: once, or on a
    // noisy line until two answers agree.
    void setReading(Reading reading) { reading_ = reading; }
    Reading reading() const { return reading_; }
    const std::string& backupFolder() const { return backupFolder_; }
    // Whether the backup folder's failure was told already (a series passes
    // it on from pager to pager).
    bool backupFailureTold() const { return backupFailureTold_; }
    void setBackupFailureTold(bool told) { backupFailureTold_ = told; }

    // --- stop ----------------------------------------------------------------
    // "Abbrechen", Ctrl-C, SIGTERM: the running action stops before its next
    // command to the pager. Safe from a signal handler.
    void requestStop() { link_.cancel(); }
    bool stopped() const { return link_.cancelled(); }
    // Before the next action of a front end that goes on after a stop.
    void clearStop() { link_.clearCancel(); }

    // Holds port `portNumber` of the table open as the pager's, as a search
    // that found it there leaves it, without asking anything; false when it
    // does not open. For a front end that knows where the pager is.
    bool takePort(unsigned portNumber);
    // The link itself, for what measures or exercises it (the benchmarks,
    // the fuzz targets, the command line's frame trace). The actions above
    // are what a front end uses.
    SerialLink& link() { return link_; }
    // Called while an exchange waits for the pager (the form repaints).
    void setRepaintHook(std::function<void()> hook) { link_.setRepaintHook(std::move(hook)); }

private:
    // Before any other action on the pager.
    void leaveLearnMode(SessionEvents& events);
    // A read-out whose lines not read keep their values in `start`.
    ReadOutOutcome readOutFrom(SessionEvents& events, PagerConfiguration start, Backup backup);
    enum class Say : std::uint8_t { Why, Nothing };
    template <class Outcome>
    bool refusedWithoutPager(Outcome& outcome, Say say = Say::Why) const;
    void noteVersion(const std::string& text, unsigned callerSlots);
    Confirmation confirmation(bool confirmed, std::string refused) const;
    void keepBackup(const ReadOutResult& result, ReadOutOutcome& outcome);

    Clock& clock_;
    SerialLink link_;
    FoundPager pager_;
    bool active_ = false;
    LearnWindow learnWindow_;
    bool learnStored_ = false;
    std::string learnedNote_;
    std::string statusLine_;
    PagerConfiguration configuration_ = startConfiguration();
    PagerConfiguration kept_ = startConfiguration();
    std::string backupFolder_;
    Reading reading_ = Reading::Once;
    bool backupFailureTold_ = false;
};

}  // namespace harvelin
