// The standard commands' queries through the item's one door: names by set,
// the set of a command, the set lists and set keys; and a number outside
// the table, which names "(not implimented)" and runs nothing.
#include <gtest/gtest.h>
#include <windows.h>

#include <set>
#include <string>

#include "model/standard_commands.h"
#include "model/vellum_menu_item.h"

namespace {

// An item outside any bar: the queries need nothing of a bar.
struct BlankItem {
    CVellumMenuItem item{static_cast<void*>(nullptr)};
    std::string Name(int set, int command, int* result = nullptr) {
        char name[kStandardCommandNameSize] = "unchanged";
        int r = item.ExecuteStandardCommand(set, command, name, nullptr);
        if (result) *result = r;
        return name;
    }
    std::string SetKey(int set, int* result) {
        char key[kStandardCommandNameSize] = "unchanged";
        *result = item.ExecuteStandardCommand(set, 0, nullptr, key);
        return key;
    }
    int SetOf(int command) { return item.ExecuteStandardCommand(-2, command, nullptr, nullptr); }
};

TEST(CommandQueries, NamesAnswerForTheirOwnSetOrAnySet) {
    BlankItem b;
    struct Case {
        int set, command;
        const char* name;
    } const cases[] = {
        {3, 13, "Copy"},   {0, 13, ""},    {-1, 13, "Copy"},
        {-1, 0, "(No Action)"},            {2, 0, ""},
        {-1, 6, "Label - Nothing??"},      {-1, 40, "Toggle Layer Volitility"},
        {4, 40, ""},       {1, 49, "Log Off Dialog..."},
        {2, 45, "Close this and related popups."},
    };
    for (const Case& c : cases) {
        int result = -5;
        EXPECT_EQ(c.name, b.Name(c.set, c.command, &result)) << c.set << " " << c.command;
        EXPECT_EQ(1, result) << c.command;
    }
}

TEST(CommandQueries, SetOfACommand) {
    BlankItem b;
    struct Case {
        int command, set;
    } const cases[] = {{12, 3}, {2, 4}, {4, 0}, {44, 1}, {10, 2}, {1, 2},
                       {0, -1}, {6, -1}, {39, -1}, {40, -1}, {41, -1}, {99, -1}, {-3, -1}};
    for (const Case& c : cases) EXPECT_EQ(c.set, b.SetOf(c.command)) << c.command;
}

TEST(CommandQueries, SetListsAgreeWithTheSetOfEachCommand) {
    const int lengths[] = {6, 7, 12, 8, 12};
    std::set<int> listed;
    for (int set = 0; set < 5; ++set) {
        int n = 0;
        while (GetStandardCommandInSet(set, n)) {
            int command = GetStandardCommandInSet(set, n);
            EXPECT_EQ(set, StandardCommandSetOf(command)) << command;
            EXPECT_TRUE(listed.insert(command).second) << command << " listed twice";
            ++n;
        }
        EXPECT_EQ(lengths[set], n) << "set " << set;
    }
    EXPECT_EQ(12, GetStandardCommandInSet(3, 1));   // "Cut"
    EXPECT_EQ(0, GetStandardCommandInSet(3, 8));
    EXPECT_EQ(0, GetStandardCommandInSet(5, 0));
    EXPECT_EQ(0, GetStandardCommandInSet(-1, 0));
    // Every command but the five that belong to no set is listed once.
    EXPECT_EQ(45u, listed.size());
    for (int command : {0, 6, 39, 40, 41}) EXPECT_EQ(0u, listed.count(command)) << command;
}

TEST(CommandQueries, SetKeys) {
    BlankItem b;
    const char* keys[] = {"ZerothSet", "FirstSet", "SecondSet", "ThirdSet"};
    for (int set = 0; set < 4; ++set) {
        int result = -5;
        EXPECT_EQ(keys[set], b.SetKey(set, &result));
        EXPECT_EQ(1, result);
    }
    int result = -5;
    EXPECT_EQ("", b.SetKey(4, &result));
    EXPECT_EQ(0, result);
}

TEST(CommandQueries, ANumberOutsideTheTableIsNotImplementedAndRunsNothing) {
    BlankItem b;
    int result = -5;
    EXPECT_EQ("(not implimented)", b.Name(-1, 99, &result));
    EXPECT_EQ(0, result);
    EXPECT_EQ("(not implimented)", b.Name(3, 50, &result));
    EXPECT_EQ(0, result);
    EXPECT_EQ(0, b.item.ExecuteStandardCommand(-1, 99, nullptr, nullptr));
    EXPECT_EQ(0, b.item.ExecuteStandardCommand(3, -1, nullptr, nullptr));
    // Commands that do nothing still ran.
    EXPECT_EQ(1, b.item.ExecuteStandardCommand(-1, 0, nullptr, nullptr));
    EXPECT_EQ(1, b.item.ExecuteStandardCommand(-1, 6, nullptr, nullptr));
}

TEST(CommandQueries, EveryCommandHasANameThatFitsTheBuffer) {
    for (int command = 0; command < kStandardCommandCount; ++command) {
        const char* name = StandardCommandName(command);
        ASSERT_NE(nullptr, name) << command;
        EXPECT_GT(strlen(name), 0u) << command;
        EXPECT_LT(strlen(name), static_cast<size_t>(kStandardCommandNameSize)) << command;
    }
    EXPECT_EQ(nullptr, StandardCommandName(kStandardCommandCount));
}

}  // namespace
