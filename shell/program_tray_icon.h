// The program's own icon in the notification area and its menu.
#pragma once
#include <windows.h>
#include <shellapi.h>

constexpr UINT kProgramTrayIconId = 2834;
constexpr int kTrayTipLength = 63;   // characters a tip keeps

class CTrayIcon {
public:
    CTrayIcon(HWND owner, UINT id, UINT callback_message);
    ~CTrayIcon();
    CTrayIcon(const CTrayIcon&) = delete;
    CTrayIcon& operator=(const CTrayIcon&) = delete;

    // True when the shell took the icon; a refused add leaves it not added.
    bool Add();
    bool Modify();
    bool Delete();
    // The shell lost its icons (it was restarted): add again when shown.
    bool AddAgain();
    // Longer texts are cut to 63 characters.
    void SetTip(const char* text);
    void SetIcon(HICON icon);
    void SetMenu(HMENU menu);
    HMENU GetMenu() const { return menu_; }
    bool IsAdded() const { return added_ != 0; }
    void SetMenuOpeners(int left_up, int right_up, int double_click);
    LRESULT OnNotify(WPARAM wp, LPARAM mouse_message);
    UINT TrackMenuForCommand();
    const NOTIFYICONDATAA& Data() const { return data_; }

private:
    UINT Track(UINT flags);

    int added_ = 0;
    NOTIFYICONDATAA data_ = {};
    HMENU menu_ = nullptr;
    int open_on_left_up_ = 0;
    int open_on_right_up_ = 1;
    int open_on_double_click_ = 0;
};

// The main window's icon (null when none).
CTrayIcon* GetProgramTrayIcon();
void CreateProgramTrayIcon(HWND main_window, bool show);
// While deferred, a wanted icon is created but reaches the shell only with
// AddDeferredProgramTrayIcon (the program start puts it after the first bar).
void DeferProgramTrayIcon();
void AddDeferredProgramTrayIcon();
void ShowProgramTrayIcon(bool show);
bool HasProgramTrayIcon();
LRESULT HandleTrayIconClick(LPARAM mouse_message);
// Shows the program menu at the cursor; returns the chosen command (0 none).
UINT ShowTrayMenu();
void FreeProgramTrayIcon();
// "TaskbarCreated": the shell restarted and forgot every icon.
void OnShellTaskbarCreated();
