#pragma once

#include "win/windows_api.h"

#include <string>

namespace harvelin::win {

// What the form asks of a window: its text, and which of the form's kinds
// of control it is.
std::wstring windowText(HWND window);
std::wstring className(HWND window);
bool isEdit(HWND window);
bool isListBox(HWND window);
// A left-aligned static: the form's labels, not its icon or frames.
bool isLabel(HWND window);
// The one line of the port list.
std::wstring listLine(HWND list);

}  // namespace harvelin::win
