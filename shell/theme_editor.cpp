// The theme editor's window: one modeless dialog at a time, with the tree of
// the open bars on the left and the selected node's property pages under the
// tab control on the right.
#include "shell/theme_editor_internal.h"

#include <memory>
#include "model/drag_drop_object.h"
#include "model/live_objects.h"
#include "shell/app_state.h"
#include "shell/config_pages.h"
#include "shell/global_settings.h"
#include "shell/helper_lines.h"
#include "shell/main_window.h"
#include "shell/registered_messages.h"
#include "shell/startup.h"
#include "shell/theme_editor_resources.h"
#include "util/dialog_base.h"

namespace {

constexpr char kDragDropProperty[] = "lpDragDrop";
constexpr char kCurrentSetProperty[] = "iCurrentSet";
// The page sits this far inside the tab control's top-left corner.
constexpr POINT kPageOffset = {6, 30};
constexpr LONG kHeaderFontWeight = 800;

ThemeEditorState g_editor;

HTREEITEM SectionRow(HWND, const CVellumMenuSection* section) {
    return FindEditorNode(section, true, nullptr);
}

class ThemeEditorDialog : public tess::DialogBase {
protected:
    INT_PTR OnInit() override;
    INT_PTR OnCommand(int id, int code) override;
    INT_PTR OnMessage(UINT msg, WPARAM wp, LPARAM lp) override;

private:
    void PutProgramMenuFirst();
    void SetDialogIcons();
    void ComputePageOrigin();
    void CreateHeaderFont();
    INT_PTR OnNotify(const NMHDR* header);
    bool OnSelectionChanging(const NMTREEVIEWA* change);
    void OnSelectionChanged(const NMTREEVIEWA* change);
    void OnBeginDrag(const NMTREEVIEWA* drag);
    void OnActivate(WPARAM wp);
    void OnDestroy();
    INT_PTR Answer(LONG_PTR result);
};

INT_PTR ThemeEditorDialog::OnInit() {
    HWND dlg = Window();
    ThemeEditorState& e = g_editor;
    e.window = dlg;
    e.tree = ::GetDlgItem(dlg, IDC_EDITOR_TREE);
    e.tabs = ::GetDlgItem(dlg, IDC_EDITOR_TABS);
    e.drag_drop = new CVellumDragDropObject(1);
    ::SetPropA(dlg, kDragDropProperty, e.drag_drop);
    PutProgramMenuFirst();
    ::CheckDlgButton(dlg, IDC_EDITOR_HELPER_LINES, Settings().bHelperEnabled ? BST_CHECKED : BST_UNCHECKED);
    SetDialogIcons();
    for (int& tab : e.last_tab) tab = 0;
    MarkConfigDialog(dlg);
    e.drag_drop->Register(e.tree);
    ComputePageOrigin();
    e.images = CreateEditorImages();
    TreeView_SetImageList(e.tree, e.images, TVSIL_NORMAL);
    TabCtrl_SetImageList(e.tabs, e.images);
    const HelperLinesEditor overlay = {dlg, e.tree, SectionRow};
    SetHelperLinesEditor(&overlay);
    CreateHeaderFont();
    SubclassEditorTree(e.tree);
    FillEditorTree();
    ::SetFocus(e.tree);
    return FALSE;
}

void ThemeEditorDialog::PutProgramMenuFirst() {
    HMENU bar = ::GetMenu(Window());
    HMENU program = ::LoadMenuA(GetAppInstance(), MAKEINTRESOURCEA(IDM_EDITOR_PROGRAM_MENU));
    if (!bar || !program) {
        if (program) ::DestroyMenu(program);
        return;
    }
    HMENU main_submenu = ::GetSubMenu(program, 0);
    char text[64] = "";
    ::GetMenuStringA(program, 0, text, sizeof(text), MF_BYPOSITION);
    // The submenu changes owner: the menu bar frees it with the window.
    ::RemoveMenu(program, 0, MF_BYPOSITION);
    ::DestroyMenu(program);
    if (!main_submenu) return;
    ::ModifyMenuA(bar, 0, MF_BYPOSITION | MF_POPUP | MF_STRING,
                  reinterpret_cast<UINT_PTR>(main_submenu), text);
    ::DrawMenuBar(Window());
}

void ThemeEditorDialog::SetDialogIcons() {
    HINSTANCE instance = GetAppInstance();
    HANDLE big = ::LoadImageA(instance, MAKEINTRESOURCEA(IDI_THEME_EDITOR), IMAGE_ICON,
                              ::GetSystemMetrics(SM_CXICON), ::GetSystemMetrics(SM_CYICON), LR_SHARED);
    HANDLE small = ::LoadImageA(instance, MAKEINTRESOURCEA(IDI_THEME_EDITOR), IMAGE_ICON,
                                ::GetSystemMetrics(SM_CXSMICON), ::GetSystemMetrics(SM_CYSMICON),
                                LR_SHARED);
    if (big) ::SendMessageA(Window(), WM_SETICON, ICON_BIG, reinterpret_cast<LPARAM>(big));
    if (small) ::SendMessageA(Window(), WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(small));
}

void ThemeEditorDialog::ComputePageOrigin() {
    RECT tabs = {};
    ::GetWindowRect(g_editor.tabs, &tabs);
    POINT corner = {tabs.left, tabs.top};
    ::ScreenToClient(Window(), &corner);
    g_editor.page_origin = {corner.x + kPageOffset.x, corner.y + kPageOffset.y};
}

void ThemeEditorDialog::CreateHeaderFont() {
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    LOGFONTA font = {};
    if (::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0))
        font = metrics.lfMessageFont;
    else
        ::GetObjectA(::GetStockObject(DEFAULT_GUI_FONT), sizeof(font), &font);
    font.lfWeight = kHeaderFontWeight;
    g_editor.header_font.reset(::CreateFontIndirectA(&font));
}

INT_PTR ThemeEditorDialog::OnCommand(int id, int) {
    OnEditorCommand(static_cast<UINT>(id));
    return TRUE;
}

INT_PTR ThemeEditorDialog::OnMessage(UINT msg, WPARAM wp, LPARAM lp) {
    TrackModelessDialog(Window(), msg, wp);
    switch (msg) {
    case WM_NOTIFY:
        return OnNotify(reinterpret_cast<const NMHDR*>(lp));
    case WM_CONTEXTMENU:
        if (reinterpret_cast<HWND>(wp) != g_editor.tree) return FALSE;
        OnEditorTreeContextMenu(wp, lp);
        return TRUE;
    case WM_INITMENUPOPUP:
        OnEditorInitMenuPopup(reinterpret_cast<HMENU>(wp));
        return TRUE;
    case WM_ACTIVATE:
        OnActivate(wp);
        return FALSE;
    case WM_MOVE:
        HelperLinesOnEditorMoved();
        return FALSE;
    case WM_CLOSE:
        OnEditorCommand(IDCANCEL);
        return TRUE;
    case WM_DESTROY:
        OnDestroy();
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR ThemeEditorDialog::Answer(LONG_PTR result) {
    ::SetWindowLongPtrA(Window(), DWLP_MSGRESULT, result);
    return TRUE;
}

INT_PTR ThemeEditorDialog::OnNotify(const NMHDR* header) {
    if (!header) return FALSE;
    if (header->hwndFrom == g_editor.tabs) {
        if (header->code == TCN_SELCHANGE) ShowEditorPageForSelection(Window(), false);
        return FALSE;
    }
    if (header->hwndFrom != g_editor.tree) return FALSE;
    const auto* change = reinterpret_cast<const NMTREEVIEWA*>(header);
    switch (header->code) {
    case TVN_SELCHANGINGA:
    case TVN_SELCHANGINGW:
        return Answer(OnSelectionChanging(change) ? TRUE : FALSE);
    case TVN_SELCHANGEDA:
    case TVN_SELCHANGEDW:
        OnSelectionChanged(change);
        return FALSE;
    case TVN_BEGINDRAGA:
    case TVN_BEGINDRAGW:
        OnBeginDrag(change);
        return FALSE;
    case TVN_ITEMEXPANDEDA:
    case TVN_ITEMEXPANDEDW:
        if (Settings().bHelperEnabled) HelperLinesOnTreeExpanded();
        return FALSE;
    default:
        return FALSE;
    }
}

// A header row is never selected: true refuses the change.
bool ThemeEditorDialog::OnSelectionChanging(const NMTREEVIEWA* change) {
    return IsEditorHeaderNode(change->itemNew.hItem);
}

void ThemeEditorDialog::OnSelectionChanged(const NMTREEVIEWA* change) {
    if (IsEditorHeaderNode(change->itemNew.hItem)) {
        HTREEITEM previous = change->itemOld.hItem;
        if (previous && !IsEditorHeaderNode(previous))
            ::SendMessageA(g_editor.tree, TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(previous));
        return;
    }
    ShowEditorPageForSelection(Window(), true);
}

void ThemeEditorDialog::OnBeginDrag(const NMTREEVIEWA* drag) {
    EditorNodeKind kind;
    HTREEITEM node = drag->itemNew.hItem;
    void* object = EditorNodeObject(node);
    if (!object || !EditorNodeKindOf(node, &kind) || !g_editor.drag_drop) return;
    if (kind == EditorNodeKind::Section)
        g_editor.drag_drop->DoDragDrop(static_cast<CVellumMenuSection*>(object));
    else if (kind == EditorNodeKind::Item)
        g_editor.drag_drop->DoDragDrop(static_cast<CVellumMenuItem*>(object));
    else
        return;
    ShowEditorPageForSelection(Window(), true);
}

void ThemeEditorDialog::OnActivate(WPARAM wp) {
    if (LOWORD(wp) != WA_INACTIVE) return;
    if (HWND main = GetMainWindow()) ::PostMessageA(main, Msgs().VolatileClose, 0, 0);
    HideVolatileLayers(false);
}

void ThemeEditorDialog::OnDestroy() {
    HWND dlg = Window();
    ThemeEditorState& e = g_editor;
    // From here on no selection change rebuilds a page of the dying window.
    e.window = nullptr;
    SetHelperLinesEditor(nullptr);
    if (e.tree) TreeView_SetImageList(e.tree, nullptr, TVSIL_NORMAL);
    if (e.tabs) {
        TabCtrl_SetImageList(e.tabs, nullptr);
        ::RemovePropA(e.tabs, kCurrentSetProperty);
    }
    if (e.images) ImageList_Destroy(e.images);
    if (e.drag_drop) {
        if (e.tree) e.drag_drop->Revoke(e.tree);
        e.drag_drop->Release();
        delete e.drag_drop;
    }
    ::RemovePropA(dlg, kDragDropProperty);
    UnmarkConfigDialog(dlg);
    // The tree still paints while it goes; the font stays until it is gone.
    tess::ScopedFont font(e.header_font.release());
    e.tree = nullptr;
    e.tabs = nullptr;
    e.images = nullptr;
    e.drag_drop = nullptr;
    e.docked_header = e.floating_header = nullptr;
    e.context_menu_active = false;
}

}  // namespace

ThemeEditorState& Editor() { return g_editor; }

bool EditorIsOpen() { return g_editor.window && ::IsWindow(g_editor.window) && g_editor.tree; }

void ShowThemeEditor() {
    if (!EditorIsOpen()) {
        tess::DialogBase::CreateModeless(std::make_unique<ThemeEditorDialog>(), GetAppInstance(),
                                         MAKEINTRESOURCEA(IDD_THEME_EDITOR), nullptr);
    }
    HWND editor = g_editor.window;
    if (!editor) return;
    ::ShowWindow(editor, SW_SHOW);
    if (::IsIconic(editor)) ::ShowWindow(editor, SW_RESTORE);
    ::SetForegroundWindow(editor);
}

HWND GetThemeEditorWindow() { return EditorIsOpen() ? g_editor.window : nullptr; }

void SendThemeEditorCommand(UINT id) {
    if (HWND editor = GetThemeEditorWindow()) ::SendMessageA(editor, WM_COMMAND, id, 0);
}

int SelectInThemeEditor(const void* object, int tab) {
    ShowThemeEditor();
    if (!EditorIsOpen() || !object) return 0;
    HTREEITEM node = FindEditorNode(object, true, nullptr);
    if (!node) return 0;
    SelectEditorNode(node, tab);
    return 1;
}

int GetEditorLastTab(EditorNodeKind kind) { return g_editor.last_tab[static_cast<int>(kind)]; }

void SuspendEditorPageRedraw(bool suspend) {
    if (g_editor.redraw_suspended == suspend) return;
    g_editor.redraw_suspended = suspend;
    if (g_editor.tabs) ::SendMessageA(g_editor.tabs, WM_SETREDRAW, suspend ? FALSE : TRUE, 0);
}
