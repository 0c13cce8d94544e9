// The form's handlers of the device functions: the learn window and the link
// watch on the 100 ms timer, the option switches, the repeater clock and the
// boot loader. The session's actions run on the work runner; these show what
// came of them.
#include <algorithm>
#include <string>

#include "model/conversions.h"
#include "transfer/messages.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

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
