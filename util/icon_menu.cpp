// CIconMenu (owner-drawn icons, sorting, entry data) and CWindowListMenu.
#include "util/icon_menu.h"

#include <cstddef>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

#include "util/callback_guard.h"
#include "util/text.h"

namespace {

constexpr int kIconSize = 16;
constexpr int kIconLeft = 6;
constexpr int kEntryHeight = 17;
constexpr int kTitleChars = 260;    // window titles: 259 characters and the terminator

}  // namespace

int GetMenuVersionClass() {
    OSVERSIONINFOA info{};
    info.dwOSVersionInfoSize = sizeof(info);
    if (!GetVersionExA(&info)) return 3;
    if (info.dwPlatformId == VER_PLATFORM_WIN32_WINDOWS) return info.dwMinorVersion != 0 ? 1 : 0;
    return info.dwMajorVersion >= 5 ? 3 : 2;
}

LRESULT SendMessageTimeoutResult(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, UINT flags,
                                 UINT timeout_ms) {
    DWORD_PTR result = 0;
    if (!SendMessageTimeoutA(wnd, msg, wp, lp, flags, timeout_ms, &result)) return 0;
    return static_cast<LRESULT>(result);
}

// ---- CIconMenu ---------------------------------------------------------------------------

CIconMenu::CIconMenu() : CIconMenu(1) {}

CIconMenu::CIconMenu(int first_command_id)
    : version_class_(GetMenuVersionClass()), first_id_(first_command_id),
      menu_(CreatePopupMenu()) {}

CIconMenu::~CIconMenu() {
    DetachFromWindow();
    FreeMenu(menu_);
    menu_ = nullptr;
}

int CIconMenu::AddRef() { return ++refs_; }

int CIconMenu::Release() {
    if (--refs_ > 0) return refs_;
    delete this;
    return 0;
}

int CIconMenu::AttachToWindow(HWND wnd) {
    if (!wnd) return 0;
    DetachFromWindow();
    SetPropA(wnd, kMenuProperty, this);
    LONG_PTR old = SetWindowLongPtrA(wnd, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(IconMenuWndProc));
    if (!old) {
        RemovePropA(wnd, kMenuProperty);
        return 0;
    }
    SetPropA(wnd, kProcProperty, reinterpret_cast<HANDLE>(old));
    owner_ = wnd;
    return 1;
}

int CIconMenu::DetachFromWindow() {
    if (!owner_) return 0;
    if (IsWindow(owner_)) {
        HANDLE saved = GetPropA(owner_, kProcProperty);
        if (saved) SetWindowLongPtrA(owner_, GWLP_WNDPROC, reinterpret_cast<LONG_PTR>(saved));
        RemovePropA(owner_, kProcProperty);
        RemovePropA(owner_, kMenuProperty);
    }
    owner_ = nullptr;
    return 1;
}

LRESULT CALLBACK CIconMenu::IconMenuWndProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    auto* menu = static_cast<CIconMenu*>(GetPropA(wnd, kMenuProperty));
    WNDPROC saved = reinterpret_cast<WNDPROC>(GetPropA(wnd, kProcProperty));
    return tess::GuardSubclassProc(saved, wnd, msg, wp, lp, [&]() -> LRESULT {
        if (menu) {
            // Only menu entries that carry our data; owner-drawn controls of
            // the window keep going to its own procedure.
            if (msg == WM_DRAWITEM) {
                auto* draw = reinterpret_cast<DRAWITEMSTRUCT*>(lp);
                if (draw && draw->CtlType == ODT_MENU && draw->itemData) return menu->DrawItem(draw);
            } else if (msg == WM_MEASUREITEM) {
                auto* measure = reinterpret_cast<MEASUREITEMSTRUCT*>(lp);
                if (measure && measure->CtlType == ODT_MENU && measure->itemData)
                    return menu->MeasureItem(measure);
            } else if (msg == WM_NCDESTROY) {
                // The window goes first: give its procedure back and forget it,
                // so the menu never touches a dead handle.
                menu->DetachFromWindow();
            }
        }
        if (saved) return CallWindowProcA(saved, wnd, msg, wp, lp);
        return DefWindowProcA(wnd, msg, wp, lp);
    });
}

void CIconMenu::SetCallbacks(IconFetchCallback fetch, ItemDataFreeCallback free_data,
                             MenuSortCompare compare) {
    if (fetch) fetch_ = fetch;
    if (free_data) free_ = free_data;
    if (compare) compare_ = compare;
}

// Systems without callback bitmaps know only the record without hbmpItem.
UINT CIconMenu::MenuItemInfoSize() const {
    return UsesCallbackBitmaps() ? sizeof(MENUITEMINFOA) : offsetof(MENUITEMINFOA, hbmpItem);
}

int CIconMenu::AppendItem(const char* text, const IconMenuItemData* item_template) {
    return AppendItemToMenu(menu_, text, item_template);
}

int CIconMenu::AppendItemToMenu(HMENU menu, const char* text, const IconMenuItemData* item_template) {
    if (!menu) return 0;
    UINT id = static_cast<UINT>(first_id_ + counter_);
    ++counter_;
    if (!AppendMenuA(menu, MF_STRING, id, text ? text : "")) return 0;
    auto* data = new IconMenuItemData{-1, nullptr, 0, nullptr};
    if (item_template) *data = *item_template;
    MENUITEMINFOA info{};
    info.cbSize = MenuItemInfoSize();
    info.fMask = MIIM_DATA;
    info.dwItemData = reinterpret_cast<ULONG_PTR>(data);
    if (UsesCallbackBitmaps()) {
        info.fMask |= MIIM_BITMAP;
        info.hbmpItem = HBMMENU_CALLBACK;
    }
    if (!SetMenuItemInfoA(menu, id, FALSE, &info)) {
        DeleteMenu(menu, id, MF_BYCOMMAND);
        if (data->icon) DestroyIcon(data->icon);
        delete data;
        return 0;
    }
    if (data->has_submenu) {
        MENUITEMINFOA sub{};
        sub.cbSize = MenuItemInfoSize();
        sub.fMask = MIIM_SUBMENU;
        sub.hSubMenu = CreatePopupMenu();
        if (!sub.hSubMenu || !SetMenuItemInfoA(menu, id, FALSE, &sub)) {
            if (sub.hSubMenu) DestroyMenu(sub.hSubMenu);
            data->has_submenu = 0;
        }
    }
    return 1;
}

void CIconMenu::Reset() {
    FreeMenu(menu_);
    menu_ = CreatePopupMenu();
    counter_ = 0;
}

void CIconMenu::FreeEntries(HMENU menu) {
    int count = GetMenuItemCount(menu);
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = MenuItemInfoSize();
        info.fMask = MIIM_DATA | MIIM_SUBMENU;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
        if (info.hSubMenu) FreeEntries(info.hSubMenu);
        auto* data = reinterpret_cast<IconMenuItemData*>(info.dwItemData);
        if (!data) continue;
        MENUITEMINFOA clear{};
        clear.cbSize = MenuItemInfoSize();
        clear.fMask = MIIM_DATA;
        SetMenuItemInfoA(menu, i, TRUE, &clear);
        if (data->icon) DestroyIcon(data->icon);
        data->icon = nullptr;
        if (free_) free_(this, data);
        delete data;
    }
}

void CIconMenu::FreeMenu(HMENU menu) {
    if (!menu || !IsMenu(menu)) return;
    FreeEntries(menu);
    DestroyMenu(menu);
}

IconMenuItemData* CIconMenu::FindItemData(HMENU menu, UINT_PTR key, bool by_position, bool by_submenu) {
    if (!menu) menu = menu_;
    int count = GetMenuItemCount(menu);
    if (by_position && !by_submenu) {
        MENUITEMINFOA info{};
        info.cbSize = MenuItemInfoSize();
        info.fMask = MIIM_DATA;
        if (!GetMenuItemInfoA(menu, static_cast<UINT>(key), TRUE, &info)) return nullptr;
        return reinterpret_cast<IconMenuItemData*>(info.dwItemData);
    }
    for (int i = 0; i < count; ++i) {
        MENUITEMINFOA info{};
        info.cbSize = MenuItemInfoSize();
        info.fMask = MIIM_DATA | MIIM_SUBMENU | MIIM_ID;
        if (!GetMenuItemInfoA(menu, i, TRUE, &info)) continue;
        bool match = by_submenu ? info.hSubMenu && reinterpret_cast<UINT_PTR>(info.hSubMenu) == key
                                : info.wID == key;
        if (match) return reinterpret_cast<IconMenuItemData*>(info.dwItemData);
        if (info.hSubMenu)
            if (IconMenuItemData* found = FindItemData(info.hSubMenu, key, false, by_submenu))
                return found;
    }
    return nullptr;
}

HIMAGELIST CIconMenu::GetSystemImageList() {
    if (!system_images_) {
        SHFILEINFOA info{};
        system_images_ = reinterpret_cast<HIMAGELIST>(SHGetFileInfoA(
            "c:\\", 0, &info, sizeof(info), SHGFI_SYSICONINDEX | SHGFI_SMALLICON | SHGFI_SHELLICONSIZE));
    }
    return system_images_;
}

int CIconMenu::DrawItem(DRAWITEMSTRUCT* draw) {
    auto* data = reinterpret_cast<IconMenuItemData*>(draw->itemData);
    if (!data) return 0;
    if (data->image_index < 0 && !data->icon && fetch_) fetch_(this, data);
    int top = draw->rcItem.top;
    if (data->image_index >= 0) {
        if (HIMAGELIST images = GetSystemImageList())
            ImageList_Draw(images, data->image_index, draw->hDC, kIconLeft, top, ILD_TRANSPARENT);
    } else if (data->icon) {
        DrawIconEx(draw->hDC, kIconLeft, top, data->icon, kIconSize, kIconSize, 0, nullptr, DI_NORMAL);
    }
    return 1;
}

int CIconMenu::MeasureItem(MEASUREITEMSTRUCT* measure) {
    measure->itemHeight = kEntryHeight;
    measure->itemWidth = version_class_ >= 2 ? 12 : 7;
    return 1;
}

int CIconMenu::SortItems(HMENU menu, int after, int last) {
    if (!compare_) return 0;
    if (!menu) menu = menu_;
    int count = GetMenuItemCount(menu);
    if (count <= 0) return 0;
    if (after < -1) after = -1;
    if (last < 0 || last > count - 1) last = count - 1;
    if (last - after <= 1) return 0;

    struct Saved {
        std::string text;
        UINT state;
        UINT type;
        HMENU submenu;
    };
    std::vector<MenuSortEntry> entries;
    std::vector<Saved> saved;   // by the entry's index before sorting
    for (int pos = after + 1; pos <= last; ++pos) {
        char text[1024] = "";
        GetMenuStringA(menu, pos, text, sizeof(text), MF_BYPOSITION);
        MENUITEMINFOA info{};
        info.cbSize = MenuItemInfoSize();
        info.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STATE | MIIM_TYPE;
        if (UsesCallbackBitmaps()) info.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE | MIIM_BITMAP;
        if (!GetMenuItemInfoA(menu, pos, TRUE, &info)) return 0;
        MenuSortEntry e{};
        tess::CopyText(e.text, text);
        e.id = info.wID;
        e.has_submenu = info.hSubMenu ? 1 : 0;
        e.data = reinterpret_cast<IconMenuItemData*>(info.dwItemData);
        e.bitmap = UsesCallbackBitmaps() ? info.hbmpItem : nullptr;
        entries.push_back(e);
        saved.push_back({text, info.fState, info.fType, info.hSubMenu});
    }
    // qsort moves the records: find each one's original again by id and item
    // data (separators share id 0), so the full text, state and submenu go
    // back with it even when the 200-byte sort text was cut.
    std::vector<MenuSortEntry> sorted = entries;
    qsort(sorted.data(), sorted.size(), sizeof(MenuSortEntry), compare_);
    std::vector<int> order(sorted.size(), -1);
    std::vector<bool> used(entries.size(), false);
    for (size_t i = 0; i < sorted.size(); ++i) {
        for (size_t j = 0; j < entries.size(); ++j) {
            if (!used[j] && entries[j].id == sorted[i].id && entries[j].data == sorted[i].data) {
                used[j] = true;
                order[i] = static_cast<int>(j);
                break;
            }
        }
        if (order[i] < 0) return 0;   // a comparator that damaged the records
    }
    // Take the entries out (RemoveMenu keeps their submenus) and put them back
    // in order, submenus and all.
    for (int pos = last; pos > after; --pos) RemoveMenu(menu, after + 1, MF_BYPOSITION);
    for (size_t i = 0; i < sorted.size(); ++i) {
        const Saved& s = saved[order[i]];
        MENUITEMINFOA info{};
        info.cbSize = MenuItemInfoSize();
        info.wID = sorted[i].id;
        info.dwItemData = reinterpret_cast<ULONG_PTR>(sorted[i].data);
        info.hSubMenu = s.submenu;
        info.fState = s.state;
        info.dwTypeData = const_cast<char*>(s.text.c_str());
        if (UsesCallbackBitmaps()) {
            info.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STATE | MIIM_FTYPE;
            info.fType = s.type;
            if (!(s.type & MFT_SEPARATOR)) info.fMask |= MIIM_STRING;
            if (sorted[i].bitmap) {
                info.fMask |= MIIM_BITMAP;
                info.hbmpItem = sorted[i].bitmap;
            }
        } else {
            info.fMask = MIIM_ID | MIIM_DATA | MIIM_SUBMENU | MIIM_STATE | MIIM_TYPE;
            info.fType = s.type;
            info.cch = static_cast<UINT>(s.text.size());
        }
        InsertMenuItemA(menu, static_cast<UINT>(after + 1 + static_cast<int>(i)), TRUE, &info);
    }
    return 1;
}

int CIconMenu::HandleCommand(int) { return 1; }

int __cdecl CompareMenuTextNoCase(const void* a, const void* b) {
    const auto* x = static_cast<const MenuSortEntry*>(a);
    const auto* y = static_cast<const MenuSortEntry*>(b);
    if (!x || !y) return 0;
    return lstrcmpiA(x->text, y->text);
}

int __cdecl CompareWindowTitlesNoCase(const void* a, const void* b) {
    return CompareMenuTextNoCase(a, b);
}

// ---- CWindowListMenu ------------------------------------------------------------------

namespace {

// A window that the list shows: visible, not a tool window, and either marked
// for the taskbar or without parent and owner.
bool IsListableWindow(HWND wnd) {
    if (!IsWindow(wnd) || !IsWindowVisible(wnd)) return false;
    LONG ex = GetWindowLongA(wnd, GWL_EXSTYLE);
    if (ex & WS_EX_TOOLWINDOW) return false;
    if (ex & WS_EX_APPWINDOW) return true;
    return !GetParent(wnd) && !GetWindow(wnd, GW_OWNER);
}

// Another thread's window may be hung: do not wait for it.
void ShowWindowNoWait(HWND wnd, int command) {
    if (GetWindowThreadProcessId(wnd, nullptr) == GetCurrentThreadId())
        ShowWindow(wnd, command);
    else
        ShowWindowAsync(wnd, command);
}

}  // namespace

CWindowListMenu::CWindowListMenu(int first_command_id) : CIconMenu(first_command_id) {
    SetCallbacks(nullptr, nullptr, CompareWindowTitlesNoCase);
}

int CWindowListMenu::Fill(HWND owner) {
    hide_target_ = owner;
    char title[kTitleChars] = "";
    if (owner) GetWindowTextA(owner, title, sizeof(title));
    if (!title[0]) tess::CopyText(title, "Tessellar");
    char hide[kTitleChars + 8];
    tess::FormatText(hide, sizeof(hide), "Hide %s", title);
    AppendMenuA(menu_, MF_STRING, first_id_ + 1, hide);
    AppendMenuA(menu_, MF_STRING, first_id_ + 2, "Hide Others");
    AppendMenuA(menu_, MF_STRING, first_id_ + 3, "Show All");
    AppendMenuA(menu_, MF_SEPARATOR, 0, nullptr);
    counter_ += 4;
    EnumWindows(ListWindowsEnumProc, reinterpret_cast<LPARAM>(this));
    SortItems(menu_, 3, -1);
    return 1;
}

BOOL CALLBACK ListWindowsEnumProc(HWND wnd, LPARAM menu) {
    return tess::GuardEnumProc([&]() -> BOOL {
        if (IsListableWindow(wnd)) reinterpret_cast<CWindowListMenu*>(menu)->AddWindow(wnd);
        return TRUE;
    });
}

HICON CWindowListMenu::GetWindowIcon(HWND wnd) {
    const UINT timeout = 200;
    if (HICON icon = reinterpret_cast<HICON>(
            SendMessageTimeoutResult(wnd, WM_GETICON, ICON_SMALL, 0, SMTO_NORMAL, timeout)))
        return icon;
    if (HICON icon = reinterpret_cast<HICON>(
            SendMessageTimeoutResult(wnd, WM_GETICON, ICON_BIG, 0, SMTO_NORMAL, timeout)))
        return icon;
    return reinterpret_cast<HICON>(GetClassLongPtrA(wnd, GCLP_HICON));
}

int CWindowListMenu::AddWindow(HWND wnd) {
    char title[kTitleChars] = "";
    if (!GetWindowTextA(wnd, title, sizeof(title)) || !title[0]) return 0;
    HICON icon = GetWindowIcon(wnd);
    IconMenuItemData data{-1, icon ? CopyIcon(icon) : nullptr, 0, wnd};
    return AppendItem(title, &data);
}

int CWindowListMenu::HandleCommand(int id) {
    if (id < first_id_ || id > first_id_ + counter_ + 1) return 0;
    if (id == first_id_ + 1) {
        if (IsWindow(hide_target_) && (GetWindowLongA(hide_target_, GWL_STYLE) & WS_MINIMIZEBOX))
            ShowWindowNoWait(hide_target_, SW_MINIMIZE);
        return 1;
    }
    if (id == first_id_ + 2) {
        // Without a target every window counts as "other"; HWND_BROADCAST names none.
        HWND keep = hide_target_ ? hide_target_ : HWND_BROADCAST;
        EnumWindows(ShowHideWindowsEnumProc, reinterpret_cast<LPARAM>(keep));
        return 1;
    }
    if (id == first_id_ + 3) {
        EnumWindows(ShowHideWindowsEnumProc, 0);
        return 1;
    }
    IconMenuItemData* data = FindItemData(menu_, static_cast<UINT>(id), false, false);
    HWND wnd = data ? static_cast<HWND>(data->payload) : nullptr;
    // The window may have closed while the menu was open, and its handle may
    // since name another window: act only on a window the list would show.
    if (!wnd || !IsListableWindow(wnd)) return 0;
    if (IsIconic(wnd)) ShowWindowNoWait(wnd, SW_RESTORE);
    SetForegroundWindow(wnd);
    return 1;
}

BOOL CALLBACK ShowHideWindowsEnumProc(HWND wnd, LPARAM target) {
    if (!IsWindowVisible(wnd)) return TRUE;
    if (target) {
        // Hide Others: every other window that can be minimised.
        if (wnd != reinterpret_cast<HWND>(target) &&
            (GetWindowLongA(wnd, GWL_STYLE) & WS_MINIMIZEBOX) && !IsIconic(wnd))
            ShowWindowNoWait(wnd, SW_MINIMIZE);
    } else if (IsIconic(wnd)) {
        ShowWindowNoWait(wnd, SW_RESTORE);
    }
    return TRUE;
}
