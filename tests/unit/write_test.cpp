#include <gtest/gtest.h>

#include <functional>

#include <cstdio>
#include <string>
#include <vector>

#include "form_results.h"
#include "model/win1252.h"
#include "files/pager_data_file.h"
#include "session_rig.h"
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

TEST_F(WriteTest, FullPagerIsWrittenInOrderWithExactTimingAndKept)
{
    PagerConfiguration config = startConfiguration();
    config.image.callers[0].text.assign("Tisch 1");
    const WriteOutcome outcome = write(config);
    std::vector<std::string> expected(4, frame(">@"));
    expected.push_back(callerFrame(0, "Tisch 1"));
    for (int n = 1; n < 32; ++n)
        expected.push_back(callerFrame(n, ""));
    for (const std::string& f : startUpKitchenFrames())
        expected.push_back(f);
    expected.push_back(frame(">Setze Modus_Fernloeschung:0"));
    expected.push_back(frame(">Setze Debug:0"));
    expected.push_back(frame(">Setze E_Vibration:1"));
    expected.push_back(frame(">Setze Adresstext:Pager:A"));
    expected.push_back(frame(">Setze Text_Fernloeschung:" + win1252("  Fernlöschung  ")));
    EXPECT_EQ(rig.frames(), expected);
    EXPECT_EQ(rig.elapsed(), StartWaitMs + 4 * ExchangeMs + 53 * ExchangeMs + ResultWaitMs);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{Success});
    EXPECT_TRUE(outcome.result.succeeded && !outcome.slotsLeftOut && !outcome.noPager);
    EXPECT_TRUE(sameConfiguration(rig.session.kept(), config));
    EXPECT_EQ(rig.pagerState().kitchenCalls[15].text, "Station 16");
    EXPECT_EQ(rig.pagerState().kitchenCalls[15].key, 16);
    EXPECT_EQ(rig.pagerState().remoteDeleteText, win1252("  Fernlöschung  "));
    // The progress follows the steps.
    EXPECT_EQ(rig.events.progressHigh, 52);
    std::vector<int> progress;
    for (int p = 0; p < 48; ++p)
        progress.push_back(p);
    for (int p : {51, 50, 50, 52, 52})
        progress.push_back(p);
    EXPECT_EQ(rig.events.progressHistory, progress);
}

TEST_F(WriteTest, OldPagerSucceedsWhenAllTwentyStepsAreTakenOver)
{
    rig.pagerState().version = "1.4";
    PagerConfiguration config = startConfiguration();
    config.battery = true;
    const WriteOutcome outcome = write(config);
    std::vector<std::string> expected(4, frame(">@"));
    for (int n = 0; n < 16; ++n)
        expected.push_back(callerFrame(n, ""));
    expected.push_back(frame(">Setze Debug:1"));
    expected.push_back(frame(">Setze E_Vibration:1"));
    expected.push_back(frame(">Setze Adresstext:Pager:A"));
    // The remote-delete text goes to old pagers too.
    expected.push_back(frame(">Setze Text_Fernloeschung:" + win1252("  Fernlöschung  ")));
    EXPECT_EQ(rig.frames(), expected);
    EXPECT_EQ(rig.elapsed(), StartWaitMs + 4 * ExchangeMs + 20 * ExchangeMs + ResultWaitMs);
    EXPECT_EQ(rig.events.progressHigh, 18);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{Success});
    EXPECT_TRUE(outcome.result.succeeded);
}

TEST_F(WriteTest, UnansweredVersionWritesSixteenSlotsAndFails)
{
    rig.faults().silentFor[">@"] = -1;
    rig.events.progressHigh = 77;
    const WriteOutcome outcome = write();
    EXPECT_EQ(rig.countCommand(">@"), 4);
    EXPECT_EQ(rig.events.progressHigh, 77);  // no range is set
    EXPECT_EQ(rig.frames().size(), 4u + 16u + 4u);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{Failure + win1252(" Ob der Pager alle neuen Daten hält, "
                                                                           "ist nicht sicher.") +
                                                         WriteAgain});
    EXPECT_FALSE(outcome.result.succeeded);
}

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

TEST_F(WriteTest, SettingsCountOnlyLowerCaseAcknowledgementBeforeAnyZeroByte)
{
    rig.faults().replaceReply[">Setze Debug"] = "Wert Uebernommen\r\n";
    rig.faults().replaceReply[">Setze Adresstext"] = "Adresstext\0uebernommen\r\n"s;
    const PagerConfiguration before = rig.session.kept();
    const WriteOutcome outcome = write();
    EXPECT_EQ(rig.countCommand(">Setze Debug:0"), 4);
    EXPECT_EQ(rig.countCommand(">Setze Adresstext:Pager:A"), 4);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{Failure + win1252(" Nicht übernommen: Batteriespannung, "
                                                                           "Pager-Name. Der Pager antwortete: \"Wert "
                                                                           "Uebernommen\\r\\n\"") +
                                                         partly("Fernlöschung", "Batteriespannung")});
    EXPECT_FALSE(outcome.result.succeeded);
    EXPECT_TRUE(sameConfiguration(rig.session.kept(), before));
}

TEST_F(WriteTest, OneUnacknowledgedKitchenSlotFailsTheWriteButTheRestIsWritten)
{
    rig.faults().noAckFor[">Se-Kueche:4 "] = -1;
    PagerConfiguration config = startConfiguration();
    config.image.kitchenCalls[5].text.assign("Nachher");
    const WriteOutcome outcome = write(config);
    EXPECT_EQ(rig.countStartingWith(">Se-Kueche:4 "), 4);
    EXPECT_EQ(rig.pager->commands().size(), 4u + 53u + 3u);
    EXPECT_EQ(rig.pagerState().kitchenCalls[5].text, "Nachher");
    EXPECT_EQ(rig.countCommand(">Setze Text_Fernloeschung:" + win1252("  Fernlöschung  ")), 1);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{Failure + win1252(" Nicht übernommen: Küchenruf 5. Der "
                                                                           "Pager antwortete: \"Fehler\\r\\n\"") +
                                                         partly("Küchenruf 4", "Küchenruf 5")});
    EXPECT_FALSE(outcome.result.succeeded);
}

TEST_F(WriteTest, StepOfAPortThatFailsMidWriteIsNotCounted)
{
    // The adapter is pulled as slot 6 begins and is back for slot 7: slot 6
    // gets no exchange through, slot 7 re-opens the port and goes out.
    rig.events.onProgress = [&](int pos) {
        if (pos == 5)
            rig.backend.unplug("COM1");
        if (pos == 6)
            rig.backend.plug("COM1");
    };
    PagerConfiguration config = startConfiguration();
    config.image.callers[5].text.assign("Weg");
    config.image.callers[6].text.assign("Da");
    const WriteOutcome outcome = write(config);
    EXPECT_EQ(rig.pagerState().callers[5].text, "");
    EXPECT_EQ(rig.pagerState().callers[6].text, "Da");
    EXPECT_EQ(rig.countStartingWith(">Setze:5 "), 0);
    EXPECT_EQ(rig.countStartingWith(">Setze:6 "), 1);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{Failure + win1252(" Nicht übernommen: Tischsender 6.") +
                                                         partly("Tischsender 5", "Tischsender 6")});
    EXPECT_FALSE(outcome.result.succeeded);
}

TEST_F(WriteTest, PagerFallingSilentMidWriteSaysHowFarItGot)
{
    rig.events.onProgress = [&](int pos) { rig.faults().silent = pos >= 10; };
    const WriteOutcome outcome = write();
    EXPECT_TRUE(outcome.result.pagerGone);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{Failure + win1252(" Nicht übernommen: Tischsender 11, Tischsender 12, "
                                                                           "Tischsender 13.") +
                                                         partly("Tischsender 10", "Tischsender 11")});
}

TEST_F(WriteTest, WithoutAPagerNothingIsSent)
{
    SessionEvents none;
    rig.session.end(none);
    rig.backend.clearEvents();
    const WriteOutcome outcome = write();
    EXPECT_TRUE(outcome.noPager);
    EXPECT_TRUE(rig.frames().empty());
    EXPECT_EQ(rig.elapsed(), 0);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{NoConnection});
    EXPECT_FALSE(outcome.result.succeeded);
}

// A pager that answers after the read window and refuses the next slot: the
// slow "Uebernommen" counts for its own slot, never for the one refused.
TEST_F(WriteTest, SlowAnswerCountsForItsOwnSlotAndARefusalFailsTheWrite)
{
    rig.faults().delayFor[">Setze:3 "] = 350;
    rig.faults().noAckFor[">Setze:4 "] = -1;
    const WriteOutcome outcome = write();
    EXPECT_EQ(outcome.messages, std::vector<std::string>{Failure + win1252(" Nicht übernommen: Tischsender 5. Der "
                                                                           "Pager antwortete: \"Fehler\\r\\n\"") +
                                                         partly("Tischsender 4", "Tischsender 5")});
    EXPECT_EQ(rig.countStartingWith(">Setze:3 "), 1);
    EXPECT_FALSE(outcome.result.succeeded);
}

// A 16-slot pager takes what it can; what it cannot is named, not dropped
// in silence, and the configuration is not kept then. Start values there
// are nothing to lose.
TEST_F(WriteTest, SmallPagerSaysWhatItCouldNotTake)
{
    const std::string leftOut =
        win1252("Der Pager hat nur 16 Speicherplätze: Plätze 17 bis 32 und die Küchenrufe wurden nicht übertragen.");
    struct Case {
        const char* name;
        std::function<void(PagerImage&)> change;
        bool named;
    };
    const Case cases[] = {
        {"start values", [](PagerImage&) {}, false},
        {"slot 16", [](PagerImage& image) { image.callers[15].text.assign("Tisch 16"); }, false},
        {"slot 17", [](PagerImage& image) { image.callers[16].text.assign("Tisch 17"); }, true},
        {"slot 32 identity", [](PagerImage& image) { image.callers[31].idSuffix = 1; }, true},
        {"kitchen key", [](PagerImage& image) { image.kitchenCalls[15].key = 1; }, true},
    };
    rig.pagerState().version = "1.4";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        PagerConfiguration config = startConfiguration();
        c.change(config.image);
        rig.session.keep({});
        const WriteOutcome outcome = write(config);
        EXPECT_TRUE(outcome.result.succeeded);
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
    EXPECT_EQ(pagerState().callers[31].text, "ABCDEFGHIJKLMN");
    EXPECT_EQ(pagerState().callers[31].id, (std::array<std::uint8_t, 5>{7, 255, 0, 1, 2}));
    EXPECT_EQ(pagerState().kitchenCalls[0].text, win1252("Küche"));
    EXPECT_EQ(pagerState().kitchenCalls[0].station, 3);
    EXPECT_EQ(pagerState().kitchenCalls[0].key, 12);
    EXPECT_EQ(pagerState().vibration, 3u);
    EXPECT_EQ(pagerState().remoteDeleteMode, 3u);
    EXPECT_EQ(pagerState().pagerName, "Pager:Z");
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
    EXPECT_TRUE(keepAliveOnNextTick());
}

}  // namespace
}  // namespace harvelin
