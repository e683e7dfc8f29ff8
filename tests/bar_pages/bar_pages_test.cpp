// A bar's property pages: each change reaches the bar at once and its saved
// file; titles are refused only when the field is left; the pages that follow
// the orientation are made again; a skin that does not load leaves the old.
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include "pages_fixture.h"
#include "tests/support/stand_in_main_window.h"
#include "model/bar_host.h"
#include "model/vellum_menu_item.h"
#include "shell/app_state.h"
#include "shell/bar_pages.h"
#include "shell/bar_pages_resources.h"
#include "shell/section_pages_resources.h"
#include "skins/skin_record.h"

using namespace testing_support;

namespace pages_test {
namespace {

constexpr char kTitleCaption[] = "Tessellar Theme Editor";

class BarPagesTest : public PagesTest {};

// Runs `step` on a timer tick, again on each tick until it returns true, so
// that it can work a modal dialog the test has opened.
class WhileModal {
public:
    explicit WhileModal(std::function<bool()> step) : step_(std::move(step)) {
        current_ = this;
        timer_ = SetTimer(nullptr, 0, 40, Tick);
    }
    ~WhileModal() {
        KillTimer(nullptr, timer_);
        current_ = nullptr;
    }
    bool Done() const { return done_; }

private:
    static void CALLBACK Tick(HWND, UINT, UINT_PTR, DWORD) {
        WhileModal* self = current_;
        if (!self || self->done_ || self->running_) return;
        self->running_ = true;
        self->done_ = self->step_();
        self->running_ = false;
    }
    static WhileModal* current_;
    std::function<bool()> step_;
    UINT_PTR timer_ = 0;
    bool done_ = false;
    bool running_ = false;
};
WhileModal* WhileModal::current_ = nullptr;

// Typing a title sets it at once; only leaving the field checks it: an empty
// or taken title is refused with its box and the title before editing
// returns, a fresh one is kept and the popup items that list the bar follow.
// The field is entered and left either by its notifications alone or by
// the real keyboard focus on a shown page, where a refused field takes the
// focus back.
TEST_F(BarPagesTest, TitleIsCheckedWhenTheFieldIsLeft) {
    struct Case {
        const char* typed;
        const char* box;   // a part of the box's text, null: none
        const char* kept;
        bool real_focus;
    };
    const Case cases[] = {
        {"", "Please give this bar a title!", "Main", false},
        {"Other", "already in use by another bar", "Main", false},
        {"OTHER", "already in use by another bar", "Main", false},
        {"Renamed", nullptr, "Renamed", false},
        {"Other", "already in use by another bar", "Main", true},
        {"Renamed", nullptr, "Renamed", true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.typed) + (c.real_focus ? " by focus" : ""));
        CVellumMenuObject* bar = Bar("Main");
        CVellumMenuObject* other = Bar("Other", {},
                                       {"[Section1]", "Item1.Type=Popup", "Item1.Title=Opens main",
                                        "Item1.Popup.nBarsToPopup=1", "Item1.Popup.szBar0=Main"});
        HWND page = bar->CallConfigDialog(Host());
        ASSERT_NE(nullptr, page);
        EXPECT_EQ(page, bar->CallConfigDialog(Host())) << "made once";
        HWND field = GetDlgItem(page, IDC_BAR_TITLE);
        MessageBoxWatcher boxes(IDOK);
        if (c.real_focus) {
            ShowWindow(page, SW_SHOW);
            SetForegroundWindow(Host());
            SetFocus(field);
            ASSERT_EQ(field, GetFocus());
        } else {
            Notify(page, IDC_BAR_TITLE, EN_SETFOCUS);
        }
        Type(page, IDC_BAR_TITLE, c.typed);
        if (c.typed[0]) {
            EXPECT_STREQ(c.typed, bar->Title) << "applied while typing";
        }
        EXPECT_EQ(0u, boxes.Count()) << "no box while typing";
        if (c.real_focus)
            SetFocus(GetDlgItem(page, IDC_BAR_COMMENTS));
        else
            Notify(page, IDC_BAR_TITLE, EN_KILLFOCUS);
        PumpUntil([&] { return !c.box || boxes.Count() > 0; }, 3000);
        if (c.box) {
            ASSERT_EQ(1u, boxes.Count());
            EXPECT_EQ(kTitleCaption, boxes.Seen()[0].caption);
            EXPECT_NE(std::string::npos, boxes.Seen()[0].text.find(c.box));
            if (c.real_focus) {
                EXPECT_EQ(field, GetFocus()) << "the refused field takes the focus back";
            }
        } else {
            EXPECT_EQ(0u, boxes.Count());
        }
        EXPECT_STREQ(c.kept, bar->Title);
        EXPECT_EQ(c.kept, TextOf(page, IDC_BAR_TITLE));
        EXPECT_EQ(c.kept, Saved(bar, "Object", "Title"));
        // The popup item on the other bar names the bar by its kept title.
        EXPECT_EQ(c.kept, Saved(other, "Section1", "Item1.Popup.szBar0"));
        CloseEveryTestBar();
    }
}

// Each entry of the docking list stores its edge, by the bar's orientation.
TEST_F(BarPagesTest, DockingListStoresTheEdge) {
    struct Case {
        bool vertical;
        int row;
        int edge;
    };
    const Case cases[] = {{false, 1, 1}, {false, 2, 3}, {false, 0, -1},
                          {true, 1, 0},  {true, 2, 2},  {true, 0, -1}};
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.vertical) + " row " + std::to_string(c.row));
        CVellumMenuObject* bar =
            Bar("Dock", {c.vertical ? "DisplayVertically=1" : "DisplayVertically=0",
                         c.edge == -1 ? "DockToEdge=1" : "DockToEdge=-1"});
        HWND page = bar->CallConfigDialogEx(Host());
        ASSERT_NE(nullptr, page);
        Choose(page, IDC_BAR_DOCK, c.row);
        EXPECT_EQ(c.edge, bar->DockToEdge);
        // A docked bar is placed against its new edge at once.
        RECT place = {};
        GetWindowRect(bar->m_hWnd, &place);
        const RECT screen = {0, 0, GetSystemMetrics(SM_CXSCREEN), GetSystemMetrics(SM_CYSCREEN)};
        switch (c.edge) {
        case 0: EXPECT_EQ(screen.left, place.left); break;
        case 1: EXPECT_EQ(screen.top, place.top); break;
        case 2: EXPECT_EQ(screen.right, place.right); break;
        case 3: EXPECT_EQ(screen.bottom, place.bottom); break;
        default: break;
        }
        EXPECT_EQ(std::to_string(c.edge), Saved(bar, "Object", "DockToEdge", "-1"));
        CloseEveryTestBar();
    }
}

// The autohide edge can be chosen only for a floating bar that hides; its
// first entry means the nearest edge (-1). Switching autohide on enables the
// skin-autohide check of the Extra Options page and has the stats monitor
// look at its mouse hook again.
TEST_F(BarPagesTest, AutohideEdgeNearestStoresMinusOne) {
    static int hook_checks = 0;
    hook_checks = 0;
    GetBarHostServices().UpdateMouseHook = [] { ++hook_checks; };
    CVellumMenuObject* bar = Bar("Hide", {"DockToEdge=-1", "UseAutohide=0", "ForcedAutoHideEdge=2"});
    HWND page = bar->CallConfigDialogEx(Host());
    HWND extra = bar->CallConfigDialogExtra(Host());
    ASSERT_TRUE(page && extra);
    EXPECT_FALSE(IsEnabled(page, IDC_BAR_AUTOHIDE_EDGE));
    EXPECT_EQ(0, Row(page, IDC_BAR_AUTOHIDE_EDGE));
    EXPECT_FALSE(IsEnabled(extra, IDC_BAR_IGNORE_SKIN_AUTOHIDE));
    Click(page, IDC_BAR_AUTOHIDE, true);
    EXPECT_TRUE(bar->UseAutohide);
    EXPECT_EQ(1, hook_checks);
    EXPECT_TRUE(IsEnabled(extra, IDC_BAR_IGNORE_SKIN_AUTOHIDE));
    EXPECT_TRUE(IsEnabled(page, IDC_BAR_AUTOHIDE_EDGE));
    EXPECT_EQ(3, Row(page, IDC_BAR_AUTOHIDE_EDGE)) << "the stored right edge";
    Choose(page, IDC_BAR_AUTOHIDE_EDGE, 0);
    EXPECT_EQ(-1, bar->ForcedAutoHideEdge);
    EXPECT_EQ("-1", Saved(bar, "Object", "ForcedAutoHideEdge"));
    // Docked, the bar hides against its own edge: the choice is greyed.
    Choose(page, IDC_BAR_DOCK, 1);
    EXPECT_FALSE(IsEnabled(page, IDC_BAR_AUTOHIDE_EDGE));
    EXPECT_EQ(0, Row(page, IDC_BAR_AUTOHIDE_EDGE));
}

// "More Bar Sizing/Positioning Options" opens over the Sizing page, stores
// each choice at once, and its OK closes only itself.
TEST_F(BarPagesTest, MoreSizingOptionsStoreTheirKeys) {
    struct Choice {
        int id;
        const char* key;
    };
    const Choice choices[] = {
        {IDC_BAR_RESIZE_LEFT, "ResizingMovingLeft"}, {IDC_BAR_RESIZE_UP, "ResizingMovingUp"},
        {IDC_BAR_RESTRICT_SIZE, "bRestrictMaximumSize"}, {IDC_BAR_ALIGN_X, "bAlignX"},
        {IDC_BAR_ALIGN_Y, "bAlignY"},
    };
    CVellumMenuObject* bar = Bar("More", {"bAlignX=0", "bAlignY=0"});
    HWND sizing = bar->CallConfigDialogEx(Host());
    ASSERT_NE(nullptr, sizing);
    for (const Choice& c : choices) EXPECT_EQ("0", Saved(bar, "Object", c.key, "0")) << c.key;
    bar->m_modified = FALSE;
    WhileModal script([&] {
        HWND more = FindWindowA("#32770", "More Bar Sizing/Positioning Options");
        if (!more) return false;
        for (const Choice& c : choices) {
            if (c.id == IDC_BAR_RESTRICT_SIZE)
                Click(more, c.id, true);
            else
                Choose(more, c.id, 1);
        }
        SendMessageA(more, WM_COMMAND, IDOK, 0);
        return true;
    });
    Notify(sizing, IDC_BAR_MORE_SIZING, BN_CLICKED);   // returns when the dialog closes
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(bar->m_modified);
    for (const Choice& c : choices) EXPECT_EQ("1", Saved(bar, "Object", c.key, "0")) << c.key;
    EXPECT_EQ(sizing, bar->m_pages[kBarSizingPage]) << "the Sizing page stays";
    EXPECT_TRUE(IsWindow(sizing));
}

// The override applies the track bar's value; unchecking stores -1 and
// leaves the track bar where it was.
TEST_F(BarPagesTest, TransparencyOverride) {
    CVellumMenuObject* bar = Bar("Glass", {"Alpha=-1"});
    HWND page = bar->CallConfigDialogAdv(Host());
    ASSERT_NE(nullptr, page);
    HWND track = GetDlgItem(page, IDC_ADV_ALPHA);
    EXPECT_FALSE(IsChecked(page, IDC_ADV_OVERRIDE_ALPHA));
    EXPECT_EQ(255, SendMessageA(track, TBM_GETPOS, 0, 0));
    SendMessageA(track, TBM_SETPOS, TRUE, 128);
    Click(page, IDC_ADV_OVERRIDE_ALPHA, true);
    EXPECT_EQ(128, bar->Alpha);
    EXPECT_EQ("128", Saved(bar, "Object", "Alpha"));
    BYTE alpha = 0;
    DWORD flags = 0;
    ASSERT_TRUE(GetLayeredWindowAttributes(bar->m_hWnd, nullptr, &alpha, &flags));
    EXPECT_TRUE(flags & LWA_ALPHA);
    EXPECT_EQ(128, alpha);
    // Moving the track bar while overriding follows at once.
    SendMessageA(track, TBM_SETPOS, TRUE, 200);
    SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 200), reinterpret_cast<LPARAM>(track));
    EXPECT_EQ(200, bar->Alpha);
    Click(page, IDC_ADV_OVERRIDE_ALPHA, false);
    EXPECT_EQ(-1, bar->Alpha);
    EXPECT_EQ(200, SendMessageA(track, TBM_GETPOS, 0, 0));
    EXPECT_EQ("-1", Saved(bar, "Object", "Alpha", "-1"));
    // The skin sets no transparency: the bar is opaque again.
    EXPECT_EQ(0, GetWindowLongA(bar->m_hWnd, GWL_EXSTYLE) & WS_EX_LAYERED);
    // Moving the track bar without the override changes nothing.
    SendMessageA(track, TBM_SETPOS, TRUE, 90);
    SendMessageA(page, WM_HSCROLL, MAKEWPARAM(TB_THUMBPOSITION, 90), reinterpret_cast<LPARAM>(track));
    EXPECT_EQ(-1, bar->Alpha);
}

// Blocking the Hazeglow shadow takes the shadow marks off the bar window,
// unblocking puts the first back; either way a box says the theme must be
// reloaded.
TEST_F(BarPagesTest, HazeglowBlockSetsTheShadowMarks) {
    CVellumMenuObject* bar = Bar("Shadow");
    HWND page = bar->CallConfigDialogAdv(Host());
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), GetPropA(bar->m_hWnd, "ADDSHADOW"));
    SetPropA(bar->m_hWnd, "HZL", reinterpret_cast<HANDLE>(7));
    for (bool block : {true, false}) {
        SCOPED_TRACE(block);
        MessageBoxWatcher boxes(IDOK);
        Click(page, IDC_ADV_BLOCK_HAZEGLOW, block);
        EXPECT_EQ(block, bar->BlockHazeglow != FALSE);
        EXPECT_EQ(block ? nullptr : reinterpret_cast<HANDLE>(1), GetPropA(bar->m_hWnd, "ADDSHADOW"));
        EXPECT_EQ(nullptr, GetPropA(bar->m_hWnd, "HZL"));
        ASSERT_EQ(1u, boxes.Count());
        EXPECT_EQ("Tessellar - Restart to Show Setting Change", boxes.Seen()[0].caption);
        EXPECT_EQ(block ? "1" : "0", Saved(bar, "Object", "BlockHazeglow", "0"));
    }
}

// A size rule's kind decides which of its fields can be edited, and the
// values reach the bar and its file.
TEST_F(BarPagesTest, SizeRuleKindsEnableTheirFields) {
    struct Case {
        int kind;
        bool pixels_enabled;
        bool sign_enabled;
    };
    const Case cases[] = {{0, false, false}, {1, true, false}, {2, true, true}, {5, true, true}};
    CVellumMenuObject* bar = Bar("Rules");
    HWND page = bar->CallConfigDialogAdv(Host());
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(8, SendDlgItemMessageA(page, IDC_ADV_MAX_WIDTH_KIND, CB_GETCOUNT, 0, 0));
    // Width rules speak of the width, height rules of the height.
    char width_text[64] = "", height_text[64] = "";
    SendDlgItemMessageA(page, IDC_ADV_MAX_WIDTH_KIND, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(width_text));
    SendDlgItemMessageA(page, IDC_ADV_MAX_HEIGHT_KIND, CB_GETLBTEXT, 2, reinterpret_cast<LPARAM>(height_text));
    EXPECT_STREQ("Width of screen", width_text);
    EXPECT_STREQ("Height of screen", height_text);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        Choose(page, IDC_ADV_MAX_WIDTH_KIND, c.kind);
        EXPECT_EQ(c.kind, bar->ptMAX.modifiers.x);
        EXPECT_EQ(c.pixels_enabled, IsEnabled(page, IDC_ADV_MAX_WIDTH));
        EXPECT_EQ(c.sign_enabled, IsEnabled(page, IDC_ADV_MAX_WIDTH_SIGN));
    }
    Type(page, IDC_ADV_MAX_WIDTH, "40");
    Choose(page, IDC_ADV_MAX_WIDTH_SIGN, 1);
    EXPECT_EQ(40, bar->ptMAX.pixels.x);
    EXPECT_EQ(1, bar->ptMAX.subtract.x);
    EXPECT_EQ("5", Saved(bar, "Object", "ptMAXModifiers.x"));
    EXPECT_EQ("40", Saved(bar, "Object", "ptMAXPixels.x"));
    EXPECT_EQ("1", Saved(bar, "Object", "ptMAXSubtract.x"));
}

// Closing the Sizing page takes the Advanced page's values into the bar first.
TEST_F(BarPagesTest, SizingPageOkTakesTheAdvancedValuesFirst) {
    CVellumMenuObject* bar = Bar("Rules");
    HWND advanced = bar->CallConfigDialogAdv(Host());
    HWND sizing = bar->CallConfigDialogEx(Host());
    ASSERT_TRUE(advanced && sizing);
    Type(advanced, IDC_ADV_MIN_HEIGHT, "77");
    bar->ptMIN.pixels.y = 5;   // changed behind the page's back
    SendMessageA(sizing, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(sizing));
    EXPECT_EQ(nullptr, bar->m_pages[kBarSizingPage]);
    EXPECT_EQ(77, bar->ptMIN.pixels.y);
    EXPECT_EQ(1, ExchangeBarSizeRules(bar, 0)) << "the Advanced page stays";
}

// Turning the bar vertical rebuilds the visible Display page from the
// vertical template, in the same place, and a section's visible Arrangement
// page likewise; a page not showing is only closed. The Sizing page lists
// the vertical docking edges.
TEST_F(BarPagesTest, GoingVerticalRebuildsTheDisplayPage) {
    CVellumMenuObject* bar = Bar("Turn", {"DisplayVertically=0"}, {"[Section1]", "[Section2]"});
    ASSERT_NE(nullptr, bar->m_sections[1]);
    HWND display = bar->CallConfigDialog(Host());
    HWND sizing = bar->CallConfigDialogEx(Host());
    HWND shown_arrangement = bar->m_sections[0]->CallConfigDialog2(Host());
    HWND hidden_arrangement = bar->m_sections[1]->CallConfigDialog2(Host());
    ASSERT_TRUE(display && sizing && shown_arrangement && hidden_arrangement);
    EXPECT_EQ(nullptr, GetDlgItem(display, IDC_BAR_WIDTH_RESIZABLE));
    EXPECT_NE(nullptr, GetDlgItem(shown_arrangement, IDC_SEC_EQUAL_SIZES));
    ShowWindow(display, SW_SHOW);
    SetWindowPos(display, nullptr, 12, 34, 0, 0, SWP_NOSIZE | SWP_NOZORDER);
    ShowWindow(shown_arrangement, SW_SHOW);
    Choose(sizing, IDC_BAR_ORIENTATION, 1);
    EXPECT_TRUE(bar->DisplayVertically);
    EXPECT_EQ("1", Saved(bar, "Object", "DisplayVertically"));
    HWND rebuilt = bar->m_pages[kBarDisplayPage];
    ASSERT_NE(nullptr, rebuilt);
    EXPECT_FALSE(IsWindow(display));
    EXPECT_NE(nullptr, GetDlgItem(rebuilt, IDC_BAR_WIDTH_RESIZABLE));
    EXPECT_TRUE(IsWindowVisible(rebuilt));
    RECT place = {};
    GetWindowRect(rebuilt, &place);
    MapWindowPoints(nullptr, Host(), reinterpret_cast<POINT*>(&place), 2);
    EXPECT_EQ(12, place.left);
    EXPECT_EQ(34, place.top);
    HWND rebuilt_arrangement = bar->m_sections[0]->m_pages[kSectionArrangementPage];
    ASSERT_NE(nullptr, rebuilt_arrangement);
    EXPECT_FALSE(IsWindow(shown_arrangement));
    EXPECT_EQ(nullptr, GetDlgItem(rebuilt_arrangement, IDC_SEC_EQUAL_SIZES)) << "the vertical template";
    EXPECT_TRUE(IsWindowVisible(rebuilt_arrangement));
    EXPECT_FALSE(IsWindow(hidden_arrangement));
    EXPECT_EQ(nullptr, bar->m_sections[1]->m_pages[kSectionArrangementPage]);
    char text[64] = "";
    SendDlgItemMessageA(sizing, IDC_BAR_DOCK, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("Dock to Left Edge", text);
}

// The Extra Options page serves both halves' controls and closes only itself.
TEST_F(BarPagesTest, ExtraOptionsServeBothHalves) {
    CVellumMenuObject* bar = Bar("Extra", {"ShowTitle=0", "AlwaysOnTopOrder=0", "UseAutohide=0"});
    HWND display = bar->CallConfigDialog(Host());
    HWND extra = bar->CallConfigDialogExtra(Host());
    ASSERT_TRUE(display && extra);
    EXPECT_FALSE(IsEnabled(extra, IDC_BAR_IGNORE_SKIN_AUTOHIDE));
    EXPECT_EQ(11, SendDlgItemMessageA(extra, IDC_BAR_LAYER, CB_GETCOUNT, 0, 0));
    Click(extra, IDC_BAR_SHOW_TITLE, true);
    Choose(extra, IDC_BAR_LAYER, 10);
    EXPECT_TRUE(IsChecked(extra, IDC_BAR_TAB_STOP)) << "a tab stop unless the file says not";
    Click(extra, IDC_BAR_TAB_STOP, false);
    EXPECT_TRUE(bar->ShowTitle);
    EXPECT_EQ(10, bar->AlwaysOnTopOrder);
    EXPECT_EQ("1", Saved(bar, "Object", "ShowTitle"));
    EXPECT_EQ("10", Saved(bar, "Object", "AlwaysOnTopOrder"));
    EXPECT_EQ("0", Saved(bar, "Object", "IsATabStop"));
    SendMessageA(extra, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(extra));
    EXPECT_EQ(nullptr, bar->m_pages[kBarExtraPage]);
    EXPECT_EQ(display, bar->m_pages[kBarDisplayPage]) << "the Display page stays";
}

// A comment keeps no soft line breaks of the edit field, so opening and
// saving leaves it as it was.
TEST_F(BarPagesTest, CommentsKeepNoSoftLineBreaks) {
    const std::string comment(400, 'w');
    CVellumMenuObject* bar = Bar("Notes");
    HWND page = bar->CallConfigDialog(Host());
    ASSERT_NE(nullptr, page);
    Type(page, IDC_BAR_COMMENTS, (comment + " two words").c_str());
    // The field breaks the long line at its wraps and reports them.
    SendDlgItemMessageA(page, IDC_BAR_COMMENTS, EM_FMTLINES, TRUE, 0);
    Notify(page, IDC_BAR_COMMENTS, EN_UPDATE);
    EXPECT_STREQ((comment + " two words").c_str(), bar->Comments);
    Saved(bar, "Object", "Comments");
    CVellumMenuObject* again = LoadBar(bar->m_barFile);
    ASSERT_NE(nullptr, again->Comments);
    EXPECT_STREQ((comment + " two words").c_str(), again->Comments);
}

// A skin is loaded before the old one is let go: one that does not load
// leaves the bar as it was.
TEST_F(BarPagesTest, SkinThatDoesNotLoadLeavesTheOldOne) {
    CVellumMenuObject* bar = Bar("Skinned");
    ASSERT_NE(nullptr, bar->m_skin);
    SkinRecord* old = bar->m_skin;
    EXPECT_FALSE(ApplyBarSkin(bar, root_.File("skins\\missing.tsskin").c_str(), false));
    EXPECT_FALSE(ApplyBarSkin(bar, "", false));
    EXPECT_EQ(old, bar->m_skin);
    EXPECT_STREQ("Plain", bar->m_skin->SkinName);
    EXPECT_EQ(" Plain", CurrentSkinText(bar));

    EXPECT_TRUE(ApplyBarSkin(bar, other_skin_.c_str(), true));
    EXPECT_STREQ("Other", bar->m_skin->SkinName);
    EXPECT_EQ(" Other (skins)", CurrentSkinText(bar)) << "a skin of another theme names its folder";
    EXPECT_NE(std::string::npos, Saved(bar, "Object", "LastSkin").find("other.tsskin"));
}

// Through "Change Skin...": a listed skin whose file has gone since the list
// was made changes nothing; another one applies at once, and the Display
// page names it when the chooser closes. Without the skinning product its
// choice is greyed.
TEST_F(BarPagesTest, SkinChooserKeepsTheSkinWhenTheChosenOneDoesNotLoad) {
    ASSERT_TRUE(root_.Write("skins\\gone.tsskin", "[General]\r\nSkinName=Gone\r\nItemHeight=20\r\n"));
    ASSERT_TRUE(root_.Write("skins\\t.tstheme", "[Theme Info]\r\nName=T\r\n"));
    ASSERT_TRUE(SetCurrentThemeFile(root_.File("skins\\t.tstheme").c_str()));
    CVellumMenuObject* bar = Bar("Chooser");
    HWND display = bar->CallConfigDialog(Host());
    ASSERT_NE(nullptr, display);
    SkinRecord* old = bar->m_skin;
    bool from_theme = false, kept_after_gone = false, lumivane_offered = true;
    std::string after_other;
    WhileModal script([&] {
        HWND chooser = FindWindowA("#32770", "Change Skin...");
        if (!chooser) return false;
        from_theme = IsChecked(chooser, IDC_SKIN_FROM_THEME);
        lumivane_offered = IsEnabled(chooser, IDC_SKIN_FROM_LUMIVANE) ||
                           IsEnabled(chooser, IDC_SKIN_LUMIVANE_ELEMENT);
        HWND list = GetDlgItem(chooser, IDC_SKIN_THEME_SKINS);
        const int gone = static_cast<int>(SendMessageA(list, CB_FINDSTRING, -1, (LPARAM) "Gone"));
        const int other = static_cast<int>(SendMessageA(list, CB_FINDSTRING, -1, (LPARAM) "Other"));
        if (gone >= 0 && other >= 0) {
            DeleteFileA(root_.File("skins\\gone.tsskin").c_str());
            Choose(chooser, IDC_SKIN_THEME_SKINS, gone);
            kept_after_gone = bar->m_skin == old && lstrcmpA(bar->m_skin->SkinName, "Plain") == 0;
            Choose(chooser, IDC_SKIN_THEME_SKINS, other);
            after_other = bar->m_skin ? bar->m_skin->SkinName : "";
        }
        SendMessageA(chooser, WM_COMMAND, IDOK, 0);
        return true;
    });
    Click(display, IDC_BAR_CHANGE_SKIN, false);   // returns when the chooser closes
    EXPECT_TRUE(script.Done());
    EXPECT_TRUE(from_theme) << "the bar's skin lies in the theme folder";
    EXPECT_FALSE(lumivane_offered) << "the product's key is missing here";
    EXPECT_TRUE(kept_after_gone);
    EXPECT_EQ("Other", after_other);
    EXPECT_EQ(" Other", TextOf(display, IDC_BAR_CURRENT_SKIN));
    EXPECT_NE(std::string::npos, Saved(bar, "Object", "LastSkin").find("other.tsskin"));
    SetCurrentThemeFile("");
}

// The Hotkey page: the options follow the radios (moving under the mouse
// only for a floating bar), and a shortcut reaches the bar.
TEST_F(BarPagesTest, HotkeyOptionsFollowTheRadios) {
    for (const char* dock : {"DockToEdge=-1", "DockToEdge=1"}) {
        SCOPED_TRACE(dock);
        const bool floating = dock[11] == '-';
        CVellumMenuObject* bar = Bar("Keys", {dock});
        HWND page = bar->CallConfigDialogKeyboard(Host());
        ASSERT_NE(nullptr, page);
        EXPECT_TRUE(IsChecked(page, 1341));
        EXPECT_FALSE(IsEnabled(page, IDC_BARKEY_HIDE_UNTIL));
        EXPECT_FALSE(IsEnabled(page, IDC_BARKEY_RESHOW_UNDER_MOUSE));
        CheckDlgButton(page, 1341, BST_UNCHECKED);
        CheckDlgButton(page, 1137, BST_CHECKED);
        SendDlgItemMessageA(page, 1342, HKM_SETHOTKEY, MAKEWORD('K', HOTKEYF_CONTROL), 0);
        Notify(page, 1137, BN_CLICKED);
        EXPECT_EQ('K', bar->vkHotkey);
        EXPECT_EQ(MOD_CONTROL, bar->vkHotkeyModifiers);
        EXPECT_TRUE(IsEnabled(page, IDC_BARKEY_HIDE_UNTIL));
        EXPECT_FALSE(IsEnabled(page, IDC_BARKEY_RESHOW_UNDER_MOUSE));
        Click(page, IDC_BARKEY_HIDE_UNTIL, true);
        EXPECT_TRUE(bar->bHideBarUntilHotkey);
        EXPECT_EQ(floating, IsEnabled(page, IDC_BARKEY_RESHOW_UNDER_MOUSE));
        EXPECT_EQ("75", Saved(bar, "Object", "vkHotkey"));
        EXPECT_EQ("1", Saved(bar, "Object", "bHideBarUntilHotkey"));
        CloseEveryTestBar();
    }
}

}  // namespace
}  // namespace pages_test
