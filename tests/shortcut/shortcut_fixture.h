// Real bars holding shortcut items under a stand-in main window that hands
// its registered messages to the program's own main-window handling, and a
// launch probe that every launched program (direct, "App Paths", a test
// extension, the http open command) runs as.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_object.h"
#include "tests/support/test_support.h"
#include "types/shortcut_item.h"

namespace shortcut_test {

// What the probe saw; ran is false when it did not run in time.
struct ProbeRun {
    bool ran = false;
    std::string command_line;
    std::string folder;
    int show = -1;
};

constexpr const char* kProbeAppName = "tessprobe.exe";
constexpr const char* kProbeExtension = ".tessprobe";

HWND MainWindow();
// The probe executable beside the tests.
std::string ProbeExe();
// "App Paths" entry, test extension and http open command, all running the probe.
void RegisterProbe();

class ShortcutTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A bar whose first section holds the given item lines ("Item1.Type=...").
    CVellumMenuObject* LoadBar(const std::vector<std::string>& lines, bool show = true);
    CVellumMenuItem_Shortcut* Item(CVellumMenuObject* bar, int index = 0);
    // Waits for the probe's record (and removes it); ms 0 only looks.
    ProbeRun WaitForProbe(DWORD ms = 8000);
    std::string BarFile() const { return files_.File("shortcuts.tsbar"); }

    testing_support::TempFolder files_;
    std::string probe_out_;
};

// The values under a HKEY_CURRENT_USER key: name and data.
std::vector<std::pair<std::string, std::string>> RegistryValues(const char* key);

}  // namespace shortcut_test
