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
        return failed(env, said(CliText::BackupReadIncomplete));
    if (reader.lastBackupPath.empty()) {
        complain(env) << said(CliText::NoWriteWithoutBackup) << '\n';
        return exitcode::BadInput;
    }
    complain(env) << said(CliText::BackupKeptIn, {reader.lastBackupPath}) << '\n';
    return exitcode::Success;
}

int backupsCommand(CliEnvironment& env)
{
    if (env.backupFolder.empty()) {
        complain(env) << said(CliText::NoBackupFolder) << '\n';
        return exitcode::BadInput;
    }
    const std::vector<BackupFolder::Entry> backups = BackupFolder(env.backupFolder).list();
    if (backups.empty())
        complain(env) << said(CliText::NoBackupsIn, {env.backupFolder}) << '\n';
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

// A stop before anything was sent.
PagerResult notWrittenInterrupted()
{
    return PagerResult::failure(said(CliText::ResultInterrupted, {said(CliText::NothingWrittenToPager)}),
                                exitcode::Interrupted);
}

std::string failedBecause(CliText why) { return said(CliText::ResultFailed, {said(why)}); }

// Writes `file` into the pager at hand: after its backup, with its name,
// read back when asked.
PagerResult writeOne(SeriesPager& at, const PagerConfiguration& file, const SeriesOptions& options,
                     bool backup)
{
    Session& pager = at.session;
    if (backup) {
        at.step(said(CliText::StepKeepingBackup));
        // The backup's own session opens the port; this one lets go of it.
        pager.stop();
        const int status = keepBackupBeforeWrite(at.env, pager);
        if (status == exitcode::Interrupted)
            return notWrittenInterrupted();
        if (status != exitcode::Success)
            // A backup folder that cannot be written fails every pager alike.
            return PagerResult::failure(failedBecause(CliText::NoBackupNotWritten),
                                        status == exitcode::BadInput ? exitcode::BadInput : exitcode::Success);
        const bool found = pager.search();
        if (pager.stopped()) {
            stopNow(pager);
            return notWrittenInterrupted();
        }
        if (!found)
            return PagerResult::failure(failedBecause(CliText::GoneAfterBackup));
    }
    PagerConfiguration config = file;
    if (at.name) {
        config.pagerName = *at.name;
    } else if (options.naming.kind() == SeriesNaming::Kind::KeepOwn) {
        at.step(said(CliText::StepReadingName));
        const NameReadOutcome own = pager.pagerSession.readName(pager);
        if (own.stopped) {
            stopNow(pager);
            return notWrittenInterrupted();
        }
        if (!own.name)
            return PagerResult::failure(failedBecause(CliText::NameNotRead));
        config.pagerName = *own.name;
    }
    pager.configuration() = config;
    at.named(config.pagerName);
    at.step(said(options.verify ? CliText::StepWritingReadingBack : CliText::StepWriting));
    // Standard output keeps one line per pager; the differences go with
    // the form's messages, under the port's name.
    const WriteReport report = writeHeldConfiguration(at.env, pager, options.verify);
    printDifferences(at.env.err, report.differences, side::File, side::Pager, false);
    PagerResult result;
    result.differences = differingFields(report.differences);
    result.name = config.pagerName;
    const std::string partly = said(report.sentSlots ? CliText::PartlyWrittenPlugAgain : CliText::NotWritten);
    const auto failure = [](const std::string& why) { return said(CliText::ResultFailed, {why}); };
    switch (report.end) {
    case WriteEnd::Written:
        result.ok = true;
        result.result = said(options.verify ? CliText::ResultOkVerified : CliText::ResultOk);
        break;
    case WriteEnd::Interrupted:
        result.result = said(CliText::ResultInterrupted, {report.leftByStop()});
        result.ends = exitcode::Interrupted;
        break;
    case WriteEnd::NotAcknowledged: result.result = failure(said(CliText::WriteNotAcknowledged, {partly})); break;
    case WriteEnd::ReadBackIncomplete: result.result = failedBecause(CliText::ReadBackWasIncomplete); break;
    case WriteEnd::Differs:
        result.result = failure(said(CliText::PagerDiffersAt, {differingPlaces(report.differences)}));
        break;
    case WriteEnd::SlotsLeftOut:
        result.result =
            failure(smallPagerNote(report.callerSlots, said(CliText::NotWritten)));
        break;
    case WriteEnd::Refused:
        result.result = failedBecause(CliText::ConfigurationRefused);
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
    SeriesSettings settings{options.log, options.naming, options.count, options.live, said(CliText::DoneWritten)};
    return runSeries(env, session, settings, [&](SeriesPager& at) { return writeOne(at, *config, options, backup); });
}

int readEachCommand(CliEnvironment& env, Session& session, const std::string& folder, const SeriesOptions& options)
{
    std::error_code ec;
    std::filesystem::create_directories(nativePath(folder), ec);
    if (ec || !std::filesystem::is_directory(nativePath(folder), ec)) {
        complain(env) << said(CliText::FolderUnusable, {folder}) << '\n';
        return exitcode::BadInput;
    }
    SeriesSettings settings{options.log, {}, options.count, options.live, said(CliText::DoneRead)};
    return runSeries(env, session, settings, [&](SeriesPager& at) -> PagerResult {
        Session& pager = at.session;
        at.step(said(CliText::StepReading));
        const ReadOutOutcome read = pager.read();
        if (read.stopped) {
            stopNow(pager);
            return PagerResult::failure(said(CliText::ResultInterrupted, {said(CliText::NothingKept)}),
                                        exitcode::Interrupted);
        }
        if (!read.replaced)
            return PagerResult::failure(failedBecause(CliText::ReadOutIncompleteNothingSaved));
        // The name is made up as the backups' are, and as theirs it is never
        // written through a link; two ports never take one name.
        const std::string name = pager.configuration().pagerName;
        at.named(name);
        std::string path;
        std::string error;
        if (!BackupFolder::saveUnderFreeName(folder, BackupFolder::fileName(name, std::time(nullptr)),
                                             pager.configuration(), {}, path, error)) {
            fileNotSaved(at.env, path, error);
            return PagerResult::failure(failedBecause(CliText::ReadOutNotSaved), exitcode::Success, name);
        }
        const std::u8string saved = nativePath(path).filename().u8string();
        PagerResult kept;
        kept.ok = true;
        kept.result = said(CliText::ResultOkFile, {std::string(saved.begin(), saved.end())});
        kept.name = name;
        return kept;
    });
}

}  // namespace harvelin::cli
