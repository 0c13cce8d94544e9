#pragma once

// The form's texts: labels, buttons, questions and its boxes (see
// model/catalogue.h).

#include <cstdint>

#include "model/catalogue.h"

namespace harvelin {

enum class FormText : std::uint16_t {
#define HARVELIN_TEXT(id, german) id,
#include "ui/texts.def"
#undef HARVELIN_TEXT
};

const TextTable& textTable(FormText);

}  // namespace harvelin
