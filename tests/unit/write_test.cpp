#include <gtest/gtest.h>

#include <functional>

#include <cstdio>
#include <string>
#include <vector>

#include "form_results.h"
#include "model/win1252.h"
#include "files/configuration_diff.h"
#include "files/pager_data_file.h"
#include "session_rig.h"
#include "transfer/messages.h"
#include "transfer_fixture.h"

namespace harvelin {
namespace {

using namespace std::string_literals;

constexpr std::int64_t StartWaitMs = TransferStartWaitMs;
constexpr std::int64_t ResultWaitMs = 1000;

const std::string Success = win1252("Daten erfolgreich übertragen");
const std::string Failure = win1252("Fehlerhafte Übertragung!");
const std::string NoConnection = "Es besteht keine Verbindung zum Zelvatron!";
const std::string WriteAgain = win1252(" Ein erneutes \"PC -> Pager\" beschreibt ihn vollständig.");

// What the message says a write that failed part-way left (UTF-8 names).
std::string partly(const std::string& newUpTo, const std::string& oldFrom)
{
    return win1252(" Der Pager ist nur teilweise beschrieben. Bis " + newUpTo + " hält er die neuen Daten, ab " +
                   oldFrom + " zum Teil noch die alten.") +
           WriteAgain;
}

std::string callerFrame(int n, const std::string& text, const std::string& numbers = " 000 000 000 000 000")
{
    return frame(">Setze:" + std::to_string(n) + " \x02" + text + "\x03" + numbers + " Ende");
}

std::string kitchenFrame(int k, const std::string& text, const std::string& numbers)
{
    return frame(">Se-Kueche:" + std::to_string(k) + " \x02" + text + "\x03" + numbers + " Ende");
}

// "PC -> Pager" on the session, with what a front end holds.
class WriteTest : public ::testing::Test {
protected:
    void SetUp() override { rig.connect(); }
    WriteOutcome write(const PagerConfiguration& config = startConfiguration())
    {
        return rig.timed([&] { rig.session.configuration() = config;
            return rig.session.write(rig.events);
        });
    }
    SessionRig rig;
};

// The form right after start-up: empty caller slots, kitchen rows
// "Station r" with key r and station 1.
std::vector<std::string> startUpKitchenFrames()
{
    std::vector<std::string> frames;
    for (int k = 0; k < 16; ++k) {
        char numbers[16];
        std::snprintf(numbers, sizeof numbers, " 001 %03d", k + 1);
        frames.push_back(kitchenFrame(k, "Station " + std::to_string(k + 1), numbers));
    }
    return frames;
}

class CompleteWrite : public WriteTest, public ::testing::WithParamInterface<PagerKind> {};

// Every step goes out in order, to the millisecond, each told on the
// progress bar, and the result is told a second after the last. A small
// pager gets its sixteen slots and the settings it has, the remote-delete
// text among them. A complete write is kept.
TEST_P(CompleteWrite, SendsEveryStepInOrderWithExactTimingAndIsKept)
{
    const PagerKind& kind = GetParam();
    const bool full = kind.callerSlots == 32;
    rig.pagerState().version = kind.version;
    PagerConfiguration config = startConfiguration();
    config.image.callers[0].text.assign("Tisch 1");
    config.battery = true;
    const WriteOutcome outcome = write(config);

    std::vector<std::string> expected(4, frame(">@"));
    expected.push_back(callerFrame(0, "Tisch 1"));
    for (unsigned n = 1; n < kind.callerSlots; ++n)
        expected.push_back(callerFrame(static_cast<int>(n), ""));
    if (full) {
        for (const std::string& f : startUpKitchenFrames())
            expected.push_back(f);
        expected.push_back(frame(">Setze Modus_Fernloeschung:0"));
    }
    expected.push_back(frame(">Setze Debug:1"));
    expected.push_back(frame(">Setze E_Vibration:1"));
    expected.push_back(frame(">Setze Adresstext:Pager:A"));
    expected.push_back(frame(">Setze Text_Fernloeschung:" + win1252("  Fernlöschung  ")));
    EXPECT_EQ(rig.frames(), expected);
    EXPECT_EQ(rig.elapsed(),
              StartWaitMs + static_cast<std::int64_t>(expected.size()) * ExchangeMs + ResultWaitMs);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{Success});
    EXPECT_TRUE(outcome.result.succeeded && !outcome.slotsLeftOut && !outcome.noPager);
    EXPECT_TRUE(sameConfiguration(rig.session.kept(), config));
    EXPECT_EQ(rig.pagerState().callers[0].text, "Tisch 1");
    EXPECT_EQ(rig.pagerState().debug, 1u);
    EXPECT_EQ(rig.pagerState().remoteDeleteText, win1252("  Fernlöschung  "));
    EXPECT_EQ(rig.events.progressHigh, full ? 52 : 18);
    if (full) {
        EXPECT_EQ(rig.pagerState().kitchenCalls[15].text, "Station 16");
        EXPECT_EQ(rig.pagerState().kitchenCalls[15].key, 16);
        // The steps in order, then the settings as they are taken over.
        std::vector<int> progress;
        for (int p = 0; p < 48; ++p)
            progress.push_back(p);
        for (int p : {51, 50, 50, 52, 52})
            progress.push_back(p);
        EXPECT_EQ(rig.events.progressHistory, progress);
    }
}

INSTANTIATE_TEST_SUITE_P(Pagers, CompleteWrite, PagerKinds,
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(WriteTest, ConfigurationGoesOutAsHeld)
{
    PagerConfiguration config = startConfiguration();
    config.image.callers[31].buttonId = {7, 255, 0, 1};
    config.image.callers[31].idSuffix = 2;
    config.image.callers[31].text.assign("ABCDEFGHIJKLMN");
    config.image.kitchenCalls[0] = {};
    config.image.kitchenCalls[0].text.assign(win1252("Küche"));
    config.image.kitchenCalls[0].station = 3;
    config.image.kitchenCalls[0].key = 12;
    config.pagerName = "Pager:Z";
    config.buzzer = true;
    config.remoteDelete = true;
    write(config);

    const std::vector<std::string> sent = rig.frames();
    ASSERT_EQ(sent.size(), 4u + 53u);
    const std::string slot32 = callerFrame(31, "ABCDEFGHIJKLMN", " 007 255 000 001 002");
    EXPECT_EQ(sent[4 + 31], slot32);
    EXPECT_EQ(slot32.size(), 51u + 2u);  // the command and its framing
    EXPECT_EQ(sent[4 + 32], kitchenFrame(0, win1252("Küche"), " 003 012"));
    EXPECT_EQ(sent[4 + 48], frame(">Setze Modus_Fernloeschung:3"));
    EXPECT_EQ(sent[4 + 50], frame(">Setze E_Vibration:3"));
    EXPECT_EQ(sent[4 + 51], frame(">Setze Adresstext:Pager:Z"));
    EXPECT_EQ(rig.pagerState().callers[31].id, (std::array<std::uint8_t, 5>{7, 255, 0, 1, 2}));
    EXPECT_EQ(rig.pagerState().vibration, 3u);
}

TEST_F(WriteTest, SlotAcknowledgementMayHoldZeroBytesAndEitherSpelling)
{
    rig.faults().replaceReply[">Setze:0 "] = "Eintrag\0Uebernommen\r\n"s;
    rig.faults().ackWithCapital = false;
    EXPECT_EQ(write().messages, std::vector<std::string>{Success});
    EXPECT_EQ(rig.countStartingWith(">Setze:0 "), 1);
}

// A write that is to be checked is read back after the pager acknowledged
// it. Its success is told only when the pager holds what was written; a
// slot the pager acknowledged but did not store is named, and a read-back
// that does not finish says that the write is not checked. Only a verified
// write is kept.
struct CheckedWrite {
    const char* name;
    std::function<void(SessionRig&)> prepare;
    Messages messages;
    std::vector<std::string> differences;
};

class CheckedWriteTest : public WriteTest, public ::testing::WithParamInterface<CheckedWrite> {};

TEST_P(CheckedWriteTest, TellsSuccessOnlyWhenThePagerHoldsWhatWasWritten)
{
    const CheckedWrite& c = GetParam();
    c.prepare(rig);
    PagerConfiguration config = startConfiguration();
    config.image.callers[8].text.assign("Tisch 9");
    const WriteOutcome outcome = rig.timed([&] {
        rig.session.configuration() = config;
        return rig.session.write(rig.events, PagerSession::Check::ReadBack);
    });
    EXPECT_TRUE(outcome.result.succeeded);
    EXPECT_EQ(outcome.messages, c.messages);
    ASSERT_TRUE(outcome.readBack);
    std::vector<std::string> lines;
    for (const ConfigurationDifference& d : outcome.readBack->differences)
        lines.push_back(d.line(side::Form, side::Pager));
    EXPECT_EQ(lines, c.differences);
    EXPECT_EQ(sameConfiguration(rig.session.kept(), config), outcome.verified());
    EXPECT_TRUE(sameConfiguration(rig.session.configuration(), config));
}

INSTANTIATE_TEST_SUITE_P(
    Session, CheckedWriteTest,
    ::testing::Values(CheckedWrite{"Agrees", [](SessionRig&) {}, {Success}, {}},
                      CheckedWrite{"SlotNotStored",
                                   [](SessionRig& rig) {
                                       rig.pagerState().callers[8].text = "Tisch 1";
                                       rig.faults().forgetCallerWrite.insert(8);
                                   },
                                   {},
                                   {"Platz 9 Meldetext: Formular \"Tisch 9\", Pager \"Tisch 1\""}},
                      CheckedWrite{"NotReadBack",
                                   [](SessionRig& rig) { rig.faults().silentFor[">Lese:3"] = -1; },
                                   {std::string(localized(TransferText::WriteNotVerified))},
                                   {}}),
    [](const auto& test) { return std::string(test.param.name); });

// A write that fails says which steps the pager did not take over, with its
// last answer, and up to where it holds the new data; it is not kept.
struct FailedWrite {
    const char* name;
    std::function<void(SessionRig&, PagerConfiguration&)> prepare;
    std::string message;
    std::function<void(SessionRig&, const WriteOutcome&)> check;
};

class FailedWriteTest : public WriteTest, public ::testing::WithParamInterface<FailedWrite> {};

TEST_P(FailedWriteTest, SaysWhatThePagerDidNotTakeAndHowFarItHoldsTheNewData)
{
    const FailedWrite& c = GetParam();
    PagerConfiguration config = startConfiguration();
    c.prepare(rig, config);
    const PagerConfiguration before = rig.session.kept();
    const WriteOutcome outcome = write(config);
    EXPECT_EQ(outcome.messages, Messages{c.message});
    EXPECT_FALSE(outcome.result.succeeded);
    EXPECT_TRUE(sameConfiguration(rig.session.kept(), before));
    c.check(rig, outcome);
}

INSTANTIATE_TEST_SUITE_P(
    Session, FailedWriteTest,
    ::testing::Values(
        // Without the version the pager gets the sixteen slots every pager
        // has, and no progress range is set.
        FailedWrite{"UnansweredVersion",
                    [](SessionRig& rig, PagerConfiguration&) {
                        rig.faults().silentFor[">@"] = -1;
                        rig.events.progressHigh = 77;
                    },
                    Failure + win1252(" Ob der Pager alle neuen Daten hält, ist nicht sicher.") + WriteAgain,
                    [](SessionRig& rig, const WriteOutcome&) {
                        EXPECT_EQ(rig.countCommand(">@"), 4);
                        EXPECT_EQ(rig.events.progressHigh, 77);
                        EXPECT_EQ(rig.frames().size(), 4u + 16u + 4u);
                    }},
        // Settings count only a lower-case acknowledgement before any zero byte.
        FailedWrite{"SettingsWithoutTheirAcknowledgement",
                    [](SessionRig& rig, PagerConfiguration&) {
                        rig.faults().replaceReply[">Setze Debug"] = "Wert Uebernommen\r\n";
                        rig.faults().replaceReply[">Setze Adresstext"] = "Adresstext\0uebernommen\r\n"s;
                    },
                    Failure + win1252(" Nicht übernommen: Batteriespannung, Pager-Name. Der Pager antwortete: \"Wert "
                                      "Uebernommen\\r\\n\"") +
                        partly("Fernlöschung", "Batteriespannung"),
                    [](SessionRig& rig, const WriteOutcome&) {
                        EXPECT_EQ(rig.countCommand(">Setze Debug:0"), 4);
                        EXPECT_EQ(rig.countCommand(">Setze Adresstext:Pager:A"), 4);
                    }},
        // One kitchen slot refused: the rest is written all the same.
        FailedWrite{"UnacknowledgedKitchenSlot",
                    [](SessionRig& rig, PagerConfiguration& config) {
                        rig.faults().noAckFor[">Se-Kueche:4 "] = -1;
                        config.image.kitchenCalls[5].text.assign("Nachher");
                    },
                    Failure + win1252(" Nicht übernommen: Küchenruf 5. Der Pager antwortete: \"Fehler\\r\\n\"") +
                        partly("Küchenruf 4", "Küchenruf 5"),
                    [](SessionRig& rig, const WriteOutcome&) {
                        EXPECT_EQ(rig.countStartingWith(">Se-Kueche:4 "), 4);
                        EXPECT_EQ(rig.commands().size(), 4u + 53u + 3u);
                        EXPECT_EQ(rig.pagerState().kitchenCalls[5].text, "Nachher");
                        EXPECT_EQ(rig.countCommand(">Setze Text_Fernloeschung:" + win1252("  Fernlöschung  ")), 1);
                    }},
        // The adapter is pulled as slot 6 begins and is back for slot 7: slot
        // 6 gets no exchange through and is not counted, slot 7 re-opens the
        // port and goes out.
        FailedWrite{"PortFailingForOneSlot",
                    [](SessionRig& rig, PagerConfiguration& config) {
                        rig.events.onProgress = [&rig](int pos) {
                            if (pos == 5)
                                rig.backend.unplug(rig.port);
                            if (pos == 6)
                                rig.backend.plug(rig.port);
                        };
                        config.image.callers[5].text.assign("Weg");
                        config.image.callers[6].text.assign("Da");
                    },
                    Failure + win1252(" Nicht übernommen: Tischsender 6.") + partly("Tischsender 5", "Tischsender 6"),
                    [](SessionRig& rig, const WriteOutcome&) {
                        EXPECT_EQ(rig.pagerState().callers[5].text, "");
                        EXPECT_EQ(rig.pagerState().callers[6].text, "Da");
                        EXPECT_EQ(rig.countStartingWith(">Setze:5 "), 0);
                        EXPECT_EQ(rig.countStartingWith(">Setze:6 "), 1);
                    }},
        FailedWrite{"PagerFallingSilent",
                    [](SessionRig& rig, PagerConfiguration&) {
                        rig.events.onProgress = [&rig](int pos) { rig.faults().silent = pos >= 10; };
                    },
                    Failure + win1252(" Nicht übernommen: Tischsender 11, Tischsender 12, Tischsender 13.") +
                        partly("Tischsender 10", "Tischsender 11"),
                    [](SessionRig&, const WriteOutcome& outcome) { EXPECT_TRUE(outcome.result.pagerGone); }},
        // A pager that answers after the read window and refuses the next
        // slot: the slow "Uebernommen" counts for its own slot, never for the
        // one refused.
        FailedWrite{"LateAnswerThenARefusal",
                    [](SessionRig& rig, PagerConfiguration&) {
                        rig.faults().delayFor[">Setze:3 "] = 350;
                        rig.faults().noAckFor[">Setze:4 "] = -1;
                    },
                    Failure + win1252(" Nicht übernommen: Tischsender 5. Der Pager antwortete: \"Fehler\\r\\n\"") +
                        partly("Tischsender 4", "Tischsender 5"),
                    [](SessionRig& rig, const WriteOutcome&) { EXPECT_EQ(rig.countStartingWith(">Setze:3 "), 1); }}),
    [](const auto& test) { return std::string(test.param.name); });

// A 16-slot pager takes what it can; what it cannot is named, not dropped
// in silence, and the configuration is not kept then. Start values there
// are nothing to lose, and a full pager takes everything.
TEST_F(WriteTest, SmallPagerSaysWhatItCouldNotTake)
{
    const std::string leftOut =
        win1252("Der Pager hat nur 16 Speicherplätze: Plätze 17 bis 32 und die Küchenrufe wurden nicht übertragen.");
    struct Case {
        const char* name;
        const char* version;
        std::function<void(PagerImage&)> change;
        bool named;
    };
    const auto upperAndKitchen = [](PagerImage& image) {
        image.callers[19].text.assign("Tisch 20");
        image.kitchenCalls[4].key = 9;
    };
    const Case cases[] = {
        {"start values", "1.4", [](PagerImage&) {}, false},
        {"slot 16", "1.4", [](PagerImage& image) { image.callers[15].text.assign("Tisch 16"); }, false},
        {"slot 17", "1.4", [](PagerImage& image) { image.callers[16].text.assign("Tisch 17"); }, true},
        {"slot 32 identity", "1.4", [](PagerImage& image) { image.callers[31].idSuffix = 1; }, true},
        {"kitchen key", "1.4", [](PagerImage& image) { image.kitchenCalls[15].key = 1; }, true},
        {"full pager", "2.62", upperAndKitchen, false},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        rig.pagerState().version = c.version;
        PagerConfiguration config = startConfiguration();
        c.change(config.image);
        rig.session.keep({});
        const WriteOutcome outcome = write(config);
        EXPECT_TRUE(outcome.result.succeeded);
        EXPECT_EQ(outcome.result.callerSlots, std::string(c.version) == "1.4" ? 16u : 32u);
        EXPECT_EQ(outcome.slotsLeftOut, c.named);
        const std::vector<std::string> expected =
            c.named ? std::vector<std::string>{Success, leftOut} : std::vector<std::string>{Success};
        EXPECT_EQ(outcome.messages, expected);
        EXPECT_EQ(sameConfiguration(rig.session.kept(), config), !c.named);
    }
}

// --- what the form makes of it -------------------------------------------

class WriteFormTest : public TransferTest {
protected:
    void write() { timed([this] { dlg.onCommand(ctl::WriteButton); }); }
};

TEST_F(WriteFormTest, FormContentsGoOutAsShown)
{
    editImage(dlg, [&](PagerImage& image) { image.callers[31].buttonId = {7, 255, 0, 1}; });
    editImage(dlg, [&](PagerImage& image) { image.callers[31].idSuffix = 2; });
    dlg.onCommand(ctl::PageUpper);
    host.setControlText(ctl::callerText(16), "ABCDEFGHIJKLMN");
    host.setControlText(ctl::kitchenStation(1), "3");
    host.setControlText(ctl::kitchenKey(1), "12");
    host.setControlText(ctl::kitchenText(1), win1252("Küche"));
    host.setControlText(ctl::PagerName, "Pager:Z");
    host.setChecked(ctl::Buzzer, true);
    host.setChecked(ctl::RemoteDelete, true);
    write();
    EXPECT_EQ(rig.pagerState().callers[31].text, "ABCDEFGHIJKLMN");
    EXPECT_EQ(rig.pagerState().callers[31].id, (std::array<std::uint8_t, 5>{7, 255, 0, 1, 2}));
    EXPECT_EQ(rig.pagerState().kitchenCalls[0].text, win1252("Küche"));
    EXPECT_EQ(rig.pagerState().kitchenCalls[0].station, 3);
    EXPECT_EQ(rig.pagerState().kitchenCalls[0].key, 12);
    EXPECT_EQ(rig.pagerState().vibration, 3u);
    EXPECT_EQ(rig.pagerState().remoteDeleteMode, 3u);
    EXPECT_EQ(rig.pagerState().pagerName, "Pager:Z");
    EXPECT_TRUE(results.lastWriteSucceeded);
    EXPECT_EQ(host.messages, std::vector<std::string>{Success});
    // What was written is kept.
    EXPECT_FALSE(dlg.hasUnsavedChanges());
}

TEST_F(WriteFormTest, WithoutAktivTheImageTakesTheFormAndTheTimerRuns)
{
    SessionEvents none;
    dlg.session().end(none);
    host.setControlText(ctl::callerText(3), "Neu");
    const int stops = host.timerStops;
    write();
    EXPECT_EQ(dlg.image().callers[2].text.str(), "Neu");
    EXPECT_EQ(host.messages, std::vector<std::string>{NoConnection});
    EXPECT_EQ(host.timerStops, stops);
    EXPECT_TRUE(host.timerRunning(ctl::UiTimerId));
    EXPECT_FALSE(results.lastWriteSucceeded);
}

TEST_F(WriteFormTest, TimerRestartsOnlyAfterTheResultBoxCloses)
{
    bool timerDuringBox = true;
    int progressDuringBox = -1;
    std::int64_t boxAt = 0;
    host.onMessage = [&](const std::string&) {
        timerDuringBox = host.timerRunning(ctl::UiTimerId);
        progressDuringBox = host.progressPos;
        boxAt = rig.clock.nowMs();
    };
    write();
    EXPECT_FALSE(timerDuringBox);
    EXPECT_EQ(progressDuringBox, 0);
    EXPECT_EQ(boxAt - start, elapsed());
    EXPECT_EQ(host.progressHistory.front(), 0);
    EXPECT_EQ(host.progressHistory.back(), 0);
    EXPECT_TRUE(host.timerRunning(ctl::UiTimerId));
    EXPECT_TRUE(rig.keepAliveOnNextTick());
}

}  // namespace
}  // namespace harvelin
