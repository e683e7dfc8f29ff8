// The bar's section list and the section's item list: insertion, removal,
// neighbours, hit tests.
#include "model/live_objects.h"
#include "model_fixture.h"

using namespace model_test;

namespace {

class SectionListTest : public BarTest {
protected:
    // A windowless bar with n recording sections.
    CVellumMenuObject* BarWithSections(int n, std::vector<CVellumMenuSection*>* out) {
        CVellumMenuObject* bar = NewBar(nullptr);
        for (int i = 0; i < n; ++i) {
            auto* s = new RecordingSection(bar);
            bar->InsertSection(-1, s);
            out->push_back(s);
        }
        return bar;
    }

    static std::vector<CVellumMenuSection*> Sections(CVellumMenuObject* bar) {
        std::vector<CVellumMenuSection*> list;
        for (int i = 0; i < kMaxSections && bar->m_sections[i]; ++i)
            list.push_back(bar->m_sections[i]);
        return list;
    }
};

}  // namespace

TEST_F(SectionListTest, InsertAtIndexOrBehindAnother) {
    std::vector<CVellumMenuSection*> s;
    CVellumMenuObject* bar = BarWithSections(3, &s);
    CVellumMenuObject* other = NewBar(nullptr);
    auto* n1 = new RecordingSection(other);
    auto* n2 = new RecordingSection(other);
    auto* n3 = new RecordingSection(other);
    auto* n4 = new RecordingSection(other);
    auto* n5 = new RecordingSection(other);

    bar->InsertSection(1, n1);                  // in the middle
    bar->InsertSection(-5, n2);                 // negative appends
    bar->InsertSection(99, n3);                 // beyond the end appends
    bar->InsertSection(s[0], n4);               // behind s0
    bar->InsertSection(static_cast<CVellumMenuSection*>(nullptr), n5);   // after none appends
    bar->InsertSection(0, nullptr);             // ignored
    std::vector<CVellumMenuSection*> expected = {s[0], n4, n1, s[1], s[2], n2, n3, n5};
    EXPECT_EQ(expected, Sections(bar));

    EXPECT_EQ(nullptr, bar->GetPreviousSection(s[0]));
    EXPECT_EQ(s[0], bar->GetPreviousSection(n4));
    EXPECT_EQ(n1, bar->GetNextSection(n4));
    EXPECT_EQ(nullptr, bar->GetNextSection(n5));
    EXPECT_EQ(nullptr, bar->GetNextSection(nullptr));
    auto* stranger = new RecordingSection(other);
    EXPECT_EQ(nullptr, bar->GetNextSection(stranger));
    EXPECT_EQ(nullptr, bar->GetPreviousSection(stranger));
    delete stranger;
}

TEST_F(SectionListTest, RemoveByIndexOrPointerClosesTheGap) {
    std::vector<CVellumMenuSection*> s;
    CVellumMenuObject* bar = BarWithSections(5, &s);

    bar->RemoveSection(500, 1);    // outside: nothing
    bar->RemoveSection(-2, 1);
    bar->RemoveSection(7, 1);      // empty slot: nothing
    EXPECT_EQ(5u, Sections(bar).size());
    EXPECT_EQ(0, RecordingSection::destroyed);

    bar->RemoveSection(2, 1);      // deletes the third
    EXPECT_EQ(1, RecordingSection::destroyed);
    std::vector<CVellumMenuSection*> expected = {s[0], s[1], s[3], s[4]};
    EXPECT_EQ(expected, Sections(bar));

    bar->RemoveSection(s[0], 0);   // taken out, kept
    EXPECT_EQ(1, RecordingSection::destroyed);
    expected = {s[1], s[3], s[4]};
    EXPECT_EQ(expected, Sections(bar));
    delete s[0];

    bar->RemoveSection(-1, 0);     // empties without deleting
    EXPECT_TRUE(Sections(bar).empty());
    EXPECT_EQ(2, RecordingSection::destroyed);
    for (int i : {1, 3, 4}) delete s[i];
}

TEST_F(SectionListTest, FullBarRefusesTheFiveHundredAndFirst) {
    std::vector<CVellumMenuSection*> s;
    CVellumMenuObject* bar = BarWithSections(kMaxSections, &s);
    EXPECT_EQ(kMaxSections, bar->GetSectionCount());
    auto* extra = new RecordingSection(bar);
    bar->InsertSection(0, extra);
    EXPECT_EQ(s[0], bar->m_sections[0]);
    EXPECT_EQ(-1, bar->FindSection(extra));
    delete extra;
}

TEST_F(SectionListTest, ItemListInsertRemoveAndNeighbours) {
    std::vector<CVellumMenuSection*> s;
    CVellumMenuObject* bar = BarWithSections(1, &s);
    CVellumMenuSection* section = s[0];
    std::vector<CVellumMenuItem*> items;
    for (int i = 0; i < 5; ++i) {
        items.push_back(new CVellumMenuItem(bar, section, const_cast<char*>("item")));
        ASSERT_TRUE(section->InsertItem(-1, items.back()));
    }
    section->RemoveItem(2, 1);     // deletes the third
    EXPECT_EQ(4, section->GetNumOfItems());
    EXPECT_EQ(items[3], section->m_items[2]);
    EXPECT_EQ(nullptr, section->m_items[4]);

    auto* first = new CVellumMenuItem(bar, section, const_cast<char*>("first"));
    EXPECT_TRUE(section->InsertItem(reinterpret_cast<CVellumMenuItem*>(-1), first));
    EXPECT_EQ(first, section->m_items[0]);
    auto* foreign = new CVellumMenuItem(bar, section, const_cast<char*>("x"));
    auto* last = new CVellumMenuItem(bar, section, const_cast<char*>("last"));
    EXPECT_TRUE(section->InsertItem(foreign, last));   // unknown "after" appends
    EXPECT_EQ(last, section->m_items[5]);
    delete foreign;

    EXPECT_EQ(nullptr, section->GetPreviousItem(first));
    EXPECT_EQ(first, section->GetPreviousItem(items[0]));
    EXPECT_EQ(nullptr, section->GetNextItem(last));
    EXPECT_FALSE(section->InsertItem(0, nullptr));
    EXPECT_FALSE(section->InsertItem(0, first));   // already there

    section->RemoveItem(999, 1);
    section->RemoveItem(-7, 1);
    EXPECT_EQ(6, section->GetNumOfItems());
}

TEST_F(SectionListTest, FullSectionRefusesAnItem) {
    std::vector<CVellumMenuSection*> s;
    BarWithSections(1, &s);
    CVellumMenuSection* section = s[0];
    // Unattached items suffice to fill the slots.
    std::vector<CVellumMenuItem*> items;
    for (int i = 0; i < kMaxItems; ++i) {
        items.push_back(new CVellumMenuItem(nullptr, nullptr, nullptr));
        ASSERT_TRUE(section->InsertItem(-1, items.back()));
    }
    EXPECT_EQ(kMaxItems, section->GetNumOfItems());
    auto* extra = new CVellumMenuItem(nullptr, nullptr, nullptr);
    EXPECT_FALSE(section->InsertItem(-1, extra));
    delete extra;
}

TEST_F(SectionListTest, HitTestsSkipHiddenSectionsAndUseItemRectangles) {
    std::vector<CVellumMenuSection*> s;
    CVellumMenuObject* bar = BarWithSections(3, &s);
    SetRect(&s[0]->m_outerRect, 0, 0, 50, 20);
    SetRect(&s[1]->m_outerRect, 50, 0, 100, 20);
    SetRect(&s[2]->m_outerRect, 100, 0, 150, 20);
    s[1]->IsHidden = TRUE;
    SetRect(&s[2]->m_innerRect, 102, 2, 148, 18);
    auto* item = new CVellumMenuItem(bar, s[2], const_cast<char*>("hit"));
    SetRect(&item->m_itemRect, 10, 0, 30, 16);   // relative to the inner rectangle
    s[2]->InsertItem(-1, item);

    const struct { POINT pt; CVellumMenuSection* section; CVellumMenuItem* item; } cases[] = {
        {{10, 10}, s[0], nullptr},
        {{60, 10}, nullptr, nullptr},   // hidden section
        {{105, 10}, s[2], nullptr},
        {{115, 10}, s[2], item},
        {{133, 10}, s[2], nullptr},
        {{200, 10}, nullptr, nullptr},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.section, bar->HitTest(c.pt)) << c.pt.x;
        EXPECT_EQ(c.item, bar->HitTestItems(c.pt)) << c.pt.x;
    }
}
