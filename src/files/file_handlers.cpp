#include "ui/main_dialog.h"

namespace harvelin {

void MainDialog::openFile() {}
void MainDialog::saveFile() {}

}  // namespace harvelin
