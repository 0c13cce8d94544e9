#pragma once

// The command line's texts: its help, notes, errors and the lines of a
// series (see model/catalogue.h).

#include <cstdint>
#include <initializer_list>
#include <string>
#include <string_view>

#include "model/catalogue.h"

namespace harvelin {

enum class CliText : std::uint16_t {
#define HARVELIN_TEXT(id, german) id,
#include "cli/texts.def"
#undef HARVELIN_TEXT
};

const TextTable& textTable(CliText);

namespace cli {

// The text in the language chosen as the terminal gets it, UTF-8, with %1
// to %9 replaced by the arguments (UTF-8 too: file names, what the user
// typed).
std::string said(CliText id, std::initializer_list<std::string_view> arguments = {});

}  // namespace cli

}  // namespace harvelin
