#pragma once

#include <functional>
#include <map>
#include <set>
#include <optional>
#include <string>

#include <QWidget>

#include "ui/dialog_host.h"
#include "ui/form_policy.h"

class QDialog;
class QTimer;

namespace harvelin::gui {

// The main dialog's controls as real widgets. Texts cross here between the
// dialog's Windows-1252 bytes and the widgets' Unicode.
class FormHost final : public DialogHost {
public:
    explicit FormHost(QDialog& window);
    FormHost(const FormHost&) = delete;
    FormHost& operator=(const FormHost&) = delete;

    // `elides`: a text that does not fit is cut with "…" and carried whole
    // as the control's tooltip and accessible description.
    void addControl(int id, QWidget* widget, bool elides = false);
    QWidget* control(int id) const;

    // While input is held, every control that takes input is disabled except
    // "Abbrechen", and the pointer shows that the tool is busy. The dialog's
    // own enabling and focusing meanwhile take effect when it is released
    // (InputHold decides; this applies it to the widgets).
    void holdInput(bool cancel);
    void releaseInput();
    void hideCancel();
    bool inputHeld() const { return hold_.held(); }
    // The focus to the first control of the tab order that takes it now.
    void focusFirstControl();

    // From now on no box opens: a message is left out, a question is
    // answered "Nein" (which keeps everything as it is) and a file dialog
    // counts as cancelled. For a form that is ending at once.
    void keepQuiet() { quiet_ = true; }
    bool quiet() const { return quiet_; }

    // Timer ticks, by timer id. A tick is handled as an event of its own, not
    // inside the timer's signal, so a message box shown from a tick lets
    // the later ticks run while it is open.
    std::function<void(int timerId)> onTick;
    // When set, takes the documents to open instead of the system's browser
    // (for tests).
    std::function<bool(const std::string& path)> answerBrowser;
    // When set, answers the file dialogs instead of showing them (for tests).
    std::function<std::optional<std::string>(const FileDialogSpec&)> answerFileDialog;

    std::string controlText(int id) const override;
    void setControlText(int id, const std::string& text) override;
    bool isChecked(int id) const override;
    void setChecked(int id, bool checked) override;
    void setVisible(int id, bool visible) override;
    void setEnabled(int id, bool enabled) override;
    void setInputLimit(int id, int maxChars) override;
    void setFocus(int id) override;
    bool userChangedControls() const override { return userChanged_; }
    void userChangesTaken() override { userChanged_ = false; }

    void setProgressRange(int low, int high) override;
    void setProgressPos(int pos) override;
    void setPortListLine(const std::string& line) override;
    void pageShown(ViewPage page) override;

    void showTitle(const std::string& title, bool modified) override;
    void messageBox(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    void showLines(const std::string& heading, const std::vector<std::string>& lines) override;
    bool openInBrowser(const std::string& path) override;
    std::optional<std::string> fileDialog(const FileDialogSpec& spec) override;

    void startTimer(int id, unsigned periodMs) override;
    void stopTimer(int id) override;
    bool timerRunning(int id) const;
    void repaintNow() override;
    void endDialog(int result) override;

private:
    // Gives the control its accessible name from the names table; a control
    // that shows state (a label, the port list) adds what it shows, so a
    // screen reader is told of each change.
    void nameControl(int id, QWidget* widget, const QString& shown);
    // The id of the control `widget` is; NoId for none.
    int idOf(const QWidget* widget) const;
    // `from`, or the next one in the tab order after it, that can take the
    // focus now; nullptr for none.
    QWidget* focusTaker(QWidget* from) const;

    QDialog& window_;
    ViewPage page_ = ViewPage::Lower;
    std::map<int, QWidget*> controls_;
    std::map<int, int> limits_;  // input limits as the dialog set them
    // The whole texts of the controls that elide, by id.
    std::map<int, QString> wholeTexts_;
    // Shows `whole` in an eliding label or list item, cut to `width` pixels.
    void showElided(int id, QWidget* widget, const QString& whole, int width,
                    const std::function<void(const QString&)>& setText);
    std::map<int, QTimer*> timers_;
    std::set<int> tickPending_;  // timers whose tick is posted and not yet handled
    bool userChanged_ = true;  // typed or clicked since the dialog last read the controls
    bool quiet_ = false;
    InputHold hold_;
};

}  // namespace harvelin::gui
