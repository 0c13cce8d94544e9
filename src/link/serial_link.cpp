#include "link/serial_link.h"

namespace harvelin {

namespace {

constexpr char Syn = 0x16;
constexpr char Cr = 0x0D;
// ">@" framed: the pager answers it with its identification.
constexpr std::string_view PresenceFrame = "\x16>@\r";
constexpr std::string_view PresenceWord = "Zelvatron";
constexpr unsigned PresenceWaitMs = 200;
constexpr std::size_t PresenceReadBytes = 150;
constexpr unsigned ReplyWaitMs = 100;
// A read window that stays silent is followed by one more, so a pager that
// answers late still answers its own command and not the next one.
constexpr std::size_t LateReplyReadBytes = 200;
// A reply still arriving when its window ends is read to its end: until the
// line has been quiet this long, and at most this much longer. A read of
// QuietReadBytes returns after QuietMs when nothing comes.
constexpr unsigned QuietMs = 50;
constexpr std::size_t QuietReadBytes = QuietMs - 1;
constexpr unsigned ReadToEndLimitMs = 500;

// The pager closes every answer with a line end; a reply whose last byte is
// none is still arriving, or was cut off by the window.
bool endsWithLineEnd(const std::string& reply)
{
    return !reply.empty() && (reply.back() == '\r' || reply.back() == '\n');
}

bool needsPresenceCheck(const std::string& command)
{
    return command.find(">Lese:0") != std::string::npos || command.find(">Schreibe:0") != std::string::npos;
}

}  // namespace

bool acknowledges(std::string_view reply, std::string_view word)
{
    return reply.find(word) != std::string_view::npos && reply.find(RefusalWord) == std::string_view::npos;
}

SerialLink::SerialLink(SerialBackend& backend, PortTable ports, Clock& clock)
    : backend_(backend), ports_(std::move(ports)), clock_(clock)
{
}

std::unique_ptr<SerialPort> SerialLink::openDevice(unsigned n)
{
    const PortEntry* entry = ports_.entry(n);
    if (!entry)
        return nullptr;
    return backend_.open(entry->deviceName);
}

bool SerialLink::open()
{
    lastReplyEmpty_ = false;
    if (portNumber_ == 0)
        return false;
    portHandle_.reset();
    portHandle_ = openDevice(portNumber_);
    if (!portHandle_)
        return false;
    if (!portHandle_->readSettings())
        return false;
    if (!portHandle_->applyLineSettings())
        return false;
    portHandle_->setTimeouts(TimeoutSet::Link);
    return true;
}

bool SerialLink::exchange(std::string command, std::string& reply, std::uint8_t& replyLength)
{
    if (cancelled())
        return false;
    const bool presence = needsPresenceCheck(command);
    // A command that does not fit the frame buffer is refused unsent.
    if (command.size() > MaxCommandLength - (presence ? PresencePrefixLength : 0))
        return false;

    if (state_ == LinkState::Closed) {
        // This call only re-opens; the command goes out with the next one.
        state_ = open() ? LinkState::Open : LinkState::Closed;
        return false;
    }
    if (!portHandle_ || !portHandle_->readSettings()) {
        state_ = LinkState::Closed;
        return false;
    }

    // Whatever waits now answers an earlier command. Bytes after a silent
    // window came too late for their own command, which may have been
    // counted as unanswered or refused; the operation is told.
    const std::string stale = portHandle_->discardInput();
    bytesHeard_ += stale.size();
    if (!stale.empty() && lastReplyEmpty_)
        lateReplySeen_ = true;
    lastReplyEmpty_ = false;

    if (presence) {
        portHandle_->write(PresenceFrame);
        clock_.sleepMs(PresenceWaitMs);
        // The word counts within the answer's first bytes; a slow answer is
        // waited for as any reply is.
        const std::string answer = readReply(PresenceReadBytes);
        if (answer.substr(0, PresenceReadBytes).find(PresenceWord) == std::string::npos) {
            state_ = LinkState::Closed;
            return false;
        }
    }

    if (repaint_)
        repaint_();

    std::string frame;
    if (presence) {
        // The rest of the identification answer is dropped, and the presence
        // frame goes out once more in front of the command, so the pager
        // identifies itself again ahead of the block.
        portHandle_->read(MaxReplyLength);
        frame += PresenceFrame;
    }
    frame += Syn;
    frame += command;
    frame += Cr;
    portHandle_->write(frame);

    clock_.sleepMs(ReplyWaitMs);
    reply = readReply(MaxReplyLength);
    replyLength = static_cast<std::uint8_t>(reply.size());
    lastReplyEmpty_ = reply.empty();
    return true;
}

std::string SerialLink::readReply(std::size_t windowBytes)
{
    std::string reply = portHandle_->read(windowBytes);
    if (reply.empty())
        reply = portHandle_->read(LateReplyReadBytes);
    // Read on while the pager is still sending; only a pager that is slow
    // or talks past the window pays this time.
    const std::int64_t limit = clock_.nowMs() + ReadToEndLimitMs;
    while (!reply.empty() && (!endsWithLineEnd(reply) || reply.size() >= windowBytes) &&
           clock_.nowMs() < limit) {
        const std::string more = portHandle_->read(QuietReadBytes);
        if (more.empty())
            break;
        reply += more;
    }
    bytesHeard_ += reply.size();
    // The rest of an overlong reply belongs to no command; it is dropped
    // before the next one goes out.
    if (reply.size() > MaxReplyLength)
        reply.resize(MaxReplyLength);
    return reply;
}

void SerialLink::close()
{
    // A link that fell to Closed may still hold the port of a failed
    // configuration or liveness check; that port is released too, so no
    // other program stays locked out of it. Such a link keeps its port
    // number, so the timer can bring it back.
    portHandle_.reset();
    lastReplyEmpty_ = false;
    if (state_ == LinkState::Closed)
        return;
    portNumber_ = 0;
    state_ = LinkState::Closed;
}

}  // namespace harvelin
