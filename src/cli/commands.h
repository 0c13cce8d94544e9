#pragma once

// The commands of harvelin-cli, each turning what the pager session did into
// its lines and its exit status: those on one pager (device_commands.cpp),
// compare and verify, series of pagers, backups and spreadsheet files.

#include <cstdint>
#include <optional>
#include <string>

#include "cli/cli.h"
#include "cli/series.h"
#include "cli/session.h"
#include "files/configuration_diff.h"
#include "files/pager_data_file.h"

namespace harvelin::cli {

struct SeriesOptions {
    bool verify = false;
    std::string log;  // CSV file that every result line is appended to; empty: none
    SeriesNaming naming;
    std::optional<unsigned> count;  // served well, after which the series ends
    bool live = false;              // one live line per port on the terminal
};

// --- on one pager (device_commands.cpp) ---------------------------------------

// Each port with whether it can be opened now: tried, and closed again at once.
int listPorts(CliEnvironment& env, const PortTable& ports);
int searchCommand(CliEnvironment& env, Session& session);
// A complete read-out saved as FILE; what an incomplete one got is kept
// beside it, the answered lines alone ("kueche.partial.pag").
int readCommand(CliEnvironment& env, Session& session, const std::string& file);
int showCommand(CliEnvironment& env, const std::string& file, bool json);
// The printable sheet of a .pag file (HTML) into `out`, "-" for standard
// output, dated now or at SOURCE_DATE_EPOCH.
int sheetCommand(CliEnvironment& env, const std::string& file, const std::string& out);
int learnCommand(CliEnvironment& env, Session& session, int slot, const std::string& file);
int optionCommand(CliEnvironment& env, Session& session, const std::string& option, bool on,
                  const std::optional<std::string>& name);
int clockCommand(CliEnvironment& env, Session& session);
int bootloaderCommand(CliEnvironment& env, Session& session);

struct WriteOptions {
    bool verify = false;
    bool backup = false;
    bool each = false;
    bool partial = false;  // a file that lacks lines is written too
    bool json = false;     // with verify: the differences as JSON
    SeriesOptions series;
};
int writeCommand(CliEnvironment& env, Session& session, const std::string& file, const WriteOptions& options);

// --- comparing, series, backups and spreadsheets ----------------------------

// Where a configuration comes from in `diff`: this word, or a .pag file.
constexpr const char* PagerSource = "pager";

// The configuration of a .pag file opened onto the start values, as a fresh
// form opens it, with the lines the file holds; nullopt after the form's
// message.
std::optional<PagerConfiguration> fileConfiguration(CliEnvironment& env, const std::string& path,
                                                    FileCoverage* coverage = nullptr);

// How writing what the session holds ended, the first failure first.
enum class WriteEnd : std::uint8_t {
    Written,             // acknowledged in full and, when asked, read back the same
    Interrupted,         // stopped; the pager is only partly written when the form did not say it succeeded
    NotAcknowledged,     // the form said "Fehlerhafte Übertragung!"
    ReadBackIncomplete,  // the write is not verified
    Differs,             // the read-back does not hold what was written
    SlotsLeftOut,        // a 16-slot pager could not take slots 17..32 or the kitchen calls
    Refused,             // the configuration breaks the rule of what the pager may hold; nothing was sent
};
int exitStatusOf(WriteEnd end);

struct WriteReport {
    WriteEnd end = WriteEnd::NotAcknowledged;
    // The pager acknowledged every step ("Daten erfolgreich übertragen").
    bool acknowledged = false;
    // A slot command went out: a stop left the pager partly written.
    bool sentSlots = false;
    // A 16-slot pager's slots and what it does not hold, when it left lines out.
    unsigned callerSlots = 0;
    std::string pagerLacks;
    // What the read-back found to differ.
    std::vector<ConfigurationDifference> differences;

    // What a stop left: "the write is not verified", "the pager is only
    // partly written" or "nothing was written to the pager".
    std::string leftByStop() const;
};

// Why a 16-slot pager's lines were left out ("the pager has 16 slots and
// holds no caller slots 17-32, ..."), with what was not done to them.
std::string smallPagerNote(unsigned callerSlots, const std::string& notDone);

// Writes what the session holds into the pager it found (and, with
// `verify`, reads it back; the report holds every difference). Says only
// what the form's messages do not: the caller prints the differences and
// tells the end in its own words.
WriteReport writeHeldConfiguration(CliEnvironment& env, Session& session, bool verify);

// The differences one a line in the form's German ("Platz 7 Meldetext: Datei
// "Tisch 7", Pager "Bar""), or with `json` one object that also holds each
// line; 1 when there are any.
int printDifferences(std::ostream& to, const std::vector<ConfigurationDifference>& differences,
                     std::string_view firstSide, std::string_view secondSide, bool json);

int verifyCommand(CliEnvironment& env, Session& session, const std::string& file, bool json);
int diffCommand(CliEnvironment& env, Session& session, const std::string& first, const std::string& second,
                bool json);

// Reads the pager into the backup folder (which `session` names) before a
// write, in a session of its own; an exit status, Success when the backup is kept. Interrupted without a
// note: the caller says what the stop left undone.
int keepBackupBeforeWrite(CliEnvironment& env, Session& session);
int backupsCommand(CliEnvironment& env);

// Pager after pager on every port of `session` at once, until interrupted
// or the series is complete (series.h).
int writeEachCommand(CliEnvironment& env, Session& session, const std::string& file, const SeriesOptions& options,
                     bool backup);
int readEachCommand(CliEnvironment& env, Session& session, const std::string& folder, const SeriesOptions& options);

// Writes `bytes` to the file at `path` whole or not at all, or to standard
// output for "-"; false after the form's message when the file cannot be
// written.
bool writeOutput(CliEnvironment& env, const std::string& path, const std::string& bytes);

// A whole input file of at most 1 MiB; nullopt after the form's message
// for a file that cannot be opened, with the system's reason.
std::optional<std::string> readInput(CliEnvironment& env, const std::string& path);

// The separator the user's spreadsheet expects: ";" where decimals are
// written with a comma.
char csvSeparatorFor(const CliEnvironment& env);
// `separator` is ",", ";" or a tab ("t" or the character itself); another
// is refused before anything is read.
int exportCommand(CliEnvironment& env, const std::string& file, const std::string& out,
                  const std::optional<std::string>& separator);
// From such a CSV table (its header names the separator) or the JSON of
// `show --json`, in UTF-8 or else Windows-1252; nothing is written when
// anything cannot be taken, nor, unless `partial`, when the input lacks a
// slot or setting that a saved configuration holds.
int importCommand(CliEnvironment& env, const std::string& in, const std::string& out, bool partial);

}  // namespace harvelin::cli
