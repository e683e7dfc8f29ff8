// An item's own popup menu ("PopupMenu", command 1): it opens beside the
// item as a real menu, and the chosen entry runs its own command, whatever
// set the item's action came from.
#include "clicks_fixture.h"

#include <atomic>
#include <thread>
#include "model/vellum_menu_section.h"
#include "util/general_helpers.h"

namespace clicks_test {
namespace {

std::string DesktopNewFolder() {
    char desktop[MAX_PATH] = "";
    GetDesktopFolderPath(desktop, sizeof(desktop));
    std::string path = desktop;
    if (!path.empty() && path.back() != '\\') path += '\\';
    return path + "New Folder";
}

bool FolderExists(const std::string& path) {
    DWORD a = GetFileAttributesA(path.c_str());
    return a != INVALID_FILE_ATTRIBUTES && (a & FILE_ATTRIBUTE_DIRECTORY);
}

// Waits on a thread of its own for the menu window, notes where it opened
// and chooses its first entry with the keyboard.
class MenuChooser {
public:
    explicit MenuChooser(HWND owner) : owner_(owner), thread_([this] { Run(); }) {}
    ~MenuChooser() { thread_.join(); }
    RECT rect{};
    std::atomic<bool> found{false};

private:
    void Run() {
        for (int i = 0; i < 300; ++i) {
            HWND menu = FindWindowA("#32768", nullptr);
            if (menu && IsWindowVisible(menu)) {
                Sleep(100);
                GetWindowRect(menu, &rect);
                found = true;
                // The menu's own loop takes keys posted to its window.
                PostMessageA(menu, WM_KEYDOWN, VK_DOWN, 0);
                PostMessageA(menu, WM_KEYUP, VK_DOWN, 0);
                Sleep(50);
                PostMessageA(menu, WM_KEYDOWN, VK_RETURN, 0);
                PostMessageA(menu, WM_KEYUP, VK_RETURN, 0);
                return;
            }
            Sleep(10);
        }
    }
    HWND owner_;
    std::thread thread_;
};

class ItemPopupMenuTest : public ClicksTest {};

TEST_F(ItemPopupMenuTest, OpensBesideTheItemAndTheChosenEntryRunsItsCommand) {
    const std::string folder = DesktopNewFolder();
    RemoveDirectoryA(folder.c_str());
    ASSERT_FALSE(FolderExists(folder));
    testing_support::MessageBoxWatcher boxes(IDOK);

    // The first run makes the folder, the second finds it there and is quiet.
    for (bool vertical : {false, true}) {
        SCOPED_TRACE(vertical ? "vertical bar" : "horizontal bar");
        RECT place = vertical ? RECT{300, 150, 420, 400} : RECT{200, 200, 600, 230};
        CVellumMenuObject* bar = LoadBar(WriteBar(
            vertical ? "v.tsbar" : "h.tsbar",
            OneSectionBar(vertical ? "Vertical" : "Horizontal", place, vertical,
                          {"Item1.Title=First"})));
        ASSERT_TRUE(bar && bar->m_sections[0]);
        CVellumMenuSection* section = bar->m_sections[0];
        // A plain item of the base class, as items of types to come are.
        auto* item = new CVellumMenuItem(bar, section, const_cast<char*>("Menu"));
        item->Action = 1;
        item->ActionClass = 3;   // the clipboard set, which does not hold command 2
        AppendMenuA(item->m_popupMenu, MF_STRING, 2, "New Folder");
        AppendMenuA(item->m_popupMenu, MF_STRING, 0, "Nothing");
        ASSERT_TRUE(section->InsertItem(-1, item));
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        testing_support::PumpFor(50);

        RECT item_rect;
        item->GetRealItemRect(&item_rect);
        RECT bar_rect;
        GetWindowRect(bar->m_hWnd, &bar_rect);
        {
            MenuChooser chooser(bar->m_hWnd);
            Click(item);
            Wait([&] { return chooser.found.load(); });
            testing_support::PumpFor(200);
            ASSERT_TRUE(chooser.found);
            if (vertical) {
                EXPECT_NEAR(bar_rect.left + item_rect.right, chooser.rect.left, 2);
                EXPECT_NEAR(bar_rect.top + item_rect.top, chooser.rect.top, 2);
            } else {
                EXPECT_NEAR(bar_rect.left + item_rect.left, chooser.rect.left, 2);
                EXPECT_NEAR(bar_rect.top + item_rect.bottom, chooser.rect.top, 2);
            }
        }
        EXPECT_TRUE(Wait([&] { return FolderExists(folder); })) << folder;
        // The entry's command as the menu hands it to the bar.
        SendMessageA(bar->m_hWnd, WM_COMMAND, 2, 0);
        EXPECT_TRUE(FolderExists(folder)) << folder;
        testing_support::CloseTestBar(bar, true);
    }
    EXPECT_EQ(0u, boxes.Count());
    RemoveDirectoryA(folder.c_str());
}

TEST_F(ItemPopupMenuTest, AnItemWithoutEntriesHasNoMenuAndRunsItsAction) {
    CVellumMenuObject* bar = LoadBar(WriteBar(
        "n.tsbar", OneSectionBar("NoMenu", {200, 200, 600, 230}, false, {"Item1.Title=First"})));
    ASSERT_TRUE(bar && bar->m_sections[0]);
    auto* item = new CVellumMenuItem(bar, bar->m_sections[0], const_cast<char*>("Plain"));
    item->Action = 1;
    ASSERT_TRUE(bar->m_sections[0]->InsertItem(-1, item));
    EXPECT_EQ(nullptr, item->GetPopupMenu());
    EXPECT_EQ(0, item->TrackPopupMenu(0));
    // A separator and a disabled item ignore clicks.
    item->Action = 38;   // "Retrieve Lost Bars" posts to the main window
    item->Separator = TRUE;
    item->OnClick();
    item->Separator = FALSE;
    item->m_disabled = TRUE;
    item->OnClick();
    testing_support::PumpFor(50);
    EXPECT_FALSE(MainLog().SawCommand(40021));
    item->m_disabled = FALSE;
    item->OnClick();
    EXPECT_TRUE(Wait([] { return MainLog().SawCommand(40021); }));
}

}  // namespace
}  // namespace clicks_test
