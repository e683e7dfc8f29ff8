// Real bars read from bar files for the item tests: a skin folder and a bar
// folder holding the committed image fixtures, a stand-in main window that
// records "SwapItems (Behavior)" and hands it to the shell's swap, and a
// dialog with a combo box for the behaviour classes.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <utility>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "tests/support/test_support.h"

namespace items_test {

HWND MainWindow();
// The swaps the main window received, in order (old item, new item).
std::vector<std::pair<WPARAM, LPARAM>>& PostedSwaps();
// Whether the main window carries the swaps out (as the program's does).
void SetSwapsHandled(bool handled);

// The committed fixture file tests\items\fixtures\<name>.
std::string FixtureFile(const std::string& name);

class ItemsTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A bar file in the bar folder: the [Object] keys with the fixture skin,
    // then "[Section1]" and the given item lines. Returns its path.
    std::string WriteBar(const std::string& name, const std::vector<std::string>& item_lines,
                         const std::string& folder = "");
    CVellumMenuObject* LoadBar(const std::string& path, bool show = true);
    // Writes and loads in one step.
    CVellumMenuObject* Bar(const std::vector<std::string>& item_lines, bool show = true);
    CVellumMenuItem* Item(CVellumMenuObject* bar, int index = 0);
    void CloseBar(CVellumMenuObject* bar);
    bool Wait(const std::function<bool()>& cond, DWORD ms = 3000);

    testing_support::TempFolder root_;
    std::string skin_folder_;   // with a trailing backslash
    std::string bar_folder_;
    std::string skin_;
};

// A modeless dialog with one drop-down list combo box, destroyed with it.
class ComboDialog {
public:
    ComboDialog();
    ~ComboDialog();
    ComboDialog(const ComboDialog&) = delete;
    ComboDialog& operator=(const ComboDialog&) = delete;
    HWND Combo() const { return combo_; }
    std::vector<std::string> Entries() const;
    std::string Selected() const;
    // Selects the entry whose text is text; false when there is none.
    bool Choose(const std::string& text);

private:
    HWND dialog_ = nullptr;
    HWND combo_ = nullptr;
};

}  // namespace items_test
