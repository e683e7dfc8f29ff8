// An item's Display page: its title, how it shows (text, icon, bitmap or
// separator, each with a template of its own), its icons and state bitmaps.
// Every change goes into the item at once and marks the bar modified.
#include <windows.h>
#include <commctrl.h>
#include <string>
#include "model/item_host_calls.h"
#include "model/item_messages.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/item_pages.h"
#include "shell/item_pages_resources.h"
#include "shell/icon_dialogs.h"
#include "shell/icon_import.h"
#include "shell/theme_editor.h"
#include "skins/skin_record.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

constexpr char kIconIndexProperty[] = "IconIndex";
constexpr int kExpandedPathSize = 270;

enum DisplayMode : int { kTextOnly = 0, kIconOnly, kTextAndIcon, kBitmap, kSeparator };
const char* const kModeNames[] = {"Text Only", "Icon Only", "Text and Icon", "Bitmap", "Separator"};

const struct {
    const char* name;
    int value;
} kTextAligns[] = {{"Default", -1}, {"Left", 0}, {"Centered", 2}, {"Right", 1}};

const struct {
    const char* name;
    int size;   // 0: ask for a custom size
} kIconSizes[] = {{"16x16", 16}, {"32x32", 32}, {"48x48", 48}, {"64x64", 64}, {"Custom size...", 0}};

// The standard rows of the state list; custom states follow.
const struct {
    const char* name;
    int which;   // SetBitmapPath's number
} kStandardStates[] = {{"Default", 1}, {"Mouseover", 2}, {"Selected", 3}};

int ModeOf(const CVellumMenuItem* item) {
    if (item->DisplayAsBitmap) return kBitmap;
    if (item->Separator) return kSeparator;
    if (item->ShowText && item->ShowIcon) return kTextAndIcon;
    if (item->ShowIcon) return kIconOnly;
    return kTextOnly;
}

class DisplayPage : public ConfigPage {
public:
    explicit DisplayPage(CVellumMenuItem* item)
        : ConfigPage(PageObjectKind::kItem, item, PageSlotsOf(item), kItemDisplayPage), item_(item) {}

protected:
    bool KeepsLastTab() const override { return true; }

    void Fill() override {
        SetText(IDC_DISPLAY_TITLE, item_->m_title);
        Check(IDC_DISPLAY_ACTIVE_TEXT, item_->UseActiveText);
        for (const char* name : kModeNames) AddComboRow(IDC_DISPLAY_MODE, name, 0);
        SelectCombo(IDC_DISPLAY_MODE, ModeOf(item_));
        FillHiddenRadios();
        FillTextAlign();
        FillIcons();
        Check(IDC_DISPLAY_ANCHOR, item_->IsSectionAnchor);
        Enable(IDC_DISPLAY_ANCHOR, item_->Separator != 0);
        FillBitmapControls();
    }

    void Apply(int id, int code) override {
        switch (id) {
        case IDC_DISPLAY_TITLE:
            ApplyTitle();
            break;
        case IDC_DISPLAY_ACTIVE_TEXT:
            item_->UseActiveText = Checked(id);
            MarkItemBarModified(item_);
            RelayoutItemBar(item_);
            break;
        case IDC_DISPLAY_MODE:
            ApplyDisplayMode();
            break;
        case IDC_DISPLAY_TEXT_ALIGN:
            ApplyTextAlign();
            break;
        case IDC_DISPLAY_ICON_SIZE:
            ApplyIconSize();
            break;
        case IDC_DISPLAY_ANCHOR:
            item_->IsSectionAnchor = Checked(id);
            MarkItemBarModified(item_);
            break;
        case IDC_DISPLAY_BITMAP_ALIGN:
            ApplyBitmapAlign();
            break;
        case IDC_DISPLAY_RELATIVE:
            ApplyPathRelativity();
            break;
        case IDC_DISPLAY_BROWSE1:
        case IDC_DISPLAY_BROWSE2:
            BrowseIcon(id == IDC_DISPLAY_BROWSE1 ? 1 : 2);
            break;
        case IDC_DISPLAY_RADIO_SEPARATOR:
        case IDC_DISPLAY_RADIO_TEXT:
        case IDC_DISPLAY_RADIO_ICON:
        case IDC_DISPLAY_RADIO_BITMAP:
            KeepOneModeRadio(id);
            CommonDisplayUpdate();
            break;
        case IDC_DISPLAY_LOAD_FROM_FILE:
        case IDC_DISPLAY_ACTIVE_ICON:
        case IDC_DISPLAY_TEXT_WITH_ICON:
        case IDC_DISPLAY_TRANSPARENCY:
        case IDC_DISPLAY_SKIN_BEHIND:
            CommonDisplayUpdate();
            break;
        default:
            break;
        }
    }

    INT_PTR OnPageMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        switch (msg) {
        case WM_CLOSE:
            // A rebuild has put the new page in the slot already.
            ::DestroyWindow(Window());
            return TRUE;
        case WM_SHOWWINDOW:
            if (wp) FillStateList();
            return FALSE;
        case WM_NOTIFY:
            return OnNotify(reinterpret_cast<NMHDR*>(lp));
        default:
            return FALSE;
        }
    }

private:
    // ---- filling ------------------------------------------------------------------------------
    void FillHiddenRadios() {
        const bool text_only = item_->ShowText && !item_->ShowIcon && !item_->DisplayAsBitmap && !item_->Separator;
        Check(IDC_DISPLAY_RADIO_TEXT, text_only);
        Check(IDC_DISPLAY_RADIO_ICON, item_->ShowIcon && !item_->DisplayAsBitmap && !item_->Separator);
        Check(IDC_DISPLAY_RADIO_BITMAP, item_->DisplayAsBitmap != 0);
        Check(IDC_DISPLAY_RADIO_SEPARATOR, item_->Separator != 0);
        Check(IDC_DISPLAY_TEXT_WITH_ICON, item_->ShowIcon && item_->ShowText);
    }

    void FillTextAlign() {
        if (!Control(IDC_DISPLAY_TEXT_ALIGN)) return;
        int selected = 0;
        for (const auto& a : kTextAligns) {
            int row = AddComboRow(IDC_DISPLAY_TEXT_ALIGN, a.name, a.value);
            if (a.value == item_->TextOnlyAlign) selected = row;
        }
        SelectCombo(IDC_DISPLAY_TEXT_ALIGN, selected);
    }

    void FillIcons() {
        if (!Control(IDC_DISPLAY_ICON1)) return;
        const bool has_path = item_->Icon && item_->Icon[0];
        Check(IDC_DISPLAY_LOAD_FROM_FILE, item_->ShowIcon && has_path);
        ShowIconPath(IDC_DISPLAY_ICON1, item_->Icon, item_->IconIndex);
        ShowIconPath(IDC_DISPLAY_ICON2, item_->Icon2, item_->IconIndex2);
        Check(IDC_DISPLAY_ACTIVE_ICON, item_->UseActiveIcon);
        int selected = static_cast<int>(sizeof(kIconSizes) / sizeof(kIconSizes[0])) - 1;
        for (int i = 0; i < static_cast<int>(sizeof(kIconSizes) / sizeof(kIconSizes[0])); ++i) {
            AddComboRow(IDC_DISPLAY_ICON_SIZE, kIconSizes[i].name, kIconSizes[i].size);
            if (kIconSizes[i].size && kIconSizes[i].size == item_->IconSize) selected = i;
        }
        SelectCombo(IDC_DISPLAY_ICON_SIZE, selected);
    }

    void ShowIconPath(int id, const char* path, int index) {
        SetText(id, path);
        ::SetPropA(Control(id), kIconIndexProperty, reinterpret_cast<HANDLE>(static_cast<INT_PTR>(index)));
    }

    int IconIndexOf(int id) const {
        return static_cast<int>(reinterpret_cast<INT_PTR>(::GetPropA(Control(id), kIconIndexProperty)));
    }

    void FillBitmapControls() {
        if (!Control(IDC_DISPLAY_STATES)) return;
        HWND list = Control(IDC_DISPLAY_STATES);
        ListView_SetExtendedListViewStyle(list, LVS_EX_FULLROWSELECT);
        const struct {
            const char* title;
            int width;
        } columns[] = {{"State", 140}, {"Bitmap Path", 170}};
        for (int i = 0; i < 2; ++i) {
            LVCOLUMNA column = {};
            column.mask = LVCF_TEXT | LVCF_WIDTH | LVCF_SUBITEM;
            column.pszText = const_cast<char*>(columns[i].title);
            column.cx = columns[i].width;
            column.iSubItem = i;
            ::SendMessageA(list, LVM_INSERTCOLUMNA, static_cast<WPARAM>(i), reinterpret_cast<LPARAM>(&column));
        }
        FillStateList();
        Check(IDC_DISPLAY_TRANSPARENCY, item_->UseTransparency);
        Check(IDC_DISPLAY_SKIN_BEHIND, item_->ShowSkinBehindBitmap);
        Check(IDC_DISPLAY_RELATIVE, item_->PathRelativeToSkin);
        const bool vertical = item_->m_pBar && item_->m_pBar->DisplayVertically;
        const char* const horizontal_names[] = {"Top", "Center", "Bottom"};
        const char* const vertical_names[] = {"Left", "Center", "Right"};
        for (int i = 0; i < 3; ++i)
            AddComboRow(IDC_DISPLAY_BITMAP_ALIGN, vertical ? vertical_names[i] : horizontal_names[i], i);
        SelectCombo(IDC_DISPLAY_BITMAP_ALIGN, item_->BitmapAlign >= 0 && item_->BitmapAlign <= 2 ? item_->BitmapAlign : 1);
    }

    void AddStateRow(const char* name, const char* path) {
        HWND list = Control(IDC_DISPLAY_STATES);
        LVITEMA row = {};
        row.mask = LVIF_TEXT;
        row.iItem = static_cast<int>(::SendMessageA(list, LVM_GETITEMCOUNT, 0, 0));
        row.pszText = const_cast<char*>(name);
        const int index = static_cast<int>(::SendMessageA(list, LVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&row)));
        if (index < 0) return;
        LVITEMA sub = {};
        sub.iSubItem = 1;
        sub.pszText = const_cast<char*>(path ? path : "");
        ::SendMessageA(list, LVM_SETITEMTEXTA, static_cast<WPARAM>(index), reinterpret_cast<LPARAM>(&sub));
    }

    void FillStateList() {
        HWND list = Control(IDC_DISPLAY_STATES);
        if (!list) return;
        ::SendMessageA(list, LVM_DELETEALLITEMS, 0, 0);
        if (!item_->PreventEditExtraStates()) {
            AddStateRow(kStandardStates[0].name, item_->NormalBitmap);
            AddStateRow(kStandardStates[1].name, item_->MouseoverBitmap);
            AddStateRow(kStandardStates[2].name, item_->SelectedBitmap);
        }
        for (int i = 0; i < item_->m_customStates.count; ++i)
            AddStateRow(item_->m_customStates.names[i], item_->m_customStates.paths[i]);
    }

    // ---- changes -----------------------------------------------------------------------------------
    void ApplyTitle() {
        std::string text = Text(IDC_DISPLAY_TITLE);
        const char* stored = item_->m_title ? item_->m_title : "";
        if (lstrcmpiA(text.c_str(), stored) == 0) return;
        MarkItemBarModified(item_);
        item_->SetItemTitle(&text[0], 0);
        HWND host = ::GetParent(Window());
        if (host) ::PostMessageA(host, WM_COMMAND, 3, 0);
        RelayoutItemBar(item_);
        if (host && ::IsWindowVisible(host)) ::SetForegroundWindow(::GetAncestor(host, GA_ROOT));
    }

    void ApplyDisplayMode() {
        const int mode = ComboSelection(IDC_DISPLAY_MODE);
        if (mode < 0) return;
        item_->ShowText = item_->ShowIcon = item_->DisplayAsBitmap = item_->Separator = 0;
        switch (mode) {
        case kTextOnly:
            item_->ShowText = 1;
            break;
        case kIconOnly:
            item_->ShowIcon = 1;
            break;
        case kTextAndIcon:
            item_->ShowText = item_->ShowIcon = 1;
            break;
        case kBitmap:
            item_->DisplayAsBitmap = 1;
            break;
        default:
            item_->Separator = 1;
            break;
        }
        item_->RefreshBitmaps();
        item_->RefreshIcon();
        MarkItemBarModified(item_);
        item_->RefreshVisiblePropPage(1);
        RelayoutItemBar(item_);
    }

    void ApplyTextAlign() {
        const int row = ComboSelection(IDC_DISPLAY_TEXT_ALIGN);
        if (row < 0) return;
        const int value = static_cast<int>(ComboData(IDC_DISPLAY_TEXT_ALIGN, row));
        if (value == item_->TextOnlyAlign) return;
        item_->TextOnlyAlign = value;
        MarkItemBarModified(item_);
        RelayoutItemBar(item_);
    }

    void ApplyIconSize() {
        const int row = ComboSelection(IDC_DISPLAY_ICON_SIZE);
        if (row < 0) return;
        int size = static_cast<int>(ComboData(IDC_DISPLAY_ICON_SIZE, row));
        if (size == 0) {
            const ItemHostCalls& host = GetItemHostCalls();
            size = host.AskCustomIconSize ? host.AskCustomIconSize(Window(), 0) : 0;
        }
        if (size <= 0 || size == item_->IconSize) return;
        item_->IconSize = size;
        item_->RefreshIcon();
        MarkItemBarModified(item_);
        CVellumMenuObject* bar = item_->m_pBar;
        if (!bar) return;
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        bar->UpdatePos();
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }

    void ApplyBitmapAlign() {
        const int value = ComboSelection(IDC_DISPLAY_BITMAP_ALIGN);
        if (value < 0 || value == item_->BitmapAlign) return;
        item_->BitmapAlign = value;
        item_->RedrawItem(1);
        MarkItemBarModified(item_);
    }

    void ApplyPathRelativity() {
        const BOOL relative = Checked(IDC_DISPLAY_RELATIVE);
        if (relative == item_->PathRelativeToSkin) return;
        item_->PathRelativeToSkin = relative;
        char* const paths[] = {item_->NormalBitmap, item_->MouseoverBitmap, item_->SelectedBitmap};
        for (int which = 1; which <= 3; ++which) {
            char path[MAX_PATH] = "";
            tess::CopyText(path, paths[which - 1] ? paths[which - 1] : "");
            item_->UpdateImagePath(path, 1);
            item_->SetBitmapPath(which, path);
        }
        item_->ProcessUserMessage(GetItemMessages().ImageRelativityChanging, 0, 0);
        MarkItemBarModified(item_);
        CommonDisplayUpdate();
    }

    // The mode radios are hidden, so the dialog manager does not keep them
    // exclusive: a checked one clears the others here.
    void KeepOneModeRadio(int id) {
        if (!Checked(id)) return;
        for (int radio : {IDC_DISPLAY_RADIO_TEXT, IDC_DISPLAY_RADIO_ICON, IDC_DISPLAY_RADIO_BITMAP,
                          IDC_DISPLAY_RADIO_SEPARATOR})
            if (radio != id) Check(radio, false);
    }

    void CommonDisplayUpdate() {
        item_->Separator = Checked(IDC_DISPLAY_RADIO_SEPARATOR);
        Enable(IDC_DISPLAY_ANCHOR, item_->Separator != 0);
        if (Checked(IDC_DISPLAY_RADIO_TEXT)) item_->ShowText = 1;
        if (Checked(IDC_DISPLAY_RADIO_ICON)) {
            UpdateIconMode();
        } else {
            item_->ShowIcon = 0;
        }
        if (Checked(IDC_DISPLAY_RADIO_BITMAP)) {
            item_->DisplayAsBitmap = 1;
            item_->UseTransparency = Checked(IDC_DISPLAY_TRANSPARENCY);
            item_->ShowSkinBehindBitmap = Checked(IDC_DISPLAY_SKIN_BEHIND);
            item_->RefreshBitmaps();
            item_->EditCustomState(nullptr, nullptr);
        } else {
            item_->DisplayAsBitmap = 0;
            item_->FreeBitmaps();
        }
        MarkItemBarModified(item_);
        RelayoutItemBar(item_);
        RelayoutItemBar(item_);
    }

    void UpdateIconMode() {
        item_->ShowText = Checked(IDC_DISPLAY_TEXT_WITH_ICON);
        if (Checked(IDC_DISPLAY_LOAD_FROM_FILE)) {
            for (int which : {1, 2}) {
                const int id = which == 1 ? IDC_DISPLAY_ICON1 : IDC_DISPLAY_ICON2;
                char path[MAX_PATH] = "";
                tess::CopyText(path, Text(id).c_str());
                item_->SetIconPath(which, path);
                (which == 1 ? item_->IconIndex : item_->IconIndex2) = IconIndexOf(id);
            }
            item_->RefreshIcon();
            // Nothing to show from the file yet: the browser opens at once.
            if (!item_->m_icon1)
                ::PostMessageA(Window(), WM_COMMAND, MAKEWPARAM(IDC_DISPLAY_BROWSE1, BN_CLICKED),
                               reinterpret_cast<LPARAM>(Control(IDC_DISPLAY_BROWSE1)));
        } else if (Control(IDC_DISPLAY_LOAD_FROM_FILE)) {
            item_->SetIconPath(1, nullptr);
            item_->SetIconPath(2, nullptr);
            item_->RefreshIcon();
        }
        if (Control(IDC_DISPLAY_ACTIVE_ICON)) item_->UseActiveIcon = Checked(IDC_DISPLAY_ACTIVE_ICON);
        item_->ShowIcon = 1;
    }

    // ---- icon browsing --------------------------------------------------------------------------
    void BrowseIcon(int which) {
        const int field = which == 1 ? IDC_DISPLAY_ICON1 : IDC_DISPLAY_ICON2;
        char path[MAX_PATH] = "";
        tess::CopyText(path, Text(field).c_str());
        int index = IconIndexOf(field);
        const bool browse_first = path[0] == '\0';
        if (browse_first) {
            index = 0;
            ThemeBrowseFolder("Bars\\Icons\\", path, sizeof(path));
        }
        HWND owner = GetThemeEditorWindow();
        if (!ShowChangeIconDialog(path, &index, browse_first ? 1 : 0, owner ? owner : Window())) return;
        char expanded[kExpandedPathSize] = "";
        DWORD length = ::ExpandEnvironmentStringsA(path, expanded, sizeof(expanded));
        if (length > 0 && length <= sizeof(expanded)) tess::CopyText(path, expanded);
        ImportIconIntoTheme(path, &index);
        ShowIconPath(field, path, index);
        if (which == 1) Check(IDC_DISPLAY_LOAD_FROM_FILE, true);
        MarkItemBarModified(item_);
        CommonDisplayUpdate();
    }

    // ---- state bitmaps ------------------------------------------------------------------------------
    INT_PTR OnNotify(NMHDR* header) {
        if (!header || header->idFrom != IDC_DISPLAY_STATES || header->code != NM_DBLCLK) return FALSE;
        const int row = reinterpret_cast<NMITEMACTIVATE*>(header)->iItem;
        if (row >= 0) ChooseStateBitmap(row);
        return TRUE;
    }

    void StartFolderForBitmaps(char* folder, size_t size) {
        SkinRecord* skin = item_->m_pBar ? item_->m_pBar->m_skin : nullptr;
        if (item_->PathRelativeToSkin && skin) {
            if (tess::FormatText(folder, size, "%sBitmaps\\", skin->folder) && PathExists(folder)) return;
            tess::CopyText(folder, size, skin->folder);
            return;
        }
        ThemeBrowseFolder("Bars\\Bitmaps\\", folder, size);
    }

    void ChooseStateBitmap(int row) {
        const bool standard = !item_->PreventEditExtraStates();
        const int custom = standard ? row - 3 : row;
        const char* name = nullptr;
        if (standard && row < 3)
            name = kStandardStates[row].name;
        else if (custom >= 0 && custom < item_->m_customStates.count)
            name = item_->m_customStates.names[custom];
        if (!name) return;
        char folder[MAX_PATH] = "";
        StartFolderForBitmaps(folder, sizeof(folder));
        char title[128] = "";
        tess::FormatText(title, sizeof(title), "Select a bitmap for the '%s' state.", name);
        char path[MAX_PATH] = "";
        if (!ShowOpenFileDialog(Window(), path, title, "Bitmap Files (*.bmp)\0*.bmp\0", folder, true)) return;
        ImportBitmapIntoTheme(path, item_->PathRelativeToSkin, item_->m_pBar ? item_->m_pBar->m_skin : nullptr);
        MarkItemBarModified(item_);
        item_->UpdateImagePath(path, 0);
        if (standard && row < 3) {
            item_->SetBitmapPath(kStandardStates[row].which, path);
            item_->RefreshBitmaps();
        } else {
            std::string state = name;
            item_->EditCustomState(&state[0], path);
        }
        FillStateList();
        MarkItemBarModified(item_);
        RelayoutItemBar(item_);
    }

    CVellumMenuItem* item_;
};

}  // namespace

std::unique_ptr<ConfigPage> NewDisplayPage(CVellumMenuItem* item) { return std::make_unique<DisplayPage>(item); }
