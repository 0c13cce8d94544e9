#pragma once

// The texts of files: why one could not be read or written, what is wrong in
// one that is imported, differences and the configuration sheet (see
// model/catalogue.h).

#include <cstdint>

#include "model/catalogue.h"

namespace harvelin {

enum class FilesText : std::uint16_t {
#define HARVELIN_TEXT(id, german) id,
#include "files/texts.def"
#undef HARVELIN_TEXT
};

const TextTable& textTable(FilesText);

}  // namespace harvelin
