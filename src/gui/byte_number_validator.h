#pragma once

#include <QValidator>

namespace harvelin::gui {

// Keeps the key and station fields to what they can hold: decimal digits up
// to 255. The form refuses anything else when it takes the fields, so this
// only spares the user the message.
class ByteNumberValidator final : public QValidator {
public:
    using QValidator::QValidator;
    State validate(QString& input, int& pos) const override;
};

}  // namespace harvelin::gui
