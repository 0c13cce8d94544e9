#include "gui/dialog_units.h"

#include <QFontMetrics>
#include <QString>

#include "model/win1252.h"

namespace harvelin::gui {

namespace {

// a * b / c, rounded half away from zero, for the non-negative values here.
int mulDiv(int a, int b, int c)
{
    return static_cast<int>((2LL * a * b + c) / (2LL * c));
}

}  // namespace

DialogUnits::DialogUnits(const QFont& font)
{
    const QFontMetrics metrics(font);
    const QString letters = QStringLiteral("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz");
    baseWidth_ = mulDiv(metrics.horizontalAdvance(letters), 1, static_cast<int>(letters.size()));
    baseHeight_ = metrics.height();
    if (baseWidth_ < 1)
        baseWidth_ = 1;
    if (baseHeight_ < 1)
        baseHeight_ = 1;
}

DialogUnits DialogUnits::widenedToFit(const layout::Dialog& dialog, const QFontMetrics& metrics,
                                      const QStyle* style) const
{
    const int margin = style ? style->pixelMetric(QStyle::PM_ButtonMargin) : 6;
    DialogUnits wider = *this;
    for (const layout::Control& c : dialog.controls) {
        const QString text = QString::fromStdString(win1252ToUtf8(layout::shownText(c)));
        int needed = 0;
        if (c.kind == layout::Kind::Button || c.kind == layout::Kind::DefaultButton)
            needed = metrics.horizontalAdvance(text) + margin;
        else if (c.kind == layout::Kind::Group)
            needed = metrics.horizontalAdvance(text) + metrics.averageCharWidth();
        // The base width that gives the control `needed` pixels.
        while (needed > 0 && wider.x(c.width) < needed)
            wider.widthPerMille_ += 5;
    }
    return wider;
}

int DialogUnits::x(int du) const { return mulDiv(du * baseWidth_, widthPerMille_, 4000); }

int DialogUnits::y(int du) const { return mulDiv(du, baseHeight_, 8); }

QRect DialogUnits::rect(int left, int top, int width, int height) const
{
    const int l = x(left);
    const int t = y(top);
    return QRect(l, t, x(left + width) - l, y(top + height) - t);
}

QSize DialogUnits::size(int width, int height) const { return QSize(x(width), y(height)); }

}  // namespace harvelin::gui
