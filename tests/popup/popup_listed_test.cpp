// The bars a popup item lists: shown and hidden by clicks, placed beside the
// item as one group, and bounded to 20 names.
#include <algorithm>
#include "popup_fixture.h"
#include "model/live_objects.h"
#include "types/popup_item_resources.h"

namespace popup_test {
namespace {

class PopupListedTest : public PopupTest {
protected:
    CVellumMenuObject* OpenBar(const char* title, RECT r) {
        static int n = 0;
        std::string name = "open" + std::to_string(++n) + ".tsbar";
        return LoadBar(WriteBar(name, BarLines(title, r, true, {"[Section1]", "Item1.Title=X"})));
    }
    // A parent at r with one popup item listing the titles.
    CVellumMenuObject* Parent(RECT r, bool vertical, const std::vector<std::string>& titles,
                              const std::vector<std::string>& keys = {}) {
        std::vector<std::string> lines = {"[Section1]", "Item1.Type=Popup", "Item1.Title=Tools",
                                          "Item1.Popup.Volitle=0",
                                          "Item1.Popup.nBarsToPopup=" +
                                              std::to_string(titles.size())};
        for (size_t i = 0; i < titles.size(); ++i)
            lines.push_back("Item1.Popup.szBar" + std::to_string(i) + "=" + titles[i]);
        for (const std::string& key : keys) lines.push_back("Item1." + key);
        return LoadBar(WriteBar("parent.tsbar", BarLines("Parent", r, vertical, lines)));
    }
};

TEST_F(PopupListedTest, AClickShowsTheListedBarsAndTheNextHidesThem) {
    CVellumMenuObject* a = OpenBar("Tools A", {600, 100, 700, 160});
    CVellumMenuObject* b = OpenBar("Tools B", {710, 100, 800, 160});
    CVellumMenuObject* other = OpenBar("Other", {600, 300, 700, 360});
    CVellumMenuObject* parent =
        Parent({100, 0, 500, 30}, false, {"Tools A", "Tools B"}, {"Popup.AutoReposition=0"});
    CVellumMenuItem_Popup* item = Item(parent);
    ASSERT_NE(nullptr, item);
    a->Hide(1);
    b->Hide(1);
    Click(item);
    EXPECT_TRUE(Wait([&] { return Visible(a) && Visible(b); }));
    EXPECT_EQ(item, a->m_associatedPopupItem);
    EXPECT_EQ(item, b->m_associatedPopupItem);
    EXPECT_TRUE(a->m_shownByPopupItem);
    EXPECT_EQ(nullptr, other->m_associatedPopupItem);
    EXPECT_EQ(kStateSelected, static_cast<int>(item->m_state));
    testing_support::PumpFor(200);
    Click(item);
    EXPECT_TRUE(Wait([&] { return !Visible(a) && !Visible(b); }));
    EXPECT_TRUE(Visible(other));
    EXPECT_FALSE(a->m_shownByPopupItem);
}

TEST_F(PopupListedTest, TheGroupGoesBesideTheItemKeepingItsShape) {
    CVellumMenuObject* a = OpenBar("Tools A", {100, 100, 200, 160});
    CVellumMenuObject* b = OpenBar("Tools B", {210, 120, 300, 200});
    // A vertical bar at the screen's right edge: the group goes to its left.
    CVellumMenuObject* parent =
        Parent({screen_w_ - 60, 100, screen_w_, 400}, true, {"Tools A", "Tools B"});
    CVellumMenuItem_Popup* item = Item(parent);
    ASSERT_NE(nullptr, item);
    a->Hide(1);
    b->Hide(1);
    Click(item);
    ASSERT_TRUE(Wait([&] { return Visible(a) && Visible(b); }));
    RECT i = ItemScreenRect(item);
    RECT ra = WindowRect(a), rb = WindowRect(b);
    EXPECT_EQ(110, rb.left - ra.left) << RectText(ra) << RectText(rb);
    EXPECT_EQ(20, rb.top - ra.top);
    EXPECT_EQ(i.left, rb.right) << "item " << RectText(i);
    EXPECT_EQ(i.top + 1, ra.top);
    EXPECT_TRUE(a->ResizingMovingLeft);
    EXPECT_FALSE(a->ResizingMovingUp);
}

TEST_F(PopupListedTest, AGroupAboveTheItemGrowsUpAndAPlacedGroupOnlyTakesTheFlags) {
    CVellumMenuObject* a = OpenBar("Tools A", {100, 100, 200, 160});
    CVellumMenuObject* parent =
        Parent({100, screen_h_ - 30, 500, screen_h_}, false, {"Tools A"});
    CVellumMenuItem_Popup* item = Item(parent);
    ASSERT_NE(nullptr, item);
    a->Hide(1);
    Click(item);
    ASSERT_TRUE(Wait([&] { return Visible(a); }));
    RECT i = ItemScreenRect(item);
    RECT placed = WindowRect(a);
    EXPECT_EQ(i.top + 1, placed.bottom) << RectText(placed) << " item " << RectText(i);
    EXPECT_EQ(i.left, placed.left);
    EXPECT_TRUE(a->ResizingMovingUp);
    EXPECT_FALSE(a->ResizingMovingLeft);

    // Already in place: nothing moves, the growth flags are set again.
    a->ResizingMovingUp = FALSE;
    a->ResizingMovingLeft = TRUE;
    item->PlaceLayerBesideItem(-1, 0);
    testing_support::PumpFor(50);
    RECT again = WindowRect(a);
    EXPECT_TRUE(EqualRect(&placed, &again)) << RectText(again);
    EXPECT_TRUE(a->ResizingMovingUp);
    EXPECT_FALSE(a->ResizingMovingLeft);
}

TEST_F(PopupListedTest, TwentyFiveNamesLoadAsTwentyAndTheListRefusesAFurtherOne) {
    std::vector<std::string> titles;
    for (int i = 0; i < 25; ++i) titles.push_back("Bar " + std::to_string(i));
    OpenBar("Spare", {600, 300, 700, 360});
    CVellumMenuObject* parent = Parent({100, 0, 500, 30}, false, titles);
    CVellumMenuItem_Popup* item = Item(parent);
    ASSERT_NE(nullptr, item);
    EXPECT_EQ(20, item->nBarsToPopup);
    EXPECT_STREQ("Bar 19", item->szBarsToPopup[19]);
    EXPECT_FALSE(item->AddListedBar("Spare"));

    HWND host = testing_support::CreatePlainWindow("Tessellar Popup Page Host");
    HWND page = item->CallConfigDialogEx(host);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(page, item->CallConfigDialogEx(host));
    HWND available = GetDlgItem(page, IDC_POPUP_AVAILABLE);
    LRESULT spare = SendMessageA(available, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                                 reinterpret_cast<LPARAM>("Spare"));
    ASSERT_GE(spare, 0);
    SendMessageA(available, LB_SETCURSEL, spare, 0);
    {
        testing_support::MessageBoxWatcher boxes(IDOK);
        PostMessageA(page, WM_COMMAND, IDC_POPUP_ADD, 0);
        EXPECT_TRUE(Wait([&] { return boxes.Count() > 0; }));
        EXPECT_TRUE(boxes.SawCaption("Tessellar - Bars to popup"));
    }
    EXPECT_EQ(20, item->nBarsToPopup);
    EXPECT_EQ(20, SendDlgItemMessageA(page, IDC_POPUP_LISTED, LB_GETCOUNT, 0, 0));
    SendMessageA(page, WM_COMMAND, IDOK, 0);
    EXPECT_EQ(nullptr, item->m_page);
    DestroyWindow(host);
}

// The page's settings apply as their controls report them (the direction
// on a selection change only), and "Remove" takes the selected name off.
TEST_F(PopupListedTest, PageSettingsApplyAtOnceAndRemoveTakesTheSelectedName) {
    OpenBar("Tools A", {600, 100, 700, 160});
    OpenBar("Tools B", {710, 100, 800, 160});
    CVellumMenuObject* parent = Parent({100, 0, 500, 30}, false, {"Tools A", "Tools B"});
    CVellumMenuItem_Popup* item = Item(parent);
    ASSERT_NE(nullptr, item);
    HWND host = testing_support::CreatePlainWindow("Tessellar Popup Settings Host");
    HWND page = item->CallConfigDialogEx(host);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(item, GetPropA(page, "lpItem"));

    const struct {
        int id;
        BOOL CVellumMenuItem_Popup::*field;
    } checks[] = {
        {IDC_POPUP_VOLATILE, &CVellumMenuItem_Popup::Volitle},
        {IDC_POPUP_TOGGLE, &CVellumMenuItem_Popup::Toggle},
        {IDC_POPUP_ALIGN_WITH_BAR, &CVellumMenuItem_Popup::AlignPopupNextToBar},
        {IDC_POPUP_REPOSITION, &CVellumMenuItem_Popup::AutoReposition},
    };
    for (const auto& c : checks) {
        SCOPED_TRACE(c.id);
        for (int click = 0; click < 2; ++click) {
            parent->m_modified = FALSE;
            SendMessageA(GetDlgItem(page, c.id), BM_CLICK, 0, 0);
            const bool on = IsDlgButtonChecked(page, c.id) == BST_CHECKED;
            EXPECT_EQ(on, item->*(c.field) != FALSE);
            EXPECT_TRUE(parent->m_modified);
            if (c.id == IDC_POPUP_REPOSITION) {
                EXPECT_EQ(on, IsWindowEnabled(GetDlgItem(page, IDC_POPUP_DIRECTION)) != FALSE);
            }
        }
    }

    HWND direction = GetDlgItem(page, IDC_POPUP_DIRECTION);
    const struct {
        int row;
        WORD code;
        int expected;
    } rows[] = {{3, CBN_SELCHANGE, 3}, {5, CBN_CLOSEUP, 3}, {9, CBN_SELCHANGE, 9}};
    for (const auto& r : rows) {
        SCOPED_TRACE(r.row);
        SendMessageA(direction, CB_SETCURSEL, r.row, 0);
        SendMessageA(page, WM_COMMAND, MAKEWPARAM(IDC_POPUP_DIRECTION, r.code), reinterpret_cast<LPARAM>(direction));
        EXPECT_EQ(r.expected, item->PopupDirection);
    }

    HWND listed = GetDlgItem(page, IDC_POPUP_LISTED);
    LRESULT row = SendMessageA(listed, LB_FINDSTRINGEXACT, static_cast<WPARAM>(-1),
                               reinterpret_cast<LPARAM>("Tools A"));
    ASSERT_GE(row, 0);
    SendMessageA(listed, LB_SETCURSEL, row, 0);
    parent->m_modified = FALSE;
    SendMessageA(GetDlgItem(page, IDC_POPUP_REMOVE), BM_CLICK, 0, 0);
    ASSERT_EQ(1, item->nBarsToPopup);
    EXPECT_STREQ("Tools B", item->szBarsToPopup[0]);
    EXPECT_EQ(1, SendMessageA(listed, LB_GETCOUNT, 0, 0));
    EXPECT_TRUE(parent->m_modified);

    SendMessageA(page, WM_COMMAND, IDCANCEL, 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(nullptr, item->m_page);
    DestroyWindow(host);
}

}  // namespace
}  // namespace popup_test
