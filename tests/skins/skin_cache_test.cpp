// The shared skin table: one record per file, re-parse in place, the slot
// limit, companions, stale releases and the state lookups.
#include <gtest/gtest.h>

#include <string>
#include <vector>

#include "skins/skin_cache.h"
#include "tests/support/skin_fixtures.h"
#include "tests/support/test_support.h"

using testing_support::TempFolder;

namespace {

class SkinCacheTest : public ::testing::Test {
protected:
    void SetUp() override { InitSkinCache(GetModuleHandleA(nullptr)); }
    void TearDown() override { FreeSkinCache(); }

    int UsedSlots() const {
        int used = 0;
        for (int i = 0; i < kSkinCacheSlots; ++i)
            if (GetSkinCacheSlot(i)->path[0]) ++used;
        return used;
    }

    TempFolder temp;
};

}  // namespace

TEST_F(SkinCacheTest, TwoSpellingsShareOneRecord) {
    ASSERT_TRUE(temp.MakeFolder("Skins"));
    ASSERT_TRUE(temp.Write("Skins\\Blue.tsskin", "[General]\r\nItemHeight=21\r\n"));
    SkinRecord* a = LoadSkinFile(temp.File("Skins\\Blue.tsskin").c_str());
    ASSERT_NE(nullptr, a);
    std::string other = temp.File("SKINS\\x\\..\\blue.TSSKIN");
    SkinRecord* b = LoadSkinFile(other.c_str());
    EXPECT_EQ(a, b);
    EXPECT_EQ(2, a->reference_count);
    EXPECT_EQ(1, UsedSlots());
    EXPECT_EQ(a, FindCachedSkin(temp.File("skins\\blue.tsskin").c_str()));
    EXPECT_EQ(temp.File("Skins\\"), std::string(a->folder));
    // A forced reload keeps the count.
    EXPECT_EQ(1, ReloadSkinFile(a));
    EXPECT_EQ(2, a->reference_count);
    EXPECT_EQ(0, ReloadSkinFile(nullptr));
    EXPECT_EQ(1, ReleaseSkin(a));
    EXPECT_EQ(1, ReleaseSkin(a));
    EXPECT_EQ(0, UsedSlots());
    EXPECT_EQ(0, ReleaseSkin(a));   // a free slot is left alone
}

TEST_F(SkinCacheTest, TouchedFileIsParsedAgainInPlace) {
    std::string path = temp.File("t.tsskin");
    ASSERT_TRUE(temp.Write("t.tsskin", "[General]\r\nItemHeight=10\r\n"));
    SkinRecord* first = LoadSkinFile(path.c_str());
    SkinRecord* second = LoadSkinFile(path.c_str());
    ASSERT_EQ(first, second);
    unsigned generation = first->generation;
    ASSERT_TRUE(temp.Write("t.tsskin", "[General]\r\nItemHeight=30\r\n"));
    ASSERT_TRUE(skin_fixtures::TouchLater(path));
    SkinRecord* third = LoadSkinFile(path.c_str());
    EXPECT_EQ(first, third);
    EXPECT_EQ(3, first->reference_count);
    EXPECT_EQ(30, first->ItemHeight);   // the earlier holders see the new skin
    EXPECT_EQ(generation, first->generation);
}

TEST_F(SkinCacheTest, TwentyFirstSkinWaitsForAFreeSlot) {
    std::vector<SkinRecord*> held;
    for (int i = 0; i < kSkinCacheSlots; ++i) {
        std::string name = "s" + std::to_string(i) + ".tsskin";
        ASSERT_TRUE(temp.Write(name, "[General]\r\nItemHeight=" + std::to_string(i + 5) + "\r\n"));
        SkinRecord* skin = LoadSkinFile(temp.File(name).c_str());
        ASSERT_NE(nullptr, skin);
        held.push_back(skin);
    }
    ASSERT_TRUE(temp.Write("extra.tsskin", "[General]\r\nItemHeight=99\r\n"));
    EXPECT_EQ(nullptr, LoadSkinFile(temp.File("extra.tsskin").c_str()));
    // An already cached skin still loads.
    EXPECT_EQ(held[3], LoadSkinFile(temp.File("s3.tsskin").c_str()));
    ReleaseSkin(held[7]);
    SkinRecord* extra = LoadSkinFile(temp.File("extra.tsskin").c_str());
    ASSERT_NE(nullptr, extra);
    EXPECT_EQ(held[7], extra);   // the freed slot, lowest free index
    EXPECT_EQ(99, extra->ItemHeight);
}

TEST_F(SkinCacheTest, StaleReleaseNeverFreesTheNextOccupant) {
    ASSERT_TRUE(temp.Write("old.tsskin", "[General]\r\n"));
    ASSERT_TRUE(temp.Write("new.tsskin", "[General]\r\nItemHeight=44\r\n"));
    SkinHandle stale(LoadSkinFile(temp.File("old.tsskin").c_str()));
    SkinRecord* slot = stale.get();
    ASSERT_NE(nullptr, slot);
    unsigned old_generation = slot->generation;
    ReleaseSkin(slot);   // someone else drops the last reference
    SkinRecord* fresh = LoadSkinFile(temp.File("new.tsskin").c_str());
    ASSERT_EQ(slot, fresh);   // same slot, another skin
    EXPECT_EQ(0, ReleaseSkin(fresh, old_generation));
    stale.reset();            // the old holder lets go: nothing happens
    EXPECT_EQ(1, fresh->reference_count);
    EXPECT_EQ(44, fresh->ItemHeight);
    {
        SkinHandle holder(LoadSkinFile(temp.File("new.tsskin").c_str()));
        EXPECT_EQ(2, fresh->reference_count);
    }
    EXPECT_EQ(1, fresh->reference_count);
    SkinRecord outside;
    EXPECT_EQ(0, ReleaseSkin(&outside));   // not a cache slot
    EXPECT_EQ(0, ReleaseSkin(nullptr));
}

TEST_F(SkinCacheTest, CompanionSkins) {
    ASSERT_TRUE(temp.MakeFolder("skin"));
    ASSERT_TRUE(temp.Write("skin\\self.tsskin", "[General]\r\nCompanionSkin.Popup=\"self.tsskin\"\r\n"));
    ASSERT_TRUE(temp.Write("skin\\popup.tsskin", "[General]\r\nItemHeight=17\r\n"));
    ASSERT_TRUE(temp.Write("skin\\group.tsskin", "[General]\r\nItemHeight=19\r\n"));
    ASSERT_TRUE(temp.Write("skin\\bar.tsskin", "[General]\r\nCompanionSkin.Popup=popup.tsskin\r\n"));
    ASSERT_TRUE(temp.Write("skin\\both.tsskin", "[General]\r\nCompanionSkin.Popup=popup.tsskin\r\n"
                                                "CompanionSkin.TaskbarGroupPopup=group.tsskin\r\n"));
    ASSERT_TRUE(temp.Write("outside.tsskin", "[General]\r\n"));
    ASSERT_TRUE(temp.Write("skin\\escape.tsskin", "[General]\r\nCompanionSkin.Popup=..\\outside.tsskin\r\n"));

    // Naming itself: no reference on itself, and it frees cleanly.
    SkinRecord* self = LoadSkinFile(temp.File("skin\\self.tsskin").c_str());
    ASSERT_NE(nullptr, self);
    EXPECT_EQ(1, self->reference_count);
    EXPECT_EQ(nullptr, self->companions[0]);
    SkinRecord* again = GetCompanionSkin(self, 0);
    EXPECT_EQ(self, again);
    EXPECT_EQ(2, self->reference_count);
    ReleaseSkin(again);
    ReleaseSkin(self);
    EXPECT_EQ(0, UsedSlots());

    // The popup companion used for both kinds is held twice.
    SkinRecord* bar = LoadSkinFile(temp.File("skin\\bar.tsskin").c_str());
    ASSERT_NE(nullptr, bar);
    SkinRecord* popup = FindCachedSkin(temp.File("skin\\popup.tsskin").c_str());
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(2, popup->reference_count);
    SkinRecord* group = GetCompanionSkin(bar, 1);
    EXPECT_EQ(popup, group);
    EXPECT_EQ(3, popup->reference_count);
    ReleaseSkin(group);
    ReleaseSkin(bar);   // frees the bar and its references on the popup
    EXPECT_EQ(0, UsedSlots());

    SkinRecord* both = LoadSkinFile(temp.File("skin\\both.tsskin").c_str());
    ASSERT_NE(nullptr, both);
    SkinRecord* g = GetCompanionSkin(both, 1);
    EXPECT_EQ(19, g->ItemHeight);
    SkinRecord* p = GetCompanionSkin(both, 0);
    EXPECT_EQ(17, p->ItemHeight);
    ReleaseSkin(g);
    ReleaseSkin(p);
    ReleaseSkin(both);
    EXPECT_EQ(0, UsedSlots());

    // A companion file that does not exist does not load: the next name, or
    // the skin itself, stands in.
    ASSERT_TRUE(temp.Write("skin\\typo.tsskin", "[General]\r\nCompanionSkin.Popup=popup.tsskin\r\n"
                                                "CompanionSkin.TaskbarGroupPopup=nogroup.tsskin\r\n"));
    ASSERT_TRUE(temp.Write("skin\\lost.tsskin", "[General]\r\nCompanionSkin.Popup=nothere.tsskin\r\n"));
    SkinRecord* typo = LoadSkinFile(temp.File("skin\\typo.tsskin").c_str());
    ASSERT_NE(nullptr, typo);
    SkinRecord* fallback = GetCompanionSkin(typo, 1);
    EXPECT_EQ(17, fallback->ItemHeight);
    ReleaseSkin(fallback);
    SkinRecord* lost = LoadSkinFile(temp.File("skin\\lost.tsskin").c_str());
    ASSERT_NE(nullptr, lost);
    EXPECT_EQ(lost, GetCompanionSkin(lost, 0));
    EXPECT_EQ(2, lost->reference_count);
    EXPECT_EQ(nullptr, FindCachedSkin(temp.File("skin\\nothere.tsskin").c_str()));
    ReleaseSkin(lost);
    ReleaseSkin(lost);
    ReleaseSkin(typo);
    EXPECT_EQ(0, UsedSlots());

    // A companion outside the skin's folder is refused.
    SkinRecord* escape = LoadSkinFile(temp.File("skin\\escape.tsskin").c_str());
    ASSERT_NE(nullptr, escape);
    EXPECT_EQ(1, UsedSlots());
    EXPECT_EQ(escape, GetCompanionSkin(escape, 0));
    ReleaseSkin(escape);
    ReleaseSkin(escape);
    EXPECT_EQ(0, UsedSlots());
}

TEST_F(SkinCacheTest, PlaceholderSkinHasDefaults) {
    SkinRecord* invalid = LoadSkinFile(kInvalidSkinName);
    ASSERT_NE(nullptr, invalid);
    EXPECT_EQ(1, invalid->loaded);
    EXPECT_EQ(0u, invalid->file_time.dwLowDateTime | invalid->file_time.dwHighDateTime);
    EXPECT_EQ(1, invalid->ItemHeight);
    EXPECT_EQ(10, invalid->state_count);
    EXPECT_EQ(invalid, LoadSkinFile(kInvalidSkinName));   // shared like any other
    EXPECT_EQ(2, invalid->reference_count);
    EXPECT_EQ(nullptr, LoadSkinFile(""));
    EXPECT_EQ(nullptr, LoadSkinFile(nullptr));
    EXPECT_EQ(nullptr, LoadSkinFile(std::string(400, 'a').c_str()));
    FreeSkinCache();
    EXPECT_EQ(0, UsedSlots());
}

TEST_F(SkinCacheTest, StateLookups) {
    ASSERT_TRUE(temp.Write("styles.tsskin",
                           "[General]\r\nNumberOfSectionStyles=3\r\n"
                           "[MouseoverItemSkin_2]\r\nTextColor=255 0 0\r\n"
                           "[NormalItemSkin_3]\r\nTextColor=0 0 255\r\n"));
    SkinRecord* skin = LoadSkinFile(temp.File("styles.tsskin").c_str());
    ASSERT_NE(nullptr, skin);
    ASSERT_EQ(22, skin->state_count);
    struct { int state, style, expected; } cases[] = {
        {0, 2, 0},    // the bar background has no styles
        {7, 1, 13},   // MouseoverItemSkin_2 is valid
        {7, 2, 7},    // MouseoverItemSkin_3 is not: style 0
        {6, 2, 18},
        {6, 1, 6},
        {6, -1, 6},
        {6, 3, 6},    // past the skin's styles
        {6, 1000000000, 6},
        {-3, 1, -3},
    };
    for (auto& c : cases)
        EXPECT_EQ(c.expected, GetSkinStateIndex(skin, c.state, c.style)) << c.state << "/" << c.style;
    EXPECT_EQ(6, GetSkinStateIndex(nullptr, 6, 1));
    EXPECT_EQ(&skin->states[5], GetSkinStateRecord(skin, 5));
    EXPECT_EQ(nullptr, GetSkinStateRecord(skin, -1));
    EXPECT_EQ(nullptr, GetSkinStateRecord(nullptr, 3));
    EXPECT_EQ(&skin->states[4 + (30 - 4) % 6], GetSkinStateRecord(skin, 30));

    ASSERT_TRUE(temp.Write("one.tsskin", "[General]\r\n"));
    SkinRecord* one = LoadSkinFile(temp.File("one.tsskin").c_str());
    ASSERT_NE(nullptr, one);
    EXPECT_EQ(&one->states[5], GetSkinStateRecord(one, 17));
    EXPECT_EQ(&one->states[4], GetSkinStateRecord(one, 16));
}

TEST_F(SkinCacheTest, PathRelativeToABarFile) {
    ASSERT_TRUE(temp.MakeFolder("Skins"));
    ASSERT_TRUE(temp.MakeFolder("Bars"));
    ASSERT_TRUE(temp.Write("Skins\\r.tsskin", "[General]\r\n"));
    SkinRecord* skin = LoadSkinFile(temp.File("Skins\\r.tsskin").c_str());
    ASSERT_NE(nullptr, skin);
    char out[MAX_PATH];
    ASSERT_EQ(1, GetSkinPathRelativeTo(skin, temp.File("Bars").c_str(), out, sizeof(out), nullptr));
    EXPECT_STREQ("..\\Skins\\r.tsskin", out);
    ASSERT_EQ(1, GetSkinPathRelativeTo(skin, temp.Path().substr(0, temp.Path().size() - 1).c_str(),
                                       out, sizeof(out), nullptr));
    EXPECT_STREQ("Skins\\r.tsskin", out);
    char tiny[8];
    EXPECT_EQ(0, GetSkinPathRelativeTo(skin, temp.File("Bars").c_str(), tiny, sizeof(tiny), nullptr))
        << "neither the relative nor the full path fits: no cut path";
    EXPECT_STREQ("", tiny);
    EXPECT_EQ(0, GetSkinPathRelativeTo(nullptr, "c:\\", out, sizeof(out), nullptr));
    EXPECT_EQ(0, GetSkinPathRelativeTo(skin, nullptr, out, sizeof(out), nullptr));

    PROPSHEETPAGEA page;
    FillSkinPropertyPage(&page, GetModuleHandleA(nullptr), 100);
    EXPECT_STREQ("Skin", page.pszTitle);
    EXPECT_EQ(0, page.pfnDlgProc(nullptr, WM_INITDIALOG, 0, 0));
}

TEST_F(SkinCacheTest, ReleaseGivesBackOnlyTheCompanionReferencesItTook) {
    ASSERT_TRUE(temp.Write("popup.tsskin", "[General]\r\nItemHeight=17\r\n"));
    ASSERT_TRUE(temp.Write("bar.tsskin", "[General]\r\nCompanionSkin.Popup=popup.tsskin\r\n"));
    std::vector<SkinRecord*> fillers;
    for (int i = 0; i < kSkinCacheSlots - 1; ++i) {
        std::string name = "f" + std::to_string(i) + ".tsskin";
        ASSERT_TRUE(temp.Write(name, "[General]\r\n"));
        fillers.push_back(LoadSkinFile(temp.File(name).c_str()));
        ASSERT_NE(nullptr, fillers.back());
    }
    // The last slot goes to the bar; its companion finds no room.
    SkinRecord* bar = LoadSkinFile(temp.File("bar.tsskin").c_str());
    ASSERT_NE(nullptr, bar);
    EXPECT_EQ(nullptr, bar->companions[0]);
    ReleaseSkin(fillers[0]);
    // Now another holder loads the companion on its own.
    SkinRecord* popup = LoadSkinFile(temp.File("popup.tsskin").c_str());
    ASSERT_NE(nullptr, popup);
    EXPECT_EQ(1, popup->reference_count);
    ReleaseSkin(bar);
    EXPECT_EQ(1, popup->reference_count);   // the bar never held it
    EXPECT_EQ(17, popup->ItemHeight);
}

TEST_F(SkinCacheTest, CompanionsOfEachOtherAreFreedWithTheCache) {
    ASSERT_TRUE(temp.Write("a.tsskin", "[General]\r\nCompanionSkin.Popup=b.tsskin\r\n"));
    ASSERT_TRUE(temp.Write("b.tsskin", "[General]\r\nCompanionSkin.Popup=a.tsskin\r\n"));
    SkinRecord* a = LoadSkinFile(temp.File("a.tsskin").c_str());
    ASSERT_NE(nullptr, a);
    SkinRecord* b = FindCachedSkin(temp.File("b.tsskin").c_str());
    ASSERT_NE(nullptr, b);
    EXPECT_EQ(3, a->reference_count);   // ours and b's two
    EXPECT_EQ(2, b->reference_count);   // a's, for both kinds
    for (int i = 0; i < 3; ++i) {
        ASSERT_EQ(1, ReloadSkinFile(a));   // re-parse in place survives the cycle
        EXPECT_EQ(3, a->reference_count);   // and takes no reference twice
        EXPECT_EQ(2, b->reference_count);
    }
    EXPECT_EQ(a, FindCachedSkin(temp.File("a.tsskin").c_str()));
    EXPECT_EQ(2, UsedSlots());
    FreeSkinCache();
    EXPECT_EQ(0, UsedSlots());
}
