// Stand-in for a tray window that the server passes notification-icon
// messages on to: the shell's own tray (empty title) or the widget host's
// "KATray". Usage: lf_tray_standin <title or -> <log file> <reply>
// Every WM_COPYDATA is appended to the log as "dwData cbData wParam hexbytes"
// and answered with <reply>. WM_CLOSE ends it. The shell's stand-in has a
// "TrayNotifyWnd" child, as the shell's taskbar has.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <string>

namespace {

std::string g_log;
LRESULT g_reply = 0;

void Record(WPARAM wp, const COPYDATASTRUCT* data) {
    std::string line = std::to_string(data->dwData) + " " + std::to_string(data->cbData) + " " +
                       std::to_string(static_cast<unsigned long>(wp)) + " ";
    static const char kHex[] = "0123456789abcdef";
    const auto* bytes = static_cast<const unsigned char*>(data->lpData);
    for (DWORD i = 0; bytes && i < data->cbData; ++i) {
        line += kHex[bytes[i] >> 4];
        line += kHex[bytes[i] & 15];
    }
    line += "\n";
    HANDLE file = CreateFileA(g_log.c_str(), FILE_APPEND_DATA, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                              OPEN_ALWAYS, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return;
    DWORD written = 0;
    WriteFile(file, line.data(), static_cast<DWORD>(line.size()), &written, nullptr);
    CloseHandle(file);
}

LRESULT CALLBACK StandInProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_COPYDATA:
        Record(wp, reinterpret_cast<const COPYDATASTRUCT*>(lp));
        return g_reply;
    case WM_DESTROY:
        PostQuitMessage(0);
        return 0;
    default:
        return DefWindowProcA(wnd, msg, wp, lp);
    }
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    if (__argc < 4) return 2;
    std::string title = __argv[1];
    if (title == "-") title.clear();
    g_log = __argv[2];
    g_reply = static_cast<LRESULT>(strtol(__argv[3], nullptr, 0));

    WNDCLASSA wc = {};
    wc.lpfnWndProc = StandInProc;
    wc.hInstance = instance;
    wc.lpszClassName = "Shell_TrayWnd";
    if (!RegisterClassA(&wc)) return 3;
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, "Shell_TrayWnd", title.c_str(), WS_POPUP, 0, 0, 10, 10,
                               nullptr, nullptr, instance, nullptr);
    if (!wnd) return 4;
    if (title.empty()) {
        // Where the shell keeps its notification area: along the bottom, at the right.
        SetWindowPos(wnd, nullptr, 0, 738, 1024, 30, SWP_NOZORDER | SWP_NOACTIVATE);
        wc.lpfnWndProc = DefWindowProcA;
        wc.lpszClassName = "TrayNotifyWnd";
        RegisterClassA(&wc);
        CreateWindowExA(0, "TrayNotifyWnd", "", WS_CHILD, 900, 4, 100, 22, wnd, nullptr, instance, nullptr);
    }
    // Above the shell's own tray window, as a real tray that was just raised.
    SetWindowPos(wnd, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    MSG msg;
    while (GetMessageA(&msg, nullptr, 0, 0) > 0) DispatchMessageA(&msg);
    return 0;
}
