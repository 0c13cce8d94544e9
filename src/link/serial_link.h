#pragma once

#include <atomic>
#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>

#include "link/port_table.h"
#include "link/serial_port.h"
#include "platform/clock.h"

namespace harvelin {

enum class LinkState : std::uint8_t { Closed = 0, Open = 1, Lost = 2 };

// "Fehler": the pager's word for a command it refused.
constexpr std::string_view RefusalWord = "Fehler";

// Whether `reply` acknowledges its command with `word`. A reply that also
// says "Fehler" is a refusal, whatever else it holds: an acknowledgement
// beside it may be a repeated one of an earlier command.
bool acknowledges(std::string_view reply, std::string_view word);

// The one connection to the pager: a port opened for exclusive use and the
// framed command/reply exchange on it.
class SerialLink {
public:
    // Frames are assembled in 200 bytes: 0x16, the command, 0x0D.
    static constexpr std::size_t FrameBufferSize = 200;
    static constexpr std::size_t MaxCommandLength = FrameBufferSize - 2;
    // The presence-check frame that goes in front of ">Lese:0".
    static constexpr std::size_t PresencePrefixLength = 4;
    static constexpr std::size_t MaxReplyLength = 200;

    SerialLink(SerialBackend& backend, PortTable ports, Clock& clock);

    // Opens and configures port `portNumber`. Does not change `state`.
    bool open();
    // Writes one framed command and takes what arrives in the read window as
    // the reply. False: nothing was sent (see the state it leaves), also when
    // the running operation has been cancelled.
    bool exchange(std::string command, std::string& reply, std::uint8_t& replyLength);
    void close();

    // Opens the table's port numbered n by its device name; nullptr when that
    // fails.
    std::unique_ptr<SerialPort> openDevice(unsigned n);
    // Why the last openDevice() failed.
    PortProblem openProblem() const { return backend_.lastOpenProblem(); }

    // Asks the running operation to stop before its next command goes out;
    // an exchange under way is finished first. Safe to call from another
    // thread or a signal handler. The flag stays set until cleared.
    void cancel() { cancel_.store(true); }
    void clearCancel() { cancel_.store(false); }
    bool cancelled() const { return cancel_.load(); }

    // Called while an exchange blocks, so texts just set are painted.
    void setRepaintHook(std::function<void()> hook) { repaint_ = std::move(hook); }

    const PortTable& ports() const { return ports_; }
    Clock& clock() { return clock_; }

    // The number of the table's port the link uses; 0 while none is known.
    unsigned portNumber() const { return portNumber_; }
    void setPortNumber(unsigned n) { portNumber_ = n; }

    LinkState state() const { return state_; }
    void setState(LinkState next) { state_ = next; }

    // The port held open, or nullptr.
    SerialPort* port() const { return portHandle_.get(); }
    // Holds `handle` from now on; nullptr holds none.
    void adopt(std::unique_ptr<SerialPort> handle) { portHandle_ = std::move(handle); }
    // Lets the held port go, so no other program stays locked out of it.
    void dropPort() { portHandle_.reset(); }

    // Bytes arrived after a command had got no reply even in its extra
    // window: the pager answers very late, and a step may have been counted
    // wrongly. Operations clear it at their start and fail when it is set.
    bool lateReplySeen() const { return lateReplySeen_; }
    void clearLateReply() { lateReplySeen_ = false; }

    // Bytes the pager sent in the exchanges' read windows, late ones included:
    // whether it answers at all, whatever it says.
    std::uint64_t bytesHeard() const { return bytesHeard_; }

private:
    // The reply to the command just written: what its read window of
    // `windowBytes` brings, one more window when that stays silent, and the
    // rest of a reply still arriving. At most MaxReplyLength bytes.
    std::string readReply(std::size_t windowBytes);

    SerialBackend& backend_;
    PortTable ports_;
    Clock& clock_;
    std::function<void()> repaint_;
    std::atomic<bool> cancel_{false};
    bool lastReplyEmpty_ = false;  // the last command's read window stayed silent
    unsigned portNumber_ = 0;
    std::unique_ptr<SerialPort> portHandle_;
    LinkState state_ = LinkState::Closed;
    bool lateReplySeen_ = false;
    std::uint64_t bytesHeard_ = 0;
};

}  // namespace harvelin
