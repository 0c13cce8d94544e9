#include "ui/main_dialog.h"

namespace harvelin {

void MainDialog::writeToPager() {}

}  // namespace harvelin
