// Runs a fuzz target without a fuzzing engine: over the files given on the
// command line, or else over a fixed series of generated inputs, so every
// build exercises the targets (under the sanitizers in the sanitize build).
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <fstream>
#include <iterator>
#include <random>
#include <string>
#include <vector>

extern "C" int LLVMFuzzerTestOneInput(const std::uint8_t* data, std::size_t size);

namespace {

// Inputs that look like what the targets read: pieces of the pager's
// answers and of data file lines, glued together and mutated.
const char* const Pieces[] = {
    "Pos:", "Ende", ":", " ", "\x03", "\x02", "\r", "\n", "\t", "Direkt V2.62", "Zelvatron Pager", "uebernommen",
    "Uebernommen", "aktuell: 1 07 05", "Tischsender:", "200 3 0 0 7 77", "Text_Fernloeschung :", "Adresstext :",
    "Debug :", "E_Vibration:", "Modus_Fernloeschung:", "Pagername:", "Eintrag:", "Sonder:", "FModus:", "Summer:",
    "Batterie:", "Fernloeschung:", "031 ", "-1", "99999999999", "255", "e", "\xF6\xDF\x80",
    // Spreadsheet tables and JSON for import.
    "kind,slot,text,identity,b0,b1,b2,b3,suffix,key,station\r\n", "caller,1,Tisch,,1,2,3,4,5,,\r\n",
    "kitchen;16;K\xFC\x63he;;;;;;;255;7\n", "setting,pagerName,\"a \"\"b\"\"\",,,,,,,,\n", ",", ";", "\"",
    "{\"callers\": [{\"text\": \"a\", \"buttonId\": 7, \"idSuffix\": 1}", "{\"kitchenCalls\": [{\"key\": 1}, {}]",
    ", \"buzzer\": true", "}", "]", "[", "{",
};

std::vector<std::uint8_t> generate(std::mt19937& rng)
{
    std::vector<std::uint8_t> input;
    const int parts = static_cast<int>(rng() % 200);
    for (int i = 0; i < parts; ++i) {
        if (rng() % 4 == 0) {
            input.push_back(static_cast<std::uint8_t>(rng()));
        } else {
            const std::string piece = Pieces[rng() % std::size(Pieces)];
            input.insert(input.end(), piece.begin(), piece.end());
        }
    }
    return input;
}

}  // namespace

int main(int argc, char** argv)
{
    if (argc > 1 && std::string(argv[1]) != "--runs") {
        for (int i = 1; i < argc; ++i) {
            std::ifstream in(argv[i], std::ios::binary);
            const std::vector<std::uint8_t> data((std::istreambuf_iterator<char>(in)), {});
            LLVMFuzzerTestOneInput(data.data(), data.size());
        }
        return 0;
    }
    const int runs = argc > 2 ? std::atoi(argv[2]) : 2000;
    std::mt19937 rng(20261208);
    for (int run = 0; run < runs; ++run) {
        const std::vector<std::uint8_t> data = generate(rng);
        LLVMFuzzerTestOneInput(data.data(), data.size());
    }
    std::printf("%d inputs run\n", runs);
    return 0;
}
