// The start-up value "1A:Vantrell RuvuRodevur": switched on and off through
// the server and the command line, with other programs' values left intact.
#include <gtest/gtest.h>

#include <map>

#include "tests/lanternfold/lanternfold_fixture.h"

using namespace lf_test;
using namespace testing_support;

namespace {

constexpr char kRun[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\Run";
constexpr char kRunServices[] = "SOFTWARE\\Microsoft\\Windows\\CurrentVersion\\RunServices";
constexpr char kEntry[] = "1A:Vantrell RuvuRodevur";

struct Value {
    DWORD type;
    std::string data;
    bool operator==(const Value& o) const { return type == o.type && data == o.data; }
};

// Every value of a key in enumeration order.
std::vector<std::pair<std::string, Value>> ReadKey(const char* path) {
    std::vector<std::pair<std::string, Value>> values;
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_READ, &key) != ERROR_SUCCESS) return values;
    for (DWORD i = 0;; ++i) {
        char name[1024] = {};
        std::string data(8192, '\0');
        DWORD name_size = sizeof(name), data_size = static_cast<DWORD>(data.size()), type = 0;
        if (RegEnumValueA(key, i, name, &name_size, nullptr, &type, reinterpret_cast<BYTE*>(&data[0]), &data_size) !=
            ERROR_SUCCESS)
            break;
        data.resize(data_size);
        values.push_back({name, {type, data}});
    }
    RegCloseKey(key);
    return values;
}

void SetValue(const char* path, const char* name, DWORD type, const std::string& data) {
    HKEY key = nullptr;
    ASSERT_EQ(ERROR_SUCCESS, RegCreateKeyExA(HKEY_LOCAL_MACHINE, path, 0, nullptr, 0, KEY_ALL_ACCESS, nullptr, &key,
                                             nullptr));
    RegSetValueExA(key, name, 0, type, reinterpret_cast<const BYTE*>(data.data()), static_cast<DWORD>(data.size()));
    RegCloseKey(key);
}

void DeleteValue(const char* path, const char* name) {
    HKEY key = nullptr;
    if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, path, 0, KEY_ALL_ACCESS, &key) != ERROR_SUCCESS) return;
    RegDeleteValueA(key, name);
    RegCloseKey(key);
}

// Other programs' values of several types, one of them longer than 520 bytes.
const std::map<std::string, Value>& OtherValues() {
    static const std::map<std::string, Value> values = {
        {"Alpha Agent", {REG_SZ, std::string("\"C:\\alpha\\agent.exe\" /tray") + '\0'}},
        {"Beta Helper", {REG_EXPAND_SZ, std::string("%ProgramFiles%\\beta\\helper.exe") + '\0'}},
        {"Gamma Flags", {REG_DWORD, std::string("\x2a\x00\x00\x00", 4)}},
        {"Delta Blob", {REG_BINARY, std::string(700, '\x7f')}},
        {"Epsilon List", {REG_MULTI_SZ, std::string("one\0two\0\0", 9)}},
        {"Zeta Empty", {REG_SZ, std::string(1, '\0')}},
    };
    return values;
}

class RunAtStartupTest : public ::testing::Test {
protected:
    void SetUp() override {
        DeleteValue(kRun, kEntry);
        DeleteValue(kRunServices, kEntry);
        for (const auto& v : OtherValues()) SetValue(kRun, v.first.c_str(), v.second.type, v.second.data);
    }
    void TearDown() override {
        server.Stop();
        DeleteValue(kRun, kEntry);
        DeleteValue(kRunServices, kEntry);
        for (const auto& v : OtherValues()) DeleteValue(kRun, v.first.c_str());
    }
    void ExpectOthersIntact() {
        std::map<std::string, Value> now;
        for (const auto& v : ReadKey(kRun)) now[v.first] = v.second;
        for (const auto& v : OtherValues()) {
            auto it = now.find(v.first);
            ASSERT_NE(now.end(), it) << v.first;
            EXPECT_TRUE(v.second == it->second) << v.first;
        }
    }
    int EntryCount(const char* path) {
        int n = 0;
        for (const auto& v : ReadKey(path)) n += v.first == kEntry;
        return n;
    }

    Server server;
};

}  // namespace

TEST_F(RunAtStartupTest, SwitchedOnItStandsFirstAndOffItIsGoneWithOthersIntact) {
    ASSERT_TRUE(server.Start());
    EXPECT_EQ(0, server.Send(tray::WM_TRAYQUERYAUTOSTART));
    // A stale entry in the other key is dropped: at most one entry exists.
    SetValue(kRunServices, kEntry, REG_SZ, std::string("old") + '\0');
    for (int round = 0; round < 2; ++round) {
        SCOPED_TRACE(round);
        EXPECT_EQ(1, server.Send(tray::WM_TRAYSETAUTOSTART, 1));
        EXPECT_EQ(1, server.Send(tray::WM_TRAYQUERYAUTOSTART));
        auto values = ReadKey(kRun);
        ASSERT_FALSE(values.empty());
        EXPECT_EQ(kEntry, values[0].first);
        EXPECT_EQ(REG_SZ, values[0].second.type);
        EXPECT_NE(std::string::npos, values[0].second.data.find("Lanternfold.exe\""));
        EXPECT_EQ('"', values[0].second.data[0]);
        EXPECT_EQ(1, EntryCount(kRun));
        EXPECT_EQ(0, EntryCount(kRunServices));
        ExpectOthersIntact();
    }
    EXPECT_EQ(1, server.Send(tray::WM_TRAYSETAUTOSTART, 0));
    EXPECT_EQ(0, server.Send(tray::WM_TRAYQUERYAUTOSTART));
    EXPECT_EQ(0, EntryCount(kRun));
    ExpectOthersIntact();

    // An empty entry counts as not registered.
    SetValue(kRun, kEntry, REG_SZ, std::string(1, '\0'));
    EXPECT_EQ(0, server.Send(tray::WM_TRAYQUERYAUTOSTART));
}

TEST_F(RunAtStartupTest, UpdateRegRewritesAPresentEntryAndUninstallEndsTheServer) {
    // Absent: nothing is written, and the server runs.
    ASSERT_TRUE(server.Start("-updatereg"));
    EXPECT_EQ(0, EntryCount(kRun));
    server.Stop();

    SetValue(kRun, kEntry, REG_SZ, std::string("\"C:\\old\\Lanternfold.exe\"") + '\0');
    ASSERT_TRUE(server.Start("-updatereg"));
    auto values = ReadKey(kRun);
    ASSERT_FALSE(values.empty());
    EXPECT_EQ(kEntry, values[0].first);
    EXPECT_EQ(1, EntryCount(kRun));
    ExpectOthersIntact();

    ChildProcess uninstall;
    ASSERT_TRUE(uninstall.Start("Lanternfold.exe", "-uninstall"));
    EXPECT_EQ(0, uninstall.Wait(8000));
    EXPECT_EQ(0, server.Process().Wait(3000));
    EXPECT_EQ(nullptr, FindWindowA(tray::kTrayClass, tray::kServerTitle));
    EXPECT_EQ(0, EntryCount(kRun));
    EXPECT_EQ(0, GlobalFindAtomA("TSTrayStarting"));
    ExpectOthersIntact();
}
