// A program of windows for the taskbar, hook and command tests: it opens
// top-level windows (with a minimise box) of the classes and titles it is
// given, records what it is told in a log file, and stops pumping when asked.
//
//   task_windows <log file> <class>|<title>[|tool|edit] ...
//
// "tool" makes a tool window; "edit" gives the window an edit control that
// holds the text "Stand-in selection", all of it selected, with the focus.
// The log gets one line per message: "<window> <command>" (hex) for
// WM_SYSCOMMAND, "<window> close" for WM_CLOSE and "<window> command <id>"
// for WM_COMMAND.
//
// WM_COPYDATA (dwData 1, "<class>|<title>[|flag]") to any of its windows
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

constexpr int kEditId = 100;

void RecordLine(HWND wnd, const char* what) {
    FILE* f = fopen(g_log.c_str(), "a");
    if (!f) return;
    fprintf(f, "%llx %s\n", static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(wnd)),
            what);
    fclose(f);
}

void Record(HWND wnd, WPARAM command) {
    char text[32];
    snprintf(text, sizeof(text), "%x", static_cast<unsigned>(command & 0xFFF0));
    RecordLine(wnd, text);
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
    case WM_CLOSE:
        RecordLine(wnd, "close");
        break;
    case WM_COMMAND: {
        char text[32];
        snprintf(text, sizeof(text), "command %x", static_cast<unsigned>(LOWORD(wp)));
        RecordLine(wnd, text);
        break;
    }
    case WM_SETFOCUS:
        // The edit control keeps the focus whenever the window has it.
        if (HWND edit = GetDlgItem(wnd, kEditId)) {
            SetFocus(edit);
            return 0;
        }
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
    bool with_edit = false;
    size_t flag = title.find('|');
    if (flag != std::string::npos) {
        const std::string kind = title.substr(flag + 1);
        if (kind == "tool") ex_style |= WS_EX_TOOLWINDOW;
        if (kind == "edit") with_edit = true;
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
    if (!wnd) return nullptr;
    ++g_windows;
    if (with_edit) {
        HWND edit = CreateWindowExA(0, "EDIT", "Stand-in selection", WS_CHILD | WS_VISIBLE | ES_AUTOHSCROLL,
                                    4, 4, 200, 24, wnd, reinterpret_cast<HMENU>(kEditId), wc.hInstance,
                                    nullptr);
        SendMessageA(edit, EM_SETSEL, 0, -1);
        SetFocus(edit);
    }
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
