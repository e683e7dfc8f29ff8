// The records that cross processes keep the 32-bit writer's layout in every
// build: blocks are built here byte by byte at the offsets a 32-bit sender
// uses, and the shared table is read (and written) byte by byte at the offsets
// a 32-bit Lanternfold or client uses, never through this build's structures.
#include <gtest/gtest.h>

#include <cstring>

#include "tests/lanternfold/lanternfold_fixture.h"

using namespace lf_test;
using namespace testing_support;

namespace {

// Field offsets of the shell's tray block as a 32-bit sender lays it out:
// signature, NIM code, then NOTIFYICONDATA (cbSize, hWnd, uID, uFlags,
// uCallbackMessage, hIcon, szTip[128], dwState, dwStateMask, ...).
struct BlockLayout {
    size_t tip_char;     // bytes per tip character
    size_t state;        // offset of dwState in the block
    size_t sent_size;    // the sender's cbSize
};
constexpr BlockLayout kWideBlock{2, 8 + 24 + 256, 952};
constexpr BlockLayout kAnsiBlock{1, 8 + 24 + 128, 504};

// The server reads the form of its own system: the wide one on NT versions
// (as Wine reports itself here), the ANSI one on Windows 95, 98 and ME.
const BlockLayout& ServerBlockLayout() {
    OSVERSIONINFOA version = {sizeof(version)};
    GetVersionExA(&version);
    return version.dwPlatformId == VER_PLATFORM_WIN32_NT ? kWideBlock : kAnsiBlock;
}

// Offsets of one 424-byte record of "TrayIconDataShared" after the 4-byte capacity.
enum RecordOffset : size_t {
    kOwner = 0, kCallback = 4, kIconId = 8, kIcon = 12, kShortTip = 16, kAlive = 80,
    kTipTick = 84, kIconTick = 88, kHidden = 92, kLongTip = 96, kBehavior = 296,
    kIconKey = 300, kReplacement = 420, kRecordSize = 424, kTableHeader = 4,
};

void Put32(std::vector<BYTE>& bytes, size_t at, uint32_t value) { memcpy(&bytes[at], &value, 4); }

uint32_t Get32(const BYTE* bytes, size_t at) {
    uint32_t value;
    memcpy(&value, bytes + at, 4);
    return value;
}

BYTE* RecordBytes(Server& server, int index) {
    return reinterpret_cast<BYTE*>(server.Table()) + kTableHeader + index * kRecordSize;
}

std::vector<BYTE> HandBuiltBlock(const BlockLayout& layout, DWORD nim, HWND owner, UINT id, UINT flags,
                                 UINT callback, const char* tip, DWORD state, DWORD state_mask) {
    std::vector<BYTE> bytes(8 + layout.sent_size, 0);
    Put32(bytes, 0, tray::kShellTraySignature);
    Put32(bytes, 4, nim);
    Put32(bytes, 8, static_cast<uint32_t>(layout.sent_size));
    Put32(bytes, 12, static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(owner)));
    Put32(bytes, 16, id);
    Put32(bytes, 20, flags);
    Put32(bytes, 24, callback);
    Put32(bytes, 28, 0);   // no icon: another process's icon is no use under Wine
    for (size_t i = 0; tip[i] && i < 128; ++i) bytes[32 + i * layout.tip_char] = static_cast<BYTE>(tip[i]);
    Put32(bytes, layout.state, state);
    Put32(bytes, layout.state + 4, state_mask);
    return bytes;
}

class RecordLayoutTest : public ServerWithListenerTest {};

}  // namespace

TEST_F(RecordLayoutTest, BlocksBuiltAtThe32BitOffsetsAreRecordedAtThe32BitOffsets) {
    struct Case {
        const BlockLayout& layout;
        UINT id;
        UINT flags;
        UINT callback;
        const char* tip;
        DWORD state;
        int32_t expect_callback;   // -1 without NIF_MESSAGE
        int32_t expect_hidden;
    };
    const Case cases[] = {
        {kWideBlock, 7, NIF_MESSAGE | NIF_TIP, 0x8123, "wide tip", 0, 0x8123, 0},
        {kAnsiBlock, 8, NIF_MESSAGE | NIF_TIP, 0x8456, "ansi tip", 0, 0x8456, 0},
        {kWideBlock, 9, NIF_TIP | NIF_STATE, 0, "hidden wide", NIS_HIDDEN, -1, 1},
    };
    const BlockLayout& served = ServerBlockLayout();
    int index = 0;
    for (const Case& c : cases) {
        if (&c.layout != &served) continue;   // each case in the form the server reads
        SCOPED_TRACE(c.tip);
        HWND owner = CreateOwner();
        std::vector<BYTE> bytes = HandBuiltBlock(c.layout, NIM_ADD, owner, c.id, c.flags, c.callback, c.tip,
                                                 c.state, c.state);
        EXPECT_EQ(1, SendBlock(server.Window(), tray::kShellTrayCopyDataId, bytes));
        const BYTE* record = RecordBytes(server, index);
        EXPECT_EQ(static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(owner)), Get32(record, kOwner));
        EXPECT_EQ(static_cast<uint32_t>(c.expect_callback), Get32(record, kCallback));
        EXPECT_EQ(c.id, Get32(record, kIconId));
        EXPECT_EQ(0u, Get32(record, kIcon));
        EXPECT_EQ(c.tip, Field(reinterpret_cast<const char*>(record + kShortTip), 64));
        EXPECT_EQ(c.tip, Field(reinterpret_cast<const char*>(record + kLongTip), 200));
        EXPECT_EQ(1u, Get32(record, kAlive));
        EXPECT_NE(0u, Get32(record, kTipTick));
        EXPECT_EQ(static_cast<uint32_t>(c.expect_hidden), Get32(record, kHidden));
        EXPECT_EQ(0u, Get32(record, kBehavior));
        EXPECT_NE("", Field(reinterpret_cast<const char*>(record + kIconKey), 120));
        EXPECT_EQ(0u, Get32(record, kReplacement));
        EXPECT_EQ(0u, Get32(RecordBytes(server, index + 1), kOwner));   // the table ends here
        ++index;
    }
    EXPECT_GT(index, 0);
    EXPECT_EQ(100u, Get32(reinterpret_cast<const BYTE*>(server.Table()), 0));   // the capacity
}

TEST_F(RecordLayoutTest, RecordsWrittenAtThe32BitOffsetsAreReadByTheServer) {
    // Two icons through the server, then a client (as a 32-bit one would)
    // clears the first record's alive flag by its offset and asks for a purge.
    HWND first = CreateOwner(), second = CreateOwner();
    ASSERT_EQ(1, SendIcon(server.Window(), {NIM_ADD, first, 11, NIF_TIP, 0, nullptr, L"first"}));
    ASSERT_EQ(1, SendIcon(server.Window(), {NIM_ADD, second, 12, NIF_TIP, 0, nullptr, L"second"}));
    const uint32_t cleared = 0;
    memcpy(RecordBytes(server, 0) + kAlive, &cleared, 4);
    listener.seen.clear();
    EXPECT_EQ(0, server.Send(tray::WM_TRAYPURGEDEAD));
    ASSERT_EQ(1u, listener.seen.size());
    EXPECT_EQ(tray::TRAYNOTIFY_DELETE, listener.seen[0].Code());
    EXPECT_EQ(11, listener.seen[0].Index());
    // The second record moved up whole: its owner and id at the first record's offsets.
    EXPECT_EQ(static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(second)), Get32(RecordBytes(server, 0), kOwner));
    EXPECT_EQ(12u, Get32(RecordBytes(server, 0), kIconId));
    EXPECT_EQ("second", Field(reinterpret_cast<const char*>(RecordBytes(server, 0) + kLongTip), 200));
    EXPECT_EQ(0u, Get32(RecordBytes(server, 1), kOwner));
    DestroyWindow(first);
    DestroyWindow(second);
}

TEST_F(RecordLayoutTest, TruncatedOrUnsignedBlocksAreNotRecorded) {
    const BlockLayout& layout = ServerBlockLayout();
    HWND owner = CreateOwner();
    std::vector<BYTE> whole = HandBuiltBlock(layout, NIM_ADD, owner, 5, NIF_TIP, 0, "x", 0, 0);
    std::vector<BYTE> unsigned_block = whole;
    Put32(unsigned_block, 0, 0x12345678);
    struct Case {
        const char* name;
        std::vector<BYTE> bytes;
    } cases[] = {
        // Cut before dwStateMask ends: a 64-bit NOTIFYICONDATA prefix is as short.
        {"cut short", std::vector<BYTE>(whole.begin(), whole.begin() + layout.state + 4)},
        {"no signature", unsigned_block},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        SendBlock(server.Window(), tray::kShellTrayCopyDataId, c.bytes);
        EXPECT_EQ(0u, Get32(RecordBytes(server, 0), kOwner));
    }
    DestroyWindow(owner);
}
