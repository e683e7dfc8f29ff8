// Reading a bar file: the [Object] keys, the bar's skin through the skin
// cache, and the sections through the section factory.
//
// Sections: every [Section<n>] the file holds (n = 1..500) is read, in the
// order of n; numbers the file lacks are skipped, and a section the file
// holds is kept even when it has no items, so that a gap or an empty section
// never makes the next save drop what follows it.
#include <windows.h>
#include <shlwapi.h>
#include <cctype>
#include <cstdlib>
#include <cstring>
#include <memory>
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/section_factory.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/ini_section_reader.h"
#include "skins/skin_cache.h"
#include "util/bar_registry.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

constexpr int kSectionTypeSize = 260;
constexpr unsigned char kCommentLineBreak = 0xAF;

bool HostSays(bool (*query)()) {
    return query && query();
}

// n of a section named "Section<n>" (no sign, no leading zero), else 0.
int SectionNumberOf(const char* name) {
    if (_strnicmp(name, "Section", 7) != 0) return 0;
    const char* digits = name + 7;
    if (!std::isdigit(static_cast<unsigned char>(digits[0])) || digits[0] == '0') return 0;
    int n = 0;
    for (const char* p = digits; *p; ++p) {
        if (!std::isdigit(static_cast<unsigned char>(*p))) return 0;
        n = n * 10 + (*p - '0');
        if (n > kMaxSections) return 0;
    }
    return n;
}

// The window-skinning product's skin part named in a skin path: 1..7, or 0.
int DeriveLVSkinPart(const char* skin_path) {
    if (!skin_path || !FindTextNoCase(skin_path, "LumivaneSkins\\CurrentSkin")) return 0;
    const char* parts[] = {"Horizontal", "Vertical", "Popup", "Top", "Bottom", "Left", "Right"};
    for (int i = 0; i < 7; ++i)
        if (FindTextNoCase(skin_path, parts[i])) return i + 1;
    return 0;
}

}  // namespace

// ---- skin ---------------------------------------------------------------------------------------
// The placeholder and its release live with the skin reload (bar_drawing_skin.cpp).

// Loads a skin file that exists and makes it the bar's skin; false leaves the
// bar with the skin it had.
static bool TakeSkin(CVellumMenuObject* bar, const char* path) {
    if (!path || !path[0] || !FileExists(path)) return false;
    SkinRecord* record = LoadSkinFile(path);
    if (!record) return false;
    SkinRecord* old = bar->m_skin;
    bar->m_skin = record;
    if (old) ReleaseSkin(old);
    return true;
}

// ---- sections -------------------------------------------------------------------------------------

void CVellumMenuObject::BuildSectionString(char* out, int n, char* suffix) {
    if (!out) return;
    tess::FormatText(out, 64, "Section%d%s", n, suffix ? suffix : "");
}

int CVellumMenuObject::AddSection(char* typeName, int index, int queryOnly) {
    if (queryOnly) {
        if (!typeName) return 0;
        static const char* const kNames[] = {"Default", "Folder", "Taskbar", "System Tray",
                                             "Virtual Desktops"};
        if (index < 0 || index > 4) return 0;
        if (index == 4) {
            // Only the copy beside the program counts, never one found along
            // the search path.
            HMODULE library = LoadLibraryBesideProgram("Panorel.dll");
            if (!library) return 0;
            ::FreeLibrary(library);
        }
        tess::CopyText(typeName, std::strlen(kNames[index]) + 1, kNames[index]);
        return 1;
    }
    int slot = GetSectionCount();
    if (slot >= kMaxSections) return -1;
    CVellumMenuSection* section = CreateSectionOfType(typeName, this, index);
    if (!section) return slot;   // out of memory: the slot stays empty
    m_sections[slot] = section;
    if (!m_sectionReader && typeName) {
        // Sections the user adds start with what their kind needs.
        if (lstrcmpiA(typeName, "Folder") == 0 && !DisplayVertically) section->MinItems = 1;
        if (lstrcmpiA(typeName, "Taskbar") == 0) {
            section->AlwaysShowPopupArrows = TRUE;
            if (!DisplayVertically) section->MinItems = 1;
        }
    }
    return slot;
}

static void ReadSections(CVellumMenuObject* bar) {
    bool present[kMaxSections + 1] = {};
    {
        auto names = std::make_unique<CIniSectionNameList>(bar->m_barFile);
        char name[CIniSectionReader::kSectionNameSize];
        for (int i = 0; i < names->GetCount(); ++i) {
            names->GetName(i, name);
            present[SectionNumberOf(name)] = true;
        }
    }
    bar->m_loadingSections = TRUE;
    bar->m_sectionReader = new CIniSectionReader();
    for (int n = 1; n <= kMaxSections; ++n) {
        if (!present[n]) continue;
        char name[64];
        bar->BuildSectionString(name, n, nullptr);
        char type[kSectionTypeSize];
        ::GetPrivateProfileStringA(name, "Properties.Type", "", type, sizeof(type), bar->m_barFile);
        int slot = bar->AddSection(type, n, 0);
        if (slot < 0) break;   // all 500 slots are taken
        // The file holds this section: it stays, items or not.
        if (bar->m_sections[slot]) bar->m_sections[slot]->m_valid = TRUE;
    }
    delete bar->m_sectionReader;
    bar->m_sectionReader = nullptr;
    bar->m_loadingSections = FALSE;
}

// ---- reading --------------------------------------------------------------------------------------------

int CVellumMenuObject::LoadTheme(char* barFile, int show, char* skinPath) {
    const BarMessages& msgs = GetBarMessages();
    const BarHostServices& host = GetBarHostServices();
    bool theme_loading = HostSays(host.IsThemeLoading);

    RemoveSection(-1, 1);
    // A path that does not fit would name another file: read none.
    if (!tess::CopyText(m_barFile, barFile ? barFile : "")) m_barFile[0] = '\0';
    auto reader = std::make_unique<CIniSectionReader>(m_barFile[0] ? m_barFile : nullptr,
                                                      "Object", nullptr);
    m_barFolder[0] = '\0';
    if (m_barFile[0]) GetParentFolder(m_barFolder, m_barFile, true, sizeof(m_barFolder));
    m_loading = TRUE;
    Hide(0);

    // Skin: the theme's choice first, then the bar's own.
    if (!(skinPath && skinPath[0] && TakeSkin(this, skinPath))) {
        char last_skin[MAX_PATH];
        reader->GetString("LastSkin", last_skin, "");
        char absolute[MAX_PATH];
        if (last_skin[0] && MakePathAbsolute(last_skin, absolute, nullptr))
            TakeSkin(this, absolute);
    }

    reader->GetString("Title", Title, "Unnamed Object");
    SetTitle(Title);
    ShowTitle = reader->GetBool("ShowTitle", 0);
    bRestrictMaximumSize = reader->GetBool("bRestrictMaximumSize", 1);
    bIgnoreSkinAutohideSettings = reader->GetBool("bIgnoreSkinAutohideSettings", 0);
    bUseActiveWindowsTitle = reader->GetBool("bUseActiveWindowsTitle", 0);
    bUseScreenSizes = reader->GetBool("bUseScreenSizes", 1);
    if (const char* comments = reader->Lookup("Comments", true, nullptr, nullptr)) {
        if (comments[0]) {
            size_t length = std::strlen(comments);
            char* decoded = new char[length + 1];
            for (size_t i = 0; i <= length; ++i) {
                bool pair = static_cast<unsigned char>(comments[i]) == kCommentLineBreak &&
                            static_cast<unsigned char>(comments[i + 1]) == kCommentLineBreak;
                decoded[i] = comments[i];
                if (pair) {
                    decoded[i] = '\r';
                    decoded[i + 1] = '\n';
                    ++i;
                }
            }
            delete[] Comments;
            Comments = decoded;
        }
    }

    reader->GetString("LastMonitor", LastMonitor, "");
    m_hMonitor = LastMonitor[0] ? FindMonitorByDeviceName(LastMonitor) : nullptr;
    if (!m_hMonitor) LastMonitor[0] = '\0';
    UpdateMonitorPoints(0);

    Alpha = reader->GetInt("Alpha", -1);
    DisplayVertically = reader->GetInt("DisplayVertically", DisplayVertically);
    ResizingMovingLeft = reader->GetInt("ResizingMovingLeft", 0);
    ResizingMovingUp = reader->GetInt("ResizingMovingUp", 0);

    if (m_barFile[0]) ReadSections(this);

    XAlign = reader->GetInt("XAlign", 0);
    YAlign = reader->GetInt("YAlign", 0);
    IsATabStop = reader->GetBool("IsATabStop", 1);
    RespondToWindowsKey = reader->GetBool("RespondToWindowsKey", 0);
    vkHotkey = reader->GetInt("vkHotkey", 0);
    vkHotkeyModifiers = reader->GetInt("vkHotkeyModifiers", 0);
    bHideBarUntilHotkey = reader->GetInt("bHideBarUntilHotkey", 0);
    if (bHideBarUntilHotkey) bReshowUnderMouse = reader->GetInt("bReshowUnderMouse", 0);
    UpdateHotkey(0);

    WidthResizableWhenVertical = reader->GetBool("WidthResizableWhenVertical", 1);
    UseAutohide = reader->GetBool("UseAutohide", 0);
    ForcedAutoHideEdge = reader->GetInt("ForcedAutoHideEdge", -1);
    DockToEdge = reader->GetInt("DockToEdge", -1);
    if (DockToEdge > kEdgeBottom || DockToEdge < kEdgeNone) DockToEdge = kEdgeNone;
    if (theme_loading) LastTabOrder = reader->GetInt("LastTabOrder", -1);
    AlwaysOnTop = reader->GetBool("AlwaysOnTop", 1);
    AlwaysOnTopOrder = reader->GetInt("AlwaysOnTopOrder", 0);

    ptMIN.modifiers.x = reader->GetInt("ptMINModifiers.x", 0);
    ptMIN.modifiers.y = reader->GetInt("ptMINModifiers.y", 0);
    ptMIN.pixels.x = reader->GetInt("ptMINPixels.x", 0);
    ptMIN.pixels.y = reader->GetInt("ptMINPixels.y", 0);
    ptMIN.subtract.x = reader->GetInt("ptMINSubtract.x", 0);
    ptMIN.subtract.y = reader->GetInt("ptMINSubtract.y", 0);
    ptMAX.modifiers.x = reader->GetInt("ptMAXModifiers.x", 0);
    ptMAX.modifiers.y = reader->GetInt("ptMAXModifiers.y", 0);
    ptMAX.pixels.x = reader->GetInt("ptMAXPixels.x", 0);
    ptMAX.pixels.y = reader->GetInt("ptMAXPixels.y", 0);
    ptMAX.subtract.x = reader->GetInt("ptMAXSubtract.x", 0);
    ptMAX.subtract.y = reader->GetInt("ptMAXSubtract.y", 0);
    BarPlacement& place = m_placement;
    place.LastScreenSize.cx = reader->GetInt("LastScreenSize.cx", 0);
    place.LastScreenSize.cy = reader->GetInt("LastScreenSize.cy", 0);
    if (place.LastScreenSize.cx <= 0) place.LastScreenSize.cx = m_monitorSize.cx;
    if (place.LastScreenSize.cy <= 0) place.LastScreenSize.cy = m_monitorSize.cy;
    place.LastPos.x = reader->GetInt("LastPos.x", 0);
    place.LastPos.y = reader->GetInt("LastPos.y", 0);
    place.LastSize.cx = reader->GetInt("LastSize.cx", 10);
    place.LastSize.cy = reader->GetInt("LastSize.cy", 10);
    if (m_hWnd)
        ::SetWindowPos(m_hWnd, nullptr, m_monitorOrigin.x + place.LastPos.x,
                       m_monitorOrigin.y + place.LastPos.y, place.LastSize.cx, place.LastSize.cy,
                       SWP_NOZORDER | SWP_NOACTIVATE);

    place.bScaleCX = reader->GetBool("bScaleCX", 0);
    place.bScaleCY = reader->GetBool("bScaleCY", 0);
    place.bScaleX = reader->GetBool("bScaleX", 0);
    place.bScaleY = reader->GetBool("bScaleY", 0);
    place.bAlignX = reader->GetInt("bAlignX", 0);
    place.bAlignY = reader->GetInt("bAlignY", 0);
    UseLVSkin = static_cast<short>(reader->GetInt("UseLVSkin", -1));
    if (UseLVSkin == -1) {
        int part = DeriveLVSkinPart(m_skin ? m_skin->path : nullptr);
        if (part) {
            UseLVSkin = static_cast<short>(part);
            SetModifiedSilent();
        }
    }
    BlockHazeglow = reader->GetBool("BlockHazeglow", 0);
    if (BlockHazeglow && m_hWnd) ::RemovePropA(m_hWnd, "ADDSHADOW");
    SetAsHidden = reader->GetBool("SetAsHidden", 0);
    if (theme_loading)
        bWasHiddenOnLastCloseByPopup = reader->GetBool("bWasHiddenOnLastCloseByPopup", 0);

    m_loading = FALSE;
    UpdatePos();
    UpdateAlpha();
    RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    if (m_hWnd) ::PostMessageA(m_hWnd, msgs.DoAutohide, 0, 0);
    if (show && !SetAsHidden) Show(0);
    if (m_hMainWindow)
        ::SendMessageA(m_hMainWindow, msgs.MenuObjectThemeLoaded, reinterpret_cast<WPARAM>(this), 0);
    if (UseAutohide) AskStatsMonitorForMouseHook();
    return 1;
}
