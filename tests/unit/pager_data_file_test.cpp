#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include <unistd.h>

#include "files/pager_data_file.h"
#include "model/win1252.h"
#include "temp_dir.h"

namespace harvelin {
namespace {

std::string readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

void writeBytes(const std::filesystem::path& path, const std::string& bytes)
{
    std::ofstream out(path, std::ios::binary);
    out << bytes;
}

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
        PagerDataFile::parse(bytes, c);
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

TEST_F(PagerDataFileTest, FormHeldTextsAreCutToWhatTheFormAllows)
{
    const auto c = parsed("Pagername:123456789012345678\nFernloeschung:12345678901234567890\n");
    EXPECT_EQ(c.pagerName, "12345678901234");
    EXPECT_EQ(c.remoteDeleteText, "1234567890123456");
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
    auto c = parsed("Eintrag:007 Ohne Tab\n");
    EXPECT_EQ(c.image.callers[7].text.str(), "Ohne Tab");
    // The only space after the text start sits inside the text.
    EXPECT_EQ(c.image.callers[7].buttonId, (std::array<std::uint8_t, 4>{9, 0, 7, 6}));
    EXPECT_EQ(c.image.callers[7].idSuffix, 0);

    start.image.kitchenCalls[1].key = 44;
    start.image.kitchenCalls[1].station = 55;
    c = parsed("Sonder:001 Bar\t012\n");
    EXPECT_EQ(c.image.kitchenCalls[1].text.str(), "Bar");
    EXPECT_EQ(c.image.kitchenCalls[1].key, 12);
    EXPECT_EQ(c.image.kitchenCalls[1].station, 55);
}

TEST_F(PagerDataFileTest, TextIsCutAtFourteenCharactersAndNumbersStillRead)
{
    const auto c = parsed("Eintrag:002 ABCDEFGHIJKLMNOPQ\t007 000 000 000 001\n"
                          "Sonder:003 abcdefghijklmnopq\t009 004 \n");
    EXPECT_EQ(c.image.callers[2].text.str(), "ABCDEFGHIJKLMN");
    EXPECT_EQ(c.image.callers[2].buttonId[0], 7);
    EXPECT_EQ(c.image.callers[2].idSuffix, 1);
    EXPECT_EQ(c.image.kitchenCalls[3].text.str(), "abcdefghijklmn");
    EXPECT_EQ(c.image.kitchenCalls[3].key, 9);
    EXPECT_EQ(c.image.kitchenCalls[3].station, 4);
}

TEST_F(PagerDataFileTest, NumbersKeepTheirLowEightBits)
{
    const auto c = parsed("Eintrag:001 x\t256 -1 511 +7 x\nSonder:000 y\t300 -2 \n");
    EXPECT_EQ(c.image.callers[1].buttonId, (std::array<std::uint8_t, 4>{0, 255, 255, 7}));
    EXPECT_EQ(c.image.callers[1].idSuffix, 0);
    EXPECT_EQ(c.image.kitchenCalls[0].key, 44);
    EXPECT_EQ(c.image.kitchenCalls[0].station, 254);
}

TEST_F(PagerDataFileTest, SwitchesTestTheirOwnBit)
{
    start.buzzer = true;
    EXPECT_FALSE(parsed("Summer:1\n").buzzer);
    start.buzzer = false;
    EXPECT_TRUE(parsed("Summer:3\n").buzzer);
    start.remoteDelete = false;
    EXPECT_TRUE(parsed("FModus:1\n").remoteDelete);
    EXPECT_FALSE(parsed("FModus:2\n").remoteDelete);
    start.battery = false;
    EXPECT_TRUE(parsed("Batterie:3\n").battery);
    start.battery = true;
    EXPECT_FALSE(parsed("Batterie:0\n").battery);
}

TEST_F(PagerDataFileTest, FileWithOnlyBatteryLineChangesNothingElse)
{
    start.battery = false;
    PagerConfiguration expected = start;
    expected.battery = true;
    expectSameConfiguration(parsed("Batterie:1\r\n"), expected);
}

TEST_F(PagerDataFileTest, LinesComeInAnyOrderAndTheLastOfASlotWins)
{
    const auto c = parsed("Sonder:015 Letzte\t001 002 \n"
                          "Batterie:0\n"
                          "Eintrag:031 Erst\t001 001 001 001 001\n"
                          "Pagername:Hinten\n"
                          "Eintrag:031 Dann\t002 002 002 002 002\n");
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

TEST_F(PagerDataFileTest, LineLongerThanTheFormatProvidesIsSkipped)
{
    // 127 characters with the line feed still count; 128 do not.
    const std::string fits = "Eintrag:000 A\t001 002 003 004 005" + std::string(127 - 34, ' ') + "\n";
    const std::string tooLong = "Eintrag:001 B\t001 002 003 004 005" + std::string(128 - 34, ' ') + "\r\n";
    ASSERT_EQ(fits.size(), 127u);
    const auto c = parsed(fits + tooLong + "Pagername:" + std::string(200, 'x') + "\n");
    EXPECT_EQ(c.image.callers[0].text.str(), "A");
    EXPECT_EQ(c.image.callers[1].text.str(), start.image.callers[1].text.str());
    EXPECT_EQ(c.pagerName, start.pagerName);
}

TEST_F(PagerDataFileTest, SlotNumbersOutsideTheImageWriteNowhere)
{
    const PagerConfiguration before = start;
    const auto c = parsed("Eintrag:032 X\t001 001 001 001 001\n"
                          "Eintrag:-1 X\t001 001 001 001 001\n"
                          "Eintrag:259 X\t001 001 001 001 001\n"
                          "Sonder:016 X\t001 001 \n"
                          "Sonder:4294967296 X\t001 001 \n");
    expectSameConfiguration(c, before);
}

TEST_F(PagerDataFileTest, ZeroByteEndsTheLine)
{
    auto c = parsed(std::string("Eintrag:000 Ab\0cd\t001 002 003 004 005\n", 38));
    EXPECT_EQ(c.image.callers[0].text.str(), "Ab");
    EXPECT_EQ(c.image.callers[0].idSuffix, 0);
    c = parsed(std::string("Pagername:Ab\0cd\n", 16));
    EXPECT_EQ(c.pagerName, start.pagerName);
}

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
