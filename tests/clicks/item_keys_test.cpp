// Keys and messages an item answers: the Windows key runs each item that
// responds to it once, through its own bar's activation, bringing a hidden
// bar back and an autohidden one out; the item's hotkey runs it; a click
// on an item of a volatile bar closes that bar unless the item is a popup;
// and a skin change writes its flag only into memory the program owns.
#include "clicks_fixture.h"

#include <algorithm>
#include "model/bar_messages.h"
#include "model/item_messages.h"
#include "model/live_objects.h"
#include "model/vellum_menu_section.h"
#include "types/popup_item.h"

namespace clicks_test {
namespace {

constexpr UINT kRetrieveLostBars = 40021;   // what command 38 asks of the main window

size_t CountCommands(UINT id) {
    const auto& c = MainLog().commands;
    return static_cast<size_t>(std::count(c.begin(), c.end(), id));
}

class ItemKeysTest : public ClicksTest {
protected:
    CVellumMenuObject* KeyBar(const char* title, RECT r, bool responds) {
        return LoadBar(WriteBar(std::string(title) + ".tsbar",
                                OneSectionBar(title, r, false,
                                              {"Item1.Title=Key", "Item1.Action=38",
                                               std::string("Item1.RespondToWindowsKey=") + (responds ? "1" : "0")})));
    }
};

TEST_F(ItemKeysTest, TheWindowsKeyRunsEachRespondingItemOnceThroughItsBar) {
    CVellumMenuObject* hidden = KeyBar("Hidden", {300, 300, 500, 330}, true);
    CVellumMenuObject* autohidden = KeyBar("Autohidden", {0, 400, 200, 430}, true);
    CVellumMenuObject* deaf = KeyBar("Deaf", {300, 500, 500, 530}, false);
    ASSERT_TRUE(hidden && autohidden && deaf);
    hidden->Hide(1);
    ASSERT_FALSE(IsWindowVisible(hidden->m_hWnd));
    autohidden->UseAutohide = TRUE;
    ASSERT_EQ(1, autohidden->AutoHide(1, 0));
    ASSERT_TRUE(Wait([&] {
        RECT r;
        GetWindowRect(autohidden->m_hWnd, &r);
        return r.right <= 0;
    }));
    MainLog().Clear();

    testing_support::RelayToEveryBar(WM_BARWINKEY, 0, 0);
    EXPECT_TRUE(Wait([] { return CountCommands(kRetrieveLostBars) >= 2; }));
    testing_support::PumpFor(300);
    EXPECT_EQ(2u, CountCommands(kRetrieveLostBars));
    EXPECT_TRUE(IsWindowVisible(hidden->m_hWnd));
    EXPECT_TRUE(Wait([&] {
        RECT r;
        GetWindowRect(autohidden->m_hWnd, &r);
        return r.left == 0;
    })) << "the autohidden bar slides out";
}

TEST_F(ItemKeysTest, TheHotkeyIdOfAnItemRunsItAndAnUnknownIdNothing) {
    CVellumMenuObject* bar = KeyBar("Hotkey", {300, 300, 500, 330}, false);
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    item->m_hotkeyId = 0x4321;   // as the shell hands out on registration
    MainLog().Clear();
    for (WPARAM unknown : {WPARAM(0), WPARAM(0x4322), WPARAM(1)})
        SendMessageA(bar->m_hWnd, WM_HOTKEY, unknown, 0);
    testing_support::PumpFor(200);
    EXPECT_EQ(0u, CountCommands(kRetrieveLostBars));
    SendMessageA(bar->m_hWnd, WM_HOTKEY, 0x4321, 0);
    EXPECT_TRUE(Wait([] { return CountCommands(kRetrieveLostBars) == 1; }));
    testing_support::PumpFor(200);
    EXPECT_EQ(1u, CountCommands(kRetrieveLostBars));
    item->m_hotkeyId = 0;
    // An activation that names another item, or none without the Windows key, runs nothing.
    PostMessageA(bar->m_hWnd, WM_BARACTIVATE, reinterpret_cast<WPARAM>(bar), 0);
    PostMessageA(bar->m_hWnd, WM_BARACTIVATE, 0, 0);
    testing_support::PumpFor(200);
    EXPECT_EQ(1u, CountCommands(kRetrieveLostBars));
}

TEST_F(ItemKeysTest, AClickInAVolatileBarBringsTheMainWindowForward) {
    testing_support::MessageBoxWatcher boxes(IDNO);
    CVellumMenuObject* bar = LoadBar(WriteBar(
        "vn.tsbar", OneSectionBar("Volatile", {200, 200, 400, 230}, false,
                                  {"Item1.Title=Click", "Item1.Action=38"})));
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    bar->m_volatile = TRUE;
    bar->m_neverSave = TRUE;
    HWND wnd = bar->m_hWnd;
    SetForegroundWindow(wnd);
    ClickAtOnce(item);
    EXPECT_TRUE(Wait([] { return GetForegroundWindow() == MainWindow(); }));
    EXPECT_TRUE(Wait([&] { return !IsLiveBar(bar) || !IsWindow(wnd) || !IsWindowVisible(wnd); }));
    EXPECT_TRUE(Wait([] { return CountCommands(kRetrieveLostBars) == 1; }));
}

TEST_F(ItemKeysTest, AClickOnAPopupItemOfAVolatileBarKeepsTheBarOpen) {
    testing_support::MessageBoxWatcher boxes(IDNO);
    const std::string child = WriteBar(
        "vchild.tsbar", OneSectionBar("VChild", {0, 0, 120, 60}, true, {"Item1.Title=Inner"}));
    CVellumMenuObject* bar = LoadBar(WriteBar(
        "vp.tsbar", OneSectionBar("VolatilePopup", {200, 200, 400, 230}, false,
                                  {"Item1.Type=Popup", "Item1.Title=Tools", "Item1.Popup=" + child,
                                   "Item1.Popup.AutoReposition=0"})));
    auto* opener = dynamic_cast<CVellumMenuItem_Popup*>(Item(bar));
    ASSERT_NE(nullptr, opener);
    bar->m_volatile = TRUE;
    bar->m_neverSave = TRUE;
    HWND wnd = bar->m_hWnd;
    SetForegroundWindow(wnd);
    ClickAtOnce(opener);
    ASSERT_TRUE(Wait([&] { return opener->m_childBar && IsLiveBar(opener->m_childBar); }));
    testing_support::PumpFor(300);
    EXPECT_TRUE(IsLiveBar(bar));
    EXPECT_TRUE(IsWindow(wnd) && IsWindowVisible(wnd));
    EXPECT_NE(MainWindow(), GetForegroundWindow());
}

TEST_F(ItemKeysTest, ASkinChangeWritesItsFlagOnlyIntoTheProgramsOwnMemory) {
    const std::string normal = files_.File("n.bmp");
    ASSERT_TRUE(files_.Write("n.bmp", ""));   // unreadable: the bitmap item keeps no picture
    CVellumMenuObject* bar = LoadBar(WriteBar(
        "skin.tsbar", OneSectionBar("Skin", {200, 200, 400, 230}, false,
                                    {"Item1.Title=Pic", "Item1.DisplayAsBitmap=1",
                                     "Item1.PathRelativeToSkin=1", "Item1.NormalBitmap=n.bmp"})));
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    const UINT skin_changing = GetItemMessages().SkinChanging;
    // A pointer any process could post: left alone.
    int stranger = 0;
    item->ProcessUserMessage(skin_changing, reinterpret_cast<WPARAM>(&stranger), 0);
    EXPECT_EQ(0, stranger);
    // The program's own flag, registered as such, is set.
    int* own = new int(0);
    RegisterOwnedRecord(own);
    item->ProcessUserMessage(skin_changing, reinterpret_cast<WPARAM>(own), 0);
    EXPECT_EQ(1, *own);
    UnregisterOwnedRecord(own);
    delete own;
    // A number that names nothing does no harm.
    item->ProcessUserMessage(skin_changing, 0x12345678, 0);
}

TEST_F(ItemKeysTest, AStateRequestNamesTheItem) {
    CVellumMenuObject* bar = KeyBar("State", {200, 200, 400, 230}, false);
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    const UINT wait_for_state = GetItemMessages().WaitForStateChange;
    SendMessageA(bar->m_hWnd, wait_for_state, reinterpret_cast<WPARAM>(bar), kStateSelected);
    EXPECT_EQ(kStateNormal, static_cast<int>(item->m_state));
    SendMessageA(bar->m_hWnd, wait_for_state, reinterpret_cast<WPARAM>(item), kStateSelected);
    EXPECT_EQ(kStateSelected, static_cast<int>(item->m_state));
}

}  // namespace
}  // namespace clicks_test
