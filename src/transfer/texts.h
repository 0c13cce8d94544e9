#pragma once

// The messages after a read-out, a write and the other exchanges with the
// pager, and after a file was opened or saved (see model/catalogue.h).

#include <cstdint>

#include "model/catalogue.h"

namespace harvelin {

enum class TransferText : std::uint16_t {
#define HARVELIN_TEXT(id, german) id,
#include "transfer/texts.def"
#undef HARVELIN_TEXT
};

const TextTable& textTable(TransferText);

}  // namespace harvelin
