// Autohide: the edge a bar hides to, the slide, and what shows and hides it.
#include "model/live_objects.h"
#include "placement_fixture.h"
#include "model/bar_host.h"
#include "model/bar_messages.h"

namespace placement_test {
namespace {

using testing_support::PumpUntil;

struct EdgeCase {
    const char* name;
    RECT bar;          // on a 1024 x 768 screen; x and y of 9999 mean "at the far edge"
    BOOL align_x;
    RECT keep;         // PixelsToShowOnThisEdgeOnAutohide
    int edge;
    RECT hidden;       // the window's rectangle once hidden
};

TEST_F(PlacementTest, BarHidesToItsNearestEdge) {
    const int w = screen_w_, h = screen_h_;
    const EdgeCase cases[] = {
        {"touching the left edge", {0, 300, 200, 330}, FALSE, {}, kEdgeLeft, {-200, 300, 0, 330}},
        {"touching the bottom", {412, h - 30, 612, h}, FALSE, {}, kEdgeBottom, {412, h, 612, h + 30}},
        {"in the corner, longer along the left", {0, 0, 30, 200}, FALSE, {}, kEdgeLeft, {-30, 0, 0, 200}},
        {"in the corner, longer along the top", {0, 0, 200, 30}, FALSE, {}, kEdgeTop, {0, -30, 200, 0}},
        {"aligned to the right edge", {w - 200, 300, w, 330}, TRUE, {}, kEdgeRight, {w, 300, w + 200, 330}},
        {"keeping a strip of 3", {0, 300, 200, 330}, FALSE, {0, 0, 3, 0}, kEdgeLeft, {-197, 300, 3, 330}},
    };
    for (const EdgeCase& c : cases) {
        CVellumMenuObject* bar = NewBar(c.bar);
        bar->UseAutohide = TRUE;
        bar->m_placement.bAlignX = c.align_x;
        bar->m_skin->PixelsToShowOnThisEdgeOnAutohide = c.keep;
        EXPECT_EQ(1, bar->AutoHide(1, 0)) << c.name;
        EXPECT_EQ(c.edge, bar->m_autohide.edge) << c.name;
        EXPECT_TRUE(WaitForRect(bar, c.hidden)) << c.name << ": " << RectText(WindowRect(bar));
        // The rectangle as if shown, for popups placed beside the bar.
        RECT shown = {};
        bar->GetWindowRectWithAH(&shown, 1);
        EXPECT_EQ(RectText(c.bar), RectText(shown)) << c.name;
        EXPECT_EQ(0, bar->AutoHide(1, 0)) << c.name << ": already hidden";
        EXPECT_EQ(1, bar->AutoHide(0, 0)) << c.name;
        EXPECT_TRUE(WaitForRect(bar, c.bar)) << c.name << ": " << RectText(WindowRect(bar));
        KillTimer(bar->m_hWnd, kAutohideWatchTimerId);
        CloseBar(bar);
    }
}

TEST_F(PlacementTest, BarSlidesInEightSteps) {
    CVellumMenuObject* bar = NewBar({0, 300, 200, 330});   // 200 deep from the left edge
    bar->UseAutohide = TRUE;
    ASSERT_EQ(1, bar->AutoHide(1, 1));
    // The slide timer would race the test: it steps by hand.
    KillTimer(bar->m_hWnd, kAutohideSlideTimerId);
    EXPECT_EQ(25, bar->m_autohide.step);
    std::vector<LONG> lefts = {WindowRect(bar).left};
    while (bar->AHTimerProcInternal()) lefts.push_back(WindowRect(bar).left);
    const std::vector<LONG> want = {-25, -50, -75, -100, -125, -150, -175, -200};
    EXPECT_EQ(want, lefts);
    EXPECT_EQ(200, bar->m_autohide.offset);
    // A size change while hidden keeps it hidden.
    bar->SetPos(-1, -1, 240, 30, nullptr, 0, 0, 0);
    EXPECT_EQ(-240, WindowRect(bar).left);
}

class AutohideTimingTest : public PlacementTest {
protected:
    void SetUp() override {
        PlacementTest::SetUp();
        ForegroundPlainWindow();
        bar = NewBar({0, 300, 200, 330});
        bar->UseAutohide = TRUE;
        SetCursorPos(500, 500);
        bar->AutoHide(1, 0);
    }
    bool Hidden() { return WindowRect(bar).right <= 0; }
    bool Shown() { return WindowRect(bar).left == 0; }
    CVellumMenuObject* bar = nullptr;
};

TEST_F(AutohideTimingTest, PointerAtTheEdgeShowsItAndLeavingTheBarHidesIt) {
    // The hook's edge message counts only along the bar.
    SetCursorPos(0, 200);
    PostToMain("TSAutoHide - ShowLeft");
    testing_support::PumpFor(100);
    EXPECT_TRUE(Hidden());
    PostToMain("TSAutoHide - ShowTop");
    SetCursorPos(0, 310);
    testing_support::PumpFor(100);
    EXPECT_TRUE(Hidden());
    PostToMain("TSAutoHide - ShowLeft");
    EXPECT_TRUE(PumpUntil([&] { return Shown(); }, kWaitMs)) << RectText(WindowRect(bar));

    // Over the bar, then away from it.
    SetCursorPos(100, 315);
    SendMessageA(bar->m_hWnd, WM_MOUSEMOVE, 0, MAKELPARAM(100, 15));
    EXPECT_TRUE(bar->m_autohide.pointer_entered);
    testing_support::PumpFor(300);
    EXPECT_TRUE(Shown());
    SetCursorPos(600, 600);
    EXPECT_TRUE(PumpUntil([&] { return Hidden(); }, kWaitMs)) << RectText(WindowRect(bar));
}

TEST_F(AutohideTimingTest, NeverEnteredItHidesOnLeavingTheStripOrAfterTenSeconds) {
    SetCursorPos(0, 100);   // on the strip, not along the bar
    bar->AutoHide(0, 1);
    ASSERT_TRUE(PumpUntil([&] { return Shown(); }, kWaitMs));
    testing_support::PumpFor(300);
    EXPECT_TRUE(Shown()) << "the pointer stays on the strip";
    bar->m_autohide.show_tick -= 10001;   // ten seconds later
    EXPECT_TRUE(PumpUntil([&] { return Hidden(); }, kWaitMs));

    bar->AutoHide(0, 1);
    ASSERT_TRUE(PumpUntil([&] { return Shown(); }, kWaitMs));
    SetCursorPos(400, 100);   // off the strip
    EXPECT_TRUE(PumpUntil([&] { return Hidden(); }, kWaitMs));
}

TEST_F(AutohideTimingTest, StaysWhileAPageOrPopupIsInFront) {
    bar->AutoHide(0, 0);
    ASSERT_TRUE(Shown());
    SetPropA(plain_, "TSConfigDialog", reinterpret_cast<HANDLE>(1));
    SetForegroundWindow(plain_);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == plain_; }, kWaitMs));
    SetCursorPos(600, 600);
    testing_support::PumpFor(400);
    EXPECT_TRUE(Shown()) << "a property page is in front";

    // The bar comes to the front before the page leaves it: in between,
    // nothing would keep the bar shown.
    CVellumMenuObject* popup = NewBar({300, 300, 400, 330});
    SetForegroundWindow(popup->m_hWnd);
    ASSERT_TRUE(PumpUntil([&] { return GetForegroundWindow() == popup->m_hWnd; }, kWaitMs));
    RemovePropA(plain_, "TSConfigDialog");
    testing_support::PumpFor(400);
    EXPECT_TRUE(Shown()) << "a bar is in front";

    SetForegroundWindow(plain_);
    EXPECT_TRUE(PumpUntil([&] { return Hidden(); }, kWaitMs));
}

TEST_F(PlacementTest, AutohideBarsAnswerTheMouseHookQuestion) {
    static int asked = 0;
    asked = 0;
    GetBarHostServices().UpdateMouseHook = [] { ++asked; };
    CVellumMenuObject* plain = NewBar({100, 100, 200, 130});
    CVellumMenuObject* hiding = NewBar({100, 200, 200, 230});
    hiding->UseAutohide = TRUE;
    const UINT question = GetBarMessages().ShouldEnableMousehook;
    // Bars answer only into the slot the stats monitor registers for the call.
    int answer = 0;
    SendMessageA(hiding->m_hWnd, question, reinterpret_cast<WPARAM>(&answer), 0);
    EXPECT_EQ(0, answer) << "an unregistered slot";
    RegisterOwnedRecord(&answer);
    SendMessageA(plain->m_hWnd, question, reinterpret_cast<WPARAM>(&answer), 0);
    EXPECT_EQ(0, answer);
    SendMessageA(hiding->m_hWnd, question, reinterpret_cast<WPARAM>(&answer), 0);
    UnregisterOwnedRecord(&answer);
    EXPECT_EQ(1, answer);
    // A closing autohide bar has the monitor ask again.
    CloseBar(hiding);
    EXPECT_EQ(1, asked);
    CloseBar(plain);
    EXPECT_EQ(1, asked);
}

}  // namespace
}  // namespace placement_test
