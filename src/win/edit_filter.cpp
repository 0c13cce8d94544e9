#include "win/edit_filter.h"

#include <commctrl.h>

#include <algorithm>
#include <cstddef>
#include <optional>
#include <string>

#include "win/win32_text.h"
#include "win/window_queries.h"

namespace harvelin::win {

namespace {

// The text the edit would hold with `inserted` in place of its selection,
// cut to the edit's limit as the edit itself cuts it.
std::wstring textAfterInsert(HWND edit, std::wstring inserted)
{
    const std::wstring text = windowText(edit);
    DWORD from = 0;
    DWORD to = 0;
    ::SendMessageW(edit, EM_GETSEL, reinterpret_cast<WPARAM>(&from), reinterpret_cast<LPARAM>(&to));
    const std::size_t start = std::min<std::size_t>(from, text.size());
    const std::size_t end = std::clamp<std::size_t>(to, start, text.size());
    const std::size_t kept = text.size() - (end - start);
    const auto limit = static_cast<std::size_t>(::SendMessageW(edit, EM_GETLIMITTEXT, 0, 0));
    inserted.resize(std::min(inserted.size(), limit > kept ? limit - kept : 0));
    return text.substr(0, start) + inserted + text.substr(end);
}

// The form's rule for what an edit may hold; its length the edit's limit
// keeps.
bool mayHold(DWORD_PTR input, const std::wstring& text)
{
    const std::optional<std::string> bytes = bytesFromWide(text);
    return bytes && fieldMayHold(static_cast<FieldInput>(input), *bytes);
}

std::optional<std::wstring> clipboardText(HWND owner)
{
    if (!::IsClipboardFormatAvailable(CF_UNICODETEXT) || !::OpenClipboard(owner))
        return std::nullopt;
    std::optional<std::wstring> text;
    if (HANDLE data = ::GetClipboardData(CF_UNICODETEXT)) {
        if (const auto* chars = static_cast<const wchar_t*>(::GlobalLock(data))) {
            text = chars;
            ::GlobalUnlock(data);
        }
    }
    ::CloseClipboard();
    return text;
}

// Typed or pasted text that would leave the edit holding what the form
// refuses is itself refused, as a whole and with a beep, so no field ever
// holds it. Characters below the space are the edit's own keys (Backspace,
// Ctrl+C, Ctrl+V ...), not text.
LRESULT CALLBACK editFilter(HWND edit, UINT message, WPARAM wParam, LPARAM lParam, UINT_PTR, DWORD_PTR input)
{
    std::optional<std::wstring> inserted;
    if ((message == WM_CHAR || message == WM_IME_CHAR) && wParam >= 0x20)
        inserted = std::wstring(1, static_cast<wchar_t>(wParam));
    else if (message == WM_PASTE)
        inserted = clipboardText(edit);
    if (inserted && !mayHold(input, textAfterInsert(edit, *inserted))) {
        ::MessageBeep(MB_OK);
        return 0;
    }
    return ::DefSubclassProc(edit, message, wParam, lParam);
}

}  // namespace

void filterEdit(HWND edit, FieldInput input)
{
    ::SetWindowSubclass(edit, editFilter, 1, static_cast<DWORD_PTR>(input));
}

}  // namespace harvelin::win
