#include "model/win1252.h"

#include <array>
#include <cstdint>
#include <utility>

namespace harvelin {

namespace {

// Code points of bytes 0x80..0x9F; the others equal their byte value.
constexpr std::array<char32_t, 32> HighTable = {
    0x20AC, 0x0081, 0x201A, 0x0192, 0x201E, 0x2026, 0x2020, 0x2021, 0x02C6, 0x2030, 0x0160,
    0x2039, 0x0152, 0x008D, 0x017D, 0x008F, 0x0090, 0x2018, 0x2019, 0x201C, 0x201D, 0x2022,
    0x2013, 0x2014, 0x02DC, 0x2122, 0x0161, 0x203A, 0x0153, 0x009D, 0x017E, 0x0178,
};

std::optional<unsigned char> byteFor(char32_t cp)
{
    if (cp < 0x80 || (cp >= 0xA0 && cp <= 0xFF))
        return static_cast<unsigned char>(cp);
    for (std::size_t i = 0; i < HighTable.size(); ++i)
        if (HighTable[i] == cp)
            return static_cast<unsigned char>(0x80 + i);
    return std::nullopt;
}

void appendUtf8(std::string& out, char32_t cp)
{
    if (cp < 0x80) {
        out += static_cast<char>(cp);
    } else if (cp < 0x800) {
        out += static_cast<char>(0xC0 | (cp >> 6));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    } else {
        out += static_cast<char>(0xE0 | (cp >> 12));
        out += static_cast<char>(0x80 | ((cp >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (cp & 0x3F));
    }
}

// The code point of the UTF-8 sequence at `i` and its length; nullopt for a
// malformed sequence (overlong forms, surrogates and values beyond U+10FFFF
// included).
std::optional<std::pair<char32_t, std::size_t>> decodeAt(std::string_view utf8, std::size_t i)
{
    const auto lead = static_cast<unsigned char>(utf8[i]);
    char32_t cp = 0;
    std::size_t len = 0;
    char32_t least = 0;
    if (lead < 0x80) {
        return std::pair<char32_t, std::size_t>{lead, 1};
    } else if ((lead & 0xE0) == 0xC0) {
        cp = lead & 0x1F;
        len = 2;
        least = 0x80;
    } else if ((lead & 0xF0) == 0xE0) {
        cp = lead & 0x0F;
        len = 3;
        least = 0x800;
    } else if ((lead & 0xF8) == 0xF0) {
        cp = lead & 0x07;
        len = 4;
        least = 0x10000;
    } else {
        return std::nullopt;
    }
    if (i + len > utf8.size())
        return std::nullopt;
    for (std::size_t k = 1; k < len; ++k) {
        const auto cont = static_cast<unsigned char>(utf8[i + k]);
        if ((cont & 0xC0) != 0x80)
            return std::nullopt;
        cp = (cp << 6) | (cont & 0x3F);
    }
    if (cp < least || cp > 0x10FFFF || (cp >= 0xD800 && cp <= 0xDFFF))
        return std::nullopt;
    return std::pair<char32_t, std::size_t>{cp, len};
}

}  // namespace

std::optional<std::string> utf8ToWin1252(std::string_view utf8)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto decoded = decodeAt(utf8, i);
        if (!decoded)
            return std::nullopt;
        const auto byte = byteFor(decoded->first);
        if (!byte)
            return std::nullopt;
        out += static_cast<char>(*byte);
        i += decoded->second;
    }
    return out;
}

bool isUtf8BeyondAscii(std::string_view bytes)
{
    bool beyondAscii = false;
    for (std::size_t i = 0; i < bytes.size();) {
        const auto decoded = decodeAt(bytes, i);
        if (!decoded)
            return false;
        beyondAscii = beyondAscii || decoded->second > 1;
        i += decoded->second;
    }
    return beyondAscii;
}

bool isUtf8(std::string_view bytes)
{
    for (std::size_t i = 0; i < bytes.size();) {
        const auto decoded = decodeAt(bytes, i);
        if (!decoded)
            return false;
        i += decoded->second;
    }
    return true;
}

std::optional<std::size_t> firstByteBesideUtf8(std::string_view bytes)
{
    bool beyondAscii = false;
    std::optional<std::size_t> notUtf8;
    for (std::size_t i = 0; i < bytes.size() && !(beyondAscii && notUtf8);) {
        const auto decoded = decodeAt(bytes, i);
        if (!decoded) {
            if (!notUtf8)
                notUtf8 = i;
            ++i;
            continue;
        }
        beyondAscii = beyondAscii || decoded->second > 1;
        i += decoded->second;
    }
    return beyondAscii ? notUtf8 : std::nullopt;
}

std::string utf8ToWin1252Replacing(std::string_view utf8, bool& replaced)
{
    std::string out;
    out.reserve(utf8.size());
    for (std::size_t i = 0; i < utf8.size();) {
        const auto decoded = decodeAt(utf8, i);
        const auto byte = decoded ? byteFor(decoded->first) : std::nullopt;
        if (byte) {
            out += static_cast<char>(*byte);
        } else {
            out += '?';
            replaced = true;
        }
        i += decoded ? decoded->second : 1;
    }
    return out;
}

std::string win1252(std::string_view utf8)
{
    return utf8ToWin1252(utf8).value_or(std::string(utf8));
}

std::string win1252ToUtf8(std::string_view bytes)
{
    std::string out;
    out.reserve(bytes.size() + bytes.size() / 4);
    for (const char c : bytes) {
        const auto b = static_cast<unsigned char>(c);
        appendUtf8(out, b >= 0x80 && b < 0xA0 ? HighTable[b - 0x80] : static_cast<char32_t>(b));
    }
    return out;
}

}  // namespace harvelin
