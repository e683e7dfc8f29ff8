// Clock items on real bars: the standard texts, the tick, the toggle by
// click and double click, the lines that fit the bar, and the keys a save
// writes. "Now" and the applet launch go through the clock's seam.
#include <string>
#include <vector>
#include "item_fixture.h"
#include "types/clock_item.h"

using namespace item_test;

namespace {

SYSTEMTIME g_now = {};
std::vector<std::string> g_launches;

void FakeNow(SYSTEMTIME* now) { *now = g_now; }
void RecordLaunch(HWND, const char* file, const char* parameters) {
    g_launches.push_back(std::string(file) + "|" + parameters);
}

SYSTEMTIME At(WORD hour, WORD minute, WORD second, WORD day = 11) {
    SYSTEMTIME t = {};
    t.wYear = 2026;
    t.wMonth = 12;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    FILETIME file;
    SystemTimeToFileTime(&t, &file);
    FileTimeToSystemTime(&file, &t);
    return t;
}

std::string TimeText(const SYSTEMTIME& t, DWORD flags) {
    char out[200] = "";
    GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, flags, &t, nullptr, out, sizeof(out));
    return out;
}

std::string DateText(const SYSTEMTIME& t, DWORD flags) {
    char out[200] = "";
    GetDateFormatA(LOCALE_SYSTEM_DEFAULT, flags, &t, nullptr, out, sizeof(out));
    return out;
}

std::string Picture(const SYSTEMTIME& t, const char* time_picture) {
    char out[200] = "";
    GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, 0, &t, time_picture, out, sizeof(out));
    return out;
}

class ClockTest : public ItemTest {
protected:
    void SetUp() override {
        ItemTest::SetUp();
        g_now = At(10, 5, 0);
        g_launches.clear();
        GetClockSystemCalls().Launch = RecordLaunch;
    }
    void TearDown() override {
        ItemTest::TearDown();
        ResetClockSystemCalls();
    }

    void UseFakeNow() { GetClockSystemCalls().GetNow = FakeNow; }

    // A horizontal bar holding one clock with these keys (after "Item1.").
    CVellumMenuItem_Clock* LoadClock(const std::vector<std::string>& keys, int height = 26,
                                     const std::string& name = "clock.tsbar") {
        std::vector<std::string> lines = {"[Section1]", "Item1.Type=Clock", "Item1.Title=Clock",
                                          "Item1.ShowText=1", "Item1.ShowIcon=0"};
        for (const std::string& k : keys) lines.push_back("Item1." + k);
        RECT r = {100, 200, 400, 200 + height};
        bar_ = LoadBar(WriteBar(name, "Clock Bar", r, false, lines));
        auto* clock = dynamic_cast<CVellumMenuItem_Clock*>(Item(bar_));
        EXPECT_NE(nullptr, clock);
        return clock;
    }

    static std::string Title(CVellumMenuItem* item) { return item && item->m_title ? item->m_title : ""; }
    // The clock's text as made, lines separated by the two characters "\n".
    static std::string Text(CVellumMenuItem_Clock* clock) { return clock->m_clockText; }

    CVellumMenuObject* bar_ = nullptr;
};

TEST_F(ClockTest, StandardTitleIsTheSystemTimeOfNow) {
    CVellumMenuItem_Clock* clock = LoadClock({});
    ASSERT_NE(nullptr, clock);
    // Across a minute boundary the two readings differ: read again.
    bool matched = false;
    for (int attempt = 0; attempt < 3 && !matched; ++attempt) {
        SYSTEMTIME before, after;
        GetLocalTime(&before);
        testing_support::PumpFor(250);
        std::string title = Title(clock);
        GetLocalTime(&after);
        std::string expect = TimeText(before, TIME_NOSECONDS);
        if (expect != TimeText(after, TIME_NOSECONDS)) continue;
        EXPECT_EQ(expect, title);
        matched = true;
    }
    EXPECT_TRUE(matched);
}

TEST_F(ClockTest, WithSecondsTheTitleChangesWithinASecond) {
    CVellumMenuItem_Clock* clock = LoadClock({"Clock.ShowSeconds=1"});
    ASSERT_NE(nullptr, clock);
    testing_support::PumpFor(150);
    std::string first = Title(clock);
    DWORD start = GetTickCount();
    EXPECT_TRUE(Wait([&] { return Title(clock) != first; }, 1100)) << first;
    EXPECT_LE(GetTickCount() - start, 1150u);
    SYSTEMTIME now;
    GetLocalTime(&now);
    std::string title = Title(clock);
    std::string expect = TimeText(now, 0);
    if (title != expect) {   // a tick may lie between the two readings
        testing_support::PumpFor(150);
        GetLocalTime(&now);
        EXPECT_EQ(TimeText(now, 0), Title(clock));
    }
}

// Each standard key changes the form of the text.
TEST_F(ClockTest, StandardKeysChooseTheForm) {
    UseFakeNow();
    const SYSTEMTIME t = g_now;
    const struct {
        std::vector<std::string> keys;
        std::string expect;
    } cases[] = {
        {{}, TimeText(t, TIME_NOSECONDS)},
        {{"Clock.ShowSeconds=1"}, TimeText(t, 0)},
        {{"Clock.Force24HourTime=1"}, TimeText(t, TIME_NOSECONDS | TIME_FORCE24HOURFORMAT)},
        {{"Clock.ShowSeconds=1", "Clock.Force24HourTime=1"}, TimeText(t, TIME_FORCE24HOURFORMAT)},
        {{"Clock.ShowDateByDefault=1"}, DateText(t, DATE_SHORTDATE)},
        {{"Clock.ShowDateByDefault=1", "Clock.LongDate=1"}, DateText(t, DATE_LONGDATE)},
        // Custom strings are not read in standard mode.
        {{"Clock.TimeString1=HH"}, TimeText(t, TIME_NOSECONDS)},
    };
    int n = 0;
    for (const auto& c : cases) {
        CVellumMenuItem_Clock* clock = LoadClock(c.keys, 26, "form" + std::to_string(n++) + ".tsbar");
        ASSERT_NE(nullptr, clock);
        EXPECT_EQ(c.expect, Title(clock)) << n;
        testing_support::CloseTestBar(bar_, true);
    }
}

// Without seconds only another minute makes the text again; an hour's jump
// with the same minute shows at the next tick.
TEST_F(ClockTest, ANewHourWithTheSameMinuteShowsAtTheNextTick) {
    UseFakeNow();
    CVellumMenuItem_Clock* clock = LoadClock({});
    ASSERT_NE(nullptr, clock);
    EXPECT_EQ(TimeText(At(10, 5, 0), TIME_NOSECONDS), Title(clock));
    g_now = At(11, 5, 0);
    EXPECT_TRUE(Wait([&] { return Title(clock) == TimeText(At(11, 5, 0), TIME_NOSECONDS); }, 400))
        << Title(clock);
    g_now = At(11, 5, 0, 12);   // the next day, same hour and minute
    EXPECT_TRUE(Wait([&] { return clock->m_lastTime.wDay == 12; }, 400));
    g_now = At(11, 6, 30, 12);
    EXPECT_TRUE(Wait([&] { return Title(clock) == TimeText(At(11, 6, 0), TIME_NOSECONDS); }, 400));
}

TEST_F(ClockTest, AClickShowsTheDateUntilTheToggleTimeEnds) {
    UseFakeNow();
    const std::string time = TimeText(g_now, TIME_NOSECONDS);
    const std::string date = DateText(g_now, DATE_SHORTDATE);
    CVellumMenuItem_Clock* clock = LoadClock({});
    ASSERT_NE(nullptr, clock);
    ASSERT_EQ(time, Title(clock));

    Click(clock);
    DWORD clicked = GetTickCount();
    EXPECT_EQ(date, Title(clock));
    EXPECT_TRUE(Wait([&] { return Title(clock) == time; }, 3500));
    DWORD shown = GetTickCount() - clicked;
    EXPECT_GE(shown, 2200u);
    EXPECT_LE(shown, 3000u);

    // A second click brings the time back at once, and the timer then leaves it.
    Click(clock);
    EXPECT_EQ(date, Title(clock));
    Click(clock);
    EXPECT_EQ(time, Title(clock));
    testing_support::PumpFor(2600);
    EXPECT_EQ(time, Title(clock));
    EXPECT_TRUE(g_launches.empty());
}

TEST_F(ClockTest, ADoubleClickTogglesTwiceAndOpensTheDateAndTimeSettings) {
    UseFakeNow();
    const std::string time = TimeText(g_now, TIME_NOSECONDS);
    CVellumMenuItem_Clock* clock = LoadClock({});
    ASSERT_NE(nullptr, clock);
    const std::string date = DateText(g_now, DATE_SHORTDATE);
    std::string between;
    DoubleClick(clock, [&] { between = Title(clock); });
    EXPECT_EQ(date, between);
    EXPECT_EQ(time, Title(clock));
    ASSERT_EQ(1u, g_launches.size());
    EXPECT_EQ("rundll32.exe| shell32.dll,Control_RunDLL timedate.cpl,,0", g_launches[0]);
    // Two toggles leave the time; nothing switches it afterwards.
    testing_support::PumpFor(2600);
    EXPECT_EQ(time, Title(clock));
}

// A two-line custom clock on horizontal bars of one and two lines' height.
TEST_F(ClockTest, FittedLinesFollowTheBarHeight) {
    UseFakeNow();
    const std::string first = Picture(g_now, "HH") + ":" + Picture(g_now, "mm");
    char day[100] = "";
    GetDateFormatA(LOCALE_SYSTEM_DEFAULT, 0, &g_now, "dddd", day, sizeof(day));
    const std::string both = first + "\\n" + day;
    const struct {
        int height;
        const char* fit;
        std::string expect;
    } cases[] = {
        {26, "1", first},
        {64, "1", both},
        {26, "0", both},
        {64, "0", both},
    };
    int n = 0;
    for (const auto& c : cases) {
        CVellumMenuItem_Clock* clock =
            LoadClock({"Clock.UseCustomStrings=1", "Clock.TimeString1=HH:mm\\ndddd",
                       std::string("Clock.ShowOnlyLinesAvail=") + c.fit},
                      c.height, "lines" + std::to_string(n++) + ".tsbar");
        ASSERT_NE(nullptr, clock);
        EXPECT_TRUE(Wait([&] { return Text(clock) == c.expect; }, 1000))
            << "height " << c.height << " fit " << c.fit << ": " << Text(clock);
        testing_support::PumpFor(300);
        EXPECT_EQ(c.expect, Text(clock)) << "height " << c.height << " fit " << c.fit;
        // The title shows the lines kept, each on its own line.
        std::string shown = c.expect;
        for (size_t at; (at = shown.find("\\n")) != std::string::npos;) shown.replace(at, 2, "\n");
        EXPECT_STREQ(shown.c_str(), clock->m_shownTitle);
        testing_support::CloseTestBar(bar_, true);
    }
}

// A time the system cannot format leaves the text shown, in every mode.
TEST_F(ClockTest, AFailedFormatKeepsTheShownText) {
    UseFakeNow();
    const std::vector<std::string> modes[] = {
        {"Clock.ShowSeconds=1"},
        {"Clock.ShowDateByDefault=1"},
        {"Clock.UseCustomStrings=1", "Clock.TimeString1=HH:mm dddd"},
    };
    int n = 0;
    for (const auto& keys : modes) {
        g_now = At(10, 5, 0);
        CVellumMenuItem_Clock* clock = LoadClock(keys, 26, "failed" + std::to_string(n++) + ".tsbar");
        ASSERT_NE(nullptr, clock);
        const std::string shown = Title(clock);
        ASSERT_FALSE(shown.empty());
        g_now.wMonth = 13;
        g_now.wHour = 25;
        testing_support::PumpFor(350);
        EXPECT_EQ(shown, Title(clock)) << n;
        testing_support::CloseTestBar(bar_, true);
    }
}

// A format of 600 characters of pictures makes the whole title.
TEST_F(ClockTest, ALongFormatMakesTheWholeTitle) {
    UseFakeNow();
    std::string format, expect;
    while (format.size() < 600) {
        format += "HH:mm ";
        expect += Picture(g_now, "HH") + ":" + Picture(g_now, "mm") + " ";
    }
    CVellumMenuItem_Clock* clock =
        LoadClock({"Clock.UseCustomStrings=1", "Clock.ShowOnlyLinesAvail=0", "Clock.TimeString1=" + format});
    ASSERT_NE(nullptr, clock);
    // The file's reader trims the value's end.
    while (!expect.empty() && expect.back() == ' ') expect.pop_back();
    EXPECT_EQ(expect, Title(clock));
}

// Which clock keys a save writes, and that a saved file saves the same again.
TEST_F(ClockTest, SaveWritesTheKeysOfItsMode) {
    UseFakeNow();
    const char* const kKeys[] = {"Type", "Clock.UseCustomStrings", "Clock.TimeString1",
                                 "Clock.TimeString2", "Clock.ShowOnlyLinesAvail",
                                 "Clock.ShowSeconds", "Clock.LongDate", "Clock.ShowDateByDefault",
                                 "Clock.Force24HourTime"};
    const struct {
        const char* name;
        std::vector<std::string> keys;
        std::vector<std::string> expect;   // in the order of kKeys
    } cases[] = {
        {"standard, nothing set", {},
         {"Clock", "0", "<none>", "<none>", "<none>", "<none>", "<none>", "<none>", "<none>"}},
        {"standard, every flag",
         {"Clock.ShowSeconds=1", "Clock.LongDate=1", "Clock.ShowDateByDefault=1",
          "Clock.Force24HourTime=1"},
         {"Clock", "0", "<none>", "<none>", "<none>", "1", "1", "1", "1"}},
        {"standard, flags off and custom keys unread",
         {"Clock.ShowDateByDefault=0", "Clock.TimeString1=HH", "Clock.ShowOnlyLinesAvail=0"},
         {"Clock", "0", "<none>", "<none>", "<none>", "<none>", "<none>", "<none>", "<none>"}},
        {"custom strings",
         {"Clock.UseCustomStrings=1", "Clock.TimeString1=HH:mm", "Clock.TimeString2=d MMM",
          "Clock.ShowOnlyLinesAvail=0", "Clock.ShowSeconds=1"},
         {"Clock", "1", "HH:mm", "d MMM", "0", "<none>", "<none>", "<none>", "<none>"}},
        {"custom, empty strings keep the defaults",
         {"Clock.UseCustomStrings=1", "Clock.TimeString1=", "Clock.TimeString2="},
         {"Clock", "1", "h:mm tt", "dddd, MMM d, yyyy", "1", "<none>", "<none>", "<none>",
          "<none>"}},
    };
    int n = 0;
    for (const auto& c : cases) {
        std::string tag = std::to_string(n++);
        ASSERT_NE(nullptr, LoadClock(c.keys, 26, "save" + tag + ".tsbar")) << c.name;
        std::string saved = Save(bar_, "saved" + tag + ".tsbar");
        for (size_t k = 0; k < c.expect.size(); ++k)
            EXPECT_EQ(c.expect[k], ReadKey(saved, "Section1", (std::string("Item1.") + kKeys[k]).c_str()))
                << c.name << ": " << kKeys[k];
        testing_support::CloseTestBar(bar_, true);

        CVellumMenuObject* again = LoadBar(saved);
        std::string resaved = Save(again, "resaved" + tag + ".tsbar");
        for (const char* key : kKeys) {
            std::string name = std::string("Item1.") + key;
            EXPECT_EQ(ReadKey(saved, "Section1", name.c_str()),
                      ReadKey(resaved, "Section1", name.c_str()))
                << c.name << ": " << key;
        }
        testing_support::CloseTestBar(again, true);
    }
}

}  // namespace
