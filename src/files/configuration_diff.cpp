#include "files/configuration_diff.h"

#include <cstdio>

#include "model/configuration_rule.h"
#include "model/conversions.h"
#include "model/win1252.h"

namespace harvelin {

namespace {

std::string number(unsigned value) { return std::to_string(value); }

std::string fiveBytes(const CallerEntry& slot)
{
    char text[32];
    std::snprintf(text, sizeof text, "%u %u %u %u %u", unsigned{slot.buttonId[0]}, unsigned{slot.buttonId[1]},
                  unsigned{slot.buttonId[2]}, unsigned{slot.buttonId[3]}, unsigned{slot.idSuffix});
    return text;
}

const char* onOff(bool on) { return on ? "ein" : "aus"; }

class Comparison {
public:
    void field(const std::string& place, const std::string& name, const std::string& first,
               const std::string& second)
    {
        if (first != second)
            found.push_back({place, name, first, second});
    }

    std::vector<ConfigurationDifference> found;
};

}  // namespace

std::string identityText(const CallerEntry& slot)
{
    const std::string padded = idColumnText(slot.buttonIdValue(), slot.idSuffix);
    return padded.substr(padded.find_first_not_of(' '));
}

std::string ConfigurationDifference::line(std::string_view firstSide, std::string_view secondSide) const
{
    const auto quoted = [](const std::string& value) { return '"' + shownInMessage(value, false) + '"'; };
    return place + ' ' + field + ": " + std::string(firstSide) + ' ' + quoted(first) + ", " + std::string(secondSide) +
           ' ' + quoted(second);
}

std::vector<ConfigurationDifference> compareConfigurations(const PagerConfiguration& first,
                                                           const PagerConfiguration& second)
{
    Comparison c;
    for (std::size_t i = 0; i < CallerSlots; ++i) {
        const CallerEntry& a = first.image.callers[i];
        const CallerEntry& b = second.image.callers[i];
        const std::string place = "Platz " + number(static_cast<unsigned>(i + 1));
        c.field(place, "Meldetext", a.text.str(), b.text.str());
        // Two different byte layouts can show the same identity; then the
        // bytes themselves are named.
        if (identityText(a) != identityText(b))
            c.field(place, "Rufknopf-ID", identityText(a), identityText(b));
        else
            c.field(place, "Rufknopf-Bytes", fiveBytes(a), fiveBytes(b));
    }
    for (std::size_t k = 0; k < KitchenSlots; ++k) {
        const KitchenCallEntry& a = first.image.kitchenCalls[k];
        const KitchenCallEntry& b = second.image.kitchenCalls[k];
        const std::string place = win1252("Küchenruf ") + number(static_cast<unsigned>(k + 1));
        c.field(place, "Meldetext", a.text.str(), b.text.str());
        c.field(place, "Taste", number(a.key), number(b.key));
        c.field(place, "Station", number(a.station), number(b.station));
    }
    const std::string settings = "Einstellungen";
    c.field(settings, "Pager-Name", first.pagerName, second.pagerName);
    c.field(settings, win1252("Fernlöschtext"), first.remoteDeleteText, second.remoteDeleteText);
    c.field(settings, "Batteriespannung", onOff(first.battery), onOff(second.battery));
    c.field(settings, "Summer", onOff(first.buzzer), onOff(second.buzzer));
    c.field(settings, win1252("Fernlöschung"), onOff(first.remoteDelete), onOff(second.remoteDelete));
    return c.found;
}

std::vector<ConfigurationDifference> compareConfigurations(const PagerConfiguration& first,
                                                           const PagerConfiguration& second,
                                                           const FileCoverage& compared)
{
    // What is not compared holds the first's value on both sides.
    PagerConfiguration held = second;
    for (std::size_t i = 0; i < CallerSlots; ++i)
        if (!compared.callers.test(i))
            held.image.callers[i] = first.image.callers[i];
    for (std::size_t k = 0; k < KitchenSlots; ++k)
        if (!compared.kitchenCalls.test(k))
            held.image.kitchenCalls[k] = first.image.kitchenCalls[k];
    if (!compared.pagerName)
        held.pagerName = first.pagerName;
    if (!compared.remoteDeleteText)
        held.remoteDeleteText = first.remoteDeleteText;
    if (!compared.remoteDeleteMode)
        held.remoteDelete = first.remoteDelete;
    if (!compared.buzzer)
        held.buzzer = first.buzzer;
    if (!compared.battery)
        held.battery = first.battery;
    return compareConfigurations(first, held);
}

}  // namespace harvelin
