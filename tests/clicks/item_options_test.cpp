// The "Item Options" submenu an item grafts into its bar's context menu:
// its marks and missing entries for each way of showing the item, and its
// commands as they land in the saved bar file, with the two questions and
// the removal and copy that wait for the menu to close.
#include "clicks_fixture.h"

#include <map>
#include "model/item_menu_resources.h"
#include "model/live_objects.h"
#include "model/menu_header_text.h"
#include "model/vellum_menu_section.h"
#include "skins/skin_cache.h"
#include "skins/skin_record.h"
#include "tests/support/skin_fixtures.h"

namespace clicks_test {
namespace {

bool Has(HMENU menu, UINT id) { return GetMenuState(menu, id, MF_BYCOMMAND) != static_cast<UINT>(-1); }
bool Checked(HMENU menu, UINT id) { return (GetMenuState(menu, id, MF_BYCOMMAND) & MF_CHECKED) != 0; }

// A bar menu as the bar builds it around the entry the item replaces.
struct BarMenu {
    HMENU menu = CreatePopupMenu();
    BarMenu() {
        AppendMenuA(menu, MF_STRING, 40144, "New Shortcut Item");
        AppendMenuA(menu, MF_STRING, IDM_BAR_ITEM_OPTIONS, "Item Options");
        AppendMenuA(menu, MF_STRING, 40137, "Section Options");
    }
    ~BarMenu() { DestroyMenu(menu); }
    HMENU Options() const { return GetSubMenu(menu, 1); }
};

class ItemOptionsTest : public ClicksTest {
protected:
    CVellumMenuObject* BarWith(const std::vector<std::string>& item_lines, const char* name = "options") {
        bar_ = LoadBar(WriteBar(std::string(name) + ".tsbar",
                                OneSectionBar("Options", {100, 100, 500, 130}, false, item_lines)));
        return bar_;
    }
    CVellumMenuObject* bar_ = nullptr;
};

TEST_F(ItemOptionsTest, MarksAndEntriesFollowHowTheItemShows) {
    struct Case {
        const char* name;
        std::vector<std::string> keys;
        UINT radio;   // the checked "Show as" entry, 0 for none
        bool icon_entries, text_entry, bitmap_entries, anchor_entry;
    } const cases[] = {
        {"icon and text", {"Item1.ShowText=1", "Item1.ShowIcon=1"}, IDM_ITEM_ICON_AND_TEXT, true, true, false, false},
        {"text only", {"Item1.ShowText=1", "Item1.ShowIcon=0"}, IDM_ITEM_TEXT_ONLY, false, true, false, false},
        {"icon only", {"Item1.ShowText=0", "Item1.ShowIcon=1"}, IDM_ITEM_ICON_ONLY, true, false, false, false},
        {"bitmap", {"Item1.ShowText=0", "Item1.ShowIcon=0", "Item1.DisplayAsBitmap=1"}, IDM_ITEM_BITMAP, false, false, true, false},
        {"separator", {"Item1.ShowText=0", "Item1.ShowIcon=0", "Item1.Separator=1"}, IDM_ITEM_SEPARATOR, false, false, false, true},
        {"nothing", {"Item1.ShowText=0", "Item1.ShowIcon=0"}, 0, false, false, false, false},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        std::vector<std::string> keys = {"Item1.Title=Options item", "Item1.UseActiveText=1",
                                         "Item1.RespondToWindowsKey=1", "Item1.IconSize=48"};
        keys.insert(keys.end(), c.keys.begin(), c.keys.end());
        CVellumMenuObject* bar = BarWith(keys, ("kind" + std::to_string(++n)).c_str());
        CVellumMenuItem* item = Item(bar);
        ASSERT_NE(nullptr, item);
        BarMenu bar_menu;
        EXPECT_EQ(nullptr, item->InitContextMenu(bar_menu.menu));
        EXPECT_STREQ("Item: Options item", GetItemMenuHeaderText());
        HMENU options = bar_menu.Options();
        ASSERT_NE(nullptr, options);
        ASSERT_EQ(options, item->m_contextSubmenu);
        char text[64] = "";
        GetMenuStringA(bar_menu.menu, 1, text, sizeof(text), MF_BYPOSITION);
        EXPECT_STREQ("Item Options", text);
        // The header is drawn by the bar and cannot be chosen.
        MENUITEMINFOA header = {sizeof(header), MIIM_FTYPE | MIIM_STATE};
        ASSERT_TRUE(GetMenuItemInfoA(options, IDM_ITEM_HEADER, FALSE, &header));
        EXPECT_TRUE(header.fType & MFT_OWNERDRAW);
        EXPECT_TRUE(header.fState & MFS_DISABLED);

        for (UINT id : {IDM_ITEM_TEXT_ONLY, IDM_ITEM_ICON_ONLY, IDM_ITEM_ICON_AND_TEXT, IDM_ITEM_BITMAP,
                        IDM_ITEM_SEPARATOR})
            EXPECT_EQ(id == c.radio, Checked(options, id)) << id;
        EXPECT_EQ(c.icon_entries, Has(options, IDM_ITEM_ACTIVE_ICON));
        EXPECT_EQ(c.icon_entries, Has(options, IDM_ITEM_ICON_16));
        EXPECT_EQ(c.icon_entries, Has(options, IDM_ITEM_ICON_DEFAULT));
        if (c.icon_entries) {
            EXPECT_TRUE(Checked(options, IDM_ITEM_ICON_48));
            EXPECT_FALSE(Checked(options, IDM_ITEM_ICON_16));
            EXPECT_FALSE(Checked(options, IDM_ITEM_ICON_DEFAULT));
            EXPECT_FALSE(Checked(options, IDM_ITEM_ACTIVE_ICON));
        }
        EXPECT_EQ(c.text_entry, Has(options, IDM_ITEM_ACTIVE_TEXT));
        if (c.text_entry) {
            EXPECT_TRUE(Checked(options, IDM_ITEM_ACTIVE_TEXT));
        }
        EXPECT_EQ(c.bitmap_entries, Has(options, IDM_ITEM_TRANSPARENCY));
        EXPECT_EQ(c.bitmap_entries, Has(options, IDM_ITEM_SKIN_BEHIND_BITMAP));
        if (c.bitmap_entries) {
            EXPECT_TRUE(Checked(options, IDM_ITEM_TRANSPARENCY));
        }
        EXPECT_EQ(c.anchor_entry, Has(options, IDM_ITEM_SECTION_ANCHOR));
        EXPECT_TRUE(Checked(options, IDM_ITEM_RESPOND_TO_WINKEY));
        // Entries every item has.
        for (UINT id : {IDM_ITEM_EDIT_CONTENT, IDM_ITEM_EDIT_BEHAVIOR, IDM_ITEM_REMOVE, IDM_ITEM_DUPLICATE,
                        IDM_ITEM_EDIT_DEFAULT_SKIN})
            EXPECT_TRUE(Has(options, id)) << id;

        item->UnInitContextMenu();
        EXPECT_EQ(nullptr, item->m_contextSubmenu);
        EXPECT_STREQ("", GetItemMenuHeaderText());
        // The bar menu no longer holds the destroyed submenu's entries.
        RemoveMenu(bar_menu.menu, 1, MF_BYPOSITION);
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(ItemOptionsTest, CommandsLandInTheSavedBarFile) {
    const std::string normal = files_.File("normal.bmp");
    ASSERT_TRUE(skin_fixtures::WriteSolidBmp(normal, 16, 16, RGB(0, 128, 0)));
    // The skin gets a separator element, so 40054 does not ask.
    ASSERT_TRUE(skin_fixtures::WriteSolidBmp(files_.File("sep.bmp"), 8, 8, RGB(0, 0, 0)));
    ASSERT_TRUE(files_.Write("sep.tsskin",
                             "[General]\r\nSkinName=Sep\r\nItemHeight=20\r\nEdgeBuffer=2\r\nResizeBase=-1\r\n"
                             "[SeparatorItemSkin]\r\nhBitmap=sep.bmp\r\n"));
    struct Case {
        UINT id;
        std::vector<std::string> start;
        std::map<std::string, std::string> saved;
    } const cases[] = {
        {IDM_ITEM_ICON_16, {"Item1.IconSize=32"}, {{"IconSize", "16"}}},
        {IDM_ITEM_ICON_32, {}, {{"IconSize", "32"}}},
        {IDM_ITEM_ICON_48, {}, {{"IconSize", "48"}}},
        {IDM_ITEM_ICON_64, {}, {{"IconSize", "64"}}},
        {IDM_ITEM_ACTIVE_ICON, {}, {{"UseActiveIcon", "1"}}},
        {IDM_ITEM_ACTIVE_ICON, {"Item1.UseActiveIcon=1"}, {{"UseActiveIcon", "<none>"}}},
        {IDM_ITEM_ACTIVE_TEXT, {}, {{"UseActiveText", "1"}}},
        {IDM_ITEM_TRANSPARENCY, {"Item1.DisplayAsBitmap=1", "Item1.NormalBitmap=" + normal},
         {{"UseTransparency", "0"}}},
        {IDM_ITEM_ICON_AND_TEXT, {"Item1.ShowText=0", "Item1.ShowIcon=0", "Item1.Separator=1"},
         {{"ShowText", "1"}, {"ShowIcon", "1"}, {"Separator", "<none>"}}},
        {IDM_ITEM_TEXT_ONLY, {"Item1.ShowIcon=1", "Item1.UseActiveText=1"},
         {{"ShowText", "1"}, {"ShowIcon", "0"}, {"UseActiveText", "1"}}},
        {IDM_ITEM_TEXT_ONLY, {"Item1.ShowText=0", "Item1.UseActiveText=1"},
         {{"ShowText", "1"}, {"UseActiveText", "<none>"}}},
        {IDM_ITEM_ICON_ONLY, {"Item1.ShowText=1", "Item1.DisplayAsBitmap=1", "Item1.NormalBitmap=" + normal},
         {{"ShowText", "0"}, {"ShowIcon", "1"}, {"DisplayAsBitmap", "<none>"}}},
        {IDM_ITEM_BITMAP, {"Item1.NormalBitmap=" + normal},
         {{"DisplayAsBitmap", "1"}, {"ShowText", "0"}, {"ShowIcon", "0"}}},
        {IDM_ITEM_SEPARATOR, {"LastSkinOverride"}, {{"Separator", "1"}, {"ShowText", "0"}, {"ShowIcon", "0"}}},
        {IDM_ITEM_SECTION_ANCHOR, {"Item1.Separator=1"}, {{"IsSectionAnchor", "1"}}},
        {IDM_ITEM_SKIN_BEHIND_BITMAP, {"Item1.DisplayAsBitmap=1", "Item1.NormalBitmap=" + normal},
         {{"ShowSkinBehindBitmap", "1"}}},
    };
    testing_support::MessageBoxWatcher boxes(IDCANCEL);
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.id);
        std::vector<std::string> keys = {"Item1.Title=Saved"};
        bool separator_skin = false;
        for (const std::string& k : c.start) {
            if (k == "LastSkinOverride")
                separator_skin = true;
            else
                keys.push_back(k);
        }
        const std::string name = "saved" + std::to_string(++n) + ".tsbar";
        std::string text = OneSectionBar("Saved", {100, 100, 500, 130}, false, keys);
        if (separator_skin) {
            const std::string from = "LastSkin=" + skin_;
            text.replace(text.find(from), from.size(), "LastSkin=" + files_.File("sep.tsskin"));
        }
        const std::string path = WriteBar(name, text);
        CVellumMenuObject* bar = LoadBar(path);
        CVellumMenuItem* item = Item(bar);
        ASSERT_NE(nullptr, item);
        bar->m_modified = FALSE;
        EXPECT_EQ(1, item->DoContextMenuCommand(static_cast<int>(c.id)));
        EXPECT_TRUE(bar->m_modified);
        ASSERT_TRUE(bar->Save(const_cast<char*>(path.c_str())));
        for (const auto& [key, value] : c.saved)
            EXPECT_EQ(value, ReadKey(path, "Section1", ("Item1." + key).c_str())) << key;
        testing_support::CloseTestBar(bar, true);
    }
    EXPECT_EQ(0u, boxes.Count());
}

TEST_F(ItemOptionsTest, RespondToTheWindowsKeyFlipsWithoutMarkingTheBar) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Key"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    bar->m_modified = FALSE;
    EXPECT_EQ(1, item->DoContextMenuCommand(IDM_ITEM_RESPOND_TO_WINKEY));
    EXPECT_TRUE(item->RespondToWindowsKey);
    EXPECT_FALSE(bar->m_modified);
    // Kept with the next save.
    ASSERT_TRUE(bar->Save(bar->m_barFile));
    EXPECT_EQ("1", ReadKey(bar->m_barFile, "Section1", "Item1.RespondToWindowsKey"));
    for (int nothing : {0, 40061, 40063, 40070}) EXPECT_EQ(1, item->DoContextMenuCommand(nothing));
    EXPECT_FALSE(bar->m_modified);
    // An id of nobody's is the item type's to take; the plain item does not.
    EXPECT_EQ(0, item->DoContextMenuCommand(40999));
}

TEST_F(ItemOptionsTest, ShowAsBitmapWithoutBitmapsAsksAndCancelKeepsTheItem) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Asks", "Item1.ShowText=1", "Item1.ShowIcon=1"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    testing_support::MessageBoxWatcher boxes(IDCANCEL);
    bar->m_modified = FALSE;
    EXPECT_EQ(1, item->DoContextMenuCommand(IDM_ITEM_BITMAP));
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_EQ("Tessellar - Set As Bitmap", boxes.Seen()[0].caption);
    EXPECT_NE(std::string::npos, boxes.Seen()[0].text.find("displayed as an Icon and Text."))
        << boxes.Seen()[0].text;
    EXPECT_FALSE(item->DisplayAsBitmap);
    EXPECT_TRUE(item->ShowText);
    EXPECT_TRUE(item->ShowIcon);
    EXPECT_FALSE(bar->m_modified);

    // OK makes it a bitmap item that shows nothing else.
    boxes.SetAnswer(IDOK);
    EXPECT_EQ(1, item->DoContextMenuCommand(IDM_ITEM_BITMAP));
    EXPECT_EQ(2u, boxes.Count());
    EXPECT_TRUE(item->DisplayAsBitmap);
    EXPECT_FALSE(item->ShowText || item->ShowIcon || item->Separator);
    EXPECT_TRUE(bar->m_modified);
    // Already a bitmap item: nothing asked.
    EXPECT_EQ(1, item->DoContextMenuCommand(IDM_ITEM_BITMAP));
    EXPECT_EQ(2u, boxes.Count());
}

TEST_F(ItemOptionsTest, ShowAsSeparatorOnASkinWithoutOneAsksAndNoKeepsTheItem) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Asks", "Item1.ShowText=1", "Item1.ShowIcon=0"});
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    testing_support::MessageBoxWatcher boxes(IDNO);
    bar->m_modified = FALSE;
    EXPECT_EQ(1, item->DoContextMenuCommand(IDM_ITEM_SEPARATOR));
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_EQ("Tessellar - Set As Bitmap", boxes.Seen()[0].caption);
    EXPECT_NE(std::string::npos, boxes.Seen()[0].text.find("Do you want to set this item to be a separator anyways?"));
    EXPECT_FALSE(item->Separator);
    EXPECT_TRUE(item->ShowText);
    EXPECT_FALSE(bar->m_modified);
    boxes.SetAnswer(IDYES);
    EXPECT_EQ(1, item->DoContextMenuCommand(IDM_ITEM_SEPARATOR));
    EXPECT_TRUE(item->Separator);
    EXPECT_FALSE(item->ShowText);
    EXPECT_TRUE(bar->m_modified);
}

TEST_F(ItemOptionsTest, RemoveItemWaitsForTheMenuToClose) {
    CVellumMenuObject* bar = BarWith({"Item1.Title=Goes", "Item2.Title=Stays"});
    CVellumMenuItem* goes = Item(bar, 0);
    ASSERT_NE(nullptr, goes);
    CVellumMenuSection* section = bar->m_sections[0];
    ASSERT_EQ(2, section->GetNumOfItems());
    EXPECT_EQ(1, goes->DoContextMenuCommand(IDM_ITEM_REMOVE));
    // Still there while the menu's command runs.
    EXPECT_TRUE(IsLiveItem(goes));
    EXPECT_EQ(2, section->GetNumOfItems());
    EXPECT_TRUE(Wait([&] { return !IsLiveItem(goes); }));
    EXPECT_EQ(1, section->GetNumOfItems());
    EXPECT_STREQ("Stays", Item(bar, 0)->m_title);
}

TEST_F(ItemOptionsTest, DuplicateItemInsertsTheCopyBehindAndAFullSectionRefusesIt) {
    CVellumMenuObject* bar = BarWith({"Item1.Type=Popup", "Item1.Title=Original", "Item2.Title=After"});
    CVellumMenuItem* original = Item(bar, 0);
    ASSERT_NE(nullptr, original);
    CVellumMenuSection* section = bar->m_sections[0];
    EXPECT_EQ(1, original->DoContextMenuCommand(IDM_ITEM_DUPLICATE));
    ASSERT_EQ(3, section->GetNumOfItems());
    CVellumMenuItem* copy = Item(bar, 1);
    EXPECT_NE(original, copy);
    EXPECT_STREQ("After", Item(bar, 2)->m_title);
    EXPECT_NE(original->m_popupMenu, copy->m_popupMenu);

    // Filled up to 500 items: the copy is refused and freed, nothing moves.
    while (section->GetNumOfItems() < 500)
        ASSERT_TRUE(section->InsertItem(-1, new CVellumMenuItem(bar, section, const_cast<char*>("Fill"))));
    CVellumMenuItem* last = section->m_items[499];
    EXPECT_EQ(1, original->DoContextMenuCommand(IDM_ITEM_DUPLICATE));
    EXPECT_EQ(500, section->GetNumOfItems());
    EXPECT_EQ(original, section->m_items[0]);
    EXPECT_EQ(copy, section->m_items[1]);
    EXPECT_EQ(last, section->m_items[499]);
}

}  // namespace
}  // namespace clicks_test
