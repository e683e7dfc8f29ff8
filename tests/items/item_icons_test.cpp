// The icons that stand for items in the theme editor: every item kind that
// names an icon of the program finds it, 16 pixels square.
#include <string>
#include <vector>
#include "item_fixture.h"
#include "util/handles.h"

using namespace item_test;

namespace {

class ItemIconTest : public ItemTest {};

TEST_F(ItemIconTest, ItemKindsWithTheirOwnIconFindIt) {
    struct Case {
        const char* kind;
        std::vector<std::string> lines;
    } const cases[] = {
        {"separator", {"Item1.Title=-", "Item1.Separator=1"}},
        {"popup", {"Item1.Type=Popup", "Item1.Title=Apps", "Item1.Popup=child.tsbar"}},
        {"clock", {"Item1.Type=Clock", "Item1.Title=C"}},
        {"special menu", {"Item1.Type=SpecialMenu", "Item1.Title=Programs"}},
    };
    RECT r = {100, 300, 400, 326};
    int n = 0;
    for (const Case& c : cases) {
        SCOPED_TRACE(c.kind);
        std::vector<std::string> lines = {"[Section1]"};
        lines.insert(lines.end(), c.lines.begin(), c.lines.end());
        CVellumMenuObject* bar = LoadBar(WriteBar("icon" + std::to_string(++n) + ".tsbar", c.kind, r, false, lines));
        ASSERT_NE(nullptr, bar);
        CVellumMenuItem* item = Item(bar);
        ASSERT_NE(nullptr, item);
        tess::ScopedIcon icon(item->GetCustomIcon());
        ASSERT_NE(nullptr, icon.get());
        ICONINFO info = {};
        ASSERT_TRUE(GetIconInfo(icon.get(), &info));
        tess::ScopedBitmap color(info.hbmColor), mask(info.hbmMask);
        BITMAP bm = {};
        ASSERT_TRUE(GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bm), &bm));
        EXPECT_EQ(16, bm.bmWidth);
    }
}

}  // namespace
