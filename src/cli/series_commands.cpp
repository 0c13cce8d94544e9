#include <cstdio>
#include <ctime>
#include <filesystem>
#include <fstream>
#include <functional>
#include <string>
#include <system_error>

#include "cli/technician.h"
#include "files/backups.h"
#include "files/configuration_csv.h"
#include "transfer/reply_parsing.h"
#include "transfer/transfer_steps.h"

namespace harvelin::cli {

namespace {

// How often the series looks for a pager coming or going, and how soon it
// notices Ctrl-C meanwhile.
constexpr unsigned ProbeIntervalMs = 1000;
constexpr unsigned StopCheckMs = 100;
constexpr int VersionQueries = 4;
constexpr int RemovalMisses = 2;

bool stopRequested(CliEnvironment& env) { return env.interrupted && env.interrupted(); }

// The version the pager names, for the result line; "?" when it names none.
std::string pagerVersion(Session& session)
{
    for (int i = 0; i < VersionQueries; ++i) {
        std::string reply;
        std::uint8_t length = 0;
        if (!session.dialog.link.exchange(std::string(transfer::VersionCommand), reply, length))
            continue;
        if (const auto version = transfer::versionFromReply(std::string_view(reply).substr(0, length))) {
            char text[16];
            std::snprintf(text, sizeof text, "%g", *version);
            return text;
        }
    }
    return "?";
}

// What one pager of the series came to.
struct Outcome {
    bool ok = false;
    std::string result;  // "ok", "ok NAME.pag", "failed: ..."
};

// Waits for pager after pager and serves each in a form of its own, so
// nothing of one pager carries over to the next.
class Series {
public:
    Series(CliEnvironment& env, Session& probe, const SeriesOptions& options)
        : env_(env), probe_(probe), options_(options)
    {
    }

    // The log is opened before any pager is touched; false after a message.
    bool openLog()
    {
        if (options_.log.empty())
            return true;
        std::error_code ec;
        const bool fresh = !std::filesystem::exists(nativePath(options_.log), ec) ||
                           std::filesystem::file_size(nativePath(options_.log), ec) == 0;
        log_.open(nativePath(options_.log), std::ios::binary | std::ios::app);
        if (!log_) {
            complain(env_) << "cannot write the log " << options_.log << '\n';
            return false;
        }
        separator_ = csvSeparatorFor(env_, std::nullopt);
        if (fresh)
            logLine({"time", "port", "version", "result"});
        return true;
    }

    using Serve = std::function<Outcome(Session& pager)>;

    int run(const Serve& serve)
    {
        const std::size_t ports = probe_.dialog.link.ports().size();
        complain(env_) << "waiting for pagers on " << ports << " port(s); Ctrl-C ends the series\n" << std::flush;
        while (waitFor(true)) {
            serveOne(serve);
            if (!waitFor(false))
                break;
            complain(env_) << "the pager is gone; waiting for the next one\n" << std::flush;
        }
        complain(env_) << served_ << " pager(s), " << failed_ << " failed\n";
        return failed_ == 0 ? exitcode::Success : exitcode::DeviceFailed;
    }

private:
    // The pager's form closes its port before the probe looks again.
    void serveOne(const Serve& serve)
    {
        Session pager(env_, probe_.lineBackend, probe_.dialog.link.ports());
        pager.dialog.backupFolder = probe_.dialog.backupFolder;
        pager.dialog.backupFailureShown = backupFailureShown_;
        if (!pager.search())
            return;  // gone again before it could be served
        const std::string port = pager.dialog.link.ports().entry(pager.dialog.link.portNumber)->deviceName;
        const std::string version = pagerVersion(pager);
        const Outcome outcome = serve(pager);
        backupFailureShown_ = pager.dialog.backupFailureShown;
        ++served_;
        if (!outcome.ok)
            ++failed_;
        const std::string time = BackupFolder::shownTime(std::time(nullptr));
        env_.out << time << "  " << port << "  " << version << "  " << outcome.result << '\n' << std::flush;
        logLine({time, port, version, outcome.result});
    }

    // Until the probe finds a pager (present) or finds none; false when the
    // user ends the series meanwhile. A pager counts as gone only when it
    // misses two probes in a row: a busy one may miss a single probe.
    bool waitFor(bool present)
    {
        for (int misses = 0;;) {
            if (stopRequested(env_))
                return false;
            probe_.quiet = true;
            const bool found = probe_.search();
            probe_.quiet = false;
            // The pager's own form opens the port itself.
            probe_.dialog.link.close();
            misses = found ? 0 : misses + 1;
            if (present ? found : misses == RemovalMisses)
                return true;
            for (unsigned waited = 0; waited < ProbeIntervalMs; waited += StopCheckMs) {
                if (stopRequested(env_))
                    return false;
                env_.clock.sleepMs(StopCheckMs);
            }
        }
    }

    void logLine(std::initializer_list<std::string> cells)
    {
        if (!log_.is_open())
            return;
        std::string line;
        for (const std::string& cell : cells)
            line += (line.empty() ? "" : std::string(1, separator_)) + csv::field(cell, separator_);
        log_ << line << "\r\n" << std::flush;
    }

    CliEnvironment& env_;
    Session& probe_;
    const SeriesOptions& options_;
    std::ofstream log_;
    char separator_ = ',';
    bool backupFailureShown_ = false;
    int served_ = 0;
    int failed_ = 0;
};

}  // namespace

int keepBackupBeforeWrite(CliEnvironment& env, Session& session)
{
    if (session.dialog.backupFolder.empty()) {
        complain(env) << "--backup needs the backup folder, and there is none (no home folder, or --no-backup)\n";
        return exitcode::BadInput;
    }
    Session reader(env, session.lineBackend, session.dialog.link.ports());
    reader.dialog.backupFolder = session.dialog.backupFolder;
    reader.dialog.backupFailureShown = true;  // said below, in the command's words
    if (!reader.search())
        return noPager(env, reader);
    reader.press(ctl::ReadButton);
    if (!reader.dialog.lastReadOutComplete)
        return failed(env, "the pager could not be read completely for the backup; nothing was written");
    if (reader.dialog.lastBackupPath.empty())
        return failed(env, "the backup could not be kept in " + session.dialog.backupFolder + "; nothing was written");
    complain(env) << "the pager's configuration before the write is kept in " << reader.dialog.lastBackupPath
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

int writeEachCommand(CliEnvironment& env, Session& session, const std::string& file, const SeriesOptions& options,
                     bool backup)
{
    Series series(env, session, options);
    if (!series.openLog())
        return exitcode::BadInput;
    return series.run([&](Session& pager) -> Outcome {
        if (backup) {
            // The backup's own form opens the port; this one lets go of it.
            pager.dialog.link.close();
            if (keepBackupBeforeWrite(env, pager) != exitcode::Success)
                return {false, "failed: no backup, not written"};
            if (!pager.search())
                return {false, "failed: gone after the backup, not written"};
        }
        pager.answerFileDialog(file);
        pager.press(ctl::OpenFileButton);
        if (!pager.dialog.lastFileOk)
            return {false, "failed: the file could not be opened"};
        // Standard output keeps one line per pager; the differences go with
        // the form's messages.
        if (writeHeldConfiguration(env, pager, options.verify, env.err) == exitcode::Success)
            return {true, options.verify ? "ok, verified" : "ok"};
        if (!pager.dialog.lastWriteSucceeded)
            return {false, "failed: the write was not acknowledged"};
        if (pager.dialog.lastWriteLeftSlotsOut)
            return {false, "failed: the pager has only 16 slots; slots 17 to 32 and the kitchen calls were not written"};
        if (!pager.dialog.lastReadOutComplete)
            return {false, "failed: the read-back was incomplete"};
        return {false, "failed: the pager does not hold what was written"};
    });
}

int readEachCommand(CliEnvironment& env, Session& session, const std::string& folder, const SeriesOptions& options)
{
    std::error_code ec;
    std::filesystem::create_directories(nativePath(folder), ec);
    if (ec || !std::filesystem::is_directory(nativePath(folder), ec)) {
        complain(env) << "cannot use the folder " << folder << '\n';
        return exitcode::BadInput;
    }
    Series series(env, session, options);
    if (!series.openLog())
        return exitcode::BadInput;
    return series.run([&](Session& pager) -> Outcome {
        pager.press(ctl::ReadButton);
        if (!pager.dialog.lastReadOutComplete)
            return {false, "failed: the read-out was incomplete, nothing saved in the folder"};
        // The name is made up as the backups' are, and as theirs it is never
        // written through a link.
        const std::string path =
            BackupFolder::freePath(folder, BackupFolder::fileName(pager.dialog.pagerName, std::time(nullptr)));
        SaveOptions madeUp;
        madeUp.naming = FileNaming::MadeUp;
        if (std::string error; !PagerDataFile::save(path, pager.configuration(), error, madeUp)) {
            cannotSave(env, path, error);
            return {false, "failed: " + path + " could not be saved"};
        }
        const std::u8string name = nativePath(path).filename().u8string();
        return {true, "ok " + std::string(name.begin(), name.end())};
    });
}

}  // namespace harvelin::cli
