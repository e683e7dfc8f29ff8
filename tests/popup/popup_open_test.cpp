// Opening, placing, toggling and hiding a child bar read from a bar file.
#include "popup_fixture.h"
#include "model/live_objects.h"
#include "tests/support/stand_in_main_window.h"

namespace popup_test {
namespace {

// A timer of this thread that notes, when it fires, whether the bar's hover
// delay has run out (no item waits for it any more).
class ReferenceTimer {
public:
    ReferenceTimer(CVellumMenuObject* bar, UINT ms) {
        bar_ = bar;
        state_ = kPending;
        id_ = SetTimer(nullptr, 0, ms, OnTimer);
    }
    ~ReferenceTimer() {
        if (id_) KillTimer(nullptr, id_);
        bar_ = nullptr;
    }
    ReferenceTimer(const ReferenceTimer&) = delete;
    ReferenceTimer& operator=(const ReferenceTimer&) = delete;
    bool Started() const { return id_ != 0; }
    bool Fired() const { return state_ != kPending; }
    bool DelayWasOver() const { return state_ == kDelayOver; }

private:
    enum State { kPending, kDelayOver, kStillWaiting };
    static void CALLBACK OnTimer(HWND, UINT, UINT_PTR id, DWORD) {
        KillTimer(nullptr, id);
        if (state_ != kPending || !bar_) return;
        state_ = bar_->m_pendingHoverItem == nullptr ? kDelayOver : kStillWaiting;
    }
    static CVellumMenuObject* bar_;
    static State state_;
    UINT_PTR id_ = 0;
};
CVellumMenuObject* ReferenceTimer::bar_ = nullptr;
ReferenceTimer::State ReferenceTimer::state_ = ReferenceTimer::kPending;

class PopupOpenTest : public PopupTest {
protected:
    // A child bar file and a horizontal parent at r whose one popup item opens
    // it with the extra popup keys.
    CVellumMenuObject* Parent(RECT r, const std::vector<std::string>& keys,
                              RECT child = {300, 300, 420, 360}) {
        WriteBar("child.tsbar",
                 BarLines("Child", child, true,
                          {"[Section1]", "Item1.Title=One", "Item2.Title=Two"}));
        std::vector<std::string> lines = {"[Section1]", "Item1.Title=Left",
                                          "Item2.Type=Popup", "Item2.Title=Apps",
                                          "Item2.Popup=child.tsbar"};
        for (const std::string& key : keys) lines.push_back("Item2." + key);
        return LoadBar(WriteBar("parent.tsbar", BarLines("Parent", r, false, lines)));
    }
};

TEST_F(PopupOpenTest, AClickOpensTheChildBelowTheItemOrAboveItAtTheScreenBottom) {
    struct Case {
        const char* name;
        bool at_bottom;
    };
    for (const Case& c : {Case{"bar at the top", false}, Case{"bar at the bottom", true}}) {
        SCOPED_TRACE(c.name);
        RECT r = c.at_bottom ? RECT{100, screen_h_ - 30, 500, screen_h_} : RECT{100, 0, 500, 30};
        CVellumMenuObject* parent = Parent(r, {});
        CVellumMenuItem_Popup* item = Item(parent, 1);
        ASSERT_NE(nullptr, item);
        EXPECT_FALSE(item->m_plain);
        Click(item);
        ASSERT_TRUE(Wait([] { return Visible(FindBar("Child")); }));
        CVellumMenuObject* child = FindBar("Child");
        EXPECT_EQ(child, item->GetChildObject());
        EXPECT_EQ(item, child->m_owningPopupItem);
        EXPECT_TRUE(item->PreserveSize);
        RECT bar = WindowRect(parent), in_bar;
        item->GetRealItemRect(&in_bar);
        RECT got = WindowRect(child);
        EXPECT_EQ(bar.left + in_bar.left, got.left) << RectText(got);
        if (c.at_bottom)
            EXPECT_EQ(bar.top, got.bottom) << RectText(got) << " bar " << RectText(bar);
        else
            EXPECT_EQ(bar.bottom, got.top) << RectText(got) << " bar " << RectText(bar);
        // The child keeps the size its own file gives it.
        EXPECT_EQ(120, got.right - got.left);
        EXPECT_EQ(60, got.bottom - got.top);
        TearDown();
    }
}


TEST_F(PopupOpenTest, ASecondClickAfterTheGuardTogglesClosesOrHides) {
    struct Case {
        const char* name;
        std::vector<std::string> keys;
        enum { kCloses, kStays, kHides } outcome;
    };
    // Non-volatile children, so only the clicks decide.
    const Case cases[] = {
        {"toggle closes", {"Popup.Volitle=0", "Popup.Toggle=1"}, Case::kCloses},
        {"no toggle keeps it", {"Popup.Volitle=0", "Popup.Toggle=0"}, Case::kStays},
        {"hide on close hides and reuses",
         {"Popup.Volitle=0", "Popup.Toggle=1", "Popup.HideOnClose=1"}, Case::kHides},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* parent = Parent({100, 0, 500, 30}, c.keys);
        CVellumMenuItem_Popup* item = Item(parent, 1);
        ASSERT_NE(nullptr, item);
        Click(item);
        ASSERT_TRUE(Wait([] { return Visible(FindBar("Child")); }));
        CVellumMenuObject* child = FindBar("Child");
        HWND first = child->m_hWnd;
        EXPECT_EQ(kStateSelected, static_cast<int>(item->m_state));

        // Within 800 ms of the opening a click does nothing to it.
        Click(item);
        testing_support::PumpFor(100);
        EXPECT_TRUE(Visible(child));
        EXPECT_EQ(child, item->GetChildObject());

        AfterGuard();
        Click(item);
        switch (c.outcome) {
        case Case::kCloses:
            EXPECT_TRUE(Wait([&] { return !IsLiveBar(child); }));
            EXPECT_EQ(nullptr, item->GetChildObject());
            EXPECT_EQ(nullptr, FindBarWindow("Child"));
            break;
        case Case::kStays:
            testing_support::PumpFor(300);
            EXPECT_TRUE(Visible(child));
            EXPECT_EQ(child, item->GetChildObject());
            break;
        case Case::kHides:
            EXPECT_TRUE(Wait([&] { return !IsWindowVisible(first); }));
            ASSERT_TRUE(IsLiveBar(child));
            AfterGuard();
            Click(item);
            EXPECT_TRUE(Wait([&] { return IsWindowVisible(first) != FALSE; }));
            EXPECT_EQ(first, FindBarWindow("Child"));
            EXPECT_EQ(child, item->GetChildObject());
            break;
        }
        TearDown();
    }
}

TEST_F(PopupOpenTest, EachDirectionPlacesTheChildAgainstTheItem) {
    const RECT parent_rect = {300, 300, 700, 330};
    const int w = 120, h = 60;
    for (int direction = 1; direction <= 9; ++direction) {
        SCOPED_TRACE(direction);
        CVellumMenuObject* parent =
            Parent(parent_rect, {"Popup.Volitle=0", "Popup.PreserveSize=1",
                                 "Popup.PopupDirection=" + std::to_string(direction)},
                   RECT{50, 50, 50 + w, 50 + h});
        CVellumMenuItem_Popup* item = Item(parent, 1);
        ASSERT_NE(nullptr, item);
        const RECT a = ItemScreenRect(item);
        POINT want = {};
        switch (direction) {
        case 1: want = {a.left, a.top - h}; break;
        case 2: want = {a.right - w, a.top - h}; break;
        case 3: want = {a.left, a.bottom}; break;
        case 4: want = {a.right - w, a.bottom}; break;
        case 5: want = {a.left - w, a.top}; break;
        case 6: want = {a.left - w, a.bottom - h}; break;
        case 7: want = {a.right, a.top}; break;
        case 8: want = {a.right, a.bottom - h}; break;
        default: want = {(screen_w_ - w) / 2, (screen_h_ - h) / 2}; break;
        }
        const RECT expected = {want.x, want.y, want.x + w, want.y + h};
        Click(item);
        ASSERT_TRUE(Wait([] { return Visible(FindBar("Child")); }));
        CVellumMenuObject* child = FindBar("Child");
        EXPECT_TRUE(Wait([&] {
            RECT now = WindowRect(child);
            return EqualRect(&now, &expected) != 0;
        })) << "item " << RectText(a) << " child " << RectText(WindowRect(child)) << " want "
            << RectText(expected);
        TearDown();
    }
}

TEST_F(PopupOpenTest, SavesPreserveSizeAndReopensANonVolatileChildAfterReload) {
    struct Case {
        const char* name;
        bool dragged;
        const char* was_popped_up;
    };
    for (const Case& c : {Case{"left where it opened", false, "2"}, Case{"moved by the user", true, "1"}}) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* parent = Parent({100, 0, 500, 30}, {"Popup.Volitle=0"});
        std::string path = parent->m_barFile;
        CVellumMenuItem_Popup* item = Item(parent, 1);
        ASSERT_NE(nullptr, item);
        Click(item);
        ASSERT_TRUE(Wait([] { return Visible(FindBar("Child")); }));
        CVellumMenuObject* child = FindBar("Child");
        if (c.dragged) child->UserSetPos(200, 200, 120, 60, 0);

        // The theme closes: the open child is noted, and the bar saved.
        SendMessageA(parent->m_hWnd, RegisterWindowMessageA("Theme is closing... check for modified!"),
                     0, 0);
        EXPECT_TRUE(parent->m_modified);
        ASSERT_EQ(1, parent->Save(const_cast<char*>(path.c_str())));
        char value[32] = "";
        GetPrivateProfileStringA("Section1", "Item2.Popup.PreserveSize", "", value, sizeof(value),
                                 path.c_str());
        EXPECT_STREQ("1", value);
        GetPrivateProfileStringA("Section1", "Item2.Popup.WasPoppedUp", "", value, sizeof(value),
                                 path.c_str());
        EXPECT_STREQ(c.was_popped_up, value);
        RECT own = WindowRect(child);
        TearDown();

        // Where the child's own file puts it (it was never saved here).
        CVellumMenuObject* reloaded = LoadBar(path);
        ASSERT_TRUE(Wait([] { return Visible(FindBar("Child")); }));
        CVellumMenuObject* again = FindBar("Child");
        EXPECT_EQ(Item(reloaded, 1), again->m_owningPopupItem);
        EXPECT_FALSE(again->m_volatile);
        RECT from_file = {300, 300, 420, 360};
        RECT now = WindowRect(again);
        EXPECT_TRUE(EqualRect(&now, &from_file)) << RectText(now) << " before " << RectText(own);
        TearDown();
    }
}

TEST_F(PopupOpenTest, AChildWhoseFileCannotBeReadIsNeverSaved) {
    std::vector<std::string> lines = {"[Section1]", "Item1.Type=Popup", "Item1.Title=Gone",
                                      "Item1.Popup=missing.tsbar", "Item1.Popup.Volitle=0"};
    CVellumMenuObject* parent =
        LoadBar(WriteBar("parent.tsbar", BarLines("Parent", {100, 0, 500, 30}, false, lines)));
    CVellumMenuItem_Popup* item = Item(parent, 0);
    ASSERT_NE(nullptr, item);
    Click(item);
    ASSERT_TRUE(Wait([&] { return item->GetChildObject() != nullptr; }));
    CVellumMenuObject* child = item->GetChildObject();
    EXPECT_TRUE(child->m_neverSave);
    child->SetModified();
    testing_support::CloseTestBar(child, false);
    EXPECT_FALSE(testing_support::FileExistsOnDisk(files_.File("missing.tsbar")));
}

TEST_F(PopupOpenTest, HoverOpensOnlyWithTheButtonHeldOrInsideAVolatilePopup) {
    WriteBar("grandchild.tsbar",
             BarLines("Grandchild", {500, 500, 600, 540}, true, {"[Section1]", "Item1.Title=G"}));
    WriteBar("child.tsbar",
             BarLines("Child", {300, 300, 420, 360}, true,
                      {"[Section1]", "Item1.Type=Popup", "Item1.Title=More",
                       "Item1.Popup=grandchild.tsbar", "Item1.Popup.Toggle=1"}));
    std::vector<std::string> lines = {"[Section1]", "Item1.Title=Left", "Item2.Type=Popup",
                                      "Item2.Title=Apps", "Item2.Popup=child.tsbar"};
    CVellumMenuObject* parent =
        LoadBar(WriteBar("parent.tsbar", BarLines("Parent", {100, 0, 500, 30}, false, lines)));
    CVellumMenuItem_Popup* item = Item(parent, 1);
    ASSERT_NE(nullptr, item);

    // In an ordinary bar resting on the item opens nothing.
    MoveTo(item);
    testing_support::PumpFor(1000);
    EXPECT_EQ(nullptr, FindBarWindow("Child"));

    // Inside the volatile child, its popup item opens like a cascading menu.
    Click(item);
    ASSERT_TRUE(Wait([] { return Visible(FindBar("Child")); }));
    CVellumMenuObject* child = FindBar("Child");
    EXPECT_TRUE(child->m_volatile);
    CVellumMenuItem_Popup* nested = Item(child, 0);
    ASSERT_NE(nullptr, nested);
    EXPECT_EQ(250, nested->GetPopupDelay());
    EXPECT_EQ(0u, nested->GetPopupRequiredKeys());
    DWORD start = GetTickCount();
    MoveTo(nested);
    // The bar's delay runs from the move it saw. A timer of this thread set
    // then, and due well after the delay, must find the delay over: both
    // fire on this thread, the earlier one first, however late the thread
    // gets to them on a loaded machine.
    ASSERT_TRUE(Wait([&] { return child->m_pendingHoverItem == nested || FindBar("Grandchild"); }));
    ReferenceTimer reference(child, 1000);
    ASSERT_TRUE(reference.Started());
    ASSERT_TRUE(Wait([] { return Visible(FindBar("Grandchild")); }));
    const DWORD took = GetTickCount() - start;
    EXPECT_GE(took, 200u);
    ASSERT_TRUE(Wait([&] { return reference.Fired(); }));
    EXPECT_TRUE(reference.DelayWasOver()) << "the popup waited longer than a second";
    EXPECT_EQ(nested, FindBar("Grandchild")->m_owningPopupItem);
}

TEST_F(PopupOpenTest, HoverOpensWithTheLeftButtonHeldOrAnotherPopupOfTheBarOpen) {
    WriteBar("child.tsbar", BarLines("Child", {300, 300, 420, 360}, true,
                                     {"[Section1]", "Item1.Title=One"}));
    WriteBar("second.tsbar", BarLines("Second", {450, 300, 560, 360}, true,
                                      {"[Section1]", "Item1.Title=Two"}));
    std::vector<std::string> lines = {"[Section1]", "Item1.Title=Left", "Item2.Type=Popup",
                                      "Item2.Title=Apps", "Item2.Popup=child.tsbar",
                                      "Item3.Type=Popup", "Item3.Title=More",
                                      "Item3.Popup=second.tsbar"};
    CVellumMenuObject* parent =
        LoadBar(WriteBar("parent.tsbar", BarLines("Parent", {100, 0, 500, 30}, false, lines)));
    ASSERT_NE(nullptr, Item(parent, 2));

    // The button pressed on another item and held on the way.
    MoveTo(parent->m_sections[0]->m_items[0]);
    INPUT input = {};
    input.type = INPUT_MOUSE;
    input.mi.dwFlags = MOUSEEVENTF_LEFTDOWN;
    SendInput(1, &input, sizeof(INPUT));
    testing_support::PumpFor(50);
    MoveTo(Item(parent, 1));
    bool opened = Wait([] { return Visible(FindBar("Child")); });
    input.mi.dwFlags = MOUSEEVENTF_LEFTUP;
    SendInput(1, &input, sizeof(INPUT));
    testing_support::PumpFor(50);
    EXPECT_TRUE(opened);

    // With that popup open, resting on the next popup item opens it too.
    ASSERT_TRUE(Visible(FindBar("Child")));
    MoveTo(Item(parent, 2));
    EXPECT_TRUE(Wait([] { return Visible(FindBar("Second")); }));
}

TEST_F(PopupOpenTest, AVolatileChildThatHidesOnCloseIsHiddenWhenTheUserTurnsAway) {
    struct Case {
        const char* name;
        const char* hide_on_close;
        bool stays;
    };
    for (const Case& c : {Case{"closes", "0", false}, Case{"hides", "1", true}}) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* parent =
            Parent({100, 0, 500, 30}, {std::string("Popup.HideOnClose=") + c.hide_on_close});
        CVellumMenuItem_Popup* item = Item(parent, 1);
        ASSERT_NE(nullptr, item);
        Click(item);
        ASSERT_TRUE(Wait([] { return Visible(FindBar("Child")); }));
        CVellumMenuObject* child = FindBar("Child");
        EXPECT_TRUE(child->m_volatile);
        AfterGuard();
        HWND other = testing_support::CreatePlainWindow("Tessellar Popup Elsewhere");
        SetWindowPos(other, HWND_TOP, 700, 500, 40, 40, SWP_SHOWWINDOW);
        SetForegroundWindow(other);
        if (c.stays) {
            EXPECT_TRUE(Wait([&] { return !Visible(child); }));
            testing_support::PumpFor(100);
            EXPECT_TRUE(IsLiveBar(child));
            EXPECT_EQ(child, item->GetChildObject());
        } else {
            EXPECT_TRUE(Wait([&] { return !IsLiveBar(child); }));
            EXPECT_EQ(nullptr, item->GetChildObject());
        }
        DestroyWindow(other);
        TearDown();
    }
}
}  // namespace
}  // namespace popup_test
