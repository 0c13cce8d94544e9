#include <gtest/gtest.h>

#include "win/windows_api.h"

#include <commctrl.h>

#include <utility>

#include "ui/control_ids.h"
#include "ui/dialog_layout.h"
#include "win/dialog_template.h"
#include "win/form_layout.h"

// The main form as the system's dialog manager makes it from the template,
// and where FormLayout puts its controls.
namespace harvelin::win {
namespace {

INT_PTR CALLBACK leaveAllToTheSystem(HWND, UINT, WPARAM, LPARAM) { return FALSE; }

struct MainFormWindow {
    MainFormWindow()
    {
        const DialogTemplate form = buildTemplate(layout::mainForm(), Frame::MainForm);
        window = ::CreateDialogIndirectParamW(::GetModuleHandleW(nullptr), static_cast<LPCDLGTEMPLATEW>(form.data()),
                                              nullptr, leaveAllToTheSystem, 0);
    }
    ~MainFormWindow()
    {
        if (window)
            ::DestroyWindow(window);
    }
    MainFormWindow(const MainFormWindow&) = delete;
    MainFormWindow& operator=(const MainFormWindow&) = delete;

    LONG_PTR style(int id) const { return ::GetWindowLongPtrW(::GetDlgItem(window, id), GWL_STYLE); }
    RECT place(int id) const
    {
        RECT r = {};
        ::GetWindowRect(::GetDlgItem(window, id), &r);
        ::MapWindowPoints(nullptr, window, reinterpret_cast<POINT*>(&r), 2);
        return r;
    }

    HWND window = nullptr;
};

// The shell font for the whole form; "…" and the mouse only for the two
// texts the table lets be cut; the identities read-only Tab stops that a
// screen reader reads as enabled fields.
TEST(MainFormTemplate, ShellFontCutTextsAndReadOnlyIdentities)
{
    const MainFormWindow form;
    ASSERT_NE(form.window, nullptr);
    EXPECT_EQ(::GetWindowLongPtrW(form.window, GWL_STYLE) & DS_SHELLFONT, DS_SHELLFONT);

    EXPECT_EQ(form.style(ctl::StatusLine) & (SS_ENDELLIPSIS | SS_NOTIFY), SS_ENDELLIPSIS | SS_NOTIFY);
    EXPECT_EQ(form.style(ctl::PortList) & (LBS_OWNERDRAWFIXED | LBS_HASSTRINGS), LBS_OWNERDRAWFIXED | LBS_HASSTRINGS);
    for (const int label : {ctl::SystemTime, ctl::RepeaterTime, ctl::rowLabel(1)})
        EXPECT_EQ(form.style(label) & (SS_ENDELLIPSIS | SS_NOTIFY), 0) << label;

    for (int r = 1; r <= 16; ++r) {
        const LONG_PTR s = form.style(ctl::idText(r));
        EXPECT_EQ(s & (ES_READONLY | WS_TABSTOP | WS_DISABLED), ES_READONLY | WS_TABSTOP) << r;
    }
}

// Every control is paired with its row of the table; in a window larger than
// the template they all move by half the growth, and back where they were
// when it shrinks again.
TEST(FormLayout, CentresTheTableInALargerWindowAndPutsItBack)
{
    const MainFormWindow form;
    ASSERT_NE(form.window, nullptr);
    FormLayout placed(form.window, layout::mainForm());
    ASSERT_EQ(placed.controls().size(), layout::mainForm().controls.size());
    for (const PlacedControl& p : placed.controls()) {
        if (p.control.id != layout::NoId) {
            EXPECT_EQ(::GetDlgCtrlID(p.window), p.control.id);
        }
    }

    placed.place();
    const RECT search = form.place(ctl::SearchButton);
    const RECT end = form.place(ctl::Ok);
    RECT frame = {};
    ::GetWindowRect(form.window, &frame);
    const int width = frame.right - frame.left;
    const int height = frame.bottom - frame.top;

    ::SetWindowPos(form.window, nullptr, 0, 0, width + 200, height + 100, SWP_NOMOVE | SWP_NOZORDER);
    placed.place();
    for (const auto& [id, before] : {std::pair{ctl::SearchButton, search}, std::pair{ctl::Ok, end}}) {
        const RECT after = form.place(id);
        EXPECT_EQ(after.left - before.left, 100) << id;
        EXPECT_EQ(after.top - before.top, 50) << id;
        EXPECT_EQ(after.right - after.left, before.right - before.left) << id;
    }

    ::SetWindowPos(form.window, nullptr, 0, 0, width, height, SWP_NOMOVE | SWP_NOZORDER);
    placed.place();
    const RECT back = form.place(ctl::Ok);
    EXPECT_EQ(back.left, end.left);
    EXPECT_EQ(back.top, end.top);
}

}  // namespace
}  // namespace harvelin::win
