// Theme Options, Save as an Alternate Style, the name prompts and Start New
// Theme. Save Theme As is in theme_save_as.cpp.
#include "shell/theme_dialogs.h"

#include <shlwapi.h>
#include <cstring>
#include <memory>

#include "shell/app_state.h"
#include "shell/desktop_integration.h"
#include "shell/main_window.h"
#include "shell/startup.h"
#include "shell/theme_file.h"
#include "shell/theme_internal.h"
#include "shell/theme_resources.h"
#include "util/dialog_base.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

constexpr int kNameBufferSize = MAX_PATH;
constexpr size_t kMaxNameLength = 255;
constexpr char kAltStyleCaption[] = "Tessellar - Save as an Alt Style";
constexpr char kNewThemeCaption[] = "Tessellar - Start New Theme";

struct PromptTexts {
    const char* empty;
    const char* empty_caption;
    const char* forbidden;
    const char* too_long;
    const char* caption;
    int template_id;
};

const PromptTexts& TextsFor(NamePrompt kind) {
    static const PromptTexts kTexts[] = {
        {"Please enter a short title for your new theme!", kNewThemeCaption,
         "The theme name cannot intially contain the characters:",
         "Please enter a name for your theme less than 255 characters!", kNewThemeCaption,
         IDD_NEW_THEME_NAME},
        {"Please enter a folder name!", "Tessellar", "The folder name cannot contain the characters:",
         "Please enter a folder name less than 255 characters!", kNewThemeCaption, IDD_FOLDER_NAME},
        {"Please enter a short name for the template!", "Tessellar - Save As Template",
         "The template's name cannot contain the characters:",
         "Please enter a name for the template less than 255 characters!",
         "Tessellar - Save As Template", IDD_FOLDER_NAME},
    };
    return kTexts[static_cast<int>(kind)];
}

bool HasForbiddenCharacter(const char* name) { return strpbrk(name, "\\/:*?\"<>|") != nullptr; }

HINSTANCE Instance() { return GetAppInstance() ? GetAppInstance() : GetModuleHandleA(nullptr); }

// ---- name prompt ---------------------------------------------------------------------------

class NamePromptDialog : public tess::DialogBase {
public:
    NamePromptDialog(NamePrompt kind, char* buffer, size_t size) : kind_(kind), buffer_(buffer), size_(size) {}

private:
    INT_PTR OnInit() override {
        SetPropA(Window(), "szNewTitle", buffer_);
        buffer_[0] = '\0';
        return TRUE;
    }

    INT_PTR OnMessage(UINT msg, WPARAM, LPARAM) override {
        if (msg == WM_DESTROY) RemovePropA(Window(), "szNewTitle");
        return FALSE;
    }

    INT_PTR OnCommand(int id, int) override {
        HWND dlg = Window();
        if (id == IDCANCEL) {
            buffer_[0] = '\0';
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        if (id != IDOK) return FALSE;
        char text[1060] = "";
        GetDlgItemTextA(dlg, IDC_NAME_EDIT, text, sizeof(text));
        char message[400];
        if (const char* refusal = CheckNewName(kind_, text, message, sizeof(message))) {
            const PromptTexts& t = TextsFor(kind_);
            MessageBoxA(dlg, refusal, text[0] ? t.caption : t.empty_caption, MB_ICONWARNING);
            SetFocus(GetDlgItem(dlg, IDC_NAME_EDIT));
            return TRUE;
        }
        tess::CopyText(buffer_, size_, text);
        EndDialog(dlg, IDOK);
        return TRUE;
    }

    NamePrompt kind_;
    char* buffer_;
    size_t size_;
};

// ---- Theme Options ----------------------------------------------------------------------------

struct EditField {
    int id;
    char* (*field)();
    size_t limit;   // characters kept
};

char* NameField() { return CurrentThemeInfo().Name; }
char* VersionField() { return CurrentThemeInfo().Version; }
char* AuthorField() { return CurrentThemeInfo().Author; }
char* CompanyField() { return CurrentThemeInfo().Company; }
char* EmailField() { return CurrentThemeInfo().Email; }
char* WebsiteField() { return CurrentThemeInfo().Website; }
char* NotesField() { return CurrentThemeInfo().Notes; }

const EditField kEditFields[] = {
    {IDC_TO_NAME, NameField, kThemeTextSize - 1},       {IDC_TO_VERSION, VersionField, kThemeTextSize - 1},
    {IDC_TO_AUTHOR, AuthorField, kThemeTextSize - 1},   {IDC_TO_COMPANY, CompanyField, kThemeTextSize - 1},
    {IDC_TO_EMAIL, EmailField, kThemeTextSize - 1},     {IDC_TO_WEBSITE, WebsiteField, kThemeTextSize - 1},
    {IDC_TO_NOTES, NotesField, kThemeNotesSize - 1},
};

const char* const kScreenshotChoices[] = {
    "Let Tessellar decide what to take a screenshot of. (Default)",
    "Take a screenshot of the whole screen.",
    "Take a clipped screenshot of the most complex bar, full-size.",
    "Take a clipped screenshot of the most complex bar, 1/2 sized.",
    "Take a screenshot of all the bars in the theme.",
    "Leave the existing screenshot alone - I made it myself!",
};
const char* const kAutoSaveChoices[] = {"Save changes without asking.", "Prompt to save changes.",
                                        "Discard changes without asking."};

HWND g_options_dialog = nullptr;
HICON g_options_icon = nullptr;

class AdvancedOptionsDialog : public tess::DialogBase {
private:
    INT_PTR OnInit() override {
        HWND dlg = Window();
        for (const char* text : kScreenshotChoices)
            SendDlgItemMessageA(dlg, IDC_ADV_SCREENSHOT, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        for (const char* text : kAutoSaveChoices)
            SendDlgItemMessageA(dlg, IDC_ADV_AUTOSAVE, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
        SendDlgItemMessageA(dlg, IDC_ADV_SCREENSHOT, CB_SETCURSEL, CurrentThemeInfo().ScreenshotType, 0);
        SendDlgItemMessageA(dlg, IDC_ADV_AUTOSAVE, CB_SETCURSEL, CurrentThemeInfo().AutoSaveOption, 0);
        return TRUE;
    }
    INT_PTR OnCommand(int id, int) override {
        HWND dlg = Window();
        if (id == IDOK) {
            ThemeInfo& info = CurrentThemeInfo();
            int shot = static_cast<int>(SendDlgItemMessageA(dlg, IDC_ADV_SCREENSHOT, CB_GETCURSEL, 0, 0));
            int save = static_cast<int>(SendDlgItemMessageA(dlg, IDC_ADV_AUTOSAVE, CB_GETCURSEL, 0, 0));
            if (shot >= 0 && shot <= 5 && shot != info.ScreenshotType) {
                info.ScreenshotType = shot;
                SetThemeModified(true);
            }
            if (save >= 0 && save <= 2 && save != info.AutoSaveOption) {
                info.AutoSaveOption = save;
                SetThemeModified(true);
            }
            EndDialog(dlg, IDOK);
            return TRUE;
        }
        if (id == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }
};

class ThemeOptionsDialog : public tess::DialogBase {
private:
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM) override {
        TrackModelessDialog(Window(), msg, wp);
        if (msg == WM_DESTROY && g_options_dialog == Window()) g_options_dialog = nullptr;
        return FALSE;
    }

    INT_PTR OnInit() override {
        HWND dlg = Window();
        // The theme document's icon stands in while the program has no icon 189.
        for (int id : {IDI_THEME_OPTIONS, IDI_THEME_DOCUMENT})
            if (!g_options_icon)
                g_options_icon = static_cast<HICON>(
                    LoadImageA(Instance(), MAKEINTRESOURCEA(id), IMAGE_ICON, 0, 0, LR_DEFAULTSIZE));
        if (g_options_icon) {
            SendMessageA(dlg, WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(g_options_icon));
            SendMessageA(dlg, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(g_options_icon));
        }
        CheckDlgButton(dlg, IDC_TO_HIDE_TASKBAR, GetThemeHidesTaskbar() ? BST_CHECKED : BST_UNCHECKED);
        CheckDlgButton(dlg, IDC_TO_LV_SKIN, ThemeUsesLVSkin() ? BST_CHECKED : BST_UNCHECKED);
        for (const EditField& f : kEditFields) {
            SendDlgItemMessageA(dlg, f.id, EM_LIMITTEXT, f.limit, 0);
            SetDlgItemTextA(dlg, f.id, f.field());
        }
        return TRUE;
    }

    static void OnEditUpdate(HWND dlg, const EditField& f) {
        char text[kThemeNotesSize] = "";
        GetDlgItemTextA(dlg, f.id, text, static_cast<int>(f.limit + 1));
        // A change of letter case alone is not taken.
        if (lstrcmpiA(text, f.field()) == 0) return;
        tess::CopyText(f.field(), f.limit + 1, text);
        SetThemeModified(true);
    }

    INT_PTR OnCommand(int id, int code) override {
        HWND dlg = Window();
        if (code == EN_UPDATE) {
            for (const EditField& f : kEditFields)
                if (f.id == id) OnEditUpdate(dlg, f);
            return TRUE;
        }
        switch (id) {
        case IDOK: {
            const bool hide = IsDlgButtonChecked(dlg, IDC_TO_HIDE_TASKBAR) == BST_CHECKED;
            if (hide != GetThemeHidesTaskbar()) {
                CurrentThemeInfo().HideTaskbar = hide ? 1 : 0;
                SetHideTaskbar(hide ? 1 : 0, 0);
                SetThemeModified(true);
            }
            DestroyWindow(dlg);
            return TRUE;
        }
        case IDCANCEL:
            DestroyWindow(dlg);
            return TRUE;
        case IDC_TO_ADVANCED: {
            AdvancedOptionsDialog advanced;
            advanced.RunModal(Instance(), MAKEINTRESOURCEA(IDD_ADVANCED_THEME_OPTIONS), dlg);
            return TRUE;
        }
        default:
            return FALSE;
        }
    }
};

// ---- Save as an Alternate Style ----------------------------------------------------------------

class AlternateStyleDialog : public tess::DialogBase {
private:
    INT_PTR OnInit() override {
        SetDlgItemTextA(Window(), IDC_ALT_CURRENT, CurrentThemeInfo().Name);
        SetDlgItemTextA(Window(), IDC_ALT_NEW, CurrentThemeInfo().Name);
        return TRUE;
    }

    INT_PTR OnCommand(int id, int) override {
        HWND dlg = Window();
        if (id == IDCANCEL) {
            EndDialog(dlg, IDCANCEL);
            return TRUE;
        }
        if (id != IDOK) return FALSE;
        char name[1060] = "";
        GetDlgItemTextA(dlg, IDC_ALT_NEW, name, sizeof(name));
        char message[400];
        if (const char* refusal = CheckAlternateStyleName(name, CurrentThemeInfo().Name, message, sizeof(message))) {
            MessageBoxA(dlg, refusal, kAltStyleCaption, MB_ICONWARNING);
            SetFocus(GetDlgItem(dlg, IDC_ALT_NEW));
            return TRUE;
        }
        char file[MAX_PATH];
        if (!MakeAlternateStyleFile(GetThemeFolder(), name, file, sizeof(file))) {
            MessageBoxA(dlg, "Please enter a name for your theme less than 255 characters!", kAltStyleCaption,
                        MB_ICONWARNING);
            return TRUE;
        }
        SetCurrentThemeFile(file);
        tess::CopyText(CurrentThemeInfo().Name, name);
        SaveThemeFile(file, 1, 0);
        SetThemeHasStyles(true);
        EndDialog(dlg, IDOK);
        return TRUE;
    }
};

}  // namespace

// ---- names ---------------------------------------------------------------------------------------

const char* ForbiddenNameCharacters() { return "\\ / : * ? \" < > |"; }

const char* CheckNewName(NamePrompt kind, const char* name, char* message, size_t size) {
    const PromptTexts& t = TextsFor(kind);
    if (!name || !name[0]) return t.empty;
    if (HasForbiddenCharacter(name)) {
        tess::FormatText(message, size, "%s\n%s", t.forbidden, ForbiddenNameCharacters());
        return message;
    }
    if (strlen(name) >= kMaxNameLength + 1) return t.too_long;
    return nullptr;
}

bool AskForName(HWND owner, NamePrompt kind, char* name, size_t size) {
    if (!name || !size) return false;
    name[0] = '\0';
    NamePromptDialog prompt(kind, name, size);
    prompt.RunModal(Instance(), MAKEINTRESOURCEA(TextsFor(kind).template_id), owner);
    return name[0] != '\0';
}

const char* CheckAlternateStyleName(const char* name, const char* current, char* message, size_t size) {
    if (!name || !name[0]) return "Please enter a short descriptive title for your alternate-style theme!";
    if (HasForbiddenCharacter(name)) {
        tess::FormatText(message, size, "%s\n%s", TextsFor(NamePrompt::NewTheme).forbidden,
                         ForbiddenNameCharacters());
        return message;
    }
    if (strlen(name) >= 256) return "Please enter a name for your theme less than 255 characters!";
    if (current && lstrcmpiA(name, current) == 0)
        return "Please enter a name for the alternate style different from the original!";
    return nullptr;
}

bool MakeAlternateStyleFile(const char* folder, const char* name, char* out, size_t size) {
    if (!tess::FormatText(out, size, "%s%s.tstheme", folder, name)) return false;
    for (int i = 1; FileExists(out); ++i)
        if (!tess::FormatText(out, size, "%s%s_%i.tstheme", folder, name, i)) return false;
    return true;
}

// ---- the dialogs -----------------------------------------------------------------------------------

void ShowThemeOptionsDialog() {
    if (g_options_dialog && IsWindow(g_options_dialog)) {
        SetForegroundWindow(g_options_dialog);
        return;
    }
    g_options_dialog = tess::DialogBase::CreateModeless(std::make_unique<ThemeOptionsDialog>(), Instance(),
                                                        MAKEINTRESOURCEA(IDD_THEME_OPTIONS), nullptr);
    if (!g_options_dialog) return;
    ShowWindow(g_options_dialog, SW_SHOW);
    SetForegroundWindow(g_options_dialog);
}

HWND GetThemeOptionsDialog() { return g_options_dialog; }

void ShowSaveAlternateStyleDialog() {
    AlternateStyleDialog dialog;
    dialog.RunModal(Instance(), MAKEINTRESOURCEA(IDD_ALTERNATE_STYLE), nullptr);
}

// ---- Start New Theme --------------------------------------------------------------------------------

bool CreateThemeFolders(const char* root, const char* name, char* theme_file, size_t size) {
    char folder[MAX_PATH];
    if (!tess::FormatText(folder, sizeof(folder), "%s%s", root, name)) return false;
    if (PathFileExistsA(folder)) {
        MessageBoxA(nullptr, "A theme by this name already exists. Please enter a new name!", kNewThemeCaption,
                    MB_ICONINFORMATION);
        return false;
    }
    if (!CreateDirectoryA(folder, nullptr)) {
        MessageBoxA(nullptr,
                    "Could not create folder for theme... theme name must be invalid. Please enter a new name!",
                    kNewThemeCaption, MB_ICONINFORMATION);
        return false;
    }
    static const char* const kSubfolders[] = {"Bars", "Bars\\Icons", "Bars\\Bitmaps", "Bars\\Templates", "Skins"};
    for (const char* sub : kSubfolders) {
        char path[MAX_PATH];
        if (tess::FormatText(path, sizeof(path), "%s\\%s", folder, sub)) CreateDirectoryA(path, nullptr);
    }
    return tess::FormatText(theme_file, size, "%s\\%s.tstheme", folder, name);
}

bool StartNewTheme() {
    const bool saved = SaveThemeBeforeClose(0);
    char name[kNameBufferSize];
    char theme_file[MAX_PATH];
    for (;;) {
        if (!AskForName(nullptr, NamePrompt::NewTheme, name, sizeof(name))) return false;
        if (CreateThemeFolders(ThemesRoot(), name, theme_file, sizeof(theme_file))) break;
    }
    if (saved)
        CloseThemeBars();
    else
        CloseThemeBarsWithoutSaving();
    ThemeInfo& info = CurrentThemeInfo();
    info.TSVersion = kThemeFileVersion;
    SetThemeHasStyles(false);
    tess::CopyText(info.Name, name);
    tess::CopyText(info.Version, "v1.0");
    SetCurrentThemeFile(theme_file);
    SaveThemeFile(theme_file, 0, 0);
    return true;
}
