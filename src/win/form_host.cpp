// The form's side of DialogHost: what MainDialog reads and sets on the
// controls, its boxes, file dialogs and timers. All on the form's thread.
#include "win/win32_form.h"

#include <commctrl.h>
#include <commdlg.h>

#include <algorithm>
#include <cstddef>
#include <cwchar>
#include <optional>
#include <string>

#include "ui/control_ids.h"
#include "ui/control_names.h"
#include "ui/form_policy.h"
#include "win/about_box.h"
#include "win/message_box.h"
#include "win/win32_text.h"
#include "win/window_queries.h"

namespace harvelin::win {

// Every edit refuses characters outside Windows-1252 as they are typed or
// pasted, and the other controls only show texts that came from the dialog,
// so the conversion succeeds.
std::string Win32Form::controlText(int id) const
{
    HWND c = control(id);
    if (!c)
        return {};
    if (isListBox(c)) {
        const LRESULT at = ::SendMessageW(c, LB_GETCURSEL, 0, 0);
        if (at == LB_ERR)
            return {};
        const LRESULT length = ::SendMessageW(c, LB_GETTEXTLEN, static_cast<WPARAM>(at), 0);
        std::wstring text(static_cast<std::size_t>(std::max<LRESULT>(length, 0)) + 1, L'\0');
        ::SendMessageW(c, LB_GETTEXT, static_cast<WPARAM>(at), reinterpret_cast<LPARAM>(text.data()));
        text.resize(static_cast<std::size_t>(std::max<LRESULT>(length, 0)));
        return bytesFromWide(text).value_or(std::string());
    }
    return bytesFromWide(windowText(c)).value_or(std::string());
}

void Win32Form::setControlText(int id, const std::string& bytes)
{
    HWND c = control(id);
    if (!c)
        return;
    const std::wstring text = wideFromBytes(bytes);
    // A control whose text has not changed is left alone, so the caret of
    // the edit the user is typing in stays where it is.
    if (windowText(c) == text)
        return;
    if (isEdit(c)) {
        // The input limit stops typing, not the program: a longer text from
        // the pager or a file is shown whole, and taking it back from the
        // form then reports the limit instead of cutting the text silently.
        const auto limit = limits_.find(id);
        if (limit != limits_.end())
            ::SendMessageW(c, EM_LIMITTEXT, static_cast<WPARAM>(std::max<std::size_t>(limit->second, text.size())),
                           0);
    }
    settingText_ = true;
    ::SetWindowTextW(c, text.c_str());
    settingText_ = false;
    // A label's name says what it shows.
    if (isLabel(c) && !layout::accessibleName(id, page_).empty())
        AccessibleControls::tell(c, EVENT_OBJECT_NAMECHANGE);
    if (id == ctl::StatusLine) {
        updateTooltip(c, text);
        AccessibleControls::tell(c, EVENT_OBJECT_DESCRIPTIONCHANGE);
        AccessibleControls::liveRegionChanged(c);
    }
}

bool Win32Form::isChecked(int id) const { return ::IsDlgButtonChecked(window_, id) == BST_CHECKED; }

void Win32Form::setChecked(int id, bool checked)
{
    if (isChecked(id) == checked)
        return;
    ::CheckDlgButton(window_, id, checked ? BST_CHECKED : BST_UNCHECKED);
    AccessibleControls::tell(control(id), EVENT_OBJECT_STATECHANGE);
}

void Win32Form::setVisible(int id, bool visible)
{
    HWND c = control(id);
    if (!c)
        return;
    // A control that hides with the focus hands it on as Tab would, instead
    // of leaving the keyboard nowhere ("Systemzeit -> Repeater").
    if (!visible && ::GetFocus() == c)
        ::SendMessageW(window_, WM_NEXTDLGCTL, 0, FALSE);
    ::ShowWindow(c, visible ? SW_SHOWNA : SW_HIDE);
}

void Win32Form::setEnabled(int id, bool enabled)
{
    HWND c = control(id);
    if (c && hold_.enableNow(id, enabled, ::IsWindowEnabled(c) != FALSE))
        ::EnableWindow(c, enabled ? TRUE : FALSE);
}

void Win32Form::setInputLimit(int id, int maxChars)
{
    HWND c = control(id);
    if (!isEdit(c))
        return;
    limits_[id] = maxChars;
    const int shown = ::GetWindowTextLengthW(c);
    ::SendMessageW(c, EM_LIMITTEXT, static_cast<WPARAM>(std::max(maxChars, shown)), 0);
}

void Win32Form::setFocus(int id)
{
    HWND c = control(id);
    if (!c || !hold_.focusNow(id))
        return;
    ::SendMessageW(window_, WM_NEXTDLGCTL, reinterpret_cast<WPARAM>(c), TRUE);
    if (isEdit(c))
        ::SendMessageW(c, EM_SETSEL, 0, -1);
}

void Win32Form::setProgressRange(int low, int high)
{
    ::SendDlgItemMessageW(window_, ctl::Progress, PBM_SETRANGE32, static_cast<WPARAM>(low),
                          static_cast<LPARAM>(high));
}

// A position beyond the range shows as the range's end.
void Win32Form::setProgressPos(int pos)
{
    const LRESULT before = ::SendDlgItemMessageW(window_, ctl::Progress, PBM_SETPOS, static_cast<WPARAM>(pos), 0);
    if (before != ::SendDlgItemMessageW(window_, ctl::Progress, PBM_GETPOS, 0, 0))
        AccessibleControls::tell(control(ctl::Progress), EVENT_OBJECT_VALUECHANGE);
}

void Win32Form::setPortListLine(const std::string& line)
{
    HWND list = control(ctl::PortList);
    const std::wstring text = wideFromBytes(line);
    ::SendMessageW(list, LB_RESETCONTENT, 0, 0);
    ::SendMessageW(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text.c_str()));
    updateTooltip(list, text);
    // The list's name says its line, and so does its description, whole.
    AccessibleControls::tell(list, EVENT_OBJECT_NAMECHANGE);
    AccessibleControls::tell(list, EVENT_OBJECT_DESCRIPTIONCHANGE);
    AccessibleControls::liveRegionChanged(list);
}

// The caller rows' names follow the slots they show.
void Win32Form::pageShown(ViewPage page)
{
    if (page == page_)
        return;
    const ViewPage before = page_;
    page_ = page;
    for (HWND child = ::GetWindow(window_, GW_CHILD); child; child = ::GetWindow(child, GW_HWNDNEXT)) {
        const int id = ::GetDlgCtrlID(child);
        if (layout::accessibleName(id, before) != layout::accessibleName(id, page))
            AccessibleControls::tell(child, EVENT_OBJECT_NAMECHANGE);
    }
}

std::wstring Win32Form::accessibleName(HWND c) const
{
    const std::string name = layout::accessibleName(::GetDlgCtrlID(c), page_);
    if (name.empty())
        return {};
    const std::wstring shown = isListBox(c) ? listLine(c) : isLabel(c) ? windowText(c) : std::wstring();
    return shown.empty() ? wideFromBytes(name) : wideFromBytes(name) + L": " + shown;
}

std::wstring Win32Form::accessibleDescription(HWND c) const
{
    const int id = ::GetDlgCtrlID(c);
    if (id == ctl::PortList)
        return listLine(c);
    if (id == ctl::StatusLine)
        return windowText(c);
    return {};
}

void Win32Form::showTitle(const std::string& title, bool modified)
{
    ::SetWindowTextW(window_, wideFromUtf8(windowTitle(title, modified)).c_str());
}

void Win32Form::messageBox(const std::string& text)
{
    if (quiet_)
        return;
    showMessageBox(window_, wideFromBytes(text), MB_OK);
}

bool Win32Form::askYesNo(const std::string& text)
{
    if (quiet_)
        return false;
    // "Nein" is the safe default.
    return showMessageBox(window_, wideFromBytes(text), MB_YESNO | MB_ICONQUESTION | MB_DEFBUTTON2) == IDYES;
}

void Win32Form::showLines(const std::string& heading, const std::vector<std::string>& lines)
{
    if (quiet_)
        return;
    std::string joined;
    for (const std::string& line : lines)
        joined += line + "\r\n";
    showLinesBox(window_, wideFromBytes(heading), wideFromBytes(joined));
}

bool Win32Form::openInBrowser(const std::string& path)
{
    // ShellExecute's answer above 32 is success.
    const std::wstring file = wideFromUtf8(path);
    return reinterpret_cast<INT_PTR>(::ShellExecuteW(window_, L"open", file.c_str(), nullptr, nullptr,
                                                     SW_SHOWNORMAL)) > 32;
}

std::optional<std::string> Win32Form::fileDialog(const FileDialogSpec& spec)
{
    if (quiet_)
        return std::nullopt;
    // "Datenfiles (*.pag)", then the pattern, each ended by a zero; two end the list.
    std::wstring filter = wideFromBytes(spec.filterText);
    filter.push_back(L'\0');
    filter += wideFromBytes(spec.filterPattern);
    filter.push_back(L'\0');
    filter.push_back(L'\0');
    const std::wstring extension = wideFromBytes(spec.defaultExtension);
    std::wstring path(32768, L'\0');

    OPENFILENAMEW dialog = {};
    dialog.lStructSize = sizeof dialog;
    dialog.hwndOwner = window_;
    dialog.lpstrFilter = filter.c_str();
    dialog.nFilterIndex = 1;
    dialog.lpstrFile = path.data();
    dialog.nMaxFile = static_cast<DWORD>(path.size());
    dialog.lpstrDefExt = extension.c_str();
    dialog.Flags = OFN_PATHMUSTEXIST | OFN_NOCHANGEDIR | OFN_HIDEREADONLY | OFN_EXPLORER;
    dialog.Flags |= spec.save ? OFN_OVERWRITEPROMPT : OFN_FILEMUSTEXIST;
    const BOOL chosen = spec.save ? ::GetSaveFileNameW(&dialog) : ::GetOpenFileNameW(&dialog);
    if (!chosen)
        return std::nullopt;
    path.resize(std::wcslen(path.c_str()));
    // The data-file functions take paths as UTF-8 and widen them themselves.
    return utf8FromWide(path);
}

void Win32Form::startTimer(int id, unsigned periodMs) { ::SetTimer(window_, static_cast<UINT_PTR>(id), periodMs, nullptr); }

void Win32Form::stopTimer(int id) { ::KillTimer(window_, static_cast<UINT_PTR>(id)); }

void Win32Form::repaintNow() { ::UpdateWindow(window_); }

void Win32Form::endDialog(int result)
{
    result_ = result;
    ended_ = true;
    ::KillTimer(window_, ctl::UiTimerId);
}

}  // namespace harvelin::win
