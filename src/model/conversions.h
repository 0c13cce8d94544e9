#pragma once

#include <cstdint>
#include <string>
#include <string_view>

namespace harvelin {

// Reads a number like atoi (leading white space, optional sign, digits up to
// the first other character, no digits give 0) and keeps its low 8 bits.
// Never reads past the end of `text`; safe for any length of digits.
std::uint8_t numberFromText(std::string_view text);

// The same, starting at `pos` of `text`; a position at or past the end gives 0.
std::uint8_t numberAt(std::string_view text, std::size_t pos);

// Reads a decimal number with a point as separator like atof, independent of
// the process locale. No number gives 0.
double decimalFromText(std::string_view text);

// "%u"
std::string numberToText(unsigned value);

// "%8u%1u": the identity right-aligned in 8 places, then the suffix.
std::string idColumnText(std::uint32_t buttonId, std::uint8_t suffix);

// "%03u"
std::string threeDigits(unsigned value);

// Bytes as they may be shown inside a message, still Windows-1252: CR, LF,
// tab and the backslash as \r, \n, \t and \\, every other control byte and
// the five bytes Windows-1252 leaves unassigned as \xNN.
std::string escapedText(std::string_view bytes);

}  // namespace harvelin
