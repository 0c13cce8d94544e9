#pragma once

#include <span>
#include <string>
#include <string_view>
#include <vector>

#include "files/pager_data_file.h"

namespace harvelin {

// A configuration as a spreadsheet table (UTF-8 CSV): a header line, one row
// per caller slot and kitchen call, then one row per setting. Every row has
// the header's eleven columns; a cell a kind does not use stays empty.
//
//   kind,slot,text,identity,b0,b1,b2,b3,suffix,key,station
//   caller,1,Tisch 1,17043,17,3,42,0,0,,
//   kitchen,1,Küche fertig,,,,,,,1,1
//   setting,pagerName,Pager:A,,,,,,,,
//
// The identity is the form's Rufknopf-ID; the five bytes decide, and an
// identity that does not match them is refused rather than guessed at.
namespace csv {

// The separators a table may use: those spreadsheets read without asking.
constexpr std::string_view Separators = ",;\t";
constexpr bool isSeparator(char c) { return c != '\0' && Separators.find(c) != std::string_view::npos; }

// A cell that a spreadsheet would take for a formula: one that begins with
// "=", "+", "-", "@", a tab or a carriage return, also after apostrophes.
// Such a cell is written with one apostrophe in front, which spreadsheets
// show as text, and read with exactly one apostrophe less, so that "=1",
// "'=1" and "''=1" all come back as they were. Other cells, also those that
// begin with an apostrophe ("'s Eck"), are written and read as they are.
bool looksLikeFormula(std::string_view cell);

// One field: guarded as above, then quoted when it holds the separator, a
// quote, a line break or blanks at either end (which spreadsheets would
// otherwise drop).
std::string field(std::string_view utf8, char separator);

// `separator` is one of Separators.
std::string format(const PagerConfiguration& config, char separator);

// Something the table holds that no configuration can: where, and why (UTF-8).
struct Problem {
    std::size_t line;
    std::size_t column;
    std::string what;
};

// What the table calls the settings and slots of a configuration: the
// settings' names and the rows' kinds.
inline constexpr CoverageNames TableNames{"pagerName", "remoteDeleteText", "remoteDelete", "buzzer",
                                          "battery",   "caller",           "kitchen"};

// Reads `table` (UTF-8) onto `config` (a row it does not have keeps its
// slot's or setting's value), noting in `coverage` the slots and settings it
// has a row for. The separator is the one the header uses. A
// header other than format()'s, a row with another number of cells, an
// unknown kind or setting, a slot or setting given twice (slot "1", "01" and
// "001" are one slot) and a value that breaks the configuration's rule are
// refused. Every problem found is listed, quoting cells as messages quote
// them (control characters escaped, long cells cut); `config` is meant to be
// used only when none is.
std::vector<Problem> parse(std::string_view table, PagerConfiguration& config, FileCoverage* coverage = nullptr);

// "; did you mean \"buzzer\"?" when `word` is close to one of `known`: the
// only one that equals it but for case, else the only one nearest to it
// within a typing error or two; empty when none is.
std::string didYouMean(std::string_view word, std::span<const std::string_view> known);

}  // namespace csv

}  // namespace harvelin
