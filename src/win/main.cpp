// Start-up of the Windows desktop program: the native form on the operations
// below it, one static executable.
//
//   harvelin.exe [--simulate] [--port COMn]... [--language de|en] [FILE.pag]
//
// The form and the usage speak the language --language names, else the one
// of Windows' user interface (German when it is neither).
//
// A file given is opened as "Datei öffnen" opens the one chosen, once the form
// shows: Explorer's "Öffnen" on a .pag comes this way.
//
// Three switches for the test under Wine are left out of the usage:
// --accessibility-report FILE and --accessibility-log FILE
// (win/accessibility_check.h), and --layout-report FILE [--layout-dpi N]
// (win/layout_check.h).

#include "win/windows_api.h"

#include <commctrl.h>
#include <objbase.h>
#include <shellapi.h>

#include <cwchar>
#include <initializer_list>
#include <memory>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "files/backups.h"
#include "local_pager.h"
#include "model/build_info.h"
#include "model/catalogue.h"
#include "model/win1252.h"
#include "platform/clock.h"
#include "platform/port_enumeration.h"
#include "platform/serial_backends.h"
#include "platform/system_language.h"
#include "ui/texts.h"
#include "win/accessibility_check.h"
#include "win/layout_check.h"
#include "win/win32_form.h"
#include "win/win32_text.h"

namespace {

// Held for the whole run, so that the installer and the uninstaller can tell
// that the form runs and wait until it is closed instead of replacing or
// removing half a program (packaging/windows/harvelin.nsi names it too).
// Local\: the installation is the user's own, and a form in another user's
// session runs another copy; docs/windows.md says more.
constexpr const wchar_t* FormRunningMutex = L"Local\\Harvelin.Form.Running";

std::wstring versionLine() { return L"Harvelin " + harvelin::win::wideFromUtf8(harvelin::versionText()); }

// A text of the form's catalogue, in the language chosen.
std::wstring text(harvelin::FormText id, std::initializer_list<std::string_view> arguments = {})
{
    return harvelin::win::wideFromBytes(harvelin::localized(id, arguments));
}

// What was typed, as the catalogue's arguments want it.
std::string bytesOf(const std::wstring& typed)
{
    bool replaced = false;
    return harvelin::utf8ToWin1252Replacing(harvelin::win::utf8FromWide(typed), replaced);
}

std::wstring usage() { return versionLine() + L"\n\n" + text(harvelin::FormText::WinUsage); }

struct Options {
    bool simulate = false;
    std::vector<std::string> ports;
    std::string file;  // to open at start (UTF-8); empty: none
    std::string accessibilityReport;  // UTF-8 paths; empty: none
    std::string accessibilityLog;
    std::string layoutReport;
    unsigned layoutDpi = 0;
};

// A file named relative to the folder the program was started in, as a
// whole path: the title and a later save name it the same way wherever the
// working folder goes.
std::wstring fullPath(const std::wstring& name)
{
    const DWORD size = ::GetFullPathNameW(name.c_str(), 0, nullptr, nullptr);
    if (size == 0)
        return name;
    std::wstring path(size, L'\0');
    const DWORD length = ::GetFullPathNameW(name.c_str(), size, path.data(), nullptr);
    if (length == 0 || length >= size)
        return name;
    path.resize(length);
    return path;
}

// The language --language names (also as --language=CODE), found before
// anything is said: nothing when none is named. An unknown code is named as
// it was given.
std::optional<std::wstring> languageAsked(int argc, wchar_t** argv)
{
    std::optional<std::wstring> asked;
    for (int i = 1; argv && i < argc; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--language" && i + 1 < argc)
            asked = argv[++i];
        else if (arg.rfind(L"--language=", 0) == 0)
            asked = arg.substr(11);
    }
    return asked;
}

// The command line speaks the language chosen, like the form. A wrong
// option is named in a box, as a window program has no console to print to.
std::optional<Options> parseOptions(int& status)
{
    int argc = 0;
    wchar_t** argv = ::CommandLineToArgvW(::GetCommandLineW(), &argc);
    Options options;
    std::optional<std::wstring> problem;
    bool answered = false;
    const std::optional<std::wstring> language = languageAsked(argc, argv);
    if (!language || !harvelin::chooseLanguage(harvelin::win::utf8FromWide(*language)))
        harvelin::chooseLanguage(harvelin::languageForSystem(harvelin::systemLanguageSetting()));
    if (language && harvelin::chosenLanguage() != harvelin::win::utf8FromWide(*language))
        problem = text(harvelin::FormText::LanguageNeedsCode) + L"\n\n" + usage();
    for (int i = 1; argv && i < argc && !problem && !answered; ++i) {
        const std::wstring arg = argv[i];
        if (arg == L"--language" && i + 1 < argc) {
            ++i;  // chosen above
        } else if (arg.rfind(L"--language=", 0) == 0) {
            // chosen above
        } else if (arg == L"--simulate") {
            options.simulate = true;
        } else if (arg == L"--port" && i + 1 < argc) {
            options.ports.push_back(harvelin::win::utf8FromWide(argv[++i]));
        } else if (arg.rfind(L"--port=", 0) == 0) {
            options.ports.push_back(harvelin::win::utf8FromWide(arg.substr(7)));
        } else if (arg == L"--accessibility-report" && i + 1 < argc) {
            options.accessibilityReport = harvelin::win::utf8FromWide(argv[++i]);
        } else if (arg == L"--accessibility-log" && i + 1 < argc) {
            options.accessibilityLog = harvelin::win::utf8FromWide(argv[++i]);
        } else if (arg == L"--layout-report" && i + 1 < argc) {
            options.layoutReport = harvelin::win::utf8FromWide(argv[++i]);
        } else if (arg == L"--layout-dpi" && i + 1 < argc) {
            options.layoutDpi = static_cast<unsigned>(std::wcstoul(argv[++i], nullptr, 10));
        } else if (arg == L"--help" || arg == L"-h" || arg == L"/?") {
            ::MessageBoxW(nullptr, usage().c_str(), L"harvelin", MB_OK);
            answered = true;
        } else if (arg == L"--version") {
            ::MessageBoxW(nullptr, versionLine().c_str(), L"harvelin", MB_OK);
            answered = true;
        } else if (arg == L"--port") {
            problem = text(harvelin::FormText::PortNeedsName);
        } else if (arg == L"--language") {
            problem = text(harvelin::FormText::LanguageNeedsCode);
        } else if (!arg.empty() && arg[0] != L'-' && arg != L"/?") {
            if (!options.file.empty())
                problem = text(harvelin::FormText::OneFileAtATime, {bytesOf(arg)}) + L"\n\n" + usage();
            options.file = harvelin::win::utf8FromWide(fullPath(arg));
        } else {
            problem = text(harvelin::FormText::UnknownOption, {bytesOf(arg)}) + L"\n\n" + usage();
        }
    }
    if (argv)
        ::LocalFree(argv);
    if (problem) {
        ::MessageBoxW(nullptr, problem->c_str(), L"harvelin", MB_OK | MB_ICONERROR);
        status = 2;
        return std::nullopt;
    }
    if (answered) {
        status = 0;
        return std::nullopt;
    }
    return options;
}

}  // namespace

int WINAPI wWinMain(HINSTANCE, HINSTANCE, PWSTR, int)
{
    // From the first moment, as even the usage box keeps harvelin.exe in
    // use. The handle stays open: the system closes it when the process ends.
    ::CreateMutexW(nullptr, FALSE, FormRunningMutex);

    int status = 0;
    const std::optional<Options> options = parseOptions(status);
    if (!options)
        return status;

    INITCOMMONCONTROLSEX controls = {sizeof controls, ICC_PROGRESS_CLASS | ICC_STANDARD_CLASSES | ICC_BAR_CLASSES};
    ::InitCommonControlsEx(&controls);
    // The form's thread is an apartment of its own: the screen reader's calls
    // on the controls' accessible objects come to it through its messages.
    const HRESULT com = ::CoInitializeEx(nullptr, COINIT_APARTMENTTHREADED);

    const std::unique_ptr<harvelin::SerialBackend> system = harvelin::makeSystemSerialBackend();
    harvelin::SystemClock clock;
    // The simulated pager answers inside this process, under a port name of
    // its own.
    harvelin::sim::LocalPagerBackend backend(*system, clock);
    harvelin::PortTable ports = options->ports.empty() ? harvelin::systemPortTable()
                                                       : harvelin::PortTable::fromPaths(options->ports);
    if (options->simulate) {
        const std::optional<std::string> device = backend.start();
        if (!device) {
            ::MessageBoxW(nullptr, text(harvelin::FormText::SimulatedPagerNotStarted).c_str(), L"harvelin",
                          MB_OK | MB_ICONERROR);
            return 1;
        }
        ports = ports.withSimulatedPager(*device);
    }

    {  // the form goes before its apartment does
        harvelin::win::Win32Form form(backend, std::move(ports), clock, harvelin::BackupFolder::standardPath());
        form.run(options->file, [&options](HWND window) {
            if (!options->accessibilityLog.empty())
                harvelin::win::logAccessibility(window, options->accessibilityLog);
            if (!options->accessibilityReport.empty())
                harvelin::win::reportAccessibility(window, options->accessibilityReport);
            else if (!options->layoutReport.empty())
                harvelin::win::reportLayout(window, options->layoutReport, options->layoutDpi);
        });  // the result is of no interest: whatever was to keep has been saved
    }
    if (SUCCEEDED(com))
        ::CoUninitialize();
    return 0;
}
