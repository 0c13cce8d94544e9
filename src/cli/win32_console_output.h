#pragma once

#include <memory>
#include <streambuf>
#include <string>

namespace harvelin {

// Text for a Windows console, written as UTF-16 with WriteConsoleW: the
// console shows each character as it is, whatever its code page, where the
// UTF-8 bytes written to it would be read in that code page ("KÃ¼chenrufe",
// and every column behind it shifted). It takes UTF-8 and writes whole
// lines, and whatever it holds when flushed; a character cut between two
// writes waits for its rest.
class ConsoleBuffer final : public std::streambuf {
public:
    // `console`: a console's screen buffer (a HANDLE), which it does not own.
    explicit ConsoleBuffer(void* console);
    ~ConsoleBuffer() override;

    ConsoleBuffer(const ConsoleBuffer&) = delete;
    ConsoleBuffer& operator=(const ConsoleBuffer&) = delete;

protected:
    int_type overflow(int_type c) override;
    std::streamsize xsputn(const char* s, std::streamsize n) override;
    int sync() override;

private:
    // Writes what is held, up to the last whole character, or all of it.
    bool write(bool all);
    bool writeIfDue();

    void* console_;
    std::string pending_;
};

// While it lives, std::cout and std::cerr write through a ConsoleBuffer
// where standard output or standard error is a console; one redirected to a
// file or a pipe keeps its buffer and gets the UTF-8 bytes as they are.
class ConsoleStandardStreams {
public:
    ConsoleStandardStreams();
    // Flushes and gives each stream its own buffer back.
    ~ConsoleStandardStreams();

    ConsoleStandardStreams(const ConsoleStandardStreams&) = delete;
    ConsoleStandardStreams& operator=(const ConsoleStandardStreams&) = delete;

private:
    std::unique_ptr<ConsoleBuffer> out_;
    std::unique_ptr<ConsoleBuffer> err_;
    std::streambuf* ownOut_ = nullptr;
    std::streambuf* ownErr_ = nullptr;
};

}  // namespace harvelin
