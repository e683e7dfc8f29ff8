// Real bar windows placed through SetPos, under a stand-in main window that
// relays the messages bars tell each other through it, as the program's
// main window does.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "skins/skin_record.h"
#include "tests/support/test_support.h"

namespace placement_test {

HWND MainWindow();
void SetKeyDown(int vk, bool down);
// Posts a registered message to the stand-in main window, which relays it.
void PostToMain(const char* name, WPARAM wp = 0, LPARAM lp = 0);

RECT WindowRect(CVellumMenuObject* bar);
// Deadline for what the bars do in answer (a slide, a timer, another
// process): generous for a loaded machine, as waits end once the state holds.
constexpr DWORD kWaitMs = 20000;

// Pumps until the bar's window rectangle equals want (kWaitMs at most).
bool WaitForRect(CVellumMenuObject* bar, const RECT& want);
std::string RectText(const RECT& r);

class PlacementTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A shown bar at r (screen = monitor-relative on the one monitor).
    CVellumMenuObject* NewBar(RECT r);
    // A bar with one item that serves as the popup item of a group.
    CVellumMenuItem* NewOwnerItem();
    // A plain window of this process made the foreground window.
    HWND ForegroundPlainWindow();
    void CloseBar(CVellumMenuObject* bar);

    int screen_w_ = 0;
    int screen_h_ = 0;
    std::vector<CVellumMenuObject*> bars_;
    std::vector<std::pair<CVellumMenuObject*, SkinRecord*>> own_skins_;
    std::vector<SkinRecord*> skins_;
    testing_support::TempFolder bar_files_;
    HWND plain_ = nullptr;
};

}  // namespace placement_test
