#include "ui/click_gate.h"

#include "ui/control_ids.h"
#include "ui/dialog_layout.h"

namespace harvelin {

void ClickGate::press(int id)
{
    run(id, [this, id] { dialog_.onCommand(id); });
}

// A tick of the form's timer may be under way on the device thread; the
// file waits for it rather than being passed over.
void ClickGate::openGivenFile(const std::string& path)
{
    runner_.whenIdle(
        [this, path] { run(ctl::OpenFileButton, [this, &path] { dialog_.openGivenFile(path); }); });
}

// The cancel flag is cleared before the handler starts (a cancel pressed at
// once still counts) and after its work, so no later command is refused.
void ClickGate::run(int id, const std::function<void()>& handler)
{
    if (busy_)
        return;
    busy_ = true;
    runningId_ = id;
    cancellable_ = id == ctl::SearchButton || id == ctl::ReadButton || id == ctl::WriteButton ||
                   id == static_cast<int>(layout::CompareCommand);
    window_.holdInput(cancellable_);
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
    runningId_ = 0;
    window_.hideCancel();
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

bool ClickGate::closeDeferred(bool ask)
{
    if (!busy_)
        return false;
    if (asking_)
        return true;
    if (ask && writing()) {
        asking_ = true;
        const bool stop = dialog_.mayStopWriteToClose();
        asking_ = false;
        if (!stop)
            return true;
        if (!busy_)
            return false;
    }
    cancel();
    closePending_ = true;
    return true;
}

void ClickGate::hold()
{
    busy_ = true;
    window_.holdInput(false);
}

void ClickGate::release()
{
    window_.releaseInput();
    busy_ = false;
}

}  // namespace harvelin
