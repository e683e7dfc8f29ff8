// Icon groups read out of the fixture library and written back as .ico
// files, compared byte by byte with the files the library was built from;
// damaged image blocks are refused before any pointer into them is made.
#include <gtest/gtest.h>

#include <windows.h>

#include <cstring>
#include <string>
#include <vector>

#include "tests/icons/icons_fixture.h"
#include "tests/support/test_support.h"
#include "util/icon_files.h"

using namespace testing_support;
using namespace icons_test;

namespace {

struct ImageFields {
    int width, height, colorBits;
    size_t xorOffset, andOffset;   // from the start of the block
};

struct GroupCase {
    int group;
    const char* source;
    std::vector<ImageFields> images;
};

// 16 x 16 4-bit: 40 + 16 x 4 palette, XOR 8 bytes a line; 32 x 32 8-bit: 40 +
// 256 x 4, XOR 32 a line; 16 x 16 32-bit: no palette; 24 x 24 8-bit with 20
// colours used: 40 + 20 x 4, XOR 24 a line.
const GroupCase kGroups[] = {
    {0, "first.ico", {{16, 16, 4, 104, 104 + 8 * 16}, {32, 32, 8, 1064, 1064 + 32 * 32}}},
    {1, "second.ico", {{16, 16, 32, 40, 40 + 64 * 16}, {24, 24, 8, 120, 120 + 24 * 24}}},
};

TEST(IconFiles, GroupsComeBackAsTheirSourceFilesWithZeroedImageSizes) {
    TempFolder tmp;
    for (const GroupCase& c : kGroups) {
        SCOPED_TRACE(c.source);
        auto icon = ExtractIconGroup(FixtureLibrary().c_str(), c.group);
        ASSERT_NE(nullptr, icon);
        EXPECT_EQ(FixtureLibrary(), icon->sourcePath);
        ASSERT_EQ(c.images.size(), icon->images.size());
        for (size_t i = 0; i < c.images.size(); ++i) {
            const IconImage& image = icon->images[i];
            const ImageFields& want = c.images[i];
            EXPECT_EQ(want.width, image.width);
            EXPECT_EQ(want.height, image.height);
            EXPECT_EQ(want.colorBits, image.colorBits);
            EXPECT_EQ(want.xorOffset, static_cast<size_t>(image.xorBits - image.data.data()));
            EXPECT_EQ(want.andOffset, static_cast<size_t>(image.andBits - image.data.data()));
        }
        const std::string target = tmp.File(c.source);
        ASSERT_EQ(1, WriteIconFile(*icon, target.c_str()));
        const std::string source = ReadFileBytes(FixtureIcon(c.source));
        ASSERT_FALSE(source.empty());
        EXPECT_EQ(WithZeroedImageSizes(source), ReadFileBytes(target));
    }
}

// The directory fields read straight from the written file.
TEST(IconFiles, DirectoryFollowsTheIcoLayout) {
    TempFolder tmp;
    auto icon = ExtractIconGroup(FixtureLibrary().c_str(), 0);
    ASSERT_NE(nullptr, icon);
    ASSERT_EQ(1, WriteIconFile(*icon, tmp.File("a.ico").c_str()));
    const std::string file = ReadFileBytes(tmp.File("a.ico"));
    auto u8 = [&](size_t at) { return static_cast<unsigned>(static_cast<unsigned char>(file.at(at))); };
    auto u16 = [&](size_t at) { return u8(at) | (u8(at + 1) << 8); };
    auto u32 = [&](size_t at) { return u16(at) | (u16(at + 2) << 16); };
    EXPECT_EQ(0u, u16(0));
    EXPECT_EQ(1u, u16(2));
    EXPECT_EQ(2u, u16(4));
    struct Entry { unsigned width, height, colours, bits, size, offset; };
    const size_t first = icon->images[0].data.size(), second = icon->images[1].data.size();
    const Entry want[] = {{16, 16, 16, 4, unsigned(first), 6 + 32},
                          {32, 32, 0, 8, unsigned(second), unsigned(6 + 32 + first)}};
    for (size_t i = 0; i < 2; ++i) {
        SCOPED_TRACE(i);
        const size_t at = 6 + 16 * i;
        EXPECT_EQ(want[i].width, u8(at));
        EXPECT_EQ(want[i].height, u8(at + 1));
        EXPECT_EQ(want[i].colours, u8(at + 2));
        EXPECT_EQ(0u, u8(at + 3));
        EXPECT_EQ(1u, u16(at + 4));
        EXPECT_EQ(want[i].bits, u16(at + 6));
        EXPECT_EQ(want[i].size, u32(at + 8));
        EXPECT_EQ(want[i].offset, u32(at + 12));
        EXPECT_EQ(40u, u32(want[i].offset));           // the DIB header starts there
        EXPECT_EQ(0u, u32(want[i].offset + 20));       // its image size written as 0
    }
    EXPECT_EQ(6 + 32 + first + second, file.size());
}

TEST(IconFiles, MissingOrDamagedGroupsGiveNothing) {
    const struct {
        std::string module;
        int group;
    } cases[] = {
        {FixtureLibrary(), 2},                        // its image is cut short
        {FixtureLibrary(), 3},                        // no such group
        {FixtureLibrary(), -1},
        {BinFolder() + "\\no_such_module.dll", 0},
        {"", 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.module + " " + std::to_string(c.group));
        EXPECT_EQ(nullptr, ExtractIconGroup(c.module.c_str(), c.group));
    }
}

// A block made from a good 16 x 16 4-bit image, then damaged.
std::vector<BYTE> GoodBlock() {
    auto icon = ExtractIconGroup(FixtureLibrary().c_str(), 0);
    return icon ? icon->images[0].data : std::vector<BYTE>();
}

TEST(IconFiles, ImageBlocksMustHoldWhatTheirHeaderPromises) {
    const std::vector<BYTE> good = GoodBlock();
    ASSERT_EQ(104u + 8 * 16 + 4 * 16, good.size());
    auto header = [](std::vector<BYTE>& block) { return reinterpret_cast<BITMAPINFOHEADER*>(block.data()); };
    const struct {
        const char* name;
        bool ok;
        void (*damage)(std::vector<BYTE>&, BITMAPINFOHEADER*);
    } cases[] = {
        {"whole", true, [](std::vector<BYTE>&, BITMAPINFOHEADER*) {}},
        {"one AND byte short", false, [](std::vector<BYTE>& b, BITMAPINFOHEADER*) { b.pop_back(); }},
        {"header only", false, [](std::vector<BYTE>& b, BITMAPINFOHEADER*) { b.resize(40); }},
        {"shorter than a header", false, [](std::vector<BYTE>& b, BITMAPINFOHEADER*) { b.resize(39); }},
        {"header size beyond block", false, [](std::vector<BYTE>&, BITMAPINFOHEADER* h) { h->biSize = 100000; }},
        {"header size too small", false, [](std::vector<BYTE>&, BITMAPINFOHEADER* h) { h->biSize = 12; }},
        {"huge colour table", false, [](std::vector<BYTE>&, BITMAPINFOHEADER* h) { h->biClrUsed = 0x40000000; }},
        {"huge width", false, [](std::vector<BYTE>&, BITMAPINFOHEADER* h) { h->biWidth = 0x7FFFFFFF; }},
        {"negative height", false, [](std::vector<BYTE>&, BITMAPINFOHEADER* h) { h->biHeight = -32; }},
        {"no colour bits", false, [](std::vector<BYTE>&, BITMAPINFOHEADER* h) { h->biBitCount = 0; }},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        IconImage image;
        image.data = good;
        c.damage(image.data, header(image.data));
        EXPECT_EQ(c.ok, AdjustIconImagePointers(image));
        if (!c.ok) {
            EXPECT_EQ(nullptr, image.header);
        }
    }
}

TEST(IconFiles, AFileThatCannotBeMadeIsReportedWithItsPath) {
    MessageBoxWatcher boxes(IDOK);
    TempFolder tmp;
    auto icon = ExtractIconGroup(FixtureLibrary().c_str(), 0);
    ASSERT_NE(nullptr, icon);
    const std::string target = tmp.File("no such folder\\x.ico");
    EXPECT_EQ(0, WriteIconFile(*icon, target.c_str()));
    ASSERT_TRUE(PumpUntil([&] { return boxes.Count() > 0; }, 3000));
    EXPECT_EQ(target, boxes.Seen()[0].caption);
    EXPECT_EQ("Error Opening File for Writing", boxes.Seen()[0].text);
    // An icon without parsed images writes nothing at all.
    IconResource empty;
    EXPECT_EQ(0, WriteIconFile(empty, tmp.File("empty.ico").c_str()));
    EXPECT_FALSE(FileExistsOnDisk(tmp.File("empty.ico")));
}

}  // namespace
