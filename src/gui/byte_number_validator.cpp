#include "gui/byte_number_validator.h"

#include "ui/main_dialog.h"

namespace harvelin::gui {

QValidator::State ByteNumberValidator::validate(QString& input, int& /*pos*/) const
{
    // Digits are plain ASCII: the bytes are the characters.
    return checkFormField(Field::Key, input.toStdString()) ? Invalid : Acceptable;
}

}  // namespace harvelin::gui
