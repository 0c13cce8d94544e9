#include "win/form_layout.h"

#include <algorithm>
#include <string>

#include "win/window_queries.h"

namespace harvelin::win {

std::vector<PlacedControl> pairWithTable(HWND dialog, const layout::Dialog& table)
{
    std::vector<PlacedControl> placed;
    HWND child = ::GetWindow(dialog, GW_CHILD);
    for (const layout::Control& c : table.controls) {
        if (!child)
            break;
        placed.push_back({child, c});
        child = ::GetWindow(child, GW_HWNDNEXT);
    }
    return placed;
}

SIZE dialogBaseUnits(HFONT font)
{
    // The dialog manager's own measure: the mean width of the 52 Latin
    // letters, rounded, and the font's cell height.
    static const wchar_t letters[] = L"ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz";
    HDC dc = ::GetDC(nullptr);
    const HGDIOBJ old = ::SelectObject(dc, font);
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, letters, 52, &extent);
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(nullptr, dc);
    return {(extent.cx / 26 + 1) / 2, metrics.tmHeight};
}

FormLayout::FormLayout(HWND dialog, const layout::Dialog& table)
    : dialog_(dialog), width_(table.width), height_(table.height), controls_(pairWithTable(dialog, table))
{
}

// The controls' font: the dialog's, or the one set on them for another dpi.
HFONT FormLayout::font() const
{
    const HWND first = controls_.empty() ? dialog_ : controls_.front().window;
    return reinterpret_cast<HFONT>(::SendMessageW(first, WM_GETFONT, 0, 0));
}

SIZE FormLayout::templateSize(HFONT font) const
{
    const SIZE base = dialogBaseUnits(font);
    return {::MulDiv(width_, base.cx, 4), ::MulDiv(height_, base.cy, 8)};
}

void FormLayout::place()
{
    const SIZE base = dialogBaseUnits(font());
    RECT client = {};
    ::GetClientRect(dialog_, &client);
    const SIZE area = templateSize();
    const int dx = std::max(0, static_cast<int>(client.right - area.cx) / 2);
    const int dy = std::max(0, static_cast<int>(client.bottom - area.cy) / 2);
    for (const PlacedControl& p : controls_) {
        const layout::Control& c = p.control;
        const int x = ::MulDiv(c.x, base.cx, 4);
        const int y = ::MulDiv(c.y, base.cy, 8);
        int w = ::MulDiv(c.width, base.cx, 4);
        const int h = ::MulDiv(c.height, base.cy, 8);
        // A label a few pixels too narrow for its text in this font would
        // wrap or lose its last letters.
        if (c.kind == layout::Kind::Static && !(c.flags & layout::Elides))
            w = std::max(w, textWidth(p.window, windowText(p.window)) + 1);
        ::SetWindowPos(p.window, nullptr, x + dx, y + dy, w, h, SWP_NOZORDER | SWP_NOACTIVATE);
    }
    ::InvalidateRect(dialog_, nullptr, TRUE);
}

int textWidth(HWND control, const std::wstring& text)
{
    HDC dc = ::GetDC(control);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    SIZE extent = {};
    ::GetTextExtentPoint32W(dc, text.c_str(), static_cast<int>(text.size()), &extent);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return extent.cx;
}

int lineHeight(HWND control)
{
    HDC dc = ::GetDC(control);
    const HGDIOBJ old = ::SelectObject(dc, reinterpret_cast<HGDIOBJ>(::SendMessageW(control, WM_GETFONT, 0, 0)));
    TEXTMETRICW metrics = {};
    ::GetTextMetricsW(dc, &metrics);
    ::SelectObject(dc, old);
    ::ReleaseDC(control, dc);
    return metrics.tmHeight;
}

}  // namespace harvelin::win
