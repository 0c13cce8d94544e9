#include "files/replacing_file.h"
#include "files/texts.h"

namespace harvelin {

std::string notRegularFileReason() { return std::string(localized(FilesText::NotRegularFile)); }

std::string directoryReason() { return std::string(localized(FilesText::IsDirectory)); }

std::string danglingLinkReason() { return std::string(localized(FilesText::DanglingLink)); }

std::string madeUpNameIsLinkReason() { return std::string(localized(FilesText::MadeUpNameIsLink)); }

std::string tooLargeReason(std::size_t maxBytes)
{
    return localized(FilesText::TooLarge, {std::to_string(maxBytes / 1024)});
}

}  // namespace harvelin
