// Edit Popup Menu and Item Properties: the rows of an item's own popup menu,
// each a separator or a text with a command. The item's menu is rebuilt from
// the rows after every change, so it always holds what the list shows.
#include <string>
#include "model/item_messages.h"
#include "model/vellum_menu_item.h"
#include "shell/item_pages.h"
#include "shell/item_pages_resources.h"
#include "util/dialog_base.h"
#include "util/text.h"

namespace {

constexpr LPARAM kSeparatorRowData = -1;
constexpr char kSeparatorRowText[] = "-----------------------------------";
// Rows and menu entries hold at most this many characters; a title typed
// longer is cut to it, so the row, the menu and the saved file agree.
constexpr int kMaxRowTextLength = kPopupMenuEntryTextSize - 1;
constexpr int kTitleFieldLength = 599;
// The rebuild takes this many rows; the list refuses more.
constexpr int kMaxPopupRows = 1000;

// ---- Item Properties ------------------------------------------------------------------------

class EntryDialog : public tess::DialogBase {
public:
    EntryDialog(const std::string& title, int command, bool editing)
        : title_(title), command_(command), editing_(editing) {}
    const std::string& Title() const { return title_; }
    int Command() const { return command_; }

protected:
    INT_PTR OnInit() override {
        ::SendDlgItemMessageA(Window(), IDC_ENTRY_TITLE, EM_LIMITTEXT, kTitleFieldLength, 0);
        HWND combo = ::GetDlgItem(Window(), IDC_ENTRY_ACTION);
        CVellumMenuItem every_command(nullptr);
        every_command.ActionClass = -1;
        every_command.SetupActionsCombobox(combo, command_, -1);
        if (editing_) {
            ::SetDlgItemTextA(Window(), IDC_ENTRY_TITLE, title_.c_str());
        } else {
            ::SendMessageA(combo, CB_SETCURSEL, static_cast<WPARAM>(-1), 0);
        }
        return TRUE;
    }

    INT_PTR OnCommand(int id, int) override {
        if (id == IDOK) {
            char title[kTitleFieldLength + 1] = "";
            ::GetDlgItemTextA(Window(), IDC_ENTRY_TITLE, title, sizeof(title));
            title[kMaxRowTextLength] = '\0';
            title_ = title;
            HWND combo = ::GetDlgItem(Window(), IDC_ENTRY_ACTION);
            const LRESULT row = ::SendMessageA(combo, CB_GETCURSEL, 0, 0);
            command_ = row < 0 ? -1 : static_cast<int>(::SendMessageA(combo, CB_GETITEMDATA, row, 0));
            ::EndDialog(Window(), command_ < 0 ? IDCANCEL : IDOK);
            return TRUE;
        }
        if (id == IDCANCEL) {
            ::EndDialog(Window(), IDCANCEL);
            return TRUE;
        }
        return FALSE;
    }

private:
    std::string title_;
    int command_;
    bool editing_;
};

// ---- Edit Popup Menu ----------------------------------------------------------------------------

class EditPopupMenuDialog : public tess::DialogBase {
public:
    explicit EditPopupMenuDialog(CVellumMenuItem* item) : item_(item) {}

protected:
    INT_PTR OnInit() override {
        FillRowsFromMenu();
        return TRUE;
    }

    INT_PTR OnCommand(int id, int code) override {
        switch (id) {
        case IDOK:
        case IDCANCEL:
            ::EndDialog(Window(), id);
            return TRUE;
        case IDC_POPUP_ADD:
            EditRow(false);
            return TRUE;
        case IDC_POPUP_EDIT:
            EditRow(true);
            return TRUE;
        case IDC_POPUP_ADD_SEPARATOR:
            AddSeparator();
            return TRUE;
        case IDC_POPUP_REMOVE:
            RemoveRow();
            return TRUE;
        case IDC_POPUP_UP:
        case IDC_POPUP_DOWN:
            MoveRow(id == IDC_POPUP_UP ? -1 : 1);
            return TRUE;
        default:
            return FALSE;
        }
    }

private:
    HWND List() const { return ::GetDlgItem(Window(), IDC_POPUP_ROWS); }
    int Count() const { return static_cast<int>(::SendMessageA(List(), LB_GETCOUNT, 0, 0)); }
    int Selection() const { return static_cast<int>(::SendMessageA(List(), LB_GETCURSEL, 0, 0)); }
    LPARAM DataOf(int row) const { return ::SendMessageA(List(), LB_GETITEMDATA, static_cast<WPARAM>(row), 0); }
    void Select(int row) { ::SendMessageA(List(), LB_SETCURSEL, static_cast<WPARAM>(row), 0); }

    // Inserts at row (-1: the end); returns the new row.
    int InsertRow(int row, const char* text, LPARAM data) {
        const int at = static_cast<int>(
            ::SendMessageA(List(), LB_INSERTSTRING, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text)));
        if (at >= 0) ::SendMessageA(List(), LB_SETITEMDATA, static_cast<WPARAM>(at), data);
        return at;
    }

    // The row's text, empty when it does not fit a menu entry.
    std::string RowText(int row) const {
        const LRESULT length = ::SendMessageA(List(), LB_GETTEXTLEN, static_cast<WPARAM>(row), 0);
        if (length < 0 || length > kMaxRowTextLength) return std::string();
        char text[kPopupMenuEntryTextSize] = "";
        ::SendMessageA(List(), LB_GETTEXT, static_cast<WPARAM>(row), reinterpret_cast<LPARAM>(text));
        return text;
    }

    void FillRowsFromMenu() {
        HMENU menu = item_->m_popupMenu;
        const int count = menu ? ::GetMenuItemCount(menu) : 0;
        for (int i = 0; i < count && i < kMaxPopupRows; ++i) {
            char text[kPopupMenuEntryTextSize] = "";
            MENUITEMINFOA info = {};
            info.cbSize = sizeof(info);
            info.fMask = MIIM_FTYPE | MIIM_ID | MIIM_STRING;
            info.dwTypeData = text;
            info.cch = sizeof(text);
            if (!::GetMenuItemInfoA(menu, static_cast<UINT>(i), TRUE, &info)) continue;
            if (info.fType & MFT_SEPARATOR)
                InsertRow(-1, kSeparatorRowText, kSeparatorRowData);
            else
                InsertRow(-1, text, static_cast<LPARAM>(info.wID));
        }
    }

    bool Full() const { return Count() >= kMaxPopupRows; }

    void EditRow(bool editing) {
        const int selected = Selection();
        if (editing && (selected < 0 || DataOf(selected) == kSeparatorRowData)) return;
        if (!editing && Full()) return;
        EntryDialog entry(editing ? RowText(selected) : std::string(),
                          editing ? static_cast<int>(DataOf(selected)) : 0, editing);
        if (entry.RunModal(ItemPagesModule(), MAKEINTRESOURCEA(IDD_POPUP_ENTRY), Window()) != IDOK) return;
        int row;
        if (editing) {
            ::SendMessageA(List(), LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
            row = InsertRow(selected, entry.Title().c_str(), entry.Command());
        } else {
            row = InsertRow(selected < 0 ? -1 : selected + 1, entry.Title().c_str(), entry.Command());
        }
        Select(row);
        RowsChanged();
    }

    void AddSeparator() {
        if (Full()) return;
        const int selected = Selection();
        Select(InsertRow(selected < 0 ? 0 : selected + 1, kSeparatorRowText, kSeparatorRowData));
        RowsChanged();
    }

    void RemoveRow() {
        const int selected = Selection();
        if (selected < 0) return;
        ::SendMessageA(List(), LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
        Select(static_cast<int>(::SendMessageA(List(), LB_GETCARETINDEX, 0, 0)));
        RowsChanged();
    }

    void MoveRow(int step) {
        const int selected = Selection();
        const int target = selected + step;
        if (selected < 0 || target < 0 || target >= Count()) return;
        const std::string text = DataOf(selected) == kSeparatorRowData ? kSeparatorRowText : RowText(selected);
        const LPARAM data = DataOf(selected);
        ::SendMessageA(List(), WM_SETREDRAW, FALSE, 0);
        ::SendMessageA(List(), LB_DELETESTRING, static_cast<WPARAM>(selected), 0);
        Select(InsertRow(target, text.c_str(), data));
        ::SendMessageA(List(), WM_SETREDRAW, TRUE, 0);
        ::InvalidateRect(List(), nullptr, TRUE);
        RowsChanged();
    }

    void RowsChanged() {
        item_->ProcessUserMessage(GetItemMessages().ResetPopup, 0, 0);
        if (item_->m_popupMenu) ::DestroyMenu(item_->m_popupMenu);
        item_->m_popupMenu = ::CreatePopupMenu();
        const int count = Count();
        for (int row = 0; row < count && row < kMaxPopupRows; ++row) {
            const LPARAM data = DataOf(row);
            if (data == kSeparatorRowData)
                ::AppendMenuA(item_->m_popupMenu, MF_SEPARATOR, 0, nullptr);
            else
                ::AppendMenuA(item_->m_popupMenu, MF_STRING, static_cast<UINT_PTR>(data), RowText(row).c_str());
        }
        MarkItemBarModified(item_);
    }

    CVellumMenuItem* item_;
};

}  // namespace

void EditItemPopupMenu(CVellumMenuItem* item, HWND owner) {
    if (!item) return;
    EditPopupMenuDialog dialog(item);
    dialog.RunModal(ItemPagesModule(), MAKEINTRESOURCEA(IDD_EDIT_POPUP_MENU), owner);
}
