// The address-box plug-in. Its one export is the plug-in message entry.
#include <windows.h>

extern "C" LRESULT __stdcall VTMessage(HWND, UINT, WPARAM, LPARAM) {
    return 0;
}
