#pragma once

#include "win/windows_api.h"

#include <oleacc.h>

#include <string>
#include <vector>

namespace harvelin::win {

// What a screen reader is told a control is called. Asked on the form's
// thread each time the name is read, so it always says what the control
// stands for now (the slot a caller row shows, the line a label shows).
class ControlNamer {
public:
    virtual ~ControlNamer() = default;
    // Empty: the system's own name stands.
    virtual std::wstring accessibleName(HWND control) const = 0;
    // Empty: none (the system's controls have none of their own).
    virtual std::wstring accessibleDescription(HWND) const { return {}; }
};

// The form's controls as the system's accessibility layer (MSAA, and UI
// Automation through it) sees them: the system's own object for each
// control, with only the name and the description taken from the namer.
// Screen readers learn of a change through the WinEvents the form raises.
// Lives on the form's thread, which must be a COM apartment of its own (CoInitializeEx,
// apartment-threaded): the objects are handed out and called there.
class AccessibleControls {
public:
    explicit AccessibleControls(const ControlNamer& namer) : namer_(namer) {}
    ~AccessibleControls();
    AccessibleControls(const AccessibleControls&) = delete;
    AccessibleControls& operator=(const AccessibleControls&) = delete;

    // The control answers WM_GETOBJECT for its client object with the
    // namer's name from now on.
    void name(HWND control);
    // A polite live region: a screen reader reads what it shows when it
    // changes (liveRegionChanged), without the focus moving there.
    void markLive(HWND control);

    // EVENT_OBJECT_NAMECHANGE, _VALUECHANGE, _STATECHANGE for the
    // control's client object.
    static void tell(HWND control, DWORD event);
    static void liveRegionChanged(HWND control);

private:
    const ControlNamer& namer_;
    IAccPropServices* annotations_ = nullptr;
    std::vector<HWND> live_;
};

}  // namespace harvelin::win
