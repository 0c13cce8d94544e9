#include <gtest/gtest.h>

#include "form_results.h"
#include "model/conversions.h"
#include "model/win1252.h"
#include "dialog_rig.h"
#include "test_rig.h"
#include "ui/control_ids.h"

namespace harvelin {
namespace {

class FormBindingTest : public ::testing::Test {
protected:
    void SetUp() override { rig.dialog.OnInitDialog(); }
    TestRig rig;
    MainDialog& dlg = rig.dialog;
    FormResults& results = rig.results;
    MemoryHost& host = rig.host;
};

TEST_F(FormBindingTest, StartUpFillsKitchenSlotsAndLeavesCallersEmpty)
{
    for (int k = 0; k < 16; ++k) {
        const KitchenCallEntry& slot = dlg.image().kitchenCalls[k];
        EXPECT_EQ(slot.text.str(), "Station " + std::to_string(k + 1));
        EXPECT_EQ(slot.key, k + 1);
        EXPECT_EQ(slot.station, 1);
    }
    for (const CallerEntry& slot : dlg.image().callers) {
        EXPECT_EQ(slot.text.str(), "");
        EXPECT_EQ(slot.buttonIdValue(), 0u);
        EXPECT_EQ(slot.idSuffix, 0);
    }
    EXPECT_EQ(dlg.viewPage(), ViewPage::Lower);
    EXPECT_EQ(host.controlText(ctl::rowLabel(1)), " 1");
    EXPECT_EQ(host.controlText(ctl::rowLabel(9)), " 9");
    EXPECT_EQ(host.controlText(ctl::rowLabel(16)), "16");
    EXPECT_EQ(host.controlText(ctl::idText(1)), "       00");
    EXPECT_EQ(host.controlText(ctl::PagerName), "Pager:A");
    EXPECT_EQ(host.controlText(ctl::RemoteDeleteText), win1252("  Fernlöschung  "));
    EXPECT_TRUE(host.isChecked(ctl::PageLower));
    EXPECT_FALSE(host.isChecked(ctl::PageUpper));
    EXPECT_FALSE(host.isChecked(ctl::Active));
    EXPECT_FALSE(host.isVisible(ctl::ClockGroup));
    EXPECT_FALSE(host.isVisible(ctl::ClockButton));
    EXPECT_TRUE(host.timerRunning(ctl::UiTimerId));
    EXPECT_EQ(host.timers[ctl::UiTimerId], 100u);
    EXPECT_EQ(host.progressHigh, 52);
    EXPECT_EQ(host.controlText(ctl::StatusLine), "");
}

TEST_F(FormBindingTest, PageSwitchKeepsTextsTypedInBothHalves)
{
    host.setControlText(ctl::callerText(2), "Tisch 2");
    dlg.onCommand(ctl::PageUpper);
    EXPECT_EQ(host.controlText(ctl::rowLabel(1)), "17");
    EXPECT_EQ(host.controlText(ctl::rowLabel(16)), "32");
    EXPECT_EQ(host.controlText(ctl::callerText(2)), "");
    host.setControlText(ctl::callerText(2), "Tisch 18");
    dlg.onCommand(ctl::PageLower);
    EXPECT_EQ(host.controlText(ctl::callerText(2)), "Tisch 2");
    EXPECT_EQ(dlg.image().callers[1].text.str(), "Tisch 2");
    EXPECT_EQ(dlg.image().callers[17].text.str(), "Tisch 18");
    EXPECT_EQ(host.controlText(ctl::rowLabel(1)), " 1");
}

TEST_F(FormBindingTest, ChoosingShownPageStoresRowsAndKeepsLabels)
{
    host.setControlText(ctl::rowLabel(1), "xx");
    host.setControlText(ctl::callerText(1), "Bar");
    dlg.onCommand(ctl::PageLower);
    EXPECT_EQ(dlg.image().callers[0].text.str(), "Bar");
    EXPECT_EQ(host.controlText(ctl::rowLabel(1)), "xx");
}

TEST_F(FormBindingTest, DeleteOnUpperPageFreesOnlyTheSlotShown)
{
    editImage(dlg, [&](PagerImage& image) { image.callers[2].setButtonIdValue(77); });
    editImage(dlg, [&](PagerImage& image) { image.callers[18].setButtonIdValue(99); });
    editImage(dlg, [&](PagerImage& image) { image.callers[18].idSuffix = 4; });
    editImage(dlg, [&](PagerImage& image) { image.callers[18].text.assign("Terrasse"); });
    dlg.onCommand(ctl::PageUpper);
    EXPECT_EQ(host.controlText(ctl::idText(3)), "      994");
    dlg.onCommand(ctl::deleteButton(3));
    EXPECT_EQ(dlg.image().callers[18].buttonIdValue(), 0u);
    EXPECT_EQ(dlg.image().callers[18].idSuffix, 0);
    EXPECT_EQ(dlg.image().callers[18].text.str(), "Terrasse");
    EXPECT_EQ(dlg.image().callers[2].buttonIdValue(), 77u);
    EXPECT_EQ(host.controlText(ctl::idText(3)), "       00");
}

// Key and station take decimal digits up to 255, or nothing for 0. Anything
// else is not taken: the field keeps its value, the control what was typed,
// and no message opens.
TEST_F(FormBindingTest, KitchenNumbersTakeOnlyZeroTo255)
{
    for (const std::string bad : {"999", "256", "abc", "-1", " 5", "1a"}) {
        SCOPED_TRACE(bad);
        host.setControlText(ctl::kitchenStation(4), bad);
        EXPECT_FALSE(dlg.UpdateData(true));
        EXPECT_EQ(dlg.fields().kitchenStations[4], "1");
        dlg.UpdateData(false);
        EXPECT_EQ(host.controlText(ctl::kitchenStation(4)), bad);
    }
    EXPECT_TRUE(host.messages.empty());
    host.setControlText(ctl::kitchenStation(4), "1");
    host.setControlText(ctl::kitchenKey(1), "255");
    host.setControlText(ctl::kitchenKey(2), "");
    host.setControlText(ctl::kitchenKey(3), "007");
    dlg.UpdateData(true);
    const PagerImage image = dlg.configurationFromForm().image;
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(image.kitchenCalls[0].key, 255);
    EXPECT_EQ(image.kitchenCalls[1].key, 0);
    EXPECT_EQ(image.kitchenCalls[2].key, 7);
}

TEST_F(FormBindingTest, FourteenCharacterTextKeepsItsTerminatorAtIndex14)
{
    host.setControlText(ctl::callerText(1), "ABCDEFGHIJKLMN");
    dlg.UpdateData(true);
    const PagerImage image = dlg.configurationFromForm().image;
    EXPECT_EQ(image.callers[0].text.bytes[14], 0);
    EXPECT_EQ(image.callers[0].text.str(), "ABCDEFGHIJKLMN");
}

TEST_F(FormBindingTest, ExchangeTakesEveryFieldThatHoldsAndLeavesTheTooLongOne)
{
    host.setControlText(ctl::callerText(1), "Eins");
    host.setControlText(ctl::callerText(2), "FIFTEEN-CHARS!!");
    host.setControlText(ctl::callerText(3), "Drei");
    host.setControlText(ctl::PagerName, "Neu");
    EXPECT_FALSE(dlg.UpdateData(true));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(dlg.fields().callerTexts[1], "Eins");
    EXPECT_EQ(dlg.fields().callerTexts[2], "");
    EXPECT_EQ(dlg.fields().callerTexts[3], "Drei");
    EXPECT_EQ(dlg.fields().pagerName, "Neu");
    EXPECT_EQ(host.controlText(ctl::callerText(2)), "FIFTEEN-CHARS!!");
}

TEST_F(FormBindingTest, DisplayOnlyIdFieldNeverFailsValidation)
{
    host.setControlText(ctl::idText(1), "4294967295255");
    EXPECT_TRUE(dlg.UpdateData(true));
    EXPECT_TRUE(host.messages.empty());
}

TEST_F(FormBindingTest, EditLimitsAreSetWhenVariablesGoToControls)
{
    EXPECT_EQ(host.limits[ctl::callerText(1)], 14);
    EXPECT_EQ(host.limits[ctl::PagerName], 14);
    EXPECT_EQ(host.limits[ctl::RemoteDeleteText], 16);
    EXPECT_EQ(host.limits[ctl::kitchenKey(1)], 3);
    EXPECT_EQ(host.limits.count(ctl::idText(1)), 0u);
}

TEST(FormBinding, BeendenClosesLinkAndEndsDialog)
{
    DialogRig rig;
    rig.connect();
    rig.dialog.onCommand(ctl::Ok);
    EXPECT_EQ(rig.dialog.session().linkState(), LinkState::Closed);
    EXPECT_EQ(rig.dialog.session().portNumber(), 0);
    EXPECT_EQ(rig.host.ended, ctl::Ok);
    // The port is free again for anyone.
    EXPECT_NE(rig.backend.open(rig.port), nullptr);
}

TEST_F(FormBindingTest, BeendenStaysOpenWhenValidationFails)
{
    host.setControlText(ctl::PagerName, "A name too long!");
    dlg.onCommand(ctl::Ok);
    EXPECT_FALSE(host.ended.has_value());
}

TEST(Conversions, NumbersFromTextKeepTheirLowByte)
{
    EXPECT_EQ(numberFromText("7"), 7);
    EXPECT_EQ(numberFromText(""), 0);
    EXPECT_EQ(numberFromText("x"), 0);
    EXPECT_EQ(numberFromText(" 5"), 5);
    EXPECT_EQ(numberFromText("-1"), 255);
    EXPECT_EQ(numberFromText("300"), 44);
    EXPECT_EQ(numberFromText("12abc"), 12);
    EXPECT_EQ(numberFromText("99999999999999999999999"), numberFromText("99999999999999999999999"));
    EXPECT_EQ(idColumnText(0, 0), "       00");
    EXPECT_EQ(idColumnText(345, 2), "     3452");
    EXPECT_EQ(idColumnText(4294967295u, 255), "4294967295255");
    EXPECT_DOUBLE_EQ(decimalFromText("1.5"), 1.5);
    EXPECT_DOUBLE_EQ(decimalFromText("2.62 Direkt"), 2.62);
    EXPECT_DOUBLE_EQ(decimalFromText("abc"), 0.0);
}

TEST(Win1252, ConvertsUmlautsEuroAndRefusesOthers)
{
    EXPECT_EQ(win1252("ö"), "\xF6");
    EXPECT_EQ(win1252("ß€"), "\xDF\x80");
    EXPECT_EQ(win1252ToUtf8("\xF6\xDF\x80"), "öß€");
    EXPECT_FALSE(utf8ToWin1252("Ω").has_value());
    EXPECT_FALSE(utf8ToWin1252("\xC3").has_value());
    // Overlong spellings are refused, the zero byte above all.
    for (const char* overlong : {"\xC0\x80", "\xC1\xBF", "\xE0\x81\x81", "\xE0\x83\xB6"})
        EXPECT_FALSE(utf8ToWin1252(overlong).has_value()) << overlong;
}

}  // namespace
}  // namespace harvelin
