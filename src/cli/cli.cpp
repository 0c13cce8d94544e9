#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <regex>
#include <string>
#include <system_error>
#include <vector>

#include "cli/configuration_report.h"
#include "files/configuration_json.h"
#include "cli/session.h"
#include "cli/commands.h"
#include "cli/texts.h"
#include "cli/trace_backend.h"
#include "files/pager_data_file.h"
#include "files/replacing_file.h"
#include "link/port_problem.h"
#include "model/build_info.h"
#include "model/catalogue.h"
#include "model/configuration_rule.h"
#include "model/win1252.h"
#include "model/option_switches.h"
#include "transfer/messages.h"

namespace harvelin {

namespace {

using namespace cli;

constexpr int CallerSlotCount = static_cast<int>(CallerSlots);

constexpr std::string_view LanguageOption = "--language";

// The help's own words in the language chosen. Subcommands share the
// formatter and take the option group when they are made.
void labelHelp(CLI::App& app)
{
    const auto formatter = std::make_shared<CLI::Formatter>();
    const std::pair<const char*, CliText> labels[] = {
        {"Usage", CliText::UsageLabel},         {"OPTIONS", CliText::OptionsLabel},
        {"SUBCOMMAND", CliText::CommandLabel},  {"Positionals", CliText::ArgumentsLabel},
        {"REQUIRED", CliText::RequiredLabel},   {"Needs", CliText::NeedsLabel},
        {"Excludes", CliText::ExcludesLabel},
    };
    for (const auto& [key, text] : labels)
        formatter->label(key, said(text));
    app.formatter(formatter);
    app.option_defaults()->group(said(CliText::OptionsGroup));
}

// What the parser's error says, in the language chosen. Its own messages
// are English; they are put into the other languages by their kind, and one
// that is not recognised is kept as it is.
std::string parseErrorText(const CLI::ParseError& e)
{
    const std::string what = e.what();
    if (chosenLanguage() == "en")
        return what;
    std::smatch m;
    const auto matches = [&what, &m](const char* pattern) { return std::regex_match(what, m, std::regex(pattern)); };
    if (dynamic_cast<const CLI::RequiredError*>(&e) && matches("(.+) is required"))
        return said(CliText::ArgumentRequired, {m.str(1)});
    if (dynamic_cast<const CLI::ExtrasError*>(&e) && matches("The following arguments? (was|were) not expected: (.*)"))
        return said(m.str(1) == "was" ? CliText::ArgumentNotExpected : CliText::ArgumentsNotExpected, {m.str(2)});
    if (dynamic_cast<const CLI::RequiresError*>(&e) && matches("(.+) requires (.+)"))
        return said(CliText::OptionNeeds, {m.str(1), m.str(2)});
    if (dynamic_cast<const CLI::ExcludesError*>(&e) && matches("(.+) excludes (.+)"))
        return said(CliText::OptionExcludes, {m.str(1), m.str(2)});
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) && matches("(.+): ([0-9]+) required (.+) missing"))
        return said(CliText::ValueMissing, {m.str(1), m.str(2), m.str(3)});
    if (dynamic_cast<const CLI::ArgumentMismatch*>(&e) &&
        matches("(.+): At Most ([0-9]+) required but received ([0-9]+)"))
        return said(CliText::TooManyValues, {m.str(1), m.str(2), m.str(3)});
    if (dynamic_cast<const CLI::ConversionError*>(&e) && matches("Could not convert: (.+) = (.*)"))
        return said(CliText::ValueNotConverted, {m.str(1), m.str(2)});
    if (dynamic_cast<const CLI::ValidationError*>(&e)) {
        if (matches("(.+): Value (.*) not in range (.+) to (.+)"))
            return said(CliText::ValueOutOfRange, {m.str(1), m.str(2), m.str(3), m.str(4)});
        if (matches("(.+): (.*) not in (\\{.*\\})"))
            return said(CliText::ValueNotMember, {m.str(1), m.str(2), m.str(3)});
    }
    return what;
}

// A result that never reached standard output (a full disk, a closed pipe)
// is no success, nor a difference found, whatever the command did: it is an
// output that cannot be written. A stop request keeps its own status.
int outputWritten(CliEnvironment& env, int status)
{
    // A stream that failed earlier keeps the reason of its failed write in
    // errno; one that fails now sets it anew.
    const int earlier = env.out ? 0 : errno;
    errno = 0;
    env.out.flush();
    if (env.out || status == exitcode::Interrupted)
        return status;
    const int reason = errno != 0 ? errno : earlier;
    complain(env) << said(CliText::CannotWriteResult, {outputFailureReason(reason)}) << '\n';
    return exitcode::OutputFailed;
}

// The options given before the command, for every command's --help.
std::string globalOptionsHelp(const CLI::App& app)
{
    std::string text = said(CliText::GlobalOptionsHeading) + '\n';
    for (const CLI::Option* opt : app.get_options()) {
        if (opt == app.get_help_ptr())
            continue;  // each command has its own
        std::string name = opt->get_name(false, true);
        if (opt->get_type_size() != 0 && !opt->get_type_name().empty())
            name += ' ' + opt->get_type_name();
        name.resize(std::max<std::size_t>(name.size() + 2, 28), ' ');
        text += "  " + name + opt->get_description() + '\n';
    }
    return text;
}

std::string commandNames(const CLI::App& app)
{
    std::string names;
    for (const CLI::App* sub : app.get_subcommands([](const CLI::App*) { return true; }))
        names += (names.empty() ? "" : ", ") + sub->get_name();
    return names;
}

// The first word that is neither an option nor the value of --port or
// --language: what the user meant as the command.
std::optional<std::string> commandWord(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--port" || arg == LanguageOption)
            ++i;
        else if (arg.empty() || arg[0] != '-')
            return arg;
    }
    return std::nullopt;
}

}  // namespace

std::string outputFailureReason(int errorNumber)
{
    return errorNumber != 0 ? std::string(std::strerror(errorNumber)) : said(CliText::OutputTakesNoMore);
}

std::optional<std::string_view> cliLanguage(int argc, const char* const* argv, std::string_view systemSetting)
{
    const std::optional<std::string> asked = languageAsked(argc, argv);
    if (!asked)
        return languageForSystem(systemSetting);
    for (const std::string_view code : languages())
        if (code == *asked)
            return code;
    return std::nullopt;
}

int runCli(int argc, const char* const* argv, CliEnvironment& env)
{
    // Every text, the help's too, is made in the language chosen here; it is
    // put back when the command is done.
    const std::optional<std::string_view> language = cliLanguage(argc, argv, env.systemLanguage);
    const LanguageScope scope(language.value_or(languageForSystem(env.systemLanguage)));
    if (!language) {
        complain(env) << said(CliText::UnknownLanguage, {languageAsked(argc, argv).value_or("")}) << '\n';
        return exitcode::BadInput;
    }

    CLI::App app{said(CliText::ProgramDescription), Program};
    labelHelp(app);
    app.set_help_flag("-h,--help", said(CliText::HelpOptionHelp));
    app.set_version_flag("--version", std::string(Program) + " " + versionText(), said(CliText::VersionOptionHelp));
    app.require_subcommand(1);
    app.fallthrough();
    app.footer(said(CliText::ExitStatusFooter));

    std::vector<std::string> portPaths;
    bool simulate = false;
    bool trace = false;
    app.add_option("--port", portPaths, said(CliText::PortOptionHelp))
        ->type_name("PATH")
        ->allow_extra_args(false);
    app.add_flag("--simulate", simulate, said(CliText::SimulateOptionHelp));
    app.add_flag("--trace", trace, said(CliText::TraceOptionHelp));
    bool noBackup = false;
    app.add_flag("--no-backup", noBackup, said(CliText::NoBackupOptionHelp));
    std::string languageCode;
    app.add_option(std::string(LanguageOption), languageCode, said(CliText::LanguageOptionHelp))
        ->type_name("CODE")
        ->allow_extra_args(false)
        ->multi_option_policy(CLI::MultiOptionPolicy::TakeLast);  // as cliLanguage() takes it

    CLI::App* ports = app.add_subcommand("ports", said(CliText::PortsCommandHelp));
    CLI::App* search = app.add_subcommand("search", said(CliText::SearchCommandHelp));

    std::string file;
    bool each = false;
    SeriesOptions series;
    CLI::App* read = app.add_subcommand("read", said(CliText::ReadCommandHelp));
    read->add_option("FILE", file, said(CliText::ReadFileHelp))->required();
    CLI::Option* readEach = read->add_flag("--each", each, said(CliText::ReadEachHelp));
    read->add_option("--log", series.log, said(CliText::LogOptionHelp))->needs(readEach);
    read->add_option("--count", series.count, said(CliText::ReadCountHelp))
        ->type_name("N")
        ->check(CLI::Range(1u, 9999u))
        ->needs(readEach);
    bool careful = false;
    const std::string carefulHelp = said(CliText::CarefulHelp);
    read->add_flag("--careful", careful, carefulHelp);
    WriteOptions writeOptions;
    CLI::App* write = app.add_subcommand("write", said(CliText::WriteCommandHelp));
    write->add_option("FILE", file, said(CliText::WriteFileHelp))->required();
    CLI::Option* writeVerify = write->add_flag("--verify", writeOptions.verify, said(CliText::WriteVerifyHelp));
    CLI::Option* writeJson =
        write->add_flag("--json", writeOptions.json, said(CliText::WriteJsonHelp))->needs(writeVerify);
    write->add_flag("--backup", writeOptions.backup, said(CliText::WriteBackupHelp));
    CLI::Option* writeEach = write->add_flag("--each", writeOptions.each, said(CliText::WriteEachHelp));
    write->add_option("--log", writeOptions.series.log, said(CliText::LogOptionHelp))->needs(writeEach);
    writeJson->excludes(writeEach);
    std::string namesFile;
    std::string namePattern;
    unsigned firstNumber = 1;
    bool keepName = false;
    CLI::Option* names = write->add_option("--names", namesFile, said(CliText::NamesHelp))
                             ->type_name("FILE")
                             ->needs(writeEach);
    CLI::Option* pattern = write->add_option("--name-pattern", namePattern, said(CliText::NamePatternHelp))
                               ->type_name("TEXT")
                               ->needs(writeEach)
                               ->excludes(names);
    write->add_option("--first", firstNumber, said(CliText::FirstHelp))
        ->type_name("N")
        ->check(CLI::Range(0u, 999999u))
        ->needs(pattern);
    write->add_flag("--keep-name", keepName, said(CliText::KeepNameHelp))
        ->needs(writeEach)
        ->excludes(names)
        ->excludes(pattern);
    write->add_option("--count", writeOptions.series.count, said(CliText::WriteCountHelp))
        ->type_name("N")
        ->check(CLI::Range(1u, 9999u))
        ->needs(writeEach)
        ->excludes(names);
    write->add_flag("--careful", careful, said(CliText::WriteCarefulHelp, {carefulHelp}));
    write->add_flag("--partial", writeOptions.partial, said(CliText::WritePartialHelp));

    bool json = false;
    CLI::App* show = app.add_subcommand("show", said(CliText::ShowCommandHelp));
    show->add_option("FILE", file, said(CliText::PagFileHelp))->required();
    show->add_flag("--json", json, said(CliText::TableJsonHelp));
    std::string sheetOut = "-";
    CLI::App* sheet = app.add_subcommand("sheet", said(CliText::SheetCommandHelp));
    sheet->add_option("FILE", file, said(CliText::PagFileHelp))->required();
    sheet->add_option("-o,--output", sheetOut, said(CliText::SheetOutputHelp))->type_name("OUT");

    int slot = 0;
    CLI::App* learn = app.add_subcommand("learn", said(CliText::LearnCommandHelp));
    learn->add_option("SLOT", slot, said(CliText::SlotHelp))->required()->check(CLI::Range(1, CallerSlotCount));
    learn->add_option("FILE", file, said(CliText::LearnFileHelp))->required();

    std::string optionName;
    std::string optionState;
    std::optional<std::string> pagerName;
    CLI::App* option = app.add_subcommand("option", said(CliText::OptionCommandHelp));
    option->add_option("OPTION", optionName, said(CliText::OptionNameHelp))
        ->required()
        ->check(CLI::IsMember({"battery", "buzzer", "remote-delete"}));
    option->add_option("STATE", optionState, said(CliText::OptionStateHelp))
        ->required()
        ->check(CLI::IsMember({"on", "off"}));
    option->add_option("--name", pagerName, said(CliText::OptionPagerNameHelp));

    CLI::App* verify = app.add_subcommand("verify", said(CliText::VerifyCommandHelp));
    verify->add_option("FILE", file, said(CliText::PagFileHelp))->required();
    verify->add_flag("--json", json, said(CliText::LinesJsonHelp));
    std::string second;
    CLI::App* diff = app.add_subcommand("diff", said(CliText::DiffCommandHelp));
    diff->add_option("A", file, said(CliText::DiffSideHelp))->required();
    diff->add_option("B", second, said(CliText::DiffSideHelp))->required();
    diff->add_flag("--json", json, said(CliText::LinesJsonHelp));
    CLI::App* backups = app.add_subcommand("backups", said(CliText::BackupsCommandHelp));
    std::optional<std::string> separator;
    CLI::App* exportCsv = app.add_subcommand("export", said(CliText::ExportCommandHelp));
    exportCsv->add_option("FILE", file, said(CliText::PagFileHelp))->required();
    exportCsv->add_option("OUT", second, said(CliText::ExportOutHelp))->required();
    exportCsv->add_option("--separator", separator, said(CliText::SeparatorHelp));
    CLI::App* importCsv = app.add_subcommand("import", said(CliText::ImportCommandHelp));
    importCsv->add_option("IN", file, said(CliText::ImportInHelp))->required();
    importCsv->add_option("OUT", second, said(CliText::WriteFileHelp))->required();
    bool importPartial = false;
    importCsv->add_flag("--partial", importPartial, said(CliText::ImportPartialHelp));

    CLI::App* clock = app.add_subcommand("clock", said(CliText::ClockCommandHelp));
    CLI::App* bootloader = app.add_subcommand("bootloader", said(CliText::BootloaderCommandHelp));

    const std::string globals = globalOptionsHelp(app);
    for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; })) {
        sub->footer(globals);
        sub->group(said(CliText::CommandsGroup));
        // Made before the group was set: the help flag is put into it too.
        sub->get_help_ptr()->group(said(CliText::OptionsGroup));
    }

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (app.get_subcommands().empty() && e.get_exit_code() != static_cast<int>(CLI::ExitCodes::Success)) {
            // No command was recognised: say which ones there are.
            if (const std::optional<std::string> word = commandWord(argc, argv))
                complain(env) << said(CliText::UnknownCommand, {*word}) << '\n';
            else if (dynamic_cast<const CLI::RequiredError*>(&e))
                complain(env) << said(CliText::NoCommandGiven) << '\n';
            else
                complain(env) << parseErrorText(e) << '\n';
            env.err << said(CliText::CommandList, {commandNames(app), Program}) << '\n';
            return exitcode::BadInput;
        }
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return app.exit(e, env.out, env.err);  // --help, --version
        const std::vector<CLI::App*> given = app.get_subcommands();
        complain(env) << said(CliText::SeeHelp,
                              {parseErrorText(e),
                               std::string(Program) + (given.empty() ? "" : " " + given.front()->get_name())})
                      << '\n';
        return exitcode::BadInput;
    }

    // The names of a series, each checked before any port is opened.
    if (write->parsed() && writeOptions.each) {
        std::string why;
        if (!namesFile.empty()) {
            const std::optional<std::string> bytes = readInput(env, namesFile);
            if (!bytes)
                return exitcode::BadInput;
            std::optional<SeriesNaming> list = SeriesNaming::list(*bytes, why);
            if (!list) {
                complain(env) << said(CliText::NamesNotTaken, {namesFile, why}) << '\n';
                return exitcode::BadInput;
            }
            writeOptions.series.naming = *list;
        } else if (pattern->count() > 0) {
            std::optional<SeriesNaming> made = SeriesNaming::pattern(namePattern, firstNumber, why);
            if (!made) {
                complain(env) << said(CliText::PatternNotTaken, {why}) << '\n';
                return exitcode::BadInput;
            }
            writeOptions.series.naming = *made;
        } else if (keepName) {
            writeOptions.series.naming = SeriesNaming::keepOwn();
        }
    }
    writeOptions.series.live = series.live = env.errTakesCursorMoves && !trace;

    // The port table: the ports asked for or those of the system.
    PortTable table = portPaths.empty() ? env.systemPorts() : PortTable::fromPaths(portPaths);
    if (simulate) {
        const std::optional<std::string> device = env.startSimulator ? env.startSimulator() : std::nullopt;
        if (!device) {
            complain(env) << said(CliText::SimulatorNotStarted) << '\n';
            return exitcode::DeviceFailed;
        }
        table = table.withSimulatedPager(*device);
    }

    if (ports->parsed())
        return outputWritten(env, listPorts(env, table));
    if (backups->parsed())
        return outputWritten(env, backupsCommand(env));
    if (exportCsv->parsed())
        return outputWritten(env, exportCommand(env, file, second, separator));
    if (sheet->parsed())
        return outputWritten(env, sheetCommand(env, file, sheetOut));
    if (importCsv->parsed())
        return importCommand(env, file, second, importPartial);

    std::optional<TracingBackend> tracer;
    if (trace)
        tracer.emplace(env.backend, env.clock, env.err);
    SerialBackend& backend = tracer ? static_cast<SerialBackend&>(*tracer) : env.backend;
    Session session(env, backend, table);
    session.acceptStopRequests();
    // A series ends after the pager at hand on Ctrl-C (env.interrupted);
    // a stop request ends it too.
    const std::function<bool()> outer = env.interrupted;
    env.interrupted = [outer] { return stopRequested.load() || (outer && outer()); };
    if (!noBackup)
        session.pagerSession.setBackupFolder(env.backupFolder);
    if (careful)
        session.pagerSession.setReading(Reading::Careful);

    if (search->parsed())
        return outputWritten(env, searchCommand(env, session));
    if (read->parsed())
        return outputWritten(env, each ? readEachCommand(env, session, file, series) : readCommand(env, session, file));
    if (write->parsed())
        return outputWritten(env, writeCommand(env, session, file, writeOptions));
    if (verify->parsed())
        return outputWritten(env, verifyCommand(env, session, file, json));
    if (diff->parsed())
        return outputWritten(env, diffCommand(env, session, file, second, json));
    if (show->parsed())
        return outputWritten(env, showCommand(env, file, json));
    if (learn->parsed())
        return learnCommand(env, session, slot, file);
    if (option->parsed())
        return optionCommand(env, session, optionName, optionState == "on", pagerName);
    if (clock->parsed())
        return clockCommand(env, session);
    if (bootloader->parsed())
        return bootloaderCommand(env, session);
    return exitcode::BadInput;
}

}  // namespace harvelin
