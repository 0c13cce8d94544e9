#include "cli/configuration_report.h"

#include <algorithm>
#include <cstdio>

#include "cli/texts.h"
#include "model/configuration_rule.h"
#include "model/conversions.h"
#include "model/win1252.h"

namespace harvelin {

namespace {

// Texts are quoted so that leading and trailing blanks show, as messages
// quote them (a control character escaped, a long text cut), and padded in
// Windows-1252, where every character is one byte, before they become UTF-8.
std::string quoted(const std::string& text, std::size_t width = 0)
{
    std::string q = "\"" + shownInMessage(text, false) + "\"";
    if (q.size() < width)
        q.append(width - q.size(), ' ');
    return win1252ToUtf8(q);
}

std::string onOff(bool on) { return cli::said(on ? CliText::SwitchedOn : CliText::SwitchedOff); }

constexpr CliText SettingLabels[] = {CliText::PagerNameLabel, CliText::RemoteDeleteTextLabel, CliText::BatteryLabel,
                                     CliText::BuzzerLabel, CliText::RemoteDeleteLabel};

// A label of the settings and the blanks that line the values up, counted in
// characters (Windows-1252 has one byte for each): at least two after the
// longest label.
std::string label(CliText text)
{
    std::size_t valueColumn = 19;
    for (const CliText other : SettingLabels)
        valueColumn = std::max(valueColumn, localized(other).size() + 2);
    std::string padded(localized(text));
    padded.append(valueColumn - padded.size(), ' ');
    return win1252ToUtf8(padded);
}

constexpr std::size_t TextColumn = SlotTextMax + 3;  // quotes and one blank

std::string padded(std::string text, std::size_t width)
{
    if (text.size() < width)
        text.append(width - text.size(), ' ');
    return text;
}

std::string callerRow(std::size_t index, const CallerEntry& slot)
{
    char line[96];
    std::snprintf(line, sizeof line, "%11s  %03u %03u %03u %03u %03u\n",
                  idColumnText(slot.buttonIdValue(), slot.idSuffix).c_str(), unsigned{slot.buttonId[0]},
                  unsigned{slot.buttonId[1]}, unsigned{slot.buttonId[2]}, unsigned{slot.buttonId[3]},
                  unsigned{slot.idSuffix});
    char number[8];
    std::snprintf(number, sizeof number, "%2zu  ", index + 1);
    return number + quoted(slot.text.str(), TextColumn) + line;
}

std::string kitchenRow(std::size_t index, const KitchenCallEntry& slot)
{
    char line[32];
    std::snprintf(line, sizeof line, "%5u  %7u\n", unsigned{slot.key}, unsigned{slot.station});
    char number[8];
    std::snprintf(number, sizeof number, "%2zu  ", index + 1);
    return number + quoted(slot.text.str(), TextColumn) + line;
}

}  // namespace

// Labels as the form has them, in the language chosen.
std::string configurationText(const PagerConfiguration& config)
{
    using cli::said;
    std::string out;
    out += label(CliText::PagerNameLabel) + quoted(config.pagerName) + "\n";
    out += label(CliText::RemoteDeleteTextLabel) + quoted(config.remoteDeleteText) + "\n";
    out += label(CliText::BatteryLabel) + onOff(config.battery) + "\n";
    out += label(CliText::BuzzerLabel) + onOff(config.buzzer) + "\n";
    out += label(CliText::RemoteDeleteLabel) + onOff(config.remoteDelete) + "\n";
    const std::string number = padded(said(CliText::NumberColumn), 4);
    const std::string messageText =
        win1252ToUtf8(padded(std::string(localized(CliText::MessageTextColumn)), TextColumn));
    out += "\n" + said(CliText::CallerSlotsHeading) + "\n";
    out += number + messageText + said(CliText::CallerColumns) + "\n";
    for (std::size_t i = 0; i < config.image.callers.size(); ++i)
        out += callerRow(i, config.image.callers[i]);
    out += "\n" + said(CliText::KitchenCallsHeading) + "\n";
    out += number + messageText + said(CliText::KitchenColumns) + "\n";
    for (std::size_t k = 0; k < config.image.kitchenCalls.size(); ++k)
        out += kitchenRow(k, config.image.kitchenCalls[k]);
    return out;
}

}  // namespace harvelin
