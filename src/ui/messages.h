#pragma once

#include <string_view>

namespace harvelin {

// Shown by every handler that needs the pager and finds no link to it.
constexpr std::string_view NoConnectionMessage = "Es besteht keine Verbindung zum Zelvatron!";

// These three are written in UTF-8 here; the form shows them as
// Windows-1252 bytes (win1252()).

// A read-out stopped part-way puts the form back as it was.
constexpr std::string_view ReadCancelledMessage = "Lesen abgebrochen – die Daten im Formular sind unverändert.";
// What a write stopped part-way has left: some steps are taken over, the
// others not.
constexpr std::string_view WriteCancelledMessage =
    "Übertragung abgebrochen – der Pager ist nur teilweise beschrieben.";
// A pager below version 1.5 has no room for slots 17..32 and the kitchen calls.
constexpr std::string_view SmallPagerMessage =
    "Der Pager hat nur 16 Speicherplätze: Plätze 17 bis 32 und die Küchenrufe wurden nicht übertragen.";

}  // namespace harvelin
