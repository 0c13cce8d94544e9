#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/pager_data_file.h"

namespace harvelin {

// One place where two configurations differ. Texts are Windows-1252 bytes.
struct ConfigurationDifference {
    // As scripts get them in every language (a log's column, JSON): the
    // form's German words.
    std::string place;  // "Platz 7", "Küchenruf 3" or "Einstellungen"
    std::string field;  // "Meldetext", "Rufknopf-ID", "Taste", "Summer" ...
    std::string first;  // the value in the first configuration ("ein"/"aus" for a switch)
    std::string second; // the value in the second
    // The same in the language chosen when they were compared, for people;
    // empty: as above.
    std::string shownPlace;
    std::string shownField;
    std::string shownFirst;
    std::string shownSecond;

    // "Platz 7 Meldetext: Formular "Tisch 7", Pager "Bar"": the field, then
    // each side by its name (one of side::, in the language chosen) with its
    // value. The values are quoted as a message quotes them, since they may
    // come from a pager's replies: control characters escaped, long ones cut
    // short.
    std::string line(std::string_view firstSide, std::string_view secondSide) const;
    // The line in the words scripts get whatever the language (JSON output).
    std::string neutralLine(std::string_view firstSide, std::string_view secondSide) const;
};

// The names of the sides in a difference's line, as scripts get them;
// line() puts them in the language chosen.
namespace side {
inline constexpr std::string_view Form = "Formular";
inline constexpr std::string_view Pager = "Pager";
inline constexpr std::string_view File = "Datei";
inline constexpr std::string_view FirstFile = "Datei 1";
inline constexpr std::string_view SecondFile = "Datei 2";
}  // namespace side

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
