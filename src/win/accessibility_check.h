#pragma once

#include "win/windows_api.h"

#include <string>

namespace harvelin::win {

// The form as a screen reader hears it, read through the system's
// accessibility layer from inside the program, for the test that runs it
// under Wine (whose layer answers other processes nothing). Hidden switches
// of harvelin.exe; the files are UTF-8, one line each, tabs between fields.

// --accessibility-report FILE: every control that takes input or shows
// state, as AccessibleObjectFromWindow and accName name it, with "1..16"
// shown and then "17..32" (chosen as a click chooses it):
//     page  id  role  name  state  description
// (state: "read-only" or empty; description: the whole text of one that may
// be cut).
// Then the form closes as its close box closes it.
void reportAccessibility(HWND form, const std::string& path);

// --accessibility-log FILE: from the form's showing on, what the form tells
// screen readers about its controls, each with the name read as the event
// comes (AccessibleObjectFromEvent):
//     focus|name|value|state|live  id  role  name  state  description
void logAccessibility(HWND form, const std::string& path);

}  // namespace harvelin::win
