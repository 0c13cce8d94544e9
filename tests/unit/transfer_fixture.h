#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "session_rig.h"
#include "sim_rig.h"

namespace harvelin {

// A started dialog connected to the simulated pager, with what the form's
// transfer tests look at: the frames on the wire, the time an operation took.
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
