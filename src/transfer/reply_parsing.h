#pragma once

#include <array>
#include <cstddef>
#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/limits.h"

// The pager answers in free text; the transfers pick their items out of it by
// marker words, colons and spaces. Every function here takes the reply as the
// bytes that arrived (its length is the reply length) and never looks past
// its end.
namespace harvelin::transfer {

// A slot's message text travels between STX and ETX.
constexpr char Stx = 0x02;
constexpr char Etx = 0x03;
constexpr char Lf = 0x0A;
constexpr char Cr = 0x0D;

// The reply as a text: up to its first zero byte. Marker tests look only at
// this part, since the pager never puts a zero byte into a text it means.
std::string_view replyText(std::string_view reply);
bool replyContains(std::string_view reply, std::string_view marker);

// Position of `what` in `reply` at or after `from`; nullopt when it is not
// there before the end of the reply.
std::optional<std::size_t> findWithin(std::string_view reply, std::string_view what, std::size_t from = 0);

// ">@": the version after the first "V" of a reply that also says "Direkt".
// nullopt when either is missing; a "V" without a number reads as 0.
std::optional<double> versionFromReply(std::string_view reply);
// The same version as the pager writes it ("2.10", not 2.1): the characters
// after that "V" up to the first blank or control byte; empty when none.
std::optional<std::string> versionTextFromReply(std::string_view reply);

// Pagers from version 1.5 on hold 32 caller slots, the kitchen calls and the
// remote delete; older ones 16 caller slots and nothing else.
constexpr double FullPagerVersion = 1.5;
constexpr unsigned callerSlotsForVersion(double version)
{
    return static_cast<unsigned>(version >= FullPagerVersion ? CallerSlots : SmallPagerSlots);
}

// Every value taken from a reply must pass the rule of what a configuration
// may hold: a number that is no whole number from 0 to 255, or a text that
// is too long or holds a control character, makes the whole reply invalid
// (nullopt), to be asked for again like any reply that does not fit.

// A reply to ">Lese:%u" or ">Le-Kueche:%u":
//   ... "Pos:" slot ":" text ETX " " n1 " " n2 ... " Ende" ...
// Header, text and numbers must stand in this order in one reply; a reply
// that holds them only in pieces, or with a number missing, is no slot reply.
struct SlotReply {
    std::uint8_t reportedSlot = 0;
    std::string text;                       // at most 14 bytes, all showable
    std::array<std::uint8_t, 5> numbers{};  // the numbers found after the text, in order
    std::size_t numberCount = 0;            // how many of them were found
    bool operator==(const SlotReply&) const = default;
};

// Both words that make a reply a slot reply.
bool isSlotReply(std::string_view reply);

// Parses a slot reply with exactly `wantedNumbers` numbers after the text,
// from the last "Pos:" that starts one. nullopt when no such reply is there,
// or a value breaks the rule.
std::optional<SlotReply> parseSlotReply(std::string_view reply, std::size_t wantedNumbers);

// The number right after the colon of the last `marker` (which ends in a
// colon), closed by a line end: ">List Modus_Fernloeschung", ">List Debug",
// ">List E_Vibration".
std::optional<std::uint8_t> numberAfterMarker(std::string_view reply, std::string_view marker);

// ">List Text_Fernloeschung": the line after the first LF that follows the
// last "chung :", up to its CR. nullopt when the line is not closed by a CR, or
// is no remote-delete text (more than 16 characters, a control character).
std::optional<std::string> remoteDeleteTextFromReply(std::string_view reply);

// ">List Adresstext": the bytes after the last "Adresstext :" up to the
// next CR. nullopt when no CR follows, or they are no pager name.
std::optional<std::string> pagerNameFromReply(std::string_view reply);

}  // namespace harvelin::transfer
