// The form's start and end: what it shows at first, its title, and the
// questions before it closes or gives up what the user changed.
#include "ui/main_dialog.h"

#include "model/conversions.h"
#include "ui/control_ids.h"
#include "ui/device_runner.h"
#include "ui/texts.h"

namespace harvelin {

MainDialog::MainDialog(DialogHost& dialogHost, SerialBackend& backend, PortTable ports, Clock& dialogClock,
                       WorkRunner* runner)
    : host_(dialogHost),
      clock_(dialogClock),
      ownRunner_(runner ? nullptr : DeviceRunner::inlineOn(dialogHost)),
      runner_(runner ? *runner : *ownRunner_),
      session_(backend, std::move(ports), dialogClock)
{
    // The kitchen rows start with the start configuration's kitchen calls;
    // OnInitDialog stores them into the image.
    const PagerConfiguration start = startConfiguration();
    for (int r = 1; r <= KitchenRows; ++r) {
        const KitchenCallEntry& slot = start.image.kitchenCalls[r - 1];
        fields_.kitchenTexts[r] = slot.text.str();
        fields_.kitchenKeys[r] = numberToText(slot.key);
        fields_.kitchenStations[r] = numberToText(slot.station);
    }
    fields_.pagerName = start.pagerName;
    fields_.remoteDeleteText = start.remoteDeleteText;
    fields_.pageRadio = -1;
    session_.setRepaintHook([this] { runner_.repaintWhileWaiting(); });
    runner_.showEventsOn(shown_);
}

bool MainDialog::OnInitDialog()
{
    // The framework's initialisation: controls show the constructor's values.
    UpdateData(false);
    // The system-menu entry and the icons belong to the window; the host
    // sets them up. The image starts empty, the upper page marked shown so
    // that turning to the lower one below fills its row labels.
    clearImage();
    fields_.pageRadio = 0;
    viewPage_ = ViewPage::Upper;
    UpdateData(false);
    // The session starts with no pager found and learn mode off.
    deviceBusy_ = false;
    host_.setProgressRange(0, FullProgressMax);
    // No pager found yet.
    host_.setChecked(ctl::Active, false);
    // The timer keeps the link alive and ticks the learn window, whose
    // status line starts empty.
    startUiTimer();
    // Also stores the form's kitchen defaults into the image.
    selectPage(ViewPage::Lower);
    // The repeater's clock shows only after a search that found it.
    showClockGroup(false);
    clockDisplayTicks_ = 0;
    // What the form shows at start is nothing the user could lose.
    markConfigurationKept();
    return true;
}

// The title names the file last opened or saved, so a technician with many
// customers' files sees which one the form holds.
void MainDialog::refreshTitle()
{
    std::string title = "Harvelin";
    if (!currentFile_.empty())
        title += " - " + currentFile_.substr(currentFile_.find_last_of("/\\") + 1);
    titleStale_ = false;
    std::pair<std::string, bool> shown{title, hasUnsavedChanges()};
    if (titleShown_ == shown)
        return;
    host_.showTitle(shown.first, shown.second);
    titleShown_ = std::move(shown);
}

bool MainDialog::queryClose() { return closeAgreed_ || mayDropUnsavedChanges(FormText::UnsavedQuitQuestion); }

bool MainDialog::mayStopWriteToClose()
{
    const FormText question =
        hasUnsavedChanges() ? FormText::WriteRunningUnsavedQuitQuestion : FormText::WriteRunningQuitQuestion;
    closeAgreed_ = host_.askYesNo(std::string(localized(question)));
    return closeAgreed_;
}

bool MainDialog::mayDropUnsavedChanges(FormText question) const
{
    return !hasUnsavedChanges() || host_.askYesNo(std::string(localized(question)));
}

void MainDialog::OnOK()
{
    // A field that holds what it may not is named before anything is asked.
    if (!takeEveryField())
        return;
    // Asked before the port is closed, so "Nein" leaves everything as it was.
    if (!queryClose())
        return;
    leaveLearnModeAndClose([this] { host_.endDialog(ctl::Ok); });
}

}  // namespace harvelin
