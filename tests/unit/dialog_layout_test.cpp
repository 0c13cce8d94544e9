// The layout table both desktop forms are built from.
#include <gtest/gtest.h>

#include <cctype>
#include <map>
#include <set>
#include <string>

#include "model/catalogue.h"
#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/dialog_layout.h"
#include "ui/main_dialog.h"

namespace harvelin {
namespace {

// Every control the form talks to is in the table once, inside the dialog,
// and the controls that start hidden are the clock group's and the two
// buttons that only some moments show.
TEST(DialogLayoutTest, MainFormHoldsEveryControlOnceWithinItsBounds)
{
    const layout::Dialog form = layout::mainForm();
    std::set<int> ids;
    std::set<int> hidden;
    for (const layout::Control& c : form.controls) {
        EXPECT_TRUE(c.x >= 0 && c.y >= 0 && c.x + c.width <= form.width && c.y + c.height <= form.height)
            << "control " << c.id;
        if (c.id == layout::NoId)
            continue;
        EXPECT_TRUE(ids.insert(c.id).second) << "id " << c.id << " twice";
        if (c.flags & layout::Hidden)
            hidden.insert(c.id);
    }
    std::set<int> expected = {ctl::SearchButton, ctl::Active,       ctl::PortList,    ctl::PagerName,
                              ctl::Battery,      ctl::Buzzer,       ctl::RemoteDelete, ctl::RemoteDeleteText,
                              ctl::Progress,     ctl::ReadButton,   ctl::WriteButton, ctl::OpenFileButton,
                              ctl::SaveFileButton, ctl::StatusLine, ctl::PageLower,   ctl::PageUpper,
                              ctl::BootloaderButton, ctl::Ok,       ctl::Cancel};
    for (const int id : ctl::ClockControls)
        expected.insert(id);
    for (int r = 1; r <= MainDialog::Rows; ++r)
        expected.insert({ctl::rowLabel(r), ctl::callerText(r), ctl::idText(r), ctl::learnButton(r),
                         ctl::deleteButton(r)});
    for (int r = 1; r <= MainDialog::KitchenRows; ++r)
        expected.insert({ctl::kitchenText(r), ctl::kitchenKey(r), ctl::kitchenStation(r)});
    EXPECT_EQ(ids, expected);
    EXPECT_EQ(hidden, (std::set<int>{ctl::BootloaderButton, ctl::Cancel}));
    EXPECT_EQ(form.fontName, "Arial");
    EXPECT_EQ(form.width, 596);
    EXPECT_EQ(form.height, 319);
}

// The Alt shortcuts: the buttons and groups a user goes to most have one,
// no letter twice on the form (the menu's own shortcuts aside), and the text
// reads as the form's text without the mark.
// The shortcuts and the texts they are in, for the language chosen; no
// letter twice.
std::map<std::string, std::string> shortcutsOnTheForm()
{
    std::map<char, std::string> letters;
    std::map<std::string, std::string> shown;
    for (const layout::Control& c : layout::mainForm().controls) {
        const std::size_t amp = c.text.find('&');
        if (amp == std::string::npos || c.kind == layout::Kind::Static)
            continue;
        const char letter = static_cast<char>(std::tolower(static_cast<unsigned char>(c.text[amp + 1])));
        EXPECT_TRUE(letters.emplace(letter, c.text).second)
            << chosenLanguage() << ": " << c.text << " and " << letters[letter];
        shown[layout::shownText(c)] = c.text;
    }
    return shown;
}

TEST(DialogLayoutTest, AltShortcutsAreUniqueAndLeaveTheTextsAsTheyRead)
{
    for (const std::string_view language : languages()) {
        const LanguageScope chosen(language);
        EXPECT_EQ(shortcutsOnTheForm().size(), 14u) << language;
    }
    const std::map<std::string, std::string> shown = shortcutsOnTheForm();
    EXPECT_EQ(shown, (std::map<std::string, std::string>{{"Beenden", "&Beenden"},
                                                         {"Abbrechen", "&Abbrechen"},
                                                         {win1252("Datei öffnen"), win1252("&Datei öffnen")},
                                                         {"Datenhandling", "Date&nhandling"},
                                                         {win1252("Küchenrufe"), win1252("&Küchenrufe")},
                                                         {"PC -> Pager", "P&C -> Pager"},
                                                         {"Pager -> PC", "Pager -&> PC"},
                                                         {"Pager-Einstellungen", "Pager-&Einstellungen"},
                                                         {"Speichern unter", "Speichern &unter"},
                                                         {"Starte Bootloader", "Starte Boot&loader"},
                                                         {"Suche Zelvatron", "&Suche Zelvatron"},
                                                         {"Systemeinstellungen", "S&ystemeinstellungen"},
                                                         {"Systemzeit -> Repeater", "Systemzeit -> &Repeater"},
                                                         {"Tischsender", "&Tischsender"}}));
}

}  // namespace
}  // namespace harvelin
