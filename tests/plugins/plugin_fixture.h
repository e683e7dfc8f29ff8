// Probe plug-ins (copies of probe_plugin.dll, each with the INI beside it
// that picks its answers) in real bars read from bar files, under a stand-in
// main window that relays what the program's main window relays.
#pragma once
#include <windows.h>
#include <functional>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_object.h"
#include "tests/support/test_support.h"
#include "types/plugin_item.h"

namespace plugin_test {

HWND MainWindow();
// While held, the main window does not relay "CMenuObject ThemeLoaded".
void HoldThemeLoaded(bool hold);
std::vector<std::string> ReadLines(const std::string& path);
// The log lines without their "#n" instance tag, of instance n only (0: all).
std::vector<std::string> LogOf(const std::string& dll, int instance = 0);
// Lines of the log whose text starts with one of the prefixes.
std::vector<std::string> Only(const std::vector<std::string>& lines,
                              const std::vector<std::string>& prefixes);

class PluginTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A copy of the probe named name + ".dll" in the test folder, answering as
    // the [Probe] lines say; its full path.
    std::string Probe(const std::string& name, const std::vector<std::string>& settings = {});
    std::string BarLines(const char* title, RECT r, bool vertical,
                         const std::vector<std::string>& lines) const;
    std::string WriteFile(const std::string& name, const std::string& text) const;
    // Reads the bar file into a bar as the theme does (the bar announces its
    // finished load and the main window relays it) and waits until it shows.
    CVellumMenuObject* LoadBar(const std::string& path);
    CVellumMenuObject* LoadBarWith(const char* title, RECT r, const std::vector<std::string>& lines,
                                   bool vertical = false);
    CVellumMenuItem_Plugin* Plugin(CVellumMenuObject* bar, int index = 0);
    RECT ItemScreenRect(CVellumMenuItem* item);
    void Click(CVellumMenuItem* item);
    bool Wait(const std::function<bool()>& cond, DWORD ms = 3000);
    void CloseAllBars();

    testing_support::TempFolder files_;
    std::string skin_;
    std::string bars_;   // the theme's "Bars\" folder
    int screen_w_ = 0, screen_h_ = 0;
};

}  // namespace plugin_test
