#include "files/configuration_csv.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <map>
#include <optional>

#include "files/configuration_diff.h"
#include "model/win1252.h"

namespace harvelin::csv {

namespace {

constexpr std::array<std::string_view, 11> Columns = {"kind", "slot",   "text", "identity", "b0",     "b1",
                                                      "b2",   "b3",     "suffix", "key",    "station"};
enum Column : std::size_t { Kind, Slot, Text, Identity, B0, B1, B2, B3, Suffix, Key, Station };

constexpr std::string_view CallerKind = "caller";
constexpr std::string_view KitchenKind = "kitchen";
constexpr std::string_view SettingKind = "setting";
constexpr std::string_view On = "on";
constexpr std::string_view Off = "off";

std::string row(const std::array<std::string, Columns.size()>& cells, char separator)
{
    std::string line;
    for (std::size_t c = 0; c < cells.size(); ++c) {
        if (c > 0)
            line += separator;
        line += field(cells[c], separator);
    }
    return line + "\r\n";
}

// Splits a table into rows of fields; quoted fields may hold anything, even
// line breaks. Each row keeps the line it starts on.
struct Row {
    std::size_t line;
    std::vector<std::string> cells;
};

std::vector<Row> split(std::string_view table, char separator)
{
    std::vector<Row> rows;
    std::size_t line = 1;
    Row current{line, {std::string()}};
    bool quoted = false;
    bool any = false;
    for (std::size_t i = 0; i < table.size(); ++i) {
        const char c = table[i];
        if (quoted) {
            if (c == '"' && i + 1 < table.size() && table[i + 1] == '"') {
                current.cells.back() += '"';
                ++i;
            } else if (c == '"') {
                quoted = false;
            } else {
                if (c == '\n')
                    ++line;
                current.cells.back() += c;
            }
            continue;
        }
        if (c == '"') {
            quoted = true;
            any = true;
        } else if (c == separator) {
            current.cells.emplace_back();
            any = true;
        } else if (c == '\n' || c == '\r') {
            if (c == '\r' && i + 1 < table.size() && table[i + 1] == '\n')
                ++i;
            if (any)
                rows.push_back(std::move(current));
            current = Row{++line, {std::string()}};
            any = false;
        } else {
            current.cells.back() += c;
            any = true;
        }
    }
    if (any)
        rows.push_back(std::move(current));
    return rows;
}

class Reader {
public:
    Reader(const Row& row, std::vector<Problem>& problems) : row_(row), problems_(problems) {}

    const std::string& cell(Column c) const
    {
        static const std::string none;
        return c < row_.cells.size() ? row_.cells[c] : none;
    }

    void problem(Column c, std::string what) { problems_.push_back({row_.line, c + 1, std::move(what)}); }

    // A number 0..max; empty cells are 0.
    std::optional<unsigned> number(Column c, unsigned max)
    {
        const std::string& text = cell(c);
        if (text.empty())
            return 0;
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc() && end == text.data() + text.size() && value <= max)
            return value;
        problem(c, std::string(Columns[c]) + " \"" + text + "\" is not a number from 0 to " + std::to_string(max));
        return std::nullopt;
    }

    // A slot number 1..slots.
    std::optional<unsigned> slot(unsigned slots)
    {
        const std::string& text = cell(Slot);
        unsigned value = 0;
        const auto [end, ec] = std::from_chars(text.data(), text.data() + text.size(), value);
        if (ec == std::errc() && end == text.data() + text.size() && value >= 1 && value <= slots)
            return value;
        problem(Slot, "slot \"" + text + "\" is out of range 1.." + std::to_string(slots));
        return std::nullopt;
    }

    // A text of at most `max` characters, each with a Windows-1252 byte.
    std::optional<std::string> text(Column c, std::size_t max)
    {
        const std::optional<std::string> bytes = utf8ToWin1252(cell(c));
        if (!bytes) {
            problem(c, "\"" + cell(c) + "\" holds a character that the pager cannot show");
            return std::nullopt;
        }
        if (holdsControlCharacter(*bytes)) {
            problem(c, "\"" + cell(c) + "\" holds a line break or another control character");
            return std::nullopt;
        }
        if (bytes->size() > max) {
            problem(c, "\"" + cell(c) + "\" is longer than " + std::to_string(max) + " characters");
            return std::nullopt;
        }
        return bytes;
    }

    std::optional<bool> onOff(Column c)
    {
        if (cell(c) == On || cell(c) == Off)
            return cell(c) == On;
        problem(c, "\"" + cell(c) + "\" is neither on nor off");
        return std::nullopt;
    }

private:
    const Row& row_;
    std::vector<Problem>& problems_;
};

void readCaller(Reader& r, CallerEntry& slot)
{
    const auto text = r.text(Text, SlotText::MaxChars);
    std::array<std::optional<unsigned>, 5> bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = r.number(static_cast<Column>(B0 + i), 255);
    if (!text || !std::all_of(bytes.begin(), bytes.end(), [](const auto& b) { return b.has_value(); }))
        return;
    CallerEntry read;
    read.text.assign(*text);
    for (std::size_t i = 0; i < 4; ++i)
        read.buttonId[i] = static_cast<std::uint8_t>(*bytes[i]);
    read.idSuffix = static_cast<std::uint8_t>(*bytes[4]);
    if (!r.cell(Identity).empty() && r.cell(Identity) != identityText(read)) {
        r.problem(Identity, "identity \"" + r.cell(Identity) + "\" does not match the five bytes, which give \"" +
                                identityText(read) + "\"");
        return;
    }
    slot = read;
}

void readKitchenCall(Reader& r, KitchenCallEntry& slot)
{
    const auto text = r.text(Text, SlotText::MaxChars);
    const auto key = r.number(Key, 255);
    const auto station = r.number(Station, 255);
    if (!text || !key || !station)
        return;
    slot.text.assign(*text);
    slot.key = static_cast<std::uint8_t>(*key);
    slot.station = static_cast<std::uint8_t>(*station);
}

struct Setting {
    std::string_view name;
    std::string PagerConfiguration::*text;
    std::size_t maxChars;
    bool PagerConfiguration::*flag;
};
constexpr Setting Settings[] = {
    {"pagerName", &PagerConfiguration::pagerName, PagerDataFile::PagerNameMax, nullptr},
    {"remoteDeleteText", &PagerConfiguration::remoteDeleteText, PagerDataFile::RemoteDeleteTextMax, nullptr},
    {"battery", nullptr, 0, &PagerConfiguration::battery},
    {"buzzer", nullptr, 0, &PagerConfiguration::buzzer},
    {"remoteDelete", nullptr, 0, &PagerConfiguration::remoteDelete},
};

void readSetting(Reader& r, PagerConfiguration& config)
{
    for (const Setting& s : Settings) {
        if (r.cell(Slot) != s.name)
            continue;
        if (s.text) {
            if (const auto text = r.text(Text, s.maxChars))
                config.*s.text = *text;
        } else if (const auto on = r.onOff(Text)) {
            config.*s.flag = *on;
        }
        return;
    }
    r.problem(Slot, "no setting is called \"" + r.cell(Slot) + "\"");
}

}  // namespace

bool holdsControlCharacter(std::string_view text)
{
    return std::any_of(text.begin(), text.end(), [](char c) {
        const auto byte = static_cast<unsigned char>(c);
        return byte < 0x20 || byte == 0x7F;
    });
}

std::string field(std::string_view utf8, char separator)
{
    const bool quote = utf8.find_first_of(std::string("\"\r\n") + separator) != std::string_view::npos ||
                       (!utf8.empty() && (utf8.front() == ' ' || utf8.back() == ' '));
    if (!quote)
        return std::string(utf8);
    std::string out = "\"";
    for (const char c : utf8) {
        if (c == '"')
            out += '"';
        out += c;
    }
    return out + "\"";
}

std::string format(const PagerConfiguration& config, char separator)
{
    std::array<std::string, Columns.size()> cells;
    for (std::size_t c = 0; c < Columns.size(); ++c)
        cells[c] = Columns[c];
    std::string table = row(cells, separator);
    for (std::size_t i = 0; i < PagerImage::CallerSlots; ++i) {
        const CallerEntry& slot = config.image.callers[i];
        cells = {std::string(CallerKind), std::to_string(i + 1), win1252ToUtf8(slot.text.str()), identityText(slot)};
        for (std::size_t b = 0; b < 4; ++b)
            cells[B0 + b] = std::to_string(slot.buttonId[b]);
        cells[Suffix] = std::to_string(slot.idSuffix);
        table += row(cells, separator);
    }
    for (std::size_t k = 0; k < PagerImage::KitchenSlots; ++k) {
        const KitchenCallEntry& slot = config.image.kitchenCalls[k];
        cells = {std::string(KitchenKind), std::to_string(k + 1), win1252ToUtf8(slot.text.str())};
        cells[Key] = std::to_string(slot.key);
        cells[Station] = std::to_string(slot.station);
        table += row(cells, separator);
    }
    for (const Setting& s : Settings) {
        const std::string value = s.text ? win1252ToUtf8(config.*s.text) : std::string(config.*s.flag ? On : Off);
        cells = {std::string(SettingKind), std::string(s.name), value};
        table += row(cells, separator);
    }
    return table;
}

std::vector<Problem> parse(std::string_view table, PagerConfiguration& config)
{
    // A byte order mark, as some spreadsheets write it, is no part of the header.
    if (table.starts_with("\xEF\xBB\xBF"))
        table.remove_prefix(3);
    const std::string_view header = table.substr(0, table.find_first_of("\r\n"));
    const char separator = header.find(';') != std::string_view::npos ? ';' : ',';
    std::vector<Row> rows = split(table, separator);
    std::vector<Problem> problems;
    if (rows.empty() || rows.front().cells.empty() || rows.front().cells.front() != Columns[Kind]) {
        problems.push_back({1, 1, "the first line is not the header \"kind" + std::string(1, separator) + "slot" +
                                      std::string(1, separator) + "...\""});
        return problems;
    }
    std::map<std::pair<std::string, std::string>, std::size_t> seen;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        Reader r(rows[i], problems);
        const std::string& kind = r.cell(Kind);
        if (kind != CallerKind && kind != KitchenKind && kind != SettingKind) {
            r.problem(Kind, "\"" + kind + "\" is none of caller, kitchen, setting");
            continue;
        }
        const auto [at, fresh] = seen.emplace(std::pair{kind, r.cell(Slot)}, rows[i].line);
        if (!fresh) {
            r.problem(Slot, kind + " " + r.cell(Slot) + " appears already on line " + std::to_string(at->second));
            continue;
        }
        if (kind == SettingKind) {
            readSetting(r, config);
            continue;
        }
        const bool caller = kind == CallerKind;
        const unsigned slots = caller ? PagerImage::CallerSlots : PagerImage::KitchenSlots;
        const auto slot = r.slot(slots);
        if (!slot)
            continue;
        if (caller)
            readCaller(r, config.image.callers[*slot - 1]);
        else
            readKitchenCall(r, config.image.kitchenCalls[*slot - 1]);
    }
    return problems;
}

}  // namespace harvelin::csv
