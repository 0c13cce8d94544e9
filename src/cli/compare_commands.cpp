#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "cli/technician.h"
#include "files/configuration_diff.h"
#include "model/configuration_rule.h"

namespace harvelin::cli {

namespace {

const std::string NothingCompared = "nothing was compared";

// A complete read-out of the pager that the search finds: Success, or the
// exit status after a message.
int readPager(CliEnvironment& env, Session& session)
{
    const bool found = session.search();
    if (session.stopped())
        return interrupted(env, session, NothingCompared);
    if (!found)
        return noPager(env, session);
    const ReadOutResult result = session.read();
    if (session.stopped())
        return interrupted(env, session, NothingCompared);
    if (!result.complete())
        return failed(env, "the pager could not be read completely; " + NothingCompared);
    return exitcode::Success;
}

// A pager below version 1.5 holds caller slots 1..16, its name, the battery
// display and the buzzer, and nothing else; only that much of it is compared
// with what was sent.
std::vector<ConfigurationDifference> compareWithPager(CliEnvironment& env, const PagerConfiguration& sent,
                                                      const ReadOutResult& readBack)
{
    PagerConfiguration held = readBack.read;
    const unsigned slots = readBack.callerSlots;
    if (slots == CallerSlots)
        return compareConfigurations(sent, held);
    std::copy(sent.image.callers.begin() + slots, sent.image.callers.end(), held.image.callers.begin() + slots);
    held.image.kitchenCalls = sent.image.kitchenCalls;
    held.remoteDelete = sent.remoteDelete;
    held.remoteDeleteText = sent.remoteDeleteText;
    complain(env) << "the pager has " << slots << " slots; slots " << slots + 1 << " to " << CallerSlots
                  << " and the kitchen calls were not compared\n";
    return compareConfigurations(sent, held);
}

// A difference as a message says it: the two values quoted with their
// control characters escaped and cut short where they are long, since they
// may come from a pager's replies.
std::string shownLine(ConfigurationDifference d)
{
    d.first = shownInMessage(d.first, false);
    d.second = shownInMessage(d.second, false);
    return win1252ToUtf8(d.line());
}

// The differences one a line; 1 when there are any.
int printDifferences(std::ostream& to, const std::vector<ConfigurationDifference>& differences)
{
    for (const ConfigurationDifference& d : differences)
        to << shownLine(d) << '\n';
    to << std::flush;
    return differences.empty() ? exitcode::Success : exitcode::DeviceFailed;
}

}  // namespace

std::optional<PagerConfiguration> fileConfiguration(CliEnvironment& env, const std::string& path)
{
    PagerConfiguration config = startConfiguration();
    if (!openFile(env, path, config))
        return std::nullopt;
    return config;
}

int exitStatusOf(WriteEnd end)
{
    switch (end) {
    case WriteEnd::Written: return exitcode::Success;
    case WriteEnd::Interrupted: return exitcode::Interrupted;
    case WriteEnd::Refused: return exitcode::BadInput;
    default: return exitcode::DeviceFailed;
    }
}

WriteOutcome writeHeldConfiguration(CliEnvironment& env, Session& session, bool verify, std::ostream& differencesTo)
{
    const WriteResult write = session.write();
    if (write.refused)
        return {WriteEnd::Refused, false};
    const bool acknowledged = write.succeeded;
    // A stop that came after the last step leaves a complete write.
    if (session.stopped() && (verify || !acknowledged)) {
        stopNow(session);
        return {WriteEnd::Interrupted, acknowledged};
    }
    if (!acknowledged)
        return {WriteEnd::NotAcknowledged, false};
    // A 16-slot pager that had to leave slots out is checked all the same:
    // what it did take may differ too.
    const WriteEnd written = write.leftSlotsOut ? WriteEnd::SlotsLeftOut : WriteEnd::Written;
    if (!verify)
        return {written, true};
    // What was just written is no backup worth keeping.
    const PagerConfiguration sent = session.configuration();
    const std::string folder = std::exchange(session.backupFolder, std::string());
    const ReadOutResult readBack = session.read();
    session.backupFolder = folder;
    if (session.stopped()) {
        stopNow(session);
        return {WriteEnd::Interrupted, true};
    }
    if (!readBack.complete())
        return {WriteEnd::ReadBackIncomplete, true};
    if (printDifferences(differencesTo, compareWithPager(env, sent, readBack)) != exitcode::Success)
        return {WriteEnd::Differs, true};
    return {written, true};
}

int verifyCommand(CliEnvironment& env, Session& session, const std::string& file)
{
    const std::optional<PagerConfiguration> expected = fileConfiguration(env, file);
    if (!expected)
        return exitcode::BadInput;
    if (const int status = readPager(env, session); status != exitcode::Success)
        return status;
    const int status = printDifferences(env.out, compareConfigurations(*expected, session.configuration()));
    if (status != exitcode::Success)
        complain(env) << "the pager does not hold what " << file << " holds\n";
    return status;
}

int diffCommand(CliEnvironment& env, Session& session, const std::string& first, const std::string& second,
                bool json)
{
    // Files first: a file that cannot be read should not wait for a read-out.
    std::optional<PagerConfiguration> a;
    std::optional<PagerConfiguration> b;
    if (first != PagerSource && !(a = fileConfiguration(env, first)))
        return exitcode::BadInput;
    if (second != PagerSource && !(b = fileConfiguration(env, second)))
        return exitcode::BadInput;
    for (std::optional<PagerConfiguration>* config : {&a, &b}) {
        if (*config)
            continue;
        if (const int status = readPager(env, session); status != exitcode::Success)
            return status;
        *config = session.configuration();
    }
    const std::vector<ConfigurationDifference> differences = compareConfigurations(*a, *b);
    if (!json)
        return printDifferences(env.out, differences);
    nlohmann::ordered_json j;
    j["equal"] = differences.empty();
    j["differences"] = nlohmann::ordered_json::array();
    for (const ConfigurationDifference& d : differences) {
        j["differences"].push_back({{"place", win1252ToUtf8(d.place)},
                                    {"field", win1252ToUtf8(d.field)},
                                    {"first", win1252ToUtf8(d.first)},
                                    {"second", win1252ToUtf8(d.second)},
                                    {"line", shownLine(d)}});
    }
    env.out << j.dump(2) << '\n' << std::flush;
    return differences.empty() ? exitcode::Success : exitcode::DeviceFailed;
}

}  // namespace harvelin::cli
