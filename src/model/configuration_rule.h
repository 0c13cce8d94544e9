#pragma once

#include <cstdint>
#include <optional>
#include <string>
#include <string_view>

#include "model/configuration.h"

// What a configuration may hold: one rule for every way a value comes in
// (the form, a ".pag" file, a spreadsheet table, JSON, a pager's reply and
// the command line). Whatever passes it can travel to the pager and back and
// be saved and read again unchanged; nothing below the check wraps, cuts or
// drops a value.
namespace harvelin {

// The value a problem is about.
enum class Field {
    CallerText,
    KitchenText,
    PagerName,
    RemoteDeleteText,
    IdentityByte,  // b0..b3 and the suffix of a call button's identity
    Key,           // "Taste" of a kitchen call
    Station,       // "Station" / "Adresse" of a kitchen call
    Switch,        // the value of an option switch's line
    CallerSlot,
    KitchenSlot,
    Line,          // a line of a file as a whole
};

enum class Fault {
    NotANumber,        // not a whole decimal number
    OutOfRange,        // a number beyond [low, high]
    TooLong,           // a text of more characters than its field holds
    ControlCharacter,  // a byte below 0x20 or 0x7F
    NotShowable,       // a byte Windows-1252 leaves unassigned
    NotASwitchValue,   // a switch's value other than those its line defines
    GivenTwice,        // a slot or setting given more than once
    WrongCount,        // a line holds `value` numbers, not from `low` to `high`
    MixedEncoding,     // UTF-8 characters beyond ASCII beside bytes that are no UTF-8
};

struct Problem {
    Field field;
    Fault fault;
    std::string value;  // as it was given (Windows-1252 bytes)
    unsigned low = 0;   // NotANumber, OutOfRange, NotASwitchValue: what is allowed
    unsigned high = 0;  // and TooLong: the field's length
    std::size_t at = 0; // ControlCharacter, NotShowable, MixedEncoding: where the byte stands
};

// How many characters a text field holds.
std::size_t maxLength(Field text);

// Whether the pager can show `byte` in a text: a Windows-1252 character that
// is no control character. The frame's bytes (0x16 before a command, CR
// after it, STX and ETX around a slot's text) are control characters, so a
// text that passes can never end or open a command.
bool isShowable(unsigned char byte);
// Every byte of `text` is.
bool isShowableText(std::string_view text);

// A text for `field`: at most its length, every byte showable.
std::optional<Problem> checkText(Field field, std::string_view text);

// A file's bytes as a whole, before they are converted: either wholly UTF-8
// or wholly Windows-1252. Bytes that mix the two are refused as a Line
// problem at the first byte that is no UTF-8, since either reading would
// change texts behind the user's back.
std::optional<Problem> checkEncoding(std::string_view bytes);

// A whole decimal number from 0 to 255: digits only (leading zeros allowed),
// no sign, no blanks. nullopt otherwise.
std::optional<std::uint8_t> byteFromText(std::string_view text);

// A whole decimal number from `low` to `high` (at most 9999), as above.
std::optional<unsigned> wholeNumber(std::string_view text, unsigned low, unsigned high);

// A number that a pager's reply carries at `pos`: white space, then digits up to
// a blank, a control byte or the end of `text`, from 0 to 255. nullopt for
// anything else ("907", "-1", "12a", nothing, a position past the end).
std::optional<std::uint8_t> byteAt(std::string_view text, std::size_t pos);

// The number for `field` (a byte: IdentityByte, Key, Station), or why not.
std::optional<Problem> checkByte(Field field, std::string_view text, std::uint8_t& value);
// A whole number from `low` to `high` for `field` (a slot), or why not.
std::optional<Problem> checkNumber(Field field, std::string_view text, unsigned low, unsigned high,
                                   unsigned& value);

// The first thing in `config` that breaks the rule; nullopt when it holds.
// A problem in a slot's text names the slot in `slot` (1-based).
struct ConfigurationProblem {
    Problem problem;
    unsigned slot = 0;  // 0: a setting
};
std::optional<ConfigurationProblem> checkConfiguration(const PagerConfiguration& config);

// What is wrong, in the language chosen (Windows-1252 bytes like every text
// of the core, since the value is quoted as it was given):
//   Rufknopf-Byte "256" ist keine Zahl von 0 bis 255
//   identity byte 256 is not a number from 0 to 255
//   caller text "A\x0d>Bootloader" holds the control character \x0d
std::string describe(const Problem& problem);
// The whole configuration's problem, naming the slot.
std::string describe(const ConfigurationProblem& problem);

// A value quoted in a message: control characters and the bytes that
// Windows-1252 leaves unassigned written as \x1b, and anything beyond 40
// characters cut and closed with "…" ("..." in `ascii`). `utf8` tells how
// the value is encoded, so a character is never cut in half.
std::string shownInMessage(std::string_view value, bool utf8);

}  // namespace harvelin
