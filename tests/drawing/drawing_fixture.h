// Bars with real windows for the drawing tests: a stand-in main window,
// sections whose sizes the test sets, and skins written to a temp folder.
#pragma once
#include <windows.h>
#include <map>
#include <string>
#include <vector>
#include <gtest/gtest.h>
#include "model/bar_drawing.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "tests/support/test_support.h"

namespace drawing_test {

// The hidden stand-in main window with the "lpStatsMonitor" property, so a
// bar makes its window.
HWND MainWindow();

// A section of fixed or resizable length; lengths are along the bar.
class SizedSection : public CVellumMenuSection {
public:
    SizedSection(CVellumMenuObject* bar, int length, int across, bool resizable,
                 int min_length = 0, int max_length = -1);
    SIZE CalcIdealSize() override;
    SIZE CalcMinMaxSize(int minimum) override;
    int SetWidth(int width) override;
    int SetSectionRect(int a, int b, int c, int d, int swap) override;
    int RecalcRectsFlexible() override { return 1; }

    // Along-the-bar start and end of the outer rectangle.
    int Start() const;
    int End() const;

    int length, across, min_length, max_length;
    std::vector<int> width_requests;
};

// One skin file in a temp folder; bitmaps named in it are written beside it.
class SkinFolder {
public:
    // ini is the text of the skin file; returns its full path.
    std::string Write(const std::string& name, const std::string& ini);
    // A 24-bit BMP beside the skins.
    bool Bitmap(const std::string& name, int width, int height,
                COLORREF (*color)(int x, int y));
    const std::string& Path() const { return folder_.Path(); }

private:
    testing_support::TempFolder folder_;
};

class DrawingTest : public ::testing::Test {
protected:
    void TearDown() override;

    // A bar with a window of the given client size (not shown).
    CVellumMenuObject* NewBar(int width, int height, bool vertical = false);
    // Loads the skin into the bar through ReloadSkin; false when it failed.
    bool ApplySkin(CVellumMenuObject* bar, const std::string& path);
    void CloseBar(CVellumMenuObject* bar);

    SkinFolder skins_;
    std::vector<CVellumMenuObject*> bars_;
};

}  // namespace drawing_test
