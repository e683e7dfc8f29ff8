// Custom states of real items: names without regard to case, order on
// removal, the limit of 200 (also for a bar file that asks for more), masks,
// and edits that change nothing.
#include <string>
#include <vector>
#include "items_fixture.h"

namespace items_test {
namespace {

int Width(HBITMAP bitmap) {
    BITMAP info = {};
    return GetObjectA(bitmap, sizeof(info), &info) ? info.bmWidth : -1;
}

std::vector<std::string> Names(CVellumMenuItem* item) {
    std::vector<std::string> out;
    for (int i = 0; i < item->m_customStates.count; ++i) out.push_back(item->m_customStates.names[i]);
    return out;
}

class CustomStatesTest : public ItemsTest {
protected:
    CVellumMenuItem* BitmapItem(bool transparency = true) {
        bar_ = Bar({"Item1.Title=states", "Item1.DisplayAsBitmap=1",
                    std::string("Item1.UseTransparency=") + (transparency ? "1" : "0")});
        return Item(bar_);
    }
    std::string Path(const char* name) { return bar_folder_ + name; }
    CVellumMenuObject* bar_ = nullptr;
};

TEST_F(CustomStatesTest, AStateOfTheSameNameInOtherCaseIsEditedNotAdded) {
    CVellumMenuItem* item = BitmapItem();
    std::string a = Path("hot.bmp"), b = Path("bar_only.bmp");
    EXPECT_EQ(1, item->AddCustomState(const_cast<char*>("Hot"), const_cast<char*>(a.c_str())));
    EXPECT_EQ(1, item->AddCustomState(const_cast<char*>("HOT"), const_cast<char*>(b.c_str())));
    ASSERT_EQ(1, item->m_customStates.count);
    EXPECT_STREQ("Hot", item->m_customStates.names[0]);
    EXPECT_EQ(b, item->m_customStates.paths[0]);
    HBITMAP bitmap = nullptr, mask = nullptr;
    EXPECT_EQ(0, item->FindCustomState(const_cast<char*>("hot"), &bitmap, &mask));
    EXPECT_EQ(14, Width(bitmap)) << "loaded again from the new path";
    EXPECT_NE(nullptr, mask);
    EXPECT_EQ(-1, item->FindCustomState(const_cast<char*>("cold"), &bitmap, &mask));
}

TEST_F(CustomStatesTest, RemovingAStateKeepsTheOthersInOrder) {
    CVellumMenuItem* item = BitmapItem();
    std::string path = Path("cold.bmp");
    for (const char* name : {"A", "Hot", "B"})
        item->AddCustomState(const_cast<char*>(name), const_cast<char*>(path.c_str()));
    HBITMAP b_bitmap = nullptr;
    item->FindCustomState(const_cast<char*>("B"), &b_bitmap, nullptr);
    EXPECT_EQ(1, item->RemoveCustomState(const_cast<char*>("hot")));
    EXPECT_EQ((std::vector<std::string>{"A", "B"}), Names(item));
    HBITMAP moved = nullptr;
    EXPECT_EQ(1, item->FindCustomState(const_cast<char*>("b"), &moved, nullptr));
    EXPECT_EQ(b_bitmap, moved) << "the state moved with its bitmap";
    EXPECT_EQ(0, item->RemoveCustomState(const_cast<char*>("hot")));
    EXPECT_EQ(1, item->RemoveCustomState(nullptr));
    EXPECT_EQ(0, item->m_customStates.count);
    EXPECT_EQ(0u, GetObjectType(moved));
}

TEST_F(CustomStatesTest, TheTwoHundredAndFirstStateIsRefused) {
    CVellumMenuItem* item = BitmapItem();
    char name[16];
    for (int i = 0; i < 200; ++i) {
        wsprintfA(name, "s%d", i);
        ASSERT_EQ(1, item->AddCustomState(name, const_cast<char*>(""))) << i;
    }
    EXPECT_EQ(0, item->AddCustomState(const_cast<char*>("one more"), const_cast<char*>("")));
    EXPECT_EQ(200, item->m_customStates.count);
    EXPECT_EQ(-1, item->FindCustomState(const_cast<char*>("one more"), nullptr, nullptr));
    // A state that exists can still be edited.
    std::string path = Path("hot.bmp");
    EXPECT_EQ(1, item->AddCustomState(const_cast<char*>("S199"), const_cast<char*>(path.c_str())));
    EXPECT_EQ(path, item->m_customStates.paths[199]);
}

TEST_F(CustomStatesTest, ABarFileAskingForMoreThan200LoadsTheFirst200) {
    std::vector<std::string> lines = {"Item1.Title=many", "Item1.DisplayAsBitmap=1",
                                      "Item1.nCustomStates=250"};
    for (int i = 0; i < 250; ++i) {
        lines.push_back("Item1.CustomState" + std::to_string(i) + ".Name=state" + std::to_string(i));
        lines.push_back("Item1.CustomState" + std::to_string(i) + ".BmpPath=" +
                        (i % 50 == 0 ? Path("hot.bmp") : std::string()));
    }
    CVellumMenuObject* bar = Bar(lines);
    CVellumMenuItem* item = Item(bar);
    ASSERT_NE(nullptr, item);
    ASSERT_EQ(200, item->m_customStates.count);
    EXPECT_STREQ("state0", item->m_customStates.names[0]);
    EXPECT_STREQ("state199", item->m_customStates.names[199]);
    lstrcpynA(item->m_customState, "state199", sizeof(item->m_customState));
    bar->RedrawVellumWindow();
    testing_support::PumpFor(30);
    std::string saved = bar_folder_ + "saved.tsbar";
    ASSERT_EQ(1, bar->Save(const_cast<char*>(saved.c_str())));
    EXPECT_EQ(200u, GetPrivateProfileIntA("Section1", "Item1.nCustomStates", 0, saved.c_str()));
}

TEST_F(CustomStatesTest, EveryStateHasAMaskUnderUseTransparency) {
    for (bool transparency : {true, false}) {
        CVellumMenuItem* item = BitmapItem(transparency);
        std::string hot = Path("hot.bmp"), cold = Path("cold.bmp");
        item->AddCustomState(const_cast<char*>("Hot"), const_cast<char*>(hot.c_str()));
        item->AddCustomState(const_cast<char*>("Cold"), const_cast<char*>(cold.c_str()));
        for (int i = 0; i < 2; ++i) {
            EXPECT_NE(nullptr, item->m_customStates.bitmaps[i].get()) << i;
            EXPECT_EQ(transparency, item->m_customStates.masks[i].get() != nullptr) << i;
        }
        CloseBar(bar_);
    }
}

TEST_F(CustomStatesTest, EditingToTheSamePathInOtherCaseReloadsNothing) {
    CVellumMenuItem* item = BitmapItem();
    std::string path = Path("hot.bmp");
    item->AddCustomState(const_cast<char*>("Hot"), const_cast<char*>(path.c_str()));
    HBITMAP before = item->m_customStates.bitmaps[0].get();
    std::string upper = path;
    CharUpperA(&upper[0]);
    EXPECT_EQ(1, item->EditCustomState(const_cast<char*>("hot"), const_cast<char*>(upper.c_str())));
    EXPECT_EQ(before, item->m_customStates.bitmaps[0].get());
    EXPECT_EQ(OBJ_BITMAP, static_cast<int>(GetObjectType(before)));
    std::string other = Path("cold.bmp");
    EXPECT_EQ(1, item->EditCustomState(const_cast<char*>("hot"), const_cast<char*>(other.c_str())));
    EXPECT_EQ(0u, GetObjectType(before)) << "replaced and freed";
    EXPECT_EQ(0, item->EditCustomState(const_cast<char*>("missing"), const_cast<char*>("")));
    // A null name rebuilds the first state from its stored path.
    HBITMAP first = item->m_customStates.bitmaps[0].get();
    EXPECT_EQ(1, item->EditCustomState(nullptr, nullptr));
    EXPECT_NE(nullptr, item->m_customStates.bitmaps[0].get());
    EXPECT_EQ(0u, GetObjectType(first));
}

}  // namespace
}  // namespace items_test
