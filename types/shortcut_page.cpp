// The shortcut item's Behavior page: run a program (by file, by extension or
// by its "App Paths" name) or open a folder (by path or by special name),
// with the folder popup's options. A target typed into one of the four
// fields is resolved once the typing pauses for 500 ms or the field loses
// the focus, not on every key.
#include <shlobj.h>
#include "model/behavior_classes.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "shell/config_pages.h"
#include "types/shortcut_internal.h"
#include "types/shortcut_item.h"
#include "types/shortcut_page_resources.h"
#include "util/general_helpers.h"
#include "util/icon_menu.h"
#include "util/item_id_list.h"
#include "util/text.h"

namespace {

constexpr UINT kApplyDelayMs = 500;
// The page reads a path or name with at most this many characters.
constexpr int kFieldTextLength = 259;

// Each path field and the command of its method, which resolves it.
const struct {
    int field;
    int method;
} kTypedFields[] = {{IDC_SC_FILE, IDC_SC_BY_FILE},
                    {IDC_SC_FOLDER_PATH, IDC_SC_BY_FOLDER_PATH},
                    {IDC_SC_PROGRAM, IDC_SC_BY_REGISTRY},
                    {IDC_SC_EXTENSION, IDC_SC_BY_EXTENSION}};

const struct {
    const char* name;
    int size;
} kPopupIconSizes[] = {{"No Icons", -1}, {"16x16", 16}, {"32x32", 32}, {"48x48", 48}, {"64x64", 64}};

const char* const kShowModes[] = {"Normal window", "Minimized", "Maximized"};

int MethodOfField(int field) {
    for (const auto& f : kTypedFields)
        if (f.field == field) return f.method;
    return 0;
}

// The timer of a typed field: its id is the method's command.
void CALLBACK ShortcutPageApplyTimerProc(HWND page, UINT, UINT_PTR id, DWORD) {
    ::KillTimer(page, id);
    ::PostMessageA(page, WM_COMMAND, static_cast<WPARAM>(id), 0);
}

class ShortcutPage : public ConfigPage {
public:
    explicit ShortcutPage(CVellumMenuItem_Shortcut* item)
        : ConfigPage(PageObjectKind::kItem, item, PageSlotsOf(item), kItemBehaviorPage), item_(item) {}

protected:
    // The last-tab index stays as it is.
    bool KeepsLastTab() const override { return true; }

    void Fill() override {
        TakeShellEntryPath();
        for (int i = 0; i < kSpecialFolderCount; ++i) AddComboRow(IDC_SC_SPECIAL, SpecialFolderName(i), i);
        SelectCombo(IDC_SC_SPECIAL, -1);
        ChooseMode();
        Check(IDC_SC_USE_POPUP, item_->UsePopup);
        if (ComboSelection(IDC_SC_SPECIAL) < 0) SelectSpecialFolder("Programs");
        Check(IDC_SC_POPUP_TEXT, item_->PopupText);
        int size_row = 1;
        for (int i = 0; i < static_cast<int>(sizeof(kPopupIconSizes) / sizeof(kPopupIconSizes[0])); ++i) {
            AddComboRow(IDC_SC_ICON_SIZE, kPopupIconSizes[i].name, kPopupIconSizes[i].size);
            if (kPopupIconSizes[i].size == item_->PopupIconSize) size_row = i;
        }
        SelectCombo(IDC_SC_ICON_SIZE, size_row);
        Check(IDC_SC_VOLATILE, item_->Volitle);
        FillBehaviorClassCombo(item_, Control(IDC_SC_BEHAVIOR_CLASS));
    }

    // Their notifications find nothing changed.
    void AfterInitialized() override {
        SetText(IDC_SC_START_IN, item_->m_startIn);
        for (int i = 0; i < 3; ++i) AddComboRow(IDC_SC_SHOW, kShowModes[i], i);
        SelectCombo(IDC_SC_SHOW, item_->RunAs >= 0 && item_->RunAs <= 2 ? item_->RunAs : 0);
        Check(IDC_SC_HIDE_OVERLAYS, item_->HideLinkOverlaysFromPopup);
        UpdateControls();
    }

    void Apply(int id, int code) override {
        if (const int method = MethodOfField(id)) {
            ::SetTimer(Window(), static_cast<UINT_PTR>(method), kApplyDelayMs, ShortcutPageApplyTimerProc);
            return;
        }
        switch (id) {
        case IDC_SC_RUN:
            UpdateControls();
            if (Checked(IDC_SC_RUN)) PostCommands({IDC_SC_BY_FILE, IDC_SC_BY_EXTENSION, IDC_SC_BY_REGISTRY});
            break;
        case IDC_SC_FOLDER:
            UpdateControls();
            if (Checked(IDC_SC_FOLDER)) PostCommands({IDC_SC_BY_FOLDER_PATH, IDC_SC_BY_SPECIAL, IDC_SC_USE_POPUP});
            break;
        case IDC_SC_BY_FILE:
        case IDC_SC_BY_EXTENSION:
        case IDC_SC_BY_REGISTRY:
        case IDC_SC_BY_FOLDER_PATH:
        case IDC_SC_BY_SPECIAL:
            UpdateControls();
            ApplyMethod(id);
            break;
        case IDC_SC_SPECIAL:
            PostCommands({IDC_SC_BY_SPECIAL});
            break;
        case IDC_SC_START_IN:
            ApplyStartIn();
            break;
        case IDC_SC_SHOW:
            ApplyShowMode();
            break;
        case IDC_SC_ICON_SIZE:
            ApplyPopupIconSize();
            break;
        case IDC_SC_USE_POPUP:
            ApplyCheck(id, &item_->UsePopup);
            break;
        case IDC_SC_HIDE_OVERLAYS:
            ApplyCheck(id, &item_->HideLinkOverlaysFromPopup);
            break;
        case IDC_SC_POPUP_TEXT:
            ApplyCheck(id, &item_->PopupText);
            break;
        case IDC_SC_VOLATILE:
            // Not saved by a shortcut item: the bar stays unmodified.
            item_->Volitle = Checked(id);
            break;
        case IDC_SC_BEHAVIOR_CLASS:
            ApplyBehaviorClassChange(item_, Control(IDC_SC_BEHAVIOR_CLASS));
            break;
        case IDC_SC_FOLDER_BROWSE:
            BrowseFolder();
            break;
        case IDC_SC_FILE_BROWSE:
            BrowseFile();
            break;
        case IDC_SC_DO_UPDATE:
            ApplyTail();
            break;
        default:
            break;
        }
    }

    void OnOtherNotification(int id, int code) override {
        const int method = MethodOfField(id);
        if (method && code == EN_KILLFOCUS) ::PostMessageA(Window(), WM_COMMAND, static_cast<WPARAM>(method), 0);
    }

private:
    // ---- filling -------------------------------------------------------------------------------
    void TakeShellEntryPath() {
        if (item_->m_target[0] || !item_->m_shellItem || !item_->m_shellItem->absolute) return;
        char path[MAX_PATH] = "";
        if (SHGetPathFromIDListA(item_->m_shellItem->absolute, path)) tess::CopyText(item_->m_target, path);
    }

    bool SelectSpecialFolder(const char* prefix) {
        if (!prefix || !prefix[0]) return false;
        const LRESULT row = ::SendMessageA(Control(IDC_SC_SPECIAL), CB_FINDSTRING, static_cast<WPARAM>(-1),
                                           reinterpret_cast<LPARAM>(prefix));
        if (row < 0) return false;
        SelectCombo(IDC_SC_SPECIAL, static_cast<int>(row));
        return true;
    }

    void CheckPair(int mode, int method) {
        Check(IDC_SC_RUN, mode == IDC_SC_RUN);
        Check(IDC_SC_FOLDER, mode == IDC_SC_FOLDER);
        for (int id : {IDC_SC_BY_FILE, IDC_SC_BY_EXTENSION, IDC_SC_BY_REGISTRY, IDC_SC_BY_FOLDER_PATH,
                       IDC_SC_BY_SPECIAL})
            Check(id, id == method);
    }

    void ChooseMode() {
        if (item_->m_programName[0]) {
            CheckPair(IDC_SC_RUN, IDC_SC_BY_REGISTRY);
            SetText(IDC_SC_PROGRAM, item_->m_programName);
        } else if (item_->m_extension[0]) {
            CheckPair(IDC_SC_RUN, IDC_SC_BY_EXTENSION);
            SetText(IDC_SC_EXTENSION, item_->m_extension);
        } else if (SelectSpecialFolder(item_->m_quickLaunch ? "QuickLaunch" : item_->m_target)) {
            CheckPair(IDC_SC_FOLDER, IDC_SC_BY_SPECIAL);
        } else if (item_->m_detectedFolder) {
            CheckPair(IDC_SC_FOLDER, IDC_SC_BY_FOLDER_PATH);
            SetText(IDC_SC_FOLDER_PATH, item_->m_target);
        } else {
            CheckPair(IDC_SC_RUN, IDC_SC_BY_FILE);
            SetText(IDC_SC_FILE, item_->m_target);
        }
    }

    void UpdateControls() {
        const bool run = Checked(IDC_SC_RUN);
        const bool by_file = Checked(IDC_SC_BY_FILE);
        for (int id : {IDC_SC_BY_FILE, IDC_SC_BY_EXTENSION, IDC_SC_BY_REGISTRY}) Enable(id, run);
        for (int id : {IDC_SC_FILE, IDC_SC_FILE_BROWSE, IDC_SC_START_IN, IDC_SC_SHOW}) Enable(id, run && by_file);
        Enable(IDC_SC_EXTENSION, run && Checked(IDC_SC_BY_EXTENSION));
        Enable(IDC_SC_PROGRAM, run && Checked(IDC_SC_BY_REGISTRY));
        for (int id : {IDC_SC_BY_FOLDER_PATH, IDC_SC_BY_SPECIAL, IDC_SC_USE_POPUP}) Enable(id, !run);
        Enable(IDC_SC_FOLDER_PATH, !run && Checked(IDC_SC_BY_FOLDER_PATH));
        Enable(IDC_SC_FOLDER_BROWSE, !run && Checked(IDC_SC_BY_FOLDER_PATH));
        Enable(IDC_SC_SPECIAL, !run && Checked(IDC_SC_BY_SPECIAL));
    }

    // ---- applying ---------------------------------------------------------------------------------
    void PostCommands(std::initializer_list<int> ids) {
        for (int id : ids) ::PostMessageA(Window(), WM_COMMAND, static_cast<WPARAM>(id), 0);
    }

    // The field's text, at most 259 characters.
    void FieldText(int id, char (&out)[kFieldTextLength + 1]) const {
        out[0] = '\0';
        ::GetDlgItemTextA(Window(), id, out, sizeof(out));
    }

    void SetTarget(const char* file, const char* program, const char* extension) {
        item_->ResetTarget();
        item_->SetTarget(nullptr, file, program, extension);
    }

    void ApplyMethod(int method) {
        char text[kFieldTextLength + 1] = "";
        const bool run = Checked(IDC_SC_RUN), folder = Checked(IDC_SC_FOLDER);
        if (!Checked(method)) return;
        switch (method) {
        case IDC_SC_BY_FILE:
            FieldText(IDC_SC_FILE, text);
            if (!run || lstrcmpiA(text, item_->m_target) == 0) return;
            SetTarget(text, nullptr, nullptr);
            break;
        case IDC_SC_BY_EXTENSION:
            if (!run) return;
            FieldText(IDC_SC_EXTENSION, text);
            SetTarget(nullptr, nullptr, text);
            break;
        case IDC_SC_BY_REGISTRY:
            if (!run) return;
            FieldText(IDC_SC_PROGRAM, text);
            SetTarget(nullptr, text, nullptr);
            break;
        case IDC_SC_BY_FOLDER_PATH:
            if (!folder) return;
            FieldText(IDC_SC_FOLDER_PATH, text);
            SetTarget(text, nullptr, nullptr);
            item_->IsFolder = TRUE;
            break;
        case IDC_SC_BY_SPECIAL: {
            const int row = ComboSelection(IDC_SC_SPECIAL);
            const char* name = SpecialFolderName(row >= 0 ? static_cast<int>(ComboData(IDC_SC_SPECIAL, row)) : -1);
            if (!folder || !name || !name[0]) return;
            SetTarget(name, nullptr, nullptr);
            item_->IsFolder = TRUE;
            break;
        }
        default:
            return;
        }
        ApplyTail();
    }

    void ApplyTail() {
        if (HWND display = PageSlotsOf(item_).Page(kItemDisplayPage)) ::SendMessageA(display, WM_COMMAND, IDOK, 0);
        item_->RefreshIcon();
        if (CVellumMenuObject* bar = item_->m_pBar) {
            bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
            bar->SetModified();
        }
    }

    void MarkModified() {
        if (item_->m_pBar) item_->m_pBar->SetModified();
    }

    void ApplyStartIn() {
        char text[kShortcutStartInSize] = "";
        ::GetDlgItemTextA(Window(), IDC_SC_START_IN, text, sizeof(text));
        if (lstrcmpA(text, item_->m_startIn) == 0) return;
        tess::CopyText(item_->m_startIn, text);
        MarkModified();
    }

    void ApplyShowMode() {
        const int row = ComboSelection(IDC_SC_SHOW);
        if (row < 0 || row > 2 || row == item_->RunAs) return;
        item_->RunAs = row;
        MarkModified();
    }

    void ApplyPopupIconSize() {
        const int row = ComboSelection(IDC_SC_ICON_SIZE);
        if (row < 0) return;
        item_->PopupIconSize = static_cast<int>(ComboData(IDC_SC_ICON_SIZE, row));
        MarkModified();
    }

    void ApplyCheck(int id, BOOL* value) {
        const BOOL checked = Checked(id) ? TRUE : FALSE;
        if (checked == *value) return;
        *value = checked;
        MarkModified();
    }

    // ---- browsing ----------------------------------------------------------------------------------
    void BrowseFolder() {
        char path[MAX_PATH] = "";
        if (!BrowseForFileSystemFolder(Window(), path, sizeof(path))) return;
        SetText(IDC_SC_FOLDER_PATH, path);
        PostCommands({IDC_SC_BY_FOLDER_PATH});
    }

    void BrowseFile() {
        char path[MAX_PATH] = "";
        if (!ShowOpenFileDialog(nullptr, path, "Locate File For Shortcut",
                                "Applications (*.exe)\0*.exe\0Links (*.lnk)\0*.lnk\0All Files (*.*)\0*.*\0",
                                nullptr, true))
            return;
        SetText(IDC_SC_FILE, path);
        PostCommands({IDC_SC_BY_FILE});
    }

    CVellumMenuItem_Shortcut* item_;
};

}  // namespace

HWND CVellumMenuItem_Shortcut::CallConfigDialogEx(HWND parent) {
    HINSTANCE module = ResourceModuleOf(m_pBar);
    return ConfigPage::Open(std::make_unique<ShortcutPage>(this), module, IDD_SHORTCUT_PAGE, parent);
}
