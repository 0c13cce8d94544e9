// Learn mode against any bytes: the acknowledgements, the report line spread
// over reads in any way, the duplicate check. Only the learning row's slot
// may change, and only its identity; the window always ends.
#include <cstdint>

#include "form_results.h"
#include "fuzz_dialog.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin;
    using namespace harvelin::fuzz;
    FuzzInput input(data, size);
    FuzzDialog rig(input);
    // Identities already stored, so the duplicate check has something to find;
    // given to the form in one change, as a file would bring them.
    editImage(rig.dialog, [&](PagerImage& image) {
        for (int n = 0; n < 16; ++n) {
            image.callers[n].buttonId = {input.byte(), 0, 0, 0};
            image.callers[n].idSuffix = input.byte() % 4;
        }
    });
    if (input.byte() & 1)
        rig.dialog.onCommand(ctl::PageUpper);
    const PagerImage before = rig.dialog.image();
    const int row = 1 + input.byte() % MainDialog::Rows;
    rig.connect();

    const int pageOffset = pageOffsetOf(rig.dialog.viewPage());
    rig.dialog.onCommand(ctl::learnButton(row));
    // Eight seconds of window and the closing exchanges.
    rig.tick(100);
    rig.checkInvariants();
    FUZZ_CHECK(!rig.dialog.session().learning());
    const std::size_t learned = static_cast<std::size_t>(row - 1 + pageOffset);
    for (std::size_t i = 0; i < before.callers.size(); ++i) {
        FUZZ_CHECK(before.callers[i].text.str() == rig.dialog.image().callers[i].text.str());
        if (i != learned)
            FUZZ_CHECK(before.callers[i].buttonId == rig.dialog.image().callers[i].buttonId &&
                       before.callers[i].idSuffix == rig.dialog.image().callers[i].idSuffix);
    }
    if (!rig.results.lastLearnStored)
        FUZZ_CHECK(before.callers[learned].buttonId == rig.dialog.image().callers[learned].buttonId);
    return 0;
}
