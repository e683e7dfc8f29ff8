// ExtractFile through the library's export with hand-made cabinets: stored
// attributes and times, sub-folders, the destination prefix rule, and a table
// of hostile cabinets that must write nothing outside the destination.
#include <gtest/gtest.h>

#include "tests/gantrel/gantrel_fixtures.h"
#include "tests/support/test_support.h"

#include <algorithm>

using namespace testing_support;
using namespace gantrel_test;

namespace {

const char kFailureText[] =
    "One or more files failed extraction.  \nPlease make sure to uninstall and reboot before retrying this install.";

class CabinetExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, lib.module);
        ASSERT_NE(nullptr, lib.ExtractFile);
    }
    Library lib;
    TempFolder temp;
};

TEST_F(CabinetExport, ExtractsFilesWithAttributesTimesAndFolders) {
    CabMember hidden{"a.txt", "alpha", 0x5A21, 0x6000, FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN};
    CabMember nested{"sub\\deeper\\b.txt", std::string(40000, 'b')};
    CabMember system_file{"s.txt", "sys", 0x5A21, 0x6000, FILE_ATTRIBUTE_SYSTEM | 0x40 /* not kept */};
    ASSERT_TRUE(WriteFileBytes(temp.File("t.cab"), BuildCabinet({hidden, nested, system_file})));
    ASSERT_TRUE(temp.MakeFolder("out"));
    ASSERT_TRUE(lib.ExtractFile(temp.File("t.cab").c_str(), temp.File("out\\").c_str()));

    EXPECT_EQ("alpha", temp.Read("out\\a.txt"));
    EXPECT_EQ(std::string(40000, 'b'), temp.Read("out\\sub\\deeper\\b.txt"));
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_READONLY | FILE_ATTRIBUTE_HIDDEN),
              GetFileAttributesA(temp.File("out\\a.txt").c_str()) & 0x07);
    EXPECT_EQ(DWORD(FILE_ATTRIBUTE_SYSTEM), GetFileAttributesA(temp.File("out\\s.txt").c_str()) & 0x47);

    // The stored DOS time (local) is the file's last-write time.
    WIN32_FILE_ATTRIBUTE_DATA info;
    ASSERT_TRUE(GetFileAttributesExA(temp.File("out\\a.txt").c_str(), GetFileExInfoStandard, &info));
    FILETIME local;
    ASSERT_TRUE(FileTimeToLocalFileTime(&info.ftLastWriteTime, &local));
    WORD date = 0, time = 0;
    ASSERT_TRUE(FileTimeToDosDateTime(&local, &date, &time));
    EXPECT_EQ(0x5A21, date);
    EXPECT_EQ(0x6000, time);
    for (const char* name : {"out\\a.txt", "out\\s.txt"}) SetFileAttributesA(temp.File(name).c_str(), FILE_ATTRIBUTE_NORMAL);
}

TEST_F(CabinetExport, DestinationWithoutBackslashIsANamePrefix) {
    ASSERT_TRUE(WriteFileBytes(temp.File("p.cab"), BuildCabinet({{"a.txt", "alpha"}})));
    ASSERT_TRUE(temp.MakeFolder("pre"));
    ASSERT_TRUE(lib.ExtractFile(temp.File("p.cab").c_str(), temp.File("pre").c_str()));
    EXPECT_EQ("alpha", temp.Read("prea.txt"));
    EXPECT_TRUE(ListFiles(temp.File("pre")).empty());
}

TEST_F(CabinetExport, NonCabinetsAndOverLongPathsFailQuietly) {
    MessageBoxWatcher watcher(IDOK);
    ASSERT_TRUE(temp.Write("plain.txt", "this is no cabinet at all, just text"));
    EXPECT_FALSE(lib.ExtractFile(temp.File("plain.txt").c_str(), temp.Path().c_str()));
    EXPECT_FALSE(lib.ExtractFile(temp.File("missing.cab").c_str(), temp.Path().c_str()));
    ASSERT_TRUE(WriteFileBytes(temp.File("ok.cab"), BuildCabinet({{"a.txt", "a"}})));
    std::string long_destination = temp.Path() + std::string(300, 'x') + "\\";
    EXPECT_FALSE(lib.ExtractFile(temp.File("ok.cab").c_str(), long_destination.c_str()));
    PumpFor(50);
    EXPECT_EQ(0u, watcher.Count());
    auto files = ListFiles(temp.Path());
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::string>{"ok.cab", "plain.txt"}), files);
}

struct HostileCab {
    const char* label;
    std::vector<CabMember> members;
    size_t truncate_to;   // 0: whole file
    uint32_t checksum;    // of every data block, 0: none
};

TEST_F(CabinetExport, HostileCabinetsWriteNothingOutsideTheDestination) {
    const std::string payload = "escaped!";
    std::vector<HostileCab> cases = {
        {"dot-dot backslash", {{"..\\evil.txt", payload}}, 0},
        {"dot-dot slash", {{"../evil.txt", payload}}, 0},
        {"nested dot-dot", {{"sub\\..\\..\\evil.txt", payload}}, 0},
        {"absolute", {{"\\evil_abs.txt", payload}}, 0},
        {"drive absolute", {{"C:\\evil_drive.txt", payload}}, 0},
        {"drive relative", {{"C:evil_drive.txt", payload}}, 0},
        {"declared size lies", {{"big.txt", payload, 0x5A21, 0x6000, 0x20, 70000}}, 0},
        {"truncated", {{"big.txt", std::string(50000, 'q')}}, 30000},
        {"bad block checksum", {{"big.txt", std::string(5000, 'q')}}, 0, 0xDEADBEEF},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        MessageBoxWatcher watcher(IDOK);
        TempFolder root;
        ASSERT_TRUE(root.MakeFolder("dest"));
        ASSERT_TRUE(root.Write("dest\\big.txt", "original"));
        std::string cab = BuildCabinet(c.members, c.checksum);
        if (c.truncate_to) cab.resize(c.truncate_to);
        ASSERT_TRUE(WriteFileBytes(root.File("h.cab"), cab));
        EXPECT_FALSE(lib.ExtractFile(root.File("h.cab").c_str(), root.File("dest\\").c_str()));
        ASSERT_TRUE(PumpUntil([&] { return watcher.Count() >= 1; }, 5000));
        EXPECT_EQ(kFailureText, watcher.Seen()[0].text);
        auto files = ListFiles(root.Path());
        std::sort(files.begin(), files.end());
        EXPECT_EQ((std::vector<std::string>{"dest\\big.txt", "h.cab"}), files);
        EXPECT_EQ("original", root.Read("dest\\big.txt"));
        EXPECT_FALSE(FileExistsOnDisk("C:\\evil_drive.txt"));
        EXPECT_FALSE(FileExistsOnDisk("C:\\evil_abs.txt"));
    }
}

}  // namespace
