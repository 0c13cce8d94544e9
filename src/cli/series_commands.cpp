#include <cerrno>
#include <cstring>
#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <string_view>
#include <system_error>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "cli/commands.h"
#include "files/backups.h"
#include "files/configuration_csv.h"
#include "model/configuration_rule.h"

namespace harvelin::cli {

namespace {

// How often the series looks for a pager coming or going, and how soon it
// notices Ctrl-C meanwhile.
constexpr unsigned ProbeIntervalMs = 1000;
constexpr unsigned StopCheckMs = 100;
constexpr int RemovalMisses = 2;

bool stopRequested(CliEnvironment& env) { return env.interrupted && env.interrupted(); }

// The version as the pager named it to the read-out or the write ("2.10"),
// for the result line and the log; "?" when it named none. It is the pager's
// own text, so it is shown as messages quote a value: control characters
// escaped, cut short when long.
std::string pagerVersion(const Session& session)
{
    const std::string& version = session.pagerSession.pager().versionText;
    return version.empty() ? "?" : win1252ToUtf8(shownInMessage(version, false));
}

// Why a file of this type takes no log lines; empty for a regular file.
std::string logRefusal(std::filesystem::file_type type)
{
    using std::filesystem::file_type;
    switch (type) {
    case file_type::regular: return {};
    case file_type::directory: return "it is a folder";
    case file_type::fifo: return "it is a FIFO, not a regular file";
    case file_type::character:
    case file_type::block: return "it is a device, not a regular file";
    default: return "it is not a regular file";
    }
}

// The series' CSV log: lines appended to a regular file, made when missing.
// Anything else is refused before it is opened: a FIFO would hold the series
// until something reads it, and a device such as /dev/full or a folder keeps
// no lines.
class SeriesLog {
public:
    SeriesLog() = default;
    SeriesLog(const SeriesLog&) = delete;
    SeriesLog& operator=(const SeriesLog&) = delete;
    ~SeriesLog()
    {
#ifdef _WIN32
        if (fd_ >= 0)
            ::_close(fd_);
#else
        if (fd_ >= 0)
            ::close(fd_);
#endif
    }

    // Empty when the log is open, else why not; `fresh` when it holds nothing yet.
    std::string open(const std::string& path, bool& fresh)
    {
        std::error_code ec;
        const std::filesystem::file_status status = std::filesystem::status(nativePath(path), ec);
        if (std::filesystem::exists(status))
            if (std::string why = logRefusal(status.type()); !why.empty())
                return why;
#ifdef _WIN32
        const int fd = ::_wopen(nativePath(path).c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY | _O_NOINHERIT,
                                _S_IREAD | _S_IWRITE);
        struct _stat64 st {};
        const bool stated = fd >= 0 && ::_fstat64(fd, &st) == 0;
        const bool regular = stated && (st.st_mode & _S_IFMT) == _S_IFREG;
#else
        // Not blocking, whatever the name has become since the look above.
        const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
        struct stat st {};
        const bool stated = fd >= 0 && ::fstat(fd, &st) == 0;
        const bool regular = stated && S_ISREG(st.st_mode);
#endif
        if (fd < 0)
            return std::strerror(errno);
        fd_ = fd;
        if (!stated)
            return std::strerror(errno);
        if (!regular)
            return "it is not a regular file";
        fresh = st.st_size == 0;
        return {};
    }

    bool isOpen() const { return fd_ >= 0; }

    // Empty when every byte reached the file, else the system's reason.
    std::string append(std::string_view bytes)
    {
        while (!bytes.empty()) {
#ifdef _WIN32
            const int n = ::_write(fd_, bytes.data(), static_cast<unsigned>(bytes.size()));
#else
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
#endif
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return std::strerror(n < 0 ? errno : EIO);
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return {};
    }

private:
    int fd_ = -1;
};

// What one pager of the series came to.
struct Outcome {
    bool ok = false;
    std::string result;  // "ok", "ok NAME.pag", "failed: ...", "interrupted: ..."
    // Not Success: the series ends after this pager with this status.
    int ends = exitcode::Success;
};

const Outcome NotWrittenInterrupted{false, "interrupted: nothing was written to the pager", exitcode::Interrupted};

// Waits for pager after pager and serves each in a session of its own, so
// nothing of one pager carries over to the next. The first Ctrl-C ends the
// series after the pager at hand; a stop request (a second Ctrl-C, SIGTERM)
// stops it at once.
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
        bool fresh = false;
        if (const std::string why = log_.open(options_.log, fresh); !why.empty()) {
            complain(env_) << "cannot write the log " << options_.log << ": " << why << '\n';
            return false;
        }
        separator_ = csvSeparatorFor(env_);
        if (fresh) {
            if (const std::string why = logLine({"time", "port", "version", "result"}); !why.empty()) {
                complain(env_) << "cannot write the log " << options_.log << ": " << why << '\n';
                return false;
            }
        }
        return true;
    }

    using Serve = std::function<Outcome(Session& pager)>;

    int run(const Serve& serve)
    {
        const std::size_t ports = probe_.pagerSession.ports().size();
        complain(env_) << "waiting for pagers on " << ports << " port(s); Ctrl-C ends the series\n" << std::flush;
        int ends = exitcode::Success;
        while (waitFor(true)) {
            ends = serveOne(serve);
            if (ends != exitcode::Success || !waitFor(false))
                break;
            complain(env_) << "the pager is gone; waiting for the next one\n" << std::flush;
        }
        complain(env_) << served_ << " pager(s), " << failed_ << " failed\n";
        if (ends == exitcode::Success && probe_.stopped())
            ends = exitcode::Interrupted;
        if (ends != exitcode::Success)
            return ends;
        return failed_ == 0 ? exitcode::Success : exitcode::DeviceFailed;
    }

private:
    // The pager's session closes its port before the probe looks again. Success,
    // or the status the series ends with after this pager.
    int serveOne(const Serve& serve)
    {
        Session pager(env_, probe_.lineBackend, probe_.pagerSession.ports());
        pager.pagerSession.setBackupFolder(probe_.pagerSession.backupFolder());
        pager.pagerSession.setReading(probe_.pagerSession.reading());
        pager.pagerSession.setBackupFailureTold(backupFailureShown_);
        pager.whileBusy = [this](Session& busy) { sayEndOnce(busy); };
        pager.acceptStopRequests();
        const bool found = pager.search();
        if (pager.stopped())
            return stopNow(pager);  // nothing was done to this pager
        if (!found)
            return exitcode::Success;  // gone again before it could be served
        const std::string port = pager.pagerSession.pager().port.deviceName;
        const Outcome outcome = serve(pager);
        const std::string version = pagerVersion(pager);
        backupFailureShown_ = pager.pagerSession.backupFailureTold();
        ++served_;
        if (!outcome.ok)
            ++failed_;
        const std::string time = BackupFolder::shownTime(std::time(nullptr));
        env_.out << time << "  " << port << "  " << version << "  " << outcome.result << '\n' << std::flush;
        const std::string why = logLine({time, port, version, outcome.result});
        if (why.empty())
            return outcome.ends;
        complain(env_) << "cannot write the log " << options_.log << ": " << why
                       << "; the series ends after this pager\n";
        return outcome.ends == exitcode::Interrupted ? outcome.ends : exitcode::BadInput;
    }

    // The first Ctrl-C while a pager is served is answered at once: the
    // pager may take a while yet.
    void sayEndOnce(Session& busy)
    {
        if (toldEnd_ || busy.stopped() || !stopRequested(env_))
            return;
        toldEnd_ = true;
        busy.note("the series ends after this pager; Ctrl-C again stops now");
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
            // The pager's own session opens the port itself.
            probe_.stop();
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

    // Empty when the line reached the log (or there is none), else why not.
    // csv::field() guards a cell a spreadsheet would take for a formula.
    std::string logLine(std::initializer_list<std::string> cells)
    {
        if (!log_.isOpen())
            return {};
        std::string line;
        for (const std::string& cell : cells)
            line += (line.empty() ? "" : std::string(1, separator_)) + csv::field(cell, separator_);
        return log_.append(line + "\r\n");
    }

    CliEnvironment& env_;
    Session& probe_;
    const SeriesOptions& options_;
    SeriesLog log_;
    char separator_ = ',';
    bool backupFailureShown_ = false;
    bool toldEnd_ = false;
    int served_ = 0;
    int failed_ = 0;
};

}  // namespace

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

int writeEachCommand(CliEnvironment& env, Session& session, const std::string& file, const SeriesOptions& options,
                     bool backup)
{
    Series series(env, session, options);
    if (!series.openLog())
        return exitcode::BadInput;
    return series.run([&](Session& pager) -> Outcome {
        // The result line says it.
        if (backup) {
            // The backup's own session opens the port; this one lets go of it.
            pager.stop();
            const int status = keepBackupBeforeWrite(env, pager);
            if (status == exitcode::Interrupted)
                return NotWrittenInterrupted;
            if (status != exitcode::Success)
                // A backup folder that cannot be written fails every pager alike.
                return {false, "failed: no backup, not written",
                        status == exitcode::BadInput ? exitcode::BadInput : exitcode::Success};
            const bool found = pager.search();
            if (pager.stopped()) {
                stopNow(pager);
                return NotWrittenInterrupted;
            }
            if (!found)
                return {false, "failed: gone after the backup, not written"};
        }
        if (!openFile(env, file, pager.configuration()))
            return {false, "failed: the file could not be opened"};
        // Standard output keeps one line per pager; the differences go with
        // the form's messages.
        const WriteReport report = writeHeldConfiguration(env, pager, options.verify, env.err);
        switch (report.end) {
        case WriteEnd::Written: return {true, options.verify ? "ok, verified" : "ok"};
        case WriteEnd::Interrupted: return {false, "interrupted: " + report.leftByStop(), exitcode::Interrupted};
        case WriteEnd::NotAcknowledged: return {false, "failed: the write was not acknowledged"};
        case WriteEnd::ReadBackIncomplete: return {false, "failed: the read-back was incomplete"};
        case WriteEnd::Differs: return {false, "failed: the pager does not hold what was written"};
        case WriteEnd::SlotsLeftOut:
            return {false, "failed: " + smallPagerNote(report.callerSlots, report.pagerLacks, "not written")};
        case WriteEnd::Refused: return {false, "failed: the configuration holds what no pager can", exitcode::BadInput};
        }
        return {};
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
        const ReadOutOutcome read = pager.read();
        if (read.stopped) {
            stopNow(pager);
            return {false, "interrupted: nothing kept", exitcode::Interrupted};
        }
        if (!read.replaced)
            return {false, "failed: the read-out was incomplete, nothing saved in the folder"};
        // The name is made up as the backups' are, and as theirs it is never
        // written through a link.
        const std::string path =
            BackupFolder::freePath(folder, BackupFolder::fileName(pager.configuration().pagerName, std::time(nullptr)));
        SaveOptions madeUp;
        madeUp.naming = FileNaming::MadeUp;
        if (std::string error; !PagerDataFile::save(path, pager.configuration(), error, madeUp)) {
            fileNotSaved(env, path, error);
            return {false, "failed: " + path + " could not be saved"};
        }
        const std::u8string name = nativePath(path).filename().u8string();
        return {true, "ok " + std::string(name.begin(), name.end())};
    });
}

}  // namespace harvelin::cli
