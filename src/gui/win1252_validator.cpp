#include "gui/win1252_validator.h"

#include <optional>
#include <string>

#include "model/configuration_rule.h"
#include "model/win1252.h"

namespace harvelin::gui {

QValidator::State Win1252Validator::validate(QString& input, int& /*pos*/) const
{
    const std::optional<std::string> bytes = utf8ToWin1252(input.toStdString());
    return bytes && isShowableText(*bytes) ? Acceptable : Invalid;
}

}  // namespace harvelin::gui
