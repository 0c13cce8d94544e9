#include "gui/dialog_units.h"

#include <QFontMetrics>
#include <QGuiApplication>
#include <QScreen>
#include <QString>

namespace harvelin::gui {

namespace {

// a * b / c, rounded half away from zero, for the non-negative values here.
int mulDiv(int a, int b, int c)
{
    return static_cast<int>((2LL * a * b + c) / (2LL * c));
}

}  // namespace

QFont templateFont(const QString& family, int pointSize)
{
    int dpi = 96;
    if (const QScreen* screen = QGuiApplication::primaryScreen())
        dpi = qRound(screen->logicalDotsPerInchY());
    QFont font(family);
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(mulDiv(pointSize, dpi, 72));
    return font;
}

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

int DialogUnits::x(int du) const { return mulDiv(du, baseWidth_, 4); }

int DialogUnits::y(int du) const { return mulDiv(du, baseHeight_, 8); }

QRect DialogUnits::rect(int left, int top, int width, int height) const
{
    const int l = x(left);
    const int t = y(top);
    return QRect(l, t, x(left + width) - l, y(top + height) - t);
}

QSize DialogUnits::size(int width, int height) const { return QSize(x(width), y(height)); }

}  // namespace harvelin::gui
