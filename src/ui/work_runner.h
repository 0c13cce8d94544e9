#pragma once

#include <functional>

#include "link/operation_sink.h"

namespace harvelin {

// What a piece of the form's work on the pager may do while it runs, besides
// the sink's progress and port lines: hand something to the form's thread to
// show. What is handed over runs in order with the progress, without the
// work waiting for it.
class WorkContext : public OperationSink {
public:
    virtual void show(std::function<void()> onFormThread) = 0;
};

// Where the form's work on the pager runs. The form's handlers run on the
// form's thread; each hands what talks to the pager to run(), and `done`
// then shows what came of it, again on the form's thread. Work runs one
// piece at a time, in the order it was handed over.
class WorkRunner {
public:
    virtual ~WorkRunner() = default;
    virtual void run(std::function<void(WorkContext&)> work, std::function<void()> done) = 0;
    // Work handed over and not yet ended. A tick of the form's timer that
    // falls due meanwhile is left out, not caught up.
    virtual bool working() const = 0;
    // Called by the link while an exchange waits: on the form's thread the
    // window paints what was just set; elsewhere it paints by itself.
    virtual void repaintWhileWaiting() = 0;
};

}  // namespace harvelin
