#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <string>
#include <tuple>
#include <vector>

#include "files/configuration_diff.h"
#include "files/pager_data_file.h"
#include "form_results.h"
#include "model/conversions.h"
#include "model/win1252.h"
#include "session_rig.h"
#include "test_files.h"
#include "transfer_fixture.h"

namespace harvelin {
namespace {

// ">Lese:0" first makes the pager identify itself: 200 ms, a read of up to
// 150 bytes, the drain of up to 200 bytes, then the exchange.
constexpr std::int64_t PresenceExchangeMs = 200 + 151 + 201 + ExchangeMs;
constexpr std::int64_t StartWaitMs = TransferStartWaitMs;
constexpr std::int64_t KitchenWaitMs = 100;

const std::string BadData = win1252("Fehlerhafter Datenempfang – die Daten im Formular sind unverändert.");
const std::string NoConnection = "Es besteht keine Verbindung zum Zelvatron!";

// "Pager -> PC" on the session, starting from what a front end holds.
class ReadOutTest : public ::testing::Test {
protected:
    void SetUp() override { rig.connect(); }
    ReadOutOutcome readOut(const PagerConfiguration& start = startConfiguration())
    {
        return rig.timed([&] { rig.session.configuration() = start;
            return rig.session.readOut(rig.events);
        });
    }
    SessionRig rig;
};

std::vector<int> steps(int count)
{
    std::vector<int> positions;
    for (int p = 0; p < count; ++p)
        positions.push_back(p);
    return positions;
}

class CompleteReadOut : public ReadOutTest, public ::testing::WithParamInterface<PagerKind> {};

// The pager is asked in order, each step told on the progress bar, to the
// millisecond; what it holds comes back, what it has no room for is what the
// read-out started from. A complete read-out is kept, the pager's version
// noted and said on the status line, and the line is kept alive afterwards.
TEST_P(CompleteReadOut, GivesWhatThePagerHoldsInOrderWithExactTiming)
{
    const PagerKind& kind = GetParam();
    const bool full = kind.callerSlots == 32;
    rig.pagerState().version = kind.version;
    rig.pagerState().callers[0] = {"Tisch 1", {10, 0, 0, 0, 1}};
    rig.pagerState().callers[15] = {"Letzter", {1, 0, 0, 0, 0}};
    rig.pagerState().callers[31] = {"Terrasse", {1, 2, 3, 4, 9}};
    rig.pagerState().kitchenCalls[15] = {"Pizza", 4, 16};
    rig.pagerState().pagerName = "Pager:B";
    rig.pagerState().remoteDeleteText = "  Bitte warten  ";
    rig.pagerState().remoteDeleteMode = 0;
    rig.pagerState().debug = 1;
    rig.pagerState().vibration = 3;
    PagerConfiguration start = startConfiguration();
    start.image.callers[31].text.assign("bleibt");
    start.image.kitchenCalls[15].text.assign("bleibt auch");
    start.remoteDelete = true;
    const ReadOutOutcome outcome = readOut(start);

    std::vector<std::string> expected = {frame(">@"), frame(">@"), frame(">@") + frame(">Lese:0")};
    for (unsigned n = 1; n < kind.callerSlots; ++n)
        expected.push_back(frame(">Lese:" + std::to_string(n)));
    std::vector<std::string> settings = {">List Adresstext", ">List Debug", ">List E_Vibration"};
    if (full) {
        for (int k = 0; k < 16; ++k)
            expected.push_back(frame(">Le-Kueche:" + std::to_string(k)));
        settings.insert(settings.begin(), {">List Modus_Fernloeschung", ">List Text_Fernloeschung"});
    }
    for (const std::string& c : settings)
        expected.push_back(frame(c));
    EXPECT_EQ(rig.frames(), expected);
    const std::int64_t slotsMs = (kind.callerSlots - 1) * ExchangeMs + (full ? 16 * (ExchangeMs + KitchenWaitMs) : 0);
    EXPECT_EQ(rig.elapsed(), StartWaitMs + ExchangeMs + PresenceExchangeMs + slotsMs +
                                 static_cast<std::int64_t>(settings.size()) * ExchangeMs);
    const int stepCount = static_cast<int>(kind.callerSlots + (full ? 16 : 0) + settings.size()) - 1;
    EXPECT_EQ(rig.events.progressHigh, stepCount);
    EXPECT_EQ(rig.events.progressHistory, steps(stepCount));

    const ReadOutResult& got = outcome.result;
    EXPECT_TRUE(got.complete());
    EXPECT_EQ(got.answered.keyedLines, kind.callerSlots + (full ? 16 : 0) + settings.size());
    const PagerConfiguration& read = got.read;
    EXPECT_EQ(read.image.callers[0].text.str(), "Tisch 1");
    EXPECT_EQ(read.image.callers[0].buttonIdValue(), 10u);
    EXPECT_EQ(read.image.callers[0].idSuffix, 1);
    EXPECT_EQ(read.image.callers[15].text.str(), "Letzter");
    EXPECT_EQ(read.image.callers[31].text.str(), full ? "Terrasse" : "bleibt");
    EXPECT_EQ(read.image.callers[31].buttonId, (full ? std::array<std::uint8_t, 4>{1, 2, 3, 4}
                                                     : std::array<std::uint8_t, 4>{}));
    EXPECT_EQ(read.image.callers[31].idSuffix, full ? 9 : 0);
    EXPECT_EQ(read.image.kitchenCalls[15].text.str(), full ? "Pizza" : "bleibt auch");
    EXPECT_EQ(read.image.kitchenCalls[15].station, full ? 4 : 1);
    EXPECT_EQ(read.image.kitchenCalls[15].key, 16);
    EXPECT_EQ(read.pagerName, "Pager:B");
    EXPECT_EQ(read.remoteDeleteText, full ? "  Bitte warten  " : start.remoteDeleteText);
    EXPECT_EQ(read.remoteDelete, !full);
    EXPECT_TRUE(read.battery && read.buzzer);
    EXPECT_TRUE(outcome.messages.empty() && !outcome.noPager && !outcome.stopped);
    EXPECT_TRUE(sameConfiguration(rig.session.kept(), read));
    EXPECT_EQ(rig.session.pager().versionText, kind.version);
    EXPECT_EQ(rig.session.pager().callerSlots, kind.callerSlots);
    EXPECT_EQ(rig.session.statusLine(),
              "Pager gelesen: " + std::to_string(kind.callerSlots) + " Tischsender" +
                  (full ? win1252(", 16 Küchenrufe") : std::string()));
    EXPECT_TRUE(rig.session.active());
    EXPECT_TRUE(rig.keepAliveOnNextWatch());
}

// Comparing reads the pager and names every kind of field that differs, in
// the form's words, with the form's side first. A small pager is compared
// only in what it holds: its 16 slots and the settings it has. What the
// session holds stays as it was.
TEST_P(CompleteReadOut, ComparisonNamesEveryKindOfFieldThatBothHold)
{
    const PagerKind& kind = GetParam();
    const bool full = kind.callerSlots == 32;
    rig.pagerState().version = kind.version;
    rig.pagerState().callers[2].text = "Bar";
    rig.pagerState().callers[4].id = {1, 2, 3, 4, 5};
    const PagerConfiguration pager = readOut().result.read;
    PagerConfiguration form = pager;
    form.image.callers[2].text.assign("Tisch 3");
    form.image.callers[4].buttonId = {9, 9, 9, 9};
    form.image.callers[19].text.assign("Tisch 20");
    form.image.kitchenCalls[2].text.assign(win1252("Küche"));
    form.image.kitchenCalls[2].key = 9;
    form.image.kitchenCalls[2].station = 7;
    form.pagerName = "Theke";
    form.remoteDeleteText = "weg";
    form.battery = !pager.battery;
    form.buzzer = !pager.buzzer;
    form.remoteDelete = !pager.remoteDelete;
    const PagerConfiguration held = rig.session.configuration();
    const std::string status = rig.session.statusLine();

    const PagerComparison got = rig.session.compare(rig.events, form);
    ASSERT_TRUE(got.readOut.result.complete());
    std::vector<std::string> lines;
    for (const ConfigurationDifference& difference : got.differences)
        lines.push_back(difference.line(side::Form, side::Pager));
    const auto onOff = [](bool on) { return std::string(on ? "ein" : "aus"); };
    std::vector<std::string> expected = {
        "Platz 3 Meldetext: Formular \"Tisch 3\", Pager \"Bar\"",
        "Platz 5 Rufknopf-ID: Formular \"" + identityText(form.image.callers[4]) + "\", Pager \"" +
            identityText(pager.image.callers[4]) + "\""};
    if (full)
        expected.insert(expected.end(),
                        {"Platz 20 Meldetext: Formular \"Tisch 20\", Pager \"\"",
                         win1252("Küchenruf 3 Meldetext: Formular \"Küche\", Pager \"") +
                             pager.image.kitchenCalls[2].text.str() + "\"",
                         win1252("Küchenruf 3 Taste: Formular \"9\", Pager \"") +
                             std::to_string(pager.image.kitchenCalls[2].key) + "\"",
                         win1252("Küchenruf 3 Station: Formular \"7\", Pager \"") +
                             std::to_string(pager.image.kitchenCalls[2].station) + "\""});
    expected.push_back("Einstellungen Pager-Name: Formular \"Theke\", Pager \"" + pager.pagerName + "\"");
    if (full)
        expected.push_back(win1252("Einstellungen Fernlöschtext: Formular \"weg\", Pager \"") +
                           pager.remoteDeleteText + "\"");
    expected.push_back("Einstellungen Batteriespannung: Formular \"" + onOff(form.battery) + "\", Pager \"" +
                       onOff(pager.battery) + "\"");
    expected.push_back("Einstellungen Summer: Formular \"" + onOff(form.buzzer) + "\", Pager \"" +
                       onOff(pager.buzzer) + "\"");
    if (full)
        expected.push_back(win1252("Einstellungen Fernlöschung: Formular \"") + onOff(form.remoteDelete) +
                           "\", Pager \"" + onOff(pager.remoteDelete) + "\"");
    EXPECT_EQ(lines, expected);
    EXPECT_EQ(got.pagerLacks.find("caller slots 17-32") != std::string::npos, !full) << got.pagerLacks;
    EXPECT_TRUE(sameConfiguration(rig.session.configuration(), held));
    EXPECT_TRUE(sameConfiguration(rig.session.kept(), pager));
    EXPECT_EQ(rig.session.statusLine(), status);
}

INSTANTIATE_TEST_SUITE_P(Pagers, CompleteReadOut, PagerKinds,
                         [](const auto& test) { return std::string(test.param.name); });

TEST_F(ReadOutTest, VersionWithLettersReadsAsOldPager)
{
    rig.faults().replaceReply[">@"] = "Zelvatron Pager Direkt Vx.y\r\n";
    readOut();
    EXPECT_EQ(rig.events.progressHigh, 18);
    EXPECT_EQ(rig.frames().back(), frame(">List E_Vibration"));
    EXPECT_EQ(rig.countCommand(">Lese:15"), 1);
    EXPECT_EQ(rig.countCommand(">Lese:16"), 0);
    EXPECT_EQ(rig.countCommand(">Le-Kueche:0"), 0);
}

TEST_F(ReadOutTest, RepliesFillTheirSlotsAndSettings)
{
    rig.pagerState().callers[3] = {"Tisch 4a", {1, 2, 3, 4, 5}};
    rig.pagerState().callers[0].text = win1252("Küche öffnen");  // umlauts arrive as single bytes
    rig.pagerState().vibration = 1;                              // the buzzer follows bit one
    rig.faults().replaceReply[">List Text_Fernloeschung"] = "Text_Fernloeschung :\r\n  Neuer Text  \r\n";
    PagerConfiguration start = startConfiguration();
    start.buzzer = true;
    const ReadOutOutcome outcome = readOut(start);
    ASSERT_TRUE(outcome.result.complete());
    const PagerConfiguration& read = outcome.result.read;
    EXPECT_EQ(read.image.callers[3].text.str(), "Tisch 4a");
    EXPECT_EQ(read.image.callers[3].buttonId, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(read.image.callers[3].idSuffix, 5);
    EXPECT_EQ(read.image.callers[0].text.str(), win1252("Küche öffnen"));
    EXPECT_FALSE(read.buzzer);
    EXPECT_EQ(read.remoteDeleteText, "  Neuer Text  ");
    rig.pagerState().vibration = 3;
    EXPECT_TRUE(readOut().result.read.buzzer);
}

TEST_F(ReadOutTest, ReplyNamingAnotherSlotIsReportedAndLeftOut)
{
    rig.pagerState().callers[3] = {"Falsch", {9, 9, 9, 9, 9}};
    rig.pagerState().callers[4] = {"Richtig", {5, 0, 0, 0, 0}};
    rig.faults().wrongSlot[3] = 4;
    const ReadOutOutcome outcome = readOut();
    EXPECT_EQ(outcome.messages, std::vector<std::string>{BadData + " Nicht gelesen: Tischsender 4."});
    const ReadOutResult& got = outcome.result;
    EXPECT_FALSE(got.complete());
    EXPECT_FALSE(got.answered.callers.test(3));
    EXPECT_TRUE(got.answered.callers.test(4));
    EXPECT_EQ(got.read.image.callers[4].text.str(), "Richtig");
    EXPECT_EQ(got.read.image.callers[4].buttonIdValue(), 5u);
}

// A reply with a value that the configuration cannot hold, for a slot that
// does not exist or without its line feed is asked for again like any reply
// that does not fit, and is never stored: not wrapped modulo 256, not cut,
// not with blanks for control bytes.
struct InvalidReply {
    const char* name;
    const char* command;
    std::string reply;
    std::string never;  // what storing it would have put into the file
    int tries;
};

class InvalidReplyReadOut : public ReadOutTest, public ::testing::WithParamInterface<InvalidReply> {};

TEST_P(InvalidReplyReadOut, FailsAndStoresNothingOfIt)
{
    const InvalidReply& invalid = GetParam();
    rig.faults().replaceReply[invalid.command] = invalid.reply;
    const PagerConfiguration before = rig.session.kept();
    const ReadOutOutcome outcome = readOut();
    // The step is named, with what the pager answered to it.
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_TRUE(outcome.messages[0].starts_with(BadData + " Nicht gelesen: ")) << outcome.messages[0];
    EXPECT_TRUE(outcome.messages[0].ends_with(" Der Pager antwortete: \"" + escapedText(invalid.reply) + "\""))
        << outcome.messages[0];
    EXPECT_EQ(rig.countCommand(invalid.command), invalid.tries);
    EXPECT_TRUE(sameConfiguration(rig.session.kept(), before));
    const ReadOutResult& got = outcome.result;
    EXPECT_FALSE(got.complete());
    // Nor does what the backup of the incomplete read-out keeps.
    const std::string kept = PagerDataFile::format(got.read, &got.answered);
    EXPECT_EQ(kept.find(invalid.never), std::string::npos);
}

INSTANTIATE_TEST_SUITE_P(
    ReadOut, InvalidReplyReadOut,
    ::testing::Values(
        InvalidReply{"IdentityByte907", ">Lese:3", "Pos:3:Tisch 4\x03 907 000 000 000 000 Ende\r\n", "139", 8},
        InvalidReply{"TabInText", ">Lese:3", "Pos:3:Tab\there\x03 001 000 000 000 000 Ende\r\n", "Tab", 8},
        InvalidReply{"TextOf20", ">Lese:3", "Pos:3:ABCDEFGHIJKLMNOPQRST\x03 1 0 0 0 0 Ende\r\n", "ABCDEFGHIJKLMN", 8},
        InvalidReply{"KitchenKey901", ">Le-Kueche:3", "Pos:3:Theke\x03 001 901 Ende\r\n", "Theke", 8},
        InvalidReply{"KitchenSlot16", ">Le-Kueche:4", "Pos:16:Nirgends\x03 001 001 Ende\r\n", "Nirgends", 8},
        InvalidReply{"RemoteDeleteTextWithoutLineFeed", ">List Text_Fernloeschung",
                     "Text_Fernloeschung :\r  Ohne LF     \r", "Ohne LF", 4},
        InvalidReply{"NameOf16", ">List Adresstext", "Adresstext :Pager:Restaurant\r\n", "Pager:Restaura", 4},
        InvalidReply{"BuzzerOf907", ">List E_Vibration", "E_Vibration:907\r\n", "Summer:", 4}),
    [](const auto& test) { return std::string(test.param.name); });

TEST_F(ReadOutTest, KitchenReplyFillsTheSlotItNames)
{
    rig.pagerState().kitchenCalls[2] = {"Theke", 7, 12};
    rig.faults().wrongKitchenSlot[2] = 5;
    rig.faults().silentFor[">Le-Kueche:5"] = -1;
    const ReadOutResult got = readOut().result;
    EXPECT_EQ(got.read.image.kitchenCalls[5].text.str(), "Theke");
    EXPECT_EQ(got.read.image.kitchenCalls[5].station, 7);
    EXPECT_EQ(got.read.image.kitchenCalls[5].key, 12);
    EXPECT_TRUE(got.answered.kitchenCalls.test(5));
    // Slot 3 was never answered for, and the request for slot 6 went
    // unanswered.
    EXPECT_FALSE(got.answered.kitchenCalls.test(2));
    EXPECT_FALSE(got.complete());
}

TEST_F(ReadOutTest, SilentPagerAfterVersionSaysSoOnceAndCountsAsGone)
{
    rig.faults().silentFor[">L"] = -1;
    const ReadOutOutcome outcome = readOut();
    EXPECT_FALSE(outcome.result.gaveSomething());
    // Slot 0 got the identification, and nothing of the slot asked for.
    EXPECT_EQ(outcome.messages, std::vector<std::string>{BadData + " Nicht gelesen: Tischsender 1, Tischsender 2, "
                                                                   "Tischsender 3, Tischsender 4. Der Pager antwortete: "
                                                                   "\"\\r\\nZelvatron Pager Direkt V2.62\\r\\n\""});
    EXPECT_FALSE(outcome.result.complete());
    // Slot 0 still hears the identification in front of its reply; after
    // eight tries for each of three slots that got no byte at all the pager
    // counts as gone and nothing more is asked of it.
    EXPECT_EQ(rig.countCommand(">Lese:0"), 8);
    EXPECT_EQ(rig.countCommand(">Lese:3"), 8);
    EXPECT_EQ(rig.countStartingWith(">Lese:4"), 0);
    EXPECT_EQ(rig.countStartingWith(">Le-Kueche:"), 0);
    EXPECT_EQ(rig.countStartingWith(">List"), 0);
    EXPECT_EQ(rig.session.linkState(), LinkState::Lost);
    EXPECT_FALSE(rig.session.active());
    EXPECT_LT(rig.elapsed(), 20000);
    // The link watch reopens the port, then keeps the line alive.
    rig.session.watch(false);
    EXPECT_TRUE(rig.keepAliveOnNextWatch());
}

TEST_F(ReadOutTest, PagerThatAnswersRubbishKeepsEveryStepsAttempts)
{
    rig.faults().replaceReply[">L"] = "?";
    const ReadOutOutcome outcome = readOut();
    EXPECT_EQ(rig.countCommand(">Lese:31"), 8);
    EXPECT_EQ(rig.countCommand(">Le-Kueche:15"), 8);
    EXPECT_EQ(rig.countCommand(">List E_Vibration"), 4);
    EXPECT_EQ(outcome.messages, std::vector<std::string>{BadData + " Nicht gelesen: Tischsender 1, Tischsender 2, "
                                                                   "Tischsender 3, Tischsender 4, Tischsender 5 und 48 "
                                                                   "weitere. Der Pager antwortete: \"\\r\\nZelvatron "
                                                                   "Pager Direkt V2.62\\r\\n?\""});
    EXPECT_EQ(rig.session.linkState(), LinkState::Open);
}

// On a noisy line every step is asked until two answers agree: twice on a
// clean one. A slot whose answer changes every time never agrees and fails
// the read-out by name, with nothing of it stored.
TEST_F(ReadOutTest, CarefulReadOutTakesOnlyAnswersThatAgree)
{
    rig.session.setReading(Reading::Careful);
    const ReadOutOutcome clean = readOut();
    EXPECT_TRUE(clean.result.complete());
    EXPECT_EQ(rig.countCommand(">Lese:31"), 2);
    EXPECT_EQ(rig.countCommand(">Le-Kueche:15"), 2);
    EXPECT_EQ(rig.countCommand(">List E_Vibration"), 2);

    int asked = 0;
    rig.pagerState().callers[5].text = "Wechselnd";
    rig.pager->onCommand = [&](std::size_t) {
        if (rig.pager->commands().back() == ">Lese:5")
            rig.pagerState().callers[5].text = "Tisch " + std::to_string(++asked);
    };
    const ReadOutOutcome noisy = readOut();
    EXPECT_EQ(asked, 4);
    EXPECT_FALSE(noisy.result.complete());
    EXPECT_EQ(noisy.messages, std::vector<std::string>{BadData + " Nicht gelesen: Tischsender 6."});
    EXPECT_FALSE(noisy.result.answered.callers.test(5));
}

TEST_F(ReadOutTest, UnansweredVersionGivesUp)
{
    rig.faults().silentFor[">@"] = -1;
    const ReadOutOutcome outcome = readOut();
    EXPECT_EQ(rig.frames(), std::vector<std::string>(4, frame(">@")));
    // After each silent window one more is listened to before ">@" goes again.
    EXPECT_EQ(rig.elapsed(), StartWaitMs + 4 * (ExchangeMs + LateListenMs));
    EXPECT_EQ(outcome.messages, std::vector<std::string>{NoConnection});
    EXPECT_FALSE(outcome.result.complete() || outcome.noPager);
    EXPECT_TRUE(rig.keepAliveOnNextWatch());
}

TEST_F(ReadOutTest, FailedPresenceCheckReopensAndReadsSlotZeroOnALaterTry)
{
    // The pager does not identify itself once before ">Lese:0": the link
    // falls to closed, the next try only re-opens, the one after sends.
    int zeroes = 0;
    rig.events.onProgress = [&](int pos) {
        if (pos == 0 && ++zeroes == 1)
            rig.faults().silentFor[">@"] = 1;
    };
    rig.pagerState().callers[0].text = "Null";
    const ReadOutOutcome outcome = readOut();
    const std::vector<std::string> sent = rig.frames();
    ASSERT_GE(sent.size(), 5u);
    EXPECT_EQ(sent[1], frame(">@"));
    EXPECT_EQ(sent[2], frame(">@"));
    EXPECT_EQ(sent[3], frame(">@") + frame(">Lese:0"));
    EXPECT_EQ(sent[4], frame(">Lese:1"));
    EXPECT_EQ(outcome.result.read.image.callers[0].text.str(), "Null");
    EXPECT_TRUE(outcome.result.complete());
    EXPECT_TRUE(outcome.messages.empty());
}

// However the read-out ends short (the line pulled, the pager silent for
// good, one slot unanswered), what the pager did answer is kept aside as a
// backup of those lines alone, which is no complete configuration, and the
// configuration kept stays.
enum class ShortEnd { LinePulled, PagerFallsSilent, SlotUnanswered };

class IncompleteReadOut : public ReadOutTest, public ::testing::WithParamInterface<ShortEnd> {};

TEST_P(IncompleteReadOut, KeepsTheAnsweredLinesAside)
{
    TempDir backups;
    rig.session.setBackupFolder(backups.path().string());
    rig.pagerState().callers[0].text = "Vom Pager";
    const PagerConfiguration before = rig.session.kept();
    if (GetParam() == ShortEnd::SlotUnanswered)
        rig.faults().silentFor[">Lese:5"] = -1;
    rig.pager->onCommand = [&](std::size_t received) {
        if (received == 10 && GetParam() == ShortEnd::LinePulled)
            rig.backend.unplug("COM1");
        if (received == 10 && GetParam() == ShortEnd::PagerFallsSilent)
            rig.faults().silent = true;
    };
    const ReadOutOutcome outcome = readOut();

    EXPECT_FALSE(outcome.result.complete());
    EXPECT_TRUE(sameConfiguration(rig.session.kept(), before));
    ASSERT_TRUE(outcome.backupPath.ends_with(".partial.pag")) << outcome.backupPath;
    ASSERT_EQ(outcome.messages.size(), 1u);
    EXPECT_TRUE(outcome.messages[0].starts_with(BadData + " Nicht gelesen: Tischsender ")) << outcome.messages[0];
    EXPECT_TRUE(outcome.messages[0].ends_with(win1252(" Was der Pager geliefert hat, ist als unvollständige "
                                                      "Sicherungskopie abgelegt: ") +
                                              outcome.backupPath));
    const std::string kept = readBytes(outcome.backupPath);
    EXPECT_EQ(kept, PagerDataFile::format(outcome.result.read, &outcome.result.answered));
    PagerConfiguration read;
    FileCoverage coverage;
    PagerDataFile::parse(kept, read, &coverage);
    EXPECT_TRUE(coverage.callers.test(0));
    EXPECT_EQ(read.image.callers[0].text.str(), "Vom Pager");
    EXPECT_FALSE(coverage.callers.test(GetParam() == ShortEnd::SlotUnanswered ? 5 : 31));
    EXPECT_FALSE(coverage.complete());
}

INSTANTIATE_TEST_SUITE_P(Ends, IncompleteReadOut,
                         ::testing::Values(ShortEnd::LinePulled, ShortEnd::PagerFallsSilent, ShortEnd::SlotUnanswered));

// --- what the form makes of it -------------------------------------------

class ReadOutFormTest : public TransferTest {
protected:
    void readOut() { timed([this] { dlg.onCommand(ctl::ReadButton); }); }
};

// A complete read-out is shown on the page shown, with the session's status
// line, and the progress bar goes back to zero.
TEST_F(ReadOutFormTest, CompleteReadOutIsShownInTheFields)
{
    dlg.onCommand(ctl::PageUpper);
    rig.pagerState().callers[3] = {"Tisch 4a", {1, 2, 3, 4, 5}};
    rig.pagerState().callers[16] = {"Siebzehn", {17, 0, 0, 0, 0}};
    rig.pagerState().kitchenCalls[15] = {"Pizza", 4, 16};
    rig.pagerState().pagerName = "Pager:B";
    rig.pagerState().remoteDeleteText = "  Bitte warten  ";
    rig.pagerState().remoteDeleteMode = 3;
    rig.pagerState().debug = 1;
    rig.pagerState().vibration = 3;
    readOut();
    EXPECT_EQ(host.progressHistory.front(), 0);
    EXPECT_EQ(host.progressHistory.back(), 0);
    EXPECT_EQ(dlg.viewPage(), ViewPage::Upper);
    EXPECT_EQ(host.controlText(ctl::callerText(1)), "Siebzehn");
    EXPECT_EQ(host.controlText(ctl::rowLabel(1)), "17");
    EXPECT_EQ(host.controlText(ctl::kitchenText(16)), "Pizza");
    EXPECT_EQ(host.controlText(ctl::kitchenKey(16)), "16");
    EXPECT_EQ(host.controlText(ctl::PagerName), "Pager:B");
    EXPECT_EQ(host.controlText(ctl::RemoteDeleteText), "  Bitte warten  ");
    EXPECT_TRUE(host.isChecked(ctl::RemoteDelete));
    EXPECT_TRUE(host.isChecked(ctl::Battery));
    EXPECT_TRUE(host.isChecked(ctl::Buzzer));
    EXPECT_TRUE(host.messages.empty());
    EXPECT_EQ(dlg.fields().statusText, dlg.session().statusLine());
    EXPECT_TRUE(results.lastReadOutComplete);
    EXPECT_FALSE(dlg.hasUnsavedChanges());
    dlg.onCommand(ctl::PageLower);
    EXPECT_EQ(host.controlText(ctl::callerText(4)), "Tisch 4a");
    EXPECT_EQ(host.controlText(ctl::idText(4)), "673059855");  // 0x04030201, then the suffix
    // The buzzer box follows the pager too when it turns off.
    rig.pagerState().vibration = 1;
    readOut();
    EXPECT_FALSE(host.isChecked(ctl::Buzzer));
}

TEST_F(ReadOutFormTest, TimerIsStoppedAndTicksQuietWhileReading)
{
    bool tickQuietDuringRead = false;
    bool timerDuringRead = true;
    host.onProgress = [&](int, int, int pos) {
        if (pos != 20)
            return;
        const std::size_t sent = rig.frames().size();
        dlg.onTimer(ctl::UiTimerId);
        tickQuietDuringRead = rig.frames().size() == sent;
        timerDuringRead = host.timerRunning(ctl::UiTimerId);
    };
    readOut();
    EXPECT_TRUE(tickQuietDuringRead);
    EXPECT_FALSE(timerDuringRead);
    EXPECT_TRUE(host.timerRunning(ctl::UiTimerId));
    EXPECT_TRUE(rig.keepAliveOnNextTick());
}

// "Pager -> PC" and "Datei öffnen" put something else in place of what the
// form shows. With unsaved changes they ask first; "Nein" leaves everything
// as it was, before the pager or a file dialog is touched.
class AskBeforeReplacingChanges : public ReadOutFormTest,
                                  public ::testing::WithParamInterface<std::tuple<bool, bool>> {};

TEST_P(AskBeforeReplacingChanges, AsksOnlyAboutUnsavedChangesAndNeinChangesNothing)
{
    const auto [read, yes] = GetParam();
    const std::string file = std::string(HARVELIN_TEST_DATA) + "/configuration.pag";
    rig.pagerState().callers[0].text = "Vom Pager";
    const auto act = [&, read = read] {
        if (read)
            return readOut();
        host.fileDialogAnswers.push_back(file);
        dlg.onCommand(ctl::OpenFileButton);
    };
    // What the form shows is kept: nothing to ask.
    act();
    EXPECT_TRUE(host.questions.empty());

    host.setControlText(ctl::callerText(1), "Getippt");
    host.yesNoAnswers = {yes};
    host.fileDialogs.clear();
    host.fileDialogAnswers.clear();
    rig.pager->clearLog();
    act();
    EXPECT_EQ(host.questions, std::vector<std::string>{win1252(
                                  std::string("Die Änderungen sind weder gespeichert noch zum Pager übertragen. "
                                              "Trotzdem ") +
                                  (read ? "vom Pager lesen?" : "Datei öffnen?"))});
    EXPECT_EQ(rig.pager->commands().empty(), !(read && yes));
    EXPECT_EQ(host.fileDialogs.size(), !read && yes ? 1u : 0u);
    EXPECT_EQ(host.controlText(ctl::callerText(1)), yes ? (read ? "Vom Pager" : "Tisch 1") : "Getippt");
    EXPECT_EQ(dlg.hasUnsavedChanges(), !yes);
}

INSTANTIATE_TEST_SUITE_P(ReadOrOpen, AskBeforeReplacingChanges,
                         ::testing::Combine(::testing::Bool(), ::testing::Bool()),
                         [](const ::testing::TestParamInfo<std::tuple<bool, bool>>& p) {
                             return std::string(std::get<0>(p.param) ? "Read" : "Open") +
                                    (std::get<1>(p.param) ? "Ja" : "Nein");
                         });

// A read-out that does not finish leaves the form as it was, typed text and
// learned identities not yet saved included, and shows the outcome's
// message. Without "Aktiv" the timer is left alone, else stopped once.
TEST_F(ReadOutFormTest, ReadOutThatEndsShortLeavesTheFormAsItWas)
{
    enum class End { NoPager, VersionUnanswered, SlotUnanswered };
    for (const End end : {End::NoPager, End::VersionUnanswered, End::SlotUnanswered}) {
        SCOPED_TRACE(static_cast<int>(end));
        TempDir backups;
        dlg.session().setBackupFolder(backups.path().string());
        if (end == End::NoPager) {
            SessionEvents none;
            dlg.session().end(none);
        } else {
            rig.connect();
        }
        rig.faults().silentFor = {{end == End::SlotUnanswered ? ">Lese:5" : ">@", -1}};
        editImage(dlg, [](PagerImage& image) { image.callers[1].setButtonIdValue(968); });
        host.setControlText(ctl::callerText(1), "Getippt");
        host.setChecked(ctl::Battery, true);
        dlg.UpdateData(true);
        const std::string before = PagerDataFile::format(dlg.configurationFromForm());
        const auto shownBefore = host.texts;
        host.yesNoAnswers = {true};
        host.messages.clear();
        const int timerStops = host.timerStops;
        readOut();

        EXPECT_FALSE(results.lastReadOutComplete);
        EXPECT_EQ(PagerDataFile::format(dlg.configurationFromForm()), before);
        EXPECT_EQ(host.texts, shownBefore);
        EXPECT_TRUE(host.isChecked(ctl::Battery));
        EXPECT_TRUE(dlg.hasUnsavedChanges());
        EXPECT_EQ(host.timerStops, timerStops + (end == End::NoPager ? 0 : 1));
        EXPECT_TRUE(host.timerRunning(ctl::UiTimerId));
        ASSERT_EQ(host.messages.size(), 1u);
        if (end == End::SlotUnanswered) {
            ASSERT_TRUE(results.lastBackupPath.ends_with(".partial.pag")) << results.lastBackupPath;
            EXPECT_TRUE(host.messages[0].starts_with(BadData) && host.messages[0].ends_with(results.lastBackupPath));
        } else {
            EXPECT_EQ(host.messages[0], NoConnection);
        }
    }
}

}  // namespace
}  // namespace harvelin
