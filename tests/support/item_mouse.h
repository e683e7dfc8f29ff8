// Real mouse input on the items of real bars: the pointer is put on the
// item's middle on the screen and the buttons go through SendInput, so the
// bar sees exactly what a user's click gives it.
#pragma once
#include <windows.h>

class CVellumMenuItem;

namespace testing_support {

// One mouse event at the pointer (MOUSEEVENTF_MOVE, _LEFTDOWN, ...), stamped
// with time when it is not 0 (else the system stamps it when it arrives).
void SendMouseButton(DWORD flags, DWORD time = 0);
// The item's rectangle on the screen.
RECT ItemScreenRect(CVellumMenuItem* item);
// Puts the pointer on the item's middle and lets the bar see the move.
void MovePointerToItem(CVellumMenuItem* item);
// A left click on the item's middle, with time for the bar to answer.
void ClickItem(CVellumMenuItem* item);

}  // namespace testing_support
