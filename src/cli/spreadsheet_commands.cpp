#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

#include "files/configuration_json.h"
#include "cli/technician.h"
#include "files/configuration_csv.h"
#include "files/replacing_file.h"

namespace harvelin::cli {

namespace {

// A table or a JSON text is larger than a .pag file, but not by much.
constexpr std::size_t MaxInputBytes = 1024 * 1024;

std::optional<std::string> readInput(CliEnvironment& env, const std::string& path)
{
    std::error_code ec;
    if (!std::filesystem::exists(nativePath(path), ec)) {
        complain(env) << "cannot read " << path << ": there is no such file\n";
        return std::nullopt;
    }
    if (!std::filesystem::is_regular_file(nativePath(path), ec)) {
        complain(env) << "cannot read " << path << ": it is no regular file\n";
        return std::nullopt;
    }
    std::ifstream in(nativePath(path), std::ios::binary);
    std::string bytes;
    char buffer[4096];
    while (in && bytes.size() <= MaxInputBytes) {
        in.read(buffer, sizeof buffer);
        bytes.append(buffer, static_cast<std::size_t>(in.gcount()));
    }
    if (in.bad() || bytes.size() > MaxInputBytes) {
        complain(env) << "cannot read " << path << (in.bad() ? "" : ": larger than 1 MiB") << '\n';
        return std::nullopt;
    }
    return bytes;
}

bool writeOutput(CliEnvironment& env, const std::string& path, const std::string& bytes)
{
    if (path == "-") {
        env.out << bytes << std::flush;
        return true;
    }
    ReplacingFile file(path);
    if (file.create() && file.write(bytes) && file.commit())
        return true;
    complain(env) << "cannot write " << path << ": " << win1252ToUtf8(file.error()) << '\n';
    file.discard();
    return false;
}

}  // namespace

char csvSeparatorFor(const CliEnvironment& env, const std::optional<std::string>& chosen)
{
    if (chosen && !chosen->empty())
        return chosen->front() == 't' ? '\t' : chosen->front();
    return env.decimalPoint == ',' ? ';' : ',';
}

int exportCommand(CliEnvironment& env, const std::string& file, const std::string& out,
                  const std::optional<std::string>& separator)
{
    const std::optional<PagerConfiguration> config = fileConfiguration(env, file);
    if (!config)
        return exitcode::BadInput;
    return writeOutput(env, out, csv::format(*config, csvSeparatorFor(env, separator))) ? exitcode::Success
                                                                                         : exitcode::BadInput;
}

int importCommand(CliEnvironment& env, const std::string& in, const std::string& out)
{
    const std::optional<std::string> text = readInput(env, in);
    if (!text)
        return exitcode::BadInput;
    // What the table leaves out keeps the value a fresh form starts with.
    Session fresh(env, env.backend, PortTable());
    PagerConfiguration config = fresh.configuration();
    const std::size_t start = text->find_first_not_of(" \t\r\n\xEF\xBB\xBF");
    const bool json = start != std::string::npos && (*text)[start] == '{';
    const std::vector<csv::Problem> problems =
        json ? configurationFromJson(*text, config) : csv::parse(*text, config);
    for (const csv::Problem& p : problems)
        env.err << in << ", line " << p.line << ", column " << p.column << ": " << p.what << '\n';
    if (!problems.empty()) {
        complain(env) << "nothing written: " << problems.size() << " value(s) in " << in
                      << " cannot go into a pager file\n";
        return exitcode::BadInput;
    }
    std::string error;
    if (!PagerDataFile::save(out, config, error)) {
        complain(env) << "cannot write " << out << ": " << win1252ToUtf8(error) << '\n';
        return exitcode::BadInput;
    }
    return exitcode::Success;
}

}  // namespace harvelin::cli
