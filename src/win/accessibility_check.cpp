#include "win/accessibility_check.h"

#include <commctrl.h>
#include <oleacc.h>

#include <cstdio>
#include <string>

#include "ui/control_ids.h"
#include "win/win32_text.h"

namespace harvelin::win {

namespace {

std::FILE* openUtf8(const std::string& path) { return ::_wfopen(wideFromUtf8(path).c_str(), L"wb"); }

// "id  role  name  state  description" of the control's client object, as
// the layer hands it to a screen reader; the state says "read-only" or
// nothing.
std::wstring describe(HWND control)
{
    VARIANT self;
    ::VariantInit(&self);
    self.vt = VT_I4;
    self.lVal = CHILDID_SELF;
    wchar_t role[64] = L"-";
    std::wstring name;
    std::wstring state;
    std::wstring description;
    IAccessible* accessible = nullptr;
    if (SUCCEEDED(::AccessibleObjectFromWindow(control, static_cast<DWORD>(OBJID_CLIENT), __uuidof(IAccessible),
                                               reinterpret_cast<void**>(&accessible)))) {
        VARIANT number;
        ::VariantInit(&number);
        if (SUCCEEDED(accessible->get_accRole(self, &number)) && number.vt == VT_I4)
            ::GetRoleTextW(static_cast<DWORD>(number.lVal), role, 64);
        BSTR text = nullptr;
        if (SUCCEEDED(accessible->get_accName(self, &text)) && text)
            name.assign(text, ::SysStringLen(text));
        ::SysFreeString(text);
        text = nullptr;
        if (SUCCEEDED(accessible->get_accDescription(self, &text)) && text)
            description.assign(text, ::SysStringLen(text));
        ::SysFreeString(text);
        VARIANT flags;
        ::VariantInit(&flags);
        if (SUCCEEDED(accessible->get_accState(self, &flags)) && flags.vt == VT_I4 &&
            (flags.lVal & STATE_SYSTEM_READONLY))
            state = L"read-only";
        accessible->Release();
    }
    return std::to_wstring(::GetDlgCtrlID(control)) + L"\t" + role + L"\t" + name + L"\t" + state + L"\t" +
           description;
}

// A control the user acts on (a button other than a group frame, an edit,
// the list), the progress bar, or a label with an id, whose text the form
// changes.
bool takesInputOrShowsState(HWND control)
{
    wchar_t name[64] = {};
    ::GetClassNameW(control, name, 64);
    const LONG_PTR style = ::GetWindowLongPtrW(control, GWL_STYLE);
    if (::lstrcmpiW(name, L"Button") == 0)
        return (style & BS_TYPEMASK) != BS_GROUPBOX;
    if (::lstrcmpiW(name, L"Static") == 0)
        return ::GetDlgCtrlID(control) != -1 && (style & SS_TYPEMASK) == SS_LEFT;
    return ::lstrcmpiW(name, L"Edit") == 0 || ::lstrcmpiW(name, L"ListBox") == 0 ||
           ::lstrcmpiW(name, PROGRESS_CLASSW) == 0;
}

std::wstring walk(HWND form, const wchar_t* page)
{
    std::wstring lines;
    for (HWND child = ::GetWindow(form, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT))
        if (takesInputOrShowsState(child))
            lines += std::wstring(page) + L"\t" + describe(child) + L"\n";
    return lines;
}

HWND loggedForm = nullptr;
std::FILE* logFile = nullptr;

void CALLBACK logEvent(HWINEVENTHOOK, DWORD event, HWND control, LONG object, LONG child, DWORD, DWORD)
{
    const wchar_t* what = event == EVENT_OBJECT_FOCUS              ? L"focus"
                          : event == EVENT_OBJECT_NAMECHANGE       ? L"name"
                          : event == EVENT_OBJECT_VALUECHANGE      ? L"value"
                          : event == EVENT_OBJECT_STATECHANGE      ? L"state"
                          : event == EVENT_OBJECT_LIVEREGIONCHANGED ? L"live"
                                                                    : nullptr;
    if (!what || object != OBJID_CLIENT || child != CHILDID_SELF || !control || ::GetParent(control) != loggedForm)
        return;
    std::fputs(utf8FromWide(std::wstring(what) + L"\t" + describe(control) + L"\n").c_str(), logFile);
    std::fflush(logFile);
}

}  // namespace

void reportAccessibility(HWND form, const std::string& path)
{
    std::wstring lines = walk(form, L"1..16");
    ::CheckRadioButton(form, ctl::PageLower, ctl::PageUpper, ctl::PageUpper);
    ::SendMessageW(form, WM_COMMAND, MAKEWPARAM(ctl::PageUpper, BN_CLICKED),
                   reinterpret_cast<LPARAM>(::GetDlgItem(form, ctl::PageUpper)));
    lines += walk(form, L"17..32");
    if (std::FILE* file = openUtf8(path)) {
        std::fputs(utf8FromWide(lines).c_str(), file);
        std::fclose(file);
    }
    ::PostMessageW(form, WM_CLOSE, 0, 0);
}

void logAccessibility(HWND form, const std::string& path)
{
    logFile = openUtf8(path);
    if (!logFile)
        return;
    loggedForm = form;
    ::SetWinEventHook(EVENT_OBJECT_FOCUS, EVENT_OBJECT_LIVEREGIONCHANGED, nullptr, logEvent, ::GetCurrentProcessId(), 0,
                      WINEVENT_OUTOFCONTEXT);
}

}  // namespace harvelin::win
