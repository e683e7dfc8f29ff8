// Bars read from bar files into real windows, their property pages created in
// a plain host window, controls set by messages, and the saved bar file read
// back. The main window is a stand-in that hands the bars' messages to the
// shell's own handling.
#pragma once
#include <windows.h>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "tests/support/test_support.h"

namespace pages_test {

class PagesTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A bar file: the [Object] keys (title, the test skin, the extra lines),
    // then the section lines. Returns its path.
    std::string WriteBar(const std::string& name, const std::string& title,
                         const std::vector<std::string>& object_lines,
                         const std::vector<std::string>& section_lines);
    CVellumMenuObject* LoadBar(const std::string& path);
    // Writes and loads in one step; a bar with one plain section by default.
    CVellumMenuObject* Bar(const std::string& title, const std::vector<std::string>& object_lines = {},
                           const std::vector<std::string>& section_lines = {"[Section1]"});

    // Saves the bar to its file and reads a key of a section of it; the
    // writer leaves out keys at their default, which then reads as `absent`.
    std::string Saved(CVellumMenuObject* bar, const char* section, const char* key,
                      const char* absent = "<missing>");

    // ---- controls, as the user sets them ------------------------------------------------------
    static void Click(HWND page, int id, bool checked);
    static void Choose(HWND page, int id, int row);
    static void Type(HWND page, int id, const char* text);
    static void Notify(HWND page, int id, int code);
    static std::string TextOf(HWND page, int id);
    static bool IsChecked(HWND page, int id);
    static bool IsEnabled(HWND page, int id);
    static int Row(HWND page, int id);

    // The plain window the pages live in.
    HWND Host() const { return host_; }

    testing_support::TempFolder root_;
    std::string skin_;        // a skin file of the test
    std::string other_skin_;  // a second one
    HWND host_ = nullptr;
};

}  // namespace pages_test
