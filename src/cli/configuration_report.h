#pragma once

#include <string>

#include "files/pager_data_file.h"

namespace harvelin {

// A configuration as the form shows it, for the terminal: UTF-8 text with
// one line per slot.
std::string configurationText(const PagerConfiguration& config);

// The same as one JSON object (UTF-8), for scripts.
std::string configurationJson(const PagerConfiguration& config);

}  // namespace harvelin
