#include <gtest/gtest.h>
#include <cstring>
#include "util/text.h"

TEST(BoundedText, CopyAppendAndFormatAlwaysTerminate) {
    struct Case { const char* src; size_t size; const char* expected; bool complete; };
    const Case cases[] = {
        {"hello", 10, "hello", true},
        {"hello", 6, "hello", true},
        {"hello", 5, "hell", false},
        {"hello", 1, "", false},
        {"", 4, "", true},
    };
    for (const Case& c : cases) {
        char buf[16];
        memset(buf, 'x', sizeof(buf));
        EXPECT_EQ(c.complete, tess::CopyText(buf, c.size, c.src)) << c.src << " " << c.size;
        EXPECT_STREQ(c.expected, buf);
        EXPECT_EQ('x', buf[c.size]) << "wrote past the given size";
    }
    char small[8] = "abc";
    EXPECT_TRUE(tess::AppendText(small, "def"));
    EXPECT_FALSE(tess::AppendText(small, "ghi"));
    EXPECT_STREQ("abcdefg", small);
    char f[6];
    EXPECT_FALSE(tess::FormatText(f, sizeof(f), "%d-%s", 12, "long text"));
    EXPECT_STREQ("12-lo", f);
    char n[4];
    EXPECT_TRUE(tess::CopyTextN(n, sizeof(n), "abcdef", 2));
    EXPECT_STREQ("ab", n);
}
