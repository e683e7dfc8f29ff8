// The tray host against the stand-in server: layout, the showing rule,
// notifications, mouse forwarding and hostile tables.
#include "tests/tray/tray_fixture.h"
#include <commctrl.h>
#include <cstring>
#include <memory>
#include "types/tray_host.h"

using namespace tray_test;
using testing_support::PumpUntil;

namespace {

constexpr UINT kNotify = tray::WM_TRAYHOSTNOTIFY;

// The bar window of a bench hands the server's notifications to its host.
CTrayHost* g_benchHost = nullptr;
LRESULT CALLBACK BenchBarProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == kNotify && g_benchHost) return g_benchHost->HandleMessage(msg, wp, lp);
    return DefWindowProcA(wnd, msg, wp, lp);
}

struct HostBench {
    explicit HostBench(DWORD table_bytes = sizeof(tray::TrayIconTable)) : server(table_bytes) {
        bar = testing_support::CreatePlainWindow("TrayTestBar", BenchBarProc, "bar");
    }
    ~HostBench() {
        g_benchHost = nullptr;
        host.reset();
        DestroyWindow(bar);
    }
    CTrayHost* Make(RECT area, SIZE cell = {16, 16}, SIZE spacing = {1, 1}, int mode = kTrayLayoutRows,
                    int far_end = 0, int reverse = 0) {
        TrayHostSettings s = {};
        s.mask = kTrayAllSettings;
        s.area = area;
        s.iconSize = cell;
        s.spacing = spacing;
        s.layoutMode = mode;
        s.farEnd = far_end;
        s.reverse = reverse;
        s.drawCallback = [](const TrayIconDrawInfo*) { return 1; };
        g_benchHost = nullptr;
        host.reset(new CTrayHost(bar, kNotify, kTrayHostRedrawOnHot, &s));
        g_benchHost = host.get();
        return host.get();
    }
    StandInServer server;
    IconOwner owner;
    HWND bar = nullptr;
    std::unique_ptr<CTrayHost> host;
};

std::string RectText(const RECT& r) {
    if (IsRectEmpty(&r)) return "empty";
    return std::to_string(r.left) + "," + std::to_string(r.top) + "," + std::to_string(r.right) + "," +
           std::to_string(r.bottom);
}

// The text of every tool of the tooltip window, in order.
std::vector<std::string> ToolTexts(HWND tips) {
    std::vector<std::string> out;
    const int count = static_cast<int>(SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0));
    for (int i = 0; i < count; ++i) {
        TOOLINFOA info = {};
        info.cbSize = sizeof(info);
        if (!SendMessageA(tips, TTM_ENUMTOOLSA, i, reinterpret_cast<LPARAM>(&info))) continue;
        char text[1024] = "";
        info.lpszText = text;
        SendMessageA(tips, TTM_GETTEXTA, sizeof(text), reinterpret_cast<LPARAM>(&info));
        out.push_back(text);
    }
    return out;
}

}  // namespace

TEST(TrayHostLayout, PlacesIconsByModeOrderAndCell) {
    struct Case {
        const char* name;
        int icons;
        int mode;
        RECT area;
        SIZE cell, spacing;
        int far_end, reverse;
        int dead, hidden;   // record index, -1 none
        std::vector<std::string> expected;   // per record index
    } cases[] = {
        {"rows: 6 icons, 40 high", 6, kTrayLayoutRows, {0, 0, 200, 40}, {16, 16}, {1, 1}, 0, 0, -1, -1,
         {"0,0,16,16", "17,0,33,16", "34,0,50,16", "0,17,16,33", "17,17,33,33", "34,17,50,33"}},
        {"columns: 5 icons, 40 wide, last row centred", 5, kTrayLayoutColumns, {0, 0, 40, 200}, {16, 16},
         {1, 1}, 0, 0, -1, -1, {"3,0,19,16", "3,17,19,33", "12,34,28,50", "20,0,36,16", "20,17,36,33"}},
        {"far end alone: reversed, right-aligned", 3, kTrayLayoutRows, {0, 0, 100, 16}, {16, 16}, {1, 1}, 1,
         0, -1, -1, {"83,0,99,16", "66,0,82,16", "49,0,65,16"}},
        {"far end with reverse: normal order, right-aligned", 3, kTrayLayoutRows, {0, 0, 100, 16}, {16, 16},
         {1, 1}, 1, 1, -1, -1, {"49,0,65,16", "66,0,82,16", "83,0,99,16"}},
        {"reverse alone", 3, kTrayLayoutRows, {10, 5, 100, 21}, {16, 16}, {1, 1}, 0, 1, -1, -1,
         {"44,5,60,21", "27,5,43,21", "10,5,26,21"}},
        {"dead and hidden records take no place", 4, kTrayLayoutRows, {0, 0, 100, 16}, {16, 16}, {1, 1}, 0,
         0, 1, 2, {"0,0,16,16", "empty", "empty", "17,0,33,16"}},
        {"cell 0 x 0 places nothing", 2, kTrayLayoutRows, {0, 0, 100, 16}, {0, 0}, {0, 0}, 0, 0, -1, -1,
         {"empty", "empty"}},
        {"spacing -16 places nothing", 2, kTrayLayoutColumns, {0, 0, 100, 16}, {16, 16}, {-16, -16}, 0, 0,
         -1, -1, {"empty", "empty"}},
    };
    for (const Case& c : cases) {
        HostBench bench;
        for (int i = 0; i < c.icons; ++i) bench.server.Put(i, bench.owner.Window(), 100 + i, "tip");
        if (c.dead >= 0) bench.server.Entry(c.dead).alive = 0;
        if (c.hidden >= 0) bench.server.Entry(c.hidden).hidden = 1;
        CTrayHost* host = bench.Make(c.area, c.cell, c.spacing, c.mode, c.far_end, c.reverse);
        ASSERT_TRUE(host->IsConnected()) << c.name;
        for (int i = 0; i < c.icons; ++i)
            EXPECT_EQ(c.expected[i], RectText(host->IconRect(i))) << c.name << " record " << i;
    }
}

TEST(TrayHostFilter, ShowsByVersionBehaviourAndIdleTime) {
    const DWORD now = GetTickCount();
    if (now < 10 * 60000) GTEST_SKIP() << "the tick count is too young for idle times";
    struct Case {
        const char* name;
        LRESULT version;
        int behavior;
        DWORD idle_ms;
        bool shown;
        bool armed;
    } cases[] = {
        {"version 64 shows all, no timer", 64, 1, 5 * 60000, true, false},
        {"behaviour 1 hides", 130, 1, 0, false, true},
        {"behaviour 2 shows", 130, 2, 5 * 60000, true, false},
        {"behaviour 0: idle longer than the window hides", 130, 0, 2 * 60000, false, false},
        {"behaviour 0: recently active shows", 130, 0, 1000, true, true},
    };
    for (const Case& c : cases) {
        HostBench bench;
        bench.server.version = c.version;
        bench.server.inactive_minutes = 1;
        bench.server.Put(0, bench.owner.Window(), 7, "x");
        bench.server.Entry(0).behavior = c.behavior;
        bench.server.Entry(0).tip_tick = bench.server.Entry(0).icon_tick = GetTickCount() - c.idle_ms;
        CTrayHost* host = bench.Make({0, 0, 100, 16});
        host->m_filteringOn = 1;
        host->m_filterTimerId = 77;
        host->Refilter();
        EXPECT_EQ(c.shown ? 1 : 0, host->GetShownCount()) << c.name;
        EXPECT_EQ(c.armed, host->ArmFilterTimer()) << c.name;
        host->KillFilterTimer();
    }
}

TEST(TrayHostNotifications, ToolsFollowAddModifyAndDelete) {
    HostBench bench;
    IconOwner second("TrayTestOwner2");
    CTrayHost* host = bench.Make({0, 0, 100, 16});
    ASSERT_TRUE(host->IsConnected());
    ASSERT_EQ(1u, bench.server.Count(tray::WM_TRAYREGISTER));
    EXPECT_EQ(reinterpret_cast<WPARAM>(bench.bar), bench.server.Log(tray::WM_TRAYREGISTER)[0].wp);
    EXPECT_EQ(static_cast<LPARAM>(kNotify), bench.server.Log(tray::WM_TRAYREGISTER)[0].lp);

    // Two owners use the same icon id: a delete must drop the right tool.
    bench.server.Put(0, bench.owner.Window(), 1, "first");
    bench.server.Notify(0, tray::TRAYNOTIFY_ADD, NIF_TIP);
    bench.server.Put(1, second.Window(), 1, "second");
    bench.server.Notify(1, tray::TRAYNOTIFY_ADD, NIF_TIP);
    EXPECT_EQ((std::vector<std::string>{"first", "second"}), ToolTexts(host->m_toolTips));
    EXPECT_EQ("17,0,33,16", RectText(host->IconRect(1)));

    strcpy(bench.server.Entry(1).long_tip, "changed");
    bench.server.Notify(1, tray::TRAYNOTIFY_MODIFY, NIF_TIP);
    EXPECT_EQ((std::vector<std::string>{"first", "changed"}), ToolTexts(host->m_toolTips));

    // The server removes the first record and moves the second down.
    bench.server.Entry(0) = bench.server.Entry(1);
    memset(&bench.server.Entry(1), 0, sizeof(tray::TrayIconRecord));
    bench.server.Notify(1, tray::TRAYNOTIFY_DELETE);
    EXPECT_EQ((std::vector<std::string>{"changed"}), ToolTexts(host->m_toolTips));
    EXPECT_EQ(1, host->GetShownCount());
    EXPECT_EQ("0,0,16,16", RectText(host->IconRect(0)));

    bench.host.reset();
    ASSERT_EQ(1u, bench.server.Count(tray::WM_TRAYUNREGISTER));
    EXPECT_EQ(reinterpret_cast<WPARAM>(bench.bar), bench.server.Log(tray::WM_TRAYUNREGISTER)[0].wp);
}

TEST(TrayHostMouse, ClickPostsToOwnerStampsTicksAndSkipsNoCallback) {
    HostBench bench;
    bench.server.Put(0, bench.owner.Window(), 41, "a");
    bench.server.Put(1, bench.owner.Window(), 42, "b");
    bench.server.Put(2, bench.owner.Window(), 43, "none", -1);
    const DWORD old_tick = GetTickCount() - 100000;
    bench.server.Entry(1).tip_tick = bench.server.Entry(1).icon_tick = old_tick;
    CTrayHost* host = bench.Make({0, 0, 100, 16});

    host->HandleMessage(WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(20, 5));
    EXPECT_EQ(1, host->m_pressed);
    // Released over the first icon: the release goes to the icon under the mouse.
    host->HandleMessage(WM_LBUTTONUP, 0, MAKELPARAM(3, 5));
    host->HandleMessage(WM_RBUTTONDOWN, MK_RBUTTON, MAKELPARAM(35, 5));
    host->HandleMessage(WM_RBUTTONUP, 0, MAKELPARAM(35, 5));
    PumpUntil([&] { return bench.owner.calls.size() >= 2; }, 2000);
    testing_support::PumpFor(50);
    EXPECT_EQ(std::vector<LPARAM>{WM_LBUTTONDOWN}, bench.owner.Buttons(42));
    EXPECT_EQ(std::vector<LPARAM>{WM_LBUTTONUP}, bench.owner.Buttons(41));
    EXPECT_TRUE(bench.owner.Buttons(43).empty()) << "a record without callback message gets no post";
    // The release stamped the icon under the mouse; the pressed one kept its ticks.
    EXPECT_GE(bench.server.Entry(0).tip_tick - old_tick, 90000u);
    EXPECT_EQ(bench.server.Entry(0).tip_tick, bench.server.Entry(0).icon_tick);
    EXPECT_EQ(old_tick, bench.server.Entry(1).tip_tick);
    EXPECT_EQ(-1, host->m_pressed);
}

TEST(TrayHostMouse, DeadOwnerIsClearedAtTheNextDrawAndPurged) {
    HostBench bench;
    IconOwner doomed("TrayTestDoomed");
    bench.server.Put(0, bench.owner.Window(), 1, "a");
    bench.server.Put(1, doomed.Window(), 2, "b");
    CTrayHost* host = bench.Make({0, 0, 100, 16});
    DestroyWindow(doomed.Window());
    HDC dc = GetDC(bench.bar);
    host->DrawIcons(dc);
    ReleaseDC(bench.bar, dc);
    EXPECT_EQ(0, bench.server.Entry(1).alive);
    EXPECT_EQ(1, bench.server.Entry(0).alive);
    EXPECT_TRUE(PumpUntil([&] { return bench.server.Count(tray::WM_TRAYPURGEDEAD) == 1; }, 2000));
    EXPECT_EQ(1, host->GetShownCount());
}

TEST(TrayHostHostile, RecordSizesThatDoNotFitLeaveTheHostUnconnected) {
    struct Case {
        LRESULT record_size;
        DWORD table_bytes;
        bool connected;
    } cases[] = {
        {1, sizeof(tray::TrayIconTable), false},
        {7, sizeof(tray::TrayIconTable), false},
        {83, sizeof(tray::TrayIconTable), false},
        {100000, sizeof(tray::TrayIconTable), false},
        {424, 8404, false},   // a table too small for its record size
        {84, 8404, true},
        {0, 8404, true},      // an old server: 84-byte records
        {424, sizeof(tray::TrayIconTable), true},
    };
    for (const Case& c : cases) {
        HostBench bench(c.table_bytes);
        bench.server.record_size = c.record_size;
        for (int i = 0; i < 3; ++i) bench.server.Put(0, bench.owner.Window(), i, "x");
        CTrayHost* host = bench.Make({0, 0, 100, 16});
        EXPECT_EQ(c.connected, host->IsConnected()) << c.record_size << " in " << c.table_bytes;
        if (!host->IsConnected()) {
            EXPECT_EQ(0, host->GetRecordCount());
            EXPECT_EQ(-1, host->HitTest(5, 5));
        }
    }
}

TEST(TrayHostHostile, OutOfRangeIndicesUnknownCodesAndUnterminatedTipsAreHarmless) {
    HostBench bench;
    bench.server.Put(0, bench.owner.Window(), 1, "a");
    bench.server.Put(1, bench.owner.Window(), 2, "b");
    bench.server.Entry(1).behavior = 0x7FFFFFFF;
    memset(bench.server.Entry(1).short_tip, 'S', sizeof(bench.server.Entry(1).short_tip));
    memset(bench.server.Entry(1).long_tip, 'L', sizeof(bench.server.Entry(1).long_tip));
    memset(bench.server.Entry(1).icon_key, 'K', sizeof(bench.server.Entry(1).icon_key));
    CTrayHost* host = bench.Make({0, 0, 100, 16});
    const struct {
        WPARAM wp;
        WORD code;
        int result;
    } messages[] = {
        {100, tray::TRAYNOTIFY_ADD, 0},        {150, tray::TRAYNOTIFY_MODIFY, 0},
        {0x7FFFFFFF, tray::TRAYNOTIFY_REDRAW, 0}, {static_cast<WPARAM>(-1), tray::TRAYNOTIFY_ADD, 0},
        {2, tray::TRAYNOTIFY_MODIFY, 0},       {0, 7, 0},
        {0, 254, 0},                           {1, tray::TRAYNOTIFY_MODIFY, 1},
    };
    for (const auto& m : messages)
        EXPECT_EQ(m.result, host->HandleMessage(kNotify, m.wp, MAKELPARAM(m.code, NIF_TIP)))
            << m.wp << " code " << m.code;
    std::vector<std::string> texts = ToolTexts(host->m_toolTips);
    ASSERT_EQ(2u, texts.size());
    // The tooltip control hands back at most 80 characters: the text is the
    // long tip, cut, and nothing from behind it.
    EXPECT_LE(texts[1].size(), 199u);
    EXPECT_GE(texts[1].size(), 79u);
    EXPECT_EQ(std::string::npos, texts[1].find_first_not_of('L'));

    // Every record used: no free record ends the table.
    for (int i = 0; i < tray::kTableCapacity; ++i) bench.server.Put(i, bench.owner.Window(), i, "x");
    EXPECT_EQ(1, host->HandleMessage(kNotify, 99, MAKELPARAM(tray::TRAYNOTIFY_ADD, 0)));
    EXPECT_EQ(100, host->GetRecordCount());
    EXPECT_EQ(0, host->HandleMessage(kNotify, 100, MAKELPARAM(tray::TRAYNOTIFY_ADD, 0)));
}

TEST(TrayHostHostile, ShortRecordsGiveBoundedCopiesAndTheShortTip) {
    HostBench bench(4 + 100 * 84);
    bench.server.record_size = 84;
    BYTE* table = bench.server.Bytes();
    for (int i = 0; i < 2; ++i) {
        BYTE* r = table + 4 + 84 * i;
        const uint32_t owner = static_cast<uint32_t>(reinterpret_cast<ULONG_PTR>(bench.owner.Window()));
        memcpy(r, &owner, 4);
        const int32_t callback = IconOwner::kCallback;
        memcpy(r + 4, &callback, 4);
        const uint32_t id = 10 + i;
        memcpy(r + 8, &id, 4);
        memset(r + 16, 'T', 64);   // unterminated short tip
        const int32_t alive = 1;
        memcpy(r + 80, &alive, 4);
    }
    CTrayHost* host = bench.Make({0, 0, 100, 16});
    ASSERT_TRUE(host->IsConnected());
    EXPECT_EQ(2, host->GetRecordCount());
    tray::TrayIconRecord copy;
    memset(&copy, 0x55, sizeof(copy));
    ASSERT_TRUE(host->CopyRecord(1, &copy));
    EXPECT_EQ(0u, copy.tip_tick);
    EXPECT_EQ(0, copy.behavior);
    EXPECT_EQ(0u, copy.replacement_icon);
    std::vector<std::string> texts = ToolTexts(host->m_toolTips);
    ASSERT_EQ(2u, texts.size());
    // The whole 64-byte field and nothing behind it.
    EXPECT_EQ(std::string(64, 'T'), texts[0]);
}
