// Drag and drop on real bars read from bar files: files dropped through the
// drop target every bar registers (hand-built file lists), items dragged by
// the program through OLE's own drag loop, the drop mark on screen, and the
// bar files saved afterwards.
#include <windows.h>
#include <shlobj.h>
#include <commctrl.h>
#include <shlwapi.h>
#include <string>
#include <vector>
#include "drop_data.h"
#include "model/bar_host.h"
#include "model/drag_drop_calls.h"
#include "model/drag_drop_object.h"
#include "model/live_objects.h"
#include "model/section_factory.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "shell/skin_lists.h"
#include "shell/startup.h"
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

// A section that names itself a folder section, locked or not.
class FolderNamedSection : public CVellumMenuSection {
public:
    using CVellumMenuSection::CVellumMenuSection;
    int GetCustomSectionName(char* out) override {
        lstrcpyA(out, "Folder");
        return 1;
    }
    int IsLockedSection() override { return locked; }
    int locked = 0;
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
    void DragHover() override {
        ++hovers;
        ++all_hovers;
    }
    void DragDrop_Dropped(DWORD effect) override { dropped_effects.push_back(effect); }
    int hovers = 0;
    std::vector<DWORD> dropped_effects;
    static int all_hovers;
};
int HoverCountingItem::all_hovers = 0;

// A window of another kind that takes every drop as a move.
class TakingTarget : public IDropTarget {
public:
    STDMETHODIMP QueryInterface(REFIID iid, void** out) override {
        if (IsEqualIID(iid, IID_IUnknown) || IsEqualIID(iid, IID_IDropTarget)) {
            *out = static_cast<IDropTarget*>(this);
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    STDMETHODIMP_(ULONG) AddRef() override { return 2; }
    STDMETHODIMP_(ULONG) Release() override { return 1; }
    STDMETHODIMP DragEnter(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_MOVE;
        return S_OK;
    }
    STDMETHODIMP DragOver(DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_MOVE;
        return S_OK;
    }
    STDMETHODIMP DragLeave() override { return S_OK; }
    STDMETHODIMP Drop(IDataObject*, DWORD, POINTL, DWORD* effect) override {
        *effect = DROPEFFECT_MOVE;
        ++drops;
        return S_OK;
    }
    int drops = 0;
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

TEST_F(DragDropTest, BarsMadeWhileTheProgramStartsBecomeDropTargetsAfterwards) {
    CVellumMenuObject::DeferDropTargets(true);
    CVellumMenuObject* bar = BarOf("Starting", "Default", {"A"});
    ASSERT_TRUE(bar);
    EXPECT_EQ(nullptr, bar->m_dragDrop);
    // Nothing holds the window yet: a registration of our own is taken.
    ASSERT_EQ(S_OK, RegisterDragDrop(bar->m_hWnd, Target()));
    ASSERT_EQ(S_OK, RevokeDragDrop(bar->m_hWnd));

    CVellumMenuObject::DeferDropTargets(false);
    EXPECT_EQ(bar->m_dragDrop, GetDragDropObject());
    EXPECT_EQ(DRAGDROP_E_ALREADYREGISTERED, RegisterDragDrop(bar->m_hWnd, Target()));
    testing_support::CloseTestBar(bar, true);
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

TEST_F(DragDropTest, NamesAndCommandsTooLongForTheirBuffersAreSkipped) {
    ASSERT_TRUE(files_.Write("one.txt", "1"));
    ASSERT_TRUE(files_.Write("two.txt", "2"));
    // Cut to the buffer, this name would be one.txt's folder plus junk.
    std::string long_name = files_.Path() + std::string(300 - files_.Path().size() - 4, 'n') + ".txt";
    ASSERT_EQ(300u, long_name.size());
    // A link whose target and arguments together overflow the item's target.
    ShortcutInfo link = {};
    lstrcpynA(link.target, files_.File("one.txt").c_str(), MAX_PATH);
    link.mask = kShortcutArguments;
    std::string arguments(kShortcutTargetSize - 2 - files_.File("one.txt").size(), 'a');
    link.arguments = arguments.c_str();
    ASSERT_TRUE(SUCCEEDED(CreateShortcut(files_.File("long.lnk").c_str(), link)));
    // Two characters fewer and the command just fits.
    arguments.resize(arguments.size() - 2);
    link.arguments = arguments.c_str();
    ASSERT_TRUE(SUCCEEDED(CreateShortcut(files_.File("fits.lnk").c_str(), link)));
    CVellumMenuObject* bar = BarOf("Long", "Default", {"A"});
    ASSERT_TRUE(bar);
    CVellumMenuSection* section = bar->m_sections[0];
    FileDropData data({files_.File("one.txt"), long_name, files_.File("long.lnk"),
                       files_.File("fits.lnk"), files_.File("two.txt")});
    DropAt(&data, InItem(section->m_items[0], 0.75));
    EXPECT_EQ((std::vector<std::string>{"A", DisplayName(files_.File("one.txt")),
                                        DisplayName(files_.File("fits.lnk")),
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

TEST_F(DragDropTest, FilesDroppedOnAFolderSectionGoIntoItsFolderNotIntoTheBarFile) {
    // The folder itself is the folder section's; here a stand-in moves the
    // file into a folder of the test and makes the entry.
    static std::string folder;
    folder = files_.Path() + "Folder\\";
    ASSERT_TRUE(files_.MakeFolder("Folder"));
    DropItemCalls saved = GetDropItemCalls();
    GetDropItemCalls().MoveIntoFolder = [](CVellumMenuObject* bar, CVellumMenuSection* section,
                                           const char* file) -> CVellumMenuItem* {
        std::string name = strrchr(file, '\\') + 1;
        if (!MoveFileA(file, (folder + name).c_str())) return nullptr;
        return new CVellumMenuItem(bar, section, const_cast<char*>(name.c_str()));
    };
    ASSERT_TRUE(files_.Write("moved.txt", "m"));
    ASSERT_TRUE(files_.Write("linked.txt", "l"));
    CVellumMenuObject* bar = BarOf("FolderDrop", "Default", {"Plain"});
    ASSERT_TRUE(bar);
    auto* section = PutSectionFirst<FolderNamedSection>(bar, {"Old"});
    section->locked = 1;
    bar->m_modified = FALSE;
    POINTL p = InItem(section->m_items[0], 0.25);

    // The move is offered when the source allows it, else a link.
    FileDropData moved({files_.File("moved.txt")});
    EXPECT_EQ(DWORD(DROPEFFECT_LINK), Enter(&moved, p, DROPEFFECT_COPY | DROPEFFECT_LINK));
    EXPECT_EQ(DWORD(DROPEFFECT_MOVE), DropAt(&moved, p, DROPEFFECT_MOVE | DROPEFFECT_LINK));
    EXPECT_EQ((std::vector<std::string>{"moved.txt", "Old"}), Titles(section));
    EXPECT_TRUE(testing_support::FileExistsOnDisk(folder + "moved.txt"));
    EXPECT_FALSE(testing_support::FileExistsOnDisk(files_.File("moved.txt")));
    EXPECT_FALSE(bar->m_modified);
    EXPECT_TRUE(section->m_orderChanged);
    // A file that did not arrive makes no entry.
    FileDropData gone({files_.File("missing.txt")});
    DropAt(&gone, p, DROPEFFECT_MOVE);
    EXPECT_EQ(2, section->GetNumOfItems());
    GetDropItemCalls() = saved;
}

TEST_F(DragDropTest, SavingABarWithASkinOfAnotherThemeImportsTheSkin) {
    ASSERT_TRUE(files_.MakeFolder("theme"));
    ASSERT_TRUE(files_.Write("theme\\t.tstheme", "[Theme Info]\r\nName=T\r\n"));
    ASSERT_TRUE(SetCurrentThemeFile(files_.File("theme\\t.tstheme").c_str()));
    InstallBarHostServices();
    ASSERT_EQ(&ImportSkinFileForBars, GetBarHostServices().ImportSkinFile);
    CVellumMenuObject* bar = BarOf("Foreign", "Default", {"A"});
    ASSERT_TRUE(bar);
    // What choosing a skin of another theme on the bar's pages leaves behind.
    bar->m_foreignSkin = TRUE;
    testing_support::MessageBoxWatcher boxes(IDOK);
    ASSERT_TRUE(bar->Save(bar->m_barFile));
    EXPECT_TRUE(boxes.SawCaption("Tessellar - Saving Bar"));
    std::string saved = clicks_test::ReadKey(bar->m_barFile, "Object", "LastSkin");
    EXPECT_NE(std::string::npos, saved.find("Skins\\Imported\\")) << saved;
    char folder[MAX_PATH];
    lstrcpynA(folder, files_.Path().c_str(), MAX_PATH);
    PathRemoveBackslashA(folder);
    std::string copy = files_.File("theme\\Skins\\Imported\\") + PathFindFileNameA(folder) + "\\clicks.tsskin";
    EXPECT_EQ(testing_support::ReadFileBytes(skin_), testing_support::ReadFileBytes(copy));
    EXPECT_FALSE(bar->m_foreignSkin);
    SetCurrentThemeFile("");
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

    // An item that goes while the pointer rests on it is not called.
    DWORD again = DROPEFFECT_LINK;
    Target()->DragOver(0, InItem(first, 0.5), &again);
    section->RemoveItem(first, 1);
    int before = HoverCountingItem::all_hovers;
    PumpFor(1800);
    EXPECT_EQ(before, HoverCountingItem::all_hovers);
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

// ---- the object itself ------------------------------------------------------------------------------

TEST(DragDropObject, AnswersForItsThreeInterfacesAndNeverDeletesItself) {
    CVellumDragDropObject object(0);
    struct Case {
        IID iid;
        void* expected;
    } cases[] = {
        {IID_IUnknown, static_cast<IDataObject*>(&object)},
        {IID_IDataObject, static_cast<IDataObject*>(&object)},
        {IID_IDropSource, static_cast<IDropSource*>(&object)},
        {IID_IDropTarget, static_cast<IDropTarget*>(&object)},
        {IID_IStream, nullptr},
    };
    for (const Case& c : cases) {
        void* out = reinterpret_cast<void*>(1);
        HRESULT hr = static_cast<IDataObject*>(&object)->QueryInterface(c.iid, &out);
        EXPECT_EQ(c.expected ? S_OK : E_NOINTERFACE, hr);
        EXPECT_EQ(c.expected, out);
    }
    EXPECT_EQ(5, object.m_refCount);
    for (int i = 0; i < 5; ++i) static_cast<IDropTarget*>(&object)->Release();
    EXPECT_EQ(0u, static_cast<IDropSource*>(&object)->Release());
    EXPECT_EQ(0u, static_cast<IDropSource*>(&object)->Release());
    // Still whole: counting below zero freed nothing.
    EXPECT_EQ(DRAGDROP_S_DROP, object.QueryContinueDrag(FALSE, 0));

    // An internal drag carries no data.
    FORMATETC format = {CF_HDROP, nullptr, DVASPECT_CONTENT, -1, TYMED_HGLOBAL};
    STGMEDIUM medium = {};
    EXPECT_EQ(E_NOTIMPL, object.GetData(&format, &medium));
    EXPECT_EQ(E_NOTIMPL, object.QueryGetData(&format));
    IEnumFORMATETC* formats = nullptr;
    EXPECT_EQ(E_NOTIMPL, object.EnumFormatEtc(DATADIR_GET, &formats));
}

TEST(DragDropObject, TheDragGoesOnWhileAButtonIsDown) {
    CVellumDragDropObject object(0);
    struct Case {
        BOOL escape;
        DWORD keys;
        HRESULT result;
    } cases[] = {
        {TRUE, MK_LBUTTON, DRAGDROP_S_CANCEL},
        {FALSE, MK_LBUTTON, S_OK},
        {FALSE, MK_RBUTTON | MK_SHIFT, S_OK},
        {FALSE, MK_SHIFT | MK_CONTROL, DRAGDROP_S_DROP},
        {FALSE, 0, DRAGDROP_S_DROP},
    };
    for (const Case& c : cases)
        EXPECT_EQ(c.result, object.QueryContinueDrag(c.escape, c.keys)) << c.escape << " " << c.keys;
    EXPECT_EQ(DRAGDROP_S_USEDEFAULTCURSORS, object.GiveFeedback(DROPEFFECT_MOVE));
}

TEST_F(DragDropTest, DragsThatCannotStartAreRefused) {
    CVellumMenuObject* bar = BarOf("Refused", "Default", {"A"});
    ASSERT_TRUE(bar);
    CVellumDragDropObject* drag = GetDragDropObject();
    EXPECT_EQ(0, drag->DoDragDrop(static_cast<CVellumMenuItem*>(nullptr)));
    // Sections are dragged in the tree only.
    EXPECT_EQ(0, drag->DoDragDrop(bar->m_sections[0]));
    CVellumDragDropObject tree(1);
    EXPECT_EQ(0, tree.DoDragDrop(0, kNewShortcutItem));
    EXPECT_FALSE(drag->IsInInternalDragDrop());
}

TEST_F(DragDropTest, AnItemDroppedOutsideTheProgramIsToldTheEffect) {
    CVellumMenuObject* bar = BarOf("Outside", "Default", {});
    ASSERT_TRUE(bar);
    CVellumMenuSection* section = bar->m_sections[0];
    auto* item = new HoverCountingItem(bar, section, "Leaving");
    auto* other = new HoverCountingItem(bar, section, "Other");
    ASSERT_TRUE(section->InsertItem(0, item));
    ASSERT_TRUE(section->InsertItem(1, other));
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    HWND window = testing_support::CreatePlainWindow("DragDropTestOutside");
    ASSERT_TRUE(window);
    SetWindowPos(window, HWND_TOPMOST, 600, 500, 120, 80, SWP_SHOWWINDOW | SWP_NOACTIVATE);
    TakingTarget taking;
    ASSERT_EQ(S_OK, RegisterDragDrop(window, &taking));
    PumpFor(50);

    DragItemTo(item, POINTL{660, 540});
    EXPECT_EQ(1, taking.drops);
    EXPECT_EQ((std::vector<DWORD>{DROPEFFECT_MOVE}), item->dropped_effects);
    // Dropped on a bar, the program handled it: the item hears nothing.
    DragItemTo(other, InItem(item, 0.25));
    EXPECT_TRUE(other->dropped_effects.empty());
    EXPECT_EQ((std::vector<std::string>{"Other", "Leaving"}), Titles(section));

    RevokeDragDrop(window);
    DestroyWindow(window);
}

// Cancels every wizard sheet of this thread while it runs modally.
BOOL CALLBACK CancelSheet(HWND window, LPARAM sheets) {
    char name[16] = "";
    GetClassNameA(window, name, sizeof(name));
    if (lstrcmpA(name, "#32770") == 0 && IsWindowVisible(window) &&
        SendMessageA(window, PSM_GETCURRENTPAGEHWND, 0, 0)) {
        PostMessageA(window, PSM_PRESSBUTTON, PSBTN_CANCEL, 0);
        ++*reinterpret_cast<int*>(sheets);
    }
    return TRUE;
}
int g_cancelledSheets = 0;
void CALLBACK CancelWizardTick(HWND, UINT, UINT_PTR, DWORD) {
    EnumThreadWindows(GetCurrentThreadId(), CancelSheet, reinterpret_cast<LPARAM>(&g_cancelledSheets));
}

// A new item from the palette is kept only when its wizard finishes; a
// separator has no wizard and is kept at once.
TEST_F(DragDropTest, APaletteItemWhoseWizardEndsWithoutFinishingLeavesTheSection) {
    CVellumMenuObject* bar = BarOf("Palette", "Default", {"A", "B"});
    ASSERT_TRUE(bar);
    CVellumMenuSection* section = bar->m_sections[0];
    const UINT_PTR timer = SetTimer(nullptr, 0, 100, CancelWizardTick);
    for (int kind : {kNewDefaultItem, kNewShortcutItem, kNewPopupItem, kNewClockItem}) {
        g_cancelledSheets = 0;
        POINTL p = InItem(section->m_items[0], 0.75);
        SetCursorPos(p.x, p.y);
        PumpFor(30);
        EXPECT_EQ(1, GetDragDropObject()->DoDragDrop(0, kind)) << kind;
        EXPECT_LT(0, g_cancelledSheets) << kind;
        EXPECT_EQ((std::vector<std::string>{"A", "B"}), Titles(section)) << kind;
        EXPECT_FALSE(GetDragDropObject()->m_paletteDrag);
    }
    KillTimer(nullptr, timer);
    POINTL p = InItem(section->m_items[0], 0.75);
    SetCursorPos(p.x, p.y);
    PumpFor(30);
    EXPECT_EQ(1, GetDragDropObject()->DoDragDrop(0, kNewSeparator));
    EXPECT_EQ(3, section->GetNumOfItems());
    EXPECT_FALSE(GetDragDropObject()->m_paletteDrag);
}

// ---- the tree ----------------------------------------------------------------------------------------

class TreeDragTest : public DragDropTest {
protected:
    void SetUp() override {
        DragDropTest::SetUp();
        INITCOMMONCONTROLSEX controls = {sizeof(controls), ICC_TREEVIEW_CLASSES};
        InitCommonControlsEx(&controls);
        tree_ = CreateWindowExA(WS_EX_TOPMOST, WC_TREEVIEWA, "", WS_POPUP | WS_VISIBLE | TVS_HASLINES,
                                600, 300, 300, 400, nullptr, nullptr, GetModuleHandleA(nullptr), nullptr);
        ASSERT_TRUE(tree_);
        object_.Register(tree_);
    }
    void TearDown() override {
        object_.Revoke(tree_);
        DestroyWindow(tree_);
        DragDropTest::TearDown();
    }
    HTREEITEM Add(HTREEITEM parent, const char* text, const void* data) {
        TVINSERTSTRUCTA insert = {};
        insert.hParent = parent;
        insert.hInsertAfter = TVI_LAST;
        insert.item.mask = TVIF_TEXT | TVIF_PARAM;
        insert.item.pszText = const_cast<char*>(text);
        insert.item.lParam = reinterpret_cast<LPARAM>(data);
        HTREEITEM node = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_INSERTITEMA, 0, reinterpret_cast<LPARAM>(&insert)));
        SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(parent));
        return node;
    }
    // The bar, its sections and their items as nodes.
    void Fill(CVellumMenuObject* bar) {
        HTREEITEM root = Add(TVI_ROOT, bar->Title, bar);
        for (int s = 0; s < kMaxSections && bar->m_sections[s]; ++s) {
            HTREEITEM node = Add(root, bar->m_sections[s]->Title, bar->m_sections[s]);
            for (int i = 0; i < kMaxItems && bar->m_sections[s]->m_items[i]; ++i)
                Add(node, bar->m_sections[s]->m_items[i]->m_title, bar->m_sections[s]->m_items[i]);
            SendMessageA(tree_, TVM_EXPAND, TVE_EXPAND, reinterpret_cast<LPARAM>(node));
        }
        PumpFor(50);
    }
    HTREEITEM NodeOf(const void* data, HTREEITEM from = TVI_ROOT) {
        HTREEITEM node = reinterpret_cast<HTREEITEM>(SendMessageA(
            tree_, TVM_GETNEXTITEM, from == TVI_ROOT ? TVGN_ROOT : TVGN_CHILD, reinterpret_cast<LPARAM>(from == TVI_ROOT ? nullptr : from)));
        for (; node; node = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)))) {
            TVITEMA item = {};
            item.mask = TVIF_PARAM | TVIF_HANDLE;
            item.hItem = node;
            SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            if (reinterpret_cast<const void*>(item.lParam) == data) return node;
            if (HTREEITEM inner = NodeOf(data, node)) return inner;
        }
        return nullptr;
    }
    std::vector<std::string> ChildTexts(HTREEITEM parent) {
        std::vector<std::string> texts;
        HTREEITEM node = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CHILD, reinterpret_cast<LPARAM>(parent)));
        for (; node; node = reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_NEXT, reinterpret_cast<LPARAM>(node)))) {
            char text[256] = "";
            TVITEMA item = {};
            item.mask = TVIF_TEXT | TVIF_HANDLE;
            item.hItem = node;
            item.pszText = text;
            item.cchTextMax = sizeof(text);
            SendMessageA(tree_, TVM_GETITEMA, 0, reinterpret_cast<LPARAM>(&item));
            texts.push_back(text);
        }
        return texts;
    }
    POINTL NodePoint(HTREEITEM node) {
        RECT r = {};
        memcpy(&r, &node, sizeof(node));   // TVM_GETITEMRECT takes the node in the rectangle
        SendMessageA(tree_, TVM_GETITEMRECT, TRUE, reinterpret_cast<LPARAM>(&r));
        POINT p = {(r.left + r.right) / 2, (r.top + r.bottom) / 2};
        ClientToScreen(tree_, &p);
        return POINTL{p.x, p.y};
    }
    void DragTo(CVellumMenuItem* item, CVellumMenuSection* section, HTREEITEM node) {
        POINTL p = NodePoint(node);
        SetCursorPos(p.x, p.y);
        PumpFor(30);
        ASSERT_EQ(1, item ? object_.DoDragDrop(item) : object_.DoDragDrop(section));
        PumpFor(30);
    }
    HTREEITEM Selected() {
        return reinterpret_cast<HTREEITEM>(SendMessageA(tree_, TVM_GETNEXTITEM, TVGN_CARET, 0));
    }

    HWND tree_ = nullptr;
    CVellumDragDropObject object_{1};
};

TEST_F(TreeDragTest, ItemsMoveOntoItemNodesAndSectionsOntoSectionNodes) {
    std::vector<std::string> lines = {"AlwaysOnTop=1", "[Section1]", "Type=Default", "Title=First",
                                      "Item1.Title=A", "Item2.Title=B", "[Section2]", "Type=Default",
                                      "Title=Second", "Item1.Title=X", "Item2.Title=Y"};
    CVellumMenuObject* bar = LoadBar(WriteBar("tree.tsbar", BarLines("Tree", {50, 100, 450, 130}, false, lines)));
    ASSERT_TRUE(bar);
    Fill(bar);
    CVellumMenuSection* first = bar->m_sections[0];
    CVellumMenuSection* second = bar->m_sections[1];
    CVellumMenuItem* a = first->m_items[0];

    // An item onto an item node: behind that item, its node moved with it and selected.
    DragTo(a, nullptr, NodeOf(second->m_items[0]));
    EXPECT_EQ((std::vector<std::string>{"B"}), Titles(first));
    EXPECT_EQ((std::vector<std::string>{"X", "A", "Y"}), Titles(second));
    EXPECT_EQ((std::vector<std::string>{"B"}), ChildTexts(NodeOf(first)));
    EXPECT_EQ((std::vector<std::string>{"X", "A", "Y"}), ChildTexts(NodeOf(second)));
    EXPECT_EQ(NodeOf(a), Selected());

    // An item onto the bar's node: refused.
    DragTo(a, nullptr, NodeOf(bar));
    EXPECT_EQ((std::vector<std::string>{"X", "A", "Y"}), Titles(second));

    // A section onto another section's node: behind it.
    DragTo(nullptr, first, NodeOf(second));
    ASSERT_EQ(second, bar->m_sections[0]);
    ASSERT_EQ(first, bar->m_sections[1]);
    EXPECT_EQ((std::vector<std::string>{"Second", "First"}), ChildTexts(NodeOf(bar)));
    EXPECT_EQ((std::vector<std::string>{"B"}), ChildTexts(NodeOf(first)));
    EXPECT_EQ(NodeOf(first), Selected());
    ASSERT_TRUE(bar->Save(bar->m_barFile));
    EXPECT_EQ("Second", clicks_test::ReadKey(bar->m_barFile, "Section1", "Title"));
}

TEST_F(TreeDragTest, FilesDroppedOnAnItemNodeFollowThatItem) {
    std::vector<std::string> lines = {"AlwaysOnTop=1", "[Section1]", "Type=Default", "Title=Only",
                                      "Item1.Title=A", "Item2.Title=B"};
    CVellumMenuObject* bar = LoadBar(WriteBar("treefiles.tsbar", BarLines("TreeFiles", {50, 100, 450, 130}, false, lines)));
    ASSERT_TRUE(bar);
    Fill(bar);
    CVellumMenuSection* section = bar->m_sections[0];
    ASSERT_TRUE(files_.Write("f.txt", "x"));
    const std::string name = DisplayName(files_.File("f.txt"));
    FileDropData data({files_.File("f.txt")});
    POINTL p = NodePoint(NodeOf(section->m_items[0]));
    DWORD effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    ASSERT_EQ(S_OK, object_.DragEnter(&data, 0, p, &effect));
    EXPECT_EQ(DWORD(DROPEFFECT_LINK), effect);
    effect = DROPEFFECT_COPY | DROPEFFECT_LINK;
    ASSERT_EQ(S_OK, object_.Drop(&data, 0, p, &effect));
    EXPECT_EQ((std::vector<std::string>{"A", name, "B"}), Titles(section));
    EXPECT_EQ((std::vector<std::string>{"A", name, "B"}), ChildTexts(NodeOf(section)));
    EXPECT_EQ(NodeOf(section->m_items[1]), Selected());
    // The bar's node takes no files.
    effect = DROPEFFECT_LINK;
    object_.DragEnter(&data, 0, NodePoint(NodeOf(bar)), &effect);
    EXPECT_EQ(DWORD(DROPEFFECT_NONE), effect);
    object_.DragLeave();
}

}  // namespace
