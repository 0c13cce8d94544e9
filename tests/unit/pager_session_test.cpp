#include <gtest/gtest.h>

#include <algorithm>
#include <array>
#include <memory>
#include <string>
#include <vector>

#include "dialog_rig.h"
#include "session_rig.h"
#include "model/win1252.h"
#include "test_files.h"

namespace harvelin {
namespace {

constexpr std::array<std::uint8_t, 5> Button{11, 22, 33, 44, 5};

// Learn mode on the simulated pager on COM1, on virtual time, through the
// session alone or through the form that runs it.
struct LearnRig : DialogRig {
    LearnRig() { connect(); }

    void pressButtonIn(std::int64_t ms) { fromPager(pager->pressButton(Button), ms); }

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

TEST(PagerSessionLearnMode, IdentityGoesToTheChosenSlotAndActionsLeaveLearnModeFirst)
{
    // "Lernen" in row 4 of "1..16", then "17..32" before the button is pressed:
    // slot 4 gets it, slot 20 keeps its own, and the form turns back to slot 4.
    {
        LearnRig rig;
        rig.dialog.onCommand(ctl::learnButton(4));
        rig.dialog.onCommand(ctl::PageUpper);
        rig.pressButtonIn(300);
        for (int n = 0; n < 10 && rig.dialog.session().learning(); ++n)
            rig.tick();
        EXPECT_EQ(rig.dialog.image().callers[3].buttonId, (std::array<std::uint8_t, 4>{11, 22, 33, 44}));
        EXPECT_EQ(rig.dialog.image().callers[19].buttonId, (std::array<std::uint8_t, 4>{}));
        EXPECT_EQ(rig.dialog.viewPage(), ViewPage::Lower);
        EXPECT_TRUE(rig.host.isChecked(ctl::PageLower) && !rig.host.isChecked(ctl::PageUpper));
        EXPECT_EQ(rig.host.controlText(ctl::idText(4)), rig.dialog.fields().idTexts[4]);
        EXPECT_NE(rig.dialog.fields().idTexts[4], rig.dialog.fields().idTexts[5]);
        // The status line, which screen readers announce, says what was learned.
        rig.tick();
        EXPECT_EQ(rig.host.controlText(ctl::StatusLine),
                  "Tischsender 4: Rufknopf " + rig.dialog.fields().idTexts[4] + " gelernt");
    }
    // "Lernen" in row 15, then "Datei öffnen" at once: the button pressed
    // while the file dialog is open goes into slot 15 after the file, and
    // the form counts as changed since the file.
    {
        LearnRig rig;
        TempDir dir;
        const auto path = dir.path() / "gesichert.pag";
        rig.dialog.onCommand(ctl::learnButton(15));
        std::string error;
        ASSERT_TRUE(PagerDataFile::save(path.string(), rig.dialog.configurationFromForm(), error));
        rig.host.fileDialogAnswers.push_back(path.string());
        rig.host.onFileDialog = [&] {
            rig.pressButtonIn(50);
            for (int n = 0; n < 5; ++n)
                rig.tick();
        };
        rig.dialog.onCommand(ctl::OpenFileButton);
        EXPECT_EQ(rig.dialog.image().callers[14].buttonId, (std::array<std::uint8_t, 4>{11, 22, 33, 44}));
        EXPECT_EQ(rig.host.controlText(ctl::idText(15)), rig.dialog.fields().idTexts[15]);
        EXPECT_TRUE(rig.dialog.hasUnsavedChanges());
    }
    // "Pager -> PC" during the window: learn mode ends on the pager before the
    // read-out's first command.
    {
        LearnRig rig;
        rig.dialog.onCommand(ctl::learnButton(2));
        rig.pager->clearLog();
        rig.dialog.onCommand(ctl::ReadButton);
        const std::vector<std::string>& commands = rig.pager->commands();
        ASSERT_FALSE(commands.empty());
        EXPECT_EQ(commands.front(), ">Setze Lernmodus:0");
        EXPECT_NE(std::find(commands.begin(), commands.end(), ">@"), commands.end());
        EXPECT_FALSE(rig.dialog.session().learning());
        EXPECT_EQ(rig.dialog.fields().statusText, win1252("Pager gelesen: 32 Tischsender, 16 Küchenrufe"));
    }
}

// However late the ticks come, the window lasts its eight seconds by the
// clock, counts down to "1 Sekunde", and says when it ran out.
TEST(PagerSessionLearnMode, WindowCountsEightSecondsByTheClock)
{
    for (const unsigned tickMs : {100u, 700u}) {
        SCOPED_TRACE(tickMs);
        SessionRig rig;
        rig.connect();
        PagerSession& session = rig.session;
        VirtualClock& clock = rig.clock;
        SessionEvents events;
        ASSERT_EQ(session.startLearn(events, 7).start, LearnStart::TakenUp);
        const std::int64_t startedAt = clock.nowMs();
        std::vector<std::string> shown{session.statusLine()};
        std::array<CallerEntry, LearnWindow::DuplicateSlots> lower{};
        while (session.learning()) {
            clock.sleepMs(tickMs);
            const LearnStep step = session.learnTick(events, LearnWindow::LowerSlots(lower));
            if (step.statusLine != shown.back())
                shown.push_back(step.statusLine);
        }
        const std::int64_t lasted = clock.nowMs() - startedAt;
        EXPECT_GE(lasted, 8000);
        EXPECT_LT(lasted, 8000 + 2 * static_cast<std::int64_t>(tickMs) + 1000);
        EXPECT_EQ(shown.front(), "Lernzeit:  8 Sekunden");
        EXPECT_NE(std::find(shown.begin(), shown.end(), "Lernzeit:  1 Sekunde"), shown.end());
        EXPECT_EQ(shown.back(), LearnWindow::ranOutText());
    }
}

}  // namespace
}  // namespace harvelin
