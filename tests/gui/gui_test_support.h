#pragma once

#include <functional>
#include <memory>
#include <string>

#include <QApplication>
#include <QElapsedTimer>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMessageBox>
#include <QPushButton>
#include <QStringList>
#include <QTimer>
#include <QWidget>

#include "gui/main_form.h"
#include "platform/clock.h"
#include "sim_backend.h"

namespace harvelin::gui::test {

// The real form on a simulated serial line ("sim0" carries a pager) and on
// virtual time, so a search or a transfer finishes at once: the handlers run
// as the clicks arrive, without a device thread.
struct FormRig {
    explicit FormRig(bool withPager = true, DeviceWorker::Mode mode = DeviceWorker::Mode::Blocking)
    {
        if (withPager)
            pager = backend.attachPager("sim0");
        form = std::make_unique<MainForm>(backend, PortTable::fromPaths({"sim0"}), clock, mode);
    }

    template <typename T = QWidget>
    T* control(int id) const
    {
        return qobject_cast<T*>(form->control(id));
    }
    QLineEdit* edit(int id) const { return control<QLineEdit>(id); }

    VirtualClock clock;
    sim::SimBackend backend{clock};
    std::shared_ptr<sim::PagerSimulator> pager;  // none without a pager
    std::unique_ptr<MainForm> form;
};

// The title as the window manager shows it: Qt's "[*]" becomes the change
// mark while the form holds unsaved changes, and nothing otherwise.
inline QString shownTitle(const QWidget& window)
{
    QString title = window.windowTitle();
    return title.replace(QStringLiteral("[*]"), window.isWindowModified() ? QStringLiteral("*") : QString());
}

// Types text as the keyboard does, one key event per character, so the edit's
// validator and input limit see every character. (QTest's key clicks cannot
// carry characters outside Latin-1 such as the euro sign.)
inline void typeText(QWidget* widget, const QString& text)
{
    for (const QChar ch : text) {
        QKeyEvent press(QEvent::KeyPress, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &press);
        QKeyEvent release(QEvent::KeyRelease, Qt::Key_unknown, Qt::NoModifier, QString(ch));
        QApplication::sendEvent(widget, &release);
    }
}

// Answers the modal boxes that open while it lives: notes caption and text
// of every message box and presses its OK; any other modal dialog is handed
// to onOtherDialog (default: rejected).
class ModalAnswerer {
public:
    ModalAnswerer()
    {
        timer_.setInterval(10);
        QObject::connect(&timer_, &QTimer::timeout, [this] { answer(); });
        timer_.start();
    }

    QStringList texts;
    QStringList captions;
    // The answer to a yes/no question, given this long after it opened;
    // onAnswer runs just before.
    bool answerYes = true;
    int questionDelayMs = 0;
    std::function<void()> onAnswer;
    std::function<void(QWidget*)> onOtherDialog = [](QWidget* w) {
        if (auto* d = qobject_cast<QDialog*>(w))
            d->reject();
    };

private:
    void answer()
    {
        QWidget* modal = QApplication::activeModalWidget();
        if (!modal)
            return;
        if (auto* box = qobject_cast<QMessageBox*>(modal)) {
            if (!box->button(QMessageBox::Ok) && questionDelayMs > 0) {
                if (questionOpen_ != box) {
                    questionOpen_ = box;
                    openFor_.start();
                }
                if (openFor_.elapsed() < questionDelayMs)
                    return;
            }
            if (onAnswer)
                onAnswer();
            texts << box->text();
            captions << box->windowTitle();
            if (QAbstractButton* ok = box->button(QMessageBox::Ok)) {
                ok->click();
                return;
            }
            // "Ja" or "Nein", in whatever language the form speaks.
            for (QAbstractButton* button : box->buttons())
                if (box->buttonRole(button) == (answerYes ? QMessageBox::YesRole : QMessageBox::NoRole))
                    button->click();
        } else if (onOtherDialog) {
            onOtherDialog(modal);
        }
    }

    QTimer timer_;
    QWidget* questionOpen_ = nullptr;
    QElapsedTimer openFor_;
};

}  // namespace harvelin::gui::test
