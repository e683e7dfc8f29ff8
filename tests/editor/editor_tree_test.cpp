// The theme editor's tree and pages: which bars it lists and in what order,
// the texts of its nodes as objects change, the caption, tabs and page of a
// selected node, header rows that cannot be selected, and nodes dragged.
#include "editor_fixture.h"

#include <cstdlib>
#include <functional>
#include "model/live_objects.h"
#include "tests/support/stand_in_main_window.h"
#include "shell/theme_editor.h"

namespace editor_test {
namespace {

using testing_support::PumpFor;

const std::vector<std::string> kAppsSection = {"Type=Default", "Title=Apps", "Item1.Title=One",
                                               "Item1.ShowText=1", "Item2.Separator=1", "Item2.Title=-",
                                               "Item3.Title=Three", "Item3.ShowText=1"};

TEST_F(EditorTest, ListsDockedThenFloatingBarsUnderTheirHeaders) {
    Bar("Zed", {"DockToEdge=1"}, {{"Type=Default", "Title=Z"}});
    CVellumMenuObject* alpha = Bar("alpha", {"DockToEdge=-1"}, {kAppsSection, {"Properties.Type=Folder", "Title=Files"}}, 200);
    Bar("Beta", {"DockToEdge=3"}, {{"Type=Default", "Title=B"}});
    CVellumMenuObject* omega = Bar("omega", {"DockToEdge=-1"}, {{"Type=Default", "Title=O"}}, 300);
    // Hidden by its layer: listed, marked hidden.
    omega->m_layerHidden = TRUE;
    ShowWindow(omega->m_hWnd, SW_HIDE);
    // Hidden for no reason the editor lists.
    CVellumMenuObject* stray = Bar("stray", {}, {{"Type=Default", "Title=S"}}, 400);
    ShowWindow(stray->m_hWnd, SW_HIDE);
    // The desktop right-click bar is the program's own.
    CVellumMenuObject::SetNextBarIsDesktopBar();
    auto* desktop = new CVellumMenuObject(alpha->m_hMainWindow);
    ASSERT_TRUE(IsInternalBar(desktop));
    ShowWindow(desktop->m_hWnd, SW_SHOWNA);

    ASSERT_NE(nullptr, OpenEditor());
    std::vector<std::string> top;
    std::vector<LPARAM> header_data;
    for (const Row& row : Rows()) {
        if (row.depth != 0) continue;
        top.push_back(row.text);
        if (row.text.empty()) header_data.push_back(row.data);
    }
    EXPECT_EQ((std::vector<std::string>{"", "", "Beta", "Zed", "", "", "alpha", "omega (Hidden)"}), top);
    EXPECT_EQ((std::vector<LPARAM>{1, 1, 2, 2}), header_data);
    // A bar shown while the editor is open takes its sorted place.
    Bar("Gamma", {"DockToEdge=1"}, {{"Type=Default", "Title=G"}}, 500);
    top.clear();
    for (const Row& row : Rows())
        if (row.depth == 0) top.push_back(row.text);
    EXPECT_EQ((std::vector<std::string>{"", "", "Beta", "Gamma", "Zed", "", "", "alpha", "omega (Hidden)"}), top);

    // A bar's children in bar order: sections, then their items.
    std::vector<std::string> below_alpha;
    bool in_alpha = false;
    for (const Row& row : Rows()) {
        if (row.depth == 0) in_alpha = row.data == reinterpret_cast<LPARAM>(alpha);
        else if (in_alpha) below_alpha.push_back(std::string(row.depth, '>') + row.text);
    }
    EXPECT_EQ((std::vector<std::string>{">Apps", ">>One", ">>---------------------", ">>Three", ">Files"}),
              below_alpha);
    EXPECT_EQ(nullptr, NodeOf(desktop));
    EXPECT_EQ(nullptr, NodeOf(stray));
    testing_support::CloseTestBar(desktop, true);
}

// Node texts follow the objects: renames through the bar and item seams, a
// bar hidden and shown, and the " (Hidden)" of a hidden section.
TEST_F(EditorTest, NodeTextsFollowTheirObjects) {
    CVellumMenuObject* bar = Bar("Main", {}, {kAppsSection, {"Type=Default", "Title=Quiet", "Properties.IsHidden=1"}});
    ASSERT_NE(nullptr, OpenEditor());
    CVellumMenuSection* apps = bar->m_sections[0];
    CVellumMenuItem* one = apps->m_items[0];
    auto text_of = [&](const void* object) {
        for (const Row& row : Rows())
            if (row.data == reinterpret_cast<LPARAM>(object)) return row.text;
        return std::string("<no node>");
    };
    EXPECT_EQ("Quiet (Hidden)", text_of(bar->m_sections[1]));
    struct Case {
        const char* what;
        std::function<void()> change;
        const void* object;
        const char* text;
    };
    const Case cases[] = {
        {"item renamed", [&] { one->SetItemTitle(const_cast<char*>("Renamed"), 0); }, one, "Renamed"},
        {"bar retitled", [&] { bar->SetTitle(const_cast<char*>("Main 2")); bar->RetitleEditorNode(); },
         bar, "Main 2"},
        {"bar hidden as set", [&] { bar->SetAsHidden = TRUE; bar->Hide(1); PumpFor(50); }, bar,
         "Main 2 (Hidden)"},
        {"bar shown", [&] { bar->SetAsHidden = FALSE; bar->Show(1); PumpFor(50); }, bar, "Main 2"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        c.change();
        EXPECT_EQ(c.text, text_of(c.object));
    }
    EXPECT_EQ(0, SetEditorNodeTitle(reinterpret_cast<void*>(0x1234), "nobody"));
}

// Each kind of node gets its caption, its tabs and its page at the tab
// control's origin + (6, 30); a header row keeps the previous selection, its
// caption and its page.
TEST_F(EditorTest, SelectionShowsTheKindsTabsAndPage) {
    CVellumMenuObject* bar = Bar("Main", {}, {kAppsSection, {"Properties.Type=Folder", "Title=Files"}});
    ASSERT_NE(nullptr, OpenEditor());
    HWND tabs = GetDlgItem(Editor(), 1056);
    RECT tab_rect = {};
    GetWindowRect(tabs, &tab_rect);
    POINT origin = {tab_rect.left, tab_rect.top};
    ScreenToClient(Editor(), &origin);
    struct Case {
        const char* what;
        const void* object;
        std::string caption;
        std::vector<std::string> tabs;
    };
    const Case cases[] = {
        {"bar", bar, "Theme Editor  -  Main",
         {"Display", "Sizing && Positioning", "Advanced", "Extra Options", "Hotkey"}},
        {"default section", bar->m_sections[0], "Theme Editor  -  Apps  (Default)",
         {"Display", "Arrangement", "Behavior", "Extra Options"}},
        {"folder section", bar->m_sections[1], "Theme Editor  -  Files  (Folder)",
         {"Display", "Arrangement", "Behavior", "Extra Options"}},
        {"item", bar->m_sections[0]->m_items[2], "", {"Display", "Behavior", "Hotkey"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        HTREEITEM node = NodeOf(c.object);
        ASSERT_NE(nullptr, node);
        Select(node);
        EXPECT_EQ(node, Selected());
        if (!c.caption.empty()) {
            EXPECT_EQ(c.caption, Caption());
        } else {
            EXPECT_EQ(0u, Caption().rfind("Theme Editor  -  Three  (", 0)) << Caption();
        }
        EXPECT_EQ(c.tabs, TabTexts());
        HWND page = VisiblePage();
        ASSERT_NE(nullptr, page);
        RECT page_rect = {};
        GetWindowRect(page, &page_rect);
        POINT at = {page_rect.left, page_rect.top};
        ScreenToClient(Editor(), &at);
        EXPECT_EQ(origin.x + 6, at.x);
        EXPECT_EQ(origin.y + 30, at.y);
    }

    // The item stays selected with its page through a header click.
    const HTREEITEM item_node = Selected();
    const std::string caption = Caption();
    HWND page = VisiblePage();
    for (const Row& row : Rows()) {
        if (row.depth != 0 || !row.text.empty()) continue;
        SCOPED_TRACE(row.data);
        Select(row.node);
        EXPECT_EQ(item_node, Selected());
        EXPECT_EQ(caption, Caption());
        EXPECT_EQ(page, VisiblePage());
    }
}

// Another tab shows that tab's page, and the kind's tab is kept for the
// next node of that kind.
TEST_F(EditorTest, TabChangeShowsItsPageAndIsKeptForTheKind) {
    CVellumMenuObject* first = Bar("First", {}, {{"Type=Default", "Title=A"}});
    CVellumMenuObject* second = Bar("Second", {}, {{"Type=Default", "Title=B"}}, 200);
    ASSERT_NE(nullptr, OpenEditor());
    Select(NodeOf(first->m_sections[0]));
    HWND display = VisiblePage();
    HWND tabs = GetDlgItem(Editor(), 1056);
    TabCtrl_SetCurSel(tabs, 1);
    NMHDR change = {tabs, 1056, static_cast<UINT>(TCN_SELCHANGE)};
    SendMessageA(Editor(), WM_NOTIFY, 1056, reinterpret_cast<LPARAM>(&change));
    HWND arrangement = VisiblePage();
    EXPECT_NE(nullptr, arrangement);
    EXPECT_NE(display, arrangement);
    EXPECT_EQ(1, GetEditorLastTab(EditorNodeKind::Section));

    Select(NodeOf(second->m_sections[0]));
    EXPECT_EQ(1, TabCtrl_GetCurSel(tabs));
    EXPECT_EQ(second->m_sections[0]->m_pages[1], VisiblePage());
    // A node selected from outside on a given tab.
    EXPECT_EQ(1, SelectInThemeEditor(first, 2));
    EXPECT_EQ(2, TabCtrl_GetCurSel(tabs));
    EXPECT_EQ(first->m_pages[2], VisiblePage());
    EXPECT_EQ(0, SelectInThemeEditor(reinterpret_cast<void*>(0x1234), 0));

    // OK closes every page with the editor; the objects' slots are free.
    HWND pages[] = {display, arrangement, first->m_pages[2]};
    SendThemeEditorCommand(IDOK);
    EXPECT_EQ(nullptr, GetThemeEditorWindow());
    for (HWND page : pages) EXPECT_FALSE(IsWindow(page));
    for (HWND slot : first->m_sections[0]->m_pages) EXPECT_FALSE(slot && IsWindow(slot));
}

// The tree paints each header over its two empty rows: bold text from x 14
// and below it a rule that starts in the highlight colour and fades into
// the window colour.
TEST_F(EditorTest, HeaderRowsShowTheirTextAndRule) {
    Bar("Docked", {"DockToEdge=1"}, {{"Type=Default", "Title=D"}});
    Bar("Floating", {}, {{"Type=Default", "Title=F"}}, 200);
    ASSERT_NE(nullptr, OpenEditor());
    SetForegroundWindow(Editor());
    RedrawWindow(Tree(), nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW);
    PumpFor(100);
    RECT client = {};
    GetClientRect(Tree(), &client);
    POINT corner = {0, 0};
    ClientToScreen(Tree(), &corner);
    RECT screen = {corner.x, corner.y, corner.x + client.right, corner.y + client.bottom};
    testing_support::ScreenCapture capture(screen);
    ASSERT_TRUE(capture.Valid());
    const COLORREF window = GetSysColor(COLOR_WINDOW), highlight = GetSysColor(COLOR_HIGHLIGHT);
    auto close_to = [](COLORREF a, COLORREF b) {
        return std::abs(GetRValue(a) - GetRValue(b)) <= 24 && std::abs(GetGValue(a) - GetGValue(b)) <= 24 &&
               std::abs(GetBValue(a) - GetBValue(b)) <= 24;
    };
    std::vector<HTREEITEM> firsts;
    LPARAM last = 0;
    for (const Row& row : Rows())
        if (row.depth == 0 && row.text.empty() && row.data != last) {
            firsts.push_back(row.node);
            last = row.data;
        }
    ASSERT_EQ(2u, firsts.size());
    for (HTREEITEM first : firsts) {
        SCOPED_TRACE(first == firsts[0] ? "Docked Bars" : "Floating Bars");
        RECT row = {};
        TreeView_GetItemRect(Tree(), first, &row, FALSE);
        const int bottom = row.bottom + (row.bottom - row.top);   // two rows
        int text_pixels = 0, rule_y = -1;
        for (int y = row.top; y < bottom && y < capture.Height(); ++y) {
            for (int x = 14; x < 120 && x < capture.Width(); ++x)
                if (!close_to(capture.Pixel(x, y), window)) ++text_pixels;
            if (rule_y < 0 && close_to(capture.Pixel(2, y), highlight) && close_to(capture.Pixel(client.right - 4, y), window))
                rule_y = y;
        }
        EXPECT_GT(text_pixels, 20) << "the header text";
        EXPECT_GE(rule_y, row.top + 8) << "the rule under the text";
        for (int x = 0; x < 12; ++x)
            EXPECT_TRUE(close_to(capture.Pixel(x, row.top + 2), window)) << "no tree lines on a header, x " << x;
    }
}

// A drag from the tree starts with the section or item node under it (the
// drop lands where the pointer is, as the button is already up); a bar node
// starts none. The page shown afterwards is the selection's.
TEST_F(EditorTest, DraggedSectionAndItemNodesMoveAndBarNodesStay) {
    const std::vector<std::vector<std::string>> sections = {
        {"Type=Default", "Title=Apps", "Item1.Title=One", "Item1.ShowText=1", "Item2.Title=Two",
         "Item2.ShowText=1"},
        {"Type=Default", "Title=Tools", "Item1.Title=Hammer", "Item1.ShowText=1"},
    };
    auto contents = [](CVellumMenuObject* bar) {
        std::vector<std::string> out;
        for (int i = 0; i < kMaxSections && bar->m_sections[i]; ++i) {
            out.push_back(bar->m_sections[i]->Title);
            for (int j = 0; j < kMaxItems && bar->m_sections[i]->m_items[j]; ++j)
                out.push_back(std::string(">") + bar->m_sections[i]->m_items[j]->m_title);
        }
        return out;
    };
    const std::vector<std::string> kItemTabs = {"Display", "Behavior", "Hotkey"};
    const std::vector<std::string> kSectionTabs = {"Display", "Arrangement", "Behavior", "Extra Options"};
    struct Case {
        const char* what;
        std::function<const void*(CVellumMenuObject*)> dragged;
        std::function<const void*(CVellumMenuObject*)> onto;
        std::vector<std::string> after;
        bool moved;                      // the dragged node is selected afterwards
        std::vector<std::string> tabs;
    };
    const Case cases[] = {
        {"item onto another section's item", [](CVellumMenuObject* b) { return b->m_sections[0]->m_items[0]; },
         [](CVellumMenuObject* b) { return b->m_sections[1]->m_items[0]; },
         {"Apps", ">Two", "Tools", ">Hammer", ">One"}, true, kItemTabs},
        {"section onto the other section", [](CVellumMenuObject* b) { return b->m_sections[0]; },
         [](CVellumMenuObject* b) { return b->m_sections[1]; },
         {"Tools", ">Hammer", "Apps", ">One", ">Two"}, true, kSectionTabs},
        {"bar node", [](CVellumMenuObject* b) { return b; },
         [](CVellumMenuObject* b) { return b->m_sections[1]; },
         {"Apps", ">One", ">Two", "Tools", ">Hammer"}, false,
         {"Display", "Sizing && Positioning", "Advanced", "Extra Options", "Hotkey"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.what);
        CVellumMenuObject* bar = Bar("Dragged", {}, sections);
        ASSERT_NE(nullptr, OpenEditor());
        const void* dragged = c.dragged(bar);
        const HTREEITEM start = NodeOf(dragged);
        ASSERT_NE(nullptr, start);
        if (!c.moved) Select(start);
        HWND page_before = VisiblePage();
        const POINT drop = TextPoint(NodeOf(c.onto(bar)));
        SetCursorPos(drop.x, drop.y);
        PumpFor(30);

        NMTREEVIEWA drag = {};
        drag.hdr.hwndFrom = Tree();
        drag.hdr.idFrom = GetDlgCtrlID(Tree());
        drag.hdr.code = TVN_BEGINDRAGA;
        drag.itemNew.mask = TVIF_HANDLE | TVIF_PARAM;
        drag.itemNew.hItem = start;
        drag.itemNew.lParam = reinterpret_cast<LPARAM>(dragged);
        drag.ptDrag = drop;
        ScreenToClient(Tree(), &drag.ptDrag);
        SendMessageA(Editor(), WM_NOTIFY, drag.hdr.idFrom, reinterpret_cast<LPARAM>(&drag));
        PumpFor(30);

        EXPECT_EQ(c.after, contents(bar));
        HTREEITEM now = NodeOf(dragged);
        ASSERT_NE(nullptr, now) << "the dragged object lost its node";
        EXPECT_EQ(now, Selected());
        EXPECT_EQ(c.tabs, TabTexts());
        HWND page = VisiblePage();
        EXPECT_NE(nullptr, page);
        if (!c.moved) {
            EXPECT_EQ(page_before, page) << "a bar node is not dragged, nor its page rebuilt";
        }
        testing_support::CloseTestBar(bar, true);
    }
}

}  // namespace
}  // namespace editor_test
