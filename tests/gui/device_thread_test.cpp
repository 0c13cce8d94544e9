// The form with its dialog on the device thread: the window stays alive
// while the pager is busy, takes no clicks meanwhile, and "Abbrechen" and the
// close box stop the work between two commands. Real time over a
// pseudo-terminal, except the comparison with the blocking run.
#include <QtTest>

#include <QCheckBox>
#include <QDir>
#include <QElapsedTimer>
#include <QFile>
#include <QTemporaryDir>

#include <algorithm>
#include <functional>
#include <string>
#include <vector>

#include "gui_test_support.h"
#include "platform/serial_backends.h"
#include "pty_pager.h"
#include "ui/control_ids.h"

using namespace harvelin;
using namespace harvelin::gui;
using namespace harvelin::gui::test;

class DeviceThreadTest : public QObject {
    Q_OBJECT

private slots:
    void readOutKeepsTheWindowTurningAndTakesNoClicks();
    void abbrechenStopsWithinOneExchange_data();
    void abbrechenStopsWithinOneExchange();
    void closingDuringAWriteAsksWhileTheWriteGoesOn();
    void threadedRunSendsTheSameBytesWithTheSameWaits();
    void linePulledMidReadOutLeavesTheFormAndKeepsWhatArrived();
};

namespace {

constexpr int SearchMs = 15000;
constexpr int ReadOutMs = 60000;
const QString StopWriteQuestion = QStringLiteral("Der Pager wird gerade beschrieben. Wird jetzt beendet, ist er nur "
                                                 "teilweise beschrieben. Trotzdem beenden?");

// Turns the GUI thread's event loop until `done` holds or `ms` have passed.
// (QTest's waits sleep between rounds of events, which would slow each call
// from the device thread down to their rhythm.)
bool runUntil(const std::function<bool()>& done, int ms)
{
    QEventLoop loop;
    QTimer poll;
    poll.callOnTimeout([&] {
        if (done())
            loop.quit();
    });
    poll.start(1);
    QTimer::singleShot(ms, &loop, &QEventLoop::quit);
    if (!done())
        loop.exec();
    return done();
}

// The threaded form on a simulated pager behind a pseudo-terminal.
struct PtyForm {
    PtyForm() : pager(sim::PtyPager::Options{sim::demoPagerState(), {}, {}, false})
    {
        started = pager.start();
        form = std::make_unique<MainForm>(*backend, PortTable::fromPaths({pager.devicePath()}), clock);
        form->show();
    }

    void click(int id) { QTest::mouseClick(form->control(id), Qt::LeftButton); }
    bool idleWithin(int ms) { return runUntil([this] { return !form->busy(); }, ms); }
    bool search()
    {
        click(ctl::SearchButton);
        return idleWithin(SearchMs) && qobject_cast<QCheckBox*>(form->control(ctl::Active))->isChecked();
    }
    std::vector<std::string> commands()
    {
        const auto lock = pager.lock();
        return pager.pager().commands();
    }
    QString text(int id) const { return qobject_cast<QLineEdit*>(form->control(id))->text(); }

    sim::PtyPager pager;
    bool started = false;
    SystemClock clock;
    std::unique_ptr<SerialBackend> backend = makeSystemSerialBackend();
    std::unique_ptr<MainForm> form;
};

// The form's session holds no port any more.
bool portLetGo(MainDialog& dialog)
{
    return dialog.session().linkState() == LinkState::Closed && dialog.session().portNumber() == 0;
}

bool slotsSent(PtyForm& rig)
{
    const std::vector<std::string> commands = rig.commands();
    return std::any_of(commands.begin(), commands.end(),
                       [](const std::string& c) { return c.rfind(">Setze:", 0) == 0; });
}

bool isWrite(const std::string& command) { return command.rfind(">Schreibe", 0) == 0; }

}  // namespace

// Also: typing while the timer's ticks run loses nothing, and closing in
// learn mode leaves it on the pager and gives the port back.
void DeviceThreadTest::readOutKeepsTheWindowTurningAndTakesNoClicks()
{
    PtyForm rig;
    QVERIFY(rig.started);
    QVERIFY(rig.search());
    for (const QChar ch : QStringLiteral("Wintergarten")) {
        typeText(rig.form->control(ctl::callerText(16)), ch);
        runUntil([] { return false; }, 37);
    }
    QCOMPARE(rig.text(ctl::callerText(16)), QStringLiteral("Wintergarten"));
    ModalAnswerer answerer;

    // The longest time the GUI thread's event loop went without turning.
    QElapsedTimer sinceLast;
    qint64 longestGap = 0;
    QTimer pulse;
    pulse.callOnTimeout([&] { longestGap = std::max(longestGap, sinceLast.restart()); });

    rig.click(ctl::ReadButton);
    sinceLast.start();
    pulse.start(10);
    QVERIFY(rig.form->busy() && rig.form->control(ctl::Cancel)->isVisible());
    // Clicks made meanwhile are not carried out, neither now nor afterwards.
    runUntil([] { return false; }, 500);
    for (const int id : {ctl::WriteButton, ctl::Ok, ctl::ReadButton}) {
        QVERIFY(!rig.form->control(id)->isEnabled());
        rig.click(id);
    }
    QVERIFY(rig.idleWithin(ReadOutMs));
    runUntil([] { return false; }, 300);
    pulse.stop();

    QVERIFY2(longestGap < 1000, qPrintable(QString::number(longestGap)));
    QVERIFY(rig.form->isVisible() && rig.form->control(ctl::Cancel)->isHidden());
    QVERIFY(rig.form->control(ctl::WriteButton)->isEnabled());
    QCOMPARE(rig.text(ctl::callerText(1)), QStringLiteral("Tisch 1"));
    const std::vector<std::string> sent = rig.commands();
    QVERIFY(std::none_of(sent.begin(), sent.end(), isWrite));
    QCOMPARE(std::count(sent.begin(), sent.end(), std::string(">Lese:0")), 1);
    // The row typed first was asked about, as the close box asks, and "Ja" let the read-out go on.
    QCOMPARE(answerer.texts, QStringList{QStringLiteral("Die Änderungen sind weder gespeichert noch zum Pager "
                                                        "übertragen. Trotzdem vom Pager lesen?")});

    auto learning = [&] {
        const auto lock = rig.pager.lock();
        return rig.pager.pager().state().learnMode;
    };
    rig.click(ctl::learnButton(2));
    QVERIFY(rig.idleWithin(5000) && learning());
    QVERIFY(rig.form->control(ctl::callerText(3))->isEnabled());  // usable while learning
    QVERIFY(rig.form->close());
    QVERIFY(!learning() && portLetGo(rig.form->dialog()));
}

void DeviceThreadTest::abbrechenStopsWithinOneExchange_data()
{
    QTest::addColumn<int>("button");
    QTest::addColumn<QString>("stopBy");
    QTest::addColumn<QString>("message");
    const QString readMessage = QStringLiteral("Lesen abgebrochen – die Daten im Formular sind unverändert.");
    const QString writeMessage = QStringLiteral("Übertragung abgebrochen – der Pager ist nur teilweise beschrieben. "
                                                "Bis Tischsender ");
    QTest::newRow("read-out, Abbrechen") << int(ctl::ReadButton) << "Abbrechen" << readMessage;
    QTest::newRow("write, Abbrechen") << int(ctl::WriteButton) << "Abbrechen" << writeMessage;
    QTest::newRow("read-out, Escape") << int(ctl::ReadButton) << "Escape" << readMessage;
    QTest::newRow("write, close box") << int(ctl::WriteButton) << "close box" << writeMessage;
}

void DeviceThreadTest::abbrechenStopsWithinOneExchange()
{
    QFETCH(int, button);
    QFETCH(QString, stopBy);
    QFETCH(QString, message);
    const bool byCloseBox = stopBy == QLatin1String("close box");
    PtyForm rig;
    QVERIFY(rig.started);
    QVERIFY(rig.search());
    ModalAnswerer answerer;
    const QString before = rig.text(ctl::callerText(1));

    rig.click(button);
    // A write is stopped once its slots go out.
    QVERIFY(runUntil([&] { return button == ctl::WriteButton ? slotsSent(rig) : rig.commands().size() >= 8; },
                     ReadOutMs));
    const std::size_t sentAtCancel = rig.commands().size();
    if (byCloseBox)
        QVERIFY(!rig.form->close());  // stays open until the write has stopped
    else if (stopBy == QLatin1String("Escape"))
        QTest::keyClick(QApplication::focusWidget() ? QApplication::focusWidget() : rig.form.get(), Qt::Key_Escape);
    else
        rig.click(ctl::Cancel);

    QVERIFY(rig.idleWithin(3000));
    // The exchange under way was finished; nothing went out after it.
    QVERIFY(rig.commands().size() <= sentAtCancel + 1);
    // A close during a write asks first; the message says how far it got.
    QCOMPARE(answerer.texts.size(), byCloseBox ? 2 : 1);
    if (byCloseBox)
        QCOMPARE(answerer.texts.first(), StopWriteQuestion);
    QVERIFY2(answerer.texts.last().startsWith(message), qPrintable(answerer.texts.last()));
    QVERIFY(!rig.form->busy());
    if (byCloseBox) {
        QVERIFY(runUntil([&] { return !rig.form->isVisible(); }, 5000));
        QVERIFY(portLetGo(rig.form->dialog()));
    } else {
        QVERIFY(rig.form->control(ctl::Cancel)->isHidden());
        QCOMPARE(rig.text(ctl::callerText(1)), before);
    }
}

// "Nein" to the question of a close during a write: the write went on while
// the question was open, finishes, and the form stays.
void DeviceThreadTest::closingDuringAWriteAsksWhileTheWriteGoesOn()
{
    PtyForm rig;
    QVERIFY(rig.started);
    QVERIFY(rig.search());
    ModalAnswerer answerer;
    answerer.answerYes = false;
    answerer.questionDelayMs = 1500;
    std::size_t sentWhenAnswered = 0;
    answerer.onAnswer = [&] {
        if (sentWhenAnswered == 0)
            sentWhenAnswered = rig.commands().size();
    };

    rig.click(ctl::WriteButton);
    QVERIFY(runUntil([&] { return slotsSent(rig); }, ReadOutMs));
    const std::size_t sentWhenAsked = rig.commands().size();
    QVERIFY(!rig.form->close());
    QVERIFY(rig.idleWithin(ReadOutMs));

    QCOMPARE(answerer.texts.first(), StopWriteQuestion);
    QVERIFY(sentWhenAnswered > sentWhenAsked + 2);
    QVERIFY(rig.commands().back().rfind(">Setze Text_Fernloeschung:", 0) == 0);
    QCOMPARE(answerer.texts.last(), QStringLiteral("Daten erfolgreich übertragen"));
    QVERIFY(rig.form->isVisible());
}

// Search, read-out and write on virtual time, once as the clicks come and
// once on the device thread: the same frames, reads and waits. The idle
// timer's keep-alive bytes and listening reads between the operations are
// left out, and times count from each operation's first event.
void DeviceThreadTest::threadedRunSendsTheSameBytesWithTheSameWaits()
{
    auto run = [](DeviceWorker::Mode mode) {
        FormRig rig(true, mode);
        rig.form->show();
        ModalAnswerer answerer;
        QStringList trace;
        for (const int id : {ctl::SearchButton, ctl::ReadButton, ctl::WriteButton}) {
            rig.backend.clearEvents();
            QTest::mouseClick(rig.control(id), Qt::LeftButton);
            if (!runUntil([&] { return !rig.form->busy(); }, 10000))
                return QStringList{QStringLiteral("operation %1 did not end").arg(id)};
            std::int64_t start = -1;
            for (const sim::SimBackend::Event& e : rig.backend.events()) {
                const bool idleTraffic = (e.kind == sim::SimBackend::Event::Write && e.bytes == "\x16") ||
                                         (e.kind == sim::SimBackend::Event::Read && e.requested == 100);
                if (idleTraffic)
                    continue;
                if (start < 0)
                    start = e.atMs;
                trace << QString::asprintf("%d %d %lld %zu ", id, int(e.kind), qlonglong(e.atMs - start), e.requested) +
                             QString::fromLatin1(e.bytes.data(), qsizetype(e.bytes.size()));
            }
        }
        trace << answerer.texts;
        return trace;
    };
    const QStringList blocking = run(DeviceWorker::Mode::Blocking);
    const QStringList threaded = run(DeviceWorker::Mode::Threaded);
    QVERIFY(blocking.size() > 100);
    QCOMPARE(threaded, blocking);
}

// The line goes away in the middle of "Pager -> PC": the form keeps what it
// showed, the typed row included, and says so; what the pager answered
// before is kept as an incomplete backup of those lines alone.
void DeviceThreadTest::linePulledMidReadOutLeavesTheFormAndKeepsWhatArrived()
{
    PtyForm rig;
    QVERIFY(rig.started);
    QVERIFY(rig.search());
    QTemporaryDir backups;
    rig.form->dialog().session().setBackupFolder(QDir(backups.path()).absolutePath().toStdString());
    typeText(rig.form->control(ctl::callerText(2)), QStringLiteral("Getippt"));
    const QString row1 = rig.text(ctl::callerText(1));
    ModalAnswerer answerer;

    rig.click(ctl::ReadButton);
    QVERIFY(runUntil([&] { return rig.commands().size() >= 12; }, ReadOutMs));
    rig.pager.unplug();
    QVERIFY(rig.idleWithin(ReadOutMs));

    QCOMPARE(rig.text(ctl::callerText(1)), row1);
    QCOMPARE(rig.text(ctl::callerText(2)), QStringLiteral("Getippt"));
    const QStringList kept = QDir(backups.path()).entryList({QStringLiteral("*.partial.pag")});
    QCOMPARE(kept.size(), 1);
    const QString path = QDir(backups.path()).absoluteFilePath(kept[0]);
    // The read-out names the slots it could not read, then where what
    // arrived was kept.
    QCOMPARE(answerer.texts.size(), 2);
    QCOMPARE(answerer.texts[0], QStringLiteral("Die Änderungen sind weder gespeichert noch zum Pager übertragen. "
                                               "Trotzdem vom Pager lesen?"));
    QVERIFY(answerer.texts[1].startsWith(
        QStringLiteral("Fehlerhafter Datenempfang – die Daten im Formular sind unverändert. Nicht gelesen: Tischsender ")));
    QVERIFY(answerer.texts[1].endsWith(
        QStringLiteral(" Was der Pager geliefert hat, ist als unvollständige Sicherungskopie abgelegt: ") + path));
    QFile backup(path);
    QVERIFY(backup.open(QIODevice::ReadOnly));
    const QByteArray lines = backup.readAll();
    QVERIFY(lines.startsWith("Eintrag:000 Tisch 1\t"));
    QVERIFY(!lines.contains("Eintrag:031"));
    QVERIFY(!lines.contains("Pagername:"));
}

QTEST_MAIN(DeviceThreadTest)
#include "device_thread_test.moc"
