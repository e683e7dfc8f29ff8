// Fixture themes for the theme tests: folders below the program folder (the
// themes root), the program INI kept and put back, the recent-theme list
// emptied, and a stand-in tray window that records the notification icons.
#pragma once
#include <windows.h>
#include <string>
#include <vector>

namespace theme_test {

// The folder of the test programs and of Tessellar.exe, with a backslash.
std::string ProgramFolder();

// A folder below the program folder, removed with everything in it at the end.
class ThemeRoot {
public:
    explicit ThemeRoot(const std::string& name);
    ~ThemeRoot();
    ThemeRoot(const ThemeRoot&) = delete;
    ThemeRoot& operator=(const ThemeRoot&) = delete;
    const std::string& Path() const { return path_; }   // with a backslash
    std::string Write(const std::string& relative, const std::string& content) const;
    std::string Read(const std::string& relative) const;
    bool Exists(const std::string& relative) const;

private:
    std::string path_;
};

// Keeps "Tessellar.ini" of the program folder and the recent-theme key, and
// puts both back at the end.
class ProgramStateGuard {
public:
    ProgramStateGuard();
    ~ProgramStateGuard();
    ProgramStateGuard(const ProgramStateGuard&) = delete;
    ProgramStateGuard& operator=(const ProgramStateGuard&) = delete;

private:
    std::string ini_path_;
    std::string ini_;
    bool had_ini_ = false;
};

std::string IniValue(const std::string& file, const char* section, const char* key);
std::string LastThemeValue();
std::vector<std::string> RecentThemes();   // "Recent Theme #0", #1 ... up to the first gap
void ClearRecentThemesKey();

// A minimal bar file (the bar file reader takes what it finds).
std::string BarFile(const std::string& title);

// One notification-icon message as the stand-in tray saw it (Wine's layout:
// dwData the NIM code, then hWnd, uID, uFlags, uCallbackMessage, tip).
struct TrayRecord {
    DWORD nim;
    HWND owner;
    UINT id;
    UINT flags;
    UINT callback;
    std::string tip;
};

// "Shell_TrayWnd" titled "CLanternfold", topmost: the program neither
// starts the real tray server nor reaches Wine's tray; every
// Shell_NotifyIcon of any process lands here.
class TrayStandIn {
public:
    TrayStandIn();
    ~TrayStandIn();
    TrayStandIn(const TrayStandIn&) = delete;
    TrayStandIn& operator=(const TrayStandIn&) = delete;
    HWND Handle() const { return wnd_; }
    // The answer to NIM_ADD (TRUE accepts the icon).
    void SetAcceptAdd(bool accept) { accept_add_ = accept; }
    const std::vector<TrayRecord>& Records() const { return records_; }
    size_t CountOf(DWORD nim, UINT id) const;
    void Clear() { records_.clear(); }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND wnd_ = nullptr;
    bool accept_add_ = true;
    std::vector<TrayRecord> records_;
};

// Top-level windows of a class that belong to a process.
std::vector<HWND> WindowsOfProcess(DWORD pid, const char* cls, bool visible_only);

}  // namespace theme_test
