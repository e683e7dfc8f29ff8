/* A library without "VTMessage": the host must refuse it. */
#include <windows.h>

__declspec(dllexport) int SomethingElse(void) { return 1; }
