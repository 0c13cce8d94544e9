#pragma once

#include <string_view>

namespace harvelin {

// The pager's three option switches as commands. The write sends them as
// they are; a click on a box sends them followed by the pager's name.
// Remote delete ("Fernloeschung") and battery display ("Debug") are on with
// bit 0; the buzzer's value keeps the vibration on in bit 0 and adds the
// buzzer in bit 1.
struct OptionSwitchTexts {
    std::string_view on;
    std::string_view off;
};

constexpr OptionSwitchTexts RemoteDeleteSwitch{">Setze Modus_Fernloeschung:3", ">Setze Modus_Fernloeschung:0"};
constexpr OptionSwitchTexts BatterySwitch{">Setze Debug:1", ">Setze Debug:0"};
constexpr OptionSwitchTexts BuzzerSwitch{">Setze E_Vibration:3", ">Setze E_Vibration:1"};

}  // namespace harvelin
