#include "cli/session.h"

#include <system_error>

#include "device/bootloader.h"
#include "device/option_switch.h"
#include "device/repeater_clock.h"
#include "link/device_search.h"

#include "files/replacing_file.h"
#include "link/port_problem.h"

namespace harvelin::cli {

std::atomic<bool> stopRequested{false};
std::atomic<SerialLink*> stoppableLink{nullptr};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<SerialLink*>::is_always_lock_free);

std::ostream& complain(CliEnvironment& env) { return env.err << Program << ": "; }

std::filesystem::path nativePath(const std::string& utf8)
{
    return std::filesystem::path(std::u8string(utf8.begin(), utf8.end()));
}

Session::Session(CliEnvironment& env, SerialBackend& backend, PortTable ports)
    : lineBackend(backend), link(backend, std::move(ports), env.clock), env_(env),
      progress_(env.err, env.errIsTerminal)
{
    link.setRepaintHook([this] { repaint(); });
}

Session::~Session()
{
    // The session that accepted stop requests before this one does again.
    SerialLink* mine = &link;
    if (stoppableLink.compare_exchange_strong(mine, outerLink_) && outerLink_ && stopRequested.load())
        outerLink_->cancel();
    progress_.end();
    link.close();
}

void Session::progressRange(int low, int high)
{
    progressLow_ = low;
    progressHigh_ = high;
}

void Session::progress(int position) { progress_.show(progressLow_, progressHigh_, position); }

void Session::repaint()
{
    if (whileBusy)
        whileBusy(*this);
}

void Session::acceptStopRequests()
{
    outerLink_ = stoppableLink.exchange(&link);
    if (stopRequested.load())
        link.cancel();
}

bool Session::search()
{
    active_ = false;
    searchToldWhy_ = false;
    repeaterReported_ = false;
    const SearchResult result = searchPager(link, env_.clock, *this, [this] {
        active_ = true;
        repeaterReported_ = readRepeaterStatus(link, env_.clock).reported;
    });
    progress_.end();
    if (!result.found) {
        active_ = false;
        repeaterReported_ = false;
        if (const std::string why = messageFor(result); !why.empty()) {
            searchToldWhy_ = true;
            tell(why);
        }
        return false;
    }
    foundPort_ = result.port;
    foundPortNumber_ = result.portNumber;
    return true;
}

ReadOutResult Session::read()
{
    if (!active_) {
        tell(std::string(NoConnectionMessage));
        return {};
    }
    progress(0);
    const ReadOutResult result = readOut(link, env_.clock, *this, held_);
    progress(0);
    switch (result.end) {
    case ReadOutEnd::NotStarted: break;
    case ReadOutEnd::Cancelled: break;  // the command's own note says what the stop left as it was
    case ReadOutEnd::NoVersion: tell(messageFor(result)); break;
    case ReadOutEnd::Incomplete:
        if (result.pagerGone)
            active_ = false;
        keepBackup(result);
        tell(messageFor(result, lastBackupPath));
        break;
    case ReadOutEnd::Complete:
        held_ = result.read;
        keepBackup(result);
        break;
    }
    progress_.end();
    return result;
}

// A folder that cannot be written is named once; after that the read-outs
// go on without a word.
void Session::keepBackup(const ReadOutResult& result)
{
    std::string error;
    if (keepReadOutBackup(backupFolder, result, lastBackupPath, error) || backupFailureShown)
        return;
    backupFailureShown = true;
    tell(backupFailedMessage(error));
}

WriteResult Session::write()
{
    if (!active_) {
        tell(std::string(NoConnectionMessage));
        return {};
    }
    progress(0);
    const WriteResult result = writeConfiguration(link, env_.clock, *this, held_, startConfiguration().image);
    if (result.refused) {
        progress_.end();
        tell(messageFor(result));
        return result;
    }
    if (result.cancelled) {
        // The command's own note says what the stop left.
        progress(0);
        progress_.end();
        return result;
    }
    if (result.pagerGone)
        active_ = false;
    env_.clock.sleepMs(WriteResultWaitMs);
    progress(0);
    tell(messageFor(result));
    if (result.leftSlotsOut && tellSmallPager)
        tell(win1252(SmallPagerMessage));
    progress_.end();
    return result;
}

bool Session::startLearn(int slot)
{
    learnModeLeft_ = false;
    learnStored_ = false;
    learnSlot_ = slot;
    // The row that shows the slot, on the page that holds it.
    const int row = (slot - 1) % LearnWindow::DuplicateSlots + 1;
    switch (learnWindow_.start(link, row)) {
    case LearnStart::TakenUp: statusText_ = learnWindow_.statusText(); break;
    case LearnStart::NotSent: tell(std::string(NoConnectionMessage)); break;
    case LearnStart::Refused: break;
    }
    progress_.end();
    return learnWindow_.open();
}

// A tick falls due 100 ms after the previous one began, or at once when that
// one ran longer.
bool Session::runLearnWindow()
{
    std::int64_t lastTickAt = env_.clock.nowMs();
    std::string shownStatus;
    // The row's slot on the page that holds it.
    const int pageOffset = learnSlot_ > LearnWindow::DuplicateSlots ? LearnWindow::DuplicateSlots : 0;
    for (int tick = 0; learnWindow_.open() && !stopped(); ++tick) {
        if (tick == MaxLearnTicks)
            return false;
        const std::int64_t due = lastTickAt + LearnWindow::TickPeriodMs;
        const std::int64_t now = env_.clock.nowMs();
        if (due > now)
            env_.clock.sleepMs(static_cast<unsigned>(due - now));
        lastTickAt = env_.clock.nowMs();
        // The status a tick sets is shown before its duplicate message.
        const LearnTick step = learnWindow_.tick(
            link, LearnWindow::LowerSlots(held_.image.callers.data(), LearnWindow::DuplicateSlots),
            [&](const LearnTick& soFar) {
                if (soFar.status)
                    statusText_ = *soFar.status;
                tell(duplicateMessage(soFar.duplicateOf));
            });
        if (step.duplicateOf == 0 && step.status)
            statusText_ = *step.status;
        if (step.storeRow != 0) {
            CallerEntry& slot = held_.image.callers[static_cast<std::size_t>(step.storeRow - 1 + pageOffset)];
            slot.buttonId = step.reported->buttonId;
            slot.idSuffix = step.reported->suffix;
            learnStored_ = true;
        }
        if (step.modeExit != LearnModeExit::NotSent)
            learnModeLeft_ = step.modeExit == LearnModeExit::Confirmed;
        progress_.end();
        if (env_.errIsTerminal && !statusText_.empty() && statusText_ != shownStatus) {
            shownStatus = statusText_;
            env_.err << '\r' << win1252ToUtf8(shownStatus) << std::flush;
        }
    }
    if (!shownStatus.empty())
        env_.err << '\n' << std::flush;
    return true;
}

bool Session::switchOption(OptionSwitchTexts texts, bool on, const std::string& pagerName)
{
    // Without a pager the new state waits for the next write.
    if (!active_)
        return false;
    const bool confirmed = sendOptionSwitch(link, std::string(on ? texts.on : texts.off) + pagerName);
    if (!confirmed)
        tell(switchRefusedMessage());
    progress_.end();
    return confirmed;
}

bool Session::setClock()
{
    const ClockSetResult result = setRepeaterClock(link, env_.clock, [](const std::string&) {});
    if (!result.confirmed)
        tell(clockRefusedMessage());
    progress_.end();
    return result.confirmed;
}

bool Session::startBootloader() { return active_ && harvelin::startBootloader(link); }

void Session::stop()
{
    link.clearCancel();
    if (const LearnModeExit exit = learnWindow_.leave(link); exit != LearnModeExit::NotSent)
        learnModeLeft_ = exit == LearnModeExit::Confirmed;
    statusText_.clear();
    link.close();
}

void Session::note(const std::string& text)
{
    progress_.end();
    env_.err << Program << ": " << text << '\n' << std::flush;
}

void Session::tell(const std::string& text)
{
    if (quiet)
        return;
    progress_.end();
    env_.err << win1252ToUtf8(text) << '\n' << std::flush;
}

bool openFile(CliEnvironment& env, const std::string& path, PagerConfiguration& config, FileCoverage* coverage)
{
    PagerConfiguration opened = config;
    std::string error;
    LoadReport report;
    if (!PagerDataFile::load(path, opened, error, &report)) {
        if (report.problem)
            complain(env) << report.problem->describe(path) << '\n' << std::flush;
        else
            env.err << win1252ToUtf8(report.notConfiguration ? notPagerDataMessage(path)
                                                             : fileNotOpenedMessage(path, error))
                    << '\n' << std::flush;
        return false;
    }
    config = opened;
    if (coverage)
        *coverage = report.coverage;
    if (report.replacedCharacters)
        env.err << win1252ToUtf8(replacedCharactersMessage(path)) << '\n' << std::flush;
    return true;
}

bool saveFile(CliEnvironment& env, const std::string& path, const PagerConfiguration& config)
{
    std::string error;
    if (PagerDataFile::save(path, config, error))
        return true;
    env.err << win1252ToUtf8(fileNotSavedMessage(path, error)) << '\n' << std::flush;
    return false;
}

// The reason is the form's German text, so the whole line is the form's
// message, without the tool's prefix.
void fileNotOpened(CliEnvironment& env, const std::string& path, const std::string& reason)
{
    env.err << "Die Datei " << path << " konnte nicht geöffnet werden: " << win1252ToUtf8(reason) << '\n';
}

void fileNotSaved(CliEnvironment& env, const std::string& path, const std::string& reason)
{
    env.err << "Die Datei " << path << " konnte nicht gespeichert werden: " << win1252ToUtf8(reason) << '\n';
}

bool fileCanBeSaved(CliEnvironment& env, const std::string& path, FileNaming naming)
{
    ReplacingFile probe(path, naming);
    if (!probe.create()) {
        fileNotSaved(env, path, probe.error());
        return false;
    }
    probe.discard();
    return true;
}

int stopNow(Session& session)
{
    session.stop();
    return exitcode::Interrupted;
}

int interrupted(CliEnvironment& env, Session& session, const std::string& what)
{
    stopNow(session);
    complain(env) << "interrupted" << (what.empty() ? "" : "; " + what) << '\n';
    return exitcode::Interrupted;
}

std::string fileLeftAsItWas(const std::string& file)
{
    std::error_code ec;
    if (!std::filesystem::exists(nativePath(file), ec))
        return "no file was written";
    return "no file was written, " + file + " is left as it was";
}

int noPager(CliEnvironment& env, const Session& session)
{
    // The search names the ports that failed; otherwise the port line alone
    // says it, and the command line has no port line.
    if (!session.searchToldWhy())
        env.err << win1252ToUtf8(nothingFoundLine()) << '\n';
    return exitcode::NoPager;
}

int failed(CliEnvironment& env, const std::string& what)
{
    complain(env) << what << '\n';
    return exitcode::DeviceFailed;
}

}  // namespace harvelin::cli

namespace harvelin {

void requestCliStop()
{
    cli::stopRequested.store(true);
    if (SerialLink* link = cli::stoppableLink.load())
        link->cancel();
}

}  // namespace harvelin
