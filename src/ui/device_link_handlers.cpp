#include <memory>

#include "device/repeater_clock.h"
#include "link/device_search.h"
#include "link/port_problem.h"
#include "transfer/messages.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

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
    deviceBusy_ = true;
    stopUiTimer();
    // 5. The old link is given up before the search waits and closes it.
    setActive(false);

    // 4., 6.-8. The port that answers is shown as found at once, and the
    //           repeater behind it asked for its time, while the search
    //           finishes.
    auto shownFound = std::make_shared<bool>(false);
    runOnLink(
        [this, shownFound](WorkContext& context) {
            return harvelin::searchPager(link_, clock_, context, [this, &context, shownFound] {
                *shownFound = true;
                context.show([this] { setActive(true); });
                const RepeaterStatus status = harvelin::readRepeaterStatus(link_, clock_);
                context.show([this, status] {
                    showRepeaterStatus(status);
                    if (status.reported)
                        showRepeaterClockFor(FoundClockTicks);
                });
            });
        },
        [this, shownFound](const SearchResult& result) { finishSearch(result, *shownFound); });
}

void MainDialog::finishSearch(const SearchResult& result, bool shownFound)
{
    // A cancelled search holds no port, also when it had found one.
    if (shownFound && !result.found) {
        setActive(false);
        clockDisplayTicks_ = 0;
        showClockGroup(false);
    }
    if (!result.found)
        host_.setPortListLine(nothingFoundLine());

    // 9.
    deviceBusy_ = false;
    startUiTimer();
    // 10.
    UpdateData(false);
    listener_->searchEnded(result);

    // A cancelled search has nothing to explain.
    if (!result.found && !link_.cancelled()) {
        if (const std::string why = messageFor(result); !why.empty())
            host_.messageBox(why);
    }
}

}  // namespace harvelin
