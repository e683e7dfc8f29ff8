// The shared icon table and the pass-on, driven through the real server with
// hand-built Windows-layout blocks and read back from the mapping.
#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <functional>
#include <thread>

#include "tests/lanternfold/lanternfold_fixture.h"

using namespace lf_test;
using namespace testing_support;
using tray::TrayIconRecord;

namespace {

std::string OwnProgramName() {
    char path[MAX_PATH] = {};
    GetModuleFileNameA(nullptr, path, MAX_PATH);
    const char* slash = strrchr(path, '\\');
    return slash ? slash + 1 : path;
}

std::string KeyFor(UINT id) {
    char hex[16];
    snprintf(hex, sizeof(hex), "%x", id);
    return OwnProgramName() + hex;
}

HICON MakeIcon() {
    BYTE and_bits[32 * 4];
    BYTE xor_bits[32 * 4];
    memset(and_bits, 0x00, sizeof(and_bits));
    memset(xor_bits, 0xFF, sizeof(xor_bits));
    return CreateIcon(GetModuleHandleA(nullptr), 32, 32, 1, 1, and_bits, xor_bits);
}

uint32_t Raw(HWND w) { return static_cast<uint32_t>(reinterpret_cast<UINT_PTR>(w)); }

class IconTableTest : public ServerWithListenerTest {
protected:
    // Sends and returns the notifications that the block caused.
    std::vector<Notification> Apply(const IconBlock& b, LRESULT* reply) {
        listener.seen.clear();
        *reply = SendIcon(server.Window(), b);
        return listener.seen;
    }
};

}  // namespace

TEST_F(IconTableTest, WindowsLayoutMessagesGiveTheTableAndNotifications) {
    HWND a = CreateOwner(), b = CreateOwner(), c = CreateOwner(), stranger = CreateOwner();
    HICON icon = MakeIcon();
    const std::wstring hundred(100, L'h');
    const std::wstring full128(128, L'u');   // fills the field: no terminator
    DWORD before_tick = 0;

    struct Step {
        const char* name;
        IconBlock block;
        LRESULT reply;
        int notified_wp;      // INT_MIN: no notification
        WORD code;
        std::function<void(const Server&)> check;
    };
    const int kNone = INT_MIN;
    std::vector<Step> steps = {
        {"add with message and tip", {NIM_ADD, a, 1, NIF_MESSAGE | NIF_TIP, 0x8001, nullptr, L"Alpha"}, 1, 0,
         tray::TRAYNOTIFY_ADD,
         [&](const Server& s) {
             const TrayIconRecord& r = s.Entry(0);
             EXPECT_EQ(Raw(a), r.owner);
             EXPECT_EQ(0x8001, r.callback_message);
             EXPECT_EQ(1u, r.icon_id);
             EXPECT_EQ(0u, r.icon);
             EXPECT_EQ("Alpha", Field(r.short_tip, 64));
             EXPECT_EQ("Alpha", Field(r.long_tip, 200));
             EXPECT_EQ(1, r.alive);
             EXPECT_EQ(0, r.hidden);
             EXPECT_EQ(0, r.behavior);
             EXPECT_NE(0u, r.tip_tick);
             EXPECT_EQ(r.tip_tick, r.icon_tick);
             EXPECT_EQ(0, lstrcmpiA(KeyFor(1).c_str(), Field(r.icon_key, 120).c_str())) << Field(r.icon_key, 120);
             EXPECT_EQ(0u, s.Entry(1).owner);
         }},
        {"add hidden with icon, no message", {NIM_ADD, b, 2, NIF_ICON | NIF_TIP | NIF_STATE, 0, icon,
                                              L"Beta\r\nsecond line", NIS_HIDDEN, NIS_HIDDEN}, 1, 1,
         tray::TRAYNOTIFY_ADD,
         [&](const Server& s) {
             const TrayIconRecord& r = s.Entry(1);
             EXPECT_EQ(Raw(b), r.owner);
             EXPECT_EQ(-1, r.callback_message);
             EXPECT_EQ(1, r.hidden);
             EXPECT_EQ("Beta\r\nsecond line", Field(r.long_tip, 200));
         }},
        {"add third", {NIM_ADD, c, 3, NIF_TIP, 0, nullptr, L"Gamma"}, 1, 2, tray::TRAYNOTIFY_ADD,
         [&](const Server& s) { EXPECT_EQ(3, s.Count()); }},
        {"duplicate add updates in place", {NIM_ADD, a, 1, NIF_TIP, 0, nullptr, L"Alpha 2"}, 1, 0,
         tray::TRAYNOTIFY_ADD,
         [&](const Server& s) {
             EXPECT_EQ(3, s.Count());
             EXPECT_EQ("Alpha 2", Field(s.Entry(0).long_tip, 200));
             EXPECT_EQ(0x8001, s.Entry(0).callback_message);
             before_tick = s.Entry(0).icon_tick;
             Sleep(60);
         }},
        {"modify with NIF_ICON and no icon keeps icon and tick",
         {NIM_MODIFY, a, 1, NIF_ICON | NIF_TIP, 0, nullptr, L"Alpha 3"}, 1, 0, tray::TRAYNOTIFY_MODIFY,
         [&](const Server& s) {
             EXPECT_EQ(before_tick, s.Entry(0).icon_tick);
             EXPECT_GT(s.Entry(0).tip_tick, before_tick);
             EXPECT_EQ("Alpha 3", Field(s.Entry(0).short_tip, 64));
             Sleep(60);
         }},
        {"modify with an icon stamps the icon tick", {NIM_MODIFY, a, 1, NIF_ICON, 0, icon}, 1, 0,
         tray::TRAYNOTIFY_MODIFY,
         [&](const Server& s) {
             EXPECT_GT(s.Entry(0).icon_tick, before_tick);
             EXPECT_EQ("Alpha 3", Field(s.Entry(0).long_tip, 200));
         }},
        {"modify of an unknown owner: reply 0, another owner's icon untouched",
         {NIM_MODIFY, stranger, 2, NIF_TIP, 0, nullptr, L"hijack"}, 0, kNone, 0,
         [&](const Server& s) {
             EXPECT_EQ(Raw(b), s.Entry(1).owner);
             EXPECT_EQ(2u, s.Entry(1).icon_id);
             EXPECT_EQ("Beta\r\nsecond line", Field(s.Entry(1).long_tip, 200));
         }},
        {"modify of an unknown id of a known owner takes the owner's icon",
         {NIM_MODIFY, c, 7, NIF_MESSAGE, 0x8003}, 1, 2, tray::TRAYNOTIFY_MODIFY,
         [&](const Server& s) {
             EXPECT_EQ(7u, s.Entry(2).icon_id);
             EXPECT_EQ(0x8003, s.Entry(2).callback_message);
         }},
        {"delete compacts the table", {NIM_DELETE, b, 2}, 1, 2, tray::TRAYNOTIFY_DELETE,
         [&](const Server& s) {
             EXPECT_EQ(2, s.Count());
             EXPECT_EQ(Raw(a), s.Entry(0).owner);
             EXPECT_EQ(Raw(c), s.Entry(1).owner);
             TrayIconRecord zero = {};
             EXPECT_EQ(0, memcmp(&zero, &s.Entry(2), sizeof(zero)));
             // Remembered for the "Past Icons" list, cut at the line break.
             EXPECT_EQ("Beta", IniValue("IconText", KeyFor(2).c_str()));
         }},
        {"delete of an unknown icon", {NIM_DELETE, b, 2}, 1, kNone, 0,
         [&](const Server& s) { EXPECT_EQ(2, s.Count()); }},
        {"100-character tip", {NIM_ADD, a, 4, NIF_TIP, 0, nullptr, hundred}, 1, 2, tray::TRAYNOTIFY_ADD,
         [&](const Server& s) {
             EXPECT_EQ(std::string(100, 'h'), Field(s.Entry(2).long_tip, 200));
             EXPECT_EQ(std::string(63, 'h'), Field(s.Entry(2).short_tip, 64));
         }},
        {"unterminated 128-character tip", {NIM_ADD, a, 5, NIF_TIP, 0, nullptr, full128}, 1, 3,
         tray::TRAYNOTIFY_ADD,
         [&](const Server& s) {
             EXPECT_EQ(std::string(128, 'u'), Field(s.Entry(3).long_tip, 200));
             EXPECT_EQ(std::string(63, 'u'), Field(s.Entry(3).short_tip, 64));
             EXPECT_EQ(0, s.Entry(3).long_tip[128]);
             EXPECT_EQ(0, s.Entry(3).short_tip[63]);
         }},
    };

    for (const Step& step : steps) {
        SCOPED_TRACE(step.name);
        LRESULT reply = -2;
        std::vector<Notification> seen = Apply(step.block, &reply);
        EXPECT_EQ(step.reply, reply);
        if (step.notified_wp == kNone) {
            EXPECT_TRUE(seen.empty());
        } else {
            ASSERT_EQ(1u, seen.size());
            EXPECT_EQ(step.notified_wp, seen[0].Index());
            EXPECT_EQ(step.code, seen[0].Code());
            EXPECT_EQ(step.code == tray::TRAYNOTIFY_DELETE ? 0 : (step.block.flags & 0xFFFF), seen[0].Flags());
            // The table was changed before the listener was told.
            if (seen[0].has_entry) {
                EXPECT_EQ(server.Entry(step.notified_wp).icon_id, seen[0].entry.icon_id);
            }
        }
        step.check(server);
    }
    DestroyIcon(icon);
    for (HWND w : {a, b, c, stranger}) DestroyWindow(w);
}

TEST_F(IconTableTest, RefusedOwnersAreNotRecorded) {
    HWND dialog = CreateOwner("#32770");
    HWND connections = CreateOwner("Connections tray");
    struct Case {
        HWND owner;
        UINT id;
        bool recorded;
    } cases[] = {
        {dialog, static_cast<UINT>(-5), false},
        {dialog, static_cast<UINT>(-1), false},
        {dialog, static_cast<UINT>(-100), true},
        {connections, 5001, false},
        {connections, 5000, true},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(static_cast<int>(c.id));
        const int before = server.Count();
        LRESULT reply = 0;
        std::vector<Notification> seen = Apply({NIM_ADD, c.owner, c.id, NIF_TIP, 0, nullptr, L"x"}, &reply);
        EXPECT_EQ(1, reply);
        EXPECT_EQ(before + (c.recorded ? 1 : 0), server.Count());
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ(c.recorded ? before : -1, seen[0].Index());
    }
    DestroyWindow(dialog);
    DestroyWindow(connections);
}

TEST_F(IconTableTest, The101stIconIsRefusedWithOneMessageThatDoesNotHoldTheSender) {
    MessageBoxWatcher boxes(IDOK);
    boxes.WatchProcess(server.Pid());
    HWND owner = CreateOwner();
    for (UINT id = 0; id < 100; ++id) SendIcon(server.Window(), {NIM_ADD, owner, id, NIF_TIP, 0, nullptr, L"n"});
    ASSERT_EQ(100, server.Count());
    listener.seen.clear();
    DWORD elapsed = 0;
    std::vector<BYTE> block = WideBlock({NIM_ADD, owner, 100, NIF_TIP, 0, nullptr, L"one too many"});
    EXPECT_EQ(1, SendBlock(server.Window(), 1, block, &elapsed));
    EXPECT_LT(elapsed, 1500u);
    ASSERT_EQ(1u, listener.seen.size());
    EXPECT_EQ(-1, listener.seen[0].Index());
    EXPECT_TRUE(PumpUntil([&] { return boxes.Count() >= 1; }, 5000));
    PumpFor(300);
    ASSERT_EQ(1u, boxes.Count());
    EXPECT_EQ("Out of Room", boxes.Seen()[0].caption);
    EXPECT_NE(std::string::npos, boxes.Seen()[0].text.find("Out Of Room In Vantrell Tray"));
    EXPECT_EQ(100, server.Count());
    DestroyWindow(owner);
}

TEST_F(IconTableTest, DeadOwnersArePurgedWithADeleteNotification) {
    HWND live = CreateOwner(), dying = CreateOwner(), cleared = CreateOwner();
    SendIcon(server.Window(), {NIM_ADD, dying, 42, NIF_TIP, 0, nullptr, L"dying"});
    SendIcon(server.Window(), {NIM_ADD, cleared, 43, NIF_TIP, 0, nullptr, L"cleared"});
    DestroyWindow(dying);
    LRESULT reply = 0;
    std::vector<Notification> seen = Apply({NIM_ADD, live, 1, NIF_TIP, 0, nullptr, L"live"}, &reply);
    ASSERT_EQ(2u, seen.size());
    EXPECT_EQ(42, seen[0].Index());
    EXPECT_EQ(tray::TRAYNOTIFY_DELETE, seen[0].Code());
    EXPECT_EQ(tray::TRAYNOTIFY_ADD, seen[1].Code());
    ASSERT_EQ(2, server.Count());
    EXPECT_EQ(Raw(cleared), server.Entry(0).owner);

    // A client that finds an owner gone clears the alive flag and asks for a purge.
    listener.seen.clear();
    server.Table()->entries[0].alive = 0;
    EXPECT_EQ(0, server.Send(tray::WM_TRAYPURGEDEAD));
    ASSERT_EQ(1u, listener.seen.size());
    EXPECT_EQ(43, listener.seen[0].Index());
    EXPECT_EQ(tray::TRAYNOTIFY_DELETE, listener.seen[0].Code());
    ASSERT_EQ(1, server.Count());
    EXPECT_EQ(Raw(live), server.Entry(0).owner);
    DestroyWindow(live);
    DestroyWindow(cleared);
}

TEST_F(IconTableTest, EveryBlockIsPassedOnUnchangedAndOnlyWindowsLayoutIsRecorded) {
    StandInTray shell_tray, widget_tray;
    ASSERT_TRUE(shell_tray.Start("", 0x77));
    ASSERT_TRUE(widget_tray.Start("KATray", 0x55));
    HWND owner = CreateOwner();
    const std::vector<BYTE> add = WideBlock({NIM_ADD, owner, 9, NIF_TIP | NIF_MESSAGE, 0x8009, nullptr, L"kept"});
    std::vector<BYTE> appbar(36, 0x5A);
    std::vector<BYTE> short_block(add.begin(), add.begin() + 200);
    const std::vector<BYTE> ansi_delete = AnsiBlock({NIM_DELETE, owner, 77});
    // Wine's NIM_MODIFY (dwData 1) whose fields, read as a Windows-layout
    // block, would be a modify of the recorded icon 9 with a new tip.
    std::wstring misleading_tip(L"\x0009\x0000\x0004\x0000\x0000\x0000\x0000\x0000misread", 15);
    const std::vector<BYTE> wine_modify = WineLayoutBlock(owner, NIM_MODIFY, NIF_TIP, Raw(owner), misleading_tip);

    struct Case {
        const char* name;
        ULONG_PTR dw_data;
        std::vector<BYTE> bytes;
        LRESULT reply;
        int count_after;
    } cases[] = {
        {"Windows-layout add: the server answers", 1, add, 1, 1},
        {"other dwData: the shell's tray answers", 2, appbar, 0x77, 1},
        {"Wine-layout modify (dwData 1)", 1, wine_modify, 0x77, 1},
        {"Wine-layout add (dwData 0)", 0, WineLayoutBlock(owner, 10, NIF_TIP, 0, L"wine add"), 0x77, 1},
        {"short block with the signature", 1, short_block, 0x77, 1},
        {"ANSI-form delete of an unknown icon", 1, ansi_delete, 1, 1},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.name);
        shell_tray.Clear();
        widget_tray.Clear();
        TrayIconRecord before = server.Entry(0);
        EXPECT_EQ(c.reply, SendBlock(server.Window(), c.dw_data, c.bytes));
        EXPECT_EQ(c.count_after, server.Count());
        if (c.bytes != add) {
            EXPECT_EQ(0, memcmp(&before, &server.Entry(0), sizeof(before)));
        }
        const std::string expected = std::to_string(c.dw_data) + " " + std::to_string(c.bytes.size()) + " 0 " +
                                     Hex(c.bytes);
        for (const StandInTray* t : {&shell_tray, &widget_tray}) {
            std::vector<std::string> lines = t->Lines();
            ASSERT_EQ(1u, lines.size());
            EXPECT_EQ(expected, lines[0]);
        }
    }
    EXPECT_EQ("kept", Field(server.Entry(0).long_tip, 200));
    DestroyWindow(owner);
}

TEST_F(IconTableTest, TaskbarCreatedReAddsEveryIconToTheShellTray) {
    StandInTray shell_tray;
    ASSERT_TRUE(shell_tray.Start("", 1));
    HWND owner = CreateOwner();
    SendIcon(server.Window(), {NIM_ADD, owner, 1, NIF_TIP | NIF_MESSAGE, 0x8001, nullptr, L"first"});
    SendIcon(server.Window(), {NIM_ADD, owner, 2, NIF_TIP, 0, nullptr, L"second"});
    ASSERT_TRUE(PumpUntil([&] { return FindWindowA(tray::kTrayClass, nullptr) == server.Window(); }, 2000));
    tray::TrayIconTable before;
    memcpy(&before, server.Table(), sizeof(before));
    shell_tray.Clear();
    PostMessageA(server.Window(), RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return shell_tray.Lines().size() >= 2; }, 3000));
    PumpFor(200);
    EXPECT_EQ(2u, shell_tray.Lines().size());
    EXPECT_EQ(0, memcmp(&before, server.Table(), sizeof(before)));
    DestroyWindow(owner);
}

TEST_F(IconTableTest, SettingsAreReadWhenAnIconIsAddedAndWrittenWhenItGoes) {
    TempFolder folder;
    ASSERT_TRUE(folder.Write("green.ico", SmallIconFile(0xFF00FF00)));

    server.Stop();
    WritePrivateProfileStringA("Icons", KeyFor(1).c_str(), "2", "LanternfoldData.ini");
    WritePrivateProfileStringA("Icons", KeyFor(2).c_str(), "1", "LanternfoldData.ini");
    WritePrivateProfileStringA("CustomIcons", KeyFor(1).c_str(), folder.File("green.ico").c_str(),
                               "LanternfoldData.ini");
    WritePrivateProfileStringA("CustomIcons", KeyFor(2).c_str(), folder.File("missing.ico").c_str(),
                               "LanternfoldData.ini");
    WritePrivateProfileStringA(nullptr, nullptr, nullptr, "LanternfoldData.ini");
    ASSERT_TRUE(server.Start());

    HWND owner = CreateOwner();
    SendIcon(server.Window(), {NIM_ADD, owner, 1, NIF_TIP, 0, nullptr, L"First\nmore"});
    SendIcon(server.Window(), {NIM_ADD, owner, 2, NIF_TIP, 0, nullptr, L"Second"});
    SendIcon(server.Window(), {NIM_ADD, owner, 3, NIF_TIP, 0, nullptr, L"Third"});
    struct {
        int index;
        LONG behavior;
        bool replaced;
    } expected[] = {{0, tray::kAlwaysShow, true}, {1, tray::kAlwaysHide, false}, {2, tray::kHideWhenInactive, false}};
    for (const auto& e : expected) {
        SCOPED_TRACE(e.index);
        EXPECT_EQ(e.behavior, server.Entry(e.index).behavior);
        EXPECT_EQ(e.replaced, server.Entry(e.index).replacement_icon != 0);
    }
    SendIcon(server.Window(), {NIM_DELETE, owner, 1});
    EXPECT_EQ("2", IniValue("Icons", KeyFor(1).c_str()));
    EXPECT_EQ("First", IniValue("IconText", KeyFor(1).c_str()));
    SendIcon(server.Window(), {NIM_DELETE, owner, 3});
    EXPECT_EQ("<none>", IniValue("Icons", KeyFor(3).c_str()));
    EXPECT_EQ("Third", IniValue("IconText", KeyFor(3).c_str()));
    DestroyWindow(owner);
}

TEST_F(IconTableTest, AListenerOrTrayThatDoesNotAnswerHoldsTheSenderOnlyBriefly) {
    // A thread of this process that owns a listener and a "KATray" window and
    // answers nothing until it is released.
    HANDLE release = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    HWND slow_listener = nullptr, slow_tray = nullptr;
    HANDLE ready = CreateEventA(nullptr, TRUE, FALSE, nullptr);
    std::thread slow([&] {
        WNDCLASSA wc = {};
        wc.lpfnWndProc = DefWindowProcA;
        wc.hInstance = GetModuleHandleA(nullptr);
        wc.lpszClassName = "Shell_TrayWnd";
        RegisterClassA(&wc);
        slow_tray = CreateWindowExA(0, "Shell_TrayWnd", "KATray", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                                    wc.hInstance, nullptr);
        slow_listener = CreateOwner("LfSlowListener");
        SetEvent(ready);
        WaitForSingleObject(release, 15000);
        PumpFor(200);
        DestroyWindow(slow_listener);
        DestroyWindow(slow_tray);
    });
    ASSERT_EQ(WAIT_OBJECT_0, WaitForSingleObject(ready, 5000));
    server.Send(tray::WM_TRAYREGISTER, reinterpret_cast<WPARAM>(slow_listener), kListenerMessage);

    HWND owner = CreateOwner();
    DWORD elapsed = 0;
    std::vector<BYTE> block = WideBlock({NIM_ADD, owner, 1, NIF_TIP, 0, nullptr, L"waits"});
    EXPECT_EQ(1, SendBlock(server.Window(), 1, block, &elapsed));
    SetEvent(release);
    slow.join();
    // Two bounded waits (the widget host's tray and the listener), not fifteen seconds.
    EXPECT_LT(elapsed, 6500u);
    EXPECT_EQ(1, server.Count());
    ASSERT_FALSE(listener.seen.empty());
    EXPECT_EQ(tray::TRAYNOTIFY_ADD, listener.seen.back().Code());
    CloseHandle(release);
    CloseHandle(ready);
    DestroyWindow(owner);
}
