// Any bytes as a spreadsheet table for import: the reader either names its
// problems, or what it read is exported with each separator and imported
// again into the same configuration and the same table, byte for byte.
#include <cstdint>

#include "files/configuration_csv.h"
#include "model/configuration_rule.h"
#include "import_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin;
    PagerConfiguration config;
    const std::vector<csv::Problem> problems = csv::parse(fuzz::importedText(data, size), config);
    fuzz::checkProblems(problems);
    if (!problems.empty())
        return 0;
    FUZZ_CHECK(!checkConfiguration(config));
    for (const char separator : csv::Separators) {
        const std::string table = csv::format(config, separator);
        PagerConfiguration again = fuzz::otherStartValues();
        FUZZ_CHECK(csv::parse(table, again).empty());
        FUZZ_CHECK(sameConfiguration(again, config));
        FUZZ_CHECK(csv::format(again, separator) == table);
    }
    return 0;
}
