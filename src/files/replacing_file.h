#pragma once

#include <cstddef>
#include <memory>
#include <optional>
#include <string>
#include <string_view>

#include "files/pager_data_file.h"

namespace harvelin {

// A file that is written under a temporary name in the same directory as its
// target and replaces the target only on commit(), after its bytes have
// reached the disk. Until then the old file is untouched; a file that is
// never committed is removed. Paths are UTF-8. Error texts are in the
// language chosen, as Windows-1252 bytes, for the user.
// Only a regular file or a missing one is ever replaced: a device node, a
// FIFO, a folder or a link that points nowhere is refused by create(). A
// target the user named may be a link to a regular file, which is then
// replaced; a name the tool made up that is a link at all is refused.
class ReplacingFile : public ByteSink {
public:
    explicit ReplacingFile(std::string targetPath, FileNaming naming = FileNaming::ByUser);
    ~ReplacingFile() override;
    ReplacingFile(const ReplacingFile&) = delete;
    ReplacingFile& operator=(const ReplacingFile&) = delete;

    // Creates the temporary file.
    bool create();
    bool write(std::string_view bytes) override;
    // Flushes the bytes to the disk and puts the file in place of the target.
    bool commit();
    // Removes the temporary file; the target stays as it was.
    void discard();

    const std::string& error() const { return error_; }

    struct Impl;

private:
    std::string target_;
    FileNaming naming_;
    std::string error_;
    std::unique_ptr<Impl> impl_;
};

// A file opened for reading in binary, closed on destruction.
class InputFile {
public:
    InputFile();
    ~InputFile();
    InputFile(const InputFile&) = delete;
    InputFile& operator=(const InputFile&) = delete;

    // Opens only a regular file of at most `maxBytes`: a device, a FIFO or a
    // folder is refused before it is opened, so reading never blocks or
    // disturbs a serial line.
    bool open(const std::string& path, std::size_t maxBytes);
    // Up to `size` bytes; 0 at the end of the file; nullopt on a read error.
    std::optional<std::size_t> read(char* buffer, std::size_t size);

    const std::string& error() const { return error_; }

    struct Impl;

private:
    std::string error_;
    std::unique_ptr<Impl> impl_;
};

// Reasons that the file code of every system gives in the same words.
std::string notRegularFileReason();
std::string directoryReason();
std::string danglingLinkReason();
std::string madeUpNameIsLinkReason();
std::string tooLargeReason(std::size_t maxBytes);

}  // namespace harvelin
