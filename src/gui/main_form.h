#pragma once

#include <memory>

#include <QDialog>

#include "gui/form_host.h"
#include "link/port_table.h"
#include "ui/main_dialog.h"

namespace harvelin::gui {

// The main form (dialog 102) as a Qt dialog: every control of the template
// at its place, named by its id, and the clicks and timer ticks handed to
// MainDialog, which does all the work.
class MainForm final : public QDialog {
    Q_OBJECT
public:
    MainForm(SerialBackend& backend, PortTable ports, Clock& clock, QWidget* parent = nullptr);
    ~MainForm() override;

    MainDialog& dialog() { return *dialog_; }
    FormHost& host() { return host_; }
    // The control with this id; nullptr for an id the form does not have.
    QWidget* control(int id) const { return host_.control(id); }

    // "Inf&o über Harvelin...": the about box, modal over the form.
    void showAbout();

    void done(int result) override;

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
#ifdef Q_OS_WIN
    bool nativeEvent(const QByteArray& eventType, void* message, qintptr* result) override;
#else
    void contextMenuEvent(QContextMenuEvent* event) override;
#endif

private:
    void buildForm();
    void connectControl(int id, QWidget* widget);
    void addAboutEntry();
    void focusFirstControl();
    void showCurrentFile();

    FormHost host_;
    std::unique_ptr<MainDialog> dialog_;
};

}  // namespace harvelin::gui
