#include "files/pager_data_file.h"

#include <array>
#include <cstdio>

#include "files/replacing_file.h"
#include "model/conversions.h"

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

// A line names the first of these keys it holds, wherever in the line and
// in this order: a caller text that contains "Pagername:" makes a name line.
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
    while (end < line.size() && line[end] != '\t' && end - start < SlotText::MaxChars)
        ++end;
    std::string_view copied = line.substr(start, end - start);
    const bool stoppedEarly = (end < line.size() && line[end] == '\t') || copied.size() == SlotText::MaxChars;
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

void applyCallerLine(std::string_view line, std::size_t p, PagerImage& image)
{
    const long s = slotNumberAt(line, p);
    if (s < 0 || s >= static_cast<long>(PagerImage::CallerSlots))
        return;
    CallerEntry& slot = image.callers[static_cast<std::size_t>(s)];
    std::size_t q = takeSlotText(line, p, slot.text);
    numberAfter(line, '\t', q, slot.buttonId[0]);
    for (std::size_t b = 1; b < slot.buttonId.size(); ++b)
        numberAfter(line, ' ', q, slot.buttonId[b]);
    // A line with only four numbers is a button without suffix.
    slot.idSuffix = 0;
    numberAfter(line, ' ', q, slot.idSuffix);
}

void applyKitchenLine(std::string_view line, std::size_t p, PagerImage& image)
{
    const long k = slotNumberAt(line, p);
    if (k < 0 || k >= static_cast<long>(PagerImage::KitchenSlots))
        return;
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
    FilteredSink(ByteSink& next, const PagerDataFile::LineFilter& filter) : next_(next), filter_(filter) {}
    bool write(std::string_view bytes) override { return filter_ ? filter_(next_, bytes) : next_.write(bytes); }

private:
    ByteSink& next_;
    const PagerDataFile::LineFilter& filter_;
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

}  // namespace

bool PagerDataFile::write(const PagerConfiguration& config, ByteSink& sink)
{
    if (!sink.write(settingLine(PagerNameKey, config.pagerName)))
        return false;
    if (!sink.write(settingLine(RemoteDeleteTextKey, config.remoteDeleteText)))
        return false;
    if (!sink.write(settingLine(config.remoteDelete ? RemoteDeleteOn : RemoteDeleteOff, "")))
        return false;
    if (!sink.write(settingLine(config.buzzer ? BuzzerOn : BuzzerOff, "")))
        return false;
    if (!sink.write(settingLine(config.battery ? BatteryOn : BatteryOff, "")))
        return false;
    for (unsigned i = 0; i < PagerImage::CallerSlots; ++i)
        if (!sink.write(callerLine(i, config.image.callers[i])))
            return false;
    for (unsigned i = 0; i < PagerImage::KitchenSlots; ++i)
        if (!sink.write(kitchenLine(i, config.image.kitchenCalls[i])))
            return false;
    return true;
}

std::string PagerDataFile::format(const PagerConfiguration& config)
{
    StringSink sink;
    write(config, sink);
    return sink.text;
}

void PagerDataFile::applyLine(std::string_view line, bool hasLineFeed, PagerConfiguration& config)
{
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

    std::string_view key;
    for (const std::string_view candidate : KeysInOrder) {
        if (line.find(candidate) != std::string_view::npos) {
            key = candidate;
            break;
        }
    }
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
    } else if (key == RemoteDeleteModeKey) {
        config.remoteDelete = (numberAt(line, p) & OnBit) != 0;
    } else if (key == BuzzerKey) {
        config.buzzer = (numberAt(line, p) & BuzzerBit) != 0;
    } else if (key == BatteryKey) {
        config.battery = (numberAt(line, p) & OnBit) != 0;
    } else if (key == CallerKey) {
        applyCallerLine(line, p, config.image);
    } else if (key == KitchenKey) {
        applyKitchenLine(line, p, config.image);
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
        applyLine(line_, hasLineFeed, config_);
    line_.clear();
    length_ = 0;
}

void PagerDataFile::parse(std::string_view bytes, PagerConfiguration& config)
{
    LineReader reader(config);
    reader.feed(bytes);
    reader.finish();
}

bool PagerDataFile::load(const std::string& path, PagerConfiguration& config, std::string& error)
{
    InputFile file;
    if (!file.open(path)) {
        error = file.error();
        return false;
    }
    // Read onto a copy, so a read that fails half-way changes nothing.
    PagerConfiguration result = config;
    LineReader reader(result);
    std::array<char, 4096> buffer;
    for (;;) {
        const auto got = file.read(buffer.data(), buffer.size());
        if (!got) {
            error = file.error();
            return false;
        }
        if (*got == 0)
            break;
        reader.feed(std::string_view(buffer.data(), *got));
    }
    reader.finish();
    config = result;
    return true;
}

bool PagerDataFile::save(const std::string& path, const PagerConfiguration& config, std::string& error,
                         const LineFilter& filter)
{
    ReplacingFile file(path);
    if (!file.create()) {
        error = file.error();
        return false;
    }
    FilteredSink sink(file, filter);
    if (!write(config, sink)) {
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
