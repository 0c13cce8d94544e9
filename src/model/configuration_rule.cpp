#include "model/configuration_rule.h"

#include <algorithm>
#include <cstdio>

#include "model/limits.h"
#include "model/texts.h"
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

ModelText nameOf(Field field)
{
    switch (field) {
    case Field::CallerText: return ModelText::CallerTextField;
    case Field::KitchenText: return ModelText::KitchenTextField;
    case Field::PagerName: return ModelText::PagerNameField;
    case Field::RemoteDeleteText: return ModelText::RemoteDeleteTextField;
    case Field::IdentityByte: return ModelText::IdentityByteField;
    case Field::Key: return ModelText::KeyField;
    case Field::Station: return ModelText::StationField;
    case Field::Switch: return ModelText::SwitchField;
    case Field::CallerSlot: return ModelText::CallerSlotField;
    case Field::KitchenSlot: return ModelText::KitchenSlotField;
    case Field::Line: return ModelText::LineField;
    }
    return ModelText::ValueField;
}

bool isText(Field field)
{
    return field == Field::CallerText || field == Field::KitchenText || field == Field::PagerName ||
           field == Field::RemoteDeleteText;
}

// "1", "4 or 6": how many numbers a line may hold.
std::string countRange(const Problem& p)
{
    const std::string low = std::to_string(p.low);
    return p.low == p.high ? low : localized(ModelText::EitherCount, {low, std::to_string(p.high)});
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
    const std::string_view name = localized(nameOf(p.field));
    const std::string value = shownInMessage(p.value, false);
    const std::string low = std::to_string(p.low);
    const std::string high = std::to_string(p.high);
    switch (p.fault) {
    case Fault::NotANumber: return localized(ModelText::NotANumber, {name, value, low, high});
    case Fault::OutOfRange: return localized(ModelText::OutOfRange, {name, value, low, high});
    case Fault::TooLong: return localized(ModelText::TooLong, {name, value, high});
    case Fault::ControlCharacter:
        return localized(ModelText::ControlCharacter,
                         {name, value, hexByte(static_cast<unsigned char>(p.value[p.at]))});
    case Fault::NotShowable:
        return localized(ModelText::NotShowable, {name, value, hexByte(static_cast<unsigned char>(p.value[p.at]))});
    case Fault::NotASwitchValue: return localized(ModelText::NotASwitchValue, {name, value, low, high});
    case Fault::GivenTwice:
        return localized(isText(p.field) ? ModelText::TextGivenTwice : ModelText::NumberGivenTwice, {name, value});
    case Fault::WrongCount: return localized(ModelText::WrongCount, {name, p.value, countRange(p)});
    case Fault::MixedEncoding:
        // The place (a file's line) says where; the bytes are not quoted,
        // being neither encoding.
        return std::string(localized(ModelText::MixedEncoding));
    }
    return localized(ModelText::NotAllowed, {name, value});
}

std::string describe(const ConfigurationProblem& p)
{
    if (p.slot == 0 || !isText(p.problem.field))
        return describe(p.problem);
    const bool caller = p.problem.field == Field::CallerText;
    return localized(caller ? ModelText::CallerSlotProblem : ModelText::KitchenSlotProblem,
                     {std::to_string(p.slot), describe(p.problem)});
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
