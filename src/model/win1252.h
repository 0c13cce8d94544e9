#pragma once

#include <optional>
#include <string>
#include <string_view>

namespace harvelin {

// Texts inside the tool are Windows-1252 bytes: "ö", "ß" and "€" are one byte
// each, on the wire, in files and in the image. These convert at the edges.

// UTF-8 to Windows-1252; nullopt when a character has no Windows-1252 byte or
// the input is not valid UTF-8.
std::optional<std::string> utf8ToWin1252(std::string_view utf8);

// For the tool's own fixed texts, which are all representable.
std::string win1252(std::string_view utf8);

// Windows-1252 to UTF-8. The five unassigned bytes (0x81, 0x8D, 0x8F, 0x90,
// 0x9D) map to the C1 control characters of the same value.
std::string win1252ToUtf8(std::string_view bytes);

// Whether `bytes` are well-formed UTF-8 that holds at least one character
// beyond ASCII: text that an editor saved as UTF-8, not Windows-1252 bytes
// (an umlaut in Windows-1252 is never followed by the bytes UTF-8 needs).
bool isUtf8BeyondAscii(std::string_view bytes);

// Whether `bytes` are well-formed UTF-8 (plain ASCII is).
bool isUtf8(std::string_view bytes);

// Where bytes that hold a UTF-8 character beyond ASCII also hold a byte that
// is no part of a well-formed UTF-8 character: the offset of the first such
// byte. Such bytes mix UTF-8 and Windows-1252 (a line pasted from another
// editor), and neither reading shows what was typed. nullopt for bytes that
// are wholly UTF-8, or that hold no UTF-8 character beyond ASCII.
std::optional<std::size_t> firstByteBesideUtf8(std::string_view bytes);

// UTF-8 to Windows-1252 character by character; a character without a
// Windows-1252 byte becomes "?" and sets `replaced`. The input must be valid
// UTF-8 (see isUtf8BeyondAscii).
std::string utf8ToWin1252Replacing(std::string_view utf8, bool& replaced);

}  // namespace harvelin
