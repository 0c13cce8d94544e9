#pragma once

// The about entry in the window's system menu on Windows. It needs no Qt, so
// it compiles with any Windows compiler, with or without a Windows Qt.

namespace harvelin::gui::win32 {

// The entry's command id; the window manager keeps the low four bits of
// system commands for itself.
constexpr unsigned AboutCommandId = 16;

// Appends a separator and the entry to the system menu of the native window
// (an HWND). The text is UTF-8; "&" marks the access key.
void appendAboutEntry(void* window, const char* utf8Text);

// Whether a native message (an MSG) is the choice of that entry.
bool isAboutCommand(const void* message);

}  // namespace harvelin::gui::win32
