#pragma once

#include "win/windows_api.h"

#include "ui/form_policy.h"

namespace harvelin::win {

// The edit takes from now on only what its field may hold (fieldMayHold):
// typed or pasted text that would break the rule is refused as a whole,
// with a beep, so no field of the form ever holds it.
void filterEdit(HWND edit, FieldInput input);

}  // namespace harvelin::win
