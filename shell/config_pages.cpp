#include "shell/config_pages.h"

#include <commctrl.h>
#include <vector>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "util/dialog_helpers.h"
#include "util/general_helpers.h"
#include "util/text.h"

// ---- page slots -----------------------------------------------------------------------

ConfigPageSlots::ConfigPageSlots(HWND* slots, int count, int* last_tab)
    : slots_(slots), count_(slots ? count : 0), last_tab_(last_tab) {}

HWND ConfigPageSlots::Page(int slot) const {
    if (slot < 0 || slot >= count_) return nullptr;
    HWND page = slots_[slot];
    return page && ::IsWindow(page) ? page : nullptr;
}

void ConfigPageSlots::Put(int slot, HWND page) {
    if (slot >= 0 && slot < count_) slots_[slot] = page;
}

void ConfigPageSlots::Release(HWND page) {
    for (int i = 0; i < count_; ++i)
        if (slots_[i] == page) slots_[i] = nullptr;
}

bool ConfigPageSlots::Holds(HWND page) const {
    for (int i = 0; i < count_; ++i)
        if (page && slots_[i] == page) return true;
    return false;
}

void ConfigPageSlots::SetLastTab(int tab) {
    if (last_tab_) *last_tab_ = tab;
}

ConfigPageSlots PageSlotsOf(CVellumMenuItem* item) {
    if (!item) return ConfigPageSlots(nullptr, 0, nullptr);
    return ConfigPageSlots(item->m_pages, 3, &item->m_lastPage);
}

ConfigPageSlots PageSlotsOf(CVellumMenuSection* section) {
    if (!section) return ConfigPageSlots(nullptr, 0, nullptr);
    return ConfigPageSlots(section->m_pages, 4, &section->m_lastPage);
}

ConfigPageSlots PageSlotsOf(CVellumMenuObject* bar) {
    // The bar's last tab is the theme editor's to keep.
    if (!bar) return ConfigPageSlots(nullptr, 0, nullptr);
    return ConfigPageSlots(bar->m_pages, kBarPageCount, nullptr);
}

// ---- page window properties -------------------------------------------------------------

const char* PageObjectProperty(PageObjectKind kind) {
    switch (kind) {
    case PageObjectKind::kItem:
        return "lpItem";
    case PageObjectKind::kSection:
        return "lpSection";
    case PageObjectKind::kBar:
        return "lpObject";
    }
    return "lpItem";
}

void* PageObject(HWND page, PageObjectKind kind) {
    return page ? ::GetPropA(page, PageObjectProperty(kind)) : nullptr;
}

// ---- top-level configuration windows ----------------------------------------------------

void MarkConfigDialog(HWND window) {
    if (window) ::SetPropA(window, "TSConfigDialog", reinterpret_cast<HANDLE>(1));
}

void UnmarkConfigDialog(HWND window) {
    if (window) ::RemovePropA(window, "TSConfigDialog");
}

// ---- the page dialog ----------------------------------------------------------------------

ConfigPage::ConfigPage(PageObjectKind kind, void* object, ConfigPageSlots slots, int slot)
    : kind_(kind), object_(object), slots_(slots), slot_(slot) {}

HWND ConfigPage::Open(std::unique_ptr<ConfigPage> page, HINSTANCE module, int template_id,
                      HWND parent) {
    if (!page) return nullptr;
    ConfigPageSlots slots = page->slots_;
    const int slot = page->slot_;
    if (HWND existing = slots.Page(slot)) return existing;
    HWND created = tess::DialogBase::CreateModeless(std::move(page), module,
                                                    MAKEINTRESOURCEA(template_id), parent);
    // A page for no object has already destroyed itself.
    if (!created || !::IsWindow(created)) return nullptr;
    slots.Put(slot, created);
    return created;
}

INT_PTR ConfigPage::OnInit() {
    if (!object_) {
        ::DestroyWindow(Window());
        return FALSE;
    }
    ::SetPropA(Window(), PageObjectProperty(kind_), object_);
    slots_.Put(slot_, Window());
    Fill();
    ::SetPropA(Window(), kPageInitializedProperty, reinterpret_cast<HANDLE>(1));
    AfterInitialized();
    return TRUE;
}

bool ConfigPage::Initialized() const {
    return Window() && ::GetPropA(Window(), kPageInitializedProperty) != nullptr;
}

void ConfigPage::Close() {
    slots_.Release(Window());
    if (!KeepsLastTab()) slots_.SetLastTab(0);
    ::DestroyWindow(Window());
}

INT_PTR ConfigPage::OnCommand(int id, int code) {
    if (!PageObject(Window(), kind_)) return FALSE;
    if (id == IDOK || id == IDCANCEL) {
        Close();
        return TRUE;
    }
    if (!Initialized()) return TRUE;
    if (IsApplyingNotification(id, code))
        Apply(id, code);
    else
        OnOtherNotification(id, code);
    return TRUE;
}

INT_PTR ConfigPage::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DESTROY) {
        // A page that dies with its parent leaves no handle behind that a
        // later window could come to own.
        if (PageObject(Window(), kind_)) slots_.Release(Window());
        ::RemovePropA(Window(), PageObjectProperty(kind_));
        ::RemovePropA(Window(), kPageInitializedProperty);
        return FALSE;
    }
    if (!PageObject(Window(), kind_)) return FALSE;
    return OnPageMessage(msg, wp, lp);
}

bool ConfigPage::IsApplyingNotification(int id, int code) const {
    char kind[32] = "";
    HWND control = Control(id);
    // Commands that come from no control (menu-style posts) always apply.
    if (!control || !::GetClassNameA(control, kind, sizeof(kind))) return true;
    if (lstrcmpiA(kind, "ComboBox") == 0) return code == CBN_SELCHANGE;
    if (lstrcmpiA(kind, "Edit") == 0) return code == EN_UPDATE;
    return true;
}

bool ConfigPage::Checked(int id) const { return ::IsDlgButtonChecked(Window(), id) == BST_CHECKED; }

void ConfigPage::Check(int id, bool on) {
    ::CheckDlgButton(Window(), id, on ? BST_CHECKED : BST_UNCHECKED);
}

std::string ConfigPage::Text(int id) const {
    char text[kDlgTextSize] = "";
    ::GetDlgItemTextA(Window(), id, text, sizeof(text));
    return text;
}

void ConfigPage::SetText(int id, const char* text) { ::SetDlgItemTextA(Window(), id, text ? text : ""); }

void ConfigPage::Enable(int id, bool on) { ::EnableWindow(Control(id), on ? TRUE : FALSE); }

int ConfigPage::AddComboRow(int id, const char* text, LPARAM data) {
    LRESULT row = ::SendMessageA(Control(id), CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    if (row >= 0) ::SendMessageA(Control(id), CB_SETITEMDATA, static_cast<WPARAM>(row), data);
    return static_cast<int>(row);
}

int ConfigPage::ComboSelection(int id) const {
    return static_cast<int>(::SendMessageA(Control(id), CB_GETCURSEL, 0, 0));
}

LPARAM ConfigPage::ComboData(int id, int row) const {
    return ::SendMessageA(Control(id), CB_GETITEMDATA, static_cast<WPARAM>(row), 0);
}

void ConfigPage::SelectCombo(int id, int row) {
    ::SendMessageA(Control(id), CB_SETCURSEL, static_cast<WPARAM>(row), 0);
}

// ---- hotkey controls ----------------------------------------------------------------------------

int HotkeyControlToModifiers(int control_flags) {
    int modifiers = 0;
    if (control_flags & HOTKEYF_ALT) modifiers |= MOD_ALT;
    if (control_flags & HOTKEYF_CONTROL) modifiers |= MOD_CONTROL;
    if (control_flags & HOTKEYF_SHIFT) modifiers |= MOD_SHIFT;
    return modifiers;
}

int ModifiersToHotkeyControl(int modifiers) {
    int flags = 0;
    if (modifiers & MOD_ALT) flags |= HOTKEYF_ALT;
    if (modifiers & MOD_CONTROL) flags |= HOTKEYF_CONTROL;
    if (modifiers & MOD_SHIFT) flags |= HOTKEYF_SHIFT;
    return flags;
}

namespace {

void EnableHotkeyFields(HWND page) {
    ::EnableWindow(::GetDlgItem(page, kHotkeyShortcutField),
                   ::IsDlgButtonChecked(page, kHotkeyShortcut) == BST_CHECKED);
    ::EnableWindow(::GetDlgItem(page, kHotkeyWithWindowsField),
                   ::IsDlgButtonChecked(page, kHotkeyWithWindows) == BST_CHECKED);
}

void LoadHotkeyField(HWND page, int field, int vk, int modifiers) {
    ::SendDlgItemMessageA(page, field, HKM_SETHOTKEY,
                          MAKEWORD(vk & 0xFF, ModifiersToHotkeyControl(modifiers)), 0);
}

}  // namespace

void FillHotkeyControls(HWND page, const HotkeyFields& f) {
    // The Windows-key field takes a plain key: every combination is refused
    // and none replaces it.
    const WPARAM every_combination = HKCOMB_NONE | HKCOMB_S | HKCOMB_C | HKCOMB_A | HKCOMB_SC |
                                     HKCOMB_SA | HKCOMB_CA | HKCOMB_SCA;
    ::SendDlgItemMessageA(page, kHotkeyWithWindowsField, HKM_SETRULES, every_combination, 0);
    int radio = kHotkeyNone;
    if (*f.respond_to_windows_key) {
        radio = kHotkeyWindowsKey;
    } else if (*f.vk) {
        const bool with_windows = (*f.modifiers & MOD_WIN) != 0;
        radio = with_windows ? kHotkeyWithWindows : kHotkeyShortcut;
        LoadHotkeyField(page, with_windows ? kHotkeyWithWindowsField : kHotkeyShortcutField, *f.vk,
                        with_windows ? 0 : *f.modifiers);
    }
    for (int id : {kHotkeyNone, kHotkeyWindowsKey, kHotkeyShortcut, kHotkeyWithWindows})
        ::CheckDlgButton(page, id, id == radio ? BST_CHECKED : BST_UNCHECKED);
    EnableHotkeyFields(page);
}

bool IsHotkeyControl(int id) {
    switch (id) {
    case kHotkeyNone:
    case kHotkeyWindowsKey:
    case kHotkeyShortcut:
    case kHotkeyWithWindows:
    case kHotkeyShortcutField:
    case kHotkeyWithWindowsField:
        return true;
    default:
        return false;
    }
}

void ReadHotkeyControls(HWND page, const HotkeyFields& f) {
    auto checked = [&](int id) { return ::IsDlgButtonChecked(page, id) == BST_CHECKED; };
    auto field = [&](int id) {
        return static_cast<WORD>(::SendDlgItemMessageA(page, id, HKM_GETHOTKEY, 0, 0));
    };
    *f.respond_to_windows_key = 0;
    *f.vk = 0;
    *f.modifiers = 0;
    if (checked(kHotkeyWindowsKey)) {
        *f.respond_to_windows_key = 1;
    } else if (checked(kHotkeyShortcut)) {
        const WORD key = field(kHotkeyShortcutField);
        *f.vk = LOBYTE(key);
        *f.modifiers = HotkeyControlToModifiers(HIBYTE(key));
    } else if (checked(kHotkeyWithWindows)) {
        const WORD key = field(kHotkeyWithWindowsField);
        *f.vk = LOBYTE(key);
        *f.modifiers = HotkeyControlToModifiers(HIBYTE(key)) | MOD_WIN;
    }
    EnableHotkeyFields(page);
}

// ---- theme folders ----------------------------------------------------------------------------------

bool ThemeBrowseFolder(const char* first_sub, char* out, size_t out_size) {
    if (!out || !out_size) return false;
    out[0] = '\0';
    const char* theme = GetThemeFolder();
    if (!theme || !theme[0]) return false;
    for (const char* sub : {first_sub ? first_sub : "", "Bars\\"}) {
        if (!sub[0]) continue;
        if (tess::FormatText(out, out_size, "%s%s", theme, sub) && PathExists(out)) return true;
    }
    return tess::CopyText(out, out_size, theme);
}
