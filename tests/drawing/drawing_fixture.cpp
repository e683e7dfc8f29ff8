#include "drawing_fixture.h"
#include "model/bar_host.h"
#include "model/bar_window.h"
#include "model/live_objects.h"
#include "tests/skins/fixtures.h"
#include "util/text.h"

namespace drawing_test {

namespace {

int g_stats_monitor_stand_in = 0;

LRESULT CALLBACK MainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg >= 0xC000) return 0;   // registered messages from bars: nothing to answer
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

HWND MainWindow() {
    static HWND wnd = [] {
        HINSTANCE instance = GetModuleHandleA(nullptr);
        WNDCLASSA wc = {};
        wc.lpfnWndProc = MainProc;
        wc.hInstance = instance;
        wc.lpszClassName = "Tessellar Drawing Test Main";
        RegisterClassA(&wc);
        RegisterBarWindowClasses(instance);
        HWND main = CreateWindowExA(0, wc.lpszClassName, "Tessellar Test", WS_OVERLAPPED, 0, 0,
                                    10, 10, nullptr, nullptr, instance, nullptr);
        SetPropA(main, "lpStatsMonitor", &g_stats_monitor_stand_in);
        return main;
    }();
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
    bar->DisplayVertically = vertical ? TRUE : FALSE;
    if (bar->m_hWnd)
        SetWindowPos(bar->m_hWnd, nullptr, 0, 0, width, height,
                     SWP_NOZORDER | SWP_NOACTIVATE | SWP_NOMOVE);
    bar->m_placement.LastSize = SIZE{width, height};
    return bar;
}

bool DrawingTest::ApplySkin(CVellumMenuObject* bar, const std::string& path) {
    tess::CopyText(bar->m_pendingSkinPath, path.c_str());
    return bar->ReloadSkin(0) == 1;
}

void DrawingTest::CloseBar(CVellumMenuObject* bar) {
    if (!IsLiveBar(bar)) return;
    if (!bar->m_hWnd) {
        bar->Release();
        return;
    }
    bar->Destroy();
    testing_support::PumpUntil([bar] { return !IsLiveBar(bar); }, 3000);
}

void DrawingTest::TearDown() {
    for (CVellumMenuObject* bar : bars_) CloseBar(bar);
    bars_.clear();
}

}  // namespace drawing_test
