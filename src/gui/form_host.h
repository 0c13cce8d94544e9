#pragma once

#include <functional>
#include <map>
#include <optional>
#include <string>

#include "ui/dialog_host.h"

class QDialog;
class QTimer;
class QWidget;

namespace harvelin::gui {

// The main dialog's controls as real widgets. Texts cross here between the
// dialog's Windows-1252 bytes and the widgets' Unicode.
class FormHost final : public DialogHost {
public:
    explicit FormHost(QDialog& window);
    FormHost(const FormHost&) = delete;
    FormHost& operator=(const FormHost&) = delete;

    void addControl(int id, QWidget* widget);
    QWidget* control(int id) const;

    // Timer ticks, by timer id.
    std::function<void(int timerId)> onTick;
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

    void setProgressRange(int low, int high) override;
    void setProgressPos(int pos) override;
    void setPortListLine(const std::string& line) override;

    void messageBox(const std::string& text) override;
    bool askYesNo(const std::string& text) override;
    std::optional<std::string> fileDialog(const FileDialogSpec& spec) override;

    void startTimer(int id, unsigned periodMs) override;
    void stopTimer(int id) override;
    bool timerRunning(int id) const;
    void repaintNow() override;
    void endDialog(int result) override;

private:
    void tick(int id);

    QDialog& window_;
    std::map<int, QWidget*> controls_;
    std::map<int, int> limits_;  // input limits as the dialog set them
    std::map<int, QTimer*> timers_;
    int tickDepth_ = 0;  // > 0 while a tick is being handled
};

}  // namespace harvelin::gui
