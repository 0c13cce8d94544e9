// The form's handlers of the device functions: the learn window and the link
// watch on the 100 ms timer, the option switches, the repeater clock and the
// boot loader. The operations below the form talk to the pager on the work
// runner; these turn what they did into what the form shows.
#include <algorithm>
#include <string>
#include <string_view>

#include "device/bootloader.h"
#include "device/learn_window.h"
#include "device/link_watch.h"
#include "device/option_switch.h"
#include "device/repeater_clock.h"
#include "model/conversions.h"
#include "model/win1252.h"
#include "transfer/messages.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

struct MainDialog::TickResult {
    bool learning = false;  // the tick was the learn window's, not the link watch's
    LearnTick learn;
    LinkWatchResult watch;
};

void MainDialog::startLearn(int row)
{
    // 1.
    UpdateData(true);

    // 2.
    runOnLink(
        [this, row](WorkContext&) {
            const LearnStart start = learnWindow_.start(link_, row);
            return std::pair{start, learnWindow_.statusText()};
        },
        [this](const std::pair<LearnStart, std::string>& started) {
                  switch (started.first) {
                  case LearnStart::TakenUp:
                      learnStored_ = false;
                      fields_.statusText = started.second;
                      break;
                  case LearnStart::NotSent: host_.messageBox(std::string(NoConnectionMessage)); break;
                  case LearnStart::Refused: break;
                  }
                  // 3.
                  UpdateData(false);
              });
}

void MainDialog::leaveLearnModeAndClose(std::function<void()> then)
{
    runOnLink(
        [this](WorkContext&) {
            const bool wasOpen = learnWindow_.open();
            const LearnModeExit exit = learnWindow_.leave(link_);
            link_.close();
            return std::pair{wasOpen, exit};
        },
        [this, then = std::move(then)](std::pair<bool, LearnModeExit> left) {
            if (left.first)
                listener_->learnEnded(learnStored_, left.second);
            fields_.statusText.clear();
            if (then)
                then();
        });
}

void MainDialog::onUiTimer()
{
    // A tick that falls due while the pager is busy is not caught up.
    if (runner_.working())
        return;

    // 1. Nothing typed or clicked since the controls were last read: the
    //    variables hold what they show. A field that holds what it may not
    //    is left for the next action that needs it; a tick says nothing.
    if (host_.userChangedControls())
        UpdateData(true);

    // 2. The repeater clock group is shown for a while after a search.
    if (clockDisplayTicks_ > 0) {
        --clockDisplayTicks_;
        if (clockDisplayTicks_ == 0)
            showClockGroup(false);
    }

    // 3. The learn window looks for duplicates in the slots as they are now.
    std::array<CallerEntry, LearnWindow::DuplicateSlots> lower;
    std::copy_n(image_.callers.begin(), lower.size(), lower.begin());
    runOnLink(
        [this, lower, busy = deviceBusy_](WorkContext&) {
            TickResult tick;
            tick.learning = learnWindow_.open();
            if (tick.learning)
                tick.learn = learnWindow_.tickUpToDuplicate(link_, LearnWindow::LowerSlots(lower));
            else
                tick.watch = linkWatch(link_, busy);
            return tick;
        },
        [this](const TickResult& tick) {
            if (tick.learning) {
                showLearnTick(tick.learn);
            } else {
                if (tick.watch.active)
                    setActive(*tick.watch.active);
                if (tick.watch.lost) {
                    clockDisplayTicks_ = 0;
                    showClockGroup(false);
                }
                // The status line belongs to learn mode.
                fields_.statusText.clear();
            }
            // 4.
            UpdateData(false);
        });
}

void MainDialog::showLearnTick(const LearnTick& tick)
{
    if (tick.status)
        fields_.statusText = *tick.status;

    // The status this tick set is shown before the duplicate message; ticks
    // that run while the message is open set theirs later. Learn mode ends
    // on the pager once the message is closed.
    if (tick.duplicateOf != 0) {
        UpdateData(false);
        host_.messageBox(duplicateMessage(tick.duplicateOf));
        runOnLink([this](WorkContext&) { return learnWindow_.duplicateClosed(link_); },
                  [this](const LearnTick& end) { listener_->learnEnded(learnStored_, end.modeExit); });
        return;
    }

    // Into the slot the row shows now, whichever page that is.
    if (tick.storeRow != 0) {
        CallerEntry& slot = image_.callers[tick.storeRow - 1 + pageOffset()];
        slot.buttonId = tick.reported->buttonId;
        slot.idSuffix = tick.reported->suffix;
        fields_.idTexts[tick.storeRow] = idColumnText(tick.reported->buttonIdValue(), tick.reported->suffix);
        learnStored_ = true;
    }
    if (tick.ended)
        listener_->learnEnded(learnStored_, tick.modeExit);
}

void MainDialog::sendOptionSwitch(int checkId, std::string_view onText, std::string_view offText)
{
    // 1. The box has already toggled when its click arrives.
    const bool ticked = host_.isChecked(checkId);

    // 2. The name is the one the timer last took from the form.
    std::string command(ticked ? onText : offText);
    command += fields_.pagerName;

    // 3. Without a pager the new state waits for the next write.
    if (!host_.isChecked(ctl::Active))
        return;

    // 4.
    runOnLink([this, command](WorkContext&) { return harvelin::sendOptionSwitch(link_, command); },
              [this, checkId, ticked](bool confirmed) { finishSwitch(checkId, ticked, confirmed); });
}

void MainDialog::finishSwitch(int checkId, bool ticked, bool confirmed)
{
    listener_->switchSent(confirmed);
    // The box keeps its new state either way; the user must know whether the
    // pager has it too. A confirmed switch is on the pager, nothing to lose.
    if (!confirmed) {
        host_.messageBox(switchRefusedMessage());
        return;
    }
    bool& kept = checkId == ctl::Battery ? keptConfiguration_.battery
                 : checkId == ctl::Buzzer ? keptConfiguration_.buzzer
                                          : keptConfiguration_.remoteDelete;
    kept = ticked;
}

void MainDialog::readRepeaterStatus(std::function<void(bool reported)> shown)
{
    runOnLink([this](WorkContext&) { return harvelin::readRepeaterStatus(link_, clock_); },
              [this, shown = std::move(shown)](const RepeaterStatus& status) {
                  showRepeaterStatus(status);
                  if (shown)
                      shown(status.reported);
              });
}

void MainDialog::showRepeaterStatus(const RepeaterStatus& status)
{
    if (status.systemTime)
        fields_.systemTimeText = *status.systemTime;
    if (status.repeaterTime)
        fields_.repeaterTimeText = *status.repeaterTime;
    UpdateData(false);
}

void MainDialog::setRepeaterClock()
{
    // No keep-alive byte may come between the clock command's bytes.
    stopUiTimer();
    runOnLink(
        [this](WorkContext& context) {
            return harvelin::setRepeaterClock(link_, clock_, [this, &context](const std::string& time) {
                // The repeater's display shows the time being sent.
                context.show([this, time] {
                    fields_.repeaterTimeText = time;
                    UpdateData(false);
                });
            });
        },
        [this](const ClockSetResult& result) {
            if (result.confirmed) {
                clockDisplayTicks_ = 0;
                showClockGroup(false);
            }
            // The display already shows the time sent; say when it did not arrive.
            if (!result.confirmed)
                host_.messageBox(clockRefusedMessage());
            startUiTimer();
        });
}

// The pager leaves its normal operation for the boot loader; the link is left
// as it is, and the link watch carries on.
void MainDialog::startBootloader()
{
    if (!host_.isChecked(ctl::Active))
        return;
    runOnLink([this](WorkContext&) { return harvelin::startBootloader(link_); },
              [this](bool confirmed) { listener_->bootloaderStarted(confirmed); });
}

}  // namespace harvelin
