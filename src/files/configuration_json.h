#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/configuration_csv.h"
#include "files/pager_data_file.h"

namespace harvelin {

// A configuration as one JSON object (UTF-8), for scripts:
//
//   {"pagerName": "Pager:A", "remoteDeleteText": "", "battery": false,
//    "buzzer": true, "remoteDelete": false,
//    "callers": [{"text": "Tisch 1", "buttonId": 305419896, "idSuffix": 3}, ...],
//    "kitchenCalls": [{"text": "Station 1", "key": 1, "station": 1}, ...]}
std::string configurationJson(const PagerConfiguration& config);

// What the object calls the settings and slots of a configuration: its keys.
inline constexpr CoverageNames JsonNames{"pagerName", "remoteDeleteText", "remoteDelete", "buzzer",
                                         "battery",   "callers",          "kitchenCalls"};

// Reads such an object onto `config`, naming the line and column of every
// value it cannot take. What the object leaves out keeps its value;
// `coverage` notes the settings it names and the slots its lists hold (an
// entry counts, even one that leaves a value out, as a .pag line does).
std::vector<csv::Problem> configurationFromJson(std::string_view json, PagerConfiguration& config,
                                                FileCoverage* coverage = nullptr);

}  // namespace harvelin
