#include "ui/main_dialog.h"

#include <cstdio>
#include <vector>

#include "model/conversions.h"
#include "model/option_switches.h"
#include "model/win1252.h"
#include "ui/control_ids.h"

namespace harvelin {

namespace {

constexpr int CallerTextMax = static_cast<int>(SlotTextMax);
constexpr int KitchenTextMax = static_cast<int>(SlotTextMax);
constexpr int PagerNameChars = static_cast<int>(PagerNameMax);
// Key and station are numbers up to 255; the fields take three characters so
// that a value from the pager or a file is shown as it is and never traps the
// user in a validation message.
constexpr int KitchenNumberMax = 3;
constexpr int RemoteDeleteTextChars = static_cast<int>(RemoteDeleteTextMax);
constexpr int Unlimited = 0;

// Key and station are bytes on the wire and in the file.
constexpr unsigned KitchenNumberLargest = 255;

// Asked before closing, reading the pager or opening a file: "Trotzdem " and
// the action follow.
constexpr std::string_view UnsavedChanges = "Die Änderungen sind weder gespeichert noch zum Pager übertragen.";

std::string numberMessage()
{
    char buf[80];
    std::snprintf(buf, sizeof buf, "Bitte geben Sie eine Zahl zwischen 0 und %u ein.", KitchenNumberLargest);
    return buf;
}

using RowTexts = std::array<std::string, MainDialog::Rows + 1>;

// The rows of the form into the slots they show.
void takeRows(PagerImage& image, int pageOffset, const RowTexts& callerTexts, const RowTexts& kitchenTexts,
              const RowTexts& kitchenKeys, const RowTexts& kitchenStations)
{
    for (int r = 1; r <= MainDialog::Rows; ++r)
        image.callers[r - 1 + pageOffset].text.assign(callerTexts[r]);
    for (int r = 1; r <= MainDialog::KitchenRows; ++r) {
        KitchenCallEntry& slot = image.kitchenCalls[r - 1];
        slot.text.assign(kitchenTexts[r]);
        slot.station = numberFromText(kitchenStations[r]);
        slot.key = numberFromText(kitchenKeys[r]);
    }
}

std::string lengthMessage(int maxChars)
{
    char buf[80];
    std::snprintf(buf, sizeof buf, "Bitte geben Sie nicht mehr als %d Zeichen ein.", maxChars);
    return buf;
}

}  // namespace

MainDialog::MainDialog(DialogHost& dialogHost, SerialBackend& backend, PortTable ports, Clock& dialogClock)
    : host(dialogHost), clock(dialogClock), link(backend, std::move(ports), dialogClock)
{
    // The kitchen rows start with the start configuration's kitchen calls;
    // OnInitDialog stores them into the image.
    const PagerConfiguration start = startConfiguration();
    for (int r = 1; r <= KitchenRows; ++r) {
        const KitchenCallEntry& slot = start.image.kitchenCalls[r - 1];
        kitchenTexts[r] = slot.text.str();
        kitchenKeys[r] = numberToText(slot.key);
        kitchenStations[r] = numberToText(slot.station);
    }
    pagerName = start.pagerName;
    remoteDeleteText = start.remoteDeleteText;
    pageRadio = -1;
    link.setRepaintHook([this] { host.repaintNow(); });
}

// The bindings, in the order the exchange goes through them. A text bound
// with a limit is validated when taken from its control; display-only fields
// (statics and the read-only "Rufknopf-ID" boxes) never are.
bool MainDialog::UpdateData(bool saveAndValidate)
{
    struct Binding {
        int id;
        std::string* text;
        int maxChars;
        bool editable;
        bool numeric = false;
    };
    std::vector<Binding> bindings;
    bindings.reserve(6 * Rows + 8);
    for (int r = 1; r <= Rows; ++r) {
        bindings.push_back({ctl::callerText(r), &callerTexts[r], CallerTextMax, true});
        bindings.push_back({ctl::idText(r), &idTexts[r], Unlimited, false});
    }
    bindings.push_back({ctl::StatusLine, &statusText, Unlimited, false});
    bindings.push_back({ctl::PagerName, &pagerName, PagerNameChars, true});
    for (int r = 1; r <= KitchenRows; ++r) {
        bindings.push_back({ctl::kitchenText(r), &kitchenTexts[r], KitchenTextMax, true});
        bindings.push_back({ctl::kitchenKey(r), &kitchenKeys[r], KitchenNumberMax, true, true});
        bindings.push_back({ctl::kitchenStation(r), &kitchenStations[r], KitchenNumberMax, true, true});
    }
    for (int r = 1; r <= Rows; ++r)
        bindings.push_back({ctl::rowLabel(r), &rowLabels[r], Unlimited, false});
    const std::size_t radioAt = bindings.size();
    bindings.push_back({ctl::RemoteDeleteText, &remoteDeleteText, RemoteDeleteTextChars, true});
    bindings.push_back({ctl::RepeaterTime, &repeaterTimeText, Unlimited, false});
    bindings.push_back({ctl::SystemTime, &systemTimeText, Unlimited, false});

    auto exchangeRadio = [&] {
        if (saveAndValidate) {
            pageRadio = host.isChecked(ctl::PageLower) ? 0 : host.isChecked(ctl::PageUpper) ? 1 : -1;
        } else {
            host.setChecked(ctl::PageLower, pageRadio == 0);
            host.setChecked(ctl::PageUpper, pageRadio == 1);
        }
    };

    for (std::size_t i = 0; i < bindings.size(); ++i) {
        if (i == radioAt)
            exchangeRadio();
        const Binding& b = bindings[i];
        if (saveAndValidate) {
            std::string value = host.controlText(b.id);
            if (b.editable && b.maxChars != Unlimited && static_cast<int>(value.size()) > b.maxChars) {
                host.messageBox(lengthMessage(b.maxChars));
                host.setFocus(b.id);
                return false;
            }
            // A number the field cannot hold is refused, not stored cut to
            // eight bits while the field goes on showing it.
            if (b.numeric && !isByteNumberText(value)) {
                host.messageBox(numberMessage());
                host.setFocus(b.id);
                return false;
            }
            *b.text = std::move(value);
        } else {
            if (b.editable && b.maxChars != Unlimited)
                host.setInputLimit(b.id, b.maxChars);
            host.setControlText(b.id, *b.text);
        }
    }
    return true;
}

bool MainDialog::OnInitDialog()
{
    // 1. The framework's initialisation: controls show the constructor's values.
    UpdateData(false);
    // 2./3. The system-menu entry and the icons belong to the window; the host
    //       sets them up.
    // 4.
    clearImage();
    pageRadio = 0;
    viewPage = ViewPage::Upper;
    UpdateData(false);
    // 5.
    link.portNumber = 0;
    link.state = LinkState::Closed;
    learnWindow = LearnWindow{};
    deviceBusy = false;
    // 6.
    host.setProgressRange(0, FullProgressMax);
    // 7.
    host.setChecked(ctl::Active, false);
    // 8. The learn window's line starts empty with it (5.).
    // 9.
    startUiTimer();
    // 10. Also stores the form's kitchen defaults into the image.
    selectPage(ViewPage::Lower);
    // 11.
    showClockGroup(false);
    // 12.
    clockDisplayTicks = 0;
    // What the form shows at start is nothing the user could lose.
    startImage = image;
    markConfigurationKept();
    // 13.
    return true;
}

bool MainDialog::queryClose() { return mayDropUnsavedChanges("beenden"); }

bool MainDialog::mayDropUnsavedChanges(std::string_view action) const
{
    return !hasUnsavedChanges() ||
           host.askYesNo(win1252(std::string(UnsavedChanges) + " Trotzdem " + std::string(action) + "?"));
}

void MainDialog::OnOK()
{
    // Asked before the port is closed, so "Nein" leaves everything as it was.
    if (!queryClose())
        return;
    link.close();
    if (UpdateData(true))
        host.endDialog(ctl::Ok);
}

void MainDialog::onCommand(int id)
{
    for (int r = 1; r <= Rows; ++r) {
        if (id == ctl::learnButton(r))
            return startLearn(r);
        if (id == ctl::deleteButton(r))
            return deleteRow(r);
    }
    switch (id) {
    case ctl::SearchButton: return searchPager();
    case ctl::ReadButton: return readFromPager();
    case ctl::WriteButton: return writeToPager();
    case ctl::OpenFileButton: return openFile();
    case ctl::SaveFileButton: return saveFile();
    case ctl::Battery: return sendOptionSwitch(ctl::Battery, BatterySwitch.on, BatterySwitch.off);
    case ctl::Buzzer: return sendOptionSwitch(ctl::Buzzer, BuzzerSwitch.on, BuzzerSwitch.off);
    case ctl::RemoteDelete: return sendOptionSwitch(ctl::RemoteDelete, RemoteDeleteSwitch.on, RemoteDeleteSwitch.off);
    case ctl::PageLower: return selectPage(ViewPage::Lower);
    case ctl::PageUpper: return selectPage(ViewPage::Upper);
    case ctl::ClockButton: return setRepeaterClock();
    case ctl::BootloaderButton: return startBootloader();
    case ctl::Ok: return OnOK();
    default: return;
    }
}

void MainDialog::onTimer(int timerId)
{
    if (timerId == ctl::UiTimerId)
        onUiTimer();
}

void MainDialog::formToImage()
{
    UpdateData(true);  // the copy runs whatever the validation said
    takeRows(image, pageOffset(), callerTexts, kitchenTexts, kitchenKeys, kitchenStations);
}

void MainDialog::imageToForm()
{
    for (int r = 1; r <= Rows; ++r) {
        const CallerEntry& slot = image.callers[r - 1 + pageOffset()];
        idTexts[r] = idColumnText(slot.buttonIdValue(), slot.idSuffix);
        callerTexts[r] = slot.text.str();
    }
    for (int r = 1; r <= KitchenRows; ++r) {
        const KitchenCallEntry& slot = image.kitchenCalls[r - 1];
        kitchenTexts[r] = slot.text.str();
        kitchenStations[r] = numberToText(slot.station);
        kitchenKeys[r] = numberToText(slot.key);
    }
    UpdateData(false);
}

void MainDialog::selectPage(ViewPage target)
{
    formToImage();
    if (target != viewPage) {
        for (int r = 1; r <= Rows; ++r) {
            const int number = r + pageOffsetOf(target);
            char label[12];
            std::snprintf(label, sizeof label, "%2d", number);
            host.setControlText(ctl::rowLabel(r), label);
        }
    }
    UpdateData(true);
    viewPage = target;
    imageToForm();
    UpdateData(false);
}

void MainDialog::deleteRow(int row)
{
    CallerEntry& slot = image.callers[row - 1 + pageOffset()];
    slot.buttonId = {0, 0, 0, 0};
    slot.idSuffix = 0;
    idTexts[row] = idColumnText(0, 0);
    UpdateData(false);
}

void MainDialog::clearImage()
{
    for (CallerEntry& slot : image.callers) {
        slot.buttonId = {0, 0, 0, 0};
        slot.idSuffix = 0;
        slot.text.clear();
    }
    for (KitchenCallEntry& slot : image.kitchenCalls) {
        slot.key = 0;
        slot.station = 0;
        slot.text.clear();
    }
}

PagerConfiguration MainDialog::heldConfiguration() const
{
    return {image,
            pagerName,
            remoteDeleteText,
            host.isChecked(ctl::Battery),
            host.isChecked(ctl::Buzzer),
            host.isChecked(ctl::RemoteDelete)};
}

void MainDialog::applyConfiguration(const PagerConfiguration& config)
{
    image = config.image;
    pagerName = config.pagerName;
    remoteDeleteText = config.remoteDeleteText;
    host.setChecked(ctl::Battery, config.battery);
    host.setChecked(ctl::Buzzer, config.buzzer);
    host.setChecked(ctl::RemoteDelete, config.remoteDelete);
}

PagerConfiguration MainDialog::configurationFromForm() const
{
    PagerConfiguration config = heldConfiguration();
    takeRows(config.image, pageOffset(), callerTexts, kitchenTexts, kitchenKeys, kitchenStations);
    return config;
}

// Judged on what the controls show this moment, which may be newer than the
// form variables the timer took last.
bool MainDialog::hasUnsavedChanges() const
{
    PagerConfiguration shown = configurationFromForm();
    shown.pagerName = host.controlText(ctl::PagerName);
    shown.remoteDeleteText = host.controlText(ctl::RemoteDeleteText);
    RowTexts callers, kitchens, keys, stations;
    for (int r = 1; r <= Rows; ++r) {
        callers[r] = host.controlText(ctl::callerText(r));
        kitchens[r] = host.controlText(ctl::kitchenText(r));
        keys[r] = host.controlText(ctl::kitchenKey(r));
        stations[r] = host.controlText(ctl::kitchenStation(r));
    }
    takeRows(shown.image, pageOffset(), callers, kitchens, keys, stations);
    return !sameConfiguration(shown, keptConfiguration);
}

void MainDialog::showClockGroup(bool visible)
{
    for (const int id : ctl::ClockControls)
        host.setVisible(id, visible);
}

void MainDialog::stopUiTimer() { host.stopTimer(ctl::UiTimerId); }

void MainDialog::startUiTimer() { host.startTimer(ctl::UiTimerId, ctl::UiTimerPeriodMs); }

}  // namespace harvelin
