// The write against a pager whose acknowledgements are the fuzz input: the
// image is what the form showed and stays so, one result is shown, and a
// success needs the version and every step taken over.
#include <cstdint>

#include "fuzz_dialog.h"
#include "model/configuration_rule.h"
#include "model/win1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin;
    using namespace harvelin::fuzz;
    FuzzInput input(data, size);
    FuzzDialog rig(input);
    // A few rows of the form come from the input too. A field that holds
    // what the pager cannot is named in one box, and nothing is written.
    bool fieldRefused = false;
    for (int r = 1; r <= 3; ++r) {
        const std::string text = input.bytes(14);
        fieldRefused = fieldRefused || checkText(Field::CallerText, text).has_value();
        rig.host.setControlText(ctl::callerText(r), text);
    }
    const std::string name = input.bytes(14);
    fieldRefused = fieldRefused || checkText(Field::PagerName, name).has_value();
    rig.host.setControlText(ctl::PagerName, name);
    rig.connect();
    const bool connected = rig.dialog.session().active();
    rig.dialog.UpdateData(true);
    const PagerImage before = rig.dialog.configurationFromForm().image;

    rig.dialog.onCommand(ctl::WriteButton);
    rig.checkInvariants();
    const PagerImage after = rig.dialog.configurationFromForm().image;
    for (std::size_t i = 0; i < before.callers.size(); ++i)
        FUZZ_CHECK(before.callers[i].text.str() == after.callers[i].text.str() &&
                   before.callers[i].buttonId == after.callers[i].buttonId);
    const auto& shown = rig.host.messages;
    if (fieldRefused) {
        FUZZ_CHECK(shown.size() == 1);
        FUZZ_CHECK(shown[0].find("Zeile") != std::string::npos || shown[0].find("Pager-Name") != std::string::npos);
        return 0;
    }
    // A port that did not open leaves no pager to write to.
    if (!connected) {
        FUZZ_CHECK(shown.size() == 1 && shown[0] == "Es besteht keine Verbindung zum Zelvatron!");
        return 0;
    }
    // The result, and a note when a small pager had no room for everything.
    FUZZ_CHECK(shown.size() == 1 + (rig.results.lastWriteLeftSlotsOut ? 1 : 0));
    // A failure goes on to name what the pager did not take over.
    FUZZ_CHECK(rig.results.lastWriteSucceeded ? shown[0] == win1252("Daten erfolgreich übertragen")
                                              : shown[0].starts_with(win1252("Fehlerhafte Übertragung!")));
    FUZZ_CHECK(rig.host.timerRunning(ctl::UiTimerId));
    return 0;
}
