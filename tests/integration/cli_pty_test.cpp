#include <gtest/gtest.h>

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>
#include <thread>
#include <tuple>
#include <vector>

#include "test_files.h"

extern char** environ;

namespace harvelin {
namespace {

#if defined(ZELVATRON_SIM_PATH) && defined(HARVELIN_CLI_PATH)

// Starts a program with stdout and stderr into files; its process id, or -1.
pid_t startProgram(const std::vector<std::string>& args, const std::filesystem::path& outFile,
                   const std::filesystem::path& errFile)
{
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 1, outFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    posix_spawn_file_actions_addopen(&actions, 2, errFile.c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    pid_t pid = 0;
    const int rc = ::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ);
    posix_spawn_file_actions_destroy(&actions);
    return rc == 0 ? pid : -1;
}

// The exit status of a started program, or -1 when it did not end normally.
int exitStatus(pid_t pid)
{
    int status = 0;
    if (pid <= 0 || ::waitpid(pid, &status, 0) != pid || !WIFEXITED(status))
        return -1;
    return WEXITSTATUS(status);
}

// Whether `file` comes to hold `text` `count` times within `timeoutMs`.
bool waitForText(const std::filesystem::path& file, const std::string& text, std::size_t count, int timeoutMs)
{
    auto seen = [&] {
        const std::string now = readBytes(file);
        std::size_t found = 0;
        for (std::size_t at = now.find(text); at != std::string::npos; at = now.find(text, at + 1))
            ++found;
        return found >= count;
    };
    for (int waited = 0; waited < timeoutMs && !seen(); waited += 100)
        ::usleep(100 * 1000);
    return seen();
}

// With a signal, the program gets it after `signalAfterMs`.
int runProgram(const std::vector<std::string>& args, const std::filesystem::path& outFile,
               const std::filesystem::path& errFile, int signal = 0, int signalAfterMs = 0)
{
    const pid_t pid = startProgram(args, outFile, errFile);
    if (pid > 0 && signal != 0) {
        std::this_thread::sleep_for(std::chrono::milliseconds(signalAfterMs));
        ::kill(pid, signal);
    }
    return exitStatus(pid);
}

// zelvatron-sim on a pseudo-terminal, in real time, and harvelin-cli run
// against it as a separate program.
class CliPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "harvelin-cli-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        // The tool keeps its backups here, not in the user's data folder.
        ::setenv("XDG_DATA_HOME", (dir / "data").c_str(), 1);

        // The simulator runs until it is told to end and prints the
        // device to open as its first line.
        int toSim[2];
        int fromSim[2];
        ASSERT_EQ(::pipe(toSim), 0);
        ASSERT_EQ(::pipe(fromSim), 0);
        posix_spawn_file_actions_t actions;
        posix_spawn_file_actions_init(&actions);
        posix_spawn_file_actions_adddup2(&actions, toSim[0], 0);
        posix_spawn_file_actions_adddup2(&actions, fromSim[1], 1);
        posix_spawn_file_actions_addclose(&actions, toSim[1]);
        posix_spawn_file_actions_addclose(&actions, fromSim[0]);
        // The device keeps its name when the simulated pager is unplugged
        // and plugged again.
        const std::string link = (dir / "pager").string();
        const std::string log = (dir / "frames.log").string();
        char* argv[] = {const_cast<char*>(ZELVATRON_SIM_PATH), const_cast<char*>("--link"),
                        const_cast<char*>(link.c_str()), const_cast<char*>("--log"),
                        const_cast<char*>(log.c_str()), nullptr};
        const int rc = ::posix_spawn(&simPid, argv[0], &actions, nullptr, argv, environ);
        posix_spawn_file_actions_destroy(&actions);
        ::close(toSim[0]);
        ::close(fromSim[1]);
        simInput = toSim[1];
        ASSERT_EQ(rc, 0);

        std::string line;
        char c = 0;
        while (::read(fromSim[0], &c, 1) == 1 && c != '\n')
            line += c;
        ::close(fromSim[0]);
        if (line.empty())
            GTEST_SKIP() << "the simulator found no pseudo-terminal";
        device = line;
    }

    void TearDown() override
    {
        if (simInput >= 0)
            ::close(simInput);
        if (simPid > 0) {
            ::kill(simPid, SIGTERM);
            int status = 0;
            ::waitpid(simPid, &status, 0);
        }
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    int cli(std::vector<std::string> args, int signal = 0, int signalAfterMs = 0)
    {
        args.insert(args.begin(), HARVELIN_CLI_PATH);
        const int status = runProgram(args, dir / "out.txt", dir / "err.txt", signal, signalAfterMs);
        out = readBytes(dir / "out.txt");
        err = readBytes(dir / "err.txt");
        return status;
    }

    // A command line for the simulator (see zelvatron-sim); it is read at
    // once, so a short pause lets it take effect before the tool goes on.
    void simulator(const std::string& command)
    {
        const std::string line = command + "\n";
        ASSERT_EQ(::write(simInput, line.data(), line.size()), static_cast<ssize_t>(line.size()));
        ::usleep(300 * 1000);
    }

    std::filesystem::path dir;
    std::string device;
    pid_t simPid = -1;
    int simInput = -1;
    std::string out;
    std::string err;
};

TEST_F(CliPtyTest, WrittenFileReadsBackByteForByte)
{
    const std::filesystem::path original = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";
    ASSERT_EQ(cli({"--port", device, "write", original.string()}), 0) << err;
    EXPECT_EQ(err, "Daten erfolgreich übertragen\n");

    const std::filesystem::path readBack = dir / "gelesen.pag";
    ASSERT_EQ(cli({"--port", device, "read", readBack.string()}), 0) << err;
    EXPECT_EQ(readBytes(readBack), readBytes(original));
}

TEST_F(CliPtyTest, SearchNamesThePortAndAMissingPagerGivesThree)
{
    ASSERT_EQ(cli({"--port", "/dev/null", "--port", device, "search"}), 0) << err;
    EXPECT_EQ(out, "2 " + device + "\n");
    EXPECT_EQ(cli({"--port", "/dev/null", "search"}), 3);
}

// Ctrl-C or SIGTERM in the middle of a command: the command stops between two
// commands to the pager, leaves learn mode, closes the port, writes no file
// and ends with 130. (The search takes about 3 s.)
TEST_F(CliPtyTest, SignalStopsTheCommandCleanlyWith130)
{
    const std::filesystem::path original = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";
    const std::filesystem::path file = dir / "ziel.pag";
    for (const auto& [args, signal, afterMs] :
         {std::tuple<std::vector<std::string>, int, int>{{"search"}, SIGINT, 800},
          {{"read", file.string()}, SIGINT, 5000},
          {{"write", file.string()}, SIGTERM, 5000},
          {{"learn", "3", file.string()}, SIGINT, 5500}}) {
        SCOPED_TRACE(args.front());
        std::filesystem::copy_file(original, file, std::filesystem::copy_options::overwrite_existing);
        std::vector<std::string> all = {"--trace", "--port", device};
        all.insert(all.end(), args.begin(), args.end());

        EXPECT_EQ(cli(all, signal, afterMs), 130) << err;
        EXPECT_EQ(readBytes(file), readBytes(original));
        // Nothing went out after the interruption but leaving learn mode, and
        // the port was closed.
        ASSERT_NE(err.find("harvelin-cli: interrupted"), std::string::npos) << err;
        EXPECT_LT(err.rfind("-> "), err.rfind(" close\n")) << err;
        const std::size_t learnOn = err.find(">Setze Lernmodus:1");
        EXPECT_EQ(learnOn != std::string::npos, args.front() == "learn") << err;
        EXPECT_TRUE(learnOn == std::string::npos || err.find(">Setze Lernmodus:0", learnOn) != std::string::npos)
            << err;
    }
    EXPECT_FALSE(std::filesystem::exists(dir / "ziel.partial.pag"));
}

const std::filesystem::path SavedConfiguration = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";

std::vector<std::string> linesOf(const std::string& text)
{
    std::vector<std::string> lines;
    for (std::size_t at = 0, end; (end = text.find('\n', at)) != std::string::npos; at = end + 1)
        lines.push_back(text.substr(at, end - at));
    return lines;
}

TEST_F(CliPtyTest, VerifyNamesTheSlotThePagerAcknowledgedButDidNotStore)
{
    simulator("forget 6");
    EXPECT_EQ(cli({"--port", device, "write", SavedConfiguration.string(), "--verify"}), 1) << err;
    // Every slot was acknowledged; only the read-back shows what is missing.
    EXPECT_NE(err.find("Daten erfolgreich übertragen\n"), std::string::npos) << err;
    const std::vector<std::string> lines = linesOf(out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Platz 6: Meldetext \"\" statt \"Terrasse Süd\"");
    for (const std::string& line : lines)
        EXPECT_EQ(line.rfind("Platz 6: ", 0), 0u) << line;
}

TEST_F(CliPtyTest, DiffComparesTwoFilesAndAFileWithThePager)
{
    std::string changed = readBytes(SavedConfiguration);
    changed.replace(changed.find("Tisch 1"), 7, "Tisch 9");
    const std::filesystem::path copy = dir / "geaendert.pag";
    std::ofstream(copy, std::ios::binary) << changed;

    EXPECT_EQ(cli({"diff", SavedConfiguration.string(), copy.string()}), 1) << err;
    EXPECT_EQ(out, "Platz 1: Meldetext \"Tisch 9\" statt \"Tisch 1\"\n");
    EXPECT_EQ(cli({"diff", copy.string(), copy.string(), "--json"}), 0) << err;
    EXPECT_EQ(out, "{\n  \"equal\": true,\n  \"differences\": []\n}\n");

    // The simulated pager starts empty; its read-out is kept as a backup.
    ASSERT_EQ(cli({"--port", device, "diff", SavedConfiguration.string(), "pager"}), 1) << err;
    EXPECT_EQ(linesOf(out).front(), "Platz 1: Meldetext \"\" statt \"Tisch 1\"");
    EXPECT_EQ(cli({"backups"}), 0) << err;
    EXPECT_EQ(linesOf(out).size(), 1u) << out;
    EXPECT_NE(out.find((dir / "data" / "harvelin" / "backups" / "Pager_A-").string()), std::string::npos) << out;
}

TEST_F(CliPtyTest, EachWritesOnePagerAfterTheOtherUntilCtrlC)
{
    const std::filesystem::path log = dir / "serie.csv";
    const pid_t pid = startProgram({HARVELIN_CLI_PATH, "--port", device, "write", SavedConfiguration.string(),
                                    "--each", "--verify", "--log", log.string()},
                                   dir / "out.txt", dir / "err.txt");
    ASSERT_GT(pid, 0);
    auto waitFor = [&](const std::filesystem::path& file, const std::string& text, std::size_t count) {
        return waitForText(file, text, count, 180'000);
    };
    EXPECT_TRUE(waitFor(dir / "out.txt", "\n", 1)) << readBytes(dir / "err.txt");
    // The first pager is taken off; another one, set up differently and with
    // a slot that does not keep what it is sent, takes its place.
    simulator("unplug");
    EXPECT_TRUE(waitFor(dir / "err.txt", "the pager is gone", 1)) << readBytes(dir / "err.txt");
    simulator("forget 1");
    simulator("plug demo");
    EXPECT_TRUE(waitFor(dir / "out.txt", "\n", 2)) << readBytes(dir / "err.txt");
    ::kill(pid, SIGINT);
    EXPECT_EQ(exitStatus(pid), 1);

    const std::vector<std::string> results = linesOf(readBytes(dir / "out.txt"));
    ASSERT_EQ(results.size(), 2u);
    EXPECT_NE(results[0].find("  " + device + "  2.62  ok, verified"), std::string::npos) << results[0];
    EXPECT_NE(results[1].find("  " + device + "  2.62  failed: the pager does not hold what was written"),
              std::string::npos)
        << results[1];
    const std::vector<std::string> logged = linesOf(readBytes(log));
    ASSERT_EQ(logged.size(), 3u);
    EXPECT_EQ(logged[0], "time,port,version,result\r");
    EXPECT_EQ(logged[1].substr(logged[1].find(',')), "," + device + ",2.62,\"ok, verified\"\r");
}

// The first Ctrl-C is answered at once and lets the pager at hand finish; a
// second one stops the write within one exchange, and the result line and the
// log say what that pager was left with.
TEST_F(CliPtyTest, SecondCtrlCStopsTheSeriesAtOnceAndLogsThePartlyWrittenPager)
{
    const std::filesystem::path log = dir / "serie.csv";
    const pid_t pid = startProgram({HARVELIN_CLI_PATH, "--trace", "--port", device, "write",
                                    SavedConfiguration.string(), "--each", "--log", log.string()},
                                   dir / "out.txt", dir / "err.txt");
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(waitForText(dir / "err.txt", ">Setze:3", 1, 60'000)) << readBytes(dir / "err.txt");
    ::kill(pid, SIGINT);
    EXPECT_TRUE(waitForText(dir / "err.txt", "harvelin-cli: the series ends after this pager; Ctrl-C again stops now\n",
                            1, 2'000))
        << readBytes(dir / "err.txt");
    ::kill(pid, SIGINT);
    EXPECT_EQ(exitStatus(pid), 130);

    const std::string told = readBytes(dir / "err.txt");
    EXPECT_EQ(told.find(">Setze Adresstext"), std::string::npos) << told;
    EXPECT_NE(told.find("Übertragung abgebrochen – der Pager ist nur teilweise beschrieben. Bis Tischsender "),
              std::string::npos)
        << told;
    const std::vector<std::string> results = linesOf(readBytes(dir / "out.txt"));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_NE(results[0].find("  " + device + "  2.62  interrupted: the pager is only partly written"), std::string::npos)
        << results[0];
    const std::vector<std::string> logged = linesOf(readBytes(log));
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[1].substr(logged[1].find(',')), "," + device + ",2.62,interrupted: the pager is only partly written\r");
}

struct StopCase {
    const char* name;
    std::vector<std::string> args;  // "FILE": a copy of the saved configuration
    int signal;
    const char* note;
};

class CliPtyStopTest : public CliPtyTest, public ::testing::WithParamInterface<StopCase> {};

// Ctrl-C or SIGTERM during a read-out: it stops within one exchange, nothing
// is written to the pager or kept, and the note says what was left undone.
// A whole read-out takes about 17 s.
TEST_P(CliPtyStopTest, ReadOutStopsWithinOneExchangeWith130)
{
    const std::filesystem::path file = dir / "a.pag";
    std::filesystem::copy_file(SavedConfiguration, file);
    std::vector<std::string> args = {"--trace", "--port", device};
    for (const std::string& a : GetParam().args)
        args.push_back(a == "FILE" ? file.string() : a);
    const auto started = std::chrono::steady_clock::now();
    EXPECT_EQ(cli(args, GetParam().signal, 5000), 130) << err;
    EXPECT_LT(std::chrono::steady_clock::now() - started, std::chrono::seconds(7));

    EXPECT_NE(err.find(std::string("\nharvelin-cli: interrupted; ") + GetParam().note + "\n"), std::string::npos)
        << err;
    EXPECT_EQ(err.find("abgebrochen"), std::string::npos) << err;
    EXPECT_EQ(err.find(">Setze:"), std::string::npos) << err;
    EXPECT_LT(err.rfind("-> "), err.rfind(" close\n")) << err;
    EXPECT_EQ(out, "");
    EXPECT_FALSE(std::filesystem::exists(dir / "data" / "harvelin" / "backups"));
    EXPECT_EQ(readBytes(file), readBytes(SavedConfiguration));
}

INSTANTIATE_TEST_SUITE_P(
    Commands, CliPtyStopTest,
    ::testing::Values(StopCase{"VerifyInt", {"verify", "FILE"}, SIGINT, "nothing was compared"},
                      StopCase{"VerifyTerm", {"verify", "FILE"}, SIGTERM, "nothing was compared"},
                      StopCase{"DiffPagerInt", {"diff", "FILE", "pager"}, SIGINT, "nothing was compared"},
                      StopCase{"WriteBackupInt", {"write", "FILE", "--backup"}, SIGINT,
                               "nothing was written to the pager"}),
    [](const ::testing::TestParamInfo<StopCase>& c) { return std::string(c.param.name); });

// Over the pseudo-terminal, as a user types it: files that hold no pager data
// are refused before the pager is touched, and a read-out cut short by a
// pulled line goes beside FILE, which stays as it was.
TEST_F(CliPtyTest, RefusedFilesAndACutReadOutLeaveEveryFileAsItWas)
{
    const std::filesystem::path empty = dir / "leer.pag";
    std::ofstream(empty, std::ios::binary);
    EXPECT_EQ(cli({"--port", device, "write", empty.string()}), 2);
    EXPECT_EQ(err, "Die Datei " + empty.string() + " enthält keine Pager-Daten.\n");
    EXPECT_EQ(cli({"show", "/dev/zero"}), 2);
    EXPECT_EQ(cli({"--port", device, "read", device}), 2);  // the arguments swapped

    const std::filesystem::path original = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";
    const std::filesystem::path kept = dir / "kueche.pag";
    std::filesystem::copy_file(original, kept);
    const std::string args[] = {HARVELIN_CLI_PATH, "--port", device, "read", kept.string()};
    std::vector<char*> argv;
    for (const std::string& a : args)
        argv.push_back(const_cast<char*>(a.c_str()));
    argv.push_back(nullptr);
    posix_spawn_file_actions_t actions;
    posix_spawn_file_actions_init(&actions);
    posix_spawn_file_actions_addopen(&actions, 2, (dir / "err.txt").c_str(), O_WRONLY | O_CREAT | O_TRUNC, 0644);
    pid_t pid = 0;
    ASSERT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environ), 0);
    posix_spawn_file_actions_destroy(&actions);
    // A few slots into the read-out the adapter is pulled.
    for (int waited = 0; readBytes(dir / "frames.log").find(">Lese:4") == std::string::npos; waited += 50) {
        ASSERT_LT(waited, 30000);
        ::usleep(50'000);
    }
    ASSERT_EQ(::write(simInput, "unplug\n", 7), 7);
    int status = 0;
    ASSERT_EQ(::waitpid(pid, &status, 0), pid);
    ASSERT_TRUE(WIFEXITED(status));
    EXPECT_EQ(WEXITSTATUS(status), 1);
    EXPECT_EQ(readBytes(kept), readBytes(original));
    const std::filesystem::path partial = dir / "kueche.partial.pag";
    EXPECT_NE(readBytes(dir / "err.txt").find(partial.string()), std::string::npos) << readBytes(dir / "err.txt");
    // Only what the pager answered before.
    EXPECT_EQ(readBytes(partial).rfind("Eintrag:000 ", 0), 0u);
    EXPECT_EQ(readBytes(partial).find("Eintrag:031"), std::string::npos);
}

#endif

}  // namespace
}  // namespace harvelin
