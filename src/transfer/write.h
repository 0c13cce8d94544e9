#pragma once

#include <string>
#include <vector>

#include "files/pager_data_file.h"
#include "link/operation_sink.h"
#include "link/serial_link.h"
#include "model/configuration_rule.h"
#include "model/pager_image.h"
#include "platform/clock.h"
#include "transfer/transfer_steps.h"

namespace harvelin {

// What a write ("PC -> Pager") achieved.
struct WriteResult {
    // Every step of the pager's layout was taken over, and no reply came late.
    bool succeeded = false;
    // "Abbrechen": the steps before the cancel are taken over, the rest not.
    bool cancelled = false;
    // The pager's caller slots (16 or 32); 0: it named no version and was
    // written as a small one.
    unsigned callerSlots = 0;
    std::string versionText;  // as the pager writes it ("2.10"); empty when it named none
    // The first slot command went out: a write stopped before it left the
    // pager as it was.
    bool slotCommandsSent = false;
    // A small pager: slots 17..32 or the kitchen calls held more than the
    // form starts with, and did not reach it.
    bool leftSlotsOut = false;
    // The pager went silent for good; the link has let its port go.
    bool pagerGone = false;
    // A reply came late, so an acknowledgement may have been another step's.
    bool lateReplySeen = false;
    // What the pager holds after a write that did not end well, in the
    // order of the steps: the new configuration up to `newUpTo` (none: not
    // even the first step), and from `oldFrom` on partly or wholly the old
    // one (none: every step was taken over).
    std::optional<TransferStep> newUpTo;
    std::optional<TransferStep> oldFrom;
    // The steps the pager did not take over, in the order sent, and its last
    // answer to the first of them that was no acknowledgement.
    std::vector<TransferStep> notTakenOver;
    std::string unexpectedReply;
    // The configuration breaks the rule of what the pager may hold; not a
    // byte was sent.
    std::optional<ConfigurationProblem> refused;
};

// Writes `config` into the pager over a link that holds it: the caller
// slots its version has, the kitchen calls and the settings, each until the
// pager takes it over. `startImage` is what the form starts with, to tell
// whether a small pager left anything out. The progress bar counts the
// steps. Stops early when the pager goes silent for good or the link is
// cancelled. A configuration that breaks the rule of what the pager may
// hold is refused before anything is sent.
WriteResult writeConfiguration(SerialLink& link, Clock& clock, OperationSink& sink, const PagerConfiguration& config,
                               const PagerImage& startImage);

}  // namespace harvelin
