#pragma once

#include "win/windows_api.h"

#include <vector>

#include "ui/dialog_layout.h"

namespace harvelin::win {

// A control of a dialog made from the layout table, beside its row of the
// table. The dialog manager creates the children in template order, and the
// form never changes their z-order, so the n-th child is the n-th row.
struct PlacedControl {
    HWND window;
    layout::Control control;
};
std::vector<PlacedControl> pairWithTable(HWND dialog, const layout::Dialog& table);

// The pixels of one horizontal and one vertical dialog unit, times 4 and 8,
// for a font: its average width of the Latin letters and its height, as the
// dialog manager measures them.
SIZE dialogBaseUnits(HFONT font);

// The form's controls in pixels of the font it uses now. Each control keeps
// its place from the table; a label is as wide as its text at least (nothing
// lies right of one), except a text that may be cut; and when the window is
// larger than the template (maximised), all of them move by the offset that
// centres the template's area in the client area.
class FormLayout {
public:
    FormLayout(HWND dialog, const layout::Dialog& table);

    // Places every control for the font the children carry now and the
    // client area's size.
    void place();
    // The template's area in pixels of that font, or of another.
    SIZE templateSize() const { return templateSize(font()); }
    SIZE templateSize(HFONT font) const;
    const std::vector<PlacedControl>& controls() const { return controls_; }

private:
    HFONT font() const;

    HWND dialog_;
    int width_, height_;  // dialog units
    std::vector<PlacedControl> controls_;
};

// The width a text takes in the font the control draws with.
int textWidth(HWND control, const std::wstring& text);
// The height of a line in the font the control draws with.
int lineHeight(HWND control);

}  // namespace harvelin::win
