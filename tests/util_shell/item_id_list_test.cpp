// Item ID list helpers on hand-made lists and on real folders.
#include <gtest/gtest.h>
#include <cstring>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "util/handles.h"
#include "util/item_id_list.h"

using namespace testing_support;

namespace {

// Builds a list from records of the given payload sizes, each filled with a tag byte.
LPITEMIDLIST MakeList(const std::vector<int>& payloads) {
    UINT size = 2;
    for (int p : payloads) size += 2 + p;
    LPITEMIDLIST list = AllocPidl(size);
    BYTE* at = reinterpret_cast<BYTE*>(list);
    BYTE tag = 'a';
    for (int p : payloads) {
        USHORT cb = static_cast<USHORT>(2 + p);
        memcpy(at, &cb, 2);
        memset(at + 2, tag++, p);
        at += cb;
    }
    return list;
}

bool SameBytes(LPCITEMIDLIST a, LPCITEMIDLIST b) {
    return GetPidlSize(a) == GetPidlSize(b) && memcmp(a, b, GetPidlSize(a)) == 0;
}

std::string Parsing(LPCITEMIDLIST absolute) {
    char buf[MAX_PATH] = "";
    GetPidlDisplayName(nullptr, absolute, SHGDN_FORPARSING, buf, sizeof(buf));
    return buf;
}

TEST(ItemIdLists, SizesCopiesJoinsAndSplits) {
    LPITEMIDLIST empty = MakeList({});
    LPITEMIDLIST one = MakeList({5});
    LPITEMIDLIST three = MakeList({3, 10, 1});
    EXPECT_EQ(0u, GetPidlSize(nullptr));
    EXPECT_EQ(2u, GetPidlSize(empty));
    EXPECT_EQ(9u, GetPidlSize(one));
    EXPECT_EQ(2u + 5 + 12 + 3, GetPidlSize(three));

    LPITEMIDLIST copy = ClonePidl(three);
    EXPECT_TRUE(SameBytes(copy, three));
    EXPECT_EQ(nullptr, ClonePidl(nullptr));

    LPITEMIDLIST b_only = ConcatPidls(nullptr, three);   // a copy of the second
    EXPECT_TRUE(SameBytes(b_only, three));
    LPITEMIDLIST joined = ConcatPidls(one, three);
    EXPECT_EQ(GetPidlSize(one) + GetPidlSize(three) - 2, GetPidlSize(joined));
    EXPECT_EQ(0, memcmp(joined, one, 7));
    EXPECT_EQ(0, memcmp(reinterpret_cast<BYTE*>(joined) + 7, three, GetPidlSize(three)));
    LPITEMIDLIST with_empty = ConcatPidls(empty, one);
    EXPECT_TRUE(SameBytes(with_empty, one));

    LPITEMIDLIST parent = CloneParentPidl(three);
    LPITEMIDLIST expected_parent = MakeList({3, 10});
    EXPECT_TRUE(SameBytes(parent, expected_parent));
    LPITEMIDLIST parent_of_one = CloneParentPidl(one);   // one record: an empty list
    EXPECT_EQ(2u, GetPidlSize(parent_of_one));
    LPITEMIDLIST parent_of_empty = CloneParentPidl(empty);
    EXPECT_EQ(2u, GetPidlSize(parent_of_empty));

    LPITEMIDLIST last = nullptr;
    EXPECT_EQ(1, ClonePidlLastItem(three, &last));
    EXPECT_EQ(5u, GetPidlSize(last));
    EXPECT_EQ(0, memcmp(last, reinterpret_cast<BYTE*>(three) + 5 + 12, 3));
    LPITEMIDLIST last_of_one = nullptr;
    EXPECT_EQ(1, ClonePidlLastItem(one, &last_of_one));
    EXPECT_TRUE(SameBytes(last_of_one, one));
    LPITEMIDLIST none = reinterpret_cast<LPITEMIDLIST>(1);
    EXPECT_EQ(0, ClonePidlLastItem(nullptr, &none));
    EXPECT_EQ(nullptr, none);

    // AppendPidl takes the first list over.
    LPITEMIDLIST first = ClonePidl(one);
    LPITEMIDLIST appended = AppendPidl(first, three);
    EXPECT_TRUE(SameBytes(appended, joined));

    for (LPITEMIDLIST p : {empty, one, three, copy, b_only, joined, with_empty, parent,
                           expected_parent, parent_of_one, parent_of_empty, last, last_of_one,
                           appended})
        EXPECT_EQ(1, FreePidl(p));
    EXPECT_EQ(0, FreePidl(nullptr));
    EXPECT_EQ(0, ShellFree(nullptr));
}

TEST(ItemIdLists, RealFoldersAndFiles) {
    TempFolder tmp;
    ASSERT_TRUE(tmp.MakeFolder("sub"));
    ASSERT_TRUE(tmp.Write("sub\\file.txt", "hello"));
    std::string folder_path = tmp.Path().substr(0, tmp.Path().size() - 1);

    LPITEMIDLIST file = PidlFromPath(tmp.File("sub\\file.txt").c_str());
    ASSERT_NE(nullptr, file);
    EXPECT_EQ(0, lstrcmpiA(tmp.File("sub\\file.txt").c_str(), Parsing(file).c_str()));

    // The parent of the file's list names the folder; binding it finds the file by name.
    LPITEMIDLIST sub = CloneParentPidl(file);
    EXPECT_EQ(0, lstrcmpiA(tmp.File("sub").c_str(), Parsing(sub).c_str()));
    IShellFolder* sub_folder = BindToShellFolder(sub);
    ASSERT_NE(nullptr, sub_folder);
    LPITEMIDLIST relative = PidlFromPathInFolder(sub_folder, "file.txt");
    ASSERT_NE(nullptr, relative);
    LPITEMIDLIST last = nullptr;
    ClonePidlLastItem(file, &last);
    LPITEMIDLIST file_copy = ConcatPidls(nullptr, file);
    EXPECT_TRUE(PidlsEqual(file_copy, file));
    LPITEMIDLIST rebuilt = ConcatPidls(sub, relative);
    EXPECT_TRUE(PidlsEqual(rebuilt, file));

    char name[MAX_PATH] = "";
    EXPECT_TRUE(GetPidlDisplayName(sub_folder, relative, SHGDN_INFOLDER | SHGDN_FORPARSING, name,
                                   sizeof(name)));
    EXPECT_STREQ("file.txt", name);
    char tiny[4] = "zzz";
    GetPidlDisplayName(sub_folder, relative, SHGDN_INFOLDER | SHGDN_FORPARSING, tiny, sizeof(tiny));
    EXPECT_LT(strlen(tiny), sizeof(tiny));

    LPITEMIDLIST absolute = GetAbsolutePidl(sub_folder, relative);
    ASSERT_NE(nullptr, absolute);
    EXPECT_TRUE(PidlsEqual(absolute, file));

    char* parsing = GetPidlParsingNameInFolder(relative, sub_folder);
    ASSERT_NE(nullptr, parsing);
    EXPECT_EQ(0, lstrcmpiA(tmp.File("sub\\file.txt").c_str(), parsing));
    EXPECT_EQ(1, ShellFree(parsing));
    char* parsing2 = GetPidlParsingName(file);
    ASSERT_NE(nullptr, parsing2);
    EXPECT_EQ(0, lstrcmpiA(tmp.File("sub\\file.txt").c_str(), parsing2));
    ShellFree(parsing2);
    char* display = GetPidlName(file);
    ASSERT_NE(nullptr, display);
    EXPECT_EQ(0, strncmp("file", display, 4));
    ShellFree(display);

    IShellFolder* by_path = ShellFolderFromPath(tmp.File("sub").c_str());
    ASSERT_NE(nullptr, by_path);
    by_path->Release();
    EXPECT_EQ(nullptr, ShellFolderFromPath(tmp.File("missing").c_str()));
    EXPECT_EQ(nullptr, PidlFromPath(tmp.File("missing\\x.txt").c_str()));
    EXPECT_EQ(nullptr, BindToShellFolder(nullptr));
    EXPECT_FALSE(GetPidlDisplayName(nullptr, nullptr, SHGDN_NORMAL, name, sizeof(name)));

    // A walk visits every record down to the file, and can stop early.
    struct Walk { std::vector<std::string> names; int stop_after; };
    Walk walk{{}, 100};
    auto visit = [](IShellFolder* parent, LPCITEMIDLIST rel, void* ctx) -> bool {
        auto* w = static_cast<Walk*>(ctx);
        char n[MAX_PATH] = "";
        GetPidlDisplayName(parent, rel, SHGDN_INFOLDER | SHGDN_FORPARSING, n, sizeof(n));
        w->names.push_back(n);
        return static_cast<int>(w->names.size()) < w->stop_after;
    };
    int records = WalkPidl(file, visit, &walk);
    EXPECT_GE(records, 3);
    ASSERT_FALSE(walk.names.empty());
    EXPECT_EQ("file.txt", walk.names.back());
    EXPECT_EQ("sub", walk.names[walk.names.size() - 2]);
    Walk short_walk{{}, 1};
    EXPECT_EQ(1, WalkPidl(file, visit, &short_walk));

    // Still there, then gone.
    EXPECT_TRUE(PidlStillExists(file));
    EXPECT_EQ(nullptr, RefreshPidlFromPath(file));   // path parses back to the same list
    ASSERT_TRUE(DeleteFileA(tmp.File("sub\\file.txt").c_str()));
    EXPECT_FALSE(PidlStillExists(file));
    EXPECT_FALSE(PidlsEqual(file, sub));

    sub_folder->Release();
    for (LPITEMIDLIST p : {file, file_copy, sub, relative, last, rebuilt, absolute}) FreePidl(p);
}

TEST(ItemIdLists, DriveRootBindsToThatDrive) {
    char windows[MAX_PATH];
    ASSERT_GT(GetWindowsDirectoryA(windows, MAX_PATH), 2u);
    std::string root = std::string(windows, 2) + "\\";   // e.g. C:\ .
    LPITEMIDLIST pidl = PidlFromPath(root.c_str());
    ASSERT_NE(nullptr, pidl);
    EXPECT_EQ(0, lstrcmpiA(root.c_str(), Parsing(pidl).c_str()));
    IShellFolder* drive = BindToShellFolder(pidl);
    ASSERT_NE(nullptr, drive);
    // The Windows folder is found inside it by its own name.
    LPITEMIDLIST inside = PidlFromPathInFolder(drive, windows + 3);
    ASSERT_NE(nullptr, inside);
    char name[MAX_PATH] = "";
    ASSERT_TRUE(GetPidlDisplayName(drive, inside, SHGDN_FORPARSING, name, sizeof(name)));
    EXPECT_EQ(0, lstrcmpiA(windows, name));
    drive->Release();
    FreePidl(inside);
    FreePidl(pidl);
}

}  // namespace
