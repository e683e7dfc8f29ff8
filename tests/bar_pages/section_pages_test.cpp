// A section's property pages: each change reaches the section at once and
// the saved bar file; the item-size fields keep their "none" values apart
// from real sizes; combining spreads over the neighbours of the same style.
#include <string>
#include "pages_fixture.h"
#include "tests/support/stand_in_main_window.h"
#include "model/item_host_calls.h"
#include "shell/section_pages.h"
#include "shell/section_pages_resources.h"
#include "types/replaceable_resources.h"

using namespace testing_support;

namespace pages_test {
namespace {

class SectionPagesTest : public PagesTest {
protected:
    CVellumMenuSection* Section(CVellumMenuObject* bar, int index = 0) {
        return bar ? bar->m_sections[index] : nullptr;
    }
};

// Each "By default..." entry gives its two keys.
TEST_F(SectionPagesTest, ShowByDefaultGivesBothKeys) {
    struct Case {
        int row;
        const char* icons;
        const char* text;
    };
    const Case cases[] = {{1, "0", "1"}, {2, "1", "0"}, {0, "1", "1"}};
    CVellumMenuObject* bar = Bar("Display");
    CVellumMenuSection* section = Section(bar);
    HWND page = section->CallConfigDialog(Host());
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(page, section->CallConfigDialog(Host())) << "made once";
    for (const Case& c : cases) {
        SCOPED_TRACE(c.row);
        Choose(page, IDC_SEC_SHOW_BY_DEFAULT, c.row);
        EXPECT_EQ(c.icons, Saved(bar, "Section1", "Properties.ShowIconsByDef"));
        EXPECT_EQ(c.text, Saved(bar, "Section1", "Properties.ShowTextByDef"));
    }
    // Shown again as stored.
    Choose(page, IDC_SEC_SHOW_BY_DEFAULT, 2);
    SendMessageA(page, WM_COMMAND, IDOK, 0);
    page = section->CallConfigDialog(Host());
    EXPECT_EQ(2, Row(page, IDC_SEC_SHOW_BY_DEFAULT));
}

// The title follows the typing (a change of letter case alone is not one);
// the hide check goes to the section and its file.
TEST_F(SectionPagesTest, TitleAndHiding) {
    CVellumMenuObject* bar = Bar("Named", {}, {"[Section1]", "Title=Start", "[Section2]"});
    CVellumMenuSection* section = Section(bar);
    HWND page = section->CallConfigDialog(Host());
    ASSERT_NE(nullptr, page);
    EXPECT_EQ("Start", TextOf(page, IDC_SEC_TITLE));
    Type(page, IDC_SEC_TITLE, "Apps");
    EXPECT_STREQ("Apps", section->Title);
    Type(page, IDC_SEC_TITLE, "APPS");
    EXPECT_STREQ("Apps", section->Title);
    EXPECT_EQ("Apps", Saved(bar, "Section1", "Title"));
    EXPECT_FALSE(IsChecked(page, IDC_SEC_HIDDEN));
    Click(page, IDC_SEC_HIDDEN, true);
    EXPECT_TRUE(section->IsHidden);
    EXPECT_EQ("1", Saved(bar, "Section1", "Properties.IsHidden", "0"));
    Click(page, IDC_SEC_HIDDEN, false);
    EXPECT_FALSE(section->IsHidden);
    EXPECT_EQ("0", Saved(bar, "Section1", "Properties.IsHidden", "0"));
}

// The icon size list: a fixed size is stored; "Custom..." asks for one, and
// an answer below 1 or the size already set changes nothing.
TEST_F(SectionPagesTest, IconSizeListAndCustomSize) {
    struct Case {
        int row;
        int answer;   // of the custom size question
        int stored;
        bool modified;
    };
    const Case cases[] = {
        {1, 0, 32, true}, {4, 0, 32, false}, {4, -3, 32, false},
        {4, 32, 32, false}, {4, 20, 20, true}, {0, 0, 16, true},
    };
    static int answer = 0;
    struct AnswerGuard {
        ItemHostCalls saved = GetItemHostCalls();
        AnswerGuard() { GetItemHostCalls().AskCustomIconSize = [](HWND, int) { return answer; }; }
        ~AnswerGuard() { GetItemHostCalls() = saved; }
    } guard;
    CVellumMenuObject* bar = Bar("Icons");
    CVellumMenuSection* section = Section(bar);
    HWND page = section->CallConfigDialog(Host());
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(0, Row(page, IDC_SEC_ICON_SIZE)) << "16x16 by default";
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.row) + " answer " + std::to_string(c.answer));
        answer = c.answer;
        bar->m_modified = FALSE;
        Choose(page, IDC_SEC_ICON_SIZE, c.row);
        EXPECT_EQ(c.stored, section->DefaultIconSize);
        EXPECT_EQ(c.modified, bar->m_modified != FALSE);
        EXPECT_EQ(std::to_string(c.stored), Saved(bar, "Section1", "Properties.DefaultIconSize", "16"));
    }
}

// The size fields: an unchecked maximum stores the "no maximum" value and
// shows 300 next time; an unchecked minimum stores 1 and stays unchecked;
// a checked one takes the number, and below 1 counts as 1.
TEST_F(SectionPagesTest, ItemSizeFieldsKeepNoneApart) {
    struct Case {
        int check, field;
        bool checked;
        const char* typed;   // null: leave the field
        const char* key;
        const char* stored;
        bool shown_checked;
        const char* shown;
    };
    const Case cases[] = {
        {IDC_SEC_MAX_SIZE, IDC_SEC_MAX_SIZE_VALUE, false, nullptr, "Properties.MaxItemWidth",
         "43957", false, "300"},
        {IDC_SEC_MAX_SIZE, IDC_SEC_MAX_SIZE_VALUE, true, "180", "Properties.MaxItemWidth", "180",
         true, "180"},
        {IDC_SEC_MIN_SIZE, IDC_SEC_MIN_SIZE_VALUE, false, nullptr, "Properties.MinItemWidth", "1",
         false, "24"},
        {IDC_SEC_MIN_SIZE, IDC_SEC_MIN_SIZE_VALUE, true, "0", "Properties.MinItemWidth", "1", false,
         "24"},
        {IDC_SEC_MIN_SIZE, IDC_SEC_MIN_SIZE_VALUE, true, "30", "Properties.MinItemWidth", "30", true,
         "30"},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.key) + " " + (c.typed ? c.typed : "unchecked"));
        CVellumMenuObject* bar =
            Bar("Sizes", {}, {"[Section1]", "Properties.MinItemWidth=50", "Properties.MaxItemWidth=250"});
        CVellumMenuSection* section = Section(bar);
        HWND page = section->CallConfigDialogExtra(Host());
        ASSERT_NE(nullptr, page);
        EXPECT_TRUE(IsChecked(page, c.check)) << "a real size shows checked";
        Click(page, c.check, c.checked);
        if (c.typed) Type(page, c.field, c.typed);
        EXPECT_EQ(c.stored, Saved(bar, "Section1", c.key));
        SendMessageA(page, WM_COMMAND, IDOK, 0);
        EXPECT_EQ(nullptr, section->m_pages[kSectionExtraPage]);
        page = section->CallConfigDialogExtra(Host());
        EXPECT_EQ(c.shown_checked, IsChecked(page, c.check));
        EXPECT_EQ(c.shown, TextOf(page, c.field));
        CloseEveryTestBar();
    }
}

// "Show at least" with 0 stores 1 and says so; "all items" stores -1.
TEST_F(SectionPagesTest, ShowAtLeastZeroStoresOne) {
    CVellumMenuObject* bar = Bar("Arrange", {"DisplayVertically=0"});
    CVellumMenuSection* section = Section(bar);
    HWND page = section->CallConfigDialog2(Host());
    ASSERT_NE(nullptr, page);
    EXPECT_NE(nullptr, GetDlgItem(page, IDC_SEC_EQUAL_SIZES)) << "the horizontal template";
    EXPECT_TRUE(IsChecked(page, IDC_SEC_ALL_ITEMS));
    Type(page, IDC_SEC_AT_LEAST_COUNT, "0");
    EXPECT_EQ("-1", Saved(bar, "Section1", "Properties.MinItems")) << "the field alone applies nothing";
    CheckRadioButton(page, IDC_SEC_ALL_ITEMS, IDC_SEC_AT_LEAST, IDC_SEC_AT_LEAST);
    Notify(page, IDC_SEC_AT_LEAST, BN_CLICKED);
    EXPECT_EQ("1", Saved(bar, "Section1", "Properties.MinItems"));
    EXPECT_EQ("1", TextOf(page, IDC_SEC_AT_LEAST_COUNT));
    Type(page, IDC_SEC_AT_LEAST_COUNT, "7");
    EXPECT_EQ(7, section->MinItems);
    CheckRadioButton(page, IDC_SEC_ALL_ITEMS, IDC_SEC_AT_LEAST, IDC_SEC_ALL_ITEMS);
    Notify(page, IDC_SEC_ALL_ITEMS, BN_CLICKED);
    EXPECT_EQ("-1", Saved(bar, "Section1", "Properties.MinItems"));
}

// The item-width radios and their pictures set the two keys.
TEST_F(SectionPagesTest, ItemWidthRadiosAndPictures) {
    struct Case {
        int control;   // a radio, or a picture that clicks its radio
        const char* tight;
        const char* equal;
    };
    const Case cases[] = {
        {IDC_SEC_LARGE_SPACING, "0", "0"},
        {IDC_SEC_FIT_CONTENT_PICTURE, "1", "0"},
        {IDC_SEC_EQUAL_SIZES, "1", "1"},
        {IDC_SEC_LARGE_SPACING_PICTURE, "0", "0"},
    };
    CVellumMenuObject* bar = Bar("Widths", {"DisplayVertically=0"},
                                 {"[Section1]", "Properties.UseTightItemWidthBuffer=1",
                                  "Properties.EqualWidths=0"});
    CVellumMenuSection* section = Section(bar);
    HWND page = section->CallConfigDialog2(Host());
    ASSERT_NE(nullptr, page);
    EXPECT_TRUE(IsChecked(page, IDC_SEC_FIT_CONTENT));
    for (const Case& c : cases) {
        SCOPED_TRACE(c.control);
        const bool picture = c.control >= IDC_SEC_FIT_CONTENT_PICTURE;
        if (picture) {
            Notify(page, c.control, STN_CLICKED);
        } else {
            CheckRadioButton(page, IDC_SEC_EQUAL_SIZES, IDC_SEC_LARGE_SPACING, c.control);
            Notify(page, c.control, BN_CLICKED);
        }
        EXPECT_EQ(c.tight, Saved(bar, "Section1", "Properties.UseTightItemWidthBuffer"));
        EXPECT_EQ(c.equal, Saved(bar, "Section1", "Properties.EqualWidths"));
    }
}

// "Center items vertically." can be set only while several rows are allowed
// and the items do not take the bar's height; each check is saved.
TEST_F(SectionPagesTest, CenterItemsFollowsRowsAndHeight) {
    struct Case {
        bool multiple, maximize;
        bool center_enabled;
    };
    const Case cases[] = {
        {true, false, true}, {true, true, false}, {false, true, false}, {false, false, false},
    };
    CVellumMenuObject* bar = Bar("Rows", {"DisplayVertically=0"});
    CVellumMenuSection* section = Section(bar);
    HWND page = section->CallConfigDialog2(Host());
    ASSERT_NE(nullptr, page);
    EXPECT_FALSE(IsEnabled(page, IDC_SEC_CENTER_ITEMS));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::to_string(c.multiple) + std::to_string(c.maximize));
        Click(page, IDC_SEC_MULTIPLE_LINES, c.multiple);
        Click(page, IDC_SEC_MAXIMIZE_ITEMS, c.maximize);
        EXPECT_EQ(c.center_enabled, IsEnabled(page, IDC_SEC_CENTER_ITEMS));
        EXPECT_EQ(c.multiple ? "1" : "0", Saved(bar, "Section1", "Properties.AllowMultipleRowsCols"));
        EXPECT_EQ(c.maximize ? "1" : "0", Saved(bar, "Section1", "Properties.MaxmizeItems"));
    }
    Click(page, IDC_SEC_MULTIPLE_LINES, true);
    Click(page, IDC_SEC_CENTER_ITEMS, true);
    EXPECT_EQ("1", Saved(bar, "Section1", "Properties.CenterItems"));
}

// Combining spreads to the neighbours of the same style on both sides, up
// to the first section of another style, and closes their Display pages.
TEST_F(SectionPagesTest, CombineSpreadsToNeighboursOfTheSameStyle) {
    const int styles[] = {1, 1, 1, 2, 1};
    std::vector<std::string> lines;
    for (int i = 0; i < 5; ++i) {
        lines.push_back("[Section" + std::to_string(i + 1) + "]");
        lines.push_back("Properties.iSectionSkin=" + std::to_string(styles[i]));
        lines.push_back("Properties.bCombineSkin=0");
    }
    CVellumMenuObject* bar = Bar("Combine", {}, lines);
    ASSERT_NE(nullptr, Section(bar, 4));
    HWND pages[5];
    for (int i = 0; i < 5; ++i) pages[i] = Section(bar, i)->CallConfigDialog(Host());
    Click(pages[1], IDC_SEC_COMBINE, true);
    const bool combined[] = {true, true, true, false, false};
    for (int i = 0; i < 5; ++i) {
        SCOPED_TRACE(i);
        const std::string key = "Section" + std::to_string(i + 1);
        EXPECT_EQ(combined[i] ? "1" : "0", Saved(bar, key.c_str(), "Properties.bCombineSkin"));
        // The neighbours' pages closed; the clicked one and the others stay.
        const bool closed = combined[i] && i != 1;
        EXPECT_EQ(!closed, IsWindow(pages[i]) != FALSE);
    }
}

// The style list names each style of the bar's skin, numbered from 1.
TEST_F(SectionPagesTest, StyleListNamesTheSkinsStyles) {
    EXPECT_EQ("(#1)", SectionStyleEntry(nullptr, 1));
    EXPECT_EQ("Second (#2)", SectionStyleEntry("Second", 2));
    CVellumMenuObject* bar = Bar("Styles");
    CVellumMenuSection* section = Section(bar);
    HWND page = section->CallConfigDialog(Host());
    ASSERT_NE(nullptr, page);
    ASSERT_EQ(2, SendDlgItemMessageA(page, IDC_SEC_STYLE, CB_GETCOUNT, 0, 0));
    char text[64] = "";
    SendDlgItemMessageA(page, IDC_SEC_STYLE, CB_GETLBTEXT, 1, reinterpret_cast<LPARAM>(text));
    EXPECT_STREQ("Second (#2)", text);
    Choose(page, IDC_SEC_STYLE, 1);
    EXPECT_EQ(1, section->iSectionSkin);
    EXPECT_EQ("1", Saved(bar, "Section1", "Properties.iSectionSkin"));
}

// A vertical bar's Arrangement page is the vertical template; the Behavior
// page of a plain section is its menu-mirroring switch.
TEST_F(SectionPagesTest, TemplatesFollowTheBar) {
    CVellumMenuObject* bar = Bar("Tall", {"DisplayVertically=1"});
    CVellumMenuSection* section = Section(bar);
    HWND arrange = section->CallConfigDialog2(Host());
    ASSERT_NE(nullptr, arrange);
    EXPECT_EQ(nullptr, GetDlgItem(arrange, IDC_SEC_EQUAL_SIZES));
    char text[64] = "";
    GetDlgItemTextA(arrange, IDC_SEC_MULTIPLE_LINES, text, sizeof(text));
    EXPECT_STREQ("Allow multiple columns.", text);
    HWND behavior = section->CallConfigDialogEx(Host());
    ASSERT_NE(nullptr, behavior);
    EXPECT_EQ(behavior, section->m_pages[kSectionBehaviorPage]);
    EXPECT_NE(nullptr, GetDlgItem(behavior, IDC_REPLACEABLE_ON));
}

}  // namespace
}  // namespace pages_test
