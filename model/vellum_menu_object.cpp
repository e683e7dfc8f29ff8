// CVellumMenuObject: construction, destruction, reference counting, the
// section list, hit tests, tooltips and the title.
#include "model/vellum_menu_object.h"
#include <commctrl.h>
#include <cstring>
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/bar_window.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_section.h"
#include "util/bar_registry.h"
#include "util/text.h"

namespace {

bool g_nextBarIsDesktopBar = false;

constexpr DWORD kBarWindowStyle = 0x82000800;   // WS_POPUP | WS_CLIPCHILDREN | 0x800
constexpr int kToolTipMaxWidth = 800;

}  // namespace

// ---- construction -------------------------------------------------------------------------

void CVellumMenuObject::SetNextBarIsDesktopBar() {
    g_nextBarIsDesktopBar = true;
}

void CVellumMenuObject::ClearNextBarIsDesktopBar() {
    g_nextBarIsDesktopBar = false;
}

void CVellumMenuObject::ResetFields() {
    // Every field is plain data declared in one block, from m_lastLeftPress to
    // m_backgroundCacheSize: zero them together, then set the few that start
    // elsewhere.
    char* first = reinterpret_cast<char*>(&m_lastLeftPress);
    char* last = reinterpret_cast<char*>(&m_backgroundCacheSize + 1);
    std::memset(first, 0, last - first);

    m_monitorSize.cx = ::GetSystemMetrics(SM_CXSCREEN);
    m_monitorSize.cy = ::GetSystemMetrics(SM_CYSCREEN);
    m_placement.LastScreenSize = m_monitorSize;
    bUseScreenSizes = TRUE;
    IsATabStop = TRUE;
    LastTabOrder = -1;
    ForcedAutoHideEdge = -1;
    m_autohide.edge = -1;
    bRestrictMaximumSize = TRUE;
    m_ignoreClicksUntil = static_cast<DWORD>(-1);
    DockToEdge = kEdgeNone;
    Alpha = -1;
    AlwaysOnTop = TRUE;
    m_regionDirty = TRUE;
    m_refCount = 1;
    Comments = new char[1];
    Comments[0] = '\0';
}

CVellumMenuObject::CVellumMenuObject(HWND mainWindow) {
    ResetFields();
    TrackLiveBar(this);

    m_skinSlot = &m_skin;
    AcquirePlaceholderSkin();

    if (!mainWindow) return;
    m_hMainWindow = mainWindow;
    m_hModule = reinterpret_cast<HINSTANCE>(::GetWindowLongPtrA(mainWindow, GWLP_HINSTANCE));
    m_statsMonitor = static_cast<CStatsMonitor*>(::GetPropA(mainWindow, "lpStatsMonitor"));

    // Told before the bar has a window, so the main window can count it.
    ::SendMessageA(m_hMainWindow, GetBarMessages().MenuObjectCreated,
                   reinterpret_cast<WPARAM>(this), 0);

    if (!m_hModule || !m_statsMonitor) return;
    CreateBarWindow();
    if (!m_hWnd) return;

    AddBarWindow(this, m_hWnd);
    if (!BlockHazeglow) ::SetPropA(m_hWnd, "ADDSHADOW", reinterpret_cast<HANDLE>(1));
    ::SetWindowLongPtrA(m_hWnd, GWLP_USERDATA, kBarWindowUserData);

    RegisterDropTarget();
    CreateStateAnimator();
    m_constructed = TRUE;
    UpdateHiddenLayers();

    CreateToolTipWindow();

    const BarHostServices& host = GetBarHostServices();
    if (!(host.IsThemeLoading && host.IsThemeLoading())) {
        EnterTabOrderAtFront();
        if (host.PostHiddenTaskbarUpdate) host.PostHiddenTaskbarUpdate();
    }
}

void CVellumMenuObject::CreateBarWindow() {
    const char* cls = g_nextBarIsDesktopBar ? kDesktopBarWindowClass : kBarWindowClass;
    g_nextBarIsDesktopBar = false;
    // WM_CREATE stores the bar in "lpMenuObject" and sets m_hWnd.
    HWND wnd = ::CreateWindowExA(WS_EX_TOOLWINDOW | WS_EX_TOPMOST, cls, "Tessellar",
                                 kBarWindowStyle, 0, 0, 100, 100, nullptr, nullptr, m_hModule,
                                 this);
    m_hWnd = wnd;
}

void CVellumMenuObject::CreateToolTipWindow() {
    INITCOMMONCONTROLSEX icc = {sizeof(icc),
                                ICC_WIN95_CLASSES | ICC_DATE_CLASSES | ICC_USEREX_CLASSES |
                                    ICC_COOL_CLASSES | ICC_INTERNET_CLASSES |
                                    ICC_PAGESCROLLER_CLASS | ICC_NATIVEFNTCTL_CLASS};
    if (!::InitCommonControlsEx(&icc)) return;

    m_hToolTips = ::CreateWindowExA(WS_EX_TOOLWINDOW, TOOLTIPS_CLASSA, nullptr,
                                    WS_POPUP | TTS_ALWAYSTIP, CW_USEDEFAULT, CW_USEDEFAULT,
                                    CW_USEDEFAULT, CW_USEDEFAULT, m_hWnd, nullptr, m_hModule,
                                    nullptr);
    if (!m_hToolTips) return;
    ::SendMessageA(m_hToolTips, TTM_SETMAXTIPWIDTH, 0, kToolTipMaxWidth);
    ::SetPropA(m_hWnd, "hwndToolTips", m_hToolTips);
    ::SetWindowPos(m_hToolTips, HWND_TOPMOST, 0, 0, 0, 0,
                   SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
}

// ---- destruction ----------------------------------------------------------------------------

CVellumMenuObject::~CVellumMenuObject() {
    // From here on no message and no pointer check finds this bar.
    ForgetLiveBar(this);
    const BarMessages& msgs = GetBarMessages();
    const BarHostServices& host = GetBarHostServices();

    ClearRightDragSource();
    UpdateHotkey(1);
    UnInitContextMenu();
    m_closing = TRUE;
    LeaveTabOrder();

    for (HWND page : m_pages)
        if (page && ::IsWindow(page)) ::SendMessageA(page, WM_COMMAND, 1, 0);

    // An internal bar saves only when it was modified before it closes.
    BOOL modified_before = m_modified;
    ProcessUserMessage(msgs.ThemeClosingCheckModified, 0, 0);
    if (m_internalBar) m_modified = modified_before;

    if (!(host.IsClosingBars && host.IsClosingBars())) {
        if (m_modified) {
            Save(m_barFile);
        } else {
            SavePosition();
            SaveScreenshot(1);
        }
    }

    if (m_hWnd) ::RemovePropA(m_hWnd, "lpMenuObject");
    RemoveAppBar();

    ProcessUserMessage(msgs.BarClosingFreeChildren, 0, 0);

    if (m_hWnd) {
        RemoveBarWindow(nullptr, m_hWnd);
        ::RemovePropA(m_hWnd, "ADDSHADOW");
        ::RemovePropA(m_hWnd, "hwndToolTips");
    }
    if (m_hToolTips) {
        ::DestroyWindow(m_hToolTips);
        m_hToolTips = nullptr;
    }

    ParkPluginChildWindows();
    if (m_hWnd && ::IsWindow(m_hWnd)) ::DestroyWindow(m_hWnd);

    CVellumMenuItem* popup_item = m_owningPopupItem ? m_owningPopupItem : m_associatedPopupItem;
    if (popup_item && IsLiveItem(popup_item))
        popup_item->ProcessUserMessage(msgs.MenuObjectClosing, reinterpret_cast<WPARAM>(this), 0);

    DeleteStateAnimator();
    RemoveSection(-1, 1);

    if (m_hMainWindow) {
        ::SendMessageA(m_hMainWindow, msgs.MenuObjectClosing, reinterpret_cast<WPARAM>(this), 0);
        ::SendMessageA(m_hMainWindow, msgs.MenuObjectClosed, reinterpret_cast<WPARAM>(this), 0);
    }

    UpdateHotkey(1);
    ReplaceBackgroundCache();
    FreeMemoryBitmap();
    ReplaceMemoryBitmap();
    RevokeDropTarget();

    ReleaseBarSkin();
    m_skin = nullptr;

    if (host.HideVolatileLayers) host.HideVolatileLayers(0);

    ReplaceRegionCopy();
    delete[] Comments;
    Comments = nullptr;

    if (UseAutohide) AskStatsMonitorForMouseHook();
    m_hWnd = nullptr;
}

void CVellumMenuObject::ParkPluginChildWindows() {
    if (!m_hWnd || !::IsWindow(m_hWnd)) return;
    struct Walk {
        HWND bar;
        HWND main;
        static BOOL CALLBACK Visit(HWND child, LPARAM lp) {
            const Walk* walk = reinterpret_cast<const Walk*>(lp);
            if (!::GetPropA(child, "PluginItem")) return TRUE;
            int depth = 0;
            for (HWND up = ::GetParent(child); up && up != walk->bar; up = ::GetParent(up))
                ++depth;
            // The plug-in keeps its window: it outlives the bar under the
            // main window.
            if (depth < 3) {
                ::ShowWindow(child, SW_HIDE);
                ::SetParent(child, walk->main);
            }
            return TRUE;
        }
    };
    Walk walk{m_hWnd, m_hMainWindow};
    ::EnumChildWindows(m_hWnd, Walk::Visit, reinterpret_cast<LPARAM>(&walk));
}

void CVellumMenuObject::RemoveAppBar() {
    if (!m_appBarRegistered) return;
    RegisterAppBar(m_hWnd, 0);
    m_appBarRegistered = FALSE;
}

// ---- reference counting --------------------------------------------------------------------

int CVellumMenuObject::AddRef() {
    return ++m_refCount;
}

void CVellumMenuObject::Release() {
    --m_refCount;
    if (m_refCount <= 0 && !m_deleting) {
        m_deleting = TRUE;
        delete this;
    }
}

void CVellumMenuObject::Destroy() {
    if (m_hWnd) ::PostMessageA(m_hWnd, WM_CLOSE, 0, 0);
}

void CVellumMenuObject::SetModified() {
    m_modified = TRUE;
}

void CVellumMenuObject::SetModifiedSilent() {
    m_modifiedSilently = TRUE;
}

bool ReleaseBarForWindow(CVellumMenuObject* bar, HWND wnd) {
    bool last = bar->m_refCount <= 1 && !bar->m_deleting;
    bar->Release();
    if (last && wnd && ::IsWindow(wnd)) ::RemovePropA(wnd, "lpMenuObject");
    return last;
}

// ---- section list ----------------------------------------------------------------------------

int CVellumMenuObject::GetSectionCount() const {
    int count = 0;
    while (count < kMaxSections && m_sections[count]) ++count;
    return count;
}

int CVellumMenuObject::FindSection(const CVellumMenuSection* section) const {
    if (!section) return -1;
    for (int i = 0; i < kMaxSections && m_sections[i]; ++i)
        if (m_sections[i] == section) return i;
    return -1;
}

void CVellumMenuObject::InsertSection(int index, CVellumMenuSection* section) {
    if (!section || FindSection(section) >= 0) return;
    int count = GetSectionCount();
    if (count >= kMaxSections) return;   // all 500 slots are taken
    if (index < 0 || index > count) index = count;
    for (int i = count; i > index; --i) m_sections[i] = m_sections[i - 1];
    m_sections[index] = section;
}

void CVellumMenuObject::InsertSection(CVellumMenuSection* after, CVellumMenuSection* section) {
    int at = FindSection(after);
    InsertSection(at < 0 ? -1 : at + 1, section);
}

void CVellumMenuObject::RemoveSection(int index, int deleteIt) {
    if (index == -1) {
        // Take them all out first: a section's destructor may reach the bar.
        CVellumMenuSection* taken[kMaxSections];
        int count = GetSectionCount();
        for (int i = 0; i < count; ++i) {
            taken[i] = m_sections[i];
            m_sections[i] = nullptr;
        }
        if (deleteIt)
            for (int i = 0; i < count; ++i) delete taken[i];
        return;
    }
    if (index < 0 || index >= kMaxSections || !m_sections[index]) return;
    CVellumMenuSection* section = m_sections[index];
    int count = GetSectionCount();
    for (int i = index; i < count - 1; ++i) m_sections[i] = m_sections[i + 1];
    m_sections[count - 1] = nullptr;
    if (deleteIt) delete section;
}

void CVellumMenuObject::RemoveSection(CVellumMenuSection* section, int deleteIt) {
    int index = FindSection(section);
    if (index >= 0) RemoveSection(index, deleteIt);
}

CVellumMenuSection* CVellumMenuObject::GetPreviousSection(CVellumMenuSection* section) {
    int index = FindSection(section);
    return index > 0 ? m_sections[index - 1] : nullptr;
}

CVellumMenuSection* CVellumMenuObject::GetNextSection(CVellumMenuSection* section) {
    int index = FindSection(section);
    return index >= 0 && index + 1 < kMaxSections ? m_sections[index + 1] : nullptr;
}

// ---- hit tests and tooltips ----------------------------------------------------------------

CVellumMenuSection* CVellumMenuObject::HitTest(POINT client) {
    for (int i = 0; i < kMaxSections && m_sections[i]; ++i) {
        CVellumMenuSection* section = m_sections[i];
        if (!section->IsHidden && ::PtInRect(&section->m_outerRect, client)) return section;
    }
    return nullptr;
}

CVellumMenuItem* CVellumMenuObject::HitTestItems(POINT client) {
    for (int i = 0; i < kMaxSections && m_sections[i]; ++i) {
        CVellumMenuSection* section = m_sections[i];
        if (section->IsHidden) continue;
        if (CVellumMenuItem* item = section->HitTestItems(client)) return item;
    }
    return nullptr;
}

int CVellumMenuObject::UpdateTooltips() {
    for (int i = 0; i < kMaxSections && m_sections[i]; ++i) m_sections[i]->UpdateTooltips();
    return 1;
}

// ---- title -----------------------------------------------------------------------------------

void CVellumMenuObject::SetTitle(char* title) {
    if (title && title != Title) tess::CopyText(Title, title);

    char expanded[kTitleExpandBufferSize];
    DWORD used = ::ExpandEnvironmentStringsA(Title, expanded, sizeof(expanded));
    if (used == 0 || used > sizeof(expanded)) expanded[0] = '\0';
    const BarHostServices& host = GetBarHostServices();
    if (expanded[0] && host.ExpandUserNameInPath)
        host.ExpandUserNameInPath(expanded, sizeof(expanded));
    tess::CopyText(m_displayTitle, expanded[0] ? expanded : Title);

    if (m_hWnd) ::SetWindowTextA(m_hWnd, Title);
}

CVellumMenuObject::CVellumMenuObject(const CVellumMenuObject& other) = default;
CVellumMenuObject& CVellumMenuObject::operator=(const CVellumMenuObject& other) = default;
