#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <filesystem>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "device/link_watch.h"
#include "dialog_rig.h"
#include "files/pager_data_file.h"
#include "form_results.h"
#include "model/conversions.h"
#include "session_rig.h"
#include "test_files.h"

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
    // A tick of the timer falls due a period (100 ms) after the previous one
    // began, or at once when that one ran longer; the duplicates are looked
    // for in `lower`.
    TimerTick timerTick(std::int64_t periodMs = LearnWindow::TickPeriodMs)
    {
        rig.clock.advanceTo(lastTickAt + periodMs);
        lastTickAt = rig.clock.nowMs();
        return rig.session.timerTick(rig.events, LearnWindow::LowerSlots(lower.data(), LearnWindow::DuplicateSlots), false);
    }
    LearnStep tick(std::int64_t periodMs = LearnWindow::TickPeriodMs)
    {
        const TimerTick t = timerTick(periodMs);
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
// slot learn mode was started for, whatever page the form shows, and learn
// mode ends on the pager.
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
        fresh.fromPager(c.line);
        const LearnStep step = fresh.session.learnTick(fresh.events, LearnWindow::LowerSlots(lower.data(), LearnWindow::DuplicateSlots));
        EXPECT_EQ(step.tick.storeSlot, 21);
        ASSERT_TRUE(step.tick.reported.has_value());
        EXPECT_EQ(step.tick.reported->buttonIdValue(), c.id);
        EXPECT_EQ(step.tick.reported->suffix, c.suffix);
        EXPECT_TRUE(step.tick.ended);
        EXPECT_EQ(step.tick.modeExit, LearnModeExit::Confirmed);
        EXPECT_FALSE(fresh.session.learning());
        EXPECT_EQ(fresh.commands(), (std::vector<std::string>{LearnOn, LearnOff}));
        EXPECT_FALSE(fresh.pagerState().learnMode);
        ASSERT_EQ(fresh.events.learnEnds.size(), 1u);
        EXPECT_TRUE(fresh.events.learnEnds[0].stored);
        // The status line, which screen readers announce, says what was learned.
        EXPECT_EQ(step.statusLine, "Tischsender 21: Rufknopf " + idColumnText(c.id, c.suffix) + " gelernt");
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
        EXPECT_EQ(fresh.commands(), (std::vector<std::string>{LearnOn, LearnOff}));
        EXPECT_FALSE(fresh.pagerState().learnMode);
        ASSERT_EQ(fresh.events.learnEnds.size(), 1u);
        EXPECT_EQ(fresh.events.learnEnds[0].stored, learned);
        EXPECT_EQ(fresh.events.learnEnds[0].exit, LearnModeExit::Confirmed);
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

// How a front end runs the learn window: on its 100 ms timer, on a timer
// whose ticks come late, or, as the command line does, without a timer.
enum class Ticking { Timer, LateTimer, NoTimer };

struct WindowRun {
    const char* name;
    Ticking ticking;
    bool pagerConfirmsTheEnd;
    std::int64_t restartAtMs;  // "Lernen" again, for slot 9, this long in; 0: never
};

class LearnWindowRunsOut : public LearnModeTest, public ::testing::WithParamInterface<WindowRun> {};

// What the status line shows this long into the window.
std::string countdown(std::int64_t elapsedMs)
{
    if (elapsedMs >= 8000)
        return RanOut;
    const int left = 8 - static_cast<int>(elapsedMs / 1000);
    return left == 1 ? std::string("Lernzeit:  1 Sekunde") : "Lernzeit:  " + std::to_string(left) + " Sekunden";
}

// The window lasts eight seconds by the clock, however late the ticks come,
// and counts them down on every tick; a second "Lernen" starts it over for
// its slot. The tick that reaches zero ends learn mode on the pager, which
// is asked five times when it does not confirm. That the window ran out
// stays said until the next action, the timer's ticks are the link watch's
// again, and nothing is left to end.
TEST_P(LearnWindowRunsOut, AfterEightSecondsByTheClock)
{
    const WindowRun& run = GetParam();
    if (!run.pagerConfirmsTheEnd)
        rig.faults().noAckFor[LearnOff] = -1;
    startLearn(6);
    EXPECT_EQ(rig.session.statusLine(), "Lernzeit:  8 Sekunden");
    std::int64_t startedAt = rig.clock.nowMs();
    lastTickAt = startedAt;
    const std::int64_t periodMs = run.ticking == Ticking::LateTimer ? 700 : LearnWindow::TickPeriodMs;
    if (run.ticking == Ticking::NoTimer) {
        PagerConfiguration config = startConfiguration();
        const LearnEnd end = rig.session.runLearnWindow(rig.events, config);
        EXPECT_TRUE(end.ended && !end.stored);
        std::vector<std::string> shown;
        for (int left = 8; left > 1; --left)
            shown.push_back("Lernzeit:  " + std::to_string(left) + " Sekunden");
        shown.push_back("Lernzeit:  1 Sekunde");
        shown.push_back(RanOut);
        EXPECT_EQ(rig.events.learnStatuses, shown);
    } else {
        int slot = 6;
        while (rig.session.learning()) {
            if (run.restartAtMs != 0 && slot == 6 && lastTickAt - startedAt >= run.restartAtMs) {
                startLearn(9);
                EXPECT_EQ(rig.session.statusLine(), "Lernzeit:  8 Sekunden");
                slot = 9;
                startedAt = rig.clock.nowMs();
                rig.forgetTraffic();
            }
            const LearnStep step = tick(periodMs);
            const std::int64_t elapsed = lastTickAt - startedAt;
            ASSERT_EQ(step.statusLine, countdown(elapsed)) << elapsed;
            ASSERT_EQ(learningSlot(), elapsed < 8000 ? slot : 0) << elapsed;
        }
        EXPECT_EQ(slot, run.restartAtMs != 0 ? 9 : 6);
    }
    const std::int64_t leftAfter = rig.firstWriteAt(LearnOff) - startedAt;
    EXPECT_GE(leftAfter, 8000);
    EXPECT_LT(leftAfter, 8000 + 2 * periodMs);
    const int leaveAttempts = run.pagerConfirmsTheEnd ? 1 : 5;
    EXPECT_EQ(rig.countCommand(LearnOff), leaveAttempts);
    ASSERT_FALSE(rig.events.learnEnds.empty());
    EXPECT_FALSE(rig.events.learnEnds.back().stored);
    EXPECT_EQ(rig.events.learnEnds.back().exit,
              run.pagerConfirmsTheEnd ? LearnModeExit::Confirmed : LearnModeExit::Unconfirmed);
    if (run.pagerConfirmsTheEnd) {
        EXPECT_FALSE(rig.pagerState().learnMode);
    }

    const std::size_t endsTold = rig.events.learnEnds.size();
    for (int n = 0; n < 3; ++n)
        EXPECT_FALSE(timerTick().learning);
    EXPECT_EQ(rig.session.statusLine(), RanOut);
    EXPECT_EQ(rig.frames().back(), "\x16");
    rig.session.end(rig.events);
    EXPECT_EQ(rig.countCommand(LearnOff), leaveAttempts);
    EXPECT_EQ(rig.events.learnEnds.size(), endsTold);
}

INSTANTIATE_TEST_SUITE_P(Runs, LearnWindowRunsOut,
                         ::testing::Values(WindowRun{"OnTheTimer", Ticking::Timer, true, 0},
                                           WindowRun{"OnALateTimer", Ticking::LateTimer, true, 0},
                                           WindowRun{"WithoutATimer", Ticking::NoTimer, true, 0},
                                           WindowRun{"UnconfirmedOnTheTimer", Ticking::Timer, false, 0},
                                           WindowRun{"UnconfirmedWithoutATimer", Ticking::NoTimer, false, 0},
                                           WindowRun{"RestartedForAnotherSlot", Ticking::Timer, true, 3500}),
                         [](const auto& test) { return std::string(test.param.name); });

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

// The link watch brings back a line that went away: one the keep-alive
// lost once it is there again, one that fell closed under an exchange at the
// next tick. "Aktiv" is cleared while it is gone and follows on the tick
// after it is back; a busy line is left alone.
TEST_F(LearnModeTest, LinkWatchBringsBackALineThatWentAway)
{
    using Told = std::pair<std::optional<bool>, bool>;  // "Aktiv", and that the line is lost
    const auto watch = [&](bool busy = false) {
        rig.clock.sleepMs(100);
        const LinkWatchResult r = rig.session.watch(busy);
        return Told(r.active, r.lost);
    };
    EXPECT_EQ(watch(), Told(true, false));
    EXPECT_EQ(watch(true), Told(std::nullopt, false));
    rig.backend.unplug(rig.port);
    EXPECT_EQ(watch(), Told(true, false));  // the keep-alive fails
    EXPECT_EQ(rig.session.linkState(), LinkState::Lost);
    EXPECT_EQ(watch(), Told(false, true));
    EXPECT_FALSE(rig.session.active());
    rig.backend.plug(rig.port);
    EXPECT_EQ(watch(), Told(false, true));
    EXPECT_EQ(rig.session.linkState(), LinkState::Open);
    EXPECT_EQ(watch(), Told(true, false));
    EXPECT_TRUE(rig.session.active());

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

// "Lernen" in a row learns into the slot the row shows. When the button
// comes while the other page is shown, the form turns back to the row's page
// and shows the identity in the row; the status line then says what the
// session learned.
TEST_F(LearnFormTest, LearnedButtonIsShownInItsRowOnItsPage)
{
    struct Case {
        bool upper;
        int row;
    };
    for (const Case c : {Case{false, 4}, Case{true, 5}}) {
        SCOPED_TRACE(c.row + (c.upper ? 16 : 0));
        DialogRig fresh;
        fresh.connect();
        MainDialog& form = fresh.dialog;
        const auto show = [&](bool upper) {
            fresh.host.setChecked(ctl::PageUpper, upper);
            fresh.host.setChecked(ctl::PageLower, !upper);
            form.onCommand(upper ? ctl::PageUpper : ctl::PageLower);
        };
        const std::size_t slot = static_cast<std::size_t>(c.row + (c.upper ? 16 : 0));
        const std::size_t sameRowOtherPage = static_cast<std::size_t>(c.row + (c.upper ? 0 : 16));
        show(c.upper);
        form.onCommand(ctl::learnButton(c.row));
        fresh.ticks(3);
        show(!c.upper);
        fresh.fromPager(fresh.pager->pressButton({200, 3, 0, 0, 7}));
        fresh.tick();
        EXPECT_EQ(form.image().callers[slot - 1].buttonIdValue(), 968u);
        EXPECT_EQ(form.image().callers[slot - 1].idSuffix, 7);
        EXPECT_EQ(form.image().callers[sameRowOtherPage - 1].buttonIdValue(), 0u);
        EXPECT_EQ(form.viewPage(), c.upper ? ViewPage::Upper : ViewPage::Lower);
        EXPECT_TRUE(fresh.host.isChecked(c.upper ? ctl::PageUpper : ctl::PageLower));
        EXPECT_FALSE(fresh.host.isChecked(c.upper ? ctl::PageLower : ctl::PageUpper));
        EXPECT_EQ(fresh.text(ctl::idText(c.row)), "     9687");
        EXPECT_TRUE(fresh.results.lastLearnStored);
        EXPECT_TRUE(fresh.results.lastLearnModeLeft);
        fresh.tick();
        EXPECT_EQ(fresh.text(ctl::StatusLine), form.session().statusLine());
        EXPECT_TRUE(fresh.text(ctl::StatusLine).ends_with(" gelernt"));
    }
}

// "Lernen", then "Datei öffnen" at once: the button pressed while the file
// dialog is open goes into the slot after the file, and the form counts as
// changed since the file.
TEST_F(LearnFormTest, ButtonPressedWhileAFileOpensGoesInAfterTheFile)
{
    rig.connect();
    TempDir dir;
    const std::filesystem::path path = dir.path() / "gesichert.pag";
    dlg.onCommand(ctl::learnButton(15));
    std::string error;
    ASSERT_TRUE(PagerDataFile::save(path.string(), dlg.configurationFromForm(), error));
    rig.host.fileDialogAnswers.push_back(path.string());
    rig.host.onFileDialog = [&] {
        rig.fromPager(rig.pager->pressButton({11, 22, 33, 44, 5}), 50);
        rig.ticks(5);
    };
    dlg.onCommand(ctl::OpenFileButton);
    EXPECT_EQ(dlg.image().callers[14].buttonId, (std::array<std::uint8_t, 4>{11, 22, 33, 44}));
    EXPECT_EQ(rig.text(ctl::idText(15)), dlg.fields().idTexts[15]);
    EXPECT_TRUE(dlg.hasUnsavedChanges());
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

// The status line shows the session's on every tick of the window and on
// the ticks after, and a new "Lernen" shows it at once.
TEST_F(LearnFormTest, StatusLineFollowsTheWindow)
{
    rig.connect();
    dlg.onCommand(ctl::learnButton(6));
    while (dlg.session().learning()) {
        rig.tick();
        ASSERT_EQ(rig.text(ctl::StatusLine), dlg.session().statusLine());
    }
    rig.ticks(3);
    EXPECT_EQ(rig.text(ctl::StatusLine), dlg.session().statusLine());
    EXPECT_FALSE(rig.text(ctl::StatusLine).empty());
    EXPECT_FALSE(results.lastLearnStored);
    dlg.onCommand(ctl::learnButton(6));
    EXPECT_EQ(rig.text(ctl::StatusLine), dlg.session().statusLine());
    EXPECT_NE(rig.text(ctl::StatusLine), RanOut);
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
