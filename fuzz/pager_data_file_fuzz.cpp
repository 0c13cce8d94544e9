// Any bytes as a ".pag" file: whatever the reader accepts passes the rule of
// what a configuration may hold, and saves and reads back byte for byte; a
// file it refuses for mixing UTF-8 and Windows-1252 is neither.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <string_view>

#include "files/pager_data_file.h"
#include "model/configuration_rule.h"
#include "model/win1252.h"

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

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using harvelin::PagerDataFile;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);
    harvelin::PagerConfiguration config = harvelin::startConfiguration();
    harvelin::LoadReport report;
    if (!PagerDataFile::read(bytes, config, report)) {
        // The problem stands at the first byte that is no UTF-8.
        if (report.problem && report.problem->problem.fault == harvelin::Fault::MixedEncoding) {
            const std::size_t at = report.problem->problem.at;
            check(harvelin::isUtf8(bytes.substr(0, at)) && !harvelin::isUtf8(bytes.substr(0, at + 1)));
        }
        return 0;
    }

    for (const auto& slot : config.image.callers)
        check(std::memchr(slot.text.bytes.data(), 0, 15) != nullptr);
    for (const auto& slot : config.image.kitchenCalls)
        check(std::memchr(slot.text.bytes.data(), 0, 15) != nullptr);
    check(!harvelin::checkConfiguration(config));

    const std::string file = PagerDataFile::format(config);
    harvelin::PagerConfiguration again;
    check(!PagerDataFile::parse(file, again));
    check(sameFields(config, again));
    check(PagerDataFile::format(again) == file);
    return 0;
}
