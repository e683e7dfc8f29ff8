// CVellumMenuSection_Taskbar ("Taskbar"): a section whose buttons the
// program makes at run time, one per top-level application window, kept
// current from the hook library's window events. Filters of the bar file
// hide windows, restrict the section to matching ones, or gather matching
// windows under one user-group button; automatic grouping gathers the
// windows of one program instead. Only the settings and filters are saved.
#pragma once
#include <windows.h>
#include "model/vellum_menu_section.h"

class CVellumMenuItem_Taskbar;

constexpr int kMaxTaskbarFilters = 100;
constexpr int kMaxAutoGroups = 10;
constexpr int kMaxAutoGroupMembers = 100;
constexpr int kAutoGroupDisplayNameSize = 176;
constexpr char kUseApplicationIcon[] = "Use The Application's Icon!";

// Bits of a filter slot; 0 = a free slot. A used slot has exactly one of
// the first three and exactly one of the two match kinds.
enum TaskbarFilterFlags {
    kFilterHide = 0x1,          // "Filter out"
    kFilterOnlyDisplay = 0x2,   // "Only display"
    kFilterGroup = 0x4,
    kFilterMatchTitle = 0x10,
    kFilterMatchClass = 0x20,
};

// What ClassifyWindow answers: hide the window, or gather it into a group
// whose button exists (4) or does not yet (0x104); 0 gives it a button.
enum TaskClassification {
    kTaskShown = 0,
    kTaskHidden = 0x1,
    kTaskInGroup = 0x4,
    kTaskInNewGroup = 0x104,
};

// One automatic group: the windows of one program.
struct AutoGroup {
    CVellumMenuItem_Taskbar* button;   // null while the group shows no button
    int count;                         // 0 = free entry
    char class_name[200];
    char program[200];                 // executable file name: the group key
    char program_path[260];
    int same_program;
    int same_class;
    HWND members[kMaxAutoGroupMembers];
    int same_process;
    DWORD process_id;
    char display_name[kAutoGroupDisplayNameSize];
};

// The windows a taskbar fills itself with, and those a user group counts.
bool IsTaskWindow(HWND wnd);
bool IsGroupWindow(HWND wnd);

class CVellumMenuSection_Taskbar : public CVellumMenuSection {
public:
    // sectionNumber -1: a section made new (a group popup, or added by the user).
    CVellumMenuSection_Taskbar(CVellumMenuObject* bar, int sectionNumber);
    ~CVellumMenuSection_Taskbar() override;

    // ---- virtual operations -------------------------------------------------------------
    int InitSimpleContextMenu(HMENU menu) override;
    int DoCustomContextMenuCommand(int id) override;
    void InitCustomContextMenu(HMENU barMenu, HMENU sectionMenu) override;
    void UnInitCustomContextMenu(HMENU barMenu, HMENU sectionMenu) override;
    int GetCustomSectionName(char* out) override;
    int AllowDrop() override;
    int IsLockedSection() override;
    int AllowEnumItems() override;
    CVellumMenuItem* GUI_CustomEnumItems(int index) override;
    int SaveExternal() override;
    HICON GetCustomIcon() override;
    // The Behavior page, dialog 143, made once.
    HWND CallConfigDialogEx(HWND parent) override;

    // ---- filters ------------------------------------------------------------------------------
    // The slot, or -1 for an empty text, no flags or a full table.
    int AddFilter(const char* text, int flags, const char* groupTitle, const char* groupIcon,
                  int minimum);
    // 1 removed, 0 a free slot; a negative slot removes every filter (1).
    int RemoveFilter(int slot);
    int RemoveFilterByText(const char* text);
    bool MatchFilter(int slot, HWND wnd);
    int ClassifyWindow(HWND wnd, int* slot);

    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) override;

    // ---- the buttons (taskbar_tasks.cpp) ---------------------------------------------------------
    // Action 0 refresh, 1 add, 2 remove; flash -1 leaves the flash state.
    // 1 when the window has its own button afterwards.
    int UpdateTaskWindow(HWND wnd, int action, int flash);
    // Every button but except back to Normal (the active window's too when forced).
    void ResetTaskStates(CVellumMenuItem_Taskbar* except, int force);
    // Empty the section and add every task window again; 1.
    int RebuildTasks();
    int RefreshTasks();
    // The button of wnd, or null.
    CVellumMenuItem_Taskbar* FindButton(HWND wnd);

    // ---- user groups ------------------------------------------------------------------------------
    int UpdateUserGroup(int slot);
    int CountGroupWindows(int slot);
    const char* GetGroupKey(CVellumMenuItem* item);

    // ---- automatic groups (taskbar_autogroups.cpp) ---------------------------------------------------
    AutoGroup* FindAutoGroup(CVellumMenuItem_Taskbar* button);
    bool ApplyAutoGroups();
    bool RemoveFromAutoGroup(CVellumMenuItem_Taskbar* button, HWND wnd);
    bool DissolveSingleAutoGroups();
    void DissolveAutoGroup(int index, int clear);
    void UpdateAutoGroupButton(int index);
    void FlashAutoGroupOf(HWND wnd, int flash);
    AutoGroup* SetGroupPopupSource(const AutoGroup* group);
    bool AcceptsInGroupPopup(HWND wnd, int group);

    // ---- grouping modes --------------------------------------------------------------------------
    void EnableAutoGrouping();
    void DisableAutoGrouping();
    void EnableUserGroups();
    void DisableUserGroups();
    // The radio mark: 1002 automatic, 1001 no grouping, 1003 user groups.
    int GroupingModeCommand() const;

    // ---- fields, in this order ------------------------------------------------------------------
    AutoGroup m_autoGroups[kMaxAutoGroups];
    int m_xpGrouping;
    int m_groupPopupMode;
    int m_animations;
    int m_groupingDisabled;
    int m_busy;
    CVellumMenuItem_Taskbar* m_groupButtons[kMaxTaskbarFilters];
    char* m_groupTitles[kMaxTaskbarFilters];
    char* m_groupIcons[kMaxTaskbarFilters];
    char* m_matchTexts[kMaxTaskbarFilters];
    int m_minimums[kMaxTaskbarFilters];
    int m_flags[kMaxTaskbarFilters];
    int m_filterCount;
    int m_enumResult;
    int m_enumFilter;
    int m_filling;
    int m_dialogSlot;

private:
    void ReadFilters();
    void FillWithTaskWindows();
    void OnWinKeyTab();
    bool Animated() const { return m_animations != 0; }
    void ClearFilterTable();
};
