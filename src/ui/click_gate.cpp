#include "ui/click_gate.h"

#include "ui/control_ids.h"

namespace harvelin {

void ClickGate::press(int id)
{
    run(id, [this, id] { dialog_.onCommand(id); });
}

void ClickGate::openGivenFile(const std::string& path)
{
    run(ctl::OpenFileButton, [this, &path] { dialog_.openGivenFile(path); });
}

// The cancel flag is cleared before the handler starts (a cancel pressed at
// once still counts) and after its work, so no later command is refused.
void ClickGate::run(int id, const std::function<void()>& handler)
{
    if (busy_)
        return;
    busy_ = true;
    cancellable_ = id == ctl::SearchButton || id == ctl::ReadButton || id == ctl::WriteButton;
    window_.holdInput();
    if (cancellable_)
        window_.showCancel(true);
    dialog_.session().clearStop();
    handler();
    runner_.whenIdle([this] {
        dialog_.session().clearStop();
        ended();
    });
}

void ClickGate::ended()
{
    busy_ = false;
    cancellable_ = false;
    window_.showCancel(false);
    window_.releaseInput();
    window_.clickEnded();
    if (closePending_) {
        closePending_ = false;
        window_.closeAgain();
    }
}

void ClickGate::cancel()
{
    if (busy_ && cancellable_)
        dialog_.session().requestStop();
}

bool ClickGate::closeDeferred()
{
    if (!busy_)
        return false;
    cancel();
    closePending_ = true;
    return true;
}

void ClickGate::hold()
{
    busy_ = true;
    window_.holdInput();
}

void ClickGate::release()
{
    window_.releaseInput();
    busy_ = false;
}

}  // namespace harvelin
