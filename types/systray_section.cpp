// The system tray section: keys, the tray host it owns, placement and sizes,
// drawing with the expand/contract button, mouse and messages, the context
// menu and its commands.
#include "types/systray_section.h"
#include <new>
#include "model/bar_file.h"
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/global_settings.h"
#include "skins/bitmap_helpers.h"
#include "skins/ini_section_reader.h"
#include "skins/skin_cache.h"
#include "skins/skin_painting.h"
#include "skins/skin_record.h"
#include "types/type_registration.h"
#include "util/profile_writer.h"
#include "util/text.h"

const char* const kSystrayButtonStateNames[kSystrayButtonStates] = {
    "Expandable, Default",  "Expandable, Mouseover",  "Expandable, Selected",
    "Collapsible, Default", "Collapsible, Mouseover", "Collapsible, Selected",
    "All Filtering Disabled"};
const char* const kSystrayButtonKeys[kSystrayButtonStates] = {
    "bmpExpandDefault",   "bmpExpandMouseover",   "bmpExpandSelected", "bmpContractDefault",
    "bmpContractMouseover", "bmpContractSelected", "bmpAllDisabled"};

namespace {

constexpr COLORREF kKeyColor = RGB(255, 0, 255);
constexpr int kSectionOptionsCommand = 40137;
constexpr int kExtendedItemsCommand = 40140;
constexpr int kItemOptionsCommand = 40141;
constexpr int kProgramIconId = 138;
constexpr char kOwnTrayIconClass[] = "Tessellar Main";

// Registered once while the program loads, as every module does.
struct SystrayMessages {
    UINT timeFiltering = RegisterWindowMessageA("TimeFiltering Dis/Enabled!");
    UINT speedUpdate = RegisterWindowMessageA("SpeedUpdate Section!");
    UINT skinChanging = RegisterWindowMessageA("This CMenuObject Skin Changing");
    UINT removeTempNoClose = RegisterWindowMessageA("TS - WM_REMOVE_TEMP_NOCLOSEVOLITLE");
};
const SystrayMessages& Messages() {
    static const SystrayMessages messages;
    return messages;
}
const SystrayMessages& kRegisteredAtStart = Messages();

CVellumMenuSection* MakeSystraySection(CVellumMenuObject* bar, int sectionNumber) {
    return new (std::nothrow) CVellumMenuSection_Systray(bar, sectionNumber);
}
const SectionClassRegistration kSystrayRegistration("Systray", MakeSystraySection);

bool IsPointerMessage(UINT msg) {
    return msg == WM_MOUSEMOVE || (msg >= WM_LBUTTONDOWN && msg <= WM_MBUTTONDBLCLK) ||
           msg == WM_MOUSELEAVE || msg == WM_NCMOUSEMOVE || msg == WM_NCLBUTTONDOWN ||
           msg == WM_NCRBUTTONDOWN || msg == WM_NCMBUTTONDOWN;
}

bool IsNonClient(UINT msg) {
    return msg == WM_NCMOUSEMOVE || msg == WM_NCLBUTTONDOWN || msg == WM_NCRBUTTONDOWN ||
           msg == WM_NCMBUTTONDOWN;
}

SkinRecord* SkinOf(const CVellumMenuSection* section) {
    return section->m_skinSlot ? *section->m_skinSlot : nullptr;
}

bool IsVerticalBar(const CVellumMenuSection* section) {
    return section->m_pBar && section->m_pBar->DisplayVertically;
}

}  // namespace

// ---- construction ------------------------------------------------------------------------------------

CVellumMenuSection_Systray::CVellumMenuSection_Systray(CVellumMenuObject* bar, int sectionNumber)
    : CVellumMenuSection(bar, sectionNumber, 0), m_lastBarPos{-1, -1}, UseTimeFilter(FALSE),
      m_trayHost(nullptr), m_lastShownCount(-1), m_buttonRect{}, m_buttonMouseState(0),
      m_autoContractRunning(FALSE), TempDisabled(FALSE), Autocontract(TRUE),
      m_noCustomBitmaps(TRUE), m_bitmapPaths{}, m_bitmapSizes{}, m_alphaBits{},
      ExpandButtonEnabled(TRUE), BitmapPathRelToSkin(TRUE), m_autoContractTimerId(0), m_lastRect{}, m_sentAnchor{} {
    m_valid = FALSE;
    MaxItems = 0;
    if (!bar) return;
    m_autoContractTimerId = bar->ReserveTimerID();
    if (bar->m_loadingSections && bar->m_sectionReader) {
        ReadSystrayKeys();
        if (ExpandButtonEnabled) LoadTrayButtonBitmaps();
    }

    TrayHostSettings settings = {};
    settings.mask = kTrayAllSettings;
    settings.drawCallback = DrawTrayIcon;
    settings.ownerSection = this;
    settings.layoutMode = bar->DisplayVertically ? kTrayLayoutColumns : kTrayLayoutRows;
    m_trayHost = new (std::nothrow)
        CTrayHost(bar->m_hWnd, tray::WM_TRAYHOSTNOTIFY, kTrayHostRedrawOnHot, &settings);
    if (!m_trayHost) return;
    m_trayHost->m_deferPainting = 1;
    m_valid = TRUE;
    m_trayHost->m_filteringOn = FilteringAvailable() && !TempDisabled;
    if (UseTimeFilter) {
        m_trayHost->Refilter();
        m_trayHost->LayoutIcons();
    }
    m_trayHost->m_filterTimerId = bar->ReserveTimerID();
    m_trayHost->ArmFilterTimer();
    SyncTrayIconServerAutostart();
}

void CVellumMenuSection_Systray::ReadSystrayKeys() {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    UseTimeFilter = reader->GetBool("UseTimeFilter", 0);
    TempDisabled = reader->GetBool("TempDisabled", 1);
    Autocontract = reader->GetBool("Autocontract", 1);
    ExpandButtonEnabled = reader->GetBool("ExpandButtonEnabled", 1);
    if (!ExpandButtonEnabled) return;
    BitmapPathRelToSkin = reader->GetBool("BitmapPathRelToSkin", 1);
    for (int i = 0; i < kSystrayButtonStates; ++i)
        reader->GetString(kSystrayButtonKeys[i], m_bitmapPaths[i], MAX_PATH, "");
}

CVellumMenuSection_Systray::~CVellumMenuSection_Systray() {
    if (m_pBar && m_pBar->m_hWnd && m_autoContractTimerId)
        KillTimer(m_pBar->m_hWnd, m_autoContractTimerId);
    FreeTrayButtonBitmaps();
    delete m_trayHost;
    m_trayHost = nullptr;
}

bool CVellumMenuSection_Systray::FilteringAvailable() const {
    return UseTimeFilter && !GetDisableSystrayTimeFiltering();
}

void CVellumMenuSection_Systray::SetExpanded(int expanded) {
    TempDisabled = expanded ? TRUE : FALSE;
    ApplyTrayFilterState();
}

// ---- filtering state and the button --------------------------------------------------------------------

void CVellumMenuSection_Systray::ApplyTrayFilterState() {
    if (!m_trayHost) return;
    if (HWND page = m_pages[0]; page && IsWindow(page))
        CheckDlgButton(page, 1295, TempDisabled ? BST_CHECKED : BST_UNCHECKED);
    m_trayHost->m_filteringOn = FilteringAvailable() && !TempDisabled;
    if (m_trayHost->Refilter()) {
        m_trayHost->LayoutIcons();
        m_trayHost->UpdateAllTooltips(0);
    }
    m_trayHost->ArmFilterTimer();
    if (m_pBar) m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

int CVellumMenuSection_Systray::GetTrayButtonState() {
    if (!ExpandButtonEnabled || !m_trayHost) return -1;
    if (!FilteringAvailable()) return kAllFilteringDisabled;
    int base;
    if (TempDisabled) base = kCollapsibleDefault;
    else if (m_trayHost->GetHiddenCount() == 0) return kAllFilteringDisabled;
    else base = kExpandableDefault;
    int mouse = m_buttonMouseState < 0 ? 0 : m_buttonMouseState;
    for (int state = base + mouse; state > base; --state)
        if (state <= kAllFilteringDisabled && (m_noCustomBitmaps || m_bitmaps[state])) return state;
    return base;
}

void CVellumMenuSection_Systray::LoadTrayButtonBitmaps() {
    FreeTrayButtonBitmaps();
    if (!m_pBar) return;
    for (int i = 0; i < kSystrayButtonStates; ++i) {
        if (!m_bitmapPaths[i][0]) continue;
        m_bitmaps[i].reset(m_pBar->MyLoadImage(BitmapPathRelToSkin, m_bitmapPaths[i], &m_alphaBits[i]));
        if (!m_bitmaps[i]) continue;
        m_noCustomBitmaps = FALSE;
        m_masks[i].reset(CreateBitmapMask(m_bitmaps[i].get(), kKeyColor, true));
        BITMAP info = {};
        GetObjectA(m_bitmaps[i].get(), sizeof(info), &info);
        m_bitmapSizes[i] = SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
    }
}

void CVellumMenuSection_Systray::FreeTrayButtonBitmaps() {
    for (int i = 0; i < kSystrayButtonStates; ++i) {
        m_bitmaps[i].reset();
        m_masks[i].reset();
        m_alphaBits[i] = nullptr;
        m_bitmapSizes[i] = SIZE{0, 0};
    }
    m_noCustomBitmaps = TRUE;
}

bool CVellumMenuSection_Systray::ButtonPicture(int state, HBITMAP* bitmap, HBITMAP* mask,
                                                const DWORD** alpha, SIZE* size) {
    *bitmap = *mask = nullptr;
    *alpha = nullptr;
    *size = SIZE{0, 0};
    if (state < 0 || state >= kSystrayButtonStates) return false;
    if (!m_noCustomBitmaps || state == kAllFilteringDisabled) {
        if (!m_bitmaps[state]) return false;
        *bitmap = m_bitmaps[state].get();
        *mask = m_masks[state].get();
        *alpha = reinterpret_cast<const DWORD*>(m_alphaBits[state]);
        *size = m_bitmapSizes[state];
        return true;
    }
    SkinRecord* skin = SkinOf(this);
    if (!skin) return false;
    const ARROWBITMAPSETS& arrow = skin->arrows[TempDisabled ? kArrowRight : kArrowLeft];
    if (!arrow.normal) return false;
    *bitmap = arrow.normal.get();
    *mask = arrow.normal_mask.get();
    *alpha = arrow.normal_alpha;
    BITMAP info = {};
    GetObjectA(*bitmap, sizeof(info), &info);
    *size = SIZE{info.bmWidth, info.bmHeight < 0 ? -info.bmHeight : info.bmHeight};
    return true;
}

SIZE CVellumMenuSection_Systray::ButtonSize() {
    HBITMAP bitmap, mask;
    const DWORD* alpha;
    SIZE size;
    ButtonPicture(GetTrayButtonState(), &bitmap, &mask, &alpha, &size);
    return size;
}

void CVellumMenuSection_Systray::DrawButton(HDC dc) {
    SetRectEmpty(&m_buttonRect);
    HBITMAP bitmap, mask;
    const DWORD* alpha;
    SIZE size;
    if (!ButtonPicture(GetTrayButtonState(), &bitmap, &mask, &alpha, &size)) return;
    const RECT& outer = m_innerRect;
    int x, y;
    if (IsVerticalBar(this)) {
        x = outer.left + (outer.right - outer.left - size.cx) / 2;
        y = outer.top;
        m_buttonRect = RECT{outer.left, y, outer.right, y + size.cy};
    } else {
        x = outer.left;
        y = outer.top + (outer.bottom - outer.top - size.cy) / 2;
        m_buttonRect = RECT{x, outer.top, x + size.cx, outer.bottom};
    }
    if (alpha) {
        DrawAlphaBitmap(dc, bitmap, alpha, x, y);
    } else {
        BITMAP info = {};
        GetObjectA(bitmap, sizeof(info), &info);
        DrawTransparentBitmapEx(dc, &info, bitmap, mask, x, y, size.cx, size.cy, 0, 0, size.cx,
                                size.cy, kKeyColor);
    }
}

void CVellumMenuSection_Systray::SetButtonMouseState(int state) {
    if (m_buttonMouseState == state) return;
    m_buttonMouseState = state;
    RedrawSection();
}

// ---- placement and sizes -----------------------------------------------------------------------------------

int CVellumMenuSection_Systray::SetSectionRect(int a, int b, int c, int d, int swap) {
    CVellumMenuSection::SetSectionRect(a, b, c, d, swap);
    m_lastRect = swap ? RECT{b, a, d, c} : RECT{a, b, c, d};
    if (!m_trayHost) return 1;
    ApplyHostPlacement();
    TellServerAnchor();
    return 1;
}

void CVellumMenuSection_Systray::ApplyHostPlacement() {
    const bool vertical = IsVerticalBar(this);
    TrayHostSettings s = {};
    s.mask = kTrayArea | kTrayOrigin | kTrayIconSize | kTraySpacing | kTrayOwnerSection |
             kTrayLayoutMode;
    s.area = m_innerRect;
    if (GetTrayButtonState() >= 0) {
        SIZE button = ButtonSize();
        if (vertical) s.area.top += button.cy;
        else s.area.left += button.cx;
    }
    RECT window = {};
    if (m_pBar && m_pBar->m_hWnd) GetWindowRect(m_pBar->m_hWnd, &window);
    s.origin = POINT{window.left, window.top};
    if (SkinRecord* skin = SkinOf(this)) {
        const int buffer = UseTightItemWidthBuffer ? skin->TightItemWidthBuffer : skin->ItemWidthBuffer;
        s.iconSize = SIZE{2 * buffer + 16, skin->ItemHeight >= 1 ? skin->ItemHeight : skin->SkinHeight};
        s.spacing = skin->ItemSpacing;
    } else {
        s.iconSize = SIZE{16, 16};
        s.spacing = SIZE{1, 1};
    }
    s.ownerSection = this;
    s.layoutMode = vertical ? kTrayLayoutColumns : kTrayLayoutRows;
    m_trayHost->SetSettings(&s);
    if (vertical) return;
    // The icons' block centred vertically in a horizontal bar.
    SIZE block = {};
    m_trayHost->GetIconsExtent(&block);
    const int height = s.area.bottom - s.area.top;
    if (block.cy > 0 && block.cy < height) {
        s.area.top += (height - block.cy) / 2;
        s.area.bottom = s.area.top + block.cy;
        m_trayHost->SetSettings(&s);
    }
}

void CVellumMenuSection_Systray::TellServerAnchor() {
    if (!m_pBar) return;
    HWND anchor = nullptr;
    RECT area = {};
    if (!IsHidden) {
        TrayHostSettings s = {};
        s.mask = kTrayArea;
        m_trayHost->GetSettings(&s);
        anchor = m_pBar->m_hWnd;
        area = s.area;
    }
    const SentAnchor now = CurrentAnchor(anchor, area);
    if (SameAnchor(now, m_sentAnchor)) return;
    bool told;
    if (!anchor) {
        told = SendToTrayServer(tray::WM_TRAYSETANCHORWINDOW, 0, 0);
    } else {
        const WPARAM wp = static_cast<WPARAM>((static_cast<DWORD>(area.top) << 16) | (area.left & 0xFFFF));
        const LPARAM lp = static_cast<LPARAM>((static_cast<DWORD>(area.bottom) << 16) | (area.right & 0xFFFF));
        told = SendToTrayServer(tray::WM_TRAYSETANCHORRECT, wp, lp);
        told = SendToTrayServer(tray::WM_TRAYSETANCHORWINDOW, reinterpret_cast<WPARAM>(anchor), 0) && told;
    }
    // Only what the server took is remembered: after a failed send the next
    // placement tells it again.
    m_sentAnchor = told ? now : SentAnchor{};
}

// The anchor as the server would hold it now: which server, the anchor window
// (0: hidden section), the area and where the anchor window is on the screen.
CVellumMenuSection_Systray::SentAnchor CVellumMenuSection_Systray::CurrentAnchor(HWND anchor,
                                                                                 const RECT& area) {
    SentAnchor now = {FindTrayServer(), anchor, area, {}};
    if (anchor) ::GetWindowRect(anchor, &now.windowRect);
    return now;
}

// A new server (another window) is always told.
bool CVellumMenuSection_Systray::SameAnchor(const SentAnchor& a, const SentAnchor& b) {
    return a.server && a.server == b.server && a.window == b.window && ::EqualRect(&a.area, &b.area) &&
           ::EqualRect(&a.windowRect, &b.windowRect);
}

SIZE CVellumMenuSection_Systray::CalcIdealSize() {
    SIZE size = CVellumMenuSection::CalcIdealSize();
    if (!m_trayHost) return size;
    SIZE icons = {};
    m_trayHost->GetIconsExtent(&icons);
    size.cx += icons.cx + m_margins.left + m_margins.right;
    size.cy += icons.cy + m_margins.top + m_margins.bottom;
    if (GetTrayButtonState() >= 0) {
        SIZE button = ButtonSize();
        if (IsVerticalBar(this)) size.cy += button.cy;
        else size.cx += button.cx;
    }
    return size;
}

SIZE CVellumMenuSection_Systray::CalcMinMaxSize(int minimum) {
    if (!m_trayHost || IsHidden) return CVellumMenuSection::CalcMinMaxSize(minimum);
    UpdateThisSectionBuffer();
    TrayHostSettings s = {};
    s.mask = kTrayIconSize | kTraySpacing;
    m_trayHost->GetSettings(&s);
    SIZE icons = {};
    m_trayHost->GetIconsExtent(&icons);
    const int cx = s.iconSize.cx, cy = s.iconSize.cy, sx = s.spacing.cx, sy = s.spacing.cy;
    int k = m_trayHost->GetShownCount() - 1;
    if (k < 1) k = 1;
    const bool vertical = IsVerticalBar(this);
    SIZE size;
    if (!minimum) size = vertical ? SIZE{cx + k * (cx + sx), icons.cy} : SIZE{icons.cx, cy + k * (cy + sy)};
    else size = vertical ? SIZE{cx, icons.cy} : SIZE{icons.cx, cy};
    size.cx += m_margins.left + m_margins.right;
    size.cy += m_margins.top + m_margins.bottom;
    if (GetTrayButtonState() >= 0) {
        SIZE button = ButtonSize();
        if (vertical) size.cy += button.cy;
        else size.cx += button.cx;
    }
    return size;
}

// ---- drawing -------------------------------------------------------------------------------------------------

void CVellumMenuSection_Systray::Draw(HDC dc, int drawItems, int wholeRun) {
    if (IsHidden || !m_pBar) return;
    const POINT pos = m_pBar->m_placement.LastPos;
    if (pos.x != m_lastBarPos.x || pos.y != m_lastBarPos.y) {
        m_lastBarPos = pos;
        SendToTrayServer(tray::WM_TRAYSETANCHORWINDOW, reinterpret_cast<WPARAM>(m_pBar->m_hWnd), 1);
    }
    if (SkinOf(this)) {
        CVellumMenuSection::Draw(dc, drawItems, wholeRun);
        if (m_trayHost) {
            m_trayHost->m_redrawPending = 0;
            m_trayHost->DrawIcons(dc);
        }
        DrawButton(dc);
    } else if (m_trayHost) {
        m_trayHost->m_redrawPending = 0;
        m_trayHost->DrawIcons(dc);
    }
}

int CVellumMenuSection_Systray::DrawTrayIcon(const TrayIconDrawInfo* info) {
    if (!info || !info->ownerSection || !info->dc) return 0;
    auto* section = static_cast<CVellumMenuSection_Systray*>(info->ownerSection);
    DWORD handle = info->record.icon;
    if (info->serverVersion >= kTrayVersionReplacementIcon && info->record.replacement_icon)
        handle = info->record.replacement_icon;
    HICON icon = reinterpret_cast<HICON>(static_cast<ULONG_PTR>(handle));
    const RECT& cell = info->iconRect;
    const int x = cell.left + (cell.right - cell.left - 16) / 2;
    const int y = cell.top + (cell.bottom - cell.top - 16) / 2;
    SkinRecord* skin = SkinOf(section);
    if (!skin) {
        if (icon) DrawIconEx(info->dc, x, y, icon, 16, 16, 0, nullptr, DI_NORMAL);
        return 0;
    }
    const int state = info->state == kTrayIconPressed ? kStateSelected
                      : info->state == kTrayIconHot   ? kStateMouseOver
                                                      : kStateNormal;
    RECT moved = cell;
    OffsetRect(&moved, 1, 0);
    DrawSkinIcon(skin, info->dc, icon, &moved, x, y,
                 GetSkinStateIndex(skin, state, section->iSectionSkin), 16, 0, nullptr, 0);
    return 1;
}

// ---- mouse and messages ---------------------------------------------------------------------------------------

void CVellumMenuSection_Systray::ProcessMouseMessage(UINT msg, WPARAM wp, LPARAM lp, POINT pt,
                                                     int* handled) {
    if (IsHidden || !m_pBar) return;
    if (!IsPointerMessage(msg)) {
        if (!m_trayHost) CVellumMenuSection::ProcessMouseMessage(msg, wp, lp, pt, handled);
        return;
    }
    const bool inside = PtInRect(&m_outerRect, pt) != 0;
    HWND bar_window = m_pBar->m_hWnd;
    if (ExpandButtonEnabled) {
        if (Autocontract) {
            const bool expanded = TempDisabled && FilteringAvailable();
            if (!inside && expanded) {
                if (!m_autoContractRunning && bar_window &&
                    SetTimer(bar_window, m_autoContractTimerId, kAutoContractDelayMs, nullptr))
                    m_autoContractRunning = TRUE;
            } else if (m_autoContractRunning) {
                KillTimer(bar_window, m_autoContractTimerId);
                m_autoContractRunning = FALSE;
            }
        }
        if (FilteringAvailable()) {
            if (m_buttonMouseState == -1 && !(GetAsyncKeyState(VK_LBUTTON) & 0x8000))
                m_buttonMouseState = 0;
            const bool over = !IsRectEmpty(&m_buttonRect) && PtInRect(&m_buttonRect, pt);
            if (over) {
                const int was = m_buttonMouseState;
                if (msg == WM_MOUSEMOVE) {
                    SetButtonMouseState(was == -1 || was == 2 ? 2 : 1);
                } else if (msg == WM_LBUTTONDOWN) {
                    SetButtonMouseState(2);
                } else if (msg == WM_LBUTTONUP) {
                    SetButtonMouseState(0);
                    if (was == 2) SetExpanded(!TempDisabled);
                }
                if (handled) *handled = 0;
                return;
            }
            if (m_buttonMouseState == 1) SetButtonMouseState(0);
            else if (m_buttonMouseState == 2) SetButtonMouseState(-1);
        }
    }
    if (inside && handled) *handled = 0;
    if (!m_trayHost) {
        CVellumMenuSection::ProcessMouseMessage(msg, wp, lp, pt, handled);
        return;
    }
    if (msg == WM_RBUTTONDOWN) {
        HWND owner = m_trayHost->OwnerAt(pt.x, pt.y);
        char cls[64] = "";
        if (owner && GetClassNameA(owner, cls, sizeof(cls)) && lstrcmpA(cls, kOwnTrayIconClass) == 0)
            SetPropA(owner, "TS-NOCLOSEVOLITLESTEMPLY", reinterpret_cast<HANDLE>(1));
    }
    const LPARAM point = IsNonClient(msg) ? lp : MAKELPARAM(pt.x, pt.y);
    m_trayHost->HandleMessage(msg, wp, point);
    if (m_trayHost->m_redrawPending) RedrawSection();
}

void CVellumMenuSection_Systray::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const SystrayMessages& m = Messages();
    if (msg == m.speedUpdate) return;
    if (msg == WM_TIMER && m_autoContractTimerId && wp == m_autoContractTimerId) {
        if (m_pBar && m_pBar->m_hWnd) KillTimer(m_pBar->m_hWnd, m_autoContractTimerId);
        m_autoContractRunning = FALSE;
        SetExpanded(0);
    } else if (msg == WM_TIMER && m_trayHost && m_trayHost->m_filterTimerId &&
               wp == m_trayHost->m_filterTimerId) {
        if (m_trayHost->OnFilterTimer() && m_pBar) m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    } else if (msg == m.timeFiltering) {
        ApplyTrayFilterState();
    } else if (msg == m.skinChanging) {
        LoadTrayButtonBitmaps();
        RECT last = m_lastRect;
        SetSectionRect(last.left, last.top, last.right, last.bottom, 0);
    }
    CVellumMenuSection::ProcessUserMessage(msg, wp, lp);
    if (!m_trayHost) return;
    const int handled = m_trayHost->HandleMessage(msg, wp, lp);
    const int shown = m_trayHost->GetShownCount();
    if (shown != m_lastShownCount) {
        m_lastShownCount = shown;
        if (m_pBar) m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    } else if (handled && m_trayHost->m_redrawPending) {
        RedrawSection();
    }
}

// ---- context menu ------------------------------------------------------------------------------------------------

void CVellumMenuSection_Systray::InitCustomContextMenu(HMENU barMenu, HMENU) {
    if (!barMenu) return;
    DeleteMenu(barMenu, kItemOptionsCommand, MF_BYCOMMAND);
    auto insert = [barMenu](UINT flags, UINT_PTR id, const char* text) {
        InsertMenuA(barMenu, kExtendedItemsCommand, MF_BYCOMMAND | flags, id, text);
    };
    if (UseTimeFilter) {
        insert(MF_STRING, kCmdToggleExpanded,
               TempDisabled ? "Hide Inactive Tray Icons" : "Show Hidden Tray Icons");
        insert(MF_STRING, kCmdConfigureFiltering, "Configure Tray Filtering...");
    }
    insert(MF_STRING, kCmdToggleFiltering,
           UseTimeFilter ? "Disable System Tray Filtering" : "Enable System Tray Filtering");
    insert(MF_SEPARATOR, 0, nullptr);
    insert(MF_STRING, kCmdCustomizeIcons, "Customize Icons in the System Tray");
    insert(MF_SEPARATOR, 0, nullptr);
}

HMENU CVellumMenuSection_Systray::InitContextMenu(HMENU barMenu) {
    if (!barMenu) return nullptr;
    DeleteMenu(barMenu, kSectionOptionsCommand, MF_BYCOMMAND);
    InitCustomContextMenu(barMenu, barMenu);
    return nullptr;
}

void CVellumMenuSection_Systray::PostToServer(UINT msg, HWND parent) {
    HWND server = FindTrayServer();
    if (!server) return;
    // The server's dialog can come to the front only once it has the foreground.
    SetForegroundWindow(server);
    PostMessageA(server, msg, reinterpret_cast<WPARAM>(parent), 0);
}

int CVellumMenuSection_Systray::DoCustomContextMenuCommand(int id) {
    switch (id) {
    case kCmdToggleExpanded:
        SetExpanded(!TempDisabled);
        if (m_pBar) m_pBar->SetModifiedSilent();
        return 1;
    case kCmdConfigureFiltering:
        PostToServer(tray::WM_TRAYFILTERDIALOG, m_pBar ? m_pBar->m_hWnd : nullptr);
        return 1;
    case kCmdToggleFiltering:
        TempDisabled = FALSE;
        UseTimeFilter = !UseTimeFilter;
        ApplyTrayFilterState();
        if (m_pBar) m_pBar->SetModifiedSilent();
        return 1;
    case kCmdCustomizeIcons:
        PostToServer(tray::WM_TRAYICONDIALOG, m_pBar ? m_pBar->m_hWnd : nullptr);
        return 1;
    default:
        return 0;
    }
}

// ---- names, icon and saving ------------------------------------------------------------------------------------------

int CVellumMenuSection_Systray::GetCustomSectionName(char* out) {
    if (!out) return 0;
    tess::CopyText(out, 12, "System Tray");
    return 1;
}

HICON CVellumMenuSection_Systray::GetCustomIcon() {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr), MAKEINTRESOURCEA(kProgramIconId),
                                         IMAGE_ICON, 16, 16, 0));
}

int CVellumMenuSection_Systray::SaveExternal() {
    if (!m_pBar) return 1;
    const char* file = m_pBar->m_barFile;
    const char* name = m_iniSectionName;
    tess::WriteProfileString(name, "Properties.Type", "Systray", file);
    if (UseTimeFilter) {
        WriteIntSetting(1, name, "UseTimeFilter", file);
        WriteIntSetting(Autocontract ? 0 : TempDisabled, name, "TempDisabled", file);
        WriteIntSetting(Autocontract, name, "Autocontract", file);
    }
    WriteIntSetting(ExpandButtonEnabled, name, "ExpandButtonEnabled", file);
    if (ExpandButtonEnabled) {
        WriteIntSetting(BitmapPathRelToSkin, name, "BitmapPathRelToSkin", file);
        for (int i = 0; i < kSystrayButtonStates; ++i)
            if (m_bitmapPaths[i][0])
                tess::WriteProfileString(name, kSystrayButtonKeys[i], m_bitmapPaths[i], file);
    }
    return 1;
}
