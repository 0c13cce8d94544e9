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

// The same as one JSON object (UTF-8), for scripts.
std::string configurationJson(const PagerConfiguration& config);

// Reads such an object onto `config`, naming the line and column of every
// value it cannot take (a member it does not know is left alone).
std::vector<csv::Problem> configurationFromJson(std::string_view json, PagerConfiguration& config);

}  // namespace harvelin
