#include "gui/about_dialog.h"

#include <QLabel>
#include <QPushButton>

#include "gui/app_icon.h"
#include "gui/dialog_units.h"

namespace harvelin::gui {

namespace {

constexpr int IdOk = 1;
constexpr int IconSizePx = 32;

}  // namespace

AboutDialog::AboutDialog(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint)
{
    const QFont font = templateFont(QStringLiteral("MS Sans Serif"), 8);
    setFont(font);
    const DialogUnits du(font);

    setWindowTitle(QStringLiteral("Info über Harvelin"));
    setFixedSize(du.size(235, 55));

    // An icon control shows the icon at its own size from the given corner.
    auto* icon = new QLabel(this);
    icon->setPixmap(pagerIcon().pixmap(IconSizePx, IconSizePx));
    const QRect iconRect = du.rect(11, 17, 20, 20);
    icon->setGeometry(QRect(iconRect.topLeft(), QSize(IconSizePx, IconSizePx)));

    auto* version = new QLabel(QStringLiteral("Harvelin Version 1.0"), this);
    version->setGeometry(du.rect(40, 10, 119, 8));
    auto* purpose = new QLabel(QStringLiteral("Konfiguration für Zelvatron-Pager"), this);
    purpose->setGeometry(du.rect(40, 25, 119, 8));
    for (QLabel* label : {version, purpose}) {
        label->setTextFormat(Qt::PlainText);
        label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    }

    auto* ok = new QPushButton(QStringLiteral("OK"), this);
    ok->setObjectName(QString::number(IdOk));
    ok->setProperty("controlId", IdOk);
    ok->setGeometry(du.rect(178, 7, 50, 14));
    ok->setDefault(true);
    ok->setFocus();
    connect(ok, &QPushButton::clicked, this, &QDialog::accept);
}

}  // namespace harvelin::gui
