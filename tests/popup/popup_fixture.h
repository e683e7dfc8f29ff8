// Real bars read from bar files under a stand-in main window that relays the
// messages bars tell each other, a plain skin with a popup companion, and
// clicks sent as real input.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_object.h"
#include "tests/support/test_support.h"
#include "types/popup_item.h"

namespace popup_test {

HWND MainWindow();
std::string RectText(const RECT& r);
RECT WindowRect(CVellumMenuObject* bar);
bool Visible(CVellumMenuObject* bar);
// The bar window titled so ("Tessellar Toolbar"), or null.
HWND FindBarWindow(const char* title);
CVellumMenuObject* FindBar(const char* title);

class PopupTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // "[Object]" keys of a bar at r with the plain skin, then the lines.
    std::string BarLines(const char* title, RECT r, bool vertical,
                         const std::vector<std::string>& lines) const;
    std::string WriteBar(const std::string& name, const std::string& text) const;
    // Reads a bar file into a new bar and waits until it shows.
    CVellumMenuObject* LoadBar(const std::string& path, bool show = true);
    CVellumMenuItem_Popup* Item(CVellumMenuObject* bar, int index = 0);
    RECT ItemScreenRect(CVellumMenuItem* item);
    // A left click at the centre of the item, as real input.
    void Click(CVellumMenuItem* item);
    void MoveTo(CVellumMenuItem* item);
    // Pumps until cond holds (20 s at most: generous for a loaded machine).
    bool Wait(const std::function<bool()>& cond, DWORD ms = 20000);
    // Lets the popup-open guard of the last opening run out.
    void AfterGuard();

    int screen_w_ = 0, screen_h_ = 0;
    testing_support::TempFolder files_;
    std::string skin_;
};

}  // namespace popup_test
