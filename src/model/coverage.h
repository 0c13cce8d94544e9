#pragma once

#include <bitset>
#include <cstddef>
#include <string>
#include <string_view>

#include "model/limits.h"

namespace harvelin {

// What a file format calls each setting and each kind of slot, for the
// messages that name what a file lacks.
struct CoverageNames {
    std::string_view pagerName;
    std::string_view remoteDeleteText;
    std::string_view remoteDeleteMode;
    std::string_view buzzer;
    std::string_view battery;
    std::string_view callers;
    std::string_view kitchenCalls;
};

// Which of the 53 lines of a saved configuration a file held, and how many
// of its lines began with one of the file's keys. A table or a JSON object
// that is imported is held to the same lines: a row or an entry for each.
struct FileCoverage {
    bool pagerName = false;
    bool remoteDeleteText = false;
    bool remoteDeleteMode = false;
    bool buzzer = false;
    bool battery = false;
    std::bitset<CallerSlots> callers;
    std::bitset<KitchenSlots> kitchenCalls;
    unsigned keyedLines = 0;

    // Every line of a saved configuration.
    static FileCoverage everything();
    // What a pager with this many caller slots holds: one with 16 has no
    // slots 17..32, no kitchen calls and no remote delete.
    static FileCoverage heldByPager(unsigned callerSlots);
    // The lines that both hold.
    FileCoverage within(const FileCoverage& other) const;
    // A setting's line, or slot `i`'s line of `lines`, was given: it is held,
    // and counts once among the keyed lines.
    void hold(bool FileCoverage::*line)
    {
        keyedLines += this->*line ? 0 : 1;
        this->*line = true;
    }
    template <std::size_t N>
    void hold(std::bitset<N> FileCoverage::*lines, std::size_t i)
    {
        keyedLines += (this->*lines).test(i) ? 0 : 1;
        (this->*lines).set(i);
    }
    // A file none of whose lines begins with a key is no configuration at all
    // (an empty file, a binary, some other text).
    bool holdsConfiguration() const { return keyedLines > 0; }
    // Every line the writer writes is there.
    bool complete() const;
    // What is missing, in the language chosen (Windows-1252): in German as
    // the form names its fields, "Pager-Name, Tischsender 3, 5-32,
    // Küchenrufe 1-16"; in English each followed by what a saved
    // configuration calls it, "the pager name (Pagername), caller slots 3,
    // 5-32 (Eintrag), kitchen calls 1-16 (Sonder)".
    std::string missing() const;
    // The same, each followed by what another format calls it.
    std::string missing(const CoverageNames& names) const;
    // The English of missing() in every language, for what scripts read
    // (a log's column): "caller slots 3, 5-32 (Eintrag)".
    std::string neutralMissing() const;
    std::string neutralMissing(const CoverageNames& names) const;

private:
    std::string listed(const CoverageNames* names) const;
};

}  // namespace harvelin
