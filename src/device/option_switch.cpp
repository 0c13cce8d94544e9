#include "ui/main_dialog.h"

namespace harvelin {

void MainDialog::sendOptionSwitch(int, std::string_view, std::string_view) {}

}  // namespace harvelin
