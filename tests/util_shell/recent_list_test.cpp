// Recent-use lists against the real registry: order, limits, gaps, and values
// that someone else wrote.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "util/handles.h"
#include "util/recent_list.h"

using namespace testing_support;

namespace {

const char kKey[] = "Software\\Vantrell\\TessellarTest\\Recent";
const char kPrefix[] = "Test Entry #";

class RecentListTest : public ::testing::Test {
protected:
    void SetUp() override { DeleteRegistryTree(HKEY_CURRENT_USER, kKey); }
    void TearDown() override { DeleteRegistryTree(HKEY_CURRENT_USER, kKey); }

    // The values "Test Entry #0", "#1"... as the registry holds them, up to the first missing.
    static std::vector<std::string> Stored() {
        std::vector<std::string> out;
        tess::ScopedRegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return out;
        for (int i = 0;; ++i) {
            char data[1024] = "";
            DWORD size = sizeof(data), type = 0;
            std::string name = kPrefix + std::to_string(i);
            if (RegQueryValueExA(key.get(), name.c_str(), nullptr, &type,
                                 reinterpret_cast<BYTE*>(data), &size) != ERROR_SUCCESS)
                break;
            out.push_back(data);
        }
        return out;
    }
    static bool ValueExists(int index) {
        tess::ScopedRegKey key;
        if (RegOpenKeyExA(HKEY_CURRENT_USER, kKey, 0, KEY_READ, key.put()) != ERROR_SUCCESS) return false;
        std::string name = kPrefix + std::to_string(index);
        return RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr, nullptr, nullptr) ==
               ERROR_SUCCESS;
    }
    static void WriteRaw(int index, DWORD type, const void* data, DWORD size) {
        tess::ScopedRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_CURRENT_USER, kKey, 0, nullptr, 0,
                                                 KEY_ALL_ACCESS, nullptr, key.put(), nullptr));
        std::string name = kPrefix + std::to_string(index);
        ASSERT_EQ(ERROR_SUCCESS, RegSetValueExA(key.get(), name.c_str(), 0, type,
                                                static_cast<const BYTE*>(data), size));
    }
    static std::vector<std::string> Entries(const CRegistryMruList& list) {
        std::vector<std::string> out;
        for (int i = 0; i < list.GetCount(); ++i) {
            char buf[CRegistryMruList::kSlotSize];
            list.GetEntry(i, buf);
            out.push_back(buf);
        }
        return out;
    }
};

using Strings = std::vector<std::string>;

TEST_F(RecentListTest, OrderAndLimitsReadBackThroughTheRegistry) {
    struct Case {
        const char* name;
        int max;
        Strings adds;
        Strings expected;   // most recent first, as stored
    };
    const Case cases[] = {
        {"three new", 10, {"A", "B", "C"}, {"C", "B", "A"}},
        {"B again", 10, {"A", "B", "C", "B"}, {"B", "C", "A"}},
        {"front again", 10, {"A", "B", "C", "C"}, {"C", "B", "A"}},
        {"oldest again", 10, {"A", "B", "C", "A"}, {"A", "C", "B"}},
        {"maximum drops oldest", 3, {"A", "B", "C", "D"}, {"D", "C", "B"}},
        {"maximum, then old one", 3, {"A", "B", "C", "D", "B"}, {"B", "D", "C"}},
        {"maximum of one", 1, {"A", "B"}, {"B"}},
        {"maximum below one", -5, {"A", "B"}, {"B"}},
        {"case-insensitive, spelling kept", 10, {"c:\\prog\\a.exe", "B", "C:\\PROG\\A.EXE"},
         {"c:\\prog\\a.exe", "B"}},
        {"empty text ignored", 10, {"A", "", "B"}, {"B", "A"}},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteRegistryTree(HKEY_CURRENT_USER, kKey);
        {
            CRegistryMruList list(kKey, c.max, kPrefix);
            ASSERT_TRUE(list.IsOpen());
            for (const std::string& a : c.adds) list.Add(a.c_str());
            EXPECT_EQ(c.expected, Entries(list));
            list.Close();
        }
        EXPECT_EQ(c.expected, Stored());
        // A new object reads the same list back.
        CRegistryMruList again(kKey, c.max, kPrefix);
        EXPECT_EQ(c.expected, Entries(again));
        again.Close();
    }
}

TEST_F(RecentListTest, FindGetEntryAndClear) {
    CRegistryMruList list(kKey, 4, kPrefix);
    EXPECT_EQ(0, list.Add(nullptr));
    EXPECT_EQ(0, list.Add(""));
    EXPECT_EQ(1, list.Add("c:\\themes\\one.tstheme"));
    EXPECT_EQ(1, list.Add("c:\\themes\\two.tstheme"));
    EXPECT_EQ(1, list.Find("C:\\THEMES\\ONE.TSTHEME"));
    EXPECT_EQ(0, list.Find("c:\\themes\\two.tstheme"));
    EXPECT_EQ(-1, list.Find("c:\\themes\\three.tstheme"));
    EXPECT_EQ(-1, list.Find(nullptr));
    char buf[CRegistryMruList::kSlotSize] = "junk";
    EXPECT_EQ(0, list.GetEntry(4, buf));   // outside the maximum
    EXPECT_STREQ("", buf);
    EXPECT_EQ(0, list.GetEntry(-1, buf));
    EXPECT_EQ(1, list.GetEntry(3, buf));   // inside, empty
    EXPECT_STREQ("", buf);
    char small[6];
    EXPECT_EQ(1, list.GetEntry(0, small, sizeof(small)));
    EXPECT_STREQ("c:\\th", small);
    list.Clear();
    EXPECT_EQ(0, list.GetCount());
    EXPECT_TRUE(Stored().empty());
    EXPECT_FALSE(ValueExists(1));
    list.Close();
}

TEST_F(RecentListTest, GapEndsTheList) {
    WriteRaw(0, REG_SZ, "zero", 5);
    WriteRaw(2, REG_SZ, "two", 4);
    CRegistryMruList list(kKey, 10, kPrefix);
    EXPECT_EQ(1, list.GetCount());
    EXPECT_EQ(1, list.Save());
    EXPECT_EQ(Strings{"zero"}, Stored());
    // Value 2 is not rewritten by a save; it stays as it was.
    EXPECT_TRUE(ValueExists(2));
    // A new entry fills the gap, and the list reaches value 2 again.
    list.Add("new");
    EXPECT_EQ((Strings{"new", "zero", "two"}), Entries(list));
    list.Close();
}

TEST_F(RecentListTest, HostileValuesAreNotRead) {
    struct Case {
        const char* name;
        DWORD type;
        std::string data;      // exact bytes written
        bool readable;
        std::string expected;  // the entry when readable
    };
    const std::string slot_full(459, 'x');
    const Case cases[] = {
        {"plain", REG_SZ, std::string("abc\0", 4), true, "abc"},
        {"no terminator", REG_SZ, "abc", true, "abc"},
        {"459 characters and terminator", REG_SZ, slot_full + '\0', true, slot_full},
        {"460 characters, no terminator", REG_SZ, slot_full + "y", false, ""},
        {"460 characters and terminator", REG_SZ, slot_full + "y" + '\0', false, ""},
        {"5000 bytes", REG_SZ, std::string(5000, 'z'), false, ""},
        {"binary", REG_BINARY, std::string("abc\0", 4), false, ""},
        {"dword", REG_DWORD, std::string("\1\0\0\0", 4), false, ""},
        {"embedded terminator", REG_SZ, std::string("ab\0cd\0", 6), true, "ab"},
        {"empty", REG_SZ, std::string("", 0), false, ""},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        DeleteRegistryTree(HKEY_CURRENT_USER, kKey);
        WriteRaw(0, c.type, c.data.data(), static_cast<DWORD>(c.data.size()));
        WriteRaw(1, REG_SZ, "next", 5);
        CRegistryMruList list(kKey, 10, kPrefix);
        char buf[CRegistryMruList::kSlotSize];
        list.GetEntry(0, buf);
        if (c.readable) {
            EXPECT_EQ(c.expected, std::string(buf));
            EXPECT_EQ(2, list.GetCount());
        } else {
            EXPECT_STREQ("", buf);
            EXPECT_EQ(0, list.GetCount());
        }
        // Adding afterwards still works and never writes a cut text.
        EXPECT_EQ(1, list.Add("fresh"));
        list.GetEntry(0, buf);
        EXPECT_STREQ("fresh", buf);
        list.Close();
    }
}

TEST_F(RecentListTest, TextLongerThanASlotIsRefused) {
    CRegistryMruList list(kKey, 5, kPrefix);
    list.Add("A");
    const std::string fits(459, 'f');
    const std::string too_long(460, 'g');
    EXPECT_EQ(0, list.Add(too_long.c_str()));
    EXPECT_EQ(0, list.Add(std::string(4000, 'h').c_str()));
    EXPECT_EQ(Strings{"A"}, Stored());
    EXPECT_EQ(1, list.Add(fits.c_str()));
    EXPECT_EQ((Strings{fits, "A"}), Stored());
    list.Close();
}

TEST_F(RecentListTest, MaximumIsBoundedBySlots) {
    // More than the 150 slots asked for: the list holds 150 and nothing overruns.
    CRegistryMruList list(kKey, 400, kPrefix);
    EXPECT_EQ(CRegistryMruList::kSlotCount, list.GetMaxCount());
    for (int i = 0; i < 160; ++i) list.Add(("entry " + std::to_string(i)).c_str());
    EXPECT_EQ(150, list.GetCount());
    char buf[CRegistryMruList::kSlotSize];
    list.GetEntry(0, buf);
    EXPECT_STREQ("entry 159", buf);
    list.GetEntry(149, buf);
    EXPECT_STREQ("entry 10", buf);
    EXPECT_EQ(0, list.GetEntry(150, buf));
    EXPECT_EQ(150u, Stored().size());

    list.SetMaxCount(1000);
    EXPECT_EQ(150, list.GetMaxCount());
    list.SetMaxCount(0);   // ignored
    EXPECT_EQ(150, list.GetMaxCount());
    list.SetMaxCount(2);
    EXPECT_EQ(2, list.GetMaxCount());
    EXPECT_EQ(2, list.GetCount());
    list.Close();
}

TEST_F(RecentListTest, WithoutAKeyTheSlotsStillWork) {
    CRegistryMruList list(kKey, 3, kPrefix);
    list.Close();
    EXPECT_EQ(0, list.Save());
    EXPECT_EQ(0, list.Load());
    EXPECT_EQ(1, list.Add("A"));
    EXPECT_EQ(1, list.Add("B"));
    EXPECT_EQ((Strings{"A", "B"}), Entries(list));   // no save, no reordering
    EXPECT_TRUE(Stored().empty());
}

TEST(RecentLists, TheProgramsThreeLists) {
    struct Case {
        RecentListKind kind;
        const char* key;
        const char* prefix;
        int max;
    };
    const Case cases[] = {
        {kRecentThemes, "Software\\Vantrell\\Tessellar\\Recent", "Recent Theme #", 10},
        {kRecentPrograms, "Software\\Vantrell\\Tessellar\\Recent\\Programs", "Recent Program #", 12},
        {kPinnedShortcuts, "Software\\Vantrell\\Tessellar\\Recent\\Pinned", "Pinned Shortcut #", 10},
    };
    DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Vantrell\\Tessellar\\Recent");
    for (const Case& c : cases) {
        SCOPED_TRACE(c.prefix);
        CRegistryMruList* list = OpenRecentList(c.kind);
        ASSERT_TRUE(list->IsOpen());
        EXPECT_EQ(c.max, list->GetMaxCount());
        for (int i = 0; i < c.max + 2; ++i) list->Add(("item" + std::to_string(i)).c_str());
        EXPECT_EQ(c.max, list->GetCount());
        list->Close();
        delete list;
        tess::ScopedRegKey key;
        ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, c.key, 0, KEY_READ, key.put()));
        char data[64] = "";
        DWORD size = sizeof(data);
        std::string name = std::string(c.prefix) + "0";
        ASSERT_EQ(ERROR_SUCCESS, RegQueryValueExA(key.get(), name.c_str(), nullptr, nullptr,
                                                  reinterpret_cast<BYTE*>(data), &size));
        EXPECT_EQ("item" + std::to_string(c.max + 1), std::string(data));
    }
    DeleteRegistryTree(HKEY_CURRENT_USER, "Software\\Vantrell\\Tessellar\\Recent");
}

}  // namespace
