#pragma once

// What the targets that drive the dialog share: a line whose every read,
// write and open is decided by the fuzz input, a dialog on virtual time
// connected to it, and the properties every handler must keep.

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <memory>
#include <string>
#include <vector>

#include "fuzz_input.h"
#include "platform/clock.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"
#include "form_results.h"
#include "memory_host.h"

// Stops the run with the property that failed, so a finding names it.
#define FUZZ_CHECK(cond)                                                                         \
    do {                                                                                         \
        if (!(cond)) {                                                                           \
            std::fprintf(stderr, "property failed: %s (%s:%d)\n", #cond, __FILE__, __LINE__);    \
            std::abort();                                                                        \
        }                                                                                        \
    } while (0)

namespace harvelin::fuzz {

// A line whose every read returns the next piece of the fuzz input; writes
// fail when the input says so. What was written is kept.
class FuzzPort final : public SerialPort {
public:
    FuzzPort(FuzzInput& input, std::vector<std::string>& written) : input_(input), written_(written) {}
    bool readSettings() override { return input_.byte() != 0xFF; }
    bool applyLineSettings() override { return true; }
    void setTimeouts(TimeoutSet) override {}
    std::string read(std::size_t maxBytes) override { return input_.bytes(maxBytes); }
    bool write(std::string_view bytes) override
    {
        written_.emplace_back(bytes);
        return input_.byte() != 0xFE;
    }

private:
    FuzzInput& input_;
    std::vector<std::string>& written_;
};

// Every open succeeds while input is left.
class FuzzBackend final : public SerialBackend {
public:
    explicit FuzzBackend(FuzzInput& input) : input_(input) {}
    std::unique_ptr<SerialPort> open(const std::string&) override
    {
        if (input_.empty())
            return nullptr;
        return std::make_unique<FuzzPort>(input_, written);
    }
    std::vector<std::string> written;

private:
    FuzzInput& input_;
};

// The in-memory host as the windows' hosts are: it tells the dialog whether
// anything was typed since the controls were last taken, so a tick reads the
// whole form back only then. Nothing is typed while a target ticks; a target
// that changes a control as the user would and leaves it to the next tick
// sets typed.
class FuzzHost final : public MemoryHost {
public:
    bool userChangedControls() const override { return typed; }
    void userChangesTaken() override { typed = false; }

    bool typed = true;
};

struct FuzzDialog {
    explicit FuzzDialog(FuzzInput& in)
        : input(in), backend(in), dialog(host, backend, PortTable::fromPaths({"/dev/fuzz0", "/dev/fuzz1"}), clock)
    {
        dialog.OnInitDialog();
    }

    // As a search that found the pager on port 1 leaves the dialog.
    void connect()
    {
        dialog.session().takePort(1);
        host.setChecked(ctl::Active, true);
    }

    // The properties that hold after any handler, whatever the pager said.
    void checkInvariants()
    {
        PagerSession& session = dialog.session();
        for (const CallerEntry& slot : dialog.image().callers)
            FUZZ_CHECK(std::memchr(slot.text.bytes.data(), 0, 15) != nullptr);
        for (const KitchenCallEntry& slot : dialog.image().kitchenCalls)
            FUZZ_CHECK(std::memchr(slot.text.bytes.data(), 0, 15) != nullptr);
        FUZZ_CHECK(dialog.fields().pagerName.size() <= 14);
        FUZZ_CHECK(dialog.fields().remoteDeleteText.size() <= 16);
        FUZZ_CHECK(dialog.fields().repeaterTimeText.size() <= 5);
        FUZZ_CHECK(session.portNumber() == 0 || session.ports().entry(session.portNumber()) != nullptr);
        FUZZ_CHECK(session.linkState() == LinkState::Closed || session.linkState() == LinkState::Open ||
                   session.linkState() == LinkState::Lost);
        FUZZ_CHECK(session.learnWindow().slot() <= static_cast<int>(CallerSlots));
        FUZZ_CHECK(session.learnWindow().lineLength() < LearnWindow::LineCapacity);
        // The form is idle again: its timer runs.
        FUZZ_CHECK(host.timerRunning(ctl::UiTimerId));
        // Every frame the tool sends is 0x16, a command of printable text, CR;
        // the presence check may go in front of it, the keep-alive alone; the
        // search's probe is the one frame of its own.
        for (const std::string& w : backend.written)
            FUZZ_CHECK(w == ">@\r\n" || (w.size() >= 1 && w.front() == 0x16 && (w.size() == 1 || w.back() == '\r')));
    }

    // Ticks of the 100 ms timer, as the window would run them.
    void tick(int count)
    {
        for (int i = 0; i < count; ++i) {
            dialog.onTimer(ctl::UiTimerId);
            clock.sleepMs(ctl::UiTimerPeriodMs);
        }
    }

    FuzzInput& input;
    VirtualClock clock;
    FuzzHost host;
    FuzzBackend backend;
    MainDialog dialog;
    FormResults results{dialog};
};

}  // namespace harvelin::fuzz
