// The shell's context menu of a file shortcut merged with the item menu,
// built in this process; its commands go through the main window.
#include <string>
#include "shortcut_fixture.h"
#include "model/vellum_menu_section.h"

namespace shortcut_test {
namespace {

using ContextMenuTest = ShortcutTest;

std::string EntryText(HMENU menu, int position) {
    char text[200] = "";
    GetMenuStringA(menu, position, text, sizeof(text), MF_BYPOSITION);
    return text;
}

HMENU MakeItemMenu() {
    HMENU base = CreatePopupMenu();
    AppendMenuA(base, MF_STRING, 40047, "Use active icon");
    AppendMenuA(base, MF_STRING, 40140, "Properties...");
    return base;
}

TEST_F(ContextMenuTest, TheItemMenuSitsBeforeTheShellsLastTwoAndRemovesTheShortcutAfterwards) {
    ASSERT_TRUE(files_.Write("doc.tessprobe", "x"));
    CVellumMenuObject* bar = LoadBar({"Item1.Type=Shortcut", "Item1.Title=Doc",
                                      "Item1.Shortcut.File=" + files_.File("doc.tessprobe"),
                                      "Item2.Title=Other"});
    CVellumMenuItem_Shortcut* item = Item(bar, 0);
    ASSERT_NE(nullptr, item);
    CVellumMenuSection* section = bar->m_sections[0];
    ASSERT_EQ(2, section->GetNumOfItems());

    HMENU base = MakeItemMenu();
    HMENU menu = item->InitCustomContextMenu(nullptr, base);
    ASSERT_NE(nullptr, menu);
    const int count = GetMenuItemCount(menu);
    ASSERT_GE(count, 5) << "the shell's entries, a separator and the item menu";
    EXPECT_EQ(kShellMenuFirstId, item->m_firstShellId);
    EXPECT_GT(item->m_lastShellId, item->m_firstShellId);
    UINT first_id = GetMenuItemID(menu, 0);
    EXPECT_TRUE(first_id >= static_cast<UINT>(item->m_firstShellId) &&
                first_id < static_cast<UINT>(item->m_lastShellId))
        << first_id;
    EXPECT_EQ("Tessellar...", EntryText(menu, count - 3));
    EXPECT_EQ(base, GetSubMenu(menu, count - 3));
    EXPECT_EQ(static_cast<UINT>(MF_SEPARATOR), GetMenuState(menu, count - 4, MF_BYPOSITION) & MF_SEPARATOR);

    // The item menu: the owner-drawn header first, then the removal before "Properties...".
    EXPECT_EQ(static_cast<UINT>(kShortcutHeaderId), GetMenuItemID(base, 0));
    EXPECT_TRUE(GetMenuState(base, 0, MF_BYPOSITION) & MF_OWNERDRAW);
    const int base_count = GetMenuItemCount(base);
    ASSERT_EQ(5, base_count);
    EXPECT_EQ(static_cast<UINT>(kShortcutRemoveShortcutId), GetMenuItemID(base, 2));
    EXPECT_EQ("Remove this shortcut", EntryText(base, 2));
    EXPECT_TRUE(GetMenuState(base, 3, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(40140u, GetMenuItemID(base, 4));

    // Chosen, the shortcut stays until the menu has gone.
    EXPECT_EQ(1, item->DoCustomContextMenuCommand(kShortcutRemoveShortcutId));
    EXPECT_EQ(item, section->m_items[0]);
    item->UnInitCustomContextMenu(nullptr, base);
    EXPECT_EQ(0, item->DoCustomContextMenuCommand(kShortcutRemoveShortcutId)) << "no menu open";
    RemoveMenu(menu, count - 3, MF_BYPOSITION);
    DestroyMenu(menu);
    DestroyMenu(base);
    EXPECT_TRUE(testing_support::PumpUntil([&] { return section->GetNumOfItems() == 1; }, 3000));
    EXPECT_STREQ("Other", section->m_items[0]->m_title);
}

// A shell context menu that records what the main window does with it
// (Wine's item menus refuse numeric verbs, so the real one shows nothing).
class RecordingContextMenu : public IContextMenu {
public:
    HRESULT STDMETHODCALLTYPE QueryInterface(REFIID iid, void** out) override {
        if (iid == IID_IUnknown || iid == IID_IContextMenu) {
            *out = this;
            AddRef();
            return S_OK;
        }
        *out = nullptr;
        return E_NOINTERFACE;
    }
    ULONG STDMETHODCALLTYPE AddRef() override { return ++refs; }
    ULONG STDMETHODCALLTYPE Release() override { return --refs; }
    HRESULT STDMETHODCALLTYPE QueryContextMenu(HMENU, UINT, UINT, UINT, UINT) override {
        return MAKE_HRESULT(SEVERITY_SUCCESS, 0, 0);
    }
    HRESULT STDMETHODCALLTYPE InvokeCommand(CMINVOKECOMMANDINFO* info) override {
        ++invoked;
        verb = reinterpret_cast<UINT_PTR>(info->lpVerb);
        return S_OK;
    }
    HRESULT STDMETHODCALLTYPE GetCommandString(UINT_PTR, UINT, UINT*, LPSTR, UINT) override {
        return E_NOTIMPL;
    }
    ULONG refs = 1;
    int invoked = 0;
    UINT_PTR verb = 0;
};

TEST_F(ContextMenuTest, AShellEntryRunsThroughTheMainWindowWhichReleasesIt) {
    ASSERT_TRUE(files_.Write("doc.tessprobe", "x"));
    CVellumMenuObject* bar = LoadBar({"Item1.Type=Shortcut", "Item1.Title=Doc",
                                      "Item1.Shortcut.File=" + files_.File("doc.tessprobe")});
    CVellumMenuItem_Shortcut* item = Item(bar, 0);
    ASSERT_NE(nullptr, item);
    HMENU base = MakeItemMenu();
    HMENU menu = item->InitCustomContextMenu(nullptr, base);
    ASSERT_NE(nullptr, menu);
    IContextMenu* shell_menu = item->m_contextMenu;
    RecordingContextMenu recording;
    item->m_contextMenu = &recording;

    // The first shell entry is a verb like any other.
    for (int offset : {0, 3}) {
        recording.invoked = 0;
        EXPECT_EQ(1, item->DoCustomContextMenuCommand(kShellMenuFirstId + offset));
        EXPECT_EQ(2u, recording.refs) << "a reference goes with the message";
        EXPECT_EQ(0, recording.invoked) << "not before the menu has gone";
        EXPECT_TRUE(testing_support::PumpUntil([&] { return recording.invoked == 1; }, 3000));
        EXPECT_EQ(static_cast<UINT_PTR>(offset), recording.verb);
        EXPECT_EQ(1u, recording.refs) << "released by the main window";
    }
    // A message that cannot be posted gives its reference back.
    HWND dead = CreateWindowA("STATIC", "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr, nullptr, nullptr);
    DestroyWindow(dead);
    HWND main_window = bar->m_hMainWindow;
    bar->m_hMainWindow = dead;
    recording.invoked = 0;
    EXPECT_EQ(1, item->DoCustomContextMenuCommand(kShellMenuFirstId));
    bar->m_hMainWindow = main_window;
    EXPECT_EQ(1u, recording.refs);
    testing_support::PumpFor(100);
    EXPECT_EQ(0, recording.invoked);

    item->m_contextMenu = shell_menu;
    item->UnInitCustomContextMenu(nullptr, base);
    EXPECT_EQ(nullptr, item->m_contextMenu);
    RemoveMenu(menu, GetMenuItemCount(menu) - 3, MF_BYPOSITION);
    DestroyMenu(menu);
    DestroyMenu(base);
}

}  // namespace
}  // namespace shortcut_test
