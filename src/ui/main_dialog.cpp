#include "ui/main_dialog.h"

#include <cstdio>
#include <vector>

#include "model/conversions.h"
#include "model/option_switches.h"
#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/threaded_runner.h"

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

MainDialog::MainDialog(DialogHost& dialogHost, SerialBackend& backend, PortTable ports, Clock& dialogClock,
                       WorkRunner* runner)
    : host_(dialogHost),
      clock_(dialogClock),
      ownRunner_(runner ? nullptr : std::make_unique<InlineRunner>(dialogHost)),
      runner_(runner ? *runner : *ownRunner_),
      link_(backend, std::move(ports), dialogClock)
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
    link_.setRepaintHook([this] { runner_.repaintWhileWaiting(); });
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
    FormFields& f = fields_;
    std::vector<Binding> bindings;
    bindings.reserve(6 * Rows + 8);
    for (int r = 1; r <= Rows; ++r) {
        bindings.push_back({ctl::callerText(r), &f.callerTexts[r], CallerTextMax, true});
        bindings.push_back({ctl::idText(r), &f.idTexts[r], Unlimited, false});
    }
    bindings.push_back({ctl::StatusLine, &f.statusText, Unlimited, false});
    bindings.push_back({ctl::PagerName, &f.pagerName, PagerNameChars, true});
    for (int r = 1; r <= KitchenRows; ++r) {
        bindings.push_back({ctl::kitchenText(r), &f.kitchenTexts[r], KitchenTextMax, true});
        bindings.push_back({ctl::kitchenKey(r), &f.kitchenKeys[r], KitchenNumberMax, true, true});
        bindings.push_back({ctl::kitchenStation(r), &f.kitchenStations[r], KitchenNumberMax, true, true});
    }
    for (int r = 1; r <= Rows; ++r)
        bindings.push_back({ctl::rowLabel(r), &f.rowLabels[r], Unlimited, false});
    const std::size_t radioAt = bindings.size();
    bindings.push_back({ctl::RemoteDeleteText, &f.remoteDeleteText, RemoteDeleteTextChars, true});
    bindings.push_back({ctl::RepeaterTime, &f.repeaterTimeText, Unlimited, false});
    bindings.push_back({ctl::SystemTime, &f.systemTimeText, Unlimited, false});

    auto showCheck = [this](int id, bool on) {
        const auto shown = shownChecks_.find(id);
        if (shown != shownChecks_.end() && shown->second == on)
            return;
        host_.setChecked(id, on);
        shownChecks_[id] = on;
    };
    auto exchangeRadio = [&] {
        if (saveAndValidate) {
            const bool lower = host_.isChecked(ctl::PageLower);
            const bool upper = host_.isChecked(ctl::PageUpper);
            shownChecks_[ctl::PageLower] = lower;
            shownChecks_[ctl::PageUpper] = upper;
            f.pageRadio = lower ? 0 : upper ? 1 : -1;
        } else {
            showCheck(ctl::PageLower, f.pageRadio == 0);
            showCheck(ctl::PageUpper, f.pageRadio == 1);
        }
    };

    for (std::size_t i = 0; i < bindings.size(); ++i) {
        if (i == radioAt)
            exchangeRadio();
        const Binding& b = bindings[i];
        if (saveAndValidate) {
            std::string value = host_.controlText(b.id);
            shownTexts_[b.id] = value;
            if (b.editable && b.maxChars != Unlimited && static_cast<int>(value.size()) > b.maxChars) {
                host_.messageBox(lengthMessage(b.maxChars));
                host_.setFocus(b.id);
                return false;
            }
            // A number the field cannot hold is refused, not stored cut to
            // eight bits while the field goes on showing it.
            if (b.numeric && !isByteNumberText(value)) {
                host_.messageBox(numberMessage());
                host_.setFocus(b.id);
                return false;
            }
            *b.text = std::move(value);
        } else {
            if (b.editable && b.maxChars != Unlimited) {
                int& limit = limitsSet_[b.id];
                if (limit != b.maxChars) {
                    host_.setInputLimit(b.id, b.maxChars);
                    limit = b.maxChars;
                }
            }
            const auto shown = shownTexts_.find(b.id);
            if (shown != shownTexts_.end() && shown->second == *b.text)
                continue;
            host_.setControlText(b.id, *b.text);
            shownTexts_[b.id] = *b.text;
        }
    }
    if (saveAndValidate)
        host_.userChangesTaken();
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
    fields_.pageRadio = 0;
    viewPage_ = ViewPage::Upper;
    UpdateData(false);
    // 5.
    link_.setPortNumber(0);
    link_.setState(LinkState::Closed);
    learnWindow_ = LearnWindow{};
    deviceBusy_ = false;
    // 6.
    host_.setProgressRange(0, FullProgressMax);
    // 7.
    host_.setChecked(ctl::Active, false);
    // 8. The learn window's line starts empty with it (5.).
    // 9.
    startUiTimer();
    // 10. Also stores the form's kitchen defaults into the image.
    selectPage(ViewPage::Lower);
    // 11.
    showClockGroup(false);
    // 12.
    clockDisplayTicks_ = 0;
    // What the form shows at start is nothing the user could lose.
    startImage_ = image_;
    markConfigurationKept();
    // 13.
    return true;
}

bool MainDialog::queryClose() { return mayDropUnsavedChanges("beenden"); }

bool MainDialog::mayDropUnsavedChanges(std::string_view action) const
{
    return !hasUnsavedChanges() ||
           host_.askYesNo(win1252(std::string(UnsavedChanges) + " Trotzdem " + std::string(action) + "?"));
}

void MainDialog::OnOK()
{
    // Asked before the port is closed, so "Nein" leaves everything as it was.
    if (!queryClose())
        return;
    runOnLink(
        [this](WorkContext&) {
            link_.close();
            return true;
        },
        [this](bool) {
            if (UpdateData(true))
                host_.endDialog(ctl::Ok);
        });
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
    takeRows(image_, pageOffset(), fields_.callerTexts, fields_.kitchenTexts, fields_.kitchenKeys,
             fields_.kitchenStations);
}

void MainDialog::imageToForm()
{
    for (int r = 1; r <= Rows; ++r) {
        const CallerEntry& slot = image_.callers[r - 1 + pageOffset()];
        fields_.idTexts[r] = idColumnText(slot.buttonIdValue(), slot.idSuffix);
        fields_.callerTexts[r] = slot.text.str();
    }
    for (int r = 1; r <= KitchenRows; ++r) {
        const KitchenCallEntry& slot = image_.kitchenCalls[r - 1];
        fields_.kitchenTexts[r] = slot.text.str();
        fields_.kitchenStations[r] = numberToText(slot.station);
        fields_.kitchenKeys[r] = numberToText(slot.key);
    }
    UpdateData(false);
}

void MainDialog::selectPage(ViewPage target)
{
    formToImage();
    if (target != viewPage_) {
        for (int r = 1; r <= Rows; ++r) {
            const int number = r + pageOffsetOf(target);
            char label[12];
            std::snprintf(label, sizeof label, "%2d", number);
            fields_.rowLabels[r] = label;
        }
    }
    viewPage_ = target;
    imageToForm();
}

void MainDialog::deleteRow(int row)
{
    CallerEntry& slot = image_.callers[row - 1 + pageOffset()];
    slot.buttonId = {0, 0, 0, 0};
    slot.idSuffix = 0;
    fields_.idTexts[row] = idColumnText(0, 0);
    UpdateData(false);
}

void MainDialog::clearImage()
{
    for (CallerEntry& slot : image_.callers) {
        slot.buttonId = {0, 0, 0, 0};
        slot.idSuffix = 0;
        slot.text.clear();
    }
    for (KitchenCallEntry& slot : image_.kitchenCalls) {
        slot.key = 0;
        slot.station = 0;
        slot.text.clear();
    }
}

PagerConfiguration MainDialog::heldConfiguration() const
{
    return {image_,
            fields_.pagerName,
            fields_.remoteDeleteText,
            host_.isChecked(ctl::Battery),
            host_.isChecked(ctl::Buzzer),
            host_.isChecked(ctl::RemoteDelete)};
}

void MainDialog::applyConfiguration(const PagerConfiguration& config)
{
    image_ = config.image;
    fields_.pagerName = config.pagerName;
    fields_.remoteDeleteText = config.remoteDeleteText;
    host_.setChecked(ctl::Battery, config.battery);
    host_.setChecked(ctl::Buzzer, config.buzzer);
    host_.setChecked(ctl::RemoteDelete, config.remoteDelete);
}

PagerConfiguration MainDialog::configurationFromForm() const
{
    PagerConfiguration config = heldConfiguration();
    takeRows(config.image, pageOffset(), fields_.callerTexts, fields_.kitchenTexts, fields_.kitchenKeys,
             fields_.kitchenStations);
    return config;
}

// Judged on what the controls show this moment, which may be newer than the
// form variables the timer took last.
bool MainDialog::hasUnsavedChanges() const
{
    PagerConfiguration shown = configurationFromForm();
    shown.pagerName = host_.controlText(ctl::PagerName);
    shown.remoteDeleteText = host_.controlText(ctl::RemoteDeleteText);
    RowTexts callers, kitchens, keys, stations;
    for (int r = 1; r <= Rows; ++r) {
        callers[r] = host_.controlText(ctl::callerText(r));
        kitchens[r] = host_.controlText(ctl::kitchenText(r));
        keys[r] = host_.controlText(ctl::kitchenKey(r));
        stations[r] = host_.controlText(ctl::kitchenStation(r));
    }
    takeRows(shown.image, pageOffset(), callers, kitchens, keys, stations);
    return !sameConfiguration(shown, keptConfiguration_);
}

void MainDialog::showClockGroup(bool visible)
{
    for (const int id : ctl::ClockControls)
        host_.setVisible(id, visible);
}

void MainDialog::showRepeaterClockFor(std::uint8_t ticks)
{
    showClockGroup(true);
    clockDisplayTicks_ = ticks;
}

// "Aktiv" is the link's to show; the user cannot click it. A tick on an
// open link says so every time; the box is set only when it changes.
void MainDialog::setActive(bool active)
{
    if (host_.isChecked(ctl::Active) != active)
        host_.setChecked(ctl::Active, active);
}

void MainDialog::stopUiTimer() { host_.stopTimer(ctl::UiTimerId); }

void MainDialog::startUiTimer() { host_.startTimer(ctl::UiTimerId, ctl::UiTimerPeriodMs); }

}  // namespace harvelin
