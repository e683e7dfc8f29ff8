// Drags from the shell over the program's own item and section types, read
// from bar files: a popup item (or a folder entry) the drag rests on opens
// its child bar, which then takes the drop; a folder section takes a dropped
// file into its folder and still lists it after a refresh.
#include <windows.h>
#include <string>
#include <vector>
#include "drop_data.h"
#include "model/drag_drop_object.h"
#include "model/live_objects.h"
#include "model/vellum_menu_section.h"
#include "tests/clicks/clicks_fixture.h"
#include "types/folder_section.h"
#include "types/popup_item.h"
#include "types/shortcut_item.h"

namespace {

using dragdrop_test::FileDropData;
using testing_support::PumpFor;

class DragOntoTypesTest : public clicks_test::ClicksTest {
protected:
    IDropTarget* Target() { return static_cast<IDropTarget*>(GetDragDropObject()); }

    POINTL Centre(CVellumMenuItem* item) {
        RECT r = ItemScreenRect(item);
        return POINTL{(r.left + r.right) / 2, (r.top + r.bottom) / 2};
    }
    // The first half of the item along a vertical bar.
    POINTL UpperHalf(CVellumMenuItem* item) {
        RECT r = ItemScreenRect(item);
        return POINTL{(r.left + r.right) / 2, r.top + (r.bottom - r.top) / 4};
    }
    DWORD Enter(IDataObject* data, POINTL p, DWORD allowed) {
        DWORD effect = allowed;
        EXPECT_EQ(S_OK, Target()->DragEnter(data, 0, p, &effect));
        return effect;
    }
    DWORD Over(POINTL p, DWORD allowed) {
        DWORD effect = allowed;
        EXPECT_EQ(S_OK, Target()->DragOver(0, p, &effect));
        return effect;
    }
    DWORD Drop(IDataObject* data, POINTL p, DWORD allowed) {
        DWORD effect = allowed;
        EXPECT_EQ(S_OK, Target()->Drop(data, 0, p, &effect));
        PumpFor(30);
        return effect;
    }
    // Titles without their extensions, as the shell may show them either way.
    static std::vector<std::string> BareTitles(CVellumMenuSection* section) {
        std::vector<std::string> titles;
        for (int i = 0; section && i < kMaxItems && section->m_items[i]; ++i) {
            std::string t = section->m_items[i]->m_title ? section->m_items[i]->m_title : "";
            const size_t dot = t.rfind('.');
            titles.push_back(dot == std::string::npos ? t : t.substr(0, dot));
        }
        return titles;
    }
};

// Files resting on a popup item for the hover delay open its child bar; the
// drag goes on into the child, which takes the file. An item that opens
// nothing, and a child already open, are left alone.
TEST_F(DragOntoTypesTest, RestingOnAPopupItemOpensItsChildForTheDragToGoOn) {
    WriteBar("child.tsbar", BarLines("Hover Child", {300, 300, 420, 360}, true,
                                     {"AlwaysOnTop=1", "[Section1]", "Item1.Title=Inside"}));
    CVellumMenuObject* parent = LoadBar(WriteBar(
        "parent.tsbar", BarLines("Hover Parent", {100, 100, 500, 130}, false,
                                 {"AlwaysOnTop=1", "[Section1]", "Item1.Title=Plain", "Item2.Type=Popup",
                                  "Item2.Title=Apps", "Item2.Popup=child.tsbar", "Item2.Popup.Volitle=0"})));
    ASSERT_TRUE(parent);
    auto* popup = dynamic_cast<CVellumMenuItem_Popup*>(Item(parent, 1));
    ASSERT_NE(nullptr, popup);
    ASSERT_TRUE(files_.Write("carried.txt", "x"));
    FileDropData data({files_.File("carried.txt")});

    // Resting on the plain item opens nothing.
    Enter(&data, Centre(Item(parent, 0)), DROPEFFECT_LINK);
    PumpFor(1800);
    EXPECT_EQ(nullptr, popup->GetChildObject());

    // Not before the delay, then the child shows.
    Over(Centre(popup), DROPEFFECT_LINK);
    PumpFor(1000);
    EXPECT_EQ(nullptr, popup->GetChildObject());
    ASSERT_TRUE(Wait([&] {
        CVellumMenuObject* child = popup->GetChildObject();
        return child && IsLiveBar(child) && IsWindowVisible(child->m_hWnd);
    }, 1500));
    CVellumMenuObject* child = popup->GetChildObject();
    EXPECT_EQ(popup, child->m_owningPopupItem);

    // Resting on it again keeps the same child open.
    Over(Centre(Item(parent, 0)), DROPEFFECT_LINK);
    Over(Centre(popup), DROPEFFECT_LINK);
    PumpFor(1800);
    EXPECT_EQ(child, popup->GetChildObject());
    EXPECT_TRUE(IsWindowVisible(child->m_hWnd));

    // The drag goes on into the child and drops there.
    CVellumMenuItem* inside = child->m_sections[0]->m_items[0];
    ASSERT_TRUE(inside);
    EXPECT_EQ(DWORD(DROPEFFECT_LINK), Over(UpperHalf(inside), DROPEFFECT_LINK));
    EXPECT_EQ(DWORD(DROPEFFECT_LINK), Drop(&data, UpperHalf(inside), DROPEFFECT_LINK));
    EXPECT_EQ((std::vector<std::string>{"carried", "Inside"}), BareTitles(child->m_sections[0]));
    EXPECT_EQ(2, parent->m_sections[0]->GetNumOfItems()) << "the parent keeps its items";
}

// A folder entry of a folder section is a popup item too: resting on it
// opens the next level, and a file dropped there goes into that folder.
TEST_F(DragOntoTypesTest, RestingOnAFolderEntryOpensItsLevelWhichTakesTheFile) {
    ASSERT_TRUE(files_.MakeFolder("top"));
    ASSERT_TRUE(files_.MakeFolder("top\\sub"));
    ASSERT_TRUE(files_.Write("top\\sub\\inner.txt", "i"));
    ASSERT_TRUE(files_.Write("top\\z.txt", "z"));
    ASSERT_TRUE(files_.Write("new.txt", "n"));
    CVellumMenuObject* bar = LoadBar(WriteBar(
        "levels.tsbar", BarLines("Folder Levels", {100, 100, 280, 300}, true,
                                 {"AlwaysOnTop=1", "[Section1]", "Properties.Type=Folder",
                                  "Folder=" + files_.File("top"), "Popup.Volitle=0"})));
    ASSERT_TRUE(bar);
    auto* section = dynamic_cast<CVellumMenuSection_Folder*>(bar->m_sections[0]);
    ASSERT_NE(nullptr, section);
    ASSERT_EQ((std::vector<std::string>{"sub", "z"}), BareTitles(section));
    auto* sub = dynamic_cast<CVellumMenuItem_Shortcut*>(section->m_items[0]);
    ASSERT_TRUE(sub && sub->IsFolder);

    FileDropData data({files_.File("new.txt")});
    Enter(&data, Centre(sub), DROPEFFECT_MOVE | DROPEFFECT_LINK);
    ASSERT_TRUE(Wait([&] {
        CVellumMenuObject* child = sub->GetChildObject();
        return child && IsLiveBar(child) && IsWindowVisible(child->m_hWnd);
    }, 2500));
    CVellumMenuObject* child = sub->GetChildObject();
    CVellumMenuSection* level = child->m_sections[0];
    ASSERT_EQ((std::vector<std::string>{"inner"}), BareTitles(level));

    const POINTL p = UpperHalf(level->m_items[0]);
    EXPECT_EQ(DWORD(DROPEFFECT_MOVE), Over(p, DROPEFFECT_MOVE | DROPEFFECT_LINK));
    EXPECT_EQ(DWORD(DROPEFFECT_MOVE), Drop(&data, p, DROPEFFECT_MOVE | DROPEFFECT_LINK));
    EXPECT_TRUE(testing_support::FileExistsOnDisk(files_.File("top\\sub\\new.txt")));
    EXPECT_FALSE(testing_support::FileExistsOnDisk(files_.File("top\\new.txt")));
    EXPECT_EQ((std::vector<std::string>{"new", "inner"}), BareTitles(level));
    EXPECT_EQ((std::vector<std::string>{"sub", "z"}), BareTitles(section));
}

// A file dropped on a folder section lands in the section's folder, shows at
// the drop point, leaves the bar file alone, and is listed there after a
// refresh of the folder.
TEST_F(DragOntoTypesTest, AFileDroppedOnAFolderSectionMovesIntoItsFolder) {
    ASSERT_TRUE(files_.MakeFolder("listed"));
    ASSERT_TRUE(files_.Write("listed\\a.txt", "a"));
    ASSERT_TRUE(files_.Write("listed\\b.txt", "b"));
    ASSERT_TRUE(files_.MakeFolder("outside"));
    ASSERT_TRUE(files_.Write("outside\\c.txt", "c"));
    const std::string folder = files_.File("listed");
    CVellumMenuObject* bar = LoadBar(WriteBar(
        "folder.tsbar", BarLines("Folder Drop", {100, 100, 280, 300}, true,
                                 {"AlwaysOnTop=1", "[Section1]", "Properties.Type=Folder", "Folder=" + folder})));
    ASSERT_TRUE(bar);
    auto* section = dynamic_cast<CVellumMenuSection_Folder*>(bar->m_sections[0]);
    ASSERT_NE(nullptr, section);
    ASSERT_EQ((std::vector<std::string>{"a", "b"}), BareTitles(section));
    bar->m_modified = FALSE;

    FileDropData data({files_.File("outside\\c.txt")});
    const POINTL p = UpperHalf(section->m_items[1]);
    EXPECT_EQ(DWORD(DROPEFFECT_MOVE), Enter(&data, p, DROPEFFECT_MOVE | DROPEFFECT_LINK));
    EXPECT_EQ(DWORD(DROPEFFECT_MOVE), Drop(&data, p, DROPEFFECT_MOVE | DROPEFFECT_LINK));
    EXPECT_TRUE(testing_support::FileExistsOnDisk(folder + "\\c.txt"));
    EXPECT_FALSE(testing_support::FileExistsOnDisk(files_.File("outside\\c.txt")));
    EXPECT_EQ((std::vector<std::string>{"a", "c", "b"}), BareTitles(section));
    EXPECT_FALSE(bar->m_modified) << "the folder changed, not the bar";

    PostMessageA(bar->m_hWnd, GetFolderSectionMessages().FullRefresh, reinterpret_cast<WPARAM>(section), 0);
    PumpFor(100);
    section = dynamic_cast<CVellumMenuSection_Folder*>(bar->m_sections[0]);
    ASSERT_NE(nullptr, section);
    EXPECT_EQ((std::vector<std::string>{"a", "c", "b"}), BareTitles(section)) << "the dropped place is kept";
    auto* entry = dynamic_cast<CVellumMenuItem_Shortcut*>(section->m_items[1]);
    ASSERT_NE(nullptr, entry);
    EXPECT_TRUE(entry->m_inFolderSection);
}

}  // namespace
