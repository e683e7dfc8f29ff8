// A program of windows for the taskbar and hook tests: it opens top-level
// windows of the classes and titles it is given, records each WM_SYSCOMMAND
// it receives in a log file, and stops pumping when asked.
//
//   task_windows <log file> <class>|<title>[|tool] ...
//
// WM_COPYDATA (dwData 1, "<class>|<title>[|tool]") to any of its windows
// opens one more and answers its handle. The registered message
// "TaskWindows Stop Pumping" makes the process sleep wParam milliseconds.
// The process ends when its last window is gone.
#include <windows.h>

#include <cstdio>
#include <cstring>
#include <string>

namespace {

std::string g_log;
int g_windows = 0;
UINT g_stop_pumping = 0;

void Record(HWND wnd, WPARAM command) {
    FILE* f = fopen(g_log.c_str(), "a");
    if (!f) return;
    fprintf(f, "%llx %x\n", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(wnd)),
            static_cast<unsigned>(command & 0xFFF0));
    fclose(f);
}

HWND Open(const std::string& spec);

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == g_stop_pumping && g_stop_pumping) {
        Sleep(static_cast<DWORD>(wp));
        return 0;
    }
    switch (msg) {
    case WM_SYSCOMMAND:
        Record(wnd, wp);
        break;
    case WM_COPYDATA: {
        auto* cds = reinterpret_cast<COPYDATASTRUCT*>(lp);
        if (!cds || cds->dwData != 1 || !cds->lpData) return 0;
        std::string spec(static_cast<const char*>(cds->lpData), cds->cbData);
        spec = spec.c_str();   // up to the first zero
        return reinterpret_cast<LRESULT>(Open(spec));
    }
    case WM_DESTROY:
        if (--g_windows == 0) PostQuitMessage(0);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

HWND Open(const std::string& spec) {
    size_t bar = spec.find('|');
    if (bar == std::string::npos) return nullptr;
    std::string cls = spec.substr(0, bar);
    std::string title = spec.substr(bar + 1);
    DWORD ex_style = 0;
    size_t flag = title.find('|');
    if (flag != std::string::npos) {
        if (title.substr(flag + 1) == "tool") ex_style |= WS_EX_TOOLWINDOW;
        title.resize(flag);
    }
    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hCursor = LoadCursor(nullptr, IDC_ARROW);
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_WINDOW + 1);
    wc.lpszClassName = cls.c_str();
    RegisterClassA(&wc);   // a second window of a class finds it registered
    HWND wnd = CreateWindowExA(ex_style, cls.c_str(), title.c_str(), WS_OVERLAPPEDWINDOW | WS_VISIBLE,
                               100 + 20 * g_windows, 100 + 20 * g_windows, 240, 120, nullptr, nullptr,
                               wc.hInstance, nullptr);
    if (wnd) ++g_windows;
    return wnd;
}

}  // namespace

int main(int argc, char** argv) {
    if (argc < 2) return 2;
    g_log = argv[1];
    g_stop_pumping = RegisterWindowMessageA("TaskWindows Stop Pumping");
    for (int i = 2; i < argc; ++i) Open(argv[i]);
    if (g_windows == 0) return 1;
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
