#pragma once

#include <QIcon>
#include <QImage>

namespace harvelin::gui {

// The tool's icon: a pager with its display, drawn at the sizes the window
// system asks for (16 px in the title bar, 32 px and up for the task bar and
// the about box).
QIcon pagerIcon();

// The same picture at one size, as an image.
QImage pagerImage(int size);

}  // namespace harvelin::gui
