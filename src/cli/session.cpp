#include "cli/session.h"

#include "files/replacing_file.h"

namespace harvelin::cli {

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

bool fileCanBeSaved(CliEnvironment& env, const std::string& path)
{
    ReplacingFile probe(path);
    if (!probe.create()) {
        // The reason is the form's German text, so the whole line is the
        // form's message for a file that cannot be saved.
        env.err << "Die Datei " << path << " konnte nicht gespeichert werden: " << win1252ToUtf8(probe.error())
                << '\n';
        return false;
    }
    probe.discard();
    return true;
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
