#include <string>

#include "transfer/messages.h"
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
    forgetLearnedMeanwhile();
    if (!mayDropUnsavedChanges("vom Pager lesen"))
        return;
    // No keep-alive goes out meanwhile.
    runBusy([this, held = heldConfiguration()](SessionEvents& events) { return session_.readOut(events, held); },
            [this](const ReadOutOutcome& outcome) {
                // Every other end leaves the form as it was.
                if (outcome.result.complete()) {
                    applyConfiguration(outcome.result.read);
                    selectPage(viewPage_);
                    applyLearnedMeanwhile();
                }
                fields_.statusText = session_.statusLine();
                listener_->readOutEnded(outcome.result, outcome.backupPath);
            });
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
    // 3.-18. No keep-alive goes out meanwhile.
    runBusy([this, held = heldConfiguration()](SessionEvents& events) { return session_.write(events, held); },
            [this](const WriteOutcome& outcome) { listener_->writeEnded(outcome.result); });
}

}  // namespace harvelin
