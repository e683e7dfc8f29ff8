#include "barfile_fixture.h"
#include <algorithm>
#include "model/bar_host.h"
#include "model/bar_window.h"
#include "model/live_objects.h"
#include "tests/support/stand_in_main_window.h"
#include "util/general_helpers.h"

namespace barfile_test {

namespace {

std::string Trim(const std::string& text) {
    size_t first = text.find_first_not_of(" \t");
    if (first == std::string::npos) return "";
    size_t last = text.find_last_not_of(" \t");
    return text.substr(first, last - first + 1);
}

}  // namespace

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Bar File Test Main");
    return wnd;
}

const std::string* IniSection::Get(const std::string& key) const {
    for (const auto& pair : keys)
        if (lstrcmpiA(pair.first.c_str(), key.c_str()) == 0) return &pair.second;
    return nullptr;
}

int IniSection::IndexOf(const std::string& key) const {
    for (size_t i = 0; i < keys.size(); ++i)
        if (lstrcmpiA(keys[i].first.c_str(), key.c_str()) == 0) return static_cast<int>(i);
    return -1;
}

const IniSection* IniText::Find(const std::string& name) const {
    for (const auto& section : sections)
        if (lstrcmpiA(section.name.c_str(), name.c_str()) == 0) return &section;
    return nullptr;
}

IniText ParseIni(const std::string& bytes) {
    IniText ini;
    size_t pos = 0;
    while (pos < bytes.size()) {
        size_t end = bytes.find('\n', pos);
        if (end == std::string::npos) end = bytes.size();
        std::string line = bytes.substr(pos, end - pos);
        pos = end + 1;
        if (!line.empty() && line.back() == '\r') line.pop_back();
        line = Trim(line);
        if (line.empty() || line[0] == ';') continue;
        if (line[0] == '[') {
            size_t close = line.find(']');
            ini.sections.push_back({line.substr(1, close == std::string::npos ? std::string::npos
                                                                              : close - 1),
                                    {}});
            continue;
        }
        if (ini.sections.empty()) continue;
        size_t eq = line.find('=');
        if (eq == std::string::npos) continue;
        ini.sections.back().keys.push_back({Trim(line.substr(0, eq)), Trim(line.substr(eq + 1))});
    }
    return ini;
}

IniText ParseIniFile(const std::string& path) {
    return ParseIni(testing_support::ReadFileBytes(path));
}

void CheckKeys(const IniText& ini, const std::vector<Expect>& expects, const char* case_name) {
    for (const Expect& e : expects) {
        const IniSection* section = ini.Find(e.section);
        ASSERT_NE(nullptr, section) << case_name << " [" << e.section << "]";
        const std::string* value = section->Get(e.key);
        if (!e.value) {
            EXPECT_EQ(nullptr, value) << case_name << " " << e.section << " " << e.key << "="
                                      << (value ? *value : "");
        } else {
            ASSERT_NE(nullptr, value) << case_name << " " << e.section << " " << e.key;
            EXPECT_EQ(e.value, *value) << case_name << " " << e.section << " " << e.key;
        }
    }
}

std::string Lines(const std::vector<std::string>& lines) {
    std::string text;
    for (const std::string& line : lines) text += line + "\r\n";
    return text;
}

void BarFileTest::SetUp() {
    MainWindow();
    // System tray sections start the tray server when none runs; this window
    // stands in for it (it answers nothing, so they stay unconnected).
    static HWND tray_server = testing_support::CreatePlainWindow("Shell_TrayWnd", nullptr, "CLanternfold");
    (void)tray_server;
    GetBarHostServices() = BarHostServices{};
}

void BarFileTest::TearDown() {
    // The test decides what is written.
    for (CVellumMenuObject* bar : bars_) testing_support::CloseTestBar(bar, true);
    bars_.clear();
    GetBarHostServices() = BarHostServices{};
}

CVellumMenuObject* BarFileTest::NewBar() {
    auto* bar = new CVellumMenuObject(MainWindow());
    bars_.push_back(bar);
    return bar;
}

CVellumMenuObject* BarFileTest::LoadBar(const std::string& path) {
    CVellumMenuObject* bar = NewBar();
    EXPECT_EQ(1, bar->LoadTheme(const_cast<char*>(path.c_str()), 0, nullptr));
    return bar;
}

std::string BarFileTest::WriteBarFile(const std::string& name, const std::string& content) {
    EXPECT_TRUE(temp_.Write(name, content));
    return temp_.File(name);
}

int SectionCount(CVellumMenuObject* bar) {
    return bar->GetSectionCount();
}

}  // namespace barfile_test
