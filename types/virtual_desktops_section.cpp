// The virtual desktops section: its keys, the band library and its window,
// the band background in the shared band settings, placement and sizes,
// and the bar's messages about skins and closing.
#include "types/virtual_desktops_section.h"
#include <new>
#include "model/bar_file.h"
#include "model/vellum_menu_object.h"
#include "skins/ini_section_reader.h"
#include "skins/skin_record.h"
#include "types/type_registration.h"
#include "types/virtual_desktops_resources.h"
#include "util/general_helpers.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr int kItemOptionsCommand = 40141;
constexpr int kIdealBandLength = 10;
constexpr int kMaximumBandLength = 2000;
constexpr char kLibraryName[] = "Panorel.dll";
constexpr char kTypeName[] = "Panorel";
// "Background" is read into this many bytes; a longer value is another one.
constexpr DWORD kBackgroundReadSize = 260;

// Registered once while the program loads, as every module does.
struct VirtualDesktopsMessages {
    UINT barClosing = RegisterWindowMessageA("Bar closing... Free child windows!");
    UINT skinChanging = RegisterWindowMessageA("This CMenuObject Skin Changing");
    UINT speedUpdate = RegisterWindowMessageA("SpeedUpdate Section!");
    UINT themeClosing = RegisterWindowMessageA("Theme is closing... check for modified!");
};
const VirtualDesktopsMessages& Messages() {
    static const VirtualDesktopsMessages messages;
    return messages;
}
const VirtualDesktopsMessages& kRegisteredAtStart = Messages();

CVellumMenuSection* MakeVirtualDesktopsSection(CVellumMenuObject* bar, int sectionNumber) {
    return new (std::nothrow) CVellumMenuSection_VirtualDesktops(bar, sectionNumber);
}
const SectionClassRegistration kVirtualDesktopsRegistration(kTypeName, MakeVirtualDesktopsSection);

SkinRecord* SkinOf(const CVellumMenuSection* section) {
    return section->m_skinSlot ? *section->m_skinSlot : nullptr;
}

int StyleOf(const CVellumMenuSection* section) {
    int style = section->iSectionSkin;
    return style < 0 ? 0 : (style >= kMaxSectionStyles ? kMaxSectionStyles - 1 : style);
}

bool IsVerticalBar(const CVellumMenuSection* section) {
    return section->m_pBar && section->m_pBar->DisplayVertically;
}

// Whether the stored "Background" is this path. A value that does not fit
// the buffer or has no terminating zero within it is never read past its
// size and counts as another background; an absent value reads as empty.
bool StoredBackgroundIs(HKEY key, const char* path) {
    char stored[kBackgroundReadSize + 1] = {};
    DWORD size = kBackgroundReadSize;
    DWORD type = 0;
    LONG result = RegQueryValueExA(key, "Background", nullptr, &type,
                                   reinterpret_cast<BYTE*>(stored), &size);
    if (result == ERROR_FILE_NOT_FOUND) return path[0] == '\0';
    if (result != ERROR_SUCCESS || size > kBackgroundReadSize) return false;
    if (size == 0 || !memchr(stored, '\0', size)) return false;
    return lstrcmpiA(stored, path) == 0;
}

void WriteBandBackground(HKEY key, const SkinRecord* skin) {
    const DWORD no = 0;
    RegSetValueExA(key, "UseColorOnly", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&no), sizeof(no));
    if (skin->Panorel_BackgroundDrawStyle > 0) {
        const DWORD style = static_cast<DWORD>(skin->Panorel_BackgroundDrawStyle);
        RegSetValueExA(key, "BackgroundStyle", 0, REG_DWORD, reinterpret_cast<const BYTE*>(&style),
                       sizeof(style));
    }
    const char* path = skin->Panorel_Background;
    RegSetValueExA(key, "Background", 0, REG_SZ, reinterpret_cast<const BYTE*>(path),
                   static_cast<DWORD>(strlen(path) + 1));
}

}  // namespace

// ---- construction ------------------------------------------------------------------------------------

CVellumMenuSection_VirtualDesktops::CVellumMenuSection_VirtualDesktops(CVellumMenuObject* bar,
                                                                       int sectionNumber)
    : CVellumMenuSection(bar, sectionNumber, 0), m_bandWindow(nullptr), m_bandShown(FALSE),
      m_buffer{0, 0, 0, 0}, PreventBackgroundChanging(FALSE), m_heldHidden(FALSE),
      m_userHidden(FALSE) {
    if (!bar) return;
    if (bar->m_loadingSections && bar->m_sectionReader) ReadBandKeys();
    OpenBand();
}

void CVellumMenuSection_VirtualDesktops::ReadBandKeys() {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    m_buffer.top = reader->GetInt("Panorel.Buffer_Top", 0);
    m_buffer.left = reader->GetInt("Panorel.Buffer_Left", 0);
    m_buffer.bottom = reader->GetInt("Panorel.Buffer_Bottom", 0);
    m_buffer.right = reader->GetInt("Panorel.Buffer_Right", 0);
    PreventBackgroundChanging = reader->GetBool("Panorel.PreventBackgroundChanging", 0);
}

template <typename Function>
Function CVellumMenuSection_VirtualDesktops::BandExport(const char* name) const {
    if (!m_bandLibrary) return nullptr;
    FARPROC found = GetProcAddress(m_bandLibrary.get(), name);
    return reinterpret_cast<Function>(reinterpret_cast<void*>(found));
}

void CVellumMenuSection_VirtualDesktops::OpenBand() {
    // Only the copy beside the program, never one found along the search path.
    m_bandLibrary.reset(LoadLibraryBesideProgram(kLibraryName));
    auto add_window = BandExport<BandAddWindowFunction>("addWindow");
    if (!add_window) {
        m_bandLibrary.reset();
        HoldHiddenWithoutBand();
        return;
    }
    // The library builds its band with the background it finds at that moment.
    if (!PreventBackgroundChanging) SyncBandBackground(0);
    m_bandWindow = add_window(m_pBar->m_hWnd);
    if (!m_bandWindow) {
        m_bandLibrary.reset();
        HoldHiddenWithoutBand();
        return;
    }
    ShowBand(!IsHidden);   // placed by the first layout
}

CVellumMenuSection_VirtualDesktops::~CVellumMenuSection_VirtualDesktops() {
    FreeBand();
}

// ---- the band window ---------------------------------------------------------------------------------

void CVellumMenuSection_VirtualDesktops::HoldHiddenWithoutBand() {
    if (HasBand()) return;
    if (!m_heldHidden) {
        m_userHidden = IsHidden;
        m_heldHidden = TRUE;
    }
    IsHidden = TRUE;
}

void CVellumMenuSection_VirtualDesktops::ShowBand(bool show) {
    if (!m_bandWindow) return;
    ShowWindow(m_bandWindow, show ? SW_SHOWNA : SW_HIDE);
    m_bandShown = show ? TRUE : FALSE;
}

RECT CVellumMenuSection_VirtualDesktops::Insets() const {
    RECT insets = m_buffer;
    if (SkinRecord* skin = SkinOf(this)) {
        const int style = StyleOf(this);
        insets.left += skin->SectionBuffer_Left[style];
        insets.top += skin->SectionBuffer_Top[style];
        insets.right += skin->SectionBuffer_Right[style];
        insets.bottom += skin->SectionBuffer_Bottom[style];
    }
    return insets;
}

RECT CVellumMenuSection_VirtualDesktops::BandRect() const {
    const RECT insets = Insets();
    RECT band = {m_outerRect.left + insets.left, m_outerRect.top + insets.top,
                 m_outerRect.right - insets.right, m_outerRect.bottom - insets.bottom};
    // Insets wider than the section leave an empty band, never a reversed one.
    if (band.right < band.left) band.right = band.left;
    if (band.bottom < band.top) band.bottom = band.top;
    return band;
}

void CVellumMenuSection_VirtualDesktops::PlaceBand() {
    if (!HasBand() || IsHidden || !SkinOf(this)) return;
    const RECT band = BandRect();
    MoveWindow(m_bandWindow, band.left, band.top, band.right - band.left, band.bottom - band.top,
               TRUE);
}

void CVellumMenuSection_VirtualDesktops::DestroyBandWindow() {
    if (!m_bandWindow) return;
    if (auto release = BandExport<BandWindowFunction>("releaseWindow")) release(m_bandWindow);
    if (IsWindow(m_bandWindow)) DestroyWindow(m_bandWindow);
    m_bandWindow = nullptr;
    m_bandShown = FALSE;
}

void CVellumMenuSection_VirtualDesktops::FreeBand() {
    if (!m_bandLibrary) return;
    DestroyBandWindow();
    m_bandLibrary.reset();
}

void CVellumMenuSection_VirtualDesktops::ReplaceBandForNewBackground() {
    if (!m_bandLibrary || PreventBackgroundChanging || !SyncBandBackground(1)) return;
    ShowBand(false);
    DestroyBandWindow();
    // The library always builds the new band after the new background is written.
    SyncBandBackground(0);
    if (auto add_window = BandExport<BandAddWindowFunction>("addWindow"))
        m_bandWindow = m_pBar ? add_window(m_pBar->m_hMainWindow) : nullptr;
    if (!m_bandWindow) {
        HoldHiddenWithoutBand();
        return;
    }
    if (m_heldHidden) {
        IsHidden = m_userHidden;
        m_heldHidden = FALSE;
    }
    ShowWindow(m_bandWindow, SW_HIDE);
    if (m_pBar) SetParent(m_bandWindow, m_pBar->m_hWnd);
    PlaceBand();
    ShowBand(!IsHidden);
}

void CVellumMenuSection_VirtualDesktops::ShowBandPreferences() {
    if (!HasBand()) return;
    if (auto show = BandExport<BandWindowFunction>("showPreferences")) show(m_bandWindow);
}

// ---- the shared band settings ----------------------------------------------------------------------------

int CVellumMenuSection_VirtualDesktops::SyncBandBackground(int compareOnly) {
    SkinRecord* skin = SkinOf(this);
    if (!skin || !skin->Panorel_Background[0]) return 0;
    HKEY opened = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kBandSettingsKey, 0, KEY_ALL_ACCESS, &opened) !=
        ERROR_SUCCESS)
        return 0;
    tess::ScopedRegKey key(opened);
    if (StoredBackgroundIs(key.get(), skin->Panorel_Background)) return 0;
    if (!compareOnly) WriteBandBackground(key.get(), skin);
    return 1;
}

// ---- hiding, placement and sizes ------------------------------------------------------------------------

int CVellumMenuSection_VirtualDesktops::SetHidden(int hidden) {
    if (!HasBand()) {
        // Nothing to show: only the user's setting changes.
        HoldHiddenWithoutBand();
        m_userHidden = hidden ? TRUE : FALSE;
        return 0;
    }
    if (hidden && m_bandShown) ShowBand(false);
    else if (!hidden && !m_bandShown) ShowBand(true);
    return CVellumMenuSection::SetHidden(hidden);
}

int CVellumMenuSection_VirtualDesktops::SetSectionRect(int a, int b, int c, int d, int swap) {
    HoldHiddenWithoutBand();
    const int result = CVellumMenuSection::SetSectionRect(a, b, c, d, swap);
    // Also when the rectangle did not change: the band may have moved away.
    PlaceBand();
    return result;
}

SIZE CVellumMenuSection_VirtualDesktops::CalcIdealSize() {
    HoldHiddenWithoutBand();
    if (IsHidden || !SkinOf(this)) return CVellumMenuSection::CalcIdealSize();
    const RECT insets = Insets();
    return SIZE{kIdealBandLength + insets.left + insets.right,
                kIdealBandLength + insets.top + insets.bottom};
}

SIZE CVellumMenuSection_VirtualDesktops::CalcMinMaxSize(int minimum) {
    if (IsHidden || !SkinOf(this)) return CVellumMenuSection::CalcMinMaxSize(minimum);
    const RECT insets = Insets();
    const int across = insets.left + insets.right, down = insets.top + insets.bottom;
    // Before the first placement there is no current size to keep, and
    // keeping a size of nothing would shrink the bar to nothing: until then
    // a fixed section answers as a resizable one.
    if (bResizable || IsRectEmpty(&m_outerRect)) {
        const int length = minimum ? kIdealBandLength : kMaximumBandLength;
        return SIZE{length + across, length + down};
    }
    const SIZE current = {m_outerRect.right - m_outerRect.left, m_outerRect.bottom - m_outerRect.top};
    if (!minimum) return current;
    return IsVerticalBar(this) ? SIZE{kIdealBandLength, current.cy}
                               : SIZE{current.cx, kIdealBandLength};
}

void CVellumMenuSection_VirtualDesktops::Draw(HDC dc, int drawItems, int wholeRun) {
    HoldHiddenWithoutBand();
    if (!IsHidden) CVellumMenuSection::Draw(dc, drawItems, wholeRun);
}

// ---- messages ------------------------------------------------------------------------------------------------

void CVellumMenuSection_VirtualDesktops::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const VirtualDesktopsMessages& m = Messages();
    if (msg == m.skinChanging) ReplaceBandForNewBackground();
    else if (msg == m.barClosing) FreeBand();
    if (msg == m.themeClosing && m_heldHidden) {
        // The bar is modified only by what the user changed, not by a
        // missing band.
        const BOOL held = IsHidden;
        IsHidden = m_userHidden;
        CVellumMenuSection::ProcessUserMessage(msg, wp, lp);
        IsHidden = held;
        return;
    }
    CVellumMenuSection::ProcessUserMessage(msg, wp, lp);
}

// ---- context menu, names, icon and saving ---------------------------------------------------------------------

void CVellumMenuSection_VirtualDesktops::InitCustomContextMenu(HMENU barMenu, HMENU) {
    if (barMenu) DeleteMenu(barMenu, kItemOptionsCommand, MF_BYCOMMAND);
}

int CVellumMenuSection_VirtualDesktops::GetCustomSectionName(char* out) {
    if (!out) return 0;
    tess::CopyText(out, 17, "Virtual Desktops");
    return 1;
}

HICON CVellumMenuSection_VirtualDesktops::GetCustomIcon() {
    return static_cast<HICON>(LoadImageA(GetModuleHandleA(nullptr),
                                         MAKEINTRESOURCEA(IDI_VIRTUAL_DESKTOPS), IMAGE_ICON, 16,
                                         16, 0));
}

int CVellumMenuSection_VirtualDesktops::SaveExternal() {
    if (!m_pBar) return 1;
    const char* file = m_pBar->m_barFile;
    const char* name = m_iniSectionName;
    // The section wrote the held hidden state; the file keeps the user's.
    if (m_heldHidden && !m_userHidden)
        tess::WriteProfileString(name, "Properties.IsHidden", nullptr, file);
    tess::WriteProfileString(name, "Properties.Type", kTypeName, file);
    WriteIntSetting(m_buffer.top, name, "Panorel.Buffer_Top", file);
    WriteIntSetting(m_buffer.left, name, "Panorel.Buffer_Left", file);
    WriteIntSetting(m_buffer.bottom, name, "Panorel.Buffer_Bottom", file);
    WriteIntSetting(m_buffer.right, name, "Panorel.Buffer_Right", file);
    WriteIntSetting(PreventBackgroundChanging, name, "Panorel.PreventBackgroundChanging", file);
    return 1;
}
