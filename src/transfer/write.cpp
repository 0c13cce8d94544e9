#include "transfer/write.h"

#include <algorithm>
#include <string>
#include <string_view>

#include "model/option_switches.h"
#include "transfer/version_query.h"
#include "transfer/reply_parsing.h"
#include "transfer/slot_commands.h"
#include "transfer/transfer_steps.h"

namespace harvelin {

namespace {

using namespace transfer;

// The version query is sent this often whatever the answers; the last answer
// that names a version decides.
constexpr int VersionQueries = 4;
constexpr int StepAttempts = 4;

constexpr int KitchenProgressBase = static_cast<int>(CallerSlots);
constexpr int RemoteDeleteModeProgress = 51;
constexpr int SwitchProgress = 50;
constexpr int TextProgress = FullProgressMax;
constexpr unsigned SmallPagerSettings = 4;  // battery, buzzer, name, remote-delete text
constexpr unsigned FullPagerSettings = 5;   // and the remote-delete mode

// "uebernommen": taken over. Slot writes may be acknowledged with a capital
// U; the settings count only in lower case.
constexpr std::string_view SlotAck = "Uebernommen";
constexpr std::string_view SettingAck = "uebernommen";


// Whether slots 17..32 or the kitchen calls hold anything but what the form
// starts with.
bool holdsMoreThanSmallPager(const PagerImage& image, const PagerImage& start)
{
    PagerImage upper = image;
    for (unsigned n = 0; n < SmallPagerSlots; ++n)
        upper.callers[n] = start.callers[n];
    PagerConfiguration withUpper;
    PagerConfiguration asStarted;
    withUpper.image = upper;
    asStarted.image = start;
    return !sameConfiguration(withUpper, asStarted);
}

// A slot write is acknowledged when its reply, read with any zero bytes as
// blanks, carries either spelling of the word.
bool writeSlot(SerialLink& link, const std::string& command, SilenceWatch& silence, std::string& unexpected)
{
    if (silence.pagerGone())
        return false;
    return requestUntil(
               link, command, StepAttempts,
               [](std::string& reply) {
                   std::replace(reply.begin(), reply.end(), '\0', ' ');
                   return acknowledges(replyText(reply), SlotAck) || acknowledges(replyText(reply), SettingAck);
               },
               &silence, &unexpected)
        .has_value();
}

bool writeSetting(SerialLink& link, std::string_view command, SilenceWatch& silence, std::string& unexpected)
{
    if (silence.pagerGone())
        return false;
    return requestUntil(
               link, std::string(command), StepAttempts,
               [](const std::string& reply) { return acknowledges(replyText(reply), SettingAck); }, &silence,
               &unexpected)
        .has_value();
}

}  // namespace

// The texts' commands below are those of a configuration that passed the
// rule at the start; one refused all the same would count as not taken over.
WriteResult writeConfiguration(SerialLink& link, Clock& clock, OperationSink& sink, const PagerConfiguration& config,
                               const PagerImage& startImage)
{
    WriteResult result;
    const PagerImage& image = config.image;

    // Only what the pager can show goes onto the line: a text that breaks
    // the rule is refused before the first byte, not part-way.
    if ((result.refused = checkConfiguration(config)))
        return result;

    // The pager finishes whatever it was doing.
    clock.sleepMs(StartWaitMs);
    link.clearLateReply();

    // Without a version the pager is written as a small one, and the write
    // cannot succeed.
    SilenceWatch silence;
    const auto version = askVersion(link, VersionAsking::EveryAttempt, VersionQueries, silence);
    const auto knownSlots = version ? std::optional(version->callerSlots) : std::nullopt;
    result.versionText = version ? version->text : std::string();
    const unsigned callerSlots = knownSlots.value_or(SmallPagerSlots);
    result.callerSlots = knownSlots.value_or(0);
    const bool fullPager = callerSlots == CallerSlots;
    if (knownSlots)
        sink.progressRange(0, fullPager ? FullProgressMax : SmallProgressMax);
    unsigned acknowledged = 0;
    // A step not taken over is named; the pager's answer to the first is kept.
    std::string unexpected;
    // Every step in the order of the pager's layout: sent unless the write
    // was stopped or the pager has gone silent for good, and counted.
    const auto send = [&](TransferStep step, int progress, const std::optional<std::string>& command) {
        if (link.cancelled() || silence.pagerGone()) {
            result.oldFrom = result.oldFrom.value_or(step);
            return;
        }
        sink.progress(progress);
        const bool slot = step.kind == TransferStep::Kind::CallerSlot || step.kind == TransferStep::Kind::KitchenSlot;
        result.slotCommandsSent = true;
        unexpected.clear();
        const bool taken =
            command && (slot ? writeSlot(link, *command, silence, unexpected)
                             : writeSetting(link, *command, silence, unexpected));
        if (taken) {
            ++acknowledged;
            if (!result.oldFrom)
                result.newUpTo = step;
            return;
        }
        result.oldFrom = result.oldFrom.value_or(step);
        if (!link.cancelled()) {
            if (result.notTakenOver.empty())
                result.unexpectedReply = unexpected;
            result.notTakenOver.push_back(step);
        }
    };

    using Kind = TransferStep::Kind;
    for (unsigned n = 0; n < callerSlots; ++n)
        send({Kind::CallerSlot, n + 1}, static_cast<int>(n), callerSlotCommand(n, image.callers[n]));
    if (fullPager) {
        for (unsigned k = 0; k < KitchenSlots; ++k)
            send({Kind::KitchenSlot, k + 1}, KitchenProgressBase + static_cast<int>(k),
                 kitchenSlotCommand(k, image.kitchenCalls[k]));
        send({Kind::RemoteDeleteMode, 0}, RemoteDeleteModeProgress,
             std::string(config.remoteDelete ? RemoteDeleteSwitch.on : RemoteDeleteSwitch.off));
    }
    send({Kind::BatteryDisplay, 0}, SwitchProgress, std::string(config.battery ? BatterySwitch.on : BatterySwitch.off));
    send({Kind::Buzzer, 0}, SwitchProgress, std::string(config.buzzer ? BuzzerSwitch.on : BuzzerSwitch.off));
    send({Kind::PagerName, 0}, TextProgress, pagerNameCommand(config.pagerName));
    send({Kind::RemoteDeleteText, 0}, TextProgress, remoteDeleteTextCommand(config.remoteDeleteText));
    // A cancelled write ends at once; the steps after the cancel sent nothing.
    if (link.cancelled()) {
        result.cancelled = true;
        return result;
    }

    if (silence.pagerGone()) {
        treatLinkAsLost(link);
        result.pagerGone = true;
    }

    // Every step of this pager's layout must have been taken over.
    const unsigned steps = fullPager ? callerSlots + KitchenSlots + FullPagerSettings : callerSlots + SmallPagerSettings;
    // An acknowledgement after a late reply may have been another step's.
    result.lateReplySeen = link.lateReplySeen();
    result.succeeded = knownSlots && acknowledged == steps && !result.lateReplySeen;
    // A small pager has no room for slots 17..32 and the kitchen calls; what
    // the configuration held there did not reach it.
    result.leftSlotsOut = knownSlots && !fullPager && holdsMoreThanSmallPager(image, startImage);
    return result;
}

}  // namespace harvelin
