#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "link/serial_port.h"
#include "pager_simulator.h"
#include "platform/clock.h"
#include "session/pager_session.h"
#include "sim_backend.h"

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
    void repeaterStatus(const RepeaterStatus& status) override { repeaterReported |= status.reported; }
    void learnEnded(bool stored, LearnModeExit exit) override { learnEnds.push_back({stored, exit}); }

    struct LearnEnd {
        bool stored;
        LearnModeExit exit;
    };
    int progressHigh = 0;
    std::vector<int> progressHistory;
    std::vector<std::string> portLines;
    std::vector<std::string> notices;
    bool repeaterReported = false;
    std::vector<LearnEnd> learnEnds;
    // Run at each step, e.g. to pull the line at one, and at each notice.
    std::function<void(int position)> onProgress;
    std::function<void(const std::string& text)> onNotice;
};

// One exchange on the link's time-outs: 100 ms after the write, then a read
// window of 200 + 1 ms, since every answer here is shorter than 200 bytes.
constexpr std::int64_t ExchangeMs = 100 + 201;
// After a command that got no reply, one more read window before the next.
constexpr std::int64_t LateListenMs = 201;
constexpr std::int64_t TransferStartWaitMs = 300;

inline std::string frame(const std::string& command) { return "\x16" + command + "\r"; }

// The pager session alone on virtual time, with a simulated pager on COM1 of
// the Windows port table: what the front ends run, without any of them.
struct SessionRig {
    static constexpr const char* Port = "COM1";

    explicit SessionRig(sim::PagerState state = {}) : pager(backend.attachPager(Port, std::move(state))) {}

    // As a search that found the pager leaves it: port 1 held, "Aktiv".
    void connect()
    {
        session.takePort(1);
        pager->clearLog();
        backend.clearEvents();
    }

    // Runs an action and notes when it began.
    template <class Action>
    auto timed(Action action)
    {
        events.progressHistory.clear();
        start = clock.nowMs();
        return action();
    }
    std::int64_t elapsed() const { return clock.nowMs() - start; }

    // Bytes from the pager that are there for the next read.
    void fromPager(const std::string& bytes) { backend.inject(Port, bytes, clock.nowMs()); }
    // The frames on the wire, keep-alive bytes included.
    std::vector<std::string> frames() const { return backend.writes(Port); }
    int countCommand(const std::string& command) const
    {
        int n = 0;
        for (const std::string& c : pager->commands())
            n += c == command ? 1 : 0;
        return n;
    }
    int countStartingWith(const std::string& prefix) const
    {
        int n = 0;
        for (const std::string& c : pager->commands())
            n += c.rfind(prefix, 0) == 0 ? 1 : 0;
        return n;
    }
    // Idle again: the link watch's next tick sends the keep-alive byte.
    bool keepAliveOnNextWatch()
    {
        backend.clearEvents();
        session.watch(false);
        return frames() == std::vector<std::string>{"\x16"};
    }
    sim::PagerState& pagerState() { return pager->state(); }
    sim::Faults& faults() { return pager->faults(); }

    VirtualClock clock;
    sim::SimBackend backend{clock};
    std::shared_ptr<sim::PagerSimulator> pager;
    PagerSession session{backend, PortTable::windowsComPorts(), clock};
    RecordingEvents events;
    std::int64_t start = 0;
};

}  // namespace harvelin
