#pragma once

#include "link/serial_link.h"

namespace harvelin {

// Asks the pager to leave its normal operation for the boot loader. True when
// it said it calls the boot loader (and no late reply made that doubtful). The
// link is left as it is.
bool startBootloader(SerialLink& link);

}  // namespace harvelin
