#include <string>

#include "model/win1252.h"
#include "transfer/messages.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

void MainDialog::readFromPager()
{
    // 1.-2.
    UpdateData(true);
    if (!session_.active()) {
        host_.messageBox(std::string(NoConnectionMessage));
        return;
    }
    // What the pager holds takes the place of what the form shows; edits
    // that would go with it are given up only when the user says so, before
    // the pager is asked anything.
    if (!mayDropUnsavedChanges("vom Pager lesen"))
        return;

    // 3. No keep-alive may go out while the pager is read.
    host_.setProgressPos(0);
    deviceBusy_ = true;
    stopUiTimer();

    // 4.-21. The form takes the answers only when the read-out is complete.
    runOnSession([this, held = heldConfiguration()](SessionEvents& events) { return session_.readOut(events, held); },
                 [this](const ReadOutOutcome& outcome) { finishReadOut(outcome); });
}

void MainDialog::finishReadOut(const ReadOutOutcome& outcome)
{
    const bool complete = outcome.result.complete();
    // 22.-26. Every other end leaves the form as it was.
    if (complete)
        applyConfiguration(outcome.result.read);
    if (!session_.active())
        setActive(false);
    deviceBusy_ = false;
    host_.setProgressPos(0);
    UpdateData(false);
    startUiTimer();
    if (complete)
        selectPage(viewPage_);
    listener_->readOutEnded(outcome.result, outcome.backupPath);
    if (!outcome.backupFailure.empty())
        host_.messageBox(outcome.backupFailure);
    if (!outcome.message.empty())
        host_.messageBox(outcome.message);
}

void MainDialog::writeToPager()
{
    // A field that holds what it may not is named, and nothing is sent.
    if (!takeEveryField())
        return;
    // 1.-2. The image takes the form also when nothing is sent.
    formToImage();
    if (!session_.active()) {
        host_.messageBox(std::string(NoConnectionMessage));
        return;
    }

    // 3. No keep-alive may go out while the pager is written.
    host_.setProgressPos(0);
    deviceBusy_ = true;
    stopUiTimer();

    // 4.-16.
    runOnSession([this, held = heldConfiguration()](SessionEvents& events) { return session_.write(events, held); },
                 [this](const WriteOutcome& outcome) { finishWrite(outcome); });
}

void MainDialog::finishWrite(const WriteOutcome& outcome)
{
    listener_->writeEnded(outcome.result);
    if (!session_.active())
        setActive(false);
    // 15.-18.
    deviceBusy_ = false;
    UpdateData(false);
    host_.setProgressPos(0);
    host_.messageBox(outcome.message);
    if (outcome.slotsLeftOut)
        host_.messageBox(win1252(SmallPagerMessage));
    startUiTimer();
}

}  // namespace harvelin
