#include "ui/main_dialog.h"

namespace harvelin {

void MainDialog::startBootloader() {}

}  // namespace harvelin
