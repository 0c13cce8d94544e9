#include <string>

#include "ui/main_dialog.h"

namespace harvelin {

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
    if (!mayDropUnsavedChanges("vom Pager lesen"))
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
            });
}

void MainDialog::writeToPager()
{
    // A field that holds what it may not is named, and nothing is sent.
    if (!takeEveryField())
        return;
    // The image takes the form also when nothing is sent.
    formToImage();
    if (const Messages refusal = session_.refusalWithoutPager(); !refusal.empty()) {
        tell(refusal);
        return;
    }
    runBusy(
        [this, held = heldConfiguration()](SessionEvents& events) {
            session_.configuration() = held;
            return session_.write(events);
        },
        [this](const WriteOutcome& outcome) { listener_->writeEnded(outcome.result); });
}

}  // namespace harvelin
