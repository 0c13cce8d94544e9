#include <gtest/gtest.h>

#include <algorithm>
#include <cctype>
#include <set>
#include <string>
#include <string_view>
#include <utility>
#include <vector>

#include "model/catalogue.h"
#include "model/win1252.h"
#include "cli/texts.h"
#include "device/texts.h"
#include "files/texts.h"
#include "link/texts.h"
#include "model/texts.h"
#include "transfer/texts.h"
#include "ui/texts.h"

namespace harvelin {
namespace {

// Every list of the catalogue.
std::vector<const TextTable*> everyList()
{
    return {&textTable(ModelText{}),    &textTable(LinkText{}), &textTable(TransferText{}), &textTable(DeviceText{}),
            &textTable(FilesText{}),    &textTable(FormText{}), &textTable(CliText{})};
}

// Texts whose wording is the same in both languages: names, numbers and
// words English took from German or shares with it.
const std::set<std::string_view> SharedWording = {
    "OK",     "ok",     "ok %1", "1..16", "17..32", "Harvelin", "Zelvatron", "Pager", "Station", "Status",
    "Error",  "Commit %1", "Pager -&> PC", "P&C -> Pager",
};

// Whether a text is only values and signs between them ("%1: %2").
bool holdsNoWord(std::string_view text)
{
    for (std::size_t i = 0; i < text.size(); ++i) {
        if (text[i] == '%' && i + 1 < text.size() && text[i + 1] >= '1' && text[i + 1] <= '9')
            ++i;
        else if (std::isalpha(static_cast<unsigned char>(text[i])))
            return false;
    }
    return true;
}

// The %1 to %9 a text takes, each as often as it stands there.
std::multiset<char> arguments(std::string_view text)
{
    std::multiset<char> found;
    for (std::size_t i = 0; i + 1 < text.size(); ++i)
        if (text[i] == '%' && text[i + 1] >= '1' && text[i + 1] <= '9')
            found.insert(text[++i]);
    return found;
}

TEST(Catalogue, EveryTextHasItsWordingInEveryLanguage)
{
    for (const TextTable* list : everyList()) {
        std::set<std::string_view> identifiers;
        for (std::size_t i = 0; i < list->entries().size(); ++i) {
            const CatalogueEntry& entry = list->entries()[i];
            const std::string name = std::string(list->list()) + "." + std::string(entry.id);
            SCOPED_TRACE(name);
            EXPECT_TRUE(identifiers.insert(entry.id).second) << "identifier twice";
            EXPECT_FALSE(entry.german.empty());
            for (const std::string_view code : languages()) {
                const auto wording = list->translation(i, code);
                ASSERT_TRUE(wording.has_value()) << "no " << code << " wording";
                EXPECT_FALSE(wording->empty()) << code;
                EXPECT_TRUE(utf8ToWin1252(*wording).has_value()) << code << ": not a Windows-1252 text";
                EXPECT_EQ(arguments(*wording), arguments(entry.german)) << code << ": " << *wording;
                if (code != "de" && !SharedWording.contains(entry.german) && !holdsNoWord(entry.german)) {
                    EXPECT_NE(*wording, entry.german) << code << ": the same as the German";
                }
            }
        }
    }
}

TEST(Catalogue, SystemSettingChoosesTheLanguage)
{
    const std::pair<std::string_view, std::string_view> cases[] = {
        {"", "de"},           {"C", "de"},          {"C.UTF-8", "de"},     {"POSIX", "de"},
        {"de_DE.UTF-8", "de"}, {"de_AT@euro", "de"}, {"de-CH", "de"},       {"en_US.UTF-8", "en"},
        {"en-GB", "en"},       {"fr_FR.UTF-8", "en"}, {"fr:de", "de"},      {"fr:en:de", "en"},
        {"pt-BR", "en"},       {":de", "de"},
    };
    for (const auto& [setting, language] : cases)
        EXPECT_EQ(languageForSystem(setting), language) << '"' << setting << '"';
}

TEST(Catalogue, ChosenLanguageHoldsForItsScopeAndArgumentsGoInOnce)
{
    ASSERT_EQ(chosenLanguage(), "de");
    {
        LanguageScope english("en");
        EXPECT_EQ(localized(FormText::SearchButton), "&Search Zelvatron");
        EXPECT_FALSE(chooseLanguage("fr"));
        EXPECT_EQ(chosenLanguage(), "en");
    }
    EXPECT_EQ(localized(FormText::SearchButton), "&Suche Zelvatron");
    EXPECT_EQ(withArguments("%2 von %1, %3", {"a%2", "b"}), "b von a%2, %3");
}

}  // namespace
}  // namespace harvelin
