#include "gui/byte_number_validator.h"

#include "model/conversions.h"

namespace harvelin::gui {

QValidator::State ByteNumberValidator::validate(QString& input, int& /*pos*/) const
{
    return isByteNumberText(input.toStdString()) ? Acceptable : Invalid;
}

}  // namespace harvelin::gui
