// What a bar needs from the application shell. The shell fills this table
// when it starts; an empty entry means no shell runs in this process (a
// test, a template bar), and the bar then acts as if the state asked about
// were off: no theme loading, no full-screen program, no hidden layers.
#pragma once
#include <windows.h>

class CVellumMenuObject;
class CVellumMenuSection;

struct BarHostServices {
    // Sends the program's small and large icons to a window.
    void (*SetProgramIcons)(HWND wnd);
    bool (*IsThemeLoading)();
    // True while the program or a theme closes all bars at once.
    bool (*IsClosingBars)();
    bool (*IsFullScreenAppActive)();
    // The theme editor exists and one of its modal dialogs disables it.
    bool (*IsThemeEditorDisabled)();
    // The popup bar window opened within the last moments, or null.
    HWND (*GetJustOpenedPopup)();
    // Hides the volatile layers unless a bar or configuration window is in
    // front; sends (1) or posts (0) the update to the main window.
    int (*HideVolatileLayers)(int send);
    // Smart menus show only recent entries again.
    void (*FoldSmartMenus)();
    bool (*IsLayerHidden)(int layer);
    // The global option "bDisableDoubleClicking".
    bool (*IsDoubleClickingDisabled)();
    // Next id for RegisterHotKey (program-wide counter).
    int (*AllocHotkeyId)();
    // Replaces "%username%" in text (size characters) with the user name.
    void (*ExpandUserNameInPath)(char* text, size_t size);
    // Posts the refresh of the hidden Windows taskbar to the main window.
    void (*PostHiddenTaskbarUpdate)();
    // True when the message being handled is a SendMessage from this thread
    // (not posted, not sent from elsewhere): only then does a pointer in it
    // name the caller's own memory.
    bool (*IsSynchronousCall)(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
    // The global option "bUseTearoff": dragging a volatile bar tears it off.
    bool (*IsTearOffEnabled)();
    // A torn-off bar is no longer the popup that just opened.
    void (*ForgetJustOpenedPopup)();
    bool (*IsLayerVolatile)(int layer);
    // The global option "bAutoSaveBars": new bars take a file name of their own.
    bool (*IsAutoSaveBars)();
    // The current theme's "Bars" folder with a trailing backslash (MAX_PATH
    // characters); false or empty when no theme is open.
    bool (*GetThemeBarsFolder)(char* buffer);
    // True while the whole theme is being saved.
    bool (*IsSavingTheme)();
    // Copies a skin of another theme into this theme's "Skins\Imported\"
    // folder; the copy's path in out. False when nothing was copied.
    bool (*ImportSkinFile)(const char* skin, char* out, size_t out_size);
    // The global option "bDisableAnimations": state changes show their last frame at once.
    bool (*AreAnimationsDisabled)();
    // The foreground window's title as the shell last saw it, copied into
    // buffer (size bytes, always terminated); false when none is known.
    bool (*GetActiveWindowTitle)(char* buffer, size_t size);
    // The stats monitor asks the bars again whether one needs the mouse
    // hook; nothing when no monitor exists.
    void (*UpdateMouseHook)();
    // Moves a bar under the pointer, keeping its size (a bar shown again by
    // its hotkey with "bReshowUnderMouse"); nothing when no shell runs.
    void (*ReshowBarUnderPointer)(CVellumMenuObject* bar);
    // The global option "bHideBehaviorWarning": a behaviour-class change asks nothing.
    bool (*IsBehaviorWarningHidden)();
    // The theme editor's helper lines paint their marks into the bar's
    // drawing bitmap, last of all.
    void (*DrawHelperLines)(HDC dc, CVellumMenuObject* bar);
    // The bar window tells the helper lines of a change (its activation).
    void (*TellHelperLines)(CVellumMenuObject* bar, UINT msg, WPARAM wp);
    // Creates one of a bar's property pages (BarPageSlot) as a child of
    // parent, or returns the one already open; null when none came to be.
    HWND (*OpenBarPage)(CVellumMenuObject* bar, int slot, HWND parent);
    // Moves the four size rules between the bar and its Advanced page
    // (toControls 1: bar to page); 0 when the page does not exist.
    int (*ExchangeBarSizeRules)(CVellumMenuObject* bar, int toControls);
    // The bar's node in the theme editor's tree takes the title (" (Hidden)"
    // added while the window is invisible).
    void (*RetitleBarInThemeEditor)(CVellumMenuObject* bar, const char* title);
    // Creates one of a section's property pages (SectionPageSlot), as above.
    HWND (*OpenSectionPage)(CVellumMenuSection* section, int slot, HWND parent);
};

BarHostServices& GetBarHostServices();
