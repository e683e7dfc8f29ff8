// Stand-ins for the shell's desktop, made in the test process: the taskbar
// ("Shell_TrayWnd" without title, made after Wine's own so that it is found
// first), the desktop tree Explorer builds ("Progman" "Program Manager" >
// "SHELLDLL_DefView" > "SysListView32"), and windows to tell full-screen
// programs from others. All of them lie off screen.
#pragma once
#include <windows.h>

namespace desktop_test {

class StandInTaskbar {
public:
    // visible: shown (without region) as a running shell leaves it.
    explicit StandInTaskbar(bool visible = true);
    ~StandInTaskbar();
    StandInTaskbar(const StandInTaskbar&) = delete;
    StandInTaskbar& operator=(const StandInTaskbar&) = delete;
    HWND Handle() const { return wnd_; }
    // Visible and without a window region.
    bool Shown() const;
    // Hidden with an empty window region.
    bool HiddenWithEmptyRegion() const;
    int HideCount() const;   // "TSHideCount"
    // The taskbar answers its Properties command (WM_COMMAND 65949) by
    // opening a properties dialog: "#32770" > page "#32770" > two check
    // boxes (Always on top, Auto hide), closed by IDOK.
    // From the n-th command on (0: never); every command is counted.
    void AnswerPropertiesFrom(int n) { answer_from_ = n; }
    int PropertiesOpened() const { return properties_opened_; }
    HWND PropertiesDialog() const { return dialog_; }
    bool AlwaysOnTopChecked() const { return always_on_top_; }
    bool AutoHideChecked() const { return auto_hide_; }
    void SetChecks(bool always_on_top, bool auto_hide);

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    static INT_PTR CALLBACK DialogProc(HWND dlg, UINT msg, WPARAM wp, LPARAM lp);
    void OpenProperties();
    HWND wnd_ = nullptr;
    HWND dialog_ = nullptr;
    int answer_from_ = 0;
    int properties_opened_ = 0;
    bool always_on_top_ = true;
    bool auto_hide_ = false;
};

// The tray server's window ("Shell_TrayWnd" titled "CLanternfold") as far
// as its watchdog goes: records WM_USER+662 (arm) and +663 (disarm).
class WatchdogRecorder {
public:
    WatchdogRecorder();
    ~WatchdogRecorder();
    WatchdogRecorder(const WatchdogRecorder&) = delete;
    WatchdogRecorder& operator=(const WatchdogRecorder&) = delete;
    HWND Handle() const { return wnd_; }
    // The last watchdog message: 662, 663 or 0 for none; its wParam.
    int Last() const { return last_; }
    WPARAM LastParam() const { return last_param_; }
    int Count() const { return count_; }
    void Clear() { last_ = 0; last_param_ = 0; count_ = 0; }

private:
    static LRESULT CALLBACK Proc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    HWND wnd_ = nullptr;
    int last_ = 0;
    WPARAM last_param_ = 0;
    int count_ = 0;
};

class StandInDesktop {
public:
    // with_list_view false: Explorer still coming up, the list view is added later.
    explicit StandInDesktop(bool with_list_view = true, bool icons_visible = true);
    ~StandInDesktop();
    StandInDesktop(const StandInDesktop&) = delete;
    StandInDesktop& operator=(const StandInDesktop&) = delete;
    void AddListView(bool visible = true);
    HWND Progman() const { return progman_; }
    HWND ListView() const { return icons_; }
    bool IconsShown() const;
    bool IconsHiddenWithEmptyRegion() const;

private:
    HWND progman_ = nullptr, view_ = nullptr, icons_ = nullptr;
};

// A top-level window of the screen's size, or one pixel short in height.
HWND CreateScreenSizedWindow(DWORD style, bool one_pixel_short = false);

// The hidden windows the full-screen test activates have no owner process
// but this one; the tests' own program file name ("desktop_tests.exe").
const char* OwnProgramName();

}  // namespace desktop_test
