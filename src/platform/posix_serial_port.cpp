// Serial lines through termios. The pager's line is a plain 115200 8N1 link
// without handshake; everything here serves to make a tty behave like the
// synchronous, time-limited port the link expects: raw bytes, exclusive use,
// reads that end at their deadline with what has arrived.

#include <fcntl.h>
#include <poll.h>
#include <sys/file.h>
#include <sys/ioctl.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <chrono>

#include "platform/posix_port_problem.h"
#include "platform/serial_backends.h"

namespace harvelin {

namespace {

using SteadyClock = std::chrono::steady_clock;

// Milliseconds left until the deadline, rounded up: poll() takes whole
// milliseconds, and flooring would let a read end before its time-out.
int msUntil(SteadyClock::time_point deadline)
{
    const auto left = std::chrono::duration_cast<std::chrono::microseconds>(deadline - SteadyClock::now()).count();
    if (left <= 0)
        return 0;
    return static_cast<int>((left + 999) / 1000);
}

// Errors after which the line will not come back under this descriptor: the
// adapter was pulled, or the far side of a pseudo-terminal went away.
bool lineGone(int error) { return error == EIO || error == ENXIO || error == ENODEV || error == EBADF; }

class PosixSerialPort final : public SerialPort {
public:
    explicit PosixSerialPort(int fd) : fd_(fd) {}

    ~PosixSerialPort() override
    {
        // Exclusive mode belongs to the tty, not to this descriptor; a pty's
        // slave keeps it while the master lives, which would lock out our own
        // next open of the same device.
        ::ioctl(fd_, TIOCNXCL);
        ::close(fd_);
    }

    bool readSettings() override
    {
        if (gone_ || ::tcgetattr(fd_, &settings_) != 0)
            return false;
        haveSettings_ = true;
        pollfd p{fd_, POLLIN, 0};
        if (::poll(&p, 1, 0) < 0)
            return false;
        if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
            gone_ = true;
            return false;
        }
        return true;
    }

    bool applyLineSettings() override
    {
        if (!haveSettings_ && !readSettings())
            return false;
        termios t = settings_;
        // Raw bytes both ways: the protocol carries 0x16, 0x0D and Windows-1252
        // text that no line discipline may touch.
        t.c_iflag &= ~static_cast<tcflag_t>(IGNBRK | BRKINT | PARMRK | ISTRIP | INLCR | IGNCR | ICRNL | IXON | IXOFF);
        t.c_oflag &= ~static_cast<tcflag_t>(OPOST);
        t.c_lflag &= ~static_cast<tcflag_t>(ECHO | ECHONL | ICANON | ISIG | IEXTEN);
        t.c_cflag &= ~static_cast<tcflag_t>(CSIZE | PARENB | CSTOPB);
        t.c_cflag |= CS8 | CREAD | CLOCAL;
        t.c_cc[VMIN] = 0;
        t.c_cc[VTIME] = 0;
        if (::cfsetispeed(&t, B115200) != 0 || ::cfsetospeed(&t, B115200) != 0)
            return false;
        if (::tcsetattr(fd_, TCSANOW, &t) != 0)
            return false;
        settings_ = t;
        // The pager is powered and reset independently of the modem lines;
        // keep both inactive. A pseudo-terminal has no modem lines and refuses
        // these calls, which is no failure of the line.
        int lines = TIOCM_DTR | TIOCM_RTS;
        ::ioctl(fd_, TIOCMBIC, &lines);
        return true;
    }

    void setTimeouts(TimeoutSet set) override { timeouts_ = set; }

    std::string read(std::size_t maxBytes) override
    {
        const auto deadline =
            SteadyClock::now() + std::chrono::milliseconds(readTimeoutMs(timeouts_, maxBytes));
        std::string got;
        if (gone_)
            return got;
        got.reserve(maxBytes);
        while (got.size() < maxBytes) {
            char buf[256];
            const std::size_t want = std::min(sizeof buf, maxBytes - got.size());
            const ssize_t n = ::read(fd_, buf, want);
            if (n > 0) {
                got.append(buf, static_cast<std::size_t>(n));
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                if (lineGone(errno))
                    gone_ = true;
                break;
            }
            const int wait = msUntil(deadline);
            if (wait == 0)
                break;
            pollfd p{fd_, POLLIN, 0};
            const int ready = ::poll(&p, 1, wait);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                break;
            if ((p.revents & POLLIN) == 0) {
                // Hang-up or error without data: nothing more will come.
                gone_ = (p.revents & (POLLHUP | POLLERR | POLLNVAL)) != 0;
                break;
            }
        }
        return got;
    }

    std::string discardInput() override
    {
        std::string dropped;
        if (gone_)
            return dropped;
        // What has arrived is taken out first so it can be told; whatever is
        // still in the driver goes with the flush.
        char buf[256];
        for (ssize_t n; (n = ::read(fd_, buf, sizeof buf)) > 0;)
            dropped.append(buf, static_cast<std::size_t>(n));
        (void)::tcflush(fd_, TCIFLUSH);
        return dropped;
    }

    bool write(std::string_view bytes) override
    {
        if (gone_)
            return false;
        const auto deadline = SteadyClock::now() + std::chrono::milliseconds(writeTimeoutMs(bytes.size()));
        std::size_t done = 0;
        while (done < bytes.size()) {
            const ssize_t n = ::write(fd_, bytes.data() + done, bytes.size() - done);
            if (n > 0) {
                done += static_cast<std::size_t>(n);
                continue;
            }
            if (n < 0 && errno == EINTR)
                continue;
            if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK) {
                if (lineGone(errno))
                    gone_ = true;
                return false;
            }
            const int wait = msUntil(deadline);
            if (wait == 0)
                return false;
            pollfd p{fd_, POLLOUT, 0};
            const int ready = ::poll(&p, 1, wait);
            if (ready < 0 && errno == EINTR)
                continue;
            if (ready <= 0)
                return false;
            if (p.revents & (POLLHUP | POLLERR | POLLNVAL)) {
                gone_ = true;
                return false;
            }
        }
        return true;
    }

private:
    int fd_;
    termios settings_{};
    bool haveSettings_ = false;
    bool gone_ = false;
    TimeoutSet timeouts_ = TimeoutSet::Link;
};

class PosixSerialBackend final : public SerialBackend {
public:
    std::unique_ptr<SerialPort> open(const std::string& deviceName) override
    {
        // Non-blocking: the open must not wait for a carrier, and reads and
        // writes wait in poll() for their deadlines instead.
        problem_ = {};
        const int fd = ::open(deviceName.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        if (fd < 0)
            return refused(deviceName, errno);
        // Another program on the same line would take the pager's answers.
        // The advisory lock also holds against root, whom TIOCEXCL lets
        // through.
        const int failure = ::flock(fd, LOCK_EX | LOCK_NB) != 0 ? EWOULDBLOCK : !::isatty(fd) ? ENOTTY : 0;
        if (failure != 0) {
            ::close(fd);
            return refused(deviceName, failure);
        }
        ::ioctl(fd, TIOCEXCL);
        // Whatever the line received before we held it is not an answer to us.
        ::tcflush(fd, TCIOFLUSH);
        return std::make_unique<PosixSerialPort>(fd);
    }

    // The program has one backend, which the ports of a series open from
    // threads of their own: each thread asks about its own last open().
    PortProblem lastOpenProblem() const override { return problem_; }

private:
    std::unique_ptr<SerialPort> refused(const std::string& deviceName, int error)
    {
        problem_ = diagnoseOpenFailure(deviceName, error);
        return nullptr;
    }

    static thread_local PortProblem problem_;
};

thread_local PortProblem PosixSerialBackend::problem_;

}  // namespace

std::unique_ptr<SerialBackend> makeSystemSerialBackend() { return std::make_unique<PosixSerialBackend>(); }

}  // namespace harvelin
