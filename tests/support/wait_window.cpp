// Waits until a visible top-level window of a class exists (script/run uses it
// to know when the first bar shows). Exit code 0 when found, 1 on time-out.
#include <windows.h>
#include <cstdlib>

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    const DWORD timeout = argc > 2 ? static_cast<DWORD>(atoi(argv[2])) : 20000;
    const DWORD start = GetTickCount();
    while (GetTickCount() - start < timeout) {
        HWND w = FindWindowA(argv[1], nullptr);
        if (w && IsWindowVisible(w)) return 0;
        Sleep(100);
    }
    return 1;
}
