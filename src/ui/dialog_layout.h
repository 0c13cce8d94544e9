#pragma once

#include <string>
#include <vector>

namespace harvelin::layout {

// The dialog templates of the tool, without any toolkit: every control's
// kind, id, text, place in dialog units, and whether it starts hidden or
// disabled. The desktop programs build their windows from these, so the form
// looks the same on every system. Texts are Windows-1252 bytes.

// TextList: lines that can be read, selected and copied, not edited.
enum class Kind { Static, Group, Button, DefaultButton, Check, Radio, Edit, ReadOnlyEdit, List, Progress, Icon, TextList };

// Elides: a text that may not fit (the status line, the port line) is cut
// with "…" and carries its whole text as its tooltip and accessible
// description; every other text fits its control.
enum Flags : unsigned { Plain = 0, Hidden = 1, Disabled = 2, Elides = 4 };

// Controls that are never named by an id.
constexpr int NoId = -1;

struct Control {
    Kind kind;
    // "&" before a letter of a button's, a check box's or a group's text
    // marks its Alt shortcut (shownText() leaves it out).
    int id;
    std::string text;
    int x, y, width, height;
    unsigned flags = Plain;
};

struct Dialog {
    std::string caption;
    int width, height;       // dialog units
    std::string fontName;
    int fontPoints;
    std::vector<Control> controls;  // template order, which is also the tab order
};

// A control's text as it reads: without the "&" that marks a shortcut
// ("&&" is one "&"). Labels take their text as it is.
std::string shownText(const Control& control);

// Dialog 102, the main form.
Dialog mainForm();
// Dialog 100, the about box.
Dialog aboutBox();

// A box of lines under a heading, with "OK": what the pager holds beside the
// form. The heading and the lines are set when it opens.
Dialog linesBox();
constexpr int LinesHeadingId = 100;
constexpr int LinesListId = 101;

// The about box's "OK" and the icon it shows.
constexpr int AboutOkId = 1;
constexpr int AppIconId = 128;
// The system-menu entry that opens the about box: command 16, string 101.
constexpr unsigned AboutCommand = 16;
std::string aboutEntryText();

// The other entries of the system menu, above the about box's. Commands are
// multiples of 16, as the system menu wants them; the main dialog takes them
// as it takes its controls' clicks (MainDialog::onCommand).
constexpr unsigned CompareCommand = 32;           // "Mit Pager vergleichen"
constexpr unsigned VerifyAfterWriteCommand = 48;  // "Nach dem Schreiben prüfen", ticked or not
constexpr unsigned SheetCommand = 64;             // "Übersicht drucken…"
struct MenuEntry {
    unsigned command;
    std::string text;
    bool checkable;
};
// In the menu's order, the about box's entry last; a separator before the
// first and before the last.
std::vector<MenuEntry> systemMenu();

}  // namespace harvelin::layout
