// Opening, placing, toggling and hiding a child bar read from a bar file.
#include "popup_fixture.h"
#include "model/live_objects.h"

namespace popup_test {
namespace {

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

}  // namespace
}  // namespace popup_test
