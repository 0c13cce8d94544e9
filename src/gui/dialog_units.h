#pragma once

#include <QFont>
#include <QRect>
#include <QSize>

namespace harvelin::gui {

// The font a dialog template names, sized the way Windows sizes it: the point
// size turned into whole pixels at the screen's logical resolution first, so
// that the metrics, and with them the layout, come out as on Windows.
QFont templateFont(const QString& family, int pointSize);

// Dialog templates give positions in dialog units: a quarter of the dialog
// font's average character width across, an eighth of its height down. The
// average width is taken the way Windows takes it (the 52 Latin letters,
// rounded), so a form laid out in these units keeps its proportions.
class DialogUnits {
public:
    explicit DialogUnits(const QFont& font);

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
};

}  // namespace harvelin::gui
