#pragma once

#include "link/operation_sink.h"
#include "ui/dialog_host.h"

namespace harvelin {

// An operation's progress and port lines straight onto the form's controls.
class HostSink : public OperationSink {
public:
    explicit HostSink(DialogHost& host) : host_(host) {}

    void progressRange(int low, int high) override { host_.setProgressRange(low, high); }
    void progress(int position) override { host_.setProgressPos(position); }
    void portLine(const std::string& line) override { host_.setPortListLine(line); }
    void repaint() override { host_.repaintNow(); }
    void notice(const std::string& text) override { host_.messageBox(text); }

private:
    DialogHost& host_;
};

}  // namespace harvelin
