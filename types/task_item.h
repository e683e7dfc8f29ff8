// CVellumMenuItem_Taskbar: the button the taskbar section makes at run
// time. One class, four roles: a window button (one top-level window), a
// user-group button (carries its filter's match text as group key), an
// automatic-group button (the windows of one program) and a group command
// ("Minimize Group", "Close Group") in that button's small popup.
#pragma once
#include <windows.h>
#include "types/replaceable.h"
#include "types/taskbar_section.h"

enum TaskGroupCommand { kTaskNoCommand = 0, kTaskMinimizeGroup = 1, kTaskCloseGroup = 2 };
constexpr int kTaskNeverGroup = -2;

// The task messages of the section and its items, registered once.
struct TaskMessages {
    UINT FillTaskbar;              // "My WM_FILLTASKBAR"
    UINT CheckGroupActiveStats;    // "My WM_CHECKGROUPACTIVESTATS"
    UINT FilterConsoles;           // "My WM_FILTERCONSOLES"
    UINT AddFiltersForPopup;       // "My WM_ADDFILTERSFORPOPUP"
    UINT StopPopupForcedDelay;     // "My WM_STOPPOPUPFORCEDDELAY"
    UINT VolatileClose;            // "VolitleClose"
    UINT WinKeyTabDown;            // "WinKey+Tab Down!"
};
const TaskMessages& GetTaskMessages();

class CVellumMenuItem_Taskbar : public CVellumMenuItem_Replaceable {
public:
    // section: the taskbar section that makes the button, or the plain
    // section of a group's command popup.
    CVellumMenuItem_Taskbar(CVellumMenuObject* bar, CVellumMenuSection* section);
    ~CVellumMenuItem_Taskbar() override;

    // 0 for no text, else 1; the button becomes a user-group button.
    int SetGroupKey(const char* text, int kind);
    void SetAutoGroup(AutoGroup* group, int command);
    void RefreshTaskIcon();
    // Stores a new flash value and shows it (Selected while flashing).
    void ApplyFlash(int flash);

    void DragHover() override;
    int IsPopup() override;
    int GetPopupDelay() override;
    int GetCustomItemName(char* out) override;
    CVellumMenuSection* CreatePopupSection(CVellumMenuObject* childBar, int* useMenu) override;
    void Draw(HDC dc) override;
    void OnClick() override;
    void OnDblClick() override;
    void OnRClick(int* handled) override;
    void ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    int TrackPopupMenuDoubleClick() override;
    int TrackPopupMenu(int byKeyboard) override;
    HMENU GetPopupMenu() override;
    void SetState(UINT state, int keep) override;

    bool IsCommandItem() const { return m_autoGroup && m_groupCommand != kTaskNoCommand; }
    bool IsAutoGroupButton() const { return m_autoGroup && m_groupCommand == kTaskNoCommand; }
    bool IsUserGroupButton() const { return m_groupKey != nullptr; }
    bool IsWindowButton() const { return !m_autoGroup && !m_groupKey; }

    HWND m_window;                 // the task window (null for group buttons)
    RECT m_lastRect;
    AutoGroup* m_autoGroup;
    int m_groupCommand;
    char m_className[300];
    char m_program[300];
    DWORD m_processId;
    int m_autoGroupIndex;          // -1 none, kTaskNeverGroup for user groups
    CVellumMenuSection_Taskbar* m_owningSection;
    char* m_groupKey;
    int m_matchKind;
    int m_flash;
    BOOL m_systemMenuMode;
    BOOL m_console;

private:
    void ClickWindow();
    void RunGroupCommand();
    // Whether the active window belongs to this group button.
    bool HoldsActiveWindow(HWND active);
};
