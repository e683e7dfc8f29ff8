// Reference counting, closing and destruction of bars, and the relay of
// messages to every bar in registration order while bars close.
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model_fixture.h"
#include "tests/support/test_support.h"
#include "util/bar_registry.h"

using namespace model_test;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

class BarLifetimeTest : public BarTest {};

// What the main window does with messages from WM_USER up: every bar gets
// them through the safe walk of the registry.
BOOL CALLBACK RelayToBar(HWND bar_window, LPARAM msg) {
    SendMessageA(bar_window, static_cast<UINT>(msg), 0, 0);
    return TRUE;
}

std::vector<CVellumMenuObject*> BarsThatGot(UINT msg) {
    std::vector<CVellumMenuObject*> order;
    for (const Delivery& d : Deliveries())
        if (d.msg == msg) order.push_back(d.bar);
    return order;
}

}  // namespace

TEST_F(BarLifetimeTest, CreatorsReferenceGoesWithWmClose) {
    const BarMessages& m = GetBarMessages();
    CVellumMenuObject* bar = NewRecordingBar();
    HWND wnd = bar->m_hWnd;
    WPARAM self = reinterpret_cast<WPARAM>(bar);

    bar->Destroy();
    EXPECT_TRUE(IsLiveBar(bar));   // posted, not yet handled
    ASSERT_TRUE(PumpUntil([bar] { return !IsLiveBar(bar); }, 2000));
    EXPECT_FALSE(IsWindow(wnd));
    EXPECT_LT(FindBarWindow(nullptr, wnd), 0);
    EXPECT_EQ(1, RecordingSection::destroyed);   // the bar deleted its section
    EXPECT_EQ(1u, CountMainMessages(m.MenuObjectClosing, self));
    EXPECT_EQ(1u, CountMainMessages(m.MenuObjectClosed, self));
    // Closing is told before Closed.
    auto& all = MainWindowMessages();
    auto closing = std::find(all.begin(), all.end(), std::make_pair(m.MenuObjectClosing, self));
    auto closed = std::find(all.begin(), all.end(), std::make_pair(m.MenuObjectClosed, self));
    EXPECT_LT(closing, closed);
}

TEST_F(BarLifetimeTest, ExtraReferenceKeepsTheObjectAfterItsWindowCloses) {
    const BarMessages& m = GetBarMessages();
    CVellumMenuObject* bar = NewBar();
    HWND wnd = bar->m_hWnd;
    EXPECT_EQ(2, bar->AddRef());

    SendMessageA(wnd, WM_CLOSE, 0, 0);
    EXPECT_FALSE(IsWindow(wnd));   // the default handling destroyed the window
    ASSERT_TRUE(IsLiveBar(bar));
    EXPECT_EQ(1, bar->m_refCount);
    EXPECT_EQ(0u, CountMainMessages(m.MenuObjectClosed, reinterpret_cast<WPARAM>(bar)));

    bar->Release();
    EXPECT_FALSE(IsLiveBar(bar));
    EXPECT_EQ(1u, CountMainMessages(m.MenuObjectClosed, reinterpret_cast<WPARAM>(bar)));
}

TEST_F(BarLifetimeTest, CloseFromInsideOwnMessageWaitsForThatMessage) {
    RecordingSection* section = nullptr;
    CVellumMenuObject* bar = NewRecordingBar(&section);
    HWND wnd = bar->m_hWnd;
    const UINT trigger = WM_USER + 40;
    bool alive_inside = false;
    section->on_message = [&](UINT msg, WPARAM, LPARAM) {
        if (msg != trigger) return;
        SendMessageA(wnd, WM_CLOSE, 0, 0);
        // The window goes with the default handling of WM_CLOSE; the
        // object lives until this message is done.
        alive_inside = IsLiveBar(bar);
    };

    LRESULT result = SendMessageA(wnd, trigger, 0, 0);
    EXPECT_TRUE(alive_inside);
    EXPECT_EQ(0, result);
    EXPECT_FALSE(IsLiveBar(bar));
    EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(BarLifetimeTest, ReleaseDeletesExactlyOnce) {
    CVellumMenuObject* bar = NewBar(nullptr);
    RecordingSection* section = new RecordingSection(bar);
    bar->InsertSection(-1, section);
    // A section that drops a reference while the bar is being deleted must
    // not delete it twice.
    section->on_message = [bar](UINT msg, WPARAM, LPARAM) {
        if (msg == GetBarMessages().BarClosingFreeChildren) {
            bar->AddRef();
            bar->Release();
        }
    };
    bar->Release();
    EXPECT_FALSE(IsLiveBar(bar));
    EXPECT_EQ(1, RecordingSection::destroyed);
}

TEST_F(BarLifetimeTest, RelayReachesEveryBarInRegistrationOrder) {
    CVellumMenuObject* a = NewRecordingBar();
    CVellumMenuObject* b = NewRecordingBar();
    CVellumMenuObject* c = NewRecordingBar();
    const UINT msg = WM_USER + 77;
    EnumBarWindowsSafe(RelayToBar, msg);
    std::vector<CVellumMenuObject*> expected = {a, b, c};
    EXPECT_EQ(expected, BarsThatGot(msg));
}

TEST_F(BarLifetimeTest, BarClosingInsideTheRelayDoesNotBreakIt) {
    CVellumMenuObject* a = NewRecordingBar();
    RecordingSection* b_section = nullptr;
    CVellumMenuObject* b = NewRecordingBar(&b_section);
    CVellumMenuObject* c = NewRecordingBar();
    CVellumMenuObject* d = NewRecordingBar();
    const UINT msg = WM_USER + 78;
    HWND b_wnd = b->m_hWnd;
    b_section->on_message = [b_wnd, msg](UINT got, WPARAM, LPARAM) {
        if (got == msg) SendMessageA(b_wnd, WM_CLOSE, 0, 0);
    };
    int before = GetBarWindowCount();

    EnumBarWindowsSafe(RelayToBar, msg);
    std::vector<CVellumMenuObject*> expected = {a, b, c, d};
    EXPECT_EQ(expected, BarsThatGot(msg));
    EXPECT_FALSE(IsLiveBar(b));
    EXPECT_EQ(before - 1, GetBarWindowCount());
}

TEST_F(BarLifetimeTest, VolatileBarClosesItselfDuringRelayedVolatileClose) {
    // The real case: "VolitleClose" relayed to all bars, one free volatile
    // bar closes for good while the walk is on it.
    const BarMessages& m = GetBarMessages();
    CVellumMenuObject* a = NewRecordingBar();
    CVellumMenuObject* b = NewRecordingBar();
    CVellumMenuObject* c = NewRecordingBar();
    b->m_volatile = TRUE;
    SetForegroundWindow(MainWindow());

    EnumBarWindowsSafe(RelayToBar, m.VolatileClose);
    std::vector<CVellumMenuObject*> expected = {a, b, c};
    EXPECT_EQ(expected, BarsThatGot(m.VolatileClose));
    EXPECT_FALSE(IsLiveBar(b));
    EXPECT_TRUE(IsLiveBar(a));
    EXPECT_TRUE(IsLiveBar(c));
}

TEST_F(BarLifetimeTest, DestructorParksPluginWindowsUnderTheMainWindow) {
    CVellumMenuObject* bar = NewBar();
    HWND plugin_child = CreateWindowExA(0, "STATIC", "plug-in", WS_CHILD | WS_VISIBLE, 0, 0, 10,
                                        10, bar->m_hWnd, nullptr, nullptr, nullptr);
    SetPropA(plugin_child, "PluginItem", reinterpret_cast<HANDLE>(1));
    HWND other_child = CreateWindowExA(0, "STATIC", "other", WS_CHILD, 0, 0, 10, 10,
                                       bar->m_hWnd, nullptr, nullptr, nullptr);

    CloseBar(bar);
    EXPECT_FALSE(IsLiveBar(bar));
    // The plug-in keeps its window, hidden under the main window; other
    // children go with the bar.
    ASSERT_TRUE(IsWindow(plugin_child));
    EXPECT_EQ(MainWindow(), GetParent(plugin_child));
    EXPECT_FALSE(IsWindowVisible(plugin_child));
    EXPECT_FALSE(IsWindow(other_child));
    DestroyWindow(plugin_child);
}

TEST_F(BarLifetimeTest, UnregisteringTheHotkeyFreesIt) {
    CVellumMenuObject* bar = NewBar();
    bar->m_hotkeyId = 0xB001;
    ASSERT_TRUE(RegisterHotKey(bar->m_hWnd, bar->m_hotkeyId, MOD_CONTROL | MOD_ALT, VK_F11));
    bar->UpdateHotkey(1);
    EXPECT_EQ(0, bar->m_hotkeyId);
    EXPECT_TRUE(RegisterHotKey(MainWindow(), 0xB001, MOD_CONTROL | MOD_ALT, VK_F11));
    UnregisterHotKey(MainWindow(), 0xB001);
}
