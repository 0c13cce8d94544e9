// The device search's probe answers on every port and the presence check in
// front of ">Lese:0": a pager is taken only on a port of the table, and an
// answer without the pager's word never counts as one.
#include <cstdint>

#include "fuzz_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin;
    using namespace harvelin::fuzz;
    FuzzInput input(data, size);
    FuzzDialog rig(input);
    rig.dialog.onCommand(ctl::SearchButton);
    rig.checkInvariants();
    const SerialLink& link = rig.dialog.session().link();
    // The repeater status read after a find may already have lost the line
    // again, but a search that found nothing leaves no open port.
    if (link.portNumber() == 0)
        FUZZ_CHECK(link.state() == LinkState::Closed && !link.port());
    FUZZ_CHECK(rig.host.isChecked(ctl::Active) == (link.portNumber() != 0));
    FUZZ_CHECK(rig.host.timerRunning(ctl::UiTimerId));

    // The presence check: a "true" exchange of ">Lese:0" means the pager
    // said its name within the first read.
    rig.connect();
    std::string reply;
    std::uint8_t length = 0;
    const std::size_t writesBefore = rig.backend.written.size();
    const bool sent = rig.dialog.session().link().exchange(">Lese:0", reply, length);
    FUZZ_CHECK(length == reply.size() && reply.size() <= SerialLink::MaxReplyLength);
    if (!sent)
        FUZZ_CHECK(rig.backend.written.size() <= writesBefore + 1);
    return 0;
}
