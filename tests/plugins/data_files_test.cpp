// The record of plug-in data files a bar save leaves, and the sweep when a
// theme closes.
#include "plugin_fixture.h"
#include "types/plugin_data_files.h"

namespace plugin_test {
namespace {

bool Exists(const std::string& path) { return GetFileAttributesA(path.c_str()) != INVALID_FILE_ATTRIBUTES; }

std::string Upper(std::string text) {
    for (char& c : text) c = static_cast<char>(toupper(static_cast<unsigned char>(c)));
    return text;
}

class DataFilesTest : public PluginTest {
protected:
    void SetUp() override {
        PluginTest::SetUp();
        data_ = bars_ + "Data\\";
        CreateDirectoryA(data_.c_str(), nullptr);
        CreateDirectoryA((data_ + "sub").c_str(), nullptr);
    }
    void Touch(const std::string& name) { ASSERT_TRUE(testing_support::WriteFileBytes(data_ + name, "x")); }
    // A bar of the theme with one probe item that registers these at its save.
    CVellumMenuObject* SaveBarRegistering(const std::vector<std::string>& settings) {
        std::string dll = Probe("keeper", settings);
        std::string file = WriteFile("Keeper.tsbar",
                                     BarLines("Keeper", {100, 100, 400, 130}, false,
                                              {"[Section1]", "Item1.Type=Plugin", "Item1.Title=Keeper",
                                               "Item1.Plugin=" + dll}));
        CVellumMenuObject* bar = LoadBar(file);
        EXPECT_EQ(1, bar->Save(const_cast<char*>(file.c_str())));
        return bar;
    }
    std::string data_;
};

TEST_F(DataFilesTest, RegisteredFilesStayByFullPathOrShortNameAndTheRestGo) {
    for (const char* name : {"keep.dat", "short.dat", "junk.dat", "sub\\junk2.dat"}) Touch(name);
    // Case does not matter on either side.
    SaveBarRegistering({"RegisterFiles=" + Upper(data_ + "keep.dat") + "|Short.DAT"});
    std::string record = data_ + kDataFileRecordName;
    char value[8] = "";
    GetPrivateProfileStringA("Keeper.tsbar", "short.dat", "", value, sizeof(value), record.c_str());
    EXPECT_STREQ("1", value);

    SweepPluginDataFiles(bars_.c_str());
    EXPECT_TRUE(Exists(data_ + "keep.dat"));
    EXPECT_TRUE(Exists(data_ + "short.dat"));
    EXPECT_FALSE(Exists(data_ + "junk.dat"));
    EXPECT_FALSE(Exists(data_ + "sub\\junk2.dat"));
    EXPECT_TRUE(Exists(data_ + "sub"));
    EXPECT_TRUE(Exists(record));
}

TEST_F(DataFilesTest, FifteenHundredRegisteredFilesAllStay) {
    for (int i = 1; i <= 1500; ++i) Touch("file" + std::to_string(i) + ".dat");
    Touch("junk.dat");
    SaveBarRegistering({"RegisterCount=1500"});
    SweepPluginDataFiles(bars_.c_str());
    int kept = 0;
    for (int i = 1; i <= 1500; ++i) kept += Exists(data_ + "file" + std::to_string(i) + ".dat");
    EXPECT_EQ(1500, kept);
    EXPECT_FALSE(Exists(data_ + "junk.dat"));
}

TEST_F(DataFilesTest, WithoutARecordOrAThemeFolderNothingIsDeleted) {
    Touch("junk.dat");
    SweepPluginDataFiles(bars_.c_str());
    EXPECT_TRUE(Exists(data_ + "junk.dat"));
    // No theme: never a data folder relative to wherever the process stands.
    SweepPluginDataFiles("");
    EXPECT_TRUE(Exists(data_ + "junk.dat"));
}

TEST_F(DataFilesTest, ABarSaveReplacesOnlyItsOwnRecordAndOnlyWhenItSucceeded) {
    Touch("old.dat");
    Touch("new.dat");
    CVellumMenuObject* bar = SaveBarRegistering({"RegisterFiles=old.dat"});
    std::string record = data_ + kDataFileRecordName;
    WritePrivateProfileStringA("Other.tsbar", "other.dat", "1", record.c_str());
    // A save that cannot reach the disk keeps what the file on disk still needs.
    WritePrivateProfileStringA("Probe", "RegisterFiles", "new.dat",
                               (files_.Path() + "keeper.dll.ini").c_str());
    std::string bad = files_.Path() + "no such folder\\Keeper.tsbar";
    testing_support::MessageBoxWatcher boxes(IDOK);
    EXPECT_EQ(0, bar->Save(const_cast<char*>(bad.c_str())));
    char value[8] = "";
    GetPrivateProfileStringA("Keeper.tsbar", "old.dat", "", value, sizeof(value), record.c_str());
    EXPECT_STREQ("1", value);
    // A good save replaces the bar's record and leaves the other bar's.
    std::string good = bars_ + "Keeper.tsbar";
    EXPECT_EQ(1, bar->Save(const_cast<char*>(good.c_str())));
    GetPrivateProfileStringA("Keeper.tsbar", "old.dat", "", value, sizeof(value), record.c_str());
    EXPECT_STREQ("", value);
    GetPrivateProfileStringA("Keeper.tsbar", "new.dat", "", value, sizeof(value), record.c_str());
    EXPECT_STREQ("1", value);
    GetPrivateProfileStringA("Other.tsbar", "other.dat", "", value, sizeof(value), record.c_str());
    EXPECT_STREQ("1", value);
}

}  // namespace
}  // namespace plugin_test
