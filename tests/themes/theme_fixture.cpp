#include "tests/themes/theme_fixture.h"

#include <shlwapi.h>
#include <cstring>

#include "tests/support/test_support.h"
#include "util/text.h"

using namespace testing_support;

namespace theme_test {

namespace {
constexpr char kRecentKey[] = "Software\\Vantrell\\Tessellar\\Recent";
}

std::string ProgramFolder() {
    char path[MAX_PATH] = "";
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    PathRemoveFileSpecA(path);
    PathAddBackslashA(path);
    return path;
}

ThemeRoot::ThemeRoot(const std::string& name) : path_(ProgramFolder() + name + "\\") {
    RemoveTree(path_);
    CreateDirectoryA(path_.c_str(), nullptr);
}

ThemeRoot::~ThemeRoot() { RemoveTree(path_); }

std::string ThemeRoot::Write(const std::string& relative, const std::string& content) const {
    std::string full = path_ + relative;
    // Every folder on the way.
    for (size_t pos = path_.size(); (pos = full.find('\\', pos)) != std::string::npos; ++pos)
        CreateDirectoryA(full.substr(0, pos).c_str(), nullptr);
    WriteFileBytes(full, content);
    return full;
}

std::string ThemeRoot::Read(const std::string& relative) const { return ReadFileBytes(path_ + relative); }
bool ThemeRoot::Exists(const std::string& relative) const { return PathFileExistsA((path_ + relative).c_str()) != 0; }

ProgramStateGuard::ProgramStateGuard() : ini_path_(ProgramFolder() + "Tessellar.ini") {
    had_ini_ = PathFileExistsA(ini_path_.c_str()) != 0;
    if (had_ini_) ini_ = ReadFileBytes(ini_path_);
    ClearRecentThemesKey();
}

ProgramStateGuard::~ProgramStateGuard() {
    SetFileAttributesA(ini_path_.c_str(), FILE_ATTRIBUTE_NORMAL);
    if (had_ini_)
        WriteFileBytes(ini_path_, ini_);
    else
        DeleteFileA(ini_path_.c_str());
    ClearRecentThemesKey();
}

std::string IniValue(const std::string& file, const char* section, const char* key) {
    char value[6000] = "";
    GetPrivateProfileStringA(section, key, "<missing>", value, sizeof(value), file.c_str());
    return value;
}

std::string LastThemeValue() { return IniValue(ProgramFolder() + "Tessellar.ini", "Settings", "LastTheme"); }

std::vector<std::string> RecentThemes() {
    std::vector<std::string> out;
    HKEY key;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kRecentKey, 0, KEY_READ, &key) != ERROR_SUCCESS) return out;
    for (int i = 0; i < 200; ++i) {
        char name[64], value[1024] = "";
        tess::FormatText(name, sizeof(name), "Recent Theme #%d", i);
        DWORD size = sizeof(value) - 1, type = 0;
        if (RegQueryValueExA(key, name, nullptr, &type, reinterpret_cast<BYTE*>(value), &size) != ERROR_SUCCESS)
            break;
        out.push_back(value);
    }
    RegCloseKey(key);
    return out;
}

void ClearRecentThemesKey() { DeleteRegistryTree(HKEY_CURRENT_USER, kRecentKey); }

std::string BarFile(const std::string& title) {
    return "[Object]\r\nTitle=" + title +
           "\r\nLastPos.x=10\r\nLastPos.y=10\r\nLastSize.cx=120\r\nLastSize.cy=30\r\n"
           "[Section1]\r\nProperties.ForceValid=1\r\nItem1.Title=" + title + " item\r\nItem1.Action=0\r\n";
}

// ---- tray stand-in ---------------------------------------------------------------------------

TrayStandIn::TrayStandIn() {
    wnd_ = testing_support::CreatePlainWindow("Shell_TrayWnd", Proc, "CLanternfold",
                                              WS_EX_TOPMOST | WS_EX_TOOLWINDOW);
    SetWindowLongPtrA(wnd_, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(this));
    SetWindowPos(wnd_, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

TrayStandIn::~TrayStandIn() {
    if (wnd_) DestroyWindow(wnd_);
    UnregisterClassA("Shell_TrayWnd", GetModuleHandleA(nullptr));
}

size_t TrayStandIn::CountOf(DWORD nim, UINT id) const {
    size_t n = 0;
    for (const TrayRecord& r : records_)
        if (r.nim == nim && r.id == id) ++n;
    return n;
}

LRESULT CALLBACK TrayStandIn::Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* self = reinterpret_cast<TrayStandIn*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
    if (self && msg == WM_COPYDATA && lp) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        if (cds->lpData && cds->cbData >= 16 + 128 * 2) {
            const auto* words = static_cast<const DWORD*>(cds->lpData);
            TrayRecord r = {static_cast<DWORD>(cds->dwData), reinterpret_cast<HWND>(static_cast<UINT_PTR>(words[0])),
                            words[1], words[2], words[3], ""};
            const auto* tip = reinterpret_cast<const WCHAR*>(static_cast<const BYTE*>(cds->lpData) + 16);
            for (int i = 0; i < 128 && tip[i]; ++i) r.tip += static_cast<char>(tip[i]);
            self->records_.push_back(r);
            if (r.nim == NIM_ADD) return self->accept_add_ ? TRUE : FALSE;
        }
        return TRUE;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

std::vector<HWND> WindowsOfProcess(DWORD pid, const char* cls, bool visible_only) {
    struct Search {
        DWORD pid;
        const char* cls;
        bool visible_only;
        std::vector<HWND> found;
        static BOOL CALLBACK Visit(HWND w, LPARAM lp) {
            auto* s = reinterpret_cast<Search*>(lp);
            DWORD owner = 0;
            GetWindowThreadProcessId(w, &owner);
            char name[64] = "";
            GetClassNameA(w, name, sizeof(name));
            if (owner == s->pid && strcmp(name, s->cls) == 0 && (!s->visible_only || IsWindowVisible(w)))
                s->found.push_back(w);
            return TRUE;
        }
    };
    Search s{pid, cls, visible_only, {}};
    EnumWindows(Search::Visit, reinterpret_cast<LPARAM>(&s));
    return s.found;
}

}  // namespace theme_test
