// Start-up benchmark (not a test): the time from process start until the
// first bar of a theme has painted, against a bare program that paints one
// window, on the same Wine in one run; then Tessellar's private bytes, GDI
// and USER object counts once the theme shows and after 100 reloads.
// Usage: startup_bench.exe <theme file>   (run from the build's bin folder)
#include <windows.h>
#include <psapi.h>

#include <algorithm>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

namespace {

constexpr int kRuns = 5;
constexpr int kReloads = 100;
constexpr UINT kReloadCommand = 40026;

std::string Folder() {
    char path[MAX_PATH];
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    std::string s = path;
    return s.substr(0, s.rfind('\\') + 1);
}

struct Found {
    DWORD pid;
    const char* cls;
    HWND wnd;
};

BOOL CALLBACK FindProc(HWND w, LPARAM lp) {
    auto* f = reinterpret_cast<Found*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    char cls[64] = "";
    GetClassNameA(w, cls, sizeof(cls));
    if (pid == f->pid && lstrcmpA(cls, f->cls) == 0 && IsWindowVisible(w)) {
        f->wnd = w;
        return FALSE;
    }
    return TRUE;
}

// Painted: the window's middle on the screen is no longer the black desktop.
bool HasPainted(HWND w) {
    RECT rc;
    if (!GetWindowRect(w, &rc) || rc.right <= rc.left) return false;
    HDC screen = GetDC(nullptr);
    COLORREF c = GetPixel(screen, (rc.left + rc.right) / 2, (rc.top + rc.bottom) / 2);
    ReleaseDC(nullptr, screen);
    return c != CLR_INVALID && c != RGB(0, 0, 0);
}

void Pump() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) DispatchMessageA(&msg);
}

// Milliseconds from CreateProcess until a visible, painted window of the class.
double TimeToFirstPaint(const std::string& command, const char* cls, PROCESS_INFORMATION* pi) {
    STARTUPINFOA si = {sizeof(si)};
    LARGE_INTEGER freq, start, now;
    QueryPerformanceFrequency(&freq);
    QueryPerformanceCounter(&start);
    std::vector<char> line(command.begin(), command.end());
    line.push_back('\0');
    if (!CreateProcessA(nullptr, line.data(), nullptr, nullptr, FALSE, 0, nullptr, Folder().c_str(), &si, pi))
        return -1;
    for (;;) {
        Found f{pi->dwProcessId, cls, nullptr};
        EnumWindows(FindProc, reinterpret_cast<LPARAM>(&f));
        QueryPerformanceCounter(&now);
        const double ms = (now.QuadPart - start.QuadPart) * 1000.0 / freq.QuadPart;
        if (f.wnd && HasPainted(f.wnd)) return ms;
        if (ms > 30000) return -1;
        Pump();
        Sleep(1);
    }
}

void Stop(PROCESS_INFORMATION& pi, const char* main_class) {
    HWND main = FindWindowA(main_class, nullptr);
    if (main) PostMessageA(main, WM_CLOSE, 0, 0);
    if (WaitForSingleObject(pi.hProcess, 10000) != WAIT_OBJECT_0) TerminateProcess(pi.hProcess, 1);
    CloseHandle(pi.hProcess);
    CloseHandle(pi.hThread);
}

double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v.empty() ? -1 : v[v.size() / 2];
}

struct Usage {
    SIZE_T private_bytes;
    DWORD gdi, user;
    int windows;
};

BOOL CALLBACK CountChild(HWND, LPARAM lp) {
    ++*reinterpret_cast<int*>(lp);
    return TRUE;
}

BOOL CALLBACK CountProc(HWND w, LPARAM lp) {
    auto* u = reinterpret_cast<std::pair<DWORD, int>*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(w, &pid);
    if (pid != u->first) return TRUE;
    ++u->second;
    EnumChildWindows(w, CountChild, reinterpret_cast<LPARAM>(&u->second));
    return TRUE;
}

// Wine reports no memory or object counts of other processes; bench.sh reads
// the memory of the named program from Linux when asked through a file.
std::string AskHost(int n, const char* program) {
    char dir[MAX_PATH] = "";
    if (!GetEnvironmentVariableA("BENCH_SYNC_DIR", dir, MAX_PATH)) return "";
    const std::string base = std::string(dir) + "\\measure-" + std::to_string(n);
    // Written aside and renamed, so the host never reads half a name.
    HANDLE h = CreateFileA((base + ".new").c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0, nullptr);
    if (h == INVALID_HANDLE_VALUE) return "";
    DWORD written = 0;
    WriteFile(h, program, static_cast<DWORD>(strlen(program)), &written, nullptr);
    CloseHandle(h);
    if (!MoveFileA((base + ".new").c_str(), (base + ".req").c_str())) return "";
    for (int i = 0; i < 200; ++i) {
        h = CreateFileA((base + ".txt").c_str(), GENERIC_READ, FILE_SHARE_READ, nullptr, OPEN_EXISTING, 0, nullptr);
        if (h != INVALID_HANDLE_VALUE) {
            Sleep(100);   // written in one go by the host
            char buf[512] = "";
            DWORD got = 0;
            ReadFile(h, buf, sizeof(buf) - 1, &got, nullptr);
            CloseHandle(h);
            std::string text(buf, got);
            while (!text.empty() && (text.back() == '\n' || text.back() == '\r')) text.pop_back();
            return text;
        }
        Sleep(50);
    }
    return "";
}

Usage Measure(HANDLE process, DWORD pid) {
    Usage u = {};
    PROCESS_MEMORY_COUNTERS_EX pmc = {};
    pmc.cb = sizeof(pmc);
    if (GetProcessMemoryInfo(process, reinterpret_cast<PROCESS_MEMORY_COUNTERS*>(&pmc), sizeof(pmc)))
        u.private_bytes = pmc.PrivateUsage;
    u.gdi = GetGuiResources(process, GR_GDIOBJECTS);
    u.user = GetGuiResources(process, GR_USEROBJECTS);
    std::pair<DWORD, int> count{pid, 0};
    EnumWindows(CountProc, reinterpret_cast<LPARAM>(&count));
    u.windows = count.second;
    return u;
}

void PrintUsage(const char* when, const Usage& u, const std::string& host) {
    printf("  %s:\n", when);
    if (u.private_bytes)
        printf("    private bytes %.1f KB\n", u.private_bytes / 1024.0);
    if (!host.empty()) printf("    %s\n", host.c_str());
    printf("    GDI objects %lu, USER objects %lu (GetGuiResources; 0 = not reported)\n",
           static_cast<unsigned long>(u.gdi), static_cast<unsigned long>(u.user));
    printf("    windows (top-level and child) %d\n", u.windows);
}

}  // namespace

// A figure of the host's answer in KB: the number after the label.
double HostKb(const std::string& host, const char* label) {
    const size_t at = host.find(label);
    return at == std::string::npos ? 0 : atof(host.c_str() + at + strlen(label));
}

int main(int argc, char** argv) {
    if (argc < 2) {
        fprintf(stderr, "usage: startup_bench <theme file>\n");
        return 2;
    }
    const std::string theme = argv[1];
    const std::string tessellar = "\"" + Folder() + "Tessellar.exe\" \"" + theme + "\"";
    const std::string bare = "\"" + Folder() + "bare_window.exe\"";
    std::vector<double> bare_ms, tess_ms;
    for (int run = 0; run < kRuns; ++run) {
        PROCESS_INFORMATION pi = {};
        double ms = TimeToFirstPaint(bare, "BareBenchWindow", &pi);
        bare_ms.push_back(ms);
        Stop(pi, "BareBenchWindow");
        ms = TimeToFirstPaint(tessellar, "Tessellar Toolbar", &pi);
        tess_ms.push_back(ms);
        Stop(pi, "Tessellar Main");
    }
    printf("Start-up until the first window has painted (median of %d runs):\n", kRuns);
    printf("  bare Win32 program   %8.1f ms\n", Median(bare_ms));
    printf("  Tessellar + theme    %8.1f ms   (%.2f x the bare program)\n", Median(tess_ms),
           Median(tess_ms) / std::max(0.001, Median(bare_ms)));

    // The bare program's memory once its window shows: the baseline.
    PROCESS_INFORMATION pi = {};
    std::string bare_host;
    if (TimeToFirstPaint(bare, "BareBenchWindow", &pi) >= 0) {
        Sleep(500);
        bare_host = AskHost(1, "bare_window.exe");
    }
    Stop(pi, "BareBenchWindow");

    pi = {};
    if (TimeToFirstPaint(tessellar, "Tessellar Toolbar", &pi) < 0) {
        fprintf(stderr, "Tessellar showed no bar\n");
        Stop(pi, "Tessellar Main");
        return 1;
    }
    HWND main = FindWindowA("Tessellar Main", "Tessellar");
    Sleep(500);
    Pump();
    printf("Tessellar's resources:\n");
    const std::string shown_host = AskHost(2, "Tessellar.exe");
    PrintUsage("once the theme shows", Measure(pi.hProcess, pi.dwProcessId), shown_host);
    // Private counts the program's own file pages that only it maps (clean,
    // shareable); anonymous memory alone is nearer to Windows' private bytes.
    for (const char* label : {"private memory ", "anonymous resident "}) {
        const double bare_kb = HostKb(bare_host, label), shown_kb = HostKb(shown_host, label);
        if (bare_kb > 0 && shown_kb > 0)
            printf("    %.2f x the bare program's %s(%s)\n", shown_kb / bare_kb, label, bare_host.c_str());
    }
    DWORD start = GetTickCount();
    for (int i = 0; i < kReloads && main; ++i) {
        DWORD_PTR result = 0;
        SendMessageTimeoutA(main, WM_COMMAND, kReloadCommand, 0, SMTO_NORMAL, 10000, &result);
        Pump();
    }
    const DWORD reload_ms = GetTickCount() - start;
    Sleep(500);
    Pump();
    PrintUsage("after 100 theme reloads", Measure(pi.hProcess, pi.dwProcessId), AskHost(3, "Tessellar.exe"));
    printf("  100 reloads took %lu ms\n", static_cast<unsigned long>(reload_ms));
    Stop(pi, "Tessellar Main");
    return 0;
}
