#include "drawing_fixture.h"
#include "model/bar_host.h"
#include "model/bar_window.h"
#include "model/live_objects.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/skin_fixtures.h"
#include "util/text.h"

namespace drawing_test {

namespace {

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= 0xC000) return 0;   // registered messages from bars: nothing to answer
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

HWND MainWindow() {
    static HWND wnd = testing_support::CreateStandInMainWindow("Tessellar Drawing Test Main", MainProc);
    return wnd;
}

// ---- sections ----------------------------------------------------------------------------------

SizedSection::SizedSection(CVellumMenuObject* bar, int length_, int across_, bool resizable,
                           int min_length_, int max_length_)
    : CVellumMenuSection(bar, 1, 0), length(length_), across(across_),
      min_length(min_length_), max_length(max_length_) {
    bResizable = resizable ? TRUE : FALSE;
    EqualWidths = FALSE;
}

SIZE SizedSection::CalcIdealSize() {
    if (IsHidden) return SIZE{0, 0};
    bool vertical = m_pBar && m_pBar->DisplayVertically;
    return vertical ? SIZE{across, length} : SIZE{length, across};
}

SIZE SizedSection::CalcMinMaxSize(int minimum) {
    if (IsHidden) return SIZE{0, 0};
    int along = bResizable ? (minimum ? min_length : max_length) : length;
    bool vertical = m_pBar && m_pBar->DisplayVertically;
    return vertical ? SIZE{across, along} : SIZE{along, across};
}

int SizedSection::SetWidth(int width) {
    width_requests.push_back(width);
    if (!bResizable) return length;
    int taken = width < min_length ? min_length : width;
    if (max_length >= 0 && taken > max_length) taken = max_length;
    m_userWidth = taken;
    return taken;
}

int SizedSection::SetSectionRect(int a, int b, int c, int d, int swap) {
    RECT rect = swap ? RECT{b, a, d, c} : RECT{a, b, c, d};
    if (EqualRect(&rect, &m_outerRect)) return 0;
    m_outerRect = rect;
    m_innerRect = rect;
    return 1;
}

int SizedSection::Start() const {
    return m_pBar->DisplayVertically ? m_outerRect.top : m_outerRect.left;
}

int SizedSection::End() const {
    return m_pBar->DisplayVertically ? m_outerRect.bottom : m_outerRect.right;
}

// ---- items ---------------------------------------------------------------------------------------

SizedItem::SizedItem(CVellumMenuObject* bar, CVellumMenuSection* section, int width_, int height_)
    : CVellumMenuItem(bar, section, const_cast<char*>("")), width(width_), height(height_) {}

SIZE SizedItem::CalcSize(int, int) {
    m_emptySize = width == 0 && height == 0;
    return SIZE{width, height};
}

void RecordingItem::Draw(HDC dc) {
    frames.push_back(m_frame);
    CVellumMenuItem::Draw(dc);
}

void DrawingSection::Draw(HDC dc, int drawItems, int) {
    if (!drawItems) return;
    for (int i = 0; i < kMaxItems && m_items[i]; ++i) m_items[i]->Draw(dc);
}

// ---- skins ---------------------------------------------------------------------------------------

std::string SkinFolder::Write(const std::string& name, const std::string& ini) {
    folder_.Write(name, ini);
    return folder_.File(name);
}

bool SkinFolder::Bitmap(const std::string& name, int width, int height,
                        COLORREF (*color)(int x, int y)) {
    return skin_fixtures::WriteBmp(folder_.File(name), width, height, color);
}

// ---- bars ------------------------------------------------------------------------------------------

CVellumMenuObject* DrawingTest::NewBar(int width, int height, bool vertical) {
    auto* bar = new CVellumMenuObject(MainWindow());
    bars_.push_back(bar);
    bar->m_neverSave = TRUE;   // a test bar asks for no file when it closes
    bar->DisplayVertically = vertical ? TRUE : FALSE;
    if (bar->m_hWnd)
        SetWindowPos(bar->m_hWnd, nullptr, 0, 0, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    bar->m_placement.LastSize = SIZE{width, height};
    // The test's size stands: the sections a test adds do not cap it.
    bar->bRestrictMaximumSize = FALSE;
    return bar;
}

bool DrawingTest::ApplySkin(CVellumMenuObject* bar, const std::string& path) {
    tess::CopyText(bar->m_pendingSkinPath, path.c_str());
    return bar->ReloadSkin(0) == 1;
}

void DrawingTest::CloseBar(CVellumMenuObject* bar) { testing_support::CloseTestBar(bar, false); }

void DrawingTest::TearDown() {
    for (CVellumMenuObject* bar : bars_) CloseBar(bar);
    bars_.clear();
}

}  // namespace drawing_test
