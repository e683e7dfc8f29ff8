// The shell's usage counts: ROT13 names, the values a run of a start-menu
// program writes, and rarely-used judgements against the cut-off.
#include <cstring>
#include <string>
#include "shortcut_fixture.h"
#include "shell/app_state.h"
#include "types/usage_counts.h"

namespace shortcut_test {
namespace {

std::string Rot13(std::string text) {
    Rot13InPlace(&text[0]);
    return text;
}

FILETIME LocalNow() {
    SYSTEMTIME st;
    GetLocalTime(&st);
    FILETIME ft;
    SystemTimeToFileTime(&st, &ft);
    return ft;
}

FILETIME DaysBefore(FILETIME t, int days) {
    ULARGE_INTEGER v;
    v.LowPart = t.dwLowDateTime;
    v.HighPart = t.dwHighDateTime;
    v.QuadPart -= static_cast<ULONGLONG>(days) * 24 * 3600 * 10000000ULL;
    return FILETIME{v.LowPart, v.HighPart};
}

TEST(UsageCounts, Rot13MovesLettersOnly) {
    const struct {
        const char* plain;
        const char* encoded;
    } cases[] = {
        {"UEME_RUNPIDL:%csidl2%\\Tools\\edit.lnk", "HRZR_EHACVQY:%pfvqy2%\\Gbbyf\\rqvg.yax"},
        {"AZaz 0129 %_:\\.", "NMnm 0129 %_:\\."},
        {"", ""},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.encoded, Rot13(c.plain));
        EXPECT_EQ(c.plain, Rot13(c.encoded)) << "its own inverse";
    }
}

class UsageCountsTest : public ShortcutTest {
protected:
    void SetUp() override {
        ShortcutTest::SetUp();
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kUserAssistCountKey);
        programs_ = GetUserProgramsFolder();
        ASSERT_FALSE(programs_.empty());
        top_ = programs_ + "\\Tess Usage";
        CreateDirectoryA(top_.c_str(), nullptr);
        CreateDirectoryA((top_ + "\\Tools").c_str(), nullptr);
    }
    void TearDown() override {
        testing_support::RemoveTree(top_);
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kUserAssistCountKey);
        ShortcutTest::TearDown();
    }
    std::string programs_, top_;
};

TEST_F(UsageCountsTest, ARunTwoFoldersBelowProgramsWritesFourValues) {
    std::string program = top_ + "\\Tools\\probe.exe";
    ASSERT_TRUE(CopyFileA(ProbeExe().c_str(), program.c_str(), FALSE));
    CVellumMenuObject* bar = LoadBar({"Item1.Type=Shortcut", "Item1.Title=Probe",
                                      "Item1.Shortcut.File=" + program,
                                      "Item2.Type=Shortcut", "Item2.Title=Outside",
                                      "Item2.Shortcut.File=" + ProbeExe(),
                                      "Item3.Type=Shortcut", "Item3.Title=Missing",
                                      "Item3.Shortcut.File=" + top_ + "\\Tools\\missing.exe"});
    ASSERT_NE(nullptr, Item(bar, 2));

    // Outside Programs, and a launch that failed: nothing is recorded.
    Item(bar, 1)->OnClick();
    ASSERT_TRUE(WaitForProbe().ran);
    testing_support::MessageBoxWatcher boxes;
    Item(bar, 2)->OnClick();
    EXPECT_FALSE(WaitForProbe(1000).ran);
    EXPECT_TRUE(RegistryValues(kUserAssistCountKey).empty());

    FILETIME before = LocalNow();
    Item(bar, 0)->OnClick();
    ASSERT_TRUE(WaitForProbe().ran);
    FILETIME after = LocalNow();
    auto values = RegistryValues(kUserAssistCountKey);
    const std::string prefix = "UEME_RUNPIDL:%csidl2%";
    const std::string expected[] = {prefix + "\\Tess Usage\\Tools\\probe.exe",
                                    prefix + "\\Tess Usage\\Tools", prefix + "\\Tess Usage", prefix};
    ASSERT_EQ(4u, values.size());
    for (const std::string& name : expected) {
        bool found = false;
        for (const auto& v : values) {
            if (v.first != Rot13(name)) continue;
            found = true;
            ASSERT_EQ(16u, v.second.size()) << name;
            EXPECT_EQ(14, v.second[0]) << name;
            EXPECT_EQ(6, v.second[4]) << name;
            FILETIME t;
            memcpy(&t, v.second.data() + 8, sizeof(t));
            EXPECT_GE(CompareFileTime(&t, &before), 0) << name;
            EXPECT_LE(CompareFileTime(&t, &after), 0) << name;
        }
        EXPECT_TRUE(found) << name;
    }
    EXPECT_EQ(0u, boxes.Count());
}

TEST_F(UsageCountsTest, RarelyUsedAgainstTheCutoffBeforeAndAfterARun) {
    std::string program = top_ + "\\Tools\\old.lnk";
    ASSERT_TRUE(testing_support::WriteFileBytes(program, "link"));
    const FILETIME cutoff = GetSmartMenusCutoffTime();
    const FILETIME long_ago = DaysBefore(cutoff, 30), lately = DaysBefore(LocalNow(), 0);
    EXPECT_TRUE(IsRarelyUsed(program.c_str(), &long_ago)) << "no run: the fallback counts";
    EXPECT_FALSE(IsRarelyUsed(program.c_str(), &lately));
    EXPECT_FALSE(IsRarelyUsed("", &long_ago)) << "an empty path never is";
    FILETIME t = {};
    EXPECT_TRUE(GetProgramLastRunTime(program.c_str(), &t, nullptr)) << "the file's write time";
    EXPECT_NE(0u, t.dwLowDateTime | t.dwHighDateTime);

    ASSERT_TRUE(RecordProgramRun(program.c_str()));
    EXPECT_FALSE(IsRarelyUsed(program.c_str(), &long_ago)) << "the run counts, not the fallback";
    EXPECT_FALSE(RecordProgramRun((testing_support::BinFolder() + "x.exe").c_str()));

    // Times before the smart-menus start time count as that time.
    FILETIME start = LocalNow();
    SetSmartMenusStartTime(&start);
    EXPECT_FALSE(IsRarelyUsed((top_ + "\\Tools\\never.lnk").c_str(), &long_ago));
    FILETIME none = {};
    SetSmartMenusStartTime(&none);
    EXPECT_TRUE(IsRarelyUsed((top_ + "\\Tools\\never.lnk").c_str(), &long_ago));
}

}  // namespace
}  // namespace shortcut_test
