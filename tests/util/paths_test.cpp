// Full, relative and canonical paths: a table of cases per helper. A result
// that does not fit its buffer is a failure with an empty buffer, never a
// shortened path.
#include <gtest/gtest.h>
#include <windows.h>

#include <string>

#include "util/paths.h"

namespace {

TEST(PathHelpers, WhichPathsAreFull) {
    const struct {
        const char* path;
        bool full;
    } cases[] = {
        {"C:\\Themes\\a.tsbar", true},
        {"c:/Themes/a.tsbar", true},
        {"C:\\", true},
        {"\\\\server\\share\\a.tsbar", true},
        {"C:Themes\\a.tsbar", false},   // drive-relative
        {"C:", false},
        {"\\Themes\\a.tsbar", false},   // below the current drive's root
        {"Themes\\a.tsbar", false},
        {"..\\a.tsbar", false},
        {"", false},
        {nullptr, false},
    };
    for (const auto& c : cases)
        EXPECT_EQ(c.full, IsAbsolutePath(c.path)) << (c.path ? c.path : "(null)");
}

struct CombineCase {
    const char* base;
    const char* relative;
    const char* expected;   // "" for a failure
};

void ExpectCombined(const CombineCase& c, size_t size) {
    char out[1024];
    memset(out, 'x', sizeof(out));
    const bool ok = CombineCanonical(c.base, c.relative, out, size);
    EXPECT_EQ(c.expected[0] != '\0', ok) << c.base << " + " << c.relative;
    EXPECT_STREQ(c.expected, out) << c.base << " + " << c.relative;
}

TEST(PathHelpers, CombineJoinsResolvesAndRefusesWhatHasNoAnswer) {
    const CombineCase cases[] = {
        {"C:\\Bars\\", "Icons\\a.ico", "C:\\Bars\\Icons\\a.ico"},
        {"C:\\Bars", "a.ico", "C:\\Bars\\a.ico"},   // a folder without its separator
        {"C:\\Bars\\Sub\\", "..\\a.ico", "C:\\Bars\\a.ico"},
        {"C:\\Bars\\", ".\\x\\.\\y\\..\\a.ico", "C:\\Bars\\x\\a.ico"},
        {"C:\\Bars\\", "..\\..\\..\\a.ico", "C:\\a.ico"},   // ".." stops at the drive's root
        {"C:/Bars/", "Icons//a.ico", "C:\\Bars\\Icons\\a.ico"},
        {"C:\\Bars\\", "Skins\\", "C:\\Bars\\Skins\\"},
        // A full path stands for itself.
        {"C:\\Bars\\", "D:\\Other\\..\\b.ico", "D:\\b.ico"},
        {"C:\\Bars\\", "\\\\server\\share\\..\\x\\c.ico", "\\\\server\\share\\x\\c.ico"},
        {"\\\\server\\share\\Bars\\", "a.ico", "\\\\server\\share\\Bars\\a.ico"},
        // Below the root of base: the drive, or the share.
        {"C:\\Bars\\", "\\Icons\\a.ico", "C:\\Icons\\a.ico"},
        {"\\\\server\\share\\Bars\\", "\\a.ico", "\\\\server\\share\\a.ico"},
        // Drive-relative: only base's own drive has a known folder.
        {"C:\\Bars\\", "c:Icons\\a.ico", "C:\\Bars\\Icons\\a.ico"},
        {"C:\\Bars\\", "D:Icons\\a.ico", ""},
        {"", "D:Icons\\a.ico", ""},
        // Nothing to add, or no base: a relative result.
        {"C:\\Bars\\", "", ""},
        {"", "Icons\\..\\a.ico", "a.ico"},
    };
    for (const CombineCase& c : cases) ExpectCombined(c, MAX_PATH);
    char out[MAX_PATH] = "x";
    EXPECT_FALSE(CombineCanonical("C:\\", nullptr, out));
    EXPECT_STREQ("", out);
}

TEST(PathHelpers, CombineFailsRatherThanCutWhenTheResultIsTooLong) {
    const std::string folder = "C:\\" + std::string(240, 'f') + "\\";   // 244 characters
    const std::string name = std::string(20, 'n') + ".ico";            // 24 more
    const std::string whole = folder + name;                           // 268
    ExpectCombined({folder.c_str(), name.c_str(), ""}, MAX_PATH);
    ExpectCombined({folder.c_str(), name.c_str(), whole.c_str()}, whole.size() + 1);
    ExpectCombined({folder.c_str(), name.c_str(), ""}, whole.size());
    // Only the result has to fit: a long way up that ends short is fine.
    const std::string up = "..\\" + std::string(100, 'b');
    const std::string short_result = "C:\\" + std::string(100, 'b');
    ExpectCombined({folder.c_str(), up.c_str(), short_result.c_str()}, MAX_PATH);
}

TEST(PathHelpers, CanonicalFormFitsOrFails) {
    const struct {
        const char* path;
        size_t size;
        const char* expected;
    } cases[] = {
        {"C:\\a\\.\\b\\..\\c.txt", MAX_PATH, "C:\\a\\c.txt"},
        {"C:\\..\\c.txt", MAX_PATH, "C:\\c.txt"},
        {"\\\\srv\\sh\\..\\..\\x", MAX_PATH, "\\\\srv\\sh\\x"},
        {"a\\..\\..\\x", MAX_PATH, "..\\x"},   // a relative path keeps what it cannot climb
        {"C:\\a\\b", 7, "C:\\a\\b"},
        {"C:\\a\\b", 6, ""},
        {"", MAX_PATH, ""},
    };
    for (const auto& c : cases) {
        char out[MAX_PATH] = "x";
        EXPECT_EQ(c.expected[0] != '\0', CanonicalPath(c.path, out, c.size)) << c.path;
        EXPECT_STREQ(c.expected, out) << c.path;
    }
}

TEST(PathHelpers, RelativeFormOnlyWhereOneExists) {
    const struct {
        const char* folder;
        const char* path;
        const char* relative;   // "" when there is none
    } cases[] = {
        {"C:\\Theme\\", "C:\\Theme\\Bars\\a.tsbar", "Bars\\a.tsbar"},
        {"C:\\Theme", "C:\\Theme\\a.tsbar", "a.tsbar"},
        {"C:\\Theme\\Bars\\", "C:\\Theme\\Skins\\s.tsskin", "..\\Skins\\s.tsskin"},
        {"C:\\Theme\\", "C:\\Themes\\a.tsbar", "..\\Themes\\a.tsbar"},   // a longer name, not a subfolder
        {"C:\\THEME\\", "c:\\theme\\Bars\\A.tsbar", "Bars\\A.tsbar"},
        {"C:\\Theme\\", "C:\\Theme\\x\\..\\a.tsbar", "a.tsbar"},
        {"\\\\srv\\sh\\Theme\\", "\\\\srv\\sh\\a.tsbar", "..\\a.tsbar"},
        {"C:\\Theme\\", "D:\\a.tsbar", ""},
        {"\\\\srv\\sh\\Theme\\", "\\\\srv2\\sh\\a.tsbar", ""},
        {"C:\\Theme\\", "\\\\srv\\sh\\a.tsbar", ""},
        {"", "C:\\a.tsbar", ""},
        {"C:\\Theme\\", "a.tsbar", ""},
    };
    for (const auto& c : cases) {
        char out[MAX_PATH] = "x";
        EXPECT_EQ(c.relative[0] != '\0', RelativePath(c.folder, c.path, out, sizeof(out)))
            << c.folder << " -> " << c.path;
        EXPECT_STREQ(c.relative, out) << c.folder << " -> " << c.path;
    }
}

TEST(PathHelpers, StoredPathIsRelativeElseFull) {
    const struct {
        const char* folder;
        const char* path;
        size_t size;
        const char* stored;   // "" for a failure
    } cases[] = {
        {"C:\\Theme\\", "C:\\Theme\\Bars\\a.tsbar", MAX_PATH, "Bars\\a.tsbar"},
        {"C:\\Theme\\", "D:\\x\\y\\..\\a.tsbar", MAX_PATH, "D:\\x\\a.tsbar"},
        // The relative form does not fit, the full one does.
        {"C:\\a\\b\\c\\d\\e\\f\\", "C:\\z.txt", 12, "C:\\z.txt"},
        {"C:\\a\\b\\c\\d\\e\\f\\", "C:\\zzzzzzzzzzzz.txt", 12, ""},
    };
    for (const auto& c : cases) {
        char out[MAX_PATH] = "x";
        EXPECT_EQ(c.stored[0] != '\0', RelativeToFolder(c.folder, c.path, out, c.size)) << c.path;
        EXPECT_STREQ(c.stored, out) << c.path;
    }
}

}  // namespace
