#include "tests/panorel/panorel_fixture.h"
#include <cstdio>
#include <sstream>
#include "model/vellum_menu_object.h"
#include "tests/support/skin_fixtures.h"
#include "tests/support/stand_in_main_window.h"
#include "types/virtual_desktops_section.h"
#include "util/general_helpers.h"
#include "util/text.h"

namespace panorel_test {

namespace {

const char* VariantFolder(StandIn variant) {
    switch (variant) {
    case StandIn::NoAddWindow: return "no_add_window";
    case StandIn::NoReleaseWindow: return "no_release_window";
    default: return "full";
    }
}

std::string ProgramFolder() {
    char folder[MAX_PATH] = "";
    GetProgramFolder(folder, sizeof(folder));
    return folder;
}

}  // namespace

std::string HandleText(HWND wnd) {
    char text[16];
    std::snprintf(text, sizeof(text), "%08lX", static_cast<unsigned long>(reinterpret_cast<ULONG_PTR>(wnd)));
    return text;
}

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Panorel Test Main");
    return wnd;
}

std::string LibraryBesideProgram() { return ProgramFolder() + "Panorel.dll"; }

bool LibraryLoaded() { return GetModuleHandleA(LibraryBesideProgram().c_str()) != nullptr; }

RECT ChildRect(HWND child) {
    RECT r = {};
    GetWindowRect(child, &r);
    MapWindowPoints(nullptr, GetParent(child), reinterpret_cast<POINT*>(&r), 2);
    return r;
}

bool VisibleStyle(HWND wnd) { return (GetWindowLongPtrA(wnd, GWL_STYLE) & WS_VISIBLE) != 0; }

// ---- fixture -----------------------------------------------------------------------------------

void PanorelTest::SetUp() {
    MainWindow();
    SetEnvironmentVariableA("PANOREL_STANDIN_LOG", temp_.File("standin.log").c_str());
    SetEnvironmentVariableA("PANOREL_STANDIN_MODE", nullptr);
    testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kBandSettingsKey);
    Use(StandIn::None);
}

void PanorelTest::TearDown() {
    for (CVellumMenuObject* bar : bars_) testing_support::CloseTestBar(bar, true);
    bars_.clear();
    EXPECT_FALSE(LibraryLoaded()) << "the band library outlived its bars";
    Use(StandIn::None);
    testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kBandSettingsKey);
    SetEnvironmentVariableA("PANOREL_STANDIN_LOG", nullptr);
    SetEnvironmentVariableA("PANOREL_STANDIN_MODE", nullptr);
}

void PanorelTest::Use(StandIn variant) {
    const std::string beside = LibraryBesideProgram();
    SetEnvironmentVariableA("PANOREL_STANDIN_MODE", variant == StandIn::NoWindow ? "nowindow" : nullptr);
    if (variant == StandIn::None) {
        if (testing_support::FileExistsOnDisk(beside)) {
            ASSERT_TRUE(DeleteFileA(beside.c_str())) << "still loaded?";
        }
        return;
    }
    const std::string standin = ProgramFolder() + "standins\\" + VariantFolder(variant) + "\\Panorel.dll";
    ASSERT_TRUE(testing_support::FileExistsOnDisk(standin)) << standin;
    ASSERT_TRUE(CopyFileA(standin.c_str(), beside.c_str(), FALSE));
}

std::string PanorelTest::WriteSkin(const std::string& name, const SkinSpec& spec) {
    const RECT& b = spec.section_buffer;
    std::ostringstream text;
    text << "[General]\r\nSkinName=" << name << "\r\nItemHeight=20\r\nSkinHeight=30\r\nEdgeBuffer=0\r\n"
         << "[SectionSkin]\r\nSectionBuffer_Left=" << b.left << "\r\nSectionBuffer_Top=" << b.top
         << "\r\nSectionBuffer_Right=" << b.right << "\r\nSectionBuffer_Bottom=" << b.bottom << "\r\n"
         << "[Extras]\r\n";
    if (!spec.background.empty()) {
        text << "Panorel_Background=" << spec.background << "\r\n";
        skin_fixtures::WriteSolidBmp(temp_.File(spec.background), 4, 4, RGB(10, 20, 30));
    }
    text << "Panorel_BackgroundDrawStyle=" << spec.draw_style << "\r\n";
    const std::string file = name + ".tsskin";
    EXPECT_TRUE(temp_.Write(file, text.str()));
    return temp_.File(file);
}

CVellumMenuObject* PanorelTest::LoadBar(const std::string& band_keys, const std::string& skin,
                                       bool vertical, const std::string& more_sections) {
    const std::string size = vertical ? "LastSize.cx=40\r\nLastSize.cy=300\r\n"
                                      : "LastSize.cx=300\r\nLastSize.cy=40\r\n";
    return LoadBarText("[Object]\r\nTitle=Desktops\r\nLastPos.x=100\r\nLastPos.y=100\r\n" + size +
                           "DisplayVertically=" + (vertical ? "1" : "0") +
                           "\r\n[Section1]\r\nProperties.Type=Panorel\r\n" + band_keys + more_sections,
                       skin);
}

CVellumMenuObject* PanorelTest::LoadBarText(const std::string& text, const std::string& skin) {
    const std::string name = "bar" + std::to_string(++bar_files_) + ".tsbar";
    EXPECT_TRUE(temp_.Write(name, text));
    return LoadBarFile(temp_.File(name), skin);
}

CVellumMenuObject* PanorelTest::LoadBarFile(const std::string& file, const std::string& skin) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bars_.push_back(bar);
    std::string path = file;
    std::string skin_path = skin;
    EXPECT_EQ(1, bar->LoadTheme(&path[0], 1, skin_path.empty() ? nullptr : &skin_path[0]));
    testing_support::PumpFor(30);
    return bar;
}

CVellumMenuSection_VirtualDesktops* PanorelTest::Band(CVellumMenuObject* bar, int index) {
    if (!bar || index >= bar->GetSectionCount()) return nullptr;
    return dynamic_cast<CVellumMenuSection_VirtualDesktops*>(bar->m_sections[index]);
}

void PanorelTest::CloseBar(CVellumMenuObject* bar) {
    for (size_t i = 0; i < bars_.size(); ++i)
        if (bars_[i] == bar) {
            bars_.erase(bars_.begin() + i);
            testing_support::CloseTestBar(bar, true);
            return;
        }
}

void PanorelTest::ChangeSkin(CVellumMenuObject* bar, const std::string& skin) {
    ASSERT_TRUE(tess::CopyText(bar->m_pendingSkinPath, skin.c_str()));
    bar->ReloadSkin(0);
}

std::string PanorelTest::BarFile(CVellumMenuObject* bar) const { return bar->m_barFile; }

std::vector<std::string> PanorelTest::Log() const {
    std::vector<std::string> lines;
    std::istringstream text(temp_.Read("standin.log"));
    std::string line;
    while (std::getline(text, line)) {
        if (!line.empty() && line.back() == '\r') line.pop_back();
        if (!line.empty()) lines.push_back(line);
    }
    return lines;
}

void PanorelTest::ClearLog() const { DeleteFileA(temp_.File("standin.log").c_str()); }

void PanorelTest::CreateSettingsKey() const {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kBandSettingsKey, 0, nullptr, 0,
                                             KEY_ALL_ACCESS, nullptr, &key, nullptr));
    RegCloseKey(key);
}

bool PanorelTest::SettingsKeyExists() const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kBandSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return false;
    RegCloseKey(key);
    return true;
}

std::string PanorelTest::Setting(const char* name) const {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_CURRENT_USER, kBandSettingsKey, 0, KEY_READ, &key) != ERROR_SUCCESS)
        return "(absent)";
    BYTE data[1200] = {};
    DWORD size = sizeof(data) - 1, type = 0;
    LONG result = RegQueryValueExA(key, name, nullptr, &type, data, &size);
    RegCloseKey(key);
    if (result != ERROR_SUCCESS) return "(absent)";
    if (type == REG_DWORD) return std::to_string(*reinterpret_cast<DWORD*>(data));
    return reinterpret_cast<char*>(data);
}

}  // namespace panorel_test
