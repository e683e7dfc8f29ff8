// VTHostCallback: the services plug-ins call. Every bar, section and item a
// plug-in names is checked against the live objects first (a plug-in may
// hold a pointer to something gone), and every buffer it passes is written
// with at most 260 bytes.
#include <shlwapi.h>
#include <cstring>
#include <vector>
#include "model/live_objects.h"
#include "model/bar_file.h"
#include "skins/skin_record.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "shell/startup.h"
#include "types/plugin_data_files.h"
#include "types/plugin_host.h"
#include "types/plugin_item.h"
#include "util/bar_registry.h"
#include "util/text.h"

namespace {

CVellumMenuObject* Bar(INT_PTR p) {
    void* bar = reinterpret_cast<void*>(p);
    return bar && IsLiveBar(bar) ? static_cast<CVellumMenuObject*>(bar) : nullptr;
}

CVellumMenuSection* Section(INT_PTR p) {
    void* section = reinterpret_cast<void*>(p);
    return section && IsLiveSection(section) ? static_cast<CVellumMenuSection*>(section) : nullptr;
}

CVellumMenuItem* Item(INT_PTR p) {
    void* item = reinterpret_cast<void*>(p);
    return item && IsLiveItem(item) ? static_cast<CVellumMenuItem*>(item) : nullptr;
}

INT_PTR Answer(const void* p) { return reinterpret_cast<INT_PTR>(p); }

// Plug-in buffers hold 260 characters.
char* Buffer(INT_PTR p) {
    char* buffer = reinterpret_cast<char*>(p);
    return buffer && IsWritableCallerBuffer(buffer, kPluginPathSize) ? buffer : nullptr;
}

INT_PTR CopyOut(INT_PTR p, const char* text) {
    char* buffer = Buffer(p);
    if (!buffer) return 0;
    tess::CopyText(buffer, kPluginPathSize, text ? text : "");
    return 1;
}

// The user's bars in the registry's order (the hidden internal ones left out).
std::vector<CVellumMenuObject*> BarsInOrder() {
    std::vector<CVellumMenuObject*> bars;
    for (int i = 0; i < GetBarWindowCount(); ++i) {
        HWND wnd = GetBarWindowAt(i);
        CVellumMenuObject* bar = LiveBarOfWindow(wnd);
        if (bar && !IsInternalBar(bar)) bars.push_back(bar);
    }
    return bars;
}

INT_PTR NeighbourBar(INT_PTR p1, int step) {
    std::vector<CVellumMenuObject*> bars = BarsInOrder();
    if (bars.empty()) return 0;
    if (!p1) return Answer(step > 0 ? bars.front() : bars.back());
    CVellumMenuObject* bar = Bar(p1);
    if (!bar) return 0;
    for (size_t i = 0; i < bars.size(); ++i) {
        if (bars[i] != bar) continue;
        if (step > 0) return i + 1 < bars.size() ? Answer(bars[i + 1]) : 0;
        return i > 0 ? Answer(bars[i - 1]) : 0;
    }
    return 0;
}

INT_PTR NeighbourSection(INT_PTR p1, INT_PTR p2, int step) {
    CVellumMenuObject* bar = Bar(p1);
    if (!bar) return 0;
    if (!p2) {
        int count = bar->GetSectionCount();
        if (count <= 0) return 0;
        return Answer(bar->m_sections[step > 0 ? 0 : count - 1]);
    }
    CVellumMenuSection* section = Section(p2);
    if (!section || bar->FindSection(section) < 0) return 0;
    return Answer(step > 0 ? bar->GetNextSection(section) : bar->GetPreviousSection(section));
}

INT_PTR NeighbourItem(INT_PTR p1, INT_PTR p2, int step) {
    CVellumMenuSection* section = Section(p1);
    if (!section) return 0;
    if (!p2) {
        int count = section->GetNumOfItems();
        if (count <= 0) return 0;
        return Answer(section->m_items[step > 0 ? 0 : count - 1]);
    }
    CVellumMenuItem* item = Item(p2);
    if (!item || section->FindItem(item) < 0) return 0;
    return Answer(step > 0 ? section->GetNextItem(item) : section->GetPreviousItem(item));
}

INT_PTR GetDataFolder(INT_PTR p1) {
    char* buffer = Buffer(p1);
    char bars[MAX_PATH] = "";
    if (!buffer || !GetThemeBarsFolder(bars) || !bars[0]) return 0;
    char folder[MAX_PATH];
    if (!tess::FormatText(folder, sizeof(folder), "%s%s", bars, kDataFolderName)) return 0;
    ::CreateDirectoryA(folder, nullptr);
    tess::CopyText(buffer, kPluginPathSize, folder);
    return 1;
}

INT_PTR GetPluginFolder(INT_PTR p1) {
    char folder[MAX_PATH] = "";
    if (!GetPluginsFolder(folder)) return 0;
    return CopyOut(p1, folder);
}

RECT ItemRectAtOrigin(CVellumMenuItem* item) {
    RECT r;
    item->GetRealItemRect(&r);
    ::OffsetRect(&r, -r.left, -r.top);
    return r;
}

INT_PTR GetItemRect(INT_PTR p1, INT_PTR p2, bool screen) {
    CVellumMenuItem* item = Item(p1);
    RECT* out = reinterpret_cast<RECT*>(p2);
    if (!item || !out || !IsWritableCallerBuffer(out, sizeof(RECT))) return 0;
    if (!screen) {
        *out = ItemRectAtOrigin(item);
        return 1;
    }
    RECT r;
    item->GetRealItemRect(&r);
    RECT window = {};
    if (item->m_pBar && item->m_pBar->m_hWnd) ::GetWindowRect(item->m_pBar->m_hWnd, &window);
    ::OffsetRect(&r, window.left, window.top);
    *out = r;
    return 1;
}

INT_PTR LoadImageForPlugin(INT_PTR p1) {
    auto* request = reinterpret_cast<PluginImageRequest*>(p1);
    if (!request || !IsWritableCallerBuffer(request, sizeof(*request))) return 0;
    char path[sizeof(request->path)];
    tess::CopyTextN(path, sizeof(path), request->path, sizeof(request->path) - 1);
    const char* extension = ::PathFindExtensionA(path);
    if (!extension || !extension[0]) return 0;
    request->reserved = 0;
    if (!lstrcmpiA(extension, ".ico")) {
        int size = request->width;
        auto icon = static_cast<HICON>(
            ::LoadImageA(nullptr, path, IMAGE_ICON, size, size, LR_LOADFROMFILE));
        if (!icon) return 0;
        ICONINFO info = {};
        BOOL got = ::GetIconInfo(icon, &info);
        ::DestroyIcon(icon);
        if (info.hbmMask) ::DeleteObject(info.hbmMask);
        if (!got || !info.hbmColor) return 0;
        request->image = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(info.hbmColor));
        if (size <= 0) {
            BITMAP bm = {};
            ::GetObjectA(info.hbmColor, sizeof(bm), &bm);
            size = bm.bmWidth;
        }
        request->width = request->height = size;
        return 1;
    }
    auto bitmap = static_cast<HBITMAP>(
        ::LoadImageA(nullptr, path, IMAGE_BITMAP, 0, 0, LR_LOADFROMFILE | LR_CREATEDIBSECTION));
    if (!bitmap) return 0;   // nothing loaded is no success
    BITMAP bm = {};
    ::GetObjectA(bitmap, sizeof(bm), &bm);
    request->image = static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(bitmap));
    request->width = bm.bmWidth;
    request->height = bm.bmHeight;
    return 1;
}

INT_PTR SetTitle(INT_PTR p1, INT_PTR p2) {
    CVellumMenuItem* item = Item(p1);
    const char* text = reinterpret_cast<const char*>(p2);
    if (!item || !text) return 0;
    char title[kIniValueSize];
    tess::CopyText(title, text);
    item->SetItemTitle(title, 0);
    if (item->m_pBar) {
        item->m_pBar->SetModifiedSilent();
        item->m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }
    return 1;
}

// Code 1056 in its two forms: (bar, buffer) copies the bar's skin path;
// (buffer, null), as the address box calls it, gives the plug-ins folder, so
// the files a plug-in names by it land beside its other files.
INT_PTR GetBarSkin(INT_PTR p1, INT_PTR p2) {
    if (!p1) return 0;
    CVellumMenuObject* bar = Bar(p1);
    if (!bar) return p2 ? 0 : GetPluginFolder(p1);
    if (!p2) return 0;
    return CopyOut(p2, bar->m_skin ? bar->m_skin->path : "");
}

INT_PTR SetBarSkin(INT_PTR p1, INT_PTR p2) {
    CVellumMenuObject* bar = Bar(p1);
    const char* path = reinterpret_cast<const char*>(p2);
    if (!bar || !path) return 0;
    tess::CopyText(bar->m_pendingSkinPath, path);
    bar->ReloadSkin(1);
    return 1;
}

INT_PTR Dispatch(UINT code, INT_PTR p1, INT_PTR p2) {
    switch (code) {
    case VTHC_GETDATAFOLDER: return GetDataFolder(p1);
    case VTHC_GETPLUGINFOLDER: return GetPluginFolder(p1);
    case VTHC_REDRAWITEM:
        if (CVellumMenuItem* item = Item(p1)) {
            item->RedrawItem();
            return 1;
        }
        return 0;
    case VTHC_SETSTATE:
        if (CVellumMenuItem_Plugin* item = LivePluginItem(p1))
            return item->ApplyStateName(reinterpret_cast<const char*>(p2));
        return 0;
    case VTHC_GETITEMRECT: return GetItemRect(p1, p2, false);
    case VTHC_GETITEMSCREENRECT: return GetItemRect(p1, p2, true);
    case VTHC_SETSIZE: {
        CVellumMenuItem_Plugin* item = LivePluginItem(p1);
        auto* request = reinterpret_cast<const PluginSizeRequest*>(p2);
        if (!item || !request || !IsReadableCallerBuffer(request, sizeof(*request))) return 0;
        return item->RequestSize(*request);
    }
    case VTHC_LOADIMAGE: return LoadImageForPlugin(p1);
    case VTHC_REGISTERDATAFILE: return RegisterPluginDataFile(reinterpret_cast<const char*>(p1));
    case VTHC_SETTITLE: return SetTitle(p1, p2);
    case VTHC_GETTITLE:
        if (CVellumMenuItem* item = Item(p1)) return CopyOut(p2, item->m_title);
        return 0;
    case VTHC_GETTITLELENGTH: {
        CVellumMenuItem* item = Item(p1);
        return item && p2 && item->m_title ? static_cast<INT_PTR>(std::strlen(item->m_title)) : 0;
    }
    case VTHC_REGISTERITEM:
        if (CVellumMenuItem_Plugin* item = LivePluginItem(p1)) return RegisterLiveItem(item, p2 != 0);
        return 0;
    case VTHC_WATCHALLWINDOWS:
        if (CVellumMenuItem_Plugin* item = LivePluginItem(p1)) {
            item->m_watchAll = p2 ? TRUE : FALSE;
            return 1;
        }
        return 0;
    case VTHC_GETITEMBAR:
        if (CVellumMenuItem* item = Item(p1)) return Answer(item->m_pBar);
        return 0;
    case VTHC_GETITEMSECTION:
        if (CVellumMenuItem* item = Item(p1)) return Answer(item->m_pSection);
        return 0;
    case VTHC_GETITEM: return Answer(Item(p2));
    case VTHC_NEXTBAR: return NeighbourBar(p1, 1);
    case VTHC_PREVBAR: return NeighbourBar(p1, -1);
    case VTHC_NEXTSECTION: return NeighbourSection(p1, p2, 1);
    case VTHC_PREVSECTION: return NeighbourSection(p1, p2, -1);
    case VTHC_NEXTITEM: return NeighbourItem(p1, p2, 1);
    case VTHC_PREVITEM: return NeighbourItem(p1, p2, -1);
    case VTHC_GETOWNERBAR: {
        CVellumMenuItem* item = Item(p1);
        return item && p2 ? Answer(item->m_pBar) : 0;
    }
    case VTHC_BARFROMWINDOW:
        return p1 ? Answer(LiveBarOfWindow(reinterpret_cast<HWND>(p1))) : 0;
    case VTHC_GETBARSKIN: return GetBarSkin(p1, p2);
    case VTHC_SETBARSKIN: return SetBarSkin(p1, p2);
    case VTHC_ISBARVERTICAL:
        if (CVellumMenuObject* bar = Bar(p1)) return bar->DisplayVertically ? 1 : 0;
        return 0;
    default: return 0;
    }
}

}  // namespace

extern "C" INT_PTR WINAPI VTHostCallback(UINT code, INT_PTR p1, INT_PTR p2) {
    // Called from plug-in code inside our own window procedures: nothing may
    // unwind through the plug-in.
    try {
        return Dispatch(code, p1, p2);
    } catch (...) {
        return 0;
    }
}
