// The address-box plug-in. Its one export is the plug-in message entry.
#include <windows.h>

#include "util/callback_guard.h"

extern "C" LRESULT __stdcall VTMessage(HWND, UINT, WPARAM, LPARAM) {
    // The host calls in from its own window procedure: nothing may unwind into it.
    return tess::RunGuarded([]() -> LRESULT { return 0; }, []() -> LRESULT { return 0; });
}
