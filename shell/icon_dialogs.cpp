#include "shell/icon_dialogs.h"

#include <shellapi.h>

#include "shell/app_state.h"
#include "shell/config_pages.h"
#include "shell/icon_resources.h"
#include "shell/theme_editor.h"
#include "shell/main_window.h"
#include "shell/registered_messages.h"
#include "shell/startup.h"
#include "util/callback_guard.h"
#include "util/dialog_base.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace {

constexpr char kBrowseTitle[] = "Browse For Icon";
constexpr char kIconFilter[] = "Icon Files (*.ico)\0*.ico\0";
constexpr int kCellWidth = 36;
constexpr int kCellHeight = 44;
constexpr int kLargestCustomSize = 239;

HINSTANCE Instance() { return GetAppInstance() ? GetAppInstance() : GetModuleHandleA(nullptr); }

// The full path of the system shell library, listed when a file has no icons.
void ShellLibraryPath(char* path, size_t size) {
    HMODULE shell = GetModuleHandleA("SHELL32.DLL");
    if (shell && GetModuleFileNameA(shell, path, static_cast<DWORD>(size)) > 0) return;
    char system[MAX_PATH] = "";
    GetSystemDirectoryA(system, sizeof(system));
    tess::FormatText(path, size, "%s\\SHELL32.DLL", system);
}

bool Browse(HWND owner, char* file, const char* folder) {
    char chosen[MAX_PATH] = "*.ico";
    if (!ShowOpenFileDialog(owner, chosen, kBrowseTitle, kIconFilter, folder, true)) return false;
    tess::CopyText(file, MAX_PATH, chosen);
    return true;
}

class ChangeIconDialog : public tess::DialogBase {
public:
    ChangeIconDialog(const char* path, int index, bool browseFirst)
        : index_(index), browse_first_(browseFirst) {
        tess::CopyText(path_, path ? path : "");
    }
    const char* Path() const { return path_; }
    int Index() const { return index_; }

protected:
    INT_PTR OnInit() override {
        HWND list = List();
        SendMessageA(list, LB_SETCOLUMNWIDTH, kCellWidth, 0);
        SendMessageA(list, LB_SETITEMHEIGHT, 0, kCellHeight);
        if (browse_first_) {
            char file[MAX_PATH];
            if (!Browse(Window(), file, path_)) {
                EndDialog(Window(), 0);
                return TRUE;
            }
            FillChangeIconList(file, 0);
        } else {
            char file[MAX_PATH];
            tess::CopyText(file, path_);
            FillChangeIconList(file, index_);
        }
        return FALSE;   // the list took the focus
    }

    INT_PTR OnCommand(int id, int) override {
        switch (id) {
        case IDOK: OnOk(); return TRUE;
        case IDCANCEL: EndDialog(Window(), 0); return TRUE;
        case IDC_CI_BROWSE: OnBrowse(); return TRUE;
        default: return FALSE;
        }
    }

    INT_PTR OnMessage(UINT msg, WPARAM, LPARAM lp) override {
        switch (msg) {
        case WM_MEASUREITEM:
            reinterpret_cast<MEASUREITEMSTRUCT*>(lp)->itemHeight = kCellHeight;
            return TRUE;
        case WM_DRAWITEM: DrawCell(*reinterpret_cast<const DRAWITEMSTRUCT*>(lp)); return TRUE;
        case WM_DELETEITEM:
            if (HICON icon = reinterpret_cast<HICON>(reinterpret_cast<DELETEITEMSTRUCT*>(lp)->itemData))
                DestroyIcon(icon);
            return TRUE;
        default: return FALSE;
        }
    }

private:
    HWND List() const { return GetDlgItem(Window(), IDC_CI_ICONS); }

    void Warn(const char* format, const char* file) {
        char text[MAX_PATH + 64];
        tess::FormatText(text, sizeof(text), format, file);
        MessageBoxA(Window(), text, "Change Icon", MB_OK | MB_ICONWARNING);
    }

    // Lists the icons of file (or the shell library's when it has none) and
    // makes file and index the dialog's state.
    void FillChangeIconList(const char* file, int index) {
        HWND list = List();
        SendMessageA(list, LB_RESETCONTENT, 0, 0);
        if (!*file) return;
        char listed[MAX_PATH];
        tess::CopyText(listed, file);
        UINT count = 0;
        if (GetFileAttributesA(listed) == INVALID_FILE_ATTRIBUTES) {
            Warn("Tessellar cannot find file %s.", listed);
        } else if ((count = IconCount(listed)) == 0) {
            Warn("The file %s contains no icons.", listed);
        }
        if (count == 0) {
            ShellLibraryPath(listed, sizeof(listed));
            count = IconCount(listed);
            index = 0;
        }
        for (UINT i = 0; i < count; ++i) {
            HICON icon = ExtractIconA(Instance(), listed, i);
            SendMessageA(list, LB_ADDSTRING, 0, reinterpret_cast<LPARAM>(icon));
        }
        SetFocus(list);
        SendMessageA(list, LB_SETCURSEL, index, 0);
        SetDlgItemTextA(Window(), IDC_CI_FILE, listed);
        tess::CopyText(path_, listed);
        index_ = index;
    }

    static UINT IconCount(const char* file) {
        return static_cast<UINT>(reinterpret_cast<ULONG_PTR>(ExtractIconA(Instance(), file, UINT(-1))));
    }

    void OnOk() {
        char typed[MAX_PATH + 1] = "";
        GetDlgItemTextA(Window(), IDC_CI_FILE, typed, sizeof(typed));
        if (lstrcmpiA(typed, path_) != 0) {
            FillChangeIconList(typed, 0);
            return;
        }
        const LRESULT selected = SendMessageA(List(), LB_GETCURSEL, 0, 0);
        index_ = selected == LB_ERR ? 0 : static_cast<int>(selected);
        EndDialog(Window(), 1);
    }

    void OnBrowse() {
        char folder[MAX_PATH], file[MAX_PATH];
        GetIconBrowseFolder(folder, sizeof(folder));
        if (Browse(Window(), file, folder)) FillChangeIconList(file, 0);
    }

    void DrawCell(const DRAWITEMSTRUCT& item) {
        if (item.itemID == UINT(-1)) return;
        const int colour = (item.itemState & ODS_SELECTED) ? COLOR_HIGHLIGHT : COLOR_WINDOW;
        FillRect(item.hDC, &item.rcItem, GetSysColorBrush(colour));
        HICON icon = reinterpret_cast<HICON>(item.itemData);
        if (!icon) return;
        const int x = (item.rcItem.left + item.rcItem.right - 32) / 2;
        const int y = (item.rcItem.top + item.rcItem.bottom - 32) / 2;
        DrawIconEx(item.hDC, x, y, icon, 32, 32, 0, nullptr, DI_NORMAL);
    }

    char path_[MAX_PATH];
    int index_;
    bool browse_first_;
};

// ---- custom icon size ------------------------------------------------------------------

void FillSizeList(HWND dialog, int current) {
    HWND combo = GetDlgItem(dialog, IDC_CIS_SIZE);
    SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("Select size..."));
    for (int size = 1; size <= kLargestCustomSize; ++size) {
        char text[16];
        tess::FormatText(text, sizeof(text), "%ix%i", size, size);
        SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
    const int selected = current >= 1 && current <= kLargestCustomSize ? current : 0;
    SendMessageA(combo, CB_SETCURSEL, selected, 0);
    SetPropA(dialog, "TSConfigDialog", reinterpret_cast<HANDLE>(1));
}

void TakeChosenSize(HWND dialog) {
    const LRESULT chosen = SendDlgItemMessageA(dialog, IDC_CIS_SIZE, CB_GETCURSEL, 0, 0);
    if (chosen <= 0) {
        MessageBoxA(GetThemeEditorWindow(), "Please select an icon size!", "Tessellar - Custom Icon Size",
                    MB_OK | MB_ICONWARNING);
        return;
    }
    EndDialog(dialog, chosen);
}

// A volatile bar closes, and volatile layers hide, when the user turns away.
void OnSizeDialogDeactivated() {
    if (HWND main = GetMainWindow()) PostMessageA(main, Msgs().VolatileClose, 0, 0);
    HideVolatileLayers(false);
}

INT_PTR HandleSizeDialog(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: FillSizeList(dialog, static_cast<int>(lp)); return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK) TakeChosenSize(dialog);
        else if (LOWORD(wp) == IDCANCEL) EndDialog(dialog, 0);
        else return FALSE;
        return TRUE;
    case WM_ACTIVATE:
        if (LOWORD(wp) == WA_INACTIVE) OnSizeDialogDeactivated();
        return FALSE;
    case WM_DESTROY: RemovePropA(dialog, "TSConfigDialog"); return FALSE;
    default: return FALSE;
    }
}

}  // namespace

void GetIconBrowseFolder(char* folder, size_t size) { ThemeBrowseFolder("Bars\\Icons\\", folder, size); }

int ShowChangeIconDialog(char* path, int* index, int browseFirst, HWND owner) {
    if (!path || !index) return 0;
    ChangeIconDialog dialog(path, *index, browseFirst != 0);
    if (dialog.RunModal(Instance(), MAKEINTRESOURCEA(IDD_CHANGE_ICON), owner) != 1) return 0;
    tess::CopyText(path, MAX_PATH, dialog.Path());
    *index = dialog.Index();
    return 1;
}

bool ShowChangeIconDialog(HWND parent, const char* folder, char* path, size_t path_size, int* index) {
    char chosen[MAX_PATH] = "";
    tess::CopyText(chosen, folder ? folder : "");
    int chosen_index = index ? *index : 0;
    if (!ShowChangeIconDialog(chosen, &chosen_index, 1, parent)) return false;
    if (!tess::CopyText(path, path_size, chosen)) return false;
    if (index) *index = chosen_index;
    return true;
}

INT_PTR CALLBACK CustomIconSizeDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp) {
    return tess::GuardDialogProc([&] { return HandleSizeDialog(dialog, msg, wp, lp); });
}

int ShowCustomIconSizeDialog(HWND owner, int current) {
    const INT_PTR result = DialogBoxParamA(Instance(), MAKEINTRESOURCEA(IDD_CUSTOM_ICON_SIZE), owner,
                                           CustomIconSizeDialogProc, current);
    return result > 0 ? static_cast<int>(result) : 0;
}
