#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "cli/session.h"
#include "cli_run.h"

namespace harvelin {
namespace {

// harvelin-cli on virtual time with the simulated pager on ttyUSB0; a stop
// request (as Ctrl-C and SIGTERM make it) can come the moment the pager has
// received a given command.
class CliOutcomeTest : public ::testing::Test, protected CliRig {
protected:
    ~CliOutcomeTest() override { cli::stopRequested.store(false); }

    // Stops the command when the pager has received `command` for the
    // `nth` time.
    void stopAt(const std::string& command, int nth)
    {
        pager->onCommand = [this, command, nth](std::size_t) {
            if (pager->commands().back() == command && ++seen_ == nth)
                requestCliStop();
        };
    }

private:
    int seen_ = 0;
};

struct StopCase {
    std::vector<std::string> args;
    std::string stopAt;  // the command after which the stop comes
    int nth;             // its occurrence
    std::string note;    // what the note says was left undone
    std::string untouched;  // a command the pager must never have received
};

class CliStop : public CliOutcomeTest, public ::testing::WithParamInterface<StopCase> {};

// A stop at any step is status 130 with the note of what it left undone,
// never "no pager" or a device failure.
TEST_P(CliStop, EndsWith130AndSaysWhatWasLeftUndone)
{
    const StopCase& c = GetParam();
    std::vector<std::string> args = c.args;
    if (args.front() == "write") {
        PagerConfiguration config = startConfiguration();
        std::string error;
        const std::string file = (dir.path() / "k.pag").string();
        ASSERT_TRUE(PagerDataFile::save(file, config, error));
        args.push_back(file);
    }
    stopAt(c.stopAt, c.nth);
    EXPECT_EQ(run(args), exitcode::Interrupted) << err.str();
    EXPECT_NE(err.str().find("interrupted; " + c.note), std::string::npos) << err.str();
    EXPECT_EQ(err.str().find("Kein Zelvatron"), std::string::npos) << err.str();
    for (const std::string& command : pager->commands())
        EXPECT_NE(command.rfind(c.untouched, 0), 0u) << command;
}

INSTANTIATE_TEST_SUITE_P(
    DuringTheSearch, CliStop,
    ::testing::Values(StopCase{{"option", "battery", "on"}, ">Lese Repeaterstatus", 1, "the option is left as it was",
                               ">Setze Debug"},
                      StopCase{{"clock"}, ">Lese Repeaterstatus", 1, "the repeater's clock is left as it was",
                               ">Setze Repeateruhrzeit"},
                      StopCase{{"bootloader"}, ">Lese Repeaterstatus", 1, "the boot loader was not started",
                               ">Bootloader"},
                      // After the search, at the write's version query.
                      StopCase{{"write"}, ">@", 2, "nothing was written to the pager", ">Setze:"}));

// A 16-slot pager holds neither slots 17..32 nor the kitchen calls: verify
// prints only the differences in what it holds, and says what it did not
// compare.
TEST_F(CliOutcomeTest, VerifyAgainstASixteenSlotPagerComparesSixteenSlots)
{
    env.systemLanguage = "de_DE.UTF-8";  // the form's German messages
    pager->state().version = "1.4";
    const std::string file = (dir.path() / "klein.pag").string();
    ASSERT_EQ(run({"--no-backup", "read", file}), exitcode::Success) << err.str();
    PagerConfiguration expected = startConfiguration();
    std::string error;
    ASSERT_TRUE(PagerDataFile::load(file, expected, error));
    expected.image.callers[19].text.assign("Tisch 20");
    expected.image.kitchenCalls[2].key = 9;
    ASSERT_TRUE(PagerDataFile::save(file, expected, error));
    EXPECT_EQ(run({"--no-backup", "verify", file}), exitcode::Success) << err.str() << out.str();
    EXPECT_EQ(out.str(), "");
    EXPECT_NE(err.str().find("der Pager hat 16 Plätze, ihm fehlt"), std::string::npos) << err.str();

    // Slot 3 it does hold, and compares.
    expected.image.callers[2].text.assign("Bar");
    ASSERT_TRUE(PagerDataFile::save(file, expected, error));
    EXPECT_EQ(run({"--no-backup", "verify", file}), exitcode::DeviceFailed);
    EXPECT_NE(out.str().find("Platz 3"), std::string::npos) << out.str();
}

}  // namespace
}  // namespace harvelin
