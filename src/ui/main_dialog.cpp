// The form's actions on the pager: every handler that hands one of the
// session's actions to the device thread, the one way there, and what the
// session tells on the way, shown on the form's thread.
#include "ui/main_dialog.h"

#include <algorithm>
#include <string>

#include "model/conversions.h"
#include "model/option_switches.h"
#include "transfer/messages.h"
#include "ui/control_ids.h"
#include "ui/dialog_layout.h"

namespace harvelin {

// The one way from the form to the device thread: hands `work` to the
// runner and `done` the outcome on the form's thread.
template <class Work, class Done>
void MainDialog::runOnDevice(Work work, Done done)
{
    using Outcome = std::invoke_result_t<Work&, SessionEvents&>;
    auto outcome = std::make_shared<Outcome>();
    runner_.run([work = std::move(work), outcome](SessionEvents& events) mutable { *outcome = work(events); },
                [done = std::move(done), outcome]() mutable { done(*outcome); });
}

namespace {

// What an outcome has to tell: a comparison, what its read-out says.
template <class Outcome>
const Messages& messagesOf(const Outcome& outcome)
{
    return outcome.messages;
}
const Messages& messagesOf(const PagerComparison& comparison) { return comparison.readOut.messages; }

}  // namespace

template <class Work, class Done>
void MainDialog::runBusy(Work work, Done done)
{
    host_.setProgressPos(0);
    deviceBusy_ = true;
    stopUiTimer();
    runOnDevice(std::move(work), [this, done = std::move(done)](const auto& outcome) mutable {
        done(outcome);
        setActive(session_.active());
        deviceBusy_ = false;
        host_.setProgressPos(0);
        UpdateData(false);
        tell(messagesOf(outcome));
        startUiTimer();
    });
}

void MainDialog::Shown::progressRange(int low, int high) { dialog_.host_.setProgressRange(low, high); }
void MainDialog::Shown::progress(int position) { dialog_.host_.setProgressPos(position); }
void MainDialog::Shown::portLine(const std::string& line) { dialog_.host_.setPortListLine(line); }
void MainDialog::Shown::repaint() { dialog_.host_.repaintNow(); }
void MainDialog::Shown::notice(const std::string& text) { dialog_.host_.messageBox(text); }

void MainDialog::onCommand(int id)
{
    for (int r = 1; r <= Rows; ++r) {
        if (id == ctl::learnButton(r))
            return startLearn(r);
        if (id == ctl::deleteButton(r))
            return deleteRow(r);
    }
    switch (id) {
    case ctl::SearchButton: return searchPager();
    case ctl::ReadButton: return readFromPager();
    case ctl::WriteButton: return writeToPager();
    case ctl::OpenFileButton: return openFile();
    case ctl::SaveFileButton: return saveFile();
    case ctl::Battery: return sendOptionSwitch(ctl::Battery, BatterySwitch);
    case ctl::Buzzer: return sendOptionSwitch(ctl::Buzzer, BuzzerSwitch);
    case ctl::RemoteDelete: return sendOptionSwitch(ctl::RemoteDelete, RemoteDeleteSwitch);
    case ctl::PageLower: return selectPage(ViewPage::Lower);
    case ctl::PageUpper: return selectPage(ViewPage::Upper);
    case ctl::ClockButton: return setRepeaterClock();
    case ctl::BootloaderButton: return startBootloader();
    case ctl::Ok: return OnOK();
    case layout::CompareCommand: return compareWithPager();
    case layout::VerifyAfterWriteCommand: verifyAfterWrite_ = !verifyAfterWrite_; return;
    case layout::SheetCommand: return printSheet();
    default: return;
    }
}

void MainDialog::onTimer(int timerId)
{
    if (timerId == ctl::UiTimerId)
        onUiTimer();
}

void MainDialog::showClockGroup(bool visible)
{
    for (const int id : ctl::ClockControls)
        host_.setVisible(id, visible);
}

void MainDialog::showRepeaterClockFor(std::uint8_t ticks)
{
    showClockGroup(true);
    clockDisplayTicks_ = ticks;
}

// "Aktiv" is the link's to show; the user cannot click it. A tick on an
// open link says so every time; the box is set only when it changes.
void MainDialog::setActive(bool active)
{
    if (host_.isChecked(ctl::Active) != active)
        host_.setChecked(ctl::Active, active);
}

void MainDialog::tell(const Messages& messages)
{
    for (const std::string& message : messages)
        host_.messageBox(message);
}

void MainDialog::stopUiTimer() { host_.stopTimer(ctl::UiTimerId); }

void MainDialog::startUiTimer() { host_.startTimer(ctl::UiTimerId, ctl::UiTimerPeriodMs); }

// --- the actions that keep the pager busy: search, read-out, write -----------

namespace {

// How long the repeater's clock group stays up after a search that found it.
constexpr std::uint8_t FoundClockTicks = 50;

}  // namespace

// The port that answers is shown as found at once, and the repeater
// behind it asked for its time, while the search finishes.
void MainDialog::Shown::pagerFound(const FoundPager&) { dialog_.setActive(true); }

void MainDialog::Shown::repeaterStatus(const RepeaterStatus& status)
{
    if (status.systemTime)
        dialog_.fields_.systemTimeText = *status.systemTime;
    if (status.repeaterTime)
        dialog_.fields_.repeaterTimeText = *status.repeaterTime;
    dialog_.UpdateData(false);
    if (status.reported)
        dialog_.showRepeaterClockFor(FoundClockTicks);
}

void MainDialog::searchPager()
{
    // Whatever the validation says, the search goes on.
    UpdateData(true);
    // The old link is given up before the search waits and closes it.
    setActive(false);
    // The search tries the ports in turn, showing each in the port line.
    runBusy([this](SessionEvents& events) { return session_.search(events); },
            [this](const SearchOutcome& outcome) {
                // A stopped search holds no port, also when it had found one.
                if (!outcome.found()) {
                    clockDisplayTicks_ = 0;
                    showClockGroup(false);
                    host_.setPortListLine(outcome.nothingFound);
                }
                fields_.statusText = session_.statusLine();
                listener_->searchEnded(outcome.result);
            });
}

void MainDialog::readFromPager()
{
    UpdateData(true);
    if (const Messages refusal = session_.refusalWithoutPager(); !refusal.empty()) {
        tell(refusal);
        return;
    }
    // What the pager holds takes the place of what the form shows; edits
    // that would go with it are given up only when the user says so, before
    // the pager is asked anything.
    forgetLearnedMeanwhile();
    if (!mayDropUnsavedChanges(FormText::UnsavedReadQuestion))
        return;
    // No keep-alive goes out meanwhile.
    runBusy(
        [this, held = heldConfiguration()](SessionEvents& events) {
            session_.configuration() = held;
            return session_.readOut(events);
        },
        [this](const ReadOutOutcome& outcome) {
                // Every other end leaves the form as it was.
                if (outcome.replaced) {
                    applyConfiguration(outcome.result.read);
                    selectPage(viewPage_);
                    applyLearnedMeanwhile();
                }
                fields_.statusText = session_.statusLine();
                listener_->readOutEnded(outcome.result, outcome.backupPath);
                tell(outcome.formStopMessages);
            });
}

bool MainDialog::everyFieldTakenForThePager()
{
    // A field that holds what it may not is named, and nothing is sent.
    if (!takeEveryField())
        return false;
    // The image takes the form also when nothing is sent.
    formToImage();
    const Messages refusal = session_.refusalWithoutPager();
    tell(refusal);
    return refusal.empty();
}

void MainDialog::writeToPager()
{
    if (!everyFieldTakenForThePager())
        return;
    const PagerSession::Check check = verifyAfterWrite_ ? PagerSession::Check::ReadBack : PagerSession::Check::None;
    runBusy(
        [this, held = heldConfiguration(), check](SessionEvents& events) {
            session_.configuration() = held;
            return session_.write(events, check);
        },
        [this](const WriteOutcome& outcome) {
            listener_->writeEnded(outcome.result);
            if (outcome.readBack && outcome.readBack->readOut.replaced && !outcome.verified())
                showComparison(*outcome.readBack, TransferText::WrittenButDiffers, {});
        });
}

void MainDialog::compareWithPager()
{
    // The form as it shows it, every field included.
    if (!everyFieldTakenForThePager())
        return;
    runBusy([this, shown = heldConfiguration()](SessionEvents& events) { return session_.compare(events, shown); },
            [this](const PagerComparison& comparison) {
                if (comparison.readOut.replaced)
                    showComparison(comparison, TransferText::Differs, TransferText::Agree);
                tell(comparison.readOut.formStopMessages);
            });
}

void MainDialog::showComparison(const PagerComparison& comparison, TransferText heading, TransferText agreed)
{
    // A 16-slot pager was compared in what it holds.
    std::string small;
    if (!comparison.pagerLacks.empty())
        small = "\n" + std::string(localized(TransferText::SmallPagerNotCompared));
    if (comparison.differences.empty()) {
        host_.messageBox(std::string(localized(agreed)) + small);
        return;
    }
    std::vector<std::string> lines;
    for (const ConfigurationDifference& d : comparison.differences)
        lines.push_back(d.line(side::Form, side::Pager));
    host_.showLines(std::string(localized(heading)) + small, lines);
}

// The repeater's display shows the time being sent.
void MainDialog::Shown::clockTimeSent(const std::string& time)
{
    dialog_.fields_.repeaterTimeText = time;
    dialog_.UpdateData(false);
}

void MainDialog::Shown::learnEnded(bool stored, LearnModeExit exit)
{
    dialog_.fields_.statusText.clear();
    dialog_.listener_->learnEnded(stored, exit);
}

// "Lernen" in a row: the slot it shows on the page shown now is the one the
// identity goes into, whatever page is shown when it comes.
void MainDialog::startLearn(int row)
{
    UpdateData(true);
    runOnDevice([this, slot = row + pageOffset()](SessionEvents& events) { return session_.startLearn(events, slot); },
                 [this](const LearnBegin& begin) {
                     fields_.statusText = session_.statusLine();
                     tell(begin.messages);
                     UpdateData(false);
                 });
}

void MainDialog::leaveLearnModeAndClose(std::function<void()> then)
{
    runOnDevice(
        [this](SessionEvents& events) {
            session_.end(events);
            return true;
        },
        [then = std::move(then)](bool) {
            if (then)
                then();
        });
}

void MainDialog::onUiTimer()
{
    // A tick that falls due while the pager is busy is not caught up.
    if (runner_.working())
        return;

    // Nothing typed or clicked since the controls were last read: the
    // variables hold what they show. A field that holds what it may not
    // is left for the next action that needs it; a tick says nothing.
    if (host_.userChangedControls())
        UpdateData(true);

    if (titleStale_)
        refreshTitle();

    // The repeater clock group is shown for a while after a search.
    if (clockDisplayTicks_ > 0 && --clockDisplayTicks_ == 0)
        showClockGroup(false);

    // The learn window looks for duplicates in the slots as they are now.
    std::array<CallerEntry, LearnWindow::DuplicateSlots> lower;
    std::copy_n(image_.callers.begin(), lower.size(), lower.begin());
    runOnDevice([this, lower, busy = deviceBusy_](
                     SessionEvents& events) { return session_.timerTick(events, LearnWindow::LowerSlots(lower), busy); },
                 [this](const TimerTick& tick) { showTick(tick); });
}

void MainDialog::showTick(const TimerTick& tick)
{
    if (tick.learning) {
        showLearnStep(tick.learn);
    } else {
        if (tick.watch.active)
            setActive(*tick.watch.active);
        if (tick.watch.lost) {
            clockDisplayTicks_ = 0;
            showClockGroup(false);
        }
        // The status line belongs to learn mode, and tells when its window
        // ran out.
        fields_.statusText = session_.statusLine();
    }
    UpdateData(false);
}

void MainDialog::showLearnStep(const LearnStep& step)
{
    const LearnTick& tick = step.tick;

    // The status this tick set is shown before the duplicate message; ticks
    // that run while the message is open set theirs later. Learn mode ends
    // on the pager once the message is closed.
    if (tick.duplicateOf != 0) {
        UpdateData(false);
        host_.messageBox(duplicateMessage(tick.duplicateOf));
        runOnDevice([this](SessionEvents& events) { return session_.learnDuplicateShown(events); },
                     [this](const LearnStep& end) {
                         fields_.statusText = end.statusLine;
                         UpdateData(false);
                     });
        return;
    }

    // Into the slot whose "Lernen" was pressed; the form turns to its page.
    if (storeLearnedIdentity(tick, image_)) {
        const CallerEntry& slot = image_.callers[static_cast<std::size_t>(tick.storeSlot - 1)];
        learnedMeanwhile_[tick.storeSlot] = slot;
        titleStale_ = true;
        const ViewPage page = tick.storeSlot > Rows ? ViewPage::Upper : ViewPage::Lower;
        if (page != viewPage_)
            selectPage(page);
        else
            fields_.idTexts[tick.storeSlot - pageOffset()] = idColumnText(slot.buttonIdValue(), slot.idSuffix);
        // The radio buttons follow; the exchange that turned the page took
        // them as the user had left them.
        fields_.pageRadio = page == ViewPage::Upper ? 1 : 0;
    }
    // After the page turn, whose exchange took the old status from its control.
    fields_.statusText = step.statusLine;
}

void MainDialog::applyLearnedMeanwhile()
{
    for (const auto& [number, learned] : learnedMeanwhile_) {
        CallerEntry& slot = image_.callers[static_cast<std::size_t>(number - 1)];
        slot.buttonId = learned.buttonId;
        slot.idSuffix = learned.idSuffix;
    }
    if (!learnedMeanwhile_.empty())
        imageToForm();
    learnedMeanwhile_.clear();
}

void MainDialog::sendOptionSwitch(int checkId, OptionSwitchTexts texts)
{
    // The box has already toggled when its click arrives.
    const bool ticked = host_.isChecked(checkId);
    // The name is the one the timer last took from the form. The box keeps
    // its new state either way; the user must know whether the pager has it
    // too. Without a pager the new state waits for the next write.
    runOnDevice([this, texts, ticked, name = fields_.pagerName](
                     SessionEvents& events) { return session_.switchOption(events, texts, ticked, name); },
                 [this](const Confirmation& switched) {
                     if (switched.noPager)
                         return;
                     listener_->switchSent(switched.confirmed);
                     tell(switched.messages);
                 });
}

void MainDialog::setRepeaterClock()
{
    // No keep-alive byte may come between the clock command's bytes.
    stopUiTimer();
    runOnDevice([this](SessionEvents& events) { return session_.setRepeaterClock(events); },
                 [this](const Confirmation& set) {
                     // The display already shows the time sent; say when it did not arrive.
                     if (set.confirmed) {
                         clockDisplayTicks_ = 0;
                         showClockGroup(false);
                     }
                     tell(set.messages);
                     startUiTimer();
                 });
}

// The pager leaves its normal operation for the boot loader; the link is left
// as it is, and the link watch carries on.
void MainDialog::startBootloader()
{
    runOnDevice([this](SessionEvents& events) { return session_.startBootloader(events); },
                 [this](const Confirmation& started) {
                     if (!started.noPager)
                         listener_->bootloaderStarted(started.confirmed);
                 });
}

}  // namespace harvelin
