// A .pag file on disk: read whole, within its size limit, before a line is
// taken; written into a file that replaces the old one only once complete.
#include <array>
#include <string>

#include "files/pager_data_file.h"
#include "files/replacing_file.h"
#include "files/texts.h"

namespace harvelin {

namespace {

// Lines pass through a filter on their way to the sink.
class FilteredSink : public ByteSink {
public:
    FilteredSink(ByteSink& next, const decltype(SaveOptions::filter)& filter) : next_(next), filter_(filter) {}
    bool write(std::string_view bytes) override { return filter_ ? filter_(next_, bytes) : next_.write(bytes); }

private:
    ByteSink& next_;
    const decltype(SaveOptions::filter)& filter_;
};

}  // namespace

bool PagerDataFile::load(const std::string& path, PagerConfiguration& config, std::string& error,
                         LoadReport* report)
{
    LoadReport unused;
    LoadReport& found = report ? *report : unused;
    found = LoadReport{};

    InputFile file;
    if (!file.open(path, MaxFileBytes)) {
        error = file.error();
        return false;
    }
    // The whole file, so its encoding can be judged before a line is read.
    std::string bytes;
    std::array<char, 4096> buffer;
    for (;;) {
        const auto got = file.read(buffer.data(), buffer.size());
        if (!got) {
            error = file.error();
            return false;
        }
        if (*got == 0)
            break;
        bytes.append(buffer.data(), *got);
        if (bytes.size() > MaxFileBytes) {
            error = tooLargeReason(MaxFileBytes);
            return false;
        }
    }

    if (read(bytes, config, found))
        return true;
    error = found.problem ? found.problem->describe() : std::string();
    return false;
}

bool PagerDataFile::save(const std::string& path, const PagerConfiguration& config, std::string& error,
                         const SaveOptions& options)
{
    ReplacingFile file(path, options.naming);
    if (!file.create()) {
        error = file.error();
        return false;
    }
    FilteredSink sink(file, options.filter);
    if (!write(config, sink, options.only)) {
        error = file.error().empty() ? std::string(localized(FilesText::WriteError)) : file.error();
        file.discard();
        return false;
    }
    if (!file.commit()) {
        error = file.error();
        return false;
    }
    return true;
}

}  // namespace harvelin
