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

#include "pty_programs.h"
#include "test_files.h"

namespace harvelin {
namespace {

#if defined(ZELVATRON_SIM_PATH) && defined(HARVELIN_CLI_PATH)

// zelvatron-sim on a pseudo-terminal, in real time, and harvelin-cli run
// against it as a separate program.
class CliPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = cliScratchFolder("harvelin-cli");
        ASSERT_FALSE(dir.empty());

        // The device keeps its name when the simulated pager is unplugged
        // and plugged again.
        sim.start(dir / "pager", {"--log", (dir / "frames.log").string()});
        if (sim.device.empty())
            GTEST_SKIP() << "the simulator found no pseudo-terminal";
        device = sim.device;
    }

    void TearDown() override
    {
        sim.end();
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

    void simulator(const std::string& command) { ASSERT_TRUE(sim.command(command)); }

    std::filesystem::path dir;
    SimulatedPagerProcess sim;
    std::string device;
    std::string out;
    std::string err;
};

TEST_F(CliPtyTest, WrittenFileReadsBackByteForByte)
{
    const std::filesystem::path original = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";
    ASSERT_EQ(cli({"--language", "de", "--port", device, "write", original.string()}), 0) << err;
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

TEST_F(CliPtyTest, VerifyNamesTheSlotThePagerAcknowledgedButDidNotStore)
{
    simulator("forget 6");
    EXPECT_EQ(cli({"--language", "de", "--port", device, "write", SavedConfiguration.string(), "--verify"}), 1) << err;
    // Every slot was acknowledged; only the read-back shows what is missing,
    // and the write is not called a success.
    EXPECT_EQ(err.find("Daten erfolgreich übertragen"), std::string::npos) << err;
    const std::vector<std::string> lines = linesOf(out);
    ASSERT_FALSE(lines.empty());
    EXPECT_EQ(lines.front(), "Platz 6 Meldetext: Datei \"Terrasse Süd\", Pager \"\"");
    for (const std::string& line : lines)
        EXPECT_EQ(line.rfind("Platz 6 ", 0), 0u) << line;
}

TEST_F(CliPtyTest, DiffComparesTwoFilesAndAFileWithThePager)
{
    std::string changed = readBytes(SavedConfiguration);
    changed.replace(changed.find("Tisch 1"), 7, "Tisch 9");
    const std::filesystem::path copy = dir / "geaendert.pag";
    std::ofstream(copy, std::ios::binary) << changed;

    // The form's German names of the fields.
    EXPECT_EQ(cli({"--language", "de", "diff", SavedConfiguration.string(), copy.string()}), 1) << err;
    EXPECT_EQ(out, "Platz 1 Meldetext: Datei 1 \"Tisch 1\", Datei 2 \"Tisch 9\"\n");
    EXPECT_EQ(cli({"diff", copy.string(), copy.string(), "--json"}), 0) << err;
    EXPECT_EQ(out, "{\n  \"equal\": true,\n  \"differences\": []\n}\n");

    // The simulated pager starts empty; its read-out is kept as a backup.
    ASSERT_EQ(cli({"--language", "de", "--port", device, "diff", SavedConfiguration.string(), "pager"}), 1) << err;
    EXPECT_EQ(linesOf(out).front(), "Platz 1 Meldetext: Datei \"Tisch 1\", Pager \"\"");
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
    EXPECT_NE(results[0].find("  " + device + "  #1  Küche Süd  2.62  ok, verified"), std::string::npos) << results[0];
    // The failed pager's number is served again by the next one.
    EXPECT_NE(results[1].find("  " + device + "  #2  Küche Süd  2.62  failed: the pager does not hold what was "
                                              "written (Platz 1)"),
              std::string::npos)
        << results[1];
    const std::vector<std::string> logged = linesOf(readBytes(log));
    ASSERT_EQ(logged.size(), 3u);
    EXPECT_EQ(logged[0], "time,port,number,name,version,result,differences\r");
    EXPECT_EQ(logged[1].substr(logged[1].find(',')), "," + device + ",1,Küche Süd,2.62,\"ok, verified\",\r");
    EXPECT_EQ(logged[2].substr(logged[2].find(',')),
              "," + device + ",2,Küche Süd,2.62,failed: the pager does not hold what was written (Platz 1),"
              "Platz 1: Rufknopf-ID\r");
    EXPECT_NE(readBytes(dir / "err.txt").find("1 failed"), std::string::npos);
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
    EXPECT_NE(told.find("Transfer cancelled – the pager is only partly written. Up to caller slot "),
              std::string::npos)
        << told;
    const std::vector<std::string> results = linesOf(readBytes(dir / "out.txt"));
    ASSERT_EQ(results.size(), 1u);
    EXPECT_NE(results[0].find("  " + device + "  #1  Küche Süd  2.62  interrupted: the pager is only partly written"),
              std::string::npos)
        << results[0];
    const std::vector<std::string> logged = linesOf(readBytes(log));
    ASSERT_EQ(logged.size(), 2u);
    EXPECT_EQ(logged[1].substr(logged[1].find(',')),
              "," + device + ",1,Küche Süd,2.62,interrupted: the pager is only partly written,\r");
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
    EXPECT_EQ(cli({"--language", "de", "--port", device, "write", empty.string()}), 2);
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
    std::vector<char*> environment = programEnvironment();
    ASSERT_EQ(::posix_spawn(&pid, argv[0], &actions, nullptr, argv.data(), environment.data()), 0);
    posix_spawn_file_actions_destroy(&actions);
    // A few slots into the read-out the adapter is pulled.
    for (int waited = 0; readBytes(dir / "frames.log").find(">Lese:4") == std::string::npos; waited += 50) {
        ASSERT_LT(waited, 30000);
        ::usleep(50'000);
    }
    ASSERT_EQ(::write(sim.input, "unplug\n", 7), 7);
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
