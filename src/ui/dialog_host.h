#pragma once

#include <optional>
#include <string>
#include <vector>

#include "model/pager_image.h"

namespace harvelin {

struct FileDialogSpec {
    bool save = false;               // save form (asks before overwriting) or open form
    std::string defaultExtension;    // without the dot
    std::string filterText;          // "Datenfiles (*.pag)"
    std::string filterPattern;       // "*.pag"
};

// What the main dialog needs of its window and controls. The Qt widgets
// implement it; tests and the command line use an in-memory one. Texts are
// Windows-1252 bytes; controls are named by their ids (ui/control_ids.h).
class DialogHost {
public:
    virtual ~DialogHost() = default;

    virtual std::string controlText(int id) const = 0;
    virtual void setControlText(int id, const std::string& text) = 0;
    virtual bool isChecked(int id) const = 0;
    virtual void setChecked(int id, bool checked) = 0;
    virtual void setVisible(int id, bool visible) = 0;
    virtual void setEnabled(int id, bool enabled) = 0;
    // Input limit of an edit control in characters.
    virtual void setInputLimit(int id, int maxChars) = 0;
    virtual void setFocus(int id) = 0;
    // Whether the user typed or clicked in a control since the changes were
    // last taken; a host that cannot tell says true.
    virtual bool userChangedControls() const { return true; }
    virtual void userChangesTaken() {}

    virtual void setProgressRange(int low, int high) = 0;
    virtual void setProgressPos(int pos) = 0;
    // Empties the one-line port list and adds this line.
    virtual void setPortListLine(const std::string& line) = 0;
    // The caller rows now show this page: the window names them by the
    // slots shown (layout::accessibleName).
    virtual void pageShown(ViewPage) {}

    // The window's title (UTF-8, "Harvelin - kueche.pag"), and whether the
    // form holds changes that were neither saved nor written, which the
    // window marks as the platform's editors do.
    virtual void showTitle(const std::string& /*title*/, bool /*modified*/) {}

    // Modal message with only an OK button and the application's name as caption.
    virtual void messageBox(const std::string& text) = 0;
    // Modal question with the buttons "Ja" and "Nein"; true for "Ja".
    virtual bool askYesNo(const std::string& text) = 0;
    // Modal list of lines under `heading`, with only an OK button; the user
    // can select and copy the lines (what the pager holds beside the form).
    virtual void showLines(const std::string& heading, const std::vector<std::string>& lines) = 0;
    // Opens a document (UTF-8 path) in the system's browser, without
    // waiting for it; false when the system took none.
    virtual bool openInBrowser(const std::string& path) = 0;
    // The path chosen, or nullopt when the user cancelled.
    virtual std::optional<std::string> fileDialog(const FileDialogSpec& spec) = 0;

    virtual void startTimer(int id, unsigned periodMs) = 0;
    virtual void stopTimer(int id) = 0;
    // Paints the window now, without handling input or timer events.
    virtual void repaintNow() = 0;
    // Ends the modal dialog with this result.
    virtual void endDialog(int result) = 0;
};

}  // namespace harvelin
