// A file named at start or dropped on the form opens exactly as the one
// chosen through "Datei öffnen": the same question about unsaved changes,
// the same checks and messages, the same merge and title.

#include <QDropEvent>
#include <QFile>
#include <QMimeData>
#include <QTemporaryDir>
#include <QTest>
#include <QUrl>

#include "gui_test_support.h"
#include "ui/control_ids.h"

using namespace harvelin;
using namespace harvelin::gui;
using namespace harvelin::gui::test;

namespace {

enum class Way { Chosen, Given, DroppedOnForm, DroppedOnField };

// What the form shows after the file came, and what it said on the way.
struct Seen {
    QStringList boxes;
    QString row1;
    QString row2;
    QString title;
    bool operator==(const Seen&) const = default;
};

void drop(QWidget* target, const QString& path)
{
    QMimeData data;
    data.setUrls({QUrl::fromLocalFile(path)});
    data.setText(path);  // as file managers add it, which a field would take as text
    const QPointF at(2, 2);
    QDragEnterEvent enter(at.toPoint(), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &enter);
    QVERIFY(enter.isAccepted());
    QDropEvent dropped(at, Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(target, &dropped);
    QVERIFY(dropped.isAccepted());
}

// Opens `path` the given way in a form whose row 2 holds `typed` (unsaved
// when not empty), the question answered `yes`.
Seen open(Way way, const QString& path, const QString& typed, bool yes)
{
    FormRig rig(false);
    MainForm& form = *rig.form;
    form.show();
    static_cast<void>(QTest::qWaitForWindowExposed(&form));
    if (!typed.isEmpty()) {
        rig.edit(ctl::callerText(2))->setFocus();
        typeText(rig.edit(ctl::callerText(2)), typed);
    }
    form.host().answerFileDialog = [&](const FileDialogSpec&) -> std::optional<std::string> {
        return path.toStdString();
    };
    ModalAnswerer answerer;
    answerer.answerYes = yes;
    switch (way) {
    case Way::Chosen: QTest::mouseClick(rig.control(ctl::OpenFileButton), Qt::LeftButton); break;
    case Way::Given: form.openGivenFile(path); break;
    case Way::DroppedOnForm: drop(&form, path); break;
    case Way::DroppedOnField: drop(rig.edit(ctl::callerText(5)), path); break;
    }
    // A drop opens the file once the drop itself has ended.
    QTest::qWait(50);
    for (int i = 0; i < 200 && form.busy(); ++i)
        QTest::qWait(10);
    return {answerer.texts, rig.edit(ctl::callerText(1))->text(), rig.edit(ctl::callerText(2))->text(),
            shownTitle(form)};
}

}  // namespace

class GivenFileTest : public QObject {
    Q_OBJECT

private slots:
    void opensAsTheChosenFileDoes_data();
    void opensAsTheChosenFileDoes();
};

void GivenFileTest::opensAsTheChosenFileDoes_data()
{
    QTest::addColumn<QString>("file");
    QTest::addColumn<QString>("typed");
    QTest::addColumn<bool>("yes");
    QTest::addColumn<QString>("row1");  // what every way must show
    QTest::addColumn<int>("boxes");

    QTest::newRow("good file, nothing unsaved") << "good.pag" << "" << true << "Tisch 1" << 0;
    QTest::newRow("unsaved, answered Ja") << "good.pag" << "Neu" << true << "Tisch 1" << 1;
    QTest::newRow("unsaved, answered Nein") << "good.pag" << "Neu" << false << "" << 1;
    QTest::newRow("a line the rule refuses") << "bad.pag" << "" << true << "" << 1;
    QTest::newRow("no such file") << "missing.pag" << "" << true << "" << 1;
}

void GivenFileTest::opensAsTheChosenFileDoes()
{
    QFETCH(QString, file);
    QFETCH(QString, typed);
    QFETCH(bool, yes);
    QFETCH(QString, row1);
    QFETCH(int, boxes);

    QTemporaryDir dir;
    QVERIFY(dir.isValid());
    QFile::copy(QStringLiteral(HARVELIN_TEST_DATA "/configuration.pag"), dir.filePath("good.pag"));
    QFile bad(dir.filePath("bad.pag"));
    QVERIFY(bad.open(QIODevice::WriteOnly));
    bad.write("Pagername:Pager\r\nEintrag:040 Tisch\t000 000 000 000 000\r\n");
    bad.close();
    const QString path = dir.filePath(file);

    const Seen chosen = open(Way::Chosen, path, typed, yes);
    QCOMPARE(chosen.row1, row1);
    QCOMPARE(chosen.boxes.size(), boxes);
    // The title names the file opened, and marks what was typed and kept.
    QCOMPARE(chosen.title, row1.isEmpty() ? QStringLiteral("Harvelin") + (typed.isEmpty() ? "" : "*")
                                          : "Harvelin - " + file);
    for (const Way way : {Way::Given, Way::DroppedOnForm, Way::DroppedOnField}) {
        const Seen seen = open(way, path, typed, yes);
        QCOMPARE(seen.boxes, chosen.boxes);
        QCOMPARE(seen.row1, chosen.row1);
        QCOMPARE(seen.row2, chosen.row2);
        QCOMPARE(seen.title, chosen.title);
    }
}

QTEST_MAIN(GivenFileTest)
#include "given_file_test.moc"
