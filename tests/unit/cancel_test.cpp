// Cancelling the search, the read-out and the write: the operation stops
// before its next command and ends as it ends normally, with its own message.

#include <gtest/gtest.h>

#include <string>

#include "files/pager_data_file.h"
#include "model/win1252.h"
#include "transfer_fixture.h"
#include "ui/control_ids.h"

namespace harvelin {

namespace {

// What the read-out may change, in one comparable text.
std::string formAndImage(MainDialog& dlg, MemoryHost& host)
{
    std::string s = PagerDataFile::format(dlg.configurationFromForm());
    for (const auto& [id, text] : host.texts)
        s += std::to_string(id) + '=' + text + ';';
    return s;
}

constexpr const char* ReadCancelled = "Lesen abgebrochen – die Daten im Formular sind unverändert.";

struct CancelCase {
    const char* name;
    bool write;
    int cancelAtProgress;  // the operation is cancelled when the bar reaches this
    const char* message;   // UTF-8
};

class CancelTest : public TransferTest, public ::testing::WithParamInterface<CancelCase> {};

}  // namespace

TEST_P(CancelTest, TransferStopsBeforeItsNextCommandAndSaysSo)
{
    const CancelCase c = GetParam();
    sim::PagerState& pager = rig.pagerState();
    pager.callers[0].text = "Vom Pager";
    pager.pagerName = "Pager:Neu";
    pager.vibration = 3;
    host.setControlText(ctl::callerText(1), "Im Formular");
    dlg.UpdateData(true);
    const std::string before = formAndImage(dlg, host);

    std::size_t framesAtCancel = 0;
    host.onProgress = [&](int, int, int pos) {
        if (pos == c.cancelAtProgress && !dlg.session().stopped()) {
            framesAtCancel = rig.frames().size();
            dlg.session().requestStop();
        }
    };
    timed([&] { c.write ? dlg.onCommand(ctl::WriteButton) : dlg.onCommand(ctl::ReadButton); });

    ASSERT_TRUE(dlg.session().stopped());
    EXPECT_EQ(rig.frames().size(), framesAtCancel);
    // Only the cancelled message; no "Fehlerhafte Übertragung!" or
    // "Fehlerhafter Datenempfang" on top.
    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_EQ(host.messages.back(), win1252(c.message));
    EXPECT_TRUE(host.timerRunning(ctl::UiTimerId) && host.progressPos == 0);
    EXPECT_EQ(dlg.session().linkState(), LinkState::Open);
    EXPECT_FALSE(results.lastWriteSucceeded || results.lastReadOutComplete);
    // No step after the cancel waits either: no exchange, no pause before
    // the result. (Slack: one identification exchange, the kitchen pauses.)
    const auto waitsOfTheFramesSent = TransferStartWaitMs + static_cast<std::int64_t>(framesAtCancel) * ExchangeMs;
    EXPECT_LT(elapsed(), waitsOfTheFramesSent + 600 + (c.write ? 0 : 16 * 100));
    if (!c.write) {
        EXPECT_EQ(formAndImage(dlg, host), before);
    }
    EXPECT_TRUE(rig.keepAliveOnNextTick());
}

INSTANTIATE_TEST_SUITE_P(ReadAndWrite, CancelTest,
                         ::testing::Values(CancelCase{"ReadAtTheStart", false, 0, ReadCancelled},
                                           CancelCase{"ReadAmongTheKitchenSlots", false, 40, ReadCancelled},
                                           CancelCase{"WriteAtTheStart", true, 0,
                                                      "Übertragung abgebrochen – der Pager ist unverändert."},
                                           CancelCase{"WriteAtTheSettings", true, 50,
                                                      "Übertragung abgebrochen – der Pager ist nur teilweise "
                                                      "beschrieben. Bis Fernlöschung hält er die neuen Daten, ab "
                                                      "Batteriespannung zum Teil noch die alten. Ein erneutes "
                                                      "\"PC -> Pager\" beschreibt ihn vollständig."}),
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(TransferTest, CancelledSearchLeavesTheLinkClosedAndAktivClear)
{
    dlg.session().requestStop();
    dlg.onCommand(ctl::SearchButton);

    EXPECT_TRUE(dlg.session().linkState() == LinkState::Closed && dlg.session().portNumber() == 0);
    EXPECT_FALSE(host.isChecked(ctl::Active) || dlg.session().active());
    // The port the link held is free again for anyone.
    EXPECT_NE(rig.backend.open("COM1"), nullptr);
    EXPECT_TRUE(host.timerRunning(ctl::UiTimerId));
    EXPECT_TRUE(rig.frames().empty());
}

}  // namespace harvelin
