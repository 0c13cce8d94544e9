#include "files/pager_data_file.h"

#include <algorithm>
#include <array>
#include <optional>
#include <span>
#include <vector>
#include <cstdio>
#include <string>

#include "files/texts.h"
#include "model/configuration_rule.h"
#include "model/win1252.h"
#include "model/conversions.h"
#include "model/win1252.h"

namespace harvelin {

namespace {

// Every line ends in CR LF, also where the system's own line end is a bare
// LF: the files travel between machines.
constexpr std::string_view LineEnd = "\r\n";

constexpr std::string_view PagerNameKey = "Pagername:";
constexpr std::string_view CallerKey = "Eintrag:";
constexpr std::string_view KitchenKey = "Sonder:";
constexpr std::string_view RemoteDeleteTextKey = "Fernloeschung:";
constexpr std::string_view RemoteDeleteModeKey = "FModus:";
constexpr std::string_view BuzzerKey = "Summer:";
constexpr std::string_view BatteryKey = "Batterie:";

// A line is read by the key it begins with. A line that begins with none of
// them is read by the first of these keys it holds anywhere, in this order.
constexpr std::array<std::string_view, 7> KeysInOrder = {
    PagerNameKey, CallerKey, KitchenKey, RemoteDeleteTextKey, RemoteDeleteModeKey, BuzzerKey, BatteryKey,
};

// Lines shorter than this, counting the line feed, carry nothing.
constexpr std::size_t MinLineLength = 3;

// The values of the switches in the file. The pager's buzzer mode has the
// buzzer in bit 1; the other two are plain on/off in bit 0.
constexpr std::string_view RemoteDeleteOn = "FModus:3";
constexpr std::string_view RemoteDeleteOff = "FModus:0";
constexpr std::string_view BuzzerOn = "Summer:2";
constexpr std::string_view BuzzerOff = "Summer:0";
constexpr std::string_view BatteryOn = "Batterie:1";
constexpr std::string_view BatteryOff = "Batterie:0";

// Up to a zero byte, as a C string would be printed.
std::string_view cText(std::string_view text)
{
    const auto zero = text.find('\0');
    return zero == std::string_view::npos ? text : text.substr(0, zero);
}

std::string callerLine(unsigned index, const CallerEntry& slot)
{
    char numbers[32];
    std::snprintf(numbers, sizeof numbers, "%03u %03u %03u %03u %03u", unsigned{slot.buttonId[0]},
                  unsigned{slot.buttonId[1]}, unsigned{slot.buttonId[2]}, unsigned{slot.buttonId[3]},
                  unsigned{slot.idSuffix});
    std::string line(CallerKey);
    line += threeDigits(index);
    line += ' ';
    line += slot.text.str();
    line += '\t';
    line += numbers;
    line += LineEnd;
    return line;
}

// The trailing space after the station is part of the layout.
std::string kitchenLine(unsigned index, const KitchenCallEntry& slot)
{
    std::string line(KitchenKey);
    line += threeDigits(index);
    line += ' ';
    line += slot.text.str();
    line += '\t';
    line += threeDigits(slot.key);
    line += ' ';
    line += threeDigits(slot.station);
    line += ' ';
    line += LineEnd;
    return line;
}

std::string settingLine(std::string_view key, std::string_view value)
{
    std::string line(key);
    line += cText(value);
    line += LineEnd;
    return line;
}

// The parts of a slot line after its key: "NNN text<TAB>n n n n n".
struct SlotLine {
    std::string_view index;
    std::string_view text;
    std::optional<std::string_view> numbers;  // after the TAB; none without one
};

SlotLine splitSlotLine(std::string_view line, std::size_t p)
{
    SlotLine parts;
    std::string_view rest = line.substr(p);
    const auto space = rest.find(' ');
    parts.index = rest.substr(0, space);
    if (space == std::string_view::npos)
        return parts;
    rest.remove_prefix(space + 1);
    const auto tab = rest.find('\t');
    parts.text = rest.substr(0, tab);
    if (tab != std::string_view::npos)
        parts.numbers = rest.substr(tab + 1);
    return parts;
}

// The numbers after the TAB, one blank between two; blanks at the end of
// the line are the layout's (a kitchen line ends in one).
// `fields` names each place; the first `least` of them must be there.
std::optional<Problem> splitNumbers(std::string_view numbers, Field line, std::span<const Field> fields,
                                    unsigned least, std::vector<std::uint8_t>& values)
{
    const auto most = static_cast<unsigned>(fields.size());
    while (!numbers.empty() && numbers.back() == ' ')
        numbers.remove_suffix(1);
    std::vector<std::string_view> tokens;
    for (std::size_t from = 0;;) {
        const auto space = numbers.find(' ', from);
        tokens.push_back(numbers.substr(from, space - from));
        if (space == std::string_view::npos)
            break;
        from = space + 1;
    }
    if (tokens.size() < least || tokens.size() > most)
        return Problem{line, Fault::WrongCount, std::to_string(tokens.size()), least, most, 0};
    for (std::size_t i = 0; i < tokens.size(); ++i) {
        std::uint8_t value = 0;
        if (auto problem = checkByte(fields[i], tokens[i], value))
            return problem;
        values.push_back(value);
    }
    return std::nullopt;
}

constexpr std::array<Field, 5> CallerNumbers = {Field::IdentityByte, Field::IdentityByte, Field::IdentityByte,
                                                Field::IdentityByte, Field::IdentityByte};
constexpr std::array<Field, 2> KitchenNumbers = {Field::Key, Field::Station};

// The slot a line names: a whole number below `slots`, not named before.
std::optional<Problem> slotIndex(std::string_view index, Field field, std::size_t slots,
                                 const auto& seen, std::size_t& slot)
{
    unsigned value = 0;
    if (auto problem = checkNumber(field, index, 0, static_cast<unsigned>(slots - 1), value))
        return problem;
    if (seen.test(value))
        return Problem{field, Fault::GivenTwice, std::string(index), 0, 0, 0};
    slot = value;
    return std::nullopt;
}

// What a slot line of either kind holds, checked: the slot, its text, and
// the numbers after the TAB (none without a TAB: the line holds only the
// text, and the numbers keep their values).
struct SlotValues {
    std::size_t slot = 0;
    std::string_view text;
    std::vector<std::uint8_t> numbers;
};

struct SlotLineKind {
    Field slot;
    Field text;
    std::size_t slots;
    std::span<const Field> numbers;
    unsigned leastNumbers;
};
constexpr SlotLineKind CallerLine{Field::CallerSlot, Field::CallerText, CallerSlots, CallerNumbers, 4};
constexpr SlotLineKind KitchenLine{Field::KitchenSlot, Field::KitchenText, KitchenSlots, KitchenNumbers, 2};

template <std::size_t N>
std::optional<Problem> readSlotLine(std::string_view line, std::size_t p, const SlotLineKind& kind,
                                    std::bitset<N>& seen, SlotValues& values)
{
    const SlotLine parts = splitSlotLine(line, p);
    if (auto problem = slotIndex(parts.index, kind.slot, kind.slots, seen, values.slot))
        return problem;
    if (auto problem = checkText(kind.text, parts.text))
        return problem;
    if (parts.numbers)
        if (auto problem = splitNumbers(*parts.numbers, kind.slot, kind.numbers, kind.leastNumbers, values.numbers))
            return problem;
    seen.set(values.slot);
    values.text = parts.text;
    return std::nullopt;
}

// A caller line: the text, then b0 b1 b2 b3 and the suffix. A line with only
// four numbers is a button without suffix.
std::optional<Problem> applyCallerLine(std::string_view line, std::size_t p, PagerImage& image,
                                       FileCoverage& coverage)
{
    SlotValues values;
    if (auto problem = readSlotLine(line, p, CallerLine, coverage.callers, values))
        return problem;
    CallerEntry& slot = image.callers[values.slot];
    slot.text.assign(values.text);
    if (!values.numbers.empty()) {
        std::copy_n(values.numbers.begin(), slot.buttonId.size(), slot.buttonId.begin());
        slot.idSuffix = values.numbers.size() > slot.buttonId.size() ? values.numbers.back() : 0;
    }
    return std::nullopt;
}

// A kitchen line: the text, then the key and the station.
std::optional<Problem> applyKitchenLine(std::string_view line, std::size_t p, PagerImage& image,
                                        FileCoverage& coverage)
{
    SlotValues values;
    if (auto problem = readSlotLine(line, p, KitchenLine, coverage.kitchenCalls, values))
        return problem;
    KitchenCallEntry& slot = image.kitchenCalls[values.slot];
    slot.text.assign(values.text);
    if (!values.numbers.empty()) {
        slot.key = values.numbers[0];
        slot.station = values.numbers[1];
    }
    return std::nullopt;
}

// A switch's line holds one of the two values the writer writes: off, or
// the one that `on` shows.
std::optional<Problem> readSwitch(std::string_view value, std::string_view on, bool& field, bool& seen)
{
    while (!value.empty() && value.back() == ' ')
        value.remove_suffix(1);
    const unsigned onValue = static_cast<unsigned>(on.back() - '0');
    const auto number = wholeNumber(value, 0, onValue);
    if (!number || (*number != 0 && *number != onValue))
        return Problem{Field::Switch, Fault::NotASwitchValue, std::string(value), 0, onValue, 0};
    if (seen)
        return Problem{Field::Switch, Fault::GivenTwice, std::string(on.substr(0, on.find(':') + 1)), 0, 0, 0};
    field = *number != 0;
    seen = true;
    return std::nullopt;
}

class StringSink : public ByteSink {
public:
    bool write(std::string_view bytes) override
    {
        text += bytes;
        return true;
    }
    std::string text;
};

}  // namespace

bool sameConfiguration(const PagerConfiguration& a, const PagerConfiguration& b)
{
    return PagerDataFile::format(a) == PagerDataFile::format(b);
}

bool PagerDataFile::write(const PagerConfiguration& config, ByteSink& sink, const FileCoverage* only)
{
    const auto line = [&](bool wanted, const std::string& text) { return !wanted || sink.write(text); };
    const FileCoverage all = FileCoverage::everything();
    const FileCoverage& lines = only ? *only : all;
    if (!line(lines.pagerName, settingLine(PagerNameKey, config.pagerName)))
        return false;
    if (!line(lines.remoteDeleteText, settingLine(RemoteDeleteTextKey, config.remoteDeleteText)))
        return false;
    if (!line(lines.remoteDeleteMode, settingLine(config.remoteDelete ? RemoteDeleteOn : RemoteDeleteOff, "")))
        return false;
    if (!line(lines.buzzer, settingLine(config.buzzer ? BuzzerOn : BuzzerOff, "")))
        return false;
    if (!line(lines.battery, settingLine(config.battery ? BatteryOn : BatteryOff, "")))
        return false;
    for (unsigned i = 0; i < CallerSlots; ++i)
        if (!line(lines.callers.test(i), callerLine(i, config.image.callers[i])))
            return false;
    for (unsigned i = 0; i < KitchenSlots; ++i)
        if (!line(lines.kitchenCalls.test(i), kitchenLine(i, config.image.kitchenCalls[i])))
            return false;
    return true;
}

std::string PagerDataFile::format(const PagerConfiguration& config, const FileCoverage* only)
{
    StringSink sink;
    write(config, sink, only);
    return sink.text;
}

std::optional<Problem> PagerDataFile::applyLine(std::string_view line, bool hasLineFeed, PagerConfiguration& config,
                                                FileCoverage* coverage)
{
    FileCoverage unused;
    FileCoverage& seen = coverage ? *coverage : unused;
    // Short lines carry nothing; the line feed counts.
    if (line.size() + (hasLineFeed ? 1 : 0) < MinLineLength)
        return std::nullopt;

    // The key a line begins with counts first, so a text that holds another
    // key ("Tisch Eintrag:7") never moves its line elsewhere.
    std::string_view key;
    for (const std::string_view candidate : KeysInOrder) {
        if (line.starts_with(candidate)) {
            key = candidate;
            ++seen.keyedLines;
            break;
        }
    }
    for (std::size_t i = 0; key.empty() && i < KeysInOrder.size(); ++i)
        if (line.find(KeysInOrder[i]) != std::string_view::npos)
            key = KeysInOrder[i];
    if (key.empty())
        return std::nullopt;
    if (line.size() + (hasLineFeed ? 1 : 0) > MaxLineLength)
        return Problem{Field::Line, Fault::TooLong, std::string(line), 0, static_cast<unsigned>(MaxLineLength), 0};
    // The value starts after the line's first colon: "Pagername:Pager:A" is
    // the name "Pager:A".
    const std::size_t p = line.find(':') + 1;

    if (key == PagerNameKey || key == RemoteDeleteTextKey) {
        // Only a line feed proves the text complete.
        if (!hasLineFeed)
            return std::nullopt;
        const bool isName = key == PagerNameKey;
        const std::string_view value = line.substr(p);
        bool& given = isName ? seen.pagerName : seen.remoteDeleteText;
        if (auto problem = checkText(isName ? Field::PagerName : Field::RemoteDeleteText, value))
            return problem;
        if (given)
            return Problem{isName ? Field::PagerName : Field::RemoteDeleteText, Fault::GivenTwice, std::string(value),
                           0, 0, 0};
        (isName ? config.pagerName : config.remoteDeleteText) = std::string(value);
        given = true;
        return std::nullopt;
    }
    if (key == RemoteDeleteModeKey)
        return readSwitch(line.substr(p), RemoteDeleteOn, config.remoteDelete, seen.remoteDeleteMode);
    if (key == BuzzerKey)
        return readSwitch(line.substr(p), BuzzerOn, config.buzzer, seen.buzzer);
    if (key == BatteryKey)
        return readSwitch(line.substr(p), BatteryOn, config.battery, seen.battery);
    // A slot's line without its line feed may be the end of a cut file: it
    // counts only when its text and all its numbers are there and sound.
    if ((key == CallerKey || key == KitchenKey) && !hasLineFeed) {
        if (line.find('\t', p) == std::string_view::npos)
            return std::nullopt;
        PagerImage image = config.image;
        FileCoverage held = seen;
        if (!(key == CallerKey ? applyCallerLine(line, p, image, held) : applyKitchenLine(line, p, image, held))) {
            config.image = image;
            seen = held;
        }
        return std::nullopt;
    }
    if (key == CallerKey)
        return applyCallerLine(line, p, config.image, seen);
    return applyKitchenLine(line, p, config.image, seen);
}

void PagerDataFile::LineReader::feed(std::string_view bytes)
{
    while (!bytes.empty() && !problem_) {
        const auto lf = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, lf);
        // Beyond what a line may hold nothing more is kept: such a line is
        // refused anyway, and its beginning is all the message quotes.
        if (line_.size() <= MaxLineLength + 1)
            line_.append(piece.substr(0, MaxLineLength + 2 - line_.size()));
        length_ += piece.size();
        if (lf == std::string_view::npos)
            return;
        endLine(true);
        bytes.remove_prefix(lf + 1);
    }
}

void PagerDataFile::LineReader::finish()
{
    if (length_ > 0 && !problem_)
        endLine(false);
}

void PagerDataFile::LineReader::endLine(bool hasLineFeed)
{
    ++lineNumber_;
    // A CR before the line feed is the other half of the line end, as it is
    // at the end of the file.
    if (!line_.empty() && line_.size() == length_ && line_.back() == '\r') {
        line_.pop_back();
        --length_;
    }
    // A line cut short above is too long; it is judged as the longest line.
    if (length_ > line_.size())
        line_.resize(MaxLineLength + 1);
    if (auto problem = applyLine(line_, hasLineFeed, config_, coverage_ ? coverage_ : &own_))
        problem_ = FileProblem{lineNumber_, *problem};
    line_.clear();
    length_ = 0;
}

std::optional<FileProblem> PagerDataFile::parse(std::string_view bytes, PagerConfiguration& config,
                                                FileCoverage* coverage)
{
    LineReader reader(config, coverage);
    reader.feed(bytes);
    reader.finish();
    return reader.problem();
}

std::string FileProblem::describe(const std::string& file) const
{
    // The name is UTF-8: the text around it is made UTF-8 before it goes in.
    return localizedUtf8(FilesText::NamedFileLineProblem,
                         {file, std::to_string(line), win1252ToUtf8(harvelin::describe(problem))});
}

std::string FileProblem::describe() const
{
    return localized(FilesText::FileLineProblem, {std::to_string(line), harvelin::describe(problem)});
}

bool PagerDataFile::read(std::string_view bytes, PagerConfiguration& config, LoadReport& found)
{
    found = LoadReport{};
    // An editor may have saved the file as UTF-8, perhaps behind a byte order
    // mark; the tool itself writes Windows-1252. A file that holds both (a
    // line pasted from another editor) is refused rather than guessed at; a
    // byte order mark counts as UTF-8.
    if (auto mixed = checkEncoding(bytes)) {
        const auto line = std::count(bytes.begin(), bytes.begin() + static_cast<std::ptrdiff_t>(mixed->at), '\n');
        found.problem = FileProblem{static_cast<std::size_t>(line) + 1, *mixed};
        return false;
    }
    constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";
    std::string_view text = bytes;
    if (text.starts_with(ByteOrderMark))
        text.remove_prefix(ByteOrderMark.size());
    std::string converted;
    if (isUtf8BeyondAscii(text)) {
        converted = utf8ToWin1252Replacing(text, found.replacedCharacters);
        text = converted;
        found.readAsUtf8 = true;
    }

    // Read onto a copy, so a file that is refused changes nothing.
    PagerConfiguration result = config;
    if (auto problem = parse(text, result, &found.coverage)) {
        found.problem = problem;
        return false;
    }
    if (!found.coverage.holdsConfiguration()) {
        found.notConfiguration = true;
        return false;
    }
    config = result;
    return true;
}

}  // namespace harvelin
