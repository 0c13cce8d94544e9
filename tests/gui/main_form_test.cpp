// The main form as the user meets it: real widgets on the offscreen platform,
// driven by clicks and key presses, with the pager simulated on virtual time.

#include <set>
#include <vector>

#include <QCheckBox>
#include <QFile>
#include <QGroupBox>
#include <QLabel>
#include <QListWidget>
#include <QPlainTextEdit>
#include <QProgressBar>
#include <QPushButton>
#include <QRadioButton>
#include <QSignalSpy>
#include <QTest>

#include "form_results.h"
#include "gui/dialog_units.h"
#include "gui_test_support.h"
#include "model/build_info.h"
#include "model/catalogue.h"
#include "ui/control_ids.h"
#include "ui/dialog_layout.h"

using namespace harvelin;
using namespace harvelin::gui;
using namespace harvelin::gui::test;

namespace {

// Rows sit 16 dialog units apart, starting at 40.
int rowTop(int r) { return 40 + 16 * (r - 1); }

QString rowNumber(int n) { return QString::number(n).rightJustified(2, QLatin1Char(' ')); }

}  // namespace

class MainFormTest : public QObject {
    Q_OBJECT

private slots:
    void startUpShowsTheTemplateWithTheDialogsStartValues();
    void everyControlCarriesItsIdAndSitsOnItsRow();
    void typedRowsSurviveSwitchingThePageAndBack();
    void returnAndEscapeNeitherCloseTheDialogNorPressBeenden();
    void startUpGivesTheFocusToSucheZelvatron();
    void beendenEndsTheDialogWithOk();
    void closeBoxEndsAtOnceWithoutTakingTheForm();
    void closingWithUnsavedEditsAsksFirst();
    void formChosenInEnglishSpeaksEnglish();
    void umlautAndEuroArriveAsSingleWindows1252Bytes();
    void characterOutsideWindows1252IsRefusedAtInput();
    void numbersAndControlCharactersAreRefusedAsTypedOrPasted();
    void overlongTextFromTheDialogIsShownWholeAndStopsBeenden();
    void messageBoxCarriesTheApplicationNameAsCaption();
    void aboutBoxClosesThroughItsOkAndLeavesTheFormOpen();
    void searchFindsThePagerAndShowsItInTheForm();
    void systemMenuComparesChecksTheWriteAndPrints();
    void timerTicksDriveTheDialog();
    void progressBeyondItsRangeShowsTheEnd();
};

void MainFormTest::startUpShowsTheTemplateWithTheDialogsStartValues()
{
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QCOMPARE(shownTitle(form), QStringLiteral("Harvelin"));
    QVERIFY(form.windowFlags() & Qt::WindowMinimizeButtonHint);
    QVERIFY(form.windowFlags() & Qt::WindowMaximizeButtonHint);
    QVERIFY(!form.windowIcon().isNull());

    auto* active = rig.control<QCheckBox>(ctl::Active);
    QVERIFY(active->isVisible());
    QVERIFY(!active->isEnabled());
    QVERIFY(!active->isChecked());
    QCOMPARE(active->text(), QStringLiteral("Aktiv"));

    auto* bootloader = rig.control<QPushButton>(ctl::BootloaderButton);
    QVERIFY(bootloader->isHidden());
    QVERIFY(!bootloader->isEnabled());
    QVERIFY(rig.control(ctl::Cancel)->isHidden());
    for (const int id : ctl::ClockControls)
        QVERIFY2(rig.control(id)->isHidden(), qPrintable(QString::number(id)));
    QCOMPARE(rig.control<QGroupBox>(ctl::ClockGroup)->title(), QStringLiteral(" Systemzeit           Uhrzeit Repeater"));

    auto* beenden = rig.control<QPushButton>(ctl::Ok);
    QCOMPARE(beenden->text(), QStringLiteral("&Beenden"));
    QVERIFY(beenden->isDefault());

    for (int r = 1; r <= 16; ++r) {
        QCOMPARE(rig.control<QLabel>(ctl::rowLabel(r))->text(), rowNumber(r));
        QCOMPARE(rig.edit(ctl::callerText(r))->text(), QString());
        QLineEdit* id = rig.edit(ctl::idText(r));
        QCOMPARE(id->text(), QStringLiteral("       00"));
        // Read-only, not disabled: readable, selectable and a stop of Tab.
        QVERIFY(id->isEnabled() && id->isReadOnly() && id->focusPolicy() != Qt::NoFocus);
        QVERIFY(id->alignment() & Qt::AlignRight);
        QCOMPARE(rig.edit(ctl::kitchenText(r))->text(), QStringLiteral("Station %1").arg(r));
        QCOMPARE(rig.edit(ctl::kitchenKey(r))->text(), QString::number(r));
        QCOMPARE(rig.edit(ctl::kitchenStation(r))->text(), QStringLiteral("1"));
        QCOMPARE(rig.control<QPushButton>(ctl::learnButton(r))->text(), QStringLiteral("Lernen"));
        QCOMPARE(rig.control<QPushButton>(ctl::deleteButton(r))->text(), QStringLiteral("Löschen"));
    }
    QCOMPARE(rig.edit(ctl::PagerName)->text(), QStringLiteral("Pager:A"));
    QCOMPARE(rig.edit(ctl::RemoteDeleteText)->text(), QStringLiteral("  Fernlöschung  "));
    QCOMPARE(rig.control<QLabel>(ctl::StatusLine)->text(), QString());
    QVERIFY(rig.control<QRadioButton>(ctl::PageLower)->isChecked());
    QVERIFY(!rig.control<QRadioButton>(ctl::PageUpper)->isChecked());
    for (const int id : {ctl::Battery, ctl::Buzzer, ctl::RemoteDelete})
        QVERIFY(!rig.control<QCheckBox>(id)->isChecked());
    QCOMPARE(rig.control<QListWidget>(ctl::PortList)->count(), 0);
    auto* progress = rig.control<QProgressBar>(ctl::Progress);
    QCOMPARE(progress->minimum(), 0);
    QCOMPARE(progress->maximum(), 52);
    QVERIFY(progress->value() <= 0);

    // The edits take no more than the dialog allows.
    QCOMPARE(rig.edit(ctl::callerText(1))->maxLength(), 14);
    QCOMPARE(rig.edit(ctl::RemoteDeleteText)->maxLength(), 16);
}

void MainFormTest::everyControlCarriesItsIdAndSitsOnItsRow()
{
    FormRig rig;
    MainForm& form = *rig.form;
    const DialogUnits du = DialogUnits(form.font()).widenedToFit(layout::mainForm(), form.fontMetrics(), form.style());

    std::vector<int> ids = {ctl::Ok,         ctl::Cancel,       ctl::SearchButton,     ctl::StatusLine,
                            ctl::ReadButton, ctl::WriteButton,  ctl::PortList,         ctl::PagerName,
                            ctl::Progress,   ctl::OpenFileButton, ctl::SaveFileButton, ctl::Active,
                            ctl::Battery,    ctl::RemoteDelete, ctl::RemoteDeleteText, ctl::PageLower,
                            ctl::PageUpper,  ctl::Buzzer,       ctl::ClockButton,      ctl::ClockGroup,
                            ctl::SystemTime, ctl::RepeaterTime, ctl::BootloaderButton};
    for (int r = 1; r <= 16; ++r) {
        for (const int id : {ctl::callerText(r), ctl::idText(r), ctl::learnButton(r), ctl::deleteButton(r),
                             ctl::rowLabel(r), ctl::kitchenText(r), ctl::kitchenKey(r), ctl::kitchenStation(r)})
            ids.push_back(id);
        QCOMPARE(form.control(ctl::callerText(r))->y(), du.y(rowTop(r)));
        QCOMPARE(form.control(ctl::deleteButton(r))->x(), du.x(368));
        QCOMPARE(form.control(ctl::kitchenStation(r))->geometry(), du.rect(564, rowTop(r), 20, 12));
    }
    std::set<QWidget*> widgets;
    for (const int id : ids) {
        QWidget* w = form.control(id);
        QVERIFY2(w, qPrintable(QString::number(id)));
        QCOMPARE(w->objectName(), QString::number(id));
        QCOMPARE(w->property("controlId").toInt(), id);
        QCOMPARE(form.findChild<QWidget*>(QString::number(id)), w);
        widgets.insert(w);
    }
    QCOMPARE(widgets.size(), ids.size());  // no two ids share a control

    // The controls lie on a canvas of the form's size, which the window
    // shows whole or in its scroll area.
    QCOMPARE(form.control(ctl::Ok)->parentWidget()->size(), du.size(596, 319));
    QCOMPARE(form.control(ctl::Ok)->geometry(), du.rect(76, 304, 56, 12));
    QCOMPARE(form.control(ctl::PageUpper)->geometry(), du.rect(208, 300, 36, 10));
}

void MainFormTest::typedRowsSurviveSwitchingThePageAndBack()
{
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QLineEdit* row1 = rig.edit(ctl::callerText(1));
    row1->setFocus();
    QTest::keyClicks(row1, QStringLiteral("Tisch 1"));
    QTest::keyClick(rig.edit(ctl::kitchenText(2)), Qt::Key_End);
    typeText(rig.edit(ctl::kitchenText(2)), QStringLiteral("x"));

    QTest::mouseClick(rig.control(ctl::PageUpper), Qt::LeftButton);
    QVERIFY(rig.control<QRadioButton>(ctl::PageUpper)->isChecked());
    QVERIFY(!rig.control<QRadioButton>(ctl::PageLower)->isChecked());
    QCOMPARE(rig.control<QLabel>(ctl::rowLabel(1))->text(), QStringLiteral("17"));
    QCOMPARE(rig.control<QLabel>(ctl::rowLabel(16))->text(), QStringLiteral("32"));
    QCOMPARE(row1->text(), QString());
    QCOMPARE(rig.edit(ctl::kitchenText(2))->text(), QStringLiteral("Station 2x"));
    QTest::keyClicks(row1, QStringLiteral("Oben"));

    QTest::mouseClick(rig.control(ctl::PageLower), Qt::LeftButton);
    QCOMPARE(rig.control<QLabel>(ctl::rowLabel(1))->text(), QStringLiteral(" 1"));
    QCOMPARE(row1->text(), QStringLiteral("Tisch 1"));
    QCOMPARE(form.dialog().image().callers[0].text.str(), std::string("Tisch 1"));
    QCOMPARE(form.dialog().image().callers[16].text.str(), std::string("Oben"));
    QCOMPARE(form.dialog().image().kitchenCalls[1].text.str(), std::string("Station 2x"));
}

void MainFormTest::returnAndEscapeNeitherCloseTheDialogNorPressBeenden()
{
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QSignalSpy finished(&form, &QDialog::finished);
    QSignalSpy beendenClicked(rig.control<QPushButton>(ctl::Ok), &QPushButton::clicked);

    QLineEdit* name = rig.edit(ctl::PagerName);
    name->setFocus();
    QTest::keyClick(name, Qt::Key_Return);
    QTest::keyClick(name, Qt::Key_Enter, Qt::KeypadModifier);
    QTest::keyClick(name, Qt::Key_Escape);
    QTest::keyClick(name, Qt::Key_End);
    QTest::keyClicks(name, QStringLiteral("B"));

    // A focused button takes Return as no press at all, "Beenden" included.
    auto* beenden = rig.control<QPushButton>(ctl::Ok);
    beenden->setFocus();
    QTest::keyClick(beenden, Qt::Key_Return);
    QTest::keyClick(beenden, Qt::Key_Escape);
    QTest::keyClick(rig.control(ctl::Battery), Qt::Key_Return);

    QVERIFY(form.isVisible());
    QCOMPARE(finished.count(), 0);
    QCOMPARE(beendenClicked.count(), 0);
    QCOMPARE(name->text(), QStringLiteral("Pager:AB"));
}

void MainFormTest::startUpGivesTheFocusToSucheZelvatron()
{
    FormRig rig(false);
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(form.focusWidget(), rig.control(ctl::SearchButton));

    // So a space bar pressed right after the start searches and does not end
    // the tool through the default button.
    QSignalSpy finished(&form, &QDialog::finished);
    QTest::keyClick(form.focusWidget(), Qt::Key_Space);
    QCOMPARE(finished.count(), 0);
    QVERIFY(form.isVisible());
}

void MainFormTest::beendenEndsTheDialogWithOk()
{
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QTest::keyClicks(rig.edit(ctl::callerText(3)), QStringLiteral("Bar"));

    ModalAnswerer answerer;
    QTest::mouseClick(rig.control(ctl::Ok), Qt::LeftButton);

    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), 1);
    QCOMPARE(form.dialog().fields().callerTexts[3], std::string("Bar"));  // the form was taken on the way out
    QVERIFY(!form.host().timerRunning(ctl::UiTimerId));
}

void MainFormTest::closeBoxEndsAtOnceWithoutTakingTheForm()
{
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    // Stop the ticks, which would take the form into the dialog too.
    form.host().stopTimer(ctl::UiTimerId);
    QTest::keyClicks(rig.edit(ctl::callerText(3)), QStringLiteral("Bar"));

    ModalAnswerer answerer;
    QVERIFY(form.close());

    QVERIFY(!form.isVisible());
    QCOMPARE(form.result(), int(QDialog::Rejected));
    QCOMPARE(form.dialog().fields().callerTexts[3], std::string());
}

// "Nein" keeps the tool open with the edits; "Ja" ends it. A form without
// edits, or whose edits were saved, ends without a question.
void MainFormTest::closingWithUnsavedEditsAsksFirst()
{
    const QString question =
        QStringLiteral("Die Änderungen sind weder gespeichert noch zum Pager übertragen. Trotzdem beenden?");
    {
        FormRig rig;
        MainForm& form = *rig.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));
        ModalAnswerer answerer;
        QVERIFY(form.close());
        QVERIFY(answerer.texts.isEmpty());
    }
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    rig.edit(ctl::kitchenText(2))->end(false);
    QTest::keyClicks(rig.edit(ctl::kitchenText(2)), QStringLiteral(" Bar"));
    ModalAnswerer answerer;
    answerer.answerYes = false;

    QVERIFY(!form.close());
    QTest::mouseClick(rig.control(ctl::Ok), Qt::LeftButton);
    QVERIFY(form.isVisible());
    QCOMPARE(answerer.texts, QStringList({question, question}));
    QCOMPARE(rig.edit(ctl::kitchenText(2))->text(), QStringLiteral("Station 2 Bar"));

    answerer.answerYes = true;
    QVERIFY(form.close());
    QVERIFY(!form.isVisible());
}

// The language is chosen before the form is built: its labels, buttons and
// questions come in that language.
void MainFormTest::formChosenInEnglishSpeaksEnglish()
{
    const LanguageScope english("en");
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(rig.control<QPushButton>(ctl::SearchButton)->text(), QStringLiteral("&Search Zelvatron"));
    QCOMPARE(rig.control<QPushButton>(ctl::Ok)->text(), QStringLiteral("E&xit"));
    QCOMPARE(rig.control<QCheckBox>(ctl::Battery)->text(), QStringLiteral("Battery voltage"));
    QStringList titles;
    for (const QGroupBox* group : form.findChildren<QGroupBox*>())
        titles << group->title();
    QVERIFY2(titles.contains(QStringLiteral("&Kitchen calls")), qPrintable(titles.join(QLatin1Char('|'))));
    QCOMPARE(rig.control(ctl::callerText(3))->accessibleName(), QStringLiteral("Table transmitter 3 message"));

    rig.edit(ctl::kitchenText(2))->end(false);
    QTest::keyClicks(rig.edit(ctl::kitchenText(2)), QStringLiteral(" Bar"));
    ModalAnswerer answerer;
    answerer.answerYes = false;
    QStringList answers;
    answerer.onAnswer = [&answers] {
        for (const QAbstractButton* button : qobject_cast<QMessageBox*>(QApplication::activeModalWidget())->buttons())
            answers << button->text();
    };
    QVERIFY(!form.close());
    QCOMPARE(answerer.texts,
             QStringList{QStringLiteral("The changes are neither saved nor sent to the pager. Exit anyway?")});
    answers.sort();
    QCOMPARE(answers, QStringList({QStringLiteral("&No"), QStringLiteral("&Yes")}));
}

void MainFormTest::umlautAndEuroArriveAsSingleWindows1252Bytes()
{
    FormRig rig;
    MainForm& form = *rig.form;
    QLineEdit* row1 = rig.edit(ctl::callerText(1));
    typeText(row1, QStringLiteral("ö€"));
    QCOMPARE(row1->text(), QStringLiteral("ö€"));

    QCOMPARE(form.host().controlText(ctl::callerText(1)), std::string("\xF6\x80"));
    form.dialog().UpdateData(true);
    QCOMPARE(form.dialog().configurationFromForm().image.callers[0].text.str(), std::string("\xF6\x80"));

    // And back: bytes from the pager show as the characters they stand for.
    editImage(form.dialog(), [&](PagerImage& image) { image.callers[1].text.assign(std::string("Gr\xFC\xDF" "e \x80")); });
    QCOMPARE(rig.edit(ctl::callerText(2))->text(), QStringLiteral("Grüße €"));
}

void MainFormTest::characterOutsideWindows1252IsRefusedAtInput()
{
    FormRig rig;
    QLineEdit* row1 = rig.edit(ctl::callerText(1));
    typeText(row1, QStringLiteral("aΩb"));
    QCOMPARE(row1->text(), QStringLiteral("ab"));

    // A pasted text with such a character is refused as a whole.
    row1->insert(QStringLiteral("x\u4E2Dy"));
    QCOMPARE(row1->text(), QStringLiteral("ab"));

    QLineEdit* remote = rig.edit(ctl::RemoteDeleteText);
    typeText(remote, QStringLiteral("\u2603"));
    QCOMPARE(remote->text(), QStringLiteral("  Fernlöschung  "));
}

// Key and station take numbers from 0 to 255, text fields no control
// characters: what would break that is refused as it is typed or pasted, so
// the timer's ticks never find anything to complain about.
void MainFormTest::numbersAndControlCharactersAreRefusedAsTypedOrPasted()
{
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    ModalAnswerer answerer;

    QLineEdit* key = rig.edit(ctl::kitchenKey(1));
    key->clear();
    QTest::keyClicks(key, QStringLiteral("999"));
    QTest::qWait(500);
    QCOMPARE(key->text(), QStringLiteral("99"));
    QCOMPARE(form.dialog().fields().kitchenKeys[1], std::string("99"));

    QLineEdit* station = rig.edit(ctl::kitchenStation(1));
    station->selectAll();
    station->insert(QStringLiteral("256"));
    station->insert(QStringLiteral("ab"));
    QCOMPARE(station->text(), QStringLiteral("1"));

    QLineEdit* text = rig.edit(ctl::kitchenText(1));
    text->end(false);
    text->insert(QStringLiteral("\tBar"));
    QCOMPARE(text->text(), QStringLiteral("Station 1"));

    QTest::qWait(300);
    QVERIFY(answerer.texts.isEmpty());
}

void MainFormTest::overlongTextFromTheDialogIsShownWholeAndStopsBeenden()
{
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    // A pager name of 15 characters, one more than the field holds.
    PagerConfiguration longName = form.dialog().configurationFromForm();
    longName.pagerName = "Pager:Station15";
    form.dialog().applyConfiguration(longName);
    form.dialog().UpdateData(false);
    QCOMPARE(rig.edit(ctl::PagerName)->text(), QStringLiteral("Pager:Station15"));

    ModalAnswerer answerer;
    QTest::mouseClick(rig.control(ctl::Ok), Qt::LeftButton);

    // The name is refused before anything is asked.
    const QString named =
        QStringLiteral("Pager-Einstellungen, Pager-Name: Pager-Name \"Pager:Station15\" ist länger als 14 Zeichen");
    QCOMPARE(answerer.texts, QStringList{named});
    QVERIFY(form.isVisible());
    QCOMPARE(rig.edit(ctl::PagerName)->text(), QStringLiteral("Pager:Station15"));
    QCOMPARE(form.focusWidget(), rig.control(ctl::PagerName));
}

void MainFormTest::messageBoxCarriesTheApplicationNameAsCaption()
{
    FormRig rig;
    ModalAnswerer answerer;
    rig.form->host().messageBox(std::string("Es besteht keine Verbindung zum Zelvatron!"));
    QCOMPARE(answerer.texts, QStringList{QStringLiteral("Es besteht keine Verbindung zum Zelvatron!")});
    QCOMPARE(answerer.captions, QStringList{QCoreApplication::applicationName()});
}

void MainFormTest::aboutBoxClosesThroughItsOkAndLeavesTheFormOpen()
{
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QString caption;
    QStringList lines;
    ModalAnswerer answerer;
    answerer.onOtherDialog = [&](QWidget* about) {
        caption = about->windowTitle();
        for (const QLabel* label : about->findChildren<QLabel*>())
            if (!label->text().isEmpty())
                lines << label->text();
        auto* ok = about->findChild<QPushButton*>(QStringLiteral("1"));
        QVERIFY(ok && ok->isDefault());
        QTest::mouseClick(ok, Qt::LeftButton);
    };
    form.showAbout();

    QCOMPARE(caption, QStringLiteral("Info über Harvelin"));
    QVERIFY(lines.contains(QStringLiteral("Harvelin Version 1.0")));
    QVERIFY(lines.contains(QString::fromStdString(harvelin::aboutCommitLine())));
    QVERIFY(form.isVisible());
    QCOMPARE(form.result(), 0);
}

void MainFormTest::searchFindsThePagerAndShowsItInTheForm()
{
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));

    QTest::mouseClick(rig.control(ctl::SearchButton), Qt::LeftButton);

    auto* list = rig.control<QListWidget>(ctl::PortList);
    QCOMPARE(list->count(), 1);
    QCOMPARE(list->item(0)->text(), QStringLiteral("Pager an Port:sim0 gefunden"));
    QCOMPARE(list->item(0)->toolTip(), QStringLiteral("Pager an Port:sim0 gefunden"));
    QVERIFY(rig.control<QCheckBox>(ctl::Active)->isChecked());
    // The repeater answered: its clock shows for a while.
    for (const int id : ctl::ClockControls)
        QVERIFY(!rig.control(id)->isHidden());
    QVERIFY(form.host().timerRunning(ctl::UiTimerId));
}

// "Mit Pager vergleichen" names the one row edited since the read-out and
// leaves the form as it is. With "Nach dem Schreiben prüfen" ticked, a write
// the pager acknowledged but did not store in full shows that slot instead
// of the success box. "Übersicht drucken…" prints what the form shows.
void MainFormTest::systemMenuComparesChecksTheWriteAndPrints()
{
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    ModalAnswerer answerer;
    QStringList lists;
    answerer.onOtherDialog = [&lists](QWidget* w) {
        if (auto* list = w->findChild<QPlainTextEdit*>())
            lists << w->findChild<QLabel*>()->text() + QLatin1Char('\n') + list->toPlainText();
        qobject_cast<QDialog*>(w)->accept();
    };
    QTest::mouseClick(rig.control(ctl::SearchButton), Qt::LeftButton);
    QTest::mouseClick(rig.control(ctl::ReadButton), Qt::LeftButton);
    typeText(rig.edit(ctl::callerText(7)), QStringLiteral("Tisch 7"));

    form.menuCommand(layout::CompareCommand);
    QCOMPARE(lists, QStringList{QStringLiteral("Pager und Formular unterscheiden sich:\n"
                                               "Platz 7 Meldetext: Formular \"Tisch 7\", Pager \"\"")});
    QCOMPARE(rig.edit(ctl::callerText(7))->text(), QStringLiteral("Tisch 7"));
    QTRY_COMPARE_WITH_TIMEOUT(shownTitle(form), QStringLiteral("Harvelin*"), 2000);

    rig.pager->state().callers[8].text = "Tisch 1";
    rig.pager->faults().forgetCallerWrite.insert(8);
    typeText(rig.edit(ctl::callerText(9)), QStringLiteral("Tisch 9"));
    QVERIFY(!form.dialog().verifiesAfterWrite());
    form.menuCommand(layout::VerifyAfterWriteCommand);
    QVERIFY(form.dialog().verifiesAfterWrite());
    answerer.texts.clear();
    QTest::mouseClick(rig.control(ctl::WriteButton), Qt::LeftButton);
    QCOMPARE(lists.size(), 2);
    QCOMPARE(lists[1], QStringLiteral("Daten übertragen, aber der Pager hält nicht, was das Formular zeigt:\n"
                                      "Platz 9 Meldetext: Formular \"Tisch 9\", Pager \"Tisch 1\""));
    QCOMPARE(answerer.texts, QStringList());

    QString opened;
    form.host().answerBrowser = [&opened](const std::string& path) {
        opened = QString::fromStdString(path);
        return true;
    };
    typeText(rig.edit(ctl::callerText(3)), QStringLiteral("<Bar & Grill>"));
    form.menuCommand(layout::SheetCommand);
    QFile sheet(opened);
    QVERIFY2(sheet.open(QIODevice::ReadOnly), qPrintable(opened));
    const QString html = QString::fromUtf8(sheet.readAll());
    QVERIFY(html.contains(QStringLiteral("&lt;Bar &amp; Grill&gt;")));
    QVERIFY(html.contains(QStringLiteral("Tisch 9")));
    sheet.remove();
}

void MainFormTest::timerTicksDriveTheDialog()
{
    FormRig rig;
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QVERIFY(form.host().timerRunning(ctl::UiTimerId));

    // Each tick takes the form into the dialog's variables first.
    QTest::keyClicks(rig.edit(ctl::callerText(5)), QStringLiteral("Theke"));
    QTRY_COMPARE_WITH_TIMEOUT(form.dialog().fields().callerTexts[5], std::string("Theke"), 2000);
    // ... and writes back only what it changed: a tick with nothing to do
    // touches no control.
    rig.control<QLabel>(ctl::StatusLine)->setText(QStringLiteral("0"));
    QTest::qWait(350);
    QCOMPARE(rig.control<QLabel>(ctl::StatusLine)->text(), QStringLiteral("0"));
}

void MainFormTest::progressBeyondItsRangeShowsTheEnd()
{
    FormRig rig;
    auto* progress = rig.control<QProgressBar>(ctl::Progress);
    // A small pager's write sets its last steps beyond the range of 18.
    rig.form->host().setProgressRange(0, 18);
    rig.form->host().setProgressPos(50);
    QCOMPARE(progress->value(), 18);
    rig.form->host().setProgressPos(0);
    QCOMPARE(progress->value(), 0);
}

QTEST_MAIN(MainFormTest)
#include "main_form_test.moc"
