#include "gui/win1252_validator.h"

#include <algorithm>
#include <optional>
#include <string>

#include "model/configuration_rule.h"
#include "model/win1252.h"

namespace harvelin::gui {

QValidator::State Win1252Validator::validate(QString& input, int& /*pos*/) const
{
    const std::optional<std::string> bytes = utf8ToWin1252(input.toStdString());
    if (!bytes)
        return Invalid;
    const auto showable = [](char byte) { return isShowable(static_cast<unsigned char>(byte)); };
    return std::all_of(bytes->begin(), bytes->end(), showable) ? Acceptable : Invalid;
}

}  // namespace harvelin::gui
