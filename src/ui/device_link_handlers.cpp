#include "link/device_search.h"
#include "link/port_problem.h"
#include "ui/control_ids.h"
#include "ui/host_sink.h"
#include "ui/main_dialog.h"
#include "transfer/messages.h"

namespace harvelin {

namespace {

// How long the repeater's clock group stays up after a search that found it.
constexpr std::uint8_t FoundClockTicks = 50;

}  // namespace

void MainDialog::searchPager()
{
    // 1. Whatever the validation says, the search goes on.
    UpdateData(true);
    // 2.-3. No keep-alive may go out while the ports are tried.
    deviceBusy = true;
    stopUiTimer();
    // 5. The old link is given up before the search waits and closes it.
    host.setChecked(ctl::Active, false);

    // 4., 6.-8.
    HostSink sink(host);
    bool shownFound = false;
    const SearchResult result = harvelin::searchPager(link, clock, sink, [this, &shownFound] {
        shownFound = true;
        host.setChecked(ctl::Active, true);
        if (readRepeaterStatus()) {
            showClockGroup(true);
            clockDisplayTicks = FoundClockTicks;
        }
    });
    // A cancelled search holds no port, also when it had found one.
    if (shownFound && !result.found) {
        host.setChecked(ctl::Active, false);
        clockDisplayTicks = 0;
        showClockGroup(false);
    }
    if (!result.found)
        host.setPortListLine(nothingFoundLine());

    // 9.
    deviceBusy = false;
    startUiTimer();
    // 10.
    UpdateData(false);

    // A cancelled search has nothing to explain.
    if (!result.found && !link.cancelled()) {
        if (const std::string why = messageFor(result); !why.empty())
            host.messageBox(why);
    }
}

}  // namespace harvelin
