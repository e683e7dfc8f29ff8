// Not built yet: each body stays empty (or reports failure) until the module
// it belongs to replaces it. Listed by the module that will own it.
#include "shell/later_stubs.h"

// ---- tray server -------------------------------------------------------------------------------------------
