// A stand-in for the skin editor Glazeworks: a window of class "TGWMainForm"
// titled "Vantrell Glazeworks - <skin>". It announces the skin named on its
// command line with "<SkinOpened>", answers "<GetOpenedSkin>" at once with
// "<CurrentlyOpenedSkin>", and appends every text it receives to
// "glazeworks_log.txt" beside it ("<pid>: <text>" per line).
//
// A test steers it with WM_COPYDATA of its own dwData:
//   kSendToMain    the text goes on to the main window with this window as sender
//   kForgeProperty "TSChangedList!" set to the value in the text (hexadecimal)
//   kStopPumping   stops answering for the milliseconds in the text
// Command line: [--quiet] ["skin path"]   --quiet: holds the skin without announcing it.
#include <windows.h>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>

namespace {

constexpr ULONG_PTR kSendToMain = 0x7E57;
constexpr ULONG_PTR kForgeProperty = 0x7E58;
constexpr ULONG_PTR kStopPumping = 0x7E59;

std::string g_skin;
std::string g_log;

std::string Text(const COPYDATASTRUCT* cds) {
    if (!cds || !cds->lpData) return std::string();
    const char* data = static_cast<const char*>(cds->lpData);
    return std::string(data, strnlen(data, cds->cbData));
}

void Log(const std::string& text) {
    FILE* f = fopen(g_log.c_str(), "ab");
    if (!f) return;
    fprintf(f, "%lu: %s\n", GetCurrentProcessId(), text.c_str());
    fclose(f);
}

LRESULT Send(HWND to, HWND self, const std::string& text) {
    if (!to) return 0;
    std::string buffer = text;
    buffer.push_back('\0');
    buffer.push_back('\0');
    COPYDATASTRUCT cds = {0, static_cast<DWORD>(buffer.size()), &buffer[0]};
    DWORD_PTR answer = 0;
    SendMessageTimeoutA(to, WM_COPYDATA, reinterpret_cast<WPARAM>(self), reinterpret_cast<LPARAM>(&cds),
                        SMTO_NORMAL, 5000, &answer);
    return static_cast<LRESULT>(answer);
}

HWND MainWindow() { return FindWindowA("Tessellar Main", "Tessellar"); }

LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        const std::string text = Text(cds);
        switch (cds ? cds->dwData : 0) {
        case kSendToMain:
            return Send(MainWindow(), wnd, text);
        case kForgeProperty:
            SetPropA(wnd, "TSChangedList!", reinterpret_cast<HANDLE>(static_cast<ULONG_PTR>(
                                                strtoull(text.c_str(), nullptr, 16))));
            return 1;
        case kStopPumping:
            Sleep(static_cast<DWORD>(atoi(text.c_str())));
            return 1;
        default:
            break;
        }
        Log(text);
        if (text == "<GetOpenedSkin>" && !g_skin.empty()) {
            HWND main = reinterpret_cast<HWND>(wp) ? reinterpret_cast<HWND>(wp) : MainWindow();
            Send(main, wnd, "<CurrentlyOpenedSkin><" + g_skin + ">");
        }
        return 1;
    }
    if (msg == WM_DESTROY) PostQuitMessage(0);
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

int WINAPI WinMain(HINSTANCE instance, HINSTANCE, LPSTR, int) {
    char exe[MAX_PATH];
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    g_log = exe;
    g_log = g_log.substr(0, g_log.find_last_of('\\') + 1) + "glazeworks_log.txt";

    bool quiet = false;
    for (int i = 1; i < __argc; ++i) {
        if (strcmp(__argv[i], "--quiet") == 0) quiet = true;
        else g_skin = __argv[i];
    }
    Log(std::string("command line: ") + GetCommandLineA());

    WNDCLASSA wc = {};
    wc.lpfnWndProc = Proc;
    wc.hInstance = instance;
    wc.lpszClassName = "TGWMainForm";
    RegisterClassA(&wc);
    const std::string title = "Vantrell Glazeworks" + (g_skin.empty() ? std::string() : " - " + g_skin);
    HWND wnd = CreateWindowExA(WS_EX_TOOLWINDOW, "TGWMainForm", title.c_str(), WS_OVERLAPPEDWINDOW, 0, 0, 200,
                               100, nullptr, nullptr, instance, nullptr);
    if (!wnd) return 1;
    if (!g_skin.empty() && !quiet) Send(MainWindow(), wnd, "<SkinOpened><" + g_skin + ">");
    MSG m;
    while (GetMessageA(&m, nullptr, 0, 0) > 0) {
        TranslateMessage(&m);
        DispatchMessageA(&m);
    }
    return 0;
}
