// Registration of the program's own window classes.
#pragma once
#include <windows.h>

// Registers the class. True when it is registered now, or when this module
// already holds a class of that name with the same window procedure (a
// repeated registration changes nothing). A name that this module holds with
// another procedure is a failure: windows made by that name would not be ours.
bool RegisterOwnWindowClass(const WNDCLASSEXA& wc);
