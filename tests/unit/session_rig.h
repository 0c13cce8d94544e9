#pragma once

#include <gtest/gtest.h>

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <utility>
#include <vector>

#include "pager_line.h"
#include "session/pager_session.h"

namespace harvelin {

// What the session told while it worked, all of it.
struct RecordingEvents : SessionEvents {
    void progressRange(int /*low*/, int high) override { progressHigh = high; }
    void progress(int position) override
    {
        progressHistory.push_back(position);
        if (onProgress)
            onProgress(position);
    }
    void portLine(const std::string& line) override { portLines.push_back(line); }
    void notice(const std::string& text) override
    {
        notices.push_back(text);
        if (onNotice)
            onNotice(text);
    }
    void pagerFound(const FoundPager& /*pager*/) override
    {
        ++pagersFound;
        if (onPagerFound)
            onPagerFound();
    }
    void repeaterStatus(const RepeaterStatus& status) override { repeaterReported |= status.reported; }
    void learnStatus(const std::string& text) override { learnStatuses.push_back(text); }
    void learnEnded(bool stored, LearnModeExit exit) override { learnEnds.push_back({stored, exit}); }

    struct LearnEnd {
        bool stored;
        LearnModeExit exit;
    };
    int progressHigh = 0;
    std::vector<int> progressHistory;
    std::vector<std::string> portLines;
    std::vector<std::string> notices;
    int pagersFound = 0;
    bool repeaterReported = false;
    std::vector<std::string> learnStatuses;
    std::vector<LearnEnd> learnEnds;
    // Run at each step, e.g. to pull the line at one, and at each notice.
    std::function<void(int position)> onProgress;
    std::function<void(const std::string& text)> onNotice;
    std::function<void()> onPagerFound;
};

// One exchange on the link's time-outs: 100 ms after the write, then a read
// window of 200 + 1 ms, since every answer here is shorter than 200 bytes.
constexpr std::int64_t ExchangeMs = 100 + 201;
// After a command that got no reply, one more read window before the next.
constexpr std::int64_t LateListenMs = 201;
constexpr std::int64_t TransferStartWaitMs = 300;

// A full pager and a small one (below version 1.5: 16 caller slots, no
// kitchen calls, no remote delete), for tests that run on both.
struct PagerKind {
    const char* name;
    const char* version;
    unsigned callerSlots;
};
inline const auto PagerKinds = ::testing::Values(PagerKind{"Full", "2.62", 32}, PagerKind{"Small", "1.4", 16});

// The pager session alone on virtual time, with a simulated pager on COM1 of
// the Windows port table: what the front ends run, without any of them.
struct SessionRig : PagerLine {
    explicit SessionRig(sim::PagerState state = {}) : PagerLine(std::move(state)) {}

    // As a search that found the pager leaves it: port 1 held, "Aktiv".
    void connect() { PagerLine::connect(session); }

    // Runs an action and notes when it began.
    template <class Action>
    auto timed(Action action)
    {
        events.progressHistory.clear();
        start = clock.nowMs();
        return action();
    }
    std::int64_t elapsed() const { return clock.nowMs() - start; }

    // Idle again: the link watch's next tick sends the keep-alive byte.
    bool keepAliveOnNextWatch()
    {
        backend.clearEvents();
        session.watch(false);
        return frames() == std::vector<std::string>{"\x16"};
    }

    PagerSession session{backend, PortTable::windowsComPorts(), clock};
    RecordingEvents events;
    std::int64_t start = 0;
};

}  // namespace harvelin
