#include <gtest/gtest.h>

#include <windows.h>

#include <iostream>
#include <ostream>
#include <string>

#include "cli/win32_console_output.h"

namespace harvelin {
namespace {

// Line `row` of the console's screen buffer, without the blanks behind it.
std::wstring consoleLine(HANDLE screen, short row)
{
    wchar_t cells[80] = {};
    DWORD read = 0;
    ::ReadConsoleOutputCharacterW(screen, cells, 80, COORD{0, row}, &read);
    std::wstring line(cells, read);
    return line.substr(0, line.find_last_not_of(L' ') + 1);
}

// Umlauts reach a console as the characters written, whatever its code
// page, also when one is cut between two writes; standard output goes to
// the console this way only where it is one.
TEST(Win32ConsoleOutput, ConsoleShowsTheCharactersWrittenAndRedirectedOutputKeepsItsBytes)
{
    const HANDLE screen = ::CreateConsoleScreenBuffer(GENERIC_READ | GENERIC_WRITE, FILE_SHARE_READ | FILE_SHARE_WRITE,
                                                      nullptr, CONSOLE_TEXTMODE_BUFFER, nullptr);
    ASSERT_NE(screen, INVALID_HANDLE_VALUE) << "needs a console (under Wine: a terminal)";
    // A code page in which the UTF-8 bytes of "ü" would show as two signs.
    const UINT codePage = ::GetConsoleOutputCP();
    ::SetConsoleOutputCP(850);
    {
        ConsoleBuffer buffer(screen);
        std::ostream out(&buffer);
        out << "K\xC3" << std::flush << "\xBC" << "chenrufe\n";
        out << "St\xC3\xBC" "bchen 3 \xC3\x84\xC3\x96\xC3\x9C\xC3\x9F \xE2\x82\xAC" << std::flush;
    }

    // Standard output redirected to a file keeps its own buffer; where it is
    // the console, text goes there by ConsoleBuffer, until the streams are
    // given their buffers back.
    char folder[MAX_PATH];
    ASSERT_GT(::GetTempPathA(MAX_PATH, folder), 0u);
    const HANDLE file = ::CreateFileA((std::string(folder) + "harvelin-redirected.txt").c_str(), GENERIC_WRITE, 0,
                                      nullptr, CREATE_ALWAYS, FILE_FLAG_DELETE_ON_CLOSE, nullptr);
    ASSERT_NE(file, INVALID_HANDLE_VALUE);
    const HANDLE standardOutput = ::GetStdHandle(STD_OUTPUT_HANDLE);
    std::streambuf* const own = std::cout.rdbuf();
    ::SetStdHandle(STD_OUTPUT_HANDLE, file);
    {
        const ConsoleStandardStreams streams;
        EXPECT_EQ(std::cout.rdbuf(), own);
    }
    ::SetStdHandle(STD_OUTPUT_HANDLE, screen);
    {
        const ConsoleStandardStreams streams;
        EXPECT_NE(std::cout.rdbuf(), own);
        std::cout << "\n\xC3\x96" "ffnen" << std::flush;
    }
    EXPECT_EQ(std::cout.rdbuf(), own);
    ::SetStdHandle(STD_OUTPUT_HANDLE, standardOutput);
    ::CloseHandle(file);

    EXPECT_EQ(consoleLine(screen, 0), L"K\u00fcchenrufe");
    EXPECT_EQ(consoleLine(screen, 1), L"St\u00fcbchen 3 \u00c4\u00d6\u00dc\u00df \u20ac");
    EXPECT_EQ(consoleLine(screen, 2), L"\u00d6ffnen");
    ::SetConsoleOutputCP(codePage);
    ::CloseHandle(screen);
}

}  // namespace
}  // namespace harvelin
