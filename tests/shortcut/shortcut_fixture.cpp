#include "shortcut_fixture.h"
#include <cstdio>
#include "model/bar_host.h"
#include "model/live_objects.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "shell/main_window_internal.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"

namespace shortcut_test {

namespace {

// The program's own handling of what bars and items tell the main window;
// what it would relay goes to every bar.
LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= 0xC000) {
        LRESULT result = 0;
        MessageOutcome outcome = HandleRegisteredMessage(wnd, msg, wp, lp, &result);
        if (outcome == MessageOutcome::Return) return result;
        if (outcome == MessageOutcome::Relay) testing_support::RelayToEveryBar(msg, wp, lp);
        return 0;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

const char kPlainSkin[] =
    "[General]\r\nSkinName=Plain\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n";

bool SetDefault(HKEY root, const std::string& path, const std::string& value) {
    HKEY key = nullptr;
    if (RegCreateKeyExA(root, path.c_str(), 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key, nullptr) !=
        ERROR_SUCCESS)
        return false;
    LONG r = RegSetValueExA(key, nullptr, 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                            static_cast<DWORD>(value.size() + 1));
    RegCloseKey(key);
    return r == ERROR_SUCCESS;
}

}  // namespace

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Shortcut Test Main", MainProc);
    return wnd;
}

std::string ProbeExe() { return testing_support::BinFolder() + "shortcut_launch_probe.exe"; }

void RegisterProbe() {
    const std::string exe = ProbeExe();
    const std::string command = "\"" + exe + "\" \"%1\"";
    ASSERT_TRUE(SetDefault(HKEY_LOCAL_MACHINE,
                           std::string("Software\\Microsoft\\Windows\\CurrentVersion\\App Paths\\") +
                               kProbeAppName,
                           exe));
    ASSERT_TRUE(SetDefault(HKEY_CLASSES_ROOT, kProbeExtension, "TessProbe.File"));
    ASSERT_TRUE(SetDefault(HKEY_CLASSES_ROOT, "TessProbe.File\\shell\\open\\command", command));
    // No test may start a browser.
    ASSERT_TRUE(SetDefault(HKEY_CLASSES_ROOT, "http\\shell\\open\\command", command));
}

void ShortcutTest::SetUp() {
    MainWindow();
    BindMonitorFunctions();
    GetBarHostServices() = BarHostServices{};
    SetJustOpenedPopup(nullptr);
    GetBarHostServices().GetJustOpenedPopup = GetJustOpenedPopup;
    GetBarHostServices().ForgetJustOpenedPopup = [] { SetJustOpenedPopup(nullptr); };
    RegisterProbe();
    ASSERT_TRUE(files_.Write("plain.tsskin", kPlainSkin));
    probe_out_ = files_.File("probe.txt");
    SetEnvironmentVariableA("TESS_LAUNCH_PROBE_OUT", probe_out_.c_str());
}

void ShortcutTest::TearDown() {
    testing_support::CloseEveryTestBar();
    GetBarHostServices() = BarHostServices{};
    SetEnvironmentVariableA("TESS_LAUNCH_PROBE_OUT", nullptr);
}

CVellumMenuObject* ShortcutTest::LoadBar(const std::vector<std::string>& lines, bool show) {
    char head[512];
    std::snprintf(head, sizeof(head),
                  "[Object]\r\nTitle=Shortcuts\r\nLastSkin=%s\r\nDisplayVertically=1\r\n"
                  "LastPos.x=40\r\nLastPos.y=40\r\nLastSize.cx=160\r\nLastSize.cy=100\r\n"
                  "AlwaysOnTop=0\r\n[Section1]\r\n",
                  files_.File("plain.tsskin").c_str());
    std::string text = head;
    for (const std::string& line : lines) text += line + "\r\n";
    EXPECT_TRUE(files_.Write("shortcuts.tsbar", text));
    auto* bar = new CVellumMenuObject(MainWindow());
    std::string path = BarFile();
    bar->LoadTheme(const_cast<char*>(path.c_str()), show ? 1 : 0, nullptr);
    if (show) {
        EXPECT_TRUE(testing_support::PumpUntil(
            [&] { return IsLiveBar(bar) && IsWindowVisible(bar->m_hWnd); }, 3000));
    }
    return bar;
}

CVellumMenuItem_Shortcut* ShortcutTest::Item(CVellumMenuObject* bar, int index) {
    if (!bar || !bar->m_sections[0]) return nullptr;
    return dynamic_cast<CVellumMenuItem_Shortcut*>(bar->m_sections[0]->m_items[index]);
}

ProbeRun ShortcutTest::WaitForProbe(DWORD ms) {
    ProbeRun run;
    if (ms) testing_support::PumpUntil([&] { return testing_support::FileExistsOnDisk(probe_out_); }, ms);
    if (!testing_support::FileExistsOnDisk(probe_out_)) return run;
    std::string text = testing_support::ReadFileBytes(probe_out_);
    DeleteFileA(probe_out_.c_str());
    run.ran = true;
    size_t a = text.find('\n');
    size_t b = a == std::string::npos ? a : text.find('\n', a + 1);
    if (b == std::string::npos) return run;
    run.command_line = text.substr(0, a);
    run.folder = text.substr(a + 1, b - a - 1);
    run.show = atoi(text.c_str() + b + 1);
    return run;
}

std::vector<std::pair<std::string, std::string>> RegistryValues(const char* path) {
    std::vector<std::pair<std::string, std::string>> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[400];
        BYTE data[1024];
        DWORD name_size = sizeof(name), data_size = sizeof(data), type = 0;
        if (RegEnumValueA(key, i, name, &name_size, nullptr, &type, data, &data_size) != ERROR_SUCCESS)
            break;
        values.emplace_back(name, std::string(reinterpret_cast<char*>(data), data_size));
    }
    RegCloseKey(key);
    return values;
}

}  // namespace shortcut_test
