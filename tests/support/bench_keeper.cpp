// Holds Wine's desktop open between tests so that each test starts warm.
#include <windows.h>

int WINAPI WinMain(HINSTANCE, HINSTANCE, LPSTR, int) {
    HWND w = CreateWindowExA(0, "STATIC", "TessellarBenchKeeper", WS_POPUP, 0, 0, 1, 1,
                             nullptr, nullptr, nullptr, nullptr);
    MSG msg;
    while (w && GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
