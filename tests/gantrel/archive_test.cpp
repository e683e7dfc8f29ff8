// ZipFiles / UnZipFiles through the library's exports: round trips, adding
// to archives, failures that must keep data, and a table of hostile archives
// that must write nothing outside the destination.
#include <gtest/gtest.h>

#include "tests/gantrel/gantrel_fixtures.h"
#include "tests/support/test_support.h"

#include <algorithm>

using namespace testing_support;
using namespace gantrel_test;

namespace {

std::string Pattern(size_t size, unsigned seed) {
    std::string s(size, '\0');
    for (size_t i = 0; i < size; ++i) {
        seed = seed * 1103515245u + 12345u;
        s[i] = char((seed >> 16) & 0xff);
    }
    return s;
}

bool EndsWith(const std::string& s, const std::string& tail) {
    return s.size() >= tail.size() && s.compare(s.size() - tail.size(), tail.size(), tail) == 0;
}

class ZipExports : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_NE(nullptr, lib.module);
        ASSERT_NE(nullptr, lib.ZipFiles);
        ASSERT_NE(nullptr, lib.UnZipFiles);
    }
    Library lib;
    TempFolder temp;
};

TEST_F(ZipExports, RoundTripKeepsBytesFoldersAndNames) {
    ASSERT_TRUE(temp.MakeFolder("src"));
    ASSERT_TRUE(temp.MakeFolder("src\\theme"));
    ASSERT_TRUE(temp.MakeFolder("src\\theme\\sub"));
    const std::string text = std::string(5000, 'x') + "tail";
    const std::string binary = Pattern(70000, 7);
    ASSERT_TRUE(temp.Write("src\\theme\\a.txt", text));
    ASSERT_TRUE(temp.Write("src\\theme\\sub\\b.bin", binary));
    ASSERT_TRUE(temp.Write("src\\theme\\empty.txt", ""));
    ASSERT_TRUE(temp.Write("src\\theme\\Thumbs.db", "cache"));
    ASSERT_TRUE(SetFileAttributesA(temp.File("src\\theme\\Thumbs.db").c_str(),
                                   FILE_ATTRIBUTE_HIDDEN | FILE_ATTRIBUTE_SYSTEM));
    std::string zip = temp.File("out.zip");

    EXPECT_EQ(0, lib.ZipFiles(zip.c_str(), temp.File("src\\theme\\*.*").c_str(), 1, 1, 1));
    ASSERT_EQ(0, lib.UnZipFiles(temp.File("kept").c_str(), zip.c_str(), nullptr, 1, 1, 1));
    auto kept = ListFiles(temp.File("kept"));
    ASSERT_EQ(3u, kept.size());
    for (const auto& name : kept) {
        // Stored names are relative: the drive and root are gone, folders stay.
        EXPECT_NE(':', name[1]);
        std::string content = ReadFileBytes(temp.File("kept\\" + name));
        if (EndsWith(name, "src\\theme\\a.txt")) EXPECT_EQ(text, content);
        else if (EndsWith(name, "src\\theme\\sub\\b.bin")) EXPECT_EQ(binary, content);
        else EXPECT_TRUE(EndsWith(name, "src\\theme\\empty.txt")) << name;
    }

    // Junked folder names: flat files.
    std::string flat = temp.File("flat.zip");
    EXPECT_EQ(0, lib.ZipFiles(flat.c_str(), temp.File("src\\theme\\*.*").c_str(), 0, 1, 1));
    ASSERT_EQ(0, lib.UnZipFiles(temp.File("flat").c_str(), flat.c_str(), nullptr, 1, 1, 1));
    auto files = ListFiles(temp.File("flat"));
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::string>{"a.txt", "b.bin", "empty.txt"}), files);
    EXPECT_EQ(binary, temp.Read("flat\\b.bin"));

    // Without recursion the sub-folder's file stays out.
    std::string top = temp.File("top.zip");
    EXPECT_EQ(0, lib.ZipFiles(top.c_str(), temp.File("src\\theme\\*.txt").c_str(), 0, 0, 1));
    ASSERT_EQ(0, lib.UnZipFiles(temp.File("top").c_str(), top.c_str(), nullptr, 0, 1, 1));
    files = ListFiles(temp.File("top"));
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::string>{"a.txt", "empty.txt"}), files);
}

TEST_F(ZipExports, AddingReplacesMembersOfTheSameNameAndKeepsOthers) {
    ASSERT_TRUE(temp.MakeFolder("in"));
    ASSERT_TRUE(temp.Write("in\\a.txt", "first a"));
    std::string zip = temp.File("add.zip");
    ASSERT_EQ(0, lib.ZipFiles(zip.c_str(), temp.File("in\\a.txt").c_str(), 0, 0, 1));
    ASSERT_TRUE(temp.Write("in\\b.txt", "b"));
    ASSERT_EQ(0, lib.ZipFiles(zip.c_str(), temp.File("in\\b.txt").c_str(), 0, 0, 1));
    ASSERT_TRUE(temp.Write("in\\a.txt", "second a, longer than the first"));
    ASSERT_EQ(0, lib.ZipFiles(zip.c_str(), temp.File("in\\a.txt").c_str(), 0, 0, 1));
    ASSERT_EQ(0, lib.UnZipFiles(temp.File("out").c_str(), zip.c_str(), nullptr, 0, 1, 1));
    EXPECT_EQ("second a, longer than the first", temp.Read("out\\a.txt"));
    EXPECT_EQ("b", temp.Read("out\\b.txt"));
    EXPECT_EQ(2u, ListFiles(temp.File("out")).size());
}

TEST_F(ZipExports, NeverAddsTheArchiveToItself) {
    ASSERT_TRUE(temp.MakeFolder("work"));
    ASSERT_TRUE(temp.Write("work\\one.txt", "1"));
    std::string zip = temp.File("work\\self.zip");
    ASSERT_EQ(0, lib.ZipFiles(zip.c_str(), temp.File("work\\*.*").c_str(), 0, 1, 1));
    ASSERT_EQ(0, lib.ZipFiles(zip.c_str(), temp.File("work\\*.*").c_str(), 0, 1, 1));
    EXPECT_EQ(11, lib.UnZipFiles(temp.File("x").c_str(), zip.c_str(), "self.zip", 0, 1, 1));
    EXPECT_EQ(0, lib.UnZipFiles(temp.File("x").c_str(), zip.c_str(), nullptr, 0, 1, 1));
    EXPECT_EQ((std::vector<std::string>{"one.txt"}), ListFiles(temp.File("x")));
    // No temporary archive is left beside it.
    auto left = ListFiles(temp.File("work"));
    std::sort(left.begin(), left.end());
    EXPECT_EQ((std::vector<std::string>{"one.txt", "self.zip"}), left);
}

TEST_F(ZipExports, AFailedZipKeepsTheExistingArchiveIntact) {
    ASSERT_TRUE(temp.MakeFolder("in"));
    ASSERT_TRUE(temp.Write("in\\keep.txt", "keep me"));
    std::string zip = temp.File("in\\..\\kept.zip");
    ASSERT_EQ(0, lib.ZipFiles(zip.c_str(), temp.File("in\\keep.txt").c_str(), 0, 0, 1));
    std::string before = ReadFileBytes(zip);
    ASSERT_FALSE(before.empty());

    // Nothing matches: Info-ZIP's "nothing to do".
    EXPECT_EQ(12, lib.ZipFiles(zip.c_str(), temp.File("in\\*.none").c_str(), 0, 0, 1));
    EXPECT_EQ(before, ReadFileBytes(zip));

    // A matched file that cannot be read: "could not open", archive untouched.
    ASSERT_TRUE(temp.Write("in\\locked.txt", "locked"));
    HANDLE lock = CreateFileA(temp.File("in\\locked.txt").c_str(), GENERIC_READ, 0, nullptr, OPEN_EXISTING, 0, nullptr);
    ASSERT_NE(INVALID_HANDLE_VALUE, lock);
    EXPECT_EQ(18, lib.ZipFiles(zip.c_str(), temp.File("in\\*.txt").c_str(), 0, 0, 1));
    CloseHandle(lock);
    EXPECT_EQ(before, ReadFileBytes(zip));

    // An existing file that is no archive is not overwritten.
    ASSERT_TRUE(temp.Write("notzip.zip", "plain text, not an archive"));
    EXPECT_EQ(3, lib.ZipFiles(temp.File("notzip.zip").c_str(), temp.File("in\\keep.txt").c_str(), 0, 0, 1));
    EXPECT_EQ("plain text, not an archive", temp.Read("notzip.zip"));

    auto files = ListFiles(temp.Path());
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::string>{"in\\keep.txt", "in\\locked.txt", "kept.zip", "notzip.zip"}), files);
}

TEST_F(ZipExports, OverLongPathsAreRefused) {
    std::string long_folder = temp.Path() + std::string(250, 'd');
    ASSERT_TRUE(temp.Write("a.txt", "a"));
    std::string zip = temp.File("ok.zip");
    ASSERT_EQ(0, lib.ZipFiles(zip.c_str(), temp.File("a.txt").c_str(), 0, 0, 1));
    EXPECT_EQ(10, lib.UnZipFiles(long_folder.c_str(), zip.c_str(), nullptr, 0, 1, 1));
    EXPECT_EQ(16, lib.ZipFiles((long_folder + "\\x.zip").c_str(), temp.File("a.txt").c_str(), 0, 0, 1));
    EXPECT_EQ(16, lib.ZipFiles(zip.c_str(), (long_folder + "\\*.*").c_str(), 0, 0, 1));

    // A member whose joined path would pass MAX_PATH fails; nothing is cut short.
    std::string deep = temp.File(std::string(200, 'p'));
    std::string archive = BuildZip({{std::string(80, 'n') + ".txt", "data"}, {"fine.txt", "fine"}});
    ASSERT_TRUE(WriteFileBytes(temp.File("long.zip"), archive));
    EXPECT_EQ(2, lib.UnZipFiles(deep.c_str(), temp.File("long.zip").c_str(), nullptr, 1, 1, 1));
    EXPECT_EQ("fine", ReadFileBytes(deep + "\\fine.txt"));
    auto files = ListFiles(deep);
    EXPECT_EQ((std::vector<std::string>{"fine.txt"}), files);
}

TEST_F(ZipExports, ExistingFilesAreReplacedEvenWithoutOverwrite) {
    // The replace question is answered "replace": overwrite 0 still replaces.
    ASSERT_TRUE(temp.MakeFolder("dest"));
    ASSERT_TRUE(temp.Write("dest\\same.txt", "old"));
    ASSERT_TRUE(WriteFileBytes(temp.File("new.zip"), BuildZip({{"same.txt", "new content"}})));
    EXPECT_EQ(0, lib.UnZipFiles(temp.File("dest").c_str(), temp.File("new.zip").c_str(), nullptr, 1, 0, 1));
    EXPECT_EQ("new content", temp.Read("dest\\same.txt"));
}

TEST_F(ZipExports, PatternSelectsMembersAndMissingNamesReportNotFound) {
    ASSERT_TRUE(WriteFileBytes(temp.File("sel.zip"),
                               BuildZip({{"theme/a.txt", "a"}, {"theme/sub/b.ini", "b"}, {"other/c.txt", "c"}})));
    EXPECT_EQ(0, lib.UnZipFiles(temp.File("d1").c_str(), temp.File("sel.zip").c_str(), "*.txt", 1, 1, 1));
    auto files = ListFiles(temp.File("d1"));
    std::sort(files.begin(), files.end());
    EXPECT_EQ((std::vector<std::string>{"other\\c.txt", "theme\\a.txt"}), files);
    EXPECT_EQ(0, lib.UnZipFiles(temp.File("d2").c_str(), temp.File("sel.zip").c_str(), "theme/sub/*", 0, 1, 1));
    EXPECT_EQ((std::vector<std::string>{"b.ini"}), ListFiles(temp.File("d2")));
    EXPECT_EQ(11, lib.UnZipFiles(temp.File("d3").c_str(), temp.File("sel.zip").c_str(), "nothing*", 1, 1, 1));
    EXPECT_EQ(9, lib.UnZipFiles(temp.File("d4").c_str(), temp.File("missing.zip").c_str(), nullptr, 1, 1, 1));
}

struct HostileZip {
    const char* label;
    std::vector<ZipMember> members;
    int expected;
};

TEST_F(ZipExports, HostileArchivesWriteNothingOutsideTheDestination) {
    const std::string payload = "escaped!";
    std::string good = std::string(3000, 'g');
    std::vector<HostileZip> cases = {
        {"dot-dot slash", {{"../evil.txt", payload}, {"ok.txt", "ok"}}, 1},
        {"dot-dot backslash", {{"..\\evil.txt", payload}, {"ok.txt", "ok"}}, 1},
        {"nested dot-dot", {{"sub/../../evil.txt", payload}, {"ok.txt", "ok"}}, 1},
        {"absolute slash", {{"/evil_abs.txt", payload}, {"ok.txt", "ok"}}, 1},
        {"absolute backslash", {{"\\evil_abs.txt", payload}, {"ok.txt", "ok"}}, 1},
        {"drive absolute", {{"C:\\evil_drive.txt", payload}, {"ok.txt", "ok"}}, 1},
        {"drive relative", {{"C:evil_drive.txt", payload}, {"ok.txt", "ok"}}, 1},
        {"stream name", {{"ok.txt:stream", payload}, {"ok.txt", "ok"}}, 1},
        {"device name", {{"sub/con.txt", payload}, {"ok.txt", "ok"}}, 1},
        {"dots and blanks", {{".. /evil.txt", payload}, {"ok.txt", "ok"}}, 1},
        {"bad CRC", {{"ok.txt", "ok"}, {"good.txt", good, true, 1}}, 2},
        {"declared size too large", {{"ok.txt", "ok"}, {"good.txt", good, true, 0, 100}}, 2},
        {"declared size too small", {{"ok.txt", "ok"}, {"good.txt", good, true, 0, -100}}, 2},
        {"stored size lies", {{"ok.txt", "ok"}, {"good.txt", good, false, 0, 5}}, 2},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder root;
        ASSERT_TRUE(root.MakeFolder("dest"));
        // A good file already there must survive a member that fails.
        ASSERT_TRUE(root.Write("dest\\good.txt", "original"));
        ASSERT_TRUE(WriteFileBytes(root.File("h.zip"), BuildZip(c.members)));
        EXPECT_EQ(c.expected, lib.UnZipFiles(root.File("dest").c_str(), root.File("h.zip").c_str(), nullptr, 1, 1, 1));
        auto files = ListFiles(root.Path());
        std::sort(files.begin(), files.end());
        EXPECT_EQ((std::vector<std::string>{"dest\\good.txt", "dest\\ok.txt", "h.zip"}), files);
        EXPECT_EQ("ok", root.Read("dest\\ok.txt"));
        EXPECT_EQ("original", root.Read("dest\\good.txt"));
        EXPECT_FALSE(FileExistsOnDisk("C:\\evil_drive.txt"));
        EXPECT_FALSE(FileExistsOnDisk("C:\\evil_abs.txt"));
        EXPECT_FALSE(FileExistsOnDisk("\\evil_abs.txt"));
    }
}

TEST_F(ZipExports, TruncatedArchivesFail) {
    std::string full = BuildZip({{"a.txt", Pattern(20000, 3)}, {"b.txt", "b"}});
    struct Cut {
        const char* label;
        std::string bytes;
        int expected;
    } cuts[] = {
        {"cut in the middle", full.substr(0, full.size() / 2), 9},
        {"end record only", full.substr(full.size() - 22), 3},
        {"empty file", std::string(), 9},
    };
    for (const auto& c : cuts) {
        SCOPED_TRACE(c.label);
        TempFolder root;
        ASSERT_TRUE(WriteFileBytes(root.File("t.zip"), c.bytes));
        EXPECT_EQ(c.expected, lib.UnZipFiles(root.File("dest").c_str(), root.File("t.zip").c_str(), nullptr, 1, 1, 1));
        EXPECT_TRUE(ListFiles(root.File("dest")).empty());
    }
    // Member data that runs into the central directory.
    std::string lying = full;
    // Compressed size of the first member in its directory record: make it huge.
    size_t directory = lying.find(std::string("PK\x01\x02", 4));
    ASSERT_NE(std::string::npos, directory);
    lying[directory + 20] = char(0xff);
    lying[directory + 21] = char(0xff);
    lying[directory + 22] = char(0x0f);
    TempFolder root;
    ASSERT_TRUE(WriteFileBytes(root.File("l.zip"), lying));
    EXPECT_EQ(2, lib.UnZipFiles(root.File("dest").c_str(), root.File("l.zip").c_str(), nullptr, 1, 1, 1));
    EXPECT_EQ((std::vector<std::string>{"b.txt"}), ListFiles(root.File("dest")));
}

TEST_F(ZipExports, MessagesAreShownUnlessQuiet) {
    MessageBoxWatcher watcher(IDOK);
    ASSERT_TRUE(WriteFileBytes(temp.File("m.zip"), BuildZip({{"../evil.txt", "x"}, {"bad.txt", "bad", true, 5}})));
    EXPECT_EQ(2, lib.UnZipFiles(temp.File("q").c_str(), temp.File("m.zip").c_str(), nullptr, 1, 1, 1));
    EXPECT_EQ(0u, watcher.Count());
    EXPECT_EQ(2, lib.UnZipFiles(temp.File("loud").c_str(), temp.File("m.zip").c_str(), nullptr, 1, 1, 0));
    ASSERT_TRUE(PumpUntil([&] { return watcher.Count() >= 2; }, 5000));
    EXPECT_TRUE(watcher.SawCaption("Warning"));
    EXPECT_TRUE(watcher.SawCaption("Error"));
    for (const auto& box : watcher.Seen()) {
        if (box.caption == "Warning") {
            EXPECT_NE(std::string::npos, box.text.find("skipping:"));
        } else if (box.caption == "Error") {
            EXPECT_NE(std::string::npos, box.text.find("error:"));
        }
    }
    // ZipFiles shows nothing, whatever the quiet flag says.
    watcher.Clear();
    EXPECT_EQ(12, lib.ZipFiles(temp.File("z.zip").c_str(), temp.File("*.none").c_str(), 0, 0, 0));
    PumpFor(100);
    EXPECT_EQ(0u, watcher.Count());
}

}  // namespace
