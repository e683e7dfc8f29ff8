// Page 158 of the virtual desktops section: the four buffers of the band
// window, the switch that keeps the skin's background from the library, and
// the library's own settings.
#include <windows.h>
#include <commctrl.h>
#include <cstdlib>
#include "model/vellum_menu_object.h"
#include "types/virtual_desktops_resources.h"
#include "types/virtual_desktops_section.h"
#include "util/callback_guard.h"

namespace {

constexpr char kSectionProp[] = "lpSection";
constexpr char kInitializedProp[] = "bInitalized!";
constexpr int kBehaviorPage = 2;
constexpr int kBufferTextSize = 48;
constexpr int kSpinMaximum = 2000;

CVellumMenuSection_VirtualDesktops* PageSection(HWND page) {
    return static_cast<CVellumMenuSection_VirtualDesktops*>(GetPropA(page, kSectionProp));
}

// The buffer an edit of the page stands for, or null for another control.
LONG* BufferOfEdit(CVellumMenuSection_VirtualDesktops* section, int id) {
    switch (id) {
    case IDC_VD_TOP: return &section->m_buffer.top;
    case IDC_VD_LEFT: return &section->m_buffer.left;
    case IDC_VD_BOTTOM: return &section->m_buffer.bottom;
    case IDC_VD_RIGHT: return &section->m_buffer.right;
    default: return nullptr;
    }
}

// The edit's text as a decimal number; text without digits is 0.
int ReadBufferText(HWND page, int id) {
    char text[kBufferTextSize + 1] = "";
    GetDlgItemTextA(page, id, text, kBufferTextSize + 1);
    return static_cast<int>(std::strtol(text, nullptr, 10));
}

void OnBufferEdit(HWND page, CVellumMenuSection_VirtualDesktops* section, int id) {
    LONG* buffer = BufferOfEdit(section, id);
    const int value = ReadBufferText(page, id);
    if (*buffer == value) return;
    *buffer = value;
    if (CVellumMenuObject* bar = section->m_pBar) {
        bar->SetModified();
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);   // moves the band window
    }
}

void OnCommand(HWND page, CVellumMenuSection_VirtualDesktops* section, int id, int code) {
    if (BufferOfEdit(section, id)) {
        OnBufferEdit(page, section, id);
        return;
    }
    if (code != BN_CLICKED) return;
    if (id == IDC_VD_PREVENT_BACKGROUND) {
        section->PreventBackgroundChanging =
            IsDlgButtonChecked(page, IDC_VD_PREVENT_BACKGROUND) == BST_CHECKED;
        if (section->m_pBar) section->m_pBar->SetModified();
    } else if (id == IDC_VD_PREFERENCES) {
        section->ShowBandPreferences();
    }
}

void FillBuffer(HWND page, int edit, int spin, int value) {
    SendDlgItemMessageA(page, spin, UDM_SETRANGE32, 0, kSpinMaximum);
    SetDlgItemInt(page, edit, static_cast<UINT>(value), TRUE);
}

void OnInitDialog(HWND page, CVellumMenuSection_VirtualDesktops* section) {
    SetPropA(page, kSectionProp, section);
    FillBuffer(page, IDC_VD_TOP, IDC_VD_TOP_SPIN, section->m_buffer.top);
    FillBuffer(page, IDC_VD_LEFT, IDC_VD_LEFT_SPIN, section->m_buffer.left);
    FillBuffer(page, IDC_VD_BOTTOM, IDC_VD_BOTTOM_SPIN, section->m_buffer.bottom);
    FillBuffer(page, IDC_VD_RIGHT, IDC_VD_RIGHT_SPIN, section->m_buffer.right);
    CheckDlgButton(page, IDC_VD_PREVENT_BACKGROUND,
                   section->PreventBackgroundChanging ? BST_CHECKED : BST_UNCHECKED);
    SetPropA(page, kInitializedProp, reinterpret_cast<HANDLE>(1));
}

INT_PTR HandlePageMessage(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        OnInitDialog(page, reinterpret_cast<CVellumMenuSection_VirtualDesktops*>(lp));
        return TRUE;
    }
    CVellumMenuSection_VirtualDesktops* section = PageSection(page);
    if (!section) return FALSE;
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            if (section->m_pages[kBehaviorPage] == page) section->m_pages[kBehaviorPage] = nullptr;
            DestroyWindow(page);
            return TRUE;
        }
        if (GetPropA(page, kInitializedProp)) OnCommand(page, section, LOWORD(wp), HIWORD(wp));
        return TRUE;
    case WM_DESTROY:
        if (section->m_pages[kBehaviorPage] == page) section->m_pages[kBehaviorPage] = nullptr;
        RemovePropA(page, kSectionProp);
        RemovePropA(page, kInitializedProp);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK VirtualDesktopsPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardDialogProc([&] { return HandlePageMessage(page, msg, wp, lp); });
}

HWND CVellumMenuSection_VirtualDesktops::CallConfigDialogEx(HWND parent) {
    HWND& page = m_pages[kBehaviorPage];
    if (page && IsWindow(page)) return page;
    page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_VIRTUAL_DESKTOPS_PAGE),
                              parent, VirtualDesktopsPageProc, reinterpret_cast<LPARAM>(this));
    return page;
}
