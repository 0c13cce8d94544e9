#pragma once

#include <optional>
#include <string>

namespace harvelin::win {

// Texts cross here between the core's Windows-1252 bytes (and UTF-8 paths)
// and the wide strings of the Win32 API. The conversions go through Unicode
// with tables of our own, so nothing depends on the machine's code page.
std::wstring wideFromUtf8(const std::string& utf8);
std::string utf8FromWide(const std::wstring& text);
std::wstring wideFromBytes(const std::string& windows1252);
// None when the text holds a character that Windows-1252 lacks.
std::optional<std::string> bytesFromWide(const std::wstring& text);

}  // namespace harvelin::win
