// The device functions as operations, without a form: what each returns,
// over the simulated pager on virtual time. What reaches the pager, and when,
// is pinned through the form in learn_timer_test and device_functions_test.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/bootloader.h"
#include "device/learn_window.h"
#include "device/link_watch.h"
#include "device/option_switch.h"
#include "device/repeater_clock.h"
#include "pager_line.h"

namespace harvelin {
namespace {

struct OperationRig : PagerLine {
    OperationRig() : PagerLine({}, "COM3", 3)
    {
        connect(link);
        clock.setLocalTime({10, 20, 0});
    }
    // The learn window's ticks until it closes or `n` ran. A tick falls due
    // 100 ms after the previous one began, or at once when that one ran longer.
    // A duplicate is shown (`duplicate`) before the window ends.
    std::vector<LearnTick> learnTicks(int n, const std::function<void(const LearnTick&)>& duplicate = {})
    {
        std::vector<LearnTick> out;
        std::int64_t lastTickAt = clock.nowMs();
        for (int i = 0; i < n && window.open(); ++i) {
            clock.advanceTo(lastTickAt + 100);
            lastTickAt = clock.nowMs();
            LearnTick tick = window.tickUpToDuplicate(link, LearnWindow::LowerSlots(lower.data(), 16));
            if (tick.duplicateOf != 0) {
                if (duplicate)
                    duplicate(tick);
                tick.modeExit = window.duplicateClosed(link).modeExit;
                tick.ended = true;
            }
            out.push_back(tick);
        }
        return out;
    }
    void press(std::array<std::uint8_t, 5> id) { fromPager(pager->pressButton(id)); }

    SerialLink link{backend, PortTable::windowsComPorts(), clock};
    LearnWindow window{clock};
    std::array<CallerEntry, 16> lower{};
};

TEST(LearnWindowOperation, ReportedIdentityGoesIntoTheSlotOnceLearnModeEnds)
{
    OperationRig rig;
    ASSERT_EQ(rig.window.start(rig.link, 5), LearnStart::TakenUp);
    EXPECT_EQ(rig.window.statusText(), "Lernzeit:  8 Sekunden");
    rig.learnTicks(1);
    rig.press({200, 3, 0, 0, 7});
    const LearnTick tick = rig.learnTicks(1).at(0);
    ASSERT_TRUE(tick.reported);
    EXPECT_EQ(tick.reported->buttonIdValue(), 968u);
    EXPECT_EQ(tick.reported->suffix, 7);
    EXPECT_EQ(tick.storeSlot, 5);
    EXPECT_EQ(tick.duplicateOf, 0);
    EXPECT_EQ(tick.modeExit, LearnModeExit::Confirmed);
    EXPECT_TRUE(tick.ended);
    EXPECT_FALSE(rig.pager->state().learnMode);
}

TEST(LearnWindowOperation, KnownIdentityIsShownMidTickAndNotStored)
{
    OperationRig rig;
    rig.lower[2].buttonId = {200, 3, 0, 0};
    rig.lower[2].idSuffix = 7;
    rig.window.start(rig.link, 1);
    rig.press({200, 3, 0, 0, 7});
    int shownSlot = 0;
    bool learnModeWhenShown = false;
    const LearnTick tick = rig.learnTicks(1, [&](const LearnTick& soFar) {
        shownSlot = soFar.duplicateOf;
        learnModeWhenShown = rig.pager->state().learnMode;
    }).at(0);
    EXPECT_EQ(shownSlot, 3);
    EXPECT_TRUE(learnModeWhenShown);
    EXPECT_EQ(tick.duplicateOf, 3);
    EXPECT_EQ(tick.storeSlot, 0);
    EXPECT_EQ(tick.modeExit, LearnModeExit::Confirmed);
    EXPECT_FALSE(rig.pager->state().learnMode);
}

// Whether the pager confirms leaving learn mode at the window's end.
class LearnWindowTimeOut : public ::testing::TestWithParam<bool> {};

TEST_P(LearnWindowTimeOut, CountsEightSecondsAndTellsWhetherThePagerLeftLearnMode)
{
    OperationRig rig;
    const bool confirms = GetParam();
    rig.window.start(rig.link, 2);
    if (!confirms)
        rig.pager->faults().noAckFor[">Setze Lernmodus:0"] = -1;
    const std::vector<LearnTick> ticks = rig.learnTicks(200);
    ASSERT_EQ(ticks.size(), 80u);
    EXPECT_FALSE(ticks[78].ended);
    EXPECT_TRUE(ticks[79].ended);
    std::vector<std::string> shown;
    for (const LearnTick& t : ticks) {
        EXPECT_FALSE(t.reported);
        if (t.status)
            shown.push_back(*t.status);
    }
    EXPECT_EQ(shown.front(), "Lernzeit:  7 Sekunden");
    EXPECT_EQ(shown.back(), "Lernzeit:  0 Sekunden");
    EXPECT_EQ(shown.size(), 8u);
    EXPECT_TRUE(ticks.back().ranOut);
    EXPECT_EQ(ticks.back().modeExit, confirms ? LearnModeExit::Confirmed : LearnModeExit::Unconfirmed);
    EXPECT_EQ(rig.window.leave(rig.link), LearnModeExit::NotSent);  // nothing open any more
}

INSTANTIATE_TEST_SUITE_P(Pager, LearnWindowTimeOut, ::testing::Bool());

TEST(LearnWindowOperation, StartTellsRefusalFromNoLine)
{
    OperationRig refusing;
    refusing.pager->faults().noAckFor[">Setze Lernmodus:1"] = -1;
    EXPECT_EQ(refusing.window.start(refusing.link, 1), LearnStart::Refused);
    EXPECT_EQ(refusing.pager->commands().size(), 5u);
    EXPECT_FALSE(refusing.window.open());

    OperationRig unplugged;
    unplugged.link.close();
    unplugged.link.setState(LinkState::Closed);
    EXPECT_EQ(unplugged.window.start(unplugged.link, 1), LearnStart::NotSent);
    EXPECT_FALSE(unplugged.window.open());
}

TEST(LinkWatchOperation, LosesAndRegainsTheLineAndLeavesItAloneWhenBusy)
{
    OperationRig rig;
    auto watch = [&](bool busy = false) {
        rig.clock.advanceTo(rig.clock.nowMs() + 100);
        const LinkWatchResult r = linkWatch(rig.link, busy);
        return std::pair(r.active, r.lost);
    };
    using Shown = std::pair<std::optional<bool>, bool>;
    EXPECT_EQ(watch(), Shown(true, false));
    EXPECT_EQ(watch(true), Shown(std::nullopt, false));
    rig.backend.unplug(rig.port);
    EXPECT_EQ(watch(), Shown(true, false));  // the keep-alive fails
    EXPECT_EQ(rig.link.state(), LinkState::Lost);
    EXPECT_EQ(watch(), Shown(false, true));
    rig.backend.plug(rig.port);
    EXPECT_EQ(watch(), Shown(false, true));
    EXPECT_EQ(rig.link.state(), LinkState::Open);
    EXPECT_EQ(watch(), Shown(true, false));
}

struct StatusCase {
    const char* reply;  // nullptr: as the pager answers
    bool reported;
    std::optional<std::string> repeaterTime;
};

class RepeaterStatusRead : public ::testing::TestWithParam<StatusCase> {};

TEST_P(RepeaterStatusRead, GivesTimesOnlyWithAStatusNumber)
{
    OperationRig rig;
    rig.pager->state().repeaterHour = 7;
    rig.pager->state().repeaterMinute = 5;
    if (GetParam().reply)
        rig.pager->faults().replaceReply[">Lese Repeaterstatus"] = GetParam().reply;
    const RepeaterStatus status = readRepeaterStatus(rig.link, rig.clock);
    EXPECT_EQ(status.reported, GetParam().reported);
    EXPECT_EQ(status.repeaterTime, GetParam().repeaterTime);
    EXPECT_EQ(status.systemTime, GetParam().repeaterTime ? std::optional<std::string>("10:20") : std::nullopt);
}

INSTANTIATE_TEST_SUITE_P(Replies, RepeaterStatusRead,
                         ::testing::Values(StatusCase{nullptr, true, "07:05"},
                                           StatusCase{"Repeaterstatus aktuell: 0 07 05\r\n", false, std::nullopt},
                                           StatusCase{"Repeaterstatus aktuell: 1 07\r\n", true, "Error"}));

TEST(RepeaterClockOperation, ShowsTheTimeBeingSentASecondBeforeSendingIt)
{
    OperationRig rig;
    rig.clock.setLocalTime({9, 5, 3});
    const std::int64_t start = rig.clock.nowMs();
    std::int64_t shownAt = -1;
    std::string shown;
    const ClockSetResult result = setRepeaterClock(rig.link, rig.clock, [&](const std::string& time) {
        shown = time;
        shownAt = rig.clock.nowMs() - start;
        EXPECT_TRUE(rig.pager->commands().empty());
    });
    EXPECT_EQ(shown, "09:05");
    EXPECT_EQ(shownAt, 200);
    EXPECT_EQ(result.sentTime, "09:05");
    EXPECT_TRUE(result.confirmed);

    rig.pager->faults().noAckFor[">Setze Repeateruhrzeit"] = -1;
    EXPECT_FALSE(setRepeaterClock(rig.link, rig.clock, {}).confirmed);
}

struct ConfirmCase {
    const char* name;
    const char* command;  // as the pager matches it
    bool (*send)(SerialLink&);
};

class ConfirmedOrNot : public ::testing::TestWithParam<ConfirmCase> {};

TEST_P(ConfirmedOrNot, OnlyTheCommandsOwnAcknowledgementCounts)
{
    OperationRig rig;
    EXPECT_TRUE(GetParam().send(rig.link));
    // A slow answer, still within the window's extra listening, is its own.
    rig.pager->faults().delayFor[GetParam().command] = 400;
    EXPECT_TRUE(GetParam().send(rig.link));
    // One that comes after every attempt's window is no answer.
    rig.pager->faults().delayFor[GetParam().command] = 3000;
    EXPECT_FALSE(GetParam().send(rig.link));
    rig.pager->faults().delayFor.clear();
    // A refusal beside an acknowledgement is a refusal.
    rig.pager->faults().replaceReply[GetParam().command] = "Fehler\r\nWert Uebernommen\r\nBootloader wird aufgerufen\r\n";
    EXPECT_FALSE(GetParam().send(rig.link));
    rig.pager->faults().replaceReply.clear();
    rig.pager->faults().noAckFor[GetParam().command] = -1;
    EXPECT_FALSE(GetParam().send(rig.link));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, ConfirmedOrNot,
    ::testing::Values(ConfirmCase{"Switch", ">Setze Debug",
                                  [](SerialLink& link) { return sendOptionSwitch(link, ">Setze Debug:1Pager:A").confirmed(); }},
                      ConfirmCase{"Bootloader", ">Bootloader", [](SerialLink& link) { return startBootloader(link); }}),
    [](const auto& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace harvelin
