#pragma once

#include <ctime>
#include <string>

#include "files/pager_data_file.h"

namespace harvelin {

// Where a printed sheet comes from, shown in its foot (UTF-8).
struct SheetSource {
    std::string fileName;  // the file's name, or what the form calls an unsaved configuration
    std::string date;      // "09.12.2026 14:30"
    std::string version;   // versionText(): version and commit
};

// The configuration as one HTML page (UTF-8) for the restaurant's wall or
// the installation report: the pager's name and settings, the caller slots
// and kitchen calls that hold anything, and how many were left out as
// empty. Fits one A4 page in black and white; every text is escaped.
std::string configurationSheet(const PagerConfiguration& config, const SheetSource& source);

// The foot of the sheet of the file at `path` (UTF-8; empty: a configuration
// not saved), made at `when`: the file's name without its folders, the
// moment as sheetTime() shows it, and this program's version.
SheetSource sheetSource(const std::string& path, std::time_t when, bool utc = false);

// A moment as the sheet shows it: "09.12.2026 14:30", local time, or UTC
// with `utc`.
std::string sheetTime(std::time_t when, bool utc = false);

}  // namespace harvelin
