#include "cli/session.h"

#include "files/replacing_file.h"

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

bool fileCanBeSaved(CliEnvironment& env, const std::string& path, FileNaming naming)
{
    ReplacingFile probe(path, naming);
    if (!probe.create()) {
        cannotSave(env, path, probe.error());
        return false;
    }
    probe.discard();
    return true;
}

// The reason is the form's German text, so the whole line is the form's
// message for a file that cannot be saved.
void cannotSave(CliEnvironment& env, const std::string& path, const std::string& reason)
{
    env.err << "Die Datei " << path << " konnte nicht gespeichert werden: " << win1252ToUtf8(reason) << '\n';
}

int interrupted(CliEnvironment& env, Session& session)
{
    session.dialog.link.clearCancel();
    session.dialog.leaveLearnMode();
    session.dialog.link.close();
    complain(env) << "interrupted; no file was written\n";
    return exitcode::Interrupted;
}

int noPager(CliEnvironment& env, const Session& session)
{
    complain(env) << "no Zelvatron found on the " << session.dialog.link.ports().size() << " port(s) searched\n";
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
