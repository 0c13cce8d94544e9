#include "transfer/messages.h"

#include <cstdio>

#include "link/port_problem.h"
#include "model/conversions.h"
#include "model/win1252.h"

namespace harvelin {

namespace {

// Paths come as UTF-8; a message shows Windows-1252. A character that
// Windows-1252 cannot hold is shown as "?", so the rest of the name still
// reads as the user typed it.
std::string displayName(const std::string& path)
{
    std::string shown;
    for (std::size_t i = 0; i < path.size();) {
        const auto lead = static_cast<unsigned char>(path[i]);
        const std::size_t length = lead < 0xC0 ? 1 : lead < 0xE0 ? 2 : lead < 0xF0 ? 3 : 4;
        const std::string_view character = std::string_view(path).substr(i, length);
        const auto byte = utf8ToWin1252(character);
        shown += byte ? *byte : std::string("?");
        i += character.size();
    }
    return shown;
}

std::string fileMessage(const std::string& path, std::string_view what, const std::string& reason)
{
    return "Die Datei " + displayName(path) + " konnte nicht " + std::string(what) + " werden: " + reason;
}

}  // namespace

std::string germanStepName(const TransferStep& step)
{
    using Kind = TransferStep::Kind;
    switch (step.kind) {
    case Kind::CallerSlot: return "Tischsender " + std::to_string(step.slot);
    case Kind::KitchenSlot: return win1252("Küchenruf ") + std::to_string(step.slot);
    case Kind::RemoteDeleteMode: return win1252("Fernlöschung");
    case Kind::RemoteDeleteText: return win1252("Fernlöschtext");
    case Kind::PagerName: return "Pager-Name";
    case Kind::BatteryDisplay: return "Batteriespannung";
    case Kind::Buzzer: return "Summer";
    }
    return {};
}

namespace {

// " Nicht übernommen: Tischsender 6, Summer." for the steps named; a pager
// that failed many gets the first few and their number.
std::string stepsNote(std::string_view what, const std::vector<TransferStep>& steps)
{
    constexpr std::size_t Named = 5;
    if (steps.empty())
        return {};
    std::string note = " " + win1252(what) + ": ";
    for (std::size_t i = 0; i < steps.size() && i < Named; ++i)
        note += (i == 0 ? "" : ", ") + germanStepName(steps[i]);
    if (steps.size() > Named)
        note += " und " + std::to_string(steps.size() - Named) + " weitere";
    return note + ".";
}

}  // namespace

std::string messageFor(const SearchResult& result)
{
    if (result.found || result.cancelled)
        return {};
    return result.noPorts ? noSerialPortMessage() : searchProblemsMessage(result.failed);
}

std::string messageFor(const ReadOutResult& result, const std::string& partialBackup)
{
    switch (result.end) {
    case ReadOutEnd::NotStarted:
    case ReadOutEnd::Complete: return {};
    case ReadOutEnd::Cancelled: return win1252(ReadCancelledMessage);
    case ReadOutEnd::NoVersion: return std::string(NoConnectionMessage);
    case ReadOutEnd::Incomplete: break;
    }
    std::string message = win1252("Fehlerhafter Datenempfang – die Daten im Formular sind unverändert.") +
                          stepsNote("Nicht gelesen", result.unanswered) + pagerAnsweredNote(result.unexpectedReply);
    if (!partialBackup.empty()) {
        bool replaced = false;
        message += win1252(" Was der Pager geliefert hat, ist als unvollständige Sicherungskopie abgelegt: ") +
                   utf8ToWin1252Replacing(partialBackup, replaced);
    }
    return message;
}

namespace {

// Where a write that went part of the way stopped: the steps up to it hold
// the new configuration, the rest partly the old. Empty when every step was
// taken over.
std::string partlyWrittenNote(const WriteResult& result)
{
    if (result.newUpTo && result.oldFrom)
        return " Bis " + germanStepName(*result.newUpTo) + win1252(" hält er die neuen Daten, ab ") +
               germanStepName(*result.oldFrom) + " zum Teil noch die alten.";
    if (result.oldFrom)
        return " Ab " + germanStepName(*result.oldFrom) + win1252(" hält er zum Teil noch die alten Daten.");
    return {};
}

std::string writeAgainNote() { return win1252(" Ein erneutes \"PC -> Pager\" beschreibt ihn vollständig."); }

}  // namespace

std::string messageFor(const WriteResult& result)
{
    if (result.refused)
        return win1252("Nicht übertragen: ") + describeGerman(*result.refused);
    if (result.cancelled && !result.slotCommandsSent)
        return win1252(WriteCancelledUntouchedMessage);
    if (result.cancelled)
        return win1252(WriteCancelledMessage) + partlyWrittenNote(result) + writeAgainNote();
    if (result.succeeded)
        return win1252("Daten erfolgreich übertragen");
    std::string message = win1252("Fehlerhafte Übertragung!") + stepsNote("Nicht übernommen", result.notTakenOver) +
                          pagerAnsweredNote(result.unexpectedReply);
    if (!result.slotCommandsSent)
        return message;
    message += result.oldFrom ? win1252(" Der Pager ist nur teilweise beschrieben.") + partlyWrittenNote(result)
                              : win1252(" Ob der Pager alle neuen Daten hält, ist nicht sicher.");
    return message + writeAgainNote();
}

std::string backupFailedMessage(const std::string& reason)
{
    return win1252("Die Sicherungskopie der gelesenen Daten konnte nicht angelegt werden: ") + reason;
}

std::string fileNotOpenedMessage(const std::string& path, const std::string& reason)
{
    return fileMessage(path, win1252("geöffnet"), reason);
}

std::string fileNotSavedMessage(const std::string& path, const std::string& reason)
{
    return fileMessage(path, "gespeichert", reason);
}

std::string notPagerDataMessage(const std::string& path)
{
    return "Die Datei " + displayName(path) + win1252(" enthält keine Pager-Daten.");
}

std::string replacedCharactersMessage(const std::string& path)
{
    return "Die Datei " + displayName(path) +
           win1252(" enthält Zeichen, die der Pager nicht darstellen kann; sie werden als \"?\" gezeigt.");
}

std::string incompleteFileMessage(const std::string& path, const FileCoverage& coverage)
{
    return "Die Datei " + displayName(path) + win1252(" enthält nicht alle Zeilen einer vollständigen Datei. Es fehlen: ") +
           coverage.missingGerman() + win1252(". Sie behalten die Werte, die das Formular vorher zeigte.");
}

std::string readOutStatus(unsigned callerSlots)
{
    std::string text = "Pager gelesen: " + std::to_string(callerSlots) + " Tischsender";
    if (callerSlots == CallerSlots)
        text += ", " + std::to_string(KitchenSlots) + win1252(" Küchenrufe");
    return text;
}

std::string learnedStatus(int slot, const std::string& id)
{
    return "Tischsender " + std::to_string(slot) + ": Rufknopf " + id + " gelernt";
}

std::string duplicateMessage(int slot)
{
    char buf[80];
    std::snprintf(buf, sizeof buf, "Teilnehmer ist schon an Position:%u eingetragen!", static_cast<unsigned>(slot));
    return buf;
}

std::string pagerAnsweredNote(const std::string& reply)
{
    if (reply.empty())
        return {};
    return " Der Pager antwortete: \"" + escapedText(reply) + "\"";
}

std::string switchRefusedMessage(const std::string& reply)
{
    return win1252("Der Pager hat die Einstellung nicht übernommen.") + pagerAnsweredNote(reply);
}

std::string wrongPagerMessage(const std::string& name)
{
    return win1252("Falscher Pager: Der Pager heißt nicht \"") + name +
           win1252("\"; er hat die Einstellung nicht übernommen.");
}

std::string clockRefusedMessage() { return win1252("Der Repeater hat die Uhrzeit nicht übernommen."); }

}  // namespace harvelin
