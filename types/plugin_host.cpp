// The host's tables and the information query (VTHostCallback itself is in
// plugin_host_callback.cpp).
#include "types/plugin_host.h"

#include <algorithm>
#include <cstring>
#include <vector>
#include "model/live_objects.h"
#include "model/plugin_calls.h"
#include "types/plugin_item.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

struct LibraryUsers {
    char path[kPluginLibraryPathSize];
    int users;
};

std::vector<LibraryUsers>& Libraries() {
    static std::vector<LibraryUsers> libraries;
    return libraries;
}

LibraryUsers* FindLibrary(const char* path) {
    for (LibraryUsers& entry : Libraries())
        if (!lstrcmpiA(entry.path, path)) return &entry;
    return nullptr;
}

CVellumMenuItem_Plugin* g_liveItems[kPluginLiveItemTableSize];

std::vector<CVellumMenuItem_Plugin*>& Forwarding() {
    static std::vector<CVellumMenuItem_Plugin*> table;
    return table;
}

// The model names the bar-menu messages itself; they must stay the interface's.
static_assert(kPluginBarContextMenu == VTM_BARCONTEXTMENU, "bar menu message");
static_assert(kPluginBarContextCommand == VTM_BARCONTEXTCOMMAND, "bar command message");

struct PluginCallsRegistration {
    PluginCallsRegistration() {
        GetPluginCalls().ForwardWindowMessage = DeliverWindowMessageToPlugins;
        GetPluginCalls().TellBarPlugins = [](CVellumMenuObject* bar, UINT message, INT_PTR param) {
            BroadcastPluginMessage(bar, message, param, 0);
        };
    }
} const kPluginCalls;

}  // namespace

// ---- library users ------------------------------------------------------------------------------

int AddPluginLibraryUser(const char* path) {
    if (!path || !path[0]) return 0;
    if (LibraryUsers* entry = FindLibrary(path)) return ++entry->users;
    if (static_cast<int>(Libraries().size()) >= kPluginLibraryTableSize) return 0;
    LibraryUsers entry = {};
    tess::CopyText(entry.path, path);
    entry.users = 1;
    Libraries().push_back(entry);
    return 1;
}

int RemovePluginLibraryUser(const char* path) {
    if (!path) return 0;
    std::vector<LibraryUsers>& libraries = Libraries();
    for (size_t i = 0; i < libraries.size(); ++i) {
        if (lstrcmpiA(libraries[i].path, path)) continue;
        int left = --libraries[i].users;
        if (left <= 0) {
            libraries.erase(libraries.begin() + i);
            return 0;
        }
        return left;
    }
    return 0;
}

int GetPluginLibraryUsers(const char* path) {
    LibraryUsers* entry = path ? FindLibrary(path) : nullptr;
    return entry ? entry->users : 0;
}

// ---- live items -----------------------------------------------------------------------------------

int RegisterLiveItem(CVellumMenuItem_Plugin* item, int add) {
    if (!item) return 0;
    if (!add) {
        for (CVellumMenuItem_Plugin*& slot : g_liveItems)
            if (slot == item) slot = nullptr;
        return 1;
    }
    for (CVellumMenuItem_Plugin* slot : g_liveItems)
        if (slot == item) return 1;
    for (CVellumMenuItem_Plugin*& slot : g_liveItems) {
        if (!slot) {
            slot = item;
            return 1;
        }
    }
    return 0;   // full: the plug-in learns that it was not added
}

void BroadcastPluginMessage(CVellumMenuObject* bar, UINT message, INT_PTR param, INT_PTR param2) {
    // A handler may register or remove items while the message goes round.
    std::vector<CVellumMenuItem_Plugin*> items(std::begin(g_liveItems), std::end(g_liveItems));
    for (CVellumMenuItem_Plugin* item : items) {
        if (!item || !IsLiveItem(item)) continue;
        if (bar && item->m_pBar != bar) continue;
        item->SendPluginMessage(message, param, param2);
    }
}

// ---- forwarding ---------------------------------------------------------------------------------------

void SetPluginMessageForwarding(CVellumMenuItem_Plugin* item, int remove) {
    if (!item) return;
    item->m_forwards = (item->m_capabilities & kPluginWantsMessages) ? TRUE : FALSE;
    std::vector<CVellumMenuItem_Plugin*>& table = Forwarding();
    auto found = std::find(table.begin(), table.end(), item);
    if (remove || !item->m_forwards) {
        if (found != table.end()) table.erase(found);
        return;
    }
    if (found == table.end() && static_cast<int>(table.size()) < kPluginForwardingTableSize)
        table.push_back(item);
}

bool IsInForwardingTable(const CVellumMenuItem_Plugin* item) {
    const std::vector<CVellumMenuItem_Plugin*>& table = Forwarding();
    return std::find(table.begin(), table.end(), item) != table.end();
}

void DeliverWindowMessageToPlugins(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (Forwarding().empty()) return;
    const std::vector<CVellumMenuItem_Plugin*> items = Forwarding();
    for (CVellumMenuItem_Plugin* item : items) {
        // An item that left the table during an earlier handler gets nothing.
        if (!IsInForwardingTable(item)) continue;
        if (!item->m_watchAll && item->m_childWindow != wnd) continue;
        PluginWindowMessage record = {static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(wnd)), msg,
                                      wp, lp};
        LRESULT result = 0;
        item->SendPluginMessage(VTM_WINDOWMESSAGE, reinterpret_cast<INT_PTR>(&record),
                                reinterpret_cast<INT_PTR>(&result));
    }
}

// ---- information -----------------------------------------------------------------------------------

bool QueryPluginInfo(const char* path, PluginInfoRecord* info) {
    if (!path || !path[0] || !info) return false;
    tess::ScopedModule module(::LoadLibraryA(path));
    if (!module) return false;
    auto proc = reinterpret_cast<VTMessageProc>(::GetProcAddress(module.get(), "VTMessage"));
    if (!proc) return false;
    std::memset(info, 0, sizeof(*info));
    info->hostId = kPluginHostIdTessellar;
    info->hostVersion = kPluginHostVersion;
    bool answered = proc(nullptr, nullptr, VTM_GETINFO, reinterpret_cast<INT_PTR>(info), 0) != 0;
    // What the plug-in wrote is read as text: both fields end in their buffers.
    info->name[sizeof(info->name) - 1] = '\0';
    info->author[sizeof(info->author) - 1] = '\0';
    return answered;
}

std::string PluginInfoText(const PluginInfoRecord& info) {
    char head[700];
    tess::FormatText(head, sizeof(head), "%s\r\nby %s\r\nVersion %i.%i\r\n\r\n", info.name,
                     info.author, info.version / 100, info.version % 100);
    std::string text = head;
    const bool widgets = (info.hosts & kPluginHostFlagWidgets) != 0;
    const bool tessellar = (info.hosts & kPluginHostFlagTessellar) != 0;
    if (widgets && tessellar)
        text += "Supports both Tessellar and Kaleidra";
    else if (tessellar)
        text += "Supports Tessellar only";
    else
        text += "Supports Kaleidra only";
    text += "\r\n\r\n";
    if (!info.platforms) return text + "Supports all versions of Windows.\r\n";
    static const char* const kPlatforms[] = {"Windows 95\r\n", "Windows 98\r\n", "Windows ME\r\n",
                                             "Windows NT4\r\n", "Windows 2000\r\n",
                                             "Windows XP\r\n"};
    text += "Supported Platforms:\r\n";
    for (int bit = 0; bit < 6; ++bit)
        if (info.platforms & (1 << bit)) text += kPlatforms[bit];
    return text;
}

std::string GetPluginInfoText(const char* path) {
    PluginInfoRecord info;
    if (!QueryPluginInfo(path, &info)) return std::string();
    return PluginInfoText(info);
}

CVellumMenuItem_Plugin* LivePluginItem(INT_PTR p) {
    void* item = reinterpret_cast<void*>(p);
    if (!item || !IsLiveItem(item)) return nullptr;
    return dynamic_cast<CVellumMenuItem_Plugin*>(static_cast<CVellumMenuItem*>(item));
}
