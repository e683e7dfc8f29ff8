// What the folder and mirroring tests share: a main window "Tessellar Main"
// in this process with the real stats monitor and the program's own handling
// of registered messages; bars written from text and loaded; real folders
// under a temporary folder.
#pragma once
#include <windows.h>

#include <functional>
#include <string>
#include <vector>

#include <gtest/gtest.h>

#include "model/vellum_menu_object.h"
#include "tests/support/test_support.h"
#include "types/folder_section.h"
#include "types/shortcut_item.h"

namespace folder_test {

HWND MainWindow();

class FolderTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // A shown vertical bar of the given sections ("[Section1]\r\n..." text),
    // in file name (a new one per call unless given).
    CVellumMenuObject* LoadBar(const std::string& sections, const std::string& name = "",
                               int height = 200);
    // The bar file of that name as it lies (no sections written).
    CVellumMenuObject* Reload(const std::string& name);
    static CVellumMenuSection_Folder* FolderOf(CVellumMenuObject* bar, int index = 0);
    bool Wait(const std::function<bool()>& cond, DWORD ms = 3000);
    // Makes files and folders below the temporary folder ("x\" is a folder).
    std::string MakeTree(const std::string& root, const std::vector<std::string>& names);
    void CloseBar(CVellumMenuObject* bar);

    testing_support::TempFolder files_;
    int bar_count_ = 0;
};

// The section's item titles in order ("" for none), and without extensions.
std::vector<std::string> Titles(CVellumMenuSection* section);
std::vector<std::string> BareTitles(CVellumMenuSection* section);
// A title as shown without its extension ("a.txt" and "a" both give "a").
std::string Bare(const std::string& title);
// The "MenuOrder" value of that name ("" when missing), and writing one.
std::string ReadOrder(const std::string& name);
void WriteOrder(const std::string& name, const std::string& text);
// A folder path without its trailing backslash.
std::string NoSlash(std::string path);

}  // namespace folder_test
