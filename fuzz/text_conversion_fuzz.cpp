// Windows-1252 and UTF-8 at the edges: every byte string survives the trip
// through UTF-8 and back, and a UTF-8 text that converts comes back as it was.
#include <cstdint>
#include <string_view>

#include "fuzz_dialog.h"
#include "model/conversions.h"
#include "model/win1252.h"

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size)
{
    using namespace harvelin;
    const std::string_view bytes(reinterpret_cast<const char*>(data), size);

    const std::string utf8 = win1252ToUtf8(bytes);
    const auto back = utf8ToWin1252(utf8);
    FUZZ_CHECK(back && *back == bytes);

    if (const auto converted = utf8ToWin1252(bytes)) {
        FUZZ_CHECK(converted->size() <= bytes.size());
        FUZZ_CHECK(win1252ToUtf8(*converted) == bytes);
    }

    // The numbers of replies, files and form fields: like atoi, low 8 bits.
    const std::uint8_t n = numberFromText(bytes);
    FUZZ_CHECK(numberAt(bytes, 0) == n);
    FUZZ_CHECK(numberAt(bytes, bytes.size()) == 0);
    FUZZ_CHECK(threeDigits(n).size() == 3);
    (void)decimalFromText(bytes);
    return 0;
}
