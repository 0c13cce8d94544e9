#pragma once

// The texts of the configuration's rule, of what a file lacks and of the
// about box's commit line (see model/catalogue.h).

#include <cstdint>

#include "model/catalogue.h"

namespace harvelin {

enum class ModelText : std::uint16_t {
#define HARVELIN_TEXT(id, german) id,
#include "model/texts.def"
#undef HARVELIN_TEXT
};

const TextTable& textTable(ModelText);

}  // namespace harvelin
