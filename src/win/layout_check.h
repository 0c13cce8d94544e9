#pragma once

#include "win/windows_api.h"

#include <string>

namespace harvelin::win {

// The form as it lies on the screen, read from inside the program for the
// test that runs it under Wine at several dpi. A hidden switch of
// harvelin.exe, --layout-report FILE: UTF-8, tabs between fields; first
//     client  width  height  dpi  baseX  baseY
// (the client area and the dialog's base units in pixels), then for every
// visible control, in template order,
//     id  kind  left  top  right  bottom  text  pad  elides  x  y  cx  cy  text
// with its rectangle in client pixels, the width its text takes in its own
// font (WM_GETFONT; a button's without the "&" of its shortcut), the pixels
// its kind draws beside the text (a check box's box and gap, a button's
// frame), whether it may cut its text with "…", and its place in the table
// in dialog units. Then the form closes as its close box closes it.
//
// With --layout-dpi N as well, the form is first told it has moved to a
// monitor of N dpi (WM_DPICHANGED, with its window scaled by N over the dpi
// it has as the suggested rectangle), as Windows tells a per-monitor aware
// program, and is reported as it lies then.
void reportLayout(HWND form, const std::string& path, unsigned movedToDpi = 0);

}  // namespace harvelin::win
