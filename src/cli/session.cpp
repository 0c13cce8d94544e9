#include "cli/session.h"

namespace harvelin::cli {

std::atomic<bool> stopRequested{false};
std::atomic<PagerSession*> stoppableSession{nullptr};
static_assert(std::atomic<bool>::is_always_lock_free && std::atomic<PagerSession*>::is_always_lock_free);

Session::Session(CliEnvironment& env, SerialBackend& backend, PortTable ports)
    : pager(backend, std::move(ports), env.clock), lineBackend(backend), env_(env),
      progress_(env.err, env.errIsTerminal)
{
    pager.setRepaintHook([this] { repaint(); });
}

Session::~Session()
{
    // The session that accepted stop requests before this one does again.
    PagerSession* mine = &pager;
    if (stoppableSession.compare_exchange_strong(mine, outerSession_) && outerSession_ && stopRequested.load())
        outerSession_->requestStop();
    progress_.end();
}

void Session::repaint()
{
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
    outerSession_ = stoppableSession.exchange(&pager);
    if (stopRequested.load())
        pager.requestStop();
}

bool Session::search()
{
    const SearchOutcome outcome = pager.search(*this);
    searchToldWhy_ = !outcome.messages.empty();
    tellAll(outcome.messages);
    return outcome.found();
}

ReadOutResult Session::read(PagerSession::Backup backup)
{
    progress(0);
    const ReadOutOutcome outcome = pager.readOut(*this, held_, backup);
    lastBackupPath = outcome.backupPath;
    if (outcome.result.complete())
        held_ = outcome.result.read;
    // After a stop the command's own note says what it left as it was.
    if (outcome.result.end != ReadOutEnd::Cancelled)
        tellAll(outcome.messages);
    return outcome.result;
}

WriteOutcome Session::write()
{
    progress(0);
    const WriteOutcome outcome = pager.write(*this, held_);
    // A stopped write's message says what the pager holds now; a series
    // tells the small pager in its result line.
    for (const std::string& message : outcome.messages)
        if (tellSmallPager || message != win1252(SmallPagerMessage))
            tell(message);
    progress_.end();
    return outcome;
}

bool Session::startLearn(int slot)
{
    const LearnBegin begin = pager.startLearn(*this, slot);
    tellAll(begin.messages);
    return begin.start == LearnStart::TakenUp;
}

LearnEnd Session::runLearnWindow()
{
    const LearnEnd ended = pager.runLearnWindow(*this, held_);
    if (!shownStatus_.empty())
        env_.err << '\n' << std::flush;
    shownStatus_.clear();
    return ended;
}

void Session::learnLineDropped()
{
    note("the pager sent a line longer than " + std::to_string(LearnWindow::LineCapacity) +
         " bytes; it was dropped, and learn mode listens on");
}

void Session::stop()
{
    pager.end(*this);
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
