#include "pty_pager.h"

#include <fcntl.h>
#include <poll.h>
#include <termios.h>
#include <unistd.h>

#include <array>
#include <atomic>
#include <cerrno>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <optional>
#include <thread>

namespace harvelin::sim {

namespace {

using SteadyClock = std::chrono::steady_clock;

// How long an answer may wait for room in the pty before it is dropped
// (nobody is reading the line).
constexpr int WriteRoomMs = 100;

void makeRaw(int fd)
{
    termios t{};
    if (::tcgetattr(fd, &t) != 0)
        return;
    ::cfmakeraw(&t);
    ::cfsetispeed(&t, B115200);
    ::cfsetospeed(&t, B115200);
    ::tcsetattr(fd, TCSANOW, &t);
}

void setNonBlocking(int fd) { ::fcntl(fd, F_SETFL, ::fcntl(fd, F_GETFL) | O_NONBLOCK); }

void closeFd(int& fd)
{
    if (fd >= 0)
        ::close(fd);
    fd = -1;
}

}  // namespace

struct PtyPager::Impl {
    explicit Impl(Options o) : options(std::move(o)), engine(options.state)
    {
        engine.faults().silentFrom = options.silentFrom;
        engine.onLearnMode = [this](bool on) {
            if (on && options.pressButtonOnLearn)
                pressAt = SteadyClock::now() + options.learnPressDelay;
            else if (!on)
                pressAt.reset();
            wake();
        };
    }

    bool openPty();
    void closePty();
    void startThread();
    void stopThread();
    void run();
    void answer(std::string_view bytes);
    void writeMaster(std::string_view bytes);
    void logFrames(std::size_t from);
    void wake() const
    {
        if (wakeWrite >= 0) {
            const char c = 0;
            [[maybe_unused]] const ssize_t n = ::write(wakeWrite, &c, 1);
        }
    }

    Options options;
    std::mutex mutex;  // guards the engine, the descriptors and the paths
    PagerSimulator engine;
    int master = -1;
    int slaveKeeper = -1;  // keeps the line up while the tool has it closed
    std::string slavePath;
    int wakeRead = -1;
    int wakeWrite = -1;
    std::thread thread;
    std::atomic<bool> running{false};
    std::optional<SteadyClock::time_point> pressAt;
    std::FILE* log = nullptr;
};

bool PtyPager::Impl::openPty()
{
    const int fd = ::posix_openpt(O_RDWR | O_NOCTTY);
    if (fd < 0)
        return false;
    char name[128];
    if (::grantpt(fd) != 0 || ::unlockpt(fd) != 0 || ::ptsname_r(fd, name, sizeof name) != 0) {
        ::close(fd);
        return false;
    }
    // Without any slave open, a master reports hang-up on every poll; holding
    // one ourselves keeps the line quiet between the tool's opens.
    const int keeper = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
    if (keeper < 0) {
        ::close(fd);
        return false;
    }
    makeRaw(keeper);
    makeRaw(fd);
    setNonBlocking(fd);
    ::fcntl(fd, F_SETFD, FD_CLOEXEC);

    master = fd;
    slaveKeeper = keeper;
    slavePath = name;
    if (!options.linkPath.empty()) {
        ::unlink(options.linkPath.c_str());
        if (::symlink(slavePath.c_str(), options.linkPath.c_str()) != 0) {
            closePty();
            return false;
        }
    }
    return true;
}

void PtyPager::Impl::closePty()
{
    // The link goes first, so a tool that re-opens by its name finds nothing
    // rather than a dead device.
    if (!options.linkPath.empty())
        ::unlink(options.linkPath.c_str());
    closeFd(master);
    closeFd(slaveKeeper);
    slavePath.clear();
}

void PtyPager::Impl::startThread()
{
    int fds[2];
    if (::pipe(fds) != 0)
        return;
    wakeRead = fds[0];
    wakeWrite = fds[1];
    setNonBlocking(wakeRead);
    setNonBlocking(wakeWrite);
    running = true;
    thread = std::thread([this] { run(); });
}

void PtyPager::Impl::stopThread()
{
    if (!thread.joinable())
        return;
    running = false;
    wake();
    thread.join();
    closeFd(wakeRead);
    closeFd(wakeWrite);
}

void PtyPager::Impl::run()
{
    while (running) {
        int timeout = -1;
        {
            std::lock_guard<std::mutex> guard(mutex);
            if (pressAt) {
                const auto left =
                    std::chrono::duration_cast<std::chrono::milliseconds>(*pressAt - SteadyClock::now()).count();
                timeout = left > 0 ? static_cast<int>(left) + 1 : 0;
            }
        }
        pollfd fds[2] = {{master, POLLIN, 0}, {wakeRead, POLLIN, 0}};
        const int ready = ::poll(fds, 2, timeout);
        if (ready < 0 && errno != EINTR)
            break;
        if (fds[1].revents & POLLIN) {
            char drain[64];
            while (::read(wakeRead, drain, sizeof drain) > 0) {
            }
        }
        if (fds[0].revents & POLLIN) {
            char buf[512];
            const ssize_t n = ::read(master, buf, sizeof buf);
            if (n > 0)
                answer(std::string_view(buf, static_cast<std::size_t>(n)));
        } else if (fds[0].revents & (POLLHUP | POLLERR | POLLNVAL)) {
            // Not expected while the keeper holds the slave; do not spin on it.
            std::this_thread::sleep_for(std::chrono::milliseconds(10));
        }
        std::lock_guard<std::mutex> guard(mutex);
        if (pressAt && SteadyClock::now() >= *pressAt) {
            pressAt.reset();
            writeMaster(engine.pressButton(nextButtonIdentity()));
        }
    }
}

void PtyPager::Impl::answer(std::string_view bytes)
{
    std::lock_guard<std::mutex> guard(mutex);
    const std::size_t before = engine.commands().size();
    const std::string reply = engine.receive(bytes);
    logFrames(before);
    const Faults& faults = engine.faults();
    if (reply.empty())
        return;
    const unsigned delayMs = engine.replyDelayMs();
    if (delayMs == 0 && !faults.splitAt) {
        writeMaster(reply);
        return;
    }
    // Timing faults are played out in real time on this thread; the engine
    // stays locked meanwhile, as a busy pager would be.
    std::this_thread::sleep_for(std::chrono::milliseconds(delayMs));
    if (faults.splitAt && *faults.splitAt < reply.size()) {
        writeMaster(std::string_view(reply).substr(0, *faults.splitAt));
        std::this_thread::sleep_for(std::chrono::milliseconds(faults.splitDelayMs));
        writeMaster(std::string_view(reply).substr(*faults.splitAt));
    } else {
        writeMaster(reply);
    }
}

void PtyPager::Impl::writeMaster(std::string_view bytes)
{
    std::size_t done = 0;
    while (master >= 0 && done < bytes.size()) {
        const ssize_t n = ::write(master, bytes.data() + done, bytes.size() - done);
        if (n > 0) {
            done += static_cast<std::size_t>(n);
            continue;
        }
        if (n < 0 && errno == EINTR)
            continue;
        if (n < 0 && errno != EAGAIN && errno != EWOULDBLOCK)
            return;
        pollfd p{master, POLLOUT, 0};
        if (::poll(&p, 1, WriteRoomMs) <= 0)
            return;
    }
}

void PtyPager::Impl::logFrames(std::size_t from)
{
    if (!log)
        return;
    const auto& commands = engine.commands();
    for (std::size_t i = from; i < commands.size(); ++i) {
        std::fwrite(commands[i].data(), 1, commands[i].size(), log);
        std::fputc('\n', log);
    }
    std::fflush(log);
}

PtyPager::PtyPager(Options options) : impl_(std::make_unique<Impl>(std::move(options))) {}

PtyPager::~PtyPager()
{
    stop();
    if (impl_->log)
        std::fclose(impl_->log);
}

bool PtyPager::start()
{
    if (impl_->thread.joinable())
        return true;
    if (!impl_->options.frameLogPath.empty() && !impl_->log)
        impl_->log = std::fopen(impl_->options.frameLogPath.c_str(), "wb");
    {
        std::lock_guard<std::mutex> guard(impl_->mutex);
        if (!impl_->openPty())
            return false;
    }
    impl_->startThread();
    return impl_->thread.joinable();
}

void PtyPager::stop()
{
    impl_->stopThread();
    std::lock_guard<std::mutex> guard(impl_->mutex);
    impl_->closePty();
}

std::string PtyPager::devicePath() const
{
    std::lock_guard<std::mutex> guard(impl_->mutex);
    return impl_->options.linkPath.empty() ? impl_->slavePath : impl_->options.linkPath;
}

void PtyPager::unplug() { stop(); }

void PtyPager::plug() { start(); }

void PtyPager::pressButton(const std::array<std::uint8_t, 5>& id)
{
    std::lock_guard<std::mutex> guard(impl_->mutex);
    impl_->writeMaster(impl_->engine.pressButton(id));
}

std::unique_lock<std::mutex> PtyPager::lock() { return std::unique_lock<std::mutex>(impl_->mutex); }

PagerSimulator& PtyPager::pager() { return impl_->engine; }

}  // namespace harvelin::sim
