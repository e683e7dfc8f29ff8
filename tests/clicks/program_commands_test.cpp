// Commands that act on the program and the session: the session commands
// reach only the system-actions seam, each with its own request; the main
// window gets its commands; layers hide and show their bars and come back
// beside the item; a bar closes itself; a popup's listed bars close with it.
#include "clicks_fixture.h"

#include <string>
#include <vector>
#include "model/command_seam.h"
#include "model/live_objects.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "types/popup_item.h"

namespace clicks_test {
namespace {

// What the seam was asked, in order.
std::vector<std::string> g_requests;
BOOL g_answer = TRUE;
HRESULT g_recycle_answer = S_OK;

void RecordingSeam() {
    SystemActions& a = GetSystemActions();
    a.ExitWindows = [](UINT flags, DWORD) -> BOOL {
        g_requests.push_back("exit " + std::to_string(flags));
        return g_answer;
    };
    a.Suspend = [](BOOL hibernate) -> BOOL {
        g_requests.push_back(hibernate ? "hibernate" : "suspend");
        return g_answer;
    };
    a.EmptyRecycleBin = [](HWND owner, const char* root, DWORD flags) -> HRESULT {
        g_requests.push_back(std::string("recycle '") + (root ? root : "<null>") + "' " +
                             std::to_string(flags) + (owner ? " owned" : ""));
        return g_recycle_answer;
    };
    a.ShutdownDialog = [](HWND) -> BOOL {
        g_requests.push_back("shutdown dialog");
        return g_answer;
    };
    a.PostToShellTaskbar = [](UINT msg, WPARAM wp, LPARAM) -> BOOL {
        g_requests.push_back("taskbar " + std::to_string(msg) + " " + std::to_string(wp));
        return g_answer;
    };
}

class ProgramCommandsTest : public ClicksTest {
protected:
    void SetUp() override {
        ClicksTest::SetUp();
        g_requests.clear();
        g_answer = TRUE;
        g_recycle_answer = S_OK;
        RecordingSeam();
    }
    CVellumMenuObject* CommandBar(const char* title, RECT r, int command,
                                  const std::vector<std::string>& more = {}) {
        std::vector<std::string> lines = {"Item1.Title=Run", "Item1.Action=" + std::to_string(command)};
        lines.insert(lines.end(), more.begin(), more.end());
        return LoadBar(WriteBar(std::string(title) + ".tsbar", OneSectionBar(title, r, false, lines)));
    }
};

TEST_F(ProgramCommandsTest, SessionCommandsReachOnlyTheSeamWithTheirOwnRequest) {
    CVellumMenuItem* item = Item(CommandBar("Session", {100, 100, 300, 130}, 0));
    ASSERT_NE(nullptr, item);
    struct Case {
        int command;
        const char* request;
        bool closes_volatile_bars;
    } const cases[] = {
        {21, "recycle '' 0 owned", false},
        {24, "exit 2", true},     // EWX_REBOOT
        {25, "taskbar 16 0", false},   // Windows XP: WM_CLOSE to the shell's taskbar
        {29, "exit 0", true},     // EWX_LOGOFF
        {44, "exit 1", true},     // EWX_SHUTDOWN
        {47, "suspend", false},
        {48, "hibernate", false},
        {49, "taskbar 273 402", false},   // WM_COMMAND 402
    };
    testing_support::MessageBoxWatcher boxes(IDOK);
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        g_requests.clear();
        MainLog().Clear();
        g_answer = TRUE;
        EXPECT_EQ(1, item->ExecuteStandardCommand(-1, c.command, nullptr, nullptr));
        ASSERT_EQ(1u, g_requests.size());
        EXPECT_EQ(c.request, g_requests[0]);
        EXPECT_EQ(c.closes_volatile_bars, MainLog().Saw("VolitleClose"));
        // A refusal is reported as such.
        g_answer = FALSE;
        g_recycle_answer = E_FAIL;
        EXPECT_EQ(0, item->ExecuteStandardCommand(-1, c.command, nullptr, nullptr));
        g_recycle_answer = S_OK;
    }
    EXPECT_EQ(0u, boxes.Count());
}

TEST_F(ProgramCommandsTest, AMissingRecycleBinFunctionIsReported) {
    CVellumMenuItem* item = Item(CommandBar("Recycle", {100, 100, 300, 130}, 21));
    ASSERT_NE(nullptr, item);
    testing_support::MessageBoxWatcher boxes(IDOK);
    g_recycle_answer = E_NOTIMPL;
    EXPECT_EQ(0, item->ExecuteStandardCommand(-1, 21, nullptr, nullptr));
    ASSERT_TRUE(Wait([&] { return boxes.Count() == 1; }));
    EXPECT_EQ("Empty Recycle Bin Failed!", boxes.Seen()[0].text);
}

TEST_F(ProgramCommandsTest, MainWindowCommands) {
    CVellumMenuItem* item = Item(CommandBar("Main", {100, 100, 300, 130}, 0));
    ASSERT_NE(nullptr, item);
    struct Case {
        int command;
        UINT main_command;      // 0: none
        const char* message;    // nullptr: none
    } const cases[] = {
        {3, 0, "CallRunDialog"},
        {10, 40008, "VolitleClose"},
        {18, 40009, nullptr},
        {28, 40010, nullptr},
        {38, 40021, nullptr},
    };
    for (const Case& c : cases) {
        SCOPED_TRACE(c.command);
        MainLog().Clear();
        EXPECT_EQ(1, item->ExecuteStandardCommand(-1, c.command, nullptr, nullptr));
        testing_support::PumpFor(30);
        if (c.main_command) {
            EXPECT_TRUE(MainLog().SawCommand(c.main_command));
        }
        if (c.message) {
            EXPECT_TRUE(MainLog().Saw(c.message));
        }
    }
    // An item outside any bar reaches no main window: nothing ran.
    CVellumMenuItem loose(static_cast<void*>(nullptr));
    EXPECT_EQ(0, loose.ExecuteStandardCommand(-1, 10, nullptr, nullptr));
    EXPECT_EQ(0, loose.ExecuteStandardCommand(-1, 3, nullptr, nullptr));
}

TEST_F(ProgramCommandsTest, HideShowLayerHidesItsBarsAndShowsThemBesideTheItem) {
    CVellumMenuObject* commander =
        CommandBar("Commander", {100, 300, 400, 330}, 39, {"Item1.iLayerToActOn=3", "Item1.bAttachLayer=1"});
    CVellumMenuObject* layer = LoadBar(WriteBar(
        "layer.tsbar", OneSectionBar("Layer Three", {700, 100, 800, 200}, true, {"Item1.Title=L"},
                                     {"AlwaysOnTop=1", "AlwaysOnTopOrder=3"})));
    CVellumMenuObject* other = CommandBar("Other", {100, 500, 300, 530}, 0);
    CVellumMenuItem* item = Item(commander);
    ASSERT_TRUE(item && layer && other);
    EXPECT_EQ(3, layer->AlwaysOnTopOrder);
    // Only a volatile layer hides.
    SetLayerFlags(3, 1, 0);

    EXPECT_EQ(1, item->ExecuteStandardCommand(-1, 39, nullptr, nullptr));
    EXPECT_TRUE(IsLayerHidden(3));
    EXPECT_TRUE(Wait([&] { return !IsWindowVisible(layer->m_hWnd); }));
    EXPECT_TRUE(IsWindowVisible(other->m_hWnd));
    EXPECT_TRUE(IsWindowVisible(commander->m_hWnd));

    EXPECT_EQ(1, item->ExecuteStandardCommand(-1, 39, nullptr, nullptr));
    EXPECT_FALSE(IsLayerHidden(3));
    EXPECT_TRUE(Wait([&] { return IsWindowVisible(layer->m_hWnd); }));
    RECT i = ItemScreenRect(item), l = {};
    GetWindowRect(layer->m_hWnd, &l);
    // Beside the item: at one of its edges (within the one pixel the group
    // overlaps the item's border).
    auto close_to = [](LONG a, LONG b) { return a - b <= 1 && b - a <= 1; };
    bool beside = close_to(l.top, i.bottom) || close_to(l.bottom, i.top) || close_to(l.left, i.right) ||
                  close_to(l.right, i.left);
    EXPECT_TRUE(beside) << l.left << "," << l.top << "," << l.right << "," << l.bottom << " item "
                        << i.left << "," << i.top << "," << i.right << "," << i.bottom;
}

TEST_F(ProgramCommandsTest, LayerVolatilityAndTimeFilteringFlipTheirSwitches) {
    CVellumMenuItem* item = Item(CommandBar("Switches", {100, 100, 300, 130}, 40, {"Item1.iLayerToActOn=5"}));
    ASSERT_NE(nullptr, item);
    const int volatile_before = IsLayerVolatile(5);
    EXPECT_EQ(1, item->ExecuteStandardCommand(-1, 40, nullptr, nullptr));
    EXPECT_NE(volatile_before, IsLayerVolatile(5));
    EXPECT_TRUE(MainLog().Saw("UpdateHiddenLayers"));
    const bool filtering_before = GetDisableSystrayTimeFiltering();
    EXPECT_EQ(1, item->ExecuteStandardCommand(-1, 41, nullptr, nullptr));
    EXPECT_NE(filtering_before, GetDisableSystrayTimeFiltering());
    EXPECT_TRUE(Wait([] { return MainLog().Saw("TimeFiltering Dis/Enabled!"); }));
    SetDisableSystrayTimeFiltering(filtering_before);
}

TEST_F(ProgramCommandsTest, SectionsAndAutohideOfTheItemsBar) {
    CVellumMenuObject* bar = LoadBar(WriteBar(
        "sections.tsbar",
        BarLines("Sections", {100, 100, 500, 130}, false,
                 {"AlwaysOnTop=0", "[Section1]", "Item1.Title=A", "[Section2]", "Item1.Title=Prev",
                  "Item1.Action=36", "Item2.Title=Next", "Item2.Action=37", "Item3.Title=AH",
                  "Item3.Action=43", "[Section3]", "Item1.Title=C"})));
    ASSERT_TRUE(bar && bar->m_sections[2]);
    CVellumMenuItem* prev = Item(bar, 0, 1);
    CVellumMenuItem* next = Item(bar, 1, 1);
    CVellumMenuItem* autohide = Item(bar, 2, 1);
    ASSERT_TRUE(prev && next && autohide);
    EXPECT_EQ(1, prev->ExecuteStandardCommand(-1, 36, nullptr, nullptr));
    EXPECT_TRUE(bar->m_sections[0]->IsHidden);
    EXPECT_FALSE(bar->m_sections[2]->IsHidden);
    EXPECT_EQ(1, next->ExecuteStandardCommand(-1, 37, nullptr, nullptr));
    EXPECT_TRUE(bar->m_sections[2]->IsHidden);
    EXPECT_EQ(1, prev->ExecuteStandardCommand(-1, 36, nullptr, nullptr));
    EXPECT_FALSE(bar->m_sections[0]->IsHidden);
    // The first section has no section before it.
    CVellumMenuItem* first = Item(bar, 0, 0);
    EXPECT_EQ(0, first->ExecuteStandardCommand(-1, 36, nullptr, nullptr));

    bar->m_modified = FALSE;
    EXPECT_FALSE(bar->UseAutohide);
    EXPECT_EQ(1, autohide->ExecuteStandardCommand(-1, 43, nullptr, nullptr));
    EXPECT_TRUE(bar->UseAutohide);
    EXPECT_TRUE(bar->m_modified);
    EXPECT_EQ(1, autohide->ExecuteStandardCommand(-1, 43, nullptr, nullptr));
    EXPECT_FALSE(bar->UseAutohide);
}

TEST_F(ProgramCommandsTest, CloseThisBarClosesTheItemsBar) {
    CVellumMenuObject* bar = CommandBar("Closing", {100, 100, 300, 130}, 30);
    CVellumMenuObject* other = CommandBar("Staying", {100, 200, 300, 230}, 0);
    ASSERT_TRUE(Item(bar) && other);
    HWND wnd = bar->m_hWnd;
    Click(Item(bar));
    EXPECT_TRUE(Wait([&] { return !IsLiveBar(bar) && !IsWindow(wnd); }));
    EXPECT_TRUE(IsLiveBar(other));
}

TEST_F(ProgramCommandsTest, CloseRelatedPopupsHidesTheListedBarsOfTheOpener) {
    CVellumMenuObject* listed = LoadBar(WriteBar(
        "listed.tsbar", OneSectionBar("Listed", {600, 100, 700, 160}, true, {"Item1.Title=X"})));
    const std::string child = WriteBar(
        "child.tsbar", OneSectionBar("Child", {0, 0, 120, 60}, true,
                                     {"Item1.Title=Close all", "Item1.Action=45"}));
    CVellumMenuObject* parent = LoadBar(WriteBar(
        "parent.tsbar",
        OneSectionBar("Parent", {100, 0, 500, 30}, false,
                      {"Item1.Type=Popup", "Item1.Title=Tools", "Item1.Popup=" + child,
                       "Item1.Popup.Volitle=0", "Item1.Popup.AutoReposition=0",
                       "Item1.Popup.nBarsToPopup=1", "Item1.Popup.szBar0=Listed"})));
    auto* opener = dynamic_cast<CVellumMenuItem_Popup*>(Item(parent));
    ASSERT_TRUE(listed && opener);
    listed->Hide(1);
    ASSERT_EQ(1, opener->TrackPopupMenu(0));
    EXPECT_TRUE(Wait([&] { return IsWindowVisible(listed->m_hWnd); }));
    ASSERT_TRUE(Wait([&] { return opener->m_childBar != nullptr; }));
    CVellumMenuObject* child_bar = opener->m_childBar;
    ASSERT_TRUE(Wait([&] { return IsLiveBar(child_bar) && IsWindowVisible(child_bar->m_hWnd); }));
    EXPECT_EQ(opener, child_bar->m_owningPopupItem);
    MainLog().Clear();
    CVellumMenuItem* close_all = Item(child_bar);
    ASSERT_NE(nullptr, close_all);
    EXPECT_EQ(1, close_all->ExecuteStandardCommand(-1, 45, nullptr, nullptr));
    EXPECT_TRUE(Wait([&] { return !IsWindowVisible(listed->m_hWnd); }));
    EXPECT_FALSE(opener->m_listedBarsShown);
    EXPECT_TRUE(MainLog().Saw("VolitleClose"));
}

}  // namespace
}  // namespace clicks_test
