// The visibility dialog (101) and the replacement-icon dialog (102), both
// "Customize Tray Icon Filtering", opened by the main program's bars.
#include <windows.h>
#include <commdlg.h>

#include <cstdlib>
#include <cstring>

#include "lanternfold/filter_dialog_ids.h"
#include "lanternfold/icon_dialog.h"
#include "lanternfold/tray_server.h"
#include "util/text.h"

namespace tray {

namespace {

const char* const kBehaviorNames[] = {"Hide when inactive", "Always hide", "Always show"};
constexpr int kMinMinutes = 1;
constexpr int kMaxMinutes = 900;
constexpr int kBehaviorDropHeight = 100;

const char* FileNameOf(const char* path) {
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

// ---- dialog 101: how the bars treat each icon -----------------------------------------

struct FilterRow {
    LONG behavior;
    bool changed;
    char key[300];
};

class FilterDialog : public IconListDialog {
public:
    explicit FilterDialog(CTrayIconServer* server) : IconListDialog(server) {}

private:
    const char* SecondColumnTitle() const override { return "Behavior"; }

    LPARAM MakeLiveRow(int record_index, int image) override {
        TrayIconRecord* r = Server()->Record(record_index);
        auto* row = new FilterRow{r->behavior, false, {}};
        tess::CopyTextN(row->key, sizeof(row->key), r->icon_key, sizeof(r->icon_key));
        return reinterpret_cast<LPARAM>(row);
    }

    LPARAM MakePastRow(const char* key, int image) override {
        UINT behavior = GetPrivateProfileIntA("Icons", key, 0, Server()->SettingsFile());
        auto* row = new FilterRow{behavior <= kAlwaysShow ? static_cast<LONG>(behavior) : 0, false, {}};
        tess::CopyText(row->key, key);
        return reinterpret_cast<LPARAM>(row);
    }

    void FreeRow(LPARAM row) override { delete reinterpret_cast<FilterRow*>(row); }

    void RefreshRow(int row) override {
        if (auto* data = reinterpret_cast<FilterRow*>(RowData(row)))
            SetRowText(row, 1, kBehaviorNames[data->behavior >= 0 && data->behavior <= 2 ? data->behavior : 0]);
    }

    void OnInitControls() override {
        combo_ = GetDlgItem(Dialog(), IDC_BEHAVIOR_COMBO);
        ShowWindow(combo_, SW_HIDE);
        SetParent(combo_, List());
        for (const char* name : kBehaviorNames) SendMessageA(combo_, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        HWND spin = GetDlgItem(Dialog(), IDC_MINUTES_SPIN);
        SendMessageA(spin, UDM_SETBUDDY, reinterpret_cast<WPARAM>(GetDlgItem(Dialog(), IDC_MINUTES)), 0);
        SendMessageA(spin, UDM_SETRANGE32, 0, 10000);
        SetDlgItemInt(Dialog(), IDC_MINUTES, Server()->InactiveMinutes(), FALSE);
    }

    void PlaceBehaviorBox(int row) {
        RECT cell = {};
        cell.top = 1;
        cell.left = LVIR_BOUNDS;
        if (row < 0 || !SendMessageA(List(), LVM_GETSUBITEMRECT, row, reinterpret_cast<LPARAM>(&cell))) return;
        SetWindowPos(combo_, HWND_TOP, cell.left, cell.top, cell.right - cell.left, kBehaviorDropHeight,
                     SWP_NOACTIVATE);
    }

    void OnListChanged(const NMLISTVIEW* change) override {
        if (!(change->uChanged & LVIF_STATE)) return;
        const bool was = (change->uOldState & LVIS_SELECTED) != 0;
        const bool now = (change->uNewState & LVIS_SELECTED) != 0;
        auto* data = reinterpret_cast<FilterRow*>(change->lParam);
        if (now && !was && data) {
            PlaceBehaviorBox(change->iItem);
            SendMessageA(combo_, CB_SETCURSEL, data->behavior, 0);
            ShowWindow(combo_, SW_SHOWNA);
        } else if (was && !now) {
            ShowWindow(combo_, SW_HIDE);
        }
    }

    void OnListScrolled() override {
        if (IsWindowVisible(combo_)) PlaceBehaviorBox(SelectedRow());
    }

    void OnControlCommand(int id, int code) override {
        switch (id) {
        case IDC_BEHAVIOR_COMBO:
            if (code == CBN_SELCHANGE) OnBehaviorChosen();
            break;
        case IDC_MINUTES:
            if (code == EN_CHANGE) KeepMinutesInRange();
            break;
        case IDC_RESTORE_DEFAULTS:
            if (code == BN_CLICKED) OnRestoreDefaults();
            break;
        case IDOK:
            OnOk();
            break;
        case IDCANCEL:
            EndDialog(Dialog(), IDCANCEL);
            break;
        default:
            break;
        }
    }

    void OnBehaviorChosen() {
        int choice = static_cast<int>(SendMessageA(combo_, CB_GETCURSEL, 0, 0));
        int row = SelectedRow();
        auto* data = reinterpret_cast<FilterRow*>(RowData(row));
        if (!data || choice < 0 || choice > 2) return;
        data->behavior = choice;
        data->changed = true;
        RefreshRow(row);
    }

    void KeepMinutesInRange() {
        BOOL ok = FALSE;
        int minutes = static_cast<int>(GetDlgItemInt(Dialog(), IDC_MINUTES, &ok, TRUE));
        if (!ok) minutes = 0;   // not a number reads as 0
        if (minutes < kMinMinutes) SetDlgItemTextA(Dialog(), IDC_MINUTES, "1");
        else if (minutes > kMaxMinutes) SetDlgItemTextA(Dialog(), IDC_MINUTES, "900");
    }

    void OnRestoreDefaults() {
        if (MessageBoxA(Dialog(),
                        "Are you sure you want to reset all icon visibility settings to \"show only when inactive\"?",
                        "Tessellar System Tray Filtering", MB_YESNO | MB_ICONQUESTION) != IDYES)
            return;
        for (int row = 0; row < RowCount(); ++row) {
            auto* data = reinterpret_cast<FilterRow*>(RowData(row));
            if (!data || data->behavior == kHideWhenInactive) continue;
            data->behavior = kHideWhenInactive;
            data->changed = true;
            RefreshRow(row);
        }
        if (IsWindowVisible(combo_)) SendMessageA(combo_, CB_SETCURSEL, 0, 0);
    }

    void OnOk() {
        CTrayIconServer& server = *Server();
        bool any_changed = false;
        for (int row = 0; row < RowCount() && row < kMaxDialogRows; ++row) {
            auto* data = reinterpret_cast<FilterRow*>(RowData(row));
            if (!data || !data->changed) continue;
            any_changed = true;
            int index = server.FindIconByKey(data->key);
            if (index >= 0) {
                server.Record(index)->behavior = data->behavior;
                server.RememberIcon(index);
            } else {
                server.WriteIconBehavior(data->key, data->behavior, nullptr);
            }
        }
        char text[19] = {};
        GetDlgItemTextA(Dialog(), IDC_MINUTES, text, sizeof(text));
        UINT minutes = static_cast<UINT>(strtoul(text, nullptr, 10));
        bool minutes_changed = minutes != server.InactiveMinutes();
        if (minutes_changed) {
            server.SetInactiveMinutes(minutes);
            WritePrivateProfileStringA("Options", "TimeToInactive", text, server.SettingsFile());
        }
        if (minutes_changed || any_changed) server.NotifyListeners(0, TRAYNOTIFY_SETTINGS);
        EndDialog(Dialog(), IDOK);
    }

    HWND combo_ = nullptr;
};

// ---- dialog 102: replacement icons -------------------------------------------------------

struct ReplacementRow {
    bool changed;
    char key[270];
    char path[270];
    int image;   // the icon as the program shows it
};

class ReplacementDialog : public IconListDialog {
public:
    explicit ReplacementDialog(CTrayIconServer* server) : IconListDialog(server) {}

private:
    const char* SecondColumnTitle() const override { return "Replacement Icon"; }

    LPARAM MakeLiveRow(int record_index, int image) override {
        TrayIconRecord* r = Server()->Record(record_index);
        auto* row = new ReplacementRow{false, {}, {}, image};
        tess::CopyTextN(row->key, sizeof(row->key), r->icon_key, sizeof(r->icon_key));
        Server()->GetReplacementIconPath(row->key, row->path, sizeof(row->path));
        return reinterpret_cast<LPARAM>(row);
    }

    LPARAM MakePastRow(const char* key, int image) override {
        auto* row = new ReplacementRow{false, {}, {}, image};
        tess::CopyText(row->key, key);
        GetPrivateProfileStringA("CustomIcons", key, "", row->path, sizeof(row->path), Server()->SettingsFile());
        return reinterpret_cast<LPARAM>(row);
    }

    void FreeRow(LPARAM row) override { delete reinterpret_cast<ReplacementRow*>(row); }

    void RefreshRow(int row) override {
        auto* data = reinterpret_cast<ReplacementRow*>(RowData(row));
        if (!data) return;
        SetRowText(row, 1, data->path[0] ? FileNameOf(data->path) : "");
        int image = data->image;
        if (data->path[0]) {
            tess::ScopedIcon icon(static_cast<HICON>(LoadImageA(nullptr, data->path, IMAGE_ICON, 16, 16, LR_LOADFROMFILE)));
            int replaced = AddImage(icon.get());
            if (replaced >= 0) image = replaced;
        }
        SetRowImage(row, image);
    }

    void EnableRowButtons(bool on) {
        EnableWindow(GetDlgItem(Dialog(), IDC_RESET_ICON), on);
        EnableWindow(GetDlgItem(Dialog(), IDC_CHOOSE_ICON), on);
    }

    void OnListChanged(const NMLISTVIEW* change) override {
        if (!(change->uChanged & LVIF_STATE)) return;
        const bool was = (change->uOldState & LVIS_SELECTED) != 0;
        const bool now = (change->uNewState & LVIS_SELECTED) != 0;
        if (now && !was) EnableRowButtons(change->lParam != 0);
        else if (was && !now) EnableRowButtons(false);
    }

    void OnListDoubleClick() override { OnChoose(); }

    void OnControlCommand(int id, int code) override {
        switch (id) {
        case IDC_CHOOSE_ICON:
            if (code == BN_CLICKED) OnChoose();
            break;
        case IDC_RESET_ICON:
            if (code == BN_CLICKED) OnReset();
            break;
        case IDOK:
            OnOk();
            break;
        case IDCANCEL:
            OnCancel();
            break;
        default:
            break;
        }
    }

    // Shows the row's new replacement on the live icon before anything is
    // written, so that Cancel can still take it back.
    void ShowOnLiveIcon(const ReplacementRow& data) {
        CTrayIconServer& server = *Server();
        int index = server.FindIconByKey(data.key);
        if (index < 0) return;
        server.PreviewReplacementIcon(index, data.path);
        server.NotifyListeners(index, TRAYNOTIFY_REDRAW);
    }

    void OnChoose() {
        int row = SelectedRow();
        auto* data = reinterpret_cast<ReplacementRow*>(RowData(row));
        if (!data) return;
        char file[MAX_PATH] = {};
        tess::CopyText(file, data->path);
        OPENFILENAMEA ofn = {};
        ofn.lStructSize = sizeof(ofn);
        ofn.hwndOwner = Dialog();
        ofn.lpstrFilter = "Icon Files (*.ico)\0*.ico\0All Files (*.*)\0*.*\0";
        ofn.lpstrFile = file;
        ofn.nMaxFile = sizeof(file);
        ofn.lpstrTitle = "Find Replacement Tray Icon";
        ofn.Flags = OFN_FILEMUSTEXIST | OFN_PATHMUSTEXIST | OFN_HIDEREADONLY | OFN_EXPLORER;
        if (!GetOpenFileNameA(&ofn)) return;
        if (lstrcmpiA(file, data->path) == 0) return;
        if (!tess::CopyText(data->path, file)) return;   // a path the settings cannot hold
        data->changed = true;
        ShowOnLiveIcon(*data);
        RefreshRow(row);
    }

    void OnReset() {
        int row = SelectedRow();
        auto* data = reinterpret_cast<ReplacementRow*>(RowData(row));
        if (!data || !data->path[0]) return;
        data->changed = true;
        data->path[0] = '\0';
        ShowOnLiveIcon(*data);
        RefreshRow(row);
    }

    void OnOk() {
        CTrayIconServer& server = *Server();
        bool any_changed = false;
        for (int row = 0; row < RowCount() && row < kMaxDialogRows; ++row) {
            auto* data = reinterpret_cast<ReplacementRow*>(RowData(row));
            if (!data || !data->changed) continue;
            any_changed = true;
            int index = server.FindIconByKey(data->key);
            if (index >= 0) server.WriteRecordReplacementIcon(index, data->path);
            else server.WriteReplacementIcon(data->key, data->path, nullptr);
        }
        if (any_changed) server.NotifyListeners(0, TRAYNOTIFY_SETTINGS);
        EndDialog(Dialog(), IDOK);
    }

    // The settings were not touched: live icons go back to what they say.
    void OnCancel() {
        CTrayIconServer& server = *Server();
        for (int row = 0; row < RowCount() && row < kMaxDialogRows; ++row) {
            auto* data = reinterpret_cast<ReplacementRow*>(RowData(row));
            if (!data || !data->changed) continue;
            int index = server.FindIconByKey(data->key);
            if (index < 0) continue;
            server.LoadReplacementIcon(index);
            server.NotifyListeners(index, TRAYNOTIFY_REDRAW);
        }
        EndDialog(Dialog(), IDCANCEL);
    }
};

}  // namespace

// Only one dialog at a time: both share the list's state, and a second
// request posted while one is open would nest a dialog over it.
void CTrayIconServer::RunFilterDialog(HWND parent) {
    if (dialog_open_) return;
    dialog_open_ = true;
    FilterDialog dialog(this);
    dialog.Run(parent, IDD_ICON_FILTER);
    dialog_open_ = false;
}

void CTrayIconServer::RunReplacementIconDialog(HWND parent) {
    if (dialog_open_) return;
    dialog_open_ = true;
    ReplacementDialog dialog(this);
    dialog.Run(parent, IDD_REPLACEMENT_ICON);
    dialog_open_ = false;
}

}  // namespace tray
