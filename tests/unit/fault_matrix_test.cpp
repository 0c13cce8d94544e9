// Every device operation against every misbehaviour the simulated pager and
// its line can show, run on the pager session on virtual time. Each cell
// starts from the same place (the configuration of a file kept, the pager
// found on COM1 and holding a configuration of its own) and checks where the
// operation leaves the session: the outcome's messages, the link, "Aktiv",
// the next tick of the link watch, and which of the configuration held, the
// configuration kept and the pager changed. The form shows what the session
// decided; a few cells run through it as well.
#include <gtest/gtest.h>

#include <cstdio>
#include <filesystem>
#include <functional>
#include <map>
#include <string>
#include <vector>

#include "files/pager_data_file.h"
#include "model/win1252.h"
#include "session_rig.h"
#include "dialog_rig.h"
#include "test_files.h"
#include "transfer/messages.h"

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
    StaleAck,
    MissingAck,
    RefusalBesideAck,
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
    {Fault::Slow, "slow"},          {Fault::LateRefusal, "late-no"},    {Fault::StaleAck, "stale-ack"},
    {Fault::MissingAck, "no-ack"},  {Fault::RefusalBesideAck, "ack+Fehler"},
    {Fault::LineVanishes, "gone-mid"}, {Fault::LineComesBack, "gone+back"}, {Fault::BeyondAByte, "907"},
};

// What may change, one bit each.
enum Changed : unsigned {
    Callers = 1,   // caller slots of the configuration held
    Kitchen = 2,   // kitchen slots of the configuration held
    Settings = 4,  // pager name, remote-delete text, the three options held
    Kept = 8,      // the configuration the session keeps as saved
    Pager = 16,    // what the pager holds, its modes included
    RepeaterClock = 32,  // the repeater reported its clock (the form shows its group)
};

// Where a cell must leave things.
struct Outcome {
    std::vector<std::string> messages;
    LinkState link = LinkState::Open;
    bool aktiv = true;
    unsigned changed = 0;
    // The answer was no: an option switch or the repeater clock not
    // confirmed, or learn mode not sent. The front ends say so.
    bool refused = false;

    bool operator==(const Outcome&) const = default;
};

// The messages as the table has them, each followed by whatever the session
// adds to it (the steps it names, the pager's answer).
bool sameMessages(const std::vector<std::string>& got, const std::vector<std::string>& want)
{
    if (got.size() != want.size())
        return false;
    for (std::size_t i = 0; i < got.size(); ++i)
        if (!got[i].starts_with(want[i]))
            return false;
    return true;
}

bool matches(Outcome got, const Outcome& want)
{
    if (!sameMessages(got.messages, want.messages))
        return false;
    got.messages = want.messages;
    return got == want;
}
constexpr bool Refused = true;

const std::string NoConnection = "Es besteht keine Verbindung zum Zelvatron!";
const std::string BadData = win1252("Fehlerhafter Datenempfang – die Daten im Formular sind unverändert.");
const std::string WriteOk = win1252("Daten erfolgreich übertragen");
const std::string WriteFailed = win1252("Fehlerhafte Übertragung!");

std::string name(LinkState s)
{
    return s == LinkState::Open ? "Open" : s == LinkState::Lost ? "Lost" : "Closed";
}

std::string describe(const Outcome& o)
{
    std::string text = "{";
    for (const std::string& m : o.messages)
        text += "\"" + win1252ToUtf8(m) + "\" ";
    text += "} " + name(o.link) + (o.aktiv ? " Aktiv" : " -") + (o.refused ? " refused" : "") + " changed:";
    const char* const parts[] = {"Callers", "Kitchen", "Settings", "Kept", "Pager", "RepeaterClock"};
    for (unsigned bit = 0; bit < 6; ++bit)
        if (o.changed & (1u << bit))
            text += std::string(" ") + parts[bit];
    return text;
}

const std::filesystem::path DataFile = std::filesystem::path(HARVELIN_TEST_DATA) / "configuration.pag";

// The fault of a cell, set on the simulated pager and its line at the start
// or in the middle of the operation; a call button is pressed half a second
// into every learn window.
class FaultSetter {
public:
    FaultSetter(Op op, Fault fault, PagerLine& line) : op_(op), fault_(fault), line_(line), pager_(*line.pager)
    {
        line_.pressWhenLearning({9, 8, 7, 6, 5}, 500);
    }

    void arm()
    {
        atStart();
        pager_.onCommand = [this](std::size_t received) {
            if (received == middleCommand())
                inTheMiddle();
            // A late answer is late once.
            if (fault_ == Fault::LateRefusal && received == middleCommand() + 2)
                pager_.faults().delayFor.erase(">");
        };
    }

    void inTheMiddle()
    {
        sim::Faults& f = pager_.faults();
        switch (fault_) {
        case Fault::SilentFromMiddle: f.silent = true; break;
        case Fault::LateRefusal:
            // This command's answer and the refusal of the next come after
            // the read window.
            f.noAckFor[">"] = 1;
            f.delayFor[">"] = 350;
            break;
        case Fault::StaleAck:
            // This command's acknowledgement comes once more, 380 ms late,
            // into the window of the next, which the pager refuses.
            line_.fromPager("Eintrag Uebernommen\r\n", 380);
            f.noAckFor[">"] = 4;
            break;
        case Fault::LineVanishes: line_.backend.unplug(line_.port); break;
        case Fault::LineComesBack: line_.backend.unplug(line_.port, line_.clock.nowMs() + 1500); break;
        default: break;
        }
    }

private:
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

    void atStart()
    {
        sim::Faults& f = pager_.faults();
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
        case Fault::RefusalBesideAck:
            // Every acknowledgement word there is, behind the pager's "Fehler".
            for (const char* acknowledged : {">Setze", ">Se-", ">Bootloader"})
                f.replaceReply[acknowledged] = "Fehler\r\nEintrag Uebernommen\r\nWert Uebernommen\r\n"
                                               "Lernmodus uebernommen\r\nBootloader wird aufgerufen\r\n";
            break;
        default: break;
        }
    }

    Op op_;
    Fault fault_;
    PagerLine& line_;
    sim::PagerSimulator& pager_;
};

// Everything a cell compares before and after.
struct Snapshot {
    std::vector<std::string> callers, kitchen, settings, pager;
    std::string kept;
};

std::vector<std::string> pagerHolds(const sim::PagerState& p)
{
    std::vector<std::string> s;
    for (const sim::SimCaller& c : p.callers)
        s.push_back(c.text + "|" + std::string(c.id.begin(), c.id.end()));
    for (const sim::SimKitchenCall& k : p.kitchenCalls)
        s.push_back(k.text + "|" + std::to_string(k.key) + "|" + std::to_string(k.station));
    s.push_back(p.pagerName + "|" + p.remoteDeleteText + "|" + std::to_string(p.remoteDeleteMode) + "|" +
                std::to_string(p.debug) + "|" + std::to_string(p.vibration) + "|" + std::to_string(p.learnMode) + "|" +
                std::to_string(p.bootloaderStarted) + "|" + std::to_string(p.repeaterTestOn) + "|" +
                std::to_string(p.repeaterHour) + ":" + std::to_string(p.repeaterMinute));
    return s;
}

class Cell {
public:
    Cell(Op op, Fault fault) : op_(op), rig_(sim::demoPagerState()), fault_(op, fault, rig_)
    {
        EXPECT_FALSE(PagerDataFile::parse(readBytes(DataFile), held_).has_value());
        session().keep(held_);
        // The pager is the one the file belongs to: it answers to its name.
        rig_.pager->state().pagerName = held_.pagerName;
        if (op_ != Op::Search)
            rig_.connect();
    }

    Outcome run()
    {
        fault_.arm();
        const Snapshot before = snapshot();
        RecordingEvents& events = rig_.events;
        Outcome o;
        switch (op_) {
        case Op::Search: o.messages = session().search(events).messages; break;
        case Op::ReadOut: {
            session().configuration() = held_;
            const ReadOutOutcome outcome = session().readOut(events);
            o.messages = outcome.messages;
            if (outcome.result.complete())
                held_ = outcome.result.read;
            break;
        }
        case Op::Write:
            session().configuration() = held_;
            o.messages = session().write(events).messages;
            break;
        case Op::Learn:
            if (const LearnStart start = session().startLearn(events, 1).start; start == LearnStart::TakenUp) {
                EXPECT_TRUE(session().runLearnWindow(events, held_).ended);
            } else {
                o.refused = start == LearnStart::NotSent;
            }
            break;
        case Op::OptionSwitch:
            o.refused = !session().switchOption(events, BatterySwitch, !held_.battery, held_.pagerName).confirmed;
            break;
        case Op::Repeater:
            if (session().readRepeaterStatus(events).reported)
                o.refused = !session().setRepeaterClock(events).confirmed;
            break;
        case Op::Bootloader: session().startBootloader(events); break;
        case Op::LinkWatch:
            for (int tick = 0; tick < 60; ++tick) {
                if (tick == 20)
                    fault_.inTheMiddle();
                session().watch(false);
                rig_.clock.sleepMs(100);
            }
            break;
        }
        o.messages.insert(o.messages.end(), events.notices.begin(), events.notices.end());

        const Snapshot after = snapshot();
        o.link = session().linkState();
        o.aktiv = session().active();
        const auto mark = [&o](bool differs, Changed what) { o.changed |= differs ? what : 0u; };
        mark(before.callers != after.callers, Callers);
        mark(before.kitchen != after.kitchen, Kitchen);
        mark(before.settings != after.settings, Settings);
        mark(before.kept != after.kept, Kept);
        mark(before.pager != after.pager, Pager);
        mark(events.repeaterReported, RepeaterClock);

        // Idle again: on an open link the next tick keeps the line alive.
        if (o.link == LinkState::Open && !session().learning()) {
            EXPECT_TRUE(rig_.keepAliveOnNextWatch());
        }
        return o;
    }

private:
    PagerSession& session() { return rig_.session; }

    Snapshot snapshot()
    {
        Snapshot s;
        for (const CallerEntry& c : held_.image.callers)
            s.callers.push_back(c.text.str() + "|" + std::to_string(c.buttonIdValue()) + "|" +
                                std::to_string(c.idSuffix));
        for (const KitchenCallEntry& k : held_.image.kitchenCalls)
            s.kitchen.push_back(k.text.str() + "|" + std::to_string(k.key) + "|" + std::to_string(k.station));
        s.settings = {held_.pagerName, held_.remoteDeleteText, std::to_string(held_.battery),
                      std::to_string(held_.buzzer), std::to_string(held_.remoteDelete)};
        s.kept = PagerDataFile::format(session().kept());
        s.pager = pagerHolds(rig_.pager->state());
        return s;
    }

    Op op_;
    SessionRig rig_;
    FaultSetter fault_;
    // What a front end holds: the file's configuration, and what the
    // operation gives it.
    PagerConfiguration held_;
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
         {{{}, L::Open, true, Pager | RepeaterClock},
          {{F::SilentFromStart, {{}, L::Closed, false, 0}},
           {F::SilentFromMiddle, {{}, L::Open, true, RepeaterClock}},
           {F::Garbage, {{}, L::Closed, false, 0}},
           {F::MissingAck, {{}, L::Open, true, RepeaterClock}},
           {F::LineVanishes, {{}, L::Closed, false, 0}},
           {F::LineComesBack, {{}, L::Closed, false, 0}}}}},
        {Op::ReadOut,
         {{{}, L::Open, true, Callers | Kitchen | Settings | Kept},
          // An incomplete read-out leaves the configuration held as it was.
          {{F::SilentFromStart, {{NoConnection}, L::Open, true, 0}},
           {F::SilentFromMiddle, {{BadData}, L::Lost, false, 0}},
           {F::Garbage, {{NoConnection}, L::Open, true, 0}},
           // A reply split for longer than the pager takes to go on is asked
           // for again, and never pieced together from two answers.
           {F::Split, {{BadData}, L::Open, true, 0}},
           {F::Overlong, {{BadData}, L::Open, true, 0}},
           {F::LineVanishes, {{BadData}, L::Closed, false, 0}},
           {F::LineComesBack, {{BadData}, L::Closed, false, 0}},
           // A number no byte holds is asked for again, and never stored.
           {F::BeyondAByte, {{BadData}, L::Open, true, 0}}}}},
        {Op::Write,
         {{{WriteOk}, L::Open, true, Pager},
          {{F::SilentFromStart, {{WriteFailed}, L::Lost, false, 0}},
           {F::SilentFromMiddle, {{WriteFailed}, L::Lost, false, Pager}},
           {F::Garbage, {{WriteFailed}, L::Open, true, 0}},
           // A slow pager's answers count for their own commands; the
           // repeated acknowledgement never counts for the slot refused.
           {F::StaleAck, {{WriteFailed}, L::Open, true, Pager}},
           {F::MissingAck, {{WriteFailed}, L::Open, true, 0}},
           {F::LineVanishes, {{WriteFailed}, L::Closed, false, Pager}},
           {F::LineComesBack, {{WriteFailed}, L::Closed, false, Pager}}}}},
        {Op::Learn,
         {{{}, L::Open, true, Callers},
          {{F::SilentFromStart, untouched},
           {F::Garbage, untouched},
           {F::MissingAck, untouched},
           // A report with a number no byte holds names no button.
           {F::BeyondAByte, untouched},
           // The rest of the split acknowledgement and the report come in
           // one read; the report is the line after it.
           // Learn mode left on in the pager: the button was learned, the
           // end of learn mode not confirmed.
           {F::SilentFromMiddle, {{}, L::Open, true, Callers | Pager}},
           {F::LineVanishes, {{}, L::Closed, true, Pager, Refused}},
           {F::LineComesBack, {{}, L::Closed, true, Pager, Refused}}}}},
        {Op::OptionSwitch,
         {{{}, L::Open, true, Pager | Kept},
          {{F::SilentFromStart, {{}, L::Open, true, 0, Refused}},
           {F::Garbage, {{}, L::Open, true, 0, Refused}},
           {F::MissingAck, {{}, L::Open, true, 0, Refused}},
           {F::LineVanishes, {{}, L::Closed, true, Pager, Refused}},
           {F::LineComesBack, {{}, L::Closed, true, Pager, Refused}}}}},
        // A status exchange that went out counts as a report, so the clock
        // is set and its refusal shown also when the repeater said nothing.
        {Op::Repeater,
         {{{}, L::Open, true, Pager},
          {{F::SilentFromStart, {{}, L::Open, true, 0, Refused}},
           {F::SilentFromMiddle, {{}, L::Open, true, Pager, Refused}},
           {F::Garbage, {{}, L::Open, true, 0, Refused}},
           {F::MissingAck, {{}, L::Open, true, 0, Refused}},
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
    // A refusal beside an acknowledgement is a refusal, as a missing one.
    if (fault == F::RefusalBesideAck)
        return expected(op, F::MissingAck);
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
            const bool ok = matches(got, want);
            passed += ok ? 1 : 0;
            EXPECT_TRUE(ok) << opLabel << " × " << faultLabel << "\n  expected " << describe(want) << "\n  got      "
                            << describe(got);
            table += ok ? "ok         " : "FAIL       ";
        }
        table += "\n";
    }
    std::printf("%s%d cells, %d passing\n", table.c_str(), cells, passed);
}

// The form shows what the session decided, as the table has it: the
// outcome's messages, a no as a message of its own, "Aktiv" and the
// repeater's clock group; its timer runs again, and no operation touches the
// file it opened.
TEST(FaultMatrix, FormShowsWhatTheSessionDecided)
{
    const std::map<Op, std::string> refusal = {
        {Op::Learn, NoConnection}, {Op::OptionSwitch, switchRefusedMessage()}, {Op::Repeater, clockRefusedMessage()}};
    const std::pair<Op, Fault> cases[] = {
        {Op::Search, Fault::None},           {Op::Search, Fault::SilentFromStart}, {Op::ReadOut, Fault::SilentFromMiddle},
        {Op::Write, Fault::None},            {Op::Write, Fault::LineVanishes},     {Op::Learn, Fault::LineVanishes},
        {Op::Learn, Fault::MissingAck},      {Op::OptionSwitch, Fault::Garbage},   {Op::Repeater, Fault::SilentFromStart},
    };
    for (const auto& [op, fault] : cases) {
        SCOPED_TRACE(Ops[static_cast<std::size_t>(op)].second + std::string(" × ") +
                     Faults[static_cast<std::size_t>(fault)].second);
        const Outcome want = expected(op, fault);
        std::vector<std::string> shown = want.messages;
        if (want.refused)
            shown.push_back(refusal.at(op));
        TempDir dir;
        const std::filesystem::path file = dir.path() / "anlage.pag";
        std::filesystem::copy_file(DataFile, file);
        DialogRig rig(sim::demoPagerState());
        MainDialog& dlg = rig.dialog;
        rig.host.fileDialogAnswers.push_back(file.string());
        dlg.onCommand(ctl::OpenFileButton);
        rig.pager->state().pagerName = dlg.fields().pagerName;
        if (op != Op::Search)
            rig.connect();
        FaultSetter faults(op, fault, rig);
        faults.arm();
        switch (op) {
        case Op::Search: dlg.onCommand(ctl::SearchButton); break;
        case Op::ReadOut: dlg.onCommand(ctl::ReadButton); break;
        case Op::Write: dlg.onCommand(ctl::WriteButton); break;
        case Op::Learn: dlg.onCommand(ctl::learnButton(1)); break;
        case Op::OptionSwitch:  // the click has toggled the box already
            rig.host.setChecked(ctl::Battery, !rig.host.isChecked(ctl::Battery));
            dlg.onCommand(ctl::Battery);
            break;
        case Op::Repeater:
            if (SessionEvents none; dlg.session().readRepeaterStatus(none).reported)
                dlg.onCommand(ctl::ClockButton);
            break;
        default: FAIL();
        }
        EXPECT_TRUE(sameMessages(rig.host.messages, shown)) << ::testing::PrintToString(rig.host.messages);
        EXPECT_EQ(rig.host.isChecked(ctl::Active), want.aktiv);
        EXPECT_EQ(rig.host.isVisible(ctl::ClockButton), (want.changed & RepeaterClock) != 0);
        EXPECT_TRUE(rig.host.timerRunning(ctl::UiTimerId));
        EXPECT_EQ(readBytes(file), readBytes(DataFile));
        // On an open link the next tick keeps the line alive.
        if (dlg.session().linkState() == LinkState::Open) {
            EXPECT_TRUE(rig.keepAliveOnNextTick());
        }
    }
}

}  // namespace
}  // namespace harvelin
