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

namespace ctxmenu_test {

// One entry of a menu as it showed, submenus flattened after their entry.
struct ShownEntry {
    UINT id = 0;            // 0 for separators and submenu entries
    std::string text;
    bool separator = false, popup = false, checked = false, radio = false, disabled = false,
         owner_drawn = false;
    int depth = 0;          // 0 the tracked menu itself
};

// Records the menu that a call opens and chooses an entry by keys (or
// closes it when the id is 0). Only one runs at a time.
class MenuDriver {
public:
    explicit MenuDriver(UINT choose = 0) : choose_(choose) {}
    // Runs open (which must open a menu) with the driver armed.
    void Run(const std::function<void()>& open);
    bool Shown() const { return shown_; }
    const std::vector<ShownEntry>& Entries() const { return entries_; }
    // The entry of the id (the first one that is not owner-drawn when
    // plain is set), or null.
    const ShownEntry* Find(UINT id, bool plain = false) const;
    bool Has(UINT id) const { return Find(id) != nullptr; }
    bool HasAtTop(UINT id) const;
    // Runs while the menu shows, before the keys are sent.
    std::function<void()> while_open;
    // The texts of the header lines while the menu showed.
    std::string bar_line, section_line, item_line;

private:
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR, DWORD);
    void Serve(HWND menu_window);
    UINT choose_;
    bool shown_ = false;
    bool done_ = false;
    std::vector<ShownEntry> entries_;
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
