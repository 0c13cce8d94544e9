#include <algorithm>
#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "cli/commands.h"
#include "files/configuration_diff.h"
#include "model/configuration_rule.h"
#include "model/coverage.h"
#include "model/win1252.h"

namespace harvelin::cli {

namespace {

// A file that lacks lines is compared only where it has them; says so.
void sayWhatIsNotCompared(CliEnvironment& env, const std::string& name, const FileCoverage& has)
{
    if (!has.complete())
        complain(env) << said(CliText::LacksNotCompared, {name, has.missing()}) << '\n';
}

// A complete read-out of the pager that the search finds, compared with
// `expected` where both hold a line: Success, or the exit status after a
// message. Says what was not compared, and why.
int comparePager(CliEnvironment& env, Session& session, const PagerConfiguration& expected,
                 const FileCoverage& expectedHas, const std::string& expectedName, PagerComparison& comparison)
{
    const std::string nothingCompared = said(CliText::NothingCompared);
    if (const int status = findPager(env, session, nothingCompared); status != exitcode::Success)
        return status;
    comparison = session.pagerSession.compare(session, expected, expectedHas, PagerSession::Backup::Keep);
    if (comparison.readOut.stopped)
        return interrupted(env, session, nothingCompared);
    const ReadOutOutcome& read = comparison.readOut;
    session.tellAll(read.messages);
    if (!read.replaced)
        return failed(env, said(CliText::PagerNotReadCompletely, {nothingCompared}));
    if (!comparison.pagerLacks.empty())
        complain(env) << smallPagerNote(read.result.callerSlots, said(CliText::NotCompared))
                      << '\n';
    sayWhatIsNotCompared(env, expectedName, expectedHas);
    return exitcode::Success;
}

// A difference's line for this terminal.
std::string shownLine(const ConfigurationDifference& d, std::string_view firstSide, std::string_view secondSide)
{
    return win1252ToUtf8(d.line(firstSide, secondSide));
}

}  // namespace

std::optional<PagerConfiguration> fileConfiguration(CliEnvironment& env, const std::string& path,
                                                    FileCoverage* coverage)
{
    PagerConfiguration config = startConfiguration();
    if (!openFile(env, path, config, coverage))
        return std::nullopt;
    return config;
}

std::string WriteReport::leftByStop() const
{
    if (acknowledged)
        return said(CliText::WriteNotVerified);
    return said(sentSlots ? CliText::PartlyWritten : CliText::NothingWrittenToPager);
}

std::string smallPagerNote(unsigned callerSlots, const std::string& notDone)
{
    const std::string lacks = win1252ToUtf8(FileCoverage::heldByPager(callerSlots).missing());
    return said(CliText::SmallPager, {std::to_string(callerSlots), lacks, notDone});
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

WriteReport writeHeldConfiguration(CliEnvironment& env, Session& session, bool verify)
{
    const WriteOutcome write = session.write(verify ? PagerSession::Check::ReadBack : PagerSession::Check::None);
    WriteReport report{WriteEnd::NotAcknowledged, write.result.succeeded, write.result.slotCommandsSent,
                       write.result.callerSlots, write.pagerLacks, {}};
    const auto ended = [&report](WriteEnd end) {
        report.end = end;
        return report;
    };
    if (write.result.refused)
        return ended(WriteEnd::Refused);
    // A stop that came after the last step leaves a complete write.
    if (write.stopped && (verify || !report.acknowledged)) {
        stopNow(session);
        return ended(WriteEnd::Interrupted);
    }
    if (!report.acknowledged)
        return ended(WriteEnd::NotAcknowledged);
    const WriteEnd written = write.slotsLeftOut ? WriteEnd::SlotsLeftOut : WriteEnd::Written;
    if (!write.readBack)
        return ended(written);
    const PagerComparison& readBack = *write.readBack;
    if (!readBack.readOut.replaced)
        return ended(WriteEnd::ReadBackIncomplete);
    if (!readBack.pagerLacks.empty())
        complain(env) << smallPagerNote(readBack.readOut.result.callerSlots,
                                        said(CliText::NotCompared))
                      << '\n';
    report.differences = readBack.differences;
    return ended(report.differences.empty() ? written : WriteEnd::Differs);
}

int printDifferences(std::ostream& to, const std::vector<ConfigurationDifference>& differences,
                     std::string_view firstSide, std::string_view secondSide, bool json)
{
    if (json) {
        nlohmann::ordered_json j;
        j["equal"] = differences.empty();
        j["differences"] = nlohmann::ordered_json::array();
        for (const ConfigurationDifference& d : differences) {
            j["differences"].push_back({{"place", win1252ToUtf8(d.place)},
                                        {"field", win1252ToUtf8(d.field)},
                                        {"first", win1252ToUtf8(d.first)},
                                        {"second", win1252ToUtf8(d.second)},
                                        {"line", win1252ToUtf8(d.neutralLine(firstSide, secondSide))}});
        }
        to << j.dump(2) << '\n';
    } else {
        for (const ConfigurationDifference& d : differences)
            to << shownLine(d, firstSide, secondSide) << '\n';
    }
    to << std::flush;
    return differences.empty() ? exitcode::Success : exitcode::DeviceFailed;
}

int verifyCommand(CliEnvironment& env, Session& session, const std::string& file, bool json)
{
    FileCoverage has;
    const std::optional<PagerConfiguration> expected = fileConfiguration(env, file, &has);
    if (!expected)
        return exitcode::BadInput;
    PagerComparison comparison;
    if (const int status = comparePager(env, session, *expected, has, file, comparison); status != exitcode::Success)
        return status;
    const int status = printDifferences(env.out, comparison.differences, side::File, side::Pager, json);
    if (status != exitcode::Success)
        complain(env) << said(CliText::PagerDiffersFromFile, {file}) << '\n';
    return status;
}

int diffCommand(CliEnvironment& env, Session& session, const std::string& first, const std::string& second,
                bool json)
{
    // Files first: a file that cannot be read should not wait for a read-out.
    std::optional<PagerConfiguration> a;
    std::optional<PagerConfiguration> b;
    FileCoverage aHas = FileCoverage::everything();
    FileCoverage bHas = FileCoverage::everything();
    if (first != PagerSource && !(a = fileConfiguration(env, first, &aHas)))
        return exitcode::BadInput;
    if (second != PagerSource && !(b = fileConfiguration(env, second, &bHas)))
        return exitcode::BadInput;
    // The pager is read once, and compared where the files hold a line.
    const bool firstIsPager = !a;
    std::vector<ConfigurationDifference> differences;
    if (a && b) {
        sayWhatIsNotCompared(env, first, aHas);
        sayWhatIsNotCompared(env, second, bHas);
        differences = compareConfigurations(*a, *b, aHas.within(bHas));
    } else {
        const PagerConfiguration& file = a ? *a : b ? *b : startConfiguration();
        PagerComparison comparison;
        const FileCoverage fileHas = a || b ? (a ? aHas : bHas) : FileCoverage::everything();
        const std::string name = a ? first : b ? second : std::string(PagerSource);
        if (const int status = comparePager(env, session, file, fileHas, name, comparison); status != exitcode::Success)
            return status;
        if (!a && !b) {
            a = b = comparison.readOut.result.read;
        } else {
            (firstIsPager ? a : b) = comparison.readOut.result.read;
            differences = comparison.differences;
            // The comparison named the file first; the pager is the first here.
            if (firstIsPager)
                for (ConfigurationDifference& d : differences)
                    std::swap(d.first, d.second);
        }
    }

    // Two files are named by their order, the pager as the pager.
    const std::string_view firstSide = firstIsPager ? side::Pager : second == PagerSource ? side::File : side::FirstFile;
    const std::string_view secondSide = second == PagerSource ? side::Pager : firstIsPager ? side::File : side::SecondFile;
    return printDifferences(env.out, differences, firstSide, secondSide, json);
}

}  // namespace harvelin::cli
