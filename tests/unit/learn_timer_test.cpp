#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <memory>
#include <string>

#include "device/link_watch.h"
#include "form_results.h"
#include "device_rig.h"

namespace harvelin {
namespace {

constexpr const char* LearnOn = ">Setze Lernmodus:1";
constexpr const char* LearnOff = ">Setze Lernmodus:0";

class LearnModeTest : public ::testing::Test {
protected:
    void SetUp() override { rig.connect(); }

    // "Lernen" in this row of the page shown, confirmed by the pager.
    void startLearn(int row)
    {
        rig.dialog.onCommand(ctl::learnButton(row));
        ASSERT_EQ(learningSlot(), row + (rig.dialog.viewPage() == ViewPage::Upper ? 16 : 0));
    }
    // Ticks as long as the next one falls due less than `ms` after `since`.
    void ticksWithin(std::int64_t since, std::int64_t ms)
    {
        while (std::max(rig.lastTickAt + ctl::UiTimerPeriodMs, rig.clock.nowMs()) - since < ms)
            rig.tick();
    }
    // The caller slot the open learn window is for; 0: none is open.
    int learningSlot() { return rig.dialog.session().learnWindow().slot(); }
    void press(std::array<std::uint8_t, 5> id) { rig.fromPager(rig.pager->pressButton(id)); }
    void storeInSlot(int slot, std::array<std::uint8_t, 4> id, std::uint8_t suffix)
    {
        editImage(rig.dialog, [&](PagerImage& image) { image.callers[slot - 1].buttonId = id; });
        editImage(rig.dialog, [&](PagerImage& image) { image.callers[slot - 1].idSuffix = suffix; });
    }

    DeviceRig rig;
    MainDialog& dlg = rig.dialog;
    FormResults& results = rig.results;
};

TEST_F(LearnModeTest, ButtonLearnedOnUpperPageGoesIntoSlotOfTheRow)
{
    dlg.onCommand(ctl::PageUpper);
    startLearn(5);
    EXPECT_EQ(rig.text(ctl::StatusLine), "Lernzeit:  8 Sekunden");
    rig.tick();
    press({200, 3, 0, 0, 7});
    rig.tick();

    const CallerEntry& slot21 = dlg.image().callers[20];
    EXPECT_EQ(slot21.buttonIdValue(), 968u);
    EXPECT_EQ(slot21.idSuffix, 7);
    EXPECT_EQ(rig.text(ctl::idText(5)), "     9687");
    EXPECT_EQ(dlg.image().callers[4].buttonIdValue(), 0u);
    EXPECT_EQ(learningSlot(), 0);
    EXPECT_TRUE(results.lastLearnStored);
    EXPECT_EQ(rig.commands(), (std::vector<std::string>{LearnOn, LearnOff}));
    EXPECT_FALSE(rig.pager->state().learnMode);
}

TEST_F(LearnModeTest, SlotIsTheOnePressedForAndTheFormTurnsToItsPage)
{
    dlg.onCommand(ctl::PageUpper);
    startLearn(5);
    rig.ticks(3);
    rig.host.setChecked(ctl::PageUpper, false);
    rig.host.setChecked(ctl::PageLower, true);
    dlg.onCommand(ctl::PageLower);
    press({9, 0, 0, 0, 1});
    rig.tick();
    EXPECT_EQ(dlg.image().callers[20].buttonIdValue(), 9u);
    EXPECT_EQ(dlg.image().callers[4].buttonIdValue(), 0u);
    EXPECT_EQ(dlg.viewPage(), ViewPage::Upper);
    EXPECT_TRUE(rig.host.isChecked(ctl::PageUpper));
    EXPECT_EQ(rig.text(ctl::idText(5)), "       91");
}

TEST_F(LearnModeTest, ReportLineNumbersGiveIdentityAndSuffix)
{
    struct Case {
        const char* line;
        std::uint32_t id;
        std::uint8_t suffix;
        const char* shown;
    };
    const Case cases[] = {
        {"Tischsender:200 3 0 0 7 77\r", 968, 7, "     9687"},
        {"Tischsender:200 3 0 0 7\r", 968, 0, "     9680"},
        {"Tischsender:200 3 0 0 7 ende\r", 968, 0, "     9680"},
        {"200 3 0 0 7 77\r", 768, 7, "     7687"},              // no colon: the first number is 0
        {"ID: 1 2 3 4 5 6\r", 0x04030201, 5, "673059855"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        DeviceRig fresh;
        fresh.connect();
        fresh.dialog.onCommand(ctl::learnButton(2));
        fresh.fromPager(c.line);
        fresh.tick();
        EXPECT_EQ(fresh.dialog.image().callers[1].buttonIdValue(), c.id);
        EXPECT_EQ(fresh.dialog.image().callers[1].idSuffix, c.suffix);
        EXPECT_EQ(fresh.text(ctl::idText(2)), c.shown);
        EXPECT_EQ(fresh.countCommand(LearnOff), 1);
    }
}

TEST_F(LearnModeTest, ReportWithTooFewNumbersIsIgnoredAndWindowGoesOn)
{
    startLearn(4);
    // A number no byte holds names no button either.
    rig.fromPager("Tischsender:300 1 0 0 2 9\r");
    rig.tick();
    EXPECT_EQ(dlg.image().callers[3].buttonIdValue(), 0u);
    rig.fromPager("Tischsender:1 2 3\r");
    rig.tick();
    EXPECT_EQ(learningSlot(), 4);
    EXPECT_EQ(dlg.image().callers[3].buttonIdValue(), 0u);
    EXPECT_EQ(rig.countCommand(LearnOff), 0);
    rig.ticks(9);
    EXPECT_EQ(rig.text(ctl::StatusLine), "Lernzeit:  7 Sekunden");
    press({5, 0, 0, 0, 0});
    rig.tick();
    EXPECT_EQ(dlg.image().callers[3].buttonIdValue(), 5u);
}

TEST_F(LearnModeTest, KnownButtonIsRefusedWithItsSlotBeforeLearnModeEnds)
{
    storeInSlot(3, {200, 3, 0, 0}, 7);
    startLearn(3);
    std::size_t writesAtMessage = 0;
    rig.host.onMessage = [&](const std::string&) { writesAtMessage = rig.commands().size(); };
    press({200, 3, 0, 0, 7});
    rig.tick();

    EXPECT_EQ(rig.host.messages, (std::vector<std::string>{"Teilnehmer ist schon an Position:3 eingetragen!"}));
    EXPECT_EQ(writesAtMessage, 1u);  // only ">Setze Lernmodus:1" had gone out
    EXPECT_EQ(rig.commands(), (std::vector<std::string>{LearnOn, LearnOff}));
    EXPECT_FALSE(results.lastLearnStored);
    EXPECT_EQ(learningSlot(), 0);
}

TEST_F(LearnModeTest, OnlyLowerSlotsAreSearchedForTheSameButton)
{
    storeInSlot(20, {11, 0, 0, 0}, 1);
    startLearn(7);
    press({11, 0, 0, 0, 1});
    rig.tick();
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_EQ(dlg.image().callers[6].buttonIdValue(), 11u);
    EXPECT_TRUE(results.lastLearnStored);
}

TEST_F(LearnModeTest, AllZeroReportMatchesTheFirstFreeSlot)
{
    storeInSlot(1, {1, 0, 0, 0}, 0);
    storeInSlot(2, {2, 0, 0, 0}, 0);
    startLearn(9);
    press({0, 0, 0, 0, 0});
    rig.tick();
    EXPECT_EQ(rig.host.messages, (std::vector<std::string>{"Teilnehmer ist schon an Position:3 eingetragen!"}));
}

TEST_F(LearnModeTest, ReportSplitOverTwoReadsIsTakenOverThreeIsLost)
{
    startLearn(1);
    rig.fromPager("Tischsender:1 0 0");
    rig.tick();
    rig.fromPager(" 0 4 77\r");
    rig.tick();
    EXPECT_EQ(dlg.image().callers[0].buttonIdValue(), 1u);
    EXPECT_EQ(dlg.image().callers[0].idSuffix, 4);

    startLearn(2);
    rig.fromPager("Tischsender:2 0");
    rig.tick();
    rig.fromPager(" 0 0");
    rig.tick();
    rig.fromPager(" 4 77\r");
    rig.tick();
    EXPECT_EQ(learningSlot(), 2);
    EXPECT_EQ(dlg.image().callers[1].buttonIdValue(), 0u);
}

TEST_F(LearnModeTest, WindowCountsDownAndEndsLearnModeInTheTickReachingZero)
{
    const std::string ranOut = "Lernzeit abgelaufen, kein Rufknopf empfangen";
    startLearn(6);
    // The seconds are counted by the clock, however long the ticks take.
    const std::int64_t startedAt = rig.clock.nowMs();
    int ticks = 0;
    while (learningSlot() != 0 && ticks < 200) {
        rig.tick();
        ++ticks;
        const std::int64_t elapsed = rig.lastTickAt - startedAt;
        const int secondsLeft = elapsed >= 8000 ? 0 : 8 - static_cast<int>(elapsed / 1000);
        const std::string shown = secondsLeft == 0   ? ranOut
                                  : secondsLeft == 1 ? std::string("Lernzeit:  1 Sekunde")
                                                     : "Lernzeit:  " + std::to_string(secondsLeft) + " Sekunden";
        ASSERT_EQ(rig.text(ctl::StatusLine), shown) << elapsed;
        ASSERT_EQ(rig.countCommand(LearnOff), secondsLeft == 0 ? 1 : 0) << elapsed;
    }
    EXPECT_GE(rig.lastTickAt - startedAt, 8000);
    EXPECT_LT(rig.lastTickAt - startedAt, 8000 + 2 * ctl::UiTimerPeriodMs);
    EXPECT_EQ(learningSlot(), 0);
    EXPECT_FALSE(rig.pager->state().learnMode);
    EXPECT_FALSE(results.lastLearnStored);
    // That it ran out stays said until the next action.
    rig.ticks(3);
    EXPECT_EQ(rig.text(ctl::StatusLine), ranOut);
    EXPECT_EQ(rig.writes().back(), "\x16");  // the link watch is back
    startLearn(6);
    EXPECT_EQ(rig.text(ctl::StatusLine), "Lernzeit:  8 Sekunden");
}

TEST_F(LearnModeTest, SecondLernenRestartsTheWindowForTheNewRow)
{
    startLearn(6);
    rig.ticks(35);
    EXPECT_EQ(rig.text(ctl::StatusLine), "Lernzeit:  5 Sekunden");
    startLearn(9);
    EXPECT_EQ(rig.text(ctl::StatusLine), "Lernzeit:  8 Sekunden");
    ticksWithin(rig.clock.nowMs(), 8000);
    EXPECT_EQ(learningSlot(), 9);
    rig.tick();
    EXPECT_EQ(learningSlot(), 0);
}

TEST_F(LearnModeTest, LernenWithoutLinkSaysSoOnceAndNextPressWorks)
{
    rig.lineFellClosed();
    dlg.onCommand(ctl::learnButton(1));
    EXPECT_EQ(rig.host.messages, (std::vector<std::string>{"Es besteht keine Verbindung zum Zelvatron!"}));
    EXPECT_EQ(learningSlot(), 0);
    EXPECT_TRUE(rig.writes().empty());
    // That exchange re-opened the port.
    dlg.onCommand(ctl::learnButton(1));
    EXPECT_EQ(learningSlot(), 1);
}

TEST_F(LearnModeTest, UnconfirmedLearnModeIsTriedFiveTimesSilently)
{
    rig.pager->faults().noAckFor[LearnOn] = -1;
    dlg.onCommand(ctl::learnButton(1));
    EXPECT_EQ(rig.countCommand(LearnOn), 5);
    EXPECT_EQ(learningSlot(), 0);
    EXPECT_TRUE(rig.host.messages.empty());
    EXPECT_EQ(rig.text(ctl::StatusLine), "");
}

class LinkWatchTest : public ::testing::Test {
protected:
    DeviceRig rig;
    MainDialog& dlg = rig.dialog;
    FormResults& results = rig.results;
};

TEST_F(LinkWatchTest, IdleOpenLinkGetsOneKeepAliveByteAndOneDrainPerTick)
{
    rig.connect();
    rig.host.setChecked(ctl::Active, false);
    rig.fromPager("stray bytes");
    rig.ticks(5);
    EXPECT_EQ(rig.writes(), std::vector<std::string>(5, "\x16"));
    EXPECT_TRUE(rig.host.isChecked(ctl::Active));
    int reads = 0;
    for (const auto& e : rig.backend.events())
        if (e.kind == sim::SimBackend::Event::Read) {
            EXPECT_EQ(e.requested, 100u);
            ++reads;
        }
    EXPECT_EQ(reads, 5);
    EXPECT_EQ(rig.pager->keepAliveBytes(), 5u);
}

TEST_F(LinkWatchTest, WithoutFoundPortOnlyStatusLineIsEmptied)
{
    rig.host.setControlText(ctl::StatusLine, "alt");
    rig.backend.clearEvents();
    rig.ticks(3);
    EXPECT_TRUE(rig.backend.events().empty());
    EXPECT_EQ(rig.text(ctl::StatusLine), "");
    EXPECT_EQ(dlg.session().linkState(), LinkState::Closed);
}

TEST_F(LinkWatchTest, LeavesTheLinkAloneWhileDeviceIsBusy)
{
    rig.connect();
    // The form's ticks are left out while its work runs; the link watch
    // itself does nothing while told the line is busy.
    for (int n = 0; n < 3; ++n)
        dlg.session().watch(true);
    EXPECT_TRUE(rig.backend.events().empty());
    rig.tick();
    EXPECT_EQ(rig.writes(), std::vector<std::string>{"\x16"});
}

TEST_F(LinkWatchTest, LostLineClearsAktivAndComesBackWithoutMessage)
{
    rig.search();
    rig.tick();
    rig.backend.unplug(DeviceRig::Port);
    rig.tick();  // the keep-alive fails
    EXPECT_EQ(dlg.session().linkState(), LinkState::Lost);
    rig.tick();
    EXPECT_EQ(dlg.session().linkState(), LinkState::Lost);
    EXPECT_FALSE(rig.host.isChecked(ctl::Active));
    EXPECT_FALSE(rig.host.isVisible(ctl::ClockGroup));
    EXPECT_FALSE(rig.host.isVisible(ctl::ClockButton));

    rig.backend.plug(DeviceRig::Port);
    rig.tick();
    EXPECT_EQ(dlg.session().linkState(), LinkState::Open);
    rig.backend.clearEvents();
    rig.tick();
    EXPECT_TRUE(rig.host.isChecked(ctl::Active));
    EXPECT_EQ(rig.writes(), std::vector<std::string>{"\x16"});
    EXPECT_TRUE(rig.host.messages.empty());
    // The clock group the search showed stays hidden.
    rig.ticks(50);
    EXPECT_FALSE(rig.host.isVisible(ctl::ClockGroup));
}

TEST_F(LinkWatchTest, ClosedLinkIsReopenedAndAktivFollowsOnTheNextTick)
{
    rig.connect();
    rig.lineFellClosed();
    rig.tick();
    EXPECT_EQ(dlg.session().linkState(), LinkState::Open);
    EXPECT_FALSE(rig.host.isChecked(ctl::Active));
    rig.tick();
    EXPECT_TRUE(rig.host.isChecked(ctl::Active));
}

TEST_F(LinkWatchTest, ClockGroupIsHiddenAfterFiftyTicks)
{
    rig.search();
    rig.ticks(49);
    EXPECT_TRUE(rig.host.isVisible(ctl::ClockGroup));
    rig.tick();
    for (const int id : ctl::ClockControls)
        EXPECT_FALSE(rig.host.isVisible(id));
}

}  // namespace
}  // namespace harvelin
