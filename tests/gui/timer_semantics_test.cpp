// The 100 ms timer of the real form: ticks that fall due while the window is
// blocked are not caught up, and a message box shown from inside a tick lets
// later ticks run while it is open.
#include <QtTest>

#include <QCheckBox>
#include <QElapsedTimer>
#include <QThread>

#include "form_results.h"
#include "gui_test_support.h"
#include "ui/control_ids.h"

using namespace harvelin;
using namespace harvelin::gui::test;

class TimerSemanticsTest : public QObject {
    Q_OBJECT

private slots:
    void ticksDueWhileBlockedAreNotCaughtUp();
    void messageBoxFromATickKeepsLaterTicksRunning();
};

namespace {

// A shown form whose search has found the simulated pager.
struct ConnectedForm {
    ConnectedForm() : pager(rig.pager)
    {
        rig.form->show();
        QTest::mouseClick(rig.control(ctl::SearchButton), Qt::LeftButton);
    }
    FormRig rig;
    std::shared_ptr<sim::PagerSimulator> pager;
};

}  // namespace

void TimerSemanticsTest::ticksDueWhileBlockedAreNotCaughtUp()
{
    ConnectedForm connected;
    QVERIFY(connected.rig.control<QCheckBox>(ctl::Active)->isChecked());
    // Idle ticks on an open link send one keep-alive byte each.
    QTRY_VERIFY_WITH_TIMEOUT(connected.pager->keepAliveBytes() >= 2, 2000);

    const unsigned before = connected.pager->keepAliveBytes();
    QThread::msleep(650);  // six ticks fall due while nothing is handled
    QCoreApplication::processEvents();
    QVERIFY(connected.pager->keepAliveBytes() - before <= 1);

    // Afterwards the timer simply goes on.
    QTRY_VERIFY_WITH_TIMEOUT(connected.pager->keepAliveBytes() >= before + 3, 2000);
}

void TimerSemanticsTest::messageBoxFromATickKeepsLaterTicksRunning()
{
    ConnectedForm connected;
    MainDialog& dlg = connected.rig.form->dialog();
    editImage(dlg, [&](PagerImage& image) { image.callers[2].buttonId = {200, 3, 0, 0}; });
    editImage(dlg, [&](PagerImage& image) { image.callers[2].idSuffix = 7; });

    QTest::mouseClick(connected.rig.control(ctl::learnButton(1)), Qt::LeftButton);
    QCOMPARE(dlg.session().learnWindow().slot(), 1);
    connected.rig.backend.inject("sim0", connected.pager->pressButton({200, 3, 0, 0, 7}),
                                 connected.rig.clock.nowMs());

    // The tick that reads the report shows the duplicate message; while it is
    // open, the learn window's ticks go on, each reading the line once.
    const auto ticksRun = [&] {
        int reads = 0;
        for (const sim::SimBackend::Event& e : connected.rig.backend.events())
            reads += e.kind == sim::SimBackend::Event::Read && e.requested == 100 ? 1 : 0;
        return reads;
    };
    int ticksAtOpen = -1;
    int ticksBeforeOk = -1;
    bool learningWhileOpen = false;
    QString text;
    QTimer watcher;
    watcher.setInterval(20);
    QElapsedTimer openFor;
    QObject::connect(&watcher, &QTimer::timeout, [&] {
        auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
        if (!box)
            return;
        if (ticksAtOpen < 0) {
            ticksAtOpen = ticksRun();
            text = box->text();
            openFor.start();
            return;
        }
        if (openFor.elapsed() < 450)
            return;
        ticksBeforeOk = ticksRun();
        learningWhileOpen = dlg.session().learnWindow().slot() != 0;
        box->button(QMessageBox::Ok)->click();
        watcher.stop();
    });
    watcher.start();

    QTRY_VERIFY_WITH_TIMEOUT(dlg.session().learnWindow().slot() == 0, 5000);
    QCOMPARE(text, QStringLiteral("Teilnehmer ist schon an Position:3 eingetragen!"));
    QVERIFY(learningWhileOpen);
    // Several ticks ran while the box was open.
    QVERIFY(ticksBeforeOk - ticksAtOpen >= 2);
    // Nothing was stored, and learn mode ended on the pager after the box.
    QCOMPARE(dlg.image().callers[0].buttonIdValue(), 0u);
    QVERIFY(!connected.pager->state().learnMode);
}

QTEST_MAIN(TimerSemanticsTest)
#include "timer_semantics_test.moc"
