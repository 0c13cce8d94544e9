#include "ui/form_policy.h"

#include <algorithm>

#include "model/configuration_rule.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

FieldInput fieldInput(int id)
{
    const bool number = id > ctl::kitchenKey(0) && id <= ctl::kitchenStation(MainDialog::KitchenRows);
    return number ? FieldInput::Number : FieldInput::Text;
}

bool fieldMayHold(FieldInput input, std::string_view text)
{
    if (input == FieldInput::Number)
        return !checkFormField(Field::Key, text);
    return isShowableText(text);
}

std::string windowTitle(const std::string& title, bool modified) { return modified ? title + "*" : title; }

namespace {

bool takesInput(layout::Kind kind)
{
    switch (kind) {
    case layout::Kind::Button:
    case layout::Kind::DefaultButton:
    case layout::Kind::Check:
    case layout::Kind::Radio:
    case layout::Kind::Edit:
    case layout::Kind::ReadOnlyEdit:
    case layout::Kind::List:
    case layout::Kind::TextList: return true;
    case layout::Kind::Static:
    case layout::Kind::Group:
    case layout::Kind::Progress:
    case layout::Kind::Icon: return false;
    }
    return false;
}

}  // namespace

InputHold::InputHold(const layout::Dialog& form)
{
    for (const layout::Control& c : form.controls)
        if (c.id != layout::NoId && c.id != ctl::Cancel && takesInput(c.kind))
            takesInput_.push_back(c.id);
}

bool InputHold::takesOut(int id) const
{
    return std::find(takesInput_.begin(), takesInput_.end(), id) != takesInput_.end();
}

std::vector<int> InputHold::begin(int focused, const std::function<bool(int id)>& isEnabled)
{
    if (held_)
        return {};
    held_ = true;
    focusBefore_ = focused;
    focusAsked_.reset();
    cancelHidesAtEnd_ = false;
    disabledByHold_.clear();
    for (const int id : takesInput_)
        if (isEnabled(id))
            disabledByHold_.push_back(id);
    return disabledByHold_;
}

bool InputHold::enableNow(int id, bool enabled, bool enabledNow)
{
    if (!held_ || !takesOut(id))
        return true;
    const auto it = std::find(disabledByHold_.begin(), disabledByHold_.end(), id);
    if (enabled && it == disabledByHold_.end() && !enabledNow)
        disabledByHold_.push_back(id);
    else if (!enabled && it != disabledByHold_.end())
        disabledByHold_.erase(it);
    return false;
}

bool InputHold::focusNow(int id)
{
    if (!held_ || id == ctl::Cancel)
        return true;
    focusAsked_ = id;
    return false;
}

bool InputHold::hideCancelNow(bool cancelHasFocus)
{
    cancelHidesAtEnd_ = held_ && cancelHasFocus;
    return !cancelHidesAtEnd_;
}

std::optional<InputHold::End> InputHold::end()
{
    if (!held_)
        return std::nullopt;
    End end;
    end.enable = std::move(disabledByHold_);
    end.focusAsked = focusAsked_.has_value();
    end.focus = focusAsked_.value_or(focusBefore_);
    end.hideCancel = cancelHidesAtEnd_;
    held_ = false;
    disabledByHold_.clear();
    focusBefore_ = layout::NoId;
    focusAsked_.reset();
    cancelHidesAtEnd_ = false;
    return end;
}

}  // namespace harvelin
