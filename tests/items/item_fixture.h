// Real bars read from bar files in the test process, under a stand-in main
// window that relays what bars tell each other, with a plain skin; clicks are
// sent as real input.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/test_support.h"

namespace item_test {

HWND MainWindow();

class ItemTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A bar file: "[Object]" keys of a bar at r with the plain skin, then the
    // lines (the caller writes "[Section1]" and the items).
    std::string WriteBar(const std::string& name, const char* title, RECT r, bool vertical,
                         const std::vector<std::string>& lines) const;
    // Reads a bar file into a new bar and waits until it shows.
    CVellumMenuObject* LoadBar(const std::string& path);
    CVellumMenuItem* Item(CVellumMenuObject* bar, int index = 0) const;
    RECT ItemScreenRect(CVellumMenuItem* item) const;
    // A left click (or two, as a double click) at the item's centre, as real input.
    void Click(CVellumMenuItem* item);
    // between runs after the first click, before the second.
    void DoubleClick(CVellumMenuItem* item, const std::function<void()>& between = nullptr);
    // Pumps until cond holds (3 s at most by default).
    bool Wait(const std::function<bool()>& cond, DWORD ms = 3000);
    // Saves the bar to a new file of this folder and returns its path.
    std::string Save(CVellumMenuObject* bar, const std::string& name);

    int screen_w_ = 0, screen_h_ = 0;
    testing_support::TempFolder files_;
    std::string skin_;
};

using testing_support::ReadKey;

}  // namespace item_test
