#include <string>

#include "model/win1252.h"
#include "transfer/messages.h"
#include "transfer/read_out.h"
#include "transfer/write.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

void MainDialog::readFromPager()
{
    // 1.-2.
    UpdateData(true);
    if (!host_.isChecked(ctl::Active)) {
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

    // 4.-21. The answers go into the result; the form takes them only when
    //        the read-out is complete. Every other end leaves the form as it was.
    runOnLink([this, held = heldConfiguration()](
                  WorkContext& context) { return readOut(link_, clock_, context, held); },
              [this](const ReadOutResult& result) { finishReadOut(result); });
}

void MainDialog::finishReadOut(const ReadOutResult& result)
{
    auto endWithFormUnchanged = [&] {
        deviceBusy_ = false;
        host_.setProgressPos(0);
        UpdateData(false);
        startUiTimer();
    };
    switch (result.end) {
    case ReadOutEnd::NotStarted:
    case ReadOutEnd::Complete: break;
    case ReadOutEnd::Cancelled:
        endWithFormUnchanged();
        listener_->readOutEnded(result, {});
        return host_.messageBox(messageFor(result));
    case ReadOutEnd::NoVersion:
        deviceBusy_ = false;
        host_.setProgressPos(0);
        listener_->readOutEnded(result, {});
        host_.messageBox(messageFor(result));
        startUiTimer();
        return;
    case ReadOutEnd::Incomplete: {
        if (result.pagerGone)
            setActive(false);
        // What did arrive is kept aside, and the user is told once that the
        // form still shows what it showed before.
        endWithFormUnchanged();
        const std::string backup = keepBackup(result);
        listener_->readOutEnded(result, backup);
        return host_.messageBox(messageFor(result, backup));
    }
    }

    // 22.-26.
    applyConfiguration(result.read);
    deviceBusy_ = false;
    host_.setProgressPos(0);
    UpdateData(false);
    startUiTimer();
    imageToForm();
    selectPage(viewPage_);
    markConfigurationKept();
    listener_->readOutEnded(result, keepBackup(result));
}

void MainDialog::writeToPager()
{
    // A field that holds what it may not is named, and nothing is sent.
    if (!takeEveryField())
        return;
    // 1.-2. The image takes the form also when nothing is sent.
    formToImage();
    if (!host_.isChecked(ctl::Active)) {
        host_.messageBox(std::string(NoConnectionMessage));
        return;
    }

    // 3. No keep-alive may go out while the pager is written.
    host_.setProgressPos(0);
    deviceBusy_ = true;
    stopUiTimer();

    // 4.-14., and 16.: the result is shown a second after the last step, so
    //              the full progress bar can be seen.
    runOnLink(
        [this, held = heldConfiguration(), start = startImage_](WorkContext& context) {
            WriteResult result = writeConfiguration(link_, clock_, context, held, start);
            if (!result.cancelled)
                clock_.sleepMs(WriteResultWaitMs);
            return result;
        },
        [this](const WriteResult& result) { finishWrite(result); });
}

void MainDialog::finishWrite(const WriteResult& result)
{
    listener_->writeEnded(result);
    if (result.cancelled) {
        deviceBusy_ = false;
        UpdateData(false);
        host_.setProgressPos(0);
        host_.messageBox(messageFor(result));
        startUiTimer();
        return;
    }
    if (result.pagerGone)
        setActive(false);

    // 15.-16.
    deviceBusy_ = false;
    UpdateData(false);
    host_.setProgressPos(0);

    // 17.-18.
    host_.messageBox(messageFor(result));
    if (result.leftSlotsOut)
        host_.messageBox(win1252(SmallPagerMessage));
    if (result.succeeded && !result.leftSlotsOut)
        markConfigurationKept();
    startUiTimer();
}

}  // namespace harvelin
