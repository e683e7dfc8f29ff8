// The clock's page (dialog 121) on a real clock: each change applies at once
// and marks the bar modified; the controls of the other mode are disabled;
// the format key opens the format help (dialog 168).
#include <functional>
#include <string>
#include "item_fixture.h"
#include "types/clock_item.h"
#include "types/clock_resources.h"

using namespace item_test;

namespace {

SYSTEMTIME g_page_now = {};
void PageNow(SYSTEMTIME* now) { *now = g_page_now; }

std::string TimeText(DWORD flags) {
    char out[200] = "";
    GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, flags, &g_page_now, nullptr, out, sizeof(out));
    return out;
}

std::string DateText(DWORD flags) {
    char out[200] = "";
    GetDateFormatA(LOCALE_SYSTEM_DEFAULT, flags, &g_page_now, nullptr, out, sizeof(out));
    return out;
}

std::string Picture(const char* picture) {
    char out[200] = "";
    GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, 0, &g_page_now, picture, out, sizeof(out));
    return out;
}

class ClockPageTest : public ItemTest {
protected:
    void SetUp() override {
        ItemTest::SetUp();
        GetLocalTime(&g_page_now);
        g_page_now.wHour = 15;
        g_page_now.wMinute = 7;
        GetClockSystemCalls().GetNow = PageNow;
    }
    void TearDown() override {
        if (parent_) DestroyWindow(parent_);
        ItemTest::TearDown();
        ResetClockSystemCalls();
    }
    HWND parent_ = nullptr;
};

TEST_F(ClockPageTest, ChangesApplyAtOnceAndMarkTheBarModified) {
    RECT r = {100, 300, 400, 326};
    CVellumMenuObject* bar = LoadBar(WriteBar("page.tsbar", "Clock Page Bar", r, false,
                                              {"[Section1]", "Item1.Type=Clock", "Item1.Title=C"}));
    auto* clock = dynamic_cast<CVellumMenuItem_Clock*>(Item(bar));
    ASSERT_NE(nullptr, clock);
    parent_ = testing_support::CreatePlainWindow("Clock Page Parent");
    HWND page = clock->CallConfigDialogEx(parent_);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(page, clock->CallConfigDialogEx(parent_));   // one page, kept

    // The behaviour class offered is the clock's.
    HWND behavior = GetDlgItem(page, IDC_CLOCK_BEHAVIOR);
    char chosen[64] = "";
    GetWindowTextA(behavior, chosen, sizeof(chosen));
    EXPECT_STREQ("Clock Item", chosen);

    auto click = [&](int id) { SendMessageA(GetDlgItem(page, id), BM_CLICK, 0, 0); };
    auto enabled = [&](int id) { return IsWindowEnabled(GetDlgItem(page, id)) != FALSE; };
    auto title = [&] { return std::string(clock->m_title ? clock->m_title : ""); };
    auto standard_controls = [&](bool on) {
        for (int id : {IDC_CLOCK_SECONDS, IDC_CLOCK_24_HOURS, IDC_CLOCK_LONG_DATE,
                       IDC_CLOCK_TIME_BY_DEFAULT, IDC_CLOCK_DATE_BY_DEFAULT})
            if (enabled(id) != on) return false;
        for (int id : {IDC_CLOCK_STRING1, IDC_CLOCK_STRING2, IDC_CLOCK_FORMAT_KEY, IDC_CLOCK_FIT_LINES})
            if (enabled(id) == on) return false;
        return true;
    };
    EXPECT_TRUE(standard_controls(true));

    const struct {
        const char* name;
        std::function<void()> act;
        std::function<bool()> applied;
    } steps[] = {
        {"seconds", [&] { click(IDC_CLOCK_SECONDS); },
         [&] { return clock->ShowSeconds && title() == TimeText(0); }},
        {"24 hours", [&] { click(IDC_CLOCK_24_HOURS); },
         [&] { return clock->Force24HourTime && title() == TimeText(TIME_FORCE24HOURFORMAT); }},
        {"date by default", [&] { click(IDC_CLOCK_DATE_BY_DEFAULT); },
         [&] { return clock->ShowDateByDefault && title() == DateText(DATE_SHORTDATE); }},
        {"long date", [&] { click(IDC_CLOCK_LONG_DATE); },
         [&] { return clock->LongDate && title() == DateText(DATE_LONGDATE); }},
        {"custom mode", [&] { click(IDC_CLOCK_CUSTOM); },
         [&] {
             return clock->UseCustomStrings && standard_controls(false) &&
                    title() == Picture("h") + ":" + Picture("mm") + " " + Picture("tt");
         }},
        {"normal string", [&] { SetDlgItemTextA(page, IDC_CLOCK_STRING1, "HH:mm!"); },
         [&] { return clock->TimeString1 == "HH:mm!" && title() == Picture("HH") + ":" + Picture("mm") + "!"; }},
        {"fit lines", [&] { click(IDC_CLOCK_FIT_LINES); },
         [&] { return !clock->ShowOnlyLinesAvail; }},
        {"standard mode again", [&] { click(IDC_CLOCK_STANDARD); },
         [&] {
             return !clock->UseCustomStrings && standard_controls(true) &&
                    title() == DateText(DATE_LONGDATE);
         }},
        {"time by default", [&] { click(IDC_CLOCK_TIME_BY_DEFAULT); },
         [&] { return !clock->ShowDateByDefault && title() == TimeText(TIME_FORCE24HOURFORMAT); }},
    };
    for (const auto& step : steps) {
        bar->m_modified = FALSE;
        step.act();
        testing_support::PumpFor(20);
        EXPECT_TRUE(step.applied()) << step.name << ": " << title();
        EXPECT_TRUE(bar->m_modified) << step.name;
    }

    // The format key: a window of its own, in front, closed by "Close".
    click(IDC_CLOCK_CUSTOM);
    click(IDC_CLOCK_FORMAT_KEY);
    HWND help = FindClockFormatHelp();
    ASSERT_NE(nullptr, help);
    char caption[100] = "";
    GetWindowTextA(help, caption, sizeof(caption));
    EXPECT_STREQ("Time/Date Custom Formatting Key", caption);
    EXPECT_TRUE(IsWindowVisible(help));
    EXPECT_EQ(nullptr, GetWindow(help, GW_OWNER));
    SendMessageA(help, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(help));
    EXPECT_EQ(nullptr, FindClockFormatHelp());

    SendMessageA(page, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(nullptr, clock->m_page);
}

// A copy is a clock of the same settings that shows the same text; the
// clock's own icon and name.
TEST_F(ClockPageTest, ACopyKeepsTheSettingsAndTheClockHasItsIcon) {
    RECT r = {100, 300, 400, 326};
    CVellumMenuObject* bar = LoadBar(WriteBar(
        "copy.tsbar", "Clock Copy Bar", r, false,
        {"[Section1]", "Item1.Type=Clock", "Item1.Title=C", "Item1.Clock.UseCustomStrings=1",
         "Item1.Clock.TimeString1=HH", "Item1.Clock.TimeString2=mm", "Item1.Clock.ShowOnlyLinesAvail=0"}));
    auto* clock = dynamic_cast<CVellumMenuItem_Clock*>(Item(bar));
    ASSERT_NE(nullptr, clock);
    clock->OnClick();   // the second string shows
    auto* copy = dynamic_cast<CVellumMenuItem_Clock*>(clock->Duplicate());
    ASSERT_NE(nullptr, copy);
    EXPECT_TRUE(copy->UseCustomStrings);
    EXPECT_EQ("HH", copy->TimeString1);
    EXPECT_EQ("mm", copy->TimeString2);
    EXPECT_FALSE(copy->ShowOnlyLinesAvail);
    EXPECT_TRUE(copy->m_showingAlternate);
    EXPECT_EQ(Picture("mm"), copy->m_clockText);
    delete copy;

    char name[64] = "";
    EXPECT_EQ(1, clock->GetCustomItemName(name));
    EXPECT_STREQ("Clock", name);
    HICON icon = clock->GetCustomIcon();
    EXPECT_NE(nullptr, icon);
    if (icon) DestroyIcon(icon);
}

}  // namespace
