#pragma once

// What the pager session's actions come to: each outcome says what happened,
// what the session made of it, and the messages to tell, in order. The front
// ends only show them.

#include <optional>
#include <string>
#include <vector>

#include "device/learn_window.h"
#include "device/link_watch.h"
#include "files/configuration_diff.h"
#include "files/pager_data_file.h"
#include "link/device_search.h"
#include "transfer/read_out.h"
#include "transfer/write.h"

namespace harvelin {

// What every outcome tells the user, in order: the messages in the language
// chosen (Windows-1252), each a message box of its own in the form and a
// line of its own on the command line.
using Messages = std::vector<std::string>;

// What opening or saving a .pag file came to.
struct FileOutcome {
    bool done = false;
    // An open's: which lines the file held, or why it was refused.
    LoadReport report;
    // Why it was not done, or that characters the pager cannot show were
    // replaced.
    Messages messages;
};

struct SearchOutcome {
    SearchResult result;
    bool stopped = false;
    // The port line after a search that holds no port ("Kein Zelvatron
    // gefunden"), stopped ones included; empty when the pager was found.
    std::string nothingFound;
    // Why nothing was found; none when the pager was found, the search was
    // stopped, or the port line says it.
    Messages messages;
    bool found() const { return result.found; }
};

// The pager's name, read alone.
struct NameReadOutcome {
    bool noPager = false;
    bool stopped = false;
    // The name as the pager holds it (Windows-1252); none when it did not
    // answer for it, or answered late.
    std::optional<std::string> name;
    // That there is no pager.
    Messages messages;
};

struct ReadOutOutcome {
    bool noPager = false;  // no pager found: nothing was asked
    bool stopped = false;
    // The read-out was complete and took the place of the session's
    // configuration (a comparison's read-out leaves it as it was); every
    // other end leaves it as it was.
    bool replaced = false;
    ReadOutResult result;
    // That the backup folder could not take it (once a session), then why
    // the read-out did not finish or that there is no pager; none after a
    // complete one kept well.
    Messages messages;
    // After a stop, that the form is unchanged: for a front end with a form.
    // The command line's own note says what the stop left instead.
    Messages formStopMessages;
    // The backup this read-out left (UTF-8); empty when none.
    std::string backupPath;
};

// What comparing the pager with a configuration found. Only what both hold
// is compared: a 16-slot pager holds no slots 17..32, no kitchen calls and
// no remote delete, and an incomplete file only the lines it has.
struct PagerComparison {
    ReadOutOutcome readOut;
    std::vector<ConfigurationDifference> differences;
    // What the pager does not hold, in English in every language, as a log
    // keeps it ("caller slots 17-32, ...", FileCoverage::neutralMissing());
    // empty when it holds everything.
    std::string pagerLacks;
};

struct WriteOutcome {
    bool noPager = false;  // no pager found: nothing was sent
    bool stopped = false;
    WriteResult result;
    // How it went, and then TransferText::SmallPager when a 16-slot pager left
    // slots 17..32 or the kitchen calls out.
    Messages messages;
    bool slotsLeftOut = false;
    // What that pager does not hold, as the read-out's coverage says it in
    // English in every language ("caller slots 17-32, ...",
    // FileCoverage::neutralMissing()); empty when nothing was left out.
    std::string pagerLacks;
    // The read-back of a write that was to be checked and was acknowledged:
    // what the pager holds compared with what was written. Then "Daten
    // erfolgreich übertragen" is told only when they agree; otherwise the
    // differences say it, or TransferText::WriteNotVerified that the pager could
    // not be read back.
    std::optional<PagerComparison> readBack;
    bool verified() const { return readBack && readBack->readOut.replaced && readBack->differences.empty(); }
};

// How "Lernen" began: the pager in learn mode, or the message why not.
struct LearnBegin {
    LearnStart start = LearnStart::NotSent;
    Messages messages;
};

// What a short action on the pager came to: an option switch, the
// repeater's clock, the boot loader.
struct Confirmation {
    bool noPager = false;  // no pager found: nothing was sent, nothing is said
    bool confirmed = false;
    bool stopped = false;
    // Why not, where the form says it.
    Messages messages;
};

// How a learn window that ran to its end came out.
struct LearnEnd {
    bool ended = false;  // false: stopped, or it never ended
    bool stored = false; // the slot got the identity heard
    // How the pager took the end of learn mode.
    LearnModeExit exit = LearnModeExit::NotSent;
};

// What one tick of the learn window came to, for the form.
struct LearnStep {
    LearnTick tick;
    // The status line now (Windows-1252): the countdown, that the window ran
    // out, or empty when learn mode is off.
    std::string statusLine;
};

// What one tick of the form's 100 ms timer did: the learn window's tick
// while it is open, else the link watch's.
struct TimerTick {
    bool learning = false;
    LearnStep learn;
    LinkWatchResult watch;
};

}  // namespace harvelin
