// Cancelling the read-out, the write and the search, and the pager falling
// silent in the middle of one: the operation stops before its next command
// and ends as it ends normally, with its own message.

#include <gtest/gtest.h>

#include <algorithm>
#include <cstdint>
#include <string>

#include "files/pager_data_file.h"
#include "model/win1252.h"
#include "session_rig.h"
#include "transfer/messages.h"
#include "transfer_fixture.h"
#include "ui/control_ids.h"

namespace harvelin {

namespace {

const std::string ReadCancelled = std::string(localized(TransferText::ReadCancelled));
const std::string WriteCancelled = std::string(localized(TransferText::WriteCancelled));

struct Interruption {
    const char* name;
    bool write;
    bool cancel;     // else the pager falls silent
    int atProgress;  // when the bar reaches this; -1: before the operation begins
    std::string message;
};

class InterruptedTransfer : public ::testing::TestWithParam<Interruption> {};

}  // namespace

// A cancel stops the operation before its next command; it waits no more,
// keeps the link and says only that it was cancelled, with how far a write
// got (a read-out, to a form). A pager that falls silent loses the link instead. A read-out gives
// what was answered before and the start for the rest; a write leaves the
// rest of the pager as it was. Neither is kept.
TEST_P(InterruptedTransfer, StopsBeforeItsNextCommandAndSaysHowFarItGot)
{
    const Interruption& c = GetParam();
    SessionRig rig;
    rig.connect();
    rig.pagerState().callers[0].text = "Vom Pager";
    rig.pagerState().callers[2].text = "Tisch 3";
    PagerConfiguration start = startConfiguration();
    start.image.callers[10].text.assign("Nie gesendet");
    rig.session.configuration() = start;
    const PagerConfiguration kept = rig.session.kept();
    std::size_t framesAtStop = 0;
    rig.events.onProgress = [&](int position) {
        if (position != c.atProgress || framesAtStop != 0)
            return;
        framesAtStop = rig.frames().size();
        if (c.cancel)
            rig.session.requestStop();
        else
            rig.faults().silent = true;
    };
    if (c.atProgress < 0)
        rig.session.requestStop();
    Messages messages;
    bool stopped = false;
    bool pagerGone = false;
    if (c.write) {
        const WriteOutcome got = rig.timed([&] { return rig.session.write(rig.events); });
        messages = got.messages;
        stopped = got.stopped;
        pagerGone = got.result.pagerGone;
        EXPECT_EQ(got.result.cancelled, c.cancel);
        EXPECT_FALSE(got.result.succeeded || got.result.leftSlotsOut);
        if (c.atProgress < 10) {
            EXPECT_EQ(rig.pagerState().callers[10].text, "");
        }
    } else {
        const ReadOutOutcome got = rig.timed([&] { return rig.session.readOut(rig.events); });
        // That a stopped read-out left the form as it was is the form's to
        // say; the command line says what the stop left in its own words.
        EXPECT_TRUE((c.cancel ? got.messages : got.formStopMessages).empty());
        messages = c.cancel ? got.formStopMessages : got.messages;
        stopped = got.stopped;
        pagerGone = got.result.pagerGone;
        EXPECT_EQ(got.result.end, c.cancel ? ReadOutEnd::Cancelled : ReadOutEnd::Incomplete);
        const std::size_t answered = static_cast<std::size_t>(std::clamp(c.atProgress, 0, 32));
        EXPECT_EQ(got.result.answered.callers.count(), answered);
        if (c.atProgress == 3) {
            EXPECT_EQ(got.result.answered.callers.to_ulong(), 0b111u);
            EXPECT_EQ(got.result.read.image.callers[2].text.str(), "Tisch 3");
            EXPECT_EQ(got.result.read.image.callers[10].text.str(), "Nie gesendet");
        }
    }
    EXPECT_EQ(stopped, c.cancel);
    EXPECT_EQ(pagerGone, !c.cancel);
    ASSERT_EQ(messages.size(), 1u);
    EXPECT_TRUE(messages[0].starts_with(c.message)) << win1252ToUtf8(messages[0]);
    EXPECT_TRUE(sameConfiguration(rig.session.kept(), kept));
    if (c.cancel) {
        // Only the cancel: no "Fehlerhafte Übertragung!" or "Fehlerhafter
        // Datenempfang" on top.
        EXPECT_EQ(messages[0].find("Fehlerhafte"), std::string::npos);
        EXPECT_EQ(rig.frames().size(), framesAtStop);
        // No step after the cancel waits either: no exchange, no pause
        // before the result. (Slack: one identification exchange, the
        // kitchen pauses.)
        const auto waitsOfTheFramesSent = TransferStartWaitMs + static_cast<std::int64_t>(framesAtStop) * ExchangeMs;
        EXPECT_LT(rig.elapsed(), waitsOfTheFramesSent + 600 + (c.write ? 0 : 16 * 100));
        EXPECT_EQ(rig.session.linkState(), LinkState::Open);
        rig.session.clearStop();
        EXPECT_TRUE(rig.keepAliveOnNextWatch());
    } else {
        EXPECT_EQ(rig.session.linkState(), LinkState::Lost);
        EXPECT_FALSE(rig.session.active());
    }
}

INSTANTIATE_TEST_SUITE_P(
    Session, InterruptedTransfer,
    ::testing::Values(
        Interruption{"ReadCancelledBeforeItBegins", false, true, -1, ReadCancelled},
        Interruption{"ReadCancelledAtTheFourthSlot", false, true, 3, ReadCancelled},
        Interruption{"ReadCancelledAmongTheKitchenSlots", false, true, 40, ReadCancelled},
        Interruption{"ReadWithThePagerSilentFromTheFourthSlot", false, false, 3,
                     win1252("Fehlerhafter Datenempfang – die Daten im Formular sind unverändert.")},
        Interruption{"WriteCancelledBeforeItBegins", true, true, -1, std::string(localized(TransferText::WriteCancelledUntouched))},
        Interruption{"WriteCancelledAtTheFirstSlot", true, true, 0,
                     WriteCancelled + win1252(" Ab Tischsender 1 hält er zum Teil noch die alten Daten.")},
        Interruption{"WriteCancelledAtTheFourthSlot", true, true, 3, WriteCancelled},
        Interruption{"WriteCancelledAtTheSettings", true, true, 50,
                     WriteCancelled + win1252(" Bis Fernlöschung hält er die neuen Daten, ab Batteriespannung zum Teil "
                                              "noch die alten. Ein erneutes \"PC -> Pager\" beschreibt ihn "
                                              "vollständig.")},
        Interruption{"WriteWithThePagerSilentFromTheFourthSlot", true, false, 3, win1252("Fehlerhafte Übertragung!")}),
    [](const auto& test) { return std::string(test.param.name); });

namespace {

// What the read-out may change, in one comparable text.
std::string formAndImage(MainDialog& dlg, MemoryHost& host)
{
    std::string s = PagerDataFile::format(dlg.configurationFromForm());
    for (const auto& [id, text] : host.texts)
        s += std::to_string(id) + '=' + text + ';';
    return s;
}

class CancelFormTest : public TransferTest, public ::testing::WithParamInterface<bool> {};

}  // namespace

// The form shows the cancel alone and is idle again: its timer runs, the bar
// is back at zero, and a cancelled read-out leaves the form as it was.
TEST_P(CancelFormTest, ShowsTheCancelAloneAndIsIdleAgain)
{
    const bool write = GetParam();
    rig.pagerState().callers[0].text = "Vom Pager";
    host.setControlText(ctl::callerText(1), "Im Formular");
    dlg.UpdateData(true);
    const std::string before = formAndImage(dlg, host);
    host.onProgress = [&](int, int, int pos) {
        if (pos == 20)
            dlg.session().requestStop();
    };
    dlg.onCommand(write ? ctl::WriteButton : ctl::ReadButton);

    ASSERT_EQ(host.messages.size(), 1u);
    EXPECT_TRUE(host.messages[0].starts_with(write ? WriteCancelled : ReadCancelled)) << host.messages[0];
    EXPECT_TRUE(host.timerRunning(ctl::UiTimerId) && host.progressPos == 0);
    EXPECT_FALSE(results.lastWriteSucceeded || results.lastReadOutComplete);
    if (!write) {
        EXPECT_EQ(formAndImage(dlg, host), before);
    }
    EXPECT_TRUE(rig.keepAliveOnNextTick());
}

INSTANTIATE_TEST_SUITE_P(ReadAndWrite, CancelFormTest, ::testing::Bool(),
                         [](const auto& test) { return std::string(test.param ? "Write" : "Read"); });

// A search cancelled before it began leaves "Aktiv" clear and the timer
// running, and sends nothing.
TEST_F(TransferTest, CancelledSearchLeavesAktivClear)
{
    dlg.session().requestStop();
    dlg.onCommand(ctl::SearchButton);
    EXPECT_FALSE(host.isChecked(ctl::Active));
    EXPECT_TRUE(host.timerRunning(ctl::UiTimerId));
    EXPECT_TRUE(rig.frames().empty());
}

}  // namespace harvelin
