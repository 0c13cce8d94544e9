#pragma once

#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

#include <gtest/gtest.h>

#include "link/serial_port.h"
#include "pager_simulator.h"
#include "platform/clock.h"
#include "sim_backend.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "form_results.h"
#include "memory_host.h"

namespace harvelin {

// Passes every port through, and lets a test look at (and change the pager
// before) each write, e.g. to make the fifth of five answers differ.
class WatchedBackend : public SerialBackend {
public:
    explicit WatchedBackend(SerialBackend& inner) : inner_(inner) {}

    std::unique_ptr<SerialPort> open(const std::string& deviceName) override
    {
        std::unique_ptr<SerialPort> port = inner_.open(deviceName);
        if (!port)
            return nullptr;
        return std::make_unique<Port>(std::move(port), *this);
    }

    std::function<void(std::string_view bytes)> beforeWrite;

private:
    class Port : public SerialPort {
    public:
        Port(std::unique_ptr<SerialPort> inner, WatchedBackend& owner) : inner_(std::move(inner)), owner_(owner) {}
        bool readSettings() override { return inner_->readSettings(); }
        bool applyLineSettings() override { return inner_->applyLineSettings(); }
        void setTimeouts(TimeoutSet set) override { inner_->setTimeouts(set); }
        std::string read(std::size_t maxBytes) override { return inner_->read(maxBytes); }
        bool write(std::string_view bytes) override
        {
            if (owner_.beforeWrite)
                owner_.beforeWrite(bytes);
            return inner_->write(bytes);
        }

    private:
        std::unique_ptr<SerialPort> inner_;
        WatchedBackend& owner_;
    };

    SerialBackend& inner_;
};

// The started dialog on an in-memory host and virtual time, with a simulated
// pager on COM3, driven tick by tick as the 100 ms timer would drive it.
struct DeviceRig {
    static constexpr const char* Port = "COM3";
    static constexpr std::uint8_t PortNumber = 3;

    VirtualClock clock;
    MemoryHost host;
    sim::SimBackend backend{clock};
    std::shared_ptr<sim::PagerSimulator> pager = backend.attachPager(Port);
    WatchedBackend watched{backend};
    MainDialog dialog{host, watched, PortTable::windowsComPorts(), clock};
    FormResults results{dialog};
    std::int64_t lastTickAt = 0;

    DeviceRig() { dialog.OnInitDialog(); }

    // As a successful search leaves it: the port open, "Aktiv" ticked.
    void connect()
    {
        ASSERT_TRUE(dialog.session().takePort(PortNumber));
        host.setChecked(ctl::Active, true);
        pager->clearLog();
        backend.clearEvents();
    }

    // "Suche Zelvatron", as it finds the pager and its repeater: the clock
    // group is shown for the next fifty ticks.
    void search()
    {
        dialog.onCommand(ctl::SearchButton);
        pager->clearLog();
        backend.clearEvents();
        lastTickAt = clock.nowMs();
    }

    // The line fails under an exchange and comes back: the link has fallen
    // closed and keeps its port number, as after the pager was pulled out
    // while it was asked something and put back.
    void lineFellClosed()
    {
        backend.unplug(Port);
        SessionEvents none;
        dialog.session().readRepeaterStatus(none);
        backend.plug(Port);
        ASSERT_EQ(dialog.session().linkState(), LinkState::Closed);
        pager->clearLog();
        backend.clearEvents();
    }

    // A tick falls due 100 ms after the previous one began, or at once when
    // that one ran longer.
    void tick()
    {
        clock.advanceTo(lastTickAt + ctl::UiTimerPeriodMs);
        lastTickAt = clock.nowMs();
        dialog.onTimer(ctl::UiTimerId);
    }
    void ticks(int n)
    {
        for (int i = 0; i < n; ++i)
            tick();
    }

    // Bytes from the pager that are there for the next read.
    void fromPager(const std::string& bytes) { backend.inject(Port, bytes, clock.nowMs()); }

    std::vector<std::string> writes() const { return backend.writes(Port); }
    // The command texts written, without framing and without keep-alive bytes.
    std::vector<std::string> commands() const
    {
        std::vector<std::string> out;
        for (const std::string& w : writes())
            if (w.size() > 2)
                out.push_back(w.substr(1, w.size() - 2));
        return out;
    }
    int countCommand(std::string_view command) const
    {
        int n = 0;
        for (const std::string& c : commands())
            n += c == command ? 1 : 0;
        return n;
    }
    std::string text(int id) const { return host.controlText(id); }
};

}  // namespace harvelin
