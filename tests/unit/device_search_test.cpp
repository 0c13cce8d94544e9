#include <gtest/gtest.h>

#include <algorithm>
#include <functional>
#include <string>
#include <tuple>
#include <vector>

#include "link/port_table.h"
#include "model/win1252.h"
#include "sim_backend.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "memory_host.h"
#include "session_rig.h"

namespace harvelin {
namespace {

using Event = sim::SimBackend::Event;

// --- the session's search ----------------------------------------------------

enum class Stop { Never, WhenFound, BeforeItBegins };

struct SessionSearch {
    const char* name;
    std::vector<std::string> ports;
    bool pagerOnSecond;
    Stop stop;
};

class SessionSearchTest : public ::testing::TestWithParam<SessionSearch> {};

// The first port is held by another program: the search goes on past it,
// and names it when nothing is found. A stopped search holds no port, also
// when the pager had answered, and says nothing.
TEST_P(SessionSearchTest, HoldsThePortFoundAndNamesThePortsThatCouldNotBeOpened)
{
    const SessionSearch& c = GetParam();
    VirtualClock clock;
    sim::SimBackend backend{clock};
    backend.refuseOpen("/dev/ttyUSB0", {PortFault::Busy, {}, false, "minicom (PID 4711)", {}});
    if (c.pagerOnSecond)
        backend.attachPager("/dev/ttyUSB1");
    PagerSession session(backend, PortTable::fromPaths(c.ports), clock);
    RecordingEvents events;
    events.onPagerFound = [&] {
        if (c.stop == Stop::WhenFound)
            session.requestStop();
    };
    if (c.stop == Stop::BeforeItBegins)
        session.requestStop();
    const SearchOutcome got = session.search(events);

    const bool found = c.pagerOnSecond && c.stop == Stop::Never;
    const bool answered = c.pagerOnSecond && c.stop != Stop::BeforeItBegins;
    EXPECT_EQ(got.found(), found);
    EXPECT_EQ(got.stopped, c.stop != Stop::Never);
    EXPECT_EQ(events.pagersFound, answered ? 1 : 0);
    EXPECT_EQ(got.result.portNumber, found ? 2u : 0u);
    EXPECT_EQ(session.portNumber(), found ? 2u : 0u);
    EXPECT_EQ(session.linkState(), found ? LinkState::Open : LinkState::Closed);
    EXPECT_EQ(session.active(), found);
    EXPECT_EQ(got.messages.empty(), found || c.stop != Stop::Never);
    const bool noPorts = c.ports.empty();
    EXPECT_EQ(got.result.noPorts, noPorts);
    EXPECT_EQ(got.result.failed.size(), noPorts || c.stop == Stop::BeforeItBegins ? 0u : 1u);
    for (const FailedPort& failed : got.result.failed)
        EXPECT_EQ(failed.problem.holder, "minicom (PID 4711)");
    // A port the session does not hold is free for anyone.
    if (c.pagerOnSecond && !found) {
        EXPECT_NE(backend.open("/dev/ttyUSB1"), nullptr);
    }
}

const std::vector<std::string> BusyThenFree{"/dev/ttyUSB0", "/dev/ttyUSB1"};
INSTANTIATE_TEST_SUITE_P(Tables, SessionSearchTest,
                         ::testing::Values(SessionSearch{"FoundBehindABusyPort", BusyThenFree, true, Stop::Never},
                                           SessionSearch{"NothingBehindABusyPort", BusyThenFree, false, Stop::Never},
                                           SessionSearch{"StoppedOnceFound", BusyThenFree, true, Stop::WhenFound},
                                           SessionSearch{"StoppedBeforeItBegins", BusyThenFree, true,
                                                         Stop::BeforeItBegins},
                                           SessionSearch{"NoPortAtAll", {}, false, Stop::Never}),
                         [](const auto& test) { return std::string(test.param.name); });

// --- what the form makes of it -------------------------------------------

// Remembers what the dialog and the link looked like each time the search
// showed a port-list line.
class SearchHost : public MemoryHost {
public:
    void setPortListLine(const std::string& line) override
    {
        MemoryHost::setPortListLine(line);
        if (onLine)
            onLine(line);
    }
    void repaintNow() override
    {
        MemoryHost::repaintNow();
        painted.push_back(portListLine);
    }
    std::function<void(const std::string&)> onLine;
    std::vector<std::string> painted;  // the port-list line at every repaint
};

struct Snapshot {
    std::string line;
    std::int64_t atMs;
    unsigned portNumber;
    bool active;
    // A tick that fell due then sent nothing.
    bool tickQuiet;
    bool timerRunning;
};

const std::string Probe = ">@\r\n";

std::string checking(const std::string& label) { return win1252("Prüfe :") + label; }

class DeviceSearchTest : public ::testing::Test {
protected:
    void SetUp() override { start(PortTable::windowsComPorts()); }

    void start(PortTable table)
    {
        dialog = std::make_unique<MainDialog>(host, backend, std::move(table), clock);
        dialog->OnInitDialog();
        host.onLine = [this](const std::string& line) {
            const std::size_t events = backend.events().size();
            dialog->onTimer(ctl::UiTimerId);
            seen.push_back({line, clock.nowMs(), dialog->session().portNumber(), host.isChecked(ctl::Active),
                            backend.events().size() == events, host.timerRunning(ctl::UiTimerId)});
        };
        host.portListHistory.clear();
        host.repaints = 0;
        backend.clearEvents();
    }

    void search()
    {
        seen.clear();
        backend.clearEvents();
        startedAt = clock.nowMs();
        dialog->onCommand(ctl::SearchButton);
    }

    // A line whose settings cannot be read fails the next exchange: the
    // link falls to Closed and still holds the port's handle.
    void fallClosedHoldingThePort(const std::string& device)
    {
        backend.failSettings(device, true, false);
        SessionEvents none;
        dialog->session().readRepeaterStatus(none);
        backend.failSettings(device, false, false);
        ASSERT_EQ(dialog->session().linkState(), LinkState::Closed);
        // The port is held: no one else can open it.
        ASSERT_EQ(backend.open(device), nullptr);
    }

    // Virtual time from the start of the search until the pager was shown as found.
    std::int64_t msUntilFound() const
    {
        for (const Snapshot& s : seen)
            if (s.line.rfind("Pager an Port:", 0) == 0)
                return s.atMs - startedAt;
        return -1;
    }

    bool touched(const std::string& device) const
    {
        for (const Event& e : backend.events())
            if (e.device == device)
                return true;
        return false;
    }

    VirtualClock clock;
    SearchHost host;
    sim::SimBackend backend{clock};
    std::unique_ptr<MainDialog> dialog;
    std::vector<Snapshot> seen;
    std::int64_t startedAt = 0;
};

TEST_F(DeviceSearchTest, PagerOnPort12IsOpenedThroughDeviceNamespaceButListedAsCom12)
{
    backend.attachPager("\\\\.\\COM12");
    search();
    EXPECT_EQ(backend.opened(), std::vector<std::string>{"\\\\.\\COM12"});
    ASSERT_EQ(seen.size(), 13u);
    EXPECT_EQ(seen[11].line, checking("COM12"));
    EXPECT_EQ(seen[12].line, "Pager an Port:12 gefunden");
    EXPECT_EQ(host.portListLine, "Pager an Port:12 gefunden");
    EXPECT_EQ(dialog->session().portNumber(), 12);
    EXPECT_EQ(dialog->session().linkState(), LinkState::Open);
    EXPECT_TRUE(host.isChecked(ctl::Active));
    EXPECT_EQ(backend.writes("\\\\.\\COM12")[0], Probe);
}

TEST_F(DeviceSearchTest, EveryPortListLineIsPaintedAtOnce)
{
    backend.attachPager("COM2");
    host.painted.clear();
    search();
    ASSERT_EQ(seen.size(), 3u);
    ASSERT_GE(host.painted.size(), 3u);
    for (std::size_t i = 0; i < 3; ++i)
        EXPECT_EQ(host.painted[i], seen[i].line);
}

TEST_F(DeviceSearchTest, FourteenBytesWithPagerAreNoFindFifteenAre)
{
    backend.attachEchoDevice("COM1", "Pager answer14");
    backend.attachEchoDevice("COM2", "Pager answer 15");
    search();
    EXPECT_EQ(dialog->session().portNumber(), 2);
    EXPECT_EQ(backend.writes("COM1"), std::vector<std::string>(4, Probe));
    const auto toCom2 = backend.writes("COM2");
    EXPECT_EQ(std::count(toCom2.begin(), toCom2.end(), Probe), 1);
}

TEST_F(DeviceSearchTest, AnswerWithoutPagerWordIsNoFind)
{
    backend.attachEchoDevice("COM1", "Zelvatron Direkt V2.62\r\n");
    search();
    EXPECT_EQ(dialog->session().portNumber(), 0);
    EXPECT_EQ(backend.writes("COM1").size(), 4u);
}

TEST_F(DeviceSearchTest, LowerOfTwoAnsweringPortsWinsAndHigherIsNeverOpened)
{
    backend.attachPager("COM3");
    backend.attachPager("COM5");
    search();
    EXPECT_EQ(dialog->session().portNumber(), 3);
    EXPECT_FALSE(touched("COM5"));
    EXPECT_EQ(host.portListLine, "Pager an Port:3 gefunden");
}

TEST_F(DeviceSearchTest, SearchWhileConnectedClosesFirstAndFindsThePagerAgain)
{
    backend.attachSilentDevice("COM1");
    backend.attachPager("COM2");
    search();
    ASSERT_EQ(dialog->session().portNumber(), 2);

    search();
    ASSERT_GE(backend.events().size(), 2u);
    EXPECT_EQ(backend.events()[0].kind, Event::Close);
    EXPECT_EQ(backend.events()[0].device, "COM2");
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].portNumber, 0u);
    EXPECT_FALSE(seen[0].active);
    EXPECT_EQ(seen[1].portNumber, 0u);
    EXPECT_EQ(dialog->session().portNumber(), 2);
    EXPECT_EQ(dialog->session().linkState(), LinkState::Open);
    EXPECT_TRUE(host.isChecked(ctl::Active));
}

TEST_F(DeviceSearchTest, TimerIsStoppedAndTicksQuietWhilePortsAreTried)
{
    backend.attachPager("COM4");
    search();
    ASSERT_FALSE(seen.empty());
    for (const Snapshot& s : seen) {
        EXPECT_TRUE(s.tickQuiet) << s.line;
        EXPECT_FALSE(s.timerRunning) << s.line;
    }
    EXPECT_TRUE(host.timerRunning(ctl::UiTimerId));
    // The next tick keeps the line alive again.
    backend.clearEvents();
    dialog->onTimer(ctl::UiTimerId);
    EXPECT_EQ(backend.writes("COM4"), std::vector<std::string>{"\x16"});
}

TEST_F(DeviceSearchTest, NothingFoundLeavesLinkClosedTimerRunningAndSaysSo)
{
    search();
    EXPECT_EQ(dialog->session().portNumber(), 0);
    EXPECT_EQ(dialog->session().linkState(), LinkState::Closed);
    EXPECT_FALSE(host.isChecked(ctl::Active));
    EXPECT_TRUE(host.timerRunning(ctl::UiTimerId));
    EXPECT_TRUE(host.messages.empty());
    // Every port was tried, then the list tells that nothing was found.
    ASSERT_EQ(seen.size(), 31u);
    EXPECT_EQ(seen[29].line, checking("COM30"));
    EXPECT_EQ(host.portListLine, "Kein Zelvatron gefunden");
    // Ports that do not open cost nothing beyond the wait at the start.
    EXPECT_EQ(clock.nowMs() - startedAt, 300);
}

TEST_F(DeviceSearchTest, SilentPortCostsFourProbeRounds)
{
    backend.attachSilentDevice("COM1");
    search();
    EXPECT_EQ(clock.nowMs() - startedAt, 300 + 4 * (100 + 200));
    EXPECT_EQ(backend.writes("COM1"), std::vector<std::string>(4, Probe));
    std::vector<Event::Kind> onCom1;
    for (const Event& e : backend.events()) {
        if (e.device != "COM1")
            continue;
        onCom1.push_back(e.kind);
        if (e.kind == Event::Read) {
            EXPECT_EQ(e.requested, 200u);
        }
    }
    const std::vector<Event::Kind> expected{Event::Open,  Event::Write, Event::Read,  Event::Write, Event::Read,
                                            Event::Write, Event::Read,  Event::Write, Event::Read,  Event::Close};
    EXPECT_EQ(onCom1, expected);
}

TEST_F(DeviceSearchTest, FoundPortAnswersWithinFirstProbeRound)
{
    backend.attachPager("COM1");
    search();
    // 300 ms, then 100 ms and a 200-byte read that the short answer leaves
    // to run out.
    EXPECT_EQ(msUntilFound(), 300 + 100 + 200);
}

TEST_F(DeviceSearchTest, PortWhoseSettingsFailIsSkippedAfterItsWait)
{
    backend.attachPager("COM1");
    backend.failSettings("COM1", true, false);
    backend.attachPager("COM2");
    backend.failSettings("COM2", false, true);
    backend.attachPager("COM3");
    search();
    EXPECT_EQ(dialog->session().portNumber(), 3);
    EXPECT_TRUE(backend.writes("COM1").empty());
    EXPECT_TRUE(backend.writes("COM2").empty());
    // Only the failed apply waits, 1 ms.
    EXPECT_EQ(msUntilFound(), 300 + 1 + 100 + 200);
}

TEST_F(DeviceSearchTest, PortInUseByAnotherProgramIsSkipped)
{
    backend.attachPager("COM1");
    backend.setBusy("COM1", true);
    backend.attachPager("COM2");
    search();
    EXPECT_EQ(dialog->session().portNumber(), 2);
}

TEST_F(DeviceSearchTest, FoundPortKeepsSearchTimeOuts)
{
    auto pager = backend.attachPager("COM1");
    pager->state().repeaterStatus = 0;
    search();
    ASSERT_EQ(dialog->session().portNumber(), 1);
    pager->faults().silent = true;
    // The tick's read of 100 bytes: N ms for N bytes, not the link's N + 1.
    const std::int64_t before = clock.nowMs();
    dialog->onTimer(ctl::UiTimerId);
    EXPECT_EQ(clock.nowMs() - before, 100);
}

TEST_F(DeviceSearchTest, RepeaterStatusShowsClockGroupForFiftyTicks)
{
    backend.attachPager("COM1");
    search();
    ASSERT_EQ(dialog->session().portNumber(), 1);
    EXPECT_TRUE(dialog->session().pager().repeaterReported);
    for (int t = 0; t < 49; ++t)
        dialog->onTimer(ctl::UiTimerId);
    for (const int id : ctl::ClockControls)
        EXPECT_TRUE(host.isVisible(id)) << id;
    dialog->onTimer(ctl::UiTimerId);
    for (const int id : ctl::ClockControls)
        EXPECT_FALSE(host.isVisible(id)) << id;
}

TEST_F(DeviceSearchTest, NoRepeaterStatusLeavesClockGroupAsItWas)
{
    auto pager = backend.attachPager("COM1");
    // A status number 0 is no repeater status.
    pager->state().repeaterStatus = 0;
    search();
    ASSERT_EQ(dialog->session().portNumber(), 1);
    EXPECT_FALSE(dialog->session().pager().repeaterReported);
    for (const int id : ctl::ClockControls)
        EXPECT_FALSE(host.isVisible(id)) << id;
}

TEST_F(DeviceSearchTest, ClosedLinkStillHoldingItsPortIsFoundAgain)
{
    backend.attachPager("COM1");
    search();
    ASSERT_EQ(dialog->session().portNumber(), 1);
    fallClosedHoldingThePort("COM1");
    search();
    EXPECT_EQ(dialog->session().portNumber(), 1);
    EXPECT_EQ(dialog->session().linkState(), LinkState::Open);
}

TEST_F(DeviceSearchTest, FruitlessSearchForgetsPortOfClosedLink)
{
    backend.attachPager("COM1");
    search();
    ASSERT_EQ(dialog->session().portNumber(), 1);
    fallClosedHoldingThePort("COM1");
    backend.unplug("COM1");
    search();
    EXPECT_EQ(dialog->session().portNumber(), 0);
    // The port is free again for anyone.
    backend.plug("COM1");
    EXPECT_NE(backend.open("COM1"), nullptr);
}

TEST_F(DeviceSearchTest, PathTableIsSearchedByDeviceNamesAndListedByFileNames)
{
    start(PortTable::fromPaths({"/dev/ttyUSB0", "/dev/serial/by-id/usb-Zelv-if00"}));
    backend.attachSilentDevice("/dev/ttyUSB0");
    backend.attachPager("/dev/serial/by-id/usb-Zelv-if00");
    search();
    ASSERT_EQ(seen.size(), 3u);
    EXPECT_EQ(seen[0].line, checking("ttyUSB0"));
    EXPECT_EQ(seen[1].line, checking("usb-Zelv-if00"));
    EXPECT_EQ(host.portListLine, "Pager an Port:usb-Zelv-if00 gefunden");
    EXPECT_EQ(dialog->session().portNumber(), 2);
}

TEST_F(DeviceSearchTest, ListedPortsAreTriedInOrderAndThePagerKeepsItsComNumber)
{
    start(PortTable::listedComPorts({{"COM35", ""}, {"COM4", ""}, {"COM12", ""}}));
    backend.attachSilentDevice("COM4");
    backend.attachPager("\\\\.\\COM35");
    search();
    ASSERT_EQ(seen.size(), 4u);
    EXPECT_EQ(seen[0].line, checking("COM4"));
    EXPECT_EQ(seen[1].line, checking("COM12"));
    EXPECT_EQ(seen[2].line, checking("COM35"));
    EXPECT_EQ(host.portListLine, "Pager an Port:35 gefunden");
    EXPECT_EQ(dialog->session().portNumber(), 35);
    // The port is opened again by its number, not by its place in the table.
    ASSERT_TRUE(dialog->session().takePort(35));
    EXPECT_EQ(backend.opened().back(), "\\\\.\\COM35");
}

TEST_F(DeviceSearchTest, ShortTableTriesOnlyItsPorts)
{
    start(PortTable::fromPaths({"/dev/ttyS0"}));
    search();
    ASSERT_EQ(seen.size(), 2u);
    EXPECT_EQ(seen.front().line, checking("ttyS0"));
}

TEST(PortTable, WindowsPortsUseDeviceNamespaceFromTen)
{
    const PortTable table = PortTable::windowsComPorts();
    ASSERT_EQ(table.size(), 30u);
    EXPECT_EQ(table.entry(1)->deviceName, "COM1");
    EXPECT_EQ(table.entry(9)->deviceName, "COM9");
    EXPECT_EQ(table.entry(10)->deviceName, "\\\\.\\COM10");
    EXPECT_EQ(table.entry(10)->label, "COM10");
    EXPECT_EQ(table.entry(30)->deviceName, "\\\\.\\COM30");
    EXPECT_EQ(table.entry(0), nullptr);
    EXPECT_EQ(table.entry(31), nullptr);
}

TEST(PortTable, PathsBeyondThirtyAreDropped)
{
    std::vector<std::string> paths;
    for (int i = 0; i < 35; ++i)
        paths.push_back("/dev/ttyUSB" + std::to_string(i));
    const PortTable table = PortTable::fromPaths(paths);
    EXPECT_EQ(table.size(), 30u);
    EXPECT_EQ(table.entry(1)->label, "ttyUSB0");
    EXPECT_EQ(table.entry(30)->deviceName, "/dev/ttyUSB29");
}


struct WindowsName {
    const char* given;
    const char* device;
    const char* label;
};

class WindowsPortNames : public ::testing::TestWithParam<WindowsName> {};

TEST_P(WindowsPortNames, NameThePortTheWayWindowsOpensIt)
{
    const PortTable table = PortTable::fromWindowsNames({GetParam().given});
    ASSERT_EQ(table.size(), 1u);
    EXPECT_EQ(table.entry(1)->deviceName, GetParam().device);
    EXPECT_EQ(table.entry(1)->label, GetParam().label);
}

INSTANTIATE_TEST_SUITE_P(
    PortTable, WindowsPortNames,
    ::testing::Values(WindowsName{"COM7", "COM7", "COM7"}, WindowsName{"com7", "COM7", "COM7"},
                      WindowsName{"COM12", "\\\\.\\COM12", "COM12"},
                      WindowsName{"\\\\.\\COM12", "\\\\.\\COM12", "COM12"},
                      WindowsName{"\\\\.\\com3", "COM3", "COM3"}, WindowsName{"COM255", "\\\\.\\COM255", "COM255"},
                      // Not a COM port name: opened as given.
                      WindowsName{"COM0", "COM0", "COM0"}, WindowsName{"COM256", "COM256", "COM256"},
                      WindowsName{"COM07", "COM07", "COM07"}, WindowsName{"COMX", "COMX", "COMX"},
                      WindowsName{"\\\\.\\CNCA0", "\\\\.\\CNCA0", "CNCA0"}));

struct ListedCase {
    const char* what;
    std::vector<ListedPort> listed;
    // number, device name, description; the label is always "COM<number>"
    std::vector<std::tuple<unsigned, std::string, std::string>> table;
};

class ListedComPorts : public ::testing::TestWithParam<ListedCase> {};

TEST_P(ListedComPorts, BecomeOneTableByComNumber)
{
    const PortTable table = PortTable::listedComPorts(GetParam().listed);
    std::vector<std::tuple<unsigned, std::string, std::string>> got;
    for (const PortEntry& e : table.entries()) {
        got.emplace_back(e.number, e.deviceName, e.description);
        EXPECT_EQ(e.label, "COM" + std::to_string(e.number));
        EXPECT_EQ(table.entry(e.number), &e);
    }
    EXPECT_EQ(got, GetParam().table);
    EXPECT_EQ(table.entry(0), nullptr);
}

// COM255 down to COM31, listed from the highest.
ListedCase beyondThirty()
{
    ListedCase c{"NoLimitOfThirty", {}, {}};
    for (unsigned n = 255; n >= 31; --n) {
        c.listed.push_back({"COM" + std::to_string(n), {}});
        c.table.emplace(c.table.begin(), n, "\\\\.\\COM" + std::to_string(n), "");
    }
    return c;
}

INSTANTIATE_TEST_SUITE_P(
    PortTable, ListedComPorts,
    ::testing::Values(
        ListedCase{"SortedByNumber",
                   {{"COM35", ""}, {"COM4", ""}, {"COM12", ""}},
                   {{4, "COM4", ""}, {12, "\\\\.\\COM12", ""}, {35, "\\\\.\\COM35", ""}}},
        ListedCase{"OtherNamesLeftOut",
                   {{"LPT1", "Printer Port"}, {"COM0", ""}, {"COM", ""}, {"COMX", ""}, {"COM07", ""},
                    {"COM256", ""}, {"\\\\.\\CNCA0", ""}, {"", ""}, {"com9", ""}, {"COM1:", ""}},
                   {{9, "COM9", ""}}},
        ListedCase{"EachPortOnceWithTheFirstDescription",
                   {{"COM5", ""}, {"COM5", "USB Serial Port"}, {"\\\\.\\COM5", "other"}, {"COM3", "Modem"}},
                   {{3, "COM3", "Modem"}, {5, "COM5", "USB Serial Port"}}},
        beyondThirty(),
        ListedCase{"NothingListed", {}, {}}),
    [](const ::testing::TestParamInfo<ListedCase>& c) { return std::string(c.param.what); });

}  // namespace
}  // namespace harvelin
