#pragma once

#include <cstddef>
#include <ctime>
#include <string>
#include <vector>

#include "files/pager_data_file.h"

namespace harvelin {

// The automatic copies of read-outs: ordinary .pag files in one folder,
// named by the pager and the local time of the read-out
// ("Pager_A-2026-12-08T14-03-22.pag"). The time in the name, not the file's
// own date, orders and ages them, so a copied folder keeps its order. What an
// incomplete read-out got is kept too, as the lines the pager answered,
// under a name that says so ("Pager_A-2026-12-08T14-03-22.partial.pag").
class BackupFolder {
public:
    // Older backups go when a new one is made; the newest ones always stay.
    static constexpr int KeepDays = 365;
    static constexpr std::size_t KeepNewest = 20;

    // The user's data folder: $XDG_DATA_HOME/harvelin/backups (default
    // ~/.local/share), %LOCALAPPDATA%\Harvelin\backups on Windows. Empty
    // when the environment names no home at all.
    static std::string standardPath();

    // A .pag name for `pagerName` (Windows-1252) at local time `when`, UTF-8,
    // ending in ".partial.pag" for an incomplete read-out. Characters that a
    // file name cannot hold on every system become "_".
    static std::string fileName(const std::string& pagerName, std::time_t when, bool partial = false);

    // A local time as lists show it: "2026-12-08 14:03:22".
    static std::string shownTime(std::time_t when);

    explicit BackupFolder(std::string path) : path_(std::move(path)) {}
    const std::string& path() const { return path_; }

    struct Entry {
        std::string path;  // UTF-8
        std::time_t when;
    };
    // The backups in the folder, newest first; other files are not backups.
    std::vector<Entry> list() const;

    // Saves `config` under a new name (the folder is made when missing) and
    // then removes what is too old. With `answered`, the read-out was
    // incomplete: only those lines are kept, under a ".partial" name. False
    // with `error` (in the language chosen, Windows-1252) when the backup
    // could not be written. A name that something, a link too, holds already
    // is passed over; the backup is never written through a link.
    bool keep(const PagerConfiguration& config, std::time_t when, std::string& savedPath, std::string& error,
              const FileCoverage* answered = nullptr) const;

    // Removes the backups that are older than KeepDays at `now`, except the
    // KeepNewest newest.
    void prune(std::time_t now) const;

    // A path in `folder` for `fileName` that names no file yet: "-2", "-3"
    // ... before the extension (".pag" or ".partial.pag") when the name is
    // taken.
    static std::string freePath(const std::string& folder, const std::string& fileName);

    // Saves `config` at freePath(folder, fileName) (with `options`, made-up
    // naming); `savedPath` receives that path, also when the save failed. The look for a free name and the
    // save are one step for the whole program: two read-outs of a series on
    // two ports, of pagers of one name in one second, never share a file.
    static bool saveUnderFreeName(const std::string& folder, const std::string& fileName,
                                  const PagerConfiguration& config, SaveOptions options, std::string& savedPath,
                                  std::string& error);

private:
    std::string path_;
};

}  // namespace harvelin
