// Every device operation against every misbehaviour the simulated pager and
// its line can show, on virtual time. Each cell starts from the same place
// (a configuration file opened into the form, the pager found on COM1 and
// holding a configuration of its own) and checks where the operation leaves
// the dialog: the messages shown, the link, "Aktiv", the timer, the next tick,
// and which of image, form, pager and file changed.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <fstream>
#include <iterator>
#include <map>
#include <string>
#include <vector>

#include "form_results.h"
#include "model/win1252.h"
#include "sim_rig.h"
#include "temp_dir.h"

namespace harvelin {
namespace {

enum class Op { Search, ReadOut, Write, Learn, OptionSwitch, Repeater, Bootloader, LinkWatch };
enum class Fault {
    None,
    SilentFromStart,
    SilentFromMiddle,
    Garbage,
    Split,
    Overlong,
    Slow,
    LateRefusal,
    MissingAck,
    LineVanishes,
    LineComesBack,
    BeyondAByte,
};

const std::vector<std::pair<Op, const char*>> Ops = {
    {Op::Search, "search"},       {Op::ReadOut, "read-out"},   {Op::Write, "write"},
    {Op::Learn, "learn"},         {Op::OptionSwitch, "option"}, {Op::Repeater, "repeater"},
    {Op::Bootloader, "bootldr"},  {Op::LinkWatch, "watch"},
};
const std::vector<std::pair<Fault, const char*>> Faults = {
    {Fault::None, "none"},          {Fault::SilentFromStart, "silent"}, {Fault::SilentFromMiddle, "silent-mid"},
    {Fault::Garbage, "garbage"},    {Fault::Split, "split"},            {Fault::Overlong, ">200"},
    {Fault::Slow, "slow"},          {Fault::LateRefusal, "late-no"},    {Fault::MissingAck, "no-ack"},
    {Fault::LineVanishes, "gone-mid"}, {Fault::LineComesBack, "gone+back"}, {Fault::BeyondAByte, "907"},
};

// What may change, one bit each.
enum Part : unsigned {
    Callers = 1,    // caller slots of the image
    Kitchen = 2,    // kitchen slots of the image
    Settings = 4,   // pager name, remote-delete text, the three option boxes
    Rows = 8,       // the form's rows
    Pager = 16,     // what the pager holds, its modes included
    Clock = 32,     // the repeater clock group shown
    File = 64,      // the configuration file
};

// Where a cell must leave things.
struct Outcome {
    std::vector<std::string> messages;
    LinkState link = LinkState::Open;
    bool aktiv = true;
    unsigned changed = 0;

    bool operator==(const Outcome&) const = default;
};

const std::string NoConnection = "Es besteht keine Verbindung zum Zelvatron!";
const std::string BadData = win1252("Fehlerhafter Datenempfang – die Daten im Formular sind unverändert.");
const std::string WriteOk = win1252("Daten erfolgreich übertragen");
const std::string WriteFailed = win1252("Fehlerhafte Übertragung!");
const std::string SwitchRefused = win1252("Der Pager hat die Einstellung nicht übernommen.");
const std::string ClockRefused = win1252("Der Repeater hat die Uhrzeit nicht übernommen.");

std::string name(LinkState s)
{
    return s == LinkState::Open ? "Open" : s == LinkState::Lost ? "Lost" : "Closed";
}

std::string describe(const Outcome& o)
{
    std::string text = "{";
    for (const std::string& m : o.messages)
        text += "\"" + win1252ToUtf8(m) + "\" ";
    text += "} " + name(o.link) + (o.aktiv ? " Aktiv" : " -") + " changed:";
    const char* const parts[] = {"Callers", "Kitchen", "Settings", "Rows", "Pager", "Clock", "File"};
    for (unsigned bit = 0; bit < 7; ++bit)
        if (o.changed & (1u << bit))
            text += std::string(" ") + parts[bit];
    return text;
}

std::string readBytes(const std::filesystem::path& path)
{
    std::ifstream in(path, std::ios::binary);
    return std::string(std::istreambuf_iterator<char>(in), {});
}

// Everything a cell compares before and after.
struct Snapshot {
    std::vector<std::string> callers, kitchen, settings, rows, pager;
    bool clockShown = false;
    std::string file;
};

class Cell {
public:
    Cell(Op op, Fault fault) : op_(op), fault_(fault), rig_(sim::demoPagerState())
    {
        std::filesystem::copy_file(std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag", file_);
        dlg().OnInitDialog();
        rig_.host.fileDialogAnswers.push_back(file_.string());
        dlg().onCommand(ctl::OpenFileButton);
        // The pager is the one the file belongs to: it answers to its name.
        rig_.pager->state().pagerName = dlg().fields().pagerName;
        if (op_ != Op::Search)
            rig_.connect();
        // A call button is pressed half a second into every learn window.
        rig_.pager->onLearnMode = [this](bool on) {
            if (on)
                rig_.backend.inject("COM1", rig_.pager->pressButton({9, 8, 7, 6, 5}), rig_.clock.nowMs() + 500);
        };
    }

    Outcome run()
    {
        startFault();
        rig_.pager->onCommand = [this](std::size_t received) {
            if (received == middleCommand())
                middleFault();
            // A late answer is late once.
            if (fault_ == Fault::LateRefusal && received == middleCommand() + 2)
                rig_.pager->faults().delayFor.erase(">");
        };
        if (op_ == Op::OptionSwitch)  // the click has toggled the box already
            rig_.host.setChecked(ctl::Battery, !rig_.host.isChecked(ctl::Battery));
        const Snapshot before = snapshot();

        switch (op_) {
        case Op::Search: dlg().onCommand(ctl::SearchButton); break;
        case Op::ReadOut: dlg().onCommand(ctl::ReadButton); break;
        case Op::Write: dlg().onCommand(ctl::WriteButton); break;
        case Op::Learn:
            dlg().onCommand(ctl::learnButton(1));
            for (int tick = 0; tick < 150 && dlg().session().learning(); ++tick)
                tick100ms();
            break;
        case Op::OptionSwitch: dlg().onCommand(ctl::Battery); break;
        case Op::Repeater:
            if (SessionEvents none; dlg().session().readRepeaterStatus(none).reported)
                dlg().onCommand(ctl::ClockButton);
            break;
        case Op::Bootloader: dlg().onCommand(ctl::BootloaderButton); break;
        case Op::LinkWatch:
            for (int tick = 0; tick < 60; ++tick) {
                if (tick == 20)
                    middleFault();
                tick100ms();
            }
            break;
        }

        // Always so, whatever happened.
        EXPECT_TRUE(rig_.host.timerRunning(ctl::UiTimerId));

        const Snapshot after = snapshot();
        Outcome o;
        o.messages = rig_.host.messages;
        o.link = dlg().session().linkState();
        o.aktiv = rig_.host.isChecked(ctl::Active);
        const auto mark = [&o](bool differs, Part part) { o.changed |= differs ? part : 0u; };
        mark(before.callers != after.callers, Callers);
        mark(before.kitchen != after.kitchen, Kitchen);
        mark(before.settings != after.settings, Settings);
        mark(before.rows != after.rows, Rows);
        mark(before.pager != after.pager, Pager);
        mark(before.clockShown != after.clockShown, Clock);
        mark(before.file != after.file, File);

        // The form is idle again: on an open link the next tick keeps the
        // line alive.
        if (o.link == LinkState::Open && !dlg().session().learning()) {
            rig_.backend.clearEvents();
            tick100ms();
            EXPECT_EQ(rig_.backend.writes("COM1"), std::vector<std::string>{"\x16"});
        }
        return o;
    }

private:
    MainDialog& dlg() { return rig_.dialog; }

    void tick100ms()
    {
        dlg().onTimer(ctl::UiTimerId);
        rig_.clock.sleepMs(ctl::UiTimerPeriodMs);
    }

    // The command after which a fault "from the middle" sets in.
    std::size_t middleCommand() const
    {
        switch (op_) {
        case Op::ReadOut:
        case Op::Write: return 6;
        case Op::Repeater: return 2;
        case Op::LinkWatch: return 0;  // by time instead
        default: return 1;
        }
    }

    void startFault()
    {
        sim::Faults& f = rig_.pager->faults();
        switch (fault_) {
        case Fault::SilentFromStart: f.silent = true; break;
        case Fault::BeyondAByte: f.numbersBeyondAByte = true; break;
        case Fault::Garbage: f.replaceReply[">"] = "\x7F#?\xFE\x01-*-\r\n"; break;
        case Fault::Split:
            f.splitAt = 6;
            f.splitDelayMs = 400;  // the rest arrives with the next read
            break;
        case Fault::Overlong: f.padTo = 300; break;
        case Fault::Slow: f.replyDelayMs = 350; break;
        case Fault::MissingAck:
            for (const char* acknowledged : {">Setze", ">Se-", ">Bootloader"})
                f.noAckFor[acknowledged] = -1;
            break;
        default: break;
        }
    }

    void middleFault()
    {
        sim::Faults& f = rig_.pager->faults();
        switch (fault_) {
        case Fault::SilentFromMiddle: f.silent = true; break;
        case Fault::LateRefusal:
            // This command's answer and the refusal of the next come after
            // the read window.
            f.noAckFor[">"] = 1;
            f.delayFor[">"] = 350;
            break;
        case Fault::LineVanishes: rig_.backend.unplug("COM1"); break;
        case Fault::LineComesBack: rig_.backend.unplug("COM1", rig_.clock.nowMs() + 1500); break;
        default: break;
        }
    }

    Snapshot snapshot()
    {
        Snapshot s;
        for (const CallerEntry& c : dlg().image().callers)
            s.callers.push_back(c.text.str() + "|" + std::to_string(c.buttonIdValue()) + "|" +
                                std::to_string(c.idSuffix));
        for (const KitchenCallEntry& k : dlg().image().kitchenCalls)
            s.kitchen.push_back(k.text.str() + "|" + std::to_string(k.key) + "|" + std::to_string(k.station));
        s.settings = {dlg().fields().pagerName, dlg().fields().remoteDeleteText};
        for (const int box : {ctl::Battery, ctl::Buzzer, ctl::RemoteDelete})
            s.settings.push_back(rig_.host.isChecked(box) ? "on" : "off");
        for (int r = 1; r <= MainDialog::Rows; ++r)
            s.rows.push_back(rig_.host.controlText(ctl::callerText(r)) + "|" + rig_.host.controlText(ctl::idText(r)));
        const sim::PagerState& p = rig_.pager->state();
        for (const sim::SimCaller& c : p.callers)
            s.pager.push_back(c.text + "|" + std::string(c.id.begin(), c.id.end()));
        for (const sim::SimKitchenCall& k : p.kitchenCalls)
            s.pager.push_back(k.text + "|" + std::to_string(k.key) + "|" + std::to_string(k.station));
        s.pager.push_back(p.pagerName + "|" + p.remoteDeleteText + "|" + std::to_string(p.remoteDeleteMode) + "|" +
                          std::to_string(p.debug) + "|" + std::to_string(p.vibration) + "|" +
                          std::to_string(p.learnMode) + "|" + std::to_string(p.bootloaderStarted) + "|" +
                          std::to_string(p.repeaterTestOn) + "|" + std::to_string(p.repeaterHour) + ":" +
                          std::to_string(p.repeaterMinute));
        s.clockShown = rig_.host.isVisible(ctl::ClockButton);
        s.file = readBytes(file_);
        return s;
    }

    Op op_;
    Fault fault_;
    TempDir dir_;
    std::filesystem::path file_ = dir_.path() / "anlage.pag";
    SimRig rig_;
};

// Where each cell must end. Most cells of a row share an outcome; the table
// lists the row's usual one and the cells that differ.
Outcome expected(Op op, Fault fault)
{
    using F = Fault;
    using L = LinkState;
    // The line gone for good or for longer than the operation leaves the
    // link down; where the operation did not clear "Aktiv", the link watch's
    // next tick does.
    const Outcome untouched{{}, L::Open, true, 0};
    struct Row {
        Outcome usual;
        std::map<Fault, Outcome> differing;
    };
    static const std::map<Op, Row> table = {
        {Op::Search,
         {{{}, L::Open, true, Pager | Clock},
          {{F::SilentFromStart, {{}, L::Closed, false, 0}},
           {F::SilentFromMiddle, {{}, L::Open, true, Clock}},
           {F::Garbage, {{}, L::Closed, false, 0}},
           {F::MissingAck, {{}, L::Open, true, Clock}},
           {F::LineVanishes, {{}, L::Closed, false, 0}},
           {F::LineComesBack, {{}, L::Closed, false, 0}}}}},
        {Op::ReadOut,
         {{{}, L::Open, true, Callers | Kitchen | Settings | Rows},
          // An incomplete read-out leaves the form as it was.
          {{F::SilentFromStart, {{NoConnection}, L::Open, true, 0}},
           {F::SilentFromMiddle, {{BadData}, L::Lost, false, 0}},
           {F::Garbage, {{NoConnection}, L::Open, true, 0}},
           // Everything arrived, but a late answer may have gone astray.
           {F::LateRefusal, {{BadData}, L::Open, true, 0}},
           {F::Split, {{BadData}, L::Open, true, 0}},
           {F::Overlong, {{BadData}, L::Open, true, 0}},
           // Replies after the read window never count, not even the version.
           {F::Slow, {{NoConnection}, L::Open, true, 0}},
           {F::LineVanishes, {{BadData}, L::Closed, false, 0}},
           {F::LineComesBack, {{BadData}, L::Closed, false, 0}},
           // A number no byte holds is asked for again, and never stored.
           {F::BeyondAByte, {{BadData}, L::Open, true, 0}}}}},
        {Op::Write,
         {{{WriteOk}, L::Open, true, Pager},
          {{F::SilentFromStart, {{WriteFailed}, L::Lost, false, 0}},
           {F::SilentFromMiddle, {{WriteFailed}, L::Lost, false, Pager}},
           {F::Garbage, {{WriteFailed}, L::Open, true, 0}},
           // The pager took every step, but its acknowledgements came late.
           {F::Slow, {{WriteFailed}, L::Open, true, Pager}},
           {F::LateRefusal, {{WriteFailed}, L::Open, true, Pager}},
           {F::MissingAck, {{WriteFailed}, L::Open, true, 0}},
           {F::LineVanishes, {{WriteFailed}, L::Closed, false, Pager}},
           {F::LineComesBack, {{WriteFailed}, L::Closed, false, Pager}}}}},
        {Op::Learn,
         {{{}, L::Open, true, Callers | Rows},
          {{F::SilentFromStart, untouched},
           {F::Garbage, untouched},
           {F::MissingAck, untouched},
           // A report with a number no byte holds names no button.
           {F::BeyondAByte, untouched},
           // The pager took up learn mode, but said so too late.
           {F::Slow, {{}, L::Open, true, Pager}},
           // Learn mode left on in the pager: the button was learned, the
           // end of learn mode not confirmed.
           {F::SilentFromMiddle, {{}, L::Open, true, Callers | Rows | Pager}},
           {F::LineVanishes, {{NoConnection}, L::Closed, true, Pager}},
           {F::LineComesBack, {{NoConnection}, L::Closed, true, Pager}}}}},
        {Op::OptionSwitch,
         {{{}, L::Open, true, Pager},
          {{F::SilentFromStart, {{SwitchRefused}, L::Open, true, 0}},
           {F::Garbage, {{SwitchRefused}, L::Open, true, 0}},
           {F::MissingAck, {{SwitchRefused}, L::Open, true, 0}},
           // Switched, but the confirmation came late or not at all.
           {F::Slow, {{SwitchRefused}, L::Open, true, Pager}},
           {F::LateRefusal, {{SwitchRefused}, L::Open, true, Pager}},
           {F::LineVanishes, {{SwitchRefused}, L::Closed, true, Pager}},
           {F::LineComesBack, {{SwitchRefused}, L::Closed, true, Pager}}}}},
        // A status exchange that went out counts as a report, so the clock
        // is set and its refusal shown also when the repeater said nothing.
        {Op::Repeater,
         {{{}, L::Open, true, Pager},
          {{F::SilentFromStart, {{ClockRefused}, L::Open, true, 0}},
           {F::SilentFromMiddle, {{ClockRefused}, L::Open, true, Pager}},
           {F::Garbage, {{ClockRefused}, L::Open, true, 0}},
           {F::Slow, {{ClockRefused}, L::Open, true, Pager}},
           {F::MissingAck, {{ClockRefused}, L::Open, true, 0}},
           {F::LineVanishes, {{}, L::Closed, true, Pager}},
           {F::LineComesBack, {{}, L::Closed, true, Pager}}}}},
        {Op::Bootloader,
         {{{}, L::Open, true, Pager},
          {{F::SilentFromStart, untouched},
           {F::Garbage, untouched},
           {F::MissingAck, untouched},
           {F::LineVanishes, {{}, L::Closed, true, Pager}},
           {F::LineComesBack, {{}, L::Closed, true, Pager}}}}},
        {Op::LinkWatch, {untouched, {{F::LineVanishes, {{}, L::Lost, false, 0}}}}},
    };
    const Row& row = table.at(op);
    const auto differing = row.differing.find(fault);
    return differing != row.differing.end() ? differing->second : row.usual;
}

TEST(FaultMatrix, EveryOperationMeetsEveryFault)
{
    std::string table = "            ";
    for (const auto& [fault, label] : Faults) {
        char cell[16];
        std::snprintf(cell, sizeof cell, "%-11s", label);
        table += cell;
    }
    table += "\n";
    int cells = 0;
    int passed = 0;
    for (const auto& [op, opLabel] : Ops) {
        char head[16];
        std::snprintf(head, sizeof head, "%-12s", opLabel);
        table += head;
        for (const auto& [fault, faultLabel] : Faults) {
            const Outcome want = expected(op, fault);
            const Outcome got = Cell(op, fault).run();
            ++cells;
            const bool ok = got == want;
            passed += ok ? 1 : 0;
            EXPECT_TRUE(ok) << opLabel << " × " << faultLabel << "\n  expected " << describe(want) << "\n  got      "
                            << describe(got);
            table += ok ? "ok         " : "FAIL       ";
        }
        table += "\n";
    }
    std::printf("%s%d cells, %d passing\n", table.c_str(), cells, passed);
}

}  // namespace
}  // namespace harvelin
