#pragma once

#include <string>
#include <string_view>

namespace harvelin {

// Where a program was built from: the commit of its sources, and whether the
// tree had changes beside it. Every program shows it in --version, and the
// about box shows it too, so a report names the exact sources.
struct BuildCommit {
    std::string_view id;  // twelve hex digits; empty: unknown (no git tree)
    bool uncommittedChanges;
};

BuildCommit buildCommit();

// "1.0.0 (commit 1a2b3c4d5e6f)", "1.0.0 (commit 1a2b3c4d5e6f, with uncommitted
// changes)" or "1.0.0 (commit unknown)", for --version.
std::string versionText();

// The about box's line under "Harvelin Version 1.0", in the language chosen:
// "Commit 1a2b3c4d5e6f", "Commit 1a2b3c4d5e6f mit Änderungen" or
// "Commit unbekannt" (UTF-8).
std::string aboutCommitLine();

}  // namespace harvelin
