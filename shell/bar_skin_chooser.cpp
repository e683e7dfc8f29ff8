// The skin chooser "Change Skin..." (1242): a skin from this theme, from
// another theme, or from the window-skinning product Lumivane. A choice in a
// skin list applies at once; the Lumivane choice applies when it closes.
#include <windows.h>
#include <memory>
#include <shellapi.h>
#include <string>
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/bar_pages.h"
#include "shell/bar_pages_resources.h"
#include "shell/config_pages.h"
#include "shell/skin_lists.h"
#include "shell/main_window.h"
#include "shell/skin_editor_link.h"
#include "util/dialog_base.h"
#include "util/handles.h"
#include "util/text.h"

namespace {

constexpr char kLumivaneKey[] = "SOFTWARE\\Vantrell\\Lumivane\\LV5.ini\\Installed";
constexpr char kLumivaneSkinFolder[] = "Skins\\LumivaneSkins\\CurrentSkin\\";
// By "UseLVSkin" 1 to 7.
const char* const kLumivaneSkinFiles[] = {
    nullptr,
    "WinXP Bar - Horizontal\\WinXP Bar.tsskin",
    "WinXP Bar - Vertical\\WinXP Bar.tsskin",
    "Popup\\Popup.tsskin",
    "XP StartPanel\\WinXPStartPanel_Top.tsskin",
    "XP StartPanel\\WinXPStartPanel_Bottom.tsskin",
    "XP StartPanel\\WinXPStartPanel_Left.tsskin",
    "XP StartPanel\\WinXPStartPanel_Right.tsskin",
};
const char* const kLumivaneElements[] = {
    "Taskbar Skin", "Menu Skin", "StartPanel Skin (Top Panel)", "StartPanel Skin (Bottom Panel)",
    "StartPanel Skin (Left Panel)", "StartPanel Skin (Right Panel)",
};

bool IsLumivaneInstalled() {
    static const bool installed = [] {
        HKEY key = nullptr;
        if (::RegOpenKeyExA(HKEY_LOCAL_MACHINE, kLumivaneKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
            return false;
        tess::ScopedRegKey owned(key);
        return true;
    }();
    return installed;
}

bool StartsWithNoCase(const std::string& text, const std::string& start) {
    return !start.empty() && text.size() >= start.size() &&
           lstrcmpiA(text.substr(0, start.size()).c_str(), start.c_str()) == 0;
}

class SkinChooser : public tess::DialogBase {
public:
    explicit SkinChooser(CVellumMenuObject* bar) : bar_(bar) {}

protected:
    INT_PTR OnInit() override {
        MarkConfigDialog(Window());
        const std::string skin = BarSkinPath(bar_);
        const char* theme = GetThemeFolder();
        if (theme && theme[0]) FillSkinFileCombo(Control(IDC_SKIN_THEME_SKINS), theme, skin.c_str());
        FillThemeFolderCombo(Control(IDC_SKIN_OTHER_THEME), SkinListProgramFolder().c_str(), skin.c_str());
        FillOtherThemeSkins();
        for (const char* element : kLumivaneElements)
            ::SendMessageA(Control(IDC_SKIN_LUMIVANE_ELEMENT), CB_ADDSTRING, 0,
                           reinterpret_cast<LPARAM>(element));
        if (bar_->UseLVSkin < 0) bar_->UseLVSkin = 0;
        initial_lumivane_ = bar_->UseLVSkin;
        int radio;
        if (bar_->UseLVSkin) {
            radio = IDC_SKIN_FROM_LUMIVANE;
            const int entry = bar_->UseLVSkin == 1 ? 0 : bar_->UseLVSkin - 2;
            ::SendMessageA(Control(IDC_SKIN_LUMIVANE_ELEMENT), CB_SETCURSEL, entry, 0);
        } else if (theme && theme[0] && StartsWithNoCase(skin, theme)) {
            radio = IDC_SKIN_FROM_THEME;
        } else {
            radio = IDC_SKIN_FROM_OTHER;
        }
        ::CheckRadioButton(Window(), IDC_SKIN_FROM_THEME, IDC_SKIN_FROM_LUMIVANE, radio);
        EnableControls();
        ready_ = true;
        return TRUE;
    }

    INT_PTR OnCommand(int id, int code) override {
        if (id == IDOK || id == IDCANCEL) {
            if (IsLiveBar(bar_)) ApplyLumivaneChoice();
            UnmarkConfigDialog(Window());
            ::EndDialog(Window(), id);
            return TRUE;
        }
        if (!ready_ || !IsLiveBar(bar_)) return TRUE;
        switch (id) {
        case IDC_SKIN_THEME_SKINS:
            if (code == CBN_SELCHANGE) ApplyListedSkin(IDC_SKIN_THEME_SKINS, false);
            break;
        case IDC_SKIN_OTHER_SKINS:
            if (code == CBN_SELCHANGE) ApplyListedSkin(IDC_SKIN_OTHER_SKINS, true);
            break;
        case IDC_SKIN_OTHER_THEME:
            if (code == CBN_SELCHANGE) FillOtherThemeSkins();
            break;
        case IDC_SKIN_FROM_THEME:
        case IDC_SKIN_FROM_OTHER:
        case IDC_SKIN_FROM_LUMIVANE:
            SwitchSource(id);
            break;
        case IDC_SKIN_EDIT:
            EditSkin();
            break;
        default:
            break;
        }
        return TRUE;
    }

private:
    HWND Control(int id) const { return ::GetDlgItem(Window(), id); }
    bool Checked(int id) const { return ::IsDlgButtonChecked(Window(), id) == BST_CHECKED; }

    void FillOtherThemeSkins() {
        FillSkinsOfSelectedTheme(Control(IDC_SKIN_OTHER_THEME), Control(IDC_SKIN_OTHER_SKINS),
                                 BarSkinPath(bar_).c_str());
    }

    // An entry without a path changes nothing.
    void ApplyListedSkin(int combo, bool foreign) {
        char path[kSkinEntryTextSize] = "";
        if (!GetSelectedSkinPath(Control(combo), path, sizeof(path)) || !path[0]) return;
        ApplyBarSkin(bar_, path, foreign);
    }

    void SwitchSource(int radio) {
        const bool lumivane_was_on = lumivane_on_;
        lumivane_on_ = radio == IDC_SKIN_FROM_LUMIVANE;
        if (lumivane_on_ && !lumivane_was_on) {
            ::SendMessageA(bar_->m_hWnd, GetBarMessages().UpdateLvSkinRunning, 1, 1);
        } else if (!lumivane_on_ && (lumivane_was_on || bar_->UseLVSkin)) {
            bar_->UseLVSkin = 0;
            ::SendMessageA(bar_->m_hWnd, GetBarMessages().UpdateLvSkinRunning, 0, 0);
        }
        if (radio == IDC_SKIN_FROM_THEME) ApplyListedSkin(IDC_SKIN_THEME_SKINS, false);
        if (radio == IDC_SKIN_FROM_OTHER) ApplyListedSkin(IDC_SKIN_OTHER_SKINS, true);
        EnableControls();
    }

    void EnableControls() {
        const bool theme = Checked(IDC_SKIN_FROM_THEME);
        const bool other = Checked(IDC_SKIN_FROM_OTHER);
        const bool installed = IsLumivaneInstalled();
        ::EnableWindow(Control(IDC_SKIN_THEME_SKINS), theme);
        ::EnableWindow(Control(IDC_SKIN_EDIT), theme);
        ::EnableWindow(Control(IDC_SKIN_OTHER_THEME), other);
        ::EnableWindow(Control(IDC_SKIN_OTHER_SKINS), other);
        ::EnableWindow(Control(IDC_SKIN_LUMIVANE_ELEMENT),
                       installed && Checked(IDC_SKIN_FROM_LUMIVANE));
        ::EnableWindow(Control(IDC_SKIN_FROM_LUMIVANE), installed);
        lumivane_on_ = Checked(IDC_SKIN_FROM_LUMIVANE);
    }

    void ApplyLumivaneChoice() {
        if (!Checked(IDC_SKIN_FROM_LUMIVANE)) return;
        const int entry =
            static_cast<int>(::SendMessageA(Control(IDC_SKIN_LUMIVANE_ELEMENT), CB_GETCURSEL, 0, 0));
        if (entry < 0) return;
        const int choice = entry == 0 ? 1 : entry + 2;
        bar_->UseLVSkin = static_cast<short>(choice);
        if (choice == initial_lumivane_) return;
        const std::string path = SkinListProgramFolder() + kLumivaneSkinFolder + kLumivaneSkinFiles[choice];
        ApplyBarSkin(bar_, path.c_str(), false);
    }

    // Reloads the skin; then Control opens the file in Notepad, Alt only
    // redraws, anything else opens the skin editor.
    void EditSkin() {
        bar_->ReloadSkin(0);
        const std::string path = BarSkinPath(bar_);
        if (::GetKeyState(VK_CONTROL) < 0) {
            ::ShellExecuteA(Window(), "open", "notepad.exe", path.c_str(), nullptr, SW_SHOWNORMAL);
        } else if (::GetKeyState(VK_MENU) < 0) {
            bar_->RedrawVellumWindow();
        } else {
            EditSkinInSkinEditor(path.c_str());
        }
    }

    CVellumMenuObject* bar_;
    int initial_lumivane_ = 0;
    bool lumivane_on_ = false;
    bool ready_ = false;
};

}  // namespace

void ShowBarSkinChooser(CVellumMenuObject* bar, HWND owner) {
    if (!bar || !IsLiveBar(bar)) return;
    SkinChooser chooser(bar);
    chooser.RunModal(ResourceModuleOf(bar), MAKEINTRESOURCEA(IDD_BAR_SKIN_CHOOSER), owner);
}
