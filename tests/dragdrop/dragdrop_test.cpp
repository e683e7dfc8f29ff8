// Drag and drop on real bars read from bar files: files dropped through the
// drop target every bar registers (hand-built file lists), items dragged by
// the program through OLE's own drag loop, the drop mark on screen, and the
// bar files saved afterwards.
#include <windows.h>
#include <shlobj.h>
#include <string>
#include <vector>
#include "drop_data.h"
#include "model/drag_drop_object.h"
#include "model/live_objects.h"
#include "model/section_factory.h"
#include "model/vellum_menu_section.h"
#include "tests/clicks/clicks_fixture.h"
#include "types/shortcut_item.h"
#include "util/shortcut_files.h"

namespace {

using dragdrop_test::FileDropData;
using testing_support::PumpFor;

// ---- section and item kinds of the tests ------------------------------------------------------

class OtherSection : public CVellumMenuSection {
public:
    using CVellumMenuSection::CVellumMenuSection;
    int GetCustomSectionName(char* out) override {
        lstrcpyA(out, "Other");
        return 1;
    }
};

class LockedSection : public CVellumMenuSection {
public:
    using CVellumMenuSection::CVellumMenuSection;
    int IsLockedSection() override { return 1; }
};

// An item that counts the hover calls of a drag resting on it.
class HoverCountingItem : public CVellumMenuItem {
public:
    HoverCountingItem(CVellumMenuObject* bar, CVellumMenuSection* section, const char* title)
        : CVellumMenuItem(bar, section, const_cast<char*>(title)) {}
    void DragHover() override { ++hovers; }
    int hovers = 0;
};

// ---- the fixture ---------------------------------------------------------------------------------

class DragDropTest : public clicks_test::ClicksTest {
protected:
    IDropTarget* Target() { return static_cast<IDropTarget*>(GetDragDropObject()); }

    static POINTL At(const RECT& r, double along) {
        POINTL p;
        p.x = r.left + static_cast<LONG>((r.right - r.left) * along);
        p.y = (r.top + r.bottom) / 2;
        return p;
    }
    // A point in an item: along 0.25 its first half, 0.75 its second.
    POINTL InItem(CVellumMenuItem* item, double along) { return At(ItemScreenRect(item), along); }

    DWORD Enter(IDataObject* data, POINTL p, DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_LINK) {
        DWORD effect = allowed;
        EXPECT_EQ(S_OK, Target()->DragEnter(data, 0, p, &effect));
        return effect;
    }
    DWORD DropAt(IDataObject* data, POINTL p, DWORD allowed = DROPEFFECT_COPY | DROPEFFECT_LINK) {
        Enter(data, p, allowed);
        DWORD effect = allowed;
        EXPECT_EQ(S_OK, Target()->Drop(data, 0, p, &effect));
        PumpFor(30);
        return effect;
    }
    // The program's own drag of an item, dropped where the pointer rests.
    void DragItemTo(CVellumMenuItem* item, POINTL p) {
        SetCursorPos(p.x, p.y);
        PumpFor(30);
        ASSERT_EQ(1, GetDragDropObject()->DoDragDrop(item));
        PumpFor(30);
    }

    std::vector<std::string> Titles(CVellumMenuSection* section) {
        std::vector<std::string> titles;
        for (int i = 0; i < kMaxItems && section->m_items[i]; ++i)
            titles.push_back(section->m_items[i]->m_title ? section->m_items[i]->m_title : "");
        return titles;
    }
    std::vector<std::string> SavedTitles(const std::string& file, const char* section) {
        std::vector<std::string> titles;
        for (int i = 1;; ++i) {
            std::string title = clicks_test::ReadKey(file, section, ("Item" + std::to_string(i) + ".Title").c_str());
            if (title == "<none>") return titles;
            titles.push_back(title);
        }
    }
    static std::string DisplayName(const std::string& file) {
        SHFILEINFOA info = {};
        SHGetFileInfoA(file.c_str(), 0, &info, sizeof(info), SHGFI_DISPLAYNAME);
        return info.szDisplayName;
    }

    std::vector<std::string> ItemLines(const std::vector<std::string>& titles, int first = 1) {
        std::vector<std::string> lines;
        for (size_t i = 0; i < titles.size(); ++i)
            lines.push_back("Item" + std::to_string(first + i) + ".Title=" + titles[i]);
        return lines;
    }
    // A section of a kind no bar file names, put first in the bar, with items.
    template <class Section>
    Section* PutSectionFirst(CVellumMenuObject* bar, const std::vector<std::string>& titles) {
        auto* section = new Section(bar, -1, 0);
        section->m_valid = TRUE;
        for (const std::string& title : titles)
            section->InsertItem(-1, new CVellumMenuItem(bar, section, const_cast<char*>(title.c_str())));
        bar->InsertSection(0, section);
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        PumpFor(30);
        return section;
    }
    // A horizontal bar of one section of the given type holding the titles.
    CVellumMenuObject* BarOf(const char* name, const char* type, const std::vector<std::string>& titles,
                             int top = 200) {
        std::vector<std::string> lines = {"AlwaysOnTop=1", "[Section1]", std::string("Type=") + type};
        for (const std::string& l : ItemLines(titles)) lines.push_back(l);
        return LoadBar(WriteBar(std::string(name) + ".tsbar",
                                BarLines(name, {100, top, 500, top + 30}, false, lines)));
    }
};

// ---- files from the shell -------------------------------------------------------------------------

TEST_F(DragDropTest, EveryBarIsADropTargetOfTheProgramsObject) {
    CVellumMenuObject* bar = BarOf("Registered", "Default", {"A"});
    ASSERT_TRUE(bar);
    EXPECT_EQ(bar->m_dragDrop, GetDragDropObject());
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(bar->m_hWnd, Target()));
    HWND wnd = bar->m_hWnd;
    testing_support::CloseTestBar(bar, true);
    // The closed bar gave its registration back (the window is gone with it).
    EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(DragDropTest, DroppedFilesBecomeShortcutItems) {
    ASSERT_TRUE(files_.MakeFolder("Tools"));
    const std::string exe = files_.File("Tools\\a.exe");
    const std::string icons = files_.File("Tools\\icons.dll");
    ASSERT_TRUE(files_.Write("Tools\\a.exe", "MZ"));
    ASSERT_TRUE(files_.Write("Tools\\icons.dll", "MZ"));
    ShortcutInfo link = {};
    lstrcpynA(link.target, exe.c_str(), MAX_PATH);
    link.mask = kShortcutArguments | kShortcutIcon;
    link.arguments = "-x";
    link.icon_file = icons.c_str();
    link.icon_index = 2;
    ASSERT_TRUE(SUCCEEDED(CreateShortcut(files_.File("Run a.lnk").c_str(), link)));
    ShortcutInfo plain = {};
    lstrcpynA(plain.target, exe.c_str(), MAX_PATH);
    ASSERT_TRUE(SUCCEEDED(CreateShortcut(files_.File("Plain.lnk").c_str(), plain)));
    ASSERT_TRUE(files_.Write("Site.url", "[InternetShortcut]\r\nURL=http://example.com/page\r\n"));
    ASSERT_TRUE(files_.Write("notes.txt", "text"));

    struct Case {
        std::string file;
        std::string target;
        std::string icon;   // "" when the item keeps the target's icon
        int icon_index;
    } cases[] = {
        {files_.File("Run a.lnk"), "\"" + exe + "\" -x", icons, 2},
        {files_.File("Plain.lnk"), exe, "", 0},
        {files_.File("Site.url"), "http://example.com/page", "", 0},
        {files_.File("notes.txt"), files_.File("notes.txt"), "", 0},
    };
    CVellumMenuObject* bar = BarOf("Files", "Default", {"First"});
    ASSERT_TRUE(bar);
    CVellumMenuSection* section = bar->m_sections[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(c.file);
        FileDropData data({c.file});
        EXPECT_EQ(DWORD(DROPEFFECT_LINK), DropAt(&data, InItem(section->m_items[0], 0.75)));
        ASSERT_EQ(2, section->GetNumOfItems());
        auto* item = dynamic_cast<CVellumMenuItem_Shortcut*>(section->m_items[1]);
        ASSERT_TRUE(item);
        EXPECT_EQ(c.target, item->m_target);
        EXPECT_EQ(DisplayName(c.file), item->m_title);
        EXPECT_EQ(c.icon, item->Icon ? item->Icon : "");
        EXPECT_EQ(c.icon_index, item->IconIndex);
        EXPECT_TRUE(bar->m_modified);
        section->RemoveItem(1, 1);
        bar->m_modified = FALSE;
    }
}

TEST_F(DragDropTest, TheHalfOfAnItemDecidesBeforeOrAfter) {
    const std::string file = files_.File("drop.txt");
    ASSERT_TRUE(files_.Write("drop.txt", "x"));
    const std::string name = DisplayName(file);
    struct Case {
        int item;
        double along;
        std::vector<std::string> titles;
    } cases[] = {
        {1, 0.25, {"A", name, "B", "C"}},
        {1, 0.75, {"A", "B", name, "C"}},
        {0, 0.25, {name, "A", "B", "C"}},
        {2, 0.75, {"A", "B", "C", name}},
    };
    CVellumMenuObject* bar = BarOf("Halves", "Default", {"A", "B", "C"});
    ASSERT_TRUE(bar);
    CVellumMenuSection* section = bar->m_sections[0];
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << "item " << c.item << " at " << c.along);
        POINTL p = InItem(section->m_items[c.item], c.along);
        FileDropData data({file});
        DropAt(&data, p);
        EXPECT_EQ(c.titles, Titles(section));
        for (int i = 0; i < section->GetNumOfItems(); ++i)
            if (section->m_items[i]->m_title == name) section->RemoveItem(i, 1);
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }
    // Saved in the order shown.
    FileDropData data({file});
    DropAt(&data, InItem(section->m_items[0], 0.75));
    ASSERT_TRUE(bar->Save(bar->m_barFile));
    EXPECT_EQ((std::vector<std::string>{"A", name, "B", "C"}), SavedTitles(bar->m_barFile, "Section1"));
    EXPECT_EQ("Shortcut", clicks_test::ReadKey(bar->m_barFile, "Section1", "Item2.Type"));
}

TEST_F(DragDropTest, OnlyPlainSectionsTakeFilesAndOnlyFileListsAreTaken) {
    ASSERT_TRUE(files_.Write("f.txt", "x"));
    struct Case {
        bool other_section;
        bool offer_files;
        DWORD effect;
    } cases[] = {
        {false, true, DROPEFFECT_LINK},
        {true, true, DROPEFFECT_NONE},
        {false, false, DROPEFFECT_NONE},
    };
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(testing::Message() << (c.other_section ? "other" : "default")
                                        << (c.offer_files ? " files" : " no files"));
        CVellumMenuObject* bar = BarOf(("Kinds" + std::to_string(++n)).c_str(), "Default", {"A"});
        ASSERT_TRUE(bar);
        CVellumMenuSection* section =
            c.other_section ? PutSectionFirst<OtherSection>(bar, {"A"}) : bar->m_sections[0];
        FileDropData data({files_.File("f.txt")}, c.offer_files);
        POINTL p = InItem(section->m_items[0], 0.75);
        EXPECT_EQ(c.effect, Enter(&data, p));
        DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
        Target()->Drop(&data, 0, p, &effect);
        EXPECT_EQ(c.effect, effect);
        EXPECT_EQ(c.effect ? 2 : 1, section->GetNumOfItems());
        EXPECT_EQ(c.effect ? TRUE : FALSE, bar->m_modified);
        testing_support::CloseTestBar(bar, true);
    }
}

TEST_F(DragDropTest, ANameTooLongForTheBufferIsSkipped) {
    ASSERT_TRUE(files_.Write("one.txt", "1"));
    ASSERT_TRUE(files_.Write("two.txt", "2"));
    // Cut to the buffer, this name would be one.txt's folder plus junk.
    std::string long_name = files_.Path() + std::string(300 - files_.Path().size() - 4, 'n') + ".txt";
    ASSERT_EQ(300u, long_name.size());
    CVellumMenuObject* bar = BarOf("Long", "Default", {"A"});
    ASSERT_TRUE(bar);
    CVellumMenuSection* section = bar->m_sections[0];
    FileDropData data({files_.File("one.txt"), long_name, files_.File("two.txt")});
    DropAt(&data, InItem(section->m_items[0], 0.75));
    EXPECT_EQ((std::vector<std::string>{"A", DisplayName(files_.File("one.txt")),
                                        DisplayName(files_.File("two.txt"))}),
              Titles(section));
}

TEST_F(DragDropTest, AFullSectionLosesNoItem) {
    ASSERT_TRUE(files_.Write("f.txt", "x"));
    std::vector<std::string> full;
    for (int i = 0; i < kMaxItems; ++i) full.push_back("F" + std::to_string(i));
    std::vector<std::string> lines = {"AlwaysOnTop=1", "[Section1]", "Type=Default", "Item1.Title=Mover",
                                      "Item2.Title=Stays", "[Section2]", "Type=Default",
                                      "Properties.AllowMultipleRowsCols=0"};
    for (const std::string& l : ItemLines(full)) lines.push_back(l);
    CVellumMenuObject* bar =
        LoadBar(WriteBar("full.tsbar", BarLines("Full", {100, 200, 700, 230}, false, lines)));
    ASSERT_TRUE(bar);
    CVellumMenuSection* from = bar->m_sections[0];
    CVellumMenuSection* into = bar->m_sections[1];
    ASSERT_EQ(kMaxItems, into->GetNumOfItems());
    // The section runs far past the screen's edge: aim at its part on the screen.
    RECT window, section, screen = {0, 0, screen_w_, screen_h_}, target;
    GetWindowRect(bar->m_hWnd, &window);
    section = into->m_outerRect;
    OffsetRect(&section, window.left, window.top);
    ASSERT_TRUE(IntersectRect(&target, &section, &screen));
    POINTL p = At(target, 0.5);
    ASSERT_EQ(into, GetDragDropObject()->HitTestReal(p, nullptr, nullptr));

    CVellumMenuItem* mover = from->m_items[0];
    DragItemTo(mover, p);
    EXPECT_TRUE(IsLiveItem(mover));
    EXPECT_EQ((std::vector<std::string>{"Mover", "Stays"}), Titles(from));
    EXPECT_EQ(from, mover->m_pSection);
    EXPECT_EQ(kMaxItems, into->GetNumOfItems());

    FileDropData data({files_.File("f.txt")});
    DropAt(&data, p);
    EXPECT_EQ(kMaxItems, into->GetNumOfItems());
    EXPECT_EQ(std::string("F499"), into->m_items[kMaxItems - 1]->m_title);
}

// ---- the program's own drags -----------------------------------------------------------------------

TEST_F(DragDropTest, AnItemMovesToAnotherBarAndBothFilesSayIt) {
    CVellumMenuObject* left = BarOf("Source", "Default", {"A", "B", "C"}, 200);
    CVellumMenuObject* right = BarOf("Target", "Default", {"X", "Y"}, 300);
    ASSERT_TRUE(left && right);
    CVellumMenuItem* moved = left->m_sections[0]->m_items[1];
    DragItemTo(moved, InItem(right->m_sections[0]->m_items[0], 0.75));

    EXPECT_EQ((std::vector<std::string>{"A", "C"}), Titles(left->m_sections[0]));
    EXPECT_EQ((std::vector<std::string>{"X", "B", "Y"}), Titles(right->m_sections[0]));
    EXPECT_EQ(right, moved->m_pBar);
    EXPECT_EQ(right->m_sections[0], moved->m_pSection);
    EXPECT_TRUE(left->m_modified);
    EXPECT_TRUE(right->m_modified);
    EXPECT_FALSE(GetDragDropObject()->IsInInternalDragDrop());
    ASSERT_TRUE(left->Save(left->m_barFile));
    ASSERT_TRUE(right->Save(right->m_barFile));
    EXPECT_EQ((std::vector<std::string>{"A", "C"}), SavedTitles(left->m_barFile, "Section1"));
    EXPECT_EQ((std::vector<std::string>{"X", "B", "Y"}), SavedTitles(right->m_barFile, "Section1"));
}

TEST_F(DragDropTest, ALockedSectionsItemMovesOnlyWithinIt) {
    CVellumMenuObject* bar = BarOf("Locked", "Default", {"P1"});
    ASSERT_TRUE(bar);
    CVellumMenuSection* locked = PutSectionFirst<LockedSection>(bar, {"L1", "L2", "L3"});
    CVellumMenuSection* plain = bar->m_sections[1];

    // Out of the locked section: refused.
    DragItemTo(locked->m_items[0], InItem(plain->m_items[0], 0.75));
    EXPECT_EQ((std::vector<std::string>{"L1", "L2", "L3"}), Titles(locked));
    EXPECT_EQ((std::vector<std::string>{"P1"}), Titles(plain));
    // Into it: refused too.
    DragItemTo(plain->m_items[0], InItem(locked->m_items[0], 0.75));
    EXPECT_EQ((std::vector<std::string>{"P1"}), Titles(plain));
    // Within it: moved, and the section's order marked changed.
    locked->m_orderChanged = FALSE;
    DragItemTo(locked->m_items[0], InItem(locked->m_items[2], 0.75));
    EXPECT_EQ((std::vector<std::string>{"L2", "L3", "L1"}), Titles(locked));
    EXPECT_TRUE(locked->m_orderChanged);
}

// ---- while the pointer rests -----------------------------------------------------------------------

TEST_F(DragDropTest, RestingOverAnItemForTheDelayCallsItsHover) {
    CVellumMenuObject* bar = BarOf("Hover", "Default", {});
    ASSERT_TRUE(bar);
    CVellumMenuSection* section = bar->m_sections[0];
    auto* first = new HoverCountingItem(bar, section, "One");
    auto* second = new HoverCountingItem(bar, section, "Two");
    ASSERT_TRUE(section->InsertItem(0, first));
    ASSERT_TRUE(section->InsertItem(1, second));
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    ASSERT_TRUE(files_.Write("f.txt", "x"));
    FileDropData data({files_.File("f.txt")});

    Enter(&data, InItem(first, 0.5));
    PumpFor(1000);
    // Moving on restarts the delay.
    DWORD effect = DROPEFFECT_LINK;
    Target()->DragOver(0, InItem(second, 0.5), &effect);
    PumpFor(1000);
    EXPECT_EQ(0, first->hovers);
    EXPECT_EQ(0, second->hovers);
    EXPECT_TRUE(Wait([&] { return second->hovers == 1; }, 1500));
    PumpFor(200);
    EXPECT_EQ(0, first->hovers);
    EXPECT_EQ(1, second->hovers);
    Target()->DragLeave();
}

TEST_F(DragDropTest, TheDropMarkIsDrawnBetweenItemsAndTakenBack) {
    CVellumMenuObject* bar = BarOf("Mark", "Default", {"Alpha", "Beta"});
    ASSERT_TRUE(bar);
    CVellumMenuSection* section = bar->m_sections[0];
    ASSERT_TRUE(files_.Write("f.txt", "x"));
    FileDropData data({files_.File("f.txt")});
    RECT window;
    GetWindowRect(bar->m_hWnd, &window);
    PumpFor(100);
    testing_support::ScreenCapture before(window);

    Enter(&data, InItem(section->m_items[0], 0.75));
    ASSERT_TRUE(section->m_dropMarkShown);
    PumpFor(50);
    RECT mark = section->m_dropMark;
    RECT first;
    section->m_items[0]->GetRealItemRect(&first);
    // The mark straddles the end of the first item.
    EXPECT_LT(mark.left, first.right);
    EXPECT_GT(mark.right, first.right);
    testing_support::ScreenCapture during(window);
    POINT c = {(mark.left + mark.right) / 2, (mark.top + mark.bottom) / 2};
    EXPECT_EQ(before.Pixel(c.x, c.y) ^ 0xFFFFFF, during.Pixel(c.x, c.y));

    Target()->DragLeave();
    EXPECT_FALSE(section->m_dropMarkShown);
    PumpFor(50);
    testing_support::ScreenCapture after(window);
    EXPECT_EQ(before.Pixel(c.x, c.y), after.Pixel(c.x, c.y));
}

}  // namespace
