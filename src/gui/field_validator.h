#pragma once

#include <QValidator>

#include "ui/form_policy.h"

namespace harvelin::gui {

// Keeps an edit control to what its field may hold (fieldMayHold): the key
// and station fields a number from 0 to 255 or nothing, the others the
// characters the pager can show, those that have a Windows-1252 byte,
// control characters excepted. Typed or pasted, anything else is refused at
// once, so the form never has to say so and nothing is ever replaced behind
// the user's back.
class FieldValidator final : public QValidator {
public:
    FieldValidator(FieldInput input, QObject* parent) : QValidator(parent), input_(input) {}
    State validate(QString& input, int& pos) const override;

private:
    FieldInput input_;
};

}  // namespace harvelin::gui
