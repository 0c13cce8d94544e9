#pragma once

#include <QDialog>

namespace harvelin::gui {

// The about box (dialog 100): the icon, the version line, a line about the
// tool and "OK".
class AboutDialog final : public QDialog {
    Q_OBJECT
public:
    explicit AboutDialog(QWidget* parent = nullptr);
};

}  // namespace harvelin::gui
