// CVellumMenuItem_Plugin (type "Plugin"): the item whose look and behaviour
// come from a plug-in library. It loads the library its bar file names,
// drives it through VTMessage, gives it a child window ("TSPluginChild")
// inside the bar, draws and sizes the item through it, relays states,
// clicks, window messages and theme events, and keeps the plug-in's instance
// id in the bar file.
#pragma once
#include <windows.h>
#include "model/vellum_menu_item.h"
#include "types/plugin_interface.h"

constexpr int kPluginLibraryPathSize = 270;
constexpr int kPluginInstanceIdSize = 64;
constexpr int kPluginPageDialogId = 1063;
constexpr int kPluginsBrowserDialogId = 223;
constexpr int kPluginItemIconId = 159;
constexpr char kPluginChildClass[] = "TSPluginChild";
constexpr char kPluginItemProperty[] = "PluginItem";
// Context-menu commands of a plug-in item.
constexpr int kConfigurePluginCommand = 2515;
constexpr int kScriptEnabledCommand = 2516;

class CVellumMenuItem_Plugin : public CVellumMenuItem {
public:
    // itemNumber > 0 while the bar reads its file: the keys are read and the
    // library loaded; otherwise a new item without a plug-in.
    CVellumMenuItem_Plugin(CVellumMenuObject* bar, CVellumMenuSection* section, int itemNumber);
    ~CVellumMenuItem_Plugin() override;

    // ---- virtual operations ------------------------------------------------------------------
    int DoCustomContextMenuCommand(int id) override;
    HMENU InitCustomContextMenu(HMENU barMenu, HMENU itemMenu) override;
    CVellumMenuItem* Duplicate() override;
    int GetCustomItemName(char* out) override;
    HICON GetCustomIcon() override;
    int SaveExternal() override;
    void Draw(HDC dc) override;
    SIZE CalcSize(int noSectionStretch, int ignored) override;
    void OnClick() override;
    void OnDblClick() override;
    void OnRClick(int* handled) override;
    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void SetState(UINT state, int keep) override;
    int PreventEditExtraStates() override;
    HWND CallConfigDialogEx(HWND parent) override;

    // ---- life cycle of the plug-in (plugin_item.cpp) ------------------------------------------------
    // The load: refused (false) for "Scriptgate.dll" (path emptied), a
    // library without "VTMessage", a refused VTM_GETINFO, hosts without 0x2
    // or a 151st library. The current plug-in is unloaded first.
    bool LoadPlugin(char* path, bool keepId);
    void AttachPlugin();
    void DetachPlugin();
    void LoadInstance();
    void SaveInstance();
    void UnloadPlugin(int noEnd);
    void RefreshCustomStates();
    bool IsPluginLoaded() const { return m_module && m_vtMessage; }
    // VTMessage(this, other slot or the own slot, ...) when loaded, else 0.
    INT_PTR SendPluginMessage(UINT message, INT_PTR param, INT_PTR param2,
                              void** otherSlot = nullptr);
    void NewInstanceID();
    // The state the base SetState applies (see the item's state relay).
    UINT PluginStateChange(UINT state, int flag);
    // Runs the item's window and the reply names through the state relay;
    // VTHC_SETSTATE. 0 without a name.
    int ApplyStateName(const char* name);
    // VTHC_SETSIZE: 1 when applied.
    int RequestSize(const PluginSizeRequest& request);

    // ---- drawing and size (plugin_item_draw.cpp) ------------------------------------------------------
    SIZE PluginCalcSize(SIZE base);
    // True when the plug-in's drawing replaced the item's own.
    bool PluginDraw(HDC dc);
    void FreePaintBitmap();

    // ---- child window (plugin_child_window.cpp) -------------------------------------------------------
    static bool RegisterChildClass(HINSTANCE instance);
    void CreateChildWindow();

    // ---- page and browser (plugin_item_page.cpp) -------------------------------------------------------
    // The plug-ins browser; true with the chosen library's full path in out
    // (MAX_PATH characters).
    static bool BrowsePlugins(HWND owner, char* out);
    // The page's "Select a Different Plugin..." with a chosen path.
    bool ChooseLibrary(HWND page, const char* path);

    // ---- fields ------------------------------------------------------------------------------------
    char m_libraryPath[kPluginLibraryPathSize];   // "Plugin", absolute
    char m_instanceId[kPluginInstanceIdSize];     // "Plugin.InstanceID"
    BOOL m_scriptEnabled;                         // "Plugin.VODizovuEnabled"
    HMODULE m_module;
    VTMessageProc m_vtMessage;
    void* m_instance;                             // PluginInstance
    int m_capabilities;                           // PluginCapabilities
    char m_pluginName[256];
    char m_pluginAuthor[256];
    int m_pluginVersion;
    BOOL m_attached;
    BOOL m_watchAll;
    BOOL m_forwards;
    SIZE m_pendingSize;
    HWND m_childWindow;
    RECT m_lastRect;
    HBITMAP m_paintBitmap;
    unsigned m_loadSerial;
    HWND m_page;

private:
    void ReadPluginKeys();
    void SendLoadedStateSequence();
};

CVellumMenuItem* MakePluginItem(CVellumMenuObject* bar, CVellumMenuSection* section,
                                int itemNumber, const char* storedType);
