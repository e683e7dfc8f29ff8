// The shortcut item's Behavior page on real shortcut items: the mode and
// method the page starts in, a typed target resolved once the typing pauses,
// folder mode saved as a folder popup, and the popup options.
#include <windows.h>
#include <string>
#include <vector>
#include "tests/shortcut/shortcut_fixture.h"
#include "tests/support/stand_in_main_window.h"
#include "types/shortcut_page_resources.h"

using namespace shortcut_test;

namespace {

class ShortcutPageTest : public ShortcutTest {
protected:
    void SetUp() override {
        ShortcutTest::SetUp();
        host_ = testing_support::CreatePageHost(200, 150, 520, 520);
        ASSERT_NE(nullptr, host_);
    }
    void TearDown() override {
        DestroyWindow(host_);
        ShortcutTest::TearDown();
    }
    HWND OpenPage(CVellumMenuItem_Shortcut* item) {
        HWND page = item->CallConfigDialogEx(host_);
        if (page) ShowWindow(page, SW_SHOW);
        return page;
    }
    static bool Checked(HWND page, int id) { return IsDlgButtonChecked(page, id) == BST_CHECKED; }
    static std::string Text(HWND page, int id) {
        char text[512] = "";
        GetDlgItemTextA(page, id, text, sizeof(text));
        return text;
    }
    HWND host_ = nullptr;
};

TEST_F(ShortcutPageTest, PageStartsInTheModeAndMethodOfTheTarget) {
    const struct {
        const char* key;
        const char* value;
        int mode, method;
        int shown_in;            // the field or combo showing the target
        const char* shown;
    } cases[] = {
        {"Shortcut.File", "QuickLaunch", IDC_SC_FOLDER, IDC_SC_BY_SPECIAL, IDC_SC_SPECIAL, "QuickLaunch"},
        {"Shortcut.File", "recycle bin", IDC_SC_FOLDER, IDC_SC_BY_SPECIAL, IDC_SC_SPECIAL, "Recycle Bin"},
        {"Shortcut.GetFromRegistry", "tessprobe.exe", IDC_SC_RUN, IDC_SC_BY_REGISTRY, IDC_SC_PROGRAM, "tessprobe.exe"},
        {"Shortcut.UseExtention", ".tessprobe", IDC_SC_RUN, IDC_SC_BY_EXTENSION, IDC_SC_EXTENSION, ".tessprobe"},
        {"Shortcut.File", "C:\\windows", IDC_SC_FOLDER, IDC_SC_BY_FOLDER_PATH, IDC_SC_FOLDER_PATH, "C:\\windows"},
        {"Shortcut.File", "notepad.exe", IDC_SC_RUN, IDC_SC_BY_FILE, IDC_SC_FILE, "notepad.exe"},
    };
    const int methods[] = {IDC_SC_BY_FILE, IDC_SC_BY_EXTENSION, IDC_SC_BY_REGISTRY, IDC_SC_BY_FOLDER_PATH,
                           IDC_SC_BY_SPECIAL};
    for (const auto& c : cases) {
        CVellumMenuObject* bar = LoadBar({"Item1.Type=Shortcut", "Item1.Title=S",
                                          std::string("Item1.") + c.key + "=" + c.value});
        CVellumMenuItem_Shortcut* item = Item(bar);
        ASSERT_NE(nullptr, item) << c.value;
        bar->m_modified = FALSE;
        HWND page = OpenPage(item);
        ASSERT_NE(nullptr, page) << c.value;
        EXPECT_EQ(page, item->m_pages[1]) << "the Behavior slot";
        EXPECT_EQ(c.mode == IDC_SC_RUN, Checked(page, IDC_SC_RUN)) << c.value;
        EXPECT_EQ(c.mode == IDC_SC_FOLDER, Checked(page, IDC_SC_FOLDER)) << c.value;
        for (int method : methods) EXPECT_EQ(method == c.method, Checked(page, method)) << c.value << " " << method;
        EXPECT_EQ(c.shown, Text(page, c.shown_in)) << c.value;
        // Only the chosen method's field takes input.
        EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, c.shown_in))) << c.value;
        EXPECT_EQ(c.mode == IDC_SC_RUN, IsWindowEnabled(GetDlgItem(page, IDC_SC_BY_FILE)) != FALSE) << c.value;
        EXPECT_EQ(c.mode == IDC_SC_FOLDER, IsWindowEnabled(GetDlgItem(page, IDC_SC_USE_POPUP)) != FALSE) << c.value;
        testing_support::PumpFor(50);
        EXPECT_FALSE(bar->m_modified) << "opening the page changed " << c.value;
        testing_support::CloseTestBar(bar, true);
        EXPECT_FALSE(IsWindow(page));
    }
}

TEST_F(ShortcutPageTest, TypedTargetAppliesOnceWhenTheTypingPauses) {
    CVellumMenuObject* bar = LoadBar({"Item1.Type=Shortcut", "Item1.Title=S", "Item1.Shortcut.File=calc.exe"});
    CVellumMenuItem_Shortcut* item = Item(bar);
    ASSERT_NE(nullptr, item);
    HWND page = OpenPage(item);
    ASSERT_NE(nullptr, page);
    bar->m_modified = FALSE;
    const std::string typed = "notepad.exe";
    for (size_t n = 1; n <= typed.size(); ++n) {
        SetDlgItemTextA(page, IDC_SC_FILE, typed.substr(0, n).c_str());
        testing_support::PumpFor(60);
        ASSERT_STREQ("calc.exe", item->m_target) << "applied while typing, after " << n << " keys";
    }
    const DWORD last_key = GetTickCount();
    ASSERT_TRUE(testing_support::PumpUntil([&] { return lstrcmpA(item->m_target, "notepad.exe") == 0; }, 3000));
    const DWORD waited = GetTickCount() - last_key;
    EXPECT_GE(waited, 400u);
    EXPECT_LE(waited, 1500u);
    EXPECT_TRUE(bar->m_modified);

    // Once: nothing further arrives, and other letter case applies nothing.
    bar->m_modified = FALSE;
    testing_support::PumpFor(800);
    EXPECT_FALSE(bar->m_modified);
    SetDlgItemTextA(page, IDC_SC_FILE, "NOTEPAD.EXE");
    testing_support::PumpFor(900);
    EXPECT_FALSE(bar->m_modified);
    EXPECT_STREQ("notepad.exe", item->m_target);

    // Leaving the field applies at once, without waiting.
    SetDlgItemTextA(page, IDC_SC_FILE, "write.exe");
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_SC_FILE, EN_KILLFOCUS),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_SC_FILE)));
    testing_support::PumpFor(100);
    EXPECT_STREQ("write.exe", item->m_target);
}

TEST_F(ShortcutPageTest, FolderModeWithASpecialFolderSavesAFolderPopup) {
    CVellumMenuObject* bar = LoadBar({"Item1.Type=Shortcut", "Item1.Title=S", "Item1.Shortcut.File=calc.exe"});
    CVellumMenuItem_Shortcut* item = Item(bar);
    ASSERT_NE(nullptr, item);
    HWND page = OpenPage(item);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ("Programs", Text(page, IDC_SC_SPECIAL)) << "the special list starts on Programs";
    SendMessageA(GetDlgItem(page, IDC_SC_FOLDER), BM_CLICK, 0, 0);
    EXPECT_TRUE(IsWindowEnabled(GetDlgItem(page, IDC_SC_BY_SPECIAL)));
    EXPECT_FALSE(IsWindowEnabled(GetDlgItem(page, IDC_SC_FILE)));
    SendMessageA(GetDlgItem(page, IDC_SC_BY_SPECIAL), BM_CLICK, 0, 0);
    testing_support::PumpFor(100);
    EXPECT_STREQ("Programs", item->m_target);
    EXPECT_TRUE(item->IsFolder);
    EXPECT_TRUE(item->IsPopup());

    // Popup options: "No Icons" is -1; the volatile flag leaves the bar unmodified.
    SendDlgItemMessageA(page, IDC_SC_ICON_SIZE, CB_SETCURSEL, 0, 0);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_SC_ICON_SIZE, CBN_SELCHANGE),
                 reinterpret_cast<LPARAM>(GetDlgItem(page, IDC_SC_ICON_SIZE)));
    EXPECT_EQ(-1, item->PopupIconSize);
    bar->m_modified = FALSE;
    SendMessageA(GetDlgItem(page, IDC_SC_VOLATILE), BM_CLICK, 0, 0);
    EXPECT_EQ(Checked(page, IDC_SC_VOLATILE), item->Volitle != FALSE);
    EXPECT_FALSE(bar->m_modified);

    const std::string saved = files_.File("saved.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(saved.c_str())));
    auto key = [&](const char* name) {
        char value[512] = "";
        GetPrivateProfileStringA("Section1", name, "<none>", value, sizeof(value), saved.c_str());
        return std::string(value);
    };
    EXPECT_EQ("Programs", key("Item1.Shortcut.File"));
    EXPECT_EQ("1", key("Item1.Folder.IsFolder"));
    EXPECT_EQ("1", key("Item1.Folder.UsePopup"));
    EXPECT_EQ("-1", key("Item1.Folder.PopupIconSize"));
}

TEST_F(ShortcutPageTest, OkClosesThePageAndEmptiesTheSlotOnly) {
    CVellumMenuObject* bar = LoadBar({"Item1.Type=Shortcut", "Item1.Title=S", "Item1.Shortcut.File=calc.exe"});
    CVellumMenuItem_Shortcut* item = Item(bar);
    ASSERT_NE(nullptr, item);
    item->m_lastPage = 1;
    HWND page = OpenPage(item);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(page, item->CallConfigDialogEx(host_));
    SendMessageA(page, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(nullptr, item->m_pages[1]);
    EXPECT_EQ(1, item->m_lastPage) << "the last tab stays";
}

}  // namespace
