#pragma once

#include <QFont>
#include <QFontMetrics>
#include <QStyle>
#include <QRect>
#include <QSize>

#include "ui/dialog_layout.h"

namespace harvelin::gui {

// Dialog templates give positions in dialog units: a quarter of the dialog
// font's average character width across, an eighth of its height down. The
// forms take the desktop's font (the application's), so they grow with it
// and with the screen's scaling. The
// average width is taken the way Windows takes it (the 52 Latin letters,
// rounded), so a form laid out in these units keeps its proportions.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);
    // The same units, wide enough across that the text of every button and
    // group of `dialog` fits it in `metrics`, with the room `style` gives a
    // button's text.
    DialogUnits widenedToFit(const layout::Dialog& dialog, const QFontMetrics& metrics, const QStyle* style) const;

    int baseWidth() const { return baseWidth_; }
    int baseHeight() const { return baseHeight_; }

    int x(int du) const;
    int y(int du) const;
    // Corners are converted, not the width and height, so neighbouring
    // controls meet exactly where their templates meet.
    QRect rect(int x, int y, int width, int height) const;
    QSize size(int width, int height) const;

private:
    int baseWidth_;
    int baseHeight_;
    int widthPerMille_ = 1000;  // how much wider than the font's average a unit runs
};

}  // namespace harvelin::gui
