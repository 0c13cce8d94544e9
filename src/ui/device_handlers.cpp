// The form's handlers of the device functions: the learn window and the link
// watch on the 100 ms timer, the option switches, the repeater clock and the
// boot loader. The operations below the form talk to the pager; these turn
// what they did into what the form shows.
#include <string>
#include <string_view>

#include "device/bootloader.h"
#include "device/learn_window.h"
#include "device/link_watch.h"
#include "device/option_switch.h"
#include "device/repeater_clock.h"
#include "model/conversions.h"
#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "transfer/messages.h"

namespace harvelin {

void MainDialog::startLearn(int row)
{
    lastLearnStored = false;
    lastLearnModeLeft = false;

    // 1.
    UpdateData(true);

    // 2.
    switch (learnWindow.start(link, row)) {
    case LearnStart::TakenUp:
        statusText = learnWindow.statusText();
        break;
    case LearnStart::NotSent:
        host.messageBox(std::string(NoConnectionMessage));
        break;
    case LearnStart::Refused:
        break;
    }

    // 3.
    UpdateData(false);
}

void MainDialog::leaveLearnMode()
{
    noteLearnModeExit(learnWindow.leave(link));
    statusText.clear();
}

// Whether the pager said it left learn mode is kept for front ends that
// report it; learn mode is off in the tool either way.
void MainDialog::noteLearnModeExit(LearnModeExit exit)
{
    if (exit != LearnModeExit::NotSent)
        lastLearnModeLeft = exit == LearnModeExit::Confirmed;
}

void MainDialog::learnStep()
{
    // The status a tick sets is shown before its duplicate message: ticks
    // that run while the message is open set theirs later.
    auto showStatus = [this](const LearnTick& tick) {
        if (tick.status)
            statusText = *tick.status;
    };
    const LearnTick tick = learnWindow.tick(
        link, LearnWindow::LowerSlots(image.callers.data(), LearnWindow::DuplicateSlots),
        [&](const LearnTick& soFar) {
            showStatus(soFar);
            host.messageBox(duplicateMessage(soFar.duplicateOf));
        });
    if (tick.duplicateOf == 0)
        showStatus(tick);

    // Into the slot the row shows now, whichever page that is.
    if (tick.storeRow != 0) {
        CallerEntry& slot = image.callers[tick.storeRow - 1 + pageOffset()];
        slot.buttonId = tick.reported->buttonId;
        slot.idSuffix = tick.reported->suffix;
        idTexts[tick.storeRow] = idColumnText(tick.reported->buttonIdValue(), tick.reported->suffix);
        lastLearnStored = true;
    }
    noteLearnModeExit(tick.modeExit);
}

void MainDialog::onUiTimer()
{
    // 1.
    UpdateData(true);

    // 2. The repeater clock group is shown for a while after a search.
    if (clockDisplayTicks > 0) {
        --clockDisplayTicks;
        if (clockDisplayTicks == 0)
            showClockGroup(false);
    }

    // 3.
    if (learnWindow.open()) {
        learnStep();
    } else {
        const LinkWatchResult watch = linkWatch(link, deviceBusy);
        if (watch.active)
            host.setChecked(ctl::Active, *watch.active);
        if (watch.lost) {
            clockDisplayTicks = 0;
            showClockGroup(false);
        }
        // The status line belongs to learn mode.
        statusText.clear();
    }

    // 4.
    UpdateData(false);
}

void MainDialog::sendOptionSwitch(int checkId, std::string_view onText, std::string_view offText)
{
    lastSwitchConfirmed = false;

    // 1. The box has already toggled when its click arrives.
    const bool ticked = host.isChecked(checkId);

    // 2. The name is the one the timer last took from the form.
    std::string command(ticked ? onText : offText);
    command += pagerName;

    // 3. Without a pager the new state waits for the next write.
    if (!host.isChecked(ctl::Active))
        return;

    // 4.
    lastSwitchConfirmed = harvelin::sendOptionSwitch(link, command);

    // The box keeps its new state either way; the user must know whether the
    // pager has it too. A confirmed switch is on the pager, nothing to lose.
    if (!lastSwitchConfirmed) {
        host.messageBox(switchRefusedMessage());
        return;
    }
    bool& kept = checkId == ctl::Battery ? keptConfiguration.battery
                 : checkId == ctl::Buzzer ? keptConfiguration.buzzer
                                          : keptConfiguration.remoteDelete;
    kept = ticked;
}

bool MainDialog::readRepeaterStatus()
{
    const RepeaterStatus status = harvelin::readRepeaterStatus(link, clock);
    if (status.systemTime)
        systemTimeText = *status.systemTime;
    if (status.repeaterTime)
        repeaterTimeText = *status.repeaterTime;
    UpdateData(false);
    return status.reported;
}

void MainDialog::setRepeaterClock()
{
    // No keep-alive byte may come between the clock command's bytes.
    stopUiTimer();
    const ClockSetResult result = harvelin::setRepeaterClock(link, clock, [this](const std::string& time) {
        // The repeater's display shows the time being sent.
        repeaterTimeText = time;
        UpdateData(false);
    });
    if (result.confirmed) {
        clockDisplayTicks = 0;
        showClockGroup(false);
    }
    // The display already shows the time sent; say when it did not arrive.
    if (!result.confirmed)
        host.messageBox(clockRefusedMessage());
    startUiTimer();
}

// The pager leaves its normal operation for the boot loader; the link is left
// as it is, and the link watch carries on.
void MainDialog::startBootloader()
{
    lastBootloaderConfirmed = false;
    if (!host.isChecked(ctl::Active))
        return;
    lastBootloaderConfirmed = harvelin::startBootloader(link);
}

}  // namespace harvelin
