// How the Windows form answers while it reads the pager, seen from outside:
// waits for the window "Harvelin", then for "Pager -> PC" to be held (the
// read-out has begun) and to be released again (it has ended), and meanwhile
// asks the window every 5 ms for an answer (WM_NULL). Prints the read-out's
// time and the longest the window took to answer.
//
//   harvelin-response-probe.exe [TIMEOUT_S]

#ifndef NOMINMAX
#define NOMINMAX
#endif
#ifndef WIN32_LEAN_AND_MEAN
#define WIN32_LEAN_AND_MEAN
#endif
#include <windows.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>

#include "ui/control_ids.h"

namespace {

double nowMs()
{
    LARGE_INTEGER count, frequency;
    ::QueryPerformanceCounter(&count);
    ::QueryPerformanceFrequency(&frequency);
    return 1000.0 * static_cast<double>(count.QuadPart) / static_cast<double>(frequency.QuadPart);
}

}  // namespace

int main(int argc, char** argv)
{
    const double timeoutMs = 1000.0 * (argc > 1 ? std::atof(argv[1]) : 120.0);
    const double start = nowMs();
    HWND form = nullptr;
    while (!(form = ::FindWindowW(L"#32770", L"Harvelin")) && nowMs() - start < timeoutMs)
        ::Sleep(50);
    if (!form) {
        std::printf("probe: no window \"Harvelin\"\n");
        return 1;
    }
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
    std::printf("probe: read-out %.1f s, longest answer %.0f ms\n", (nowMs() - began) / 1000.0, longest);
    return 0;
}
