#include "cli/cli.h"

#include <CLI/CLI.hpp>
#include <algorithm>
#include <cerrno>
#include <cstring>
#include <filesystem>
#include <memory>
#include <optional>
#include <string>
#include <system_error>
#include <vector>

#include "cli/configuration_report.h"
#include "files/configuration_json.h"
#include "cli/session.h"
#include "cli/commands.h"
#include "cli/trace_backend.h"
#include "files/pager_data_file.h"
#include "files/replacing_file.h"
#include "link/port_problem.h"
#include "model/build_info.h"
#include "model/configuration_rule.h"
#include "model/win1252.h"
#include "model/option_switches.h"
#include "transfer/messages.h"

namespace harvelin {

namespace {

using namespace cli;

constexpr int CallerSlotCount = static_cast<int>(CallerSlots);

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
    complain(env) << "cannot write the result to standard output: " << outputFailureReason(reason) << '\n';
    return exitcode::OutputFailed;
}

// The options given before the command, for every command's --help.
std::string globalOptionsHelp(const CLI::App& app)
{
    std::string text = "Global options (before or after the command):\n";
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

// The first word that is neither an option nor the value of --port: what the
// user meant as the command.
std::optional<std::string> commandWord(int argc, const char* const* argv)
{
    for (int i = 1; i < argc; ++i) {
        const std::string arg = argv[i];
        if (arg == "--port")
            ++i;
        else if (arg.empty() || arg[0] != '-')
            return arg;
    }
    return std::nullopt;
}

}  // namespace

std::string outputFailureReason(int errorNumber)
{
    return errorNumber != 0 ? std::strerror(errorNumber) : "it takes no more data";
}

int runCli(int argc, const char* const* argv, CliEnvironment& env)
{
    CLI::App app{"Configures the Zelvatron pager from the command line: the same steps as the form's buttons, "
                 "with the form's messages on standard error.",
                 Program};
    app.set_version_flag("--version", std::string(Program) + " " + versionText());
    app.require_subcommand(1);
    app.fallthrough();
    app.footer("Exit status: 0 success, 1 a device step failed, 2 bad usage or a file that cannot be read or "
               "written, 3 no pager found, 130 stopped by Ctrl-C or SIGTERM (learn mode left, port closed, no "
               "file written).");

    std::vector<std::string> portPaths;
    bool simulate = false;
    bool trace = false;
    app.add_option("--port", portPaths, "Serial device to search, repeatable; the first is port 1 "
                                        "(default: the serial ports of this system)")
        ->type_name("PATH")
        ->allow_extra_args(false);
    app.add_flag("--simulate", simulate, "Put the built-in simulated pager first into the port table");
    app.add_flag("--trace", trace, "Print every frame sent and every reply received on standard error");
    bool noBackup = false;
    app.add_flag("--no-backup", noBackup, "Keep no backup of this command's read-outs");

    CLI::App* ports =
        app.add_subcommand("ports", "List the port table: number, device, whether it opens now, description");
    CLI::App* search = app.add_subcommand("search", "Search the pager (\"Suche Zelvatron\") and print its port");

    std::string file;
    bool each = false;
    SeriesOptions series;
    CLI::App* read = app.add_subcommand("read", "Read the pager (\"Pager -> PC\") and save the configuration");
    read->add_option("FILE", file, "The .pag file to save (with --each: the folder)")->required();
    CLI::Option* readEach = read->add_flag(
        "--each", each,
        "Read pager after pager into the folder FILE, each named as the backups are, on every port at once, until "
        "Ctrl-C; plug the next pager into a port when \"the pager is gone\" is printed for it (about 6 s after the "
        "last one was taken off)");
    read->add_option("--log", series.log, "With --each: append every result line to this CSV file")->needs(readEach);
    read->add_option("--count", series.count, "With --each: end once N pagers are read well")
        ->type_name("N")
        ->check(CLI::Range(1u, 9999u))
        ->needs(readEach);
    bool careful = false;
    const char* carefulHelp = "On a noisy line: ask every slot and setting until two answers agree (at most 4 "
                              "times); a step that never agrees fails the read-out";
    read->add_flag("--careful", careful, carefulHelp);
    WriteOptions writeOptions;
    CLI::App* write = app.add_subcommand("write", "Open a .pag file and write it into the pager (\"PC -> Pager\")");
    write->add_option("FILE", file, "The .pag file to write")->required();
    CLI::Option* writeVerify =
        write->add_flag("--verify", writeOptions.verify, "Read the pager back and print every difference (exit 1)");
    CLI::Option* writeJson =
        write->add_flag("--json", writeOptions.json, "With --verify: the differences as one JSON object")
            ->needs(writeVerify);
    write->add_flag("--backup", writeOptions.backup, "Read the pager first and keep that as a backup");
    CLI::Option* writeEach =
        write->add_flag("--each", writeOptions.each,
                        "Write pager after pager on every port at once, until Ctrl-C. A pager must be off its port "
                        "for two probes (about 6 s) before the next is served there: plug in the next one when "
                        "\"the pager is gone\" is printed for the port");
    write->add_option("--log", writeOptions.series.log, "With --each: append every result line to this CSV file")
        ->needs(writeEach);
    writeJson->excludes(writeEach);
    std::string namesFile;
    std::string namePattern;
    unsigned firstNumber = 1;
    bool keepName = false;
    CLI::Option* names =
        write->add_option("--names", namesFile, "With --each: one pager name per line, given to the pagers in the "
                                                "order they are served; the series ends when every name is given")
            ->type_name("FILE")
            ->needs(writeEach);
    CLI::Option* pattern =
        write->add_option("--name-pattern", namePattern, "With --each: name each pager by its number, "
                                                         "e.g. \"Service {n:02}\" (Service 01, Service 02, ...)")
            ->type_name("TEXT")
            ->needs(writeEach)
            ->excludes(names);
    write->add_option("--first", firstNumber, "With --name-pattern: the first number (default 1)")
        ->type_name("N")
        ->check(CLI::Range(0u, 999999u))
        ->needs(pattern);
    write->add_flag("--keep-name", keepName, "With --each: every pager keeps the name it holds (read before the "
                                             "write; a pager whose name cannot be read is not written)")
        ->needs(writeEach)
        ->excludes(names)
        ->excludes(pattern);
    write->add_option("--count", writeOptions.series.count, "With --each: end once N pagers are written well")
        ->type_name("N")
        ->check(CLI::Range(1u, 9999u))
        ->needs(writeEach)
        ->excludes(names);
    write->add_flag("--careful", careful, std::string(carefulHelp) + "; for the read-backs of --verify and --backup");
    write->add_flag("--partial", writeOptions.partial, "Write a file that lacks some of a saved configuration's lines; "
                                          "the form's start values take their place");

    bool json = false;
    CLI::App* show = app.add_subcommand("show", "Print what a .pag file holds, as the form would show it");
    show->add_option("FILE", file, "The .pag file")->required();
    show->add_flag("--json", json, "One JSON object instead of a table");
    std::string sheetOut = "-";
    CLI::App* sheet = app.add_subcommand("sheet", "Make a printable sheet of a .pag file: one A4 page of HTML with "
                                                  "the settings and every slot that holds anything");
    sheet->add_option("FILE", file, "The .pag file")->required();
    sheet->add_option("-o,--output", sheetOut, "The HTML file to write, - for standard output (the default)")
        ->type_name("OUT");

    int slot = 0;
    CLI::App* learn = app.add_subcommand("learn", "Teach the pager a call button for a caller slot (\"Lernen\") "
                                                  "and save its identity into FILE");
    learn->add_option("SLOT", slot, "Caller slot 1..32")->required()->check(CLI::Range(1, CallerSlotCount));
    learn->add_option("FILE", file, "The .pag file to update (created when missing)")->required();

    std::string optionName;
    std::string optionState;
    std::optional<std::string> pagerName;
    CLI::App* option = app.add_subcommand("option", "Switch a pager option at once, as a click on its box does");
    option->add_option("OPTION", optionName, "battery, buzzer or remote-delete")
        ->required()
        ->check(CLI::IsMember({"battery", "buzzer", "remote-delete"}));
    option->add_option("STATE", optionState, "on or off")->required()->check(CLI::IsMember({"on", "off"}));
    option->add_option("--name", pagerName, "The pager's name, which the switch carries (default \"Pager:A\")");

    CLI::App* verify = app.add_subcommand("verify", "Compare the pager with a .pag file without writing; "
                                                    "exit 1 when they differ");
    verify->add_option("FILE", file, "The .pag file")->required();
    verify->add_flag("--json", json, "One JSON object instead of lines");
    std::string second;
    CLI::App* diff = app.add_subcommand("diff", "Compare two configurations, each a .pag file or \"pager\"; "
                                                "exit 1 when they differ");
    diff->add_option("A", file, "A .pag file, or pager")->required();
    diff->add_option("B", second, "A .pag file, or pager")->required();
    diff->add_flag("--json", json, "One JSON object instead of lines");
    CLI::App* backups = app.add_subcommand("backups", "List the backups of the read-outs, newest first");
    std::optional<std::string> separator;
    CLI::App* exportCsv = app.add_subcommand("export", "Write a .pag file's slots and settings as a CSV table");
    exportCsv->add_option("FILE", file, "The .pag file")->required();
    exportCsv->add_option("OUT", second, "The CSV file to write, - for standard output")->required();
    exportCsv->add_option("--separator", separator, "Field separator: , or ; or t for a tab (default: ; where "
                                                    "decimals take a comma, else ,)");
    CLI::App* importCsv = app.add_subcommand("import", "Make a .pag file from a CSV table or from show --json");
    importCsv->add_option("IN", file, "The CSV or JSON file (UTF-8, else read as Windows-1252)")->required();
    importCsv->add_option("OUT", second, "The .pag file to write")->required();
    bool importPartial = false;
    importCsv->add_flag("--partial", importPartial, "Import a table or JSON that lacks some slots or settings; "
                                                    "the form's start values take their place");

    CLI::App* clock = app.add_subcommand("clock", "Set the repeater's clock from this machine's clock "
                                                  "(\"Systemzeit -> Repeater\")");
    CLI::App* bootloader = app.add_subcommand("bootloader", "Tell the pager to start its boot loader");

    const std::string globals = globalOptionsHelp(app);
    for (CLI::App* sub : app.get_subcommands([](CLI::App*) { return true; }))
        sub->footer(globals);

    try {
        app.parse(argc, argv);
    } catch (const CLI::ParseError& e) {
        if (app.get_subcommands().empty() && e.get_exit_code() != static_cast<int>(CLI::ExitCodes::Success)) {
            // No command was recognised: say which ones there are.
            if (const std::optional<std::string> word = commandWord(argc, argv))
                complain(env) << "unknown command \"" << *word << "\"\n";
            else if (dynamic_cast<const CLI::RequiredError*>(&e))
                complain(env) << "no command given\n";
            else
                complain(env) << e.what() << '\n';
            env.err << "Commands: " << commandNames(app) << "\nRun " << Program << " --help for more.\n";
            return exitcode::BadInput;
        }
        if (e.get_exit_code() == static_cast<int>(CLI::ExitCodes::Success))
            return app.exit(e, env.out, env.err);  // --help, --version
        const std::vector<CLI::App*> given = app.get_subcommands();
        complain(env) << e.what() << " (see " << Program << (given.empty() ? "" : " " + given.front()->get_name())
                      << " --help)\n";
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
                complain(env) << namesFile << ": " << why << "; nothing was written\n";
                return exitcode::BadInput;
            }
            writeOptions.series.naming = *list;
        } else if (pattern->count() > 0) {
            std::optional<SeriesNaming> made = SeriesNaming::pattern(namePattern, firstNumber, why);
            if (!made) {
                complain(env) << why << "; nothing was written\n";
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
            complain(env) << "the simulated pager could not be started\n";
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
