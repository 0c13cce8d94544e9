#include "cli/session.h"

#include <system_error>

#include "files/replacing_file.h"
#include "link/port_problem.h"

namespace harvelin::cli {

std::atomic<bool> stopRequested{false};
std::atomic<SerialLink*> stoppableLink{nullptr};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<SerialLink*>::is_always_lock_free);

std::ostream& complain(CliEnvironment& env) { return env.err << Program << ": "; }

std::filesystem::path nativePath(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool fileOpens(CliEnvironment& env, const std::string& path, FileCoverage* coverage)
{
    Session scratch(env, env.backend, PortTable());
    scratch.answerFileDialog(path);
    scratch.press(ctl::OpenFileButton);
    if (coverage)
        *coverage = scratch.dialog.lastFileCoverage;
    return scratch.dialog.lastFileOk;
}

// The reason is the form's German text, so the whole line is the form's
// message, without the tool's prefix.
void fileNotOpened(CliEnvironment& env, const std::string& path, const std::string& reason)
{
    env.err << "Die Datei " << path << " konnte nicht geöffnet werden: " << win1252ToUtf8(reason) << '\n';
}

void fileNotSaved(CliEnvironment& env, const std::string& path, const std::string& reason)
{
    env.err << "Die Datei " << path << " konnte nicht gespeichert werden: " << win1252ToUtf8(reason) << '\n';
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

int stopNow(Session& session)
{
    session.dialog.link.clearCancel();
    session.dialog.leaveLearnMode();
    session.dialog.link.close();
    return exitcode::Interrupted;
}

int interrupted(CliEnvironment& env, Session& session, const std::string& what)
{
    stopNow(session);
    complain(env) << "interrupted" << (what.empty() ? "" : "; " + what) << '\n';
    return exitcode::Interrupted;
}

std::string fileLeftAsItWas(const std::string& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(nativePath(file), ec))
        return "no file was written";
    return "no file was written, " + file + " is left as it was";
}

int noPager(CliEnvironment& env, const Session& session)
{
    // The search names the ports that failed; otherwise the port line alone
    // says it, and the command line has no port line.
    if (!session.searchToldWhy())
        env.err << win1252ToUtf8(nothingFoundLine()) << '\n';
    return exitcode::NoPager;
}

int failed(CliEnvironment& env, const std::string& what)
{
    complain(env) << what << '\n';
    return exitcode::DeviceFailed;
}

}  // namespace harvelin::cli

namespace harvelin {

void requestCliStop()
{
    cli::stopRequested.store(true);
    if (SerialLink* link = cli::stoppableLink.load())
        link->cancel();
}

}  // namespace harvelin
