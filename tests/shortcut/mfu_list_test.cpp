// The most-used list through the registry: sorting by use, the ring, the
// start offset, the rebuild from the shell's counts, removal and damaged values.
#include <cstring>
#include <string>
#include "shortcut_fixture.h"
#include "shell/type_services.h"
#include "types/mfu_list.h"
#include "types/usage_counts.h"

namespace shortcut_test {
namespace {

constexpr const char* kTestKey = "Software\\Vantrell\\Tessellar\\MFUListTest";

FILETIME At(DWORD low) { return FILETIME{low, 0x01D00000}; }

// A time that lives long enough to be passed by pointer.
const FILETIME* Time(DWORD low) {
    static FILETIME ring[8];
    static int next = 0;
    FILETIME* t = &ring[next++ % 8];
    *t = At(low);
    return t;
}

std::string Rot13(std::string text) {
    Rot13InPlace(&text[0]);
    return text;
}

void SetBinary(const char* key_path, const std::string& name, const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, key_path, 0, nullptr, 0, KEY_ALL_ACCESS,
                                             nullptr, &key, nullptr));
    RegSetValueExA(key, name.c_str(), 0, REG_BINARY, reinterpret_cast<const BYTE*>(data.data()),
                   static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

std::string SavedEntry(const std::string& path, FILETIME t) {
    std::string data = path + std::string(1, '\0');
    data.append(reinterpret_cast<const char*>(&t), sizeof(t));
    return data + std::string(9, '\0');
}

std::string ValueOf(const char* key, const std::string& name) {
    for (const auto& v : RegistryValues(key))
        if (v.first == name) return v.second;
    return "<none>";
}

std::string PathOfValue(const char* key, const std::string& name) {
    std::string data = ValueOf(key, name);
    return data.substr(0, data.find('\0'));
}

class MFUListTest : public ShortcutTest {
protected:
    void SetUp() override {
        ShortcutTest::SetUp();
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey);
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kUserAssistCountKey);
    }
    void TearDown() override {
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey);
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kUserAssistCountKey);
        ShortcutTest::TearDown();
    }
};

TEST_F(MFUListTest, TheMostUsedSortLastEqualCountsByTheirEarliestLaunch) {
    {
        CMFUList list(HKEY_CURRENT_USER, kTestKey, 100);
        list.AddUse("C:\\a.exe", Time(10), 0);
        list.AddUse("C:\\b.exe", Time(20), 0);
        list.AddUse("C:\\A.EXE", Time(30), 0);
        list.AddUse("C:\\a.exe", Time(5), 1);
        ASSERT_TRUE(list.Save());
    }
    CMFUList list(HKEY_CURRENT_USER, kTestKey, 100);
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(4, list.GetCount());
    const MFUEntry* last = list.SortedAt(3);
    const MFUEntry* before = list.SortedAt(2);
    ASSERT_TRUE(last && before);
    EXPECT_STREQ("C:\\a.exe", last->path);
    EXPECT_EQ(3, last->useCount);
    EXPECT_EQ(5u, last->lastUse.dwLowDateTime) << "the earliest launch";
    EXPECT_STREQ("C:\\b.exe", before->path);
    EXPECT_EQ(1, before->useCount);
    EXPECT_EQ(-1, list.SortedAt(0)->useCount);
    char path[MAX_PATH];
    ASSERT_TRUE(list.GetMostUsed(0, path, sizeof(path)));
    EXPECT_STREQ("C:\\a.exe", path);
    ASSERT_TRUE(list.GetMostUsed(1, path, sizeof(path)));
    EXPECT_STREQ("C:\\b.exe", path);
    EXPECT_FALSE(list.GetMostUsed(2, path, sizeof(path)));

    // Equal counts: the later first launch sorts last.
    CMFUList equal(HKEY_CURRENT_USER, kTestKey, 100);
    equal.AddUse("C:\\late.exe", Time(50), 0);
    equal.AddUse("C:\\early.exe", Time(40), 1);
    EXPECT_STREQ("C:\\late.exe", equal.SortedAt(1)->path);
    // A path longer than an entry holds is refused, not cut.
    EXPECT_FALSE(equal.AddUse(("C:\\" + std::string(300, 'x')).c_str(), nullptr, 1));
    EXPECT_EQ(2, equal.GetCount());
}

TEST_F(MFUListTest, TheRingKeepsTheMaximumAndGoesOnAfterARestart) {
    {
        CMFUList list(HKEY_CURRENT_USER, kTestKey, 100);
        for (int i = 0; i < 105; ++i) {
            list.AddUse(("C:\\p" + std::to_string(i) + ".exe").c_str(), Time(100 + i), 0);
            // The sorted view is rebuilt after overwrites, never walked stale.
            if (i % 50 == 49 || i > 100) {
                ASSERT_NE(nullptr, list.SortedAt(list.GetCount() - 1));
            }
        }
        EXPECT_EQ(100, list.GetCount());
        EXPECT_EQ(4, list.GetStartOffset());
        ASSERT_TRUE(list.Save());
    }
    EXPECT_EQ("C:\\p104.exe", PathOfValue(kTestKey, "4"));
    EXPECT_EQ("C:\\p5.exe", PathOfValue(kTestKey, "5"));
    EXPECT_EQ("<none>", ValueOf(kTestKey, "100"));
    std::string offset = ValueOf(kTestKey, "StartOffset");
    ASSERT_EQ(4u, offset.size());
    EXPECT_EQ(4, *reinterpret_cast<const int*>(offset.data()));
    std::string maximum = ValueOf(kTestKey, "MaxEntries");
    ASSERT_EQ(4u, maximum.size());
    EXPECT_EQ(100, *reinterpret_cast<const int*>(maximum.data()));
    // The saved form: path, NUL, time, nine zero bytes.
    EXPECT_EQ(SavedEntry("C:\\p104.exe", At(204)), ValueOf(kTestKey, "4"));

    CMFUList restarted(HKEY_CURRENT_USER, kTestKey, 100);
    ASSERT_TRUE(restarted.Load());
    EXPECT_EQ(4, restarted.GetStartOffset());
    restarted.AddUse("C:\\next.exe", Time(300), 1);
    ASSERT_TRUE(restarted.Save());
    EXPECT_EQ("C:\\next.exe", PathOfValue(kTestKey, "5"));
    EXPECT_EQ("C:\\p104.exe", PathOfValue(kTestKey, "4"));
}

TEST_F(MFUListTest, AStartOffsetOutsideTheRingReadsAsNone) {
    const struct {
        int stored;
        int read;
    } cases[] = {{100, -1}, {500, -1}, {-5, -1}, {99, 99}, {0, 0}};
    for (const auto& c : cases) {
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey);
        SetBinary(kTestKey, "0", SavedEntry("C:\\a.exe", At(1)));
        SetBinary(kTestKey, "StartOffset", std::string(reinterpret_cast<const char*>(&c.stored), 4));
        CMFUList list(HKEY_CURRENT_USER, kTestKey, 100);
        ASSERT_TRUE(list.Load());
        EXPECT_EQ(c.read, list.GetStartOffset()) << c.stored;
    }
}

TEST_F(MFUListTest, DamagedValuesAreSkippedAndTheOthersLoad) {
    const struct {
        const char* what;
        std::string data;
    } damaged[] = {
        {"no terminator", std::string(20, 'x')},
        {"3 bytes", std::string("ab\0", 3)},
        {"no room for the time", std::string("C:\\c.exe\0abc", 12)},
        {"760 bytes, a path longer than an entry", SavedEntry(std::string(740, 'p'), At(3)) + "ab"},
        {"longer than 760 bytes", SavedEntry(std::string(200, 'q'), At(3)) + std::string(700, 'z')},
    };
    ASSERT_EQ(760u, damaged[3].data.size());
    for (const auto& d : damaged) {
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kTestKey);
        SetBinary(kTestKey, "0", SavedEntry("C:\\a.exe", At(1)));
        SetBinary(kTestKey, "1", d.data);
        SetBinary(kTestKey, "2", SavedEntry("C:\\b.exe", At(2)));
        CMFUList list(HKEY_CURRENT_USER, kTestKey, 100);
        ASSERT_TRUE(list.Load()) << d.what;
        ASSERT_EQ(2, list.GetCount()) << d.what;
        EXPECT_STREQ("C:\\a.exe", list.EntryAt(0)->path) << d.what;
        EXPECT_STREQ("C:\\b.exe", list.EntryAt(1)->path) << d.what;
    }
}

class MFURebuildTest : public MFUListTest {
protected:
    void SetUp() override {
        MFUListTest::SetUp();
        folder_ = std::string(GetUserProgramsFolder()) + "\\Tess MFU";
        CreateDirectoryA(folder_.c_str(), nullptr);
        ASSERT_TRUE(testing_support::WriteFileBytes(folder_ + "\\one.lnk", "1"));
        ASSERT_TRUE(testing_support::WriteFileBytes(folder_ + "\\two.lnk", "2"));
        ASSERT_TRUE(testing_support::WriteFileBytes(folder_ + "\\unrun.lnk", "3"));
        const std::string prefix = "UEME_RUNPIDL:%csidl2%\\";
        auto count = [&](const std::string& relative, FILETIME t) {
            std::string data(8, '\0');
            data[0] = 14;
            data[4] = 6;
            data.append(reinterpret_cast<const char*>(&t), sizeof(t));
            SetBinary(kUserAssistCountKey, Rot13(prefix + relative), data);
        };
        count("Tess MFU\\one.lnk", At(10));
        count("Tess MFU\\two.lnk", At(20));
        count("Tess MFU\\gone.lnk", At(30));
        count("Tess MFU", At(40));
        count("Tess MFU\\unrun.lnk", FILETIME{0, 0});
        count("Tess MFU\\" + std::string(300, 'n') + ".lnk", At(50));
    }
    void TearDown() override {
        testing_support::RemoveTree(folder_);
        MFUListTest::TearDown();
    }
    std::string folder_;
};

TEST_F(MFURebuildTest, AnEmptyKeyIsFilledFromTheCountsOfExistingShortcuts) {
    CMFUList list(HKEY_CURRENT_USER, kTestKey, 100);
    ASSERT_TRUE(list.Load());
    ASSERT_EQ(2, list.GetCount());
    for (int i = 0; i < 2; ++i) {
        const MFUEntry* entry = list.SortedAt(i);
        ASSERT_NE(nullptr, entry);
        EXPECT_EQ(1, entry->useCount);
        std::string name = entry->path;
        EXPECT_TRUE(name == folder_ + "\\one.lnk" || name == folder_ + "\\two.lnk") << name;
    }
}

TEST_F(MFURebuildTest, AProgramRemovedAsTheLastEntryStaysGone) {
    {
        CMFUList list(HKEY_CURRENT_USER, kTestKey, 100);
        ASSERT_TRUE(list.Load());
        list.Remove((folder_ + "\\one.lnk").c_str());
        EXPECT_EQ(1, list.GetCount());
        list.Remove((folder_ + "\\TWO.lnk").c_str());
        EXPECT_EQ(0, list.GetCount()) << "no rebuild from the counts";
    }
    CMFUList restarted(HKEY_CURRENT_USER, kTestKey, 100);
    ASSERT_TRUE(restarted.Load());
    EXPECT_EQ(0, restarted.GetCount());
}

TEST_F(MFUListTest, TheProgramsListIsLoadedWithTheMainWindowAndSavedWhenItGoes) {
    const char* key = kProgramMFUListKey;
    testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, key);
    SetBinary(key, "0", SavedEntry("C:\\kept.exe", At(1)));
    EXPECT_EQ(nullptr, GetMFUList());
    CreateMFUList();
    ASSERT_NE(nullptr, GetMFUList());
    EXPECT_EQ(1, GetMFUList()->GetCount());
    EXPECT_EQ(100, GetMFUList()->GetMaximum());
    GetMFUList()->AddUse("C:\\new.exe", Time(2), 1);
    FreeMFUList();
    EXPECT_EQ(nullptr, GetMFUList());
    EXPECT_EQ("C:\\new.exe", PathOfValue(key, "1"));
    testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, key);
}

}  // namespace
}  // namespace shortcut_test
