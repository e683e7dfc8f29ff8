#include "tests/taskbar/task_fixture.h"

#include <cstdio>
#include <fstream>
#include <sstream>

#include "model/live_objects.h"
#include "shell/stats_monitor.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"

using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace task_test {

namespace {

const char kPlainSkin[] =
    "[General]\r\nSkinName=Plain\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n";

// As the program's main window: the stats monitor sees every message from
// WM_USER up first, then every bar gets it.
LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= WM_USER) {
        StatsMonitorHandleMessage(msg, wp, lp);
        testing_support::RelayToEveryBar(msg, wp, lp);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

struct WindowSearch {
    DWORD process;
    std::string title;
    HWND found;
    static BOOL CALLBACK Visit(HWND wnd, LPARAM lp) {
        auto* s = reinterpret_cast<WindowSearch*>(lp);
        DWORD pid = 0;
        GetWindowThreadProcessId(wnd, &pid);
        if (pid != s->process) return TRUE;
        char text[512] = "";
        GetWindowTextA(wnd, text, sizeof(text));
        if (s->title != text) return TRUE;
        s->found = wnd;
        return FALSE;
    }
};

}  // namespace

HWND MainWindow() {
    static HWND wnd = [] {
        HWND main = testing_support::CreateStandInMainWindow("Tessellar Main", MainProc);
        SetWindowTextA(main, "Tessellar");
        CreateStatsMonitor(main);   // replaces the stand-in's property with the real monitor
        return main;
    }();
    return wnd;
}

// ---- the task-window program ----------------------------------------------------------------

TaskWindows::~TaskWindows() { process_.Kill(); }

bool TaskWindows::Start(const std::vector<std::string>& specs) {
    log_ = folder_.File("commands.log");
    std::string args = "\"" + log_ + "\"";
    for (const std::string& spec : specs) args += " \"" + spec + "\"";
    if (!process_.Start("task_windows.exe", args)) return false;
    for (const std::string& spec : specs) {
        std::string title = spec.substr(spec.find('|') + 1);
        title = title.substr(0, title.find('|'));
        if (!Find(title)) return false;
    }
    return true;
}

HWND TaskWindows::Find(const std::string& title) {
    WindowSearch s{process_.Id(), title, nullptr};
    PumpUntil(
        [&] {
            EnumWindows(WindowSearch::Visit, reinterpret_cast<LPARAM>(&s));
            return s.found != nullptr;
        },
        2000);
    return s.found;
}

HWND TaskWindows::Open(const std::string& spec) {
    std::string title = spec.substr(spec.find('|') + 1);
    title = title.substr(0, title.find('|'));
    struct First {
        DWORD process;
        HWND found;
        static BOOL CALLBACK Visit(HWND wnd, LPARAM lp) {
            auto* f = reinterpret_cast<First*>(lp);
            DWORD pid = 0;
            GetWindowThreadProcessId(wnd, &pid);
            if (pid != f->process || !IsWindowVisible(wnd)) return TRUE;
            f->found = wnd;
            return FALSE;
        }
    } first{process_.Id(), nullptr};
    EnumWindows(First::Visit, reinterpret_cast<LPARAM>(&first));
    HWND any = first.found;
    if (!any) return nullptr;
    COPYDATASTRUCT cds = {1, static_cast<DWORD>(spec.size() + 1), const_cast<char*>(spec.c_str())};
    DWORD_PTR made = 0;
    SendMessageTimeoutA(any, WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds), SMTO_ABORTIFHUNG, 3000, &made);
    return made ? Find(title) : nullptr;
}

std::vector<UINT> TaskWindows::Commands(HWND wnd) const {
    std::vector<UINT> out;
    std::ifstream in(log_);
    std::string line;
    while (std::getline(in, line)) {
        unsigned long long handle = 0;
        unsigned command = 0;
        int end = 0;
        // Only "<window> <command>" lines: "close" and "command <id>" start
        // with a hex letter too, so the whole line must be read.
        if (std::sscanf(line.c_str(), "%llx %x%n", &handle, &command, &end) != 2) continue;
        if (static_cast<size_t>(end) != line.size()) continue;
        if (handle == static_cast<unsigned long long>(reinterpret_cast<ULONG_PTR>(wnd))) out.push_back(command);
    }
    return out;
}

// ---- the fixture -------------------------------------------------------------------------------

void TaskbarTest::SetUp() {
    MainWindow();
    BindMonitorFunctions();
    ASSERT_NE(nullptr, GetStatsMonitor());
    ASSERT_TRUE(files_.Write("plain.tsskin", kPlainSkin));
}

void TaskbarTest::TearDown() {
    testing_support::CloseEveryTestBar();
    for (HWND w : local_) DestroyWindow(w);
    program_.Kill();
    PumpFor(20);
}

CVellumMenuObject* TaskbarTest::LoadTaskbar(const std::string& section_keys, int width) {
    char head[1024];
    std::snprintf(head, sizeof(head),
                  "[Object]\r\nTitle=Tasks\r\nLastSkin=%s\r\nDisplayVertically=0\r\n"
                  "LastScreenSize.cx=%d\r\nLastScreenSize.cy=%d\r\nLastPos.x=0\r\nLastPos.y=0\r\n"
                  "LastSize.cx=%d\r\nLastSize.cy=26\r\nAlwaysOnTop=0\r\nbRestrictMaximumSize=0\r\n"
                  "[Section1]\r\nProperties.Type=Taskbar\r\nTaskbar.AnimationsEnabled=0\r\n",
                  files_.File("plain.tsskin").c_str(), GetSystemMetrics(SM_CXSCREEN),
                  GetSystemMetrics(SM_CYSCREEN), width);
    const std::string name = "tasks" + std::to_string(bars_.size()) + ".tsbar";
    EXPECT_TRUE(files_.Write(name, head + section_keys));
    auto* bar = new CVellumMenuObject(MainWindow());
    bars_.push_back(bar);
    std::string path = files_.File(name);
    EXPECT_EQ(1, bar->LoadTheme(const_cast<char*>(path.c_str()), 1, nullptr));
    EXPECT_TRUE(Wait([&] { return IsLiveBar(bar) && IsWindowVisible(bar->m_hWnd); }));
    return bar;
}

CVellumMenuSection_Taskbar* TaskbarTest::Section(CVellumMenuObject* bar, int index) {
    if (!bar || !IsLiveBar(bar) || bar->GetSectionCount() <= index) return nullptr;
    return dynamic_cast<CVellumMenuSection_Taskbar*>(bar->m_sections[index]);
}

std::vector<CVellumMenuItem_Taskbar*> TaskbarTest::OurButtons(CVellumMenuSection_Taskbar* section) {
    std::vector<CVellumMenuItem_Taskbar*> out;
    if (!section) return out;
    char self[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, self, sizeof(self));
    const char* self_name = strrchr(self, '\\') ? strrchr(self, '\\') + 1 : self;
    for (int i = 0; i < kMaxItems && section->m_items[i]; ++i) {
        auto* task = dynamic_cast<CVellumMenuItem_Taskbar*>(section->m_items[i]);
        if (!task) continue;
        bool ours = false;
        if (task->m_window) {
            DWORD pid = 0;
            GetWindowThreadProcessId(task->m_window, &pid);
            ours = pid == program_.Id() || pid == GetCurrentProcessId() || !IsWindow(task->m_window);
        } else if (task->m_autoGroup) {
            ours = lstrcmpiA(task->m_autoGroup->program, "task_windows.exe") == 0 ||
                   lstrcmpiA(task->m_autoGroup->program, self_name) == 0;
        } else {
            ours = task->m_groupKey != nullptr;
        }
        if (ours) out.push_back(task);
    }
    return out;
}

void TaskbarTest::PostEvent(UINT msg, HWND wnd, LPARAM lp) {
    HWND main = FindWindowA("Tessellar Main", "Tessellar");
    ASSERT_EQ(MainWindow(), main);
    PostMessageA(main, msg, reinterpret_cast<WPARAM>(wnd), lp);
    PumpFor(60);
}

bool TaskbarTest::Activate(HWND wnd) {
    SetForegroundWindow(wnd);
    return Wait([&] {
        CStatsMonitor* monitor = GetStatsMonitor();
        return monitor && monitor->m_foreground == wnd;
    });
}

bool TaskbarTest::Wait(const std::function<bool()>& cond, DWORD ms) { return PumpUntil(cond, ms); }

HWND TaskbarTest::LocalWindow(const char* cls, const char* title) {
    WNDCLASSA wc = {};
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = cls;
    wc.hIcon = LoadIcon(nullptr, IDI_APPLICATION);
    RegisterClassA(&wc);
    HWND wnd = CreateWindowExA(0, cls, title, WS_OVERLAPPEDWINDOW | WS_VISIBLE, 300, 300, 200, 100, nullptr,
                               nullptr, wc.hInstance, nullptr);
    if (wnd) local_.push_back(wnd);
    return wnd;
}

int IndexOf(CVellumMenuSection* section, CVellumMenuItem* item) {
    return section && item ? section->FindItem(item) : -1;
}

std::string Title(CVellumMenuItem* item) { return item && item->m_title ? item->m_title : ""; }

}  // namespace task_test
