// CSplashWindow: the modeless splash dialog (template 106) with its icon,
// caption line and status line, white on black.
#pragma once
#include <windows.h>
#include <string>

#include "util/handles.h"

namespace gantrel {

class CSplashWindow {
public:
    CSplashWindow();
    ~CSplashWindow();
    CSplashWindow(const CSplashWindow&) = delete;
    CSplashWindow& operator=(const CSplashWindow&) = delete;

    // Creates the dialog without owner; false when it could not be made.
    bool Create(const std::string& caption, const std::string& status);
    HWND Window() const { return wnd_; }
    bool Exists() const { return wnd_ && IsWindow(wnd_); }

    // -1 as x centres the window on the screen; otherwise its top-left
    // corner moves to (x, y) and its size stays.
    void Place(int x, int y);
    void Show();
    // Every text change rewrites both lines.
    void SetTexts(const std::string& caption, const std::string& status);
    void SetCaption(const std::string& caption);
    void SetStatus(const std::string& status);
    // Icon number index of the file; false (nothing changes) when it has none.
    bool LoadIcon(const std::string& path, int index);
    void Destroy();

private:
    static INT_PTR CALLBACK DialogThunk(HWND wnd, UINT message, WPARAM wparam, LPARAM lparam);
    INT_PTR HandleMessage(UINT message, WPARAM wparam, LPARAM lparam);
    BOOL OnInitDialog();
    INT_PTR OnCtlColorStatic(HDC dc, HWND control);
    void OnNcDestroy();
    void WriteLines();

    HWND wnd_ = nullptr;
    HWND icon_control_ = nullptr;
    HWND status_control_ = nullptr;
    std::string caption_;
    std::string status_;
    tess::ScopedBrush black_;
    tess::ScopedIcon large_icon_;
    tess::ScopedIcon small_icon_;
};

}  // namespace gantrel
