#include "model/coverage.h"

#include "model/texts.h"

namespace harvelin {

namespace {

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

FileCoverage FileCoverage::everything()
{
    FileCoverage all;
    all.pagerName = all.remoteDeleteText = all.remoteDeleteMode = all.buzzer = all.battery = true;
    all.callers.set();
    all.kitchenCalls.set();
    all.keyedLines = 5 + CallerSlots + KitchenSlots;
    return all;
}

FileCoverage FileCoverage::heldByPager(unsigned callerSlots)
{
    FileCoverage held = everything();
    if (callerSlots >= CallerSlots)
        return held;
    held.remoteDeleteText = held.remoteDeleteMode = false;
    held.kitchenCalls.reset();
    for (unsigned i = callerSlots; i < CallerSlots; ++i)
        held.callers.reset(i);
    held.keyedLines = 3 + callerSlots;
    return held;
}

FileCoverage FileCoverage::within(const FileCoverage& other) const
{
    FileCoverage both;
    both.pagerName = pagerName && other.pagerName;
    both.remoteDeleteText = remoteDeleteText && other.remoteDeleteText;
    both.remoteDeleteMode = remoteDeleteMode && other.remoteDeleteMode;
    both.buzzer = buzzer && other.buzzer;
    both.battery = battery && other.battery;
    both.callers = callers & other.callers;
    both.kitchenCalls = kitchenCalls & other.kitchenCalls;
    both.keyedLines = static_cast<unsigned>(both.pagerName + both.remoteDeleteText + both.remoteDeleteMode +
                                            both.buzzer + both.battery + both.callers.count() +
                                            both.kitchenCalls.count());
    return both;
}

bool FileCoverage::complete() const
{
    return pagerName && remoteDeleteText && remoteDeleteMode && buzzer && battery && callers.all() &&
           kitchenCalls.all();
}

namespace {

// What a saved configuration calls each setting and each kind of slot: the
// keys of its lines, without their colons.
constexpr CoverageNames FileKeys{"Pagername", "Fernloeschung", "FModus", "Summer", "Batterie", "Eintrag", "Sonder"};

}  // namespace

std::string FileCoverage::missing() const
{
    // The form names its fields as they are; the command line's English
    // names the file's keys beside them.
    return listed(chosenLanguage() == "de" ? nullptr : &FileKeys);
}

std::string FileCoverage::missing(const CoverageNames& names) const { return listed(&names); }

std::string FileCoverage::listed(const CoverageNames* names) const
{
    std::string text;
    auto add = [&](bool present, const std::string& what, std::string_view key) {
        if (present)
            return;
        if (!text.empty())
            text += ", ";
        text += names ? localized(ModelText::LacksWithKey, {what, key}) : what;
    };
    const CoverageNames none{};
    const CoverageNames& keys = names ? *names : none;
    add(pagerName, std::string(localized(ModelText::LacksPagerName)), keys.pagerName);
    add(remoteDeleteText, std::string(localized(ModelText::LacksRemoteDeleteText)), keys.remoteDeleteText);
    add(remoteDeleteMode, std::string(localized(ModelText::LacksRemoteDeleteMode)), keys.remoteDeleteMode);
    add(buzzer, std::string(localized(ModelText::LacksBuzzer)), keys.buzzer);
    add(battery, std::string(localized(ModelText::LacksBattery)), keys.battery);
    add(callers.all(), localized(ModelText::LacksCallerSlots, {unsetRanges(callers)}), keys.callers);
    add(kitchenCalls.all(), localized(ModelText::LacksKitchenCalls, {unsetRanges(kitchenCalls)}), keys.kitchenCalls);
    return text;
}

std::string FileCoverage::neutralMissing(const CoverageNames& names) const
{
    std::string text;
    auto add = [&](bool present, const std::string& what) {
        if (present)
            return;
        if (!text.empty())
            text += ", ";
        text += what;
    };
    const auto called = [](std::string_view name) { return " (" + std::string(name) + ")"; };
    add(pagerName, "the pager name" + called(names.pagerName));
    add(remoteDeleteText, "the remote-delete text" + called(names.remoteDeleteText));
    add(remoteDeleteMode, "the remote-delete switch" + called(names.remoteDeleteMode));
    add(buzzer, "the buzzer switch" + called(names.buzzer));
    add(battery, "the battery switch" + called(names.battery));
    add(callers.all(), "caller slots " + unsetRanges(callers) + called(names.callers));
    add(kitchenCalls.all(), "kitchen calls " + unsetRanges(kitchenCalls) + called(names.kitchenCalls));
    return text;
}

std::string FileCoverage::neutralMissing() const { return neutralMissing(FileKeys); }

}  // namespace harvelin
