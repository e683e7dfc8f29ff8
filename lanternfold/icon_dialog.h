// The two filtering dialogs share a list of icons: the current icons of the
// shared table, then the remembered icons of programs that are not running.
// IconListDialog fills that list and owns its image list and caption font;
// IconListViewProc draws the two group captions over the list.
#pragma once
#include <windows.h>
#include <commctrl.h>

#include "util/dialog_base.h"
#include "util/handles.h"

namespace tray {

class CTrayIconServer;

constexpr int kMaxDialogRows = 500;
constexpr char kServerProp[] = "lpServer";
constexpr char kInitializedProp[] = "bInitalized!";

class IconListDialog : public tess::DialogBase {
public:
    // Runs the dialog modally; false when it could not be shown.
    bool Run(HWND parent, int template_id);

    HWND List() const { return list_; }
    int CurrentGroupRow() const { return current_group_; }
    int PastGroupRow() const { return past_group_; }
    HFONT CaptionFont() const { return caption_font_.get(); }
    WNDPROC OriginalListProc() const { return original_list_proc_; }
    // The dialog object of a list view inside one of these dialogs.
    static IconListDialog* FromList(HWND list);

protected:
    explicit IconListDialog(CTrayIconServer* server) : server_(server) {}

    // ---- what each dialog adds ----
    virtual const char* SecondColumnTitle() const = 0;
    virtual LPARAM MakeLiveRow(int record_index, int image) = 0;
    virtual LPARAM MakePastRow(const char* key, int image) = 0;
    virtual void RefreshRow(int row) = 0;
    virtual void FreeRow(LPARAM row) = 0;
    virtual void OnInitControls() {}
    virtual void OnControlCommand(int id, int code) = 0;
    virtual void OnListChanged(const NMLISTVIEW* change) {}
    virtual void OnListDoubleClick() {}
    virtual void OnListScrolled() {}

    // ---- shared helpers ----
    HWND Dialog() const { return Window(); }
    CTrayIconServer* Server() const { return server_; }
    HIMAGELIST Images() const { return images_; }
    int SelectedRow() const;
    LPARAM RowData(int row) const;
    int RowCount() const;
    void SetRowText(int row, int column, const char* text);
    void SetRowImage(int row, int image);
    int AddImage(HICON icon);
    int DefaultImage();

private:
    INT_PTR OnInit() override;
    INT_PTR OnCommand(int id, int code) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    void OnNotify(const NMHDR* header);
    void OnDestroy();
    void SetUpList();
    void FillList();
    int InsertRow(const char* text, int image, LPARAM data);
    int InsertGroupRows();

    CTrayIconServer* server_;
    HWND list_ = nullptr;
    HIMAGELIST images_ = nullptr;
    tess::ScopedFont caption_font_;
    WNDPROC original_list_proc_ = nullptr;
    int current_group_ = -1;
    int past_group_ = -1;
    int default_image_ = -1;
};

LRESULT CALLBACK IconListViewProc(HWND list, UINT msg, WPARAM wp, LPARAM lp);

}  // namespace tray
