// The link watch on every tick: stray input of any kind is drained, a failed
// keep-alive lets the port go, a lost line is re-opened, and "Aktiv"
// follows the state the tick found.
#include <cstdint>

#include "fuzz_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin;
    using namespace harvelin::fuzz;
    FuzzInput input(data, size);
    FuzzDialog rig(input);
    rig.connect();
    for (int tick = 0; tick < 64 && !input.empty(); ++tick) {
        const LinkState before = rig.dialog.session().linkState();
        rig.tick(1);
        rig.checkInvariants();
        const SerialLink& link = rig.dialog.session().link();
        // A failed keep-alive lets the port go (a failed re-open may hold it).
        if (before == LinkState::Open && link.state() == LinkState::Lost)
            FUZZ_CHECK(!link.port());
        if (before == LinkState::Open)
            FUZZ_CHECK(rig.host.isChecked(ctl::Active));
        if (before != LinkState::Open)
            FUZZ_CHECK(!rig.host.isChecked(ctl::Active));
        FUZZ_CHECK(link.portNumber() == 1);
        FUZZ_CHECK(rig.dialog.fields().statusText.empty());
    }
    return 0;
}
