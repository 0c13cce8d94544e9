// harvelin-cli against a pager that misbehaves on purpose, in real time over
// pseudo-terminals: the simulated pager's engine decides what the pager
// answers, and this partner decides when and how those bytes reach the line
// (late, twice, split, with flipped bits). Whatever it does, the tool ends
// with status 0 only when what it read or wrote is what the pager holds.
#include <gtest/gtest.h>

#include <fcntl.h>
#include <poll.h>
#include <spawn.h>
#include <sys/wait.h>
#include <termios.h>
#include <unistd.h>

#include <algorithm>
#include <atomic>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <future>
#include <map>
#include <random>
#include <string>
#include <thread>
#include <vector>

#include "pager_simulator.h"
#include "test_files.h"

extern char** environ;

namespace harvelin {
namespace {

#if defined(HARVELIN_CLI_PATH)

using Steady = std::chrono::steady_clock;
using Ms = std::chrono::milliseconds;

struct Misbehaviour {
    unsigned delayMs = 0;           // every answer starts this much later
    std::size_t splitAt = 0;        // answers to ">L..." break off after this many bytes ...
    unsigned splitGapMs = 0;        // ... and the rest follows this much later
    double noise = 0;               // chance that a byte of an answer has one bit flipped
    unsigned seed = 1;
    std::string repeatAnswerTo;     // the answer to this command comes once more, 380 ms late
    std::string refuse;             // commands starting so are answered "Fehler"
};

class HostilePager {
public:
    HostilePager(sim::PagerState state, Misbehaviour m) : engine_(std::move(state)), m_(m), random_(m.seed)
    {
        if (!m_.refuse.empty())
            engine_.faults().noAckFor[m_.refuse] = -1;
        master_ = ::posix_openpt(O_RDWR | O_NOCTTY);
        char name[128];
        if (master_ < 0 || ::grantpt(master_) != 0 || ::unlockpt(master_) != 0 ||
            ::ptsname_r(master_, name, sizeof name) != 0)
            return;
        path_ = name;
        // A slave held open keeps the master from reporting hang-up between
        // the tool's opens.
        keeper_ = ::open(name, O_RDWR | O_NOCTTY | O_NONBLOCK);
        for (const int fd : {master_, keeper_}) {
            termios t{};
            ::tcgetattr(fd, &t);
            ::cfmakeraw(&t);
            ::tcsetattr(fd, TCSANOW, &t);
        }
        ::fcntl(master_, F_SETFL, ::fcntl(master_, F_GETFL) | O_NONBLOCK);
        thread_ = std::thread([this] { run(); });
    }

    ~HostilePager()
    {
        stop_ = true;
        if (thread_.joinable())
            thread_.join();
        ::close(keeper_);
        ::close(master_);
    }

    const std::string& path() const { return path_; }
    const sim::PagerState& state() const { return engine_.state(); }

private:
    void run()
    {
        while (!stop_) {
            int waitMs = 20;
            if (!due_.empty())
                waitMs = std::clamp<int>(static_cast<int>(std::chrono::duration_cast<Ms>(due_.begin()->first -
                                                                                         Steady::now()).count()),
                                         0, 20);
            pollfd p{master_, POLLIN, 0};
            if (::poll(&p, 1, waitMs) > 0 && (p.revents & POLLIN)) {
                char buf[256];
                const ssize_t n = ::read(master_, buf, sizeof buf);
                if (n > 0)
                    heard(std::string(buf, static_cast<std::size_t>(n)));
            }
            while (!due_.empty() && due_.begin()->first <= Steady::now()) {
                [[maybe_unused]] const ssize_t w =
                    ::write(master_, due_.begin()->second.data(), due_.begin()->second.size());
                due_.erase(due_.begin());
            }
        }
    }

    void heard(const std::string& bytes)
    {
        const std::size_t before = engine_.commands().size();
        std::string answer = engine_.receive(bytes);
        if (answer.empty() || engine_.commands().size() == before)
            return;
        const std::string& command = engine_.commands().back();
        for (char& c : answer)
            if (std::bernoulli_distribution(m_.noise)(random_))
                c = static_cast<char>(c ^ (1 << std::uniform_int_distribution<int>(0, 7)(random_)));
        const auto at = Steady::now() + Ms(m_.delayMs);
        if (m_.splitAt != 0 && command.starts_with(">L") && answer.size() > m_.splitAt) {
            due_.emplace(at, answer.substr(0, m_.splitAt));
            due_.emplace(at + Ms(m_.splitGapMs), answer.substr(m_.splitAt));
        } else {
            due_.emplace(at, answer);
        }
        if (!m_.repeatAnswerTo.empty() && command.starts_with(m_.repeatAnswerTo))
            due_.emplace(at + Ms(380), answer);
    }

    sim::PagerSimulator engine_;
    Misbehaviour m_;
    std::mt19937 random_;
    std::multimap<Steady::time_point, std::string> due_;
    int master_ = -1;
    int keeper_ = -1;
    std::string path_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// harvelin-cli with the given arguments after "--port PATH --no-backup";
// its exit status and what it wrote on standard error.
struct CliRun {
    int status = -1;
    std::string err;
};

CliRun runCli(const std::string& port, const std::vector<std::string>& args, const std::filesystem::path& errFile)
{
    std::vector<std::string> all = {HARVELIN_CLI_PATH, "--port", port, "--no-backup"};
    all.insert(all.end(), args.begin(), args.end());
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, "/dev/null", O_WRONLY, 0);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& a : all)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    CliRun run;
    if (::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ) == 0) {
        int status = 0;
        if (::waitpid(pid, &status, 0) == pid && WIFEXITED(status))
            run.status = WEXITSTATUS(status);
    }
    posix_spawn_file_actions_destroy(&actions);
    run.err = readBytes(errFile);
    return run;
}

Misbehaviour splitting(unsigned gapMs)
{
    Misbehaviour m;
    m.splitAt = 8;
    m.splitGapMs = gapMs;
    return m;
}

Misbehaviour slow(unsigned delayMs)
{
    Misbehaviour m;
    m.delayMs = delayMs;
    return m;
}

Misbehaviour noisy(unsigned seed)
{
    Misbehaviour m;
    m.noise = 0.005;
    m.seed = seed;
    return m;
}

// A read-out of the demo pager under `m`: its status, and whether the file
// it saved holds what the same read-out of a well-behaved pager saves.
struct ReadCase {
    const char* name;
    Misbehaviour m;
    bool careful;
    bool mustSucceed;
};

TEST(HostilePager, OnlyThePagersOwnAnswerCounts)
{
    TempDir dir;
    const auto readWith = [&](const std::string& name, Misbehaviour m, bool careful) {
        HostilePager pager(sim::demoPagerState(), m);
        const std::filesystem::path out = dir.path() / (name + ".pag");
        std::vector<std::string> args = {"read", out.string()};
        if (careful)
            args.push_back("--careful");
        CliRun run = runCli(pager.path(), args, dir.path() / (name + ".err"));
        return std::make_pair(run, readBytes(out));
    };

    // The slot refused behind a late repeat of the acknowledgement before it:
    // the write fails and names it.
    const std::filesystem::path source = dir.path() / "source.pag";
    auto write = std::async(std::launch::async, [&] {
        Misbehaviour m;
        m.repeatAnswerTo = ">Setze:4 ";
        m.refuse = ">Setze:5 ";
        HostilePager pager(sim::demoPagerState(), m);
        std::filesystem::copy_file(std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag", source);
        return runCli(pager.path(), {"write", source.string()}, dir.path() / "write.err");
    });

    std::vector<ReadCase> cases = {
        {"clean", {}, false, true},
        // The rest of every answer comes while the tool still listens, or
        // only in the window of the next request.
        {"split-320", splitting(320), false, true},
        {"split-450", splitting(450), false, false},
        {"slow-400", slow(400), false, true},
    };
    for (unsigned seed : {1u, 2u, 3u})
        cases.push_back({"noise", noisy(seed), true, false});

    std::vector<std::future<std::pair<CliRun, std::string>>> reads;
    for (std::size_t i = 0; i < cases.size(); ++i)
        reads.push_back(std::async(std::launch::async, readWith, cases[i].name + std::to_string(i), cases[i].m,
                                   cases[i].careful));
    std::vector<std::pair<CliRun, std::string>> results;
    for (auto& r : reads)
        results.push_back(r.get());

    const std::string& reference = results[0].second;
    ASSERT_EQ(results[0].first.status, 0) << results[0].first.err;
    ASSERT_FALSE(reference.empty());
    for (std::size_t i = 1; i < cases.size(); ++i) {
        SCOPED_TRACE(cases[i].name + std::string(" ") + std::to_string(cases[i].m.seed));
        const CliRun& run = results[i].first;
        std::printf("%-10s seed %u: status %d\n", cases[i].name, cases[i].m.seed, run.status);
        if (cases[i].mustSucceed) {
            EXPECT_EQ(run.status, 0) << run.err;
        }
        if (run.status == 0) {
            EXPECT_EQ(results[i].second, reference) << run.err;
        } else {
            EXPECT_EQ(run.status, 1) << run.err;
        }
    }

    const CliRun written = write.get();
    EXPECT_EQ(written.status, 1);
    EXPECT_NE(written.err.find("Fehlerhafte Übertragung! Nicht übernommen: Tischsender 6. Der Pager antwortete: "
                               "\"Fehler\\r\\n"),
              std::string::npos)
        << written.err;
}

#endif

}  // namespace
}  // namespace harvelin
