// What the virtual desktops tests share: the stand-in band library put
// beside the test program in one of its variants, its call log, the shared
// band settings key, small skins with section buffers and a band background,
// and bars read from bar files whose first section is the band section.
#pragma once
#include <windows.h>
#include <gtest/gtest.h>
#include <string>
#include <vector>
#include "tests/support/test_support.h"

class CVellumMenuObject;
class CVellumMenuSection_VirtualDesktops;

namespace panorel_test {

// The stand-in's window answers this message with kBandAlive while the
// library's code is loaded.
constexpr UINT kBandAliveMessage = WM_APP + 0x51;
constexpr LRESULT kBandAlive = 0x5A5A;

enum class StandIn { None, Full, NoAddWindow, NoReleaseWindow, NoWindow };

// The handle as the stand-in writes it in its log.
std::string HandleText(HWND wnd);
HWND MainWindow();
// "Panorel.dll" in the test program's folder.
std::string LibraryBesideProgram();
bool LibraryLoaded();

struct SkinSpec {
    RECT section_buffer = {0, 0, 0, 0};   // SectionBuffer_Left, _Top, _Right, _Bottom
    std::string background = "bg1.bmp";   // Panorel_Background; empty: none
    int draw_style = 3;                   // Panorel_BackgroundDrawStyle
};

class PanorelTest : public ::testing::Test {
protected:
    void SetUp() override;
    void TearDown() override;

    // Puts the variant beside the program (None removes it).
    void Use(StandIn variant);
    // A skin file in the temp folder with its background bitmap; its path.
    std::string WriteSkin(const std::string& name, const SkinSpec& spec = SkinSpec());
    // The full path a skin's background resolves to.
    std::string BackgroundPath(const std::string& name) const { return temp_.File(name); }
    // A shown bar whose [Section1] is the band section with these keys, and
    // the extra sections after it.
    CVellumMenuObject* LoadBar(const std::string& band_keys, const std::string& skin,
                               bool vertical = false, const std::string& more_sections = "");
    CVellumMenuObject* LoadBarText(const std::string& text, const std::string& skin);
    CVellumMenuObject* LoadBarFile(const std::string& path, const std::string& skin);
    // Gives the bar another skin file, as a skin change does.
    void ChangeSkin(CVellumMenuObject* bar, const std::string& skin);
    CVellumMenuSection_VirtualDesktops* Band(CVellumMenuObject* bar, int index = 0);
    void CloseBar(CVellumMenuObject* bar);
    std::string BarFile(CVellumMenuObject* bar) const;

    // The stand-in's log lines since the last ClearLog.
    std::vector<std::string> Log() const;
    void ClearLog() const;

    // The shared band settings key, made or removed by the test.
    void CreateSettingsKey() const;
    bool SettingsKeyExists() const;
    // A value of the key: its text for REG_SZ, decimal for REG_DWORD,
    // "(absent)" when it is not there.
    std::string Setting(const char* name) const;

    testing_support::TempFolder temp_;
    std::vector<CVellumMenuObject*> bars_;
    int bar_files_ = 0;
};

// The band's rectangle in its parent's client coordinates.
RECT ChildRect(HWND child);
bool VisibleStyle(HWND wnd);

}  // namespace panorel_test
