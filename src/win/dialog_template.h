#pragma once

#include <cstdint>
#include <vector>

#include "ui/dialog_layout.h"

namespace harvelin::win {

// A dialog template in memory (the extended form), built from the layout
// table: the dialog's place and font in dialog units, and every control with
// its window class, style and text. Word-aligned, for
// CreateDialogIndirectParamW and DialogBoxIndirectParamW.
struct DialogTemplate {
    std::vector<std::uint16_t> words;
    const void* data() const { return words.data(); }
};

enum class Frame { MainForm, AboutBox, LinesBox };

// The main form's font: the face name that stands for the system's dialog
// font, and the size dialogs are measured in.
constexpr const wchar_t* ShellFontName = L"MS Shell Dlg";
constexpr int ShellFontPoints = 8;

DialogTemplate buildTemplate(const layout::Dialog& dialog, Frame frame);

}  // namespace harvelin::win
