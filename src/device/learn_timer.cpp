#include "ui/main_dialog.h"

namespace harvelin {

void MainDialog::startLearn(int) {}
void MainDialog::onUiTimer() {}

}  // namespace harvelin
