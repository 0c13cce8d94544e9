#include "model/conversions.h"

#include <cstdio>

namespace harvelin {

namespace {

bool isSpace(char c)
{
    return c == ' ' || c == '\t' || c == '\n' || c == '\v' || c == '\f' || c == '\r';
}

bool isDigit(char c) { return c >= '0' && c <= '9'; }

}  // namespace

std::uint8_t numberFromText(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        negative = text[i] == '-';
        ++i;
    }
    // Only the low 8 bits are kept, so the value is accumulated modulo 256;
    // this gives the same byte as a full conversion and cannot overflow.
    unsigned value = 0;
    while (i < text.size() && isDigit(text[i])) {
        value = (value * 10 + static_cast<unsigned>(text[i] - '0')) & 0xFFu;
        ++i;
    }
    if (negative)
        value = (256u - value) & 0xFFu;
    return static_cast<std::uint8_t>(value);
}

std::uint8_t numberAt(std::string_view text, std::size_t pos)
{
    if (pos >= text.size())
        return 0;
    return numberFromText(text.substr(pos));
}

double decimalFromText(std::string_view text)
{
    std::size_t i = 0;
    while (i < text.size() && isSpace(text[i]))
        ++i;
    double sign = 1.0;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) {
        sign = text[i] == '-' ? -1.0 : 1.0;
        ++i;
    }
    double value = 0.0;
    while (i < text.size() && isDigit(text[i]))
        value = value * 10.0 + (text[i++] - '0');
    if (i < text.size() && text[i] == '.') {
        ++i;
        double scale = 0.1;
        while (i < text.size() && isDigit(text[i])) {
            value += (text[i++] - '0') * scale;
            scale /= 10.0;
        }
    }
    return sign * value;
}

std::string numberToText(unsigned value) { return std::to_string(value); }

std::string idColumnText(std::uint32_t buttonId, std::uint8_t suffix)
{
    char buf[24];
    std::snprintf(buf, sizeof buf, "%8u%1u", static_cast<unsigned>(buttonId), static_cast<unsigned>(suffix));
    return buf;
}

std::string threeDigits(unsigned value)
{
    char buf[16];
    std::snprintf(buf, sizeof buf, "%03u", value);
    return buf;
}

namespace {

bool unassignedInWin1252(unsigned char c) { return c == 0x81 || c == 0x8D || c == 0x8F || c == 0x90 || c == 0x9D; }

}  // namespace

std::string escapedText(std::string_view bytes)
{
    std::string out;
    for (const char ch : bytes) {
        const auto c = static_cast<unsigned char>(ch);
        switch (c) {
        case '\r': out += "\\r"; continue;
        case '\n': out += "\\n"; continue;
        case '\t': out += "\\t"; continue;
        case '\\': out += "\\\\"; continue;
        default: break;
        }
        if (c < 0x20 || c == 0x7F || unassignedInWin1252(c)) {
            char buf[8];
            std::snprintf(buf, sizeof buf, "\\x%02X", c);
            out += buf;
        } else {
            out += ch;
        }
    }
    return out;
}

}  // namespace harvelin
