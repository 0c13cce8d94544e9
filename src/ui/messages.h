#pragma once

#include <string_view>

namespace harvelin {

// Shown by every handler that needs the pager and finds no link to it.
constexpr std::string_view NoConnectionMessage = "Es besteht keine Verbindung zum Zelvatron!";

}  // namespace harvelin
