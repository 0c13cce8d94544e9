#include <nlohmann/json.hpp>
#include <string>
#include <utility>
#include <vector>

#include "cli/technician.h"
#include "files/configuration_diff.h"

namespace harvelin::cli {

namespace {

// A read-out of the pager that the search finds; false after a message.
bool readPager(CliEnvironment& env, Session& session)
{
    if (!session.search()) {
        noPager(env, session);
        return false;
    }
    session.press(ctl::ReadButton);
    if (!session.dialog.lastReadOutComplete) {
        complain(env) << "the pager could not be read completely\n";
        return false;
    }
    return true;
}

// The differences one a line; 1 when there are any.
int printDifferences(std::ostream& to, const std::vector<ConfigurationDifference>& differences)
{
    for (const ConfigurationDifference& d : differences)
        to << win1252ToUtf8(d.line()) << '\n';
    to << std::flush;
    return differences.empty() ? exitcode::Success : exitcode::DeviceFailed;
}

}  // namespace

std::optional<PagerConfiguration> fileConfiguration(CliEnvironment& env, const std::string& path)
{
    Session reader(env, env.backend, PortTable());
    reader.answerFileDialog(path);
    reader.press(ctl::OpenFileButton);
    if (!reader.dialog.lastFileOk)
        return std::nullopt;
    return reader.configuration();
}

std::optional<PagerConfiguration> configurationOf(CliEnvironment& env, Session& session, const std::string& source)
{
    if (source != PagerSource)
        return fileConfiguration(env, source);
    if (!readPager(env, session))
        return std::nullopt;
    return session.configuration();
}

int writeHeldConfiguration(CliEnvironment& env, Session& session, bool verify, std::ostream& differencesTo)
{
    session.press(ctl::WriteButton);
    if (!session.dialog.lastWriteSucceeded || session.dialog.lastWriteLeftSlotsOut)
        return exitcode::DeviceFailed;
    if (!verify)
        return exitcode::Success;
    // What was just written is no backup worth keeping.
    const PagerConfiguration written = session.configuration();
    const std::string folder = std::exchange(session.dialog.backupFolder, std::string());
    session.press(ctl::ReadButton);
    session.dialog.backupFolder = folder;
    if (!session.dialog.lastReadOutComplete)
        return failed(env, "the pager could not be read back completely; the write is not verified");
    const int status = printDifferences(differencesTo, compareConfigurations(written, session.configuration()));
    if (status != exitcode::Success)
        complain(env) << "the pager does not hold what was written\n";
    return status;
}

int verifyCommand(CliEnvironment& env, Session& session, const std::string& file)
{
    const std::optional<PagerConfiguration> expected = fileConfiguration(env, file);
    if (!expected)
        return exitcode::BadInput;
    if (!session.search())
        return noPager(env, session);
    session.press(ctl::ReadButton);
    if (!session.dialog.lastReadOutComplete)
        return failed(env, "the pager could not be read completely; nothing was compared");
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
    if (first != PagerSource && !(a = configurationOf(env, session, first)))
        return exitcode::BadInput;
    if (second != PagerSource && !(b = configurationOf(env, session, second)))
        return exitcode::BadInput;
    const std::pair<const std::string*, std::optional<PagerConfiguration>*> sources[] = {{&first, &a},
                                                                                          {&second, &b}};
    for (const auto& [source, config] : sources) {
        if (!*config && !(*config = configurationOf(env, session, *source)))
            return session.dialog.link.portNumber == 0 ? exitcode::NoPager : exitcode::DeviceFailed;
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
                                    {"line", win1252ToUtf8(d.line())}});
    }
    env.out << j.dump(2) << '\n' << std::flush;
    return differences.empty() ? exitcode::Success : exitcode::DeviceFailed;
}

}  // namespace harvelin::cli
