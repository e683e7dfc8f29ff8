// The system tray section on real bars read from bar files.
#include "tests/tray/tray_fixture.h"
