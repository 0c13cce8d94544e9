#include <string>

#include "model/win1252.h"
#include "transfer/read_out.h"
#include "transfer/write.h"
#include "ui/control_ids.h"
#include "ui/host_sink.h"
#include "ui/main_dialog.h"
#include "ui/messages.h"

namespace harvelin {

namespace {

// Leaves the bar at its last position for a moment before the result.
constexpr unsigned WriteResultWaitMs = 1000;

const std::string ReadCancelled = win1252(ReadCancelledMessage);
const std::string ReadIncomplete = win1252("Fehlerhafter Datenempfang – die Daten im Formular sind unverändert.");
const std::string PartialBackup = win1252(" Was der Pager geliefert hat, ist als unvollständige "
                                          "Sicherungskopie abgelegt: ");
const std::string WriteCancelled = win1252(WriteCancelledMessage);

}  // namespace

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
        return host.messageBox(ReadCancelled);
    case ReadOutEnd::NoVersion:
        deviceBusy = false;
        host.setProgressPos(0);
        host.messageBox(std::string(NoConnectionMessage));
        startUiTimer();
        return;
    case ReadOutEnd::Incomplete: {
        if (result.pagerGone)
            host.setChecked(ctl::Active, false);
        // What did arrive is kept aside, and the user is told once that the
        // form still shows what it showed before.
        endWithFormUnchanged();
        keepBackup(result);
        std::string message = ReadIncomplete;
        if (!lastBackupPath.empty()) {
            bool replaced = false;
            message += PartialBackup + utf8ToWin1252Replacing(lastBackupPath, replaced);
        }
        return host.messageBox(message);
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
        host.messageBox(WriteCancelled);
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
    host.messageBox(win1252(lastWriteSucceeded ? "Daten erfolgreich übertragen" : "Fehlerhafte Übertragung!"));
    lastWriteLeftSlotsOut = result.leftSlotsOut;
    if (lastWriteLeftSlotsOut)
        host.messageBox(win1252(SmallPagerMessage));
    if (lastWriteSucceeded && !lastWriteLeftSlotsOut)
        markConfigurationKept();
    startUiTimer();
}

}  // namespace harvelin
