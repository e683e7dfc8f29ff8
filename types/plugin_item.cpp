// CVellumMenuItem_Plugin: construction, the plug-in's life cycle (load,
// attach, save, unload), the state relay, saving, clicks and messages.
#include "types/plugin_item.h"

#include <shlwapi.h>
#include <cstring>
#include <new>
#include <set>
#include <string>
#include <vector>
#include "model/bar_file.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/registered_names.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "shell/type_services.h"
#include "skins/ini_section_reader.h"
#include "types/plugin_host.h"
#include "types/type_registration.h"
#include "util/profile_writer.h"
#include "util/text.h"

namespace {

constexpr int kStateNormal = 6;
constexpr int kStateMouseOver = 7;
constexpr int kStateSelected = 8;
constexpr int kStateClicked = 9;
constexpr UINT kBeforeCommand = 40140;

unsigned g_loadSerial = 0;

const ItemClassRegistration kPluginRegistration("Plugin", MakePluginItem);

struct PluginServicesRegistration {
    PluginServicesRegistration() {
        GetShellTypeServices().SetPluginMessageForwarding = [](void* item, int remove) {
            if (CVellumMenuItem_Plugin* plugin = LivePluginItem(reinterpret_cast<INT_PTR>(item)))
                SetPluginMessageForwarding(plugin, remove);
        };
    }
} const kPluginServices;

bool BarIsReadingFile(const CVellumMenuObject* bar) {
    return bar && bar->m_loadingSections && bar->m_sectionReader;
}

// The registered names an item of this type answers.
struct PluginItemMessages {
    UINT ThemeLoaded, ThemeStatus, ThemeClosing, SkinChanging, ModuleUsageCount;
};

const PluginItemMessages& Messages() {
    static const PluginItemMessages messages = {
        ::RegisterWindowMessageA(RegisteredNameText(RegisteredName::BarThemeLoaded)),
        ::RegisterWindowMessageA(RegisteredNameText(RegisteredName::ThemeStatus)),
        ::RegisterWindowMessageA(RegisteredNameText(RegisteredName::ThemeClosingCheckModified)),
        ::RegisterWindowMessageA(RegisteredNameText(RegisteredName::BarSkinChanging)),
        ::RegisterWindowMessageA("CVellumMenuItem_Plugin - GetModuleUsageCount"),
    };
    return messages;
}

const char* StateName(UINT state) {
    switch (state) {
    case kStateNormal: return "Mouse away";
    case kStateMouseOver: return "Mouse over";
    case kStateSelected: return "Mouse down";
    case kStateClicked: return "Command executed";
    default: return "";
    }
}

// The standard state a reply names; 0 for any other name.
UINT StandardStateOf(const char* name) {
    static const struct {
        const char* name;
        UINT state;
    } kNames[] = {{"Mouse away", kStateNormal}, {"Show", kStateNormal},  {"Hide", kStateNormal},
                  {"Mouse over", kStateMouseOver}, {"Mouse down", kStateSelected},
                  {"Mouse up", kStateNormal}};
    for (const auto& entry : kNames)
        if (!std::strcmp(entry.name, name)) return entry.state;
    return 0;
}

bool PluginsFolder(char* out) { return GetPluginsFolder(out) && out[0]; }

}  // namespace

CVellumMenuItem* MakePluginItem(CVellumMenuObject* bar, CVellumMenuSection* section,
                                int itemNumber, const char*) {
    return new (std::nothrow) CVellumMenuItem_Plugin(bar, section, itemNumber);
}

// ---- construction ------------------------------------------------------------------------------------

CVellumMenuItem_Plugin::CVellumMenuItem_Plugin(CVellumMenuObject* bar, CVellumMenuSection* section,
                                               int itemNumber)
    : CVellumMenuItem(bar, section, itemNumber, nullptr, -1) {
    m_libraryPath[0] = m_instanceId[0] = '\0';
    m_scriptEnabled = FALSE;
    m_module = nullptr;
    m_vtMessage = nullptr;
    m_instance = nullptr;
    m_capabilities = 0;
    m_pluginName[0] = m_pluginAuthor[0] = '\0';
    m_pluginVersion = 0;
    m_attached = m_watchAll = m_forwards = FALSE;
    m_pendingSize = SIZE{0, 0};
    m_childWindow = nullptr;
    ::SetRectEmpty(&m_lastRect);
    m_paintBitmap = nullptr;
    m_loadSerial = 0;
    m_page = nullptr;

    if (bar) RegisterChildClass(ResourceModuleOf(bar));
    CreateChildWindow();
    const bool reading = BarIsReadingFile(bar) && section && itemNumber > 0;
    if (reading) ReadPluginKeys();
    if (!m_instanceId[0]) {
        NewInstanceID();
        if (reading && bar) bar->SetModifiedSilent();
    }
    if (reading && m_libraryPath[0] && LoadPlugin(m_libraryPath, true)) {
        LoadInstance();
        RefreshCustomStates();
    }
}

void CVellumMenuItem_Plugin::ReadPluginKeys() {
    CIniSectionReader* reader = m_pBar->m_sectionReader;
    char key[kIniKeyNameSize];
    auto name = [&](const char* k) -> const char* {
        BuildString(key, const_cast<char*>(k));
        return key;
    };
    char path[kPluginLibraryPathSize] = "";
    reader->GetString(name("Plugin"), path, sizeof(path), "");
    char folder[MAX_PATH] = "";
    char absolute[MAX_PATH] = "";
    if (path[0] && PluginsFolder(folder) && m_pBar->MakePathAbsolute(path, absolute, folder) &&
        absolute[0])
        tess::CopyText(m_libraryPath, absolute);
    else
        tess::CopyText(m_libraryPath, path);
    reader->GetString(name("Plugin.InstanceID"), m_instanceId, sizeof(m_instanceId), "");
    m_scriptEnabled = reader->GetBool(name("Plugin.VODizovuEnabled"), 0);
}

CVellumMenuItem_Plugin::~CVellumMenuItem_Plugin() {
    RegisterLiveItem(this, 0);
    SaveInstance();
    DetachPlugin();
    UnloadPlugin(0);
    SetPluginMessageForwarding(this, 1);
    if (m_page && ::IsWindow(m_page)) ::DestroyWindow(m_page);
    m_page = nullptr;
    if (m_childWindow && ::IsWindow(m_childWindow)) ::DestroyWindow(m_childWindow);
    m_childWindow = nullptr;
    FreePaintBitmap();
}

// ---- life cycle -------------------------------------------------------------------------------------------

void CVellumMenuItem_Plugin::NewInstanceID() {
    SYSTEMTIME now;
    ::GetLocalTime(&now);
    tess::FormatText(m_instanceId, sizeof(m_instanceId), "%lx%i%i%i",
                     static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(this)), now.wSecond,
                     now.wMinute, now.wHour);
}

INT_PTR CVellumMenuItem_Plugin::SendPluginMessage(UINT message, INT_PTR param, INT_PTR param2,
                                                  void** otherSlot) {
    if (!IsPluginLoaded()) return 0;
    return m_vtMessage(this, otherSlot ? otherSlot : &m_instance, message, param, param2);
}

bool CVellumMenuItem_Plugin::LoadPlugin(char* path, bool keepId) {
    if (!path || !path[0]) return false;
    char wanted[kPluginLibraryPathSize];
    tess::CopyText(wanted, path);
    UnloadPlugin(0);
    if (::StrStrIA(wanted, "Scriptgate.dll")) {
        path[0] = '\0';
        return false;
    }
    HMODULE module = ::LoadLibraryA(wanted);
    if (!module) return false;
    auto proc = reinterpret_cast<VTMessageProc>(::GetProcAddress(module, "VTMessage"));
    const int users = proc ? AddPluginLibraryUser(wanted) : 0;
    if (!users) {   // no entry point, or a 151st library
        ::FreeLibrary(module);
        return false;
    }
    if (!keepId) NewInstanceID();
    m_instance = nullptr;
    m_module = module;
    m_vtMessage = proc;
    tess::CopyText(m_libraryPath, wanted);

    PluginInfoRecord info = {};
    info.hostId = kPluginHostIdTessellar;
    info.hostVersion = kPluginHostVersion;
    const bool answered = SendPluginMessage(VTM_GETINFO, reinterpret_cast<INT_PTR>(&info), 0) != 0;
    if (!answered || !(info.hosts & kPluginHostFlagTessellar)) {
        // Refused: no VTM_INITIALIZE went out, so no VTM_MODULEDONE either.
        RemovePluginLibraryUser(wanted);
        m_module = nullptr;
        m_vtMessage = nullptr;
        m_libraryPath[0] = '\0';
        ::FreeLibrary(module);
        NewInstanceID();
        return false;
    }
    tess::CopyTextN(m_pluginName, sizeof(m_pluginName), info.name, sizeof(info.name));
    tess::CopyTextN(m_pluginAuthor, sizeof(m_pluginAuthor), info.author, sizeof(info.author));
    m_pluginVersion = info.version;
    if (users == 1)
        SendPluginMessage(VTM_INITIALIZE, reinterpret_cast<INT_PTR>(&VTHostCallback),
                          reinterpret_cast<INT_PTR>(module));
    m_capabilities = 0;
    SendPluginMessage(VTM_CREATEINSTANCE, reinterpret_cast<INT_PTR>(&m_capabilities), 0);
    m_loadSerial = ++g_loadSerial;
    m_attached = FALSE;
    SetPluginMessageForwarding(this, 0);
    return true;
}

void CVellumMenuItem_Plugin::AttachPlugin() {
    if (!IsPluginLoaded() || m_attached) return;
    m_attached = TRUE;
    RECT r;
    GetRealItemRect(&r);
    ::OffsetRect(&r, -r.left, -r.top);
    PluginAttachInfo info = {static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(m_childWindow)), r};
    SendPluginMessage(VTM_ATTACH, reinterpret_cast<INT_PTR>(&info), 0);
}

void CVellumMenuItem_Plugin::DetachPlugin() {
    if (!IsPluginLoaded() || !m_attached) return;
    m_attached = FALSE;
    SendPluginMessage(VTM_FREEINSTANCE, 0, 0);
}

void CVellumMenuItem_Plugin::LoadInstance() {
    SendPluginMessage(VTM_LOAD, reinterpret_cast<INT_PTR>(m_instanceId),
                      reinterpret_cast<INT_PTR>(&m_capabilities));
}

void CVellumMenuItem_Plugin::SaveInstance() {
    SendPluginMessage(VTM_SAVE, reinterpret_cast<INT_PTR>(m_instanceId), 0);
}

void CVellumMenuItem_Plugin::UnloadPlugin(int noEnd) {
    if (!IsPluginLoaded()) return;
    if (!noEnd) SendPluginMessage(VTM_ENDINSTANCE, 0, 0);
    if (RemovePluginLibraryUser(m_libraryPath) == 0) SendPluginMessage(VTM_MODULEDONE, 0, 0);
    NewInstanceID();
    HMODULE module = m_module;
    m_module = nullptr;
    m_vtMessage = nullptr;
    m_watchAll = FALSE;
    m_attached = FALSE;
    m_instance = nullptr;
    m_loadSerial = 0;
    m_libraryPath[0] = '\0';
    m_capabilities = 0;
    SetPluginMessageForwarding(this, 1);
    ::FreeLibrary(module);
}

void CVellumMenuItem_Plugin::RefreshCustomStates() {
    if (!IsPluginLoaded()) return;
    std::vector<std::string> before;
    for (int i = 0; i < m_customStates.count; ++i)
        if (m_customStates.names[i]) before.push_back(m_customStates.names[i]);
    std::set<std::string> named;
    for (int index = 0; index < kMaxCustomStates; ++index) {
        char name[kPluginStateNameSize] = "";
        if (!SendPluginMessage(VTM_GETSTATENAME, reinterpret_cast<INT_PTR>(name), index)) break;
        name[sizeof(name) - 1] = '\0';
        if (!name[0]) continue;
        if (named.insert(name).second && !FindCustomState(name, nullptr, nullptr))
            AddCustomState(name, const_cast<char*>(""));
    }
    for (const std::string& old : before)
        if (!named.count(old)) RemoveCustomState(const_cast<char*>(old.c_str()));
    SetState(m_state, 1);
    SetState(m_state, 0);
}

// ---- states ---------------------------------------------------------------------------------------------

UINT CVellumMenuItem_Plugin::PluginStateChange(UINT state, int flag) {
    if (!IsPluginLoaded()) return state;
    char reply[kPluginStateReplySize] = "";
    if (flag) {
        SendPluginMessage(VTM_STATECHANGE, reinterpret_cast<INT_PTR>("Show"),
                          reinterpret_cast<INT_PTR>(reply));
        return state;
    }
    INT_PTR answered = SendPluginMessage(VTM_STATECHANGE, reinterpret_cast<INT_PTR>(StateName(state)),
                                         reinterpret_cast<INT_PTR>(reply));
    reply[sizeof(reply) - 1] = '\0';
    if (!answered) {
        m_customState[0] = '\0';
        return state;
    }
    if (!reply[0]) return state;
    m_customState[0] = '\0';
    if (UINT standard = StandardStateOf(reply)) return standard;
    tess::CopyText(m_customState, reply);
    return state;
}

void CVellumMenuItem_Plugin::SetState(UINT state, int keep) {
    CVellumMenuItem::SetState(PluginStateChange(state, keep), keep);
}

int CVellumMenuItem_Plugin::ApplyStateName(const char* name) {
    if (!name || !IsReadableCallerBuffer(name, 1) || !name[0]) return 0;
    char text[kPluginStateReplySize];
    tess::CopyText(text, name);
    if (UINT standard = StandardStateOf(text)) {
        if (standard != m_state) {
            CVellumMenuItem::SetState(standard, 0);
            RedrawItem();
        }
        return 1;
    }
    if (std::strncmp(m_customState, text, sizeof(m_customState) - 1) != 0) {
        tess::CopyText(m_customState, text);
        RedrawItem();
    }
    return 1;
}

int CVellumMenuItem_Plugin::RequestSize(const PluginSizeRequest& request) {
    if (!(request.flags & kPluginSizeApply)) return 0;
    if (request.cx != m_pendingSize.cx || request.cy != m_pendingSize.cy) {
        m_pendingSize = SIZE{request.cx, request.cy};
        if (m_pBar) m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }
    return 1;
}

int CVellumMenuItem_Plugin::PreventEditExtraStates() {
    return IsPluginLoaded() && (m_capabilities & kPluginFixedStates) ? 1 : 0;
}

// ---- input ------------------------------------------------------------------------------------------------

void CVellumMenuItem_Plugin::OnClick() {
    // A plug-in item runs no standard command; the plug-in decides.
    if (IsPluginLoaded() && (m_capabilities & kPluginWantsCommand)) SendPluginMessage(VTM_COMMAND, 0, 0);
}

void CVellumMenuItem_Plugin::OnDblClick() {}

void CVellumMenuItem_Plugin::OnRClick(int*) {}

void CVellumMenuItem_Plugin::ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) {
    const PluginItemMessages& m = Messages();
    if (msg == m.ThemeLoaded) {
        if (reinterpret_cast<CVellumMenuObject*>(wp) == m_pBar && !m_attached && IsPluginLoaded()) {
            AttachPlugin();
            SendPluginMessage(VTM_SCRIPTENABLED, m_scriptEnabled ? 1 : 0, 0);
        }
    } else if (msg == m.ThemeStatus) {
        SendPluginMessage(VTM_THEMESTATUS, static_cast<INT_PTR>(wp), 0);
    } else if (msg == m.ThemeClosing) {
        // Every bar with a plug-in is saved, so its plug-ins get VTM_SAVE.
        if (m_pBar) m_pBar->SetModifiedSilent();
    } else if (msg == m.SkinChanging) {
        SendPluginMessage(VTM_SKINCHANGING, 0, 0);
    } else if (msg == m.ModuleUsageCount) {
        const char* path = reinterpret_cast<const char*>(wp);
        int* count = reinterpret_cast<int*>(lp);
        if (path && count && path != m_libraryPath && m_libraryPath[0] &&
            IsReadableCallerBuffer(path, 1) && IsWritableCallerBuffer(count, sizeof(int)) &&
            !lstrcmpiA(path, m_libraryPath))
            ++*count;
    } else if (msg == WM_TIMER && IsPluginLoaded() && m_pBar) {
        PluginWindowMessage record = {
            static_cast<DWORD>(reinterpret_cast<ULONG_PTR>(m_pBar->m_hWnd)), WM_TIMER, wp, lp};
        LRESULT result = 0;
        SendPluginMessage(VTM_WINDOWMESSAGE, reinterpret_cast<INT_PTR>(&record),
                          reinterpret_cast<INT_PTR>(&result));
    }
}

// ---- context menu ------------------------------------------------------------------------------------------

HMENU CVellumMenuItem_Plugin::InitCustomContextMenu(HMENU, HMENU itemMenu) {
    if (!itemMenu) return nullptr;
    const bool script = !std::strcmp(m_pluginName, "VODizovu");
    ::InsertMenuA(itemMenu, kBeforeCommand, MF_BYCOMMAND | MF_STRING, kConfigurePluginCommand,
                  script ? "Edit Script..." : "Configure Plugin...");
    if (script)
        ::InsertMenuA(itemMenu, kBeforeCommand,
                      MF_BYCOMMAND | MF_STRING | (m_scriptEnabled ? MF_CHECKED : MF_UNCHECKED),
                      kScriptEnabledCommand, "Script Enabled");
    ::InsertMenuA(itemMenu, kBeforeCommand, MF_BYCOMMAND | MF_SEPARATOR, 0, nullptr);
    return itemMenu;
}

int CVellumMenuItem_Plugin::DoCustomContextMenuCommand(int id) {
    if (id == kConfigurePluginCommand) {
        static const UINT configure =
            ::RegisterWindowMessageA(RegisteredNameText(RegisteredName::ConfigurePlugin));
        if (HWND main = GetMainWindow())
            ::PostMessageA(main, configure, reinterpret_cast<WPARAM>(this), 0);
        return 1;
    }
    if (id == kScriptEnabledCommand) {
        m_scriptEnabled = !m_scriptEnabled;
        SendPluginMessage(VTM_SCRIPTENABLED, m_scriptEnabled ? 1 : 0, 0);
        if (m_pBar) m_pBar->SetModifiedSilent();
        return 1;
    }
    return 0;
}

// ---- copies, names, saving -------------------------------------------------------------------------------------

CVellumMenuItem* CVellumMenuItem_Plugin::Duplicate() {
    if (!m_pBar || !m_pSection) return nullptr;
    auto* copy = new (std::nothrow) CVellumMenuItem_Plugin(m_pBar, m_pSection, 0);
    if (!copy) return nullptr;
    Copy(copy, 1);
    char path[kPluginLibraryPathSize];
    tess::CopyText(path, m_libraryPath);
    if (path[0] && copy->LoadPlugin(path, false)) {
        copy->SendPluginMessage(VTM_CLONE, reinterpret_cast<INT_PTR>(this),
                                reinterpret_cast<INT_PTR>(m_instance));
        copy->RefreshCustomStates();
        copy->AttachPlugin();
    }
    return copy;
}

int CVellumMenuItem_Plugin::GetCustomItemName(char* out) {
    if (out) tess::CopyText(out, 64, "PluginItem");
    return 1;
}

HICON CVellumMenuItem_Plugin::GetCustomIcon() {
    HINSTANCE module = ResourceModuleOf(m_pBar);
    return static_cast<HICON>(
        ::LoadImageA(module, MAKEINTRESOURCEA(kPluginItemIconId), IMAGE_ICON, 16, 16, 0));
}

int CVellumMenuItem_Plugin::SaveExternal() {
    if (!m_pBar) return CVellumMenuItem::SaveExternal();
    SaveInstance();
    const char* file = m_pBar->m_barFile;
    char key[kIniKeyNameSize];
    auto name = [&](const char* k) -> const char* {
        BuildString(key, const_cast<char*>(k));
        return key;
    };
    tess::WriteProfileString(m_sectionName, name("Type"), "Plugin", file);
    if (m_libraryPath[0]) {
        char folder[MAX_PATH] = "";
        char relative[MAX_PATH] = "";
        if (PluginsFolder(folder)) m_pBar->MakePathRelative(m_libraryPath, relative, folder);
        tess::WriteProfileString(m_sectionName, name("Plugin"),
                                 relative[0] ? relative : m_libraryPath, file);
        tess::WriteProfileString(m_sectionName, name("Plugin.InstanceID"), m_instanceId, file);
    } else {
        tess::WriteProfileString(m_sectionName, name("Plugin"), nullptr, file);
        tess::WriteProfileString(m_sectionName, name("Plugin.InstanceID"), nullptr, file);
    }
    if (m_scriptEnabled) WriteIntSetting(1, m_sectionName, name("Plugin.VODizovuEnabled"), file);
    return CVellumMenuItem::SaveExternal();
}
