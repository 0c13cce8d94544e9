#include <gtest/gtest.h>

#include <filesystem>
#include <iterator>
#include <string>
#include <utility>

#include <unistd.h>

#include "files/pager_data_file.h"
#include "model/catalogue.h"
#include "model/win1252.h"
#include "test_files.h"

namespace harvelin {
namespace {

// The configuration that tests/data/configuration.pag holds.
PagerConfiguration referenceConfiguration()
{
    PagerConfiguration c;
    c.pagerName = win1252("Küche Süd");
    c.remoteDeleteText = win1252("  Fernlöschung  ");
    c.remoteDelete = true;
    c.battery = true;
    c.image.callers[0].text.assign("Tisch 1");
    c.image.callers[0].setButtonIdValue(0x12345678);
    c.image.callers[0].idSuffix = 3;
    c.image.callers[5].text.assign(win1252("Terrasse Süd"));
    c.image.callers[5].buttonId = {255, 0, 1, 2};
    c.image.callers[5].idSuffix = 255;
    c.image.callers[31].text.assign("12345678901234");
    c.image.callers[31].buttonId = {1, 2, 3, 4};
    c.image.callers[31].idSuffix = 5;
    for (unsigned k = 0; k < 16; ++k) {
        c.image.kitchenCalls[k].text.assign("Station " + std::to_string(k + 1));
        c.image.kitchenCalls[k].key = static_cast<std::uint8_t>(k + 1);
        c.image.kitchenCalls[k].station = 1;
    }
    c.image.kitchenCalls[2].text.assign(win1252("Spülküche"));
    c.image.kitchenCalls[2].key = 255;
    c.image.kitchenCalls[2].station = 200;
    return c;
}

// Every slot different, every byte value somewhere, texts at their limits.
PagerConfiguration fullConfiguration()
{
    PagerConfiguration c;
    c.pagerName = "Pager:B 123456";            // 14 characters
    c.remoteDeleteText = win1252("  Fernlöschung  ");  // 16 characters
    c.buzzer = true;
    c.remoteDelete = true;
    for (unsigned i = 0; i < 32; ++i) {
        CallerEntry& slot = c.image.callers[i];
        slot.text.assign(win1252("Tisch ") + std::to_string(i + 1) + win1252(" äöü ß€xyz"));
        for (unsigned b = 0; b < 4; ++b)
            slot.buttonId[b] = static_cast<std::uint8_t>(i * 8 + b * 2 + 1);
        slot.idSuffix = static_cast<std::uint8_t>(255 - i);
    }
    for (unsigned k = 0; k < 16; ++k) {
        KitchenCallEntry& slot = c.image.kitchenCalls[k];
        slot.text.assign("Kueche " + std::to_string(k));
        slot.key = static_cast<std::uint8_t>(k * 16 + 15);
        slot.station = static_cast<std::uint8_t>(240 - k);
    }
    return c;
}

void expectSameConfiguration(const PagerConfiguration& a, const PagerConfiguration& b)
{
    EXPECT_EQ(a.pagerName, b.pagerName);
    EXPECT_EQ(a.remoteDeleteText, b.remoteDeleteText);
    EXPECT_EQ(a.battery, b.battery);
    EXPECT_EQ(a.buzzer, b.buzzer);
    EXPECT_EQ(a.remoteDelete, b.remoteDelete);
    for (std::size_t i = 0; i < 32; ++i) {
        SCOPED_TRACE("caller " + std::to_string(i));
        EXPECT_EQ(a.image.callers[i].text.str(), b.image.callers[i].text.str());
        EXPECT_EQ(a.image.callers[i].buttonId, b.image.callers[i].buttonId);
        EXPECT_EQ(a.image.callers[i].idSuffix, b.image.callers[i].idSuffix);
    }
    for (std::size_t k = 0; k < 16; ++k) {
        SCOPED_TRACE("kitchen " + std::to_string(k));
        EXPECT_EQ(a.image.kitchenCalls[k].text.str(), b.image.kitchenCalls[k].text.str());
        EXPECT_EQ(a.image.kitchenCalls[k].key, b.image.kitchenCalls[k].key);
        EXPECT_EQ(a.image.kitchenCalls[k].station, b.image.kitchenCalls[k].station);
    }
}

class PagerDataFileTest : public ::testing::Test {
protected:
    PagerConfiguration parsed(const std::string& bytes)
    {
        PagerConfiguration c = start;
        const auto problem = PagerDataFile::parse(bytes, c);
        EXPECT_FALSE(problem) << problem->describe("file");
        return c;
    }

    PagerConfiguration start = referenceConfiguration();
    TempDir dir;
};

TEST_F(PagerDataFileTest, WriterProducesTheCheckedInBytes)
{
    const std::string expected = readBytes(std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag");
    ASSERT_FALSE(expected.empty());
    EXPECT_EQ(PagerDataFile::format(referenceConfiguration()), expected);

    std::string error;
    const auto path = dir.path() / "saved.pag";
    ASSERT_TRUE(PagerDataFile::save(path.string(), referenceConfiguration(), error)) << error;
    EXPECT_EQ(readBytes(path), expected);
}

TEST_F(PagerDataFileTest, SavingAndOpeningReproducesEverySlotAndSetting)
{
    const PagerConfiguration original = fullConfiguration();
    PagerConfiguration back;  // all empty: nothing may come from elsewhere
    PagerDataFile::parse(PagerDataFile::format(original), back);
    expectSameConfiguration(back, original);
}

TEST_F(PagerDataFileTest, RemoteDeleteTextOfSixteenCharactersComesBackWhole)
{
    start.remoteDeleteText = win1252("  Fernlöschung  ");
    PagerConfiguration back;
    PagerDataFile::parse(PagerDataFile::format(start), back);
    EXPECT_EQ(back.remoteDeleteText, win1252("  Fernlöschung  "));
}

TEST_F(PagerDataFileTest, OnlyTheFirstColonSeparatesKeyAndValue)
{
    start.pagerName = "Pager:A";
    PagerConfiguration back;
    PagerDataFile::parse(PagerDataFile::format(start), back);
    EXPECT_EQ(back.pagerName, "Pager:A");
}

TEST_F(PagerDataFileTest, EmptyTextBetweenSpaceAndTabGivesEmptyText)
{
    const auto c = parsed("Eintrag:000 \t010 020 030 040 050\n");
    EXPECT_EQ(c.image.callers[0].text.str(), "");
    EXPECT_EQ(c.image.callers[0].buttonId, (std::array<std::uint8_t, 4>{10, 20, 30, 40}));
    EXPECT_EQ(c.image.callers[0].idSuffix, 50);
}

TEST_F(PagerDataFileTest, FourNumbersGiveSuffixZero)
{
    start.image.callers[4].idSuffix = 9;
    const auto c = parsed("Eintrag:004 Bar\t001 002 003 004\n");
    EXPECT_EQ(c.image.callers[4].text.str(), "Bar");
    EXPECT_EQ(c.image.callers[4].buttonId, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_EQ(c.image.callers[4].idSuffix, 0);
}

TEST_F(PagerDataFileTest, MissingNumbersKeepTheirValues)
{
    start.image.callers[7].buttonId = {9, 8, 7, 6};
    start.image.callers[7].idSuffix = 5;
    // Without a TAB the line holds only the text.
    auto c = parsed("Eintrag:007 Ohne Tab\n");
    EXPECT_EQ(c.image.callers[7].text.str(), "Ohne Tab");
    EXPECT_EQ(c.image.callers[7].buttonId, (std::array<std::uint8_t, 4>{9, 8, 7, 6}));
    EXPECT_EQ(c.image.callers[7].idSuffix, 5);

    start.image.kitchenCalls[1].key = 44;
    start.image.kitchenCalls[1].station = 55;
    c = parsed("Sonder:001 Bar\n");
    EXPECT_EQ(c.image.kitchenCalls[1].text.str(), "Bar");
    EXPECT_EQ(c.image.kitchenCalls[1].key, 44);
    EXPECT_EQ(c.image.kitchenCalls[1].station, 55);
}

TEST_F(PagerDataFileTest, FileWithOnlyBatteryLineChangesNothingElse)
{
    start.battery = false;
    PagerConfiguration expected = start;
    expected.battery = true;
    expectSameConfiguration(parsed("Batterie:1\r\n"), expected);
}

TEST_F(PagerDataFileTest, LinesComeInAnyOrder)
{
    const auto c = parsed("Sonder:015 Letzte\t001 002 \n"
                          "Batterie:0\n"
                          "Eintrag:31 Dann\t002 002 002 002 002\n"
                          "Pagername:Hinten\n");
    EXPECT_EQ(c.image.kitchenCalls[15].text.str(), "Letzte");
    EXPECT_FALSE(c.battery);
    EXPECT_EQ(c.pagerName, "Hinten");
    EXPECT_EQ(c.image.callers[31].text.str(), "Dann");
    EXPECT_EQ(c.image.callers[31].idSuffix, 2);
}

// The key a line begins with decides; only a line that begins with none is
// read by the first key of the fixed order found anywhere in it.
TEST_F(PagerDataFileTest, KeyAtTheStartDecidesElseTheFirstKeyAnywhere)
{
    const auto c = parsed("Eintrag:003 Pagername:X\t001 002 003 004 005\n"
                          "  xx Summer:2\n");
    EXPECT_EQ(c.image.callers[3].text.str(), "Pagername:X");
    EXPECT_EQ(c.image.callers[3].buttonId, (std::array<std::uint8_t, 4>{1, 2, 3, 4}));
    EXPECT_TRUE(c.buzzer);
}

// Texts may hold any key of the file; what the tool writes reads back as written.
TEST_F(PagerDataFileTest, TextsHoldingEveryKeyReadBackAsWritten)
{
    const std::array<std::string, 7> keys = {"Pagername:", "Eintrag:", "Sonder:", "Fernloeschung:",
                                             "FModus:", "Summer:", "Batterie:"};
    PagerConfiguration written;
    written.pagerName = "Sonder:1";
    written.remoteDeleteText = "Eintrag:7 Summer";
    for (std::size_t i = 0; i < CallerSlots; ++i)
        written.image.callers[i].text.assign("x" + keys[i % keys.size()]);
    for (std::size_t i = 0; i < KitchenSlots; ++i)
        written.image.kitchenCalls[i].text.assign(keys[(i + 3) % keys.size()] + "3");
    written.buzzer = true;
    PagerConfiguration read;
    FileCoverage coverage;
    PagerDataFile::parse(PagerDataFile::format(written), read, &coverage);
    EXPECT_TRUE(sameConfiguration(read, written));
    EXPECT_TRUE(coverage.complete());
    EXPECT_EQ(coverage.keyedLines, 53u);
}

TEST_F(PagerDataFileTest, LastLineWithoutLineBreakAppliesAllButTheTexts)
{
    auto c = parsed("Eintrag:000 Ende\t001 002 003 004 005");
    EXPECT_EQ(c.image.callers[0].text.str(), "Ende");
    EXPECT_EQ(c.image.callers[0].idSuffix, 5);
    c = parsed("Batterie:0\nPagername:Abgeschnitten");
    EXPECT_EQ(c.pagerName, start.pagerName);
    EXPECT_FALSE(c.battery);
    c = parsed("Fernloeschung:Abgeschnitten\r\n"
               "Fernloeschung:Halb");
    EXPECT_EQ(c.remoteDeleteText, "Abgeschnitten");
}

TEST_F(PagerDataFileTest, CrLfAndLfFilesReadTheSame)
{
    const std::string crlf = PagerDataFile::format(fullConfiguration());
    std::string lf;
    for (const char ch : crlf)
        if (ch != '\r')
            lf += ch;
    PagerConfiguration fromCrLf, fromLf;
    PagerDataFile::parse(crlf, fromCrLf);
    PagerDataFile::parse(lf, fromLf);
    expectSameConfiguration(fromCrLf, fromLf);
    EXPECT_EQ(fromCrLf.pagerName.find('\r'), std::string::npos);
    EXPECT_EQ(fromCrLf.remoteDeleteText.find('\r'), std::string::npos);
}

TEST_F(PagerDataFileTest, BytesArrivingInPiecesReadAsAWhole)
{
    const std::string bytes = PagerDataFile::format(fullConfiguration());
    PagerConfiguration byByte;
    PagerDataFile::LineReader reader(byByte);
    for (const char ch : bytes)
        reader.feed(std::string_view(&ch, 1));
    reader.finish();
    expectSameConfiguration(byByte, fullConfiguration());
}

TEST_F(PagerDataFileTest, LineOfTheLongestLengthStillCounts)
{
    // 127 characters with the line feed; one more is refused (below).
    const std::string fits = "Eintrag:000 A\t001 002 003 004 005" + std::string(127 - 34, ' ') + "\n";
    ASSERT_EQ(fits.size(), 127u);
    EXPECT_EQ(parsed(fits).image.callers[0].text.str(), "A");
    // A line without a key is no part of the configuration, however long.
    parsed(std::string(1000, 'x') + "\n");
}

// A line that breaks the rule refuses the whole file: nothing of it is
// applied, the lines before it included, and the problem names the line.
struct RefusedLine {
    const char* name;
    std::string bytes;
    std::size_t line;
    std::string what;
};

class RefusedLineTest : public ::testing::TestWithParam<RefusedLine> {};

TEST_P(RefusedLineTest, RefusesTheFileAndNamesTheLine)
{
    LanguageScope english{"en"};
    const RefusedLine& refused = GetParam();
    PagerConfiguration c = referenceConfiguration();
    const auto problem = PagerDataFile::parse("Pagername:Davor\n" + refused.bytes, c);
    ASSERT_TRUE(problem);
    EXPECT_EQ(problem->describe("k.pag"), "k.pag, line " + std::to_string(refused.line) + ": " + refused.what);
}

INSTANTIATE_TEST_SUITE_P(
    PagerDataFile, RefusedLineTest,
    ::testing::Values(
        RefusedLine{"NameLongerThanTheForm", "Pagername:123456789012345678\n", 2,
                    "pager name \"123456789012345678\" is longer than 14 characters"},
        RefusedLine{"RemoteDeleteTextLongerThanTheForm", "Fernloeschung:12345678901234567890\n", 2,
                    "remote-delete text \"12345678901234567890\" is longer than 16 characters"},
        RefusedLine{"SlotTextLongerThanTheForm", "Eintrag:002 ABCDEFGHIJKLMNOPQ\t007 000 000 000 001\n", 2,
                    "caller text \"ABCDEFGHIJKLMNOPQ\" is longer than 14 characters"},
        RefusedLine{"NumberBeyondAByte", "Sonder:000 y\t300 002 \n", 2, "key 300 is not a number from 0 to 255"},
        RefusedLine{"StationNotANumber", "Sonder:000 y\t001 +7 \n", 2,
                    "station \"+7\" is not a number from 0 to 255"},
        RefusedLine{"OneNumberTooFew", "Sonder:001 Bar\t012\n", 2,
                    "kitchen slot holds 1 numbers after its TAB, not 2"},
        RefusedLine{"OneNumberTooMany", "Eintrag:001 x\t001 002 003 004 005 006\n", 2,
                    "caller slot holds 6 numbers after its TAB, not 4 or 5"},
        RefusedLine{"BuzzerOfAnotherValue", "Summer:1\n", 2, "switch value \"1\" is neither 0 nor 2"},
        RefusedLine{"RemoteDeleteOfAnotherValue", "FModus:1\n", 2, "switch value \"1\" is neither 0 nor 3"},
        RefusedLine{"BatteryOfAnotherValue", "Batterie:3\n", 2, "switch value \"3\" is neither 0 nor 1"},
        RefusedLine{"SwitchGivenTwice", "Batterie:1\nBatterie:0\n", 3, "switch value Batterie: is given twice"},
        RefusedLine{"NameGivenTwice", "Pagername:Dann\n", 2, "pager name \"Dann\" is given twice"},
        RefusedLine{"CallerBeyondTheImage", "Eintrag:032 X\t001 001 001 001 001\n", 2,
                    "caller slot 032 is not a number from 0 to 31"},
        RefusedLine{"NegativeCaller", "Eintrag:-1 X\t001 001 001 001 001\n", 2,
                    "caller slot \"-1\" is not a number from 0 to 31"},
        RefusedLine{"KitchenBeyondTheImage", "Sonder:4294967296 X\t001 001 \n", 2,
                    "kitchen slot 4294967296 is not a number from 0 to 15"},
        RefusedLine{"SlotGivenTwiceInAnotherSpelling", "Eintrag:31 A\t0 0 0 0\nEintrag:031 B\t0 0 0 0\n", 3,
                    "caller slot 031 is given twice"},
        RefusedLine{"ZeroByteInAText", std::string("Eintrag:000 Ab\0cd\t001 002 003 004 005\n", 38), 2,
                    "caller text \"Ab\\x00cd\" holds the control character \\x00"},
        RefusedLine{"EscapeInTheName", "Pagername:A\x1b[31m\n", 2,
                    "pager name \"A\\x1b[31m\" holds the control character \\x1b"},
        RefusedLine{"UnassignedByte", "Eintrag:000 A\x81\t001 002 003 004 005\n", 2,
                    "caller text \"A\\x81\" holds the byte \\x81, which is no Windows-1252 character"},
        RefusedLine{"KeyedLineLongerThanTheFormat",
                    "Eintrag:001 B\t001 002 003 004 005" + std::string(128 - 34, ' ') + "\r\n", 2,
                    "line \"Eintrag:001 B\\x09001 002 003 004 005       …\" is longer than 127 characters"}),
    [](const auto& test) { return std::string(test.param.name); });

class PagerDataFileOnDiskTest : public PagerDataFileTest {};

TEST_F(PagerDataFileOnDiskTest, LoadingAMissingFileChangesNothing)
{
    PagerConfiguration c = start;
    std::string error;
    EXPECT_FALSE(PagerDataFile::load((dir.path() / "fehlt.pag").string(), c, error));
    EXPECT_EQ(error, "Datei oder Verzeichnis nicht gefunden");
    expectSameConfiguration(c, start);
}

TEST_F(PagerDataFileOnDiskTest, LoadingADirectoryChangesNothing)
{
    PagerConfiguration c = start;
    std::string error;
    EXPECT_FALSE(PagerDataFile::load(dir.path().string(), c, error));
    EXPECT_FALSE(error.empty());
    expectSameConfiguration(c, start);
}

TEST_F(PagerDataFileOnDiskTest, LoadReadsOntoTheCurrentValues)
{
    writeBytes(dir.path() / "teil.pag", "Eintrag:002 Neu\t001 002 003 004 005\r\nSummer:2");
    PagerConfiguration c = start;
    std::string error;
    ASSERT_TRUE(PagerDataFile::load((dir.path() / "teil.pag").string(), c, error)) << error;
    PagerConfiguration expected = start;
    expected.image.callers[2].text.assign("Neu");
    expected.image.callers[2].buttonId = {1, 2, 3, 4};
    expected.image.callers[2].idSuffix = 5;
    expected.buzzer = true;
    expectSameConfiguration(c, expected);
}

// A file holds UTF-8 or Windows-1252, not both: one that mixes them is
// refused as a whole at the first line holding a byte that is no UTF-8,
// whichever comes first. A byte order mark says UTF-8.
TEST_F(PagerDataFileOnDiskTest, FileThatMixesUtf8AndWindows1252IsRefusedAtItsFirstLineThatIsNoUtf8)
{
    const std::string utf8Name = "Pagername:K\xC3\xBC" "che\r\n";
    const std::string windows1252Caller = "Eintrag:000 B\xE4r\t001 002 003 004 005\r\n";
    const std::pair<std::string, std::size_t> cases[] = {
        {utf8Name + "Summer:2\r\n" + windows1252Caller, 3},
        {windows1252Caller + utf8Name, 1},
        {"\xEF\xBB\xBFSummer:2\r\n" + windows1252Caller, 2},
    };
    const auto path = (dir.path() / "k.pag").string();
    for (const auto& [bytes, line] : cases) {
        SCOPED_TRACE(line);
        writeBytes(path, bytes);
        PagerConfiguration c = start;
        std::string error;
        LoadReport report;
        EXPECT_FALSE(PagerDataFile::load(path, c, error, &report));
        ASSERT_TRUE(report.problem);
        const std::string at = std::to_string(line);
        {
            LanguageScope english{"en"};
            EXPECT_EQ(report.problem->describe("k.pag"), "k.pag, line " + at + ": mixes UTF-8 and Windows-1252");
        }
        EXPECT_EQ(error, "Zeile " + at + ": UTF-8 und Windows-1252 gemischt");
        expectSameConfiguration(c, start);
    }
}

TEST_F(PagerDataFileOnDiskTest, SavingIntoAMissingDirectoryFailsWithAReason)
{
    std::string error;
    const auto path = dir.path() / "fehlt" / "neu.pag";
    EXPECT_FALSE(PagerDataFile::save(path.string(), start, error));
    EXPECT_EQ(error, "Datei oder Verzeichnis nicht gefunden");
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST_F(PagerDataFileOnDiskTest, InterruptedSaveLeavesTheOldFileIntact)
{
    const auto path = dir.path() / "alt.pag";
    const std::string old = PagerDataFile::format(referenceConfiguration());
    writeBytes(path, old);

    int lines = 0;
    SaveOptions diskFullAfterTenLines;
    diskFullAfterTenLines.filter = [&](ByteSink& file, std::string_view line) {
        return ++lines <= 10 && file.write(line);
    };
    std::string error;
    EXPECT_FALSE(PagerDataFile::save(path.string(), fullConfiguration(), error, diskFullAfterTenLines));
    EXPECT_FALSE(error.empty());
    EXPECT_EQ(readBytes(path), old);
    // No half-written file is left beside it.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(PagerDataFileOnDiskTest, SaveRefusesAWriteProtectedFileAndLeavesIt)
{
    if (::geteuid() == 0)
        GTEST_SKIP() << "the superuser may write any file";
    const auto path = dir.path() / "geschuetzt.pag";
    const std::string old = PagerDataFile::format(referenceConfiguration());
    writeBytes(path, old);
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::group_read);
    std::string error;
    EXPECT_FALSE(PagerDataFile::save(path.string(), fullConfiguration(), error));
    EXPECT_EQ(error, "Zugriff verweigert");
    EXPECT_EQ(readBytes(path), old);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST_F(PagerDataFileOnDiskTest, SaveReplacesAnExistingFileKeepingItsPermissions)
{
    const auto path = dir.path() / "alt.pag";
    writeBytes(path, "Pagername:Alt\r\n" + std::string(5000, 'x'));
    std::filesystem::permissions(path, std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                                           std::filesystem::perms::group_read);
    std::string error;
    ASSERT_TRUE(PagerDataFile::save(path.string(), referenceConfiguration(), error)) << error;
    EXPECT_EQ(readBytes(path), PagerDataFile::format(referenceConfiguration()));
    EXPECT_EQ(std::filesystem::status(path).permissions(),
              std::filesystem::perms::owner_read | std::filesystem::perms::owner_write |
                  std::filesystem::perms::group_read);
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

}  // namespace
}  // namespace harvelin
