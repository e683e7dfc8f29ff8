// The section reader against Wine's real GetPrivateProfileSectionA, and the
// skin editor's change list.
#include <gtest/gtest.h>

#include <cstring>
#include <string>

#include "skins/ini_section_reader.h"
#include "tests/support/test_support.h"
#include "util/text.h"

using testing_support::TempFolder;

namespace {

struct StringCase {
    const char* key;
    int expected_return;
    const char* expected_text;
};

}  // namespace

TEST(IniSectionReader, AnswersKeysOnceInFileOrder) {
    TempFolder temp;
    ASSERT_TRUE(temp.Write("a.ini",
                           "[S]\r\n"
                           "Empty=\r\n"
                           "lower=5\r\n"
                           "Dup=first\r\n"
                           "Dup=second\r\n"
                           "NoEquals\r\n"
                           "Spaced = keeps the inner  blanks \r\n"
                           "Quoted=\"x y\"\r\n"
                           "Eq=a=b\r\n"
                           "Number=42abc\r\n"
                           "[Other]\r\nlower=other\r\n"));
    CIniSectionReader reader(temp.File("a.ini").c_str(), "S", nullptr);
    const StringCase cases[] = {
        {"Empty", 1, ""},               // present but empty: not the default
        {"Lower", 0, "dflt"},           // keys are case-sensitive
        {"lower", 1, "5"},
        {"lower", 0, "dflt"},           // consumed by the first read
        {"Dup", 1, "first"},            // duplicates answer in file order
        {"Dup", 1, "second"},
        {"Dup", 0, "dflt"},
        {"NoEquals", 0, "dflt"},        // a line without "=" is no pair
        {"Spaced", 1, "keeps the inner  blanks"},
        {"Eq", 1, "a=b"},               // only the first "=" splits
        {"Missing", 0, "dflt"},
    };
    for (const StringCase& c : cases) {
        char out[64];
        EXPECT_EQ(c.expected_return, reader.GetString(c.key, out, "dflt")) << c.key;
        EXPECT_STREQ(c.expected_text, out) << c.key;
    }
    // Quotes are kept: nothing is trimmed off a value.
    char quoted[64];
    EXPECT_EQ(1, reader.GetString("Quoted", quoted, ""));
    EXPECT_STREQ("\"x y\"", quoted);
    EXPECT_EQ(42, reader.GetInt("Number", 7));

    // An empty value reads as 0 for the typed lookups, not as the default.
    CIniSectionReader typed(temp.File("a.ini").c_str(), "S", nullptr);
    EXPECT_EQ(0, typed.GetInt("Empty", 9));
    EXPECT_EQ(9, typed.GetInt("Empty", 9));   // consumed
    EXPECT_EQ(0, typed.GetBool("Dup", 1));
    EXPECT_EQ(1, typed.GetInt("Missing", 1));
    EXPECT_EQ(-1, CIniSectionReader(nullptr).GetLastIndex());
}

TEST(IniSectionReader, BoolAndIntRules) {
    TempFolder temp;
    ASSERT_TRUE(temp.Write("b.ini", "[B]\r\nT1=1\r\nT2=true\r\nT3=yes\r\nT4=2\r\nT5=\r\nT6=10\r\n"
                                    "I1=-7\r\nI2=abc\r\nI3=+12x\r\n"));
    CIniSectionReader r(temp.File("b.ini").c_str(), "B", nullptr);
    struct { const char* key; int expected; } bools[] = {
        {"T1", 1}, {"T2", 0}, {"T3", 0}, {"T4", 0}, {"T5", 0}, {"T6", 1}, {"Nope", 1}};
    for (auto& c : bools) EXPECT_EQ(c.expected, r.GetBool(c.key, 1)) << c.key;
    EXPECT_EQ(-7, r.GetInt("I1", 5));
    EXPECT_EQ(0, r.GetInt("I2", 5));
    EXPECT_EQ(12, r.GetInt("I3", 5));
}

TEST(IniSectionReader, TakesAtMostAThousandLines) {
    TempFolder temp;
    std::string text = "[Many]\r\n";
    for (int i = 0; i < 1200; ++i) text += "K" + std::to_string(i) + "=" + std::to_string(i) + "\r\n";
    ASSERT_TRUE(temp.Write("many.ini", text));
    CIniSectionReader r(temp.File("many.ini").c_str(), "Many", nullptr);
    EXPECT_EQ(999, r.GetLastIndex());
    EXPECT_EQ(999, r.GetInt("K999", -1));
    EXPECT_EQ(-1, r.GetInt("K1000", -1));
    EXPECT_EQ(0, r.GetInt("K0", -1));
}

TEST(IniSectionReader, CutsAnOversizedSectionWithoutOverrun) {
    TempFolder temp;
    std::string text = "[Big]\r\n";
    std::string filler(190, 'v');
    for (int i = 0; i < 200; ++i) text += "Key" + std::to_string(i) + "=" + filler + "\r\n";
    text += "Last=end\r\n";
    ASSERT_TRUE(temp.Write("big.ini", text));
    CIniSectionReader r(temp.File("big.ini").c_str(), "Big", nullptr);
    EXPECT_GT(r.GetLastIndex(), 50);
    EXPECT_LT(r.GetLastIndex(), 100);
    char value[400];
    EXPECT_EQ(1, r.GetString("Key0", value, ""));
    EXPECT_EQ(filler, std::string(value));
    EXPECT_EQ(0, r.GetString("Last", value, "gone"));
    EXPECT_STREQ("gone", value);
    // Every pair that survived is a proper string inside the buffer.
    for (int i = 0; i <= r.GetLastIndex() + 1; ++i) {
        std::string key = "Key" + std::to_string(i);
        if (r.GetString(key.c_str(), value, "")) {
            EXPECT_LE(strlen(value), filler.size());
        }
    }
}

TEST(IniSectionReader, CopiesAreBoundedByTheCallersBuffer) {
    TempFolder temp;
    std::string long_value(5000, 'x');
    ASSERT_TRUE(temp.Write("long.ini", "[L]\r\nLong=" + long_value + "\r\n"));
    // A section name longer than the reader's own field.
    std::string long_section(1000, 's');
    CIniSectionReader nameless(temp.File("long.ini").c_str(), long_section.c_str(), nullptr);
    EXPECT_EQ(CIniSectionReader::kSectionNameSize - 1,
              static_cast<int>(strlen(nameless.GetSectionName())));

    CIniSectionReader r(temp.File("long.ini").c_str(), "L", nullptr);
    struct Guarded {
        char out[16];
        char guard[16];
    } buffer;
    memset(&buffer, 'G', sizeof(buffer));
    EXPECT_EQ(1, r.GetString("Long", buffer.out, sizeof(buffer.out), nullptr));
    EXPECT_EQ(std::string(15, 'x'), std::string(buffer.out));
    EXPECT_EQ(std::string(16, 'G'), std::string(buffer.guard, 16));
}

TEST(IniChangeList, EditsWinOverTheFile) {
    TempFolder temp;
    ASSERT_TRUE(temp.Write("skin.ini", "[General]\r\nlower=file\r\nKeep=file\r\nGone=file\r\n"
                                       "Width=3\r\n[Other]\r\nA=file\r\nB=file\r\n"));
    std::string path = temp.File("skin.ini");
    CIniChangeList changes(path.c_str());
    ASSERT_TRUE(changes.Set("GENERAL", "LOWER", "edit1", 0));
    ASSERT_TRUE(changes.Set("general", "Lower", "edit2", 0));   // same entry, newest wins
    EXPECT_EQ(1, changes.GetCount());
    ASSERT_TRUE(changes.Set("General", "Gone", nullptr, 1));   // "DeleteKey"
    ASSERT_TRUE(changes.Set("General", "Width", nullptr, 1));
    ASSERT_TRUE(changes.Set("Other", nullptr, nullptr, 1));    // "DeleteSection"
    ASSERT_TRUE(changes.Set("Other", "B", "written", 0));      // "WriteKey" after it

    CIniSectionReader r(path.c_str(), "General", &changes);
    char out[64];
    int changed = -1;
    // A change-list entry in capitals answers a lookup the file could not.
    EXPECT_EQ(1, r.GetString("Lower", out, "d", &changed));
    EXPECT_STREQ("edit2", out);
    EXPECT_EQ(1, changed);
    EXPECT_EQ(1, r.GetString("Keep", out, "d", &changed));
    EXPECT_STREQ("file", out);
    EXPECT_EQ(0, changed);
    EXPECT_EQ(1, r.GetString("Gone", out, "d"));   // a reset answers with the default
    EXPECT_STREQ("d", out);
    EXPECT_EQ(77, r.GetInt("Width", 77));

    r.Load(path.c_str(), "Other");
    EXPECT_EQ(1, r.GetString("A", out, "dA"));
    EXPECT_STREQ("dA", out);
    EXPECT_EQ(1, r.GetString("B", out, "dB"));
    EXPECT_STREQ("written", out);

    // The pending flag of a key entry is cleared once it has been read.
    r.Load(path.c_str(), "General");
    EXPECT_EQ(1, r.GetString("Lower", out, "d", &changed));
    EXPECT_EQ(0, changed);
}

TEST(IniChangeList, ResetShadowsOlderEntriesOfTheKey) {
    CIniChangeList changes("x.tsskin");
    ASSERT_TRUE(changes.Set("S", "K", "old", 0));
    ASSERT_TRUE(changes.Set("S", "K", nullptr, 1));
    ASSERT_TRUE(changes.Set("S", "K", "new", 0));   // appended after the reset
    EXPECT_EQ(2, changes.GetCount());   // the reset reused the key's entry
    int pending = 0;
    EXPECT_STREQ("new", changes.Lookup("S", "K", "d", &pending));
    EXPECT_EQ(1, pending);
    EXPECT_EQ(nullptr, changes.Lookup("T", "K", "d", &pending));
    EXPECT_EQ(0, pending);
    ASSERT_TRUE(changes.ResetSection("S"));
    EXPECT_STREQ("d", changes.Lookup("S", "K", "d", &pending));
    ASSERT_TRUE(changes.ResetKey("S", "J"));
    EXPECT_STREQ("d2", changes.Lookup("S", "J", "d2", &pending));
}

TEST(IniChangeList, StaysBoundedPastAThousandEdits) {
    CIniChangeList changes("x.tsskin");
    // Rewriting one key reuses its entry.
    for (int i = 0; i < 3000; ++i)
        ASSERT_TRUE(changes.Set("S", "K", std::to_string(i).c_str(), 0));
    EXPECT_EQ(1, changes.GetCount());
    // Resets between writes append; once full, shadowed entries make room.
    for (int i = 0; i < 3000; ++i) {
        ASSERT_TRUE(changes.Set("S", "R", std::to_string(i).c_str(), 0)) << i;
        ASSERT_TRUE(changes.Set("S", "R", nullptr, 1)) << i;
        ASSERT_LE(changes.GetCount(), CIniChangeList::kMaxEntries);
    }
    EXPECT_STREQ("2999", changes.Lookup("S", "K", "d", nullptr));
    EXPECT_STREQ("d", changes.Lookup("S", "R", "d", nullptr));

    // A list full of live edits refuses the next one and keeps every answer.
    CIniChangeList full("y.tsskin");
    for (int i = 0; i < CIniChangeList::kMaxEntries; ++i)
        ASSERT_TRUE(full.Set("S", ("K" + std::to_string(i)).c_str(), std::to_string(i).c_str(), 0));
    EXPECT_FALSE(full.Set("S", "Extra", "x", 0));
    EXPECT_TRUE(full.Set("S", "K5", "again", 0));   // an existing entry is still updated
    EXPECT_EQ(nullptr, full.Lookup("S", "Extra", "d", nullptr));
    EXPECT_STREQ("again", full.Lookup("S", "K5", "d", nullptr));
    EXPECT_STREQ("999", full.Lookup("S", "K999", "d", nullptr));
    // A reset of the whole section shadows its keys: they make room for it.
    EXPECT_TRUE(full.ResetSection("S"));
    EXPECT_EQ(1, full.GetCount());
    EXPECT_STREQ("d", full.Lookup("S", "K999", "d", nullptr));
}

TEST(IniSectionNameList, ListsNamesAndRefusesPastTheEnd) {
    TempFolder temp;
    ASSERT_TRUE(temp.Write("n.ini", "[One]\r\na=1\r\n[Two]\r\n[Three]\r\nb=2\r\n"));
    CIniSectionNameList names(temp.File("n.ini").c_str());
    ASSERT_EQ(3, names.GetCount());
    char out[32];
    EXPECT_EQ(1, names.GetName(1, out));
    EXPECT_STREQ("Two", out);
    tess::CopyText(out, "junk");
    EXPECT_EQ(0, names.GetName(3, out));
    EXPECT_STREQ("", out);
    EXPECT_EQ(0, names.GetName(-1, out));
    char tiny[3];
    EXPECT_EQ(1, names.GetName(2, tiny));
    EXPECT_STREQ("Th", tiny);
    EXPECT_EQ(0, CIniSectionNameList(nullptr).GetCount());
}

// A reader told which sections the file holds answers exactly as one that
// asks the file for every section: absent sections load empty, names match
// regardless of case, and the skin editor's pending edits still answer in a
// section the file lacks.
TEST(IniSectionNameList, KnownSectionsLoadAsTheFileAnswers) {
    TempFolder temp;
    ASSERT_TRUE(temp.Write("k.ini", "[Present]\r\nA=1\r\nB=two\r\n[Empty]\r\n"));
    const std::string file = temp.File("k.ini");
    CIniSectionNameList names(file.c_str());
    CIniChangeList changes(file.c_str());
    ASSERT_TRUE(changes.Set("Absent", "Edited", "yes", 0));
    const char* const kSections[] = {"Present", "PRESENT", "Empty", "Absent", "Missing"};
    const char* const kKeys[] = {"A", "B", "Edited", "C"};
    for (const char* section : kSections) {
        CIniSectionReader asking(&changes), knowing(&changes);
        knowing.KnowSections(&names);
        asking.Load(file.c_str(), section);
        knowing.Load(file.c_str(), section);
        EXPECT_EQ(asking.GetLastIndex(), knowing.GetLastIndex()) << section;
        for (const char* key : kKeys) {
            char a[32], k[32];
            EXPECT_EQ(asking.GetString(key, a, "-"), knowing.GetString(key, k, "-")) << section << key;
            EXPECT_STREQ(a, k) << section << " " << key;
        }
    }
    // A missing file holds no section: nothing is asked, nothing answers.
    CIniSectionNameList none(temp.File("none.ini").c_str());
    EXPECT_FALSE(none.MayHold("General"));
    EXPECT_TRUE(names.MayHold("present"));
    EXPECT_FALSE(names.MayHold("Presen"));
}

// A list cut short by its limits (more names than it keeps) cannot tell that
// a section is absent: a section past the limit still loads from the file.
TEST(IniSectionNameList, ListCutShortStillLetsEverySectionLoad) {
    TempFolder temp;
    std::string text;
    for (int i = 0; i < CIniSectionNameList::kMaxNames + 50; ++i)
        text += "[S" + std::to_string(i) + "]\r\nK=" + std::to_string(i) + "\r\n";
    ASSERT_TRUE(temp.Write("many.ini", text));
    const std::string file = temp.File("many.ini");
    CIniSectionNameList names(file.c_str());
    const std::string last = "S" + std::to_string(CIniSectionNameList::kMaxNames + 49);
    EXPECT_TRUE(names.MayHold(last.c_str()));
    CIniSectionReader reader;
    reader.KnowSections(&names);
    reader.Load(file.c_str(), last.c_str());
    EXPECT_EQ(CIniSectionNameList::kMaxNames + 49, reader.GetInt("K", -1));
}
