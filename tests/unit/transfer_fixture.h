#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "sim_rig.h"

namespace harvelin {

// One exchange on the link's time-outs: 100 ms after the write, then a read
// window of 200 + 1 ms, since every answer here is shorter than 200 bytes.
constexpr std::int64_t ExchangeMs = 100 + 201;
// After a command that got no reply, one more read window before the next.
constexpr std::int64_t LateListenMs = 201;
constexpr std::int64_t TransferStartWaitMs = 300;

inline std::string frame(const std::string& command) { return "\x16" + command + "\r"; }

// A started dialog connected to the simulated pager, with what the transfer
// tests look at: the frames on the wire, the commands the pager took, the
// time an operation took.
class TransferTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        dlg.OnInitDialog();
        rig.connect();
    }

    void timed(const std::function<void()>& operation)
    {
        host.progressHistory.clear();
        start = rig.clock.nowMs();
        operation();
    }
    std::int64_t elapsed() const { return rig.clock.nowMs() - start; }
    std::vector<std::string> frames() const { return rig.backend.writes("COM1"); }
    int countCommand(const std::string& command) const
    {
        int n = 0;
        for (const std::string& c : rig.pager->commands())
            n += c == command ? 1 : 0;
        return n;
    }
    int countStartingWith(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& c : rig.pager->commands())
            n += c.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }
    // The form is idle again: the next tick of its timer sends the
    // keep-alive byte.
    bool keepAliveOnNextTick()
    {
        rig.backend.clearEvents();
        dlg.onTimer(ctl::UiTimerId);
        return frames() == std::vector<std::string>{"\x16"};
    }
    sim::PagerState& pagerState() { return rig.pager->state(); }
    sim::Faults& faults() { return rig.pager->faults(); }

    SimRig rig;
    MainDialog& dlg = rig.dialog;
    FormResults& results = rig.results;
    MemoryHost& host = rig.host;
    std::int64_t start = 0;
};

}  // namespace harvelin
