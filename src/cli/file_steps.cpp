// The file steps the commands share: opening and saving .pag files as the
// form does, with the form's messages.
#include <system_error>

#include "cli/session.h"
#include "files/replacing_file.h"

namespace harvelin::cli {

std::ostream& complain(CliEnvironment& env) { return env.err << Program << ": "; }

std::filesystem::path nativePath(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

bool openFile(CliEnvironment& env, const std::string& path, PagerConfiguration& config, FileCoverage* coverage)
{
    PagerConfiguration opened = config;
    std::string error;
    LoadReport report;
    if (!PagerDataFile::load(path, opened, error, &report)) {
        if (report.problem)
            complain(env) << report.problem->describe(path) << '\n' << std::flush;
        else
            env.err << win1252ToUtf8(report.notConfiguration ? notPagerDataMessage(path)
                                                             : fileNotOpenedMessage(path, error))
                    << '\n' << std::flush;
        return false;
    }
    config = opened;
    if (coverage)
        *coverage = report.coverage;
    if (report.replacedCharacters)
        env.err << win1252ToUtf8(replacedCharactersMessage(path)) << '\n' << std::flush;
    return true;
}

bool saveFile(CliEnvironment& env, const std::string& path, const PagerConfiguration& config)
{
    std::string error;
    if (PagerDataFile::save(path, config, error))
        return true;
    env.err << win1252ToUtf8(fileNotSavedMessage(path, error)) << '\n' << std::flush;
    return false;
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

std::string fileLeftAsItWas(const std::string& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(nativePath(file), ec))
        return "no file was written";
    return "no file was written, " + file + " is left as it was";
}

}  // namespace harvelin::cli
