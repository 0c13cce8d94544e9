#include "ui/control_names.h"

#include "ui/control_ids.h"
#include "ui/dialog_layout.h"
#include "ui/main_dialog.h"
#include "ui/texts.h"

namespace harvelin::layout {

namespace {

std::string named(FormText pattern, int number) { return localized(pattern, {std::to_string(number)}); }

// A button's or a check box's text as it reads.
std::string shown(FormText id)
{
    return shownText(Control{Kind::Button, NoId, std::string(localized(id)), 0, 0, 0, 0});
}

// The controls named the same on both pages.
std::string fixedName(int id)
{
    switch (id) {
    case ctl::SearchButton: return shown(FormText::SearchButton);
    case ctl::Active: return shown(FormText::ActiveCheck);
    case ctl::PortList: return shown(FormText::PortListName);
    case ctl::PagerName: return shown(FormText::PagerNameName);
    case ctl::Battery: return shown(FormText::BatteryCheck);
    case ctl::Buzzer: return shown(FormText::BuzzerCheck);
    case ctl::RemoteDelete: return shown(FormText::RemoteDeleteCheck);
    case ctl::RemoteDeleteText: return shown(FormText::RemoteDeleteTextName);
    case ctl::Progress: return shown(FormText::ProgressName);
    case ctl::ReadButton: return shown(FormText::ReadButton);
    case ctl::WriteButton: return shown(FormText::WriteButton);
    case ctl::OpenFileButton: return shown(FormText::OpenFileButton);
    case ctl::SaveFileButton: return shown(FormText::SaveFileButton);
    case ctl::SystemTime: return shown(FormText::SystemTimeName);
    case ctl::RepeaterTime: return shown(FormText::RepeaterTimeName);
    case ctl::ClockButton: return shown(FormText::ClockButton);
    case ctl::StatusLine: return shown(FormText::StatusLineName);
    case ctl::PageLower: return shown(FormText::LowerPageName);
    case ctl::PageUpper: return shown(FormText::UpperPageName);
    case ctl::BootloaderButton: return shown(FormText::BootloaderButton);
    case ctl::Ok: return shown(FormText::QuitButton);
    case ctl::Cancel: return shown(FormText::CancelButton);
    default: return {};
    }
}

}  // namespace

std::string accessibleName(int id, ViewPage page)
{
    for (int r = 1; r <= MainDialog::Rows; ++r) {
        const int slot = r + pageOffsetOf(page);
        if (id == ctl::callerText(r))
            return named(FormText::CallerTextName, slot);
        if (id == ctl::idText(r))
            return named(FormText::CallButtonIdName, slot);
        if (id == ctl::learnButton(r))
            return named(FormText::LearnName, slot);
        if (id == ctl::deleteButton(r))
            return named(FormText::DeleteName, slot);
    }
    for (int r = 1; r <= MainDialog::KitchenRows; ++r) {
        if (id == ctl::kitchenText(r))
            return named(FormText::KitchenTextName, r);
        if (id == ctl::kitchenKey(r))
            return named(FormText::KitchenKeyName, r);
        if (id == ctl::kitchenStation(r))
            return named(FormText::KitchenStationName, r);
    }
    return fixedName(id);
}

}  // namespace harvelin::layout
