#pragma once

#include <string>

namespace harvelin {

// What a running operation tells whoever started it, while it runs: the
// progress bar, the one-line port list, a repaint of what was just shown,
// and a message that must be seen before the operation goes on. Every call
// comes on the thread that runs the operation; the defaults do nothing.
// Stopping goes through the link (SerialLink::cancel).
class OperationSink {
public:
    virtual ~OperationSink() = default;
    virtual void progressRange(int /*low*/, int /*high*/) {}
    virtual void progress(int /*position*/) {}
    virtual void portLine(const std::string& /*line*/) {}
    virtual void repaint() {}
    // A message box in the middle of an operation (Windows-1252 text); the
    // operation goes on when it is closed.
    virtual void notice(const std::string& /*text*/) {}
};

}  // namespace harvelin
