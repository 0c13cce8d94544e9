#include "cli/win32_console_output.h"

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <iostream>
#include <string_view>

namespace harvelin {

namespace {

// A console takes its text in pieces of this many characters at most; more
// held than this is written without waiting for the line's end.
constexpr std::size_t ChunkChars = 4096;

// How many bytes of `text` are whole UTF-8 characters: a lead byte at the
// end with fewer continuation bytes behind it than it announces is a
// character cut off. Bytes that are no UTF-8 at all count as whole; the
// conversion shows them as U+FFFD.
std::size_t wholeCharacters(std::string_view text)
{
    std::size_t start = text.size();
    std::size_t continuation = 0;
    while (start > 0 && continuation < 3 && (static_cast<unsigned char>(text[start - 1]) & 0xC0) == 0x80) {
        --start;
        ++continuation;
    }
    if (start == 0)
        return text.size();
    const auto lead = static_cast<unsigned char>(text[start - 1]);
    const std::size_t length = lead >= 0xF0 ? 4 : lead >= 0xE0 ? 3 : lead >= 0xC0 ? 2 : 1;
    return length > continuation + 1 ? start - 1 : text.size();
}

std::wstring utf16(std::string_view utf8)
{
    if (utf8.empty())
        return {};
    const int n = ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), nullptr, 0);
    std::wstring wide(static_cast<std::size_t>(std::max(n, 0)), L'\0');
    if (n > 0)
        ::MultiByteToWideChar(CP_UTF8, 0, utf8.data(), static_cast<int>(utf8.size()), wide.data(), n);
    return wide;
}

// The standard handle `which` where it is a console; nullptr otherwise.
HANDLE consoleOf(DWORD which)
{
    const HANDLE h = ::GetStdHandle(which);
    DWORD mode = 0;
    return h != nullptr && h != INVALID_HANDLE_VALUE && ::GetConsoleMode(h, &mode) ? h : nullptr;
}

}  // namespace

ConsoleBuffer::ConsoleBuffer(void* console) : console_(console) {}

ConsoleBuffer::~ConsoleBuffer() { write(true); }

bool ConsoleBuffer::write(bool all)
{
    const std::size_t whole = all ? pending_.size() : wholeCharacters(pending_);
    const std::wstring text = utf16(std::string_view(pending_).substr(0, whole));
    pending_.erase(0, whole);
    for (std::size_t done = 0; done < text.size();) {
        DWORD written = 0;
        const auto chunk = static_cast<DWORD>(std::min(text.size() - done, ChunkChars));
        if (!::WriteConsoleW(console_, text.data() + done, chunk, &written, nullptr) || written == 0)
            return false;
        done += written;
    }
    return true;
}

bool ConsoleBuffer::writeIfDue()
{
    const bool due = pending_.size() >= ChunkChars || pending_.find('\n') != std::string::npos;
    return !due || write(false);
}

ConsoleBuffer::int_type ConsoleBuffer::overflow(int_type c)
{
    if (traits_type::eq_int_type(c, traits_type::eof()))
        return traits_type::not_eof(c);
    pending_ += traits_type::to_char_type(c);
    return writeIfDue() ? c : traits_type::eof();
}

std::streamsize ConsoleBuffer::xsputn(const char* s, std::streamsize n)
{
    pending_.append(s, static_cast<std::size_t>(n));
    return writeIfDue() ? n : 0;
}

int ConsoleBuffer::sync() { return write(false) ? 0 : -1; }

ConsoleStandardStreams::ConsoleStandardStreams()
{
    if (const HANDLE h = consoleOf(STD_OUTPUT_HANDLE)) {
        std::cout.flush();
        out_ = std::make_unique<ConsoleBuffer>(h);
        ownOut_ = std::cout.rdbuf(out_.get());
    }
    if (const HANDLE h = consoleOf(STD_ERROR_HANDLE)) {
        std::cerr.flush();
        err_ = std::make_unique<ConsoleBuffer>(h);
        ownErr_ = std::cerr.rdbuf(err_.get());
    }
}

ConsoleStandardStreams::~ConsoleStandardStreams()
{
    if (out_) {
        std::cout.flush();
        std::cout.rdbuf(ownOut_);
    }
    if (err_) {
        std::cerr.flush();
        std::cerr.rdbuf(ownErr_);
    }
}

}  // namespace harvelin
