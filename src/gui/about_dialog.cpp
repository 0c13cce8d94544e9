#include "gui/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app_icon.h"
#include "gui/dialog_units.h"
#include "model/win1252.h"
#include "ui/dialog_layout.h"

namespace harvelin::gui {

namespace {

constexpr int IconSizePx = 32;

QString toQt(const std::string& bytes) { return QString::fromStdString(win1252ToUtf8(bytes)); }

}  // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    const layout::Dialog box = layout::aboutBox();
    // In dialog units of the desktop's font, as the form.
    const DialogUnits du(font());

    setWindowTitle(toQt(box.caption));
    setFixedSize(du.size(box.width, box.height));

    for (const layout::Control& c : box.controls) {
        switch (c.kind) {
        case layout::Kind::Icon: {
            // An icon control shows the icon at its own size from the given corner.
            auto* icon = new QLabel(this);
            icon->setPixmap(pagerIcon().pixmap(IconSizePx, IconSizePx));
            const QRect iconRect = du.rect(c.x, c.y, c.width, c.height);
            icon->setGeometry(QRect(iconRect.topLeft(), QSize(IconSizePx, IconSizePx)));
            break;
        }
        case layout::Kind::DefaultButton: {
            auto* ok = new QPushButton(toQt(c.text), this);
            ok->setObjectName(QString::number(c.id));
            ok->setProperty("controlId", c.id);
            ok->setGeometry(du.rect(c.x, c.y, c.width, c.height));
            ok->setDefault(true);
            ok->setFocus();
            connect(ok, &QPushButton::clicked, this, &QDialog::accept);
            break;
        }
        default: {
            auto* label = new QLabel(toQt(c.text), this);
            label->setGeometry(du.rect(c.x, c.y, c.width, c.height));
            label->setTextFormat(Qt::PlainText);
            label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
            break;
        }
        }
    }
}

}  // namespace harvelin::gui
