#pragma once

// A series of pagers: every port of the port table waits for a pager,
// serves it, waits until it is taken off and goes on, each port on a thread
// of its own and none waiting for another (docs/series.md).

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "cli/cli.h"
#include "cli/session.h"

namespace harvelin::cli {

// How the pagers of a write series are named: each gets the file's name,
// or a name of a list, or one made from a pattern and a counter, or keeps
// the name it holds. The pagers of a series are numbered 1, 2, ...: number
// n gets a list's n-th name, or the pattern with the counter's n-th value.
class SeriesNaming {
public:
    enum class Kind : std::uint8_t { FromFile, List, Pattern, KeepOwn };

    SeriesNaming() = default;
    static SeriesNaming keepOwn();
    // One name per line (UTF-8 or else Windows-1252; LF or CR LF), each
    // checked by the rule of what a pager's name may hold. nullopt with
    // `why` ("line 3: ...") when a line breaks it or the list is empty.
    static std::optional<SeriesNaming> list(std::string_view bytes, std::string& why);
    // "Service {n:02}": {n} is the counter, {n:0W} the counter in W digits
    // (1 to 9), from `first` on. nullopt with `why` when the pattern holds
    // no {n} or another field, or its first name breaks the rule.
    static std::optional<SeriesNaming> pattern(std::string_view text, unsigned first, std::string& why);

    Kind kind() const { return kind_; }
    // How many pagers the naming has names for; none: as many as come.
    std::optional<unsigned> size() const;
    // The name that number `n` gets (Windows-1252); none for FromFile and
    // KeepOwn. For a pattern, nullopt with `why` when that name breaks the
    // rule.
    std::optional<std::string> nameFor(unsigned n, std::string& why) const;

private:
    Kind kind_ = Kind::FromFile;
    unsigned first_ = 1;  // the counter's value for the first pager
    std::vector<std::string> names_;
    std::string before_, after_;  // a pattern's text around {n}
    unsigned width_ = 0;          // {n:0W}; 0 for {n}
};

// What serving one pager came to.
struct PagerResult {
    bool ok = false;
    // "ok", "ok, verified", "ok NAME.pag", "failed: ...", "interrupted: ...".
    std::string result;
    // The fields that differ ("Platz 6: Meldetext; Pager-Name"), for the log.
    std::string differences;
    // The name the pager holds now, Windows-1252; empty when unknown.
    std::string name;
    // Not Success: the whole series ends after this pager with this status.
    int ends = exitcode::Success;

    static PagerResult failure(std::string result, int ends = exitcode::Success, std::string name = {})
    {
        PagerResult r;
        r.result = std::move(result);
        r.ends = ends;
        r.name = std::move(name);
        return r;
    }
};

// The pager at hand, as the command that serves it sees it.
struct SeriesPager {
    Session& session;
    // The port's: what is told on it goes out with the port's name.
    CliEnvironment& env;
    unsigned number;
    // The name it gets, Windows-1252; none: the command's own (the file's,
    // or the pager's own with KeepOwn).
    std::optional<std::string> name;
    // Names the step under way on the port's live line ("writing").
    std::function<void(const std::string& step)> step;
    // Puts the name the pager gets (Windows-1252) on the port's live line.
    std::function<void(const std::string& name)> named;
};

struct SeriesSettings {
    std::string log;  // CSV file every result is appended to; empty: none
    SeriesNaming naming;
    // The series ends once this many pagers are served well (with a list,
    // its length).
    std::optional<unsigned> count;
    // One live line per port on standard error, which takes cursor moves.
    bool live = false;
    // The word the series' live line uses for a pager served well: "written", "read".
    std::string done;
};

using ServePager = std::function<PagerResult(SeriesPager&)>;

// Runs the series on the ports of `probe` until Ctrl-C, the count reached or
// a result that ends it; prints a result line per pager and a summary. The
// exit status: Success when no pager failed.
int runSeries(CliEnvironment& env, Session& probe, const SeriesSettings& settings, const ServePager& serve);

}  // namespace harvelin::cli
