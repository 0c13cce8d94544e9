#include <string>

#include "model/win1252.h"
#include "transfer/read_out.h"
#include "transfer/write.h"
#include "ui/control_ids.h"
#include "ui/host_sink.h"
#include "ui/main_dialog.h"
#include "transfer/messages.h"

namespace harvelin {

void MainDialog::readFromPager()
{
    lastReadOutComplete = false;
    lastPagerSlots = 0;
    lastReadOut = {};

    // 1.-2.
    UpdateData(true);
    if (!host.isChecked(ctl::Active)) {
        host.messageBox(std::string(NoConnectionMessage));
        return;
    }
    // What the pager holds takes the place of what the form shows; edits
    // that would go with it are given up only when the user says so, before
    // the pager is asked anything.
    if (!mayDropUnsavedChanges("vom Pager lesen"))
        return;

    // 3. No keep-alive may go out while the pager is read.
    host.setProgressPos(0);
    deviceBusy = true;
    stopUiTimer();

    // 4.-21. The answers go into the result; the form takes them only when
    //        the read-out is complete. Every other end leaves the form as it was.
    HostSink sink(host);
    lastReadOut = readOut(link, clock, sink, heldConfiguration());
    const ReadOutResult& result = lastReadOut;
    lastPagerSlots = result.callerSlots;

    auto endWithFormUnchanged = [&] {
        deviceBusy = false;
        host.setProgressPos(0);
        UpdateData(false);
        startUiTimer();
    };
    switch (result.end) {
    case ReadOutEnd::NotStarted:
    case ReadOutEnd::Complete: break;
    case ReadOutEnd::Cancelled:
        endWithFormUnchanged();
        return host.messageBox(messageFor(result));
    case ReadOutEnd::NoVersion:
        deviceBusy = false;
        host.setProgressPos(0);
        host.messageBox(messageFor(result));
        startUiTimer();
        return;
    case ReadOutEnd::Incomplete: {
        if (result.pagerGone)
            host.setChecked(ctl::Active, false);
        // What did arrive is kept aside, and the user is told once that the
        // form still shows what it showed before.
        endWithFormUnchanged();
        keepBackup(result);
        return host.messageBox(messageFor(result, lastBackupPath));
    }
    }

    // 22.-26.
    lastReadOutComplete = true;
    applyConfiguration(result.read);
    deviceBusy = false;
    host.setProgressPos(0);
    UpdateData(false);
    startUiTimer();
    imageToForm();
    selectPage(viewPage);
    markConfigurationKept();
    keepBackup(result);
}

void MainDialog::writeToPager()
{
    lastWriteSucceeded = false;
    lastPagerSlots = 0;

    // 1.-2. The image takes the form also when nothing is sent.
    formToImage();
    if (!host.isChecked(ctl::Active)) {
        host.messageBox(std::string(NoConnectionMessage));
        return;
    }

    // 3. No keep-alive may go out while the pager is written.
    host.setProgressPos(0);
    deviceBusy = true;
    stopUiTimer();

    // 4.-14.
    HostSink sink(host);
    const WriteResult result = writeConfiguration(link, clock, sink, heldConfiguration(), startImage);
    lastPagerSlots = result.callerSlots;
    if (result.cancelled) {
        deviceBusy = false;
        UpdateData(false);
        host.setProgressPos(0);
        host.messageBox(messageFor(result));
        startUiTimer();
        return;
    }
    if (result.pagerGone)
        host.setChecked(ctl::Active, false);

    // 15.-16.
    deviceBusy = false;
    UpdateData(false);
    clock.sleepMs(WriteResultWaitMs);
    host.setProgressPos(0);

    // 17.-18.
    lastWriteSucceeded = result.succeeded;
    host.messageBox(messageFor(result));
    lastWriteLeftSlotsOut = result.leftSlotsOut;
    if (lastWriteLeftSlotsOut)
        host.messageBox(win1252(SmallPagerMessage));
    if (lastWriteSucceeded && !lastWriteLeftSlotsOut)
        markConfigurationKept();
    startUiTimer();
}

}  // namespace harvelin
