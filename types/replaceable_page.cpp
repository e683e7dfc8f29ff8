// Page 152 of an ordinary section: mirroring of the active window's menu on
// or off. The change applies at once and marks the bar modified.
#include <windows.h>

#include "model/vellum_menu_object.h"
#include "types/replaceable.h"
#include "types/replaceable_resources.h"
#include "util/callback_guard.h"

namespace {

constexpr char kSectionProp[] = "lpSection";
constexpr char kInitializedProp[] = "bInitalized!";
constexpr int kBehaviorPage = 2;

CVellumMenuSection_Replaceable* PageSection(HWND page) {
    return static_cast<CVellumMenuSection_Replaceable*>(GetPropA(page, kSectionProp));
}

void OnMirroringSwitched(HWND page, CVellumMenuSection_Replaceable* section) {
    section->SetReplaceable(IsDlgButtonChecked(page, IDC_REPLACEABLE_ON) == BST_CHECKED);
    CVellumMenuObject* bar = section->m_pBar;
    if (!bar) return;
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->UpdatePos();
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->SetModified();
}

void ForgetPage(HWND page, CVellumMenuSection_Replaceable* section) {
    if (section->m_pages[kBehaviorPage] == page) section->m_pages[kBehaviorPage] = nullptr;
}

INT_PTR HandlePageMessage(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        auto* section = reinterpret_cast<CVellumMenuSection_Replaceable*>(lp);
        SetPropA(page, kSectionProp, section);
        CheckDlgButton(page, IDC_REPLACEABLE_ON, section->m_replaceable ? BST_CHECKED : BST_UNCHECKED);
        SetPropA(page, kInitializedProp, reinterpret_cast<HANDLE>(1));
        return TRUE;
    }
    CVellumMenuSection_Replaceable* section = PageSection(page);
    if (!section) return FALSE;
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            ForgetPage(page, section);
            DestroyWindow(page);
            return TRUE;
        }
        if (GetPropA(page, kInitializedProp) && LOWORD(wp) == IDC_REPLACEABLE_ON && HIWORD(wp) == BN_CLICKED)
            OnMirroringSwitched(page, section);
        return TRUE;
    case WM_DESTROY:
        ForgetPage(page, section);
        RemovePropA(page, kSectionProp);
        RemovePropA(page, kInitializedProp);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK ReplaceablePageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardDialogProc([&] { return HandlePageMessage(page, msg, wp, lp); });
}

HWND CVellumMenuSection_Replaceable::CallConfigDialogEx(HWND parent) {
    HWND& page = m_pages[kBehaviorPage];
    if (page && IsWindow(page)) return page;
    page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_REPLACEABLE_PAGE), parent,
                              ReplaceablePageProc, reinterpret_cast<LPARAM>(this));
    return page;
}
