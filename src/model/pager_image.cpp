#include "model/pager_image.h"

#include <algorithm>

namespace harvelin {

void SlotText::assign(std::string_view text)
{
    const std::size_t n = std::min(text.size(), SlotTextMax);
    std::copy_n(text.begin(), n, bytes.begin());
    bytes[n] = 0;
}

std::string SlotText::str() const
{
    const auto end = std::find(bytes.begin(), bytes.end(), 0);
    return std::string(bytes.begin(), end);
}

std::uint32_t CallerEntry::buttonIdValue() const
{
    return static_cast<std::uint32_t>(buttonId[0]) | static_cast<std::uint32_t>(buttonId[1]) << 8 |
           static_cast<std::uint32_t>(buttonId[2]) << 16 | static_cast<std::uint32_t>(buttonId[3]) << 24;
}

void CallerEntry::setButtonIdValue(std::uint32_t value)
{
    for (std::size_t i = 0; i < buttonId.size(); ++i)
        buttonId[i] = static_cast<std::uint8_t>(value >> (8 * i));
}

}  // namespace harvelin
