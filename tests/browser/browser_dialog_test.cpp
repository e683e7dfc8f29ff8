// The browser window in-process: the modal file chooser, the styles combo,
// the web tab, and deleting themes and bars.
#include <gtest/gtest.h>

#include <windows.h>
#include <commctrl.h>

#include <string>
#include <vector>

#include "shell/app_state.h"
#include "shell/browser_resources.h"
#include "shell/theme_browser.h"
#include "shell/theme_file.h"
#include "shell/web_pages.h"
#include "tests/browser/browser_fixture.h"
#include "tests/support/skin_fixtures.h"
#include "tests/support/test_support.h"
#include "util/text.h"

using namespace browser_test;
using namespace testing_support;

namespace {

constexpr char kFolder[] = "BrowserDialogThemes\\";

std::string Theme(const std::string& name) { return "[Theme Info]\r\nName=" + name + "\r\n[OpenBars]\r\n"; }

// Files below the themes root (the test program's folder), removed at the end.
class RootFiles {
public:
    RootFiles() { RemoveTree(BinFolder() + kFolder); }
    ~RootFiles() {
        RemoveTree(BinFolder() + kFolder);
        for (const std::string& f : loose_) DeleteFileA(f.c_str());
    }
    std::string Put(const std::string& relative, const std::string& content) {
        const std::string full = BinFolder() + kFolder + relative;
        for (size_t pos = BinFolder().size(); (pos = full.find('\\', pos)) != std::string::npos; ++pos)
            CreateDirectoryA(full.substr(0, pos).c_str(), nullptr);
        WriteFileBytes(full, content);
        return full;
    }
    // A file lying directly in the themes root.
    std::string PutLoose(const std::string& name, const std::string& content) {
        const std::string full = BinFolder() + name;
        WriteFileBytes(full, content);
        loose_.push_back(full);
        return full;
    }
    std::string Path(const std::string& relative) const { return BinFolder() + kFolder + relative; }

private:
    std::vector<std::string> loose_;
};

int PositionOf(int tab, const std::string& path) {
    const BrowserTable& table = GetBrowserTable(tab);
    for (size_t i = 0; i < table.size(); ++i)
        for (const auto& style : table[i]->styles)
            if (lstrcmpiA(style->path, path.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

void Select(HWND dlg, int tab, int position) {
    HWND list = GetDlgItem(dlg, kBrowserListIds[tab]);
    SendMessageA(list, LB_SETCURSEL, position, 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(kBrowserListIds[tab], LBN_SELCHANGE), reinterpret_cast<LPARAM>(list));
}

void Click(HWND dlg, int id) {
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(id, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(dlg, id)));
}

void ClickView(HWND dlg, int item) {
    NMITEMACTIVATE click = {};
    click.hdr.hwndFrom = GetDlgItem(dlg, IDC_TB_TABS);
    click.hdr.idFrom = IDC_TB_TABS;
    click.hdr.code = NM_CLICK;
    click.iItem = item;
    SendMessageA(dlg, WM_NOTIFY, IDC_TB_TABS, reinterpret_cast<LPARAM>(&click));
}

std::string Title(HWND wnd) {
    char text[256] = "";
    GetWindowTextA(wnd, text, sizeof(text));
    return text;
}

std::vector<std::string> g_opened_pages;
void RecordPage(const char* url) { g_opened_pages.push_back(url); }

class BrowserDialogTest : public ::testing::Test {
protected:
    void SetUp() override {
        saved_opener_ = WebPageOpenerFunction();
        WebPageOpenerFunction() = RecordPage;
        g_opened_pages.clear();
    }
    void TearDown() override {
        if (HWND dlg = GetThemeBrowserWindow()) DestroyWindow(dlg);
        FreeBrowserResources();
        CurrentThemeInfo().AutoSaveOption = 2;
        CloseThemeBarsWithoutSaving();
        WebPageOpenerFunction() = saved_opener_;
    }
    HWND OpenModeless(int tab) {
        ShowThemeBrowser(tab);
        HWND dlg = GetThemeBrowserWindow();
        PumpFor(50);
        return dlg;
    }
    WebPageOpener saved_opener_ = nullptr;
    RootFiles files_;
};

// The modal browser runs its own loop: a timer does the user's part.
struct ModalScript {
    std::string bar;
    bool load;
    std::string title;
    std::vector<std::string> view;
    bool list_shown = false, bar_buttons_shown = true;
    bool done = false;
};
ModalScript* g_script = nullptr;

void CALLBACK DriveModal(HWND, UINT, UINT_PTR id, DWORD) {
    HWND dlg = GetThemeBrowserWindow();
    if (!dlg || !g_script || g_script->done) return;
    KillTimer(nullptr, id);
    g_script->done = true;
    PumpFor(50);
    g_script->title = Title(dlg);
    HWND view = GetDlgItem(dlg, IDC_TB_TABS);
    const int count = static_cast<int>(SendMessageA(view, LVM_GETITEMCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        char text[64] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(view, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        g_script->view.push_back(text);
    }
    // The dialog itself may not be on screen yet: the controls' own style.
    auto shown = [dlg](int id) { return (GetWindowLongPtrA(GetDlgItem(dlg, id), GWL_STYLE) & WS_VISIBLE) != 0; };
    g_script->list_shown = shown(IDC_TB_ALL_BARS);
    g_script->bar_buttons_shown = shown(IDC_TB_DELETE_BAR);
    Select(dlg, 3, PositionOf(3, g_script->bar));
    Click(dlg, g_script->load ? IDOK : IDCANCEL);
}

}  // namespace

TEST_F(BrowserDialogTest, TheModalBrowserReturnsTheChosenBar) {
    const std::string bar = files_.Put("Pick\\Bars\\pick.tsbar", "[Object]\r\nTitle=pick\r\n");
    for (bool load : {true, false}) {
        SCOPED_TRACE(load ? "Load" : "Close");
        ModalScript script;
        script.bar = bar;
        script.load = load;
        g_script = &script;
        char buffer[MAX_PATH] = "Select Bar to Popup";
        const UINT_PTR timer = SetTimer(nullptr, 0, 30, DriveModal);
        ShowThemeBrowser(3, buffer, sizeof(buffer));
        KillTimer(nullptr, timer);
        g_script = nullptr;
        ASSERT_TRUE(script.done);
        EXPECT_EQ("Select Bar to Popup", script.title);
        EXPECT_EQ((std::vector<std::string>{"Bars from This Theme", "All Available Bars"}), script.view);
        EXPECT_TRUE(script.list_shown);
        EXPECT_FALSE(script.bar_buttons_shown);
        EXPECT_STREQ(load ? bar.c_str() : "", buffer);
        EXPECT_EQ(nullptr, GetThemeBrowserWindow());
    }
}

TEST_F(BrowserDialogTest, TheStylesComboFollowsTheSelectedTheme) {
    const std::string ocean = files_.Put("Ocean\\Ocean.tstheme", Theme("Ocean"));
    files_.Put("Ocean\\Ocean Storm.tstheme", Theme("Ocean Storm"));
    const std::string plain = files_.Put("Plain\\Plain.tstheme", Theme("Plain"));
    HWND dlg = OpenModeless(0);
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ("Tessellar - Theme Browser", Title(dlg));
    HWND combo = GetDlgItem(dlg, IDC_TB_STYLES);
    Select(dlg, 0, PositionOf(0, ocean));
    ASSERT_EQ(2, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    char text[64] = "";
    SendMessageA(combo, CB_GETLBTEXT, 0, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("Ocean", text);
    SendMessageA(combo, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("Storm", text);
    EXPECT_TRUE(IsWindowEnabled(combo));
    // Choosing a style makes it the entry's current one.
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_TB_STYLES, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    EXPECT_EQ(1, GetBrowserTable(0)[PositionOf(0, ocean)]->current_style);
    Select(dlg, 0, PositionOf(0, plain));
    EXPECT_EQ(0, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    EXPECT_FALSE(IsWindowEnabled(combo));

    // Recent themes: its own title and button; the web tab only opens the page.
    ClickView(dlg, 1);
    EXPECT_EQ("Tessellar - Recent Theme Browser", Title(dlg));
    PumpFor(50);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, IDC_TB_RESET_RECENT)));
    EXPECT_FALSE(IsWindowVisible(GetDlgItem(dlg, IDC_TB_DELETE)));
    ClickView(dlg, 4);
    EXPECT_EQ("Tessellar - Recent Theme Browser", Title(dlg));
    ASSERT_EQ(1u, g_opened_pages.size());
    EXPECT_EQ(kThemeLibraryPageUrl, g_opened_pages[0]);
}

TEST_F(BrowserDialogTest, DeletingThemes) {
    // Names with " Blue" come first: this one is the first entry.
    const std::string first = files_.Put("First\\First.tstheme", Theme("First Blue"));
    const std::string current = files_.Put("Cur\\Cur.tstheme", Theme("Cur"));
    const std::string other = files_.Put("Other\\Other.tstheme", Theme("Other"));
    files_.Put("Other\\Other Night.tstheme", Theme("Other Night"));
    files_.Put("Other\\Other_ss.bmp", "BM");
    const std::string single = files_.Put("Single\\Single.tstheme", Theme("Single"));
    const std::string loose = files_.PutLoose("BrowserLoose.tstheme", Theme("Loose"));
    const std::string loose_picture = files_.PutLoose("BrowserLoose_ss.bmp", "BM");
    const std::string neighbour = files_.PutLoose("BrowserLoose.txt", "stays");
    ASSERT_TRUE(LoadThemeFile(current.c_str(), 0));

    struct Case {
        const char* name;
        std::string file;
        std::string caption;
        std::string text_part;
        std::vector<std::string> gone, kept;
    };
    const Case cases[] = {
        {"the current theme", current, "Tessellar - Cannot Delete Theme", "currently using it", {},
         {files_.Path("Cur\\Cur.tstheme")}},
        {"a theme with styles", other, "Tessellar - Confirm Delete Theme",
         "theme \"Other\"?\n\nRemember that you cannot delete just one style", {files_.Path("Other")},
         {files_.Path("Cur")}},
        {"a theme with one style", single, "Tessellar - Confirm Delete Theme", "the theme \"Single\"?",
         {files_.Path("Single")}, {}},
        // Only the file and its picture: never the themes root.
        {"a theme file in the root", loose, "Tessellar - Confirm Delete Theme", "the theme \"Loose\"?",
         {loose, loose_picture}, {neighbour, BinFolder() + "browser_tests.exe", files_.Path("Cur")}},
    };
    ASSERT_FALSE(TrashFiles().empty());
    RemoveTree(TrashFiles());
    CreateDirectoryA(TrashFiles().c_str(), nullptr);
    BoxAnswerer boxes(IDYES);
    HWND dlg = OpenModeless(0);
    ASSERT_NE(nullptr, dlg);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        boxes.Clear();
        const int position = PositionOf(0, c.file);
        ASSERT_GT(position, 0);
        Select(dlg, 0, position);
        Click(dlg, IDC_TB_DELETE);
        ASSERT_EQ(1u, boxes.Captions().size());
        EXPECT_EQ(c.caption, boxes.Captions()[0]);
        EXPECT_NE(std::string::npos, boxes.Texts()[0].find(c.text_part)) << boxes.Texts()[0];
        for (const std::string& path : c.gone) EXPECT_EQ(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << path;
        for (const std::string& path : c.kept) EXPECT_NE(INVALID_FILE_ATTRIBUTES, GetFileAttributesA(path.c_str())) << path;
        EXPECT_EQ(-1, PositionOf(0, c.gone.empty() ? std::string("none") : c.file));
    }
    // Into the recycle bin, not gone for good.
    EXPECT_TRUE(InTrash("Other"));
    EXPECT_TRUE(InTrash("Single"));
    EXPECT_TRUE(InTrash("BrowserLoose_ss.bmp"));
    EXPECT_FALSE(InTrash("Cur"));

    // The first entry offers no Delete.
    boxes.Clear();
    const size_t before = GetBrowserTable(0).size();
    ASSERT_EQ(0, PositionOf(0, first));
    Select(dlg, 0, 0);
    Click(dlg, IDC_TB_DELETE);
    PumpFor(100);
    EXPECT_TRUE(boxes.Captions().empty());
    EXPECT_EQ(before, GetBrowserTable(0).size());
    EXPECT_TRUE(FileExistsOnDisk(first));
}

TEST_F(BrowserDialogTest, DeletingABarRemovesItsFileAndPicture) {
    const std::string bar = files_.Put("Bars\\Bars\\old.tsbar", "[Object]\r\nTitle=old\r\n");
    const std::string picture = files_.Put("Bars\\Bars\\old_ss.bmp", "BM");
    const std::string other = files_.Put("Bars\\Bars\\other.tsbar", "[Object]\r\nTitle=other\r\n");
    BoxAnswerer boxes(IDYES);
    HWND dlg = OpenModeless(3);
    ASSERT_NE(nullptr, dlg);
    EXPECT_EQ("Tessellar - Bar Browser", Title(dlg));
    PumpFor(50);
    EXPECT_TRUE(IsWindowVisible(GetDlgItem(dlg, IDC_TB_DELETE_BAR)));
    Select(dlg, 3, PositionOf(3, bar));
    Click(dlg, IDC_TB_DELETE_BAR);
    ASSERT_EQ(1u, boxes.Captions().size());
    EXPECT_EQ("Tessellar - Delete Bar", boxes.Captions()[0]);
    EXPECT_FALSE(FileExistsOnDisk(bar));
    EXPECT_FALSE(FileExistsOnDisk(picture));
    EXPECT_TRUE(FileExistsOnDisk(other));
    EXPECT_EQ(-1, PositionOf(3, bar));
    EXPECT_GE(PositionOf(3, other), 0);
}

TEST_F(BrowserDialogTest, ChangeThemeStylesAppliesTheChosenStyle) {
    const std::string calm = files_.Put("Sea\\Sea.tstheme", Theme("Sea"));
    const std::string storm = files_.Put("Sea\\Sea Storm.tstheme", Theme("Sea Storm"));
    ASSERT_TRUE(LoadThemeFile(calm.c_str(), 0));
    ShowThemeStylesDialog();
    HWND dlg = GetThemeStylesWindow();
    ASSERT_NE(nullptr, dlg);
    ShowThemeStylesDialog();   // one at a time
    EXPECT_EQ(dlg, GetThemeStylesWindow());
    HWND combo = GetDlgItem(dlg, IDC_TS_STYLES);
    ASSERT_EQ(2, SendMessageA(combo, CB_GETCOUNT, 0, 0));
    EXPECT_TRUE(IsWindowEnabled(combo));
    EXPECT_EQ(0, SendMessageA(combo, CB_GETCURSEL, 0, 0));   // "Sea", the current one
    SendMessageA(combo, CB_SETCURSEL, 1, 0);
    SendMessageA(dlg, WM_COMMAND, MAKEWPARAM(IDC_TS_STYLES, CBN_SELCHANGE), reinterpret_cast<LPARAM>(combo));
    Click(dlg, IDOK);
    EXPECT_EQ(0, lstrcmpiA(storm.c_str(), GetCurrentThemeFile())) << GetCurrentThemeFile();
    Click(dlg, IDCANCEL);
    EXPECT_EQ(nullptr, GetThemeStylesWindow());
}

TEST_F(BrowserDialogTest, EntriesShowTheirPictureOrTheNoPreviewText) {
    // " Blue" names come first: these two are the top entries.
    files_.Put("Pictured\\Pictured.tstheme", Theme("A Blue"));
    ASSERT_TRUE(skin_fixtures::WriteSolidBmp(files_.Path("Pictured\\Pictured_ss.bmp"), 100, 75, RGB(255, 0, 0)));
    files_.Put("Bare\\Bare.tstheme", Theme("B Blue"));
    HWND dlg = OpenModeless(0);
    ASSERT_NE(nullptr, dlg);
    SetWindowPos(dlg, HWND_TOPMOST, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE);
    HWND list = GetDlgItem(dlg, IDC_TB_THEMES);
    EXPECT_EQ(80, SendMessageA(list, LB_GETITEMHEIGHT, 0, 0));
    PumpFor(100);
    RedrawWindow(list, nullptr, nullptr, RDW_INVALIDATE | RDW_UPDATENOW | RDW_ERASE);
    struct Case {
        int position;
        bool picture;
    };
    for (const Case& c : {Case{0, true}, Case{1, false}}) {
        SCOPED_TRACE(c.position);
        RECT item;
        ASSERT_NE(LB_ERR, SendMessageA(list, LB_GETITEMRECT, c.position, reinterpret_cast<LPARAM>(&item)));
        RECT box = {item.left + 2, item.top + 2, item.left + 102, item.top + 77};
        MapWindowPoints(list, nullptr, reinterpret_cast<POINT*>(&box), 2);
        ScreenCapture shot(box);
        ASSERT_TRUE(shot.Valid());
        int red = 0, dark = 0;
        for (int y = 0; y < shot.Height(); ++y)
            for (int x = 0; x < shot.Width(); ++x) {
                const COLORREF p = shot.Pixel(x, y);
                if (GetRValue(p) > 200 && GetGValue(p) < 60 && GetBValue(p) < 60) ++red;
                if (GetRValue(p) < 100 && GetGValue(p) < 100 && GetBValue(p) < 100) ++dark;
            }
        if (c.picture) {
            EXPECT_GT(red, 100 * 75 * 9 / 10);
        } else {
            EXPECT_EQ(0, red);
            EXPECT_GT(dark, 20);   // the words "Preview unavailable"
        }
    }
}
