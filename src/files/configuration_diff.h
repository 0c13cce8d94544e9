#pragma once

#include <string>
#include <vector>

#include "files/pager_data_file.h"

namespace harvelin {

// One place where two configurations differ, named as the form names it.
// Texts are Windows-1252 bytes.
struct ConfigurationDifference {
    std::string place;  // "Platz 7", "Küchenruf 3" or "Einstellungen"
    std::string field;  // "Meldetext", "Rufknopf-ID", "Taste", "Summer" ...
    std::string first;  // the value in the first configuration
    std::string second; // the value in the second

    // "Platz 7: Meldetext "Tisch 7" statt "Bar"": what the second holds
    // instead of what the first holds.
    std::string line() const;
};

// Every slot and every setting the file keeps, in the form's order: caller
// slots, kitchen calls, then the settings.
std::vector<ConfigurationDifference> compareConfigurations(const PagerConfiguration& first,
                                                           const PagerConfiguration& second);

// The same for only the lines in `compared`: what an incomplete file or a
// 16-slot pager does not hold is not compared.
std::vector<ConfigurationDifference> compareConfigurations(const PagerConfiguration& first,
                                                           const PagerConfiguration& second,
                                                           const FileCoverage& compared);

// An identity as the form's Rufknopf-ID column shows it, without its padding.
std::string identityText(const CallerEntry& slot);

}  // namespace harvelin
