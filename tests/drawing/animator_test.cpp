// The state animator on a real bar window: loops, phases, timers, the
// switch that turns animations off, and a ForceOut that cannot freeze.
#include <string>
#include "drawing_fixture.h"
#include "model/bar_host.h"
#include "model/state_animator.h"

namespace drawing_test {
namespace {

using testing_support::PumpUntil;

COLORREF FramePixel(int x, int) {
    return RGB((x / 10) * 60, 100, 200);   // each 10-pixel frame its own colour
}

// The normal element has 2 out frames (with the given ForceOut and Delay);
// the mouse-over element 4 loop frames looped `loop` times.
std::string AnimatedSkin(int loop, int force_out = 0, int out_delay = 10, int in_frames = 0) {
    return "[General]\r\nItemHeight=20\r\n"
           "[NormalItemSkin]\r\nhBitmap=frames.bmp\r\nInFrames=0\r\nLoopFrames=1\r\n"
           "OutFrames=2\r\nForceOut=" + std::to_string(force_out) +
           "\r\nDelay=" + std::to_string(out_delay) +
           "\r\n[MouseoverItemSkin]\r\nhBitmap=frames.bmp\r\nInFrames=" +
           std::to_string(in_frames) + "\r\nLoopFrames=4\r\nOutFrames=0\r\nLoop=" +
           std::to_string(loop) + "\r\nDelay=10\r\n";
}

const char kStillSkin[] =
    "[General]\r\nItemHeight=20\r\n"
    "[NormalItemSkin]\r\nhBitmap=frames.bmp\r\n"
    "[MouseoverItemSkin]\r\nhBitmap=frames.bmp\r\n";

bool g_animations_disabled = false;
bool AnimationsOff() { return g_animations_disabled; }

class AnimatorTest : public DrawingTest {
protected:
    void SetUp() override {
        ASSERT_TRUE(skins_.Bitmap("frames.bmp", 80, 20, FramePixel));
        g_animations_disabled = false;
        GetBarHostServices().AreAnimationsDisabled = AnimationsOff;
    }
    void TearDown() override {
        GetBarHostServices().AreAnimationsDisabled = nullptr;
        DrawingTest::TearDown();
    }
    RecordingItem* ItemOnBar(const std::string& skin) {
        bar_ = NewBar(200, 20);
        EXPECT_TRUE(ApplySkin(bar_, skins_.Write("anim.tsskin", skin)));
        auto* section = new DrawingSection(bar_);
        bar_->InsertSection(-1, section);
        auto* item = new RecordingItem(bar_, section, 40, 20);
        section->InsertItem(-1, item);
        bar_->RecalcRects(1, 0);
        item->frames.clear();
        return item;
    }
    CItemStateAnimator* Animator() { return bar_->m_stateAnimator; }

    CVellumMenuObject* bar_ = nullptr;
};

TEST_F(AnimatorTest, LoopTwiceStopsOnTheFirstLoopFrame) {
    RecordingItem* item = ItemOnBar(AnimatedSkin(2));
    item->SetState(kStateMouseOver, 0);
    ASSERT_EQ(1, Animator()->SlotsInUse());
    ASSERT_TRUE(PumpUntil([&] { return Animator()->SlotsInUse() == 0; }, 3000));
    // Out frames of the normal element (frames 1 and 2 of its bitmap), then two
    // passes over the mouse-over loop, then its first loop frame again.
    const std::vector<int> expected = {1, 2, 0, 1, 2, 3, 0, 1, 2, 3, 0};
    EXPECT_EQ(expected, item->frames);
    EXPECT_EQ(kStateMouseOver, static_cast<int>(item->m_drawnElement));
    EXPECT_EQ(0, item->m_frame);
}

TEST_F(AnimatorTest, LoopZeroEndsAfterOnePass) {
    RecordingItem* item = ItemOnBar(AnimatedSkin(0));
    item->SetState(kStateMouseOver, 0);
    ASSERT_TRUE(PumpUntil([&] { return Animator()->SlotsInUse() == 0; }, 3000));
    const std::vector<int> expected = {1, 2, 0, 1, 2, 3, 0};
    EXPECT_EQ(expected, item->frames);
}

TEST_F(AnimatorTest, EndlessLoopRunsUntilTheNextState) {
    RecordingItem* item = ItemOnBar(AnimatedSkin(-1));
    item->SetState(kStateMouseOver, 0);
    EXPECT_FALSE(PumpUntil([&] { return Animator()->SlotsInUse() == 0; }, 300));
    EXPECT_GT(item->frames.size(), 8u);   // still looping
    item->SetState(kStateNormal, 0);
    // Normal has no in frames and a single loop frame: nothing to animate.
    EXPECT_EQ(0, Animator()->SlotsInUse());
    EXPECT_EQ(kStateNormal, static_cast<int>(item->m_drawnElement));
}

TEST_F(AnimatorTest, StillSkinsStartNoTimer) {
    RecordingItem* item = ItemOnBar(kStillSkin);
    item->SetState(kStateMouseOver, 0);
    EXPECT_EQ(0, Animator()->SlotsInUse());
    EXPECT_EQ(kStateMouseOver, static_cast<int>(item->m_drawnElement));
    EXPECT_EQ(0, item->m_frame);
}

TEST_F(AnimatorTest, DisabledAnimationsShowTheFinalFrameAtOnce) {
    g_animations_disabled = true;
    RecordingItem* item = ItemOnBar(AnimatedSkin(2, 0, 10, 2));
    item->SetState(kStateMouseOver, 0);
    EXPECT_EQ(0, Animator()->SlotsInUse());
    EXPECT_EQ(2 + 4 - 1, item->m_frame);   // InFrames + LoopFrames - 1
}

TEST_F(AnimatorTest, ForceOutCannotFreezeTheProgram) {
    // Two out frames of 600 ms play at once, but the second sleep would pass
    // the bound, so the rest is skipped; with 5 s frames nothing sleeps.
    struct Case {
        int delay;
        DWORD least, most;
    };
    const Case cases[] = {{600, 550, kForceOutBudgetMs + 300}, {5000, 0, 300}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.delay);
        RecordingItem* item = ItemOnBar(AnimatedSkin(2, 1, c.delay));
        DWORD start = GetTickCount();
        item->SetState(kStateMouseOver, 0);
        DWORD elapsed = GetTickCount() - start;
        EXPECT_GE(elapsed, c.least);
        EXPECT_LE(elapsed, c.most);
        // The out frames played without the message loop, then the loop began.
        EXPECT_EQ(1, item->frames.front());
        EXPECT_EQ(kStateMouseOver, static_cast<int>(item->m_drawnElement));
        CloseBar(bar_);
    }
}

TEST_F(AnimatorTest, ForceOutIsBoundedEvenForLongFrames) {
    RecordingItem* item = ItemOnBar(AnimatedSkin(2, 1, 5000));
    DWORD start = GetTickCount();
    item->SetState(kStateMouseOver, 0);
    DWORD elapsed = GetTickCount() - start;
    EXPECT_LE(elapsed, kForceOutBudgetMs + 300);
    // The out phase is over: the mouse-over element is playing.
    EXPECT_EQ(kStateMouseOver, static_cast<int>(item->m_drawnElement));
}

TEST_F(AnimatorTest, AnElementWithoutFramesNeverShowsFrameMinusOne) {
    // Elements without a bitmap have no in and no loop frames at all.
    RecordingItem* item = ItemOnBar("[General]\r\nItemHeight=20\r\n");
    item->SetState(kStateMouseOver, 0);
    EXPECT_EQ(0, item->m_frame);
    g_animations_disabled = true;
    item->SetState(kStateNormal, 0);
    EXPECT_EQ(0, item->m_frame);
}

TEST_F(AnimatorTest, DestroyedItemsLeaveTheirSlot) {
    RecordingItem* item = ItemOnBar(AnimatedSkin(-1));
    item->SetState(kStateMouseOver, 0);
    ASSERT_EQ(1, Animator()->SlotsInUse());
    bar_->m_sections[0]->RemoveItem(item, 1);
    EXPECT_EQ(0, Animator()->SlotsInUse());
    testing_support::PumpFor(100);   // no timer reaches the deleted item
}

}  // namespace
}  // namespace drawing_test
