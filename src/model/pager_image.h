#pragma once

#include <array>
#include <cstdint>
#include <string>
#include <string_view>

#include "model/limits.h"

namespace harvelin {

// A text field of the image: TextFieldBytes bytes, at most SlotTextMax
// characters and a zero byte.
// Bytes after the terminator are undefined and never read.
struct SlotText {
    std::array<char, TextFieldBytes> bytes{};

    // Copies at most SlotTextMax characters and terminates.
    void assign(std::string_view text);
    std::string str() const;
    void clear() { bytes[0] = 0; bytes[1] = 0; }
};

struct CallerEntry {
    SlotText text;
    std::array<std::uint8_t, 4> buttonId{};  // b0 least significant
    std::uint8_t idSuffix = 0;

    std::uint32_t buttonIdValue() const;
    void setButtonIdValue(std::uint32_t value);
};

struct KitchenCallEntry {
    SlotText text;
    std::uint8_t key = 0;      // "Taste"
    std::uint8_t station = 0;  // "Station" / "Adresse"
};

struct PagerImage {
    std::array<CallerEntry, CallerSlots> callers{};
    std::array<KitchenCallEntry, KitchenSlots> kitchenCalls{};
};

// Which half of the caller slots the rows of the form show.
enum class ViewPage { Lower, Upper };

constexpr int pageOffsetOf(ViewPage page) { return page == ViewPage::Upper ? static_cast<int>(SlotsPerPage) : 0; }

}  // namespace harvelin
