// CVellumMenuSection_Systray ("Systray", shown "System Tray"): the
// notification-area icons that Lanternfold collects, on a bar. It owns one
// CTrayHost and adds where the icons go, the cell size from the skin, the
// inactivity filtering switches with their expand/contract button, the
// anchor messages to the server, the context-menu entries and page 1062.
#pragma once
#include <windows.h>
#include "model/vellum_menu_section.h"
#include "types/tray_host.h"
#include "util/handles.h"

enum SystrayButtonState : int {
    kExpandableDefault = 0,
    kExpandableMouseover = 1,
    kExpandableSelected = 2,
    kCollapsibleDefault = 3,
    kCollapsibleMouseover = 4,
    kCollapsibleSelected = 5,
    kAllFilteringDisabled = 6,
};
constexpr int kSystrayButtonStates = 7;

// Row names of the page and key names of the bar file, in state order.
extern const char* const kSystrayButtonStateNames[kSystrayButtonStates];
extern const char* const kSystrayButtonKeys[kSystrayButtonStates];

// The context-menu commands of the section.
enum SystrayCommand : int {
    kCmdToggleExpanded = 1001,
    kCmdConfigureFiltering = 1002,
    kCmdToggleFiltering = 1003,
    kCmdCustomizeIcons = 1004,
};

constexpr UINT kAutoContractDelayMs = 4000;

class TESS_EXPORT CVellumMenuSection_Systray : public CVellumMenuSection {
public:
    CVellumMenuSection_Systray(CVellumMenuObject* bar, int sectionNumber);
    ~CVellumMenuSection_Systray() override;

    int DoCustomContextMenuCommand(int id) override;
    void InitCustomContextMenu(HMENU barMenu, HMENU sectionMenu) override;
    HMENU InitContextMenu(HMENU barMenu) override;
    int GetCustomSectionName(char* out) override;
    int AllowDrop() override { return 0; }
    int IsLockedSection() override { return 1; }
    int AllowEnumItems() override { return 0; }
    int SaveExternal() override;
    HICON GetCustomIcon() override;
    void Draw(HDC dc, int drawItems, int wholeRun) override;
    void ProcessMouseMessage(UINT msg, WPARAM wp, LPARAM lp, POINT pt, int* handled) override;
    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    SIZE CalcIdealSize() override;
    int RecalcRectsFlexible() override { return 0; }
    SIZE CalcMinMaxSize(int minimum) override;
    int SetSectionRect(int x, int y, int cx, int cy, int swap) override;
    HWND CallConfigDialogEx(HWND parent) override;

    void ApplyTrayFilterState();
    void LoadTrayButtonBitmaps();
    void FreeTrayButtonBitmaps();
    // The button's state, or -1 when there is no button.
    int GetTrayButtonState();
    static int DrawTrayIcon(const TrayIconDrawInfo* info);

    // Filtering wanted and not switched off by the theme.
    bool FilteringAvailable() const;
    void SetExpanded(int expanded);
    void PostToServer(UINT msg, HWND parent);

    // ---- fields ---------------------------------------------------------------------------
    POINT m_lastBarPos;
    BOOL UseTimeFilter;
    CTrayHost* m_trayHost;
    int m_lastShownCount;
    RECT m_buttonRect;
    int m_buttonMouseState;   // 0 normal, 1 over, 2 pressed, -1 pressed and left
    BOOL m_autoContractRunning;
    BOOL TempDisabled;
    BOOL Autocontract;
    BOOL m_noCustomBitmaps;
    char m_bitmapPaths[kSystrayButtonStates][MAX_PATH];
    SIZE m_bitmapSizes[kSystrayButtonStates];
    tess::ScopedBitmap m_bitmaps[kSystrayButtonStates];
    unsigned long* m_alphaBits[kSystrayButtonStates];   // owned by their DIB sections
    tess::ScopedBitmap m_masks[kSystrayButtonStates];
    BOOL ExpandButtonEnabled;
    BOOL BitmapPathRelToSkin;
    UINT m_autoContractTimerId;

private:
    void ReadSystrayKeys();
    // The button picture of a state: bitmap, mask, alpha and size; false: none.
    bool ButtonPicture(int state, HBITMAP* bitmap, HBITMAP* mask, const DWORD** alpha,
                       SIZE* size);
    SIZE ButtonSize();
    void DrawButton(HDC dc);
    void SetButtonMouseState(int state);
    void TellServerAnchor();
    void ApplyHostPlacement();
    RECT m_lastRect;
    // What the tray server was last told: each message is a round trip to
    // another process, and a layout places the section several times over.
    struct SentAnchor {
        HWND server;
        HWND window;           // 0: the section was hidden
        RECT area;
        RECT windowRect;       // where the server then put its window
    } m_sentAnchor;
    static SentAnchor CurrentAnchor(HWND anchor, const RECT& area);
    static bool SameAnchor(const SentAnchor& a, const SentAnchor& b);
};

