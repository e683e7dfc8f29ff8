// A bar whose handler throws (a section that runs out of memory): the message
// gets the answer a window without a handler gives, the bar keeps no extra
// reference, and the message loop and the bar go on as before.
#include <windows.h>
#include <new>
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model_fixture.h"
#include "tests/support/test_support.h"

using namespace model_test;
using testing_support::PumpUntil;

namespace {

class FailingHandlerTest : public BarTest {
protected:
    // A bar whose section throws for the message `failing` while it is set.
    CVellumMenuObject* NewFailingBar() {
        CVellumMenuObject* bar = NewRecordingBar(&section_);
        section_->on_message = [this](UINT msg, WPARAM, LPARAM) {
            if (failing_ && msg == failing_) throw std::bad_alloc();
        };
        return bar;
    }

    bool Delivered(CVellumMenuObject* bar, UINT msg, WPARAM wp) const {
        for (const Delivery& d : Deliveries())
            if (d.bar == bar && d.msg == msg && d.wp == wp) return true;
        return false;
    }

    RecordingSection* section_ = nullptr;
    UINT failing_ = 0;
};

}  // namespace

TEST_F(FailingHandlerTest, SentMessageGetsTheDefaultAnswerAndTheNextOneTheBarsOwn) {
    CVellumMenuObject* bar = NewFailingBar();
    HWND wnd = bar->m_hWnd;
    ASSERT_TRUE(IsWindow(wnd));
    bar->DockToEdge = 2;
    const UINT query = GetBarMessages().QueryIsDocked;

    // The bar itself answers 1 for a docked bar; a window without a handler 0.
    ASSERT_EQ(1, SendMessageA(wnd, query, 0, 0));
    failing_ = query;
    EXPECT_EQ(0, SendMessageA(wnd, query, 0, 0));
    EXPECT_TRUE(Delivered(bar, query, 0)) << "the section was reached and threw";
    EXPECT_EQ(1, bar->m_refCount) << "the message's own reference went with it";
    EXPECT_TRUE(IsLiveBar(bar));

    failing_ = 0;
    EXPECT_EQ(1, SendMessageA(wnd, query, 0, 0));

    // The bar still closes and is freed: nothing keeps it alive.
    CloseBar(bar);
    EXPECT_FALSE(IsLiveBar(bar));
    EXPECT_FALSE(IsWindow(wnd));
}

TEST_F(FailingHandlerTest, PostedMessagesThatThrowLeaveTheLoopRunning) {
    const UINT registered = RegisterWindowMessageA("Tessellar Test - Failing Handler");
    struct Case {
        const char* name;
        UINT msg;
        WPARAM wp;
    };
    const Case cases[] = {
        {"registered message", registered, 7},
        {"application message", WM_APP + 9, 8},
        {"hot key", WM_HOTKEY, 9},
        {"timer", WM_TIMER, 4321},
    };
    CVellumMenuObject* bar = NewFailingBar();
    HWND wnd = bar->m_hWnd;
    ASSERT_TRUE(IsWindow(wnd));
    const UINT marker = WM_APP + 77;

    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        Deliveries().clear();
        failing_ = c.msg;
        ASSERT_TRUE(PostMessageA(wnd, c.msg, c.wp, 0));
        ASSERT_TRUE(PostMessageA(wnd, marker, c.wp, 0));
        // The loop dispatches the failing message and then the next one.
        EXPECT_TRUE(PumpUntil([&] { return Delivered(bar, marker, c.wp); }, 2000));
        EXPECT_TRUE(Delivered(bar, c.msg, c.wp));
        EXPECT_EQ(1, bar->m_refCount);
        EXPECT_TRUE(IsLiveBar(bar));
    }
}
