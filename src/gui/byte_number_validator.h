#pragma once

#include <QValidator>

namespace harvelin::gui {

// Keeps the key and station fields to what they can hold: a number from 0
// to 255, or nothing. Typed or pasted, anything else is refused at once, so
// the form never has to say so.
class ByteNumberValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

}  // namespace harvelin::gui
