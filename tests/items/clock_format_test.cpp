// The clock's custom format on fixed times: each expectation is put together
// from GetTimeFormat and GetDateFormat of its pieces in the same locale, as
// Wine's locale follows the environment.
#include <string>
#include <gtest/gtest.h>
#include "types/clock_item.h"

namespace {

std::string T(const SYSTEMTIME& t, const char* picture) {
    char out[256] = "";
    GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, 0, &t, picture, out, sizeof(out));
    return out;
}

std::string D(const SYSTEMTIME& t, const char* picture) {
    char out[256] = "";
    GetDateFormatA(LOCALE_SYSTEM_DEFAULT, 0, &t, picture, out, sizeof(out));
    return out;
}

SYSTEMTIME At(WORD year, WORD month, WORD day, WORD hour, WORD minute, WORD second) {
    SYSTEMTIME t = {};
    t.wYear = year;
    t.wMonth = month;
    t.wDay = day;
    t.wHour = hour;
    t.wMinute = minute;
    t.wSecond = second;
    // The day of the week as the system counts it.
    FILETIME file;
    SystemTimeToFileTime(&t, &file);
    FileTimeToSystemTime(&file, &t);
    return t;
}

struct FormatCase {
    const char* name;
    const char* format;
    int lines;
    std::string (*expect)(const SYSTEMTIME& t);
};

const FormatCase kCases[] = {
    {"time pictures", "h:mm tt", -1,
     [](const SYSTEMTIME& t) { return T(t, "h") + ":" + T(t, "mm") + " " + T(t, "tt"); }},
    {"a quoted h keeps the letter", "'h':mm tt", -1,
     [](const SYSTEMTIME& t) { return "h:" + T(t, "mm") + " " + T(t, "tt"); }},
    {"date pictures", "dddd, MMM d, yyyy", -1,
     [](const SYSTEMTIME& t) {
         return D(t, "dddd") + ", " + D(t, "MMM") + " " + D(t, "d") + ", " + D(t, "yyyy");
     }},
    {"a single quote inside a run", "HH'h'mm", -1,
     [](const SYSTEMTIME& t) { return T(t, "HH") + "h" + T(t, "mm"); }},
    {"two runs side by side", "h:mmtt", -1,
     [](const SYSTEMTIME& t) { return T(t, "h") + ":" + T(t, "mm") + T(t, "tt"); }},
    {"time and date mixed", "HH:mm:ss dd/MM/yyyy", -1,
     [](const SYSTEMTIME& t) {
         return T(t, "HH") + ":" + T(t, "mm") + ":" + T(t, "ss") + " " + D(t, "dd") + "/" +
                D(t, "MM") + "/" + D(t, "yyyy");
     }},
    {"two lines, all kept", "HH:mm\\ndddd", -1,
     [](const SYSTEMTIME& t) { return T(t, "HH") + ":" + T(t, "mm") + "\\n" + D(t, "dddd"); }},
    {"two lines, the first kept", "HH:mm\\ndddd", 1,
     [](const SYSTEMTIME& t) { return T(t, "HH") + ":" + T(t, "mm"); }},
    {"two lines, two kept", "HH:mm\\ndddd", 2,
     [](const SYSTEMTIME& t) { return T(t, "HH") + ":" + T(t, "mm") + "\\n" + D(t, "dddd"); }},
    {"three lines, two kept", "d\\nM\\nyyyy", 2,
     [](const SYSTEMTIME& t) { return D(t, "d") + "\\n" + D(t, "M"); }},
};

TEST(ClockFormat, CustomFormatsOnFixedTimes) {
    const SYSTEMTIME times[] = {At(2026, 12, 11, 14, 5, 9), At(2000, 2, 29, 9, 7, 3),
                                At(1999, 12, 31, 23, 59, 59), At(2026, 1, 1, 0, 0, 0)};
    for (const SYSTEMTIME& t : times) {
        for (const FormatCase& c : kCases) {
            std::string out = "unchanged";
            ASSERT_TRUE(FormatCustomClockText(t, c.format, c.lines, &out)) << c.name;
            EXPECT_EQ(c.expect(t), out) << c.name << " at " << t.wYear << "-" << t.wMonth << "-"
                                        << t.wDay << " " << t.wHour << ":" << t.wMinute;
        }
    }
}

// The markers of the first pass, shown as "|".
TEST(ClockFormat, FirstPassMarksTheRunsOfTimePictures) {
    const struct {
        const char* format;
        const char* marked;
    } cases[] = {
        {"h:mm tt", "|h|:|mm| |tt"},
        {"'h':mm tt", "'h':|mm| |tt"},
        {"dddd, MMM d", "dddd, MMM d"},
        {"HH'h'mm", "|HH'h'mm"},
        {"h:mmtt", "|h|:|mmtt"},
        {"'at' h", "'|a|t' |h"},
        {"", ""},
    };
    for (const auto& c : cases) {
        std::string marked = QuoteClockTimePictures(c.format);
        for (char& ch : marked)
            if (ch == 6) ch = '|';
        EXPECT_EQ(c.marked, marked) << c.format;
    }
}

// A long format of pictures is formatted whole: nothing is cut or overrun.
TEST(ClockFormat, SixHundredCharactersOfPicturesFormatWhole) {
    const SYSTEMTIME t = At(2026, 12, 11, 14, 5, 9);
    std::string format, expect;
    while (format.size() < 600) {
        format += "HH:mm ";
        expect += T(t, "HH") + ":" + T(t, "mm") + " ";
    }
    ASSERT_EQ(600u, format.size());
    std::string out;
    ASSERT_TRUE(FormatCustomClockText(t, format.c_str(), -1, &out));
    EXPECT_EQ(expect, out);
}

// A long quoted text stays literal, however the formatting is cut up.
TEST(ClockFormat, LongQuotedTextStaysLiteral) {
    const SYSTEMTIME t = At(2026, 12, 11, 14, 5, 9);
    std::string literal;
    while (literal.size() < 300) literal += "abc xyz Dd My ";
    std::string out;
    ASSERT_TRUE(FormatCustomClockText(t, ("'" + literal + "' h:mm").c_str(), -1, &out));
    EXPECT_EQ(literal + " " + T(t, "h") + ":" + T(t, "mm"), out);
}

// A time the system cannot format is a failure that leaves the text alone.
TEST(ClockFormat, AnInvalidTimeFailsAndLeavesTheText) {
    SYSTEMTIME bad = At(2026, 12, 11, 14, 5, 9);
    bad.wMonth = 13;
    bad.wHour = 25;
    for (const char* format : {"h:mm tt", "dddd", "HH'h'mm d"}) {
        std::string out = "unchanged";
        EXPECT_FALSE(FormatCustomClockText(bad, format, -1, &out)) << format;
        EXPECT_EQ("unchanged", out) << format;
    }
    std::string out = "unchanged";
    EXPECT_FALSE(FormatStandardClockTime(bad, false, false, &out));
    EXPECT_FALSE(FormatStandardClockDate(bad, false, &out));
    EXPECT_EQ("unchanged", out);
}

// The standard texts are the system's own formats.
TEST(ClockFormat, StandardTimeAndDate) {
    const SYSTEMTIME t = At(2026, 12, 11, 14, 5, 9);
    auto time = [&](DWORD flags) {
        char out[200] = "";
        GetTimeFormatA(LOCALE_SYSTEM_DEFAULT, flags, &t, nullptr, out, sizeof(out));
        return std::string(out);
    };
    auto date = [&](DWORD flags) {
        char out[200] = "";
        GetDateFormatA(LOCALE_SYSTEM_DEFAULT, flags, &t, nullptr, out, sizeof(out));
        return std::string(out);
    };
    std::string out;
    ASSERT_TRUE(FormatStandardClockTime(t, false, false, &out));
    EXPECT_EQ(time(TIME_NOSECONDS), out);
    ASSERT_TRUE(FormatStandardClockTime(t, true, false, &out));
    EXPECT_EQ(time(0), out);
    ASSERT_TRUE(FormatStandardClockTime(t, false, true, &out));
    EXPECT_EQ(time(TIME_NOSECONDS | TIME_FORCE24HOURFORMAT), out);
    ASSERT_TRUE(FormatStandardClockDate(t, false, &out));
    EXPECT_EQ(date(DATE_SHORTDATE), out);
    ASSERT_TRUE(FormatStandardClockDate(t, true, &out));
    EXPECT_EQ(date(DATE_LONGDATE), out);
}

}  // namespace
