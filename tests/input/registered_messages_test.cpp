// Registered messages sent to a bar window from another process: the
// pointer-free ones take effect, bogus pointers are ignored without a crash,
// and no pointer into this process is written through from outside.
#include <algorithm>
#include <fstream>
#include <sstream>
#include <string>
#include <vector>
#include "input_fixture.h"
#include "model/bar_registered_messages.h"
#include "model/live_objects.h"
#include "tests/support/test_support.h"

namespace input_test {
namespace {

using testing_support::ChildProcess;
using testing_support::TempFolder;

std::string Hex(const void* p) {
    std::ostringstream s;
    s << std::hex << reinterpret_cast<UINT_PTR>(p);
    return s.str();
}

class RegisteredMessagesTest : public InputTest {
protected:
    struct Row {
        std::string name;
        std::string wp;
        std::string lp;
    };
    // Sends the rows from the helper program; the answers in order.
    std::vector<std::string> SendFromOtherProcess(CVellumMenuObject* bar,
                                                  const std::vector<Row>& rows) {
        std::string in = folder_.File("rows.txt");
        std::string out = folder_.File("answers.txt");
        {
            std::ofstream f(in);
            for (const Row& r : rows) f << r.name << " " << r.wp << " " << r.lp << "\n";
        }
        ChildProcess sender;
        std::ostringstream args;
        args << reinterpret_cast<UINT_PTR>(bar->m_hWnd) << " \"" << in << "\" \"" << out << "\"";
        EXPECT_TRUE(sender.Start("input_message_sender.exe", args.str()));
        int code = -1;
        testing_support::PumpUntil([&] { return (code = sender.Wait(0)) != -1; }, 20000);
        EXPECT_EQ(0, code);
        std::vector<std::string> answers;
        std::ifstream f(out);
        for (std::string line; std::getline(f, line);) answers.push_back(line);
        return answers;
    }
    TempFolder folder_;
};

TEST_F(RegisteredMessagesTest, PointerFreeMessagesGetTheirAnswers) {
    CVellumMenuObject* bar = NewBar({100, 500, 400, 540});
    CVellumMenuSection* section = AddSection(bar, {0, 0, 300, 40});
    TestItem* item = AddItem(section, {0, 0, 50, 40}, "Item");
    bar->DockToEdge = kEdgeTop;
    bar->m_layoutChanged = TRUE;
    int timer_before = bar->m_lastTimerId;

    std::vector<Row> rows = {
        {"TSQuery - IsDocked", "0", "0"},
        {"TessellarPlugin - MarkBarModified", "0", "0"},
        {"TessellarPlugin - RecalcAllItems", "0", "0"},
        // Item pointers are only compared with the bar's live items.
        {"TessellarPlugin - SetItemState", Hex(item), "7"},
        {"TessellarPlugin - RedrawItem", Hex(item), "0"},
        {"CVellumMenuObject: StartTrackingNewItemDelay", Hex(item), "0"},
        {"TSHideBar_External", "1", "0"},
    };
    std::vector<std::string> answers = SendFromOtherProcess(bar, rows);
    ASSERT_EQ(rows.size(), answers.size());
    EXPECT_EQ("1", answers[0]);   // docked
    for (const std::string& a : answers) EXPECT_NE("failed", a);
    EXPECT_TRUE(bar->m_modified);
    EXPECT_NE(item->states.end(),
              std::find(item->states.begin(), item->states.end(), kStateMouseOver));
    EXPECT_EQ(item, bar->m_tracking.pressed_item);
    EXPECT_TRUE(bar->SetAsHidden);
    testing_support::PumpUntil([bar] { return !IsWindowVisible(bar->m_hWnd); }, 2000);
    EXPECT_FALSE(IsWindowVisible(bar->m_hWnd));
    EXPECT_EQ(timer_before, bar->m_lastTimerId);
}

TEST_F(RegisteredMessagesTest, BogusPointersAreIgnored) {
    CVellumMenuObject* bar = NewBar({100, 500, 400, 540});
    CVellumMenuSection* section = AddSection(bar, {0, 0, 300, 40});
    TestItem* item = AddItem(section, {0, 0, 50, 40}, "Item");
    CVellumMenuObject* other = NewBar({100, 600, 400, 640});
    TestItem* foreign = AddItem(AddSection(other, {0, 0, 300, 40}), {0, 0, 50, 40}, "Other");
    bar->UseAutohide = TRUE;
    int timer_before = bar->m_lastTimerId;

    // Real addresses of this process: another process must not write them.
    static int reserved_id = -5;
    static int hook_flag = 0;
    static char path_buffer[MAX_PATH] = "unchanged";
    item->states.clear();
    foreign->states.clear();

    const std::string bogus = "12345678";
    std::vector<Row> rows = {
        {"TessellarPlugin - ReserveCustomTimerID", bogus, "0"},
        {"TessellarPlugin - ReserveCustomTimerID", Hex(&reserved_id), "0"},
        {"ShouldEnableMousehook", bogus, "0"},
        {"ShouldEnableMousehook", Hex(&hook_flag), "0"},
        {"TessellarPlugin - MakePathRelative", bogus, "87654321"},
        {"TessellarPlugin - MakePathAbsolute", Hex(path_buffer), Hex(path_buffer)},
        {"TessellarPlugin - SetItemState", bogus, "7"},
        {"TessellarPlugin - SetItemState", Hex(foreign), "7"},   // not this bar's item
        {"TessellarPlugin - RedrawItem", bogus, "0"},
        {"TessellarPlugin - RefreshItemIconsBitmaps", bogus, "0"},
        {"CVellumMenuObject: StartTrackingNewItemDelay", bogus, "0"},
        {"CVellumMenuObject: StartTrackingNewItemDelay", Hex(foreign), "0"},
        {"CMenuItem w/ Popup Closing", bogus, "0"},
        {"FormatedMsg From Plugin", bogus, "0"},
        {"#9880", bogus, "0"},            // WM_BARACTIVATE for no bar
        {"This CMenuObject Skin Changing", bogus, "0"},
    };
    std::vector<std::string> answers = SendFromOtherProcess(bar, rows);
    ASSERT_EQ(rows.size(), answers.size());
    for (size_t i = 0; i < answers.size(); ++i) EXPECT_NE("failed", answers[i]) << rows[i].name;
    ASSERT_TRUE(IsLiveBar(bar));
    EXPECT_EQ(timer_before, bar->m_lastTimerId);
    EXPECT_EQ(-5, reserved_id);
    EXPECT_EQ(0, hook_flag);
    EXPECT_STREQ("unchanged", path_buffer);
    EXPECT_TRUE(item->states.empty());
    EXPECT_TRUE(foreign->states.empty());
    EXPECT_EQ(nullptr, bar->m_tracking.pressed_item);

    // The same requests made in this process by a plug-in are served.
    SendMessageA(bar->m_hWnd, RegisterWindowMessageA("TessellarPlugin - ReserveCustomTimerID"),
                 reinterpret_cast<WPARAM>(&reserved_id), 0);
    EXPECT_EQ(timer_before + 1, reserved_id);
    SendMessageA(bar->m_hWnd, RegisterWindowMessageA("TessellarPlugin - ReserveCustomTimerID"),
                 reinterpret_cast<WPARAM>(&reserved_id), 0);
    EXPECT_EQ(timer_before + 2, reserved_id);
    // The mouse-hook question is answered only into the slot the stats
    // monitor registers for the call.
    SendMessageA(bar->m_hWnd, RegisterWindowMessageA("ShouldEnableMousehook"),
                 reinterpret_cast<WPARAM>(&hook_flag), 0);
    EXPECT_EQ(0, hook_flag);
    RegisterOwnedRecord(&hook_flag);
    SendMessageA(bar->m_hWnd, RegisterWindowMessageA("ShouldEnableMousehook"),
                 reinterpret_cast<WPARAM>(&hook_flag), 0);
    UnregisterOwnedRecord(&hook_flag);
    EXPECT_EQ(1, hook_flag);
}

struct PostedClick {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};
PostedClick g_posted = {};

LRESULT CALLBACK FakeMainProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == RegisterWindowMessageA("TS Desktop Right Click")) g_posted = {msg, wp, lp};
    return DefWindowProcA(wnd, msg, wp, lp);
}

TEST(DesktopRightClickTest, ForwardsTheCursorOnlyWhileTheAtomExists) {
    HWND main = testing_support::CreatePlainWindow("Tessellar Main", FakeMainProc, "Tessellar");
    ASSERT_TRUE(main);
    // A killed run in this prefix may have left the atom (counted) behind.
    for (int i = 0; i < 100 && GlobalFindAtomA("TS-DeskRClk"); ++i)
        GlobalDeleteAtom(GlobalFindAtomA("TS-DeskRClk"));
    EXPECT_EQ(0, ForwardDesktopRightClick());   // no atom
    ATOM atom = GlobalAddAtomA("TS-DeskRClk");
    SetCursorPos(321, 123);
    EXPECT_EQ(1, ForwardDesktopRightClick());
    testing_support::PumpUntil([] { return g_posted.msg != 0; }, 2000);
    EXPECT_EQ(321u, g_posted.wp);
    EXPECT_EQ(123, g_posted.lp);
    GlobalDeleteAtom(atom);
    DestroyWindow(main);
    EXPECT_EQ(0, ForwardDesktopRightClick());   // no main window
}

}  // namespace
}  // namespace input_test
