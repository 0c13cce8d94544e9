#include "files/backups.h"

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <mutex>
#include <string>
#include <string_view>
#include <system_error>

#include "files/texts.h"
#include "model/win1252.h"

namespace harvelin {

namespace fs = std::filesystem;

namespace {

constexpr std::string_view Extension = ".pag";
constexpr std::string_view PartialExtension = ".partial.pag";
// "YYYY-MM-DDTHH-MM-SS": hyphens instead of colons, which Windows refuses.
constexpr std::size_t StampLength = 19;
constexpr const char* StampFormat = "%04d-%02d-%02dT%02d-%02d-%02d";
constexpr std::time_t SecondsPerDay = 24 * 60 * 60;

fs::path pathOf(const std::string& utf8) { return fs::path(std::u8string(utf8.begin(), utf8.end())); }

std::string utf8Of(const fs::path& path)
{
    const std::u8string s = path.u8string();
    return std::string(s.begin(), s.end());
}

std::tm localCalendar(std::time_t when)
{
    std::tm t{};
#ifdef _WIN32
    localtime_s(&t, &when);
#else
    localtime_r(&when, &t);
#endif
    return t;
}

// The local time at the end of `stem` ("...-YYYY-MM-DDTHH-MM-SS"), or -1.
std::time_t stampAtEnd(const std::string& stem)
{
    if (stem.size() < StampLength + 2 || stem[stem.size() - StampLength - 1] != '-')
        return -1;
    std::tm t{};
    if (std::sscanf(stem.c_str() + stem.size() - StampLength, "%4d-%2d-%2dT%2d-%2d-%2d", &t.tm_year, &t.tm_mon,
                    &t.tm_mday, &t.tm_hour, &t.tm_min, &t.tm_sec) != 6)
        return -1;
    char check[80];
    std::snprintf(check, sizeof check, StampFormat, t.tm_year, t.tm_mon, t.tm_mday, t.tm_hour, t.tm_min, t.tm_sec);
    if (stem.compare(stem.size() - StampLength, StampLength, check) != 0)
        return -1;
    t.tm_year -= 1900;
    t.tm_mon -= 1;
    t.tm_isdst = -1;
    return std::mktime(&t);
}

// The name without its extension, ".partial.pag" or ".pag".
std::string stemOf(const std::string& name)
{
    const std::size_t cut = name.ends_with(PartialExtension) ? PartialExtension.size() : Extension.size();
    return name.substr(0, name.size() - cut);
}

// The local time written in a backup's name, or -1 when the name is not
// one of ours. A counter ("-2") may stand between the time and the extension.
std::time_t stampOf(const std::string& name)
{
    if (!name.ends_with(Extension))
        return -1;
    const std::string stem = stemOf(name);
    const std::time_t plain = stampAtEnd(stem);
    if (plain != -1)
        return plain;
    const std::size_t dash = stem.find_last_of('-');
    if (dash == std::string::npos || dash + 1 == stem.size() ||
        stem.find_first_not_of("0123456789", dash + 1) != std::string::npos)
        return -1;
    return stampAtEnd(stem.substr(0, dash));
}

std::string environment(const char* name)
{
#ifdef _WIN32
    std::wstring wide(name, name + std::char_traits<char>::length(name));
    const wchar_t* value = ::_wgetenv(wide.c_str());
    return value && *value ? utf8Of(fs::path(value)) : std::string();
#else
    const char* value = std::getenv(name);
    return value ? value : "";
#endif
}

}  // namespace

std::string BackupFolder::standardPath()
{
#ifdef _WIN32
    const std::string base = environment("LOCALAPPDATA");
    return base.empty() ? std::string() : utf8Of(pathOf(base) / "Harvelin" / "backups");
#else
    std::string base = environment("XDG_DATA_HOME");
    // A relative value is invalid and to be ignored.
    if (base.empty() || base.front() != '/') {
        const std::string home = environment("HOME");
        if (home.empty())
            return {};
        base = home + "/.local/share";
    }
    return base + "/harvelin/backups";
#endif
}

std::string BackupFolder::fileName(const std::string& pagerName, std::time_t when, bool partial)
{
    std::string name;
    for (const char c : pagerName) {
        const auto byte = static_cast<unsigned char>(c);
        const bool unfit = byte < 0x20 || byte == 0x7F || std::string_view("<>:\"/\\|?*").find(c) != std::string_view::npos;
        name += unfit ? '_' : c;
    }
    // Windows drops trailing blanks and dots; a leading dot hides the file.
    while (!name.empty() && (name.back() == ' ' || name.back() == '.'))
        name.pop_back();
    if (!name.empty() && name.front() == '.')
        name.front() = '_';
    if (name.empty())
        name = "Pager";
    const std::tm t = localCalendar(when);
    char stamp[80];
    std::snprintf(stamp, sizeof stamp, StampFormat, t.tm_year + 1900, t.tm_mon + 1, t.tm_mday, t.tm_hour, t.tm_min,
                  t.tm_sec);
    return win1252ToUtf8(name) + "-" + stamp + std::string(partial ? PartialExtension : Extension);
}

std::string BackupFolder::shownTime(std::time_t when)
{
    const std::tm t = localCalendar(when);
    char text[80];
    std::snprintf(text, sizeof text, "%04d-%02d-%02d %02d:%02d:%02d", t.tm_year + 1900, t.tm_mon + 1, t.tm_mday,
                  t.tm_hour, t.tm_min, t.tm_sec);
    return text;
}

std::string BackupFolder::freePath(const std::string& folder, const std::string& fileName)
{
    const std::string stem = stemOf(fileName);
    const std::string extension = fileName.substr(stem.size());
    std::error_code ec;
    fs::path candidate = pathOf(folder) / pathOf(fileName);
    for (int n = 2; fs::exists(fs::symlink_status(candidate, ec)); ++n)
        candidate = pathOf(folder) / pathOf(stem + "-" + std::to_string(n) + extension);
    return utf8Of(candidate);
}

std::vector<BackupFolder::Entry> BackupFolder::list() const
{
    std::vector<Entry> found;
    std::error_code ec;
    for (fs::directory_iterator it(pathOf(path_), ec), end; !ec && it != end; it.increment(ec)) {
        if (!it->is_regular_file(ec))
            continue;
        const std::time_t when = stampOf(utf8Of(it->path().filename()));
        if (when != -1)
            found.push_back({utf8Of(it->path()), when});
    }
    std::sort(found.begin(), found.end(), [](const Entry& a, const Entry& b) {
        return a.when != b.when ? a.when > b.when : a.path > b.path;
    });
    return found;
}

void BackupFolder::prune(std::time_t now) const
{
    // Only complete backups count towards the newest kept: a run of
    // incomplete read-outs must not push the last good one out.
    std::size_t complete = 0;
    for (const Entry& e : list()) {
        const bool partial = e.path.ends_with(PartialExtension);
        if (!partial && ++complete <= KeepNewest)
            continue;
        if (now - e.when > KeepDays * SecondsPerDay) {
            std::error_code ignored;
            fs::remove(pathOf(e.path), ignored);
        }
    }
}

bool BackupFolder::keep(const PagerConfiguration& config, std::time_t when, std::string& savedPath,
                        std::string& error, const FileCoverage* answered) const
{
    std::error_code ec;
    fs::create_directories(pathOf(path_), ec);
    if (ec) {
        error = localized(FilesText::BackupFolderNotMade, {utf8ToWin1252(path_).value_or(path_)});
        return false;
    }
    SaveOptions options;
    options.only = answered;
    std::string target;
    if (!saveUnderFreeName(path_, fileName(config.pagerName, when, answered != nullptr), config, options, target,
                           error))
        return false;
    savedPath = target;
    prune(when);
    return true;
}

bool BackupFolder::saveUnderFreeName(const std::string& folder, const std::string& fileName,
                                     const PagerConfiguration& config, SaveOptions options, std::string& savedPath,
                                     std::string& error)
{
    static std::mutex naming;
    const std::lock_guard<std::mutex> hold(naming);
    savedPath = freePath(folder, fileName);
    options.naming = FileNaming::MadeUp;
    return PagerDataFile::save(savedPath, config, error, options);
}

}  // namespace harvelin
