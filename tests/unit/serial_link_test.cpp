#include <gtest/gtest.h>

#include <string>

#include "link/serial_link.h"
#include "pager_line.h"

namespace harvelin {
namespace {

using Event = sim::SimBackend::Event;

const std::string PresenceFrame = "\x16>@\r";

// The link on its own, on virtual time, with a simulated pager on COM1 of
// the Windows port table.
struct LinkRig : PagerLine {
    // The state a successful search leaves: port 1 open.
    void connect() { PagerLine::connect(link); }

    SerialLink link{backend, PortTable::windowsComPorts(), clock};
};

class SerialLinkTest : public ::testing::Test {
protected:
    bool exchange(const std::string& command)
    {
        reply = "untouched";
        replyLength = 255;
        return rig.link.exchange(command, reply, replyLength);
    }
    std::vector<std::string> writes() const { return rig.frames(); }
    int count(Event::Kind kind) const
    {
        int n = 0;
        for (const Event& e : rig.backend.events())
            n += e.kind == kind ? 1 : 0;
        return n;
    }

    LinkRig rig;
    SerialLink& link = rig.link;
    std::string reply;
    std::uint8_t replyLength = 0;
};

TEST_F(SerialLinkTest, WithoutSearchExchangeFailsAndTouchesNoPort)
{
    EXPECT_FALSE(exchange(">List Debug"));
    EXPECT_FALSE(exchange(">List Debug"));
    EXPECT_TRUE(rig.backend.events().empty());
    EXPECT_EQ(link.state(), LinkState::Closed);
    EXPECT_EQ(rig.clock.nowMs(), 0);
}

TEST_F(SerialLinkTest, AfterFallingToClosedFirstExchangeOnlyReopensAndNextSends)
{
    rig.connect();
    rig.backend.unplug(rig.port);
    EXPECT_FALSE(exchange(">List Debug"));  // liveness check fails
    EXPECT_EQ(link.state(), LinkState::Closed);
    rig.backend.plug(rig.port);

    EXPECT_FALSE(exchange(">List Debug"));
    EXPECT_EQ(link.state(), LinkState::Open);
    EXPECT_EQ(count(Event::Open), 1);
    EXPECT_TRUE(writes().empty());

    EXPECT_TRUE(exchange(">List Debug"));
    EXPECT_EQ(writes(), std::vector<std::string>{"\x16>List Debug\r"});
    EXPECT_EQ(reply, "Debug :0\r\n");
    EXPECT_EQ(replyLength, reply.size());
}

TEST_F(SerialLinkTest, LostLinkFailsLivenessCheckAndFallsToClosed)
{
    rig.connect();
    // The link watch has closed the handle after a failed keep-alive write.
    link.dropPort();
    link.setState(LinkState::Lost);
    rig.backend.clearEvents();

    EXPECT_FALSE(exchange(">List Debug"));
    EXPECT_EQ(link.state(), LinkState::Closed);
    EXPECT_TRUE(rig.backend.events().empty());
    EXPECT_EQ(link.portNumber(), 1);
}

TEST_F(SerialLinkTest, FirstBlockRequestCarriesPresenceFrameInFront)
{
    rig.pager->state().callers[0] = {"Tisch 1", {1, 2, 3, 4, 5}};
    rig.connect();
    ASSERT_TRUE(exchange(">Lese:0"));
    const std::vector<std::string> w = writes();
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0], PresenceFrame);
    EXPECT_EQ(w[1], PresenceFrame + "\x16>Lese:0\r");
    EXPECT_EQ(w[1].size(), 13u);
    // The pager identifies itself once more ahead of the block.
    EXPECT_EQ(reply, "\r\nZelvatron Pager Direkt V2.62\r\nPos:0:Tisch 1\x03 001 002 003 004 005 Ende\r\n");
    // 200 ms, the 150-byte read, the 200-byte drain, 100 ms, the reply read.
    EXPECT_EQ(rig.clock.nowMs(), 200 + 151 + 201 + 100 + 201);
}

TEST_F(SerialLinkTest, LaterBlockRequestsGoOutWithoutPresenceCheck)
{
    rig.connect();
    ASSERT_TRUE(exchange(">Lese:1"));
    ASSERT_TRUE(exchange(">Lese:10"));
    const std::vector<std::string> w = writes();
    ASSERT_EQ(w.size(), 2u);
    EXPECT_EQ(w[0], "\x16>Lese:1\r");
    EXPECT_EQ(w[0].size(), 9u);
    EXPECT_EQ(w[1], "\x16>Lese:10\r");
    EXPECT_EQ(w[1].size(), 10u);
}

TEST_F(SerialLinkTest, PresenceAnswerWithoutMarkerClosesAndSendsNothingMore)
{
    rig.pager->faults().replaceReply[">@"] = "Pager Direkt V2.62\r\n";
    rig.connect();
    EXPECT_FALSE(exchange(">Lese:0"));
    EXPECT_EQ(link.state(), LinkState::Closed);
    EXPECT_EQ(writes(), std::vector<std::string>{PresenceFrame});
}

TEST_F(SerialLinkTest, PresenceMarkerCountsOnlyWithinFirst150Bytes)
{
    // The identification starts with CR LF: behind p bytes of noise the
    // marker's last byte is byte p + 11.
    rig.pager->faults().garbagePrefix = std::string(139, '.');
    rig.connect();
    EXPECT_TRUE(exchange(">Lese:0"));

    LinkRig late;
    late.pager->faults().garbagePrefix = std::string(140, '.');
    late.connect();
    std::string lateReply;
    std::uint8_t lateLength = 0;
    EXPECT_FALSE(late.link.exchange(">Lese:0", lateReply, lateLength));
    EXPECT_EQ(late.link.state(), LinkState::Closed);
}

TEST_F(SerialLinkTest, SilentPagerGivesEmptyReplyAfterReadWindow)
{
    rig.pager->faults().silent = true;
    rig.connect();
    const std::int64_t start = rig.clock.nowMs();
    EXPECT_TRUE(exchange(">List Debug"));
    EXPECT_EQ(replyLength, 0);
    EXPECT_EQ(reply, "");
    // The read window, then one more for a late answer.
    EXPECT_EQ(rig.clock.nowMs() - start, 100 + 201 + 201);
}

// The rest of a reply beyond 200 bytes belongs to no later command.
TEST_F(SerialLinkTest, ReplyBeyond200BytesIsCutAndItsRestDropped)
{
    rig.pager->faults().padTo = 260;
    rig.connect();
    ASSERT_TRUE(exchange(">List Debug"));
    EXPECT_EQ(replyLength, 200);
    EXPECT_EQ(reply.size(), 200u);
    rig.pager->faults().padTo = 0;
    ASSERT_TRUE(exchange(">List E_Vibration"));
    EXPECT_EQ(reply.find('.'), std::string::npos);
    EXPECT_NE(reply.find("E_Vibration:1"), std::string::npos);
    EXPECT_FALSE(link.lateReplySeen());
}

TEST_F(SerialLinkTest, CommandOf198CharactersFillsFrameAnd199IsRefusedUnsent)
{
    rig.connect();
    const std::string fits = ">" + std::string(197, 'A');
    ASSERT_TRUE(exchange(fits));
    ASSERT_EQ(writes().size(), 1u);
    EXPECT_EQ(writes()[0], "\x16" + fits + "\r");
    EXPECT_EQ(writes()[0].size(), 200u);

    rig.backend.clearEvents();
    EXPECT_FALSE(exchange(fits + "A"));
    EXPECT_TRUE(rig.backend.events().empty());
    EXPECT_EQ(link.state(), LinkState::Open);
}

TEST_F(SerialLinkTest, PresencePrefixLeaves194CharactersForTheCommand)
{
    rig.connect();
    const std::string fits = ">Lese:0" + std::string(187, ' ');
    ASSERT_TRUE(exchange(fits));
    ASSERT_EQ(writes().size(), 2u);
    EXPECT_EQ(writes()[1].size(), 200u);

    rig.backend.clearEvents();
    EXPECT_FALSE(exchange(fits + " "));
    EXPECT_TRUE(rig.backend.events().empty());
}

TEST_F(SerialLinkTest, PortsFromTenOnOpenThroughDeviceNamespace)
{
    rig.backend.attachPager("\\\\.\\COM12");
    rig.backend.attachPager("COM9");
    link.setPortNumber(12);
    EXPECT_TRUE(link.open());
    link.setPortNumber(9);
    EXPECT_TRUE(link.open());
    EXPECT_EQ(rig.backend.opened(), (std::vector<std::string>{"\\\\.\\COM12", "COM9"}));
}

TEST_F(SerialLinkTest, ReopenReleasesHandleOfFailedConfiguration)
{
    link.setPortNumber(1);
    rig.backend.failSettings(rig.port, false, true);
    EXPECT_FALSE(exchange(">List Debug"));
    EXPECT_EQ(link.state(), LinkState::Closed);
    EXPECT_NE(link.port(), nullptr);  // held until the next attempt

    rig.backend.failSettings(rig.port, false, false);
    EXPECT_FALSE(exchange(">List Debug"));
    EXPECT_EQ(link.state(), LinkState::Open);
    EXPECT_TRUE(exchange(">List Debug"));
}

TEST_F(SerialLinkTest, CloseReleasesPortAndForgetsItsNumber)
{
    rig.connect();
    link.close();
    EXPECT_EQ(link.state(), LinkState::Closed);
    EXPECT_EQ(link.portNumber(), 0);
    EXPECT_EQ(count(Event::Close), 1);
    // The port is free again for anyone.
    EXPECT_NE(rig.backend.open(rig.port), nullptr);
}

TEST_F(SerialLinkTest, CloseAlsoReleasesPortHeldByClosedLink)
{
    link.setPortNumber(1);
    rig.backend.failSettings(rig.port, false, true);
    EXPECT_FALSE(exchange(">List Debug"));
    ASSERT_NE(link.port(), nullptr);
    link.close();
    EXPECT_EQ(link.port(), nullptr);
    EXPECT_NE(rig.backend.open(rig.port), nullptr);
    // The timer still knows which port to bring back.
    EXPECT_EQ(link.portNumber(), 1);
}

}  // namespace
}  // namespace harvelin
