#pragma once

// What a series writes: its CSV log, and the lines on the terminal, from the
// threads of all its ports.

#include <cerrno>
#include <cstring>
#include <filesystem>
#include <functional>
#include <mutex>
#include <ostream>
#include <streambuf>
#include <string>
#include <string_view>
#include <system_error>
#include <vector>

#ifdef _WIN32
#include <fcntl.h>
#include <io.h>
#include <sys/stat.h>
#else
#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>
#endif

#include "cli/session.h"

namespace harvelin::cli {

// Why a file of this type takes no log lines; empty for a regular file.
inline std::string logRefusal(std::filesystem::file_type type)
{
    using std::filesystem::file_type;
    switch (type) {
    case file_type::regular: return {};
    case file_type::directory: return said(CliText::LogIsFolder);
    case file_type::fifo: return said(CliText::LogIsFifo);
    case file_type::character:
    case file_type::block: return said(CliText::LogIsDevice);
    default: return said(CliText::LogIsNoFile);
    }
}

// The series' CSV log: lines appended to a regular file, made when missing.
// Anything else is refused before it is opened: a FIFO would hold the series
// until something reads it, and a device such as /dev/full or a folder keeps
// no lines.
class SeriesLog {
public:
    SeriesLog() = default;
    SeriesLog(const SeriesLog&) = delete;
    SeriesLog& operator=(const SeriesLog&) = delete;
    ~SeriesLog()
    {
#ifdef _WIN32
        if (fd_ >= 0)
            ::_close(fd_);
#else
        if (fd_ >= 0)
            ::close(fd_);
#endif
    }

    // Empty when the log is open, else why not; `fresh` when it holds nothing yet.
    std::string open(const std::string& path, bool& fresh)
    {
        std::error_code ec;
        const std::filesystem::file_status status = std::filesystem::status(nativePath(path), ec);
        if (std::filesystem::exists(status))
            if (std::string why = logRefusal(status.type()); !why.empty())
                return why;
#ifdef _WIN32
        const int fd = ::_wopen(nativePath(path).c_str(), _O_WRONLY | _O_APPEND | _O_CREAT | _O_BINARY | _O_NOINHERIT,
                                _S_IREAD | _S_IWRITE);
        struct _stat64 st {};
        const bool stated = fd >= 0 && ::_fstat64(fd, &st) == 0;
        const bool regular = stated && (st.st_mode & _S_IFMT) == _S_IFREG;
#else
        // Not blocking, whatever the name has become since the look above.
        const int fd = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_NONBLOCK | O_NOCTTY | O_CLOEXEC, 0666);
        struct stat st {};
        const bool stated = fd >= 0 && ::fstat(fd, &st) == 0;
        const bool regular = stated && S_ISREG(st.st_mode);
#endif
        if (fd < 0)
            return std::strerror(errno);
        fd_ = fd;
        if (!stated)
            return std::strerror(errno);
        if (!regular)
            return said(CliText::LogIsNoFile);
        fresh = st.st_size == 0;
        return {};
    }

    bool isOpen() const { return fd_ >= 0; }

    // Empty when every byte reached the file, else the system's reason.
    std::string append(std::string_view bytes)
    {
        while (!bytes.empty()) {
#ifdef _WIN32
            const int n = ::_write(fd_, bytes.data(), static_cast<unsigned>(bytes.size()));
#else
            const ssize_t n = ::write(fd_, bytes.data(), bytes.size());
#endif
            if (n < 0 && errno == EINTR)
                continue;
            if (n <= 0)
                return std::strerror(n < 0 ? errno : EIO);
            bytes.remove_prefix(static_cast<std::size_t>(n));
        }
        return {};
    }

private:
    int fd_ = -1;
};


// Everything a series prints, from any of its threads, each line whole. A
// result goes to standard output, a note to standard error. With `live`,
// standard error ends in a block of live lines (the series, then one per
// port) that is redrawn in place, below what was printed.
class SeriesScreen {
public:
    SeriesScreen(std::ostream& out, std::ostream& err, bool live, std::size_t ports)
        : out_(out), err_(err), live_(live), lines_(ports + 1)
    {
    }

    void result(const std::string& line) { print(out_, line); }
    void note(const std::string& line) { print(err_, line); }

    // Line 0 is the series', 1.. the ports'. `bell`: the terminal rings.
    void live(std::size_t line, std::string text, bool bell = false)
    {
        if (!live_)
            return;
        const std::lock_guard<std::mutex> hold(lock_);
        lines_[line] = std::move(text);
        clear();
        if (bell)
            err_ << '\a';
        draw();
    }

    // The live lines go; what was printed stays.
    void end()
    {
        const std::lock_guard<std::mutex> hold(lock_);
        clear();
        live_ = false;
    }

private:
    // The widest a live line may be without wrapping on a narrow terminal.
    static constexpr std::size_t LiveWidth = 79;

    void print(std::ostream& to, const std::string& line)
    {
        const std::lock_guard<std::mutex> hold(lock_);
        clear();
        to << line << '\n' << std::flush;
        draw();
    }

    void clear()
    {
        if (drawn_ == 0)
            return;
        // To the start of the block's first line, and everything below it gone.
        err_ << "\x1b[" << drawn_ << "F\x1b[J";
        drawn_ = 0;
    }

    void draw()
    {
        if (!live_)
            return;
        for (const std::string& line : lines_)
            err_ << cut(line) << '\n';
        err_ << std::flush;
        drawn_ = lines_.size();
    }

    // At most LiveWidth characters of UTF-8, ending in "…" when cut.
    static std::string cut(const std::string& line)
    {
        std::size_t characters = 0;
        for (std::size_t i = 0; i < line.size(); ++i) {
            if ((static_cast<unsigned char>(line[i]) & 0xC0) == 0x80)
                continue;
            if (++characters == LiveWidth)
                return line.substr(0, i) + "\u2026";
        }
        return line;
    }

    std::mutex lock_;
    std::ostream& out_;
    std::ostream& err_;
    bool live_;
    std::vector<std::string> lines_;
    std::size_t drawn_ = 0;
};

// A stream buffer that hands on each whole line it is given (without its
// newline; a carriage return ends nothing and is dropped), and what is left
// when it goes.
class LineRelay final : public std::streambuf {
public:
    explicit LineRelay(std::function<void(const std::string&)> each) : each_(std::move(each)) {}
    ~LineRelay() override
    {
        if (!pending_.empty())
            each_(pending_);
    }
    LineRelay(const LineRelay&) = delete;
    LineRelay& operator=(const LineRelay&) = delete;

protected:
    int_type overflow(int_type c) override
    {
        if (traits_type::eq_int_type(c, traits_type::eof()))
            return traits_type::not_eof(c);
        take(traits_type::to_char_type(c));
        return c;
    }
    std::streamsize xsputn(const char* s, std::streamsize n) override
    {
        for (std::streamsize i = 0; i < n; ++i)
            take(s[i]);
        return n;
    }

private:
    void take(char c)
    {
        if (c == '\n') {
            each_(pending_);
            pending_.clear();
        } else if (c != '\r') {
            pending_ += c;
        }
    }

    std::function<void(const std::string&)> each_;
    std::string pending_;
};

}  // namespace harvelin::cli
