#pragma once

#include <string>

#include "model/pager_image.h"

namespace harvelin {

// One pager's whole configuration: the image and the settings that live only
// in the form. Texts are Windows-1252 bytes.
struct PagerConfiguration {
    PagerImage image;
    std::string pagerName;
    std::string remoteDeleteText;
    bool battery = false;
    bool buzzer = false;
    bool remoteDelete = false;
};

// What the form starts with, and what every front end starts from before a
// file or a read-out fills it in: empty caller slots, kitchen call N named
// "Station N" on key N at station 1, the pager name "Pager:A", the
// remote-delete text "  Fernlöschung  " and every option off.
PagerConfiguration startConfiguration();

}  // namespace harvelin
