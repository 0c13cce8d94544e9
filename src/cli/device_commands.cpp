// The commands on one pager: the port list, the search, read, write, show,
// the printable sheet, learn, the option switches, the repeater's clock and
// the boot loader.
#include <cstdio>
#include <cstdlib>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <system_error>

#include "cli/commands.h"
#include "cli/configuration_report.h"
#include "cli/session.h"
#include "files/configuration_json.h"
#include "files/configuration_sheet.h"
#include "files/pager_data_file.h"
#include "link/port_problem.h"
#include "model/configuration_rule.h"
#include "model/option_switches.h"
#include "model/win1252.h"
#include "transfer/messages.h"

namespace harvelin::cli {

namespace {

// Where an incomplete read-out is kept: beside FILE, ".partial" before its
// extension ("kueche.pag" -> "kueche.partial.pag").
std::string partialPath(const std::string& path)
{
    const std::size_t name = path.find_last_of("/\\") + 1;
    const std::size_t dot = path.rfind('.');
    if (dot == std::string::npos || dot <= name)
        return path + ".partial";
    return path.substr(0, dot) + ".partial" + path.substr(dot);
}

// The exit status of a short action: after its messages, Success when the
// pager confirmed it, else a note of what a stop may have left, or of the
// failure.
int confirmedStatus(CliEnvironment& env, Session& session, const Confirmation& outcome, const std::string& ifStopped,
                    const std::string& ifFailed)
{
    session.tellAll(outcome.messages);
    if (outcome.confirmed)
        return exitcode::Success;
    return outcome.stopped ? interrupted(env, session, ifStopped) : failed(env, ifFailed);
}

// The foot of the sheet of `file`, made now: local time. A build or a test
// that must make the same bytes each time fixes the moment with
// SOURCE_DATE_EPOCH (seconds since 1970), which is shown in UTC.
SheetSource sheetSourceNow(const std::string& file)
{
    std::time_t when = std::time(nullptr);
    bool fixed = false;
    if (const char* epoch = std::getenv("SOURCE_DATE_EPOCH"); epoch && *epoch) {
        char* end = nullptr;
        const long long seconds = std::strtoll(epoch, &end, 10);
        if (*end == '\0' && seconds >= 0) {
            when = static_cast<std::time_t>(seconds);
            fixed = true;
        }
    }
    return sheetSource(file, when, fixed);
}

struct OptionSwitch {
    const char* name;
    OptionSwitchTexts texts;
};
constexpr OptionSwitch OptionSwitches[] = {
    {"battery", BatterySwitch},
    {"buzzer", BuzzerSwitch},
    {"remote-delete", RemoteDeleteSwitch},
};

}  // namespace

// Each port with whether it can be opened now: tried, and closed again at once.
int listPorts(CliEnvironment& env, const PortTable& ports)
{
    if (ports.size() == 0)
        complain(env) << said(CliText::NoSerialPort) << '\n';
    for (const PortEntry& e : ports.entries()) {
        const bool opens = env.backend.open(e.deviceName) != nullptr;
        env.out << e.number << ' ' << e.deviceName << "  "
                << (opens ? "ok" : portStatusText(env.backend.lastOpenProblem()));
        if (!e.description.empty())
            env.out << "  " << win1252ToUtf8(e.description);
        env.out << '\n';
    }
    return exitcode::Success;
}

int searchCommand(CliEnvironment& env, Session& session)
{
    if (const int status = findPager(env, session, said(CliText::SearchNotFinished)); status != exitcode::Success)
        return status;
    env.out << session.pagerSession.pager().portNumber << ' ' << session.pagerSession.pager().port.deviceName << '\n';
    return exitcode::Success;
}

int readCommand(CliEnvironment& env, Session& session, const std::string& file)
{
    const std::string partial = partialPath(file);
    if (!fileCanBeSaved(env, file) || !fileCanBeSaved(env, partial, FileNaming::MadeUp))
        return exitcode::BadInput;
    if (const int status = findPager(env, session, fileLeftAsItWas(file)); status != exitcode::Success)
        return status;
    const ReadOutOutcome outcome = session.read();
    if (outcome.stopped)
        return interrupted(env, session, fileLeftAsItWas(file));
    if (outcome.replaced)
        return saveFile(env, file, session.configuration()) ? exitcode::Success : exitcode::BadInput;
    const ReadOutResult& result = outcome.result;
    if (!result.worthKeeping())
        return failed(env, said(CliText::NothingRead, {file}));
    // Only a complete read-out replaces FILE; what an incomplete one got is
    // kept beside it.
    SaveOptions options;
    options.naming = FileNaming::MadeUp;
    options.only = result.savedLines();
    if (std::string error; !PagerDataFile::save(partial, result.read, error, options)) {
        fileNotSaved(env, partial, error);
        return exitcode::BadInput;
    }
    // The form's message has told that the read-out was incomplete.
    return failed(env, said(CliText::PartialReadOutKept, {partial, file}));
}


int writeCommand(CliEnvironment& env, Session& session, const std::string& file, const WriteOptions& options)
{
    // A file that lacks lines would fill the gaps with the form's start
    // values; that is written only when asked for.
    FileCoverage coverage;
    PagerConfiguration opened = startConfiguration();
    if (!openFile(env, file, opened, &coverage))
        return exitcode::BadInput;
    if (!options.partial && !coverage.complete()) {
        complain(env) << said(CliText::IncompleteFile, {file, coverage.missing()}) << '\n';
        return exitcode::BadInput;
    }
    if (options.backup && session.pagerSession.backupFolder().empty()) {
        complain(env) << said(CliText::BackupNeedsFolder) << '\n';
        return exitcode::BadInput;
    }
    if (options.each) {
        SeriesOptions series = options.series;
        series.verify = options.verify;
        return writeEachCommand(env, session, file, series, options.backup);
    }
    const std::string untouched = said(CliText::NothingWrittenToPager);
    if (options.backup) {
        const int status = keepBackupBeforeWrite(env, session);
        if (status == exitcode::Interrupted)
            complain(env) << said(CliText::InterruptedLeaving, {untouched}) << '\n';
        if (status != exitcode::Success)
            return status;
    }
    if (const int status = findPager(env, session, untouched); status != exitcode::Success)
        return status;
    // The file is read again: it may have changed since it was checked.
    if (!openFile(env, file, session.configuration()))
        return exitcode::BadInput;
    const WriteReport report = writeHeldConfiguration(env, session, options.verify);
    const WriteEnd end = report.end;
    if (end == WriteEnd::Differs || (options.json && end == WriteEnd::Written && options.verify))
        printDifferences(env.out, report.differences, side::File, side::Pager, options.json);
    switch (end) {
    case WriteEnd::Interrupted:
        complain(env) << said(CliText::InterruptedLeaving, {report.leftByStop()}) << '\n';
        break;
    case WriteEnd::ReadBackIncomplete: complain(env) << said(CliText::ReadBackIncomplete) << '\n'; break;
    case WriteEnd::Differs: complain(env) << said(CliText::PagerDiffersFromWrite) << '\n'; break;
    default: break;  // the form's message has said it
    }
    return exitStatusOf(end);
}

int showCommand(CliEnvironment& env, const std::string& file, bool json)
{
    PagerConfiguration shown = startConfiguration();
    if (!openFile(env, file, shown))
        return exitcode::BadInput;
    env.out << (json ? configurationJson(shown) : configurationText(shown));
    return exitcode::Success;
}

int sheetCommand(CliEnvironment& env, const std::string& file, const std::string& out)
{
    PagerConfiguration shown = startConfiguration();
    if (!openFile(env, file, shown))
        return exitcode::BadInput;
    const std::string page = configurationSheet(shown, sheetSourceNow(file));
    return writeOutput(env, out, page) ? exitcode::Success : exitcode::OutputFailed;
}

int learnCommand(CliEnvironment& env, Session& session, int slot, const std::string& file)
{
    std::error_code ec;
    const bool exists = std::filesystem::exists(nativePath(file), ec);
    PagerConfiguration checked = startConfiguration();
    if (exists && !openFile(env, file, checked))
        return exitcode::BadInput;
    if (!fileCanBeSaved(env, file))
        return exitcode::BadInput;
    const std::string leftAsItWas = fileLeftAsItWas(file);
    if (const int status = findPager(env, session, leftAsItWas); status != exitcode::Success)
        return status;
    // The file is read again: it may have changed while the pager was sought.
    if (exists && !openFile(env, file, session.configuration()))
        return exitcode::BadInput;
    const bool learning = session.startLearn(slot);
    if (session.stopped())
        return interrupted(env, session, leftAsItWas);
    if (!learning)
        return failed(env, said(CliText::LearnNotTakenUp));
    complain(env) << said(CliText::LearnModeForSlot, {std::to_string(slot)}) << '\n' << std::flush;
    const LearnEnd end = session.runLearnWindow();
    if (session.stopped())
        return interrupted(env, session, leftAsItWas);
    if (!end.ended)
        return failed(env, said(CliText::LearnWindowNotEnded));
    const bool left = end.exit == LearnModeExit::Confirmed;
    if (!end.stored)
        return failed(env, said(left ? CliText::NothingLearned : CliText::LeaveUnconfirmedNothingLearned, {file}));
    if (!saveFile(env, file, session.configuration()))
        return exitcode::BadInput;
    // The identity is saved all the same; the pager may still be listening.
    if (!left)
        return failed(env, said(CliText::MayStillLearn));
    return exitcode::Success;
}

int optionCommand(CliEnvironment& env, Session& session, const std::string& option, bool on,
                  const std::optional<std::string>& name)
{
    OptionSwitchTexts texts = OptionSwitches[0].texts;
    for (const OptionSwitch& s : OptionSwitches)
        if (option == s.name)
            texts = s.texts;
    std::optional<std::string> pagerName;
    if (name) {
        pagerName = utf8ToWin1252(*name);
        if (!pagerName) {
            complain(env) << said(CliText::PagerNameTooLong, {std::to_string(PagerNameMax)}) << '\n';
            return exitcode::BadInput;
        }
        if (const auto problem = checkText(Field::PagerName, *pagerName)) {
            complain(env) << "--name: " << win1252ToUtf8(describe(*problem)) << '\n';
            return exitcode::BadInput;
        }
    }
    const std::string leftAsItWas = said(CliText::OptionLeft);
    if (const int status = findPager(env, session, leftAsItWas); status != exitcode::Success)
        return status;
    // The switch carries the pager's name, the form's start value unless
    // one is given.
    return confirmedStatus(
        env, session,
        session.pagerSession.switchOption(session, texts, on, pagerName.value_or(session.configuration().pagerName)),
        said(CliText::SwitchMayNotBeTaken), said(CliText::SwitchNotConfirmed));
}

int clockCommand(CliEnvironment& env, Session& session)
{
    if (const int status = findPager(env, session, said(CliText::ClockLeft));
        status != exitcode::Success)
        return status;
    // The form offers the clock only when the repeater reported it.
    if (!session.pagerSession.pager().repeaterReported)
        return failed(env, said(CliText::NoRepeaterClock));
    return confirmedStatus(env, session, session.pagerSession.setRepeaterClock(session),
                           said(CliText::ClockMayNotBeTaken), said(CliText::ClockNotConfirmed));
}

int bootloaderCommand(CliEnvironment& env, Session& session)
{
    if (const int status = findPager(env, session, said(CliText::BootloaderNotStarted)); status != exitcode::Success)
        return status;
    return confirmedStatus(env, session, session.pagerSession.startBootloader(session),
                           said(CliText::BootloaderMayNotHaveStarted), said(CliText::BootloaderNotConfirmed));
}

}  // namespace harvelin::cli
