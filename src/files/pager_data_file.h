#pragma once

#include <bitset>
#include <cstddef>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

#include "model/configuration.h"
#include "model/configuration_rule.h"
#include "model/coverage.h"

namespace harvelin {

// Whether two configurations would be saved as the same file.
bool sameConfiguration(const PagerConfiguration& a, const PagerConfiguration& b);

// Why a file is refused: the first line that breaks the rule of what a
// configuration may hold.
struct FileProblem {
    std::size_t line;  // from 1
    Problem problem;

    // In the language chosen, with the file's name: "kueche.pag, line 12:
    // identity byte 256 is not a number from 0 to 255", in UTF-8 like the
    // name.
    std::string describe(const std::string& file) const;
    // Without it: "Zeile 12: Rufknopf-Byte "256" ist keine Zahl von 0 bis
    // 255" (Windows-1252).
    std::string describe() const;
};

// What reading a file found beyond the configuration itself.
struct LoadReport {
    std::optional<FileProblem> problem;  // refused: a line breaks the rule
    FileCoverage coverage;
    bool notConfiguration = false;   // refused: no line began with a key
    bool readAsUtf8 = false;         // the file was UTF-8, not Windows-1252
    bool replacedCharacters = false; // characters without a Windows-1252 byte became "?"
};

// Who named a file that is written. The user's own file may be a symbolic
// link to the file it stands for, and is written through it. A name the tool
// made up (a backup, the ".partial" file beside the user's, the files of a
// series) is never written through a link: whoever could plant one there
// would have the tool overwrite a file of their choosing.
enum class FileNaming { ByUser, MadeUp };

// Where bytes go. False: the bytes could not be taken (disk full, medium
// removed), and nothing more should be written.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(std::string_view bytes) = 0;
};

// How PagerDataFile::save writes a file.
struct SaveOptions {
    FileNaming naming = FileNaming::ByUser;
    const FileCoverage* only = nullptr;  // writes only these lines, as PagerDataFile::format does
    // Called for every line on its way to the file; tests put a failing sink
    // in between. None passes the line on.
    std::function<bool(ByteSink& file, std::string_view line)> filter;
};

// The pager data file: 53 text lines, each closed by CR LF on every system,
// so a file moves between machines unchanged.
class PagerDataFile {
public:
    // A line is at most this long with its line feed; a longer line that
    // holds a key is refused.
    static constexpr std::size_t MaxLineLength = 127;
    // A saved configuration is about 2 KB; anything much larger is not one,
    // and reading it whole would only cost memory.
    static constexpr std::size_t MaxFileBytes = 64 * 1024;

    // The whole file, byte for byte. With `only`, just the lines it marks,
    // in their usual order: what an incomplete read-out really got. Such a
    // file reads like any file that lacks lines; what it leaves out keeps
    // the reader's value.
    static std::string format(const PagerConfiguration& config, const FileCoverage* only = nullptr);
    // Writes the file line by line into `sink`; false as soon as the sink
    // refuses.
    static bool write(const PagerConfiguration& config, ByteSink& sink, const FileCoverage* only = nullptr);

    // Applies the lines of `bytes` onto `config`, up to the first line that
    // breaks the rule of what a configuration may hold, and returns that
    // line; a caller that gets one must not use `config`. Nothing is cleared
    // first: what the file does not mention keeps its value. CR LF and bare
    // LF line ends read the same. Lines that hold no key are no part of the
    // configuration and are passed over.
    static std::optional<FileProblem> parse(std::string_view bytes, PagerConfiguration& config,
                                            FileCoverage* coverage = nullptr);
    // One line, without its line end; `hasLineFeed` tells whether one closed it.
    // A line is read by the key it begins with; only a line that begins with
    // no key is read by the first key of the fixed order found anywhere in it.
    // A line that breaks the rule changes nothing and says why. A slot or
    // setting that `coverage` has seen already is given twice.
    static std::optional<Problem> applyLine(std::string_view line, bool hasLineFeed, PagerConfiguration& config,
                                            FileCoverage* coverage = nullptr);

    // Splits bytes that arrive in pieces into lines and applies them. Holds at
    // most one line's worth of bytes, however large the input.
    class LineReader {
    public:
        explicit LineReader(PagerConfiguration& config, FileCoverage* coverage = nullptr)
            : config_(config), coverage_(coverage)
        {
        }
        // After a line that breaks the rule, nothing more is applied.
        void feed(std::string_view bytes);
        // Applies a last line that no line feed closed.
        void finish();
        const std::optional<FileProblem>& problem() const { return problem_; }

    private:
        void endLine(bool hasLineFeed);

        PagerConfiguration& config_;
        FileCoverage* coverage_;
        FileCoverage own_;  // when the caller keeps none: slots given twice are still found
        std::string line_;
        std::size_t length_ = 0;  // characters of the line so far, even beyond what is kept
        std::size_t lineNumber_ = 0;
        std::optional<FileProblem> problem_;
    };

    // Reads a whole file's bytes onto `config`. A file in UTF-8 is converted
    // to Windows-1252; a file that holds no UTF-8 character beyond ASCII is
    // taken as it is. A file that mixes the two, or has a line that breaks
    // the rule, is refused as a whole (`report.problem` names the line), and
    // so is one that holds no configuration (`report.notConfiguration`); then
    // `config` is unchanged.
    static bool read(std::string_view bytes, PagerConfiguration& config, LoadReport& report);

    // Reads the file at `path` (a UTF-8 path) onto `config`, as read() does.
    // Only a regular file of at most MaxFileBytes is read. On failure
    // `config` is unchanged and either `error` says why, in the language
    // chosen, as Windows-1252 bytes, or `report.notConfiguration` is set.
    static bool load(const std::string& path, PagerConfiguration& config, std::string& error,
                     LoadReport* report = nullptr);

    // Writes the file at `path` so that it holds either its previous contents
    // or the whole new file, never a part: the new file is written beside the
    // old one and takes its place only when it is complete.
    static bool save(const std::string& path, const PagerConfiguration& config, std::string& error,
                     const SaveOptions& options = {});
};

}  // namespace harvelin
