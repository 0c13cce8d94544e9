#pragma once

#include <string>

#include <string_view>
#include <vector>

#include "files/configuration_csv.h"
#include "files/pager_data_file.h"

namespace harvelin {

// A configuration as the form shows it, for the terminal: UTF-8 text with
// one line per slot.
std::string configurationText(const PagerConfiguration& config);

}  // namespace harvelin
