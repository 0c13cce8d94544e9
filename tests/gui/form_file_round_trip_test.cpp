// A configuration edited in the form, saved through "Speichern unter" and
// opened again through "Datei öffnen" in a freshly started form.

#include <QCheckBox>
#include <QFile>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTest>

#include "gui_test_support.h"
#include "ui/control_ids.h"

using namespace harvelin;
using namespace harvelin::gui;
using namespace harvelin::gui::test;

namespace {

void replaceText(QLineEdit* edit, const QString& text)
{
    edit->setFocus();
    QTest::keyClick(edit, Qt::Key_A, Qt::ControlModifier);
    typeText(edit, text);
}

}  // namespace

class FormFileRoundTripTest : public QObject {
    Q_OBJECT

private slots:
    void savedFormComesBackInANewlyStartedForm();
};

void FormFileRoundTripTest::savedFormComesBackInANewlyStartedForm()
{
    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    // A folder name outside ASCII: the path reaches the file functions intact.
    const QString path = dir.filePath(QStringLiteral("Küche ä.pag"));

    {
        FormRig rig(false);
        MainForm& form = *rig.form;
        form.show();
        QVERIFY(QTest::qWaitForWindowExposed(&form));

        replaceText(rig.edit(ctl::callerText(1)), QStringLiteral("Tisch ö1"));
        replaceText(rig.edit(ctl::kitchenText(3)), QStringLiteral("Küche €"));
        replaceText(rig.edit(ctl::kitchenKey(3)), QStringLiteral("7"));
        replaceText(rig.edit(ctl::kitchenStation(3)), QStringLiteral("2"));
        replaceText(rig.edit(ctl::PagerName), QStringLiteral("Pager:B"));
        replaceText(rig.edit(ctl::RemoteDeleteText), QStringLiteral("Weg damit"));
        // Without a pager the switches only change the form.
        QTest::mouseClick(rig.control(ctl::Battery), Qt::LeftButton);
        QTest::mouseClick(rig.control(ctl::Buzzer), Qt::LeftButton);
        QTest::mouseClick(rig.control(ctl::PageUpper), Qt::LeftButton);
        replaceText(rig.edit(ctl::callerText(2)), QStringLiteral("Oben"));

        std::vector<FileDialogSpec> asked;
        form.host().answerFileDialog = [&](const FileDialogSpec& spec) -> std::optional<std::string> {
            asked.push_back(spec);
            return path.toStdString();
        };
        QTest::mouseClick(rig.control(ctl::SaveFileButton), Qt::LeftButton);

        QCOMPARE(asked.size(), std::size_t(1));
        QCOMPARE(shownTitle(form), QStringLiteral("Harvelin - Küche ä.pag"));
        QVERIFY(asked[0].save);
        QCOMPARE(asked[0].filterText, std::string("Datenfiles (*.pag)"));
        QCOMPARE(asked[0].filterPattern, std::string("*.pag"));
    }

    // The typed characters are single Windows-1252 bytes in the file.
    QFile file(path);
    QVERIFY(file.open(QIODevice::ReadOnly));
    const QByteArray bytes = file.readAll();
    QVERIFY(bytes.contains("Pagername:Pager:B\r\n"));
    QVERIFY(bytes.contains("Eintrag:000 Tisch \xF6" "1\t000 000 000 000 000\r\n"));
    QVERIFY(bytes.contains("Eintrag:017 Oben\t"));
    QVERIFY(bytes.contains("Sonder:002 K\xFC" "che \x80\t007 002 \r\n"));

    FormRig rig(false);
    MainForm& form = *rig.form;
    form.show();
    QVERIFY(QTest::qWaitForWindowExposed(&form));
    QCOMPARE(rig.edit(ctl::callerText(1))->text(), QString());
    QCOMPARE(shownTitle(form), QStringLiteral("Harvelin"));
    form.host().answerFileDialog = [&](const FileDialogSpec& spec) -> std::optional<std::string> {
        if (spec.save)
            return std::nullopt;
        return path.toStdString();
    };
    QTest::mouseClick(rig.control(ctl::OpenFileButton), Qt::LeftButton);
    QCOMPARE(shownTitle(form), QStringLiteral("Harvelin - Küche ä.pag"));

    QCOMPARE(rig.edit(ctl::callerText(1))->text(), QStringLiteral("Tisch ö1"));
    QCOMPARE(rig.edit(ctl::idText(1))->text(), QStringLiteral("       00"));
    QCOMPARE(rig.edit(ctl::kitchenText(3))->text(), QStringLiteral("Küche €"));
    QCOMPARE(rig.edit(ctl::kitchenKey(3))->text(), QStringLiteral("7"));
    QCOMPARE(rig.edit(ctl::kitchenStation(3))->text(), QStringLiteral("2"));
    QCOMPARE(rig.edit(ctl::kitchenText(4))->text(), QStringLiteral("Station 4"));
    QCOMPARE(rig.edit(ctl::PagerName)->text(), QStringLiteral("Pager:B"));
    QCOMPARE(rig.edit(ctl::RemoteDeleteText)->text(), QStringLiteral("Weg damit"));
    QVERIFY(rig.control<QCheckBox>(ctl::Battery)->isChecked());
    QVERIFY(rig.control<QCheckBox>(ctl::Buzzer)->isChecked());
    QVERIFY(!rig.control<QCheckBox>(ctl::RemoteDelete)->isChecked());
    QVERIFY(rig.control<QRadioButton>(ctl::PageLower)->isChecked());

    QTest::mouseClick(rig.control(ctl::PageUpper), Qt::LeftButton);
    QCOMPARE(rig.edit(ctl::callerText(2))->text(), QStringLiteral("Oben"));
}

QTEST_MAIN(FormFileRoundTripTest)
#include "form_file_round_trip_test.moc"
