// Page 125 of the folder section: the source (a folder by path, a special
// folder, the most-used list with its length), volatile popups and the
// shortcut overlays. Every change applies at once and marks the bar modified.
#include <windows.h>
#include <commctrl.h>

#include <memory>

#include "model/vellum_menu_object.h"
#include "shell/config_pages.h"
#include "types/folder_resources.h"
#include "types/folder_section.h"
#include "types/shortcut_item.h"
#include "util/item_id_list.h"
#include "util/text.h"

namespace {

constexpr int kBehaviorPage = 2;
constexpr UINT_PTR kPathTimer = 1;
constexpr UINT kPathDelayMs = 500;
constexpr int kCountMaximum = 200;

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

class FolderPage : public ConfigPage {
public:
    explicit FolderPage(CVellumMenuSection_Folder* section)
        : ConfigPage(PageObjectKind::kSection, section, PageSlotsOf(section), kBehaviorPage),
          section_(section) {}

private:
    void Fill() override {
        HWND combo = Control(IDC_FOLDER_SPECIAL_NAMES);
        for (int i = 0; i < kFolderSpecialNameCount; ++i)
            SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kFolderSpecialNames[i]));
        if (section_->UseRecentList) {
            CheckSource(IDC_FOLDER_RECENT);
        } else if (!section_->UsePinnedList) {
            const LRESULT found =
                section_->Folder[0] ? SendMessageA(combo, CB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                                   reinterpret_cast<LPARAM>(section_->Folder))
                                    : CB_ERR;
            if (found != CB_ERR) {
                CheckSource(IDC_FOLDER_SPECIAL);
                SendMessageA(combo, CB_SETCURSEL, found, 0);
            } else {
                CheckSource(IDC_FOLDER_NORMAL);
                SetText(IDC_FOLDER_PATH, section_->Folder);
            }
        }
        if (SendMessageA(combo, CB_GETCURSEL, 0, 0) == CB_ERR)
            SendMessageA(combo, CB_SELECTSTRING, static_cast<WPARAM>(-1),
                         reinterpret_cast<LPARAM>("QuickLaunch"));
        SendDlgItemMessageA(Window(), IDC_FOLDER_RECENT_SPIN, UDM_SETRANGE32, 0, kCountMaximum);
        if (section_->RecentItemsToList < 1) {
            Check(IDC_FOLDER_AS_MANY, true);
            SetText(IDC_FOLDER_COUNT, "1");
        } else {
            Check(IDC_FOLDER_EXACTLY, true);
            SetDlgItemInt(Window(), IDC_FOLDER_COUNT, static_cast<UINT>(section_->RecentItemsToList), TRUE);
        }
        Check(IDC_FOLDER_VOLATILE, section_->PopupVolitle != FALSE);
        Check(IDC_FOLDER_HIDE_OVERLAYS, section_->HideLinkOverlays != FALSE);
        UpdateControls();
    }

    void Apply(int id, int code) override {
        switch (id) {
        case IDC_FOLDER_NORMAL:
        case IDC_FOLDER_SPECIAL:
        case IDC_FOLDER_RECENT:
            if (code != BN_CLICKED) return;
            CheckSource(id);
            UpdateControls();
            ApplySource();
            return;
        case IDC_FOLDER_SPECIAL_NAMES:
            if (code == CBN_SELCHANGE) ApplySource();
            return;
        case IDC_FOLDER_AS_MANY:
        case IDC_FOLDER_EXACTLY:
            if (code == BN_CLICKED) ApplySource();
            return;
        case IDC_FOLDER_DO_UPDATE:
            ApplyTypedPath();
            return;
        case IDC_FOLDER_BROWSE:
            if (code == BN_CLICKED) BrowseForFolder();
            return;
        case IDC_FOLDER_VOLATILE:
            section_->PopupVolitle = Checked(IDC_FOLDER_VOLATILE);
            if (section_->m_pBar) section_->m_pBar->SetModified();
            return;
        case IDC_FOLDER_HIDE_OVERLAYS:
            SetHideOverlays(section_, Checked(IDC_FOLDER_HIDE_OVERLAYS));
            return;
        default:
            return;
        }
    }

    // The two fields apply on EN_CHANGE (the count) and on a pause or on
    // leaving (the path), not on every EN_UPDATE.
    void OnOtherNotification(int id, int code) override {
        if (id == IDC_FOLDER_COUNT && code == EN_CHANGE) {
            TakeCount();
        } else if (id == IDC_FOLDER_PATH) {
            if (code == EN_CHANGE && Checked(IDC_FOLDER_NORMAL))
                SetTimer(Window(), kPathTimer, kPathDelayMs, nullptr);
            else if (code == EN_KILLFOCUS)
                ApplyTypedPath();
        }
    }

    INT_PTR OnPageMessage(UINT msg, WPARAM wp, LPARAM) override {
        if (msg != WM_TIMER || wp != kPathTimer) return FALSE;
        KillTimer(Window(), kPathTimer);
        PostMessageA(Window(), WM_COMMAND, IDC_FOLDER_DO_UPDATE, 0);
        return TRUE;
    }

    bool KeepsLastTab() const override { return true; }

    void UpdateControls() {
        const bool normal = Checked(IDC_FOLDER_NORMAL), recent = Checked(IDC_FOLDER_RECENT);
        Enable(IDC_FOLDER_PATH, normal);
        Enable(IDC_FOLDER_BROWSE, normal);
        Enable(IDC_FOLDER_SPECIAL_NAMES, Checked(IDC_FOLDER_SPECIAL));
        for (int id : {IDC_FOLDER_AS_MANY, IDC_FOLDER_EXACTLY, IDC_FOLDER_COUNT, IDC_FOLDER_COUNT_LABEL})
            Enable(id, recent);
    }

    void CheckSource(int id) {
        for (int source : {IDC_FOLDER_NORMAL, IDC_FOLDER_SPECIAL, IDC_FOLDER_RECENT})
            Check(source, source == id);
    }

    int Count() const {
        return static_cast<int>(GetDlgItemInt(Window(), IDC_FOLDER_COUNT, nullptr, TRUE));
    }

    void TakeCount() {
        if (Count() <= 0) {
            SetText(IDC_FOLDER_COUNT, "1");   // comes back here once more
            return;
        }
        Check(IDC_FOLDER_EXACTLY, true);
        Check(IDC_FOLDER_AS_MANY, false);
        if (Checked(IDC_FOLDER_RECENT)) ApplySource();
    }

    // The name the page's folder controls stand for.
    void ChosenFolder(char* out, int size) const {
        out[0] = '\0';
        if (Checked(IDC_FOLDER_NORMAL)) {
            GetDlgItemTextA(Window(), IDC_FOLDER_PATH, out, size);
        } else {
            HWND combo = Control(IDC_FOLDER_SPECIAL_NAMES);
            const LRESULT index = SendMessageA(combo, CB_GETCURSEL, 0, 0);
            if (index >= 0 && SendMessageA(combo, CB_GETLBTEXTLEN, index, 0) < size)
                SendMessageA(combo, CB_GETLBTEXT, index, reinterpret_cast<LPARAM>(out));
        }
    }

    void ApplySource() {
        section_->ResetSource(false);
        section_->RecentItemsToList = -1;
        section_->UsePinnedList = FALSE;
        section_->UseRecentList = FALSE;
        if (Checked(IDC_FOLDER_RECENT)) {
            section_->UseRecentList = TRUE;
            if (Checked(IDC_FOLDER_EXACTLY)) {
                const int count = Count();
                section_->RecentItemsToList = count < 1 ? 1 : count;
            }
        } else {
            char name[kFolderTextSize];
            ChosenFolder(name, sizeof(name));
            tess::CopyText(section_->Folder, name);
            section_->ResetSource(true);
        }
        section_->FillFolderItems();
        CVellumMenuObject* bar = section_->m_pBar;
        if (!bar) return;
        bar->SetModified();
        const BOOL running = bar->m_edgeChangeRunning;
        bar->m_edgeChangeRunning = TRUE;
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        bar->m_edgeChangeRunning = running;
    }

    // A typed path applies once it differs from the folder shown.
    void ApplyTypedPath() {
        if (!Checked(IDC_FOLDER_NORMAL)) return;
        char path[kFolderTextSize] = "";
        GetDlgItemTextA(Window(), IDC_FOLDER_PATH, path, sizeof(path));
        if (lstrcmpiA(path, section_->Folder) == 0 && !section_->UseRecentList && !section_->UsePinnedList)
            return;
        ApplySource();
    }

    void BrowseForFolder() {
        char path[MAX_PATH] = "";
        if (BrowseForFileSystemFolder(Window(), path, sizeof(path))) SetText(IDC_FOLDER_PATH, path);
    }

    CVellumMenuSection_Folder* section_;
};

}  // namespace

HWND CVellumMenuSection_Folder::CallConfigDialogEx(HWND parent) {
    return ConfigPage::Open(std::make_unique<FolderPage>(this), GetModuleHandleA(nullptr),
                            IDD_FOLDER_PAGE, parent);
}
