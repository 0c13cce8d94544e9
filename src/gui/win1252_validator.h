#pragma once

#include <QValidator>

namespace harvelin::gui {

// Keeps an edit control to characters the pager can show: those that have a
// Windows-1252 byte, control characters excepted. The pager, its files and
// the image hold single bytes of that code page; anything else is refused
// as it is typed or pasted, so nothing is ever replaced behind the user's
// back.
class Win1252Validator final : public QValidator {
    Q_OBJECT
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

}  // namespace harvelin::gui
