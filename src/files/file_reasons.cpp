#include <cstdio>

#include "files/replacing_file.h"
#include "model/win1252.h"

namespace harvelin {

std::string notRegularFileReason() { return win1252("Das ist keine gewöhnliche Datei"); }

std::string directoryReason() { return "Das ist ein Verzeichnis"; }

std::string danglingLinkReason() { return "Der Verweis zeigt auf keine vorhandene Datei"; }

std::string madeUpNameIsLinkReason()
{
    return "Der Name ist ein Verweis auf eine andere Datei; durch ihn wird nicht geschrieben";
}

std::string tooLargeReason(std::size_t maxBytes)
{
    char text[96];
    std::snprintf(text, sizeof text, "Die Datei ist zu groß für Pager-Daten (mehr als %zu KB)", maxBytes / 1024);
    return win1252(text);
}

}  // namespace harvelin
