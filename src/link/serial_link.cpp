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
// After a silent read window the pager may still be answering. This much
// more is listened to before the next command goes out.
constexpr std::size_t LateReplyReadBytes = 200;

bool needsPresenceCheck(const std::string& command)
{
    return command.find(">Lese:0") != std::string::npos || command.find(">Schreibe:0") != std::string::npos;
}

}  // namespace

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

    // A reply must never count for a command it does not belong to. A pager
    // that let the last window pass in silence gets one more window; what
    // arrives in it is late. Whatever else waits was sent for no command.
    if (lastReplyEmpty_) {
        lastReplyEmpty_ = false;
        const std::size_t late = portHandle_->read(LateReplyReadBytes).size();
        bytesHeard_ += late;
        if (late > 0)
            lateReplySeen_ = true;
    }
    portHandle_->discardInput();

    if (presence) {
        portHandle_->write(PresenceFrame);
        clock_.sleepMs(PresenceWaitMs);
        const std::string answer = portHandle_->read(PresenceReadBytes);
        bytesHeard_ += answer.size();
        if (answer.find(PresenceWord) == std::string::npos) {
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
    reply = portHandle_->read(MaxReplyLength);
    if (reply.size() > MaxReplyLength)
        reply.resize(MaxReplyLength);
    replyLength = static_cast<std::uint8_t>(reply.size());
    bytesHeard_ += reply.size();
    lastReplyEmpty_ = reply.empty();
    return true;
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
