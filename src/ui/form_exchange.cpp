// The form's data exchange: the controls to the form variables and back,
// each editable field checked by the model's rule as it is taken; and the
// form variables and the rows shown to the image and the configuration.
#include <cstdio>
#include <vector>

#include "model/conversions.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

namespace {

// Key and station are numbers up to 255: three characters. A longer text from
// the pager or a file is still shown whole; the hosts widen the limit to it.
constexpr int KitchenNumberChars = 3;

// A bound control and its variable. An editable field names what it holds
// and the row it stands in, as the row's label shows it (0: no rows).
struct Binding {
    int id;
    std::string* text;
    std::optional<Field> field;  // none: display only, never checked
    int row = 0;
};

bool isNumberField(Field field) { return field == Field::Key || field == Field::Station; }

int inputLimit(Field field)
{
    return isNumberField(field) ? KitchenNumberChars : static_cast<int>(maxLength(field));
}

// Where the form shows a field, by its group's title, the row and the
// column's heading (Windows-1252).
std::string placeOf(const Binding& b)
{
    const std::string row = std::to_string(b.row);
    switch (*b.field) {
    case Field::CallerText: return localized(FormText::CallerTextPlace, {row});
    case Field::KitchenText: return localized(FormText::KitchenTextPlace, {row});
    case Field::Key: return localized(FormText::KitchenKeyPlace, {row});
    case Field::Station: return localized(FormText::KitchenStationPlace, {row});
    case Field::PagerName: return std::string(localized(FormText::PagerNamePlace));
    case Field::RemoteDeleteText: return std::string(localized(FormText::RemoteDeleteTextPlace));
    default: return {};
    }
}

// The bindings, in the order the exchange goes through them; the page radio
// is exchanged before the one at `radioAt`.
std::vector<Binding> bindingsOf(FormFields& f, int pageOffset, std::size_t& radioAt)
{
    constexpr int Rows = FormFields::Rows;
    std::vector<Binding> bindings;
    bindings.reserve(6 * Rows + 8);
    for (int r = 1; r <= Rows; ++r) {
        bindings.push_back({ctl::callerText(r), &f.callerTexts[r], Field::CallerText, r + pageOffset});
        bindings.push_back({ctl::idText(r), &f.idTexts[r], std::nullopt});
    }
    bindings.push_back({ctl::StatusLine, &f.statusText, std::nullopt});
    bindings.push_back({ctl::PagerName, &f.pagerName, Field::PagerName});
    for (int r = 1; r <= FormFields::KitchenRows; ++r) {
        bindings.push_back({ctl::kitchenText(r), &f.kitchenTexts[r], Field::KitchenText, r});
        bindings.push_back({ctl::kitchenKey(r), &f.kitchenKeys[r], Field::Key, r});
        bindings.push_back({ctl::kitchenStation(r), &f.kitchenStations[r], Field::Station, r});
    }
    for (int r = 1; r <= Rows; ++r)
        bindings.push_back({ctl::rowLabel(r), &f.rowLabels[r], std::nullopt});
    radioAt = bindings.size();
    bindings.push_back({ctl::RemoteDeleteText, &f.remoteDeleteText, Field::RemoteDeleteText});
    bindings.push_back({ctl::RepeaterTime, &f.repeaterTimeText, std::nullopt});
    bindings.push_back({ctl::SystemTime, &f.systemTimeText, std::nullopt});
    return bindings;
}

using RowTexts = std::array<std::string, MainDialog::Rows + 1>;

// The rows of the form into the slots they show. The exchange took only
// fields that pass checkFormField: a key or station is a byte, or empty for 0.
void takeRows(PagerImage& image, int pageOffset, const RowTexts& callerTexts, const RowTexts& kitchenTexts,
              const RowTexts& kitchenKeys, const RowTexts& kitchenStations)
{
    for (int r = 1; r <= MainDialog::Rows; ++r)
        image.callers[r - 1 + pageOffset].text.assign(callerTexts[r]);
    for (int r = 1; r <= MainDialog::KitchenRows; ++r) {
        KitchenCallEntry& slot = image.kitchenCalls[r - 1];
        slot.text.assign(kitchenTexts[r]);
        slot.station = byteFromText(kitchenStations[r]).value_or(0);
        slot.key = byteFromText(kitchenKeys[r]).value_or(0);
    }
}

}  // namespace

std::optional<Problem> checkFormField(Field field, std::string_view text)
{
    if (!isNumberField(field))
        return checkText(field, text);
    // An empty key or station is the number 0, as it always was.
    std::uint8_t value = 0;
    return text.empty() ? std::nullopt : checkByte(field, text, value);
}

// Display-only fields (statics and the read-only "Rufknopf-ID" boxes) are
// taken as they are.
std::optional<MainDialog::LeftField> MainDialog::takeControls()
{
    std::size_t radioAt = 0;
    const std::vector<Binding> bindings = bindingsOf(fields_, pageOffset(), radioAt);
    std::optional<LeftField> left;
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        if (i == radioAt) {
            const bool lower = host_.isChecked(ctl::PageLower);
            const bool upper = host_.isChecked(ctl::PageUpper);
            shownChecks_[ctl::PageLower] = lower;
            shownChecks_[ctl::PageUpper] = upper;
            fields_.pageRadio = lower ? 0 : upper ? 1 : -1;
        }
        const Binding& b = bindings[i];
        std::string value = host_.controlText(b.id);
        if (b.field) {
            if (auto problem = checkFormField(*b.field, value)) {
                // What the control is known to show stays the variable's
                // value, so showing the variables does not write over what
                // the user typed.
                if (!left)
                    left = LeftField{b.id, placeOf(b), std::move(*problem)};
                continue;
            }
        }
        if (const auto shown = shownTexts_.find(b.id); shown == shownTexts_.end() || shown->second != value)
            titleStale_ = true;
        shownTexts_[b.id] = value;
        *b.text = std::move(value);
    }
    host_.userChangesTaken();
    return left;
}

bool MainDialog::takeEveryField()
{
    const std::optional<LeftField> left = takeControls();
    if (!left)
        return true;
    host_.messageBox(localized(FormText::RefusedField, {left->place, describe(left->problem)}));
    host_.setFocus(left->controlId);
    return false;
}

bool MainDialog::UpdateData(bool saveAndValidate)
{
    if (saveAndValidate)
        return !takeControls();

    auto showCheck = [this](int id, bool on) {
        const auto shown = shownChecks_.find(id);
        if (shown != shownChecks_.end() && shown->second == on)
            return;
        host_.setChecked(id, on);
        shownChecks_[id] = on;
    };
    std::size_t radioAt = 0;
    const std::vector<Binding> bindings = bindingsOf(fields_, pageOffset(), radioAt);
    for (std::size_t i = 0; i < bindings.size(); ++i) {
        if (i == radioAt) {
            showCheck(ctl::PageLower, fields_.pageRadio == 0);
            showCheck(ctl::PageUpper, fields_.pageRadio == 1);
        }
        const Binding& b = bindings[i];
        if (b.field) {
            const int limit = inputLimit(*b.field);
            int& set = limitsSet_[b.id];
            if (set != limit) {
                host_.setInputLimit(b.id, limit);
                set = limit;
            }
        }
        const auto shown = shownTexts_.find(b.id);
        if (shown != shownTexts_.end() && shown->second == *b.text)
            continue;
        host_.setControlText(b.id, *b.text);
        shownTexts_[b.id] = *b.text;
    }
    return true;
}

void MainDialog::formToImage()
{
    UpdateData(true);  // a field left goes in with the value taken last
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
    host_.pageShown(target);
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
    // Every control shows the new configuration when the variables are next
    // shown, also one that the exchange left holding what the user typed.
    shownTexts_.clear();
    image_ = config.image;
    fields_.pagerName = config.pagerName;
    fields_.remoteDeleteText = config.remoteDeleteText;
    host_.setChecked(ctl::Battery, config.battery);
    host_.setChecked(ctl::Buzzer, config.buzzer);
    host_.setChecked(ctl::RemoteDelete, config.remoteDelete);
    imageToForm();
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
    return !sameConfiguration(shown, session_.kept());
}

}  // namespace harvelin
