// Page 125 of the folder section: the source (a folder by path, a special
// folder, the most-used list with its length), volatile popups and the
// shortcut overlays. Every change applies at once and marks the bar modified.
#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>
#include <cstdlib>

#include "model/vellum_menu_object.h"
#include "types/folder_resources.h"
#include "types/folder_section.h"
#include "types/shortcut_item.h"
#include "util/callback_guard.h"
#include "util/item_id_list.h"
#include "util/text.h"

namespace {

constexpr char kSectionProp[] = "lpSection";
constexpr char kInitializedProp[] = "bInitalized!";
constexpr int kBehaviorPage = 2;
constexpr UINT_PTR kPathTimer = 1;
constexpr UINT kPathDelayMs = 500;
constexpr int kCountMaximum = 200;

CVellumMenuSection_Folder* PageSection(HWND page) {
    return static_cast<CVellumMenuSection_Folder*>(GetPropA(page, kSectionProp));
}

bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }

void UpdateFolderPageControls(HWND page) {
    const bool normal = Checked(page, IDC_FOLDER_NORMAL), recent = Checked(page, IDC_FOLDER_RECENT);
    EnableWindow(GetDlgItem(page, IDC_FOLDER_PATH), normal);
    EnableWindow(GetDlgItem(page, IDC_FOLDER_BROWSE), normal);
    EnableWindow(GetDlgItem(page, IDC_FOLDER_SPECIAL_NAMES), Checked(page, IDC_FOLDER_SPECIAL));
    for (int id : {IDC_FOLDER_AS_MANY, IDC_FOLDER_EXACTLY, IDC_FOLDER_COUNT, IDC_FOLDER_COUNT_LABEL})
        EnableWindow(GetDlgItem(page, id), recent);
}

void CheckSource(HWND page, int id) {
    for (int source : {IDC_FOLDER_NORMAL, IDC_FOLDER_SPECIAL, IDC_FOLDER_RECENT})
        CheckDlgButton(page, source, source == id ? BST_CHECKED : BST_UNCHECKED);
}

// The name the page's folder controls stand for.
void ChosenFolder(HWND page, char* out, int size) {
    out[0] = '\0';
    if (Checked(page, IDC_FOLDER_NORMAL)) {
        GetDlgItemTextA(page, IDC_FOLDER_PATH, out, size);
    } else {
        HWND combo = GetDlgItem(page, IDC_FOLDER_SPECIAL_NAMES);
        const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
        if (index >= 0 && SendMessageA(combo, CB_GETLBTEXTLEN, index, 0) < size)
            SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(out));
    }
}

void ApplySource(HWND page, CVellumMenuSection_Folder* section) {
    section->ResetSource(false);
    section->RecentItemsToList = -1;
    section->UsePinnedList = FALSE;
    section->UseRecentList = FALSE;
    if (Checked(page, IDC_FOLDER_RECENT)) {
        section->UseRecentList = TRUE;
        if (Checked(page, IDC_FOLDER_EXACTLY)) {
            const int count = static_cast<int>(GetDlgItemInt(page, IDC_FOLDER_COUNT, nullptr, TRUE));
            section->RecentItemsToList = count < 1 ? 1 : count;
        }
    } else {
        char name[kFolderTextSize];
        ChosenFolder(page, name, sizeof(name));
        tess::CopyText(section->Folder, name);
        section->ResetSource(true);
    }
    section->FillFolderItems();
    CVellumMenuObject* bar = section->m_pBar;
    if (!bar) return;
    bar->SetModified();
    const BOOL running = bar->m_edgeChangeRunning;
    bar->m_edgeChangeRunning = TRUE;
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->m_edgeChangeRunning = running;
}

// A typed path applies once it differs from the folder shown.
void ApplyTypedPath(HWND page, CVellumMenuSection_Folder* section) {
    if (!Checked(page, IDC_FOLDER_NORMAL)) return;
    char path[kFolderTextSize] = "";
    GetDlgItemTextA(page, IDC_FOLDER_PATH, path, sizeof(path));
    if (lstrcmpiA(path, section->Folder) == 0 && !section->UseRecentList && !section->UsePinnedList) return;
    ApplySource(page, section);
}

void BrowseForFolder(HWND page) {
    BROWSEINFOA info = {};
    info.hwndOwner = page;
    info.ulFlags = BIF_RETURNONLYFSDIRS;
    LPITEMIDLIST chosen = SHBrowseForFolderA(&info);
    if (!chosen) return;
    char path[MAX_PATH] = "";
    if (SHGetPathFromIDListA(chosen, path)) SetDlgItemTextA(page, IDC_FOLDER_PATH, path);
    FreePidl(chosen);
}

void SetHideOverlays(CVellumMenuSection_Folder* section, BOOL hide) {
    section->HideLinkOverlays = hide;
    if (section->m_pBar) section->m_pBar->SetModified();
    for (int i = 0; i < kMaxItems && section->m_items[i]; ++i) {
        auto* entry = dynamic_cast<CVellumMenuItem_Shortcut*>(section->m_items[i]);
        if (!entry) continue;
        entry->m_noOverlay = hide;
        entry->ReplaceIcons();
        entry->RefreshIcon();
        entry->RedrawItem();
    }
}

void OnCommand(HWND page, CVellumMenuSection_Folder* section, int id, int code) {
    switch (id) {
    case IDC_FOLDER_NORMAL:
    case IDC_FOLDER_SPECIAL:
    case IDC_FOLDER_RECENT:
        if (code != BN_CLICKED) return;
        CheckSource(page, id);
        UpdateFolderPageControls(page);
        ApplySource(page, section);
        return;
    case IDC_FOLDER_SPECIAL_NAMES:
        if (code == CBN_SELCHANGE) ApplySource(page, section);
        return;
    case IDC_FOLDER_AS_MANY:
    case IDC_FOLDER_EXACTLY:
        if (code == BN_CLICKED) ApplySource(page, section);
        return;
    case IDC_FOLDER_COUNT:
        if (code != EN_CHANGE) return;
        if (static_cast<int>(GetDlgItemInt(page, IDC_FOLDER_COUNT, nullptr, TRUE)) <= 0) {
            SetDlgItemTextA(page, IDC_FOLDER_COUNT, "1");   // comes back here once more
            return;
        }
        CheckDlgButton(page, IDC_FOLDER_EXACTLY, BST_CHECKED);
        CheckDlgButton(page, IDC_FOLDER_AS_MANY, BST_UNCHECKED);
        if (Checked(page, IDC_FOLDER_RECENT)) ApplySource(page, section);
        return;
    case IDC_FOLDER_PATH:
        if (code == EN_CHANGE && Checked(page, IDC_FOLDER_NORMAL))
            SetTimer(page, kPathTimer, kPathDelayMs, nullptr);
        else if (code == EN_KILLFOCUS)
            ApplyTypedPath(page, section);
        return;
    case IDC_FOLDER_DO_UPDATE:
        ApplyTypedPath(page, section);
        return;
    case IDC_FOLDER_BROWSE:
        if (code == BN_CLICKED) BrowseForFolder(page);
        return;
    case IDC_FOLDER_VOLATILE:
        section->PopupVolitle = Checked(page, IDC_FOLDER_VOLATILE);
        if (section->m_pBar) section->m_pBar->SetModified();
        return;
    case IDC_FOLDER_HIDE_OVERLAYS:
        SetHideOverlays(section, Checked(page, IDC_FOLDER_HIDE_OVERLAYS));
        return;
    default:
        return;
    }
}

void OnInitDialog(HWND page, CVellumMenuSection_Folder* section) {
    SetPropA(page, kSectionProp, section);
    HWND combo = GetDlgItem(page, IDC_FOLDER_SPECIAL_NAMES);
    for (int i = 0; i < kFolderSpecialNameCount; ++i)
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kFolderSpecialNames[i]));
    if (section->UseRecentList) {
        CheckSource(page, IDC_FOLDER_RECENT);
    } else if (!section->UsePinnedList) {
        const LRESULT found =
            section->Folder[0] ? SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(section->Folder))
                               : CB_ERR;
        if (found != CB_ERR) {
            CheckSource(page, IDC_FOLDER_SPECIAL);
            SendMessageA(combo, CB_SETCURSEL, found, 0);
        } else {
            CheckSource(page, IDC_FOLDER_NORMAL);
            SetDlgItemTextA(page, IDC_FOLDER_PATH, section->Folder);
        }
    }
    if (SendMessageA(combo, CB_GETCURSEL, 0, 0) == CB_ERR)
        SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1), reinterpret_cast<LPARAM>("QuickLaunch"));
    SendDlgItemMessageA(page, IDC_FOLDER_RECENT_SPIN, UDM_SETRANGE32, 0, kCountMaximum);
    if (section->RecentItemsToList < 1) {
        CheckDlgButton(page, IDC_FOLDER_AS_MANY, BST_CHECKED);
        SetDlgItemTextA(page, IDC_FOLDER_COUNT, "1");
    } else {
        CheckDlgButton(page, IDC_FOLDER_EXACTLY, BST_CHECKED);
        SetDlgItemInt(page, IDC_FOLDER_COUNT, static_cast<UINT>(section->RecentItemsToList), TRUE);
    }
    CheckDlgButton(page, IDC_FOLDER_VOLATILE, section->PopupVolitle ? BST_CHECKED : BST_UNCHECKED);
    CheckDlgButton(page, IDC_FOLDER_HIDE_OVERLAYS, section->HideLinkOverlays ? BST_CHECKED : BST_UNCHECKED);
    UpdateFolderPageControls(page);
    SetPropA(page, kInitializedProp, reinterpret_cast<HANDLE>(1));
}

void ForgetPage(HWND page, CVellumMenuSection_Folder* section) {
    if (section->m_pages[kBehaviorPage] == page) section->m_pages[kBehaviorPage] = nullptr;
}

INT_PTR HandlePageMessage(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_INITDIALOG) {
        OnInitDialog(page, reinterpret_cast<CVellumMenuSection_Folder*>(lp));
        return TRUE;
    }
    CVellumMenuSection_Folder* section = PageSection(page);
    if (!section) return FALSE;
    switch (msg) {
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) {
            ForgetPage(page, section);
            DestroyWindow(page);
            return TRUE;
        }
        if (GetPropA(page, kInitializedProp)) OnCommand(page, section, LOWORD(wp), HIWORD(wp));
        return TRUE;
    case WM_TIMER:
        if (wp != kPathTimer) return FALSE;
        KillTimer(page, kPathTimer);
        PostMessageA(page, WM_COMMAND, IDC_FOLDER_DO_UPDATE, 0);
        return TRUE;
    case WM_DESTROY:
        KillTimer(page, kPathTimer);
        ForgetPage(page, section);
        RemovePropA(page, kSectionProp);
        RemovePropA(page, kInitializedProp);
        return FALSE;
    default:
        return FALSE;
    }
}

}  // namespace

INT_PTR CALLBACK FolderPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardDialogProc([&] { return HandlePageMessage(page, msg, wp, lp); });
}

HWND CVellumMenuSection_Folder::CallConfigDialogEx(HWND parent) {
    HWND& page = m_pages[kBehaviorPage];
    if (page && IsWindow(page)) return page;
    page = CreateDialogParamA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(IDD_FOLDER_PAGE), parent,
                              FolderPageProc, reinterpret_cast<LPARAM>(this));
    return page;
}
