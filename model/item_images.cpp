// The item's icons, state bitmaps and custom states: loading and freeing
// them and the paths they come from.
#include <windows.h>
#include <shellapi.h>
#include <shlwapi.h>
#include <cstring>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "skins/bitmap_helpers.h"
#include "skins/skin_record.h"
#include "util/paths.h"
#include "util/text.h"

namespace {

void ReplaceText(char** slot, const char* text) {
    char* copy = NewItemText(text);
    delete[] *slot;
    *slot = copy;
}

tess::ScopedIcon LoadItemIcon(const char* path, int index, int size) {
    if (!path || !path[0]) return tess::ScopedIcon();
    if (lstrcmpiA(::PathFindExtensionA(path), ".ico") != 0) {
        tess::ScopedIcon large, small;
        ::ExtractIconExA(path, index, large.put(), small.put(), 1);
        tess::ScopedIcon& wanted = size == 16 ? small : large;
        tess::ScopedIcon& other = size == 16 ? large : small;
        if (wanted) return std::move(wanted);   // the other size goes with its owner
        if (other) return std::move(other);
    }
    return tess::ScopedIcon(static_cast<HICON>(
        ::LoadImageA(nullptr, path, IMAGE_ICON, size, size, LR_LOADFROMFILE)));
}

HBITMAP LoadStateBitmap(const char* path) {
    return static_cast<HBITMAP>(
        ::LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE));
}

}  // namespace

// ---- icons --------------------------------------------------------------------------------------

int CVellumMenuItem::RefreshIcon() {
    ReplaceIcons();
    m_imageList = nullptr;
    m_imageIndex = 0;
    m_iconAsked = FALSE;
    tess::ScopedIcon icon1 = LoadItemIcon(Icon, IconIndex, IconSize);
    tess::ScopedIcon icon2 = LoadItemIcon(Icon2, IconIndex2, IconSize);
    ReplaceIcons(std::move(icon1), std::move(icon2));
    return 1;
}

void CVellumMenuItem::ReplaceIcons(tess::ScopedIcon icon1, tess::ScopedIcon icon2) {
    // Lent icons belong to whoever handed them over; an old icon that comes
    // back as a new one must survive the swap.
    tess::ScopedIcon old1 = m_icon1.TakeOwned(), old2 = m_icon2.TakeOwned();
    for (tess::ScopedIcon* old : {&old1, &old2})
        if (old->get() && (old->get() == icon1.get() || old->get() == icon2.get())) old->release();
    // One icon handed over as both images: each holder gets its own.
    if (icon2 && icon2.get() == icon1.get()) icon2.reset(::CopyIcon(icon2.release()));
    m_icon1.Own(std::move(icon1));
    m_icon2.Own(std::move(icon2));
}

void CVellumMenuItem::SetIconPath(int which, char* path) {
    if (which == 1) ReplaceText(&Icon, path);
    if (which == 2) ReplaceText(&Icon2, path);
}

void CVellumMenuItem::SetBitmapPath(int which, char* path) {
    if (which == 1) ReplaceText(&NormalBitmap, path);
    if (which == 2) ReplaceText(&MouseoverBitmap, path);
    if (which == 3) ReplaceText(&SelectedBitmap, path);
}

// ---- state bitmaps ----------------------------------------------------------------------------------

int CVellumMenuItem::FreeBitmaps() {
    for (ItemBitmap* bitmap : {&m_normalBitmap, &m_normalMask, &m_selectedBitmap, &m_selectedMask,
                               &m_mouseOverBitmap, &m_mouseOverMask})
        bitmap->reset();
    // The alpha bits belong to the DIB sections just deleted.
    m_normalBits = m_selectedBits = m_mouseOverBits = nullptr;
    return 1;
}

HBITMAP CVellumMenuItem::MyLoadImage(char* path) {
    return m_pBar ? m_pBar->MyLoadImage(PathRelativeToSkin, path, nullptr) : nullptr;
}

void CVellumMenuItem::UpdateImagePath(char* path, int toBarFolder) {
    if (m_pBar) m_pBar->UpdateImagePath(PathRelativeToSkin, path, toBarFolder);
}

int CVellumMenuItem::RefreshBitmaps() {
    FreeBitmaps();
    if (!DisplayAsBitmap || !m_pBar) return 0;
    struct State {
        const char* path;
        ItemBitmap* bitmap;
        ItemBitmap* mask;
        unsigned long** bits;
    } states[3] = {{NormalBitmap, &m_normalBitmap, &m_normalMask, &m_normalBits},
                   {MouseoverBitmap, &m_mouseOverBitmap, &m_mouseOverMask, &m_mouseOverBits},
                   {SelectedBitmap, &m_selectedBitmap, &m_selectedMask, &m_selectedBits}};
    bool any = false;
    for (State& state : states) {
        if (!state.path || !state.path[0]) continue;
        // Skin-relative paths: the skin folder first, then the bar folder.
        state.bitmap->reset(m_pBar->MyLoadImage(PathRelativeToSkin,
                                                const_cast<char*>(state.path), state.bits));
        if (!*state.bitmap) continue;
        any = true;
        if (UseTransparency && !*state.bits)
            state.mask->reset(CreateBitmapMask(state.bitmap->get(), kMagenta, true));
    }
    if (!any) {
        FreeBitmaps();
        return 0;
    }
    HBITMAP info_from = m_normalBitmap ? m_normalBitmap.get()
                        : m_mouseOverBitmap ? m_mouseOverBitmap.get() : m_selectedBitmap.get();
    ::GetObjectA(info_from, sizeof(m_bitmapInfo), &m_bitmapInfo);
    return 1;
}

void CVellumMenuItem::SetBitmap(HBITMAP bitmap, HBITMAP mask, int makeMask, DWORD, int) {
    m_normalBitmap.reset();
    m_normalMask.reset();
    m_normalBits = nullptr;
    if (!bitmap) return;
    m_bitmapKeyColor = RGB(128, 128, 128);
    m_normalBitmap.reset(static_cast<HBITMAP>(::CopyImage(bitmap, IMAGE_BITMAP, 0, 0, 0)));
    if (mask)
        m_normalMask.reset(static_cast<HBITMAP>(::CopyImage(mask, IMAGE_BITMAP, 0, 0, 0)));
    else if (makeMask && m_normalBitmap)
        m_normalMask.reset(CreateBitmapMask(m_normalBitmap.get(), m_bitmapKeyColor, true));
    if (m_normalBitmap) ::GetObjectA(m_normalBitmap.get(), sizeof(m_bitmapInfo), &m_bitmapInfo);
}

// ---- bitmap paths --------------------------------------------------------------------------------------

void CVellumMenuItem::SwitchOverBitmapPath(char* path, int makeAbsolute) {
    if (!path || !path[0] || !m_pBar) return;
    char result[MAX_PATH] = "";
    if (PathRelativeToSkin) {
        SkinRecord* skin = m_pBar->m_skin;
        char canonical[MAX_PATH];
        if (!skin || !IsAbsolutePath(path) || !CanonicalPath(path, canonical)) return;
        if (!RelativePath(skin->folder, canonical, result, sizeof(result))) return;
        if (result[0] == '\\') std::memmove(result, result + 1, std::strlen(result));
    } else if (makeAbsolute) {
        if (IsAbsolutePath(path)) return;
        if (!CombineCanonical(m_pBar->m_barFolder, path, result)) return;
    } else {
        return;
    }
    // The item's own paths are heap copies sized to their text: replace them.
    char** own[3] = {&NormalBitmap, &MouseoverBitmap, &SelectedBitmap};
    for (int which = 1; which <= 3; ++which)
        if (*own[which - 1] == path) return SetBitmapPath(which, result);
    tess::CopyText(path, MAX_PATH, result);
}

// ---- small queries ---------------------------------------------------------------------------------------

int CVellumMenuItem::IsItemHiddenNeedsScrolling() {
    if (m_emptySize) return 0;
    return ::IsRectEmpty(&m_itemRect) ? 1 : 0;
}

int CVellumMenuItem::IsMouseReallyOver() {
    if (!m_pBar || !m_pBar->m_hWnd) return 0;
    POINT cursor;
    if (!::GetCursorPos(&cursor)) return 0;
    RECT rect;
    GetRealItemRect(&rect);
    POINT origin = {0, 0};
    ::ClientToScreen(m_pBar->m_hWnd, &origin);
    ::OffsetRect(&rect, origin.x, origin.y);
    return ::PtInRect(&rect, cursor) ? 1 : 0;
}

// ---- custom states -------------------------------------------------------------------------------------

int CVellumMenuItem::FindCustomState(char* name, HBITMAP* bitmap, HBITMAP* mask) {
    for (int i = 0; i < m_customStates.count && m_customStates.names[i]; ++i) {
        const char* stored = m_customStates.names[i];
        if (stored != name && (!name || lstrcmpiA(stored, name) != 0)) continue;
        if (bitmap) *bitmap = m_customStates.bitmaps[i].get();
        if (mask) *mask = m_customStates.masks[i].get();
        return i;
    }
    return -1;
}

void CVellumMenuItem::LoadCustomStateBitmap(int index) {
    ItemBitmap& bitmap = m_customStates.bitmaps[index];
    ItemBitmap& mask = m_customStates.masks[index];
    mask.reset();
    bitmap.reset(LoadStateBitmap(m_customStates.paths[index]));
    if (!bitmap) return;
    ::GetObjectA(bitmap.get(), sizeof(m_bitmapInfo), &m_bitmapInfo);
    if (UseTransparency) mask.reset(CreateBitmapMask(bitmap.get(), kMagenta, true));
}

int CVellumMenuItem::EditCustomState(char* name, char* bitmapPath) {
    if (m_customStates.count <= 0) return 0;
    int index = 0;
    if (name) {
        index = FindCustomState(name, nullptr, nullptr);
        if (index < 0) return 0;
        if (lstrcmpiA(m_customStates.paths[index], bitmapPath ? bitmapPath : "") == 0) return 1;
        ReplaceText(&m_customStates.paths[index], bitmapPath);
    }
    LoadCustomStateBitmap(index);
    return 1;
}

int CVellumMenuItem::AddCustomState(char* name, char* bitmapPath) {
    if (!name) return 0;
    if (FindCustomState(name, nullptr, nullptr) >= 0) return EditCustomState(name, bitmapPath);
    if (m_customStates.count >= kMaxCustomStates) return 0;   // no slot left
    int index = m_customStates.count++;
    m_customStates.names[index] = NewItemText(name);
    m_customStates.paths[index] = NewItemText(bitmapPath);
    LoadCustomStateBitmap(index);
    return 1;
}

int CVellumMenuItem::RemoveCustomState(char* name) {
    ItemCustomStates& states = m_customStates;
    auto free_state = [&states](int i) {
        delete[] states.names[i];
        delete[] states.paths[i];
        states.names[i] = states.paths[i] = nullptr;
        states.bitmaps[i].reset();
        states.masks[i].reset();
    };
    if (!name) {
        for (int i = 0; i < states.count; ++i) free_state(i);
        states.count = 0;
        return 1;
    }
    int index = FindCustomState(name, nullptr, nullptr);
    if (index < 0) return 0;
    free_state(index);
    for (int i = index; i + 1 < states.count; ++i) {
        states.names[i] = states.names[i + 1];
        states.paths[i] = states.paths[i + 1];
        states.bitmaps[i] = std::move(states.bitmaps[i + 1]);
        states.masks[i] = std::move(states.masks[i + 1]);
    }
    int last = --states.count;
    states.names[last] = states.paths[last] = nullptr;
    return 1;
}
