#pragma once

#include <cstddef>
#include <functional>
#include <string>
#include <string_view>

#include "model/pager_image.h"

namespace harvelin {

// Everything a ".pag" file keeps: the image and the settings that live only
// in the form. Texts are Windows-1252 bytes.
struct PagerConfiguration {
    PagerImage image;
    std::string pagerName;
    std::string remoteDeleteText;
    bool battery = false;
    bool buzzer = false;
    bool remoteDelete = false;
};

// Where bytes go. False: the bytes could not be taken (disk full, medium
// removed), and nothing more should be written.
class ByteSink {
public:
    virtual ~ByteSink() = default;
    virtual bool write(std::string_view bytes) = 0;
};

// The pager data file: 53 text lines, each closed by CR LF on every system,
// so a file moves between machines unchanged.
class PagerDataFile {
public:
    // What the reader keeps of the form-held texts: what the form allows.
    static constexpr std::size_t PagerNameMax = 14;
    static constexpr std::size_t RemoteDeleteTextMax = 16;
    // A line is at most this long with its line feed; longer ones are skipped.
    static constexpr std::size_t MaxLineLength = 127;

    // The whole file, byte for byte.
    static std::string format(const PagerConfiguration& config);
    // Writes the file line by line into `sink`; false as soon as the sink
    // refuses.
    static bool write(const PagerConfiguration& config, ByteSink& sink);

    // Applies every line of `bytes` onto `config`. Nothing is cleared first:
    // what the file does not mention keeps its value. CR LF and bare LF line
    // ends read the same.
    static void parse(std::string_view bytes, PagerConfiguration& config);
    // One line, without its line end; `hasLineFeed` tells whether one closed it.
    static void applyLine(std::string_view line, bool hasLineFeed, PagerConfiguration& config);

    // Splits bytes that arrive in pieces into lines and applies them. Holds at
    // most one line's worth of bytes, however large the input.
    class LineReader {
    public:
        explicit LineReader(PagerConfiguration& config) : config_(config) {}
        void feed(std::string_view bytes);
        // Applies a last line that no line feed closed.
        void finish();

    private:
        void endLine(bool hasLineFeed);

        PagerConfiguration& config_;
        std::string line_;
        std::size_t length_ = 0;  // characters of the line so far, even beyond what is kept
    };

    // Reads the file at `path` (UTF-8) onto `config`. On failure `config` is
    // unchanged and `error` says why, in German, as Windows-1252 bytes.
    static bool load(const std::string& path, PagerConfiguration& config, std::string& error);

    // Called for every line on its way to the file; tests put a failing sink
    // in between. The default passes the line on.
    using LineFilter = std::function<bool(ByteSink& file, std::string_view line)>;

    // Writes the file at `path` so that it holds either its previous contents
    // or the whole new file, never a part: the new file is written beside the
    // old one and takes its place only when it is complete.
    static bool save(const std::string& path, const PagerConfiguration& config, std::string& error,
                     const LineFilter& filter = {});
};

}  // namespace harvelin
