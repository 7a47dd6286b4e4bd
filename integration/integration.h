// What the installation sequence and the completion use of the system
// integration. Implemented in integration/.
#pragma once
#include "shell/context.h"

status_t INS_addproductini(setup_context* ctx);
status_t INS_addfaxini(setup_context* ctx);
// Low 16 bits of the system error number; 0 when the old service was deleted.
status_t INS_removeservice(setup_context* ctx);
