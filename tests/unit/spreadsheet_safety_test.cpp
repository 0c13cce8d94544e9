#include <gtest/gtest.h>

#include <string>

#include "cli/configuration_report.h"
#include "files/configuration_csv.h"

namespace harvelin {
namespace {

struct GuardCase {
    const char* name;
    std::string text;  // a caller text
    std::string cell;  // as the table holds it
};

class FormulaGuard : public ::testing::TestWithParam<GuardCase> {};

// Every text comes back as it was, whatever apostrophes it begins with, and
// none reaches a spreadsheet as a formula.
TEST_P(FormulaGuard, CellIsGuardedExactlyWhenASpreadsheetWouldCalculateItAndReadsBackAsItWas)
{
    EXPECT_EQ(csv::field(GetParam().text, ','), GetParam().cell);
    PagerConfiguration config = startConfiguration();
    config.image.callers[4].text.assign(GetParam().text);
    const std::string table = csv::format(config, ';');
    EXPECT_NE(table.find("\ncaller;5;" + GetParam().cell + ";"), std::string::npos) << table;
    PagerConfiguration read = startConfiguration();
    ASSERT_TRUE(csv::parse(table, read).empty());
    EXPECT_EQ(read.image.callers[4].text.str(), GetParam().text);
}

INSTANTIATE_TEST_SUITE_P(Values, FormulaGuard,
                         ::testing::Values(GuardCase{"Plus", "+49 89", "'+49 89"},
                                           GuardCase{"At", "@SUM(A1)", "'@SUM(A1)"},
                                           GuardCase{"ApostropheBeforeFormula", "'=x", "''=x"},
                                           GuardCase{"ApostrophesBeforeFormula", "''-", "'''-"},
                                           GuardCase{"ApostropheBeforeText", "'s Eck", "'s Eck"},
                                           GuardCase{"ApostropheAlone", "'", "'"},
                                           GuardCase{"SignInside", "a=b", "a=b"}),
                         [](const ::testing::TestParamInfo<GuardCase>& c) { return std::string(c.param.name); });

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
