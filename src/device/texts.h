#pragma once

// The learn window's status texts and the repeater's time (see
// model/catalogue.h).

#include <cstdint>

#include "model/catalogue.h"

namespace harvelin {

enum class DeviceText : std::uint16_t {
#define HARVELIN_TEXT(id, german) id,
#include "device/texts.def"
#undef HARVELIN_TEXT
};

const TextTable& textTable(DeviceText);

}  // namespace harvelin
