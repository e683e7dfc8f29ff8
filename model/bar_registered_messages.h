// Registered-message services of the bar module offered outside the bar
// object itself.
#pragma once
#include <windows.h>

// For a desktop hook: when the main window ("Tessellar Main", "Tessellar")
// and the atom "TS-DeskRClk" exist, brings the main window forward and posts
// it "TS Desktop Right Click" with the cursor position; 1, else 0.
int ForwardDesktopRightClick();
