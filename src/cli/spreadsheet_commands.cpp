#include <array>
#include <cctype>
#include <cstdio>
#include <cstring>
#include <string>

#include "cli/commands.h"
#include "files/configuration_csv.h"
#include "files/configuration_json.h"
#include "files/replacing_file.h"
#include "model/configuration_rule.h"
#include "model/win1252.h"

namespace harvelin::cli {

namespace {

// A table or a JSON text is larger than a .pag file, but not by much.
constexpr std::size_t MaxInputBytes = 1024 * 1024;

constexpr std::string_view ByteOrderMark = "\xEF\xBB\xBF";

// The separator asked for; nullopt for one that a spreadsheet would not
// split at, or that would be taken for part of a field when read again.
std::optional<char> chosenSeparator(const std::string& chosen)
{
    if (chosen == "t")
        return '\t';
    if (chosen.size() == 1 && csv::isSeparator(chosen.front()))
        return chosen.front();
    return std::nullopt;
}

// An argument as a message can show it: bytes that are no UTF-8 are
// written as \xNN, control characters escaped and a long one cut short.
std::string shownArgument(const std::string& text)
{
    if (isUtf8(text))
        return "\"" + shownInMessage(text, true) + "\"";
    std::string bytes;
    for (const char c : text) {
        char hex[8];
        std::snprintf(hex, sizeof hex, "\\x%02x", static_cast<unsigned>(static_cast<unsigned char>(c)));
        bytes += hex;
    }
    return "\"" + shownInMessage(bytes, true) + "\"";
}

// A ".json" is read as JSON and a ".csv" as a table, whatever they hold, so
// that a broken file is told what is wrong in its own terms; another file is
// JSON when it begins like JSON.
bool isJson(const std::string& path, std::string_view text)
{
    auto endsWith = [&path](std::string_view ending) {
        if (path.size() < ending.size())
            return false;
        for (std::size_t i = 0; i < ending.size(); ++i)
            if (std::tolower(static_cast<unsigned char>(path[path.size() - ending.size() + i])) != ending[i])
                return false;
        return true;
    };
    if (endsWith(".json"))
        return true;
    if (endsWith(".csv"))
        return false;
    const std::size_t start = text.find_first_not_of(" \t\r\n");
    return start != std::string_view::npos && (text[start] == '{' || text[start] == '[');
}

}  // namespace

bool writeOutput(CliEnvironment& env, const std::string& path, const std::string& bytes)
{
    // Standard output that fails is told by the command line, for every
    // command alike.
    if (path == "-") {
        env.out << bytes;
        return true;
    }
    ReplacingFile file(path);
    if (file.create() && file.write(bytes) && file.commit())
        return true;
    fileNotSaved(env, path, file.error());
    file.discard();
    return false;
}

std::optional<std::string> readInput(CliEnvironment& env, const std::string& path)
{
    InputFile file;
    if (file.open(path, MaxInputBytes)) {
        std::string bytes;
        std::array<char, 4096> buffer;
        for (;;) {
            const auto got = file.read(buffer.data(), buffer.size());
            if (!got)
                break;
            if (*got == 0)
                return bytes;
            bytes.append(buffer.data(), *got);
            // The file grew after it was opened.
            if (bytes.size() > MaxInputBytes) {
                fileNotOpened(env, path, tooLargeReason(MaxInputBytes));
                return std::nullopt;
            }
        }
    }
    fileNotOpened(env, path, file.error());
    return std::nullopt;
}


char csvSeparatorFor(const CliEnvironment& env) { return env.decimalPoint == ',' ? ';' : ','; }

int exportCommand(CliEnvironment& env, const std::string& file, const std::string& out,
                  const std::optional<std::string>& separator)
{
    const std::optional<char> chosen = separator ? chosenSeparator(*separator) : csvSeparatorFor(env);
    if (!chosen) {
        complain(env) << said(CliText::SeparatorRefused, {shownArgument(*separator)}) << '\n';
        return exitcode::BadInput;
    }
    const std::optional<PagerConfiguration> config = fileConfiguration(env, file);
    if (!config)
        return exitcode::BadInput;
    // The file was read by the configuration's rule, as import reads the
    // table: whatever export writes imports again as it was.
    return writeOutput(env, out, csv::format(*config, *chosen)) ? exitcode::Success : exitcode::BadInput;
}

int importCommand(CliEnvironment& env, const std::string& in, const std::string& out, bool partial)
{
    const std::optional<std::string> bytes = readInput(env, in);
    if (!bytes)
        return exitcode::BadInput;
    std::string_view raw = *bytes;
    if (raw.starts_with(ByteOrderMark))
        raw.remove_prefix(ByteOrderMark.size());
    // A spreadsheet saves in the system's code page where it is not told
    // otherwise; on a German Windows that is Windows-1252, as .pag files are.
    std::string text(raw);
    if (!isUtf8(raw)) {
        text = win1252ToUtf8(raw);
        complain(env) << said(CliText::ReadAsWindows1252, {in}) << '\n';
    }
    // What the file leaves out keeps the value a fresh form starts with.
    PagerConfiguration config = startConfiguration();
    FileCoverage coverage;
    const bool json = isJson(in, text);
    const std::vector<csv::Problem> problems =
        json ? configurationFromJson(text, config, &coverage) : csv::parse(text, config, &coverage);
    for (const csv::Problem& p : problems)
        complain(env) << said(CliText::ImportProblem, {in, std::to_string(p.line), std::to_string(p.column), p.what})
                      << '\n';
    if (!problems.empty()) {
        complain(env) << said(CliText::ImportRefused, {std::to_string(problems.size()), in}) << '\n';
        return exitcode::BadInput;
    }
    // The .pag file it makes is complete, so write would take the start
    // values for the user's own; that happens only when asked for, as it
    // does for a .pag file that lacks lines.
    const std::string lacks =
        coverage.complete() ? std::string() : coverage.missing(json ? JsonNames : csv::TableNames);
    if (!partial && !lacks.empty()) {
        complain(env) << said(CliText::ImportIncomplete, {in, lacks}) << '\n';
        return exitcode::BadInput;
    }
    std::string error;
    if (!PagerDataFile::save(out, config, error)) {
        fileNotSaved(env, out, error);
        return exitcode::BadInput;
    }
    if (!lacks.empty())
        complain(env) << said(CliText::ImportLacks, {in, lacks, out}) << '\n';
    return exitcode::Success;
}

}  // namespace harvelin::cli
