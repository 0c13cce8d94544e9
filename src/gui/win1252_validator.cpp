#include "gui/win1252_validator.h"

#include "model/win1252.h"

namespace harvelin::gui {

QValidator::State Win1252Validator::validate(QString& input, int& /*pos*/) const
{
    return utf8ToWin1252(input.toStdString()) ? Acceptable : Invalid;
}

}  // namespace harvelin::gui
