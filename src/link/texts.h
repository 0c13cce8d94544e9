#pragma once

// Why a port could not be opened, and the port list's lines (see
// model/catalogue.h).

#include <cstdint>

#include "model/catalogue.h"

namespace harvelin {

enum class LinkText : std::uint16_t {
#define HARVELIN_TEXT(id, german) id,
#include "link/texts.def"
#undef HARVELIN_TEXT
};

const TextTable& textTable(LinkText);

}  // namespace harvelin
