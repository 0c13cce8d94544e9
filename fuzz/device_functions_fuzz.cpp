// The repeater status and clock, the option switches and the boot loader
// start against any replies: the clock text stays in its field, the clock
// group shows only what a reply carried, a switch is confirmed only by the
// pager's word.
#include <cstdint>

#include "form_results.h"
#include "fuzz_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin;
    using namespace harvelin::fuzz;
    FuzzInput input(data, size);
    FuzzDialog rig(input);
    rig.connect();

    SessionEvents none;
    const RepeaterStatus status = rig.dialog.session().readRepeaterStatus(none);
    rig.checkInvariants();
    if (status.repeaterTime)
        FUZZ_CHECK(status.repeaterTime->size() <= 5);
    if (!status.reported)
        FUZZ_CHECK(!rig.host.isVisible(ctl::ClockButton));
    if (status.reported)
        rig.dialog.onCommand(ctl::ClockButton);
    rig.checkInvariants();

    for (const int box : {ctl::Battery, ctl::Buzzer, ctl::RemoteDelete}) {
        rig.host.setChecked(box, input.byte() & 1);
        const bool wanted = rig.host.isChecked(box);
        rig.dialog.onCommand(box);
        rig.checkInvariants();
        if (rig.results.lastSwitchConfirmed)
            FUZZ_CHECK(rig.host.isChecked(box) == wanted);
    }
    rig.dialog.onCommand(ctl::BootloaderButton);
    rig.checkInvariants();
    // The timer runs after each of them.
    FUZZ_CHECK(rig.host.timerRunning(ctl::UiTimerId));
    return 0;
}
