// Keys: arrows within a bar, letters with "&" accelerators, Enter, Escape.
#include "input_fixture.h"
#include "tests/support/test_support.h"

namespace input_test {
namespace {

class KeyboardTest : public InputTest {
protected:
    void Build(bool vertical) {
        bar = NewBar({100, 400, 500, 440});
        bar->DisplayVertically = vertical ? TRUE : FALSE;
        section = AddSection(bar, {0, 0, 400, 40});
        const char* titles[] = {"&Apple", "&Banana", "Cherry", "&Berry"};
        for (int i = 0; i < 4; ++i) items[i] = AddItem(section, {i * 50, 0, i * 50 + 50, 40}, titles[i]);
        separator = AddItem(section, {200, 0, 210, 40}, "");
        separator->Separator = TRUE;
        // A hidden section's items do not count.
        CVellumMenuSection* hidden = AddSection(bar, {0, 0, 0, 0});
        hidden->IsHidden = TRUE;
        AddItem(hidden, {0, 0, 10, 10}, "&Zebra");
    }
    void Key(UINT msg, WPARAM wp) { SendMessageA(bar->m_hWnd, msg, wp, 0); }

    CVellumMenuObject* bar = nullptr;
    CVellumMenuSection* section = nullptr;
    TestItem* items[4] = {};
    TestItem* separator = nullptr;
};

TEST_F(KeyboardTest, ArrowsMoveAlongAHorizontalBarAndWrap) {
    Build(false);
    struct Step {
        WPARAM key;
        int expected;   // index into items, -1 none
    };
    const Step steps[] = {
        {VK_RIGHT, 0}, {VK_RIGHT, 1}, {VK_RIGHT, 2}, {VK_RIGHT, 3},
        {VK_RIGHT, 0},                 // wraps, skipping the separator
        {VK_LEFT, 3}, {VK_LEFT, 2},
        {VK_DOWN, 2}, {VK_UP, 2},      // no neighbour bars, no popups
    };
    for (const Step& s : steps) {
        Key(WM_KEYDOWN, s.key);
        EXPECT_EQ(items[s.expected], bar->m_keyboardItem) << "key " << s.key;
    }
    EXPECT_EQ(kStateSelected, items[2]->m_state);
    EXPECT_EQ(kStateNormal, items[3]->m_state);
}

TEST_F(KeyboardTest, UpAndDownMoveAlongAVerticalBar) {
    Build(true);
    Key(WM_KEYDOWN, VK_DOWN);
    EXPECT_EQ(items[0], bar->m_keyboardItem);
    Key(WM_KEYDOWN, VK_UP);
    EXPECT_EQ(items[3], bar->m_keyboardItem);
    Key(WM_KEYDOWN, VK_LEFT);      // a free vertical bar: nothing
    EXPECT_EQ(items[3], bar->m_keyboardItem);
    Key(WM_KEYDOWN, VK_RIGHT);     // asks the item to open its popup, nothing more
    EXPECT_EQ(items[3], bar->m_keyboardItem);
    EXPECT_EQ(1, items[3]->popup_requests);
}

TEST_F(KeyboardTest, LettersSelectAndAcceleratorsActivate) {
    Build(false);
    struct Step {
        WPARAM ch;
        int expected;
        bool activated;
    };
    const Step steps[] = {
        {'b', 1, false},   // two items carry B: selected only
        {'b', 3, false},
        {'B', 1, false},
        {'a', 0, true},    // the only A: selected and run
        {'c', 2, true},    // no "&": its first letter
        {'z', 2, false},   // only in a hidden section: nothing
        {'1', 2, false},
    };
    for (const Step& s : steps) {
        TestItem* item = items[s.expected];
        int popups_before = item->popup_requests;
        item->states.clear();
        Key(WM_CHAR, s.ch);
        EXPECT_EQ(item, bar->m_keyboardItem) << static_cast<char>(s.ch);
        bool activated = item->popup_requests > popups_before;
        EXPECT_EQ(s.activated, activated) << static_cast<char>(s.ch);
        if (s.activated) {
            // Clicked, then Normal, before the click runs.
            ASSERT_GE(item->states.size(), 2u);
            EXPECT_EQ(kStateClicked, item->states[item->states.size() - 2]);
            EXPECT_EQ(kStateNormal, item->states.back());
        }
    }
    // With two items on a letter, pressing it again only moves between them.
    Key(WM_CHAR, 'b');
    EXPECT_EQ(items[3], bar->m_keyboardItem);
    int before = items[1]->popup_requests + items[3]->popup_requests;
    Key(WM_CHAR, 'b');
    EXPECT_EQ(items[1], bar->m_keyboardItem);
    EXPECT_EQ(before, items[1]->popup_requests + items[3]->popup_requests);
    // One item on a letter runs again when it already has the selection.
    Key(WM_CHAR, 'a');
    EXPECT_EQ(2, items[0]->popup_requests);
}

TEST_F(KeyboardTest, EnterAndSpaceRunTheKeyboardItem) {
    Build(false);
    Key(WM_KEYDOWN, VK_RETURN);   // no keyboard item: nothing
    Key(WM_KEYDOWN, VK_RIGHT);
    Key(WM_KEYDOWN, VK_RETURN);
    EXPECT_EQ(1, items[0]->popup_requests);
    Key(WM_CHAR, ' ');
    EXPECT_EQ(2, items[0]->popup_requests);
}

TEST_F(KeyboardTest, EscapeClosesVolatileBarsThroughTheMainWindow) {
    Build(false);
    Key(WM_KEYDOWN, VK_RIGHT);
    Key(WM_KEYDOWN, VK_ESCAPE);
    EXPECT_EQ(1u, MainMessageCount("VolitleClose"));
    EXPECT_EQ(nullptr, bar->m_keyboardItem);
    EXPECT_EQ(kStateNormal, items[0]->m_state);
    Key(WM_SYSKEYDOWN, VK_MENU);
    EXPECT_EQ(2u, MainMessageCount("VolitleClose"));
}

TEST_F(KeyboardTest, ChangeKeyboardSelectionKeepsOneSelectedItem) {
    Build(false);
    bar->ChangeKeyboardSelection(items[1]);
    EXPECT_EQ(kStateSelected, items[1]->m_state);
    bar->ChangeKeyboardSelection(items[2]);
    EXPECT_EQ(kStateNormal, items[1]->m_state);
    EXPECT_EQ(kStateSelected, items[2]->m_state);
    items[2]->states.clear();
    bar->ChangeKeyboardSelection(items[2]);   // no change
    EXPECT_TRUE(items[2]->states.empty());
    bar->ChangeKeyboardSelection(nullptr);
    EXPECT_EQ(kStateNormal, items[2]->m_state);
}

}  // namespace
}  // namespace input_test

namespace input_test {
namespace {

// A volatile child bar opened by an item of another bar (its opener).
class OpenerTest : public InputTest {
protected:
    void Build(bool opener_vertical) {
        opener_bar = NewBar({100, 450, 400, 490});
        opener_bar->DisplayVertically = opener_vertical ? TRUE : FALSE;
        CVellumMenuSection* s = AddSection(opener_bar, {0, 0, 300, 40});
        for (int i = 0; i < 3; ++i) {
            opener[i] = AddItem(s, {i * 50, 0, i * 50 + 50, 40}, "Opener");
            opener[i]->popup_delay = 0;   // they open popups
        }
        child = NewBar({100, 500, 200, 600});
        child->DisplayVertically = TRUE;
        child->m_volatile = TRUE;
        child->m_owningPopupItem = opener[1];
        CVellumMenuSection* cs = AddSection(child, {0, 0, 100, 100});
        entry = AddItem(cs, {0, 0, 100, 20}, "Entry");
        child->ChangeKeyboardSelection(entry);
    }
    void Key(CVellumMenuObject* bar, WPARAM vk) { SendMessageA(bar->m_hWnd, WM_KEYDOWN, vk, 0); }

    CVellumMenuObject* opener_bar = nullptr;
    CVellumMenuObject* child = nullptr;
    TestItem* opener[3] = {};
    TestItem* entry = nullptr;
};

TEST_F(OpenerTest, LeftReturnsToAVerticalOpener) {
    Build(true);
    Key(child, VK_LEFT);
    EXPECT_EQ(opener[1], opener_bar->m_keyboardItem);
    testing_support::PumpFor(30);
    EXPECT_EQ(1u, MainMessageCount("VolitleClose"));
}

TEST_F(OpenerTest, LeftAndRightOpenTheNeighboursOfAHorizontalOpener) {
    Build(false);
    Key(child, VK_LEFT);
    EXPECT_EQ(1, opener[0]->popup_requests);     // the opener's previous item opens
    EXPECT_EQ(nullptr, opener_bar->m_keyboardItem);
    Key(child, VK_RIGHT);
    EXPECT_EQ(1, opener[2]->popup_requests);     // and its next one
    EXPECT_EQ(0, opener[1]->popup_requests);
    EXPECT_EQ(entry, child->m_keyboardItem);     // no selection moved
}

TEST_F(OpenerTest, EscapeGoesToTheOpenersBar) {
    Build(false);
    Key(child, VK_ESCAPE);
    EXPECT_EQ(nullptr, child->m_keyboardItem);
    EXPECT_EQ(0u, MainMessageCount("VolitleClose"));   // the opener's bar answers it
    testing_support::PumpFor(30);
    EXPECT_EQ(1u, MainMessageCount("VolitleClose"));
}

}  // namespace
}  // namespace input_test
