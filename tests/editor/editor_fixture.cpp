#include "editor_fixture.h"

#include <ole2.h>
#include <cstdio>
#include "lanternfold/tray_protocol.h"
#include "model/bar_host.h"
#include "shell/global_settings.h"
#include "shell/helper_lines.h"
#include "shell/program_tray_icon.h"
#include "shell/startup.h"
#include "shell/theme_editor.h"
#include "tests/support/stand_in_main_window.h"
#include "util/bar_registry.h"

namespace editor_test {

namespace {

HWND MainWindow() {
    static HWND main = [] {
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_WIN95_CLASSES};
        InitCommonControlsEx(&controls);
        OleInitialize(nullptr);
        RegisterHelperLinesClass(GetModuleHandleA(nullptr));
        HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Editor Test Main",
                                                            testing_support::ShellMainWindowProc);
        // The tray menu the tree offers on empty space; never shown in the shell.
        CreateProgramTrayIcon(wnd, false);
        // A System Tray section made from the menu starts the tray server
        // when none runs, and the server would outlive this process holding
        // its output; this window stands in for it (it answers nothing, so
        // such sections stay unconnected).
        testing_support::CreatePlainWindow(tray::kTrayClass, nullptr, tray::kServerTitle);
        return wnd;
    }();
    return main;
}

const char kSkin[] = "[General]\r\nSkinName=Plain\r\nItemHeight=20\r\nEdgeBuffer=2\r\n";

}  // namespace

// ---- fixture ----------------------------------------------------------------------------------------
void EditorTest::SetUp() {
    MainWindow();
    BindMonitorFunctions();
    InstallBarHostServices();
    InstallItemHostCalls();
    InstallBarMenuHostCalls();
    Settings().bHelperEnabled = 0;
    ASSERT_TRUE(root_.MakeFolder("bars"));
    ASSERT_TRUE(root_.Write("plain.tsskin", kSkin));
    skin_ = root_.File("plain.tsskin");
}

void EditorTest::TearDown() {
    if (HWND editor = GetThemeEditorWindow()) SendMessageA(editor, WM_COMMAND, IDCANCEL, 0);
    SetHelperLinesSwitch(false, nullptr);
    testing_support::CloseEveryTestBar();
    GetBarHostServices() = BarHostServices{};
}

CVellumMenuObject* EditorTest::Bar(const std::string& title, const std::vector<std::string>& object_lines,
                                   const std::vector<std::vector<std::string>>& sections, int top) {
    char head[1024];
    std::snprintf(head, sizeof(head),
                  "[Object]\r\nTitle=%s\r\nLastSkin=%s\r\nLastScreenSize.cx=%d\r\n"
                  "LastScreenSize.cy=%d\r\nLastPos.x=40\r\nLastPos.y=%d\r\nLastSize.cx=300\r\n"
                  "LastSize.cy=30\r\nbRestrictMaximumSize=0\r\n",
                  title.c_str(), skin_.c_str(), GetSystemMetrics(SM_CXSCREEN),
                  GetSystemMetrics(SM_CYSCREEN), top);
    std::string text = head;
    bool on_top_given = false;
    for (const std::string& line : object_lines) {
        text += line + "\r\n";
        on_top_given = on_top_given || line.rfind("AlwaysOnTop=", 0) == 0;
    }
    if (!on_top_given) text += "AlwaysOnTop=0\r\n";
    int n = 0;
    for (const auto& section : sections) {
        text += "[Section" + std::to_string(++n) + "]\r\n";
        for (const std::string& line : section) text += line + "\r\n";
    }
    static int count = 0;
    const std::string path = root_.File("bars\\bar" + std::to_string(++count) + ".tsbar");
    EXPECT_TRUE(testing_support::WriteFileBytes(path, text)) << path;
    return Reload(path);
}

CVellumMenuObject* EditorTest::Reload(const std::string& path) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bar->LoadTheme(const_cast<char*>(path.c_str()), 1, nullptr);
    testing_support::PumpUntil([&] { return IsWindowVisible(bar->m_hWnd) != FALSE; }, 3000);
    return bar;
}

HWND EditorTest::OpenEditor() {
    ShowThemeEditor();
    testing_support::PumpFor(30);
    return GetThemeEditorWindow();
}

HWND EditorTest::Editor() const { return GetThemeEditorWindow(); }

HWND EditorTest::Tree() const { return GetDlgItem(Editor(), 1034); }

namespace {

void CollectRows(HWND tree, HTREEITEM first, int depth, std::vector<Row>* rows) {
    for (HTREEITEM node = first; node; node = TreeView_GetNextSibling(tree, node)) {
        char text[300] = "";
        TVITEMA item = {};
        item.mask = TVIF_TEXT | TVIF_PARAM;
        item.hItem = node;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(tree, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
        rows->push_back({node, depth, text, item.lParam});
        CollectRows(tree, TreeView_GetChild(tree, node), depth + 1, rows);
    }
}

}  // namespace

std::vector<Row> EditorTest::Rows() const {
    std::vector<Row> rows;
    if (Tree()) CollectRows(Tree(), TreeView_GetRoot(Tree()), 0, &rows);
    return rows;
}

HTREEITEM EditorTest::NodeOf(const void* object) const {
    for (const Row& row : Rows())
        if (row.data == reinterpret_cast<LPARAM>(object)) return row.node;
    return nullptr;
}

HTREEITEM EditorTest::Selected() const { return TreeView_GetSelection(Tree()); }

void EditorTest::Select(HTREEITEM node) {
    SendMessageA(Tree(), TVM_SELECTITEM, TVGN_CARET, reinterpret_cast<LPARAM>(node));
    testing_support::PumpFor(20);
}

std::string EditorTest::Caption() const {
    char text[600] = "";
    GetWindowTextA(Editor(), text, sizeof(text));
    return text;
}

std::vector<std::string> EditorTest::TabTexts() const {
    std::vector<std::string> texts;
    HWND tabs = GetDlgItem(Editor(), 1056);
    const int count = TabCtrl_GetItemCount(tabs);
    for (int i = 0; i < count; ++i) {
        char text[100] = "";
        TCITEMA item = {};
        item.mask = TCIF_TEXT;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(tabs, TCM_GETITEMA, i, reinterpret_cast<LPARAM>(&item));
        texts.push_back(text);
    }
    return texts;
}

HWND EditorTest::VisiblePage() const {
    HWND found = nullptr;
    for (HWND child = GetWindow(Editor(), GW_CHILD); child; child = GetWindow(child, GW_HWNDNEXT)) {
        char cls[16] = "";
        GetClassNameA(child, cls, sizeof(cls));
        if (lstrcmpA(cls, "#32770") == 0 && IsWindowVisible(child)) {
            EXPECT_EQ(nullptr, found) << "two pages show at once";
            found = child;
        }
    }
    return found;
}

POINT EditorTest::TextPoint(HTREEITEM node) const {
    TreeView_EnsureVisible(Tree(), node);
    RECT rect = {};
    TreeView_GetItemRect(Tree(), node, &rect, TRUE);
    POINT at = {(rect.left + rect.right) / 2, (rect.top + rect.bottom) / 2};
    // An empty text has no width: its row is hit on its (empty) icon.
    if (rect.right - rect.left <= 4) at.x = rect.left - 8;
    ClientToScreen(Tree(), &at);
    return at;
}

void EditorTest::RightClick(POINT at, MenuDriver* menu) {
    menu->Run([&] {
        SendMessageA(Editor(), WM_CONTEXTMENU, reinterpret_cast<WPARAM>(Tree()), MAKELPARAM(at.x, at.y));
    });
}

}  // namespace editor_test
