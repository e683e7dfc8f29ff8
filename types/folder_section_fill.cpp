// CVellumMenuSection_Folder: the entries from the three sources (the most-
// used list, the pinned list, the folder with its personalised expander),
// drawing with the personalised background and the refill of a most-used
// list that shows as many entries as fit.
#include <cstring>
#include <memory>
#include <new>

#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "skins/bitmap_helpers.h"
#include "skins/skin_cache.h"
#include "skins/skin_painting.h"
#include "skins/skin_record.h"
#include "types/folder_section.h"
#include "types/mfu_list.h"
#include "types/shortcut_item.h"
#include "types/usage_counts.h"
#include "util/general_helpers.h"
#include "util/icon_menu.h"
#include "util/recent_list.h"
#include "util/text.h"

namespace {

constexpr const char* kEmptyTitle = "(Empty)";
constexpr const char* kExpanderTitle = "Click to show all shortcuts!";
constexpr const char* kPinnedTitleMark = "*?*?";
constexpr const char* kSettingsKey = "Software\\Vantrell\\Tessellar";
constexpr COLORREF kExpanderKeyColor = RGB(255, 0, 255);
constexpr int kSectionSkinState = 4;

bool IsHiddenEntry(CVellumMenuItem* item) {
    auto* entry = dynamic_cast<CVellumMenuItem_Shortcut*>(item);
    return entry && entry->m_hiddenByPersonalization;
}

}  // namespace

// ---- entries -----------------------------------------------------------------------------------

CVellumMenuItem_Shortcut* CVellumMenuSection_Folder::NewEntry() {
    auto* entry = new (std::nothrow) CVellumMenuItem_Shortcut(m_pBar, this);
    if (!entry) return nullptr;
    entry->m_literalTitle = TRUE;
    if (m_entryIconSize > 0) entry->IconSize = m_entryIconSize;
    entry->ShowIcon = ShowIconsByDef;
    entry->ShowText = ShowTextByDef;
    entry->PopupIconSize = m_popupIconSize;
    entry->PopupText = m_popupText ? TRUE : FALSE;
    entry->m_noOverlay = HideLinkOverlays;
    entry->m_inFolderSection = TRUE;
    entry->m_recordsRecent = UseRecentList;
    return entry;
}

bool CVellumMenuSection_Folder::AppendEntry(CVellumMenuItem_Shortcut* entry) {
    if (entry && InsertItem(-1, entry)) return true;
    delete entry;
    return false;
}

void CVellumMenuSection_Folder::AddEmptyEntry() {
    CVellumMenuItem_Shortcut* entry = NewEntry();
    if (!entry) return;
    entry->SetItemTitle(const_cast<char*>(kEmptyTitle), 0);
    entry->m_disabled = TRUE;
    AppendEntry(entry);
}

// ---- the three sources --------------------------------------------------------------------------

void CVellumMenuSection_Folder::FillFolderItems() {
    if (!m_pBar) return;
    if (UseRecentList) {
        FillFromRecentList();
        return;   // an empty list shows nothing, not "(Empty)"
    }
    if (UsePinnedList)
        FillFromPinnedList();
    else
        FillFromFolder();
    if (GetNumOfItems() > 0) {
        LoadMenuOrder();
        SortFolderItems();
    } else {
        AddEmptyEntry();
    }
}

bool CVellumMenuSection_Folder::IsBlockedByBar(const char* path) {
    // Asked of every item of the bar; the path and the flag are honoured
    // only during this call.
    char asked[kMFUPathSize];
    tess::CopyText(asked, path);
    int unblocked = 1;
    FolderCallRecord path_record(asked), flag_record(&unblocked);
    m_pBar->ProcessUserMessage(GetFolderSectionMessages().BlockCopies, reinterpret_cast<WPARAM>(asked),
                               reinterpret_cast<LPARAM>(&unblocked));
    return unblocked == 0;
}

void CVellumMenuSection_Folder::FillFromRecentList() {
    RemoveItem(-1, 1);
    ReleaseShellMenu();
    CMFUList* list = GetMFUList();
    if (!list) return;
    const int kept_min_items = MinItems;
    MinItems = 1;
    int added = 0;
    for (int index = list->GetCount() - 1; index >= 0; --index) {
        const MFUEntry* use = list->SortedAt(index);
        if (!use || use->useCount < 0) continue;   // a later entry of a path already seen
        if (!use->path[0]) break;
        char path[kMFUPathSize];
        tess::CopyText(path, use->path);
        if (!PathExists(path) || IsBlockedByBar(path)) continue;
        CVellumMenuItem_Shortcut* entry = NewEntry();
        if (!entry) break;
        entry->m_recordsRecent = TRUE;
        if (!entry->SetTarget(nullptr, path, nullptr, nullptr)) {
            delete entry;
            continue;
        }
        entry->ReplaceIcons();
        entry->RefreshIcon();
        if (!AppendEntry(entry)) break;
        ++added;
        if (RecentItemsToList < 1) {
            RecalcRectsFlexible();
            // The first entry stays: a section not laid out yet has no room at
            // all, and its size then follows from the entry it shows.
            if (added > 1 && IsRectEmpty(&entry->m_itemRect)) {
                RemoveItem(entry, 1);
                break;
            }
        } else if (added >= RecentItemsToList) {
            break;
        }
    }
    MinItems = kept_min_items;
}

void CVellumMenuSection_Folder::FillFromPinnedList() {
    RemoveItem(-1, 1);
    ReleaseShellMenu();
    std::unique_ptr<CRegistryMruList> list(OpenRecentList(kPinnedShortcuts));
    if (!list || !list->IsOpen()) return;
    // Every slot: an empty value is skipped, not the end of the list.
    const int count = list->GetMaxCount();
    for (int i = 0; i < count; ++i) {
        char text[CRegistryMruList::kSlotSize] = "";
        if (!list->GetEntry(i, text, sizeof(text)) || !text[0]) continue;
        char* title = strstr(text, kPinnedTitleMark);
        if (title) {
            *title = '\0';
            title += strlen(kPinnedTitleMark);
        }
        if (!text[0] || !text[1]) continue;
        CVellumMenuItem_Shortcut* entry = NewEntry();
        if (!entry) break;
        const char* rest = text + 1;
        const bool ok = text[0] == '1' ? entry->SetTarget(title, nullptr, nullptr, rest)
                                       : entry->SetTarget(title, rest, nullptr, nullptr);
        if (!ok) {
            delete entry;
            continue;
        }
        if (title && title[0]) entry->SetItemTitle(title, 0);
        if (!AppendEntry(entry)) break;
    }
    list->Close();
}

void CVellumMenuSection_Folder::FillFromFolder() {
    if (!m_shellMenu || !m_submenu) return;
    if (m_personalized) m_expanded = GetSmartMenusExpanded() ? TRUE : FALSE;
    int count = GetMenuItemCount(m_submenu);
    if (count > kMaxItems) count = kMaxItems;
    for (int position = 0; position < count; ++position) {
        CVellumMenuItem_Shortcut* entry = NewEntry();
        if (!entry) break;
        const int bound = entry->SetFromShellMenuItem(m_shellMenu, m_submenu, position);
        if (bound == 0) {
            delete entry;
            break;
        }
        if (bound < 0) {
            delete entry;
            continue;
        }
        if (!AppendEntry(entry)) break;
    }
    if (!m_personalized) return;
    const FolderSectionMessages& m = GetFolderSectionMessages();
    auto evaluate = [&](WPARAM wp) {
        for (int i = 0; i < kMaxItems && m_items[i]; ++i) m_items[i]->ProcessUserMessage(m.UpdatePersonalized, wp, 0);
    };
    evaluate(1);
    int shown = 0, hidden = 0;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) (IsHiddenEntry(m_items[i]) ? hidden : shown)++;
    if (hidden > 0 && shown == 0 && m_topLevelPrograms) {
        // Nothing left to show: the smart-menus period starts anew, and the
        // entries are judged again against it (an entry judges itself only
        // when first asked, so they are made afresh).
        SYSTEMTIME local;
        GetLocalTime(&local);
        FILETIME now;
        SystemTimeToFileTime(&local, &now);
        SetSmartMenusStartTime(&now);
        HKEY key = nullptr;
        if (RegCreateKeyExA(HKEY_CURRENT_USER, kSettingsKey, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                            nullptr) == ERROR_SUCCESS) {
            RegSetValueExA(key, "OriginalSmartMenuTime", 0, REG_BINARY, reinterpret_cast<const BYTE*>(&now),
                           sizeof(now));
            RegCloseKey(key);
        }
        evaluate(0);
        RemoveItem(-1, 1);
        m_topLevelPrograms = FALSE;   // once: the new period decides
        FillFromFolder();
        m_topLevelPrograms = TRUE;
        return;
    }
    if (hidden > 0) AppendExpander();
}

void CVellumMenuSection_Folder::AppendExpander() {
    CVellumMenuItem_Shortcut* entry = NewEntry();
    if (!entry) return;
    entry->SetItemTitle(const_cast<char*>(kExpanderTitle), 0);
    entry->DisplayAsBitmap = TRUE;
    entry->UseTransparency = TRUE;
    entry->ShowSkinBehindBitmap = TRUE;
    SkinRecord* skin = m_pBar ? m_pBar->m_skin : nullptr;
    HBITMAP source = skin && skin->menu_expander ? skin->menu_expander.get() : nullptr;
    HBITMAP loaded = nullptr;
    if (!source && m_pBar) {
        loaded = static_cast<HBITMAP>(LoadImageA(m_pBar->m_hModule, MAKEINTRESOURCEA(kExpanderBitmapId),
                                                 IMAGE_BITMAP, 0, 0, LR_CREATEDIBSECTION));
        source = loaded;
    }
    if (source) {
        HBITMAP mask = CreateBitmapMask(source, kExpanderKeyColor, true);
        entry->SetBitmap(source, mask, 0, 0, 0);
        entry->m_bitmapKeyColor = kExpanderKeyColor;
        if (mask) DeleteObject(mask);
    }
    if (loaded) DeleteObject(loaded);
    entry->m_expander = TRUE;
    AppendEntry(entry);
}

// ---- drawing ---------------------------------------------------------------------------------------

void CVellumMenuSection_Folder::RefillAutoSized() {
    FillFolderItems();
    RecalcRectsFlexible();
}

void CVellumMenuSection_Folder::Draw(HDC dc, int drawItems, int wholeRun) {
    if (IsAutoSizedRecentList()) {
        const SIZE size = {m_outerRect.right - m_outerRect.left, m_outerRect.bottom - m_outerRect.top};
        if (size.cx != m_lastSize.cx || size.cy != m_lastSize.cy) {
            m_lastSize = size;
            RefillAutoSized();
        }
    }
    SkinRecord* skin = m_skinSlot ? *m_skinSlot : nullptr;
    if (!m_personalized || !m_expanded || IsHidden || !skin || !dc) {
        CVellumMenuSection::Draw(dc, drawItems, wholeRun);
        return;
    }
    DrawPersonalizedBackground(dc);
    if (drawItems) {
        const int first = m_firstShownItem < 0 ? 0 : m_firstShownItem;
        for (int i = first; i < kMaxItems && m_items[i]; ++i) m_items[i]->Draw(dc);
    }
    CVellumMenuItem* arrows[3] = {m_leftArrow, m_rightArrow, m_downArrow};
    for (CVellumMenuItem* arrow : arrows)
        if (arrow) arrow->Draw(dc);
}

// One background per run of neighbours alike in being rarely used; the
// rarely used runs take the next section style.
void CVellumMenuSection_Folder::DrawPersonalizedBackground(HDC dc) {
    SkinRecord* skin = *m_skinSlot;
    const int count = GetNumOfItems();
    int start = 0;
    while (start < count) {
        auto* first = dynamic_cast<CVellumMenuItem_Shortcut*>(m_items[start]);
        const BOOL rare = first && first->m_rarelyUsed;
        int end = start;
        while (end + 1 < count) {
            auto* next = dynamic_cast<CVellumMenuItem_Shortcut*>(m_items[end + 1]);
            if ((next && next->m_rarelyUsed) != (rare != FALSE)) break;
            ++end;
        }
        RECT run = {m_outerRect.left, m_items[start]->m_itemRect.top, m_outerRect.right,
                    m_items[end]->m_itemRect.bottom};
        if (!IsRectEmpty(&run)) {
            const int style = iSectionSkin + (rare ? 1 : 0);
            DrawSkinNineGrid(skin, dc, &run, GetSkinStateIndex(skin, kSectionSkinState, style), 0);
        }
        start = end + 1;
    }
}
