#include "model/configuration_rule.h"

#include <algorithm>
#include <cstdio>

#include "model/limits.h"
#include "model/win1252.h"

namespace harvelin {

namespace {

constexpr unsigned ByteMax = 255;
// Longer numbers are refused before they are added up.
constexpr std::size_t MaxDigits = 4;
// A quoted value keeps this many characters.
constexpr std::size_t QuotedMax = 40;

bool isUnassigned(unsigned char byte)
{
    return byte == 0x81 || byte == 0x8D || byte == 0x8F || byte == 0x90 || byte == 0x9D;
}

bool isControl(unsigned char byte) { return byte < 0x20 || byte == 0x7F; }

std::string hexByte(unsigned char byte)
{
    char text[8];
    std::snprintf(text, sizeof text, "\\x%02x", byte);
    return text;
}

struct FieldNames {
    const char* english;
    const char* german;  // UTF-8 here
};

FieldNames namesOf(Field field)
{
    switch (field) {
    case Field::CallerText: return {"caller text", "Meldetext"};
    case Field::KitchenText: return {"kitchen text", "Meldetext des Küchenrufs"};
    case Field::PagerName: return {"pager name", "Pager-Name"};
    case Field::RemoteDeleteText: return {"remote-delete text", "Fernlöschtext"};
    case Field::IdentityByte: return {"identity byte", "Rufknopf-Byte"};
    case Field::Key: return {"key", "Taste"};
    case Field::Station: return {"station", "Station"};
    case Field::Switch: return {"switch value", "Schalterwert"};
    case Field::CallerSlot: return {"caller slot", "Tischsender-Platz"};
    case Field::KitchenSlot: return {"kitchen slot", "Küchenruf-Platz"};
    case Field::Line: return {"line", "Zeile"};
    }
    return {"value", "Wert"};
}

bool isText(Field field)
{
    return field == Field::CallerText || field == Field::KitchenText || field == Field::PagerName ||
           field == Field::RemoteDeleteText;
}

std::string allowedSwitchValues(const Problem& p, const char* orWord)
{
    return std::to_string(p.low) + " " + orWord + " " + std::to_string(p.high);
}

std::string countRange(const Problem& p, const char* orWord)
{
    return p.low == p.high ? std::to_string(p.low) : allowedSwitchValues(p, orWord);
}

}  // namespace

std::size_t maxLength(Field text)
{
    switch (text) {
    case Field::PagerName: return PagerNameMax;
    case Field::RemoteDeleteText: return RemoteDeleteTextMax;
    default: return SlotTextMax;
    }
}

bool isShowable(unsigned char byte) { return !isControl(byte) && !isUnassigned(byte); }

bool isShowableText(std::string_view text)
{
    return std::all_of(text.begin(), text.end(), [](char c) { return isShowable(static_cast<unsigned char>(c)); });
}

std::optional<Problem> checkText(Field field, std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        const auto byte = static_cast<unsigned char>(text[i]);
        if (!isShowable(byte))
            return Problem{field, isControl(byte) ? Fault::ControlCharacter : Fault::NotShowable, std::string(text), 0,
                           0, i};
    }
    const std::size_t max = maxLength(field);
    if (text.size() > max)
        return Problem{field, Fault::TooLong, std::string(text), 0, static_cast<unsigned>(max), 0};
    return std::nullopt;
}

std::optional<Problem> checkEncoding(std::string_view bytes)
{
    if (const auto at = firstByteBesideUtf8(bytes))
        return Problem{Field::Line, Fault::MixedEncoding, {}, 0, 0, *at};
    return std::nullopt;
}

std::optional<unsigned> wholeNumber(std::string_view text, unsigned low, unsigned high)
{
    if (text.empty() || text.find_first_not_of("0123456789") != std::string_view::npos)
        return std::nullopt;
    const auto significant = text.find_first_not_of('0');
    if (significant != std::string_view::npos && text.size() - significant > MaxDigits)
        return std::nullopt;
    unsigned value = 0;
    for (const char c : text)
        value = value * 10 + static_cast<unsigned>(c - '0');
    if (value < low || value > high)
        return std::nullopt;
    return value;
}

std::optional<std::uint8_t> byteFromText(std::string_view text)
{
    const auto value = wholeNumber(text, 0, ByteMax);
    if (!value)
        return std::nullopt;
    return static_cast<std::uint8_t>(*value);
}

std::optional<std::uint8_t> byteAt(std::string_view text, std::size_t pos)
{
    if (pos > text.size())
        return std::nullopt;
    // White space before the number is the layout's, a line break included.
    while (pos < text.size() && (text[pos] == ' ' || (text[pos] >= '\t' && text[pos] <= '\r')))
        ++pos;
    std::size_t end = pos;
    while (end < text.size() && text[end] >= '0' && text[end] <= '9')
        ++end;
    if (end < text.size() && text[end] != ' ' && !isControl(static_cast<unsigned char>(text[end])))
        return std::nullopt;
    return byteFromText(text.substr(pos, end - pos));
}

std::optional<Problem> checkNumber(Field field, std::string_view text, unsigned low, unsigned high,
                                   unsigned& value)
{
    if (const auto number = wholeNumber(text, low, high)) {
        value = *number;
        return std::nullopt;
    }
    const bool digits = !text.empty() && text.find_first_not_of("0123456789") == std::string_view::npos;
    return Problem{field, digits ? Fault::OutOfRange : Fault::NotANumber, std::string(text), low, high, 0};
}

std::optional<Problem> checkByte(Field field, std::string_view text, std::uint8_t& value)
{
    unsigned number = 0;
    auto problem = checkNumber(field, text, 0, ByteMax, number);
    if (!problem)
        value = static_cast<std::uint8_t>(number);
    return problem;
}

std::optional<ConfigurationProblem> checkConfiguration(const PagerConfiguration& config)
{
    for (std::size_t s = 0; s < config.image.callers.size(); ++s)
        if (auto p = checkText(Field::CallerText, config.image.callers[s].text.str()))
            return ConfigurationProblem{*p, static_cast<unsigned>(s + 1)};
    for (std::size_t k = 0; k < config.image.kitchenCalls.size(); ++k)
        if (auto p = checkText(Field::KitchenText, config.image.kitchenCalls[k].text.str()))
            return ConfigurationProblem{*p, static_cast<unsigned>(k + 1)};
    if (auto p = checkText(Field::PagerName, config.pagerName))
        return ConfigurationProblem{*p, 0};
    if (auto p = checkText(Field::RemoteDeleteText, config.remoteDeleteText))
        return ConfigurationProblem{*p, 0};
    // The numbers are bytes and the switches booleans: they hold by their type.
    return std::nullopt;
}

std::string describe(const Problem& p)
{
    const std::string name = namesOf(p.field).english;
    const std::string value = "\"" + shownInMessage(p.value, false) + "\"";
    switch (p.fault) {
    case Fault::NotANumber:
        return name + " " + value + " is not a number from " + std::to_string(p.low) + " to " +
               std::to_string(p.high);
    case Fault::OutOfRange:
        return name + " " + shownInMessage(p.value, false) + " is not a number from " + std::to_string(p.low) +
               " to " + std::to_string(p.high);
    case Fault::TooLong:
        return name + " " + value + " is longer than " + std::to_string(p.high) + " characters";
    case Fault::ControlCharacter:
        return name + " " + value + " holds the control character " +
               hexByte(static_cast<unsigned char>(p.value[p.at]));
    case Fault::NotShowable:
        return name + " " + value + " holds the byte " + hexByte(static_cast<unsigned char>(p.value[p.at])) +
               ", which is no Windows-1252 character";
    case Fault::NotASwitchValue:
        return name + " " + value + " is neither " + allowedSwitchValues(p, "nor");
    case Fault::GivenTwice:
        return name + " " + (isText(p.field) ? value : shownInMessage(p.value, false)) + " is given twice";
    case Fault::WrongCount:
        return name + " holds " + p.value + " numbers after its TAB, not " + countRange(p, "or");
    case Fault::MixedEncoding:
        // The place (a file's line) says where; the bytes are not quoted,
        // being neither encoding.
        return "mixes UTF-8 and Windows-1252";
    }
    return name + " " + value + " is not allowed";
}

std::string describeGerman(const Problem& p)
{
    const std::string name = namesOf(p.field).german;
    const std::string value = "\"" + win1252ToUtf8(shownInMessage(p.value, false)) + "\"";
    std::string text;
    switch (p.fault) {
    case Fault::NotANumber:
    case Fault::OutOfRange:
        text = name + " " + value + " ist keine Zahl von " + std::to_string(p.low) + " bis " + std::to_string(p.high);
        break;
    case Fault::TooLong:
        text = name + " " + value + " ist länger als " + std::to_string(p.high) + " Zeichen";
        break;
    case Fault::ControlCharacter:
        text = name + " " + value + " enthält das Steuerzeichen " +
               hexByte(static_cast<unsigned char>(p.value[p.at]));
        break;
    case Fault::NotShowable:
        text = name + " " + value + " enthält das Byte " + hexByte(static_cast<unsigned char>(p.value[p.at])) +
               ", das der Pager nicht anzeigen kann";
        break;
    case Fault::NotASwitchValue:
        text = name + " " + value + " ist weder " + allowedSwitchValues(p, "noch");
        break;
    case Fault::GivenTwice:
        text = name + " " + value + " ist doppelt angegeben";
        break;
    case Fault::WrongCount:
        text = name + ": " + p.value + " Zahlen nach dem Tabulator statt " + countRange(p, "oder");
        break;
    case Fault::MixedEncoding:
        text = "UTF-8 und Windows-1252 gemischt";
        break;
    }
    return win1252(text);
}

std::string describe(const ConfigurationProblem& p)
{
    if (p.slot == 0 || !isText(p.problem.field))
        return describe(p.problem);
    const bool caller = p.problem.field == Field::CallerText;
    return std::string(caller ? "caller slot " : "kitchen call ") + std::to_string(p.slot) + ": " +
           describe(p.problem);
}

std::string describeGerman(const ConfigurationProblem& p)
{
    if (p.slot == 0 || !isText(p.problem.field))
        return describeGerman(p.problem);
    const bool caller = p.problem.field == Field::CallerText;
    return win1252(caller ? "Tischsender " : "Küchenruf ") + std::to_string(p.slot) + ": " +
           describeGerman(p.problem);
}

std::string shownInMessage(std::string_view value, bool utf8)
{
    std::string shown;
    std::size_t characters = 0;
    for (std::size_t i = 0; i < value.size(); ++i) {
        const auto byte = static_cast<unsigned char>(value[i]);
        // In UTF-8 only a lead byte starts a character; the continuation
        // bytes (10xxxxxx) go with it.
        const bool starts = !utf8 || (byte & 0xC0) != 0x80;
        if (starts && characters == QuotedMax) {
            shown += utf8 ? "\xE2\x80\xA6" : "\x85";
            break;
        }
        if (starts)
            ++characters;
        // C1 control characters in UTF-8 (U+0080..U+009F, C2 80..C2 9F) are
        // escaped too: some terminals act on them.
        const auto next = i + 1 < value.size() ? static_cast<unsigned char>(value[i + 1]) : 0;
        if (utf8 && byte == 0xC2 && next >= 0x80 && next <= 0x9F)
            shown += hexByte(value[++i]);
        else if (isControl(byte) || (!utf8 && isUnassigned(byte)))
            shown += hexByte(byte);
        else
            shown += static_cast<char>(byte);
    }
    return shown;
}

}  // namespace harvelin
