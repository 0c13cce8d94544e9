#pragma once

// The texts of files: why one could not be read or written, what is wrong in
// one that is imported, differences and the configuration sheet (see
// model/catalogue.h).

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "model/catalogue.h"

namespace harvelin {

enum class FilesText : std::uint16_t {
#define HARVELIN_TEXT(id, german) id,
#include "files/texts.def"
#undef HARVELIN_TEXT
};

const TextTable& textTable(FilesText);

// The text in the language chosen as UTF-8, with arguments in UTF-8: for the
// messages about tables and JSON, and the sheet, which are UTF-8 throughout.
std::string utf8Text(FilesText id, std::initializer_list<std::string_view> arguments = {});

}  // namespace harvelin
