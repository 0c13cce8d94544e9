#include <algorithm>
#include <ctime>
#include <filesystem>
#include <string>
#include <system_error>
#include <vector>

#include "cli/commands.h"
#include "cli/series.h"
#include "files/backups.h"
#include "files/configuration_diff.h"

namespace harvelin::cli {

int keepBackupBeforeWrite(CliEnvironment& env, Session& session)
{
    Session reader(env, session.lineBackend, session.pagerSession.ports());
    reader.pagerSession.setBackupFolder(session.pagerSession.backupFolder());
    reader.pagerSession.setReading(session.pagerSession.reading());
    // A folder that cannot be written is named by the form's message, with
    // the system's reason, once.
    reader.pagerSession.setBackupFailureTold(session.pagerSession.backupFailureTold());
    reader.whileBusy = session.whileBusy;
    reader.acceptStopRequests();
    // The caller says what a stop left undone.
    if (const int status = findPager(env, reader, {}); status != exitcode::Success)
        return status;
    const ReadOutOutcome read = reader.read();
    session.pagerSession.setBackupFailureTold(reader.pagerSession.backupFailureTold());
    if (read.stopped)
        return stopNow(reader);
    if (!read.replaced)
        return failed(env, "the pager could not be read completely for the backup; nothing was written");
    if (reader.lastBackupPath.empty()) {
        complain(env) << "without the backup nothing was written to the pager\n";
        return exitcode::BadInput;
    }
    complain(env) << "the pager's configuration before the write is kept in " << reader.lastBackupPath
                  << '\n';
    return exitcode::Success;
}

int backupsCommand(CliEnvironment& env)
{
    if (env.backupFolder.empty()) {
        complain(env) << "there is no backup folder: neither XDG_DATA_HOME nor HOME is set\n";
        return exitcode::BadInput;
    }
    const std::vector<BackupFolder::Entry> backups = BackupFolder(env.backupFolder).list();
    if (backups.empty())
        complain(env) << "no backups in " << env.backupFolder << '\n';
    for (const BackupFolder::Entry& b : backups)
        env.out << BackupFolder::shownTime(b.when) << "  " << b.path << '\n';
    return exitcode::Success;
}

namespace {

// The fields that differ, for the log: "Platz 6: Meldetext; Pager-Name".
std::string differingFields(const std::vector<ConfigurationDifference>& differences)
{
    std::string fields;
    for (const ConfigurationDifference& d : differences)
        fields += (fields.empty() ? "" : "; ") + win1252ToUtf8(d.place.empty() ? d.field : d.place + ": " + d.field);
    return fields;
}

// The places that differ, each once, for the result line: "Platz 6, Pager-Name".
std::string differingPlaces(const std::vector<ConfigurationDifference>& differences)
{
    std::vector<std::string> places;
    for (const ConfigurationDifference& d : differences) {
        const std::string place = win1252ToUtf8(d.place.empty() ? d.field : d.place);
        if (std::find(places.begin(), places.end(), place) == places.end())
            places.push_back(place);
    }
    std::string text;
    for (const std::string& p : places)
        text += (text.empty() ? "" : ", ") + p;
    return text;
}

const PagerResult NotWrittenInterrupted =
    PagerResult::failure("interrupted: nothing was written to the pager", exitcode::Interrupted);

// Writes `file` into the pager at hand: after its backup, with its name,
// read back when asked.
PagerResult writeOne(SeriesPager& at, const PagerConfiguration& file, const SeriesOptions& options,
                     bool backup)
{
    Session& pager = at.session;
    if (backup) {
        at.step("keeping a backup");
        // The backup's own session opens the port; this one lets go of it.
        pager.stop();
        const int status = keepBackupBeforeWrite(at.env, pager);
        if (status == exitcode::Interrupted)
            return NotWrittenInterrupted;
        if (status != exitcode::Success)
            // A backup folder that cannot be written fails every pager alike.
            return PagerResult::failure("failed: no backup, not written",
                                        status == exitcode::BadInput ? exitcode::BadInput : exitcode::Success);
        const bool found = pager.search();
        if (pager.stopped()) {
            stopNow(pager);
            return NotWrittenInterrupted;
        }
        if (!found)
            return PagerResult::failure("failed: gone after the backup, not written");
    }
    PagerConfiguration config = file;
    if (at.name) {
        config.pagerName = *at.name;
    } else if (options.naming.kind() == SeriesNaming::Kind::KeepOwn) {
        at.step("reading its name");
        const NameReadOutcome own = pager.pagerSession.readName(pager);
        if (own.stopped) {
            stopNow(pager);
            return NotWrittenInterrupted;
        }
        if (!own.name)
            return PagerResult::failure("failed: its name could not be read; not written");
        config.pagerName = *own.name;
    }
    pager.configuration() = config;
    at.named(config.pagerName);
    at.step(options.verify ? "writing and reading back" : "writing");
    // Standard output keeps one line per pager; the differences go with
    // the form's messages, under the port's name.
    const WriteReport report = writeHeldConfiguration(at.env, pager, options.verify);
    printDifferences(at.env.err, report.differences, side::File, side::Pager, false);
    PagerResult result;
    result.differences = differingFields(report.differences);
    result.name = config.pagerName;
    const std::string partly = report.sentSlots ? "partly written: plug it in again" : "not written";
    switch (report.end) {
    case WriteEnd::Written: result.ok = true; result.result = options.verify ? "ok, verified" : "ok"; break;
    case WriteEnd::Interrupted:
        result.result = "interrupted: " + report.leftByStop();
        result.ends = exitcode::Interrupted;
        break;
    case WriteEnd::NotAcknowledged: result.result = "failed: the write was not acknowledged; " + partly; break;
    case WriteEnd::ReadBackIncomplete: result.result = "failed: the read-back was incomplete"; break;
    case WriteEnd::Differs:
        result.result = "failed: the pager does not hold what was written (" + differingPlaces(report.differences) + ")";
        break;
    case WriteEnd::SlotsLeftOut:
        result.result = "failed: " + smallPagerNote(report.callerSlots, report.pagerLacks, "not written");
        break;
    case WriteEnd::Refused:
        result.result = "failed: the configuration holds what no pager can";
        result.ends = exitcode::BadInput;
        break;
    }
    return result;
}

}  // namespace

int writeEachCommand(CliEnvironment& env, Session& session, const std::string& file, const SeriesOptions& options,
                     bool backup)
{
    // The file is opened once, before any port is.
    const std::optional<PagerConfiguration> config = fileConfiguration(env, file);
    if (!config)
        return exitcode::BadInput;
    SeriesSettings settings{options.log, options.naming, options.count, options.live, "written"};
    return runSeries(env, session, settings, [&](SeriesPager& at) { return writeOne(at, *config, options, backup); });
}

int readEachCommand(CliEnvironment& env, Session& session, const std::string& folder, const SeriesOptions& options)
{
    std::error_code ec;
    std::filesystem::create_directories(nativePath(folder), ec);
    if (ec || !std::filesystem::is_directory(nativePath(folder), ec)) {
        complain(env) << "cannot use the folder " << folder << '\n';
        return exitcode::BadInput;
    }
    SeriesSettings settings{options.log, {}, options.count, options.live, "read"};
    return runSeries(env, session, settings, [&](SeriesPager& at) -> PagerResult {
        Session& pager = at.session;
        at.step("reading");
        const ReadOutOutcome read = pager.read();
        if (read.stopped) {
            stopNow(pager);
            return PagerResult::failure("interrupted: nothing kept", exitcode::Interrupted);
        }
        if (!read.replaced)
            return PagerResult::failure("failed: the read-out was incomplete, nothing saved in the folder");
        // The name is made up as the backups' are, and as theirs it is never
        // written through a link; two ports never take one name.
        const std::string name = pager.configuration().pagerName;
        at.named(name);
        std::string path;
        std::string error;
        if (!BackupFolder::saveUnderFreeName(folder, BackupFolder::fileName(name, std::time(nullptr)),
                                             pager.configuration(), {}, path, error)) {
            fileNotSaved(at.env, path, error);
            return PagerResult::failure("failed: the read-out could not be saved in the folder", exitcode::Success,
                                        name);
        }
        const std::u8string saved = nativePath(path).filename().u8string();
        PagerResult kept;
        kept.ok = true;
        kept.result = "ok " + std::string(saved.begin(), saved.end());
        kept.name = name;
        return kept;
    });
}

}  // namespace harvelin::cli
