// harvelin-cli's arguments, as any words: every run ends with one of the
// documented exit statuses, and only a success may stay silent on standard
// error. The pager is simulated on virtual time; files are made only in a
// scratch directory of this process, so names with a path are not tried.
#include <unistd.h>

#include <cstdint>
#include <filesystem>
#include <sstream>
#include <string>
#include <vector>

#include "cli/cli.h"
#include "fuzz_dialog.h"
#include "sim_backend.h"

namespace {

std::filesystem::path scratchDirectory()
{
    static const std::filesystem::path dir = [] {
        std::filesystem::path d = std::filesystem::temp_directory_path() /
                                  ("harvelin-cli-fuzz-" + std::to_string(static_cast<long>(::getpid())));
        std::filesystem::create_directories(d);
        return d;
    }();
    return dir;
}

// The command runs in the scratch directory; the fuzzer's own relative
// paths (corpus, findings) stay valid around it.
class InDirectory {
public:
    explicit InDirectory(const std::filesystem::path& dir) : back_(std::filesystem::current_path())
    {
        std::filesystem::current_path(dir);
    }
    ~InDirectory() { std::filesystem::current_path(back_); }
    InDirectory(const InDirectory&) = delete;
    InDirectory& operator=(const InDirectory&) = delete;

private:
    std::filesystem::path back_;
};

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin;
    const std::filesystem::path dir = scratchDirectory();

    // Words separated by zero bytes.
    std::vector<std::string> words{"harvelin-cli"};
    std::string word;
    for (std::size_t i = 0; i <= size; ++i) {
        if (i == size || data[i] == 0) {
            words.push_back(word);
            word.clear();
        } else {
            word += static_cast<char>(data[i]);
        }
    }
    // A series (--each) waits for pager after pager until Ctrl-C, which
    // never comes here.
    for (const std::string& w : words)
        if (w.find('/') != std::string::npos || w == "." || w == ".." || w == "--each" || words.size() > 12)
            return 0;
    std::vector<const char*> argv;
    for (const std::string& w : words)
        argv.push_back(w.c_str());

    VirtualClock clock;
    sim::SimBackend backend(clock);
    backend.attachPager("ttyUSB0");
    std::ostringstream out;
    std::ostringstream err;
    CliEnvironment env{backend,
                       clock,
                       [] { return PortTable::fromPaths({"ttyS0", "ttyUSB0"}); },
                       [&backend]() -> std::optional<std::string> {
                           backend.attachPager("sim0");
                           return "sim0";
                       },
                       out,
                       err,
                       false,
                       {},
                       '.',
                       nullptr,
                       false,
                       "de_DE.UTF-8"};
    int status = 0;
    {
        const InDirectory scratch(dir);
        status = runCli(static_cast<int>(argv.size()), argv.data(), env);
    }
    FUZZ_CHECK(status >= exitcode::Success && status <= exitcode::NoPager);
    if (status != exitcode::Success)
        FUZZ_CHECK(!err.str().empty() || !out.str().empty());

    std::error_code ec;
    for (const auto& entry : std::filesystem::directory_iterator(dir, ec))
        std::filesystem::remove_all(entry.path(), ec);
    return 0;
}
