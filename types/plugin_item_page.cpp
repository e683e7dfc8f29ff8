// The plug-in item's page (dialog 1063) and the plug-ins browser (dialog 223).
#include <cstring>
#include <string>
#include <vector>
#include "model/registered_names.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "model/behavior_classes.h"
#include "shell/config_pages.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "types/plugin_host.h"
#include "types/plugin_item.h"
#include "types/plugin_item_resources.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

constexpr char kNoPlugin[] = "No Plugin Loaded";

void ShowInfo(HWND dialog, const std::string& text) {
    ::SetDlgItemTextA(dialog, IDC_PLUGIN_INFO, text.empty() ? kNoPlugin : text.c_str());
}

void OnSelectDifferentPlugin(HWND page, CVellumMenuItem_Plugin* item) {
    char path[MAX_PATH] = "";
    if (!CVellumMenuItem_Plugin::BrowsePlugins(page, path) || !path[0]) return;
    item->ChooseLibrary(page, path);
}

void OnConfigure(CVellumMenuItem_Plugin* item) {
    static const UINT configure =
        ::RegisterWindowMessageA(RegisteredNameText(RegisteredName::ConfigurePlugin));
    if (HWND main = GetMainWindow()) ::PostMessageA(main, configure, reinterpret_cast<WPARAM>(item), 0);
}

class PluginPage : public ConfigPage {
public:
    explicit PluginPage(CVellumMenuItem_Plugin* item)
        : ConfigPage(PageObjectKind::kItem, item, ConfigPageSlots(&item->m_page, 1, nullptr), 0),
          item_(item) {}

private:
    void Fill() override {
        ShowInfo(Window(), item_->m_libraryPath[0] ? GetPluginInfoText(item_->m_libraryPath) : "");
        FillBehaviorClassCombo(item_, Control(IDC_PLUGIN_BEHAVIOR));
    }

    void Apply(int id, int code) override {
        if (id == IDC_PLUGIN_SELECT && code == BN_CLICKED) OnSelectDifferentPlugin(Window(), item_);
        else if (id == IDC_PLUGIN_CONFIGURE && code == BN_CLICKED) OnConfigure(item_);
        else if (id == IDC_PLUGIN_BEHAVIOR) ApplyBehaviorClassChange(item_, Control(id));
    }

    CVellumMenuItem_Plugin* item_;
};

// ---- the browser ---------------------------------------------------------------------------------

struct BrowserEntry {
    std::string file;
    PluginInfoRecord info;
};

struct BrowserState {
    char* out;
    std::string folder;
    std::vector<BrowserEntry> entries;
};

std::vector<BrowserEntry> ListPlugins(const std::string& folder) {
    std::vector<BrowserEntry> entries;
    WIN32_FIND_DATAA found;
    tess::ScopedFind find(::FindFirstFileA((folder + "*.*").c_str(), &found));
    if (!find) return entries;
    do {
        if (found.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) continue;
        const char* dot = std::strrchr(found.cFileName, '.');
        if (!dot || lstrcmpiA(dot + 1, "dll")) continue;
        BrowserEntry entry;
        entry.file = found.cFileName;
        if (!QueryPluginInfo((folder + entry.file).c_str(), &entry.info)) continue;
        entries.push_back(entry);
    } while (static_cast<int>(entries.size()) < kPluginBrowserTableSize &&
             ::FindNextFileA(find.get(), &found));
    return entries;
}

void ShowBrowserSelection(HWND dialog, const BrowserState& state) {
    LRESULT index = ::SendDlgItemMessageA(dialog, IDC_PLUGINS_LIST, LB_GETCURSEL, 0, 0);
    if (index < 0 || index >= static_cast<LRESULT>(state.entries.size())) {
        ::SetDlgItemTextA(dialog, IDC_PLUGIN_INFO, "");
        return;
    }
    ::SetDlgItemTextA(dialog, IDC_PLUGIN_INFO, PluginInfoText(state.entries[index].info).c_str());
}

INT_PTR CALLBACK BrowserProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        auto* state = static_cast<BrowserState*>(::GetPropA(dialog, "szPlugin"));
        switch (msg) {
        case WM_INITDIALOG: {
            state = reinterpret_cast<BrowserState*>(lp);
            ::SetPropA(dialog, "szPlugin", state);
            state->out[0] = '\0';
            state->entries = ListPlugins(state->folder);
            for (const BrowserEntry& entry : state->entries)
                ::SendDlgItemMessageA(dialog, IDC_PLUGINS_LIST, LB_ADDSTRING, 0,
                                      reinterpret_cast<LPARAM>(entry.info.name));
            ::SendDlgItemMessageA(dialog, IDC_PLUGINS_LIST, LB_SETCURSEL, 0, 0);
            ShowBrowserSelection(dialog, *state);
            return TRUE;
        }
        case WM_COMMAND:
            if (!state) return FALSE;
            if (LOWORD(wp) == IDC_PLUGINS_LIST && HIWORD(wp) == LBN_SELCHANGE) {
                ShowBrowserSelection(dialog, *state);
            } else if (LOWORD(wp) == IDOK) {
                LRESULT index = ::SendDlgItemMessageA(dialog, IDC_PLUGINS_LIST, LB_GETCURSEL, 0, 0);
                if (index >= 0 && index < static_cast<LRESULT>(state->entries.size()) &&
                    !state->entries[index].file.empty())
                    tess::CopyText(state->out, MAX_PATH,
                                   (state->folder + state->entries[index].file).c_str());
                ::EndDialog(dialog, 1);
            } else if (LOWORD(wp) == IDCANCEL) {
                ::EndDialog(dialog, 2);
            }
            return TRUE;
        case WM_DESTROY:
            ::RemovePropA(dialog, "szPlugin");
            return FALSE;
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

HWND CVellumMenuItem_Plugin::CallConfigDialogEx(HWND parent) {
    HINSTANCE module = ResourceModuleOf(m_pBar);
    return ConfigPage::Open(std::make_unique<PluginPage>(this), module, kPluginPageDialogId, parent);
}

bool CVellumMenuItem_Plugin::BrowsePlugins(HWND owner, char* out) {
    if (!out) return false;
    char folder[MAX_PATH] = "";
    GetPluginsFolder(folder);
    BrowserState state = {out, folder, {}};
    HINSTANCE module = ::GetModuleHandleA(nullptr);
    INT_PTR result = ::DialogBoxParamA(module, MAKEINTRESOURCEA(kPluginsBrowserDialogId), owner,
                                       BrowserProc, reinterpret_cast<LPARAM>(&state));
    return result == 1 && out[0];
}

bool CVellumMenuItem_Plugin::ChooseLibrary(HWND page, const char* chosen) {
    char path[kPluginLibraryPathSize];
    tess::CopyText(path, chosen ? chosen : "");
    if (page) ShowInfo(page, GetPluginInfoText(path));
    SaveInstance();
    DetachPlugin();
    UnloadPlugin(0);
    if (!LoadPlugin(path, false)) {
        ::MessageBoxA(page, "Invalid Plugin!", "Tessellar - Load Plugin", MB_OK | MB_ICONWARNING);
        return false;
    }
    LoadInstance();
    RefreshCustomStates();
    if (m_pBar) m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    AttachPlugin();
    if (m_pBar) {
        m_pBar->SetModified();
        m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }
    return true;
}
