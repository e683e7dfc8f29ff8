// Gantrel's helpers, linked into the test: text, dates, registry, message
// pumping, window centring and DLL registration.
#include <gtest/gtest.h>

#include "Gantrel/utils.h"
#include "tests/gantrel/gantrel_fixtures.h"
#include "tests/support/test_support.h"
#include "util/text.h"

#include <cstring>

using namespace gantrel;
using namespace testing_support;

namespace {

TEST(GantrelUtils, TextHelpers) {
    char text[64];
    tess::CopyText(text, "  word  \t ");
    EXPECT_STREQ("  word", TrimRight(text));
    EXPECT_EQ(nullptr, TrimRight(nullptr));
    EXPECT_STREQ("word", SkipLeadingSpace(static_cast<const char*>(text)));

    tess::CopyText(text, "ab  ");
    EXPECT_STREQ("ab    ", PadRight(text, sizeof text, 6));
    tess::CopyText(text, "ab");
    EXPECT_STREQ("ab", PadRight(text, 3, 6));   // never past the buffer
    tess::CopyText(text, "42 ");
    EXPECT_STREQ("   42", AlignRight(text, sizeof text, 6));

    struct TrimCase { const char* in; char mode; const char* out; char mode_after; } trims[] = {
        {"  a  ", 'l', "a  ", 'L'},
        {"  a  ", 'T', "  a", 'T'},
        {"  a  ", 'b', "a", 'B'},
        {"one\ntwo\n", 't', "one two", 'T'},
    };
    for (const auto& c : trims) {
        tess::CopyText(text, c.in);
        char mode[2] = {c.mode, 0};
        EXPECT_STREQ(c.out, TrimByMode(text, mode)) << c.in;
        EXPECT_EQ(c.mode_after, mode[0]);
    }

    tess::CopyText(text, "the old text, old");
    EXPECT_TRUE(ReplaceFirst(text, sizeof text, "old", "brand new"));
    EXPECT_STREQ("the brand new text, old", text);
    EXPECT_FALSE(ReplaceFirst(text, 24, "text", "longer words"));   // would not fit
    EXPECT_STREQ("the brand new text, old", text);
    EXPECT_TRUE(RemoveFirst(text, "brand "));
    EXPECT_STREQ("the new text, old", text);
    EXPECT_FALSE(RemoveFirst(text, "absent"));
    EXPECT_TRUE(InsertFront(text, sizeof text, ">> "));
    EXPECT_STREQ(">> the new text, old", text);
    EXPECT_FALSE(InsertFront(text, 22, "xx"));

    EXPECT_STREQ("file.txt", FileNamePart("C:\\a\\b\\file.txt"));
    EXPECT_STREQ("plain", FileNamePart("plain"));
    char folder[MAX_PATH];
    EXPECT_TRUE(FolderPart("C:\\a\\b\\file.txt", folder, sizeof folder));
    EXPECT_STREQ("C:\\a\\b", folder);
    EXPECT_FALSE(FolderPart("plain", folder, sizeof folder));
    EXPECT_STREQ("", folder);
}

TEST(GantrelUtils, FormatNumberField) {
    HWND dialog = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 200, 50, nullptr, nullptr, nullptr, nullptr);
    HWND edit = CreateWindowExA(0, "EDIT", "", WS_CHILD, 0, 0, 100, 20, dialog, reinterpret_cast<HMENU>(100),
                                nullptr, nullptr);
    ASSERT_TRUE(dialog && edit);
    struct Case { const char* in; int width; int decimals; const char* out; } cases[] = {
        {"3.5", 8, 2, "   3.50"},
        {" 12 ", 8, 2, "  12.00"},
        {"1.2345", 8, 2, " 1.2345"},
        {"7", 4, 0, "  7"},
        {"123456789", 4, 0, "1234"},
    };
    for (const auto& c : cases) {
        SetWindowTextA(edit, c.in);
        FormatNumberField(dialog, 100, c.width, c.decimals);
        char text[64] = {};
        GetWindowTextA(edit, text, sizeof text);
        EXPECT_STREQ(c.out, text) << c.in;
    }
    DestroyWindow(dialog);
}

TEST(GantrelUtils, SizeText) {
    struct Case { unsigned long bytes; bool kb; const char* text; } cases[] = {
        {1536, false, "1 KB"}, {3145728, false, "3.00 MB"}, {1000, false, "1000"},
        {1024, false, "1024"}, {1048576, false, "1024 KB"}, {1572864, false, "1.50 MB"},
        {3145728, true, "3072 KB"}, {100, true, "0 KB"},
    };
    for (const auto& c : cases) {
        char out[32];
        SizeText(c.bytes, out, sizeof out, c.kb);
        EXPECT_STREQ(c.text, out) << c.bytes;
    }
}

// February's length follows the Gregorian rule, and the days it counts agree
// with the date arithmetic that carries across the end of the month.
TEST(GantrelUtils, FebruaryAcrossCenturyYears) {
    struct Case { int year; int days; } cases[] = {
        {1900, 28}, {2000, 29}, {2100, 28}, {1600, 29}, {1996, 29}, {1999, 28}, {2004, 29},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.days, DaysInMonth(2, c.year)) << c.year;
        EXPECT_EQ(c.days == 29, IsLeapYear(c.year)) << c.year;
    }
    for (int year = 1899; year <= 2101; ++year) {
        // Two minutes past the last minute of February 28.
        DateRecord date{static_cast<WORD>(year), 2, 0, 28, 23, 59};
        AddSeconds(date, 120);
        int expect_day = DaysInMonth(2, year) == 29 ? 29 : 1;
        ASSERT_EQ(expect_day, date.day) << year;
        ASSERT_EQ(expect_day == 29 ? 2 : 3, date.month) << year;
        // A whole February forward from February 1 lands on March 1.
        DateRecord first{static_cast<WORD>(year), 2, 0, 1, 12, 0};
        AddSeconds(first, DaysInMonth(2, year) * 86400L);
        ASSERT_EQ(3, first.month) << year;
        ASSERT_EQ(1, first.day) << year;
    }
}

TEST(GantrelUtils, DatesAndNumbers) {
    EXPECT_EQ(28, DaysInMonth(2, 2001));
    EXPECT_EQ(30, DaysInMonth(11, 2001));
    EXPECT_EQ(31, DaysInMonth(12, 2001));
    EXPECT_DOUBLE_EQ(2.35, RoundTo(2.345, 2));
    EXPECT_DOUBLE_EQ(3.0, RoundTo(2.5, 0));

    DateRecord date{2003, 12, 0, 31, 23, 59};
    AddSeconds(date, 120);
    EXPECT_EQ(2004, date.year);
    EXPECT_EQ(1, date.month);
    EXPECT_EQ(1, date.day);
    EXPECT_EQ(0, date.hour);
    EXPECT_EQ(1, date.minute);
    AddSeconds(date, -120);
    EXPECT_EQ(2003, date.year);
    EXPECT_EQ(31, date.day);
    EXPECT_EQ(59, date.minute);

    char out[64];
    DateRecord d{2004, 3, 0, 7, 15, 5};
    FormatDateRecord(out, sizeof out, d, 1);
    EXPECT_STREQ("2004/3/7", out);
    FormatDateRecord(out, sizeof out, d, 2 | 0x100);
    EXPECT_STREQ("3/7/2004 3:05 PM", out);
    FormatDateRecord(out, sizeof out, d, 0x200);
    EXPECT_STREQ("7/3/2004 15:05", out);
    DateRecord empty{};
    FormatDateRecord(out, sizeof out, empty, 1);
    EXPECT_STREQ("", out);

    struct Part { const char* token; const char* text; } parts[] = {
        {"yy", "04"}, {"yyyy", "2004"}, {"dd", "07"}, {"MM", "03"}, {"d", "7"}, {"M", "3"}, {"MMM", "03"},
    };
    for (const auto& p : parts) {
        FormatDatePart(p.token, d, out, sizeof out);
        EXPECT_STREQ(p.text, out) << p.token;
    }

    struct Convert { const char* in; int format; const char* out; } converts[] = {
        {"Mar 07 2004 10:20:30", 1, "03/07/04"},
        {"Mar 07 2004 10:20:30", 2, "2004/03/07"},
        {"Mar 07 2004 10:20:30", 3 | 0x100, "03/07/2004 10:20:30"},
        {"Jan 01 1900 00:00:00", 1, ""},
        {"Foo 07 2004 10:20:30", 1, "Foo 07 2004 10:20:30"},
    };
    for (const auto& c : converts) {
        tess::CopyText(out, c.in);
        ConvertDateText(out, sizeof out, c.format);
        EXPECT_STREQ(c.out, out) << c.in;
    }

    SYSTEMTIME now;
    GetLocalTime(&now);
    TodayText(out, sizeof out, 4);
    char expect[64];
    tess::FormatText(expect, sizeof expect, "%04d/%02d/%02d", now.wYear, now.wMonth, now.wDay);
    EXPECT_STREQ(expect, out);
    TodayText(out, sizeof out, 5 | 0x100);
    EXPECT_EQ(19u, strlen(out));

    // Born on today's date 30 years before (1900s two-digit year).
    char born[16];
    tess::FormatText(born, sizeof born, "%02d/%02d/%02d", now.wMonth, now.wDay, (now.wYear - 30) % 100);
    if (now.wYear - 30 >= 1900 && now.wYear - 30 < 2000) {
        AgeFromDate(born, out, sizeof out);
        EXPECT_STREQ("30", out);
    }
    SYSTEMTIME zero{};
    FormatLocalDateTime(out, sizeof out, zero);
    EXPECT_STREQ("", out);
    FormatLocalDateTime(out, sizeof out, now);
    EXPECT_GT(strlen(out), 8u);
}

TEST(GantrelUtils, PumpMessagesKeepsQuit) {
    PostThreadMessageA(GetCurrentThreadId(), WM_USER + 5, 0, 0);
    EXPECT_EQ(1, PumpMessages());
    PostQuitMessage(7);
    EXPECT_EQ(0, PumpMessages());
    MSG msg;
    ASSERT_TRUE(PeekMessageA(&msg, nullptr, WM_QUIT, WM_QUIT, PM_REMOVE));
    EXPECT_EQ(7, int(msg.wParam));
}

TEST(GantrelUtils, RegistryValues) {
    const char* key = "Software\\Vantrell\\GantrelUtilsTest";
    DeleteRegistryTree(HKEY_CURRENT_USER, key);
    EXPECT_EQ(0u, ReadRegistryDword(HKEY_CURRENT_USER, key, "Missing"));
    EXPECT_EQ(ERROR_SUCCESS, WriteRegistryDword(HKEY_CURRENT_USER, key, "Count", 1234));
    EXPECT_EQ(1234u, ReadRegistryDword(HKEY_CURRENT_USER, key, "Count"));
    EXPECT_EQ(ERROR_SUCCESS, WriteRegistryString(HKEY_CURRENT_USER, key, "Name", "value text"));
    BYTE buffer[64];
    DWORD size = sizeof buffer;
    ASSERT_EQ(buffer, ReadRegistryValue(HKEY_CURRENT_USER, key, "Name", buffer, &size));
    EXPECT_EQ(11u, size);
    EXPECT_STREQ("value text", reinterpret_cast<char*>(buffer));
    size = 4;
    EXPECT_EQ(nullptr, ReadRegistryValue(HKEY_CURRENT_USER, key, "Name", buffer, &size));   // too small
    DWORD got = 0;
    BYTE* copy = ReadRegistryValueAlloc(HKEY_CURRENT_USER, key, "Name", &got);
    ASSERT_NE(nullptr, copy);
    EXPECT_EQ(11u, got);
    EXPECT_STREQ("value text", reinterpret_cast<char*>(copy));
    free(copy);
    EXPECT_EQ(nullptr, ReadRegistryValueAlloc(HKEY_CURRENT_USER, key, "Missing", &got));
    DeleteRegistryTree(HKEY_CURRENT_USER, key);

    // A failed write is shown with the system's text.
    MessageBoxWatcher watcher(IDOK);
    EXPECT_NE(ERROR_SUCCESS, WriteRegistryDword(HKEY_LOCAL_MACHINE, "\\\\bad\\\\", "x", 1));
    ASSERT_TRUE(PumpUntil([&] { return watcher.Count() >= 1; }, 5000));
    EXPECT_EQ(0u, watcher.Seen()[0].caption.find("Generic"));
}

TEST(GantrelUtils, CenterWindowOverOwnerAndWorkArea) {
    HWND owner = CreateWindowExA(0, "STATIC", "owner", WS_POPUP | WS_VISIBLE, 100, 100, 400, 300, nullptr, nullptr,
                                 nullptr, nullptr);
    HWND owned = CreateWindowExA(0, "STATIC", "owned", WS_POPUP, 0, 0, 100, 50, owner, nullptr, nullptr, nullptr);
    ASSERT_TRUE(owner && owned);
    ASSERT_TRUE(CenterWindow(owned));
    RECT r;
    GetWindowRect(owned, &r);
    EXPECT_EQ(250, r.left);
    EXPECT_EQ(225, r.top);
    // A hidden owner does not count: the work area does.
    ShowWindow(owner, SW_HIDE);
    ASSERT_TRUE(CenterWindow(owned));
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    GetWindowRect(owned, &r);
    EXPECT_EQ((work.left + work.right - 100) / 2, r.left);
    // Over a window hanging off the screen: kept inside the work area.
    SetWindowPos(owner, nullptr, -380, -280, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_SHOWWINDOW);
    ASSERT_TRUE(CenterWindow(owned, owner));
    GetWindowRect(owned, &r);
    EXPECT_EQ(work.left, r.left);
    EXPECT_EQ(work.top, r.top);
    DestroyWindow(owned);
    DestroyWindow(owner);
}

TEST(GantrelUtils, RegisterServerDll) {
    MessageBoxWatcher watcher(IDOK);
    std::string bin = BinFolder();
    EXPECT_TRUE(RegisterServerDll(bin.c_str(), "Gantrel.dll"));
    CLSID clsid;
    EXPECT_EQ(S_OK, CLSIDFromProgID(L"Gantrel.Splash", &clsid));
    EXPECT_TRUE(UnregisterServerDll(bin.c_str(), "Gantrel.dll"));
    EXPECT_NE(S_OK, CLSIDFromProgID(L"Gantrel.Splash", &clsid));
    EXPECT_EQ(0u, watcher.Count());

    char system[MAX_PATH];
    GetSystemDirectoryA(system, MAX_PATH);
    EXPECT_FALSE(RegisterServerDll(system, "kernel32.dll"));
    EXPECT_FALSE(RegisterServerDll(bin.c_str(), "NoSuchLibrary.dll"));
    EXPECT_FALSE(UnregisterServerDll(bin.c_str(), "NoSuchLibrary.dll"));
    ASSERT_TRUE(PumpUntil([&] { return watcher.Count() >= 3; }, 5000));
    auto seen = watcher.Seen();
    EXPECT_EQ("ERROR", seen[0].caption);
    EXPECT_EQ("Unable to locate entry point in the DLL", seen[0].text);
    EXPECT_EQ("Error Registering OCX", seen[1].caption);
    EXPECT_EQ("Error UnRegistering DLL", seen[2].caption);
}

}  // namespace
