// Looks at the Windows form from outside, for the test that drives it under
// Wine with real input events: what a control shows, whether the form is
// busy, and how quickly the window answers while it reads the pager. Prints
// texts as UTF-8.
//
//   harvelin-form-probe.exe text ID          the control's text (a list: its first line)
//   harvelin-form-probe.exe checked ID       1 or 0
//   harvelin-form-probe.exe wait-idle SECONDS   until the form takes input again
//   harvelin-form-probe.exe syscommand N     posts system command N (16: the about box),
//                                            which the window manager's own menu hides
//   harvelin-form-probe.exe paste ID TEXT    puts TEXT (ASCII, \t a tab) on the clipboard
//                                            and pastes it over the control's whole text,
//                                            as Ctrl+V does over a selection
//   harvelin-form-probe.exe title 0           the form's title
//   harvelin-form-probe.exe focus 0           the id of the control with the keyboard focus
//                                            (0: none of the form's)
//   harvelin-form-probe.exe drop PATH        drops the file PATH (ASCII) on the form:
//                                            WM_DROPFILES with an HDROP in its memory
//   harvelin-form-probe.exe rect ID          the control's rectangle in client pixels and the
//                                            client area's size: "left top right bottom w h"
//   harvelin-form-probe.exe lines SECONDS    waits for the box of lines ("Vergleich mit dem
//                                            Pager") and prints its heading, then its lines
//   harvelin-form-probe.exe watch-read SECONDS  waits for "Pager -> PC" to be held and
//                                            released; prints the time between and the
//                                            longest the window took to answer

#include "win/windows_api.h"

#include <shlobj.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

#include "ui/control_ids.h"

namespace {

double nowMs()
{
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

// The form is the dialog whose title is "Harvelin", or "Harvelin - " and
// the file it holds, either with the change mark "*"; the message boxes are
// "harvelin".
BOOL CALLBACK isForm(HWND window, LPARAM found)
{
    wchar_t title[256] = {};
    wchar_t name[32] = {};
    ::GetWindowTextW(window, title, 256);
    ::GetClassNameW(window, name, 32);
    const std::wstring t = title;
    if (::lstrcmpW(name, L"#32770") == 0 && (t == L"Harvelin" || t == L"Harvelin*" || t.rfind(L"Harvelin - ", 0) == 0)) {
        *reinterpret_cast<HWND*>(found) = window;
        return FALSE;
    }
    return TRUE;
}

HWND findForm(double timeoutMs)
{
    const double start = nowMs();
    HWND form = nullptr;
    while (::EnumWindows(isForm, reinterpret_cast<LPARAM>(&form)), !form && nowMs() - start < timeoutMs)
        ::Sleep(50);
    return form;
}

void printUtf8(const std::wstring& text)
{
    const int n = ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, nullptr, 0, nullptr, nullptr);
    std::string utf8(static_cast<std::size_t>(std::max(n, 1)), '\0');
    ::WideCharToMultiByte(CP_UTF8, 0, text.c_str(), -1, utf8.data(), n, nullptr, nullptr);
    std::printf("%s\n", utf8.c_str());
}

std::wstring controlText(HWND control)
{
    wchar_t name[32] = {};
    ::GetClassNameW(control, name, 32);
    wchar_t text[1024] = {};
    if (::lstrcmpiW(name, L"ListBox") == 0) {
        if (::SendMessageW(control, LB_GETCOUNT, 0, 0) > 0)
            ::SendMessageW(control, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(text));
    } else {
        ::SendMessageW(control, WM_GETTEXT, 1024, reinterpret_cast<LPARAM>(text));
    }
    return text;
}

// The clipboard takes a text only from a window of its owner.
bool putOnClipboard(const std::wstring& text)
{
    const HWND owner = ::CreateWindowExW(0, L"STATIC", L"", 0, 0, 0, 0, 0, HWND_MESSAGE, nullptr, nullptr, nullptr);
    if (!owner || !::OpenClipboard(owner))
        return false;
    ::EmptyClipboard();
    const std::size_t bytes = (text.size() + 1) * sizeof(wchar_t);
    bool put = false;
    if (HGLOBAL data = ::GlobalAlloc(GMEM_MOVEABLE, bytes)) {
        std::memcpy(::GlobalLock(data), text.c_str(), bytes);
        ::GlobalUnlock(data);
        put = ::SetClipboardData(CF_UNICODETEXT, data) != nullptr;
        if (!put)
            ::GlobalFree(data);
    }
    ::CloseClipboard();
    return put;
}

std::wstring pastedText(const char* ascii)
{
    std::wstring text;
    for (const char* c = ascii; *c; ++c) {
        if (c[0] == '\\' && c[1] == 't') {
            text += L'\t';
            ++c;
        } else {
            text += static_cast<wchar_t>(static_cast<unsigned char>(*c));
        }
    }
    return text;
}

// An HDROP as a drop hands it to the form: DROPFILES, then the wide file
// names, each ended by a null, and one more null. It is written into the
// form's own process, as memory of a fixed block (whose handle is its
// address) that the form's DragQueryFile can read.
WPARAM droppedFiles(HWND form, const std::wstring& path)
{
    std::string block(sizeof(DROPFILES) + (path.size() + 2) * sizeof(wchar_t), '\0');
    DROPFILES header{};
    header.pFiles = sizeof(DROPFILES);
    header.fWide = TRUE;
    std::memcpy(block.data(), &header, sizeof header);
    std::memcpy(block.data() + sizeof header, path.c_str(), path.size() * sizeof(wchar_t));

    DWORD processId = 0;
    ::GetWindowThreadProcessId(form, &processId);
    const HANDLE process = ::OpenProcess(PROCESS_VM_OPERATION | PROCESS_VM_WRITE, FALSE, processId);
    if (!process)
        return 0;
    void* there = ::VirtualAllocEx(process, nullptr, block.size(), MEM_COMMIT | MEM_RESERVE, PAGE_READWRITE);
    const bool written = there && ::WriteProcessMemory(process, there, block.data(), block.size(), nullptr);
    ::CloseHandle(process);
    return written ? reinterpret_cast<WPARAM>(there) : 0;
}

// The form takes input: its buttons are enabled and "Abbrechen" is hidden.
bool idle(HWND form)
{
    return ::IsWindowEnabled(::GetDlgItem(form, harvelin::ctl::SearchButton)) &&
           !::IsWindowVisible(::GetDlgItem(form, harvelin::ctl::Cancel));
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc < 3) {
        std::printf("usage: harvelin-form-probe text|checked ID | title|focus 0 | drop PATH | paste ID TEXT |"
                    " syscommand N | rect ID | wait-idle|watch-read|lines SECONDS\n");
        return 2;
    }
    const std::string what = argv[1];
    const double argument = std::atof(argv[2]);
    const bool quick = what == "text" || what == "checked" || what == "syscommand" || what == "paste"
                       || what == "title" || what == "drop" || what == "focus" || what == "rect";
    HWND form = findForm(quick ? 5000.0 : 1000.0 * argument);
    if (!form) {
        std::printf("probe: no window \"Harvelin\"\n");
        return 1;
    }
    if (what == "text") {
        printUtf8(controlText(::GetDlgItem(form, std::atoi(argv[2]))));
        return 0;
    }
    if (what == "lines") {
        const double start = nowMs();
        // The box exists before its heading and lines are set: it is read
        // once it shows with its heading.
        const auto shown = [](HWND box) {
            return box && ::IsWindowVisible(box) && ::GetWindowTextLengthW(::GetDlgItem(box, 100)) > 0;
        };
        HWND box = nullptr;
        while (!shown(box = ::FindWindowW(L"#32770", L"Vergleich mit dem Pager")) &&
               nowMs() - start < 1000.0 * argument)
            ::Sleep(50);
        if (!shown(box))
            return 1;
        printUtf8(controlText(::GetDlgItem(box, 100)));
        printUtf8(controlText(::GetDlgItem(box, 101)));
        return 0;
    }
    if (what == "paste") {
        if (argc < 4 || !putOnClipboard(pastedText(argv[3])))
            return 1;
        const HWND edit = ::GetDlgItem(form, std::atoi(argv[2]));
        ::SendMessageW(edit, EM_SETSEL, 0, -1);
        ::SendMessageW(edit, WM_PASTE, 0, 0);
        return 0;
    }
    if (what == "title") {
        wchar_t title[256] = {};
        ::GetWindowTextW(form, title, 256);
        printUtf8(title);
        return 0;
    }
    if (what == "focus") {
        GUITHREADINFO thread{};
        thread.cbSize = sizeof thread;
        ::GetGUIThreadInfo(::GetWindowThreadProcessId(form, nullptr), &thread);
        const HWND focus = thread.hwndFocus;
        std::printf("%d\n", focus && ::GetParent(focus) == form ? ::GetDlgCtrlID(focus) : 0);
        return 0;
    }
    if (what == "drop") {
        const std::string ascii = argv[2];
        const WPARAM drop = droppedFiles(form, std::wstring(ascii.begin(), ascii.end()));
        return drop && ::PostMessageW(form, WM_DROPFILES, drop, 0) ? 0 : 1;
    }
    if (what == "syscommand") {
        ::PostMessageW(form, WM_SYSCOMMAND, static_cast<WPARAM>(std::atoi(argv[2])), 0);
        return 0;
    }
    if (what == "rect") {
        RECT place = {};
        ::GetWindowRect(::GetDlgItem(form, std::atoi(argv[2])), &place);
        ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&place), 2);
        RECT client = {};
        ::GetClientRect(form, &client);
        std::printf("%ld %ld %ld %ld %ld %ld\n", place.left, place.top, place.right, place.bottom, client.right,
                    client.bottom);
        return 0;
    }
    if (what == "checked") {
        std::printf("%d\n", ::IsDlgButtonChecked(form, std::atoi(argv[2])) == BST_CHECKED ? 1 : 0);
        return 0;
    }
    const double start = nowMs();
    const double timeoutMs = 1000.0 * argument;
    if (what == "wait-idle") {
        while (::IsWindow(form) && !idle(form) && nowMs() - start < timeoutMs)
            ::Sleep(20);
        return ::IsWindow(form) && idle(form) ? 0 : 1;
    }
    if (what == "watch-read") {
        const HWND read = ::GetDlgItem(form, harvelin::ctl::ReadButton);
        while (::IsWindowEnabled(read) && nowMs() - start < timeoutMs)
            ::Sleep(5);
        const double began = nowMs();
        double longest = 0;
        while (!::IsWindowEnabled(read) && ::IsWindow(form) && nowMs() - start < timeoutMs) {
            const double asked = nowMs();
            DWORD_PTR result = 0;
            ::SendMessageTimeoutW(form, WM_NULL, 0, 0, SMTO_NORMAL, 10000, &result);
            longest = std::max(longest, nowMs() - asked);
            ::Sleep(5);
        }
        std::printf("%.3f %.0f\n", (nowMs() - began) / 1000.0, longest);
        return ::IsWindowEnabled(read) ? 0 : 1;
    }
    std::printf("probe: unknown request %s\n", what.c_str());
    return 2;
}
