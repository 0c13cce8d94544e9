// The form as a screen reader sees it: walked through Qt's accessibility
// interfaces from the window down, on both pages. Every control that takes
// input or shows state has a name, no two share one, and the caller rows
// are named by the slot they show. The keyboard answers the questions (J, N)
// and switches the page with the arrow keys.

#include <QAccessible>
#include <QMessageBox>
#include <QRadioButton>
#include <QSet>
#include <QTest>

#include "gui_test_support.h"
#include "ui/control_ids.h"

using namespace harvelin;
using namespace harvelin::gui;
using namespace harvelin::gui::test;

namespace {

bool takesInputOrShowsState(QAccessible::Role role)
{
    switch (role) {
    case QAccessible::EditableText:
    case QAccessible::PushButton:
    case QAccessible::CheckBox:
    case QAccessible::RadioButton:
    case QAccessible::List:
    case QAccessible::ProgressBar: return true;
    default: return false;
    }
}

// The names of the visible controls that take input or show state, the
// labels that show state (named by the table) included; unnamed ones are
// counted by their role's number.
struct Walk {
    QStringList names;
    QStringList unnamed;

    void from(QAccessibleInterface* node)
    {
        if (!node || node->state().invisible)
            return;
        const bool stateLabel = node->role() == QAccessible::StaticText && node->object()
                                && node->object()->objectName().toInt() != 0
                                && !node->text(QAccessible::Name).isEmpty();
        if (takesInputOrShowsState(node->role()) || stateLabel) {
            const QString name = node->text(QAccessible::Name);
            if (name.isEmpty())
                unnamed << QStringLiteral("%1 (role %2)").arg(node->object() ? node->object()->objectName() : QString())
                                   .arg(node->role());
            else
                names << name;
        }
        for (int i = 0; i < node->childCount(); ++i)
            from(node->child(i));
    }
};

QStringList duplicates(const QStringList& names)
{
    QSet<QString> seen;
    QStringList twice;
    for (const QString& name : names)
        if (seen.contains(name))
            twice << name;
        else
            seen.insert(name);
    return twice;
}

}  // namespace

class AccessibilityTest : public QObject {
    Q_OBJECT

private slots:
    void everyControlNamedOnceOnBothPages();
    void questionsAnswerToJAndN_data();
    void questionsAnswerToJAndN();
    void arrowKeysSwitchThePage();
    void focusComesBackAfterTheWork();
};

void AccessibilityTest::everyControlNamedOnceOnBothPages()
{
    FormRig rig(false);
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QAccessible::setActive(true);

    for (const bool upper : {false, true}) {
        if (upper)
            QTest::mouseClick(rig.control(ctl::PageUpper), Qt::LeftButton);
        Walk walk;
        walk.from(QAccessible::queryAccessibleInterface(&form));
        QVERIFY2(walk.unnamed.isEmpty(), qPrintable(walk.unnamed.join(QStringLiteral(", "))));
        QVERIFY2(duplicates(walk.names).isEmpty(), qPrintable(duplicates(walk.names).join(QStringLiteral(", "))));
        // 82 fields, 32 row buttons, the switches, buttons, list and bar.
        QVERIFY2(walk.names.size() >= 82 + 32 + 10, qPrintable(QString::number(walk.names.size())));
        const int slot3 = upper ? 19 : 3;
        for (const QString& name : {QStringLiteral("Tischsender %1 Meldetext"), QStringLiteral("Tischsender %1 Rufknopf-ID"),
                                    QStringLiteral("Tischsender %1 Lernen"), QStringLiteral("Tischsender %1 Löschen")})
            QVERIFY2(walk.names.contains(name.arg(slot3)), qPrintable(name.arg(slot3)));
        for (const QString& name : {QStringLiteral("Küchenruf 5 Meldetext"), QStringLiteral("Küchenruf 5 Taste"),
                                    QStringLiteral("Küchenruf 5 Station"), QStringLiteral("Pager-Name"),
                                    QStringLiteral("Fernlöschtext"), QStringLiteral("Fortschritt"),
                                    QStringLiteral("Aktiv"), QStringLiteral("Schnittstelle")})
            QVERIFY2(walk.names.contains(name), qPrintable(name));
    }
}

void AccessibilityTest::questionsAnswerToJAndN_data()
{
    QTest::addColumn<int>("key");
    QTest::addColumn<bool>("yes");
    QTest::newRow("J") << int(Qt::Key_J) << true;
    QTest::newRow("N") << int(Qt::Key_N) << false;
}

void AccessibilityTest::questionsAnswerToJAndN()
{
    QFETCH(int, key);
    QFETCH(bool, yes);
    FormRig rig(false);
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // The key alone must close the box; one left open is closed after a
    // while, so that the test fails instead of waiting.
    bool answeredByKey = false;
    QTimer::singleShot(50, [&] {
        if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
            QTest::keyClick(box, static_cast<Qt::Key>(key));
        QTimer::singleShot(300, [&] {
            answeredByKey = !QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget()))
                box->reject();
        });
    });
    QCOMPARE(form.host().askYesNo("Trotzdem?"), yes);
    QTRY_VERIFY(answeredByKey);
}

// The arrow keys move the focus to the other page button and show its page,
// with the device thread as in the program.
void AccessibilityTest::arrowKeysSwitchThePage()
{
    FormRig rig(false, DeviceWorker::Mode::Threaded);
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    auto* lower = rig.control<QRadioButton>(ctl::PageLower);
    auto* upper = rig.control<QRadioButton>(ctl::PageUpper);
    lower->setFocus();
    QTest::keyClick(lower, Qt::Key_Right);
    QTRY_VERIFY(!form.busy());
    QCOMPARE(QApplication::focusWidget(), upper);
    QVERIFY(upper->isChecked());
    QCOMPARE(form.dialog().viewPage(), ViewPage::Upper);
    QCOMPARE(rig.edit(ctl::callerText(3))->accessibleName(), QStringLiteral("Tischsender 19 Meldetext"));
    QTest::keyClick(upper, Qt::Key_Left);
    QTRY_VERIFY(!form.busy());
    QCOMPARE(QApplication::focusWidget(), lower);
    QCOMPARE(form.dialog().viewPage(), ViewPage::Lower);
    QCOMPARE(rig.edit(ctl::callerText(3))->accessibleName(), QStringLiteral("Tischsender 3 Meldetext"));
}

// "Abbrechen" holds the focus while the search runs on the device thread;
// the focus is back on the button pressed when it has ended.
void AccessibilityTest::focusComesBackAfterTheWork()
{
    FormRig rig(true, DeviceWorker::Mode::Threaded);
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QWidget* search = rig.control(ctl::SearchButton);
    search->setFocus();
    QTest::keyClick(search, Qt::Key_Space);
    QCOMPARE(QApplication::focusWidget(), rig.control(ctl::Cancel));
    QTRY_VERIFY(!form.busy());
    QCOMPARE(QApplication::focusWidget(), search);
}

QTEST_MAIN(AccessibilityTest)
#include "accessibility_test.moc"
