// The bench of the package and skin-editor tests: the program's own main
// window in this process (so bars, documents and WM_COPYDATA take their real
// paths), a driver that answers dialogs by caption and control id, archives
// written member by member (hostile names included), and folder snapshots.
#pragma once
#include <windows.h>

#include <functional>
#include <map>
#include <mutex>
#include <string>
#include <thread>
#include <atomic>
#include <utility>
#include <vector>

namespace package_test {

// The program folder (the themes root), with a backslash.
std::string ProgramFolder();
// The real main window "Tessellar Main", created once in this process over
// an empty base theme, with a stand-in tray so no tray server starts.
HWND ProgramMainWindow();
// The base theme the main window opened; reloading it closes any other.
std::string BaseTheme();

// A theme of one bar wearing the skin "Skins\glass.tsskin" (Alpha 255),
// open in the program while the object lives; the base theme afterwards.
class SkinnedTheme {
public:
    explicit SkinnedTheme(const std::string& root_name);
    ~SkinnedTheme();
    bool Loaded() const { return loaded_; }
    std::string SkinFile() const { return root_ + "T\\Skins\\glass.tsskin"; }
    // The skin's path as the skin cache holds it; empty when not cached.
    std::string SkinPath() const;
    std::vector<HWND> BarWindows() const;

private:
    std::string root_;
    bool loaded_ = false;
};

// One answer of the dialog driver: when a dialog of this caption comes up
// (the steps are taken in order), set the controls' texts, run act, then
// press button.
struct DialogStep {
    std::string caption;
    std::vector<std::pair<int, std::string>> texts;
    std::function<void(HWND)> act;
    int button;
};

struct SeenDialog {
    std::string caption;
    std::string text;   // a message box's text, else empty
    bool scripted;
};

// Watches this process's dialogs (class "#32770") on a thread of its own.
// Dialogs no step matches are answered with OK, else No, else Cancel.
class DialogDriver {
public:
    explicit DialogDriver(std::vector<DialogStep> steps);
    ~DialogDriver();
    DialogDriver(const DialogDriver&) = delete;
    DialogDriver& operator=(const DialogDriver&) = delete;
    std::vector<SeenDialog> Seen() const;
    bool Saw(const std::string& caption) const;
    size_t StepsLeft() const;
    std::string Describe() const;   // for failure messages

private:
    void Run();
    mutable std::mutex lock_;
    std::vector<DialogStep> steps_;
    size_t next_ = 0;
    std::vector<SeenDialog> seen_;
    std::vector<HWND> handled_;
    std::atomic<bool> stop_{false};
    std::thread thread_;
};

// A ZIP archive of stored members with exactly the names given ("/" or "\"
// as written); a name ending in "/" is a folder.
bool WriteRawZip(const std::string& path, const std::vector<std::pair<std::string, std::string>>& members);

// Every file below a folder (relative name -> bytes); folders as "name\".
std::map<std::string, std::string> Snapshot(const std::string& folder);
// The top-level entries of a folder whose names begin with prefix.
std::vector<std::string> EntriesStartingWith(const std::string& folder, const std::string& prefix);

// The skin-editor stand-in ("Glazeworks.exe") and its log.
std::string StandInFolder();
std::string StandInLog();
// Lines of the log written by this process id ("<pid>: " taken off).
std::vector<std::string> StandInLines(DWORD pid);
DWORD WindowProcess(HWND wnd);
// Sends text with a dwData of the stand-in's own commands.
LRESULT SendToWindow(HWND wnd, ULONG_PTR data, const std::string& text, UINT timeout_ms = 5000,
                     HWND sender = nullptr);
constexpr ULONG_PTR kStandInSendToMain = 0x7E57;
constexpr ULONG_PTR kStandInForgeProperty = 0x7E58;
constexpr ULONG_PTR kStandInStopPumping = 0x7E59;

}  // namespace package_test
