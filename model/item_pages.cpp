// The item's property pages as the model offers them: each page is created by
// the pages module through the host's table (a missing entry gives no page),
// and the actions combo that the pages and the popup-menu dialogs share.
#include "model/item_host_calls.h"
#include "model/standard_commands.h"
#include "model/vellum_menu_item.h"

namespace {

// The last command number the actions combo asks about.
constexpr int kLastQueriedCommand = 499;

HWND OpenPage(CVellumMenuItem* item, int page, HWND parent) {
    const ItemHostCalls& host = GetItemHostCalls();
    return host.OpenItemPage ? host.OpenItemPage(item, page, parent) : nullptr;
}

}  // namespace

HWND CVellumMenuItem::CallConfigDialog(HWND parent) { return OpenPage(this, 0, parent); }

void CVellumMenuItem::SetEditorNodeTitle() {
    const ItemHostCalls& host = GetItemHostCalls();
    if (host.RetitleItemInThemeEditor) host.RetitleItemInThemeEditor(this, m_title);
}

HWND CVellumMenuItem::CallConfigDialogEx(HWND parent) { return OpenPage(this, 1, parent); }

HWND CVellumMenuItem::CallConfigDialogHotkey(HWND parent) { return OpenPage(this, 2, parent); }

int CVellumMenuItem::RefreshVisiblePropPage(int focus) {
    const ItemHostCalls& host = GetItemHostCalls();
    return host.RefreshVisiblePropPage ? host.RefreshVisiblePropPage(this, focus) : 0;
}

int CVellumMenuItem::SetupActionsCombobox(HWND combo, int selectCommand, int set) {
    if (set < 0) set = ActionClass;
    int selected = -1;
    for (int command = 0; command <= kLastQueriedCommand; ++command) {
        char name[kStandardCommandNameSize] = "";
        if (!ExecuteStandardCommand(set, command, name, nullptr)) break;
        if (!name[0]) continue;
        LRESULT row = ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(name));
        if (row < 0) continue;
        ::SendMessageA(combo, CB_SETITEMDATA, static_cast<WPARAM>(row), command);
        if (command == selectCommand) selected = static_cast<int>(row);
    }
    ::SendMessageA(combo, CB_SETCURSEL, selected >= 0 ? static_cast<WPARAM>(selected) : 0, 0);
    return 1;
}
