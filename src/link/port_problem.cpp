#include "link/port_problem.h"

#include <algorithm>

#include "model/win1252.h"

namespace harvelin {

namespace {

bool contains(const std::string& text, const char* part) { return text.find(part) != std::string::npos; }

// One paragraph for one port; the device name goes in as the system gives it.
std::string portParagraph(const FailedPort& f)
{
    const PortProblem& p = f.problem;
    const std::string& device = f.port.deviceName;
    switch (p.fault) {
    case PortFault::NoDevice:
        return device + win1252(": Gerät nicht vorhanden (Adapter abgezogen oder falscher Name?).");
    case PortFault::PermissionDenied: {
        std::string text = device + win1252(": keine Berechtigung.");
        if (p.group.empty())
            return text + win1252(" Nur sein Besitzer darf es öffnen; bitte die Zugriffsrechte des Geräts "
                                  "prüfen.");
        text += win1252(" Das Gerät gehört der Gruppe \"") + p.group + "\".";
        if (p.memberAfterNextLogin)
            return text + win1252(" Sie sind bereits Mitglied dieser Gruppe; das gilt erst nach dem nächsten "
                                  "Anmelden. Abhilfe: ab- und wieder anmelden.");
        return text + win1252(" Abhilfe: in diese Gruppe eintreten (sudo usermod -aG ") + p.group +
               win1252(" $USER), dann ab- und wieder anmelden.");
    }
    case PortFault::Busy:
        if (p.holder.empty())
            return device + win1252(": belegt von einem anderen Programm.");
        return device + win1252(": belegt von ") + p.holder + win1252(". Abhilfe: dieses Programm beenden.");
    case PortFault::NotSerial:
        return device + win1252(": keine serielle Schnittstelle.");
    case PortFault::None:
        break;
    }
    return {};
}

// Services that take USB serial adapters for themselves, and what helps.
std::string grabberParagraph(const std::string& service)
{
    if (service == "ModemManager")
        return win1252("ModemManager läuft; er öffnet neu eingesteckte USB-Seriell-Adapter, um nach einem Modem zu "
                       "fragen, und hält sie dabei belegt. Abhilfe: den Adapter kurz danach erneut suchen oder "
                       "ModemManager beenden (sudo systemctl stop ModemManager).");
    if (service == "brltty")
        return win1252("brltty läuft; es übernimmt manche USB-Seriell-Adapter als Braillezeile, die dann "
                       "verschwinden. Abhilfe: ohne Braillezeile brltty entfernen (sudo apt remove brltty) und den "
                       "Adapter neu einstecken.");
    return {};
}

}  // namespace

std::string nothingFoundLine() { return "Kein Zelvatron gefunden"; }

bool isUsbAdapterName(const std::string& deviceName)
{
    return contains(deviceName, "ttyUSB") || contains(deviceName, "ttyACM") || contains(deviceName, "/serial/by-id/");
}

std::string searchProblemsMessage(const std::vector<FailedPort>& failed)
{
    std::string text;
    std::vector<std::string> grabbers;
    for (const FailedPort& f : failed) {
        const std::string paragraph = portParagraph(f);
        if (paragraph.empty())
            continue;
        text += "\n\n" + paragraph;
        const bool usbGone = f.problem.fault == PortFault::NoDevice || f.problem.fault == PortFault::Busy;
        if (usbGone && isUsbAdapterName(f.port.deviceName))
            for (const std::string& g : f.problem.adapterGrabbers)
                if (std::find(grabbers.begin(), grabbers.end(), g) == grabbers.end())
                    grabbers.push_back(g);
    }
    if (text.empty())
        return {};
    for (const std::string& g : grabbers)
        if (const std::string note = grabberParagraph(g); !note.empty())
            text += "\n\n" + note;
    return nothingFoundLine() + win1252(". Diese Ports ließen sich nicht öffnen:") + text;
}

std::string noSerialPortMessage()
{
    return nothingFoundLine() + win1252(": Dieser Rechner hat keine serielle Schnittstelle. Bitte den Zelvatron "
                                        "über einen USB-Seriell-Adapter anschließen und erneut suchen.");
}

std::string portStatusText(const PortProblem& problem)
{
    switch (problem.fault) {
    case PortFault::NoDevice: return "no such device";
    case PortFault::PermissionDenied:
        return problem.group.empty() ? "permission denied" : "permission denied (group " + problem.group + ")";
    case PortFault::Busy: return problem.holder.empty() ? "busy" : "busy (" + problem.holder + ")";
    case PortFault::NotSerial: return "not a serial device";
    case PortFault::None: break;
    }
    return "cannot be opened";
}

}  // namespace harvelin
