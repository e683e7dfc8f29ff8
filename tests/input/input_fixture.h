// Bars with real windows, sections and counting items placed by hand, and
// the pointer and key state a test drives them with.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "tests/support/test_support.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"

namespace input_test {

// A skin record with only the input margins set (input_skin_fixture.cpp).
SkinRecord* MakeInputSkin(RECT resize, RECT move, int grip_width);
void FreeInputSkin(SkinRecord* skin);
// The skin gets no height steps (ResizeBase -1).
void SetNoHeightSteps(SkinRecord* skin);
// A skin file through the skin cache (one reference), and giving it back.
SkinRecord* LoadInputSkinFile(const std::string& path);
void ReleaseInputSkin(SkinRecord* skin);

// The stand-in main window: counts the registered messages it receives.
HWND MainWindow();
size_t MainMessageCount(const char* name);
void ClearMainMessages();

// An item that records its states and popup requests.
class TestItem : public CVellumMenuItem {
public:
    TestItem(CVellumMenuObject* bar, CVellumMenuSection* section, const char* title);
    void SetState(UINT state, int keep) override;
    int TrackPopupMenu(int byKeyboard) override;
    void OnClick() override { ++clicks; }
    void OnDblClick() override { ++double_clicks; }
    void OnRClick(int* handled) override {
        ++right_clicks;
        if (handled) *handled = 0;
    }
    int GetPopupDelay() override { return popup_delay; }
    void ProcessMenuMessage(UINT msg, WPARAM wp, LPARAM) override {
        menu_messages.push_back({msg, wp});
    }

    std::vector<UINT> states;
    int popup_requests = 0;
    int keyboard_popup_requests = 0;
    int clicks = 0;
    int double_clicks = 0;
    int right_clicks = 0;
    int popup_delay = -1;
    std::vector<std::pair<UINT, WPARAM>> menu_messages;
};

// Sets or clears keys in this thread's key state (what GetKeyState reads).
void SetKeyDown(int vk, bool down);

class InputTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A shown bar at screen rectangle r, with a skin of the given margins.
    CVellumMenuObject* NewBar(RECT r, RECT resize = {4, 4, 4, 4}, RECT move = {-1, -1, -1, -1},
                              int grip = 6);
    // A section occupying outer (bar-window coordinates), inner = outer.
    CVellumMenuSection* AddSection(CVellumMenuObject* bar, RECT outer);
    // An item at rect relative to the section's inner rectangle.
    TestItem* AddItem(CVellumMenuSection* section, RECT rect, const char* title);

    // Puts the cursor on a client point of the bar and sends the message.
    void Mouse(CVellumMenuObject* bar, UINT msg, int x, int y);
    HCURSOR ClassCursor(CVellumMenuObject* bar);
    // Gives the bar its own skin back and closes it the program's way.
    void CloseBar(CVellumMenuObject* bar);

    std::vector<CVellumMenuObject*> bars_;
    // Each bar saves into a file of its own here when it closes modified.
    testing_support::TempFolder bar_files_;
    std::vector<SkinRecord*> skins_;
    std::vector<std::pair<CVellumMenuObject*, SkinRecord*>> own_skins_;
};

}  // namespace input_test
