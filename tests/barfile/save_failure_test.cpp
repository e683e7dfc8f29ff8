// Saves that cannot finish: a failure at any step of writing the file, and a
// full disk. The bar file keeps its bytes, no temporary file stays behind,
// the user is told, Save answers 0 and the bar stays marked changed.
#include "barfile_fixture.h"
#include <cstdlib>
#include <cstring>
#include <string>
#include "model/bar_file.h"
#include "util/profile_writer.h"

using namespace barfile_test;
using testing_support::FileExistsOnDisk;
using testing_support::MessageBoxWatcher;
using testing_support::NoTempFiles;
using testing_support::ReadFileBytes;
using testing_support::WriteFileBytes;

namespace {

int g_step = 0;
int g_fail_at = 0;
DWORD FailNthStep(tess::FileStep) {
    return ++g_step == g_fail_at ? ERROR_DISK_FULL : 0;
}
DWORD DiskFullOnWrite(tess::FileStep step) {
    return step == tess::FileStep::Write ? ERROR_DISK_FULL : 0;
}

// A bar of the size that was cut short on a full disk: 280 items.
std::string BigBarFile() {
    std::vector<std::string> lines = {"[Object]", "Title=Big", "[Section1]"};
    for (int i = 1; i <= 280; ++i) {
        std::string n = std::to_string(i);
        lines.push_back("Item" + n + ".Title=Program number " + n);
        lines.push_back("Item" + n + ".Action=1");
        lines.push_back("Item" + n + ".Target=C:\\Programs\\Tool " + n + "\\tool.exe");
    }
    return Lines(lines);
}

class SaveFailureTest : public BarFileTest {
protected:
    void TearDown() override {
        tess::WriterFaultHook() = nullptr;
        BarFileTest::TearDown();
    }

    // Save fails; everything must be as it was before the attempt.
    void ExpectRefusedSave(CVellumMenuObject* bar, const std::string& path,
                           const std::string& original, const std::string& label) {
        MessageBoxWatcher watcher(IDOK);
        EXPECT_EQ(0, bar->Save(const_cast<char*>(path.c_str()))) << label;
        EXPECT_EQ(original, ReadFileBytes(path)) << label;
        EXPECT_TRUE(NoTempFiles(temp_.Path())) << label;
        EXPECT_TRUE(bar->m_modified) << label;
        EXPECT_EQ(path, bar->m_barFile) << label;
        EXPECT_TRUE(testing_support::PumpUntil(
            [&] { return watcher.SawCaption("Tessellar - Saving Bar"); }, 2000))
            << label;
    }
};

}  // namespace

TEST_F(SaveFailureTest, AFailureAtAnyStepOfTheWriteKeepsTheFileAndTheChanges) {
    std::string path = WriteBarFile("big.tsbar", BigBarFile());
    CVellumMenuObject* bar = LoadBar(path);
    // A first save counts the steps of writing this bar.
    tess::WriterFaultHook() = FailNthStep;
    g_step = 0;
    g_fail_at = 0;
    ASSERT_EQ(1, bar->Save(const_cast<char*>(path.c_str())));
    const int steps = g_step;
    const std::string original = ReadFileBytes(path);
    ASSERT_GT(original.size(), 40000u);
    ASSERT_GE(steps, 7);   // the file takes several writes

    strcpy(bar->Title, "Changed");
    bar->SetModified();
    for (g_fail_at = 1; g_fail_at <= steps; ++g_fail_at) {
        g_step = 0;
        ExpectRefusedSave(bar, path, original, "step " + std::to_string(g_fail_at));
        if (HasFailure()) return;
    }
    // The position keys alone are refused the same way.
    g_step = 0;
    g_fail_at = 3;
    bar->m_placement.LastPos = {77, 88};
    {
        MessageBoxWatcher watcher(IDOK);
        EXPECT_EQ(0, bar->SavePosition());
        EXPECT_TRUE(testing_support::PumpUntil(
            [&] { return watcher.SawCaption("Tessellar - Saving Bar"); }, 2000));
    }
    EXPECT_EQ(original, ReadFileBytes(path));
    EXPECT_TRUE(NoTempFiles(temp_.Path()));

    // Once the disk takes the file, the changes arrive.
    tess::WriterFaultHook() = nullptr;
    ASSERT_EQ(1, bar->Save(const_cast<char*>(path.c_str())));
    EXPECT_FALSE(bar->m_modified);
    EXPECT_EQ("Changed", *ParseIniFile(path).Find("Object")->Get("Title"));
}

// A real full disk where the test script could mount a small one
// (TESS_FULL_DISK_FOLDER), else a disk that refuses every write.
TEST_F(SaveFailureTest, AFullDiskKeepsTheFileAndTheChanges) {
    const char* mounted = getenv("TESS_FULL_DISK_FOLDER");
    std::string folder = temp_.Path();
    if (mounted && mounted[0]) {
        std::string p = mounted;
        for (char& c : p) c = c == '/' ? '\\' : c;
        folder = "Z:" + p + "\\";
    } else {
        tess::WriterFaultHook() = DiskFullOnWrite;
    }
    const std::string path = folder + "big.tsbar";
    const std::string filler = folder + "filler.bin";
    ASSERT_TRUE(WriteFileBytes(path, BigBarFile()));
    CVellumMenuObject* bar = LoadBar(path);
    if (mounted && mounted[0]) {
        // Everything but a few bytes of the disk is taken.
        HANDLE file = CreateFileA(filler.c_str(), GENERIC_WRITE, 0, nullptr, CREATE_ALWAYS, 0,
                                  nullptr);
        ASSERT_NE(INVALID_HANDLE_VALUE, file);
        std::string block(4096, 'f');
        DWORD wrote = 0;
        while (WriteFile(file, block.data(), static_cast<DWORD>(block.size()), &wrote, nullptr) &&
               wrote == block.size()) {
        }
        for (int i = 0; i < 4096 && WriteFile(file, "f", 1, &wrote, nullptr) && wrote == 1; ++i) {
        }
        CloseHandle(file);
    }
    const std::string original = ReadFileBytes(path);
    strcpy(bar->Title, "Changed");
    bar->SetModified();
    {
        MessageBoxWatcher watcher(IDOK);
        EXPECT_EQ(0, bar->Save(const_cast<char*>(path.c_str())));
        EXPECT_TRUE(testing_support::PumpUntil(
            [&] { return watcher.SawCaption("Tessellar - Saving Bar"); }, 2000));
        ASSERT_EQ(1u, watcher.Count());
        EXPECT_NE(std::string::npos, watcher.Seen()[0].text.find(path));
    }
    EXPECT_EQ(original, ReadFileBytes(path));
    EXPECT_TRUE(NoTempFiles(folder));
    EXPECT_TRUE(bar->m_modified);

    // Room again: the save goes through.
    DeleteFileA(filler.c_str());
    tess::WriterFaultHook() = nullptr;
    EXPECT_EQ(1, bar->Save(const_cast<char*>(path.c_str())));
    EXPECT_EQ("Changed", *ParseIniFile(path).Find("Object")->Get("Title"));
    bar->m_neverSave = TRUE;   // the bar closes without writing again
    DeleteFileA(path.c_str());
    EXPECT_TRUE(NoTempFiles(folder));
}
