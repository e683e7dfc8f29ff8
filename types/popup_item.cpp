// CVellumMenuItem_Popup: construction, the keys of the bar file, the
// virtual operations, opening and closing the child bar, the menu popup and
// the registered messages.
#include "types/popup_item.h"
#include <cstring>
#include <new>
#include "model/bar_file.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/popup_item_calls.h"
#include "model/registered_names.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "shell/desktop_right_click.h"
#include "skins/ini_section_reader.h"
#include "skins/skin_cache.h"
#include "skins/skin_record.h"
#include "types/popup_item_internal.h"
#include "types/type_registration.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr int kStandardCommandPopupMenu = 1;
constexpr int kPopupItemIconId = 126;
constexpr DWORD kChildClickIgnoreMs = 250;
constexpr UINT kWatchTimerMs = 10;
constexpr int kHoverDelayInVolatileBar = 250;

bool BarIsReadingFile(const CVellumMenuObject* bar) {
    return bar && bar->m_loadingSections && bar->m_sectionReader;
}

bool IsVisibleBar(const CVellumMenuObject* bar) {
    return bar && bar->m_hWnd && ::IsWindowVisible(bar->m_hWnd);
}

// The child bar can be read: a file that cannot be opened leaves an empty bar.
bool BarFileReadable(const char* path) {
    HANDLE file = ::CreateFileA(path, GENERIC_READ, FILE_SHARE_READ | FILE_SHARE_WRITE, nullptr,
                                OPEN_EXISTING, FILE_ATTRIBUTE_NORMAL, nullptr);
    if (file == INVALID_HANDLE_VALUE) return false;
    ::CloseHandle(file);
    return true;
}

// Gives a bar the skin file at path through the bar's own reload.
void GiveBarSkin(CVellumMenuObject* bar, const char* path) {
    if (!bar || !path || !path[0]) return;
    tess::CopyText(bar->m_pendingSkinPath, path);
    bar->ReloadSkin(0);
}

const ItemClassRegistration kPopupRegistration("Popup", MakePopupItem);
const DefaultItemClassRegistration kPlainRegistration(MakePlainItem);

}  // namespace

// ---- messages ---------------------------------------------------------------------------------

const PopupMessages& GetPopupMessages() {
    using N = RegisteredName;
    static const RegisteredNameSlot<PopupMessages> kSlots[] = {
        {&PopupMessages::BarNameChanging, N::BarNameChanging},
        {&PopupMessages::ShowPopupFollowup, N::ShowPopupFollowup},
        {&PopupMessages::ThemeLoadingAlmostDone, N::ThemeLoadingAlmostDone},
        {&PopupMessages::SkinChanging, N::BarSkinChanging},
        {&PopupMessages::ResetPopup, N::ResetPopup},
        {&PopupMessages::RepopupNonVolatile, N::RepopupNonVolatile},
        {&PopupMessages::BarClosing, N::BarClosing},
        {&PopupMessages::BarHiding, N::BarHiding},
        {&PopupMessages::RedrawSingleItemDelayed, N::RedrawSingleItemDelayed},
        {&PopupMessages::AssociatedPopupShowing, N::AssociatedPopupShowing},
        {&PopupMessages::BarShowing, N::BarShowing},
        {&PopupMessages::ThemeClosingCheckModified, N::ThemeClosingCheckModified},
        {&PopupMessages::PopupItemClosing, N::PopupItemClosing},
        {&PopupMessages::VolatileClose, N::VolatileClose},
        {&PopupMessages::BarNewPopup, N::BarNewPopup},
    };
    static const PopupMessages messages = RegisterNames(kSlots);
    return messages;
}

// ---- construction -----------------------------------------------------------------------------

CVellumMenuItem* MakePopupItem(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber,
                               const char*) {
    return new (std::nothrow) CVellumMenuItem_Popup(bar, section, itemNumber, 0, "");
}

CVellumMenuItem* MakePlainItem(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber,
                               const char* storedType) {
    return new (std::nothrow) CVellumMenuItem_Popup(bar, section, itemNumber, 1, storedType);
}

void CVellumMenuItem_Popup::InitFields() {
    m_popupPath[0] = '\0';
    Toggle = TRUE;
    AutoReposition = TRUE;
    ForceAssociatedPopupSkin = FALSE;
    Volitle = TRUE;
    PreserveSize = FALSE;
    HideOnClose = FALSE;
    PopupDirection = kPopupAutomatic;
    AlignPopupNextToBar = FALSE;
    WasPoppedUp = 0;
    nBarsToPopup = 0;
    std::memset(szBarsToPopup, 0, sizeof(szBarsToPopup));
    m_childBar = nullptr;
    m_listedBarsShown = FALSE;
    m_openAtCursor = FALSE;
    m_desktopRightClickItem = FALSE;
    m_openFromBar = nullptr;
    m_companionSkinKind = kCompanionPopup;
    m_plain = FALSE;
    m_pendingWasPoppedUp = 0;
    m_childOpenAtThemeClose = FALSE;
    m_page = nullptr;
    m_storedType[0] = '\0';
}

CVellumMenuItem_Popup::CVellumMenuItem_Popup(CVellumMenuObject* bar, CVellumMenuSection* section,
                                             int itemNumber, int plain, const char* storedType)
    : CVellumMenuItem(bar, section, itemNumber, nullptr, -1) {
    InitFields();
    m_plain = plain ? TRUE : FALSE;
    if (m_plain) tess::CopyText(m_storedType, storedType ? storedType : "");
    if (BarIsReadingFile(bar) && section && itemNumber > 0) {
        // A type not built yet keeps all its keys as they are, popup keys
        // included, for the class that will read them.
        // A type not built yet keeps all its keys as they are, popup keys
        // included, for the class that will read them.
        if (!m_storedType[0])
            ReadPopupKeys();
        else if (m_valid)
            m_unreadKeys = TakeUnreadKeys(bar, m_sectionName, itemNumber);
    }
    if (WasPoppedUp && bar && bar->m_hWnd) {
        m_pendingWasPoppedUp = WasPoppedUp;
        ::PostMessageA(bar->m_hWnd, GetPopupMessages().RepopupNonVolatile,
                       reinterpret_cast<WPARAM>(this), 0);
    }
}

CVellumMenuItem_Popup::CVellumMenuItem_Popup(CVellumMenuObject* bar, CVellumMenuSection* section,
                                             int itemNumber, HMENU menu)
    : CVellumMenuItem(bar, section, itemNumber, menu, -1) {
    InitFields();
    m_plain = TRUE;
}

void CVellumMenuItem_Popup::ReadPopupKeys() {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    char key[kIniKeyNameSize];
    auto name = [&](const char* k) -> const char* {
        BuildString(key, const_cast<char*>(k));
        return key;
    };
    char path[kPopupPathSize] = "";
    reader->GetString(name("Popup"), path, sizeof(path), "");
    char absolute[MAX_PATH] = "";
    if (path[0] && m_pBar->MakePathAbsolute(path, absolute, nullptr) && absolute[0])
        tess::CopyText(m_popupPath, absolute);
    else
        tess::CopyText(m_popupPath, path);
    Toggle = reader->GetBool(name("Popup.Toggle"), 1);
    AutoReposition = reader->GetBool(name("Popup.AutoReposition"), 1);
    ForceAssociatedPopupSkin = reader->GetBool(name("Popup.ForceAssociatedPopupSkin"), 0);
    Volitle = reader->GetBool(name("Popup.Volitle"), 1);
    PreserveSize = reader->GetBool(name("Popup.PreserveSize"), 0);
    HideOnClose = reader->GetBool(name("Popup.HideOnClose"), 0);
    PopupDirection = reader->GetInt(name("Popup.PopupDirection"), 0);
    if (PopupDirection < 0 || PopupDirection > kPopupCentred) PopupDirection = kPopupAutomatic;
    AlignPopupNextToBar = reader->GetBool(name("Popup.AlignPopupNextToBar"), 0);
    WasPoppedUp = reader->GetInt(name("Popup.WasPoppedUp"), 0);
    int count = reader->GetInt(name("Popup.nBarsToPopup"), 0);
    // The list has room for 20 names; a longer count in a file is cut there.
    if (count < 0) count = 0;
    if (count > kMaxListedBars) count = kMaxListedBars;
    nBarsToPopup = 0;
    for (int i = 0; i < count; ++i) {
        char bar_key[32];
        tess::FormatText(bar_key, sizeof(bar_key), "Popup.szBar%i", i);
        char title[kListedBarNameSize] = "";
        reader->GetString(name(bar_key), title, sizeof(title), "");
        tess::CopyText(szBarsToPopup[nBarsToPopup++], title);
    }
}

CVellumMenuItem_Popup::~CVellumMenuItem_Popup() {
    if (m_desktopRightClickItem) FreeDesktopRightClickBar(1);
    if (m_page && ::IsWindow(m_page)) ::DestroyWindow(m_page);
    m_page = nullptr;
    if (m_childBar) {
        CVellumMenuObject* child = m_childBar;
        m_childBar = nullptr;
        if (IsLiveBar(child)) {
            if (child->m_owningPopupItem == this) child->m_owningPopupItem = nullptr;
            // A visible child stays open on its own.
            if (!IsVisibleBar(child)) child->Release();
        }
    }
    ReleaseAssociatedBars(this);
}

// ---- small virtual operations -------------------------------------------------------------------

CVellumMenuObject* CVellumMenuItem_Popup::GetChildObject() { return m_childBar; }

CVellumMenuItem* CVellumMenuItem_Popup::Duplicate() {
    if (m_plain) return CVellumMenuItem::Duplicate();
    CVellumMenuItem_Popup* copy =
        new (std::nothrow) CVellumMenuItem_Popup(m_pBar, m_pSection, 0, 0, "");
    if (!copy) return nullptr;
    Copy(copy, 0);
    copy->nBarsToPopup = nBarsToPopup;
    std::memcpy(copy->szBarsToPopup, szBarsToPopup, sizeof(szBarsToPopup));
    copy->HideOnClose = HideOnClose;
    copy->PopupDirection = PopupDirection;
    copy->Volitle = Volitle;
    copy->PreserveSize = PreserveSize;
    tess::CopyText(copy->m_popupPath, m_popupPath);
    copy->Toggle = Toggle;
    copy->AutoReposition = AutoReposition;
    copy->WasPoppedUp = WasPoppedUp;
    copy->m_openAtCursor = m_openAtCursor;
    copy->m_plain = m_plain;
    copy->AlignPopupNextToBar = FALSE;
    copy->ForceAssociatedPopupSkin = FALSE;
    return copy;
}

int CVellumMenuItem_Popup::IsPopup() { return m_plain ? CVellumMenuItem::IsPopup() : 1; }

bool CVellumMenuItem_Popup::BarIsVolatileOrPoppedUp(const CVellumMenuObject* bar) const {
    return bar && (bar->m_volatile || bar->m_popupOpened);
}

int CVellumMenuItem_Popup::GetPopupDelay() {
    if (IsVisibleBar(m_childBar) || IsAnyListedBarVisible()) return -1;
    if (m_pBar && m_pBar->m_volatile && Toggle) return kHoverDelayInVolatileBar;
    return 1;
}

UINT CVellumMenuItem_Popup::GetPopupRequiredKeys() {
    if (m_pBar && m_pBar->m_volatile && Toggle) return 0;
    return VK_LBUTTON;
}

int CVellumMenuItem_Popup::GetCustomItemName(char* out) {
    if (m_plain) return CVellumMenuItem::GetCustomItemName(out);
    if (!out) return 0;
    tess::CopyText(out, 11, "Popup Item");
    return 1;
}

HICON CVellumMenuItem_Popup::GetCustomIcon() {
    if (m_plain || !m_pBar) return CVellumMenuItem::GetCustomIcon();
    return static_cast<HICON>(::LoadImageA(m_pBar->m_hModule, MAKEINTRESOURCEA(kPopupItemIconId),
                                           IMAGE_ICON, 16, 16, 0));
}

int CVellumMenuItem_Popup::TrackPopupMenuDoubleClick() {
    return m_childBar ? 0 : TrackPopupMenu(0);
}

// Files dragged to rest on the item open its child bar, so the drag can go
// on into it; a child already open stays as it is.
void CVellumMenuItem_Popup::DragHover() {
    if (!IsPopup() || IsVisibleBar(m_childBar) || m_listedBarsShown) return;
    TrackPopupMenu(0);
}

void CVellumMenuItem_Popup::SetState(UINT state, int keep) {
    if (m_listedBarsShown || IsVisibleBar(m_childBar)) state = kStateSelected;
    CVellumMenuItem::SetState(state, keep);
}

CVellumMenuObject* CVellumMenuItem_Popup::AnchorBar() const {
    return m_openFromBar ? m_openFromBar : m_pBar;
}

// ---- save ----------------------------------------------------------------------------------------

int CVellumMenuItem_Popup::SaveExternal() {
    if (!m_pBar) return CVellumMenuItem::SaveExternal();
    const char* file = m_pBar->m_barFile;
    char key[kIniKeyNameSize];
    auto name = [&](const char* k) -> const char* {
        BuildString(key, const_cast<char*>(k));
        return key;
    };
    auto write_int = [&](const char* k, int value) {
        WriteIntSetting(value, m_sectionName, name(k), file);
    };
    char custom[64] = "";
    GetCustomItemName(custom);
    if (lstrcmpA(custom, "Shortcut") != 0) {
        // A type not built yet writes back the keys it kept, nothing of its own.
        if (m_plain && (Action != kStandardCommandPopupMenu || m_storedType[0])) {
            CVellumMenuItem::SaveExternal();
            WriteKeptKeys();
            return 1;
        }
        if (!m_plain) {
            tess::WriteProfileString(m_sectionName, name("Type"), "Popup", file);
            char relative[MAX_PATH] = "";
            if (m_popupPath[0]) m_pBar->MakePathRelative(m_popupPath, relative, nullptr);
            tess::WriteProfileString(m_sectionName, name("Popup"),
                                     relative[0] ? relative : m_popupPath, file);
        }
        write_int("Popup.Toggle", Toggle);
        write_int("Popup.AutoReposition", AutoReposition);
        write_int("Popup.ForceAssociatedPopupSkin", ForceAssociatedPopupSkin);
        write_int("Popup.Volitle", Volitle);
        write_int("Popup.PreserveSize", PreserveSize);
        if (HideOnClose) write_int("Popup.HideOnClose", 1);
    }
    if (PopupDirection) write_int("Popup.PopupDirection", PopupDirection);
    write_int("Popup.AlignPopupNextToBar", AlignPopupNextToBar);
    bool child_open = IsVisibleBar(m_childBar) && !m_childBar->m_volatile;
    if (child_open || m_childOpenAtThemeClose) {
        bool moved = m_childBar && IsLiveBar(m_childBar) &&
                     (m_childBar->m_tornOff || m_childBar->m_userPositioned);
        write_int("Popup.WasPoppedUp", moved ? 1 : 2);
    }
    int count = nBarsToPopup < 0 ? 0 : (nBarsToPopup > kMaxListedBars ? kMaxListedBars : nBarsToPopup);
    write_int("Popup.nBarsToPopup", count);
    for (int i = 0; i < count; ++i) {
        char bar_key[32];
        tess::FormatText(bar_key, sizeof(bar_key), "Popup.szBar%i", i);
        tess::WriteProfileString(m_sectionName, name(bar_key), szBarsToPopup[i], file);
    }
    CVellumMenuItem::SaveExternal();
    WriteKeptKeys();
    return 1;
}

void CVellumMenuItem_Popup::WriteKeptKeys() {
    if (!m_pBar) return;
    char key[kIniKeyNameSize];
    if (m_plain && m_storedType[0]) {
        BuildString(key, const_cast<char*>("Type"));
        tess::WriteProfileString(m_sectionName, key, m_storedType, m_pBar->m_barFile);
    }
    if (m_unreadKeys.empty()) return;
    BuildString(key, nullptr);   // "Item<n>." under the number of this save
    WriteUnreadKeys(m_unreadKeys, key, m_sectionName, m_pBar->m_barFile);
}

// ---- opening -------------------------------------------------------------------------------------

CVellumMenuObject* CVellumMenuItem_Popup::NewChildBar() {
    if (!m_pBar) return nullptr;
    CVellumMenuObject* child = new (std::nothrow) CVellumMenuObject(m_pBar->m_hMainWindow);
    if (!child) return nullptr;
    child->Alpha = m_pBar->Alpha;
    child->m_ignoreClicksUntil = 0;
    child->m_owningPopupItem = this;
    return child;
}

bool CVellumMenuItem_Popup::CreateChildFromFile() {
    CVellumMenuObject* child = NewChildBar();
    if (!child) return false;
    m_childBar = child;
    SkinRecord* companion = nullptr;
    char skin_path[MAX_PATH] = "";
    if (ForceAssociatedPopupSkin && m_pBar->m_skin) {
        companion = GetCompanionSkin(m_pBar->m_skin, m_companionSkinKind);
        tess::CopyText(skin_path, companion ? companion->path : m_pBar->m_skin->path);
    }
    bool readable = BarFileReadable(m_popupPath);
    child->LoadTheme(m_popupPath, 0, skin_path[0] ? skin_path : nullptr);
    if (companion) ReleaseSkin(companion);
    // Reading the file posted the bar's hide; it must not arrive after the
    // child is shown.
    if (child->m_hWnd) {
        const UINT show_msg = GetBarMessages().MyShowWindow;
        MSG pending;
        while (::PeekMessageA(&pending, child->m_hWnd, show_msg, show_msg, PM_REMOVE))
            ::DispatchMessageA(&pending);
    }
    // An unreadable file gives an empty bar: it must never be written over
    // the file it failed to read.
    if (!readable) child->m_neverSave = TRUE;
    child->m_hideOnClose = HideOnClose;
    return true;
}

int CVellumMenuItem_Popup::TrackPopupMenu(int) {
    if (!m_pBar) return 0;
    if (m_plain) {
        if (Action != kStandardCommandPopupMenu) return CVellumMenuItem::TrackPopupMenu(0);
        if (!IsPopup()) return 0;
        if (!m_childBar) return OpenMenuPopup();
    }
    if (!m_childBar) {
        if (nBarsToPopup > 0) {
            if (AutoReposition) PlaceLayerBesideItem(-1, PopupDirection);
            if (Toggle && IsAnyListedBarVisible()) {
                m_listedBarsShown = FALSE;
                HideListedBars();
                SetState(kStateNormal, 0);
                m_pBar->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0);
            } else {
                m_listedBarsShown = TRUE;
                ShowListedBars();
                SetState(kStateSelected, 0);
            }
            RedrawItem();
        }
        if (m_popupPath[0] && !m_plain) {
            PreserveSize = TRUE;
            CreateChildFromFile();
        }
        ShowPopupBar(0);
        return 1;
    }

    CVellumMenuObject* child = m_childBar;
    if (m_desktopRightClickItem) {
        child->m_volatile = FALSE;
        PositionPopupBar();
        child->m_volatile = TRUE;
        child->Show(0);
        return 1;
    }
    if (!IsPopupOpenGuardOver()) return 1;
    if (!IsVisibleBar(child)) {
        if (HideOnClose) {
            UpdateHiddenPopup();
            child->m_volatile = FALSE;
            PositionPopupBar();
            child->m_volatile = Volitle || BarIsVolatileOrPoppedUp(m_pBar);
            child->Show(1);
            SetJustOpenedPopup(child->m_hWnd);
            SetState(m_state, 0);
            RedrawItem();
        } else {
            m_childBar = nullptr;
            if (IsLiveBar(child)) {
                child->m_owningPopupItem = nullptr;
                child->Release();
            }
        }
    } else if (Toggle) {
        if (HideOnClose)
            child->Hide(0);
        else
            ClosePopupBar();
    }
    return 1;
}

int CVellumMenuItem_Popup::OpenMenuPopup() {
    HMENU menu = GetPopupMenu();
    InitMenu(menu);
    const PopupMessages& m = GetPopupMessages();
    if (m_pBar->m_hWnd) ::SetForegroundWindow(m_pBar->m_hWnd);
    if (m_pBar->m_hMainWindow) ::SendMessageA(m_pBar->m_hMainWindow, m.VolatileClose, 0, 0);

    CVellumMenuObject* child = NewChildBar();
    if (!child) {
        UnInitMenu(menu);
        return 0;
    }
    m_childBar = child;
    child->m_internalBar = TRUE;
    child->m_neverSave = TRUE;
    if (m_pBar->m_skin) {
        SkinRecord* companion = GetCompanionSkin(m_pBar->m_skin, m_companionSkinKind);
        if (companion) {
            GiveBarSkin(child, companion->path);
            ReleaseSkin(companion);
        }
    }
    char title[kBarTitleSize];
    tess::FormatText(title, sizeof(title), m_openAtCursor ? "%s" : "Menu (%s)",
                     m_title ? m_title : "");
    child->SetTitle(title);
    child->DisplayVertically = TRUE;

    int use_menu = 1;
    CVellumMenuSection* section = CreatePopupSection(child, &use_menu);
    if (!section) section = new (std::nothrow) CVellumMenuSection_Default(child, -1, 1, nullptr);
    if (section) {
        section->EqualWidths = TRUE;
        section->MinItems = 0;
        child->InsertSection(0, section);
    }
    child->m_hideOnClose = HideOnClose;

    if (section && use_menu && menu) {
        int count = ::GetMenuItemCount(menu);
        for (int i = 0; i < count && i < kMaxItems; ++i) {
            UINT state = ::GetMenuState(menu, i, MF_BYPOSITION);
            CVellumMenuItem* entry = nullptr;
            if (state != static_cast<UINT>(-1) && (state & MF_SEPARATOR)) {
                entry = new (std::nothrow) CVellumMenuItem(child, section, const_cast<char*>(""));
                if (entry) entry->Separator = TRUE;
            } else {
                char text[kPopupMenuEntryTextSize] = "";
                ::GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
                entry = new (std::nothrow) CVellumMenuItem(child, section, text);
                if (entry) entry->Action = static_cast<int>(::GetMenuItemID(menu, i));
            }
            if (entry && !section->InsertItem(-1, entry)) delete entry;
            if (i == 0 && !m_openAtCursor) child->m_hideOnClose = HideOnClose = TRUE;
        }
    }
    child->RecalcRects(kRecalcNoRedraw, kRecalcKeepPos);
    PrePopup(child);
    ShowPopupBar(0);
    if (m_openAtCursor && IsLiveBar(child)) child->m_hideOnClose = FALSE;
    UnInitMenu(menu);
    return 1;
}

void CVellumMenuItem_Popup::ShowPopupBar(int forceVolatile) {
    CVellumMenuObject* child = m_childBar;
    if (!child || !m_pBar) return;
    const PopupMessages& m = GetPopupMessages();
    CVellumMenuObject* anchor = AnchorBar();
    child->m_hMonitor = anchor->m_hMonitor;
    tess::CopyText(child->LastMonitor, anchor->LastMonitor);
    child->UpdateMonitorPoints(1);
    child->m_owningPopupItem = this;
    if (!m_pendingWasPoppedUp) PositionPopupBar();
    if (m_plain && child->m_skin && child->m_skin->fonts[kSkinFontTitle].font.get())
        child->ShowTitle = TRUE;

    BOOL popup_volatile =
        Volitle ? TRUE : (BarIsVolatileOrPoppedUp(m_pBar) || forceVolatile ? TRUE : FALSE);
    child->m_popupOpened = popup_volatile;
    child->Show(1);
    if (child->m_hWnd) ::SetForegroundWindow(child->m_hWnd);
    if (m_pBar->m_hMainWindow) ::SendMessageA(m_pBar->m_hMainWindow, m.VolatileClose, 0, 0);
    if (!IsLiveBar(child) || m_childBar != child) return;   // closed meanwhile
    if (m_pendingWasPoppedUp) {
        child->m_volatile = FALSE;
        child->m_popupOpened = TRUE;
    } else {
        child->m_popupOpened = FALSE;
        child->m_volatile = popup_volatile;
    }

    SetState(m_state, 0);
    RedrawItem();
    if (m_pBar->m_hMainWindow)
        ::SendMessageA(m_pBar->m_hMainWindow, m.BarNewPopup, reinterpret_cast<WPARAM>(child), 0);

    if (child->m_hWnd) {
        if (!child->m_gripTimerId) child->m_gripTimerId = static_cast<int>(child->ReserveTimerID());
        child->m_gripTimerRunning = TRUE;
        ::SetTimer(child->m_hWnd, child->m_gripTimerId, kWatchTimerMs, nullptr);
        ::SetForegroundWindow(child->m_hWnd);
        // The click that opened the popup must not close it again.
        SetJustOpenedPopup(child->m_hWnd);
    }
    child->m_ignoreClicksUntil = ::GetTickCount() + kChildClickIgnoreMs;
    child->m_userPositioned = FALSE;
}

void CVellumMenuItem_Popup::AfterChildGone() {
    if (m_state != kStateNormal) SetState(kStateNormal, 0);
    if (m_pBar) m_pBar->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0);
    RedrawItem();
}

void CVellumMenuItem_Popup::ClosePopupBar() {
    HideListedBars();
    CVellumMenuObject* child = m_childBar;
    m_childBar = nullptr;
    if (child && IsLiveBar(child)) {
        child->m_owningPopupItem = nullptr;
        child->Release();
    }
    SetState(kStateNormal, 0);
    if (m_pBar) m_pBar->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0);
    RedrawItem();
}

// ---- registered messages ----------------------------------------------------------------------------

void CVellumMenuItem_Popup::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const PopupMessages& m = GetPopupMessages();
    const WPARAM self = reinterpret_cast<WPARAM>(this);
    const WPARAM child = reinterpret_cast<WPARAM>(m_childBar);
    if (msg == m.BarNameChanging) {
        OnBarNameChanging(wp, lp);
    } else if (msg == m.ShowPopupFollowup) {
        if (wp == self) ActivateShownListedBars();
    } else if (msg == m.ThemeLoadingAlmostDone) {
        UpdateListedBars(m_desktopRightClickItem);
    } else if (msg == m.SkinChanging || msg == m.ResetPopup) {
        if (m_childBar && IsLiveBar(m_childBar) && !IsVisibleBar(m_childBar)) {
            CVellumMenuObject* hidden = m_childBar;
            m_childBar = nullptr;
            hidden->m_owningPopupItem = nullptr;
            hidden->Release();
        }
    } else if (msg == m.RepopupNonVolatile) {
        if (wp == self) {
            if (m_pendingWasPoppedUp) TrackPopupMenu(0);
            m_pendingWasPoppedUp = 0;
        }
    } else if (msg == m.BarClosing) {
        if (m_childBar && wp == child) {
            m_childBar = nullptr;
            if (m_state != kStateNormal) AfterChildGone();
        }
    } else if (msg == m.BarHiding) {
        if (m_childBar && wp == child) AfterChildGone();
        if (m_listedBarsShown && !IsAnyListedBarVisible()) {
            m_listedBarsShown = FALSE;
            AfterChildGone();
        }
    } else if (msg == m.RedrawSingleItemDelayed) {
        if (wp == self) RedrawItem();
    } else if (msg == m.AssociatedPopupShowing) {
        if (!m_listedBarsShown && IsAnyListedBarVisible()) {
            m_listedBarsShown = TRUE;
            SetState(kStateSelected, 0);
            if (m_pBar && m_pBar->m_hWnd)
                ::PostMessageA(m_pBar->m_hWnd, m.RedrawSingleItemDelayed, self, 0);
        }
    } else if (msg == m.BarShowing) {
        if (m_childBar && wp == child) {
            if (Toggle) SetState(kStateSelected, 0);
            RedrawItem();
        }
    } else if (msg == m.ThemeClosingCheckModified) {
        CheckModifiedAtThemeClose();
    }
    CVellumMenuItem::ProcessUserMessage(msg, wp, lp);
}

void CVellumMenuItem_Popup::CheckModifiedAtThemeClose() {
    if (!m_pBar) return;
    bool visible = IsVisibleBar(m_childBar);
    if (WasPoppedUp && !visible) m_pBar->SetModified();
    if (!WasPoppedUp && visible && !m_childBar->m_volatile) m_pBar->SetModified();
    m_childOpenAtThemeClose = visible ? TRUE : FALSE;
}

void CVellumMenuItem_Popup::OnBarNameChanging(WPARAM wp, LPARAM lp) {
    // Any process can post this message: the two texts are used only when
    // they are records this program made itself.
    const char* old_title = reinterpret_cast<const char*>(wp);
    const char* new_title = reinterpret_cast<const char*>(lp);
    if (!old_title || !new_title || !IsOwnedRecord(old_title) || !IsOwnedRecord(new_title)) return;
    bool changed = false;
    int count = nBarsToPopup > kMaxListedBars ? kMaxListedBars : nBarsToPopup;
    for (int i = 0; i < count; ++i) {
        if (lstrcmpiA(szBarsToPopup[i], old_title) != 0) continue;
        tess::CopyText(szBarsToPopup[i], new_title);
        changed = true;
    }
    if (!changed) return;
    if (m_pBar) m_pBar->SetModifiedSilent();
    if (m_page && ::IsWindow(m_page) && ::IsWindowVisible(m_page))
        ::SendMessageA(m_page, WM_SHOWWINDOW, 1, 0);
}
