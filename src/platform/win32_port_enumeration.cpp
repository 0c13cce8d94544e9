// On Windows the search tries the COM ports the system lists, under their
// own numbers: the serial devices the drivers registered (SERIALCOMM), the
// DOS device names (QueryDosDevice) and the Ports class of the device
// manager (SetupAPI), which also gives a USB adapter's description. A port
// that is in none of them is not tried, so absent ports cost nothing.

#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>
// The device class GUIDs are defined here, not taken from a library.
#include <initguid.h>
#include <devguid.h>
#include <setupapi.h>

#include <string>
#include <vector>

#include "model/win1252.h"
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

// A description for the core's single-byte texts.
std::string describe(const std::wstring& text)
{
    bool replaced = false;
    return utf8ToWin1252Replacing(utf8FromWide(text.c_str(), static_cast<int>(text.size())), replaced);
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

std::wstring deviceProperty(HDEVINFO devices, SP_DEVINFO_DATA& device, DWORD property)
{
    wchar_t text[256] = {};
    DWORD type = 0;
    if (!::SetupDiGetDeviceRegistryPropertyW(devices, &device, property, &type, reinterpret_cast<BYTE*>(text),
                                             sizeof text - sizeof(wchar_t), nullptr) ||
        type != REG_SZ)
        return {};
    return text;
}

// The ports the device manager shows, each with what it calls the device
// ("USB Serial Port"), found by the port name the device was given. The
// Ports class holds the printer ports as well; their names are left out
// with all other names that are not COM ports.
void readPortsClass(std::vector<ListedPort>& listed)
{
    const HDEVINFO devices = ::SetupDiGetClassDevsW(&GUID_DEVCLASS_PORTS, nullptr, nullptr, DIGCF_PRESENT);
    if (devices == INVALID_HANDLE_VALUE)
        return;
    SP_DEVINFO_DATA device{};
    device.cbSize = sizeof device;
    for (DWORD i = 0; ::SetupDiEnumDeviceInfo(devices, i, &device); ++i) {
        const HKEY key = ::SetupDiOpenDevRegKey(devices, &device, DICS_FLAG_GLOBAL, 0, DIREG_DEV, KEY_QUERY_VALUE);
        if (key == INVALID_HANDLE_VALUE)
            continue;
        wchar_t name[64];
        DWORD nameBytes = sizeof name;
        DWORD type = 0;
        const LONG got =
            ::RegQueryValueExW(key, L"PortName", nullptr, &type, reinterpret_cast<BYTE*>(name), &nameBytes);
        ::RegCloseKey(key);
        if (got != ERROR_SUCCESS || type != REG_SZ)
            continue;
        std::wstring description = deviceProperty(devices, device, SPDRP_DEVICEDESC);
        if (description.empty())
            description = deviceProperty(devices, device, SPDRP_FRIENDLYNAME);
        if (description.empty())
            description = deviceProperty(devices, device, SPDRP_MFG);
        listed.push_back({utf8FromWide(name, static_cast<int>(nameBytes / sizeof(wchar_t))), describe(description)});
    }
    ::SetupDiDestroyDeviceInfoList(devices);
}

}  // namespace

PortTable systemPortTable()
{
    std::vector<ListedPort> listed;
    // Descriptions first: the table keeps the first one given for a port.
    readPortsClass(listed);
    const bool serialComm = readSerialComm(listed);
    const bool dosDevices = readDosDevices(listed);
    // Neither list could be read (a policy that closes the registry and the
    // object namespace, say): the search also tries COM1..COM30, present or
    // not, since a failed open of an absent port costs less than a pager
    // that is not found. The Ports class alone is not enough to go by: it
    // leaves out ports that belong to another class of device, such as a
    // modem's.
    if (!serialComm && !dosDevices) {
        const PortTable fixed = PortTable::windowsComPorts();
        for (const PortEntry& port : fixed.entries())
            listed.push_back({port.label, {}});
    }
    return PortTable::listedComPorts(listed);
}

}  // namespace harvelin
