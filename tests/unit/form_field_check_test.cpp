// A field that holds what it may not: the timer's exchange leaves it without
// a word, and the actions that need every field name it once and stop.

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/win1252.h"
#include "test_rig.h"
#include "ui/control_ids.h"

namespace harvelin {
namespace {

void tick(MainDialog& dialog, int times)
{
    for (int i = 0; i < times; ++i)
        dialog.onTimer(ctl::UiTimerId);
}

TEST(FormFieldCheck, TicksLeaveRefusedFieldsWithoutAMessage)
{
    TestRig rig;
    rig.dialog.OnInitDialog();
    rig.host.setControlText(ctl::kitchenKey(1), "999");
    rig.host.setControlText(ctl::kitchenStation(2), "ab");
    rig.host.setControlText(ctl::kitchenText(3), "Bar\tTheke");
    rig.host.setControlText(ctl::PagerName, "Pager:Station15");

    tick(rig.dialog, 30);  // three seconds of the timer

    EXPECT_TRUE(rig.host.messages.empty());
    const FormFields& fields = rig.dialog.fields();
    EXPECT_EQ(fields.kitchenKeys[1], "1");
    EXPECT_EQ(fields.kitchenStations[2], "1");
    EXPECT_EQ(fields.kitchenTexts[3], "Station 3");
    EXPECT_EQ(fields.pagerName, "Pager:A");
    // Left as typed, for the next action to name.
    EXPECT_EQ(rig.host.controlText(ctl::kitchenKey(1)), "999");
    EXPECT_EQ(rig.host.controlText(ctl::PagerName), "Pager:Station15");
}

struct Action {
    const char* name;
    int button;
    // Whether the action went on past the check.
    std::function<bool(const MemoryHost&)> wentOn;
};

void PrintTo(const Action& action, std::ostream* out) { *out << action.name; }

class ActionsNeedingEveryField : public ::testing::TestWithParam<Action> {};

TEST_P(ActionsNeedingEveryField, NameTheFieldOnceAndStop)
{
    TestRig rig;
    rig.dialog.OnInitDialog();
    rig.host.setControlText(ctl::kitchenKey(3), "999");
    tick(rig.dialog, 3);

    rig.dialog.onCommand(GetParam().button);

    const std::string named = "Küchenrufe, Zeile 3, Taste: Taste \"999\" ist keine Zahl von 0 bis 255";
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{win1252(named)});
    EXPECT_EQ(rig.host.focus, ctl::kitchenKey(3));
    EXPECT_TRUE(rig.host.questions.empty());
    EXPECT_FALSE(GetParam().wentOn(rig.host));

    // Put right, the same click goes on.
    rig.host.setControlText(ctl::kitchenKey(3), "3");
    rig.dialog.onCommand(GetParam().button);
    EXPECT_TRUE(GetParam().wentOn(rig.host));
}

INSTANTIATE_TEST_SUITE_P(
    Form, ActionsNeedingEveryField,
    ::testing::Values(
        // Without a pager, a write that goes on says so.
        Action{"PcToPager", ctl::WriteButton, [](const MemoryHost& h) { return h.messages.size() > 1; }},
        Action{"SpeichernUnter", ctl::SaveFileButton, [](const MemoryHost& h) { return !h.fileDialogs.empty(); }},
        Action{"Beenden", ctl::Ok, [](const MemoryHost& h) { return h.ended.has_value(); }}),
    [](const ::testing::TestParamInfo<Action>& param) { return std::string(param.param.name); });

// The message names the field by the group it stands in, the row as its
// label shows it, and the column.
TEST(FormFieldCheck, MessageNamesGroupRowAndColumn)
{
    struct Case {
        int control;
        std::string typed;
        std::string message;  // UTF-8
    };
    const std::vector<Case> cases = {
        {ctl::callerText(2), "a\tb",
         "Tischsender, Zeile 18, Meldetext: Meldetext \"a\\x09b\" enthält das Steuerzeichen \\x09"},
        {ctl::kitchenStation(16), "256", "Küchenrufe, Zeile 16, Station: Station \"256\" ist keine Zahl von 0 bis 255"},
        {ctl::RemoteDeleteText, "Fernloeschung now",
         "Pager-Einstellungen, Fernlöschtext: Fernlöschtext \"Fernloeschung now\" ist länger als 16 Zeichen"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.typed);
        TestRig rig;
        rig.dialog.OnInitDialog();
        rig.dialog.onCommand(ctl::PageUpper);
        rig.host.setControlText(c.control, c.typed);
        rig.dialog.onCommand(ctl::SaveFileButton);
        EXPECT_EQ(rig.host.messages, std::vector<std::string>{win1252(c.message)});
        EXPECT_EQ(rig.host.focus, c.control);
    }
}

}  // namespace
}  // namespace harvelin
