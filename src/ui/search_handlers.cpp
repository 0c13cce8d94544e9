#include "transfer/messages.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

namespace {

// How long the repeater's clock group stays up after a search that found it.
constexpr std::uint8_t FoundClockTicks = 50;

}  // namespace

// The port that answers is shown as found at once, and the repeater
// behind it asked for its time, while the search finishes.
void MainDialog::Shown::pagerFound(const FoundPager&) { dialog_.setActive(true); }

void MainDialog::Shown::repeaterStatus(const RepeaterStatus& status)
{
    if (status.systemTime)
        dialog_.fields_.systemTimeText = *status.systemTime;
    if (status.repeaterTime)
        dialog_.fields_.repeaterTimeText = *status.repeaterTime;
    dialog_.UpdateData(false);
    if (status.reported)
        dialog_.showRepeaterClockFor(FoundClockTicks);
}

void MainDialog::searchPager()
{
    // Whatever the validation says, the search goes on.
    UpdateData(true);
    // The old link is given up before the search waits and closes it.
    setActive(false);
    // The search tries the ports in turn, showing each in the port line.
    runBusy([this](SessionEvents& events) { return session_.search(events); },
            [this](const SearchOutcome& outcome) {
                // A stopped search holds no port, also when it had found one.
                if (!outcome.found()) {
                    clockDisplayTicks_ = 0;
                    showClockGroup(false);
                    host_.setPortListLine(outcome.nothingFound);
                }
                fields_.statusText = session_.statusLine();
                listener_->searchEnded(outcome.result);
            });
}

}  // namespace harvelin
