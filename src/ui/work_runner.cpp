#include "ui/work_runner.h"

#include "ui/dialog_host.h"

namespace harvelin {

namespace {

class InlineContext final : public WorkContext {
public:
    explicit InlineContext(DialogHost& host) : host_(host) {}
    void progressRange(int low, int high) override { host_.setProgressRange(low, high); }
    void progress(int position) override { host_.setProgressPos(position); }
    void portLine(const std::string& line) override { host_.setPortListLine(line); }
    void repaint() override { host_.repaintNow(); }
    void notice(const std::string& text) override { host_.messageBox(text); }
    void show(std::function<void()> onFormThread) override { onFormThread(); }

private:
    DialogHost& host_;
};

}  // namespace

void InlineRunner::run(std::function<void(WorkContext&)> work, std::function<void()> done)
{
    InlineContext context(host_);
    ++depth_;
    work(context);
    --depth_;
    if (done)
        done();
}

void InlineRunner::repaintWhileWaiting() { host_.repaintNow(); }

}  // namespace harvelin
