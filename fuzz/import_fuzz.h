#pragma once

// What the two import targets share: a file's bytes as import reads them,
// and the property that an import either names its problems or gives a
// configuration that goes out and comes back unchanged.
#include <string>
#include <string_view>
#include <vector>

#include "files/configuration_csv.h"
#include "files/pager_data_file.h"
#include "fuzz_dialog.h"
#include "model/win1252.h"

namespace harvelin::fuzz {

// UTF-8 as it is, anything else as Windows-1252, behind a byte order mark.
inline std::string importedText(const std::uint8_t* data, std::size_t size)
{
    std::string_view bytes(reinterpret_cast<const char*>(data), size);
    if (bytes.starts_with("\xEF\xBB\xBF"))
        bytes.remove_prefix(3);
    return isUtf8(bytes) ? std::string(bytes) : win1252ToUtf8(bytes);
}

// Every problem has a place and a reason.
inline void checkProblems(const std::vector<csv::Problem>& problems)
{
    for (const csv::Problem& p : problems)
        FUZZ_CHECK(p.line >= 1 && p.column >= 1 && !p.what.empty());
}

// Start values that differ from the default in every field, so that a
// value that did not come back shows.
inline PagerConfiguration otherStartValues()
{
    PagerConfiguration c;
    c.pagerName = "alt";
    c.remoteDeleteText = "alt";
    c.battery = c.buzzer = c.remoteDelete = true;
    for (CallerEntry& slot : c.image.callers) {
        slot.text.assign("alt");
        slot.setButtonIdValue(0xA5A5A5A5);
        slot.idSuffix = 0xA5;
    }
    for (KitchenCallEntry& slot : c.image.kitchenCalls) {
        slot.text.assign("alt");
        slot.key = slot.station = 0xA5;
    }
    return c;
}

}  // namespace harvelin::fuzz
