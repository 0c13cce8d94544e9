#include <gtest/gtest.h>

#include <functional>
#include <string>
#include <string_view>

#include "device/texts.h"
#include "files/texts.h"
#include "link/texts.h"
#include "model/catalogue.h"
#include "model/configuration_rule.h"
#include "model/texts.h"
#include "model/win1252.h"
#include "transfer/messages.h"
#include "transfer/texts.h"

namespace harvelin {
namespace {

// A message as each language words it (UTF-8 here; the core gives
// Windows-1252).
struct Worded {
    const char* name;
    std::function<std::string()> message;
    const char* german;
    const char* english;
};

class CoreMessage : public ::testing::TestWithParam<Worded> {};

TEST_P(CoreMessage, ComesInTheLanguageChosen)
{
    const Worded& w = GetParam();
    EXPECT_EQ(w.message(), win1252(w.german));
    LanguageScope english{"en"};
    EXPECT_EQ(w.message(), win1252(w.english));
}

INSTANTIATE_TEST_SUITE_P(
    Messages, CoreMessage,
    ::testing::Values(
        Worded{"Alone", [] {
                   ReadOutResult cancelled;
                   cancelled.end = ReadOutEnd::Cancelled;
                   return messageFor(cancelled);
               },
               "Lesen abgebrochen – die Daten im Formular sind unverändert.",
               "Reading cancelled – the data in the form are unchanged."},
        Worded{"Constant", [] { return std::string(localized(TransferText::WriteNotVerified)); },
               "Daten übertragen, aber nicht geprüft: der Pager wurde nicht vollständig gelesen.",
               "Data transferred but not checked: the pager could not be read in full."},
        Worded{"WithArguments", [] { return fileNotSavedMessage("K\xC3\xBC" "che.pag", "Zugriff verweigert"); },
               "Die Datei Küche.pag konnte nicht gespeichert werden: Zugriff verweigert",
               "The file Küche.pag could not be saved: Zugriff verweigert"},
        Worded{"WithAProblem",
               [] { return describe(Problem{Field::Key, Fault::OutOfRange, "256", 0, 255}); },
               "Taste \"256\" ist keine Zahl von 0 bis 255", "key 256 is not a number from 0 to 255"}),
    [](const ::testing::TestParamInfo<Worded>& param) { return std::string(param.param.name); });

}  // namespace
}  // namespace harvelin
