// The baseline of the start-up benchmark: a bare Win32 program that creates
// and paints one window, then waits to be closed.
#include <windows.h>

static LRESULT CALLBACK Proc(HWND w, UINT m, WPARAM wp, LPARAM lp) {
    if (m == WM_DESTROY) {
        PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(w, m, wp, lp);
}

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "BareBenchWindow";
    RegisterClassA(&wc);
    HWND w = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "Bare", WS_POPUP | WS_VISIBLE, 0, 0, 200, 60,
                             nullptr, nullptr, instance, nullptr);
    UpdateWindow(w);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
