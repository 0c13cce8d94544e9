#include "ui/main_dialog.h"

namespace harvelin {

void MainDialog::readFromPager() {}

}  // namespace harvelin
