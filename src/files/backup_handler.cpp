#include <ctime>
#include <string>

#include "files/backups.h"
#include "files/pager_data_file.h"
#include "model/win1252.h"
#include "ui/control_ids.h"
#include "ui/main_dialog.h"

namespace harvelin {

// Not a step of the read-out: the read-out has ended and the form shows its
// result whatever happens here. A folder that cannot be written is named
// once; after that the read-outs go on without a word.
void MainDialog::keepBackup()
{
    lastBackupPath.clear();
    if (backupFolder.empty())
        return;
    std::string error;
    if (BackupFolder(backupFolder).keep(configurationFromForm(), std::time(nullptr), lastBackupPath, error))
        return;
    if (backupFailureShown)
        return;
    backupFailureShown = true;
    host.messageBox(win1252("Die Sicherungskopie der gelesenen Daten konnte nicht angelegt werden: ") + error);
}

}  // namespace harvelin
