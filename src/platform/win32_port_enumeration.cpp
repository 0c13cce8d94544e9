// On Windows the search tries the COM ports the system lists, under their
// own numbers: the serial devices the drivers registered (SERIALCOMM) and
// the DOS device names (QueryDosDevice). A port that is in neither is not
// tried, so absent ports cost nothing.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <string>
#include <vector>

#include "platform/port_enumeration.h"

namespace harvelin {

namespace {

// UTF-16 of the API to UTF-8; port names are plain ASCII either way.
std::string utf8FromWide(const wchar_t* text, int length)
{
    while (length > 0 && text[length - 1] == L'\0')
        --length;
    if (length <= 0)
        return {};
    const int bytes = ::WideCharToMultiByte(CP_UTF8, 0, text, length, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(bytes > 0 ? bytes : 0), '\0');
    if (bytes > 0)
        ::WideCharToMultiByte(CP_UTF8, 0, text, length, utf8.data(), bytes, nullptr, nullptr);
    return utf8;
}

// The port names under HARDWARE\DEVICEMAP\SERIALCOMM: one value per serial
// device a driver has started ("\Device\Serial0" = "COM1"). False when the
// list cannot be read.
bool readSerialComm(std::vector<ListedPort>& listed)
{
    HKEY key = nullptr;
    const LONG opened =
        ::RegOpenKeyExW(HKEY_LOCAL_MACHINE, L"HARDWARE\\DEVICEMAP\\SERIALCOMM", 0, KEY_QUERY_VALUE, &key);
    // Windows makes the key when the first serial device starts: without
    // it, the list is empty.
    if (opened == ERROR_FILE_NOT_FOUND)
        return true;
    if (opened != ERROR_SUCCESS)
        return false;
    for (DWORD i = 0;; ++i) {
        wchar_t device[256];
        DWORD deviceLength = 256;
        wchar_t name[64];
        DWORD nameBytes = sizeof name;
        DWORD type = 0;
        const LONG got = ::RegEnumValueW(key, i, device, &deviceLength, nullptr, &type,
                                         reinterpret_cast<BYTE*>(name), &nameBytes);
        if (got == ERROR_MORE_DATA)
            continue;  // longer than any port name
        if (got != ERROR_SUCCESS)
            break;
        if (type == REG_SZ)
            listed.push_back({utf8FromWide(name, static_cast<int>(nameBytes / sizeof(wchar_t))), {}});
    }
    ::RegCloseKey(key);
    return true;
}

// The DOS device names, COM ports among them: also those of drivers that
// leave SERIALCOMM alone. False when the list cannot be read.
bool readDosDevices(std::vector<ListedPort>& listed)
{
    std::vector<wchar_t> names(16384);
    DWORD length = 0;
    // The list has no size to ask for; it grows until it fits.
    while ((length = ::QueryDosDeviceW(nullptr, names.data(), static_cast<DWORD>(names.size()))) == 0) {
        if (::GetLastError() != ERROR_INSUFFICIENT_BUFFER || names.size() >= (std::size_t{1} << 24))
            return false;
        names.resize(names.size() * 2);
    }
    // Names one after the other, each ended by a NUL.
    for (DWORD at = 0; at < length && names[at] != L'\0';) {
        const std::wstring name(names.data() + at);
        at += static_cast<DWORD>(name.size()) + 1;
        if (name.size() > 3 && (name[0] | 0x20) == L'c' && (name[1] | 0x20) == L'o' && (name[2] | 0x20) == L'm')
            listed.push_back({utf8FromWide(name.c_str(), static_cast<int>(name.size())), {}});
    }
    return true;
}

}  // namespace

PortTable systemPortTable()
{
    std::vector<ListedPort> listed;
    const bool serialComm = readSerialComm(listed);
    const bool dosDevices = readDosDevices(listed);
    // Neither list could be read (a policy that closes the registry and the
    // object namespace, say): rather than miss the pager, the search also
    // tries COM1..COM30, present or not, as it did before it had the lists.
    if (!serialComm && !dosDevices) {
        const PortTable fixed = PortTable::windowsComPorts();
        for (const PortEntry& port : fixed.entries())
            listed.push_back({port.label, {}});
    }
    return PortTable::listedComPorts(listed);
}

}  // namespace harvelin
