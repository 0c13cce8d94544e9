#pragma once

#include <cstdint>
#include <string>
#include <utility>
#include <vector>

#include "form_results.h"
#include "memory_host.h"
#include "pager_line.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

// The started dialog on an in-memory host and virtual time, with a simulated
// pager on COM1 of the Windows port table, driven tick by tick as the 100 ms
// timer would drive it.
struct DialogRig : PagerLine {
    explicit DialogRig(sim::PagerState state = {}) : PagerLine(std::move(state)) { dialog.OnInitDialog(); }

    // As a successful search leaves it: the port open, "Aktiv" ticked.
    void connect()
    {
        PagerLine::connect(dialog.session());
        host.setChecked(ctl::Active, true);
    }

    // "Suche Zelvatron", as it finds the pager and its repeater: the clock
    // group is shown for the next fifty ticks.
    void search()
    {
        dialog.onCommand(ctl::SearchButton);
        forgetTraffic();
        lastTickAt = clock.nowMs();
    }

    // The line fails under an exchange and comes back: the link has fallen
    // closed and keeps its port number, as after the pager was pulled out
    // while it was asked something and put back.
    void lineFellClosed()
    {
        backend.unplug(port);
        SessionEvents none;
        dialog.session().readRepeaterStatus(none);
        backend.plug(port);
        ASSERT_EQ(dialog.session().linkState(), LinkState::Closed);
        forgetTraffic();
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
    // The form is idle again: the next tick of its timer sends the
    // keep-alive byte.
    bool keepAliveOnNextTick()
    {
        backend.clearEvents();
        dialog.onTimer(ctl::UiTimerId);
        return frames() == std::vector<std::string>{"\x16"};
    }

    std::string text(int id) const { return host.controlText(id); }

    MemoryHost host;
    MainDialog dialog{host, backend, PortTable::windowsComPorts(), clock};
    FormResults results{dialog};
    std::int64_t lastTickAt = 0;
};

}  // namespace harvelin
