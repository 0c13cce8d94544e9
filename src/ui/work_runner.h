#pragma once

#include <functional>

#include "session/pager_session.h"

namespace harvelin {

// Where the form's work on the pager runs. The form's handlers run on the
// form's thread; each hands one of the session's actions to run(), and
// `done` then shows what came of it, again on the form's thread. Work runs
// one piece at a time, in the order it was handed over.
class WorkRunner {
public:
    virtual ~WorkRunner() = default;
    // Where what the session tells while work runs is shown: each event is
    // handed to `shown` on the form's thread, in the order told, without the
    // work waiting for it.
    virtual void showEventsOn(SessionEvents& shown) = 0;
    virtual void run(std::function<void(SessionEvents&)> work, std::function<void()> done) = 0;
    // Work handed over and not yet ended. A tick of the form's timer that
    // falls due meanwhile is left out, not caught up.
    virtual bool working() const = 0;
    // Called by the link while an exchange waits: on the form's thread the
    // window paints what was just set; elsewhere it paints by itself.
    virtual void repaintWhileWaiting() = 0;
};

}  // namespace harvelin
