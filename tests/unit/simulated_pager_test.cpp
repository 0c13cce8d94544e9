#include <gtest/gtest.h>

#include "pager_simulator.h"
#include "sim_backend.h"

namespace harvelin::sim {
namespace {

TEST(SimulatedPager, AnswersFramedCommandsAndIgnoresKeepAlive)
{
    PagerSimulator pager;
    pager.state().callers[3] = {"Tisch 4", {1, 2, 3, 4, 5}};
    EXPECT_EQ(pager.receive("\x16\x16\x16"), "");
    const std::string reply = pager.receive("\x16>Lese:3\r");
    EXPECT_EQ(reply, "Pos:3:Tisch 4\x03 001 002 003 004 005 Ende\r\n");
    EXPECT_EQ(pager.keepAliveBytes(), 3u);
    ASSERT_EQ(pager.commands().size(), 1u);
    EXPECT_EQ(pager.commands()[0], ">Lese:3");
}

TEST(SimulatedPager, AnswersTheSearchProbeWithItsIdentification)
{
    PagerSimulator pager;
    const std::string reply = pager.receive(">@\r\n");
    EXPECT_GE(reply.size(), 15u);
    EXPECT_NE(reply.find("Pager"), std::string::npos);
    EXPECT_NE(reply.find("Zelvatron"), std::string::npos);
    EXPECT_NE(reply.find("Direkt V2.62"), std::string::npos);
}

TEST(SimulatedPager, StoresSlotWritesAndSettings)
{
    PagerSimulator pager;
    EXPECT_NE(pager.receive("\x16>Setze:31 \x02" "Bar\x03" " 007 000 000 001 002 Ende\r").find("Uebernommen"),
              std::string::npos);
    EXPECT_EQ(pager.state().callers[31].text, "Bar");
    EXPECT_EQ(pager.state().callers[31].id, (std::array<std::uint8_t, 5>{7, 0, 0, 1, 2}));
    pager.receive("\x16>Se-Kueche:2 \x02" "K\x03" " 003 012 Ende\r");
    EXPECT_EQ(pager.state().kitchenCalls[2].station, 3);
    EXPECT_EQ(pager.state().kitchenCalls[2].key, 12);
    EXPECT_NE(pager.receive("\x16>Setze Debug:1\r").find("uebernommen"), std::string::npos);
    EXPECT_NE(pager.receive("\x16>Setze E_Vibration:3Pager:A\r").find("Uebernommen"), std::string::npos);
    EXPECT_EQ(pager.state().debug, 1u);
    EXPECT_EQ(pager.state().vibration, 3u);
}

TEST(SimulatedPager, TakesOnlySwitchesAddressedToItsOwnName)
{
    PagerSimulator pager;
    pager.state().pagerName = "5. Etage";
    pager.state().debug = 0;
    EXPECT_EQ(pager.receive("\x16>Setze Debug:1Bar\r"), "Falscher Pager\r\n");
    EXPECT_EQ(pager.state().debug, 0u);
    // A name that begins with a digit is still a name, not part of the value.
    EXPECT_EQ(pager.receive("\x16>Setze Debug:15. Etage\r"), "Wert Uebernommen\r\n");
    EXPECT_EQ(pager.state().debug, 1u);
    EXPECT_EQ(pager.receive("\x16>Setze Debug:0\r"), "Wert uebernommen\r\n");
    EXPECT_EQ(pager.state().debug, 0u);
}

TEST(SimulatedPager, ReportsAButtonOnlyInLearnMode)
{
    PagerSimulator pager;
    EXPECT_EQ(pager.pressButton({200, 3, 0, 0, 7}), "");
    pager.receive("\x16>Setze Lernmodus:1\r");
    EXPECT_EQ(pager.pressButton({200, 3, 0, 0, 7}), "Tischsender:200 3 0 0 7 77\r");
}

TEST(SimulatedPager, DemoConfigurationFitsThePagersFields)
{
    const PagerState demo = demoPagerState();
    EXPECT_EQ(demo.callerSlots(), 32u);
    for (const SimCaller& slot : demo.callers)
        EXPECT_LE(slot.text.size(), 14u);
    for (const SimKitchenCall& slot : demo.kitchenCalls)
        EXPECT_LE(slot.text.size(), 14u);
    EXPECT_EQ(demo.remoteDeleteText.size(), 16u);
    EXPECT_EQ(demo.kitchenCalls[0].text, "K\xFC" "che fertig");
}

TEST(SimBackend, ReadReturnsAtTimeOutOrWhenFull)
{
    VirtualClock clock;
    SimBackend backend(clock);
    backend.attachPager("COM1");
    auto port = backend.open("COM1");
    ASSERT_TRUE(port);
    EXPECT_FALSE(backend.open("COM1"));  // exclusive
    port->setTimeouts(TimeoutSet::Link);
    EXPECT_EQ(port->read(200), "");
    EXPECT_EQ(clock.nowMs(), 201);
    port->write("\x16>@\r");
    const std::string first = port->read(5);
    EXPECT_EQ(first.size(), 5u);
    EXPECT_EQ(clock.nowMs(), 201);  // full at once
    port->setTimeouts(TimeoutSet::Search);
    port->read(200);
    EXPECT_EQ(clock.nowMs(), 401);
    backend.unplug("COM1");
    EXPECT_FALSE(port->readSettings());
    EXPECT_FALSE(port->write("x"));
    backend.plug("COM1");
    EXPECT_FALSE(port->readSettings());  // the old handle stays dead
    port.reset();
    EXPECT_TRUE(backend.open("COM1"));
}

}  // namespace
}  // namespace harvelin::sim
