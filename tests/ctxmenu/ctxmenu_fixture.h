// Real bars read from bar files under a stand-in main window that removes
// sections as the program's main window does and records the commands it
// receives; menus opened by a right click or by ShowBarContextMenu are read
// from their "#32768" window and driven by keys from a timer.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "tests/support/test_support.h"
#include "tests/support/tracked_menu.h"

namespace ctxmenu_test {

using testing_support::ShownEntry;

// The shared menu driver, choosing by command id (0 closes the menu), that
// also keeps the header lines the bar menu showed.
class MenuDriver : public testing_support::MenuDriver {
public:
    explicit MenuDriver(UINT choose = 0) : testing_support::MenuDriver(choose, -1) {}
    // The texts of the header lines while the menu showed.
    std::string bar_line, section_line, item_line;

protected:
    void OnShown() override;
};

HWND MainWindow();
struct MainWindowLog {
    std::vector<UINT> commands;
    std::vector<std::string> messages;
    bool SawCommand(UINT id) const;
    bool Saw(const std::string& name) const;
};
MainWindowLog& MainLog();

class CtxMenuTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A bar file: "[Object]" keys of a bar at r with the fixture's skin, the
    // object lines, then the sections (each a list of lines after
    // "[SectionN]").
    std::string BarText(const char* title, RECT r, bool vertical,
                        const std::vector<std::string>& object_lines,
                        const std::vector<std::vector<std::string>>& sections,
                        const std::string& skin = "") const;
    std::string WriteBar(const std::string& name, const std::string& text) const;
    CVellumMenuObject* LoadBar(const std::string& path);
    bool Wait(const std::function<bool()>& cond, DWORD ms = 3000);

    int screen_w_ = 0, screen_h_ = 0;
    testing_support::TempFolder files_;
    std::string skin_;
};

using testing_support::ReadKey;

}  // namespace ctxmenu_test
