// Each reply of the read-out: the version, the caller and kitchen slots and
// the five settings, first one reply through each parser on its own, then a
// whole read-out against a pager that answers the fuzz input.
#include <cstdint>
#include <string>
#include <string_view>

#include "files/pager_data_file.h"
#include "fuzz_dialog.h"
#include "transfer/reply_parsing.h"

namespace {

using namespace harvelin;
using namespace harvelin::transfer;

bool printable(std::string_view text)
{
    for (const char c : text)
        if (static_cast<unsigned char>(c) < 0x20)
            return false;
    return true;
}

void parseOneReply(std::string_view reply)
{
    if (versionFromReply(reply))
        FUZZ_CHECK(reply.find("Direkt") != std::string_view::npos && reply.find('V') != std::string_view::npos);
    for (const std::size_t wanted : {std::size_t{5}, std::size_t{2}}) {
        if (const auto slot = parseSlotReply(reply, wanted)) {
            FUZZ_CHECK(slot->text.size() <= 14);
            FUZZ_CHECK(printable(slot->text));
            FUZZ_CHECK(slot->numberCount <= wanted);
        }
    }
    for (const std::string_view marker : {"schung:", "Debug :", "ration:"})
        (void)numberAfterMarker(reply, marker);
    if (const auto text = remoteDeleteTextFromReply(reply))
        FUZZ_CHECK(text->size() <= 16 && text->find('\r') == std::string::npos);
    if (const auto name = pagerNameFromReply(reply))
        FUZZ_CHECK(name->size() <= 14 && name->find('\r') == std::string::npos);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin::fuzz;
    FuzzInput input(data, size);
    parseOneReply(input.bytes(255));

    FuzzDialog rig(input);
    rig.connect();
    const std::string before = PagerDataFile::format(rig.dialog.configurationFromForm());
    rig.dialog.onCommand(ctl::ReadButton);
    rig.checkInvariants();
    // One message at the end for what did not arrive, or the one that nothing
    // came; the timer runs again either way. Only a complete read-out changes
    // the form.
    FUZZ_CHECK(rig.host.messages.size() <= 1);
    for (const std::string& m : rig.host.messages)
        FUZZ_CHECK(m.starts_with("Fehlerhafter Datenempfang") || m == "Es besteht keine Verbindung zum Zelvatron!");
    FUZZ_CHECK(rig.host.timerRunning(ctl::UiTimerId));
    if (rig.results.lastReadOutComplete)
        FUZZ_CHECK(rig.host.messages.empty());
    else
        FUZZ_CHECK(PagerDataFile::format(rig.dialog.configurationFromForm()) == before);
    return 0;
}
