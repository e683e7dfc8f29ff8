// The theme editor's modal creation dialogs: "Create Section" (133),
// "Create New Bar" (135) and the template name (1092) of "Save Bar as
// Template...".
#include <windows.h>
#include <string>
#include "model/live_objects.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "shell/config_pages.h"
#include "shell/main_window.h"
#include "shell/skin_lists.h"
#include "shell/theme_editor.h"
#include "shell/theme_editor_create_internal.h"
#include "shell/theme_editor_create_resources.h"
#include "skins/skin_cache.h"
#include "skins/skin_record.h"
#include "util/bar_registry.h"
#include "util/dialog_base.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

constexpr char kNewBarCaption[] = "Create New Bar";
constexpr char kNoTitleText[] = "Please give this bar a title!";
constexpr char kTitleInUseText[] =
    "The bar's title you've specified is already in use by another bar.\n"
    "Please give a unique title for this bar.";
constexpr char kNoSkinText[] = "Please select a skin to use on this bar!";
constexpr char kNoSkinEntry[] = "-Select a Skin-";
constexpr char kTemplateCaption[] = "Tessellar - Save Bar As Template";
constexpr char kBadTemplateNameText[] =
    "A template name is used as a file name: it cannot be empty, contain \"..\" or any of "
    "the characters \\ / : * ? \" < > |, nor be a device name such as \"CON\".\n"
    "Please give another name for this template.";
constexpr int kSectionTypeQueryLimit = 1000;
constexpr int kTypeNameSize = 64;
constexpr int kOrientationVertical = 1;

std::string ControlText(HWND dialog, int id) {
    HWND control = ::GetDlgItem(dialog, id);
    const int length = control ? ::GetWindowTextLengthA(control) : 0;
    std::string text(static_cast<size_t>(length) + 1, '\0');
    if (length > 0) ::GetWindowTextA(control, &text[0], length + 1);
    text.resize(static_cast<size_t>(length > 0 ? length : 0));
    return text;
}

// ---- Create Section ------------------------------------------------------------------------------

class NewSectionDialog : public tess::DialogBase {
public:
    explicit NewSectionDialog(CVellumMenuObject* bar) : bar_(bar) {}

protected:
    INT_PTR OnInit() override {
        HWND types = ::GetDlgItem(Window(), IDC_CREATE_SECTION_TYPE);
        for (int n = 0; n < kSectionTypeQueryLimit; ++n) {
            char name[kTypeNameSize] = "";
            if (!bar_->AddSection(name, n, 1)) break;
            ::SendMessageA(types, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        }
        return TRUE;
    }

    INT_PTR OnCommand(int id, int) override {
        if (id == IDCANCEL) {
            ::EndDialog(Window(), IDCANCEL);
        } else if (id == IDOK) {
            if (!IsLiveBar(bar_)) {
                ::EndDialog(Window(), IDCANCEL);
            } else if (CreateSection()) {
                ::EndDialog(Window(), IDOK);
            }
        }
        return TRUE;
    }

private:
    // False without a chosen type: the dialog stays.
    bool CreateSection() {
        HWND types = ::GetDlgItem(Window(), IDC_CREATE_SECTION_TYPE);
        const LRESULT row = ::SendMessageA(types, CB_GETCURSEL, 0, 0);
        if (row == CB_ERR) return false;
        char type[kTypeNameSize] = "";
        if (::SendMessageA(types, CB_GETLBTEXTLEN, row, 0) >= kTypeNameSize) return false;
        ::SendMessageA(types, CB_GETLBTEXT, row, reinterpret_cast<LPARAM>(type));
        std::string title = ControlText(Window(), IDC_CREATE_TITLE);
        if (title.empty()) title = type;
        const int slot = bar_->AddSection(type, -1, 0);
        if (slot < 0 || slot >= kMaxSections || !bar_->m_sections[slot]) return true;
        CVellumMenuSection* section = bar_->m_sections[slot];
        tess::CopyText(section->Title, title.c_str());
        ShowSectionInEditor(section, 0);
        bar_->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        bar_->SetModified();
        return true;
    }

    CVellumMenuObject* bar_;
};

// ---- Create New Bar ------------------------------------------------------------------------------

class NewBarDialog : public tess::DialogBase {
public:
    NewBarDialog(void (*target)(CVellumMenuObject*, void*), void* context)
        : target_(target), context_(context) {}
    CVellumMenuObject* Created() const { return created_; }

protected:
    INT_PTR OnInit() override {
        MarkConfigDialog(Window());
        HWND theme_skins = Control(IDC_NEWBAR_THEME_SKINS);
        ::SendMessageA(theme_skins, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(kNoSkinEntry));
        ::SendMessageA(theme_skins, CB_SETCURSEL, 0, 0);
        const char* theme = GetThemeFolder();
        if (theme && theme[0]) FillSkinFileCombo(theme_skins, theme, "");
        FillThemeFolderCombo(Control(IDC_NEWBAR_OTHER_THEME), SkinListProgramFolder().c_str(), "");
        HWND orientation = Control(IDC_NEWBAR_ORIENTATION);
        ::SendMessageA(orientation, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Horizontally"));
        ::SendMessageA(orientation, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Vertically (Like a menu)"));
        ::SendMessageA(orientation, CB_SETCURSEL, 0, 0);
        ::CheckRadioButton(Window(), IDC_NEWBAR_FROM_THEME, IDC_NEWBAR_FROM_OTHER, IDC_NEWBAR_FROM_THEME);
        EnableSkinControls();
        return TRUE;
    }

    INT_PTR OnCommand(int id, int code) override {
        switch (id) {
        case IDCANCEL:
            Close(IDCANCEL);
            break;
        case IDOK:
            if (CreateBar()) Close(IDOK);
            break;
        case IDC_NEWBAR_FROM_THEME:
        case IDC_NEWBAR_FROM_OTHER:
            EnableSkinControls();
            break;
        case IDC_NEWBAR_OTHER_THEME:
            if (code == CBN_SELCHANGE) FillOtherThemeSkins();
            break;
        default:
            break;
        }
        return TRUE;
    }

private:
    HWND Control(int id) const { return ::GetDlgItem(Window(), id); }
    bool SkinFromOtherTheme() const {
        return ::IsDlgButtonChecked(Window(), IDC_NEWBAR_FROM_OTHER) == BST_CHECKED;
    }
    int SkinCombo() const { return SkinFromOtherTheme() ? IDC_NEWBAR_OTHER_SKINS : IDC_NEWBAR_THEME_SKINS; }

    void Close(int result) {
        UnmarkConfigDialog(Window());
        ::EndDialog(Window(), result);
    }

    void EnableSkinControls() {
        const bool other = SkinFromOtherTheme();
        ::EnableWindow(Control(IDC_NEWBAR_THEME_SKINS), !other);
        ::EnableWindow(Control(IDC_NEWBAR_OTHER_THEME), other);
        ::EnableWindow(Control(IDC_NEWBAR_OTHER_SKINS), other);
    }

    void FillOtherThemeSkins() {
        FillSkinsOfSelectedTheme(Control(IDC_NEWBAR_OTHER_THEME), Control(IDC_NEWBAR_OTHER_SKINS), "");
    }

    // A box of this dialog; the dialog stays open.
    void Tell(const char* text) {
        ::MessageBoxA(Window(), text, kNewBarCaption, MB_OK | MB_ICONINFORMATION);
    }

    void TellNoSkin() {
        Tell(kNoSkinText);
        ::SetFocus(Control(SkinCombo()));
    }

    // False keeps the dialog open: a check failed or the skin did not load.
    bool CreateBar() {
        const std::string title = ControlText(Window(), IDC_CREATE_TITLE);
        if (title.empty()) {
            Tell(kNoTitleText);
            return false;
        }
        if (EnumBarWindows(IsBarTitleFreeProc, reinterpret_cast<LPARAM>(title.c_str())) == 0) {
            Tell(kTitleInUseText);
            return false;
        }
        char skin_path[kSkinEntryTextSize] = "";
        if (!GetSelectedSkinPath(Control(SkinCombo()), skin_path, sizeof(skin_path)) || !skin_path[0]) {
            TellNoSkin();
            return false;
        }
        // The skin first: a bar is made only when its skin loaded.
        SkinRecord* skin = FileExists(skin_path) ? LoadSkinFile(skin_path) : nullptr;
        if (!skin) {
            TellNoSkin();
            return false;
        }
        const bool vertical =
            ::SendMessageA(Control(IDC_NEWBAR_ORIENTATION), CB_GETCURSEL, 0, 0) == kOrientationVertical;
        CVellumMenuObject* bar = MakeBar(title, skin, vertical);
        if (!bar) return true;
        created_ = bar;
        HTREEITEM node = AddBarToEditorTree(bar);
        if (node) SelectEditorNode(node, 0);
        if (target_) target_(bar, context_);
        return true;
    }

    // Null when no bar window came to be; the skin reference is then given back.
    CVellumMenuObject* MakeBar(const std::string& title, SkinRecord* skin, bool vertical) {
        auto* bar = new CVellumMenuObject(GetMainWindow());
        if (!bar->m_hWnd) {
            ReleaseSkin(skin);
            bar->Release();
            return nullptr;
        }
        bar->SetModified();
        bar->m_foreignSkin = SkinFromOtherTheme() ? TRUE : FALSE;
        bar->DisplayVertically = vertical ? TRUE : FALSE;
        bar->WidthResizableWhenVertical = vertical ? FALSE : TRUE;
        char text[kBarTitleSize];
        tess::CopyText(text, title.c_str());
        bar->SetTitle(text);
        SkinRecord* old = bar->m_skin;
        bar->m_skin = skin;
        if (old) ReleaseSkin(old);
        bar->ShowTitle = skin->fonts[kSkinFontTitle].valid ? TRUE : FALSE;
        bar->UpdatePos();
        bar->Show(0);
        return bar;
    }

    void (*target_)(CVellumMenuObject*, void*);
    void* context_;
    CVellumMenuObject* created_ = nullptr;
};

// ---- template name ---------------------------------------------------------------------------------

class TemplateNameDialog : public tess::DialogBase {
public:
    const std::string& Name() const { return name_; }

protected:
    INT_PTR OnCommand(int id, int) override {
        if (id == IDCANCEL) {
            ::EndDialog(Window(), IDCANCEL);
        } else if (id == IDOK) {
            name_ = ControlText(Window(), IDC_CREATE_TITLE);
            if (IsValidTemplateName(name_.c_str()))
                ::EndDialog(Window(), IDOK);
            else
                ::MessageBoxA(Window(), kBadTemplateNameText, kTemplateCaption, MB_OK | MB_ICONINFORMATION);
        }
        return TRUE;
    }

private:
    std::string name_;
};

bool MakeFolder(const std::string& path) {
    return ::CreateDirectoryA(path.c_str(), nullptr) || ::GetLastError() == ERROR_ALREADY_EXISTS;
}

}  // namespace

void ShowNewSectionDialog(CVellumMenuObject* bar) {
    if (!bar || !IsLiveBar(bar)) return;
    NewSectionDialog dialog(bar);
    dialog.RunModal(ResourceModuleOf(bar), MAKEINTRESOURCEA(IDD_CREATE_SECTION), GetThemeEditorWindow());
}

CVellumMenuObject* ShowCreateNewBarDialog(HWND owner, void (*target)(CVellumMenuObject* bar, void* context),
                                          void* context) {
    NewBarDialog dialog(target, context);
    if (dialog.RunModal(ResourceModuleOf(nullptr), MAKEINTRESOURCEA(IDD_CREATE_NEW_BAR), owner) != IDOK) return nullptr;
    return dialog.Created();
}

bool SaveBarAsTemplate(HWND owner, CVellumMenuObject* bar) {
    if (!bar || !IsLiveBar(bar)) return false;
    TemplateNameDialog dialog;
    if (dialog.RunModal(ResourceModuleOf(bar), MAKEINTRESOURCEA(IDD_SAVE_BAR_TEMPLATE), owner) != IDOK)
        return false;
    if (!IsLiveBar(bar)) return false;
    const char* theme = GetThemeFolder();
    if (!theme || !theme[0]) return false;
    const std::string bars = std::string(theme) + "Bars";
    const std::string templates = bars + "\\Templates";
    if (!MakeFolder(bars) || !MakeFolder(templates)) return false;
    if (!tess::CopyText(bar->m_barFolder, (templates + "\\").c_str())) return false;
    char path[kBarPathSize];
    if (!FreeTemplatePath(bar->m_barFolder, dialog.Name().c_str(), path, sizeof(path))) return false;
    bar->SetModified();
    return bar->Save(path) != 0;
}
