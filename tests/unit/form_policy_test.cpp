// What both desktop forms decide alike: what an edit takes, the title's
// change mark, and how the input is held while a click's work runs.
#include <gtest/gtest.h>

#include <algorithm>
#include <optional>
#include <set>
#include <string>
#include <vector>

#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/dialog_layout.h"
#include "ui/form_policy.h"

namespace harvelin {
namespace {

struct EditCase {
    int id;
    std::string text;
    bool mayHold;
};

void PrintTo(const EditCase& c, std::ostream* out) { *out << c.id << " \"" << c.text << '"'; }

class EditsTake : public ::testing::TestWithParam<EditCase> {};

TEST_P(EditsTake, WhatTheirFieldMayHold)
{
    EXPECT_EQ(fieldMayHold(fieldInput(GetParam().id), GetParam().text), GetParam().mayHold);
}

INSTANTIATE_TEST_SUITE_P(
    Form, EditsTake,
    ::testing::Values(
        // "Taste" and "Station": a number from 0 to 255, or nothing for 0.
        EditCase{ctl::kitchenKey(1), "255", true}, EditCase{ctl::kitchenKey(1), "", true},
        EditCase{ctl::kitchenKey(1), "256", false}, EditCase{ctl::kitchenStation(16), "12a", false},
        EditCase{ctl::kitchenStation(16), "0", true},
        // The fields beside them take text, digits too, but no control characters.
        EditCase{ctl::kitchenText(16), "999", true}, EditCase{ctl::callerText(1), "Bar\tTheke", false},
        EditCase{ctl::PagerName, win1252("Küche"), true}, EditCase{ctl::RemoteDeleteText, "", true}));

TEST(FormTitle, MarksChangesAfterTheName)
{
    EXPECT_EQ(windowTitle("Harvelin - kueche.pag", true), "Harvelin - kueche.pag*");
    EXPECT_EQ(windowTitle("Harvelin", false), "Harvelin");
}

bool holds(const std::vector<int>& ids, int id) { return std::find(ids.begin(), ids.end(), id) != ids.end(); }

// Held, the form takes out what the user acts on and keeps the dialog's
// word on enabling for the end; "Abbrechen" with the focus goes only after
// the focus is back.
TEST(InputHold, TakesOutWhatTheUserActsOnUntilTheWorkIsDone)
{
    InputHold hold(layout::mainForm());
    const std::set<int> disabled = {ctl::Active, ctl::BootloaderButton};
    const auto isEnabled = [&](int id) { return disabled.count(id) == 0; };

    const std::vector<int> off = hold.begin(ctl::ReadButton, isEnabled);
    for (const int id : {ctl::SearchButton, ctl::PortList, ctl::PagerName, ctl::Buzzer, ctl::PageUpper,
                         ctl::kitchenKey(2), ctl::learnButton(3), ctl::Ok})
        EXPECT_TRUE(holds(off, id)) << id;
    for (const int id : {ctl::Cancel, ctl::StatusLine, ctl::Progress, ctl::ClockGroup, ctl::Active})
        EXPECT_FALSE(holds(off, id)) << id;
    EXPECT_TRUE(hold.held());
    EXPECT_TRUE(hold.begin(ctl::SearchButton, isEnabled).empty());

    EXPECT_FALSE(hold.enableNow(ctl::BootloaderButton, true, false));
    EXPECT_FALSE(hold.enableNow(ctl::WriteButton, false, false));
    EXPECT_TRUE(hold.enableNow(ctl::Cancel, true, true));
    EXPECT_TRUE(hold.enableNow(ctl::Progress, false, true));
    EXPECT_FALSE(hold.hideCancelNow(true));

    const std::optional<InputHold::End> end = hold.end();
    ASSERT_TRUE(end);
    EXPECT_TRUE(holds(end->enable, ctl::BootloaderButton));
    EXPECT_FALSE(holds(end->enable, ctl::WriteButton));
    EXPECT_TRUE(holds(end->enable, ctl::SearchButton));
    EXPECT_TRUE(end->hideCancel);
    EXPECT_FALSE(hold.end());
    EXPECT_TRUE(hold.enableNow(ctl::WriteButton, true, false));
    EXPECT_TRUE(hold.hideCancelNow(true));
}

struct FocusCase {
    const char* name;
    int before;
    std::vector<int> asked;
    int back;
    bool wasAsked;
};

void PrintTo(const FocusCase& c, std::ostream* out) { *out << c.name; }

class FocusAfterTheHold : public ::testing::TestWithParam<FocusCase> {};

TEST_P(FocusAfterTheHold, GoesWhereTheKeyboardWas)
{
    InputHold hold(layout::mainForm());
    hold.begin(GetParam().before, [](int) { return true; });
    for (const int id : GetParam().asked)
        EXPECT_EQ(hold.focusNow(id), id == ctl::Cancel) << id;
    const std::optional<InputHold::End> end = hold.end();
    ASSERT_TRUE(end);
    EXPECT_EQ(end->focus, GetParam().back);
    EXPECT_EQ(end->focusAsked, GetParam().wasAsked);
    EXPECT_TRUE(hold.focusNow(ctl::PagerName));
}

INSTANTIATE_TEST_SUITE_P(
    Form, FocusAfterTheHold,
    ::testing::Values(FocusCase{"back to the control it left", ctl::SearchButton, {}, ctl::SearchButton, false},
                      FocusCase{"to the last control the dialog asked for", ctl::SearchButton,
                                {ctl::PagerName, ctl::kitchenKey(2)}, ctl::kitchenKey(2), true},
                      FocusCase{"Abbrechen takes it at once", ctl::ReadButton, {ctl::Cancel}, ctl::ReadButton, false},
                      FocusCase{"nowhere when it was nowhere", layout::NoId, {}, layout::NoId, false}));

}  // namespace
}  // namespace harvelin
