#pragma once

#include <string>

#include "model/pager_image.h"

namespace harvelin::layout {

// What a screen reader calls the main form's controls: every control that
// takes input or shows state gets a name that says what it is and where,
// without the toolkit, so that both desktop forms name alike. The caller
// rows are named by the slot they show, so their names follow the page
// ("Tischsender 19 Meldetext" on "17..32"). Windows-1252 bytes.
//
// Empty for a control the table does not name: the labels and group boxes,
// which are read as they are.
std::string accessibleName(int controlId, ViewPage page);

}  // namespace harvelin::layout
