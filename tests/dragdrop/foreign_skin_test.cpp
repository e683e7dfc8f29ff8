// A skin chosen from another theme in the bar's skin chooser: the bar
// remembers that the skin is not its theme's, and its next save copies the
// skin into the theme and points the bar file at the copy.
#include <windows.h>
#include <shlwapi.h>
#include <string>
#include "model/vellum_menu_object.h"
#include "shell/app_state.h"
#include "shell/bar_pages.h"
#include "shell/bar_pages_resources.h"
#include "shell/skin_lists.h"
#include "shell/startup.h"
#include "skins/skin_record.h"
#include "tests/clicks/clicks_fixture.h"

namespace {

using testing_support::PumpFor;

// The theme folder the chooser lists beside the program: a folder of the
// test program's own folder, removed again at the end.
struct ForeignTheme {
    ForeignTheme() {
        name = "Foreign Tess " + std::to_string(GetCurrentProcessId());
        folder = testing_support::BinFolder() + "TessForeign" + std::to_string(GetCurrentProcessId()) + "\\";
        CreateDirectoryA(folder.c_str(), nullptr);
        testing_support::WriteFileBytes(folder + "foreign.tstheme", "[Theme Info]\r\nName=" + name + "\r\n");
        testing_support::WriteFileBytes(folder + "foreign.tsskin",
                                        "[General]\r\nSkinName=Foreign\r\nItemHeight=22\r\nEdgeBuffer=2\r\n");
    }
    ~ForeignTheme() { testing_support::RemoveTree(folder); }
    std::string name;
    std::string folder;
};

// What the user does in the open chooser: picks the theme and its skin,
// switches to "Use a skin from another theme:" and closes.
const char* g_theme_name = nullptr;
bool g_chose = false;

BOOL CALLBACK TakeChooser(HWND wnd, LPARAM out) {
    if (!GetDlgItem(wnd, IDC_SKIN_OTHER_THEME)) return TRUE;
    *reinterpret_cast<HWND*>(out) = wnd;
    return FALSE;
}

HWND FindChooser() {
    HWND found = nullptr;
    EnumThreadWindows(GetCurrentThreadId(), TakeChooser, reinterpret_cast<LPARAM>(&found));
    return found;
}

void SelectAndTell(HWND dialog, int combo, int index) {
    SendDlgItemMessageA(dialog, combo, CB_SETCURSEL, index, 0);
    SendMessageA(dialog, WM_COMMAND, MAKEWPARAM(combo, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(dialog, combo)));
}

void CALLBACK ChooseForeignSkin(HWND, UINT, UINT_PTR timer, DWORD) {
    HWND dialog = FindChooser();
    if (!dialog) return;
    KillTimer(nullptr, timer);
    const LRESULT theme = SendDlgItemMessageA(dialog, IDC_SKIN_OTHER_THEME, CB_FINDSTRING, static_cast<WPARAM>(-1),
                                              reinterpret_cast<LPARAM>(g_theme_name));
    if (theme != CB_ERR) {
        SelectAndTell(dialog, IDC_SKIN_OTHER_THEME, static_cast<int>(theme));
        if (SendDlgItemMessageA(dialog, IDC_SKIN_OTHER_SKINS, CB_GETCOUNT, 0, 0) == 1) {
            SendDlgItemMessageA(dialog, IDC_SKIN_OTHER_SKINS, CB_SETCURSEL, 0, 0);
            SendDlgItemMessageA(dialog, IDC_SKIN_FROM_OTHER, BM_CLICK, 0, 0);
            g_chose = true;
        }
    }
    SendMessageA(dialog, WM_COMMAND, IDOK, 0);
}

class ForeignSkinTest : public clicks_test::ClicksTest {};

TEST_F(ForeignSkinTest, ASkinChosenFromAnotherThemeIsImportedAtTheNextSave) {
    ASSERT_TRUE(files_.MakeFolder("theme"));
    ASSERT_TRUE(files_.Write("theme\\t.tstheme", "[Theme Info]\r\nName=Mine\r\n"));
    ASSERT_TRUE(SetCurrentThemeFile(files_.File("theme\\t.tstheme").c_str()));
    InstallBarHostServices();
    ForeignTheme foreign;
    CVellumMenuObject* bar = LoadBar(WriteBar("chooser.tsbar", OneSectionBar("Chooser", {100, 200, 400, 230}, false,
                                                                           {"Item1.Title=A"})));
    ASSERT_TRUE(bar);
    ASSERT_FALSE(bar->m_foreignSkin);

    g_theme_name = foreign.name.c_str();
    g_chose = false;
    SetTimer(nullptr, 0, 50, ChooseForeignSkin);
    ShowBarSkinChooser(bar, clicks_test::MainWindow());
    ASSERT_TRUE(g_chose) << "the chooser lists the other theme and its one skin";
    ASSERT_TRUE(bar->m_skin);
    EXPECT_STREQ("Foreign", bar->m_skin->SkinName);
    EXPECT_TRUE(bar->m_foreignSkin);
    EXPECT_TRUE(bar->m_modified);

    testing_support::MessageBoxWatcher boxes(IDOK);
    ASSERT_TRUE(bar->Save(bar->m_barFile));
    EXPECT_TRUE(boxes.SawCaption("Tessellar - Saving Bar"));
    const std::string copy = files_.File("theme\\Skins\\Imported\\") + "TessForeign" +
                             std::to_string(GetCurrentProcessId()) + "\\foreign.tsskin";
    EXPECT_EQ(testing_support::ReadFileBytes(foreign.folder + "foreign.tsskin"), testing_support::ReadFileBytes(copy));
    const std::string saved = testing_support::ReadKey(bar->m_barFile, "Object", "LastSkin");
    EXPECT_NE(std::string::npos, saved.find("Skins\\Imported\\")) << saved;
    EXPECT_FALSE(bar->m_foreignSkin);
    EXPECT_EQ(0, lstrcmpiA(copy.c_str(), bar->m_skin->path)) << bar->m_skin->path;
    SetCurrentThemeFile("");
}

}  // namespace
