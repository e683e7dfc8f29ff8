// Real bars in the test process (a stand-in main window with a stats
// monitor property gives them windows), bar files in a temporary folder, and
// a plain reader of INI text that keeps the order of keys as written.
#pragma once
#include <windows.h>
#include <shlwapi.h>
#include <string>
#include <utility>
#include <vector>
#include <gtest/gtest.h>
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "tests/support/test_support.h"

namespace barfile_test {

HWND MainWindow();

struct IniSection {
    std::string name;
    std::vector<std::pair<std::string, std::string>> keys;   // in file order
    // Null when the key is absent.
    const std::string* Get(const std::string& key) const;
    int IndexOf(const std::string& key) const;   // -1 when absent
};

struct IniText {
    std::vector<IniSection> sections;
    const IniSection* Find(const std::string& name) const;   // case-insensitive
};

IniText ParseIni(const std::string& bytes);
IniText ParseIniFile(const std::string& path);

// One key a saved file must hold with this value, or lack.
struct Expect {
    const char* section;
    const char* key;
    const char* value;   // null: the key must be absent
};

// Checks every expectation against the saved file; case_name labels failures.
void CheckKeys(const IniText& ini, const std::vector<Expect>& expects, const char* case_name);

// Lines joined with CR LF, as Windows INI files are.
std::string Lines(const std::vector<std::string>& lines);

class BarFileTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    CVellumMenuObject* NewBar();
    // A bar that read the file; never written back when it closes.
    CVellumMenuObject* LoadBar(const std::string& path);
    std::string WriteBarFile(const std::string& name, const std::string& content);

    testing_support::TempFolder temp_;
    std::vector<CVellumMenuObject*> bars_;
};

int SectionCount(CVellumMenuObject* bar);

}  // namespace barfile_test
