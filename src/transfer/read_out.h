#pragma once

#include <string>
#include <vector>

#include "files/pager_data_file.h"
#include "link/operation_sink.h"
#include "link/serial_link.h"
#include "platform/clock.h"
#include "transfer/transfer_steps.h"

namespace harvelin {

// How a read-out ("Pager -> PC") ended.
enum class ReadOutEnd {
    NotStarted,  // no link, or the user kept the form's unsaved changes
    NoVersion,   // the pager named no version, so nothing of it was read
    Cancelled,   // "Abbrechen"
    Incomplete,  // a step got no usable reply, or a late reply may have gone astray
    Complete,
};

// What a read-out got. The form takes it only when the read-out is
// complete; an incomplete one leaves the form as it was, and what the pager
// did answer can be kept as a file of the answered lines alone.
struct ReadOutResult {
    ReadOutEnd end = ReadOutEnd::NotStarted;
    // The configuration the read-out started from with every answer put in.
    PagerConfiguration read;
    // The lines of a saved configuration that the pager answered for;
    // keyedLines counts them.
    FileCoverage answered;
    // The pager's caller slots (16 or 32) and its version as it writes it
    // ("2.10"); 0 and empty when it named no version.
    unsigned callerSlots = 0;
    std::string versionText;
    // The pager went silent for good; the link has let its port go.
    bool pagerGone = false;
    // A reply came late, so an answer may have counted for the wrong step.
    bool lateReplySeen = false;
    // The steps that got no usable answer (in a careful read-out: no two
    // answers that agree), in the order asked, and the pager's last answer to
    // the first of them that could not be used.
    std::vector<TransferStep> unanswered;
    std::string unexpectedReply;

    bool complete() const { return end == ReadOutEnd::Complete; }
    // An incomplete read-out that got any line at all.
    bool gaveSomething() const { return answered.holdsConfiguration(); }
    // Whether a file keeps it: a complete read-out whole, an incomplete one
    // that got any line as the lines the pager answered alone (savedLines),
    // so that its gaps are no values a later write would send.
    bool worthKeeping() const { return complete() || (end == ReadOutEnd::Incomplete && gaveSomething()); }
    // The lines such a file holds: every line (nullptr) or the answered ones.
    const FileCoverage* savedLines() const { return complete() ? nullptr : &answered; }
};

// Reads the pager's configuration ("Pager -> PC") over a link that holds it:
// its version first, then every caller slot its version has, the kitchen
// calls and the settings. Each answer goes into what `start` holds; a step
// without a usable answer leaves that part as it was. The progress bar
// counts the steps. Stops early when the pager goes silent for good or the
// link is cancelled.
// How often each step is asked: once (until a usable answer), or on a noisy
// line carefully, until two answers agree.
enum class Reading : std::uint8_t { Once, Careful };

// What a read-out asks for: everything, or (for a series that keeps each
// pager's own name) the version and then the pager's name alone, with the
// same waits and attempts as that step of a whole read-out.
enum class ReadOutScope : std::uint8_t { Whole, PagerNameOnly };

ReadOutResult readOut(SerialLink& link, Clock& clock, OperationSink& sink, const PagerConfiguration& start,
                      Reading reading = Reading::Once, ReadOutScope scope = ReadOutScope::Whole);

// Keeps what a read-out gave in the backup folder `folder` (UTF-8): a
// complete one whole, an incomplete one with only the lines the pager
// answered, one that gave nothing not at all. `savedPath` receives the file
// kept, empty when none; false with the reason in `error`, in the language
// chosen, when the folder could not take it.
bool keepReadOutBackup(const std::string& folder, const ReadOutResult& result, std::string& savedPath,
                       std::string& error);

}  // namespace harvelin
