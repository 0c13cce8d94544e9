#include "files/configuration_csv.h"

#include <algorithm>
#include <array>
#include <map>
#include <optional>

#include "files/configuration_diff.h"
#include "files/texts.h"
#include "model/configuration_rule.h"
#include "model/win1252.h"

namespace harvelin::csv {

namespace {

constexpr std::array<std::string_view, 11> Columns = {"kind", "slot",   "text", "identity", "b0",     "b1",
                                                      "b2",   "b3",     "suffix", "key",    "station"};
enum Column : std::size_t { Kind, Slot, Text, Identity, B0, B1, B2, B3, Suffix, Key, Station };

constexpr std::string_view CallerKind = TableNames.callers;
constexpr std::string_view KitchenKind = TableNames.kitchenCalls;
constexpr std::string_view SettingKind = "setting";
constexpr std::string_view On = "on";
constexpr std::string_view Off = "off";

// What a spreadsheet takes for the start of a formula. A tab and a carriage
// return count too: some spreadsheets skip them and read the rest.
constexpr std::string_view FormulaStarts = "=+-@\t\r";
constexpr char Guard = '\'';

// A cell as a message quotes it, in quotes.
std::string quoted(std::string_view utf8) { return "\"" + shownInMessage(utf8, true) + "\""; }

// The rule's words for a problem (UTF-8, like every message about a table).
std::string told(const harvelin::Problem& problem) { return win1252ToUtf8(describe(problem)); }

// A cell's bytes as the rule sees them: Windows-1252 where the cell has
// such characters only, else its characters beyond Windows-1252 as "?", so
// that a message can still quote it.
std::string asWin1252(std::string_view utf8)
{
    if (auto bytes = utf8ToWin1252(utf8))
        return *bytes;
    bool replaced = false;
    return isUtf8(utf8) ? utf8ToWin1252Replacing(utf8, replaced) : std::string(utf8);
}

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
    void problem(Column c, const harvelin::Problem& p) { problem(c, told(p)); }

    // A byte 0..255 for `field`; an empty cell is 0.
    std::optional<std::uint8_t> byte(Column c, Field field)
    {
        const std::string& text = cell(c);
        if (text.empty())
            return 0;
        std::uint8_t value = 0;
        if (const auto p = checkByte(field, asWin1252(text), value)) {
            problem(c, *p);
            return std::nullopt;
        }
        return value;
    }

    // A slot number 1..slots, in any spelling ("7", "07").
    std::optional<unsigned> slot(Field field, unsigned slots)
    {
        unsigned value = 0;
        if (const auto p = checkNumber(field, asWin1252(cell(Slot)), 1, slots, value)) {
            problem(Slot, *p);
            return std::nullopt;
        }
        return value;
    }

    // A text for `field`, in Windows-1252, as the rule allows it.
    std::optional<std::string> text(Column c, Field field)
    {
        const std::optional<std::string> bytes = utf8ToWin1252(cell(c));
        if (!bytes) {
            problem(c, localizedUtf8(FilesText::NotShowableCell, {quoted(cell(c))}));
            return std::nullopt;
        }
        if (const auto p = checkText(field, *bytes)) {
            problem(c, *p);
            return std::nullopt;
        }
        return bytes;
    }

    std::optional<bool> onOff(Column c)
    {
        if (cell(c) == On || cell(c) == Off)
            return cell(c) == On;
        problem(c, localizedUtf8(FilesText::NeitherOnNorOff, {quoted(cell(c))}));
        return std::nullopt;
    }

    // A value where the row's kind has none would be lost without a word.
    bool unused(Column first, Column last, std::string_view kind)
    {
        for (std::size_t c = first; c <= last; ++c) {
            if (!cell(static_cast<Column>(c)).empty()) {
                problem(static_cast<Column>(c), localizedUtf8(FilesText::CellMustBeEmpty, {kind, Columns[c]}));
                return false;
            }
        }
        return true;
    }

private:
    const Row& row_;
    std::vector<Problem>& problems_;
};

void readCaller(Reader& r, CallerEntry& slot)
{
    const auto text = r.text(Text, Field::CallerText);
    std::array<std::optional<std::uint8_t>, 5> bytes;
    for (std::size_t i = 0; i < bytes.size(); ++i)
        bytes[i] = r.byte(static_cast<Column>(B0 + i), Field::IdentityByte);
    if (!text || !std::all_of(bytes.begin(), bytes.end(), [](const auto& b) { return b.has_value(); }))
        return;
    CallerEntry read;
    read.text.assign(*text);
    for (std::size_t i = 0; i < 4; ++i)
        read.buttonId[i] = *bytes[i];
    read.idSuffix = *bytes[4];
    if (!r.cell(Identity).empty() && r.cell(Identity) != identityText(read)) {
        r.problem(Identity, localizedUtf8(FilesText::IdentityMismatch, {quoted(r.cell(Identity)), identityText(read)}));
        return;
    }
    slot = read;
}

void readKitchenCall(Reader& r, KitchenCallEntry& slot)
{
    const auto text = r.text(Text, Field::KitchenText);
    const auto key = r.byte(Key, Field::Key);
    const auto station = r.byte(Station, Field::Station);
    if (!text || !key || !station)
        return;
    slot.text.assign(*text);
    slot.key = *key;
    slot.station = *station;
}

struct Setting {
    std::string_view name;
    std::string PagerConfiguration::*text;
    Field field;
    bool PagerConfiguration::*flag;
    bool FileCoverage::*covered;  // the .pag line it stands for
};
constexpr Setting Settings[] = {
    {TableNames.pagerName, &PagerConfiguration::pagerName, Field::PagerName, nullptr, &FileCoverage::pagerName},
    {TableNames.remoteDeleteText, &PagerConfiguration::remoteDeleteText, Field::RemoteDeleteText, nullptr,
     &FileCoverage::remoteDeleteText},
    {TableNames.battery, nullptr, Field::Switch, &PagerConfiguration::battery, &FileCoverage::battery},
    {TableNames.buzzer, nullptr, Field::Switch, &PagerConfiguration::buzzer, &FileCoverage::buzzer},
    {TableNames.remoteDeleteMode, nullptr, Field::Switch, &PagerConfiguration::remoteDelete,
     &FileCoverage::remoteDeleteMode},
};

// The setting the row names; nullptr after a problem.
const Setting* settingOf(Reader& r)
{
    for (const Setting& s : Settings)
        if (r.cell(Slot) == s.name)
            return &s;
    std::vector<std::string_view> names;
    for (const Setting& s : Settings)
        names.push_back(s.name);
    r.problem(Slot, localizedUtf8(FilesText::NoSuchSetting, {quoted(r.cell(Slot)), didYouMean(r.cell(Slot), names)}));
    return nullptr;
}

void readSetting(Reader& r, const Setting& s, PagerConfiguration& config)
{
    if (s.text) {
        if (const auto text = r.text(Text, s.field))
            config.*s.text = *text;
    } else if (const auto on = r.onOff(Text)) {
        config.*s.flag = *on;
    }
}

// The header's separator: the first of Separators outside quotes; ","
// when it has none, so that a line of one cell is still named.
char separatorOf(std::string_view header)
{
    bool quoted = false;
    for (const char c : header) {
        if (c == '"')
            quoted = !quoted;
        else if (!quoted && isSeparator(c))
            return c;
    }
    return ',';
}

std::string headerText(char separator)
{
    std::string text;
    for (const std::string_view name : Columns)
        text += (text.empty() ? "" : std::string(1, separator)) + std::string(name);
    return text;
}

// The header is format()'s: the columns are found by their place, so one
// out of place would put every value after it into the wrong field.
void checkHeader(const Row& header, char separator, std::vector<Problem>& problems)
{
    const std::vector<std::string>& names = header.cells;
    for (std::size_t c = 0; c < names.size() && c < Columns.size(); ++c) {
        if (names[c] == Columns[c])
            continue;
        const bool known = std::find(Columns.begin(), Columns.end(), names[c]) != Columns.end();
        problems.push_back({header.line, c + 1,
                            known ? localizedUtf8(FilesText::ColumnOutOfPlace,
                                             {names[c], Columns[c], headerText(separator)})
                                  : localizedUtf8(FilesText::NoSuchColumn,
                                             {quoted(names[c]), didYouMean(names[c], Columns)})});
        return;
    }
    if (names.size() != Columns.size())
        problems.push_back({header.line, std::min(names.size(), Columns.size()) + 1,
                            localizedUtf8(FilesText::HeaderColumns, {std::to_string(names.size()),
                                                                std::to_string(Columns.size()),
                                                                headerText(separator)})});
}

std::size_t editDistance(std::string_view a, std::string_view b)
{
    std::vector<std::size_t> row(b.size() + 1);
    for (std::size_t j = 0; j <= b.size(); ++j)
        row[j] = j;
    for (std::size_t i = 1; i <= a.size(); ++i) {
        std::size_t diagonal = row[0];
        row[0] = i;
        for (std::size_t j = 1; j <= b.size(); ++j) {
            const std::size_t above = row[j];
            row[j] = std::min({row[j] + 1, row[j - 1] + 1, diagonal + (a[i - 1] == b[j - 1] ? 0 : 1)});
            diagonal = above;
        }
    }
    return row[b.size()];
}

std::string lowered(std::string_view text)
{
    std::string out(text);
    for (char& c : out)
        if (c >= 'A' && c <= 'Z')
            c = static_cast<char>(c - 'A' + 'a');
    return out;
}

}  // namespace

std::string didYouMean(std::string_view word, std::span<const std::string_view> known)
{
    // Names are short; anything much longer is no typing error of one.
    constexpr std::size_t MaxEdits = 2;
    std::string_view best;
    std::size_t bestDistance = MaxEdits + 1;
    bool tie = false;
    const std::string w = lowered(word);
    for (const std::string_view name : known) {
        if (name.size() + MaxEdits < w.size() || w.size() + MaxEdits < name.size())
            continue;
        // A short name is within one edit of too many others to guess more.
        const std::size_t limit = name.size() <= 3 ? 1 : MaxEdits;
        const std::size_t d = editDistance(w, lowered(name));
        if (d > limit || d > bestDistance)
            continue;
        tie = d == bestDistance;
        best = name;
        bestDistance = d;
    }
    if (best.empty() || tie)
        return {};
    return localizedUtf8(FilesText::DidYouMean, {best});
}

bool looksLikeFormula(std::string_view cell)
{
    const std::size_t first = cell.find_first_not_of(Guard);
    return first != std::string_view::npos && FormulaStarts.find(cell[first]) != std::string_view::npos;
}

std::string field(std::string_view utf8, char separator)
{
    const std::string guarded = looksLikeFormula(utf8) ? Guard + std::string(utf8) : std::string(utf8);
    const bool quote = guarded.find_first_of(std::string("\"\r\n") + separator) != std::string::npos ||
                       (!guarded.empty() && (guarded.front() == ' ' || guarded.back() == ' '));
    if (!quote)
        return guarded;
    std::string out = "\"";
    for (const char c : guarded) {
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
    for (std::size_t i = 0; i < CallerSlots; ++i) {
        const CallerEntry& slot = config.image.callers[i];
        cells = {std::string(CallerKind), std::to_string(i + 1), win1252ToUtf8(slot.text.str()), identityText(slot)};
        for (std::size_t b = 0; b < 4; ++b)
            cells[B0 + b] = std::to_string(slot.buttonId[b]);
        cells[Suffix] = std::to_string(slot.idSuffix);
        table += row(cells, separator);
    }
    for (std::size_t k = 0; k < KitchenSlots; ++k) {
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

std::vector<Problem> parse(std::string_view table, PagerConfiguration& config, FileCoverage* coverage)
{
    FileCoverage unused;
    FileCoverage& covered = coverage ? *coverage : unused;
    // A byte order mark, as some spreadsheets write it, is no part of the header.
    if (table.starts_with("\xEF\xBB\xBF"))
        table.remove_prefix(3);
    const char separator = separatorOf(table.substr(0, table.find_first_of("\r\n")));
    std::vector<Row> rows = split(table, separator);
    std::vector<Problem> problems;
    const std::string_view first[] = {Columns[Kind]};
    if (rows.empty() || (rows.front().cells.front() != Columns[Kind] &&
                         didYouMean(rows.front().cells.front(), first).empty())) {
        problems.push_back({1, 1, localizedUtf8(FilesText::NoHeader, {headerText(separator)})});
        return problems;
    }
    checkHeader(rows.front(), separator, problems);
    if (!problems.empty())
        return problems;
    constexpr std::string_view Kinds[] = {CallerKind, KitchenKind, SettingKind};
    // Slots by their number, settings by their name: the line each is on.
    std::map<std::pair<std::string, std::string>, std::size_t> seen;
    for (std::size_t i = 1; i < rows.size(); ++i) {
        std::vector<std::string>& cells = rows[i].cells;
        // A spreadsheet may keep rows that were emptied; they hold nothing.
        if (std::all_of(cells.begin(), cells.end(), [](const std::string& c) { return c.empty(); }))
            continue;
        // The apostrophe that format() puts before a cell a spreadsheet
        // would take for a formula is no part of the value.
        for (std::string& cell : cells)
            if (cell.starts_with(Guard) && looksLikeFormula(cell))
                cell.erase(0, 1);
        Reader r(rows[i], problems);
        if (cells.size() != Columns.size()) {
            r.problem(static_cast<Column>(std::min(cells.size(), Columns.size())),
                      localizedUtf8(FilesText::RowColumns,
                               {std::to_string(cells.size()), std::to_string(Columns.size())}));
            continue;
        }
        const std::string& kind = r.cell(Kind);
        if (std::find(std::begin(Kinds), std::end(Kinds), kind) == std::end(Kinds)) {
            r.problem(Kind, localizedUtf8(FilesText::NoSuchKind, {quoted(kind), didYouMean(kind, Kinds)}));
            continue;
        }
        auto givenBefore = [&](const std::string& name, const std::string& what) {
            const auto [at, fresh] = seen.emplace(std::pair{kind, name}, rows[i].line);
            if (!fresh)
                r.problem(Slot, localizedUtf8(FilesText::AppearsAlready, {what, std::to_string(at->second)}));
            return !fresh;
        };
        if (kind == SettingKind) {
            const Setting* setting = settingOf(r);
            if (setting && !givenBefore(std::string(setting->name),
                                        localizedUtf8(FilesText::SettingTwice, {setting->name})) &&
                r.unused(Identity, Station, SettingKind)) {
                readSetting(r, *setting, config);
                covered.hold(setting->covered);
            }
            continue;
        }
        const bool caller = kind == CallerKind;
        const Field slotField = caller ? Field::CallerSlot : Field::KitchenSlot;
        const auto slot = r.slot(slotField, caller ? CallerSlots : KitchenSlots);
        if (!slot)
            continue;
        const std::string number = std::to_string(*slot);
        if (givenBefore(number, told(harvelin::Problem{slotField, Fault::GivenTwice, number, 0, 0, 0})))
            continue;
        if (caller && r.unused(Key, Station, CallerKind)) {
            readCaller(r, config.image.callers[*slot - 1]);
            covered.hold(&FileCoverage::callers, *slot - 1);
        } else if (!caller && r.unused(Identity, Suffix, KitchenKind)) {
            readKitchenCall(r, config.image.kitchenCalls[*slot - 1]);
            covered.hold(&FileCoverage::kitchenCalls, *slot - 1);
        }
    }
    return problems;
}

}  // namespace harvelin::csv
