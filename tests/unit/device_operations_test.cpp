// The device functions as operations, without a form: what each returns,
// over the simulated pager on virtual time. What reaches the pager, and when,
// is pinned through the form in device_functions_test.
#include <gtest/gtest.h>

#include <array>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "device/bootloader.h"
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
    SerialLink link{backend, PortTable::windowsComPorts(), clock};
};

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
