#include "files/configuration_sheet.h"

#include <cstdio>
#include <ctime>
#include <string>
#include <string_view>
#include <vector>

#include "files/configuration_diff.h"
#include "files/texts.h"
#include "model/build_info.h"
#include "model/configuration.h"
#include "model/win1252.h"

// This file's literals are UTF-8, like the page; the configuration's texts
// are Windows-1252 and converted where they are put on the page.
namespace harvelin {

namespace {

// One A4 page even with every slot filled: the caller slots and the kitchen
// calls each in two columns side by side, in 10 pt type, black on white
// with grey rules, so a black-and-white printer loses nothing.
constexpr std::string_view Style = R"(
@page { size: A4; margin: 12mm 14mm; }
* { box-sizing: border-box; }
html { color: #000; background: #fff; }
body { margin: 0 auto; max-width: 182mm; font: 10pt/1.3 "Liberation Sans", Arial, Helvetica, sans-serif; }
h1 { font-size: 15pt; margin: 0 0 1mm; }
h2 { font-size: 11pt; margin: 4mm 0 1mm; border-bottom: 1.5pt solid #000; }
.text { white-space: pre; font-family: "Liberation Mono", "Courier New", monospace; }
.settings { border-collapse: collapse; margin-top: 2mm; }
.settings th { text-align: left; font-weight: normal; padding: 0.5mm 4mm 0.5mm 0; }
.settings td { font-weight: bold; padding: 0.5mm 0; }
.columns { display: flex; gap: 6mm; align-items: flex-start; }
.columns > * { flex: 1 1 0; }
table.slots { border-collapse: collapse; }
.slots th, .slots td { border: 0.5pt solid #777; padding: 0.6mm 1.5mm; text-align: left; }
.slots thead th { background: #e6e6e6; font-weight: bold; }
.slots td.number, .slots th.number { text-align: right; }
.slots td.identity { font-family: "Liberation Mono", "Courier New", monospace; text-align: right; }
.slots tbody tr:nth-child(even) td { background: #f4f4f4; }
.left-out { margin: 1mm 0 0; font-style: italic; }
footer { margin-top: 5mm; padding-top: 1mm; border-top: 0.5pt solid #000; font-size: 8pt; }
@media print { tr { break-inside: avoid; } .slots thead th, .slots tbody tr td { print-color-adjust: exact; } }
)";

// Every text on the page, from the configuration or not, goes through here:
// a slot text "<b>" shows as those three characters.
std::string escaped(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (const char c : utf8) {
        switch (c) {
        case '&': out += "&amp;"; break;
        case '<': out += "&lt;"; break;
        case '>': out += "&gt;"; break;
        case '"': out += "&quot;"; break;
        case '\'': out += "&#39;"; break;
        default: out += c;
        }
    }
    return out;
}

// A text of the configuration (Windows-1252, checked by the rule: no control
// characters) as the page shows it, its blanks kept.
std::string shownText(std::string_view win1252Text)
{
    return "<span class=\"text\">" + escaped(win1252ToUtf8(win1252Text)) + "</span>";
}

// A text of the list in the language chosen, as the page shows it: the
// arguments are HTML already.
std::string sheetText(FilesText id, std::initializer_list<std::string_view> arguments = {})
{
    return withArguments(escaped(localizedUtf8(id)), arguments);
}

std::string onOff(bool on) { return sheetText(on ? FilesText::SwitchOn : FilesText::SwitchOff); }

// A caller slot is empty when it holds neither a text nor a call button:
// the form shows it as a blank row with the identity 00.
bool isEmpty(const CallerEntry& slot)
{
    return slot.text.str().empty() && slot.buttonIdValue() == 0 && slot.idSuffix == 0;
}

// A kitchen call is left out when it holds nothing (no text, key 0, station
// 0) or just what a fresh form puts there ("Station N" on key N, station 1):
// every configuration holds all sixteen, and the restaurant wants the keys it
// has set up, not the sixteen start values.
bool isEmpty(const KitchenCallEntry& slot, const KitchenCallEntry& start)
{
    const bool blank = slot.text.str().empty() && slot.key == 0 && slot.station == 0;
    const bool asStarted = slot.text.str() == start.text.str() && slot.key == start.key &&
                           slot.station == start.station;
    return blank || asStarted;
}

struct Row {
    std::size_t slot;  // from 0
    std::vector<std::string> cells;  // each a whole <td>
};

std::string cell(const std::string& html, const char* kind = nullptr)
{
    return std::string("<td") + (kind ? std::string(" class=\"") + kind + "\"" : "") + ">" + html + "</td>";
}

// The rows in two tables side by side, the first half on the left; a
// single row keeps the left half, beside nothing.
std::string twoColumns(const std::vector<Row>& rows, const std::string& head)
{
    const std::size_t left = (rows.size() + 1) / 2;
    std::string out = "<div class=\"columns\">\n";
    for (std::size_t from : {std::size_t{0}, left}) {
        const std::size_t to = from == 0 ? left : rows.size();
        if (from == to) {
            out += "<div></div>\n";
            continue;
        }
        out += "<table class=\"slots\">\n<thead><tr>" + head + "</tr></thead>\n<tbody>\n";
        for (std::size_t r = from; r < to; ++r) {
            out += "<tr><td class=\"number\">" + std::to_string(rows[r].slot + 1) + "</td>";
            for (const std::string& html : rows[r].cells)
                out += html;
            out += "</tr>\n";
        }
        out += "</tbody>\n</table>\n";
    }
    return out + "</div>\n";
}

// "12 leere Plätze nicht aufgeführt.", or nothing when every slot is shown.
std::string leftOutNote(std::size_t count, FilesText one, FilesText more)
{
    if (count == 0)
        return {};
    return "<p class=\"left-out\">" + sheetText(count == 1 ? one : more, {std::to_string(count)}) + "</p>\n";
}

std::string heading(FilesText id, const char* kind = nullptr)
{
    return std::string("<th") + (kind ? std::string(" class=\"") + kind + "\"" : "") + ">" + sheetText(id) + "</th>";
}

std::string settings(const PagerConfiguration& config)
{
    std::string out = "<table class=\"settings\">\n";
    const auto row = [&out](FilesText name, const std::string& value) {
        out += "<tr>" + heading(name) + "<td>" + value + "</td></tr>\n";
    };
    row(FilesText::SheetPagerName, shownText(config.pagerName));
    row(FilesText::SheetRemoteDeleteText, shownText(config.remoteDeleteText));
    row(FilesText::SheetBattery, onOff(config.battery));
    row(FilesText::SheetBuzzer, onOff(config.buzzer));
    row(FilesText::SheetRemoteDelete, onOff(config.remoteDelete));
    return out + "</table>\n";
}

std::string callers(const PagerConfiguration& config)
{
    std::vector<Row> rows;
    for (std::size_t i = 0; i < config.image.callers.size(); ++i) {
        const CallerEntry& slot = config.image.callers[i];
        if (!isEmpty(slot))
            rows.push_back({i, {cell(shownText(slot.text.str())), cell(escaped(identityText(slot)), "identity")}});
    }
    const std::size_t empty = config.image.callers.size() - rows.size();
    std::string out = "<h2>" + sheetText(FilesText::SheetCallers) + "</h2>\n";
    if (!rows.empty())
        out += twoColumns(rows, heading(FilesText::SheetSlot, "number") + heading(FilesText::SheetText) +
                                    heading(FilesText::SheetIdentity, "number"));
    return out + leftOutNote(empty, FilesText::OneEmptySlotLeftOut, FilesText::EmptySlotsLeftOut);
}

std::string kitchenCalls(const PagerConfiguration& config)
{
    const PagerConfiguration start = startConfiguration();
    std::vector<Row> rows;
    for (std::size_t k = 0; k < config.image.kitchenCalls.size(); ++k) {
        const KitchenCallEntry& slot = config.image.kitchenCalls[k];
        if (!isEmpty(slot, start.image.kitchenCalls[k]))
            rows.push_back({k, {cell(shownText(slot.text.str())), cell(std::to_string(slot.key), "number"),
                                cell(std::to_string(slot.station), "number")}});
    }
    const std::size_t empty = config.image.kitchenCalls.size() - rows.size();
    std::string out = "<h2>" + sheetText(FilesText::SheetKitchenCalls) + "</h2>\n";
    if (!rows.empty())
        out += twoColumns(rows, heading(FilesText::SheetSlot, "number") + heading(FilesText::SheetText) +
                                    heading(FilesText::SheetKey, "number") +
                                    heading(FilesText::SheetStation, "number"));
    return out + leftOutNote(empty, FilesText::OneKitchenCallLeftOut, FilesText::KitchenCallsLeftOut);
}

}  // namespace

std::string configurationSheet(const PagerConfiguration& config, const SheetSource& source)
{
    const std::string name = escaped(win1252ToUtf8(config.pagerName));
    std::string page = "<!DOCTYPE html>\n<html lang=\"" + std::string(chosenLanguage()) +
                       "\">\n<head>\n<meta charset=\"utf-8\">\n"
                       "<meta name=\"viewport\" content=\"width=device-width, initial-scale=1\">\n";
    page += "<title>" + sheetText(FilesText::SheetTitle, {name}) + "</title>\n<style>" + std::string(Style) +
            "</style>\n</head>\n<body>\n";
    page += "<h1>" + sheetText(FilesText::SheetHeading) + "</h1>\n";
    page += settings(config);
    page += callers(config);
    page += kitchenCalls(config);
    page += "<footer>" +
            sheetText(FilesText::SheetFoot, {escaped(source.fileName), escaped(source.date), escaped(source.version)}) +
            "</footer>\n";
    return page + "</body>\n</html>\n";
}

std::string sheetTime(std::time_t when, bool utc)
{
    std::tm t{};
#ifdef _WIN32
    if (utc)
        gmtime_s(&t, &when);
    else
        localtime_s(&t, &when);
#else
    if (utc)
        gmtime_r(&when, &t);
    else
        localtime_r(&when, &t);
#endif
    char text[64];  // room for any year the compiler can think of
    std::snprintf(text, sizeof text, "%02d.%02d.%04d %02d:%02d", t.tm_mday, t.tm_mon + 1, t.tm_year + 1900, t.tm_hour,
                  t.tm_min);
    return text;
}

SheetSource sheetSource(const std::string& path, std::time_t when, bool utc)
{
    const std::string name = path.empty() ? std::string(localizedUtf8(FilesText::NotSaved))
                                          : path.substr(path.find_last_of("/\\") + 1);
    return {name, sheetTime(when, utc), versionText()};
}

}  // namespace harvelin
