// Any bytes as the JSON of a configuration for import: the reader either
// names its problems, or what it read is written as JSON and read again
// into the same configuration and the same text, byte for byte.
#include <cstdint>

#include "files/configuration_json.h"
#include "model/configuration_rule.h"
#include "import_fuzz.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin;
    PagerConfiguration config;
    const std::vector<csv::Problem> problems = configurationFromJson(fuzz::importedText(data, size), config);
    fuzz::checkProblems(problems);
    if (!problems.empty())
        return 0;
    FUZZ_CHECK(!checkConfiguration(config));
    const std::string json = configurationJson(config);
    PagerConfiguration again = fuzz::otherStartValues();
    FUZZ_CHECK(configurationFromJson(json, again).empty());
    FUZZ_CHECK(sameConfiguration(again, config));
    FUZZ_CHECK(configurationJson(again) == json);
    return 0;
}
