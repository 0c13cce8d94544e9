#include <string>

#include "transfer/version_query.h"
#include "transfer/reply_parsing.h"
#include "transfer/transfer_steps.h"

namespace harvelin::transfer {

std::optional<PagerVersion> askVersion(SerialLink& link, VersionAsking how, int attempts, SilenceWatch& silence)
{
    std::optional<PagerVersion> named;
    requestUntil(
        link, std::string(VersionCommand), attempts,
        [&](const std::string& reply) {
            if (const auto version = versionFromReply(reply))
                named = PagerVersion{versionTextFromReply(reply).value_or(std::string()),
                                     callerSlotsForVersion(*version)};
            return how == VersionAsking::UntilNamed && named.has_value();
        },
        &silence);
    return named;
}

}  // namespace harvelin::transfer
