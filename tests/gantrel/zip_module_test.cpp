// The ZIP module itself, as the main program's theme packages will use it:
// names relative to a base folder, the replace question's answers, and the
// member-name and wildcard rules.
#include <gtest/gtest.h>

#include "tests/gantrel/gantrel_fixtures.h"
#include "tests/support/test_support.h"
#include "util/archive/zip_archive.h"

#include <algorithm>

using namespace testing_support;
using namespace gantrel_test;
namespace zip = tess::archive;

namespace {

std::vector<std::string> Sorted(std::vector<std::string> v) {
    std::sort(v.begin(), v.end());
    return v;
}

TEST(ZipModule, NamesAreRelativeToTheBaseFolder) {
    TempFolder temp;
    ASSERT_TRUE(temp.MakeFolder("themes"));
    ASSERT_TRUE(temp.MakeFolder("themes\\Night"));
    ASSERT_TRUE(temp.MakeFolder("themes\\Night\\skins"));
    ASSERT_TRUE(temp.Write("themes\\Night\\Night.tstheme", "[Theme]"));
    ASSERT_TRUE(temp.Write("themes\\Night\\skins\\bar.tsskin", "[Skin]"));
    zip::ZipOptions options;
    options.recurse = true;
    std::string base = temp.File("themes");
    options.base_folder = base.c_str();
    ASSERT_EQ(zip::kZipOk, zip::ZipAdd(temp.File("Night.tspack").c_str(), "Night", options));

    zip::UnzipOptions unzip;
    std::string dest = temp.File("installed");
    unzip.destination = dest.c_str();
    unzip.overwrite = true;
    ASSERT_EQ(zip::kUnzipOk, zip::UnzipExtract(temp.File("Night.tspack").c_str(), unzip));
    EXPECT_EQ((std::vector<std::string>{"Night\\Night.tstheme", "Night\\skins\\bar.tsskin"}),
              Sorted(ListFiles(dest)));
    EXPECT_EQ("[Skin]", temp.Read("installed\\Night\\skins\\bar.tsskin"));
}

struct ReplaceLog {
    std::vector<zip::ReplaceAnswer> answers;
    size_t asked = 0;
    static zip::ReplaceAnswer Ask(void* context, const char*) {
        auto* self = static_cast<ReplaceLog*>(context);
        return self->answers[std::min(self->asked++, self->answers.size() - 1)];
    }
};

TEST(ZipModule, ReplaceAnswersDecideForExistingFiles) {
    struct Case {
        const char* label;
        std::vector<zip::ReplaceAnswer> answers;
        bool with_callback;
        const char* contents;   // a, b, c afterwards: N new, o old
        size_t asked;
    } cases[] = {
        {"yes, no, yes", {zip::ReplaceAnswer::kYes, zip::ReplaceAnswer::kNo, zip::ReplaceAnswer::kYes}, true, "NoN", 3},
        {"all", {zip::ReplaceAnswer::kAll}, true, "NNN", 1},
        {"none", {zip::ReplaceAnswer::kNone}, true, "ooo", 1},
        {"no callback", {zip::ReplaceAnswer::kYes}, false, "ooo", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.label);
        TempFolder temp;
        ASSERT_TRUE(temp.MakeFolder("d"));
        for (const char* name : {"d\\a.txt", "d\\b.txt", "d\\c.txt"}) ASSERT_TRUE(temp.Write(name, "o"));
        ASSERT_TRUE(WriteFileBytes(temp.File("r.zip"), BuildZip({{"a.txt", "N"}, {"b.txt", "N"}, {"c.txt", "N"}})));
        ReplaceLog log{c.answers};
        zip::UnzipOptions options;
        std::string dest = temp.File("d");
        options.destination = dest.c_str();
        options.replace = c.with_callback ? &ReplaceLog::Ask : nullptr;
        options.context = &log;
        ASSERT_EQ(zip::kUnzipOk, zip::UnzipExtract(temp.File("r.zip").c_str(), options));
        std::string got = temp.Read("d\\a.txt") + temp.Read("d\\b.txt") + temp.Read("d\\c.txt");
        EXPECT_EQ(c.contents, got);
        EXPECT_EQ(c.asked, log.asked);
        EXPECT_EQ(3u, ListFiles(dest).size());   // no temporary files left
    }
}

TEST(ZipModule, MemberNamesThatStayInside) {
    struct Case { const char* member; const char* path; } cases[] = {
        {"a/b.txt", "a\\b.txt"},      {"a\\b.txt", "a\\b.txt"},   {"./a.txt", "a.txt"},
        {"dir/", "dir\\"},            {"a//b", "a\\b"},           {"theme/skin v1.2/x", "theme\\skin v1.2\\x"},
        {"../a", nullptr},            {"a/../b", nullptr},        {"a\\..\\..\\b", nullptr},
        {"/a", nullptr},              {"\\a", nullptr},           {"C:a", nullptr},
        {"C:\\a", nullptr},           {"a:b", nullptr},           {"...", nullptr},
        {"a/. ./b", nullptr},         {"con", nullptr},           {"x/NUL.txt", nullptr},
        {"lpt1", nullptr},            {"a*b", nullptr},           {"a\tb", nullptr},
        {"", nullptr},                {"/", nullptr},             {"com10.txt", "com10.txt"},
    };
    for (const auto& c : cases) {
        char out[MAX_PATH];
        bool ok = zip::SafeMemberPath(c.member, out, sizeof out);
        if (c.path) {
            EXPECT_TRUE(ok) << c.member;
            EXPECT_STREQ(c.path, out) << c.member;
        } else {
            EXPECT_FALSE(ok) << c.member;
        }
    }
    char small[8];
    EXPECT_FALSE(zip::SafeMemberPath("a/long-name.txt", small, sizeof small));
}

TEST(ZipModule, Wildcards) {
    struct Case { const char* pattern; const char* name; bool match; } cases[] = {
        {"*", "a/b/c.txt", true},       {"*.txt", "a/b/c.txt", true},   {"*.TXT", "x.txt", true},
        {"a/*", "a/b/c", true},         {"a\\*", "a/b", true},          {"?.txt", "ab.txt", false},
        {"??.txt", "ab.txt", true},     {"b*", "a/b", false},           {"theme/sub/*", "theme/a.txt", false},
        {"x.txt", "x.txt", true},       {"x.txt", "x.txt2", false},     {"*a*b*", "xxaxxbxx", true},
    };
    for (const auto& c : cases) EXPECT_EQ(c.match, zip::MatchWildcard(c.pattern, c.name)) << c.pattern << " " << c.name;
}

}  // namespace
