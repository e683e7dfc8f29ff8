// The in-memory INI writer against the real private-profile functions: the
// same writes from the same starting file give the same bytes; and a write
// that fails at any step leaves the file as it was and no temporary file.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "util/profile_writer.h"

using namespace testing_support;

namespace {

struct Op {
    const char* section;
    const char* key;
    const char* value;   // null deletes
};

struct WriterCase {
    const char* name;
    const char* start;   // null: no file at first
    std::vector<Op> ops;
};

const char kNone[] = "\x01";   // marks a null key (delete the section)

const std::vector<WriterCase>& Cases() {
    static const std::vector<WriterCase> cases = {
        {"keys and sections in a new file", nullptr,
         {{"A", "k1", "v1"}, {"A", "k2", ""}, {"B", "x", "  lead"}, {"A", "k3", "3"},
          {"a", "K1", "updated"}, {"B", "y", "trail  "}}},
        {"empty values, keys updated twice, sections revisited", "",
         {{"Object", "Title", ""}, {"Object", "Title", "T"}, {"Section1", "Item1.Title", "A"},
          {"Object", "Late", "1"}, {"Section1", "Item1.Title", "B"}, {"Section1", "Item1.Icon", ""},
          {"Object", "Title", ""}}},
        {"blank names and values trimmed", "",
         {{" C ", "  key  ", "val "}, {"c", "key", "again"}, {"C", "new ", "1"},
          {"C", "\tx", "\ty"}, {"C", "z", "\x1az"}, {"C", "nb", "\xa0y"}}},
        {"keys before any section", "",
         {{"S", "a", "1"}, {"", "top", "t"}}},
        {"deleting keys and sections", "[S]\r\na=1\r\n[T]\r\nb=2\r\n[s]\r\nc=3\r\na=9\r\n",
         {{"S", "a", nullptr}, {"T", kNone, nullptr}, {"S", "missing", nullptr},
          {"Gone", kNone, nullptr}, {"s", "a", nullptr}}},
        {"a file read as the functions read it",
         "; lead comment\r\n\r\n[S1]\r\nk = v \r\n\r\n  ;c\r\nnoeq\r\n   \r\n[S2]  \r\nx=1\n\n\ny=2\r"
         "[bad\r\n[S1]\r\nk=dup\r\n=v\r\n=w\r\n[a]b]\r\nq=1\r\n  [ sp ]  \r\nr=1\r\n[t] junk\r\n",
         {{"S2", "new", "n"}, {"S1", "k", "changed"}, {"a]b", "q", "2"}, {"sp", "r", "2"},
          {"t", "u", "1"}, {"S1", "noeq", "now"}}},
        {"an unchanged value leaves the file alone", "[S1]\r\nk = v \r\n", {{"S1", "K", "v"}}},
        {"no line end at the end of the file", "[S1]\r\nk=v", {{"S3", "a", "b"}}},
        {"duplicate keys: the first changes", "[S]\r\na=1\r\na=2\r\n", {{"S", "A", "x"}}},
        {"bytes of the code page survive", "[S1]\r\nk=\xaf\xaf\x81x\r\n",
         {{"S1", "a", "\xaf\x90\xe9"}, {"S1", "k", "\xaf\xaf"}}},
        {"a UTF-8 file stays UTF-8", "\xef\xbb\xbf[S1]\r\nk=\xc3\xa9\r\n", {{"S1", "a", "\xe9"}}},
        {"a value with a line break", "", {{"S", "e", "a\r\nb=c"}, {"S", "f", "1"}}},
    };
    return cases;
}

void Apply(const Op& op, const std::string& file, bool through_api) {
    const char* key = op.key == kNone ? nullptr : op.key;
    if (through_api) {
        WritePrivateProfileStringA(op.section, key, op.value, file.c_str());
    } else {
        tess::WriteProfileString(op.section, key, op.value, file.c_str());
    }
}

class ProfileWriterTest : public ::testing::Test {
protected:
    void TearDown() override { tess::WriterFaultHook() = nullptr; }
    TempFolder temp_;
};

}  // namespace

// The same writes go key by key through the system and into one open
// document; the two files must be identical, byte for byte.
TEST_F(ProfileWriterTest, WritesTheBytesOfThePrivateProfileFunctions) {
    int n = 0;
    for (const WriterCase& c : Cases()) {
        ++n;
        std::string api = temp_.File("api" + std::to_string(n) + ".ini");
        std::string ours = temp_.File("ours" + std::to_string(n) + ".ini");
        if (c.start) {
            ASSERT_TRUE(WriteFileBytes(api, c.start));
            ASSERT_TRUE(WriteFileBytes(ours, c.start));
        }
        for (const Op& op : c.ops) Apply(op, api, true);
        WritePrivateProfileStringA(nullptr, nullptr, nullptr, api.c_str());

        tess::ProfileSession session(ours.c_str(), false);
        for (const Op& op : c.ops) Apply(op, ours, false);
        DWORD error = 0;
        EXPECT_TRUE(session.Commit(&error)) << c.name << ": " << error;
        EXPECT_EQ(FileExistsOnDisk(api), FileExistsOnDisk(ours)) << c.name;
        EXPECT_EQ(ReadFileBytes(api), ReadFileBytes(ours)) << c.name;

        // Each key as its own write (no session open) gives the same file.
        std::string single = temp_.File("single" + std::to_string(n) + ".ini");
        if (c.start) {
            ASSERT_TRUE(WriteFileBytes(single, c.start));
        }
        for (const Op& op : c.ops) Apply(op, single, false);
        EXPECT_EQ(ReadFileBytes(api), ReadFileBytes(single)) << c.name << " (single keys)";
    }
}

TEST_F(ProfileWriterTest, SessionsAnswerWhatTheyHoldAndLetGoWhenCommitted) {
    std::string file = temp_.File("s.ini");
    ASSERT_TRUE(WriteFileBytes(file, "[A]\r\nold=1\r\n"));
    {
        tess::ProfileSession session(file.c_str(), true);   // the file is written whole
        EXPECT_FALSE(tess::ProfileHasKey("A", "old", file.c_str()));
        EXPECT_TRUE(tess::WriteProfileString("A", "new", "2", file.c_str()));
        EXPECT_TRUE(tess::ProfileHasKey("a", "NEW", file.c_str()));
        EXPECT_EQ("[A]\r\nold=1\r\n", ReadFileBytes(file));   // nothing on disk yet
        ASSERT_TRUE(session.Commit(nullptr));
        // Committed: writes go to the file again.
        EXPECT_TRUE(tess::WriteProfileString("A", "third", "3", file.c_str()));
    }
    EXPECT_EQ("[A]\r\nnew=2\r\nthird=3\r\n", ReadFileBytes(file));
    {
        tess::ProfileSession dropped(file.c_str(), true);
        tess::WriteProfileString("A", "x", "1", file.c_str());
    }   // never committed: the file stays
    EXPECT_EQ("[A]\r\nnew=2\r\nthird=3\r\n", ReadFileBytes(file));
}

namespace {

int g_step = 0;
int g_fail_at = 0;
DWORD CountingFault(tess::FileStep) {
    return ++g_step == g_fail_at ? ERROR_DISK_FULL : 0;
}

}  // namespace

// Every step of a write fails once in turn: the target keeps its bytes, no
// temporary file stays, the error comes back. Without a fault it succeeds.
TEST_F(ProfileWriterTest, AFailureAtAnyStepLeavesTheFileAsItWas) {
    std::string file = temp_.File("f.ini");
    const std::string original = "[Keep]\r\nthis=file\r\n";
    ASSERT_TRUE(WriteFileBytes(file, original));
    std::string big;
    for (int i = 0; i < 6000; ++i) big += "Item" + std::to_string(i) + ".Title=some text\r\n";

    tess::WriterFaultHook() = CountingFault;
    g_step = 0;
    g_fail_at = 0;
    ASSERT_TRUE(tess::WriteFileReplacing(temp_.File("count.ini").c_str(), big, nullptr));
    const int steps = g_step;
    EXPECT_GE(steps, 8);   // several blocks of the file are written
    for (g_fail_at = 1; g_fail_at <= steps; ++g_fail_at) {
        g_step = 0;
        DWORD error = 0;
        EXPECT_FALSE(tess::WriteFileReplacing(file.c_str(), big, &error)) << g_fail_at;
        EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), error) << g_fail_at;
        EXPECT_EQ(original, ReadFileBytes(file)) << g_fail_at;
        EXPECT_TRUE(NoTempFiles(temp_.Path())) << g_fail_at;
    }
    // The one-key writer reports the failure instead of answering TRUE.
    g_step = 0;
    g_fail_at = 3;
    SetLastError(0);
    EXPECT_FALSE(tess::WriteProfileString("Keep", "this", "changed", file.c_str()));
    EXPECT_EQ(static_cast<DWORD>(ERROR_DISK_FULL), GetLastError());
    EXPECT_EQ(original, ReadFileBytes(file));

    tess::WriterFaultHook() = nullptr;
    ASSERT_TRUE(tess::WriteFileReplacing(file.c_str(), big, nullptr));
    EXPECT_EQ(big, ReadFileBytes(file));
    EXPECT_TRUE(NoTempFiles(temp_.Path()));
}
