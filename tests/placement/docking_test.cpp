// Docked bars as application bars, seen through another program's appbar:
// Wine's appbar service clips later appbars against earlier ones but never
// changes the work area, so no test reads SPI_GETWORKAREA.
#include "placement_fixture.h"
#include <cstdio>
#include "model/bar_messages.h"

namespace placement_test {
namespace {

// Runs the stand-in appbar on an edge and reads the rectangle it was offered.
bool QueryStandIn(int edge, int thickness, RECT* out) {
    SECURITY_ATTRIBUTES sa = {sizeof(sa), nullptr, TRUE};
    HANDLE read = nullptr, write = nullptr;
    if (!CreatePipe(&read, &write, &sa, 0)) return false;
    SetHandleInformation(read, HANDLE_FLAG_INHERIT, 0);
    STARTUPINFOA si = {};
    si.cb = sizeof(si);
    si.dwFlags = STARTF_USESTDHANDLES;
    si.hStdOutput = write;
    si.hStdError = GetStdHandle(STD_ERROR_HANDLE);
    si.hStdInput = GetStdHandle(STD_INPUT_HANDLE);
    std::string command = "\"" + testing_support::BinFolder() + "appbar_standin.exe\" " +
                          std::to_string(edge) + " " + std::to_string(thickness);
    PROCESS_INFORMATION pi = {};
    BOOL started = CreateProcessA(nullptr, &command[0], nullptr, nullptr, TRUE, 0, nullptr,
                                  nullptr, &si, &pi);
    CloseHandle(write);
    std::string text;
    bool ended = false;
    if (started) {
        // The service answers through our bars' windows too: keep them served
        // until the stand-in has ended, and only then read what it wrote.
        ended = testing_support::PumpUntil(
            [&] { return WaitForSingleObject(pi.hProcess, 0) == WAIT_OBJECT_0; }, kWaitMs);
        if (ended) {
            char buffer[256];
            DWORD got = 0;
            while (ReadFile(read, buffer, sizeof(buffer), &got, nullptr) && got) text.append(buffer, got);
        } else {
            TerminateProcess(pi.hProcess, 1);
        }
        CloseHandle(pi.hThread);
        CloseHandle(pi.hProcess);
    }
    CloseHandle(read);
    return ended && std::sscanf(text.c_str(), "%ld %ld %ld %ld", &out->left, &out->top,
                                  &out->right, &out->bottom) == 4;
}

TEST_F(PlacementTest, BarDockedAtTheBottomSpansTheScreenAndReservesItsBand) {
    RECT free = {};
    ASSERT_TRUE(QueryStandIn(ABE_BOTTOM, 20, &free));
    EXPECT_EQ(screen_h_, free.bottom) << "no appbar yet: " << RectText(free);

    CVellumMenuObject* bar = NewBar({100, 100, 300, 130});
    bar->DockToEdge = kEdgeBottom;
    bar->UpdatePos();
    EXPECT_TRUE(WaitForRect(bar, {0, screen_h_ - 30, screen_w_, screen_h_}))
        << RectText(WindowRect(bar));
    EXPECT_TRUE(bar->m_appBarRegistered);
    EXPECT_EQ(1, SendMessageA(bar->m_hWnd, GetBarMessages().QueryIsDocked, 0, 0));

    RECT offered = {};
    ASSERT_TRUE(QueryStandIn(ABE_BOTTOM, 20, &offered));
    EXPECT_EQ(screen_h_ - 30, offered.bottom) << RectText(offered);

    // Undocked, the band is given back.
    bar->DockToEdge = kEdgeNone;
    bar->UpdatePos();
    EXPECT_FALSE(bar->m_appBarRegistered);
    ASSERT_TRUE(QueryStandIn(ABE_BOTTOM, 20, &offered));
    EXPECT_EQ(screen_h_, offered.bottom) << RectText(offered);
}

TEST_F(PlacementTest, DockedOverhangReservesLessThanTheBarCovers) {
    CVellumMenuObject* bar = NewBar({100, 100, 300, 130});
    bar->m_skin->DockedOverhang.bottom = 4;
    bar->DockToEdge = kEdgeBottom;
    bar->UpdatePos();
    EXPECT_TRUE(WaitForRect(bar, {0, screen_h_ - 30, screen_w_, screen_h_}))
        << RectText(WindowRect(bar));
    RECT offered = {};
    ASSERT_TRUE(QueryStandIn(ABE_BOTTOM, 20, &offered));
    EXPECT_EQ(screen_h_ - 26, offered.bottom) << RectText(offered);
}

TEST_F(PlacementTest, AutohideBarDockedAtTheTopReservesNothing) {
    CVellumMenuObject* bar = NewBar({100, 100, 300, 130});
    bar->UseAutohide = TRUE;
    bar->DockToEdge = kEdgeTop;
    bar->UpdatePos();
    EXPECT_TRUE(WaitForRect(bar, {0, 0, screen_w_, 30})) << RectText(WindowRect(bar));
    RECT offered = {};
    ASSERT_TRUE(QueryStandIn(ABE_TOP, 20, &offered));
    EXPECT_EQ("(0, 0, " + std::to_string(screen_w_) + ", 20)", RectText(offered));
}

TEST_F(PlacementTest, DockedBarKeepsItsThicknessRule) {
    CVellumMenuObject* bar = NewBar({100, 100, 300, 130});
    bar->ptMAX.modifiers.y = 1;   // exactly 24 pixels high at most
    bar->ptMAX.pixels.y = 24;
    bar->DockToEdge = kEdgeTop;
    bar->UpdatePos();
    EXPECT_TRUE(WaitForRect(bar, {0, 0, screen_w_, 24})) << RectText(WindowRect(bar));
}

TEST_F(PlacementTest, BarsDockedAtOneEdgeStackAndCloseUpWhenOneLeaves) {
    CVellumMenuObject* lower = NewBar({100, 100, 300, 130});
    lower->DockToEdge = kEdgeBottom;
    lower->UpdatePos();
    ASSERT_TRUE(WaitForRect(lower, {0, screen_h_ - 30, screen_w_, screen_h_}))
        << RectText(WindowRect(lower));

    CVellumMenuObject* upper = NewBar({100, 200, 300, 230});
    upper->DockToEdge = kEdgeBottom;
    upper->UpdatePos();
    EXPECT_TRUE(WaitForRect(upper, {0, screen_h_ - 60, screen_w_, screen_h_ - 30}))
        << RectText(WindowRect(upper));
    // Placed again, the same band is asked for and kept.
    upper->UpdatePos();
    upper->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    EXPECT_TRUE(WaitForRect(upper, {0, screen_h_ - 60, screen_w_, screen_h_ - 30}))
        << RectText(WindowRect(upper));

    // The lower bar gives its band back: the shell tells the upper one,
    // which moves down to the edge.
    lower->DockToEdge = kEdgeNone;
    lower->UpdatePos();
    EXPECT_TRUE(WaitForRect(upper, {0, screen_h_ - 30, screen_w_, screen_h_}))
        << RectText(WindowRect(upper));
    RECT offered = {};
    ASSERT_TRUE(QueryStandIn(ABE_BOTTOM, 20, &offered));
    EXPECT_EQ(screen_h_ - 30, offered.bottom) << RectText(offered);
}

}  // namespace
}  // namespace placement_test
