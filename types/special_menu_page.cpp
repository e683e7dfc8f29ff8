// The special menu item's page (dialog 120): the menu type and the
// behaviour class. A new type applies at the next opening of the menu and
// marks the bar modified, as the type is saved with the bar.
#include "model/behavior_classes.h"
#include "model/vellum_menu_object.h"
#include "types/special_menu_item.h"
#include "types/special_menu_resources.h"

namespace {

// In the order of "Menu.Type".
const char* const kTypeTexts[] = {"Programs Menu", "Running Applications List"};
constexpr int kTypeCount = static_cast<int>(sizeof(kTypeTexts) / sizeof(kTypeTexts[0]));

CVellumMenuItem_SpecialMenu* PageItem(HWND page) {
    return static_cast<CVellumMenuItem_SpecialMenu*>(::GetPropA(page, "lpItem"));
}

void InitPage(HWND page, CVellumMenuItem_SpecialMenu* item) {
    HWND combo = ::GetDlgItem(page, IDC_SPECIAL_MENU_TYPE);
    for (const char* text : kTypeTexts)
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    // A type of a file this program does not know shows no choice.
    int shown = item->MenuType >= 0 && item->MenuType < kTypeCount ? item->MenuType : -1;
    ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(shown), 0);
    FillBehaviorClassCombo(item, ::GetDlgItem(page, IDC_SPECIAL_MENU_BEHAVIOR));
}

void OnCommand(HWND page, CVellumMenuItem_SpecialMenu* item, int id, int code) {
    if (code != CBN_SELCHANGE) return;
    if (id == IDC_SPECIAL_MENU_TYPE) {
        int sel = static_cast<int>(::SendDlgItemMessageA(page, id, CB_GETCURSEL, 0, 0));
        if (sel < 0 || sel >= kTypeCount || sel == item->MenuType) return;
        item->SetMenuType(sel);
        if (item->m_pBar) item->m_pBar->SetModified();
    } else if (id == IDC_SPECIAL_MENU_BEHAVIOR) {
        ApplyBehaviorClassChange(item, ::GetDlgItem(page, id));
    }
}

INT_PTR CALLBACK SpecialMenuPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        switch (msg) {
        case WM_INITDIALOG: {
            auto* item = reinterpret_cast<CVellumMenuItem_SpecialMenu*>(lp);
            ::SetPropA(page, "lpItem", item);
            if (item) InitPage(page, item);
            ::SetPropA(page, "bInitalized!", reinterpret_cast<HANDLE>(1));
            return TRUE;
        }
        case WM_COMMAND: {
            int id = LOWORD(wp);
            if (id == IDOK || id == IDCANCEL) {
                ::DestroyWindow(page);
                return TRUE;
            }
            CVellumMenuItem_SpecialMenu* item = PageItem(page);
            if (!item || !::GetPropA(page, "bInitalized!")) return TRUE;
            OnCommand(page, item, id, HIWORD(wp));
            return TRUE;
        }
        case WM_DESTROY:
            if (CVellumMenuItem_SpecialMenu* item = PageItem(page))
                if (item->m_page == page) item->m_page = nullptr;
            ::RemovePropA(page, "lpItem");
            ::RemovePropA(page, "bInitalized!");
            return FALSE;
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

HWND CVellumMenuItem_SpecialMenu::CallConfigDialogEx(HWND parent) {
    if (m_page && ::IsWindow(m_page)) return m_page;
    HINSTANCE module = m_pBar && m_pBar->m_hModule ? m_pBar->m_hModule : ::GetModuleHandleA(nullptr);
    m_page = ::CreateDialogParamA(module, MAKEINTRESOURCEA(kSpecialMenuPageDialogId), parent,
                                  SpecialMenuPageProc, reinterpret_cast<LPARAM>(this));
    return m_page;
}
