#include <gtest/gtest.h>

#include <chrono>
#include <memory>
#include <string>
#include <thread>

#include "form_results.h"
#include "link/port_table.h"
#include "model/conversions.h"
#include "platform/clock.h"
#include "platform/serial_backends.h"
#include "pty_pager.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "memory_host.h"

namespace harvelin {
namespace {

using Steady = std::chrono::steady_clock;

// What a user of the simulated pager does in the form: "Suche Zelvatron",
// then "Lernen" in a row; the simulated pager presses a call button a moment
// after its learn mode starts, and the identity appears in the row.
TEST(SimulatedLearnPtyTest, LernenShowsTheButtonThatTheSimulatedPagerPresses)
{
    sim::PtyPager::Options options;
    options.pressButtonOnLearn = true;
    sim::PtyPager pty(options);
    if (!pty.start())
        GTEST_SKIP() << "no pseudo-terminal available";

    SystemClock clock;
    MemoryHost host;
    const std::unique_ptr<SerialBackend> backend = makeSystemSerialBackend();
    MainDialog dialog(host, *backend, PortTable::fromPaths({pty.devicePath()}), clock);
    FormResults results(dialog);
    dialog.OnInitDialog();

    dialog.onCommand(ctl::SearchButton);
    ASSERT_TRUE(host.isChecked(ctl::Active));

    dialog.onCommand(ctl::learnButton(3));
    ASSERT_EQ(dialog.session().learnWindow().slot(), 3);

    // The timer, as the window runs it: one tick every 100 ms.
    const auto end = Steady::now() + std::chrono::seconds(12);
    auto next = Steady::now();
    while (dialog.session().learnWindow().slot() != 0 && Steady::now() < end) {
        dialog.onTimer(ctl::UiTimerId);
        next += std::chrono::milliseconds(ctl::UiTimerPeriodMs);
        std::this_thread::sleep_until(next);
    }

    EXPECT_EQ(dialog.session().learnWindow().slot(), 0);
    EXPECT_TRUE(results.lastLearnStored);
    const CallerEntry& slot = dialog.image().callers[2];
    EXPECT_NE(slot.buttonIdValue(), 0u);
    EXPECT_EQ(host.controlText(ctl::idText(3)), idColumnText(slot.buttonIdValue(), slot.idSuffix));
    EXPECT_TRUE(host.messages.empty());
    auto guard = pty.lock();
    EXPECT_FALSE(pty.pager().state().learnMode);
}

}  // namespace
}  // namespace harvelin
