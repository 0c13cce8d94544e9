#include "gui/field_validator.h"

#include <optional>
#include <string>

#include "model/win1252.h"

namespace harvelin::gui {

QValidator::State FieldValidator::validate(QString& input, int& /*pos*/) const
{
    const std::optional<std::string> bytes = utf8ToWin1252(input.toStdString());
    return bytes && fieldMayHold(input_, *bytes) ? Acceptable : Invalid;
}

}  // namespace harvelin::gui
