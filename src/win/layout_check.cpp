#include "win/layout_check.h"

#include <cstdio>
#include <string>

#include "ui/dialog_layout.h"
#include "win/form_layout.h"
#include "win/win32_text.h"
#include "win/window_queries.h"

namespace harvelin::win {

namespace {

const wchar_t* kindName(layout::Kind kind)
{
    switch (kind) {
    case layout::Kind::Static: return L"label";
    case layout::Kind::Group: return L"group";
    case layout::Kind::Button: return L"button";
    case layout::Kind::DefaultButton: return L"default";
    case layout::Kind::Check: return L"check";
    case layout::Kind::Radio: return L"radio";
    case layout::Kind::Edit: return L"edit";
    case layout::Kind::ReadOnlyEdit: return L"readonly";
    case layout::Kind::List: return L"list";
    case layout::Kind::Progress: return L"progress";
    case layout::Kind::Icon: return L"icon";
    case layout::Kind::TextList: return L"lines";
    }
    return L"?";
}

// What a control of the kind draws beside its text on one line: a check
// box's or radio button's box and the gap after it, a button's frame and
// focus rectangle on either side, a group's caption inset at both ends; an
// edit its border and margins.
int padding(layout::Kind kind, UINT dpi, SIZE base)
{
    switch (kind) {
    case layout::Kind::Check:
    case layout::Kind::Radio: return ::GetSystemMetrics(SM_CXMENUCHECK) + ::MulDiv(4, static_cast<int>(dpi), 96);
    case layout::Kind::Button:
    case layout::Kind::DefaultButton: return ::MulDiv(6, static_cast<int>(dpi), 96);
    case layout::Kind::Group: return 2 * base.cx;
    case layout::Kind::Edit:
    case layout::Kind::ReadOnlyEdit:
    case layout::Kind::List: return ::MulDiv(6, static_cast<int>(dpi), 96);
    default: return 0;
    }
}

std::wstring shownText(HWND window, const layout::Control& c)
{
    if (isListBox(window))
        return listLine(window);
    layout::Control now = c;
    now.text = bytesFromWide(windowText(window)).value_or(std::string());
    return wideFromBytes(layout::shownText(now));
}

}  // namespace

void reportLayout(HWND form, const std::string& path, unsigned movedToDpi)
{
    HDC dc = ::GetDC(form);
    UINT dpi = static_cast<UINT>(::GetDeviceCaps(dc, LOGPIXELSY));
    ::ReleaseDC(form, dc);
    if (movedToDpi != 0 && movedToDpi != dpi) {
        RECT suggested = {};
        ::GetWindowRect(form, &suggested);
        suggested.right = suggested.left + ::MulDiv(suggested.right - suggested.left, static_cast<int>(movedToDpi),
                                                    static_cast<int>(dpi));
        suggested.bottom = suggested.top + ::MulDiv(suggested.bottom - suggested.top, static_cast<int>(movedToDpi),
                                                    static_cast<int>(dpi));
        ::SendMessageW(form, WM_DPICHANGED, MAKEWPARAM(movedToDpi, movedToDpi), reinterpret_cast<LPARAM>(&suggested));
        dpi = movedToDpi;
    }
    RECT client = {};
    ::GetClientRect(form, &client);
    const std::vector<PlacedControl> placed = pairWithTable(form, layout::mainForm());
    const SIZE base = placed.empty() ? SIZE{}
                                     : dialogBaseUnits(reinterpret_cast<HFONT>(
                                           ::SendMessageW(placed.front().window, WM_GETFONT, 0, 0)));
    std::wstring lines = L"client\t" + std::to_wstring(client.right) + L"\t" + std::to_wstring(client.bottom) + L"\t" +
                         std::to_wstring(dpi) + L"\t" + std::to_wstring(base.cx) + L"\t" + std::to_wstring(base.cy) +
                         L"\n";
    for (const PlacedControl& p : placed) {
        if (!::IsWindowVisible(p.window))
            continue;
        const layout::Control& c = p.control;
        RECT r = {};
        ::GetWindowRect(p.window, &r);
        ::MapWindowPoints(nullptr, form, reinterpret_cast<POINT*>(&r), 2);
        const std::wstring text = c.kind == layout::Kind::Icon ? std::wstring() : shownText(p.window, c);
        lines += std::to_wstring(c.id) + L"\t" + kindName(c.kind);
        for (const LONG v : {r.left, r.top, r.right, r.bottom})
            lines += L"\t" + std::to_wstring(v);
        lines += L"\t" + std::to_wstring(text.empty() ? 0 : textWidth(p.window, text)) + L"\t" +
                 std::to_wstring(padding(c.kind, dpi, base)) + L"\t" + ((c.flags & layout::Elides) ? L"1" : L"0");
        for (const int v : {c.x, c.y, c.width, c.height})
            lines += L"\t" + std::to_wstring(v);
        lines += L"\t" + text + L"\n";
    }
    if (std::FILE* file = ::_wfopen(wideFromUtf8(path).c_str(), L"wb")) {
        std::fputs(utf8FromWide(lines).c_str(), file);
        std::fclose(file);
    }
    ::PostMessageW(form, WM_CLOSE, 0, 0);
}

}  // namespace harvelin::win
