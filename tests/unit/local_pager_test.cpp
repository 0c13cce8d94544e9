#include <gtest/gtest.h>

#include <filesystem>
#include <regex>
#include <sstream>
#include <string>
#include <utility>
#include <vector>

#include "cli/cli.h"
#include "cli_run.h"
#include "local_pager.h"
#include "platform/clock.h"
#include "sim_backend.h"
#include "test_files.h"

namespace harvelin {
namespace {

// harvelin-cli as wired where the simulated pager runs inside the process:
// the system's lines are one pager on ttyUSB0.
class LocalPagerTest : public ::testing::Test {
protected:
    int run(std::vector<std::string> args)
    {
        out.str({});
        err.str({});
        return runCliWith(std::move(args), env);
    }

    TempDir dir;
    VirtualClock clock;
    sim::SimBackend system{clock};
    std::shared_ptr<sim::PagerSimulator> usbPager = system.attachPager("ttyUSB0");
    sim::LocalPagerBackend local{system, clock};
    std::ostringstream out;
    std::ostringstream err;
    CliEnvironment env{local,
                       clock,
                       [] { return PortTable::fromPaths({"ttyUSB0"}); },
                       [this]() -> std::optional<std::string> { return local.start(); },
                       out,
                       err,
                       false,
                       {},
                       '.',
                       nullptr,
                       false,
                       "en_US.UTF-8"};
};

TEST_F(LocalPagerTest, SimulatedPagerStandsFirstAndOtherNamesReachTheSystem)
{
    EXPECT_EQ(run({"--port", "zelvatron-sim", "search"}), exitcode::NoPager);
    EXPECT_EQ(run({"search"}), exitcode::Success);
    EXPECT_EQ(out.str(), "1 ttyUSB0\n");
    EXPECT_EQ(run({"--simulate", "ports"}), exitcode::Success);
    EXPECT_EQ(out.str(), "1 zelvatron-sim  ok  simulated Zelvatron\n2 ttyUSB0  ok\n");
    usbPager->clearLog();
    EXPECT_EQ(run({"--simulate", "search"}), exitcode::Success);
    EXPECT_EQ(out.str(), "1 zelvatron-sim\n");
    EXPECT_TRUE(usbPager->commands().empty());
}

TEST_F(LocalPagerTest, ReadsTheSampleConfigurationAndLearnsAButtonPressedAMomentLater)
{
    const std::string file = (dir.path() / "demo.pag").string();
    ASSERT_EQ(run({"--simulate", "read", file}), exitcode::Success) << err.str();
    EXPECT_EQ(readBytes(dir.path() / "demo.pag").rfind("Pagername:Pager:A\r\n", 0), 0u);

    const std::int64_t start = clock.nowMs();
    ASSERT_EQ(run({"--simulate", "learn", "3", file}), exitcode::Success) << err.str();
    EXPECT_GE(clock.nowMs() - start, 1500);
    EXPECT_TRUE(std::regex_search(readBytes(dir.path() / "demo.pag"),
                                  std::regex("Eintrag:002 [^\t]*\t[0-9]{3} [0-9]{3} [0-9]{3} 099 001\r\n")));
}

}  // namespace
}  // namespace harvelin
