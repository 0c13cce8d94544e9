#pragma once

#include <memory>

#include <QDialog>
#include <QSessionManager>

#include "gui/device_worker.h"
#include "gui/form_host.h"
#include "link/port_table.h"
#include "ui/click_gate.h"
#include "ui/main_dialog.h"

namespace harvelin::gui {

// The main form (dialog 102) as a Qt dialog: every control of the template
// at its place, named by its id, and the clicks and timer ticks handed to
// MainDialog, whose work on the pager runs on the device thread
// (device_worker.h).
// While a click's handler runs, the form takes no other click; "Abbrechen"
// is shown while the search, the read-out or the write runs, and stops it.
class MainForm final : public QDialog, private ClickGate::Window {
    Q_OBJECT
public:
    MainForm(SerialBackend& backend, PortTable ports, Clock& clock,
             DeviceWorker::Mode mode = DeviceWorker::Mode::Threaded, QWidget* parent = nullptr);
    ~MainForm() override;

    MainDialog& dialog() { return *dialog_; }
    FormHost& host() { return host_; }
    // The control with this id; nullptr for an id the form does not have.
    QWidget* control(int id) const { return host_.control(id); }

    // A file named on the command line or dropped on the form, opened as
    // "Datei öffnen" opens the one chosen, question included; nothing happens
    // while other work runs.
    void openGivenFile(const QString& path);

    // "Inf&o über Harvelin...": the about box, modal over the form.
    void showAbout();
    // An entry of the form's system menu (layout::systemMenu), as if chosen
    // there: the about box, or a command the dialog takes as a click.
    void menuCommand(unsigned command);

    // True from a click until its handler has ended.
    bool busy() const { return gate_->busy(); }
    // "Abbrechen": stops the running search, read-out or write before its
    // next command to the pager.
    void cancelOperation();

    void done(int result) override;
    // Ends the form: a learn window still open is ended on the pager and the
    // port is closed first. During an operation: as the close box.
    void reject() override;
    // Ends the form at once, as the close box does but without a question
    // (for a signal): a box or menu that is open is closed and none opens any
    // more, a running search, read-out or write is cancelled, a learn window
    // still open is ended on the pager and the port closed; then the form
    // ends with `result`. The close box does nothing meanwhile.
    void endNow(int result);
    // The desktop session is about to end: during a write the user is asked
    // as by the close box, and "Nein" keeps the session; otherwise the
    // session's signal ends the form later.
    void sessionEnding(QSessionManager& manager);

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void contextMenuEvent(QContextMenuEvent* event) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void buildForm();
    // The window's size at the start: the form's, within the screen.
    void fitToScreen();
    void connectControl(int id, QWidget* widget);
    void acceptDrag(QDragMoveEvent* event);
    // ClickGate::Window
    void holdInput(bool cancel) override;
    void releaseInput() override;
    void hideCancel() override;
    void clickEnded() override { dialog_->refreshTitle(); }
    void closeAgain() override;
    void closeOtherWindows();
    void finishEnding();

    // The controls' parent, at the form's size in dialog units.
    QWidget* canvas_ = nullptr;
    FormHost host_;
    DeviceWorker worker_;
    std::unique_ptr<MainDialog> dialog_;
    std::unique_ptr<ClickGate> gate_;
    bool ending_ = false;
    int endResult_ = Rejected;
};

}  // namespace harvelin::gui
