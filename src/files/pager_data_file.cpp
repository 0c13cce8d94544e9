#include "files/pager_data_file.h"

#include <array>
#include <cstdio>
#include <string>

#include "files/replacing_file.h"
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
constexpr unsigned BuzzerBit = 0x02;
constexpr unsigned OnBit = 0x01;

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

// The slot number as written, judged in full: "Eintrag:259" is no slot,
// not slot 3.
long slotNumberAt(std::string_view text, std::size_t pos)
{
    std::size_t i = pos;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r')))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-'))
        negative = text[i++] == '-';
    // Anything beyond the limit is out of range; the value stops growing there.
    constexpr long Limit = 1000;
    long value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i)
        if (value < Limit)
            value = value * 10 + (text[i] - '0');
    return negative ? -value : value;
}

std::size_t find(std::string_view line, char c, std::size_t from)
{
    return from > line.size() ? std::string_view::npos : line.find(c, from);
}

// A slot's text starts after the first space behind the colon and runs up
// to the TAB, at most 14 characters. Returns where the scan for the numbers
// goes on: where the copy stopped at the TAB or the limit, else the start.
// `line` includes its line feed, which counts towards the limit like any
// character but is never kept in the text.
std::size_t takeSlotText(std::string_view line, std::size_t p, SlotText& text)
{
    const std::size_t space = find(line, ' ', p);
    if (space == std::string_view::npos) {
        text.assign("");
        return p;
    }
    const std::size_t start = space + 1;
    std::size_t end = start;
    while (end < line.size() && line[end] != '\t' && end - start < SlotTextMax)
        ++end;
    std::string_view copied = line.substr(start, end - start);
    const bool stoppedEarly = (end < line.size() && line[end] == '\t') || copied.size() == SlotTextMax;
    if (!copied.empty() && copied.back() == '\n')
        copied.remove_suffix(1);
    text.assign(copied);
    return stoppedEarly ? end : start;
}

// The number after the next `separator` at or after q; q moves past the
// separator. No separator: the value is left alone.
void numberAfter(std::string_view line, char separator, std::size_t& q, std::uint8_t& value)
{
    const std::size_t at = find(line, separator, q);
    if (at == std::string_view::npos)
        return;
    q = at + 1;
    value = numberAt(line, q);
}

void applyCallerLine(std::string_view line, std::size_t p, PagerImage& image, FileCoverage& coverage)
{
    const long s = slotNumberAt(line, p);
    if (s < 0 || s >= static_cast<long>(CallerSlots))
        return;
    coverage.callers.set(static_cast<std::size_t>(s));
    CallerEntry& slot = image.callers[static_cast<std::size_t>(s)];
    std::size_t q = takeSlotText(line, p, slot.text);
    numberAfter(line, '\t', q, slot.buttonId[0]);
    for (std::size_t b = 1; b < slot.buttonId.size(); ++b)
        numberAfter(line, ' ', q, slot.buttonId[b]);
    // A line with only four numbers is a button without suffix.
    slot.idSuffix = 0;
    numberAfter(line, ' ', q, slot.idSuffix);
}

void applyKitchenLine(std::string_view line, std::size_t p, PagerImage& image, FileCoverage& coverage)
{
    const long k = slotNumberAt(line, p);
    if (k < 0 || k >= static_cast<long>(KitchenSlots))
        return;
    coverage.kitchenCalls.set(static_cast<std::size_t>(k));
    KitchenCallEntry& slot = image.kitchenCalls[static_cast<std::size_t>(k)];
    std::size_t q = takeSlotText(line, p, slot.text);
    numberAfter(line, '\t', q, slot.key);
    numberAfter(line, ' ', q, slot.station);
}

// The reason given when the bytes stopped without the system naming one.
constexpr std::string_view IncompleteWrite = "Schreibfehler";

// Lines pass through a filter on their way to the sink.
class FilteredSink : public ByteSink {
public:
    FilteredSink(ByteSink& next, const decltype(SaveOptions::filter)& filter) : next_(next), filter_(filter) {}
    bool write(std::string_view bytes) override { return filter_ ? filter_(next_, bytes) : next_.write(bytes); }

private:
    ByteSink& next_;
    const decltype(SaveOptions::filter)& filter_;
};

class StringSink : public ByteSink {
public:
    bool write(std::string_view bytes) override
    {
        text += bytes;
        return true;
    }
    std::string text;
};

// "3", "5-32": the numbers 1.. of the unset bits, runs joined.
template <std::size_t N>
std::string unsetRanges(const std::bitset<N>& set)
{
    std::string text;
    for (std::size_t i = 0; i < N;) {
        if (set.test(i)) {
            ++i;
            continue;
        }
        std::size_t end = i;
        while (end + 1 < N && !set.test(end + 1))
            ++end;
        if (!text.empty())
            text += ", ";
        text += std::to_string(i + 1);
        if (end > i)
            text += "-" + std::to_string(end + 1);
        i = end + 1;
    }
    return text;
}

}  // namespace

bool sameConfiguration(const PagerConfiguration& a, const PagerConfiguration& b)
{
    return PagerDataFile::format(a) == PagerDataFile::format(b);
}

FileCoverage FileCoverage::everything()
{
    FileCoverage all;
    all.pagerName = all.remoteDeleteText = all.remoteDeleteMode = all.buzzer = all.battery = true;
    all.callers.set();
    all.kitchenCalls.set();
    all.keyedLines = 5 + CallerSlots + KitchenSlots;
    return all;
}

bool FileCoverage::complete() const
{
    return pagerName && remoteDeleteText && remoteDeleteMode && buzzer && battery && callers.all() &&
           kitchenCalls.all();
}

std::string FileCoverage::missing() const
{
    std::string text;
    auto add = [&](bool present, const std::string& what) {
        if (present)
            return;
        if (!text.empty())
            text += ", ";
        text += what;
    };
    add(pagerName, "the pager name (Pagername)");
    add(remoteDeleteText, "the remote-delete text (Fernloeschung)");
    add(remoteDeleteMode, "the remote-delete switch (FModus)");
    add(buzzer, "the buzzer switch (Summer)");
    add(battery, "the battery switch (Batterie)");
    add(callers.all(), "caller slots " + unsetRanges(callers) + " (Eintrag)");
    add(kitchenCalls.all(), "kitchen calls " + unsetRanges(kitchenCalls) + " (Sonder)");
    return text;
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

void PagerDataFile::applyLine(std::string_view line, bool hasLineFeed, PagerConfiguration& config,
                              FileCoverage* coverage)
{
    FileCoverage unused;
    FileCoverage& seen = coverage ? *coverage : unused;
    // A zero byte ends a line's text as it would in a C string buffer; what
    // follows it is not read, the line feed included.
    const auto zero = line.find('\0');
    if (zero != std::string_view::npos) {
        line = line.substr(0, zero);
        hasLineFeed = false;
    }
    std::string withLineFeed(line);
    if (hasLineFeed)
        withLineFeed += '\n';
    line = withLineFeed;
    if (line.size() < MinLineLength || line.size() > MaxLineLength)
        return;

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
        return;
    // The value starts after the line's first colon: "Pagername:Pager:A" is
    // the name "Pager:A".
    const std::size_t p = line.find(':') + 1;

    if (key == PagerNameKey || key == RemoteDeleteTextKey) {
        // Only a line feed proves the text complete.
        if (!hasLineFeed)
            return;
        const bool isName = key == PagerNameKey;
        const std::string_view value = line.substr(p, line.size() - 1 - p);
        (isName ? config.pagerName : config.remoteDeleteText) =
            std::string(value.substr(0, isName ? PagerNameMax : RemoteDeleteTextMax));
        (isName ? seen.pagerName : seen.remoteDeleteText) = true;
    } else if (key == RemoteDeleteModeKey) {
        config.remoteDelete = (numberAt(line, p) & OnBit) != 0;
        seen.remoteDeleteMode = true;
    } else if (key == BuzzerKey) {
        config.buzzer = (numberAt(line, p) & BuzzerBit) != 0;
        seen.buzzer = true;
    } else if (key == BatteryKey) {
        config.battery = (numberAt(line, p) & OnBit) != 0;
        seen.battery = true;
    } else if (key == CallerKey) {
        applyCallerLine(line, p, config.image, seen);
    } else if (key == KitchenKey) {
        applyKitchenLine(line, p, config.image, seen);
    }
}

void PagerDataFile::LineReader::feed(std::string_view bytes)
{
    while (!bytes.empty()) {
        const auto lf = bytes.find('\n');
        const std::string_view piece = bytes.substr(0, lf);
        // Beyond what a line may hold nothing more is kept: the line is
        // skipped anyway, and its length is all that counts.
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
    if (length_ > 0)
        endLine(false);
}

void PagerDataFile::LineReader::endLine(bool hasLineFeed)
{
    // A CR before the line feed is the other half of the line end, as it is
    // at the end of the file.
    std::size_t length = length_;
    if (!line_.empty() && line_.size() == length && line_.back() == '\r') {
        line_.pop_back();
        --length;
    }
    if (length + (hasLineFeed ? 1 : 0) <= MaxLineLength)
        applyLine(line_, hasLineFeed, config_, coverage_);
    line_.clear();
    length_ = 0;
}

void PagerDataFile::parse(std::string_view bytes, PagerConfiguration& config, FileCoverage* coverage)
{
    LineReader reader(config, coverage);
    reader.feed(bytes);
    reader.finish();
}

bool PagerDataFile::load(const std::string& path, PagerConfiguration& config, std::string& error,
                         LoadReport* report)
{
    LoadReport unused;
    LoadReport& found = report ? *report : unused;
    found = LoadReport{};

    InputFile file;
    if (!file.open(path, MaxFileBytes)) {
        error = file.error();
        return false;
    }
    // The whole file, so its encoding can be judged before a line is read.
    std::string bytes;
    std::array<char, 4096> buffer;
    for (;;) {
        const auto got = file.read(buffer.data(), buffer.size());
        if (!got) {
            error = file.error();
            return false;
        }
        if (*got == 0)
            break;
        bytes.append(buffer.data(), *got);
        if (bytes.size() > MaxFileBytes) {
            error = tooLargeReason(MaxFileBytes);
            return false;
        }
    }

    // An editor may have saved the file as UTF-8, perhaps behind a byte order
    // mark; the tool itself writes Windows-1252.
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
    parse(text, result, &found.coverage);
    if (!found.coverage.holdsConfiguration()) {
        found.notConfiguration = true;
        error.clear();
        return false;
    }
    config = result;
    return true;
}

bool PagerDataFile::save(const std::string& path, const PagerConfiguration& config, std::string& error,
                         const SaveOptions& options)
{
    ReplacingFile file(path, options.naming);
    if (!file.create()) {
        error = file.error();
        return false;
    }
    FilteredSink sink(file, options.filter);
    if (!write(config, sink, options.only)) {
        error = file.error().empty() ? std::string(IncompleteWrite) : file.error();
        file.discard();
        return false;
    }
    if (!file.commit()) {
        error = file.error();
        return false;
    }
    return true;
}

}  // namespace harvelin
