#include "ui/main_dialog.h"

namespace harvelin {

void MainDialog::searchPager() {}

}  // namespace harvelin
