// The form laid out with the desktop's font at the screen's scaling (ctest
// runs this at 100 %, 150 % and 200 %), in every language the tool speaks:
// with small and large fonts and the longest texts it shows, every control
// lies on the form, none overlaps another (labels included), and no text is
// wider than its control except the ones that are cut with "…" and carry
// their whole text. With a dark palette every text
// keeps the palette's contrast.
#include <QAbstractButton>
#include <QApplication>
#include <QCheckBox>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPalette>
#include <QPushButton>
#include <QRadioButton>
#include <QStyle>
#include <QTest>

#include <cmath>

#include "gui_test_support.h"
#include "model/catalogue.h"
#include "model/win1252.h"
#include "device/learn_window.h"
#include "transfer/messages.h"
#include "ui/control_ids.h"
#include "ui/dialog_layout.h"

namespace harvelin::gui::test {

namespace {

QString toQt(const std::string& bytes) { return QString::fromStdString(win1252ToUtf8(bytes)); }

// The longest texts the status line and the port line show.
std::vector<std::string> statusTexts()
{
    return {readOutStatus(32), learnedStatus(32, "255255255255255"), LearnWindow::ranOutText(),
            win1252("Lernzeit:  8 Sekunden")};
}
const std::string LongPortLine = "Pager an Port:/dev/serial/by-id/usb-FTDI_FT232R_USB_UART_A10KZ3VQ-if00-port0 gefunden";

// How wide a control must be for its text, as the style draws it.
int neededWidth(QWidget* w)
{
    const QFontMetrics fm = w->fontMetrics();
    const auto textWidth = [&fm](QString text) { return fm.horizontalAdvance(text.remove(QLatin1Char('&'))); };
    // A box's own idea of its size: the indicator, the gap, the text.
    if (qobject_cast<QCheckBox*>(w) || qobject_cast<QRadioButton*>(w))
        return w->sizeHint().width();
    if (auto* button = qobject_cast<QPushButton*>(w))
        return textWidth(button->text()) + 2 * w->style()->pixelMetric(QStyle::PM_ButtonMargin, nullptr, w) / 2;
    if (auto* group = qobject_cast<QGroupBox*>(w))
        return textWidth(group->title()) + fm.averageCharWidth();
    if (auto* label = qobject_cast<QLabel*>(w))
        return label->pixmap().isNull() ? fm.horizontalAdvance(label->text()) : 0;
    return 0;  // edits scroll their text; the list elides
}

// WCAG's contrast of two colours: 1 (none) to 21.
double contrast(const QColor& a, const QColor& b)
{
    const auto luminance = [](const QColor& c) {
        const auto channel = [](double v) { return v <= 0.03928 ? v / 12.92 : std::pow((v + 0.055) / 1.055, 2.4); };
        return 0.2126 * channel(c.redF()) + 0.7152 * channel(c.greenF()) + 0.0722 * channel(c.blueF());
    };
    const double la = luminance(a) + 0.05;
    const double lb = luminance(b) + 0.05;
    return la > lb ? la / lb : lb / la;
}

QPalette darkPalette()
{
    QPalette p;
    const QColor window(0x2b, 0x2b, 0x2b), base(0x1e, 0x1e, 0x1e), text(0xe8, 0xe8, 0xe8);
    p.setColor(QPalette::Window, window);
    p.setColor(QPalette::WindowText, text);
    p.setColor(QPalette::Base, base);
    p.setColor(QPalette::AlternateBase, window);
    p.setColor(QPalette::Text, text);
    p.setColor(QPalette::Button, window.lighter(130));
    p.setColor(QPalette::ButtonText, text);
    p.setColor(QPalette::Mid, QColor(0x80, 0x80, 0x80));
    p.setColor(QPalette::Disabled, QPalette::Text, QColor(0x90, 0x90, 0x90));
    p.setColor(QPalette::Disabled, QPalette::WindowText, QColor(0x90, 0x90, 0x90));
    p.setColor(QPalette::Disabled, QPalette::ButtonText, QColor(0x90, 0x90, 0x90));
    return p;
}

// Saves a picture of the form when HARVELIN_FORM_SHOTS names a folder.
void keepPicture(QWidget& form, const QString& name)
{
    const QString folder = qEnvironmentVariable("HARVELIN_FORM_SHOTS");
    if (!folder.isEmpty())
        form.grab().save(folder + QLatin1Char('/') + name + QStringLiteral(".png"));
}

}  // namespace

class FormFitTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlFitsWithTheDesktopsFont_data();
    void everyControlFitsWithTheDesktopsFont();
    void aDarkPaletteKeepsEveryTextReadable();
};

void FormFitTest::everyControlFitsWithTheDesktopsFont_data()
{
    QTest::addColumn<QString>("language");
    QTest::addColumn<int>("points");
    for (const std::string_view language : languages()) {
        const QString code = QString::fromLatin1(language.data(), static_cast<int>(language.size()));
        QTest::newRow(qPrintable(code + QStringLiteral(", the desktop's"))) << code << 0;
        for (const int points : {8, 11, 14})
            QTest::newRow(qPrintable(code + QStringLiteral(", %1 pt").arg(points))) << code << points;
    }
}

void FormFitTest::everyControlFitsWithTheDesktopsFont()
{
    QFETCH(QString, language);
    QFETCH(int, points);
    const LanguageScope chosen(language.toStdString());
    const QFont before = QApplication::font();
    QFont font = before;
    if (points > 0)
        font.setPointSize(points);
    QApplication::setFont(font);
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget* canvas = form.control(ctl::Ok)->parentWidget();
    const QRect onForm(QPoint(0, 0), canvas->size());

    std::vector<std::pair<QWidget*, const layout::Control*>> placed;
    const layout::Dialog table = layout::mainForm();
    for (const layout::Control& c : table.controls) {
        if (c.id == layout::NoId || !form.control(c.id))
            continue;
        QWidget* w = form.control(c.id);
        QVERIFY2(onForm.contains(w->geometry()), qPrintable(QString::number(c.id)));
        placed.emplace_back(w, &c);
    }
    // Controls without an id: labels and group frames, found by their text.
    for (QWidget* w : canvas->findChildren<QWidget*>(Qt::FindDirectChildrenOnly))
        QVERIFY2(onForm.contains(w->geometry()), qPrintable(w->objectName()));

    // Every control, the labels without an id too (they grow with their
    // text), apart from the group frames around them; a group's title fits
    // its frame.
    const QList<QWidget*> drawn = canvas->findChildren<QWidget*>(Qt::FindDirectChildrenOnly);
    const auto named = [](QWidget* w) {
        const auto* label = qobject_cast<QLabel*>(w);
        return label ? label->text() : w->objectName();
    };
    for (qsizetype i = 0; i < drawn.size(); ++i) {
        if (auto* group = qobject_cast<QGroupBox*>(drawn[i])) {
            QVERIFY2(neededWidth(group) <= group->width(), qPrintable(group->title()));
            continue;
        }
        for (qsizetype j = i + 1; j < drawn.size(); ++j)
            if (!qobject_cast<QGroupBox*>(drawn[j]))
                QVERIFY2(!drawn[i]->geometry().intersects(drawn[j]->geometry()),
                         qPrintable(named(drawn[i]) + QStringLiteral(" and ") + named(drawn[j])));
        // What starts inside a group's frame ends inside it.
        for (QWidget* frame : drawn)
            if (qobject_cast<QGroupBox*>(frame) && frame->geometry().contains(drawn[i]->geometry().topLeft()))
                QVERIFY2(frame->geometry().contains(drawn[i]->geometry()), qPrintable(named(drawn[i])));
    }

    // The longest texts: elided, whole in the tooltip and the description.
    for (const std::string& status : statusTexts()) {
        form.host().setControlText(ctl::StatusLine, status);
        auto* line = qobject_cast<QLabel*>(form.control(ctl::StatusLine));
        QVERIFY(line->fontMetrics().horizontalAdvance(line->text()) <= line->width());
        QCOMPARE(line->accessibleDescription(), toQt(status));
        if (line->text() != toQt(status))
            QCOMPARE(line->toolTip(), toQt(status));
    }
    form.host().setPortListLine(LongPortLine);
    auto* ports = qobject_cast<QListWidget*>(form.control(ctl::PortList));
    QVERIFY(ports->item(0)->text().endsWith(QChar(0x2026)));
    QCOMPARE(ports->item(0)->toolTip(), toQt(LongPortLine));
    QCOMPARE(form.host().controlText(ctl::PortList), LongPortLine);

    for (const auto& [w, c] : placed)
        if (!(c->flags & layout::Elides))
            QVERIFY2(neededWidth(w) <= w->width(),
                     qPrintable(QStringLiteral("%1: %2 > %3").arg(c->id).arg(neededWidth(w)).arg(w->width())));

    keepPicture(form, QStringLiteral("qt-form-%1-%2pt-%3")
                          .arg(language)
                          .arg(points)
                          .arg(qEnvironmentVariable("QT_SCALE_FACTOR", "1")));
    QApplication::setFont(before);
}

// Every text the form draws takes its colours from the palette: with a dark
// one, the labels, titles, buttons and the identities (read-only, not
// disabled) keep a readable contrast.
void FormFitTest::aDarkPaletteKeepsEveryTextReadable()
{
    const QPalette before = QApplication::palette();
    QApplication::setPalette(darkPalette());
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    for (const layout::Control& c : layout::mainForm().controls) {
        QWidget* w = c.id == layout::NoId ? nullptr : form.control(c.id);
        if (!w || !w->isEnabled())
            continue;
        const QPalette& p = w->palette();
        const double ratio = contrast(p.color(w->foregroundRole()), p.color(w->backgroundRole()));
        QVERIFY2(ratio >= 4.5, qPrintable(QStringLiteral("%1: %2").arg(c.id).arg(ratio)));
    }
    // The window itself is dark: nothing draws a light background of its own.
    const QImage shot = form.grab().toImage();
    QVERIFY(QColor(shot.pixel(shot.width() / 2, shot.height() - 4)).lightness() < 100);
    keepPicture(form, QStringLiteral("qt-form-dark"));
    QApplication::setPalette(before);
}

}  // namespace harvelin::gui::test

QTEST_MAIN(harvelin::gui::test::FormFitTest)
#include "form_fit_test.moc"
