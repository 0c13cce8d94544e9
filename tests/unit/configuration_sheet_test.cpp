#include <gtest/gtest.h>

#include <string>

#include "files/configuration_sheet.h"
#include "model/win1252.h"

namespace harvelin {
namespace {

std::size_t count(const std::string& text, const std::string& part)
{
    std::size_t n = 0;
    for (std::size_t at = text.find(part); at != std::string::npos; at = text.find(part, at + 1))
        ++n;
    return n;
}

const SheetSource Source{"kueche.pag", "09.12.2026 14:30", "1.0.0 (commit 1a2b3c4d5e6f)"};

// Every text the sheet prints, from the configuration and from its source,
// is escaped, and Windows-1252 comes out as UTF-8.
TEST(ConfigurationSheetTest, EveryTextIsEscapedAndUtf8)
{
    PagerConfiguration config = startConfiguration();
    config.pagerName = win1252("<Küche>&Bar");
    config.remoteDeleteText = win1252("\"Löschen'ß€\"");
    config.image.callers[0].text.assign("<script>&co");
    config.image.callers[1].text.assign("&amp;\"'");
    config.image.kitchenCalls[0].text.assign(win1252("Spül<b>"));
    const std::string page = configurationSheet(config, {"a&b<c>.pag", "\"d\"", "'v'"});

    EXPECT_TRUE(page.starts_with("<!DOCTYPE html>"));
    EXPECT_NE(page.find("<meta charset=\"utf-8\">"), std::string::npos);
    EXPECT_TRUE(isUtf8(page));
    for (const char* shown : {"&lt;Küche&gt;&amp;Bar", "&quot;Löschen&#39;ß€&quot;", "&lt;script&gt;&amp;co",
                              "&amp;amp;&quot;&#39;", "Spül&lt;b&gt;", "Datei: a&amp;b&lt;c&gt;.pag",
                              "Stand: &quot;d&quot;", "Harvelin &#39;v&#39;"})
        EXPECT_NE(page.find(shown), std::string::npos) << shown;
    for (const char* raw : {"<script", "<Küche", "&co", "<b>", "'v'", "\"d\"", "<c>"})
        EXPECT_EQ(page.find(raw), std::string::npos) << raw;
}

// Caller slots without text and identity are left out, and so are kitchen
// calls that hold nothing or what a fresh form puts there; the sheet says
// how many.
TEST(ConfigurationSheetTest, EmptySlotsAreLeftOutAndCounted)
{
    PagerConfiguration config = startConfiguration();
    const std::string fresh = configurationSheet(config, Source);
    EXPECT_EQ(count(fresh, "<td class=\"number\">"), 0u);
    EXPECT_NE(fresh.find("32 leere Plätze nicht aufgeführt"), std::string::npos);
    EXPECT_NE(fresh.find("16 Küchenrufe nicht aufgeführt"), std::string::npos);

    config.image.callers[2].text.assign("Tisch 3");        // a text alone
    config.image.callers[20].idSuffix = 1;                 // an identity alone
    config.image.kitchenCalls[4].station = 2;              // one value changed
    config.image.kitchenCalls[6].text.clear();             // blank, as an old file holds it
    config.image.kitchenCalls[6].key = config.image.kitchenCalls[6].station = 0;
    const std::string page = configurationSheet(config, Source);
    EXPECT_NE(page.find("<td class=\"number\">3</td><td><span class=\"text\">Tisch 3</span></td>"),
              std::string::npos);
    EXPECT_NE(page.find("<td class=\"number\">21</td><td><span class=\"text\"></span></td>"
                        "<td class=\"identity\">01</td>"),
              std::string::npos);
    EXPECT_NE(page.find("<td class=\"number\">5</td><td><span class=\"text\">Station 5</span></td>"
                        "<td class=\"number\">5</td><td class=\"number\">2</td>"),
              std::string::npos);
    // One row for each slot shown.
    EXPECT_EQ(count(page, "<tr><td class=\"number\">"), 3u);
    EXPECT_NE(page.find("30 leere Plätze nicht aufgeführt"), std::string::npos);
    EXPECT_NE(page.find("15 Küchenrufe nicht aufgeführt"), std::string::npos);

    for (CallerEntry& slot : config.image.callers)
        slot.text.assign("Tisch");
    config.image.callers[7].text.clear();
    const std::string one = configurationSheet(config, Source);
    EXPECT_NE(one.find("1 leerer Platz nicht aufgeführt"), std::string::npos);
}

// The settings as the form names them, and the foot with where the sheet
// comes from.
TEST(ConfigurationSheetTest, ShowsSettingsAndSource)
{
    PagerConfiguration config = startConfiguration();
    config.buzzer = true;
    const std::string page = configurationSheet(config, Source);
    for (const char* shown : {"<th>Pager-Name</th><td><span class=\"text\">Pager:A</span>",
                              "<th>Fernlöschtext</th><td><span class=\"text\">  Fernlöschung  </span>",
                              "<th>Batteriespannung</th><td>aus</td>", "<th>Summer</th><td>ein</td>",
                              "<th>Fernlöschung</th><td>aus</td>",
                              "Datei: kueche.pag · Stand: 09.12.2026 14:30 · Harvelin 1.0.0 (commit 1a2b3c4d5e6f)"})
        EXPECT_NE(page.find(shown), std::string::npos) << shown;
    EXPECT_NE(page.find("@page { size: A4;"), std::string::npos);
}

}  // namespace
}  // namespace harvelin
