// CVellumMenuItem: construction and destruction, parents, the title with its
// mnemonic, the tooltip tool, the hotkey and the rectangle in the bar.
#include "model/vellum_menu_item.h"
#include <commctrl.h>
#include <cctype>
#include <cstring>
#include <initializer_list>
#include "model/bar_host.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "util/text.h"

char* NewItemText(const char* text) {
    size_t length = text ? std::strlen(text) : 0;
    char* copy = new char[length + 5];
    if (length) std::memcpy(copy, text, length);
    copy[length] = '\0';
    return copy;
}

namespace {

char* NewText(const char* text) { return NewItemText(text); }

}  // namespace

// ---- construction ----------------------------------------------------------------------------

CVellumMenuItem::CVellumMenuItem(void*) {
    // Plain data only, declared in one block from TextOnlyAlign to m_frame:
    // zero it, then the defaults that are not zero.
    char* first = reinterpret_cast<char*>(&TextOnlyAlign);
    char* last = reinterpret_cast<char*>(&m_frame) + sizeof(m_frame);
    std::memset(first, 0, last - first);
    TextOnlyAlign = -1;
    iLayerToActOn = -1;
    BitmapAlign = 1;
    UseTransparency = TRUE;
    m_parentItemNumber = -1;
    IconSize = 16;
    ShowIcon = TRUE;
    ShowText = TRUE;
    m_state = kStateNormal;
    m_bitmapKeyColor = RGB(128, 128, 128);
    m_blank = TRUE;
}

void CVellumMenuItem::InitStrings() {
    m_blank = FALSE;
    m_title = NewText("");
    m_shownTitle = m_title;
    Icon = NewText("");
    Icon2 = NewText("");
    NormalBitmap = NewText("");
    MouseoverBitmap = NewText("");
    SelectedBitmap = NewText("");
}

CVellumMenuItem::CVellumMenuItem(CVellumMenuObject* bar, CVellumMenuSection* section, char* title)
    : CVellumMenuItem(static_cast<void*>(nullptr)) {
    InitStrings();
    if (section) {
        ShowIcon = section->ShowIconsByDef;
        ShowText = section->ShowTextByDef;
        IconSize = section->DefaultIconSize;
    }
    if (!bar || !section) return;   // unattached

    UpdateParents(bar, section);
    m_itemNumber = 0;
    SetState(kStateNormal, 0);
    m_popupMenu = ::CreatePopupMenu();
    SetItemTitle(title, 0);
    m_valid = TRUE;
    AddTooltipTool();
}

CVellumMenuItem::~CVellumMenuItem() {
    if (m_blank) return;
    UpdateHotkey(1);
    if (m_pBar) {
        if (m_pBar->m_keyboardItem == this) m_pBar->m_keyboardItem = nullptr;
        if (m_pBar->m_pendingHoverItem == this) m_pBar->m_pendingHoverItem = nullptr;
    }
    DeleteTooltipTool();
    // A context submenu still held goes with the item; the section and the
    // bar, which may be going themselves, are not asked to undo theirs.
    if (m_contextSubmenu) ::DestroyMenu(m_contextSubmenu);
    m_contextSubmenu = nullptr;
    for (HWND page : m_pages)
        if (page && ::IsWindow(page)) ::SendMessageA(page, WM_COMMAND, IDOK, 0);
    FreeBitmaps();
    RemoveCustomState(nullptr);
    ReplaceIcons();
    if (m_shownTitle != m_title) delete[] m_shownTitle;
    delete[] m_title;
    m_title = m_shownTitle = nullptr;
    if (m_popupMenu) ::DestroyMenu(m_popupMenu);
    m_popupMenu = nullptr;
    if (m_pBar) m_pBar->ItemBeingDestroyed(this);
    StopStateAnimation();
    for (char** path : {&NormalBitmap, &MouseoverBitmap, &SelectedBitmap, &Icon, &Icon2}) {
        delete[] *path;
        *path = nullptr;
    }
}

// ---- parents -----------------------------------------------------------------------------------

int CVellumMenuItem::UpdateParents(CVellumMenuObject* bar, CVellumMenuSection* section) {
    CVellumMenuSection* before = m_pSection;
    m_pBar = bar;
    m_pSection = section;
    if (!bar || !section) return 0;
    tess::CopyText(m_sectionName, section->m_iniSectionName);
    m_skinSlot = bar->m_skinSlot;
    if (section != before && !DisplayAsBitmap) {
        ShowIcon = section->ShowIconsByDef;
        ShowText = section->ShowTextByDef;
        if (section->DefaultIconSize != IconSize) {
            IconSize = section->DefaultIconSize;
            RefreshIcon();
        }
    }
    UpdateTextSize(1);
    return 1;
}

CVellumMenuObject* CVellumMenuItem::GetChildObject() {
    return nullptr;
}

void CVellumMenuItem::GetRealItemRect(RECT* out) {
    if (!out) return;
    *out = m_moving ? m_drawnRect : m_itemRect;
    if (m_pSection) ::OffsetRect(out, m_pSection->m_innerRect.left, m_pSection->m_innerRect.top);
}

// ---- title -------------------------------------------------------------------------------------

void CVellumMenuItem::SetItemTitle(char* title, int headerLength) {
    m_headerLength = headerLength;
    if (m_shownTitle != m_title) delete[] m_shownTitle;
    delete[] m_title;
    m_title = NewText(title);
    m_shownTitle = m_title;

    char expanded[kTitleExpandBufferSize];
    DWORD used = ::ExpandEnvironmentStringsA(m_title, expanded, sizeof(expanded));
    if (used > 0 && used <= sizeof(expanded)) {
        const BarHostServices& host = GetBarHostServices();
        if (host.ExpandUserNameInPath) host.ExpandUserNameInPath(expanded, sizeof(expanded));
        if (expanded[0] && lstrcmpiA(expanded, m_title) != 0) m_shownTitle = NewText(expanded);
    }

    m_mnemonic = static_cast<unsigned char>(m_title[0]);
    if (!m_literalTitle) {
        // "\n" as two characters stands for a line break.
        char* read = m_shownTitle;
        char* write = m_shownTitle;
        while (*read) {
            if (read[0] == '\\' && read[1] == 'n') {
                *write++ = '\n';
                read += 2;
            } else {
                *write++ = *read++;
            }
        }
        *write = '\0';
        if (const char* amp = std::strchr(m_shownTitle, '&')) {
            char next = amp[1];
            if (next && next != '\t' && next != '\n' && next != '&')
                m_mnemonic = static_cast<unsigned char>(next);
        }
        m_mnemonic = std::toupper(m_mnemonic);
    }

    UpdateTextSize(1);
    if (!Separator) SetEditorNodeTitle();
    UpdateTooltips(1);
}

// ---- tooltip tool --------------------------------------------------------------------------------

void CVellumMenuItem::AddTooltipTool() {
    if (!m_pBar || !m_pBar->m_hToolTips) return;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.uFlags = TTF_SUBCLASS;
    tool.hwnd = m_pBar->m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(this);
    tool.hinst = m_pBar->m_hModule;
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    ::SendMessageA(m_pBar->m_hToolTips, TTM_ADDTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

void CVellumMenuItem::DeleteTooltipTool() {
    if (!m_pBar || !m_pBar->m_hToolTips || !m_pBar->m_hWnd) return;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = m_pBar->m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(this);
    ::SendMessageA(m_pBar->m_hToolTips, TTM_DELTOOLA, 0, reinterpret_cast<LPARAM>(&tool));
}

int CVellumMenuItem::UpdateTooltips(int keepRectangle) {
    if (!m_pBar || !m_pBar->m_hToolTips) return 0;
    TOOLINFOA tool = {};
    tool.cbSize = TTTOOLINFOA_V1_SIZE;
    tool.hwnd = m_pBar->m_hWnd;
    tool.uId = reinterpret_cast<UINT_PTR>(this);
    if (!keepRectangle) {
        if (m_tooltipNeeded) GetRealItemRect(&tool.rect);
        ::SendMessageA(m_pBar->m_hToolTips, TTM_NEWTOOLRECTA, 0, reinterpret_cast<LPARAM>(&tool));
    }
    tool.hinst = m_pBar->m_hModule;
    tool.lpszText = LPSTR_TEXTCALLBACKA;
    ::SendMessageA(m_pBar->m_hToolTips, TTM_UPDATETIPTEXTA, 0, reinterpret_cast<LPARAM>(&tool));
    return 1;
}

// ---- hotkey ----------------------------------------------------------------------------------------

void CVellumMenuItem::UpdateHotkey(int unregisterOnly) {
    HWND wnd = m_pBar ? m_pBar->m_hWnd : nullptr;
    if (m_hotkeyId) {
        if (wnd) ::UnregisterHotKey(wnd, m_hotkeyId);
        m_hotkeyId = 0;
    }
    if (unregisterOnly || !vkHotkey || !wnd) return;
    const BarHostServices& host = GetBarHostServices();
    if (!host.AllocHotkeyId) return;   // no shell hands out hotkey ids here
    m_hotkeyId = static_cast<WORD>(host.AllocHotkeyId());
    // A refused registration keeps the id it tried.
    ::RegisterHotKey(wnd, m_hotkeyId, vkHotkeyModifiers, vkHotkey);
}

// ---- state -------------------------------------------------------------------------------------------

CVellumMenuItem::CVellumMenuItem(const CVellumMenuItem& other) = default;
CVellumMenuItem& CVellumMenuItem::operator=(const CVellumMenuItem& other) = default;
