#include "gui/app_icon.h"

#include <QPainter>
#include <QPainterPath>
#include <QPixmap>

namespace harvelin::gui {

// Drawn into an image, not a pixmap, so that the installed icon files can be
// made at build time without a window system.
QImage pagerImage(int size)
{
    QImage image(size, size, QImage::Format_ARGB32_Premultiplied);
    image.fill(Qt::transparent);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, size > 16);
    const qreal s = size / 32.0;

    // Belt clip behind the body.
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(70, 70, 80));
    p.drawRect(QRectF(12 * s, 1 * s, 8 * s, 4 * s));

    // Body.
    const QRectF body(2 * s, 4 * s, 28 * s, 25 * s);
    p.setPen(QPen(QColor(20, 30, 60), size > 16 ? 1.5 * s : 1));
    p.setBrush(QColor(40, 70, 140));
    p.drawRoundedRect(body, 4 * s, 4 * s);

    // Display with two lines of text.
    const QRectF display(6 * s, 8 * s, 20 * s, 10 * s);
    p.setPen(QPen(QColor(20, 40, 20), size > 16 ? 1 : 0));
    p.setBrush(QColor(170, 220, 120));
    p.drawRect(display);
    p.setPen(Qt::NoPen);
    p.setBrush(QColor(30, 60, 30));
    p.drawRect(QRectF(8 * s, 10 * s, 14 * s, 2 * s));
    if (size > 16)
        p.drawRect(QRectF(8 * s, 14 * s, 10 * s, 2 * s));

    // Two keys and the signal lamp.
    p.setBrush(QColor(220, 220, 230));
    p.drawEllipse(QRectF(7 * s, 21 * s, 6 * s, 5 * s));
    p.drawEllipse(QRectF(19 * s, 21 * s, 6 * s, 5 * s));
    p.setBrush(QColor(240, 60, 40));
    p.drawEllipse(QRectF(14.5 * s, 22 * s, 3 * s, 3 * s));
    p.end();
    return image;
}

QIcon pagerIcon()
{
    QIcon icon;
    for (const int size : {16, 24, 32, 48, 64})
        icon.addPixmap(QPixmap::fromImage(pagerImage(size)));
    return icon;
}

}  // namespace harvelin::gui
