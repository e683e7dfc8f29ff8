// What every property page of a bar, section or item shares: the slots an
// object keeps its pages in, the page dialog base (object property,
// "bInitalized!", changes applied as the controls report them, OK/Cancel
// closing), the mark of top-level configuration windows, the hotkey
// controls of item and bar pages, and the start folder of a theme browse.
#pragma once
#include <windows.h>
#include <cstddef>
#include <memory>
#include <string>
#include "util/dialog_base.h"

class CVellumMenuItem;
class CVellumMenuSection;
class CVellumMenuObject;

// ---- page slots -----------------------------------------------------------------------
// The page windows one object keeps, and the tab last shown for it. A view
// over the object's own fields; a handle that is no longer a window counts
// as an empty slot.
class ConfigPageSlots {
public:
    ConfigPageSlots(HWND* slots, int count, int* last_tab);
    // The page in a slot, null when empty, out of range or gone.
    HWND Page(int slot) const;
    void Put(int slot, HWND page);
    // Empties every slot that holds page.
    void Release(HWND page);
    // Whether one of the slots holds page.
    bool Holds(HWND page) const;
    void SetLastTab(int tab);

private:
    HWND* slots_;
    int count_;
    int* last_tab_;   // null for objects that keep none
};

// Item slots: 0 Display, 1 Behavior, 2 Hotkey (also the last-tab values).
enum ItemPageSlot : int { kItemDisplayPage = 0, kItemBehaviorPage = 1, kItemHotkeyPage = 2 };
ConfigPageSlots PageSlotsOf(CVellumMenuItem* item);
ConfigPageSlots PageSlotsOf(CVellumMenuSection* section);
ConfigPageSlots PageSlotsOf(CVellumMenuObject* bar);

// ---- page window properties -------------------------------------------------------------
enum class PageObjectKind { kItem, kSection, kBar };
// "lpItem", "lpSection" or "lpObject".
const char* PageObjectProperty(PageObjectKind kind);
constexpr char kPageInitializedProperty[] = "bInitalized!";
// The object a page edits, null for a window that is no page of that kind.
void* PageObject(HWND page, PageObjectKind kind);

// ---- top-level configuration windows ----------------------------------------------------
// "TSConfigDialog" = 1: while such a window is in front, volatile bars stay
// open and autohide bars stay out.
void MarkConfigDialog(HWND window);
void UnmarkConfigDialog(HWND window);

// ---- the page dialog ----------------------------------------------------------------------
// A modeless borderless child dialog editing one object. WM_INITDIALOG
// stores the object under its property (a null object destroys the page),
// fills the controls and then sets "bInitalized!"; until then no command
// applies anything, so the page's own filling changes nothing. Each change
// is applied when its control reports it: combo boxes on CBN_SELCHANGE,
// edit fields on EN_UPDATE, buttons and others on any notification.
class ConfigPage : public tess::DialogBase {
public:
    // Creates the page in the slot once, or returns the page already there.
    static HWND Open(std::unique_ptr<ConfigPage> page, HINSTANCE module, int template_id,
                     HWND parent);

protected:
    ConfigPage(PageObjectKind kind, void* object, ConfigPageSlots slots, int slot);

    // Controls from the object (before "bInitalized!").
    virtual void Fill() = 0;
    // A change the control reported in the applying way.
    virtual void Apply(int id, int code) = 0;
    // Any other notification (focus changes, drop-downs), after initialisation.
    virtual void OnOtherNotification(int id, int code) {}
    // Messages other than WM_INITDIALOG and WM_COMMAND, while the object exists.
    virtual INT_PTR OnPageMessage(UINT msg, WPARAM wp, LPARAM lp) { return FALSE; }
    // Called after "bInitalized!" is set (settings whose notifications must find no change).
    virtual void AfterInitialized() {}
    // IDOK / IDCANCEL: the slot is emptied, the last tab set back to 0 (unless
    // the page keeps it) and the page destroyed.
    virtual void Close();
    virtual bool KeepsLastTab() const { return false; }

    bool Initialized() const;
    ConfigPageSlots& Slots() { return slots_; }
    int Slot() const { return slot_; }

    // Control helpers.
    HWND Control(int id) const { return ::GetDlgItem(Window(), id); }
    bool Checked(int id) const;
    void Check(int id, bool on);
    // The control's text, at most 1059 characters.
    std::string Text(int id) const;
    void SetText(int id, const char* text);
    void Enable(int id, bool on);
    // Adds a combo row with its item data; returns its index.
    int AddComboRow(int id, const char* text, LPARAM data);
    int ComboSelection(int id) const;
    LPARAM ComboData(int id, int row) const;
    void SelectCombo(int id, int row);

private:
    INT_PTR OnInit() final;
    INT_PTR OnCommand(int id, int code) final;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) final;
    bool IsApplyingNotification(int id, int code) const;

    PageObjectKind kind_;
    void* object_;
    ConfigPageSlots slots_;
    int slot_;
};

// ---- hotkey controls of item and bar pages ----------------------------------------------------
// Radios 1341 "no hotkey", 1136 "Windows key", 1137 with hotkey control 1342
// and 1138 with hotkey control 1343 (Windows key + a plain key).
enum HotkeyControlId : int {
    kHotkeyNone = 1341, kHotkeyWindowsKey = 1136, kHotkeyShortcut = 1137,
    kHotkeyWithWindows = 1138, kHotkeyShortcutField = 1342, kHotkeyWithWindowsField = 1343,
};
// The settings the controls edit; modifiers are RegisterHotKey's flags
// (1 Alt, 2 Control, 4 Shift, 8 Windows).
struct HotkeyFields {
    int* respond_to_windows_key;
    int* vk;
    int* modifiers;
};
// The hotkey control's flags (Shift 1, Control 2, Alt 4) and back.
int HotkeyControlToModifiers(int control_flags);
int ModifiersToHotkeyControl(int modifiers);
// Checks the radio and loads the field the settings describe; the Windows-key
// field is told to accept no modifier.
void FillHotkeyControls(HWND page, const HotkeyFields& fields);
// Whether id is one of the six controls.
bool IsHotkeyControl(int id);
// Reads the checked radio and its field into the settings and enables each
// field only with its radio.
void ReadHotkeyControls(HWND page, const HotkeyFields& fields);

// ---- theme folders ----------------------------------------------------------------------------------
// Where a browse for a theme file starts: the theme folder's first_sub
// ("Bars\Icons\", "Bars\Bitmaps\"), else its "Bars\", else the theme
// folder itself. False (out empty) when no theme is open.
bool ThemeBrowseFolder(const char* first_sub, char* out, size_t out_size);
