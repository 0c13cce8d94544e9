#include "cli/session.h"

#include <thread>

namespace harvelin::cli {

std::atomic<bool> stopRequested{false};
std::atomic<PagerSession*> stoppableSession{nullptr};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<PagerSession*>::is_always_lock_free);

namespace {

// Static initialisation runs on the program's main thread.
const std::thread::id MainThread = std::this_thread::get_id();

}  // namespace

Session::Session(CliEnvironment& env, SerialBackend& backend, PortTable ports)
    : pagerSession(backend, std::move(ports), env.clock), lineBackend(backend), env_(env),
      progress_(env.err, env.errIsTerminal)
{
    pagerSession.setRepaintHook([this] { repaint(); });
}

Session::~Session()
{
    // The session that accepted stop requests before this one does again.
    PagerSession* mine = &pagerSession;
    if (stoppableSession.compare_exchange_strong(mine, outerSession_) && outerSession_ && stopRequested.load())
        outerSession_->requestStop();
    progress_.end();
}

void Session::repaint()
{
    if (followsStopFlag_ && stopRequested.load())
        pagerSession.requestStop();
    if (whileBusy)
        whileBusy(*this);
}

void Session::learnStatus(const std::string& text)
{
    if (!env_.errIsTerminal || text.empty() || text == shownStatus_)
        return;
    progress_.end();
    env_.err << '\r' << win1252ToUtf8(text) << std::flush;
    shownStatus_ = text;
}

void Session::acceptStopRequests()
{
    // The handler's chain of sessions is the main thread's alone: sessions
    // of several threads would end in any order and leave it pointing at
    // one that is gone.
    if (std::this_thread::get_id() != MainThread) {
        followsStopFlag_ = true;
        if (stopRequested.load())
            pagerSession.requestStop();
        return;
    }
    outerSession_ = stoppableSession.exchange(&pagerSession);
    if (stopRequested.load())
        pagerSession.requestStop();
}

bool Session::search()
{
    const SearchOutcome outcome = pagerSession.search(*this);
    tellAll(outcome.messages);
    // The command line has no port line: it says the port line's words when
    // the search told nothing else.
    if (!outcome.found() && !outcome.stopped && outcome.messages.empty())
        tell(outcome.nothingFound);
    return outcome.found();
}

ReadOutOutcome Session::read(PagerSession::Backup backup)
{
    progress(0);
    const ReadOutOutcome outcome = pagerSession.readOut(*this, backup);
    lastBackupPath = outcome.backupPath;
    tellAll(outcome.messages);
    return outcome;
}

WriteOutcome Session::write(PagerSession::Check check)
{
    progress(0);
    const WriteOutcome outcome = pagerSession.write(*this, check);
    tellAll(outcome.messages);
    return outcome;
}

bool Session::startLearn(int slot)
{
    const LearnBegin begin = pagerSession.startLearn(*this, slot);
    tellAll(begin.messages);
    return begin.start == LearnStart::TakenUp;
}

LearnEnd Session::runLearnWindow()
{
    const LearnEnd ended = pagerSession.runLearnWindow(*this, pagerSession.configuration());
    if (!shownStatus_.empty())
        env_.err << '\n' << std::flush;
    shownStatus_.clear();
    return ended;
}

void Session::learnLineDropped()
{
    note(said(CliText::LearnLineDropped, {std::to_string(LearnWindow::LineCapacity)}));
}

void Session::stop()
{
    pagerSession.end(*this);
    progress_.end();
}

void Session::note(const std::string& text)
{
    progress_.end();
    env_.err << Program << ": " << text << '\n' << std::flush;
}

void Session::tellAll(const Messages& messages)
{
    for (const std::string& text : messages)
        tell(text);
    // What the command prints next starts on a line of its own.
    progress_.end();
}

void Session::tell(const std::string& text)
{
    if (quiet)
        return;
    progress_.end();
    env_.err << win1252ToUtf8(text) << '\n' << std::flush;
}

}  // namespace harvelin::cli

namespace harvelin {

void requestCliStop()
{
    cli::stopRequested.store(true);
    if (PagerSession* session = cli::stoppableSession.load())
        session->requestStop();
}

}  // namespace harvelin
