// Port tables from any list of paths, as --port builds them: every number
// from 1 to the size names an entry, nothing outside does, and the table
// never holds more than the ports a search goes through. The same names as
// a Windows system might list them give COM ports in ascending order, each
// found by its own number.
#include <cstdint>
#include <string>
#include <vector>

#include "fuzz_dialog.h"
#include "link/port_table.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin;
    harvelin::fuzz::FuzzInput input(data, size);
    std::vector<std::string> paths;
    while (!input.empty())
        paths.push_back(input.bytes(64));
    const PortTable table = PortTable::fromPaths(paths);
    FUZZ_CHECK(table.size() <= PortTable::MaxPorts);
    FUZZ_CHECK(table.size() <= paths.size());
    FUZZ_CHECK(table.entry(0) == nullptr && table.entry(table.size() + 1) == nullptr);
    for (unsigned n = 1; n <= table.size(); ++n) {
        const PortEntry* e = table.entry(n);
        FUZZ_CHECK(e != nullptr);
        FUZZ_CHECK(e->deviceName == paths[n - 1]);
        FUZZ_CHECK(e->label.size() <= e->deviceName.size());
    }

    std::vector<ListedPort> listed;
    for (const std::string& name : paths)
        listed.push_back({name, {}});
    const PortTable com = PortTable::listedComPorts(listed);
    unsigned last = 0;
    for (const PortEntry& e : com.entries()) {
        FUZZ_CHECK(e.number > last && e.number <= 255);
        FUZZ_CHECK(com.entry(e.number) == &e);
        last = e.number;
    }
    return 0;
}
