// Stand-in for another program's application bar: registers its own appbar
// on an edge, asks the shell where a band of the given thickness may lie
// (ABM_QUERYPOS) and prints the answer as "left top right bottom".
// Usage: appbar_standin <edge 0..3> <thickness>
#include <windows.h>
#include <shellapi.h>
#include <cstdio>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 3) {
        std::fprintf(stderr, "usage: appbar_standin <edge> <thickness>\n");
        return 2;
    }
    const int edge = std::atoi(argv[1]);
    const int thickness = std::atoi(argv[2]);
    const int w = GetSystemMetrics(SM_CXSCREEN);
    const int h = GetSystemMetrics(SM_CYSCREEN);

    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Tessellar Appbar Stand-in";
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, wc.lpszClassName, "", WS_POPUP, 0, 0, 10, 10,
                               nullptr, nullptr, wc.hInstance, nullptr);
    if (!wnd) return 3;

    APPBARDATA data = {};
    data.cbSize = sizeof(data);
    data.hWnd = wnd;
    data.uCallbackMessage = WM_APP + 1;
    if (!SHAppBarMessage(ABM_NEW, &data)) return 4;
    data.uEdge = static_cast<UINT>(edge);
    switch (edge) {
    case ABE_LEFT: data.rc = RECT{0, 0, thickness, h}; break;
    case ABE_TOP: data.rc = RECT{0, 0, w, thickness}; break;
    case ABE_RIGHT: data.rc = RECT{w - thickness, 0, w, h}; break;
    default: data.rc = RECT{0, h - thickness, w, h}; break;
    }
    SHAppBarMessage(ABM_QUERYPOS, &data);
    std::printf("%ld %ld %ld %ld\n", data.rc.left, data.rc.top, data.rc.right, data.rc.bottom);
    std::fflush(stdout);
    SHAppBarMessage(ABM_REMOVE, &data);
    DestroyWindow(wnd);
    return 0;
}
