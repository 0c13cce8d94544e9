#include <gtest/gtest.h>

#include <string>

#include "cli/configuration_report.h"

namespace harvelin {
namespace {

TEST(SpreadsheetSafety, ShowQuotesTextsAsMessagesDo)
{
    PagerConfiguration config = startConfiguration();
    config.image.callers[0].text.assign("\x1b[31mrot\x7f");
    config.pagerName = std::string(60, 'N');
    const std::string shown = configurationText(config);
    EXPECT_NE(shown.find(" 1  \"\\x1b[31mrot\\x7f\""), std::string::npos) << shown;
    EXPECT_NE(shown.find("\"" + std::string(40, 'N') + "\u2026\"\n"), std::string::npos) << shown;
    EXPECT_EQ(shown.find('\x1b'), std::string::npos);
    EXPECT_EQ(shown.find('\x7f'), std::string::npos);
}

}  // namespace
}  // namespace harvelin
