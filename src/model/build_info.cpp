#include "model/build_info.h"

// The one file that includes the generated header: a new commit recompiles
// only this one.
#include "build_commit.h"
#include "model/texts.h"
#include "model/win1252.h"

namespace harvelin {

BuildCommit buildCommit() { return {HARVELIN_BUILD_COMMIT, HARVELIN_BUILD_CHANGES != 0}; }

std::string versionText()
{
    const BuildCommit commit = buildCommit();
    std::string text = std::string(HARVELIN_VERSION) + " (commit ";
    if (commit.id.empty())
        return text + "unknown)";
    text += commit.id;
    if (commit.uncommittedChanges)
        text += ", with uncommitted changes";
    return text + ")";
}

std::string aboutCommitLine()
{
    const BuildCommit commit = buildCommit();
    if (commit.id.empty())
        return std::string(localizedUtf8(ModelText::CommitUnknown));
    return win1252ToUtf8(
        localized(commit.uncommittedChanges ? ModelText::CommitWithChanges : ModelText::CommitLine, {commit.id}));
}

}  // namespace harvelin
