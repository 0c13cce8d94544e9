#include "cli/series.h"

#include <atomic>
#include <cstdio>
#include <ctime>
#include <memory>
#include <mutex>
#include <set>
#include <thread>

#include "cli/commands.h"
#include "cli/series_output.h"
#include "files/backups.h"
#include "files/configuration_csv.h"
#include "model/configuration_rule.h"

namespace harvelin::cli {

namespace {

// How often a port looks for a pager coming or going, and how soon it
// notices Ctrl-C meanwhile. A pager counts as gone only when it misses two
// probes in a row: a busy one may miss a single probe.
constexpr unsigned ProbeIntervalMs = 1000;
constexpr unsigned StopCheckMs = 100;
constexpr int RemovalMisses = 2;
// A pager still on its port this long after it was served is reminded of.
constexpr std::int64_t TakeOffReminderMs = 30'000;

// "1.5 min", "40 s".
std::string duration(std::int64_t ms)
{
    char text[32];
    if (ms >= 100'000)
        std::snprintf(text, sizeof text, "%.1f min", static_cast<double>(ms) / 60'000.0);
    else
        std::snprintf(text, sizeof text, "%lld s", static_cast<long long>((ms + 500) / 1000));
    return text;
}

// A text of the pager's (its name, its version) as a message quotes it:
// control characters escaped, UTF-8.
std::string shown(const std::string& win1252Text) { return win1252ToUtf8(shownInMessage(win1252Text, false)); }

// Which numbers of the series are served, being served or still to serve.
// A number whose pager failed is served again by the next pager, so every
// name of a list ends on a pager that took it.
class Tally {
public:
    explicit Tally(std::optional<unsigned> count) : count_(count) {}

    // The number for the pager plugged in now; none when every number is
    // served or being served.
    std::optional<unsigned> take()
    {
        const std::lock_guard<std::mutex> hold(lock_);
        unsigned n = 0;
        if (!again_.empty()) {
            n = *again_.begin();
            again_.erase(again_.begin());
        } else if (!count_ || next_ <= *count_) {
            n = next_++;
        } else {
            return std::nullopt;
        }
        ++busy_;
        return n;
    }

    void finish(unsigned n, bool ok, const std::string& failure)
    {
        const std::lock_guard<std::mutex> hold(lock_);
        --busy_;
        ++served_;
        if (ok) {
            ++done_;
        } else {
            ++failed_;
            again_.insert(n);
            failures_.push_back(failure);
        }
    }

    // A number whose pager was not served after all.
    void giveBack(unsigned n)
    {
        const std::lock_guard<std::mutex> hold(lock_);
        --busy_;
        again_.insert(n);
    }

    unsigned failed() const
    {
        const std::lock_guard<std::mutex> hold(lock_);
        return failed_;
    }

    // Every number is served well.
    bool complete() const
    {
        const std::lock_guard<std::mutex> hold(lock_);
        return count_ && done_ == *count_;
    }

    std::string total() const { return count_ ? "/" + std::to_string(*count_) : std::string(); }

    // The series' live line: how far it is and, once a pager is done, how
    // long the rest will take at the pace so far.
    std::string progress(std::int64_t elapsedMs, const std::string& doneWord) const
    {
        const std::lock_guard<std::mutex> hold(lock_);
        const std::string line = said(CliText::SeriesProgress, {std::to_string(done_), total(), doneWord,
                                                                 std::to_string(failed_), std::to_string(busy_)});
        if (done_ == 0)
            return line;
        const std::int64_t perPager = elapsedMs / done_;
        if (count_)
            return said(CliText::SeriesTimeLeft, {line, duration(perPager * (*count_ - done_))});
        return said(CliText::SeriesPace, {line, duration(perPager)});
    }

    // "3 pager(s), 1 failed, in 2.1 min: 42 s per pager", and the failed ones.
    std::vector<std::string> summary(std::int64_t elapsedMs) const
    {
        const std::lock_guard<std::mutex> hold(lock_);
        std::string line =
            said(CliText::SeriesSummary, {std::to_string(served_), std::to_string(failed_), duration(elapsedMs)});
        if (served_ > 0)
            line = said(CliText::SeriesSummaryPace, {line, duration(elapsedMs / served_)});
        std::vector<std::string> lines{line};
        for (const std::string& f : failures_)
            lines.push_back(said(CliText::SeriesSummaryFailure, {f}));
        return lines;
    }

private:
    mutable std::mutex lock_;
    std::set<unsigned> again_;
    unsigned next_ = 1;
    const std::optional<unsigned> count_;
    unsigned busy_ = 0;
    unsigned served_ = 0;
    unsigned done_ = 0;
    unsigned failed_ = 0;
    std::vector<std::string> failures_;
};

// What the ports of one series share.
class SeriesRun {
public:
    SeriesRun(CliEnvironment& environment, Session& portsProbe, const SeriesSettings& given, const ServePager& serving)
        : env(environment), probe(portsProbe), settings(given), serve(serving),
          screen(env.out, env.err, settings.live, probe.pagerSession.ports().size()),
          tally(settings.count ? settings.count : settings.naming.size()),
          startMs(env.clock.nowMs())
    {
    }

    // The log is opened before any pager is touched; false after a message.
    bool openLog()
    {
        if (settings.log.empty())
            return true;
        bool fresh = false;
        std::string why = log_.open(settings.log, fresh);
        separator_ = csvSeparatorFor(env);
        if (why.empty() && fresh)
            why = logLine({"time", "port", "number", "name", "version", "result", "differences"});
        if (why.empty())
            return true;
        complain(env) << said(CliText::LogNotWritable, {settings.log, why}) << '\n';
        return false;
    }

    // A pager's result line and log row; false when the row did not reach
    // the log (said already).
    bool record(const std::string& port, unsigned number, const std::string& version, const PagerResult& r)
    {
        const std::string time = BackupFolder::shownTime(std::time(nullptr));
        const std::string place = "#" + std::to_string(number) + tally.total();
        const std::string name = r.name.empty() ? "?" : shown(r.name);
        const std::lock_guard<std::mutex> hold(logLock_);
        screen.result(time + "  " + port + "  " + place + "  " + name + "  " + version + "  " + r.result);
        const std::string why = logLine({time, port, place.substr(1), name, version, r.result, r.differences});
        if (why.empty())
            return true;
        screen.note(std::string(Program) + ": " + said(CliText::LogFailedSeriesEnds, {settings.log, why}));
        return false;
    }

    // The series ends for every port after its pager at hand: the user
    // asked (Ctrl-C), or a result said so with its status.
    bool ending() const { return ends_.load() != exitcode::Success || endAsked(); }
    void end(int status)
    {
        int none = exitcode::Success;
        ends_.compare_exchange_strong(none, status);
    }
    int endStatus() const { return ends_.load(); }

    // The first Ctrl-C while pagers are served is answered at once.
    void sayEndOnce(Session& busy)
    {
        if (!endAsked() || busy.stopped() || toldEnd_.exchange(true))
            return;
        busy.note(said(CliText::SeriesEndsAfterThis));
    }

    std::int64_t elapsedMs() const { return env.clock.nowMs() - startMs; }
    void showProgress() { screen.live(0, tally.progress(elapsedMs(), settings.done)); }

    // The user asked the series to end (the first Ctrl-C).
    bool endAsked() const { return env.interrupted && env.interrupted(); }

    CliEnvironment& env;
    Session& probe;
    const SeriesSettings& settings;
    const ServePager& serve;
    SeriesScreen screen;
    Tally tally;
    const std::int64_t startMs;
    std::atomic<bool> backupFailureTold{false};

private:
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

    std::mutex logLock_;
    SeriesLog log_;
    char separator_ = ',';
    std::atomic<int> ends_{exitcode::Success};
    std::atomic<bool> toldEnd_{false};
};

// One port of the series, on a thread of its own: it waits for a pager,
// serves it in a session of its own (nothing of one pager carries over to
// the next), waits until it is taken off and goes on. What its sessions
// tell goes out with the port's name in front.
class PortLane {
public:
    PortLane(SeriesRun& run, std::size_t index, const PortEntry& port)
        : run_(run), index_(index), port_(port.deviceName), ports_(std::vector<PortEntry>{port}),
          relay_([this](const std::string& line) { run_.screen.note(port_ + ": " + line); }), stream_(&relay_),
          env_{run.env.backend, run.env.clock, run.env.systemPorts, run.env.startSimulator, stream_, stream_, false,
               run.env.backupFolder, run.env.decimalPoint, run.env.interrupted, false, run.env.systemLanguage}
    {
    }

    void run()
    {
        Session probe(env_, run_.probe.lineBackend, ports_);
        probe.quiet = true;
        probe.acceptStopRequests();
        show(said(CliText::WaitingForPager));
        while (!over() && waitFor(probe, true)) {
            const std::optional<unsigned> number = run_.tally.take();
            if (!number) {
                say(said(CliText::SeriesNumbersTaken));
            } else {
                serveOne(*number);
                run_.showProgress();
                if (over())
                    break;
            }
            show(said(CliText::TakePagerOff));
            if (!waitFor(probe, false))
                break;
            say(said(CliText::PagerGone), true);
        }
        show(said(CliText::LaneEnded));
    }

private:
    bool over() const { return run_.ending() || run_.tally.complete(); }

    void serveOne(unsigned number)
    {
        Session pager(env_, run_.probe.lineBackend, ports_);
        pager.pagerSession.setBackupFolder(run_.probe.pagerSession.backupFolder());
        pager.pagerSession.setReading(run_.probe.pagerSession.reading());
        pager.pagerSession.setBackupFailureTold(run_.backupFailureTold.load());
        pager.whileBusy = [this](Session& busy) { run_.sayEndOnce(busy); };
        std::string step = said(CliText::StepSearching);
        std::int64_t stepStartMs = run_.env.clock.nowMs();
        std::string who = "#" + std::to_string(number) + run_.tally.total();
        int lastDone = 0;
        pager.progressSeen = [&](int done, int steps) {
            // A read-back after the write counts from the start again.
            if (done < lastDone)
                stepStartMs = run_.env.clock.nowMs();
            lastDone = done;
            if (steps <= 0 || done <= 0)
                return show(who + " " + step);
            const std::int64_t spent = run_.env.clock.nowMs() - stepStartMs;
            const std::int64_t left = spent * (steps - done) / done;
            show(said(CliText::StepProgress, {who, step, std::to_string(100 * done / steps), duration(left)}));
        };
        pager.acceptStopRequests();
        show(who + " " + step);

        std::string why;
        const std::optional<std::string> name = run_.settings.naming.nameFor(number, why);
        const SeriesNaming::Kind naming = run_.settings.naming.kind();
        if (!name && (naming == SeriesNaming::Kind::List || naming == SeriesNaming::Kind::Pattern)) {
            // A pattern's name that grew too long: no pager after it gets one.
            run_.tally.giveBack(number);
            run_.screen.note(std::string(Program) + ": " + said(CliText::SeriesEnds, {why}));
            return run_.end(exitcode::BadInput);
        }
        if (!pager.search()) {
            run_.tally.giveBack(number);
            if (!pager.stopped())
                return say(said(CliText::GoneBeforeServed));
            // Nothing was done to this pager.
            stopNow(pager);
            return run_.end(exitcode::Interrupted);
        }
        const std::string place = who;
        const auto named = [&](const std::string& given) { who = place + " " + shown(given); };
        if (name)
            named(*name);
        SeriesPager at{pager, env_, number, name,
                       [&](const std::string& next) {
                           step = next;
                           stepStartMs = run_.env.clock.nowMs();
                           lastDone = 0;
                           show(who + " " + step);
                       },
                       named};
        PagerResult result = run_.serve(at);
        if (result.name.empty() && name)
            result.name = *name;
        run_.backupFailureTold = pager.pagerSession.backupFailureTold();
        const std::string& versionText = pager.pagerSession.pager().versionText;
        const std::string version = versionText.empty() ? "?" : shown(versionText);
        const std::string shownName = result.name.empty() ? "?" : shown(result.name);
        run_.tally.finish(number, result.ok, said(CliText::FailureOnPort, {place, shownName, port_, result.result}));
        if (!run_.record(port_, number, version, result))
            run_.end(result.ends == exitcode::Interrupted ? result.ends : exitcode::BadInput);
        if (result.ends != exitcode::Success)
            run_.end(result.ends);
        show(place + " " + shownName + ": " + result.result);
    }

    // Until the probe finds a pager (present) or finds it gone; false when
    // the series ends or is complete meanwhile. A pager that is back after a single missed
    // probe was plugged in too soon, and is told so.
    bool waitFor(Session& probe, bool present)
    {
        const std::int64_t since = run_.env.clock.nowMs();
        bool reminded = false;
        for (int misses = 0;;) {
            if (over())
                return false;
            const bool found = probe.search();
            // The pager's own session opens the port itself.
            probe.stop();
            if (probe.stopped())
                return false;
            if (!present && found && misses == 1)
                say(said(CliText::CameBackTooSoon));
            misses = found ? 0 : misses + 1;
            if (present ? found : misses == RemovalMisses)
                return true;
            if (!present && !reminded && run_.env.clock.nowMs() - since >= TakeOffReminderMs) {
                reminded = true;
                say(said(CliText::StillOnLine));
            }
            for (unsigned waited = 0; waited < ProbeIntervalMs; waited += StopCheckMs) {
                if (over())
                    return false;
                run_.env.clock.sleepMs(StopCheckMs);
            }
        }
    }

    void show(const std::string& text) { run_.screen.live(index_ + 1, port_ + "  " + text); }

    // A note on standard error and on the port's live line.
    void say(const std::string& text, bool bell = false)
    {
        run_.screen.note(port_ + ": " + text);
        run_.screen.live(index_ + 1, port_ + "  " + text, bell);
    }

    SeriesRun& run_;
    const std::size_t index_;
    const std::string port_;
    const PortTable ports_;
    LineRelay relay_;
    std::ostream stream_;
    CliEnvironment env_;
};

}  // namespace

int runSeries(CliEnvironment& env, Session& probe, const SeriesSettings& settings, const ServePager& serve)
{
    SeriesRun run(env, probe, settings, serve);
    if (!run.openLog())
        return exitcode::BadInput;
    // The probe of the caller holds no port while the lanes probe theirs.
    probe.stop();
    const std::vector<PortEntry>& ports = probe.pagerSession.ports().entries();
    run.screen.note(std::string(Program) + ": " + said(CliText::SeriesWaiting, {std::to_string(ports.size())}));
    run.showProgress();
    std::vector<std::unique_ptr<PortLane>> lanes;
    for (std::size_t i = 0; i < ports.size(); ++i)
        lanes.push_back(std::make_unique<PortLane>(run, i, ports[i]));
    std::vector<std::thread> threads;
    for (const std::unique_ptr<PortLane>& lane : lanes)
        threads.emplace_back([&lane] { lane->run(); });
    for (std::thread& t : threads)
        t.join();
    lanes.clear();
    run.screen.end();
    const std::vector<std::string> summary = run.tally.summary(run.elapsedMs());
    complain(env) << summary.front() << '\n';
    for (std::size_t i = 1; i < summary.size(); ++i)
        env.err << summary[i] << '\n';
    env.err << std::flush;

    int ends = run.endStatus();
    if (ends == exitcode::Success && probe.stopped())
        ends = exitcode::Interrupted;
    if (ends != exitcode::Success)
        return ends;
    return run.tally.failed() == 0 ? exitcode::Success : exitcode::DeviceFailed;
}

}  // namespace harvelin::cli
