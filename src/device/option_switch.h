#pragma once

#include <string>

#include "link/serial_link.h"

namespace harvelin {

// Sends one option switch (its command text with the pager's name). True
// when the pager confirmed it (and no late reply made that doubtful).
bool sendOptionSwitch(SerialLink& link, const std::string& command);

}  // namespace harvelin
