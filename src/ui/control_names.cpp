#include "ui/control_names.h"

#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin::layout {

namespace {

std::string caller(int row, ViewPage page, const char* what)
{
    return "Tischsender " + std::to_string(row + pageOffsetOf(page)) + " " + win1252(what);
}

std::string kitchen(int row, const char* what)
{
    return win1252("Küchenruf ") + std::to_string(row) + " " + what;
}

// The controls named the same on both pages.
std::string fixedName(int id)
{
    switch (id) {
    case ctl::SearchButton: return "Suche Zelvatron";
    case ctl::Active: return "Aktiv";
    case ctl::PortList: return "Schnittstelle";
    case ctl::PagerName: return "Pager-Name";
    case ctl::Battery: return "Batteriespannung";
    case ctl::Buzzer: return "Summer";
    case ctl::RemoteDelete: return win1252("Fernlöschung");
    case ctl::RemoteDeleteText: return win1252("Fernlöschtext");
    case ctl::Progress: return "Fortschritt";
    case ctl::ReadButton: return "Pager -> PC";
    case ctl::WriteButton: return "PC -> Pager";
    case ctl::OpenFileButton: return win1252("Datei öffnen");
    case ctl::SaveFileButton: return "Speichern unter";
    case ctl::SystemTime: return "Systemzeit";
    case ctl::RepeaterTime: return "Uhrzeit Repeater";
    case ctl::ClockButton: return "Systemzeit -> Repeater";
    case ctl::StatusLine: return "Status";
    case ctl::PageLower: return "Tischsender 1 bis 16";
    case ctl::PageUpper: return "Tischsender 17 bis 32";
    case ctl::BootloaderButton: return "Starte Bootloader";
    case ctl::Ok: return "Beenden";
    case ctl::Cancel: return "Abbrechen";
    default: return {};
    }
}

}  // namespace

std::string accessibleName(int id, ViewPage page)
{
    for (int r = 1; r <= MainDialog::Rows; ++r) {
        if (id == ctl::callerText(r))
            return caller(r, page, "Meldetext");
        if (id == ctl::idText(r))
            return caller(r, page, "Rufknopf-ID");
        if (id == ctl::learnButton(r))
            return caller(r, page, "Lernen");
        if (id == ctl::deleteButton(r))
            return caller(r, page, "Löschen");
    }
    for (int r = 1; r <= MainDialog::KitchenRows; ++r) {
        if (id == ctl::kitchenText(r))
            return kitchen(r, "Meldetext");
        if (id == ctl::kitchenKey(r))
            return kitchen(r, "Taste");
        if (id == ctl::kitchenStation(r))
            return kitchen(r, "Station");
    }
    return fixedName(id);
}

}  // namespace harvelin::layout
