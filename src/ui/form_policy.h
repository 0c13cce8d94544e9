#pragma once

#include <functional>
#include <optional>
#include <string>
#include <string_view>
#include <vector>

#include "ui/dialog_layout.h"

namespace harvelin {

// What the desktop forms, the Qt one and the Windows one, decide alike about
// their window: what an edit takes, what the title says, and how the input
// is held while a click's work runs. The toolkits only carry it out on their
// controls. Controls are named by their ids (ui/control_ids.h); texts are
// Windows-1252 bytes unless said otherwise.

// What an edit of the main form takes: "Taste" and "Station" a number, the
// others text.
enum class FieldInput { Text, Number };
FieldInput fieldInput(int controlId);

// Whether an edit may hold `text` as a whole, by the form's rule
// (checkFormField): a number field a number from 0 to 255 or nothing, a text
// field only characters the pager can show. The edit's limit keeps the
// length. Both forms refuse typing or a paste that would break this.
bool fieldMayHold(FieldInput input, std::string_view text);

// The window's title (UTF-8) with the change mark after the name, as the
// editors of both systems put it: "Harvelin - kueche.pag*".
std::string windowTitle(const std::string& title, bool modified);

// The input of a form held from a click until its work is done and shown
// (ClickGate::Window): every control the user acts on is disabled except
// "Abbrechen", and what the dialog enables or focuses meanwhile takes effect
// when the hold ends. The focus then goes where the keyboard was, so a
// screen reader user keeps their place.
class InputHold {
public:
    // The controls of `form` that the hold takes out: buttons, check boxes,
    // radio buttons, edits and the list. Labels, frames and the progress bar
    // go on showing what the work does.
    explicit InputHold(const layout::Dialog& form);

    bool held() const { return held_; }

    // Starts the hold, with the focus on `focused` (layout::NoId for none);
    // the controls to disable now, of those `isEnabled` says are enabled.
    // Nothing when the input is held already. With "Abbrechen" to show, the
    // window shows it and gives it the focus before it disables anything,
    // so no other control reports the focus on the way.
    std::vector<int> begin(int focused, const std::function<bool(int id)>& isEnabled);

    // The dialog enables or disables a control: whether the window does so
    // now. While held, a control the hold took out keeps the dialog's word
    // for the end of the hold instead; `enabledNow` is whether it is enabled
    // at the moment.
    bool enableNow(int id, bool enabled, bool enabledNow);
    // The dialog gives a control the focus: whether the window does so now.
    // While held, the focus goes to the last one asked for when the hold
    // ends; "Abbrechen" takes it at once.
    bool focusNow(int id);
    // "Abbrechen" is to hide: whether the window hides it now. Hidden with
    // the focus while the rest is still held, it would leave the keyboard
    // nowhere for a moment (and a screen reader on some other control): it
    // then goes once the focus is back (End::hideCancel).
    bool hideCancelNow(bool cancelHasFocus);

    // What the window does as the hold ends, in this order.
    struct End {
        // Enabled again.
        std::vector<int> enable;
        // The focus goes to `focus` (NoId: it stays where it is). Asked for
        // by the dialog, it goes as the dialog gives it (an edit's text
        // selected); otherwise it is the control that had it before the
        // hold, and a control that cannot take it now (hidden, disabled)
        // hands it on to the next one in the tab order.
        int focus = layout::NoId;
        bool focusAsked = false;
        // "Abbrechen" goes now; should it still have the focus, the first
        // control of the tab order takes it first.
        bool hideCancel = false;
    };
    // Ends the hold; nothing when the input was not held.
    std::optional<End> end();

private:
    bool takesOut(int id) const;

    std::vector<int> takesInput_;  // in tab order, "Abbrechen" left out
    bool held_ = false;
    std::vector<int> disabledByHold_;
    int focusBefore_ = layout::NoId;
    std::optional<int> focusAsked_;
    bool cancelHidesAtEnd_ = false;
};

}  // namespace harvelin
