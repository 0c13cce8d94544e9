#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <cstdint>
#include <string>
#include <vector>

#include "device/link_watch.h"
#include "dialog_rig.h"
#include "form_results.h"
#include "session_rig.h"

namespace harvelin {
namespace {

constexpr const char* LearnOn = ">Setze Lernmodus:1";
constexpr const char* LearnOff = ">Setze Lernmodus:0";
const std::string RanOut = "Lernzeit abgelaufen, kein Rufknopf empfangen";

std::string duplicateOf(int slot) { return "Teilnehmer ist schon an Position:" + std::to_string(slot) + " eingetragen!"; }

// Learn mode and the link watch on the session, ticked as a front end's
// 100 ms timer ticks them.
class LearnModeTest : public ::testing::Test {
protected:
    void SetUp() override { rig.connect(); }

    void startLearn(int slot) { ASSERT_EQ(rig.session.startLearn(rig.events, slot).start, LearnStart::TakenUp); }
    // A tick of the timer falls due 100 ms after the previous one began, or
    // at once when that one ran longer; the duplicates are looked for in
    // `lower`.
    TimerTick timerTick()
    {
        rig.clock.advanceTo(lastTickAt + LearnWindow::TickPeriodMs);
        lastTickAt = rig.clock.nowMs();
        return rig.session.timerTick(rig.events, LearnWindow::LowerSlots(lower.data(), LearnWindow::DuplicateSlots), false);
    }
    LearnStep tick()
    {
        const TimerTick t = timerTick();
        EXPECT_TRUE(t.learning);
        return t.learn;
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            tick();
    }
    void press(std::array<std::uint8_t, 5> id) { rig.fromPager(rig.pager->pressButton(id)); }
    int learningSlot() const { return rig.session.learnWindow().slot(); }

    SessionRig rig;
    std::array<CallerEntry, LearnWindow::DuplicateSlots> lower{};
    std::int64_t lastTickAt = 0;
};

// The numbers of a report give the identity and its suffix; it goes into the
// slot learn mode was started for, and learn mode ends on the pager.
TEST_F(LearnModeTest, ReportGoesIntoTheSlotLearnModeWasStartedFor)
{
    struct Case {
        const char* line;
        std::uint32_t id;
        std::uint8_t suffix;
    };
    const Case cases[] = {
        {"Tischsender:200 3 0 0 7 77\r", 968, 7},
        {"Tischsender:200 3 0 0 7\r", 968, 0},
        {"Tischsender:200 3 0 0 7 ende\r", 968, 0},
        {"200 3 0 0 7 77\r", 768, 7},  // no colon: the first number is 0
        {"ID: 1 2 3 4 5 6\r", 0x04030201, 5},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.line);
        SessionRig fresh;
        fresh.connect();
        ASSERT_EQ(fresh.session.startLearn(fresh.events, 21).start, LearnStart::TakenUp);
        EXPECT_EQ(fresh.session.statusLine(), "Lernzeit:  8 Sekunden");
        fresh.fromPager(c.line);
        const LearnStep step = fresh.session.learnTick(fresh.events, LearnWindow::LowerSlots(lower.data(), LearnWindow::DuplicateSlots));
        EXPECT_EQ(step.tick.storeSlot, 21);
        ASSERT_TRUE(step.tick.reported.has_value());
        EXPECT_EQ(step.tick.reported->buttonIdValue(), c.id);
        EXPECT_EQ(step.tick.reported->suffix, c.suffix);
        EXPECT_TRUE(step.tick.ended);
        EXPECT_EQ(step.tick.modeExit, LearnModeExit::Confirmed);
        EXPECT_FALSE(fresh.session.learning());
        EXPECT_EQ(fresh.pager->commands(), (std::vector<std::string>{LearnOn, LearnOff}));
        EXPECT_FALSE(fresh.pager->state().learnMode);
    }
}

TEST_F(LearnModeTest, ReportWithTooFewNumbersIsIgnoredAndWindowGoesOn)
{
    startLearn(4);
    // A number no byte holds names no button either.
    rig.fromPager("Tischsender:300 1 0 0 2 9\r");
    EXPECT_EQ(tick().tick.storeSlot, 0);
    rig.fromPager("Tischsender:1 2 3\r");
    EXPECT_EQ(tick().tick.storeSlot, 0);
    EXPECT_EQ(learningSlot(), 4);
    EXPECT_EQ(rig.countCommand(LearnOff), 0);
    ticks(8);
    EXPECT_EQ(tick().statusLine, "Lernzeit:  7 Sekunden");
    press({5, 0, 0, 0, 0});
    const LearnStep step = tick();
    EXPECT_EQ(step.tick.storeSlot, 4);
    EXPECT_EQ(step.tick.reported->buttonIdValue(), 5u);
}

// A button one of slots 1..16 holds (a report of zeros matches the first
// free one) is refused with its slot; learn mode ends on the pager only
// once that was told. Slots 17..32 are not looked at.
TEST_F(LearnModeTest, KnownButtonIsRefusedWithItsSlotBeforeLearnModeEnds)
{
    struct Case {
        int slot;
        std::array<std::uint8_t, 5> pressed;
        std::string notice;  // none: learned
    };
    const Case cases[] = {
        {5, {200, 3, 0, 0, 7}, duplicateOf(5)},
        {9, {0, 0, 0, 0, 0}, duplicateOf(3)},
        {7, {11, 0, 0, 0, 1}, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.slot);
        SessionRig fresh;
        fresh.connect();
        PagerConfiguration config = startConfiguration();
        config.image.callers[0].buttonId = {1, 0, 0, 0};
        config.image.callers[1].buttonId = {2, 0, 0, 0};
        config.image.callers[4].buttonId = {200, 3, 0, 0};
        config.image.callers[4].idSuffix = 7;
        config.image.callers[19].buttonId = {11, 0, 0, 0};
        config.image.callers[19].idSuffix = 1;
        std::size_t commandsAtNotice = 0;
        fresh.events.onNotice = [&](const std::string&) { commandsAtNotice = fresh.pager->commands().size(); };
        ASSERT_EQ(fresh.session.startLearn(fresh.events, c.slot).start, LearnStart::TakenUp);
        fresh.fromPager(fresh.pager->pressButton(c.pressed));
        const PagerConfiguration before = config;
        EXPECT_TRUE(fresh.session.runLearnWindow(fresh.events, config).ended);

        const bool learned = c.notice.empty();
        EXPECT_EQ(fresh.events.notices, learned ? std::vector<std::string>{} : std::vector<std::string>{c.notice});
        if (!learned) {
            EXPECT_EQ(commandsAtNotice, 1u);  // only ">Setze Lernmodus:1" had gone out
        }
        EXPECT_EQ(fresh.pager->commands(), (std::vector<std::string>{LearnOn, LearnOff}));
        ASSERT_EQ(fresh.events.learnEnds.size(), 1u);
        EXPECT_EQ(fresh.events.learnEnds[0].stored, learned);
        const CallerEntry& slot = config.image.callers[static_cast<std::size_t>(c.slot - 1)];
        EXPECT_EQ(slot.buttonIdValue(), learned ? 11u : before.image.callers[c.slot - 1].buttonIdValue());
        EXPECT_FALSE(fresh.session.learning());
    }
}

// A USB adapter hands over whatever its buffer holds: the report is taken
// however many reads it is spread over, behind another line in the same
// read, and only the first of two reports in one read counts.
TEST_F(LearnModeTest, ReportIsTakenHoweverTheLineHandsItOver)
{
    const std::string report = "Tischsender:1 0 0 0 4 77\r";
    const auto inParts = [&](std::size_t parts) {
        std::vector<std::string> reads;
        const std::size_t size = (report.size() + parts - 1) / parts;
        for (std::size_t at = 0; at < report.size(); at += size)
            reads.push_back(report.substr(at, size));
        return reads;
    };
    const std::vector<std::vector<std::string>> cases = {
        inParts(1), inParts(2), inParts(3), inParts(7),
        {"Lernmodus uebernommen\r\n" + report},
        {report + "Tischsender:9 9 9 9 9 77\r"},
        // A line longer than the buffer is given up up to its CR.
        {std::string(LearnWindow::LineCapacity + 100, '7'), "\r\n" + report},
    };
    for (const auto& reads : cases) {
        SCOPED_TRACE(reads.front().substr(0, 30) + " in " + std::to_string(reads.size()) + " reads");
        startLearn(1);
        LearnStep step;
        bool dropped = false;
        const auto listen = [&] {
            step = tick();
            dropped = dropped || step.tick.overlongLineDropped;
            EXPECT_LE(rig.session.learnWindow().lineLength(), LearnWindow::LineCapacity);
        };
        for (const std::string& read : reads) {
            ASSERT_EQ(learningSlot(), 1);
            rig.fromPager(read);
            listen();
        }
        // A tick takes 100 bytes at most; a long line needs a few more.
        for (int more = 0; more < 5 && learningSlot() == 1; ++more)
            listen();
        EXPECT_EQ(step.tick.storeSlot, 1);
        ASSERT_TRUE(step.tick.reported);
        EXPECT_EQ(step.tick.reported->buttonIdValue(), 1u);
        EXPECT_EQ(step.tick.reported->suffix, 4);
        EXPECT_EQ(dropped, reads.front().size() > LearnWindow::LineCapacity);
    }
}

TEST_F(LearnModeTest, WindowCountsDownAndEndsLearnModeInTheTickReachingZero)
{
    startLearn(6);
    // The seconds are counted by the clock, however long the ticks take.
    const std::int64_t startedAt = rig.clock.nowMs();
    lastTickAt = startedAt;
    int ticks = 0;
    while (learningSlot() != 0 && ticks < 200) {
        const LearnStep step = tick();
        ++ticks;
        const std::int64_t elapsed = lastTickAt - startedAt;
        const int secondsLeft = elapsed >= 8000 ? 0 : 8 - static_cast<int>(elapsed / 1000);
        const std::string shown = secondsLeft == 0   ? RanOut
                                  : secondsLeft == 1 ? std::string("Lernzeit:  1 Sekunde")
                                                     : "Lernzeit:  " + std::to_string(secondsLeft) + " Sekunden";
        ASSERT_EQ(step.statusLine, shown) << elapsed;
        ASSERT_EQ(rig.countCommand(LearnOff), secondsLeft == 0 ? 1 : 0) << elapsed;
    }
    EXPECT_GE(lastTickAt - startedAt, 8000);
    EXPECT_LT(lastTickAt - startedAt, 8000 + 2 * LearnWindow::TickPeriodMs);
    EXPECT_FALSE(rig.pager->state().learnMode);
    // That it ran out stays said until the next action; the timer's ticks
    // are the link watch's again.
    for (int n = 0; n < 3; ++n)
        EXPECT_FALSE(timerTick().learning);
    EXPECT_EQ(rig.session.statusLine(), RanOut);
    EXPECT_EQ(rig.frames().back(), "\x16");
    startLearn(6);
    EXPECT_EQ(rig.session.statusLine(), "Lernzeit:  8 Sekunden");
}

TEST_F(LearnModeTest, SecondLernenRestartsTheWindowForTheNewSlot)
{
    startLearn(6);
    lastTickAt = rig.clock.nowMs();
    ticks(34);
    EXPECT_EQ(tick().statusLine, "Lernzeit:  5 Sekunden");
    startLearn(9);
    EXPECT_EQ(rig.session.statusLine(), "Lernzeit:  8 Sekunden");
    const std::int64_t restartedAt = rig.clock.nowMs();
    while (std::max(lastTickAt + LearnWindow::TickPeriodMs, rig.clock.nowMs()) - restartedAt < 8000)
        tick();
    EXPECT_EQ(learningSlot(), 9);
    tick();
    EXPECT_EQ(learningSlot(), 0);
}

// Without a link "Lernen" sends nothing; that try re-opens the port, so the
// next one works. A pager that never confirms is asked five times.
TEST_F(LearnModeTest, LearnModeNotSentOrNotConfirmedOpensNoWindow)
{
    rig.backend.unplug(rig.port);
    rig.session.readRepeaterStatus(rig.events);
    rig.backend.plug(rig.port);
    ASSERT_EQ(rig.session.linkState(), LinkState::Closed);
    rig.backend.clearEvents();
    EXPECT_EQ(rig.session.startLearn(rig.events, 1).start, LearnStart::NotSent);
    EXPECT_FALSE(rig.session.learning());
    EXPECT_TRUE(rig.frames().empty());
    startLearn(1);
    EXPECT_EQ(learningSlot(), 1);

    SessionRig refusing;
    refusing.connect();
    refusing.faults().noAckFor[LearnOn] = -1;
    EXPECT_EQ(refusing.session.startLearn(refusing.events, 1).start, LearnStart::Refused);
    EXPECT_EQ(refusing.countCommand(LearnOn), 5);
    EXPECT_FALSE(refusing.session.learning());
    EXPECT_EQ(refusing.session.statusLine(), "");
}

// An idle open link gets one keep-alive byte and one drain of up to 100
// bytes per tick; while the line is busy, nothing.
TEST_F(LearnModeTest, LinkWatchKeepsAnIdleLineAliveAndLeavesABusyOneAlone)
{
    for (int n = 0; n < 3; ++n)
        rig.session.watch(true);
    EXPECT_TRUE(rig.backend.events().empty());
    rig.fromPager("stray bytes");
    for (int n = 0; n < 5; ++n) {
        rig.session.watch(false);
        rig.clock.sleepMs(100);
    }
    EXPECT_EQ(rig.frames(), std::vector<std::string>(5, "\x16"));
    EXPECT_TRUE(rig.session.active());
    int reads = 0;
    for (const auto& e : rig.backend.events())
        if (e.kind == sim::SimBackend::Event::Read) {
            EXPECT_EQ(e.requested, 100u);
            ++reads;
        }
    EXPECT_EQ(reads, 5);
    EXPECT_EQ(rig.pager->keepAliveBytes(), 5u);

    // Without a port found it touches nothing.
    SessionRig unfound;
    unfound.session.watch(false);
    EXPECT_TRUE(unfound.backend.events().empty());
    EXPECT_EQ(unfound.session.linkState(), LinkState::Closed);
}

// A line that fell closed under an exchange is re-opened by the link watch;
// "Aktiv" follows on the next tick. (A line lost to the keep-alive itself is
// the fault matrix's.)
TEST_F(LearnModeTest, LinkWatchReopensALineThatFellClosed)
{
    rig.backend.unplug(rig.port);
    rig.session.readRepeaterStatus(rig.events);
    rig.backend.plug(rig.port);
    ASSERT_EQ(rig.session.linkState(), LinkState::Closed);
    rig.session.watch(false);
    EXPECT_EQ(rig.session.linkState(), LinkState::Open);
    EXPECT_FALSE(rig.session.active());
    EXPECT_TRUE(rig.keepAliveOnNextWatch());
    EXPECT_TRUE(rig.session.active());
}

// --- what the form makes of it -------------------------------------------

class LearnFormTest : public ::testing::Test {
protected:
    DialogRig rig;
    MainDialog& dlg = rig.dialog;
    FormResults& results = rig.results;
};

// "Lernen" in a row of the page shown learns into that row's slot; the form
// turns to its page when the button comes, and shows it in its row.
TEST_F(LearnFormTest, ButtonLearnedGoesIntoTheRowsSlotAndTheFormTurnsToIt)
{
    rig.connect();
    dlg.onCommand(ctl::PageUpper);
    dlg.onCommand(ctl::learnButton(5));
    EXPECT_EQ(dlg.session().learnWindow().slot(), 21);
    EXPECT_EQ(rig.text(ctl::StatusLine), "Lernzeit:  8 Sekunden");
    rig.ticks(3);
    rig.host.setChecked(ctl::PageUpper, false);
    rig.host.setChecked(ctl::PageLower, true);
    dlg.onCommand(ctl::PageLower);
    rig.fromPager(rig.pager->pressButton({200, 3, 0, 0, 7}));
    rig.tick();
    EXPECT_EQ(dlg.image().callers[20].buttonIdValue(), 968u);
    EXPECT_EQ(dlg.image().callers[20].idSuffix, 7);
    EXPECT_EQ(dlg.image().callers[4].buttonIdValue(), 0u);
    EXPECT_EQ(dlg.viewPage(), ViewPage::Upper);
    EXPECT_TRUE(rig.host.isChecked(ctl::PageUpper));
    EXPECT_EQ(rig.text(ctl::idText(5)), "     9687");
    EXPECT_TRUE(results.lastLearnStored);
    EXPECT_TRUE(results.lastLearnModeLeft);
}

// A known button: the message box comes before learn mode ends on the pager.
TEST_F(LearnFormTest, KnownButtonIsToldInAMessageBox)
{
    rig.connect();
    editImage(dlg, [&](PagerImage& image) { image.callers[2].buttonId = {200, 3, 0, 0}; });
    editImage(dlg, [&](PagerImage& image) { image.callers[2].idSuffix = 7; });
    dlg.onCommand(ctl::learnButton(3));
    std::size_t writesAtMessage = 0;
    rig.host.onMessage = [&](const std::string&) { writesAtMessage = rig.commands().size(); };
    rig.fromPager(rig.pager->pressButton({200, 3, 0, 0, 7}));
    rig.tick();
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{duplicateOf(3)});
    EXPECT_EQ(writesAtMessage, 1u);
    EXPECT_EQ(rig.commands(), (std::vector<std::string>{LearnOn, LearnOff}));
    EXPECT_FALSE(results.lastLearnStored);
    EXPECT_EQ(dlg.session().learnWindow().slot(), 0);
}

// The status line shows the window's countdown on every tick, and that it ran
// out on the ticks after, until the next action.
TEST_F(LearnFormTest, StatusLineFollowsTheWindow)
{
    rig.connect();
    dlg.onCommand(ctl::learnButton(6));
    while (dlg.session().learning()) {
        rig.tick();
        ASSERT_EQ(rig.text(ctl::StatusLine), dlg.session().learning() ? dlg.session().learnWindow().statusText() : RanOut);
    }
    rig.ticks(3);
    EXPECT_EQ(rig.text(ctl::StatusLine), RanOut);
    EXPECT_FALSE(results.lastLearnStored);
    dlg.onCommand(ctl::learnButton(6));
    EXPECT_EQ(rig.text(ctl::StatusLine), "Lernzeit:  8 Sekunden");
}

// "Aktiv" follows the link watch; without a port found the tick only
// empties the status line.
TEST_F(LearnFormTest, AktivFollowsTheLinkWatch)
{
    rig.host.setControlText(ctl::StatusLine, "alt");
    rig.ticks(3);
    EXPECT_EQ(rig.text(ctl::StatusLine), "");
    rig.connect();
    rig.host.setChecked(ctl::Active, false);
    rig.tick();
    EXPECT_TRUE(rig.host.isChecked(ctl::Active));
    rig.lineFellClosed();
    rig.tick();
    EXPECT_FALSE(rig.host.isChecked(ctl::Active));
    rig.tick();
    EXPECT_TRUE(rig.host.isChecked(ctl::Active));
}

// A lost line takes "Aktiv" and the repeater's clock group away without a
// word; the group stays hidden when the line is back.
TEST_F(LearnFormTest, LostLineClearsAktivAndTheClockGroupWithoutMessage)
{
    rig.search();
    rig.tick();
    rig.backend.unplug(rig.port);
    rig.ticks(2);
    EXPECT_FALSE(rig.host.isChecked(ctl::Active));
    EXPECT_FALSE(rig.host.isVisible(ctl::ClockGroup));
    EXPECT_FALSE(rig.host.isVisible(ctl::ClockButton));
    rig.backend.plug(rig.port);
    rig.ticks(2);
    EXPECT_TRUE(rig.host.isChecked(ctl::Active));
    EXPECT_TRUE(rig.host.messages.empty());
    rig.ticks(50);
    EXPECT_FALSE(rig.host.isVisible(ctl::ClockGroup));
}

TEST_F(LearnFormTest, ClockGroupIsHiddenAfterFiftyTicks)
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
