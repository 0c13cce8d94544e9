// The pager's short actions: an option switch, the repeater's status and
// clock, the boot loader. What each comes to is the session's; the form
// shows it.
#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <vector>

#include "dialog_rig.h"
#include "form_results.h"
#include "model/option_switches.h"
#include "model/win1252.h"
#include "session_rig.h"
#include "transfer/messages.h"

namespace harvelin {
namespace {

const std::string Refused = win1252("Der Pager hat die Einstellung nicht übernommen.");

// An option switch (the battery display, on, for "Pager:A") or the boot
// loader, as the pager confirms it or not: how often it was sent, and what
// the session says.
struct ShortAction {
    const char* name;
    bool bootloader;
    std::function<void(sim::PagerSimulator&)> pagerDoes;
    bool confirmed;
    int sent;
    Messages messages;
};

class ShortActionTest : public ::testing::TestWithParam<ShortAction> {};

// Only the command's own acknowledgement confirms it, one that comes while
// the link still listens for it included; one later than every attempt's
// window, a lower-case one, or one beside a refusal does not. A refused
// switch is named with the pager's last answer; the boot loader's refusal
// is not told. What the pager confirmed is kept.
TEST_P(ShortActionTest, OnlyItsOwnAcknowledgementConfirmsIt)
{
    const ShortAction& c = GetParam();
    SessionRig rig;
    rig.connect();
    if (c.pagerDoes)
        c.pagerDoes(*rig.pager);
    const Confirmation got = c.bootloader ? rig.session.startBootloader(rig.events)
                                          : rig.session.switchOption(rig.events, BatterySwitch, true, "Pager:A");
    EXPECT_EQ(got.confirmed, c.confirmed);
    EXPECT_FALSE(got.stopped);
    EXPECT_EQ(got.messages, c.messages);
    EXPECT_EQ(rig.countCommand(c.bootloader ? ">Bootloader" : ">Setze Debug:1Pager:A"), c.sent);
    EXPECT_EQ(rig.commands().size(), static_cast<std::size_t>(c.sent));
    EXPECT_EQ(rig.session.kept().battery, !c.bootloader && c.confirmed);
}

const auto AnswersOnly = [](const char* reply) {
    return [reply](sim::PagerSimulator& pager) {
        pager.faults().replaceReply[">Setze Debug"] = reply;
        pager.faults().replaceReply[">Bootloader"] = reply;
    };
};
const auto AnswersLate = [](unsigned ms) {
    return [ms](sim::PagerSimulator& pager) {
        pager.faults().delayFor[">Setze Debug"] = ms;
        pager.faults().delayFor[">Bootloader"] = ms;
    };
};
const auto Unacknowledged = [](sim::PagerSimulator& pager) {
    pager.faults().noAckFor[">Setze Debug"] = -1;
    pager.faults().noAckFor[">Bootloader"] = -1;
};
const char* const RefusalBesideAcknowledgement = "Fehler\r\nWert Uebernommen\r\nBootloader wird aufgerufen\r\n";

INSTANTIATE_TEST_SUITE_P(
    Session, ShortActionTest,
    ::testing::Values(
        ShortAction{"SwitchConfirmed", false, {}, true, 1, {}},
        ShortAction{"SwitchAnsweredWhileTheLinkListens", false, AnswersLate(400), true, 1, {}},
        ShortAction{"SwitchAnsweredAfterEveryWindow", false, AnswersLate(3000), false, 4, {Refused}},
        ShortAction{"SwitchWithCapitalisedAcknowledgement", false, AnswersOnly("Wert Uebernommen\r\n"), true, 1, {}},
        ShortAction{"SwitchWithLowerCaseAcknowledgement", false, AnswersOnly("Wert uebernommen\r\n"), false, 4,
                    {Refused + " Der Pager antwortete: \"Wert uebernommen\\r\\n\""}},
        ShortAction{"SwitchRefusedBesideAnAcknowledgement", false, AnswersOnly(RefusalBesideAcknowledgement), false, 4,
                    {Refused + " Der Pager antwortete: \"Fehler\\r\\nWert Uebernommen\\r\\nBootloader wird "
                               "aufgerufen\\r\\n\""}},
        ShortAction{"SwitchUnacknowledged", false, Unacknowledged, false, 4,
                    {Refused + " Der Pager antwortete: \"Fehler\\r\\n\""}},
        // A pager of another name says so, and asking again would not
        // change it.
        ShortAction{"SwitchForAnotherPager", false, [](sim::PagerSimulator& pager) { pager.state().pagerName = "Bar 2"; },
                    false, 1,
                    {win1252("Falscher Pager: Der Pager heißt nicht \"Pager:A\"; er hat die Einstellung nicht "
                             "übernommen.")}},
        ShortAction{"BootloaderConfirmed", true, {}, true, 1, {}},
        ShortAction{"BootloaderAnsweredWhileTheLinkListens", true, AnswersLate(400), true, 1, {}},
        ShortAction{"BootloaderAnsweredAfterEveryWindow", true, AnswersLate(3000), false, 4, {}},
        ShortAction{"BootloaderRefusedBesideAnAcknowledgement", true, AnswersOnly(RefusalBesideAcknowledgement), false,
                    4, {}},
        ShortAction{"BootloaderUnacknowledged", true, Unacknowledged, false, 4, {}}),
    [](const auto& test) { return std::string(test.param.name); });

// The repeater's status, as the search reads it after finding the pager.
struct StatusReply {
    const char* name;
    std::function<void(PagerLine&)> pagerDoes;
    bool reported;
    std::optional<std::string> repeaterTime;  // with this, the system's "10:20"
    int statusReads;
};

class RepeaterStatusTest : public ::testing::TestWithParam<StatusReply> {};

// The last of five reads decides whether the repeater reported; the time is
// the last one a read gave, "Error" when a reply with a status number holds
// none, and nothing without a status number. Without a repeater that takes
// up the test its status is not read.
TEST_P(RepeaterStatusTest, GivesTimesOnlyWithAStatusNumber)
{
    const StatusReply& c = GetParam();
    SessionRig rig;
    rig.connect();
    rig.clock.setLocalTime({10, 20, 0});
    rig.pagerState().repeaterHour = 7;
    rig.pagerState().repeaterMinute = 5;
    if (c.pagerDoes)
        c.pagerDoes(rig);
    const RepeaterStatus status = rig.session.readRepeaterStatus(rig.events);
    EXPECT_EQ(status.reported, c.reported);
    EXPECT_EQ(status.repeaterTime, c.repeaterTime);
    EXPECT_EQ(status.systemTime, c.repeaterTime ? std::optional<std::string>("10:20") : std::nullopt);
    EXPECT_EQ(rig.countCommand(">Setze Repeatertest:1"), c.statusReads == 0 ? 5 : 1);
    EXPECT_EQ(rig.countCommand(">Lese Repeaterstatus"), c.statusReads);
}

const auto RepeaterAt = [](unsigned hour, unsigned minute) {
    return [hour, minute](PagerLine& line) {
        line.pagerState().repeaterHour = hour;
        line.pagerState().repeaterMinute = minute;
    };
};
const auto StatusAnswer = [](const char* reply) {
    return [reply](PagerLine& line) { line.faults().replaceReply[">Lese Repeaterstatus"] = reply; };
};

INSTANTIATE_TEST_SUITE_P(
    Session, RepeaterStatusTest,
    ::testing::Values(
        StatusReply{"AsTheRepeaterAnswers", {}, true, "07:05", 5},
        StatusReply{"LastMinuteOfTheDay", RepeaterAt(23, 59), true, "23:59", 5},
        StatusReply{"HourOutOfRange", RepeaterAt(24, 0), true, "Error", 5},
        StatusReply{"MinuteOutOfRange", RepeaterAt(0, 60), true, "Error", 5},
        StatusReply{"StatusZero", [](PagerLine& line) { line.pagerState().repeaterStatus = 0; }, false, std::nullopt, 5},
        // The fifth answer differs: the earlier good ones gave the time.
        StatusReply{"LastAnswerWithoutStatus",
                    [](PagerLine& line) {
                        line.pager->onCommand = [&line, reads = 0](std::size_t) mutable {
                            if (line.commands().back() == ">Lese Repeaterstatus" && ++reads == 4)
                                line.pagerState().repeaterStatus = 0;
                        };
                    },
                    false, "07:05", 5},
        StatusReply{"WithoutStatusNumber", StatusAnswer("Repeaterstatus aktuell\r\n"), true, "Error", 5},
        StatusReply{"WithoutTime", StatusAnswer("Repeaterstatus aktuell: 1\r\n"), true, "Error", 5},
        StatusReply{"WithoutMinutes", StatusAnswer("Repeaterstatus aktuell: 1 07\r\n"), true, "Error", 5},
        StatusReply{"TimeOfLetters", StatusAnswer("Repeaterstatus aktuell: 1 xx yy\r\n"), true, "Error", 5},
        // The number after a space is read like atoi, which skips CR and LF too.
        StatusReply{"MinutesBehindALineBreak", StatusAnswer("Repeaterstatus aktuell: 1 07 \r\n05\r\n"), true, "07:05",
                    5},
        StatusReply{"EndingAtItsColon", StatusAnswer("Repeaterstatus:"), true, std::nullopt, 5},
        StatusReply{"HourNoByteHolds", StatusAnswer("Repeaterstatus aktuell: 1 907 05\r\n"), true, std::nullopt, 5},
        // The fifth test exchange was made.
        StatusReply{"NoRepeater", [](PagerLine& line) { line.pagerState().repeaterPresent = false; }, true,
                    std::nullopt, 0}),
    [](const auto& test) { return std::string(test.param.name); });

// What the session told of the repeater's clock, and when.
struct ClockEvents : RecordingEvents {
    explicit ClockEvents(PagerLine& line) : line_(line) {}
    void clockTimeSent(const std::string& time) override
    {
        shown = time;
        shownAt = line_.clock.nowMs();
        commandsWhenShown = line_.commands().size();
    }
    std::string shown;
    std::int64_t shownAt = -1;
    std::size_t commandsWhenShown = 0;

private:
    PagerLine& line_;
};

class RepeaterClockTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.pagerState().repeaterHour = 7;
        rig.pagerState().repeaterMinute = 5;
        rig.clock.setLocalTime({10, 20, 0});
    }
    SessionRig rig;
};

// The search asks for the repeater's test once, then for its status five
// times, also after a good first answer.
TEST_F(RepeaterClockTest, SearchReadsTheStatusFiveTimesHalfASecondAfterTheTest)
{
    rig.connect();
    const std::int64_t start = rig.clock.nowMs();
    EXPECT_TRUE(rig.session.readRepeaterStatus(rig.events).reported);
    EXPECT_EQ(rig.firstWriteAt(">Lese Repeaterstatus") - start, ExchangeMs + 500);
    EXPECT_EQ(rig.clock.nowMs() - start, ExchangeMs + 500 + 5 * (ExchangeMs + 1));
}

// The time about to be sent is told a second before it goes out, on the
// port as the search left it, where a read of N bytes waits N ms; the
// repeater is asked five times when it does not confirm.
TEST_F(RepeaterClockTest, ClockIsSetToThisMachinesTimeToldASecondBefore)
{
    ClockEvents events(rig);
    ASSERT_TRUE(rig.session.search(events).found());
    rig.forgetTraffic();
    rig.clock.setLocalTime({9, 5, 3});
    const std::int64_t start = rig.clock.nowMs();
    const Confirmation set = rig.session.setRepeaterClock(events);
    EXPECT_TRUE(set.confirmed);
    EXPECT_TRUE(set.messages.empty());
    EXPECT_EQ(events.shown, "09:05");
    EXPECT_EQ(events.shownAt - start, 200);
    EXPECT_EQ(events.commandsWhenShown, 0u);
    const std::string command = ">Setze Repeateruhrzeit: 09.05;03";
    EXPECT_EQ(rig.frames(), std::vector<std::string>{frame(command)});
    EXPECT_EQ(rig.firstWriteAt(command) - start, 200 + 1000);
    EXPECT_EQ(rig.clock.nowMs() - start, 200 + 1000 + ExchangeMs - 1);
    EXPECT_EQ(rig.pagerState().repeaterHour, 9u);
    EXPECT_EQ(rig.pagerState().repeaterMinute, 5u);
    EXPECT_EQ(rig.pagerState().repeaterSecond, 3u);

    rig.faults().noAckFor[">Setze Repeateruhrzeit"] = -1;
    rig.forgetTraffic();
    const Confirmation refused = rig.session.setRepeaterClock(events);
    EXPECT_FALSE(refused.confirmed);
    EXPECT_EQ(refused.messages, Messages{win1252("Der Repeater hat die Uhrzeit nicht übernommen.")});
    EXPECT_EQ(rig.countStartingWith(">Setze Repeateruhrzeit: 09.05;"), 5);
}

// --- what the form makes of it -------------------------------------------

class OptionSwitchFormTest : public ::testing::Test {
protected:
    void SetUp() override { rig.connect(); }
    void click(int id, bool ticked)
    {
        rig.forgetTraffic();
        rig.host.setChecked(id, ticked);
        rig.dialog.onCommand(id);
    }
    DialogRig rig;
};

TEST_F(OptionSwitchFormTest, EachBoxSendsTheTextOfItsNewStateWithThePagerName)
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
        EXPECT_EQ(rig.frames(), std::vector<std::string>{frame(c.command)});
    }
    EXPECT_EQ(rig.pagerState().vibration, 3u);
    EXPECT_EQ(rig.pagerState().remoteDeleteMode, 0u);
}

TEST_F(OptionSwitchFormTest, EmptyPagerNameSendsTheSwitchTextAlone)
{
    rig.host.setControlText(ctl::PagerName, "");
    rig.tick();  // the timer takes the form
    click(ctl::Battery, true);
    ASSERT_FALSE(rig.frames().empty());
    EXPECT_EQ(rig.frames().front(), frame(">Setze Debug:1"));
}

// A switch the pager did not confirm is told in a message box; without
// "Aktiv" nothing is told. Either way the box keeps its new state, for the
// next write.
TEST_F(OptionSwitchFormTest, BoxKeepsItsNewStateWhateverThePagerDid)
{
    rig.faults().noAckFor[">Setze Debug"] = -1;
    click(ctl::Battery, true);
    EXPECT_FALSE(rig.results.lastSwitchConfirmed);
    ASSERT_EQ(rig.host.messages.size(), 1u);
    EXPECT_TRUE(rig.host.messages[0].starts_with(Refused)) << rig.host.messages[0];
    EXPECT_TRUE(rig.host.isChecked(ctl::Battery));

    SessionEvents none;
    rig.dialog.session().end(none);
    rig.host.messages.clear();
    click(ctl::Buzzer, true);
    EXPECT_TRUE(rig.host.isChecked(ctl::Buzzer));
    EXPECT_TRUE(rig.host.messages.empty());
}

TEST(BootloaderFormTest, ButtonStartsTheBootloader)
{
    DialogRig rig;
    rig.connect();
    rig.dialog.onCommand(ctl::BootloaderButton);
    EXPECT_EQ(rig.frames(), std::vector<std::string>{frame(">Bootloader")});
    EXPECT_TRUE(rig.pagerState().bootloaderStarted);
    EXPECT_TRUE(rig.results.lastBootloaderConfirmed);
}

class RepeaterClockFormTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        rig.clock.setLocalTime({10, 20, 0});
        rig.pagerState().repeaterHour = 7;
        rig.pagerState().repeaterMinute = 5;
    }
    DialogRig rig;
    MainDialog& dlg = rig.dialog;
};

TEST_F(RepeaterClockFormTest, SearchShowsRepeaterTimeBesidePcTime)
{
    rig.search();
    EXPECT_EQ(rig.text(ctl::RepeaterTime), "07:05");
    EXPECT_EQ(rig.text(ctl::SystemTime), "10:20");
    for (const int id : ctl::ClockControls)
        EXPECT_TRUE(rig.host.isVisible(id));
}

// Without a status number the form keeps what it shows.
TEST_F(RepeaterClockFormTest, StatusZeroLeavesTheTextsAlone)
{
    rig.pagerState().repeaterStatus = 0;
    rig.search();
    EXPECT_EQ(dlg.fields().repeaterTimeText, "");
    EXPECT_EQ(dlg.fields().systemTimeText, "");
}

// The time being sent is shown; once the repeater confirms it the group is
// hidden. The timer stops once meanwhile.
TEST_F(RepeaterClockFormTest, ConfirmedClockHidesTheGroup)
{
    rig.search();
    rig.clock.setLocalTime({9, 5, 3});
    const int stopsBefore = rig.host.timerStops;
    dlg.onCommand(ctl::ClockButton);
    EXPECT_EQ(rig.text(ctl::RepeaterTime), "09:05");
    for (const int id : ctl::ClockControls)
        EXPECT_FALSE(rig.host.isVisible(id));
    EXPECT_EQ(rig.host.timerStops, stopsBefore + 1);
    EXPECT_TRUE(rig.host.timerRunning(ctl::UiTimerId));
    rig.ticks(50);
    for (const int id : ctl::ClockControls)
        EXPECT_FALSE(rig.host.isVisible(id));
}

// A refused time is told in a message box; the group is hidden when the
// search's fifty ticks have run.
TEST_F(RepeaterClockFormTest, UnconfirmedClockKeepsTheGroupCountingDown)
{
    rig.faults().noAckFor[">Setze Repeateruhrzeit"] = -1;
    rig.search();
    rig.ticks(20);
    dlg.onCommand(ctl::ClockButton);
    EXPECT_TRUE(rig.host.isVisible(ctl::ClockGroup));
    EXPECT_EQ(rig.text(ctl::RepeaterTime), "10:20");
    EXPECT_EQ(rig.host.messages, std::vector<std::string>{clockRefusedMessage()});
    rig.ticks(29);
    EXPECT_TRUE(rig.host.isVisible(ctl::ClockGroup));
    rig.tick();
    for (const int id : ctl::ClockControls)
        EXPECT_FALSE(rig.host.isVisible(id));
}

}  // namespace
}  // namespace harvelin
