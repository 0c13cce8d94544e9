// The dialog against a pager that answers anything at all: every handler
// that reads replies (search, read-out, learn, repeater status, write) runs
// over arbitrary bytes and must stay within them and within its fields, and
// store nothing that breaks the rule of what a configuration may hold.
#include <cstdint>
#include <cstdlib>
#include <cstring>
#include <memory>

#include "form_results.h"
#include "fuzz_input.h"
#include "model/configuration_rule.h"
#include "platform/clock.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "memory_host.h"

namespace {

using harvelin::fuzz::FuzzInput;

// A line whose every read returns the next piece of the fuzz input.
class FuzzPort final : public harvelin::SerialPort {
public:
    explicit FuzzPort(FuzzInput& input) : input_(input) {}
    bool readSettings() override { return input_.byte() != 0xFF; }
    bool applyLineSettings() override { return true; }
    void setTimeouts(harvelin::TimeoutSet) override {}
    std::string read(std::size_t maxBytes) override { return input_.bytes(maxBytes); }
    bool write(std::string_view) override { return input_.byte() != 0xFE; }

private:
    FuzzInput& input_;
};

class FuzzBackend final : public harvelin::SerialBackend {
public:
    explicit FuzzBackend(FuzzInput& input) : input_(input) {}
    std::unique_ptr<harvelin::SerialPort> open(const std::string&) override
    {
        if (input_.empty())
            return nullptr;
        return std::make_unique<FuzzPort>(input_);
    }

private:
    FuzzInput& input_;
};

void check(bool ok)
{
    if (!ok)
        std::abort();
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin;
    FuzzInput input(data, size);
    VirtualClock clock;
    MemoryHost host;
    FuzzBackend backend(input);
    MainDialog dialog(host, backend, PortTable::fromPaths({"/dev/fuzz0", "/dev/fuzz1"}), clock);
    dialog.OnInitDialog();

    dialog.onCommand(ctl::SearchButton);
    // The operations go on also where the search found nothing.
    if (!dialog.session().active())
        dialog.session().takePort(1);
    dialog.onCommand(ctl::ReadButton);
    dialog.onCommand(ctl::learnButton(1 + input.byte() % 16));
    for (int tick = 0; tick < 90 && dialog.session().learning(); ++tick) {
        dialog.onTimer(ctl::UiTimerId);
        clock.sleepMs(ctl::UiTimerPeriodMs);
    }
    SessionEvents none;
    dialog.session().readRepeaterStatus(none);
    dialog.onCommand(ctl::WriteButton);

    for (const CallerEntry& slot : dialog.image().callers)
        check(std::memchr(slot.text.bytes.data(), 0, 15) != nullptr);
    for (const KitchenCallEntry& slot : dialog.image().kitchenCalls)
        check(std::memchr(slot.text.bytes.data(), 0, 15) != nullptr);
    check(dialog.fields().pagerName.size() <= 14);
    check(dialog.fields().remoteDeleteText.size() <= 16);
    check(dialog.fields().repeaterTimeText.size() <= 5);
    check(host.timerRunning(ctl::UiTimerId));
    // Whatever the replies held, the form and the image hold only what a
    // configuration may: nothing wrapped, cut or carrying a control byte.
    PagerConfiguration held = dialog.configurationFromForm();
    check(!checkConfiguration(held));
    held.image = dialog.image();
    check(!checkConfiguration(held));
    return 0;
}
