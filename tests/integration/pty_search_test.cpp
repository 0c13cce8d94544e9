#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <signal.h>
#include <spawn.h>
#include <sys/file.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <memory>
#include <sstream>
#include <string>
#include <thread>

#include "link/port_table.h"
#include "link/serial_link.h"
#include "model/win1252.h"
#include "platform/clock.h"
#include "platform/serial_backends.h"
#include "pty_pager.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "memory_host.h"

extern char** environ;

namespace harvelin {
namespace {

namespace fs = std::filesystem;

fs::path makeTempDir()
{
    std::string pattern = (fs::temp_directory_path() / "harvelin-pty-XXXXXX").string();
    return ::mkdtemp(pattern.data()) ? fs::path(pattern) : fs::path();
}

#ifdef ZELVATRON_SIM_PATH
// zelvatron-sim as a program of its own, talked to through its stdin.
class SimProcess {
public:
    bool start(const std::vector<std::string>& args)
    {
        int in[2];
        int out[2];
        if (::pipe(in) != 0 || ::pipe(out) != 0)
            return false;
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, in[0], STDIN_FILENO);
        posix_spawn_file_actions_adddup2(&actions, out[1], STDOUT_FILENO);
        posix_spawn_file_actions_addclose(&actions, in[1]);
        posix_spawn_file_actions_addclose(&actions, out[0]);
        std::vector<std::string> all{ZELVATRON_SIM_PATH};
        all.insert(all.end(), args.begin(), args.end());
        std::vector<char*> argv;
        for (auto& a : all)
            argv.push_back(a.data());
        argv.push_back(nullptr);
        const int rc = ::posix_spawn(&pid_, ZELVATRON_SIM_PATH, &actions, nullptr, argv.data(), environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(in[0]);
        ::close(out[1]);
        toSim_ = in[1];
        fromSim_ = out[0];
        return rc == 0;
    }

    // One line of the simulator's stdout; empty when none came in time.
    std::string readLine(int timeoutMs = 5000)
    {
        std::string line;
        char c;
        while (true) {
            pollfd p{fromSim_, POLLIN, 0};
            if (::poll(&p, 1, timeoutMs) <= 0 || ::read(fromSim_, &c, 1) != 1)
                return {};
            if (c == '\n')
                return line;
            line += c;
        }
    }

    void send(const std::string& line)
    {
        [[maybe_unused]] const ssize_t n = ::write(toSim_, line.data(), line.size());
    }

    // The simulator outlives its stdin (as in the background) and ends on
    // the signal: its exit status then, -2 when it ended with its stdin.
    int finish(int endSignal = SIGTERM)
    {
        if (pid_ <= 0)
            return -1;
        ::close(toSim_);
        int status = 0;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
        const bool endedWithStdin = ::waitpid(pid_, &status, WNOHANG) == pid_;
        if (!endedWithStdin) {
            ::kill(pid_, endSignal);
            ::waitpid(pid_, &status, 0);
        }
        ::close(fromSim_);
        pid_ = 0;
        if (endedWithStdin)
            return -2;
        return WIFEXITED(status) ? WEXITSTATUS(status) : -1;
    }

    ~SimProcess() { finish(); }

private:
    pid_t pid_ = 0;
    int toSim_ = -1;
    int fromSim_ = -1;
};
#endif

// Whether another process can open the device with the tool's own backend.
// The child opens the line as the tool does (exclusively, and with the
// advisory lock that holds against root too) with system calls alone: a
// child of a process with threads may not allocate, since another thread
// may have held the allocator's lock at the fork.
bool anotherProgramCanOpen(const std::string& device)
{
    const pid_t child = ::fork();
    if (child == 0) {
        const int fd = ::open(device.c_str(), O_RDWR | O_NOCTTY | O_NONBLOCK | O_CLOEXEC);
        ::_exit(fd >= 0 && ::flock(fd, LOCK_EX | LOCK_NB) == 0 ? 0 : 1);
    }
    int status = 0;
    ::waitpid(child, &status, 0);
    return WIFEXITED(status) && WEXITSTATUS(status) == 0;
}

// Reads until the byte arrives or two seconds pass.
std::string readUntil(SerialPort& port, char last)
{
    std::string got;
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end && (got.empty() || got.back() != last))
        got += port.read(100);
    return got;
}

// Whether the condition comes true within two seconds.
template <typename Condition>
bool becomesTrue(Condition done)
{
    const auto end = std::chrono::steady_clock::now() + std::chrono::seconds(2);
    while (std::chrono::steady_clock::now() < end) {
        if (done())
            return true;
        ::usleep(10000);
    }
    return false;
}

class PtySearchTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = makeTempDir();
        ASSERT_FALSE(dir.empty());
    }
    void TearDown() override
    {
        link.reset();
        dialog.reset();
        std::error_code ignored;
        fs::remove_all(dir, ignored);
    }

    void makeDialog(PortTable table)
    {
        dialog = std::make_unique<MainDialog>(host, *backend, std::move(table), clock);
        dialog->OnInitDialog();
    }

    // A link of its own to port `n` of `table`, open as a successful search
    // leaves it, without the search's seconds of probing and repeater status.
    bool connect(PortTable table, unsigned n = 1)
    {
        link = std::make_unique<SerialLink>(*backend, std::move(table), clock);
        link->setPortNumber(static_cast<std::uint8_t>(n));
        if (!link->open())
            return false;
        link->setState(LinkState::Open);
        return true;
    }
    bool connect(const std::string& device) { return connect(PortTable::fromPaths({device})); }

    fs::path dir;
    SystemClock clock;
    MemoryHost host;
    std::unique_ptr<SerialBackend> backend = makeSystemSerialBackend();
    std::unique_ptr<MainDialog> dialog;
    std::unique_ptr<SerialLink> link;
};

#ifdef ZELVATRON_SIM_PATH
TEST_F(PtySearchTest, SearchFindsSimulatorProgramAndExchangeRoundTrips)
{
    const std::string linkPath = (dir / "zelvatron").string();
    const std::string log = (dir / "frames.log").string();
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--link", linkPath, "--log", log}));
    ASSERT_EQ(sim.readLine(), linkPath);

    // Port 1 does not exist; the pager is port 2.
    const PortTable table = PortTable::fromPaths({(dir / "absent").string(), linkPath});
    makeDialog(table);
    dialog->onCommand(ctl::SearchButton);
    ASSERT_EQ(dialog->session().portNumber(), 2);
    EXPECT_EQ(dialog->session().linkState(), LinkState::Open);
    EXPECT_TRUE(host.isChecked(ctl::Active));
    EXPECT_EQ(host.portListLine, "Pager an Port:zelvatron gefunden");
    EXPECT_EQ(host.portListHistory.front(), win1252("Prüfe :absent"));
    // The form lets the port go; a link of its own goes on with it.
    dialog.reset();
    ASSERT_TRUE(connect(table, 2));

    std::string reply;
    std::uint8_t length = 0;
    ASSERT_TRUE(link->exchange(">List Adresstext", reply, length));
    EXPECT_EQ(reply, "Adresstext :Pager:A\r\n");
    EXPECT_EQ(length, reply.size());

    // A call button pressed at the simulator's console, while learning.
    ASSERT_TRUE(link->exchange(">Setze Lernmodus:1", reply, length));
    sim.send("press 1 2 3 4 5\n");
    EXPECT_EQ(readUntil(*link->port(), '\r'), "Tischsender:1 2 3 4 5 77\r");

    // Pulled and put back: the line comes back under the same name.
    sim.send("unplug\n");
    EXPECT_TRUE(becomesTrue([&] { return !link->port()->readSettings(); }));
    sim.send("plug\n");
    EXPECT_EQ(sim.readLine(), linkPath);
    EXPECT_TRUE(fs::exists(linkPath));

    link->close();
    EXPECT_EQ(sim.finish(), 0);
    EXPECT_FALSE(fs::exists(linkPath));
    std::ifstream frames(log);
    std::stringstream all;
    all << frames.rdbuf();
    EXPECT_NE(all.str().find(">@\n"), std::string::npos);
    EXPECT_NE(all.str().find(">List Adresstext\n"), std::string::npos);
}

TEST_F(PtySearchTest, SimulatorProgramPlaysSixteenSlotPager)
{
    SimProcess sim;
    ASSERT_TRUE(sim.start({"--version16"}));
    const std::string device = sim.readLine();
    ASSERT_FALSE(device.empty());
    auto port = backend->open(device);
    ASSERT_NE(port, nullptr);
    ASSERT_TRUE(port->readSettings());
    ASSERT_TRUE(port->applyLineSettings());
    ASSERT_TRUE(port->write("\x16>@\r"));
    EXPECT_EQ(readUntil(*port, '\n'), "\r\nZelvatron Pager Direkt V1.4\r\n");
    ASSERT_TRUE(port->write("\x16>Lese:16\r"));
    EXPECT_EQ(readUntil(*port, '\n'), "Fehler\r\n");
    port.reset();
    EXPECT_EQ(sim.finish(SIGINT), 0);
}
#endif

TEST_F(PtySearchTest, PortHeldByTheToolIsRefusedToAnotherProgram)
{
    sim::PtyPager pty({});
    if (!pty.start())
        GTEST_SKIP() << "no pseudo-terminal available";
    makeDialog(PortTable::fromPaths({pty.devicePath()}));
    ASSERT_TRUE(dialog->session().takePort(1));

    EXPECT_FALSE(anotherProgramCanOpen(pty.devicePath()));
    EXPECT_EQ(backend->open(pty.devicePath()), nullptr);

    SessionEvents none;
    dialog->session().end(none);
    EXPECT_TRUE(anotherProgramCanOpen(pty.devicePath()));
}

TEST_F(PtySearchTest, BytesPassTheLineUnchanged)
{
    sim::PtyPager pty({});
    if (!pty.start())
        GTEST_SKIP() << "no pseudo-terminal available";
    ASSERT_TRUE(connect(pty.devicePath()));

    // CR, the control bytes of the slot layout and Windows-1252 letters must
    // neither be translated nor swallowed by the line discipline.
    const std::string text = win1252("Tür ß\x11\x13");
    std::string reply;
    std::uint8_t length = 0;
    ASSERT_TRUE(link->exchange(">Setze:4 \x02" + text + "\x03 001 002 003 004 005 Ende", reply, length));
    ASSERT_TRUE(link->exchange(">Lese:4", reply, length));
    EXPECT_EQ(reply, "Pos:4:" + text + "\x03 001 002 003 004 005 Ende\r\n");
}

TEST_F(PtySearchTest, ReadWaitsForItsWholeTimeOutOnSilentLine)
{
    sim::PtyPager pty({});
    if (!pty.start())
        GTEST_SKIP() << "no pseudo-terminal available";
    auto port = backend->open(pty.devicePath());
    ASSERT_NE(port, nullptr);
    ASSERT_TRUE(port->readSettings());
    ASSERT_TRUE(port->applyLineSettings());
    port->setTimeouts(TimeoutSet::Link);
    const auto start = std::chrono::steady_clock::now();
    EXPECT_EQ(port->read(200), "");
    EXPECT_GE(std::chrono::steady_clock::now() - start, std::chrono::milliseconds(201));
}

TEST_F(PtySearchTest, VanishedLineFailsLivenessCheckAndReturnsUnderItsName)
{
    sim::PtyPager::Options options;
    options.linkPath = (dir / "zelvatron").string();
    sim::PtyPager pty(options);
    if (!pty.start())
        GTEST_SKIP() << "no pseudo-terminal available";
    auto port = backend->open(options.linkPath);
    ASSERT_NE(port, nullptr);
    ASSERT_TRUE(port->readSettings());
    ASSERT_TRUE(port->applyLineSettings());

    pty.unplug();
    EXPECT_FALSE(port->readSettings());
    EXPECT_FALSE(port->write("\x16"));
    EXPECT_EQ(backend->open(options.linkPath), nullptr);

    pty.plug();
    port.reset();
    port = backend->open(options.linkPath);
    ASSERT_NE(port, nullptr);
    EXPECT_TRUE(port->readSettings());
}

TEST_F(PtySearchTest, PagerPressesButtonSoonAfterLearnModeStarts)
{
    sim::PtyPager::Options options;
    options.pressButtonOnLearn = true;
    sim::PtyPager pty(options);
    if (!pty.start())
        GTEST_SKIP() << "no pseudo-terminal available";
    ASSERT_TRUE(connect(pty.devicePath()));
    std::string reply;
    std::uint8_t length = 0;
    ASSERT_TRUE(link->exchange(">Setze Lernmodus:1", reply, length));
    const std::string report = readUntil(*link->port(), '\r');
    EXPECT_EQ(report.rfind("Tischsender:", 0), 0u) << report;
}

TEST_F(PtySearchTest, SimulatedPagersStartedAnewPressButtonsOfTheirOwn)
{
    // Each pager stands for a run of the tool with --simulate; a button that
    // an earlier run learned into a file must not come again.
    sim::PtyPager::Options options;
    options.pressButtonOnLearn = true;
    sim::PtyPager first(options);
    sim::PtyPager second(options);
    if (!first.start() || !second.start())
        GTEST_SKIP() << "no pseudo-terminal available";
    std::unique_ptr<SerialPort> ports[] = {backend->open(first.devicePath()), backend->open(second.devicePath())};
    for (auto& port : ports) {
        ASSERT_NE(port, nullptr);
        ASSERT_TRUE(port->applyLineSettings());
        port->setTimeouts(TimeoutSet::Link);
        ASSERT_TRUE(port->write("\x16>Setze Lernmodus:1\r"));
    }
    std::string reports[2];
    for (int i = 0; i < 2; ++i) {
        const std::string got = readUntil(*ports[i], '\n') + readUntil(*ports[i], '\r');
        const auto at = got.find("Tischsender:");
        ASSERT_NE(at, std::string::npos) << got;
        reports[i] = got.substr(at);
    }
    EXPECT_NE(reports[0], reports[1]);
}

TEST_F(PtySearchTest, SimulatorPressesButtonOnCommand)
{
    sim::PtyPager pty({});
    if (!pty.start())
        GTEST_SKIP() << "no pseudo-terminal available";
    ASSERT_TRUE(connect(pty.devicePath()));
    std::string reply;
    std::uint8_t length = 0;
    ASSERT_TRUE(link->exchange(">Setze Lernmodus:1", reply, length));
    pty.pressButton({200, 3, 0, 0, 7});
    EXPECT_EQ(link->port()->read(100), "Tischsender:200 3 0 0 7 77\r");
}

}  // namespace
}  // namespace harvelin
