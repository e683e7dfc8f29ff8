// Real bars read from bar files under a stand-in main window that relays
// what bars tell each other, removes items as the program's main window
// does and records the commands and requests it receives; the real stats
// monitor watches the foreground; clicks and keys are real input.
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

namespace clicks_test {

HWND MainWindow();
// What reached the main window: WM_COMMAND ids and registered message names.
struct MainWindowLog {
    std::vector<UINT> commands;
    std::vector<std::string> messages;
    bool Saw(const std::string& name) const;
    bool SawCommand(UINT id) const;
    void Clear();
};
MainWindowLog& MainLog();

class ClicksTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // "[Object]" keys of a bar at r with the fixture's skin, then the lines
    // (more "[Object]" keys until the first section).
    std::string BarLines(const char* title, RECT r, bool vertical,
                         const std::vector<std::string>& lines) const;
    // A bar file of one section holding the items given as "Item1.Key=Value"
    // lines; the bar is not on top unless the object lines say otherwise.
    std::string OneSectionBar(const char* title, RECT r, bool vertical,
                              const std::vector<std::string>& item_lines,
                              const std::vector<std::string>& object_lines = {"AlwaysOnTop=0"}) const;
    std::string WriteBar(const std::string& name, const std::string& text) const;
    // Reads a bar file into a new bar and waits until it shows.
    CVellumMenuObject* LoadBar(const std::string& path, bool show = true);
    CVellumMenuItem* Item(CVellumMenuObject* bar, int index = 0, int section = 0);
    RECT ItemScreenRect(CVellumMenuItem* item);
    void Click(CVellumMenuItem* item);
    // A click whose release is queued with the press: on a volatile bar the
    // press waits in drag detection until the button comes up, and this
    // thread could not send the release while it waits.
    void ClickAtOnce(CVellumMenuItem* item);
    bool Wait(const std::function<bool()>& cond, DWORD ms = 3000);

    int screen_w_ = 0, screen_h_ = 0;
    testing_support::TempFolder files_;
    std::string skin_;
};

using testing_support::ReadKey;

}  // namespace clicks_test
