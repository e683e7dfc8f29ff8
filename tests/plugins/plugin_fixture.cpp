#include "plugin_fixture.h"
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/registered_names.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "shell/main_window_internal.h"
#include "tests/support/item_mouse.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"

namespace plugin_test {

namespace {

bool g_hold_theme_loaded = false;

UINT Name(RegisteredName id) { return RegisterWindowMessageA(RegisteredNameText(id)); }

// Like the program's main window: theme events go to every bar, and the
// configure request runs the configure sequence.
LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    static const UINT relayed[] = {Name(RegisteredName::BarThemeLoaded),
                                   Name(RegisteredName::ThemeStatus),
                                   Name(RegisteredName::ThemeClosingCheckModified),
                                   Name(RegisteredName::VolatileClose)};
    static const UINT configure = Name(RegisteredName::ConfigurePlugin);
    if (msg == relayed[0] && g_hold_theme_loaded) return 0;
    for (UINT relay : relayed) {
        if (msg == relay) {
            testing_support::RelayToEveryBar(msg, wp, lp);
            return 0;
        }
    }
    if (msg == configure) return ConfigurePluginFromMessage(wp);
    if (msg >= 0xC000) return 0;
    return DefWindowProcA(wnd, msg, wp, lp);
}

const char kPlainSkin[] =
    "[General]\r\nSkinName=Plain\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n";

}  // namespace

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Plugin Test Main", MainProc);
    return wnd;
}

void HoldThemeLoaded(bool hold) { g_hold_theme_loaded = hold; }

std::vector<std::string> ReadLines(const std::string& path) {
    std::vector<std::string> lines;
    std::string text = testing_support::ReadFileBytes(path);
    size_t start = 0;
    while (start < text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
        start = end + 1;
    }
    return lines;
}

std::vector<std::string> LogOf(const std::string& dll, int instance) {
    std::vector<std::string> out;
    for (const std::string& line : ReadLines(dll + ".log")) {
        size_t hash = line.rfind(" #");
        int number = hash == std::string::npos ? 0 : std::atoi(line.c_str() + hash + 2);
        if (instance && number != instance) continue;
        out.push_back(hash == std::string::npos ? line : line.substr(0, hash));
    }
    return out;
}

std::vector<std::string> Only(const std::vector<std::string>& lines,
                              const std::vector<std::string>& prefixes) {
    std::vector<std::string> out;
    for (const std::string& line : lines)
        for (const std::string& prefix : prefixes)
            if (line.compare(0, prefix.size(), prefix) == 0) {
                out.push_back(line);
                break;
            }
    return out;
}

void PluginTest::SetUp() {
    MainWindow();
    BindMonitorFunctions();
    GetBarHostServices() = BarHostServices{};
    screen_w_ = GetSystemMetrics(SM_CXSCREEN);
    screen_h_ = GetSystemMetrics(SM_CYSCREEN);
    ASSERT_TRUE(files_.Write("plain.tsskin", kPlainSkin));
    skin_ = files_.File("plain.tsskin");
    ASSERT_TRUE(files_.Write("theme.tstheme", "[Info]\r\nName=Plug-in tests\r\n"));
    SetCurrentThemeFile(files_.File("theme.tstheme").c_str());
    bars_ = files_.Path() + "Bars\\";
    CreateDirectoryA(bars_.c_str(), nullptr);
    SetCursorPos(screen_w_ - 2, screen_h_ / 2);
    testing_support::SendMouseButton(MOUSEEVENTF_LEFTUP);
    testing_support::PumpFor(20);
}

void PluginTest::CloseAllBars() {
    testing_support::CloseEveryTestBar();
}

void PluginTest::TearDown() {
    CloseAllBars();
    GetBarHostServices() = BarHostServices{};
}

std::string PluginTest::Probe(const std::string& name, const std::vector<std::string>& settings) {
    std::string dll = files_.Path() + name + ".dll";
    EXPECT_TRUE(CopyFileA((testing_support::BinFolder() + "probe_plugin.dll").c_str(), dll.c_str(), FALSE))
        << dll;
    std::string ini = "[Probe]\r\n";
    for (const std::string& line : settings) ini += line + "\r\n";
    EXPECT_TRUE(testing_support::WriteFileBytes(dll + ".ini", ini));
    return dll;
}

std::string PluginTest::BarLines(const char* title, RECT r, bool vertical,
                                 const std::vector<std::string>& lines) const {
    std::string text = testing_support::BarObjectLines(title, skin_, r, vertical) + "AlwaysOnTop=0\r\n";
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

std::string PluginTest::WriteFile(const std::string& name, const std::string& text) const {
    std::string path = bars_ + name;
    EXPECT_TRUE(testing_support::WriteFileBytes(path, text));
    return path;
}

CVellumMenuObject* PluginTest::LoadBar(const std::string& path) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bar->LoadTheme(const_cast<char*>(path.c_str()), 1, nullptr);
    EXPECT_TRUE(Wait([&] { return IsLiveBar(bar) && IsWindowVisible(bar->m_hWnd); })) << path;
    return bar;
}

CVellumMenuObject* PluginTest::LoadBarWith(const char* title, RECT r,
                                           const std::vector<std::string>& lines, bool vertical) {
    // A bar file's items are those with a title: every typed item gets one.
    std::vector<std::string> all = lines;
    for (const std::string& line : lines) {
        size_t dot = line.find(".Type=");
        if (line.compare(0, 4, "Item") || dot == std::string::npos) continue;
        std::string prefix = line.substr(0, dot);
        bool titled = false;
        for (const std::string& other : lines) titled |= other.compare(0, prefix.size() + 7, prefix + ".Title=") == 0;
        if (!titled) all.push_back(prefix + ".Title=" + prefix);
    }
    return LoadBar(WriteFile(std::string(title) + ".tsbar", BarLines(title, r, vertical, all)));
}

CVellumMenuItem_Plugin* PluginTest::Plugin(CVellumMenuObject* bar, int index) {
    if (!bar || !IsLiveBar(bar) || !bar->m_sections[0]) return nullptr;
    return dynamic_cast<CVellumMenuItem_Plugin*>(bar->m_sections[0]->m_items[index]);
}

RECT PluginTest::ItemScreenRect(CVellumMenuItem* item) { return testing_support::ItemScreenRect(item); }

void PluginTest::Click(CVellumMenuItem* item) { testing_support::ClickItem(item); }

bool PluginTest::Wait(const std::function<bool()>& cond, DWORD ms) {
    return testing_support::PumpUntil(cond, ms);
}

}  // namespace plugin_test
