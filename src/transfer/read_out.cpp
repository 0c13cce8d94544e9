#include "transfer/read_out.h"

#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "files/backups.h"

#include "transfer/version_query.h"
#include "transfer/reply_parsing.h"
#include "transfer/transfer_steps.h"

namespace harvelin {

namespace {

using namespace transfer;

// Kitchen slots are requested with a pause after each; caller slots follow
// each other at once.
constexpr unsigned KitchenSlotWaitMs = 100;

// A pager that answers the version query at all does so within a few tries;
// one that does not is not there, and the tool must not hang on it.
constexpr int VersionAttempts = 4;
constexpr int SlotAttempts = 8;
constexpr int SettingAttempts = 4;
// A careful read-out asks each step until two answers agree, at most this
// often; each time with the step's own attempts.
constexpr int CarefulReads = 4;

constexpr std::size_t CallerNumbers = 5;   // b0 b1 b2 b3 suffix
constexpr std::size_t KitchenNumbers = 2;  // station, key

constexpr std::string_view CallerSlotCommand = ">Lese:";
constexpr std::string_view KitchenSlotCommand = ">Le-Kueche:";

struct SettingRead {
    std::string_view command;
    std::string_view marker;   // the reply must contain it
    std::string_view numberAt; // the number follows the colon of this word
};
// "Fernloeschung": the pager's remote delete, a mode and a text of its own.
constexpr SettingRead RemoteDeleteModeRead{">List Modus_Fernloeschung", "Fernloeschung:", "schung:"};
constexpr SettingRead RemoteDeleteTextRead{">List Text_Fernloeschung", "Text_Fernloeschung :", {}};
constexpr SettingRead PagerNameRead{">List Adresstext", "Adresstext :", {}};
constexpr SettingRead BatteryDisplayRead{">List Debug", "Debug :", "Debug :"};
constexpr SettingRead BuzzerRead{">List E_Vibration", "E_Vibration:", "ration:"};

// Remote delete and battery display are on with bit 0; the buzzer's value
// keeps the vibration in bit 0 and the buzzer in bit 1.
constexpr std::uint8_t SwitchBit = 0x01;
constexpr std::uint8_t BuzzerBit = 0x02;

std::string slotRequest(std::string_view word, unsigned slot) { return std::string(word) + std::to_string(slot); }

// One read-out after the version is known: the progress bar, what the
// pager answered and what it failed to deliver. The answers go into the
// result, never into the form.
class ReadOut {
public:
    ReadOut(SerialLink& link, Clock& clock, OperationSink& sink, ReadOutResult& result, SilenceWatch silence,
            Reading reading)
        : link_(link), clock_(clock), sink_(sink), result_(result), read_(result.read), answered_(result.answered),
          callerSlots_(result.callerSlots), silence_(silence), reading_(reading)
    {
    }

    unsigned callerSlots() const { return callerSlots_; }
    bool fullPager() const { return callerSlots_ == CallerSlots; }
    // Every step got a reply it could use.
    bool complete() const { return result_.unanswered.empty(); }
    bool pagerGone() const { return silence_.pagerGone(); }

    void readCallerSlot(unsigned n)
    {
        if (link_.cancelled())
            return;
        advanceProgress();
        const TransferStep step{TransferStep::Kind::CallerSlot, n + 1};
        // A reply that holds a value no slot can hold is asked for again.
        const std::optional<SlotReply> parsed = agreed([&] {
            std::optional<SlotReply> got;
            requestUntil(link_, slotRequest(CallerSlotCommand, n), SlotAttempts, [&](const std::string& r) {
                got = isSlotReply(r) ? parseSlotReply(r, CallerNumbers) : std::nullopt;
                return got.has_value();
            }, &silence_, &unexpected_);
            return got;
        });
        if (!parsed)
            return missingStep(step);
        // A reply for another slot means the pager and the tool are out of
        // step; the slot is left unread rather than filled with a stranger.
        if (parsed->reportedSlot != n)
            return missingStep(step);
        CallerEntry& slot = read_.image.callers[n];
        slot.buttonId = {0, 0, 0, 0};
        slot.idSuffix = 0;
        slot.text.assign(parsed->text);
        for (std::size_t i = 0; i < parsed->numberCount; ++i) {
            if (i < slot.buttonId.size())
                slot.buttonId[i] = parsed->numbers[i];
            else
                slot.idSuffix = parsed->numbers[i];
        }
        answered_.hold(&FileCoverage::callers, n);
    }

    void readKitchenSlot(unsigned k)
    {
        if (link_.cancelled())
            return;
        advanceProgress();
        // The slot the reply names is the one filled; a name beyond the 16
        // slots fits nowhere, so that reply counts as not received.
        const std::optional<SlotReply> parsed = agreed([&] {
            std::optional<SlotReply> got;
            requestUntil(link_, slotRequest(KitchenSlotCommand, k), SlotAttempts, [&](const std::string& r) {
                got = isSlotReply(r) ? parseSlotReply(r, KitchenNumbers) : std::nullopt;
                if (got && got->reportedSlot >= KitchenSlots)
                    got.reset();
                return got.has_value();
            }, &silence_, &unexpected_);
            return got;
        });
        if (parsed) {
            KitchenCallEntry& slot = read_.image.kitchenCalls[parsed->reportedSlot];
            slot.text.assign(parsed->text);
            if (parsed->numberCount > 0)
                slot.station = parsed->numbers[0];
            if (parsed->numberCount > 1)
                slot.key = parsed->numbers[1];
            answered_.hold(&FileCoverage::kitchenCalls, parsed->reportedSlot);
        } else {
            missingStep({TransferStep::Kind::KitchenSlot, k + 1});
        }
        if (!link_.cancelled())
            clock_.sleepMs(KitchenSlotWaitMs);
    }

    void readRemoteDeleteMode()
    {
        advanceProgress();
        readSwitch(RemoteDeleteModeRead, &PagerConfiguration::remoteDelete, &FileCoverage::remoteDeleteMode,
                   SwitchBit, TransferStep::Kind::RemoteDeleteMode);
    }

    void readRemoteDeleteText()
    {
        advanceProgress();
        readText(RemoteDeleteTextRead, &PagerConfiguration::remoteDeleteText, &FileCoverage::remoteDeleteText,
                 remoteDeleteTextFromReply, TransferStep::Kind::RemoteDeleteText);
    }

    void readPagerName()
    {
        advanceProgress();
        readText(PagerNameRead, &PagerConfiguration::pagerName, &FileCoverage::pagerName, pagerNameFromReply,
                 TransferStep::Kind::PagerName);
    }

    void readBatteryDisplay()
    {
        advanceProgress();
        readSwitch(BatteryDisplayRead, &PagerConfiguration::battery, &FileCoverage::battery, SwitchBit,
                   TransferStep::Kind::BatteryDisplay);
    }

    // The last step leaves the bar where it is.
    void readBuzzer()
    {
        readSwitch(BuzzerRead, &PagerConfiguration::buzzer, &FileCoverage::buzzer, BuzzerBit,
                   TransferStep::Kind::Buzzer);
    }

private:
    void advanceProgress() { sink_.progress(progressStep_++); }
    // The step is named; the pager's answer to the first such step is kept.
    void missingStep(const TransferStep& step)
    {
        if (result_.unanswered.empty())
            result_.unexpectedReply = unexpected_;
        result_.unanswered.push_back(step);
    }

    // One answer of `ask` (a step's request with all its attempts), or in a
    // careful read-out the first answer that an earlier one agrees with.
    // Noise on the line changes an answer differently each time, so two
    // answers alike are the pager's own.
    template <class Ask>
    auto agreed(Ask ask) -> decltype(ask())
    {
        unexpected_.clear();
        if (reading_ == Reading::Once)
            return ask();
        std::vector<typename decltype(ask())::value_type> seen;
        for (int n = 0; n < CarefulReads && !link_.cancelled() && !silence_.pagerGone(); ++n) {
            auto answer = ask();
            if (!answer)
                continue;
            for (const auto& earlier : seen)
                if (earlier == *answer)
                    return answer;
            seen.push_back(*answer);
        }
        return std::nullopt;
    }

    // Asks until a reply carries the setting's marker and `parse` finds a
    // value in it that the configuration may hold.
    template <class Parse>
    auto requestSetting(const SettingRead& setting, Parse parse)
    {
        return agreed([&] {
            decltype(parse(std::string())) value;
            requestUntil(link_, std::string(setting.command), SettingAttempts, [&](const std::string& r) {
                value = replyContains(r, setting.marker) ? parse(r) : std::nullopt;
                return value.has_value();
            }, &silence_, &unexpected_);
            return value;
        });
    }

    void readSwitch(const SettingRead& setting, bool PagerConfiguration::*field, bool FileCoverage::*line,
                    std::uint8_t bit, TransferStep::Kind step)
    {
        if (link_.cancelled())
            return;
        const auto value =
            requestSetting(setting, [&](const std::string& r) { return numberAfterMarker(r, setting.numberAt); });
        if (!value)
            return missingStep({step, 0});
        read_.*field = (*value & bit) != 0;
        answered_.hold(line);
    }

    template <class Parse>
    void readText(const SettingRead& setting, std::string PagerConfiguration::*field, bool FileCoverage::*line,
                  Parse parse, TransferStep::Kind step)
    {
        if (link_.cancelled())
            return;
        const auto text = requestSetting(setting, [&](const std::string& r) { return parse(r); });
        if (!text)
            return missingStep({step, 0});
        read_.*field = *text;
        answered_.hold(line);
    }

    SerialLink& link_;
    Clock& clock_;
    OperationSink& sink_;
    ReadOutResult& result_;
    PagerConfiguration& read_;
    FileCoverage& answered_;
    const unsigned callerSlots_;
    SilenceWatch silence_;
    const Reading reading_;
    std::string unexpected_;  // the last answer of the step under way that could not be used
    int progressStep_ = 0;
};

// How the read-out ended, once its steps are done.
void finish(SerialLink& link, const ReadOut& run, ReadOutResult& result)
{
    if (link.cancelled()) {
        result.end = ReadOutEnd::Cancelled;
        return;
    }
    if (run.pagerGone()) {
        treatLinkAsLost(link);
        result.pagerGone = true;
    }
    result.lateReplySeen = link.lateReplySeen();

    // A pager that answers late may have put a reply into another step.
    const bool complete = run.complete() && !result.pagerGone && !result.lateReplySeen;
    result.end = complete ? ReadOutEnd::Complete : ReadOutEnd::Incomplete;
}

}  // namespace

ReadOutResult readOut(SerialLink& link, Clock& clock, OperationSink& sink, const PagerConfiguration& start,
                      Reading reading, ReadOutScope scope)
{
    ReadOutResult result;
    result.read = start;

    // The pager finishes whatever it was doing.
    clock.sleepMs(StartWaitMs);
    link.clearLateReply();

    // Without a version nothing of the pager's layout is known, so nothing
    //    is read.
    SilenceWatch silence;
    const auto version = askVersion(link, VersionAsking::UntilNamed, VersionAttempts, silence);
    if (link.cancelled()) {
        result.end = ReadOutEnd::Cancelled;
        return result;
    }
    if (!version) {
        result.end = ReadOutEnd::NoVersion;
        return result;
    }
    result.versionText = version->text;
    result.callerSlots = version->callerSlots;
    ReadOut run(link, clock, sink, result, silence, reading);
    sink.progressRange(0, run.fullPager() ? FullProgressMax : SmallProgressMax);

    // Every step runs unless the pager has gone silent for good.
    const auto step = [&run](void (ReadOut::*read)()) {
        if (!run.pagerGone())
            (run.*read)();
    };

    if (scope == ReadOutScope::PagerNameOnly) {
        step(&ReadOut::readPagerName);
        finish(link, run, result);
        return result;
    }

    // The caller slots its version has.
    for (unsigned n = 0; n < run.callerSlots() && !run.pagerGone(); ++n)
        run.readCallerSlot(n);

    // The kitchen calls, which only a 32-slot pager holds.
    if (run.fullPager()) {
        for (unsigned k = 0; k < KitchenSlots && !run.pagerGone(); ++k)
            run.readKitchenSlot(k);
    }

    // The settings: remote delete (32-slot pager only), name, battery display, buzzer.
    if (run.fullPager()) {
        step(&ReadOut::readRemoteDeleteMode);
        step(&ReadOut::readRemoteDeleteText);
    }
    step(&ReadOut::readPagerName);
    step(&ReadOut::readBatteryDisplay);
    step(&ReadOut::readBuzzer);
    finish(link, run, result);
    return result;
}


bool keepReadOutBackup(const std::string& folder, const ReadOutResult& result, std::string& savedPath,
                       std::string& error)
{
    savedPath.clear();
    if (folder.empty() || !result.worthKeeping())
        return true;
    return BackupFolder(folder).keep(result.read, std::time(nullptr), savedPath, error, result.savedLines());
}

}  // namespace harvelin
