#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>

#include "dialog_rig.h"
#include "session_rig.h"

namespace harvelin {

// A started dialog connected to the simulated pager, with the time an
// operation of the form took.
class TransferTest : public ::testing::Test {
protected:
    void SetUp() override { rig.connect(); }

    void timed(const std::function<void()>& operation)
    {
        host.progressHistory.clear();
        start = rig.clock.nowMs();
        operation();
    }
    std::int64_t elapsed() const { return rig.clock.nowMs() - start; }

    DialogRig rig;
    MainDialog& dlg = rig.dialog;
    FormResults& results = rig.results;
    MemoryHost& host = rig.host;
    std::int64_t start = 0;
};

}  // namespace harvelin
