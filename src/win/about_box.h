#pragma once

#include "win/windows_api.h"

#include <string>

namespace harvelin::win {

// The about box (dialog 100), modal over `owner` and in its middle.
void showAboutBox(HWND owner);

// A box of lines under a heading (layout::linesBox), modal over `owner`
// and in its middle; the lines can be selected and copied, and have the
// focus.
void showLinesBox(HWND owner, const std::wstring& heading, const std::wstring& lines);

}  // namespace harvelin::win
