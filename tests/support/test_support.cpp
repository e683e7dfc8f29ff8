#include "tests/support/test_support.h"

#include <shellapi.h>
#include <psapi.h>
#include <algorithm>
#include <cstdio>
#include <cstring>

#include "util/handles.h"

namespace testing_support {

// ---- message pumping ------------------------------------------------------

static void DispatchPending() {
    MSG msg;
    while (PeekMessageA(&msg, nullptr, 0, 0, PM_REMOVE)) {
        TranslateMessage(&msg);
        DispatchMessageA(&msg);
    }
}

bool PumpUntil(const std::function<bool()>& cond, DWORD timeout_ms) {
    const DWORD start = GetTickCount();
    for (;;) {
        DispatchPending();
        if (cond()) return true;
        if (GetTickCount() - start >= timeout_ms) return cond();
        MsgWaitForMultipleObjects(0, nullptr, FALSE, 10, QS_ALLINPUT);
    }
}

void PumpFor(DWORD ms) {
    PumpUntil([] { return false; }, ms);
}

// ---- message boxes ---------------------------------------------------------

MessageBoxWatcher::MessageBoxWatcher(int answer, bool any_process)
    : answer_(answer), any_process_(any_process) {
    processes_.push_back(GetCurrentProcessId());
    thread_ = std::thread([this] { Run(); });
}

MessageBoxWatcher::~MessageBoxWatcher() {
    stop_ = true;
    if (thread_.joinable()) thread_.join();
}

void MessageBoxWatcher::SetAnswer(int button_id) { answer_ = button_id; }

void MessageBoxWatcher::WatchProcess(DWORD process_id) {
    std::lock_guard<std::mutex> g(lock_);
    processes_.push_back(process_id);
}

std::vector<SeenMessageBox> MessageBoxWatcher::Seen() const {
    std::lock_guard<std::mutex> g(lock_);
    return seen_;
}

size_t MessageBoxWatcher::Count() const {
    std::lock_guard<std::mutex> g(lock_);
    return seen_.size();
}

bool MessageBoxWatcher::SawCaption(const std::string& caption) const {
    std::lock_guard<std::mutex> g(lock_);
    return std::any_of(seen_.begin(), seen_.end(),
                       [&](const SeenMessageBox& b) { return b.caption == caption; });
}

void MessageBoxWatcher::Clear() {
    std::lock_guard<std::mutex> g(lock_);
    seen_.clear();
}

struct BoxSearch {
    std::vector<HWND> boxes;
};

// The watcher answers the system's dialogs: message boxes, the file dialogs
// and the shell's confirmations, all made from templates of system libraries.
// A dialog made from the program's own resources is the test's to drive.
static bool IsSystemDialog(HWND dialog) {
    DWORD pid = 0;
    GetWindowThreadProcessId(dialog, &pid);
    const auto owner = reinterpret_cast<HMODULE>(GetWindowLongPtrA(dialog, GWLP_HINSTANCE));
    if (!owner) return false;
    char path[MAX_PATH] = "";
    if (pid == GetCurrentProcessId()) {
        GetModuleFileNameA(owner, path, sizeof(path));
    } else {
        tess::ScopedHandle process(OpenProcess(PROCESS_QUERY_INFORMATION | PROCESS_VM_READ, FALSE, pid));
        if (process) GetModuleFileNameExA(process.get(), owner, path, sizeof(path));
    }
    char system[MAX_PATH] = "";
    const UINT length = GetSystemDirectoryA(system, sizeof(system));
    return length > 0 && length < sizeof(system) && path[0] && _strnicmp(path, system, length) == 0 &&
           path[length] == '\\';
}

// Where the module cannot be told, a message box is still known by its
// shape: its text (a static with id 0xFFFF), perhaps an icon (id 0x440 under
// Wine, 20 under Windows) and push buttons with the standard answer ids.
struct BoxShape {
    bool has_text = false;
    bool other = false;
};

static BOOL CALLBACK CheckBoxControl(HWND child, LPARAM lp) {
    auto* shape = reinterpret_cast<BoxShape*>(lp);
    char cls[32] = {0};
    GetClassNameA(child, cls, sizeof(cls));
    const int id = GetDlgCtrlID(child) & 0xFFFF;
    if (lstrcmpiA(cls, "Static") == 0 && (id == 0xFFFF || id == 0x440 || id == 20)) {
        if (id == 0xFFFF) shape->has_text = true;
    } else if (lstrcmpiA(cls, "Button") != 0 || id < IDOK || id > IDCONTINUE) {
        shape->other = true;
        return FALSE;
    }
    return TRUE;
}

static bool IsMessageBox(HWND dialog) {
    BoxShape shape;
    EnumChildWindows(dialog, CheckBoxControl, reinterpret_cast<LPARAM>(&shape));
    return shape.has_text && !shape.other;
}

static BOOL CALLBACK CollectDialogs(HWND hwnd, LPARAM lp) {
    char cls[32] = {0};
    GetClassNameA(hwnd, cls, sizeof(cls));
    if (strcmp(cls, "#32770") == 0 && IsWindowVisible(hwnd) && (IsSystemDialog(hwnd) || IsMessageBox(hwnd)))
        reinterpret_cast<BoxSearch*>(lp)->boxes.push_back(hwnd);
    return TRUE;
}

// The message text of a MessageBox is the static control with id 0xFFFF.
// The window's text as the system keeps it. GetWindowText would send
// WM_GETTEXT to a window of this process, and wait for a thread that may
// itself be waiting for this watcher to stop.
static std::string StoredWindowText(HWND window) {
    wchar_t wide[2048] = {0};
    if (!window || InternalGetWindowText(window, wide, 2048) <= 0) return "";
    char text[4096] = {0};
    WideCharToMultiByte(CP_ACP, 0, wide, -1, text, sizeof(text) - 1, nullptr, nullptr);
    return text;
}

static std::string MessageBoxText(HWND box) { return StoredWindowText(GetDlgItem(box, 0xFFFF)); }

void MessageBoxWatcher::Answer(HWND box) {
    const int wanted = answer_;
    const int order[] = {wanted, IDCANCEL, IDNO, IDOK, IDYES, IDABORT, IDIGNORE, IDRETRY};
    for (int id : order) {
        HWND button = GetDlgItem(box, id);
        if (button && IsWindowEnabled(button)) {
            PostMessageA(box, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), (LPARAM)button);
            return;
        }
    }
    PostMessageA(box, WM_CLOSE, 0, 0);
}

void MessageBoxWatcher::Run() {
    while (!stop_) {
        BoxSearch search;
        EnumWindows(CollectDialogs, reinterpret_cast<LPARAM>(&search));
        for (HWND box : search.boxes) {
            DWORD pid = 0;
            GetWindowThreadProcessId(box, &pid);
            {
                std::lock_guard<std::mutex> g(lock_);
                const bool watched = any_process_ ||
                    std::find(processes_.begin(), processes_.end(), pid) != processes_.end();
                if (!watched) continue;
                if (std::find(answered_.begin(), answered_.end(), box) == answered_.end()) {
                    seen_.push_back({StoredWindowText(box), MessageBoxText(box), pid});
                    answered_.push_back(box);
                }
            }
            Answer(box);
        }
        {
            // Forget boxes that are gone, so a reused handle is seen again.
            std::lock_guard<std::mutex> g(lock_);
            answered_.erase(std::remove_if(answered_.begin(), answered_.end(),
                                           [](HWND h) { return !IsWindow(h); }),
                            answered_.end());
        }
        Sleep(30);
    }
}

// ---- processes ---------------------------------------------------------------

static std::string EnvOr(const char* name, const std::string& fallback) {
    char buf[MAX_PATH * 2] = {0};
    DWORD n = GetEnvironmentVariableA(name, buf, sizeof(buf));
    if (n == 0 || n >= sizeof(buf)) return fallback;
    std::string s(buf);
    if (!s.empty() && s.back() != '\\') s += '\\';
    return s;
}

std::string BinFolder() {
    char exe[MAX_PATH] = {0};
    GetModuleFileNameA(nullptr, exe, MAX_PATH);
    std::string self(exe);
    self = self.substr(0, self.find_last_of('\\') + 1);
    return EnvOr("TESS_BIN_DIR", self);
}

std::string SourceFolder() { return EnvOr("TESS_SOURCE_DIR", ""); }

ChildProcess::~ChildProcess() {
    Kill();
}

bool ChildProcess::Start(const std::string& exe_name, const std::string& args,
                         const std::string& working_dir) {
    Kill();
    std::string exe = exe_name.find('\\') != std::string::npos || exe_name.find(':') != std::string::npos
                          ? exe_name : BinFolder() + exe_name;
    std::string cmd = "\"" + exe + "\"";
    if (!args.empty()) cmd += " " + args;
    std::vector<char> line(cmd.begin(), cmd.end());
    line.push_back('\0');
    STARTUPINFOA si{};
    si.cb = sizeof(si);
    return CreateProcessA(exe.c_str(), line.data(), nullptr, nullptr, FALSE, 0, nullptr,
                          working_dir.empty() ? nullptr : working_dir.c_str(), &si, &pi_) != FALSE;
}

struct WindowSearch {
    const std::string* cls;
    const std::string* title;
    DWORD pid;
    HWND found;
};

static BOOL CALLBACK FindProcessWindow(HWND hwnd, LPARAM lp) {
    auto* s = reinterpret_cast<WindowSearch*>(lp);
    DWORD pid = 0;
    GetWindowThreadProcessId(hwnd, &pid);
    if (s->pid && pid != s->pid) return TRUE;
    char cls[256] = {0}, title[256] = {0};
    GetClassNameA(hwnd, cls, sizeof(cls));
    GetWindowTextA(hwnd, title, sizeof(title));
    if ((s->cls->empty() || *s->cls == cls) && (s->title->empty() || *s->title == title)) {
        s->found = hwnd;
        return FALSE;
    }
    return TRUE;
}

HWND ChildProcess::WaitForWindow(const std::string& cls, const std::string& title, DWORD timeout_ms) {
    WindowSearch s{&cls, &title, pi_.dwProcessId, nullptr};
    PumpUntil([&] {
        EnumWindows(FindProcessWindow, reinterpret_cast<LPARAM>(&s));
        return s.found != nullptr || !Running();
    }, timeout_ms);
    return s.found;
}

HWND CreatePlainWindow(const char* class_name, WNDPROC proc, const char* title, DWORD ex_style) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = proc ? proc : DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = class_name;
    RegisterClassA(&wc);   // fails harmlessly when this process has it already
    return CreateWindowExA(ex_style, class_name, title, WS_POPUP, 0, 0, 10, 10, nullptr, nullptr,
                           wc.hInstance, nullptr);
}

HWND CreatePageHost(int x, int y, int width, int height) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hbrBackground = reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1);
    wc.lpszClassName = "Tessellar Test Page Host";
    RegisterClassA(&wc);   // fails harmlessly when this process has it already
    return CreateWindowExA(WS_EX_CONTROLPARENT, wc.lpszClassName, "Pages Host", WS_POPUP | WS_VISIBLE, x,
                           y, width, height, nullptr, nullptr, wc.hInstance, nullptr);
}

HWND WaitForTopWindow(const std::string& cls, const std::string& title, DWORD timeout_ms) {
    HWND found = nullptr;
    PumpUntil([&] {
        found = FindWindowA(cls.empty() ? nullptr : cls.c_str(),
                            title.empty() ? nullptr : title.c_str());
        return found != nullptr;
    }, timeout_ms);
    return found;
}

int ChildProcess::Wait(DWORD timeout_ms) {
    if (!pi_.hProcess) return -1;
    bool done = PumpUntil([&] { return WaitForSingleObject(pi_.hProcess, 0) == WAIT_OBJECT_0; },
                          timeout_ms);
    if (!done) return -1;
    DWORD code = 0;
    GetExitCodeProcess(pi_.hProcess, &code);
    return static_cast<int>(code);
}

bool ChildProcess::Running() const {
    return pi_.hProcess && WaitForSingleObject(pi_.hProcess, 0) == WAIT_TIMEOUT;
}

void ChildProcess::Kill() {
    if (!pi_.hProcess) return;
    if (Running()) {
        TerminateProcess(pi_.hProcess, 9);
        WaitForSingleObject(pi_.hProcess, 5000);
    }
    CloseHandle(pi_.hProcess);
    CloseHandle(pi_.hThread);
    pi_ = PROCESS_INFORMATION{};
}

// ---- screen --------------------------------------------------------------------

HBITMAP CreateDib32(int width, int height, DWORD** bits) {
    BITMAPINFO bi{};
    bi.bmiHeader.biSize = sizeof(BITMAPINFOHEADER);
    bi.bmiHeader.biWidth = width;
    bi.bmiHeader.biHeight = -height;  // top-down
    bi.bmiHeader.biPlanes = 1;
    bi.bmiHeader.biBitCount = 32;
    bi.bmiHeader.biCompression = BI_RGB;
    void* p = nullptr;
    HBITMAP bmp = CreateDIBSection(nullptr, &bi, DIB_RGB_COLORS, &p, nullptr, 0);
    if (bits) *bits = static_cast<DWORD*>(p);
    return bmp;
}

COLORREF DibPixel(HBITMAP dib, int x, int y) {
    BITMAP bm{};
    if (!GetObjectA(dib, sizeof(bm), &bm)) return CLR_INVALID;
    if (x < 0 || y < 0 || x >= bm.bmWidth || y >= bm.bmHeight) return CLR_INVALID;
    // Wine reports a positive height for top-down sections, so the raw bits'
    // orientation cannot be trusted: read through a DC instead.
    HDC mem = CreateCompatibleDC(nullptr);
    HGDIOBJ old = SelectObject(mem, dib);
    COLORREF c = old ? GetPixel(mem, x, y) : CLR_INVALID;
    if (old) SelectObject(mem, old);
    DeleteDC(mem);
    return c;
}

ScreenCapture::ScreenCapture(const RECT& r) {
    width_ = r.right - r.left;
    height_ = r.bottom - r.top;
    if (width_ <= 0 || height_ <= 0) return;
    DWORD* bits = nullptr;
    bitmap_ = CreateDib32(width_, height_, &bits);
    if (!bitmap_) return;
    HDC screen = GetDC(nullptr);
    HDC mem = CreateCompatibleDC(screen);
    HGDIOBJ old = SelectObject(mem, bitmap_);
    BitBlt(mem, 0, 0, width_, height_, screen, r.left, r.top, SRCCOPY);
    GdiFlush();
    SelectObject(mem, old);
    DeleteDC(mem);
    ReleaseDC(nullptr, screen);
    bits_ = bits;
}

ScreenCapture::~ScreenCapture() {
    if (bitmap_) DeleteObject(bitmap_);
}

COLORREF ScreenCapture::Pixel(int x, int y) const {
    if (!bits_ || x < 0 || y < 0 || x >= width_ || y >= height_) return CLR_INVALID;
    DWORD v = bits_[y * width_ + x];
    return RGB((v >> 16) & 0xFF, (v >> 8) & 0xFF, v & 0xFF);
}

// ---- files -----------------------------------------------------------------------

bool WriteFileBytes(const std::string& path, const std::string& content) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS,
                           FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return false;
    DWORD written = 0;
    BOOL ok = WriteFile(f, content.data(), static_cast<DWORD>(content.size()), &written, nullptr);
    CloseHandle(f);
    return ok && written == content.size();
}

std::string ReadFileBytes(const std::string& path) {
    HANDLE f = CreateFileA(path.c_str(), GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                           OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (f == INVALID_HANDLE_VALUE) return std::string();
    std::string out;
    char buf[65536];
    DWORD got = 0;
    while (ReadFile(f, buf, sizeof(buf), &got, nullptr) && got > 0) out.append(buf, got);
    CloseHandle(f);
    return out;
}

bool FileExistsOnDisk(const std::string& path) {
    return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES;
}

bool NoTempFiles(const std::string& folder) {
    WIN32_FIND_DATAA data;
    tess::ScopedFind find(FindFirstFileA((folder + "*.tmp").c_str(), &data));
    return !find;
}

void RemoveTree(const std::string& path) {
    std::string folder = path;
    while (!folder.empty() && folder.back() == '\\') folder.pop_back();
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "\\*").c_str(), &fd);
    if (find != INVALID_HANDLE_VALUE) {
        do {
            if (!strcmp(fd.cFileName, ".") || !strcmp(fd.cFileName, "..")) continue;
            std::string child = folder + "\\" + fd.cFileName;
            if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
                RemoveTree(child);
            } else {
                SetFileAttributesA(child.c_str(), FILE_ATTRIBUTE_NORMAL);
                DeleteFileA(child.c_str());
            }
        } while (FindNextFileA(find, &fd));
        FindClose(find);
    }
    RemoveDirectoryA(folder.c_str());
}

std::string TrashFiles() {
    char unix_path[MAX_PATH] = "";
    const DWORD n = GetEnvironmentVariableA("XDG_DATA_HOME", unix_path, sizeof(unix_path));
    if (!n || n >= sizeof(unix_path)) return "";
    std::string path = std::string("Z:") + unix_path + "/Trash/files/";
    for (char& c : path)
        if (c == '/') c = '\\';
    return path;
}

bool InTrash(const std::string& name) {
    const std::string files = TrashFiles();
    if (files.empty()) return false;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((files + name + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return false;
    FindClose(find);
    return true;
}

TempFolder::TempFolder() {
    char base[MAX_PATH] = {0};
    GetTempPathA(MAX_PATH, base);
    static LONG counter = 0;
    for (int attempt = 0; attempt < 1000; ++attempt) {
        char name[MAX_PATH];
        snprintf(name, sizeof(name), "%stess_%lu_%ld\\", base, GetCurrentProcessId(),
                 InterlockedIncrement(&counter));
        if (CreateDirectoryA(name, nullptr)) {
            path_ = name;
            return;
        }
    }
}

TempFolder::~TempFolder() {
    if (!path_.empty()) RemoveTree(path_);
}

bool TempFolder::Write(const std::string& name, const std::string& content) const {
    return WriteFileBytes(File(name), content);
}

std::string TempFolder::Read(const std::string& name) const { return ReadFileBytes(File(name)); }

bool TempFolder::MakeFolder(const std::string& name) const {
    return CreateDirectoryA(File(name).c_str(), nullptr) || GetLastError() == ERROR_ALREADY_EXISTS;
}

// ---- registry ----------------------------------------------------------------------

void DeleteRegistryTree(HKEY root, const std::string& subkey) {
    HKEY key;
    if (RegOpenKeyExA(root, subkey.c_str(), 0, KEY_ALL_ACCESS, &key) == ERROR_SUCCESS) {
        char name[512];
        for (;;) {
            DWORD len = sizeof(name);
            if (RegEnumKeyExA(key, 0, name, &len, nullptr, nullptr, nullptr, nullptr) != ERROR_SUCCESS)
                break;
            DeleteRegistryTree(root, subkey + "\\" + name);
        }
        RegCloseKey(key);
    }
    RegDeleteKeyA(root, subkey.c_str());
}

std::string ReadKey(const std::string& file, const char* section, const char* key) {
    char value[2048];
    GetPrivateProfileStringA(section, key, "<none>", value, sizeof(value), file.c_str());
    return value;
}

// ---- Tessellar.exe ------------------------------------------------------------

HWND StartTessellar(ChildProcess& program, const std::string& args, MessageBoxWatcher* boxes,
                    DWORD timeout_ms) {
    if (!program.Start("Tessellar.exe", args)) return nullptr;
    if (boxes) boxes->WatchProcess(program.Id());
    HWND main = nullptr;
    PumpUntil([&] { return (main = FindWindowA("Tessellar Main", "Tessellar")) != nullptr; }, timeout_ms);
    if (!main) return nullptr;
    const UINT probe = RegisterWindowMessageA("v1.3 Test");
    const bool ready = PumpUntil([&] {
        DWORD_PTR answer = 0;
        return SendMessageTimeoutA(main, probe, 0, 0, SMTO_NORMAL, 100, &answer) != 0;
    }, timeout_ms);
    return ready ? main : nullptr;
}

void StopTessellar(ChildProcess& program, DWORD wait_ms) {
    if (!program.Running()) return;
    if (HWND main = FindWindowA("Tessellar Main", "Tessellar")) PostMessageA(main, WM_CLOSE, 0, 0);
    PumpUntil([&] { return !program.Running(); }, wait_ms);
    if (program.Running()) program.Kill();
}

std::string BarObjectLines(const char* title, const std::string& skin, RECT r, bool vertical) {
    char head[1024];
    std::snprintf(head, sizeof(head),
                  "[Object]\r\nTitle=%s\r\nLastSkin=%s\r\nDisplayVertically=%d\r\n"
                  "LastScreenSize.cx=%d\r\nLastScreenSize.cy=%d\r\nLastPos.x=%ld\r\n"
                  "LastPos.y=%ld\r\nLastSize.cx=%ld\r\nLastSize.cy=%ld\r\n"
                  "bRestrictMaximumSize=0\r\nWidthResizableWhenVertical=1\r\n",
                  title, skin.c_str(), vertical ? 1 : 0, GetSystemMetrics(SM_CXSCREEN),
                  GetSystemMetrics(SM_CYSCREEN), r.left, r.top, r.right - r.left, r.bottom - r.top);
    return head;
}

}  // namespace testing_support
