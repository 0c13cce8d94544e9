#pragma once

#include <string>

#include <string_view>
#include <vector>

#include "files/configuration_csv.h"
#include "files/pager_data_file.h"

namespace harvelin {

// A configuration as the form shows it, for the terminal: UTF-8 text with
// one line per slot. Texts are quoted as messages quote them, control
// characters escaped ("\x1b"), so that what a file holds cannot steer the
// terminal.
std::string configurationText(const PagerConfiguration& config);

}  // namespace harvelin
