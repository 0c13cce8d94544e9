#include <gtest/gtest.h>

#include <signal.h>

#include <filesystem>
#include <map>
#include <memory>
#include <string>
#include <vector>

#include "files/configuration_diff.h"
#include "files/pager_data_file.h"
#include "pty_programs.h"
#include "test_files.h"

namespace harvelin {
namespace {

#if defined(ZELVATRON_SIM_PATH) && defined(HARVELIN_CLI_PATH)

const std::filesystem::path SavedConfiguration = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";

// A series over several simulated pagers, each on a pseudo-terminal of its
// own, in real time.
class SeriesPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dir = cliScratchFolder("harvelin-series");
        ASSERT_FALSE(dir.empty());
    }

    void TearDown() override
    {
        pagers.clear();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    SimulatedPagerProcess& pager(const std::vector<std::string>& args = {})
    {
        pagers.push_back(std::make_unique<SimulatedPagerProcess>());
        pagers.back()->start(dir / ("pager" + std::to_string(pagers.size())), args);
        if (pagers.back()->device.empty())
            ADD_FAILURE() << "the simulator found no pseudo-terminal";
        return *pagers.back();
    }

    // harvelin-cli on every pager's port, started.
    pid_t series(const std::vector<std::string>& args)
    {
        std::vector<std::string> all = {HARVELIN_CLI_PATH};
        for (const auto& p : pagers) {
            all.push_back("--port");
            all.push_back(p->device);
        }
        all.insert(all.end(), args.begin(), args.end());
        return startProgram(all, dir / "out.txt", dir / "err.txt");
    }

    // What a pager holds, as harvelin-cli reads it.
    PagerConfiguration readBack(const SimulatedPagerProcess& p)
    {
        const std::filesystem::path file = dir / "gelesen.pag";
        const int status = runProgram({HARVELIN_CLI_PATH, "--no-backup", "--port", p.device, "read", file.string()},
                                      dir / "read.out", dir / "read.err");
        EXPECT_EQ(status, 0) << readBytes(dir / "read.err");
        PagerConfiguration config;
        PagerDataFile::parse(readBytes(file), config);
        return config;
    }

    std::string err() const { return readBytes(dir / "err.txt"); }

    std::filesystem::path dir;
    std::vector<std::unique_ptr<SimulatedPagerProcess>> pagers;
};

// Three pagers on three ports at once, each named from the list: each holds
// its own name and the file's slots; a pager that falls silent mid-write
// fails alone, its name waits for the next pager, and the log says which
// name went where.
TEST_F(SeriesPtyTest, EveryPortServesItsPagerAtOnceAndEachGetsItsName)
{
    pager();
    pager();
    pager({"--silent-at", "11"});
    const std::filesystem::path names = dir / "namen.txt";
    writeBytes(names, "Service 01\nService 02\nService 03\n");
    const std::filesystem::path log = dir / "besuch.csv";
    const pid_t pid = series({"write", SavedConfiguration.string(), "--each", "--names", names.string(), "--log",
                              log.string()});
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(waitForText(dir / "out.txt", "\n", 3, 120'000)) << err();
    ::kill(pid, SIGINT);
    EXPECT_EQ(exitStatus(pid), 1) << err();

    // Port -> the name its result line gives.
    std::map<std::string, std::string> given;
    const std::vector<std::string> results = linesOf(readBytes(dir / "out.txt"));
    ASSERT_EQ(results.size(), 3u) << err();
    for (const std::string& line : results) {
        for (const auto& p : pagers) {
            const std::size_t at = line.find("  " + p->device + "  #");
            if (at == std::string::npos)
                continue;
            const std::size_t name = line.find("/3  ", at) + 4;
            given[p->device] = line.substr(name, 10);
            const bool silent = p == pagers.back();
            EXPECT_NE(line.find(silent ? "failed: the write was not acknowledged; partly written: plug it in again"
                                       : "  2.62  ok"),
                      std::string::npos)
                << line;
        }
    }
    ASSERT_EQ(given.size(), 3u);
    EXPECT_NE(given[pagers[0]->device], given[pagers[1]->device]);

    // The two pagers that took their names hold them and the file.
    PagerConfiguration expected;
    PagerDataFile::parse(readBytes(SavedConfiguration), expected);
    for (std::size_t i = 0; i < 2; ++i) {
        expected.pagerName = given[pagers[i]->device];
        EXPECT_TRUE(compareConfigurations(expected, readBack(*pagers[i])).empty()) << pagers[i]->device;
    }

    const std::vector<std::string> logged = linesOf(readBytes(log));
    ASSERT_EQ(logged.size(), 4u);
    for (std::size_t i = 1; i < logged.size(); ++i) {
        bool named = false;
        for (const auto& [device, name] : given)
            named = named || (logged[i].find("," + device + ",") != std::string::npos &&
                              logged[i].find("," + name + ",2.62,") != std::string::npos);
        EXPECT_TRUE(named) << logged[i];
    }
    const std::string told = err();
    EXPECT_NE(told.find("harvelin-cli: 3 pager(s), 1 failed, in "), std::string::npos) << told;
    EXPECT_NE(told.find("  failed: #"), std::string::npos) << told;
}

// Two ports with a pager plugged into the second alone: it is served. With
// --keep-name each pager keeps the name it holds.
TEST_F(SeriesPtyTest, APagerOnTheSecondPortAloneIsServedAndKeepsItsName)
{
    SimulatedPagerProcess& first = pager({"--name", "Bar 1"});
    ASSERT_TRUE(first.command("unplug"));
    pager({"--name", "Terrasse"});
    const pid_t pid = series({"write", SavedConfiguration.string(), "--each", "--keep-name", "--count", "2"});
    ASSERT_GT(pid, 0);
    EXPECT_TRUE(waitForText(dir / "out.txt", "\n", 1, 60'000)) << err();
    ASSERT_TRUE(first.command("plug"));
    EXPECT_EQ(exitStatus(pid), 0) << err();

    const std::vector<std::string> results = linesOf(readBytes(dir / "out.txt"));
    ASSERT_EQ(results.size(), 2u) << err();
    EXPECT_NE(results[0].find("  " + pagers[1]->device + "  #1/2  Terrasse  2.62  ok"), std::string::npos)
        << results[0];
    EXPECT_NE(results[1].find("  " + pagers[0]->device + "  #2/2  Bar 1  2.62  ok"), std::string::npos)
        << results[1];
    EXPECT_EQ(readBack(*pagers[0]).pagerName, "Bar 1");
}

#endif

}  // namespace
}  // namespace harvelin
