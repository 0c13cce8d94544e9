#include "model/coverage.h"

#include "model/win1252.h"

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

// The keys of a saved configuration's lines, without their colons.
std::string FileCoverage::missing() const
{
    return missing({"Pagername", "Fernloeschung", "FModus", "Summer", "Batterie", "Eintrag", "Sonder"});
}

std::string FileCoverage::missing(const CoverageNames& names) const
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

std::string FileCoverage::missingGerman() const
{
    std::string text;
    auto add = [&](bool present, const std::string& what) {
        if (!present)
            text += (text.empty() ? "" : ", ") + what;
    };
    add(pagerName, "Pager-Name");
    add(remoteDeleteText, win1252("Fernlöschtext"));
    add(remoteDeleteMode, win1252("Fernlöschung"));
    add(buzzer, "Summer");
    add(battery, "Batteriespannung");
    add(callers.all(), "Tischsender " + unsetRanges(callers));
    add(kitchenCalls.all(), win1252("Küchenrufe ") + unsetRanges(kitchenCalls));
    return text;
}

}  // namespace harvelin
