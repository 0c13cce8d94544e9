// The layout table both desktop forms are built from.
#include <gtest/gtest.h>

#include <set>

#include "ui/control_ids.h"
#include "ui/dialog_layout.h"
#include "ui/main_dialog.h"

namespace harvelin {
namespace {

// Every control the form talks to is in the table once, inside the dialog,
// and the controls that start hidden are the clock group's and the two
// buttons that only some moments show.
TEST(DialogLayoutTest, MainFormHoldsEveryControlOnceWithinItsBounds)
{
    const layout::Dialog form = layout::mainForm();
    std::set<int> ids;
    std::set<int> hidden;
    for (const layout::Control& c : form.controls) {
        EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.width <= form.width && c.y + c.height <= form.height)
            << "control " << c.id;
        if (c.id == layout::NoId)
            continue;
        EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " twice";
        if (c.flags & layout::Hidden)
            hidden.insert(c.id);
    }
    std::set<int> expected = {ctl::SearchButton, ctl::Active,       ctl::PortList,    ctl::PagerName,
                              ctl::Battery,      ctl::Buzzer,       ctl::RemoteDelete, ctl::RemoteDeleteText,
                              ctl::Progress,     ctl::ReadButton,   ctl::WriteButton, ctl::OpenFileButton,
                              ctl::SaveFileButton, ctl::StatusLine, ctl::PageLower,   ctl::PageUpper,
                              ctl::BootloaderButton, ctl::Ok,       ctl::Cancel};
    for (const int id : ctl::ClockControls)
        expected.insert(id);
    for (int r = 1; r <= MainDialog::Rows; ++r)
        expected.insert({ctl::rowLabel(r), ctl::callerText(r), ctl::idText(r), ctl::learnButton(r),
                         ctl::deleteButton(r)});
    for (int r = 1; r <= MainDialog::KitchenRows; ++r)
        expected.insert({ctl::kitchenText(r), ctl::kitchenKey(r), ctl::kitchenStation(r)});
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(hidden, (std::set<int>{ctl::BootloaderButton, ctl::Cancel}));
    EXPECT_EQ(form.fontName, "Arial");
    EXPECT_EQ(form.width, 596);
    EXPECT_EQ(form.height, 319);
}

}  // namespace
}  // namespace harvelin
