#include <gtest/gtest.h>

#include <string>

#include "transfer/reply_parsing.h"
#include "transfer/slot_commands.h"

namespace harvelin::transfer {
namespace {

using namespace std::string_literals;

TEST(VersionReply, ReadsTheNumberAfterTheFirstV)
{
    EXPECT_DOUBLE_EQ(*versionFromReply("\r\nZelvatron Pager Direkt V1.4\r\n"), 1.4);
    EXPECT_DOUBLE_EQ(*versionFromReply("Direkt V2.62 V9"), 2.62);
    EXPECT_EQ(callerSlotsForVersion(*versionFromReply("Direkt V1.4")), 16u);
    EXPECT_EQ(callerSlotsForVersion(*versionFromReply("Direkt V1.5")), 32u);
}

TEST(VersionReply, LettersAfterTheVReadAsVersionZero)
{
    const auto version = versionFromReply("Direkt Vabc");
    ASSERT_TRUE(version);
    EXPECT_EQ(*version, 0.0);
    EXPECT_EQ(callerSlotsForVersion(*version), 16u);
}

TEST(VersionReply, TextIsThePagersOwnUpToTheLineEnd)
{
    EXPECT_EQ(*versionTextFromReply("\r\nZelvatron Pager Direkt V2.10\r\n"), "2.10");
    EXPECT_EQ(*versionTextFromReply("Direkt V1.4b V9"), "1.4b");
    EXPECT_EQ(*versionTextFromReply("Direkt V2.1\0" "0"s), "2.1");
    EXPECT_EQ(*versionTextFromReply("Direkt V"), "");
    EXPECT_FALSE(versionTextFromReply("Zelvatron Pager V2.10"));
}

TEST(VersionReply, NeedsBothDirektAndV)
{
    EXPECT_FALSE(versionFromReply("Zelvatron Pager V2.62"));
    EXPECT_FALSE(versionFromReply("Zelvatron Direkt"));
    // The marker test reads the reply as a text, which ends at a zero byte.
    EXPECT_FALSE(versionFromReply("Pager\0Direkt V2.0"s));
}

TEST(SlotReply, TextAndFiveNumbersAfterEtx)
{
    const std::string reply = "Pos:3:Tisch 4x\x03 001 002 003 004 005 Ende\r\n";
    ASSERT_TRUE(isSlotReply(reply));
    const auto parsed = parseSlotReply(reply, 5);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->reportedSlot, 3);
    EXPECT_EQ(parsed->text, "Tisch 4x");
    ASSERT_EQ(parsed->numberCount, 5u);
    EXPECT_EQ(parsed->numbers, (std::array<std::uint8_t, 5>{1, 2, 3, 4, 5}));
}

// Only what follows the last header that starts a whole reply counts: the
// identification in front of slot 0, or the end of an earlier answer.
TEST(SlotReply, BytesBeforeItsHeaderAreIgnored)
{
    for (const char* reply : {"\r\nZelvatron Pager Direkt V2.62\r\nPos:0:Bar\x03 009 001 002 003 004 Ende",
                              "Pos:9:Alt\x03 001 001 001 001 001 Ende\r\nPos:0:Bar\x03 009 001 002 003 004 Ende\r\n",
                              "000 Ende\r\nPos:0:Bar\x03 009 001 002 003 004 Ende\r\nPos:1:Ti"}) {
        const auto parsed = parseSlotReply(reply, 5);
        ASSERT_TRUE(parsed) << reply;
        EXPECT_EQ(parsed->reportedSlot, 0);
        EXPECT_EQ(parsed->text, "Bar");
        EXPECT_EQ(parsed->numbers, (std::array<std::uint8_t, 5>{9, 1, 2, 3, 4}));
    }
    // A text may itself hold the header's word.
    EXPECT_EQ(parseSlotReply("Pos:2:Pos:1\x03 001 Ende", 1)->text, "Pos:1");
}

TEST(SlotReply, BytesAbove0x7FStayAsTheyAre)
{
    const auto parsed = parseSlotReply("Pos:1:K\xFC" "che\x03 001 Ende", 1);
    ASSERT_TRUE(parsed);
    EXPECT_EQ(parsed->text, "K\xFC" "che");
}

// A value that no slot can hold, or a reply that is not laid out as header,
// text, ETX, every number after one space and " Ende", is refused whole: it is
// asked for again, never stored wrapped, cut, shifted or with blanks for
// control bytes.
class InvalidSlotReply : public ::testing::TestWithParam<std::string> {};

TEST_P(InvalidSlotReply, IsRefusedWhole) { EXPECT_FALSE(parseSlotReply(GetParam(), 2)) << GetParam(); }

INSTANTIATE_TEST_SUITE_P(SlotReply, InvalidSlotReply,
                         ::testing::Values("Pos:1:x\x03 907 001 Ende",          // beyond a byte
                                           "Pos:1:x\x03 001 -1 Ende",           // a sign
                                           "Pos:1:x\x03 001 12a Ende",          // not a whole number
                                           "Pos:259:x\x03 001 001 Ende",        // the slot number too
                                           "Pos:1:A\tB\x03 001 001 Ende",       // a control byte in the text
                                           "Pos:1:A\rBootloader\x03 001 001 Ende", // a CR in the text
                                           "Pos:2:ab\0cd\x03 001 001 Ende"s,   // a zero byte
                                           "Pos:1:ABCDEFGHIJKLMNO\x03 001 001 Ende", // 15 characters
                                           "Pos:2:x\x03 007 Ende",              // a number missing
                                           "Pos:2:x\x03 007  008 Ende",         // two spaces
                                           "Pos:2:x\x03 007 008",               // no end word: cut off
                                           "Pos:2:Tisch Ende 001 002",          // no ETX
                                           "Pos:2:Tisch 1",                     // the first bytes of a reply
                                           "Tisch 1\x03 001 002 Ende",          // the rest of one
                                           "Pos:2 Ende", "Po"));

TEST(SettingReplies, NumberAfterTheMarkersColon)
{
    EXPECT_EQ(*numberAfterMarker("Modus_Fernloeschung:3\r\n", "schung:"), 3);
    EXPECT_EQ(*numberAfterMarker("Debug :1\r\n", "Debug :"), 1);
    // The last marker counts, and its value ends with the line.
    EXPECT_EQ(*numberAfterMarker("Debug :0\r\nDebug :1\r\n", "Debug :"), 1);
    EXPECT_FALSE(numberAfterMarker("Debug :1", "Debug :"));
    EXPECT_FALSE(numberAfterMarker("E_Vibration 3", "ration:"));
    // Nothing, or a value no byte holds, is no setting.
    EXPECT_FALSE(numberAfterMarker("E_Vibration:", "ration:"));
    EXPECT_FALSE(numberAfterMarker("E_Vibration:259\r\n", "ration:"));
}

TEST(SettingReplies, RemoteDeleteTextIsTheLineAfterTheMarker)
{
    EXPECT_EQ(*remoteDeleteTextFromReply("Text_Fernloeschung :\r\n  Bitte warten\r\n"), "  Bitte warten");
    EXPECT_EQ(*remoteDeleteTextFromReply("Text_Fernloeschung :\r\n\r\n"), "");
    EXPECT_FALSE(remoteDeleteTextFromReply("Text_Fernloeschung :\r\n0123456789ABCDEFGHIJ\r\n"));
}

TEST(SettingReplies, RemoteDeleteTextNeedsLfAndClosingCr)
{
    EXPECT_FALSE(remoteDeleteTextFromReply("Text_Fernloeschung :\r  Bitte warten\r"));
    EXPECT_FALSE(remoteDeleteTextFromReply("Text_Fernloeschung :\r\n  Bitte warten"));
}

TEST(SettingReplies, PagerNameFollowsTheFirstColonAndHoldsFourteenAtMost)
{
    EXPECT_EQ(*pagerNameFromReply("Adresstext :Pager:B12\r\n"), "Pager:B12");
    EXPECT_FALSE(pagerNameFromReply("Adresstext :0123456789ABCDEF\r\n"));
    EXPECT_FALSE(pagerNameFromReply("Adresstext :A\x1b[31m\r\n"));
    EXPECT_FALSE(pagerNameFromReply("Adresstext :Pager:B12"));
}

TEST(SlotCommands, CallerCommandIsHeadTextAndThreeDigitNumbers)
{
    CallerEntry slot;
    slot.buttonId = {1, 2, 3, 4};
    slot.idSuffix = 5;
    EXPECT_EQ(callerSlotCommand(0, slot), ">Setze:0 \x02\x03 001 002 003 004 005 Ende");
    slot.buttonId = {7, 255, 0, 10};
    slot.text.assign("Bar");
    EXPECT_EQ(callerSlotCommand(12, slot), ">Setze:12 \x02" "Bar\x03 007 255 000 010 005 Ende");
}

TEST(SlotCommands, LastSlotWithFullTextIs51Bytes)
{
    CallerEntry slot;
    slot.text.assign("ABCDEFGHIJKLMN");
    const std::string command = callerSlotCommand(31, slot).value();
    EXPECT_EQ(command.size(), 51u);
    EXPECT_EQ(command.substr(0, 11), ">Setze:31 \x02");
    EXPECT_EQ(command.substr(25), "\x03 000 000 000 000 000 Ende");
}

TEST(SlotCommands, KitchenCommandSendsStationBeforeKey)
{
    KitchenCallEntry slot;
    slot.text.assign("Pizza");
    slot.station = 3;
    slot.key = 12;
    EXPECT_EQ(kitchenSlotCommand(15, slot), ">Se-Kueche:15 \x02" "Pizza\x03 003 012 Ende");
}

}  // namespace
}  // namespace harvelin::transfer
