// The menu popup of a plain item, renaming listed bars, and the page's
// "Create New  and Add --->".
#include "popup_fixture.h"
#include "model/live_objects.h"
#include "model/vellum_menu_section.h"
#include "types/popup_item_resources.h"

namespace popup_test {
namespace {

using PopupMenuTest = PopupTest;

TEST_F(PopupMenuTest, APopupMenuActionOpensATemporaryBarThatIsNeverSaved) {
    std::vector<std::string> lines = {
        "[Section1]", "Item1.Title=Tools", "Item1.Action=1", "Item1.Item1.Title=Open",
        "Item1.Item1.Action=5", "Item1.Item2.Separator=1", "Item1.Item3.Title=Close",
        "Item1.Item3.Action=6"};
    CVellumMenuObject* parent =
        LoadBar(WriteBar("parent.tsbar", BarLines("Parent", {100, 0, 500, 30}, false, lines)));
    CVellumMenuItem_Popup* item = Item(parent);
    ASSERT_NE(nullptr, item);
    EXPECT_TRUE(item->m_plain);
    Click(item);
    ASSERT_TRUE(Wait([] { return Visible(FindBar("Menu (Tools)")); }));
    CVellumMenuObject* menu = FindBar("Menu (Tools)");
    EXPECT_EQ(item, menu->m_owningPopupItem);
    ASSERT_NE(nullptr, menu->m_sections[0]);
    CVellumMenuSection* section = menu->m_sections[0];
    ASSERT_EQ(3, section->GetNumOfItems());
    EXPECT_STREQ("Open", section->m_items[0]->m_title);
    EXPECT_EQ(5, section->m_items[0]->Action);
    EXPECT_TRUE(section->m_items[1]->Separator);
    EXPECT_STREQ("Close", section->m_items[2]->m_title);
    EXPECT_EQ(6, section->m_items[2]->Action);
    EXPECT_TRUE(menu->m_neverSave);
    // The first entry made it a bar to hide and reuse.
    EXPECT_TRUE(item->HideOnClose);

    std::string where = files_.File("menu.tsbar");
    menu->SetModified();
    menu->Save(const_cast<char*>(where.c_str()));
    EXPECT_FALSE(testing_support::FileExistsOnDisk(where));
}

TEST_F(PopupMenuTest, RenamingAListedBarFollowsOnlyOwnRecords) {
    std::vector<std::string> lines = {"[Section1]", "Item1.Type=Popup", "Item1.Title=Tools",
                                      "Item1.Popup.nBarsToPopup=2", "Item1.Popup.szBar0=Tools",
                                      "Item1.Popup.szBar1=Other"};
    CVellumMenuObject* parent =
        LoadBar(WriteBar("parent.tsbar", BarLines("Parent", {100, 0, 500, 30}, false, lines)));
    CVellumMenuItem_Popup* item = Item(parent);
    ASSERT_NE(nullptr, item);
    HWND host = testing_support::CreatePlainWindow("Tessellar Popup Rename Host");
    HWND page = item->CallConfigDialogEx(host);
    ASSERT_NE(nullptr, page);
    // An open page on screen refills its lists.
    ShowWindow(host, SW_SHOWNOACTIVATE);
    ShowWindow(page, SW_SHOW);
    const UINT renaming = RegisterWindowMessageA("Bar name is changing! Update popups!");

    // Another process's pointers name nothing here: nothing changes.
    char old_text[] = "TOOLS";
    char new_text[] = "Workbench";
    PostMessageA(parent->m_hWnd, renaming, reinterpret_cast<WPARAM>(old_text),
                 reinterpret_cast<LPARAM>(new_text));
    PostMessageA(parent->m_hWnd, renaming, 0x1234, 0x5678);
    testing_support::PumpFor(100);
    EXPECT_STREQ("Tools", item->szBarsToPopup[0]);
    EXPECT_FALSE(parent->m_modifiedSilently);

    // The program's own records, the old title in other letter case.
    RegisterOwnedRecord(old_text);
    RegisterOwnedRecord(new_text);
    SendMessageA(parent->m_hWnd, renaming, reinterpret_cast<WPARAM>(old_text),
                 reinterpret_cast<LPARAM>(new_text));
    UnregisterOwnedRecord(old_text);
    UnregisterOwnedRecord(new_text);
    EXPECT_STREQ("Workbench", item->szBarsToPopup[0]);
    EXPECT_STREQ("Other", item->szBarsToPopup[1]);
    EXPECT_TRUE(parent->m_modifiedSilently);
    char line[64] = "";
    SendDlgItemMessageA(page, IDC_POPUP_LISTED, LB_GETTEXT, 0, reinterpret_cast<LPARAM>(line));
    EXPECT_STREQ("Workbench", line);
    SendMessageA(page, WM_COMMAND, IDOK, 0);
    DestroyWindow(host);
}

TEST_F(PopupMenuTest, CreateNewAndAddNamesTheBarsAfterTheItemAndShowsThemBesideIt) {
    LoadBar(WriteBar("tools.tsbar",
                     BarLines("Tools", {600, 300, 700, 360}, true, {"[Section1]", "Item1.Title=X"})));
    std::vector<std::string> lines = {"[Section1]", "Item1.Type=Popup", "Item1.Title=Tools",
                                      "Item1.Popup.Volitle=0"};
    CVellumMenuObject* parent =
        LoadBar(WriteBar("parent.tsbar", BarLines("Parent", {100, 0, 500, 30}, false, lines)));
    CVellumMenuItem_Popup* item = Item(parent);
    ASSERT_NE(nullptr, item);
    HWND host = testing_support::CreatePlainWindow("Tessellar Popup Create Host");
    HWND page = item->CallConfigDialogEx(host);
    ASSERT_NE(nullptr, page);
    SendMessageA(page, WM_COMMAND, IDC_POPUP_CREATE_NEW, 0);
    SendMessageA(page, WM_COMMAND, IDC_POPUP_CREATE_NEW, 0);
    ASSERT_EQ(2, item->nBarsToPopup);
    EXPECT_STREQ("Tools (3)", item->szBarsToPopup[0]);
    EXPECT_STREQ("Tools (2)", item->szBarsToPopup[1]);
    RECT i = ItemScreenRect(item);
    for (const char* title : {"Tools (2)", "Tools (3)"}) {
        SCOPED_TRACE(title);
        ASSERT_TRUE(Wait([&] { return Visible(FindBar(title)); }));
        CVellumMenuObject* bar = FindBar(title);
        EXPECT_EQ(item, bar->m_associatedPopupItem);
        EXPECT_TRUE(bar->m_modified);
        EXPECT_TRUE(bar->DisplayVertically);
        ASSERT_NE(nullptr, bar->m_sections[0]);
        EXPECT_STREQ("Main Section", bar->m_sections[0]->Title);
        ASSERT_EQ(1, bar->m_sections[0]->GetNumOfItems());
        EXPECT_STREQ("Add New Items Here!", bar->m_sections[0]->m_items[0]->m_title);
        RECT r = WindowRect(bar);
        EXPECT_EQ(i.bottom - 1, r.top) << RectText(r) << " item " << RectText(i);
        EXPECT_EQ(i.left, r.left);
    }
    EXPECT_TRUE(parent->m_modified);
    SendMessageA(page, WM_COMMAND, IDOK, 0);
    DestroyWindow(host);
}

}  // namespace
}  // namespace popup_test
