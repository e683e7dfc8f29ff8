// Taskbar section operations that wait for the task items (the buttons):
// each does nothing and reports that nothing was done.
#include "types/taskbar_section.h"

int CVellumMenuSection_Taskbar::RebuildTasks() { return 0; }
