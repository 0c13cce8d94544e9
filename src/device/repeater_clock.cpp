#include "ui/main_dialog.h"

namespace harvelin {

bool MainDialog::readRepeaterStatus() { return false; }
void MainDialog::setRepeaterClock() {}

}  // namespace harvelin
