#include <ctime>
#include <string>

#include "files/backups.h"
#include "files/pager_data_file.h"
#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

// Not a step of the read-out: the read-out has ended and the form shows what
// it shows whatever happens here. A folder that cannot be written is named
// once; after that the read-outs go on without a word.
void MainDialog::keepBackup(const ReadOutResult& result)
{
    lastBackupPath.clear();
    if (backupFolder.empty() || (!result.complete() && !result.gaveSomething()))
        return;
    std::string error;
    const BackupFolder folder(backupFolder);
    const bool kept = result.complete()
                          ? folder.keep(configurationFromForm(), std::time(nullptr), lastBackupPath, error)
                          : folder.keep(result.read, std::time(nullptr), lastBackupPath, error, &result.answered);
    if (kept)
        return;
    if (backupFailureShown)
        return;
    backupFailureShown = true;
    host.messageBox(win1252("Die Sicherungskopie der gelesenen Daten konnte nicht angelegt werden: ") + error);
}

}  // namespace harvelin
