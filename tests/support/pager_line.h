#pragma once

#include <gtest/gtest.h>

#include <array>
#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "link/serial_link.h"
#include "pager_simulator.h"
#include "platform/clock.h"
#include "session/pager_session.h"
#include "sim_backend.h"

namespace harvelin {

// A command as it goes over the line: SYN, the text, CR.
inline std::string frame(std::string_view command) { return "\x16" + std::string(command) + "\r"; }

// The simulated pager on one line of a simulated serial system, on virtual
// time: what the rigs of the toolkit-free tests stand on, whatever layer
// they drive. `port` is the line's device name, `portNumber` its number in
// the port table of whatever holds it.
struct PagerLine {
    explicit PagerLine(sim::PagerState state = {}, std::string device = "COM1", unsigned number = 1)
        : port(std::move(device)), portNumber(number), pager(backend.attachPager(port, std::move(state)))
    {
    }

    // As a search that found the pager leaves it: the port held open. What
    // went over the line before is forgotten.
    void connect(SerialLink& link)
    {
        link.setPortNumber(portNumber);
        link.setState(link.open() ? LinkState::Open : LinkState::Closed);
        ASSERT_EQ(link.state(), LinkState::Open);
        forgetTraffic();
    }
    void connect(PagerSession& session)
    {
        ASSERT_TRUE(session.takePort(portNumber));
        forgetTraffic();
    }
    void forgetTraffic()
    {
        pager->clearLog();
        backend.clearEvents();
    }

    // Bytes from the pager that are there for the next read, or `afterMs`
    // later.
    void fromPager(const std::string& bytes, std::int64_t afterMs = 0)
    {
        backend.inject(port, bytes, clock.nowMs() + afterMs);
    }
    // From now on a call button is pressed `afterMs` after the pager takes
    // up learn mode.
    void pressWhenLearning(std::array<std::uint8_t, 5> id, std::int64_t afterMs)
    {
        pager->onLearnMode = [this, id, afterMs](bool on) {
            if (on)
                fromPager(pager->pressButton(id), afterMs);
        };
    }

    // The frames written on the line, keep-alive bytes included.
    std::vector<std::string> frames() const { return backend.writes(port); }
    // The commands the pager received, without framing or keep-alive bytes.
    const std::vector<std::string>& commands() const { return pager->commands(); }
    std::vector<std::string> commandsStartingWith(std::string_view prefix) const
    {
        std::vector<std::string> found;
        for (const std::string& c : commands())
            if (c.starts_with(prefix))
                found.push_back(c);
        return found;
    }
    int countStartingWith(std::string_view prefix) const
    {
        return static_cast<int>(commandsStartingWith(prefix).size());
    }
    // When `command` first went over the line; -1: never.
    std::int64_t firstWriteAt(std::string_view command) const
    {
        for (const sim::SimBackend::Event& e : backend.events())
            if (e.device == port && e.kind == sim::SimBackend::Event::Write && e.bytes == frame(command))
                return e.atMs;
        return -1;
    }
    int countCommand(std::string_view command) const
    {
        int n = 0;
        for (const std::string& c : commands())
            n += c == command ? 1 : 0;
        return n;
    }

    sim::PagerState& pagerState() { return pager->state(); }
    sim::Faults& faults() { return pager->faults(); }

    VirtualClock clock;
    sim::SimBackend backend{clock};
    const std::string port;
    const unsigned portNumber;
    std::shared_ptr<sim::PagerSimulator> pager;
};

}  // namespace harvelin
