#pragma once

// Control ids of the main form (dialog 102). Rows r run from 1 to 16.

#include "device/learn_window.h"

namespace harvelin::ctl {

constexpr int Ok = 1;             // "Beenden"
constexpr int Cancel = 2;         // "Abbrechen", not visible
constexpr int SearchButton = 1048;
constexpr int StatusLine = 1050;
constexpr int ReadButton = 1051;  // "Pager -> PC"
constexpr int WriteButton = 1052; // "PC -> Pager"
constexpr int PortList = 1053;
constexpr int PagerName = 1055;
constexpr int Progress = 1056;
constexpr int OpenFileButton = 1057;
constexpr int SaveFileButton = 1058;
constexpr int Active = 1059;      // "Aktiv", disabled
constexpr int Battery = 1075;     // "Batteriespannung"
constexpr int RemoteDelete = 1123;  // "Fernlöschung"
constexpr int RemoteDeleteText = 1124;
constexpr int PageLower = 1141;   // "1..16"
constexpr int PageUpper = 1142;   // "17..32"
constexpr int Buzzer = 1143;      // "Summer"
constexpr int ClockButton = 1144; // "Systemzeit -> Repeater"
constexpr int ClockGroup = 1145;
constexpr int SystemTime = 1146;
constexpr int RepeaterTime = 1147;
constexpr int BootloaderButton = 1148;  // "Starte Bootloader", hidden and disabled

constexpr int callerText(int r) { return 1000 + 2 * (r - 1); }
constexpr int idText(int r) { return 1001 + 2 * (r - 1); }
constexpr int learnButton(int r) { return 1031 + r; }
constexpr int deleteButton(int r) { return r == 1 ? 1049 : r == 2 ? 1054 : 1057 + r; }
constexpr int kitchenText(int r) { return r == 1 ? 1074 : 1074 + r; }
constexpr int kitchenKey(int r) { return 1090 + r; }
constexpr int kitchenStation(int r) { return 1106 + r; }
constexpr int rowLabel(int r) { return 1124 + r; }

// The repeater clock group: always shown and hidden together.
constexpr int ClockControls[] = {ClockButton, ClockGroup, SystemTime, RepeaterTime};

constexpr int UiTimerId = 1;
// The timer runs the learn window's ticks and the link watch.
constexpr unsigned UiTimerPeriodMs = LearnWindow::TickPeriodMs;

}  // namespace harvelin::ctl
