// Real bars read from bar files under a stand-in main window that hands
// their messages to the shell's own handling, and the real theme editor
// opened over them. The tree is read by TVM_ messages; tracked menus are
// read from their "#32768" window and answered by keys from a timer.
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "tests/support/test_support.h"
#include "tests/support/tracked_menu.h"

namespace editor_test {

// One tree row as the tree holds it, in display order.
struct Row {
    HTREEITEM node = nullptr;
    int depth = 0;
    std::string text;
    LPARAM data = 0;
};

using testing_support::MenuDriver;

class EditorTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A bar file of the test skin: the title, [Object] lines and sections
    // (each the lines after its "[SectionN]"); loaded and shown.
    CVellumMenuObject* Bar(const std::string& title, const std::vector<std::string>& object_lines,
                           const std::vector<std::vector<std::string>>& sections, int top = 40);
    CVellumMenuObject* Reload(const std::string& path);

    HWND OpenEditor();
    HWND Editor() const;
    HWND Tree() const;
    std::vector<Row> Rows() const;
    HTREEITEM NodeOf(const void* object) const;
    HTREEITEM Selected() const;
    void Select(HTREEITEM node);
    std::string Caption() const;
    std::vector<std::string> TabTexts() const;
    // The editor's visible page, or null.
    HWND VisiblePage() const;
    // The screen point at the middle of a node's text.
    POINT TextPoint(HTREEITEM node) const;
    // Right click on the tree at the screen point, with the menu answered.
    void RightClick(POINT at, MenuDriver* menu);

    testing_support::TempFolder root_;
    std::string skin_;
};

}  // namespace editor_test
