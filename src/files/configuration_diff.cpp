#include "files/configuration_diff.h"

#include <cstdio>

#include "files/texts.h"
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

// A text of the list as scripts get it, whatever the language: its German.
std::string neutral(FilesText id, std::initializer_list<std::string_view> arguments = {})
{
    return withArguments(win1252(textTable(id).entries()[static_cast<std::size_t>(id)].german), arguments);
}

std::string shown(FilesText id, std::initializer_list<std::string_view> arguments = {})
{
    return localized(id, arguments);
}

FilesText onOff(bool on) { return on ? FilesText::SwitchOn : FilesText::SwitchOff; }

// A side's name in the language chosen; a name of no side stays as it is.
std::string shownSide(std::string_view side)
{
    for (const auto id : {FilesText::FormSide, FilesText::PagerSide, FilesText::FileSide, FilesText::FirstFileSide,
                          FilesText::SecondFileSide})
        if (side == neutral(id))
            return shown(id);
    return std::string(side);
}

// Where a difference is: "Platz 7" and, for people, "Slot 7".
struct Place {
    std::string neutral;
    std::string shown;
};

Place placeOf(FilesText id, unsigned number = 0)
{
    const std::string n = std::to_string(number);
    return {neutral(id, {n}), shown(id, {n})};
}

class Comparison {
public:
    void field(const Place& place, FilesText name, const std::string& first, const std::string& second)
    {
        if (first != second)
            found.push_back({place.neutral, neutral(name), first, second, place.shown, shown(name), first, second});
    }
    void onOffField(const Place& place, FilesText name, bool first, bool second)
    {
        if (first != second)
            found.push_back({place.neutral, neutral(name), neutral(onOff(first)), neutral(onOff(second)), place.shown,
                             shown(name), shown(onOff(first)), shown(onOff(second))});
    }

    std::vector<ConfigurationDifference> found;
};

}  // namespace

std::string identityText(const CallerEntry& slot)
{
    const std::string padded = idColumnText(slot.buttonIdValue(), slot.idSuffix);
    return padded.substr(padded.find_first_not_of(' '));
}

namespace {

// A value as a message quotes it (the line puts the quotes around it).
std::string shownValue(const std::string& value) { return shownInMessage(value, false); }

// Whichever of the two is given.
const std::string& either(const std::string& shown, const std::string& neutral)
{
    return shown.empty() ? neutral : shown;
}

}  // namespace

std::string ConfigurationDifference::line(std::string_view firstSide, std::string_view secondSide) const
{
    return localized(FilesText::DifferenceLine,
                     {either(shownPlace, place), either(shownField, field), shownSide(firstSide),
                      shownValue(either(shownFirst, first)), shownSide(secondSide), shownValue(either(shownSecond, second))});
}

std::string ConfigurationDifference::neutralLine(std::string_view firstSide, std::string_view secondSide) const
{
    return neutral(FilesText::DifferenceLine,
                   {place, field, firstSide, shownValue(first), secondSide, shownValue(second)});
}

std::vector<ConfigurationDifference> compareConfigurations(const PagerConfiguration& first,
                                                           const PagerConfiguration& second)
{
    Comparison c;
    for (std::size_t i = 0; i < CallerSlots; ++i) {
        const CallerEntry& a = first.image.callers[i];
        const CallerEntry& b = second.image.callers[i];
        const Place place = placeOf(FilesText::SlotPlace, static_cast<unsigned>(i + 1));
        c.field(place, FilesText::TextField, a.text.str(), b.text.str());
        // Two different byte layouts can show the same identity; then the
        // bytes themselves are named.
        if (identityText(a) != identityText(b))
            c.field(place, FilesText::IdentityField, identityText(a), identityText(b));
        else
            c.field(place, FilesText::IdentityBytesField, fiveBytes(a), fiveBytes(b));
    }
    for (std::size_t k = 0; k < KitchenSlots; ++k) {
        const KitchenCallEntry& a = first.image.kitchenCalls[k];
        const KitchenCallEntry& b = second.image.kitchenCalls[k];
        const Place place = placeOf(FilesText::KitchenCallPlace, static_cast<unsigned>(k + 1));
        c.field(place, FilesText::TextField, a.text.str(), b.text.str());
        c.field(place, FilesText::KeyField, number(a.key), number(b.key));
        c.field(place, FilesText::StationField, number(a.station), number(b.station));
    }
    const Place settings = placeOf(FilesText::SettingsPlace);
    c.field(settings, FilesText::PagerNameField, first.pagerName, second.pagerName);
    c.field(settings, FilesText::RemoteDeleteTextField, first.remoteDeleteText, second.remoteDeleteText);
    c.onOffField(settings, FilesText::BatteryField, first.battery, second.battery);
    c.onOffField(settings, FilesText::BuzzerField, first.buzzer, second.buzzer);
    c.onOffField(settings, FilesText::RemoteDeleteField, first.remoteDelete, second.remoteDelete);
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
