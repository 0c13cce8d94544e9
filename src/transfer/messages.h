#pragma once

// The messages after what an operation returned, in the language chosen
// (model/catalogue.h). The form shows them in message boxes; the command
// line prints them as they are. All texts are Windows-1252 bytes. The
// messages that stand alone are asked for by their identifier,
// localized(TransferText::NoConnection); transfer/texts.def says when each
// is shown.

#include <string>
#include <string_view>

#include "link/device_search.h"
#include "transfer/read_out.h"
#include "transfer/texts.h"
#include "transfer/write.h"

namespace harvelin {

// The write's result stays on the progress bar this long before it is told.
constexpr unsigned WriteResultWaitMs = 1000;

// After a search that found no pager: why, when ports failed for a reason
// the system told or there is no serial port at all. Empty after a pager was
// found, a cancelled search, or when there is nothing to explain.
std::string messageFor(const SearchResult& result);

// After a read-out that ended other than complete. `partialBackup` is where
// what an incomplete one got is kept (UTF-8); empty: nowhere. Empty for a
// complete read-out.
std::string messageFor(const ReadOutResult& result, const std::string& partialBackup = {});

// After a write: how it went ("Daten erfolgreich übertragen", "Fehlerhafte
// Übertragung!", or that it was cancelled), and after one that failed or
// stopped once the first slot command had gone out, what the pager holds now
// and that "PC -> Pager" again completes it. A small pager that left slots
// out adds TransferText::SmallPager as a message of its own.
std::string messageFor(const WriteResult& result);

// The backup folder could not take a read-out; `reason` as the file code
// gives it.
std::string backupFailedMessage(const std::string& reason);

// A file (UTF-8 path) that could not be opened or saved, for a reason as
// the file code gives it; one that holds no configuration at all; one
// whose characters the pager cannot show.
std::string fileNotOpenedMessage(const std::string& path, const std::string& reason);
std::string fileNotSavedMessage(const std::string& path, const std::string& reason);
std::string notPagerDataMessage(const std::string& path);
std::string replacedCharactersMessage(const std::string& path);
// A file opened onto the form that lacks lines of a complete one.
std::string incompleteFileMessage(const std::string& path, const FileCoverage& coverage);

// The status line after a complete read-out of a pager with this many
// caller slots, and after the learn window stored `id` (as the form shows it)
// in caller slot `slot`.
std::string readOutStatus(unsigned callerSlots);
std::string learnedStatus(int slot, const std::string& id);
// The learn window heard a call button that slot `slot` holds already.
std::string duplicateMessage(int slot);
// "Tischsender 6", "Küchenruf 3", "Pager-Name": a step of a read-out or a
// write as the form names its fields.
std::string stepName(const TransferStep& step);

// The pager refused an option switch; `reply` is its last answer, told
// escaped when there was one. The repeater refused the new time.
std::string switchRefusedMessage(const std::string& reply = {});
// The pager is not the one the switch named: `name` is the name sent.
std::string wrongPagerMessage(const std::string& name);
// " Der Pager antwortete: "Fehler\r\n"": what the pager said instead of what
// was expected, escaped; empty when it said nothing.
std::string pagerAnsweredNote(const std::string& reply);
std::string clockRefusedMessage();

}  // namespace harvelin
