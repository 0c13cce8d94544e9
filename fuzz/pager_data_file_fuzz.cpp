// Any bytes as a ".pag" file: the reader must keep every text within its
// field, and whatever it made of them must survive writing and reading again.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "files/pager_data_file.h"

namespace {

void check(bool ok)
{
    if (!ok)
        std::abort();
}

bool sameFields(const harvelin::PagerConfiguration& a, const harvelin::PagerConfiguration& b)
{
    for (std::size_t i = 0; i < a.image.callers.size(); ++i) {
        const auto& x = a.image.callers[i];
        const auto& y = b.image.callers[i];
        if (x.text.str() != y.text.str() || x.buttonId != y.buttonId || x.idSuffix != y.idSuffix)
            return false;
    }
    for (std::size_t i = 0; i < a.image.kitchenCalls.size(); ++i) {
        const auto& x = a.image.kitchenCalls[i];
        const auto& y = b.image.kitchenCalls[i];
        if (x.text.str() != y.text.str() || x.key != y.key || x.station != y.station)
            return false;
    }
    return a.pagerName == b.pagerName && a.remoteDeleteText == b.remoteDeleteText && a.battery == b.battery &&
           a.buzzer == b.buzzer && a.remoteDelete == b.remoteDelete;
}

// Texts the writer cannot carry unchanged: a line end or a TAB inside a text
// ends it early when read back, as in any file of this format.
bool writable(const harvelin::PagerConfiguration& c)
{
    auto plain = [](std::string_view t) { return t.find_first_of("\r\n\t") == std::string_view::npos; };
    for (const auto& slot : c.image.callers)
        if (!plain(slot.text.str()) || slot.text.str().find("Pagername:") != std::string::npos)
            return false;
    for (const auto& slot : c.image.kitchenCalls)
        if (!plain(slot.text.str()) || slot.text.str().find("Pagername:") != std::string::npos ||
            slot.text.str().find("Eintrag:") != std::string::npos)
            return false;
    return plain(c.pagerName) && plain(c.remoteDeleteText);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using harvelin::PagerDataFile;
    harvelin::PagerConfiguration config;
    PagerDataFile::parse(std::string_view(reinterpret_cast<const char*>(data), size), config);

    for (const auto& slot : config.image.callers)
        check(std::memchr(slot.text.bytes.data(), 0, 15) != nullptr);
    for (const auto& slot : config.image.kitchenCalls)
        check(std::memchr(slot.text.bytes.data(), 0, 15) != nullptr);
    check(config.pagerName.size() <= harvelin::PagerNameMax);
    check(config.remoteDeleteText.size() <= harvelin::RemoteDeleteTextMax);

    if (writable(config)) {
        const std::string file = PagerDataFile::format(config);
        harvelin::PagerConfiguration again;
        PagerDataFile::parse(file, again);
        check(sameFields(config, again));
    }
    return 0;
}
