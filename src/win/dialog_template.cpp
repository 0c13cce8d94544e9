#include "win/dialog_template.h"

#include "win/windows_api.h"

#include <commctrl.h>

#include <string>

#include "model/limits.h"
#include "ui/control_ids.h"
#include "win/win32_text.h"

namespace harvelin::win {

namespace {

// Predefined window classes by atom.
constexpr std::uint16_t ButtonClass = 0x0080;
constexpr std::uint16_t EditClass = 0x0081;
constexpr std::uint16_t StaticClass = 0x0082;
constexpr std::uint16_t ListBoxClass = 0x0083;

class Writer {
public:
    explicit Writer(std::vector<std::uint16_t>& words) : words_(words) {}

    void word(std::uint16_t w) { words_.push_back(w); }
    void dword(std::uint32_t d)
    {
        word(static_cast<std::uint16_t>(d & 0xFFFF));
        word(static_cast<std::uint16_t>(d >> 16));
    }
    void text(const std::wstring& s)
    {
        for (const wchar_t ch : s)
            word(static_cast<std::uint16_t>(ch));
        word(0);
    }
    void ordinal(std::uint16_t value)
    {
        word(0xFFFF);
        word(value);
    }
    // Each control's entry starts on a double word.
    void alignDword()
    {
        if (words_.size() % 2 != 0)
            word(0);
    }

private:
    std::vector<std::uint16_t>& words_;
};

bool isNumberField(int id)
{
    return id > ctl::kitchenKey(0) && id <= ctl::kitchenStation(static_cast<int>(KitchenSlots));
}

}  // namespace

DialogTemplate buildTemplate(const layout::Dialog& dialog, Frame frame)
{
    DialogTemplate result;
    Writer w(result.words);

    DWORD style = DS_SETFONT | DS_MODALFRAME | WS_POPUP | WS_CAPTION | WS_SYSMENU;
    DWORD exStyle = 0;
    std::wstring fontName = wideFromBytes(dialog.fontName);
    int fontPoints = dialog.fontPoints;
    if (frame == Frame::MainForm) {
        // Its own task-bar button, centred, with minimise and maximise boxes.
        style |= DS_CENTER | WS_MINIMIZEBOX | WS_MAXIMIZEBOX;
        exStyle |= WS_EX_APPWINDOW;
        // The system's dialog font, by the name the system maps to it, at
        // the size dialogs are measured in: the form follows the font and
        // the dpi the user has chosen, and its dialog units with them.
        style |= DS_SHELLFONT;
        fontName = ShellFontName;
        fontPoints = ShellFontPoints;
    }
    w.word(1);       // version
    w.word(0xFFFF);  // the extended form
    w.dword(0);      // help id
    w.dword(exStyle);
    w.dword(style);
    w.word(static_cast<std::uint16_t>(dialog.controls.size()));
    w.word(0);
    w.word(0);
    w.word(static_cast<std::uint16_t>(dialog.width));
    w.word(static_cast<std::uint16_t>(dialog.height));
    w.word(0);  // no menu
    w.word(0);  // the dialog class
    w.text(wideFromBytes(dialog.caption));
    w.word(static_cast<std::uint16_t>(fontPoints));
    w.word(FW_NORMAL);
    w.word(0x0100 * DEFAULT_CHARSET);  // italic 0, then the character set
    w.text(fontName);

    bool previousWasRadio = false;
    for (const layout::Control& c : dialog.controls) {
        DWORD s = WS_CHILD;
        std::uint16_t atom = 0;
        std::wstring className;
        switch (c.kind) {
        case layout::Kind::Static:
            atom = StaticClass;
            s |= SS_LEFT | SS_NOPREFIX;
            // A text that may not fit ends in "…"; the label takes the mouse,
            // so that its tooltip shows the whole text.
            if (c.flags & layout::Elides)
                s |= SS_ENDELLIPSIS | SS_NOTIFY;
            break;
        case layout::Kind::Icon: atom = StaticClass; s |= SS_ICON; break;
        case layout::Kind::Group: atom = ButtonClass; s |= BS_GROUPBOX; break;
        case layout::Kind::Button: atom = ButtonClass; s |= BS_PUSHBUTTON | WS_TABSTOP; break;
        case layout::Kind::DefaultButton: atom = ButtonClass; s |= BS_DEFPUSHBUTTON | WS_TABSTOP; break;
        case layout::Kind::Check: atom = ButtonClass; s |= BS_AUTOCHECKBOX | WS_TABSTOP; break;
        case layout::Kind::Radio: atom = ButtonClass; s |= BS_AUTORADIOBUTTON; break;
        case layout::Kind::Edit:
            atom = EditClass;
            s |= ES_LEFT | ES_AUTOHSCROLL | WS_BORDER | WS_TABSTOP;
            if (isNumberField(c.id))
                s |= ES_NUMBER;
            break;
        // A read-only box: readable in the system's colours for read-only
        // edits, selectable, and a stop of Tab, with right-aligned text.
        case layout::Kind::ReadOnlyEdit:
            atom = EditClass;
            s |= ES_RIGHT | ES_AUTOHSCROLL | ES_READONLY | WS_BORDER | WS_TABSTOP;
            break;
        case layout::Kind::TextList:
            atom = EditClass;
            s |= ES_MULTILINE | ES_READONLY | ES_AUTOVSCROLL | ES_AUTOHSCROLL | WS_VSCROLL | WS_HSCROLL | WS_BORDER |
                 WS_TABSTOP;
            break;
        case layout::Kind::List:
            atom = ListBoxClass;
            s |= LBS_SORT | LBS_NOINTEGRALHEIGHT | WS_VSCROLL | WS_BORDER | WS_TABSTOP;
            // The form draws a line that may not fit, cut with "…"; the list
            // keeps it whole for whoever reads it.
            if (c.flags & layout::Elides)
                s |= LBS_OWNERDRAWFIXED | LBS_HASSTRINGS;
            break;
        case layout::Kind::Progress: className = PROGRESS_CLASSW; s |= WS_BORDER; break;
        }
        // Each control is a group of its own, except a run of radio buttons,
        // which the arrow keys move through.
        const bool radio = c.kind == layout::Kind::Radio;
        if (!radio || !previousWasRadio)
            s |= WS_GROUP;
        if (radio && !previousWasRadio)
            s |= WS_TABSTOP;
        previousWasRadio = radio;
        if (!(c.flags & layout::Hidden))
            s |= WS_VISIBLE;
        if (c.flags & layout::Disabled)
            s |= WS_DISABLED;

        w.alignDword();
        w.dword(0);  // help id
        w.dword(0);  // extended style
        w.dword(s);
        w.word(static_cast<std::uint16_t>(c.x));
        w.word(static_cast<std::uint16_t>(c.y));
        w.word(static_cast<std::uint16_t>(c.width));
        w.word(static_cast<std::uint16_t>(c.height));
        w.dword(static_cast<std::uint32_t>(c.id));
        if (atom != 0)
            w.ordinal(atom);
        else
            w.text(className);
        if (c.kind == layout::Kind::Icon)
            w.ordinal(static_cast<std::uint16_t>(c.id));
        else
            w.text(wideFromBytes(c.text));
        w.word(0);  // no creation data
    }
    return result;
}

}  // namespace harvelin::win
