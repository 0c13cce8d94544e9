#include "ui/dialog_layout.h"

#include "model/build_info.h"
#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "ui/texts.h"

namespace harvelin::layout {

namespace {

int rowY(int r) { return 40 + 16 * (r - 1); }

std::string text(FormText id) { return std::string(localized(id)); }

}  // namespace

Dialog mainForm()
{
    Dialog d{"Harvelin", 596, 319, "Arial", 8, {}};
    std::vector<Control>& t = d.controls;
    // Texts are in the language chosen, as Windows-1252, built on each call.
    // A button's or a group's "&" marks its Alt shortcut, no letter twice on
    // a page; labels show "&" as it is.
    auto add = [&t](Kind kind, int id, std::string text, int x, int y, int w, int h, unsigned flags = Plain) {
        t.push_back({kind, id, std::move(text), x, y, w, h, flags});
    };
    add(Kind::Static, NoId, text(FormText::FormHeading), 212, 4, 200, 8);

    add(Kind::Group, NoId, text(FormText::SystemGroup), 8, 16, 128, 44);
    add(Kind::Button, ctl::SearchButton, text(FormText::SearchButton), 20, 28, 60, 12);
    add(Kind::Check, ctl::Active, text(FormText::ActiveCheck), 92, 28, 32, 10, Disabled);
    add(Kind::List, ctl::PortList, {}, 20, 44, 108, 12, Elides);

    add(Kind::Group, NoId, text(FormText::PagerGroup), 8, 64, 128, 100);
    add(Kind::Static, NoId, text(FormText::PagerNameLabel), 32, 76, 42, 8);
    add(Kind::Edit, ctl::PagerName, {}, 32, 84, 64, 12);
    add(Kind::Check, ctl::Battery, text(FormText::BatteryCheck), 32, 100, 71, 10);
    add(Kind::Check, ctl::Buzzer, text(FormText::BuzzerCheck), 32, 112, 71, 10);
    add(Kind::Check, ctl::RemoteDelete, text(FormText::RemoteDeleteCheck), 32, 124, 71, 10);
    add(Kind::Static, NoId, text(FormText::RemoteDeleteTextLabel), 32, 136, 44, 8);
    add(Kind::Edit, ctl::RemoteDeleteText, {}, 32, 144, 76, 12);

    add(Kind::Group, NoId, text(FormText::DataGroup), 8, 168, 128, 68);
    add(Kind::Progress, ctl::Progress, {}, 12, 180, 116, 8);
    add(Kind::Button, ctl::ReadButton, text(FormText::ReadButton), 12, 196, 56, 12);
    add(Kind::Button, ctl::WriteButton, text(FormText::WriteButton), 76, 196, 56, 12);
    add(Kind::Button, ctl::OpenFileButton, text(FormText::OpenFileButton), 12, 216, 56, 12);
    add(Kind::Button, ctl::SaveFileButton, text(FormText::SaveFileButton), 76, 216, 56, 12);

    // The repeater clock, shown for a few seconds after a search found one.
    add(Kind::Group, ctl::ClockGroup, text(FormText::ClockGroup), 8, 244, 128, 48);
    add(Kind::Static, ctl::SystemTime, std::string("12:00"), 36, 260, 19, 8);
    add(Kind::Static, ctl::RepeaterTime, std::string("12:00"), 76, 260, 19, 8);
    add(Kind::Button, ctl::ClockButton, text(FormText::ClockButton), 16, 276, 114, 10);

    add(Kind::Group, NoId, text(FormText::CallerGroup), 144, 16, 284, 300);
    add(Kind::Static, NoId, text(FormText::MessageColumn), 180, 28, 40, 8);
    add(Kind::Static, NoId, text(FormText::CallButtonIdColumn), 248, 28, 44, 8);
    add(Kind::Static, ctl::StatusLine, std::string("0"), 304, 28, 116, 8, Elides);
    for (int r = 1; r <= MainDialog::Rows; ++r) {
        const int y = rowY(r);
        add(Kind::Static, ctl::rowLabel(r), std::to_string(r), 148, y + 4, r <= 6 ? 12 : 8, 8);
        add(Kind::Edit, ctl::callerText(r), {}, 164, y, 68, 12);
        add(Kind::ReadOnlyEdit, ctl::idText(r), {}, 240, y, 56, 12);
        add(Kind::Button, ctl::learnButton(r), text(FormText::LearnButton), 304, y, 56, 12);
        add(Kind::Button, ctl::deleteButton(r), text(FormText::DeleteButton), 368, y, 56, 12);
    }
    add(Kind::Radio, ctl::PageLower, std::string("1..16"), 164, 300, 32, 10);
    add(Kind::Radio, ctl::PageUpper, std::string("17..32"), 208, 300, 36, 10);
    add(Kind::Button, ctl::BootloaderButton, text(FormText::BootloaderButton), 304, 296, 120, 12, Hidden | Disabled);

    add(Kind::Group, NoId, text(FormText::KitchenGroup), 436, 16, 156, 300);
    add(Kind::Static, NoId, text(FormText::MessageColumn), 460, 28, 40, 8);
    add(Kind::Static, NoId, text(FormText::KeyColumn), 536, 32, 20, 8);
    add(Kind::Static, NoId, text(FormText::StationColumn), 560, 24, 24, 8);
    add(Kind::Static, NoId, text(FormText::AddressColumn), 560, 32, 28, 8);
    for (int r = 1; r <= MainDialog::KitchenRows; ++r) {
        const int y = rowY(r);
        add(Kind::Static, NoId, std::to_string(r), r <= 9 ? 448 : 444, y + 4, 8, 8);
        add(Kind::Edit, ctl::kitchenText(r), {}, 456, y, 68, 12);
        add(Kind::Edit, ctl::kitchenKey(r), {}, 536, y, 20, 12);
        add(Kind::Edit, ctl::kitchenStation(r), {}, 564, y, 20, 12);
    }

    add(Kind::DefaultButton, ctl::Ok, text(FormText::QuitButton), 76, 304, 56, 12);
    add(Kind::Button, ctl::Cancel, text(FormText::CancelButton), 12, 304, 56, 12, Hidden);
    return d;
}

Dialog aboutBox()
{
    Dialog d{text(FormText::AboutCaption), 235, 55, "MS Sans Serif", 8, {}};
    d.controls.push_back({Kind::Icon, AppIconId, {}, 11, 17, 20, 20});
    d.controls.push_back({Kind::Static, NoId, text(FormText::AboutVersion), 40, 10, 119, 8});
    d.controls.push_back({Kind::Static, NoId, text(FormText::AboutPurpose), 40, 25, 119, 8});
    // Below the two lines, as wide as the box allows under the OK button.
    d.controls.push_back({Kind::Static, NoId, win1252(aboutCommitLine()), 40, 40, 188, 8});
    d.controls.push_back({Kind::DefaultButton, AboutOkId, text(FormText::OkButton), 178, 7, 50, 14});
    return d;
}

std::string shownText(const Control& control)
{
    if (control.kind == Kind::Static)
        return control.text;
    std::string shown;
    for (std::size_t i = 0; i < control.text.size(); ++i) {
        if (control.text[i] == '&' && i + 1 < control.text.size())
            ++i;
        shown += control.text[i];
    }
    return shown;
}

Dialog linesBox()
{
    Dialog d{text(FormText::LinesCaption), 320, 176, "MS Sans Serif", 8, {}};
    d.controls.push_back({Kind::Static, LinesHeadingId, {}, 7, 7, 306, 18});
    d.controls.push_back({Kind::TextList, LinesListId, {}, 7, 28, 306, 120});
    d.controls.push_back({Kind::DefaultButton, AboutOkId, text(FormText::OkButton), 263, 155, 50, 14});
    return d;
}

std::string aboutEntryText() { return text(FormText::AboutEntry); }

std::vector<MenuEntry> systemMenu()
{
    return {{CompareCommand, text(FormText::CompareEntry), false},
            {VerifyAfterWriteCommand, text(FormText::VerifyAfterWriteEntry), true},
            {SheetCommand, text(FormText::SheetEntry), false},
            {AboutCommand, aboutEntryText(), false}};
}

}  // namespace harvelin::layout
