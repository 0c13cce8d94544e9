#include "session/pager_session.h"

#include <algorithm>

#include "device/bootloader.h"
#include "device/option_switch.h"
#include "link/port_problem.h"
#include "model/conversions.h"
#include "transfer/messages.h"

namespace harvelin {

FileOutcome openConfigurationFile(const std::string& path, PagerConfiguration& config)
{
    FileOutcome outcome;
    PagerConfiguration opened = config;
    std::string error;
    outcome.done = PagerDataFile::load(path, opened, error, &outcome.report);
    if (!outcome.done) {
        outcome.messages.push_back(outcome.report.notConfiguration ? notPagerDataMessage(path)
                                                                   : fileNotOpenedMessage(path, error));
        return outcome;
    }
    config = opened;
    if (outcome.report.replacedCharacters)
        outcome.messages.push_back(replacedCharactersMessage(path));
    return outcome;
}

FileOutcome saveConfigurationFile(const std::string& path, const PagerConfiguration& config)
{
    FileOutcome outcome;
    std::string error;
    outcome.done = PagerDataFile::save(path, config, error);
    if (!outcome.done)
        outcome.messages.push_back(fileNotSavedMessage(path, error));
    return outcome;
}

PagerSession::PagerSession(SerialBackend& backend, PortTable ports, Clock& clock)
    : clock_(clock), link_(backend, std::move(ports), clock), learnWindow_(clock)
{
}

// Learn mode on the pager never outlives the session.
PagerSession::~PagerSession()
{
    SessionEvents unheard;
    end(unheard);
}

void PagerSession::leaveLearnMode(SessionEvents& events)
{
    // The note of a window that ran out stays until the next action.
    statusLine_.clear();
    if (!learnWindow_.open())
        return;
    // A stop asked for the action must not keep the pager listening.
    const bool stopRequested = link_.cancelled();
    link_.clearCancel();
    const LearnModeExit exit = learnWindow_.leave(link_);
    if (stopRequested)
        link_.cancel();
    events.learnEnded(learnStored_, exit);
}

Messages PagerSession::refusalWithoutPager() const
{
    if (active_)
        return {};
    return {std::string(localized(TransferText::NoConnection))};
}

// Without a pager found nothing is asked or sent, and the user is told so
// unless the action passes without a word.
template <class Outcome>
bool PagerSession::refusedWithoutPager(Outcome& outcome, Say say) const
{
    Messages why = refusalWithoutPager();
    outcome.noPager = !why.empty();
    if (say == Say::Why)
        outcome.messages = std::move(why);
    return outcome.noPager;
}

void PagerSession::noteVersion(const std::string& text, unsigned callerSlots)
{
    if (callerSlots == 0)
        return;
    pager_.versionText = text;
    pager_.callerSlots = callerSlots;
}

bool PagerSession::takePort(unsigned portNumber)
{
    link_.close();
    link_.setPortNumber(portNumber);
    const bool opened = link_.open();
    link_.setState(opened ? LinkState::Open : LinkState::Closed);
    active_ = opened;
    pager_ = {};
    if (opened) {
        pager_.portNumber = portNumber;
        pager_.port = *link_.ports().entry(portNumber);
    }
    return opened;
}

SearchOutcome PagerSession::search(SessionEvents& events)
{
    leaveLearnMode(events);
    active_ = false;
    pager_ = {};
    SearchOutcome outcome;
    outcome.result = searchPager(link_, clock_, events, [&] {
        active_ = true;
        pager_.portNumber = link_.portNumber();
        pager_.port = *link_.ports().entry(pager_.portNumber);
        events.pagerFound(pager_);
        const RepeaterStatus status = harvelin::readRepeaterStatus(link_, clock_);
        pager_.repeaterReported = status.reported;
        events.repeaterStatus(status);
    });
    outcome.stopped = link_.cancelled();
    // A stopped search holds no port, also when it had found one.
    if (!outcome.result.found) {
        active_ = false;
        pager_ = {};
        outcome.nothingFound = nothingFoundLine();
        if (const std::string why = messageFor(outcome.result); !outcome.stopped && !why.empty())
            outcome.messages.push_back(why);
    }
    return outcome;
}

ReadOutOutcome PagerSession::readOut(SessionEvents& events, Backup backup)
{
    return readOutFrom(events, configuration_, backup);
}

ReadOutOutcome PagerSession::readOutFrom(SessionEvents& events, PagerConfiguration start, Backup backup)
{
    ReadOutOutcome outcome;
    if (refusedWithoutPager(outcome))
        return outcome;
    leaveLearnMode(events);
    outcome.result = harvelin::readOut(link_, clock_, events, start, reading_);
    outcome.stopped = link_.cancelled();
    const ReadOutResult& result = outcome.result;
    noteVersion(result.versionText, result.callerSlots);
    if (result.pagerGone)
        active_ = false;
    if (result.complete()) {
        configuration_ = kept_ = result.read;
        outcome.replaced = true;
        statusLine_ = readOutStatus(result.callerSlots);
    }
    if (backup == Backup::Keep)
        keepBackup(result, outcome);
    if (!result.complete())
        (result.end == ReadOutEnd::Cancelled ? outcome.formStopMessages : outcome.messages)
            .push_back(messageFor(result, outcome.backupPath));
    return outcome;
}

// A folder that cannot be written is named once; after that the read-outs
// go on without a word.
void PagerSession::keepBackup(const ReadOutResult& result, ReadOutOutcome& outcome)
{
    std::string error;
    if (keepReadOutBackup(backupFolder_, result, outcome.backupPath, error) || backupFailureTold_)
        return;
    backupFailureTold_ = true;
    outcome.messages.push_back(backupFailedMessage(error));
}

NameReadOutcome PagerSession::readName(SessionEvents& events)
{
    NameReadOutcome outcome;
    if (refusedWithoutPager(outcome))
        return outcome;
    leaveLearnMode(events);
    const ReadOutResult result =
        harvelin::readOut(link_, clock_, events, configuration_, reading_, ReadOutScope::PagerNameOnly);
    outcome.stopped = link_.cancelled();
    noteVersion(result.versionText, result.callerSlots);
    if (result.pagerGone)
        active_ = false;
    if (result.complete())
        outcome.name = result.read.pagerName;
    return outcome;
}

WriteOutcome PagerSession::write(SessionEvents& events, Check check)
{
    WriteOutcome outcome;
    if (refusedWithoutPager(outcome))
        return outcome;
    leaveLearnMode(events);
    const PagerConfiguration& config = configuration_;
    outcome.result = writeConfiguration(link_, clock_, events, config, startConfiguration().image);
    const WriteResult& result = outcome.result;
    outcome.stopped = link_.cancelled();
    noteVersion(result.versionText, result.callerSlots);
    if (result.pagerGone)
        active_ = false;
    // A stopped write is not read back. A 16-slot pager that left lines out
    // is, in what it took: that may differ too.
    if (check == Check::ReadBack && result.succeeded && !outcome.stopped) {
        outcome.readBack = compare(events, config);
        outcome.stopped = outcome.readBack->readOut.stopped;
    }
    if (!result.cancelled && !result.refused)
        clock_.sleepMs(WriteResultWaitMs);
    if (!outcome.readBack || outcome.verified())
        outcome.messages.push_back(messageFor(result));
    else if (!outcome.readBack->readOut.replaced)
        outcome.messages.emplace_back(std::string(localized(TransferText::WriteNotVerified)));
    outcome.slotsLeftOut = result.leftSlotsOut;
    if (result.leftSlotsOut) {
        outcome.messages.push_back(std::string(localized(TransferText::SmallPager)));
        outcome.pagerLacks = FileCoverage::heldByPager(result.callerSlots).neutralMissing();
    }
    // What the pager was found not to hold is not kept as written.
    if (result.succeeded && !result.leftSlotsOut && (!outcome.readBack || outcome.verified()))
        kept_ = config;
    return outcome;
}

PagerComparison PagerSession::compare(SessionEvents& events, PagerConfiguration expected,
                                      const FileCoverage& expectedHas, Backup backup)
{
    PagerComparison comparison;
    const PagerConfiguration held = configuration_;
    const PagerConfiguration kept = kept_;
    const std::string status = statusLine_;
    comparison.readOut = readOutFrom(events, expected, backup);
    configuration_ = held;
    kept_ = kept;
    statusLine_ = status;
    if (!comparison.readOut.result.complete())
        return comparison;
    const FileCoverage pagerHas = FileCoverage::heldByPager(comparison.readOut.result.callerSlots);
    comparison.pagerLacks = pagerHas.neutralMissing();
    comparison.differences =
        compareConfigurations(expected, comparison.readOut.result.read, expectedHas.within(pagerHas));
    return comparison;
}

LearnBegin PagerSession::startLearn(SessionEvents& events, int slot)
{
    leaveLearnMode(events);
    learnStored_ = false;
    LearnBegin begin{learnWindow_.start(link_, slot), {}};
    statusLine_ = begin.start == LearnStart::TakenUp ? learnWindow_.statusText() : std::string();
    // A refusal passes without a word: the status line stays empty.
    if (begin.start == LearnStart::NotSent)
        begin.messages.push_back(std::string(localized(TransferText::NoConnection)));
    return begin;
}

bool storeLearnedIdentity(const LearnTick& tick, PagerImage& image)
{
    if (tick.storeSlot == 0 || !tick.reported)
        return false;
    CallerEntry& slot = image.callers[static_cast<std::size_t>(tick.storeSlot - 1)];
    slot.buttonId = tick.reported->buttonId;
    slot.idSuffix = tick.reported->suffix;
    return true;
}

LearnStep PagerSession::learnTick(SessionEvents& events, LearnWindow::LowerSlots lowerSlots)
{
    LearnStep step{learnWindow_.tickUpToDuplicate(link_, lowerSlots), {}};
    const LearnTick& tick = step.tick;
    if (tick.overlongLineDropped)
        events.learnLineDropped();
    if (tick.status)
        statusLine_ = *tick.status;
    if (tick.storeSlot != 0 && tick.reported) {
        learnStored_ = true;
        CallerEntry learned;
        learned.buttonId = tick.reported->buttonId;
        learned.idSuffix = tick.reported->suffix;
        learnedNote_ = learnedStatus(tick.storeSlot, idColumnText(learned.buttonIdValue(), learned.idSuffix));
    }
    if (tick.ended)
        statusLine_ = tick.ranOut ? LearnWindow::ranOutText() : learnStored_ ? learnedNote_ : std::string();
    step.statusLine = statusLine_;
    if (tick.ended)
        events.learnEnded(learnStored_, tick.modeExit);
    return step;
}

LearnStep PagerSession::learnDuplicateShown(SessionEvents& events)
{
    LearnStep step{learnWindow_.duplicateClosed(link_), {}};
    statusLine_.clear();
    events.learnEnded(false, step.tick.modeExit);
    return step;
}

LearnEnd PagerSession::runLearnWindow(SessionEvents& events, PagerConfiguration& config)
{
    // The window lasts 8 seconds; this only guards against one that never ends.
    constexpr int MaxTicks = 600;
    LearnEnd end;
    std::int64_t lastTickAt = clock_.nowMs();
    std::string told;
    for (int n = 0; learnWindow_.open() && !stopped(); ++n) {
        if (n == MaxTicks)
            return end;
        // A tick falls due 100 ms after the previous one began, or at once
        // when that one ran longer.
        const std::int64_t due = lastTickAt + LearnWindow::TickPeriodMs;
        if (const std::int64_t now = clock_.nowMs(); due > now)
            clock_.sleepMs(static_cast<unsigned>(due - now));
        lastTickAt = clock_.nowMs();
        LearnStep step =
            learnTick(events, LearnWindow::LowerSlots(config.image.callers.data(), LearnWindow::DuplicateSlots));
        if (step.tick.duplicateOf != 0) {
            events.learnStatus(statusLine_);
            events.notice(duplicateMessage(step.tick.duplicateOf));
            step.tick.modeExit = learnDuplicateShown(events).tick.modeExit;
        }
        end.stored = storeLearnedIdentity(step.tick, config.image) || end.stored;
        if (step.tick.modeExit != LearnModeExit::NotSent)
            end.exit = step.tick.modeExit;
        if (statusLine_ != told)
            events.learnStatus(told = statusLine_);
    }
    end.ended = !learnWindow_.open();
    return end;
}

// After an action the pager did not confirm: why, unless a stop cut it short.
Confirmation PagerSession::confirmation(bool confirmed, std::string refused) const
{
    Confirmation outcome{false, confirmed, link_.cancelled(), {}};
    if (!confirmed && !outcome.stopped && !refused.empty())
        outcome.messages.push_back(std::move(refused));
    return outcome;
}

Confirmation PagerSession::switchOption(SessionEvents& events, OptionSwitchTexts texts, bool on,
                                        const std::string& pagerName)
{
    if (Confirmation refused; refusedWithoutPager(refused, Say::Nothing))
        return refused;
    leaveLearnMode(events);
    const SwitchResult sent = sendOptionSwitch(link_, std::string(on ? texts.on : texts.off) + pagerName);
    const bool confirmed = sent.confirmed();
    // A confirmed switch is on the pager: nothing to lose.
    if (confirmed) {
        bool& kept = texts.on == BatterySwitch.on ? kept_.battery
                     : texts.on == BuzzerSwitch.on ? kept_.buzzer
                                                   : kept_.remoteDelete;
        kept = on;
    }
    return confirmation(confirmed, sent.answer == SwitchAnswer::WrongPager ? wrongPagerMessage(pagerName)
                                                                           : switchRefusedMessage(sent.reply));
}

RepeaterStatus PagerSession::readRepeaterStatus(SessionEvents& events)
{
    leaveLearnMode(events);
    return harvelin::readRepeaterStatus(link_, clock_);
}

Confirmation PagerSession::setRepeaterClock(SessionEvents& events)
{
    leaveLearnMode(events);
    const ClockSetResult result =
        harvelin::setRepeaterClock(link_, clock_, [&events](const std::string& time) { events.clockTimeSent(time); });
    return confirmation(result.confirmed, clockRefusedMessage());
}

// The form says nothing when the pager does not confirm the boot loader.
Confirmation PagerSession::startBootloader(SessionEvents& events)
{
    if (Confirmation refused; refusedWithoutPager(refused, Say::Nothing))
        return refused;
    leaveLearnMode(events);
    return confirmation(harvelin::startBootloader(link_), {});
}

LinkWatchResult PagerSession::watch(bool deviceBusy)
{
    LinkWatchResult result = linkWatch(link_, deviceBusy);
    if (result.active)
        active_ = *result.active;
    return result;
}

TimerTick PagerSession::timerTick(SessionEvents& events, LearnWindow::LowerSlots lowerSlots, bool deviceBusy)
{
    TimerTick tick;
    tick.learning = learnWindow_.open();
    if (tick.learning)
        tick.learn = learnTick(events, lowerSlots);
    else
        tick.watch = watch(deviceBusy);
    return tick;
}

void PagerSession::end(SessionEvents& events)
{
    link_.clearCancel();
    leaveLearnMode(events);
    active_ = false;
    link_.close();
}

}  // namespace harvelin
