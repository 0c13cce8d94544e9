#include "transfer/messages.h"

#include "link/port_problem.h"
#include "model/conversions.h"
#include "model/win1252.h"
#include "transfer/texts.h"

namespace harvelin {

namespace {

// Paths come as UTF-8; a message shows Windows-1252. A character that
// Windows-1252 cannot hold is shown as "?", so the rest of the name still
// reads as the user typed it.
std::string displayName(const std::string& path)
{
    std::string shown;
    for (std::size_t i = 0; i < path.size();) {
        const auto lead = static_cast<unsigned char>(path[i]);
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view character = std::string_view(path).substr(i, length);
        const auto byte = utf8ToWin1252(character);
        shown += byte ? *byte : std::string("?");
        i += character.size();
    }
    return shown;
}

}  // namespace

std::string stepName(const TransferStep& step)
{
    using Kind = TransferStep::Kind;
    switch (step.kind) {
    case Kind::CallerSlot: return localized(TransferText::CallerStep, {std::to_string(step.slot)});
    case Kind::KitchenSlot: return localized(TransferText::KitchenStep, {std::to_string(step.slot)});
    case Kind::RemoteDeleteMode: return std::string(localized(TransferText::RemoteDeleteModeStep));
    case Kind::RemoteDeleteText: return std::string(localized(TransferText::RemoteDeleteTextStep));
    case Kind::PagerName: return std::string(localized(TransferText::PagerNameStep));
    case Kind::BatteryDisplay: return std::string(localized(TransferText::BatteryStep));
    case Kind::Buzzer: return std::string(localized(TransferText::BuzzerStep));
    }
    return {};
}

namespace {

// " Nicht übernommen: Tischsender 6, Summer." for the steps named; a pager
// that failed many gets the first few and their number.
std::string stepsNote(TransferText note, const std::vector<TransferStep>& steps)
{
    constexpr std::size_t Named = 5;
    if (steps.empty())
        return {};
    std::string named;
    for (std::size_t i = 0; i < steps.size() && i < Named; ++i)
        named += (i == 0 ? "" : ", ") + stepName(steps[i]);
    if (steps.size() > Named)
        named = localized(TransferText::AndMoreSteps, {named, std::to_string(steps.size() - Named)});
    return localized(note, {named});
}

}  // namespace

std::string messageFor(const SearchResult& result)
{
    if (result.found || result.cancelled)
        return {};
    return result.noPorts ? noSerialPortMessage() : searchProblemsMessage(result.failed);
}

std::string messageFor(const ReadOutResult& result, const std::string& partialBackup)
{
    switch (result.end) {
    case ReadOutEnd::NotStarted:
    case ReadOutEnd::Complete: return {};
    case ReadOutEnd::Cancelled: return std::string(localized(TransferText::ReadCancelled));
    case ReadOutEnd::NoVersion: return std::string(localized(TransferText::NoConnection));
    case ReadOutEnd::Incomplete: break;
    }
    std::string message = std::string(localized(TransferText::ReadFailed)) +
                          stepsNote(TransferText::NotReadNote, result.unanswered) +
                          pagerAnsweredNote(result.unexpectedReply);
    if (!partialBackup.empty()) {
        bool replaced = false;
        message += localized(TransferText::PartialBackupNote, {utf8ToWin1252Replacing(partialBackup, replaced)});
    }
    return message;
}

namespace {

// Where a write that went part of the way stopped: the steps up to it hold
// the new configuration, the rest partly the old. Empty when every step was
// taken over.
std::string partlyWrittenNote(const WriteResult& result)
{
    if (result.newUpTo && result.oldFrom)
        return localized(TransferText::NewUpToOldFrom, {stepName(*result.newUpTo), stepName(*result.oldFrom)});
    if (result.oldFrom)
        return localized(TransferText::OldFrom, {stepName(*result.oldFrom)});
    return {};
}

std::string writeAgainNote() { return std::string(localized(TransferText::WriteAgain)); }

}  // namespace

std::string messageFor(const WriteResult& result)
{
    if (result.refused)
        return localized(TransferText::NotTransferred, {describe(*result.refused)});
    if (result.cancelled && !result.slotCommandsSent)
        return std::string(localized(TransferText::WriteCancelledUntouched));
    if (result.cancelled)
        return std::string(localized(TransferText::WriteCancelled)) + partlyWrittenNote(result) + writeAgainNote();
    if (result.succeeded)
        return std::string(localized(TransferText::WriteSucceeded));
    std::string message = std::string(localized(TransferText::WriteFailed)) +
                          stepsNote(TransferText::NotTakenOverNote, result.notTakenOver) +
                          pagerAnsweredNote(result.unexpectedReply);
    if (!result.slotCommandsSent)
        return message;
    message += result.oldFrom ? std::string(localized(TransferText::PartlyWritten)) + partlyWrittenNote(result)
                              : std::string(localized(TransferText::MaybeNotAllWritten));
    return message + writeAgainNote();
}

std::string backupFailedMessage(const std::string& reason)
{
    return localized(TransferText::BackupFailed, {reason});
}

std::string fileNotOpenedMessage(const std::string& path, const std::string& reason)
{
    return localized(TransferText::FileNotOpened, {displayName(path), reason});
}

std::string fileNotSavedMessage(const std::string& path, const std::string& reason)
{
    return localized(TransferText::FileNotSaved, {displayName(path), reason});
}

std::string notPagerDataMessage(const std::string& path)
{
    return localized(TransferText::NotPagerData, {displayName(path)});
}

std::string replacedCharactersMessage(const std::string& path)
{
    return localized(TransferText::ReplacedCharacters, {displayName(path)});
}

std::string incompleteFileMessage(const std::string& path, const FileCoverage& coverage)
{
    return localized(TransferText::IncompleteFile, {displayName(path), coverage.missing()});
}

std::string readOutStatus(unsigned callerSlots)
{
    const std::string callers = std::to_string(callerSlots);
    if (callerSlots == CallerSlots)
        return localized(TransferText::FullReadOutStatus, {callers, std::to_string(KitchenSlots)});
    return localized(TransferText::ReadOutStatus, {callers});
}

std::string learnedStatus(int slot, const std::string& id)
{
    return localized(TransferText::Learned, {std::to_string(slot), id});
}

std::string duplicateMessage(int slot)
{
    return localized(TransferText::Duplicate, {std::to_string(static_cast<unsigned>(slot))});
}

std::string pagerAnsweredNote(const std::string& reply)
{
    if (reply.empty())
        return {};
    return localized(TransferText::PagerAnswered, {escapedText(reply)});
}

std::string switchRefusedMessage(const std::string& reply)
{
    return std::string(localized(TransferText::SwitchRefused)) + pagerAnsweredNote(reply);
}

std::string wrongPagerMessage(const std::string& name) { return localized(TransferText::WrongPager, {name}); }

std::string clockRefusedMessage() { return std::string(localized(TransferText::ClockRefused)); }

}  // namespace harvelin
