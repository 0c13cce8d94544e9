#include <gtest/gtest.h>

#include <cstdint>
#include <string>
#include <vector>

#include "form_results.h"
#include "dialog_rig.h"
#include "model/win1252.h"

namespace harvelin {
namespace {

using Event = sim::SimBackend::Event;

// An exchange without presence check on the link's time-outs: the 100 ms
// wait, then a read of up to 200 bytes that runs its full 201 ms.
constexpr std::int64_t ExchangeMs = 100 + 201;

std::int64_t firstWriteAt(const PagerLine& rig, const std::string& command)
{
    for (const Event& e : rig.backend.events())
        if (e.kind == Event::Write && e.bytes == "\x16" + command + "\r")
            return e.atMs;
    return -1;
}

class OptionSwitchTest : public ::testing::Test {
protected:
    void SetUp() override { rig.connect(); }
    void click(int id, bool ticked)
    {
        rig.backend.clearEvents();
        rig.host.setChecked(id, ticked);
        rig.dialog.onCommand(id);
    }
    DialogRig rig;
};

TEST_F(OptionSwitchTest, EachBoxSendsTheTextOfItsNewStateWithThePagerName)
{
    struct Case {
        int box;
        bool ticked;
        const char* command;
    };
    const Case cases[] = {
        {ctl::Buzzer, false, ">Setze E_Vibration:1Pager:A"},
        {ctl::Buzzer, true, ">Setze E_Vibration:3Pager:A"},
        {ctl::Battery, true, ">Setze Debug:1Pager:A"},
        {ctl::Battery, false, ">Setze Debug:0Pager:A"},
        {ctl::RemoteDelete, true, ">Setze Modus_Fernloeschung:3Pager:A"},
        {ctl::RemoteDelete, false, ">Setze Modus_Fernloeschung:0Pager:A"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        click(c.box, c.ticked);
        EXPECT_EQ(rig.frames(), std::vector<std::string>{"\x16" + std::string(c.command) + "\r"});
    }
    EXPECT_EQ(rig.pager->state().vibration, 3u);
    EXPECT_EQ(rig.pager->state().remoteDeleteMode, 0u);
}

// A switch the pager did not confirm is named; the box keeps its new state.
TEST_F(OptionSwitchTest, OnlyCapitalisedAcknowledgementEndsTheAttempts)
{
    const std::vector<std::string> refused{win1252("Der Pager hat die Einstellung nicht übernommen. Der Pager "
                                                   "antwortete: \"Wert uebernommen\\r\\n\"")};
    rig.pager->faults().replaceReply[">Setze Debug"] = "Wert uebernommen\r\n";
    click(ctl::Battery, true);
    EXPECT_EQ(rig.countCommand(">Setze Debug:1Pager:A"), 4);
    EXPECT_EQ(rig.host.messages, refused);
    EXPECT_TRUE(rig.host.isChecked(ctl::Battery));

    rig.pager->faults().replaceReply[">Setze Debug"] = "Wert Uebernommen\r\n";
    click(ctl::Battery, false);
    EXPECT_EQ(rig.countCommand(">Setze Debug:0Pager:A"), 1);
    EXPECT_EQ(rig.host.messages, refused);

    // A confirmation that comes after every attempt's window is no answer.
    rig.pager->faults().delayFor[">Setze Debug"] = 3000;
    click(ctl::Battery, true);
    EXPECT_FALSE(rig.results.lastSwitchConfirmed);
    EXPECT_EQ(rig.host.messages.size(), 2u);
}

TEST_F(OptionSwitchTest, EmptyPagerNameSendsTheSwitchTextAlone)
{
    rig.host.setControlText(ctl::PagerName, "");
    rig.tick();  // the timer takes the form
    click(ctl::Battery, true);
    ASSERT_FALSE(rig.frames().empty());
    EXPECT_EQ(rig.frames().front(), "\x16>Setze Debug:1\r");
}

TEST_F(OptionSwitchTest, NothingIsSentWithoutAktiv)
{
    SessionEvents none;
    rig.dialog.session().end(none);
    click(ctl::Buzzer, true);
    EXPECT_TRUE(rig.backend.events().empty());
    EXPECT_TRUE(rig.host.isChecked(ctl::Buzzer));
    EXPECT_TRUE(rig.host.messages.empty());
}

class RepeaterClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.connect();
        rig.clock.setLocalTime({10, 20, 0});
        repeater().repeaterHour = 7;
        repeater().repeaterMinute = 5;
    }
    sim::PagerState& repeater() { return rig.pager->state(); }
    // Reads the repeater's status as the search does after finding the pager.
    RepeaterStatus readStatus()
    {
        SessionEvents none;
        return dlg.session().readRepeaterStatus(none);
    }
    DialogRig rig;
    MainDialog& dlg = rig.dialog;
    FormResults& results = rig.results;
};

TEST_F(RepeaterClockTest, StatusReadGivesRepeaterTimeAndPcTime)
{
    const std::int64_t start = rig.clock.nowMs();
    const RepeaterStatus status = readStatus();
    EXPECT_TRUE(status.reported);
    EXPECT_EQ(status.repeaterTime, "07:05");
    EXPECT_EQ(status.systemTime, "10:20");
    EXPECT_EQ(rig.countCommand(">Setze Repeatertest:1"), 1);
    EXPECT_EQ(rig.countCommand(">Lese Repeaterstatus"), 5);  // also after a good first answer
    EXPECT_EQ(firstWriteAt(rig, ">Lese Repeaterstatus") - start, ExchangeMs + 500);
    EXPECT_EQ(rig.clock.nowMs() - start, ExchangeMs + 500 + 5 * (ExchangeMs + 1));
}

TEST_F(RepeaterClockTest, SearchShowsRepeaterTimeBesidePcTime)
{
    rig.search();
    EXPECT_EQ(rig.text(ctl::RepeaterTime), "07:05");
    EXPECT_EQ(rig.text(ctl::SystemTime), "10:20");
    for (const int id : ctl::ClockControls)
        EXPECT_TRUE(rig.host.isVisible(id));
}

TEST_F(RepeaterClockTest, TimeOutOfRangeShowsError)
{
    struct Case {
        unsigned hour, minute;
        const char* shown;
    };
    for (const Case& c : {Case{23, 59, "23:59"}, Case{24, 0, "Error"}, Case{0, 60, "Error"}}) {
        SCOPED_TRACE(c.shown);
        repeater().repeaterHour = c.hour;
        repeater().repeaterMinute = c.minute;
        EXPECT_EQ(readStatus().repeaterTime, c.shown);
    }
}

TEST_F(RepeaterClockTest, LastStatusAnswerDecidesTheResult)
{
    int statusReads = 0;
    // After the fourth answer, the fifth differs.
    rig.pager->onCommand = [&](std::size_t) {
        if (rig.commands().back() == ">Lese Repeaterstatus" && ++statusReads == 4)
            repeater().repeaterStatus = 0;
    };
    const RepeaterStatus status = readStatus();
    EXPECT_FALSE(status.reported);
    EXPECT_EQ(status.repeaterTime, "07:05");  // from the earlier good answers
}

TEST_F(RepeaterClockTest, StatusZeroLeavesTheTextsAlone)
{
    repeater().repeaterStatus = 0;
    const RepeaterStatus status = readStatus();
    EXPECT_FALSE(status.reported);
    EXPECT_FALSE(status.repeaterTime);
    EXPECT_FALSE(status.systemTime);

    // The form keeps what it shows.
    rig.search();
    EXPECT_EQ(dlg.fields().repeaterTimeText, "");
    EXPECT_EQ(dlg.fields().systemTimeText, "");
}

TEST_F(RepeaterClockTest, StatusAnswerWithoutTimeShowsError)
{
    for (const char* answer : {"Repeaterstatus aktuell\r\n", "Repeaterstatus aktuell: 1\r\n",
                               "Repeaterstatus aktuell: 1 07\r\n", "Repeaterstatus aktuell: 1 xx yy\r\n"}) {
        SCOPED_TRACE(answer);
        rig.pager->faults().replaceReply[">Lese Repeaterstatus"] = answer;
        const RepeaterStatus status = readStatus();
        EXPECT_TRUE(status.reported);
        EXPECT_EQ(status.repeaterTime, "Error");
        EXPECT_EQ(status.systemTime, "10:20");
    }
}

TEST_F(RepeaterClockTest, MinutesBehindALineBreakAreStillRead)
{
    // The number after a space is read like atoi, which skips CR and LF too.
    rig.pager->faults().replaceReply[">Lese Repeaterstatus"] = "Repeaterstatus aktuell: 1 07 \r\n05\r\n";
    EXPECT_EQ(readStatus().repeaterTime, "07:05");
}

TEST_F(RepeaterClockTest, StatusThatEndsAtItsColonOrHoldsNoByteShowsNoTime)
{
    for (const char* reply : {"Repeaterstatus:", "Repeaterstatus aktuell: 1 907 05\r\n"}) {
        SCOPED_TRACE(reply);
        rig.pager->faults().replaceReply[">Lese Repeaterstatus"] = reply;
        const std::string shown = readStatus().repeaterTime.value_or("");
        EXPECT_NE(shown, "07:05");
        EXPECT_EQ(shown.find("907"), std::string::npos);
    }
}

TEST_F(RepeaterClockTest, UnconfirmedRepeaterTestSkipsTheStatusRead)
{
    repeater().repeaterPresent = false;
    const RepeaterStatus status = readStatus();
    EXPECT_TRUE(status.reported);  // the fifth test exchange was made
    EXPECT_EQ(rig.countCommand(">Setze Repeatertest:1"), 5);
    EXPECT_EQ(rig.countCommand(">Lese Repeaterstatus"), 0);
    EXPECT_FALSE(status.repeaterTime);

    SessionEvents none;
    dlg.session().end(none);
    EXPECT_FALSE(readStatus().reported);
}

TEST_F(RepeaterClockTest, SettingTheClockSendsPcTimeAndHidesGroupOnConfirmation)
{
    rig.search();
    rig.clock.setLocalTime({9, 5, 3});
    const int stopsBefore = rig.host.timerStops;
    const std::int64_t start = rig.clock.nowMs();
    dlg.onCommand(ctl::ClockButton);

    const std::string command = ">Setze Repeateruhrzeit: 09.05;03";
    EXPECT_EQ(rig.frames(), std::vector<std::string>{"\x16" + command + "\r"});
    EXPECT_EQ(firstWriteAt(rig, command) - start, 200 + 1000);
    // On the port as the search left it, a read of N bytes waits N ms.
    EXPECT_EQ(rig.clock.nowMs() - start, 200 + 1000 + ExchangeMs - 1);
    EXPECT_EQ(rig.text(ctl::RepeaterTime), "09:05");
    EXPECT_EQ(repeater().repeaterSecond, 3u);
    for (const int id : ctl::ClockControls)
        EXPECT_FALSE(rig.host.isVisible(id));
    EXPECT_EQ(rig.host.timerStops, stopsBefore + 1);
    EXPECT_TRUE(rig.host.timerRunning(ctl::UiTimerId));
    rig.ticks(50);
    for (const int id : ctl::ClockControls)
        EXPECT_FALSE(rig.host.isVisible(id));
}

TEST_F(RepeaterClockTest, UnconfirmedClockKeepsTheGroupCountingDown)
{
    rig.pager->faults().noAckFor[">Setze Repeateruhrzeit"] = -1;
    rig.search();
    rig.ticks(20);
    rig.clock.setLocalTime({10, 20, 0});
    dlg.onCommand(ctl::ClockButton);
    EXPECT_EQ(rig.countCommand(">Setze Repeateruhrzeit: 10.20;00"), 5);
    EXPECT_TRUE(rig.host.isVisible(ctl::ClockGroup));
    EXPECT_EQ(rig.text(ctl::RepeaterTime), "10:20");
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{win1252("Der Repeater hat die Uhrzeit nicht übernommen.")});
    // The group is hidden when the search's fifty ticks have run.
    rig.ticks(29);
    EXPECT_TRUE(rig.host.isVisible(ctl::ClockGroup));
    rig.tick();
    for (const int id : ctl::ClockControls)
        EXPECT_FALSE(rig.host.isVisible(id));
}

class BootloaderTest : public ::testing::Test {
protected:
    void SetUp() override { rig.connect(); }
    DialogRig rig;
};

TEST_F(BootloaderTest, StopsAtTheFirstConfirmation)
{
    rig.dialog.onCommand(ctl::BootloaderButton);
    EXPECT_EQ(rig.frames(), std::vector<std::string>{"\x16>Bootloader\r"});
    EXPECT_TRUE(rig.pager->state().bootloaderStarted);
}

TEST_F(BootloaderTest, UnconfirmedCommandIsSentFourTimes)
{
    rig.pager->faults().noAckFor[">Bootloader"] = -1;
    rig.dialog.onCommand(ctl::BootloaderButton);
    EXPECT_EQ(rig.countCommand(">Bootloader"), 4);
}

TEST_F(BootloaderTest, NothingIsSentWithoutAktiv)
{
    SessionEvents none;
    rig.dialog.session().end(none);
    rig.backend.clearEvents();
    rig.dialog.onCommand(ctl::BootloaderButton);
    EXPECT_TRUE(rig.backend.events().empty());
    EXPECT_FALSE(rig.pager->state().bootloaderStarted);
}

}  // namespace
}  // namespace harvelin
