#include <gtest/gtest.h>

#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/device_search.h"
#include "pager_line.h"
#include "transfer/read_out.h"
#include "transfer/write.h"

// The search, the read-out and the write driven without a form: what each
// returns, over the simulated pager on virtual time.
namespace harvelin {
namespace {

struct RecordingSink : OperationSink {
    void progress(int position) override { onProgress ? onProgress(position) : void(); }
    std::function<void(int)> onProgress;
};

// A link on the Windows port table that holds the simulated pager on COM1.
sim::PagerState operationPager(const std::string& version)
{
    sim::PagerState state;
    state.version = version;
    state.callers[2] = {"Tisch 3", {1, 2, 3, 4, 5}};
    state.kitchenCalls[4] = {"Theke", 7, 12};
    state.pagerName = "Pager:K";
    state.remoteDeleteMode = 1;
    return state;
}

class OperationRig : protected PagerLine {
protected:
    explicit OperationRig(const std::string& version = "2.62") : PagerLine(operationPager(version)) { connect(link); }

    SerialLink link{backend, PortTable::windowsComPorts(), clock};
    RecordingSink sink;
};

// Cases are named by their `name`.
const auto ByName = [](const auto& test) { return std::string(test.param.name); };

// What a read-out starts from: a form's kitchen defaults, nothing else.
PagerConfiguration formStart()
{
    PagerConfiguration start;
    start.image.kitchenCalls[4] = {"Station 5", 5, 1};  // key 5, station 1
    start.pagerName = "Pager:A";
    return start;
}

struct CompleteReadOut {
    const char* name;
    const char* version;
    unsigned callerSlots;
    unsigned answeredLines;
};

class CompleteReadOutTest : public ::testing::TestWithParam<CompleteReadOut>, public OperationRig {
protected:
    CompleteReadOutTest() : OperationRig(GetParam().version) {}
};

TEST_P(CompleteReadOutTest, GivesThePagersConfigurationAndWhichLinesItAnswered)
{
    const ReadOutResult got = readOut(link, clock, sink, formStart());
    const CompleteReadOut& c = GetParam();
    EXPECT_EQ(got.end, ReadOutEnd::Complete);
    EXPECT_EQ(got.callerSlots, c.callerSlots);
    EXPECT_EQ(got.versionText, c.version);
    EXPECT_EQ(got.read.image.callers[2].text.str(), "Tisch 3");
    EXPECT_EQ(got.read.pagerName, "Pager:K");
    EXPECT_EQ(got.answered.keyedLines, c.answeredLines);
    // A small pager has no kitchen calls or remote delete: the start stays.
    const bool full = c.callerSlots == CallerSlots;
    EXPECT_EQ(got.read.image.kitchenCalls[4].text.str(), full ? "Theke" : "Station 5");
    EXPECT_EQ(got.read.remoteDelete, full);
}

INSTANTIATE_TEST_SUITE_P(Pagers, CompleteReadOutTest,
                         ::testing::Values(CompleteReadOut{"Full", "2.62", 32, 53},
                                           CompleteReadOut{"Small", "1.4", 16, 19}),
                         ByName);

struct MidOperation {
    const char* name;
    bool write;
    bool cancel;  // else the pager falls silent
};

class MidOperationTest : public ::testing::TestWithParam<MidOperation>, public OperationRig {};

// From the bar's position 3 on the operation is cancelled or the pager is
// silent: slots 0..2 got through, and only a silent pager loses the link.
TEST_P(MidOperationTest, EndsWithWhatGotThrough)
{
    const MidOperation& c = GetParam();
    sink.onProgress = [&](int position) {
        if (position == 3 && c.cancel)
            link.cancel();
        else if (position == 3)
            pager->faults().silent = true;
    };
    PagerConfiguration config = formStart();
    config.image.callers[10].text.assign("Nie gesendet");
    if (c.write) {
        const WriteResult got = writeConfiguration(link, clock, sink, config, formStart().image);
        EXPECT_EQ(got.cancelled, c.cancel);
        EXPECT_EQ(got.pagerGone, !c.cancel);
        EXPECT_FALSE(got.succeeded || got.leftSlotsOut);
        EXPECT_EQ(pager->state().callers[10].text, "");
    } else {
        const ReadOutResult got = readOut(link, clock, sink, config);
        EXPECT_EQ(got.end, c.cancel ? ReadOutEnd::Cancelled : ReadOutEnd::Incomplete);
        EXPECT_EQ(got.pagerGone, !c.cancel);
        EXPECT_EQ(got.answered.callers.to_ulong(), 0b111u);
        EXPECT_EQ(got.read.image.callers[2].text.str(), "Tisch 3");
        // What was never answered is what the read-out started from.
        EXPECT_EQ(got.read.image.callers[10].text.str(), "Nie gesendet");
    }
    EXPECT_EQ(link.state(), c.cancel ? LinkState::Open : LinkState::Lost);
}

INSTANTIATE_TEST_SUITE_P(Operations, MidOperationTest,
                         ::testing::Values(MidOperation{"ReadOutCancelled", false, true},
                                           MidOperation{"ReadOutPagerSilent", false, false},
                                           MidOperation{"WriteCancelled", true, true},
                                           MidOperation{"WritePagerSilent", true, false}),
                         ByName);

struct SlotsLeftOut {
    const char* name;
    const char* version;
    unsigned callerSlot;  // the slot given a text beyond the start
    std::uint8_t kitchenKey;
    bool leftOut;
};

class WriteLeftOutTest : public ::testing::TestWithParam<SlotsLeftOut>, public OperationRig {
protected:
    WriteLeftOutTest() : OperationRig(GetParam().version) {}
};

TEST_P(WriteLeftOutTest, SmallPagerLeavesOutWhatItHasNoRoomFor)
{
    const SlotsLeftOut& c = GetParam();
    PagerConfiguration config = formStart();
    config.image.callers[c.callerSlot].text.assign("Tisch");
    config.image.kitchenCalls[4].key = c.kitchenKey;
    const WriteResult got = writeConfiguration(link, clock, sink, config, formStart().image);
    EXPECT_TRUE(got.succeeded);
    EXPECT_EQ(got.leftSlotsOut, c.leftOut);
    EXPECT_EQ(got.callerSlots, std::string(c.version) == "1.4" ? 16u : 32u);
}

INSTANTIATE_TEST_SUITE_P(Pagers, WriteLeftOutTest,
                         ::testing::Values(SlotsLeftOut{"SmallWithLowerSlotsOnly", "1.4", 3, 5, false},
                                           SlotsLeftOut{"SmallWithAnUpperSlot", "1.4", 20, 5, true},
                                           SlotsLeftOut{"SmallWithAnotherKitchenCall", "1.4", 3, 9, true},
                                           SlotsLeftOut{"FullTakesEverything", "2.62", 20, 9, false}),
                         ByName);

struct SearchCase {
    const char* name;
    std::vector<std::string> ports;
    bool pagerOnSecond;
    bool cancelWhenFound;
    bool noPorts;
};

using SearchOperationTest = ::testing::TestWithParam<SearchCase>;

// The first port is held by another program; a cancelled search holds no
// port, also when the pager had answered.
TEST_P(SearchOperationTest, NamesThePortFoundAndThePortsThatCouldNotBeOpened)
{
    const SearchCase& c = GetParam();
    VirtualClock clock;
    sim::SimBackend backend{clock};
    RecordingSink sink;
    backend.refuseOpen("/dev/ttyUSB0", {PortFault::Busy, {}, false, "minicom (PID 4711)", {}});
    if (c.pagerOnSecond)
        backend.attachPager("/dev/ttyUSB1");
    SerialLink link(backend, PortTable::fromPaths(c.ports), clock);
    int foundCalls = 0;
    const SearchResult got = searchPager(link, clock, sink, [&] {
        ++foundCalls;
        if (c.cancelWhenFound)
            link.cancel();
    });
    const bool found = c.pagerOnSecond && !c.cancelWhenFound;
    EXPECT_EQ(got.found, found);
    EXPECT_EQ(got.cancelled, c.cancelWhenFound);
    EXPECT_EQ(foundCalls, c.pagerOnSecond ? 1 : 0);
    EXPECT_EQ(got.portNumber, found ? 2u : 0u);
    EXPECT_EQ(link.state(), found ? LinkState::Open : LinkState::Closed);
    EXPECT_EQ(link.port() != nullptr, found);
    EXPECT_EQ(got.noPorts, c.noPorts);
    EXPECT_EQ(got.failed.size(), c.noPorts ? 0u : 1u);
    for (const FailedPort& failed : got.failed)
        EXPECT_EQ(failed.problem.holder, "minicom (PID 4711)");
}

const std::vector<std::string> BusyThenFree{"/dev/ttyUSB0", "/dev/ttyUSB1"};
INSTANTIATE_TEST_SUITE_P(Tables, SearchOperationTest,
                         ::testing::Values(SearchCase{"FoundBehindABusyPort", BusyThenFree, true, false, false},
                                           SearchCase{"NothingBehindABusyPort", BusyThenFree, false, false, false},
                                           SearchCase{"CancelledOnceFound", BusyThenFree, true, true, false},
                                           SearchCase{"NoPortAtAll", {}, false, false, true}),
                         ByName);

}  // namespace
}  // namespace harvelin
