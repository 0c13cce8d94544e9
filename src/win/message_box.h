#pragma once

#include "win/windows_api.h"

#include <string>

namespace harvelin::win {

// A message box over `owner` with the program file's name as its caption,
// its caption shown whole and a question's answers named "Ja" and "Nein"
// whatever the system's language; MessageBoxW's answer.
int showMessageBox(HWND owner, const std::wstring& text, UINT type);

}  // namespace harvelin::win
