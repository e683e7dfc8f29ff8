// Copies of items: a duplicate owns its own menu and bitmaps and leaves the
// hotkey behind; an item replaced in its slot hands on its settings; a
// user's popup menu survives a save whatever the item's action.
#include <string>
#include <vector>
#include "items_fixture.h"
#include "model/section_factory.h"
#include "util/text.h"

namespace items_test {
namespace {

bool IsBitmap(HBITMAP bitmap) { return bitmap && GetObjectType(bitmap) == OBJ_BITMAP; }

std::string MenuText(HMENU menu, int position) {
    char text[128] = "";
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

RECT ScreenRect(CVellumMenuItem* item) {
    RECT r;
    item->GetRealItemRect(&r);
    POINT origin = {0, 0};
    ClientToScreen(item->m_pBar->m_hWnd, &origin);
    OffsetRect(&r, origin.x, origin.y);
    return r;
}

class ItemCopyTest : public ItemsTest {
protected:
    // An item with a three-entry menu, a hotkey, the Windows key, and two
    // custom states with magenta-keyed bitmaps.
    std::vector<std::string> RichItem() {
        return {"Item1.Title=Rich", "Item1.Action=1", "Item1.ShowIcon=0", "Item1.IconSize=32",
                "Item1.vkHotkey=65", "Item1.vkHotkeyModifiers=2", "Item1.RespondToWindowsKey=1",
                "Item1.DisplayAsBitmap=1", "Item1.UseTransparency=1",
                "Item1.NormalBitmap=cold.bmp", "Item1.nCustomStates=2",
                "Item1.CustomState0.Name=Hot",
                "Item1.CustomState0.BmpPath=" + bar_folder_ + "hot.bmp",
                "Item1.CustomState1.Name=Wide",
                "Item1.CustomState1.BmpPath=" + bar_folder_ + "bar_only.bmp",
                "Item1.Item1.Title=Open", "Item1.Item1.Action=5", "Item1.Item2.Separator=1",
                "Item1.Item3.Title=Close", "Item1.Item3.Action=6", "Item2.Title=next"};
    }
};

TEST_F(ItemCopyTest, ADuplicateOwnsItsMenuAndBitmapsAndHasNoHotkey) {
    CVellumMenuObject* bar = Bar(RichItem());
    CVellumMenuItem* item = Item(bar);
    ASSERT_EQ(65, item->vkHotkey);
    ASSERT_EQ(2, item->m_customStates.count);
    CVellumMenuItem* dup = item->Duplicate();
    ASSERT_NE(nullptr, dup);
    ASSERT_TRUE(bar->m_sections[0]->InsertItem(item, dup));
    EXPECT_EQ(TRUE, dup->m_valid);
    EXPECT_EQ(bar, dup->m_pBar);
    EXPECT_STREQ("Rich", dup->m_title);
    EXPECT_EQ(1, dup->Action);
    EXPECT_EQ(FALSE, dup->ShowIcon);
    EXPECT_EQ(32, dup->IconSize);
    EXPECT_EQ(0, dup->vkHotkey);
    EXPECT_EQ(0, dup->vkHotkeyModifiers);
    EXPECT_EQ(FALSE, dup->RespondToWindowsKey);

    // The menu: same entries, another menu.
    ASSERT_NE(item->m_popupMenu, dup->m_popupMenu);
    ASSERT_EQ(3, GetMenuItemCount(dup->m_popupMenu));
    EXPECT_EQ("Open", MenuText(dup->m_popupMenu, 0));
    EXPECT_EQ(5u, GetMenuItemID(dup->m_popupMenu, 0));
    EXPECT_TRUE(GetMenuState(dup->m_popupMenu, 1, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ("Close", MenuText(dup->m_popupMenu, 2));
    EXPECT_EQ(6u, GetMenuItemID(dup->m_popupMenu, 2));
    DeleteMenu(item->m_popupMenu, 0, MF_BYPOSITION);
    EXPECT_EQ(2, GetMenuItemCount(item->m_popupMenu));
    EXPECT_EQ(3, GetMenuItemCount(dup->m_popupMenu));
    DeleteMenu(dup->m_popupMenu, 2, MF_BYPOSITION);
    EXPECT_EQ(2, GetMenuItemCount(item->m_popupMenu));

    // The custom states: same names and paths, bitmaps and masks of its own.
    ASSERT_EQ(2, dup->m_customStates.count);
    HBITMAP originals[4];
    for (int i = 0; i < 2; ++i) {
        EXPECT_STREQ(item->m_customStates.names[i], dup->m_customStates.names[i]);
        EXPECT_STREQ(item->m_customStates.paths[i], dup->m_customStates.paths[i]);
        EXPECT_NE(item->m_customStates.names[i], dup->m_customStates.names[i]);
        EXPECT_TRUE(IsBitmap(dup->m_customStates.bitmaps[i].get()));
        EXPECT_TRUE(IsBitmap(dup->m_customStates.masks[i].get()));
        EXPECT_NE(item->m_customStates.bitmaps[i].get(), dup->m_customStates.bitmaps[i].get());
        originals[2 * i] = item->m_customStates.bitmaps[i].get();
        originals[2 * i + 1] = item->m_customStates.masks[i].get();
    }
    EXPECT_NE(item->m_normalBitmap.get(), dup->m_normalBitmap.get());
    EXPECT_TRUE(IsBitmap(dup->m_normalBitmap.get()));

    // The original goes with its bitmaps; the duplicate still draws its own.
    bar->m_sections[0]->RemoveItem(item, 1);
    for (HBITMAP gone : originals) EXPECT_EQ(0u, GetObjectType(gone));
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    tess::CopyText(dup->m_customState, "Hot");
    bar->RedrawVellumWindow();
    testing_support::PumpFor(50);
    RECT r = ScreenRect(dup);
    testing_support::ScreenCapture shot(r);
    ASSERT_TRUE(shot.Valid());
    const int cx = shot.Width() / 2, cy = shot.Height() / 2;
    EXPECT_EQ(RGB(240, 160, 0), shot.Pixel(cx, cy)) << "the Hot state's bitmap";
}

// TransformItem: the slot's item hands its settings to the new item and goes.
TEST_F(ItemCopyTest, TransformItemHandsTheSettingsToTheNewItem) {
    std::vector<std::string> lines = RichItem();
    lines.push_back("Item1.ActionClass=2");
    lines.push_back("Item1.TextOnlyAlign=1");
    lines.push_back("Item1.Icon=" + FixtureFile("icons\\icon1.ico"));
    CVellumMenuObject* bar = Bar(lines);
    CVellumMenuSection* section = bar->m_sections[0];
    CVellumMenuItem* made = CreateItemOfBuiltType("Popup", bar, section, -1);
    ASSERT_NE(nullptr, made);
    ASSERT_EQ(1, section->TransformItem(&section->m_items[0], made));
    ASSERT_EQ(made, Item(bar));
    EXPECT_STREQ("Rich", made->m_title);
    EXPECT_EQ(1, made->Action);
    EXPECT_EQ(2, made->ActionClass);
    EXPECT_EQ(1, made->TextOnlyAlign);
    EXPECT_EQ(FALSE, made->ShowIcon);
    EXPECT_EQ(32, made->IconSize);
    EXPECT_EQ(TRUE, made->DisplayAsBitmap);
    EXPECT_TRUE(IsBitmap(made->m_normalBitmap.get()));
    EXPECT_EQ(bar_folder_ + "cold.bmp", std::string(made->NormalBitmap));
    EXPECT_EQ(FixtureFile("icons\\icon1.ico"), std::string(made->Icon));
    EXPECT_NE(nullptr, made->m_icon1.get());
    EXPECT_EQ(3, GetMenuItemCount(made->m_popupMenu));
    EXPECT_EQ(2, made->m_customStates.count);
    EXPECT_EQ(0, made->vkHotkey);
    EXPECT_EQ(0, section->TransformItem(&section->m_items[0], nullptr));
    EXPECT_EQ(0, section->TransformItem(nullptr, made));
}

TEST_F(ItemCopyTest, CopyWithKeepActionLeavesTheTargetsAction) {
    CVellumMenuObject* bar = Bar({"Item1.Title=from", "Item1.Action=7", "Item1.ActionClass=1",
                                  "Item2.Title=to", "Item2.Action=3", "Item2.ActionClass=2"});
    CVellumMenuItem* from = Item(bar, 0);
    CVellumMenuItem* to = Item(bar, 1);
    EXPECT_EQ(0, from->Copy(nullptr, 0));
    EXPECT_EQ(1, from->Copy(to, 1));
    EXPECT_STREQ("from", to->m_title);
    EXPECT_EQ(3, to->Action);
    EXPECT_EQ(2, to->ActionClass);
    EXPECT_EQ(1, from->Copy(to, 0));
    EXPECT_EQ(7, to->Action);
    EXPECT_EQ(1, to->ActionClass);
}

// A menu the user made stays in the file while the item runs another action.
TEST_F(ItemCopyTest, PopupMenuEntriesAreSavedWhateverTheAction) {
    CVellumMenuObject* bar =
        Bar({"Item1.Title=Menu", "Item1.Action=5", "Item1.ActionClass=1", "Item1.Item1.Title=Open",
             "Item1.Item1.Action=5", "Item1.Item2.Separator=1", "Item1.Item3.Title=Close",
             "Item1.Item3.Action=6"});
    std::string saved = bar_folder_ + "saved.tsbar";
    ASSERT_EQ(1, bar->Save(const_cast<char*>(saved.c_str())));
    auto read = [&](const char* key) {
        char value[64] = "";
        GetPrivateProfileStringA("Section1", key, "", value, sizeof(value), saved.c_str());
        return std::string(value);
    };
    EXPECT_EQ("5", read("Item1.Action"));
    EXPECT_EQ("Open", read("Item1.Item1.Title"));
    EXPECT_EQ("5", read("Item1.Item1.Action"));
    EXPECT_EQ("1", read("Item1.Item2.Separator"));
    EXPECT_EQ("Close", read("Item1.Item3.Title"));
    EXPECT_EQ("6", read("Item1.Item3.Action"));
}

}  // namespace
}  // namespace items_test
