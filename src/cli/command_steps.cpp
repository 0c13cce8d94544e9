// The steps the commands share: finding the pager, ending after a stop or a
// failure, and opening and saving .pag files as the form does, with the
// form's messages.
#include <system_error>

#include "cli/session.h"
#include "files/replacing_file.h"
#include "link/port_problem.h"

namespace harvelin::cli {

std::ostream& complain(CliEnvironment& env) { return env.err << Program << ": "; }

std::filesystem::path nativePath(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool openFile(CliEnvironment& env, const std::string& path, PagerConfiguration& config, FileCoverage* coverage)
{
    const FileOutcome opened = openConfigurationFile(path, config);
    // A line that breaks the rule is named in the command line's words.
    if (opened.report.problem)
        complain(env) << opened.report.problem->describe(path) << '\n' << std::flush;
    else
        for (const std::string& message : opened.messages)
            env.err << win1252ToUtf8(message) << '\n' << std::flush;
    if (opened.done && coverage)
        *coverage = opened.report.coverage;
    return opened.done;
}

bool saveFile(CliEnvironment& env, const std::string& path, const PagerConfiguration& config)
{
    const FileOutcome saved = saveConfigurationFile(path, config);
    for (const std::string& message : saved.messages)
        env.err << win1252ToUtf8(message) << '\n' << std::flush;
    return saved.done;
}

// The reason is the form's German text, so the whole line is the form's
// message, without the tool's prefix.
void fileNotOpened(CliEnvironment& env, const std::string& path, const std::string& reason)
{
    env.err << win1252ToUtf8(fileNotOpenedMessage(path, reason)) << '\n';
}

void fileNotSaved(CliEnvironment& env, const std::string& path, const std::string& reason)
{
    env.err << win1252ToUtf8(fileNotSavedMessage(path, reason)) << '\n';
}

bool fileCanBeSaved(CliEnvironment& env, const std::string& path, FileNaming naming)
{
    ReplacingFile probe(path, naming);
    if (!probe.create()) {
        fileNotSaved(env, path, probe.error());
        return false;
    }
    probe.discard();
    return true;
}

std::string fileLeftAsItWas(const std::string& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(nativePath(file), ec))
        return said(CliText::NoFileWritten);
    return said(CliText::NoFileWrittenFileLeft, {file});
}

// The one place that decides what a search that found nothing means.
int findPager(CliEnvironment& env, Session& session, const std::string& leftUndone)
{
    const bool found = session.search();
    if (session.stopped())
        return leftUndone.empty() ? stopNow(session) : interrupted(env, session, leftUndone);
    return found ? exitcode::Success : exitcode::NoPager;
}

int stopNow(Session& session)
{
    session.stop();
    return exitcode::Interrupted;
}

int interrupted(CliEnvironment& env, Session& session, const std::string& what)
{
    stopNow(session);
    complain(env) << (what.empty() ? said(CliText::Interrupted) : said(CliText::InterruptedLeaving, {what})) << '\n';
    return exitcode::Interrupted;
}

int failed(CliEnvironment& env, const std::string& what)
{
    complain(env) << what << '\n';
    return exitcode::DeviceFailed;
}

}  // namespace harvelin::cli
