#pragma once

#include "win/windows_api.h"

namespace harvelin::win {

// The about box (dialog 100), modal over `owner` and in its middle.
void showAboutBox(HWND owner);

}  // namespace harvelin::win
