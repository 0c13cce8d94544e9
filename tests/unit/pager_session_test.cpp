#include <gtest/gtest.h>

#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "dialog_rig.h"
#include "model/option_switches.h"
#include "session_rig.h"

namespace harvelin {
namespace {

// The form connected to the simulated pager on COM1, on virtual time.
struct LearnRig : DialogRig {
    LearnRig() { connect(); }

    // ">Setze Lernmodus:0" went out on the pager's line before its port was
    // closed, and the pager is out of learn mode.
    bool leftLearnModeBeforeClosing() const
    {
        bool off = false;
        for (const sim::SimBackend::Event& e : backend.events()) {
            if (e.device != port)
                continue;
            if (e.kind == sim::SimBackend::Event::Write && e.bytes.find(">Setze Lernmodus:0") != std::string::npos)
                off = true;
            if (e.kind == sim::SimBackend::Event::Close)
                return off && !pager->state().learnMode;
        }
        return false;
    }
};

// Every way a front end ends: "Beenden", the close box (and a signal or the
// end of the user's session, which end the form the same way), the command
// line's stop request, and a session that simply goes.
enum class Ending { Beenden, CloseBox, StopRequest, SessionGone };

class LearnModeEnding : public ::testing::TestWithParam<Ending> {};

TEST_P(LearnModeEnding, LeavesLearnModeOnThePagerBeforeThePortCloses)
{
    LearnRig rig;
    const Ending ending = GetParam();
    if (ending == Ending::Beenden || ending == Ending::CloseBox) {
        rig.dialog.onCommand(ctl::learnButton(4));
        ASSERT_TRUE(rig.pager->state().learnMode);
        if (ending == Ending::Beenden) {
            // A field the exchange refuses stops "Beenden" before anything
            // is closed: the port, "Aktiv" and learn mode stay as they were.
            rig.host.setControlText(ctl::kitchenKey(3), "999");
            rig.dialog.onCommand(ctl::Ok);
            EXPECT_FALSE(rig.host.ended.has_value());
            EXPECT_EQ(rig.dialog.session().linkState(), LinkState::Open);
            EXPECT_TRUE(rig.host.isChecked(ctl::Active) && rig.dialog.session().learning());
            rig.host.setControlText(ctl::kitchenKey(3), "3");
            rig.dialog.onCommand(ctl::Ok);
            EXPECT_EQ(rig.host.ended, ctl::Ok);
        } else {
            rig.dialog.leaveLearnModeAndClose({});
        }
    } else {
        // A session of its own on the port the form lets go of.
        SessionEvents events;
        rig.dialog.session().end(events);
        rig.backend.clearEvents();
        auto session = std::make_unique<PagerSession>(rig.backend, PortTable::fromPaths({rig.port}), rig.clock);
        ASSERT_TRUE(session->takePort(1));
        ASSERT_EQ(session->startLearn(events, 20).start, LearnStart::TakenUp);
        if (ending == Ending::StopRequest) {
            session->requestStop();
            session->end(events);
        } else {
            session.reset();
        }
    }
    EXPECT_TRUE(rig.leftLearnModeBeforeClosing());
}

INSTANTIATE_TEST_SUITE_P(Session, LearnModeEnding,
                         ::testing::Values(Ending::Beenden, Ending::CloseBox, Ending::StopRequest,
                                           Ending::SessionGone));

// Every action on the pager the session runs; what it did not do, and why.
enum class Action { ReadOut, Write, Search, Learn, OptionSwitch, RepeaterStatus, RepeaterClock, Bootloader };

struct ActionRun {
    bool done = false;
    Messages messages;
};

ActionRun runAction(Action action, SessionRig& rig)
{
    PagerSession& session = rig.session;
    RecordingEvents& events = rig.events;
    switch (action) {
    case Action::ReadOut: {
        const ReadOutOutcome o = session.readOut(events);
        return {!o.noPager, o.messages};
    }
    case Action::Write: {
        const WriteOutcome o = session.write(events);
        return {!o.noPager, o.messages};
    }
    case Action::Search: {
        const SearchOutcome o = session.search(events);
        return {o.found(), o.messages};
    }
    case Action::Learn: {
        const LearnBegin o = session.startLearn(events, 5);
        return {o.start == LearnStart::TakenUp, o.messages};
    }
    case Action::OptionSwitch: {
        const Confirmation o = session.switchOption(events, BatterySwitch, true, "Pager:A");
        return {o.confirmed, o.messages};
    }
    case Action::RepeaterStatus: return {session.readRepeaterStatus(events).reported, {}};
    case Action::RepeaterClock: {
        const Confirmation o = session.setRepeaterClock(events);
        return {o.confirmed, o.messages};
    }
    case Action::Bootloader: {
        const Confirmation o = session.startBootloader(events);
        return {o.confirmed, o.messages};
    }
    }
    return {};
}

const std::pair<Action, const char*> Actions[] = {
    {Action::ReadOut, "read-out"},           {Action::Write, "write"},
    {Action::Search, "search"},              {Action::Learn, "Lernen for another slot"},
    {Action::OptionSwitch, "option switch"}, {Action::RepeaterStatus, "repeater status"},
    {Action::RepeaterClock, "repeater clock"}, {Action::Bootloader, "boot loader"},
};

// Each action on the pager first ends learn mode there, so the pager never
// answers it while it listens for a call button; the window stored nothing.
TEST(PagerSession, EveryActionLeavesLearnModeFirst)
{
    for (const auto& [action, name] : Actions) {
        SCOPED_TRACE(name);
        SessionRig rig;
        rig.connect();
        ASSERT_EQ(rig.session.startLearn(rig.events, 2).start, LearnStart::TakenUp);
        rig.forgetTraffic();
        EXPECT_TRUE(runAction(action, rig).done);
        ASSERT_GE(rig.commands().size(), 2u);
        EXPECT_EQ(rig.commands().front(), ">Setze Lernmodus:0");
        EXPECT_EQ(rig.session.learning(), action == Action::Learn);
        ASSERT_EQ(rig.events.learnEnds.size(), 1u);
        EXPECT_FALSE(rig.events.learnEnds[0].stored);
        EXPECT_EQ(rig.events.learnEnds[0].exit, LearnModeExit::Confirmed);
    }
}

// Without a pager found nothing goes over the line and no time passes; the
// actions of "PC -> Pager", "Pager -> PC" and "Lernen" say there is no
// connection, the short ones nothing.
TEST(PagerSession, ActionsWithoutAPagerSendNothing)
{
    const std::string NoConnection = "Es besteht keine Verbindung zum Zelvatron!";
    for (const auto& [action, name] : Actions) {
        if (action == Action::Search || action == Action::RepeaterClock)
            continue;
        SCOPED_TRACE(name);
        SessionRig rig;
        rig.connect();
        rig.session.end(rig.events);
        rig.forgetTraffic();
        const ActionRun run = rig.timed([&, act = action] { return runAction(act, rig); });
        EXPECT_FALSE(run.done);
        const bool told = action == Action::ReadOut || action == Action::Write || action == Action::Learn;
        EXPECT_EQ(run.messages, told ? Messages{NoConnection} : Messages{});
        EXPECT_TRUE(rig.frames().empty());
        EXPECT_EQ(rig.elapsed(), 0);
        EXPECT_FALSE(rig.pagerState().bootloaderStarted);
    }
}

}  // namespace
}  // namespace harvelin
