#include <gtest/gtest.h>

#include <chrono>
#include <cstdlib>
#include <filesystem>
#include <functional>
#include <memory>
#include <string>
#include <thread>

#include "link/port_table.h"
#include "platform/clock.h"
#include "platform/serial_backends.h"
#include "pty_pager.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "memory_host.h"

namespace harvelin {
namespace {

using Steady = std::chrono::steady_clock;

// The dialog in real time against the simulated pager on a pseudo-terminal,
// reached through a symlink that survives the pager's line going away and
// coming back under a new device name.
class LinkWatchPtyTest : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::string pattern = (std::filesystem::temp_directory_path() / "harvelin-watch-XXXXXX").string();
        ASSERT_NE(::mkdtemp(pattern.data()), nullptr);
        dir = pattern;
        sim::PtyPager::Options options;
        options.linkPath = (dir / "zelvatron").string();
        pty = std::make_unique<sim::PtyPager>(options);
        if (!pty->start())
            GTEST_SKIP() << "no pseudo-terminal available";
        dialog = std::make_unique<MainDialog>(host, *backend, PortTable::fromPaths({options.linkPath}), clock);
        dialog->OnInitDialog();

        // As a successful search leaves it.
        ASSERT_TRUE(dialog->session().takePort(1));
        host.setChecked(ctl::Active, true);
    }

    void TearDown() override
    {
        dialog.reset();
        if (pty)
            pty->stop();
        std::error_code ignored;
        std::filesystem::remove_all(dir, ignored);
    }

    // Runs the timer as the window would, every 100 ms, until the condition
    // holds or the time is up; true when it held.
    bool tickUntil(const std::function<bool()>& done, std::chrono::milliseconds limit)
    {
        const auto end = Steady::now() + limit;
        auto next = Steady::now();
        while (Steady::now() < end) {
            dialog->onTimer(ctl::UiTimerId);
            if (done())
                return true;
            next += std::chrono::milliseconds(ctl::UiTimerPeriodMs);
            std::this_thread::sleep_until(next);
        }
        return false;
    }

    unsigned keepAlives()
    {
        auto guard = pty->lock();
        return pty->pager().keepAliveBytes();
    }

    std::filesystem::path dir;
    std::unique_ptr<sim::PtyPager> pty;
    SystemClock clock;
    MemoryHost host;
    std::unique_ptr<SerialBackend> backend = makeSystemSerialBackend();
    std::unique_ptr<MainDialog> dialog;
};

TEST_F(LinkWatchPtyTest, LineThatVanishesAndReturnsIsReopenedWithoutMessage)
{
    const auto active = [&] { return host.isChecked(ctl::Active); };
    const unsigned atStart = keepAlives();
    ASSERT_TRUE(tickUntil([&] { return keepAlives() >= atStart + 3; }, std::chrono::seconds(3)));
    EXPECT_TRUE(active());

    pty->unplug();
    ASSERT_TRUE(tickUntil([&] { return !active(); }, std::chrono::seconds(3)));
    EXPECT_EQ(dialog->session().linkState(), LinkState::Lost);
    EXPECT_FALSE(host.isVisible(ctl::ClockGroup));

    pty->plug();
    ASSERT_TRUE(tickUntil(active, std::chrono::seconds(3)));
    EXPECT_EQ(dialog->session().linkState(), LinkState::Open);

    const unsigned afterReturn = keepAlives();
    ASSERT_TRUE(tickUntil([&] { return keepAlives() >= afterReturn + 3; }, std::chrono::seconds(3)));
    EXPECT_TRUE(active());
    EXPECT_TRUE(host.messages.empty());
}

}  // namespace
}  // namespace harvelin
