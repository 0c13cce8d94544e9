#pragma once

#include <string>
#include <string_view>
#include <vector>

#include "files/pager_data_file.h"

namespace harvelin {

// A configuration as a spreadsheet table (UTF-8 CSV): a header line, one row
// per caller slot and kitchen call, then one row per setting.
//
//   kind,slot,text,identity,b0,b1,b2,b3,suffix,key,station
//   caller,1,Tisch 1,17043,17,3,42,0,0,,
//   kitchen,1,Küche fertig,,,,,,,1,1
//   setting,pagerName,Pager:A,,,,,,,,
//
// The identity is the form's Rufknopf-ID; the five bytes decide, and an
// identity that does not match them is refused rather than guessed at.
namespace csv {

// One field, quoted when it holds the separator, a quote, a line break or
// blanks at either end (which spreadsheets would otherwise drop).
std::string field(std::string_view utf8, char separator);

std::string format(const PagerConfiguration& config, char separator);

// A text of the file is one line with a tab after it: a line break, a tab or
// another control character in it would break the file.
bool holdsControlCharacter(std::string_view text);

// Something the table holds that no configuration can: where, and why (UTF-8).
struct Problem {
    std::size_t line;
    std::size_t column;
    std::string what;
};

// Reads `table` onto `config` (what it does not mention keeps its value).
// The separator is the header's: ";" when it holds one, else ",". Every
// problem found is listed; `config` is meant to be used only when none is.
std::vector<Problem> parse(std::string_view table, PagerConfiguration& config);

}  // namespace csv

}  // namespace harvelin
