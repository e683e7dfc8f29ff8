// The system tray section on real bars read from bar files, against the
// stand-in server in this process.
#include "tests/tray/tray_fixture.h"
#include <commctrl.h>
#include "model/vellum_menu_object.h"
#include "model/section_factory.h"
#include "skins/skin_record.h"
#include "types/systray_section.h"

using namespace tray_test;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

constexpr UINT kNotify = tray::WM_TRAYHOSTNOTIFY;

RECT HostArea(CVellumMenuSection_Systray* tray) {
    TrayHostSettings s = {};
    s.mask = kTrayArea;
    tray->m_trayHost->GetSettings(&s);
    return s.area;
}

}  // namespace

class SystrayTest : public TrayTest {
protected:
    StandInServer server;
    IconOwner owner;
};

TEST_F(SystrayTest, FactoryMakesTheSectionUnderBothNames) {
    CVellumMenuObject* bar = LoadBar(BarText(""));
    for (const char* name : {"SYSTRAY", "System Tray"}) {
        int slot = bar->AddSection(const_cast<char*>(name), 2, 0);
        ASSERT_GE(slot, 0) << name;
        auto* tray = dynamic_cast<CVellumMenuSection_Systray*>(bar->m_sections[slot]);
        ASSERT_NE(nullptr, tray) << name;
        char shown[32] = "";
        EXPECT_EQ(1, tray->GetCustomSectionName(shown));
        EXPECT_STREQ("System Tray", shown);
        EXPECT_TRUE(tray->m_valid);
        EXPECT_EQ(1, tray->IsLockedSection());
        EXPECT_EQ(0, tray->AllowDrop());
    }
}

TEST_F(SystrayTest, RegistersTellsTheAnchorAndUnregistersWithTheBar) {
    CVellumMenuObject* bar = LoadBar(BarText(""));
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    ASSERT_TRUE(tray->m_trayHost->IsConnected());
    auto reg = server.Log(tray::WM_TRAYREGISTER);
    ASSERT_EQ(1u, reg.size());
    EXPECT_EQ(reinterpret_cast<WPARAM>(bar->m_hWnd), reg[0].wp);
    EXPECT_EQ(1078, reg[0].lp);

    server.ClearLog();
    tray->SetSectionRect(10, 2, 110, 28, 0);
    const RECT area = HostArea(tray);
    auto rects = server.Log(tray::WM_TRAYSETANCHORRECT);
    auto windows = server.Log(tray::WM_TRAYSETANCHORWINDOW);
    ASSERT_EQ(1u, rects.size());
    EXPECT_EQ(static_cast<WPARAM>((area.top << 16) | area.left), rects[0].wp);
    EXPECT_EQ(static_cast<LPARAM>((area.bottom << 16) | area.right), rects[0].lp);
    ASSERT_EQ(1u, windows.size());
    EXPECT_EQ(reinterpret_cast<WPARAM>(bar->m_hWnd), windows[0].wp);

    server.ClearLog();
    tray->IsHidden = TRUE;
    tray->SetSectionRect(10, 2, 120, 28, 0);
    windows = server.Log(tray::WM_TRAYSETANCHORWINDOW);
    ASSERT_EQ(1u, windows.size());
    EXPECT_EQ(0u, windows[0].wp);
    EXPECT_EQ(0u, server.Count(tray::WM_TRAYSETANCHORRECT));
    tray->IsHidden = FALSE;

    HWND bar_window = bar->m_hWnd;
    CloseBar(bar);
    auto gone = server.Log(tray::WM_TRAYUNREGISTER);
    ASSERT_EQ(1u, gone.size());
    EXPECT_EQ(reinterpret_cast<WPARAM>(bar_window), gone[0].wp);
}

// Each message is a round trip to the server's process: a layout that places
// the section where it already is tells the server nothing, and the anchor
// goes again once the bar window has moved (the server follows its window).
TEST_F(SystrayTest, AnchorIsToldOnlyWhenItChanged) {
    CVellumMenuObject* bar = LoadBar(BarText(""));
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    tray->SetSectionRect(10, 2, 110, 28, 0);
    server.ClearLog();
    tray->SetSectionRect(10, 2, 110, 28, 0);
    EXPECT_EQ(0u, server.Count(tray::WM_TRAYSETANCHORRECT));
    EXPECT_EQ(0u, server.Count(tray::WM_TRAYSETANCHORWINDOW));

    RECT window = {};
    GetWindowRect(bar->m_hWnd, &window);
    SetWindowPos(bar->m_hWnd, nullptr, window.left + 7, window.top, 0, 0,
                 SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
    tray->SetSectionRect(10, 2, 110, 28, 0);
    EXPECT_EQ(1u, server.Count(tray::WM_TRAYSETANCHORRECT));
    auto windows = server.Log(tray::WM_TRAYSETANCHORWINDOW);
    ASSERT_EQ(1u, windows.size());
    EXPECT_EQ(reinterpret_cast<WPARAM>(bar->m_hWnd), windows[0].wp);

    server.ClearLog();
    tray->SetSectionRect(10, 2, 130, 28, 0);
    EXPECT_EQ(1u, server.Count(tray::WM_TRAYSETANCHORRECT));
    CloseBar(bar);
}

TEST_F(SystrayTest, ButtonStateFollowsFilteringExpansionAndMouse) {
    server.Put(0, owner.Window(), 1, "kept");
    server.Put(1, owner.Window(), 2, "always hidden");
    server.Entry(1).behavior = tray::kAlwaysHide;
    CVellumMenuObject* bar = LoadBar(BarText("UseTimeFilter=1\r\nTempDisabled=0\r\n"));
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    const struct {
        const char* name;
        BOOL use_filter;
        BOOL expanded;
        bool any_hidden;
        int mouse;
        int state;
    } cases[] = {
        {"filter off", FALSE, FALSE, true, 1, kAllFilteringDisabled},
        {"filter on, nothing hidden", TRUE, FALSE, false, 0, kAllFilteringDisabled},
        {"hidden icons, normal", TRUE, FALSE, true, 0, kExpandableDefault},
        {"hidden icons, mouse over", TRUE, FALSE, true, 1, kExpandableMouseover},
        {"hidden icons, pressed", TRUE, FALSE, true, 2, kExpandableSelected},
        {"hidden icons, pressed and left", TRUE, FALSE, true, -1, kExpandableDefault},
        {"expanded, normal", TRUE, TRUE, true, 0, kCollapsibleDefault},
        {"expanded, mouse over", TRUE, TRUE, true, 1, kCollapsibleMouseover},
        {"expanded, pressed", TRUE, TRUE, true, 2, kCollapsibleSelected},
    };
    for (const auto& c : cases) {
        server.Entry(1).behavior = c.any_hidden ? tray::kAlwaysHide : tray::kAlwaysShow;
        tray->UseTimeFilter = c.use_filter;
        tray->TempDisabled = c.expanded;
        tray->ApplyTrayFilterState();
        tray->m_buttonMouseState = c.mouse;
        EXPECT_EQ(c.state, tray->GetTrayButtonState()) << c.name;
    }
    tray->ExpandButtonEnabled = FALSE;
    EXPECT_EQ(-1, tray->GetTrayButtonState());
}

TEST_F(SystrayTest, CommandsExpandToggleFilteringAndOpenTheServerDialogs) {
    server.Put(0, owner.Window(), 1, "shown");
    server.Put(1, owner.Window(), 2, "filtered");
    server.Entry(1).behavior = tray::kAlwaysHide;
    CVellumMenuObject* bar = LoadBar(BarText("UseTimeFilter=1\r\nTempDisabled=0\r\n"));
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    EXPECT_EQ(1, tray->m_trayHost->GetShownCount());

    EXPECT_EQ(1, tray->DoCustomContextMenuCommand(kCmdToggleExpanded));
    EXPECT_TRUE(tray->TempDisabled);
    EXPECT_EQ(2, tray->m_trayHost->GetShownCount());
    EXPECT_EQ(1, tray->DoCustomContextMenuCommand(kCmdToggleExpanded));
    EXPECT_FALSE(tray->TempDisabled);
    EXPECT_EQ(1, tray->m_trayHost->GetShownCount());

    tray->TempDisabled = TRUE;
    EXPECT_EQ(1, tray->DoCustomContextMenuCommand(kCmdToggleFiltering));
    EXPECT_FALSE(tray->UseTimeFilter);
    EXPECT_FALSE(tray->TempDisabled);
    EXPECT_EQ(2, tray->m_trayHost->GetShownCount());
    EXPECT_EQ(1, tray->DoCustomContextMenuCommand(kCmdToggleFiltering));
    EXPECT_TRUE(tray->UseTimeFilter);
    EXPECT_EQ(1, tray->m_trayHost->GetShownCount());

    server.ClearLog();
    EXPECT_EQ(1, tray->DoCustomContextMenuCommand(kCmdConfigureFiltering));
    EXPECT_EQ(1, tray->DoCustomContextMenuCommand(kCmdCustomizeIcons));
    ASSERT_TRUE(PumpUntil([&] { return server.Count(tray::WM_TRAYICONDIALOG) == 1; }, 2000));
    ASSERT_EQ(1u, server.Count(tray::WM_TRAYFILTERDIALOG));
    EXPECT_EQ(reinterpret_cast<WPARAM>(bar->m_hWnd), server.Log(tray::WM_TRAYFILTERDIALOG)[0].wp);
    EXPECT_EQ(reinterpret_cast<WPARAM>(bar->m_hWnd), server.Log(tray::WM_TRAYICONDIALOG)[0].wp);
    EXPECT_EQ(0, tray->DoCustomContextMenuCommand(1005));
}

TEST_F(SystrayTest, ContextMenuEntriesStandBeforeTheExtendedItems) {
    CVellumMenuObject* bar = LoadBar(BarText("UseTimeFilter=1\r\nTempDisabled=1\r\n"));
    CVellumMenuSection_Systray* tray = Tray(bar);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 40137, "Section Options");
    AppendMenuA(menu, MF_STRING, 40141, "Item Options");
    AppendMenuA(menu, MF_STRING, 40140, "ADD EXTENDED ITEMS HERE");
    EXPECT_EQ(nullptr, tray->InitContextMenu(menu));
    std::vector<std::string> texts;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[128] = "";
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        texts.push_back(text[0] ? text : "-");
    }
    DestroyMenu(menu);
    EXPECT_EQ((std::vector<std::string>{"Hide Inactive Tray Icons", "Configure Tray Filtering...",
                                         "Disable System Tray Filtering", "-",
                                         "Customize Icons in the System Tray", "-",
                                         "ADD EXTENDED ITEMS HERE"}),
              texts);
}

TEST_F(SystrayTest, SavingStoresContractedWithAutocontractAndALoadWithoutTheKeyIsExpanded) {
    CVellumMenuObject* bar = LoadBar(BarText("UseTimeFilter=1\r\nAutocontract=1\r\n"));
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    EXPECT_TRUE(tray->TempDisabled) << "no TempDisabled in the file: expanded";
    std::string path = temp_.File("saved.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(path.c_str())));
    char value[32] = "";
    GetPrivateProfileStringA("Section1", "TempDisabled", "<none>", value, sizeof(value), path.c_str());
    EXPECT_STREQ("0", value);
    GetPrivateProfileStringA("Section1", "Properties.Type", "<none>", value, sizeof(value), path.c_str());
    EXPECT_STREQ("Systray", value);
    GetPrivateProfileStringA("Section1", "UseTimeFilter", "<none>", value, sizeof(value), path.c_str());
    EXPECT_STREQ("1", value);

    tray->Autocontract = FALSE;
    ASSERT_EQ(1, bar->Save(const_cast<char*>(path.c_str())));
    GetPrivateProfileStringA("Section1", "TempDisabled", "<none>", value, sizeof(value), path.c_str());
    EXPECT_STREQ("1", value);
}

TEST_F(SystrayTest, AnIconThatExpiresVanishesOnTheTimerAndTheBarRelaysOut) {
    server.inactive_minutes = 1;
    server.Put(0, owner.Window(), 1, "stays");
    server.Entry(0).behavior = tray::kAlwaysShow;
    server.Put(1, owner.Window(), 2, "expires");
    const DWORD now = GetTickCount();
    if (now < 2 * 60000) GTEST_SKIP() << "the tick count is too young for idle times";
    server.Entry(1).tip_tick = server.Entry(1).icon_tick = now - 60000 + 300;
    CVellumMenuObject* bar = LoadBar(BarText("UseTimeFilter=1\r\nTempDisabled=0\r\n"));
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    ASSERT_EQ(2, tray->m_trayHost->GetShownCount());
    EXPECT_TRUE(tray->m_trayHost->m_filterTimerArmed);
    ASSERT_TRUE(PumpUntil([&] { return tray->m_trayHost->GetShownCount() == 1; }, 3000));
    EXPECT_EQ(1, tray->m_lastShownCount);
    EXPECT_TRUE(IsRectEmpty(&tray->m_trayHost->IconRect(1)));
}

TEST_F(SystrayTest, RightClickOnTheProgramsOwnIconKeepsVolatileBarsOpen) {
    IconOwner own("Tessellar Main");
    server.Put(0, own.Window(), 1, "Tessellar");
    CVellumMenuObject* bar = LoadBar(BarText("ExpandButtonEnabled=0\r\n"));
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    const RECT icon = tray->m_trayHost->IconRect(0);
    ASSERT_FALSE(IsRectEmpty(&icon));
    char cls[64] = "";
    GetClassNameA(own.Window(), cls, sizeof(cls));
    ASSERT_STREQ("Tessellar Main", cls);
    ASSERT_EQ(own.Window(), tray->m_trayHost->OwnerAt((icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2));
    int handled = 1;
    tray->ProcessMouseMessage(WM_RBUTTONDOWN, MK_RBUTTON, 0, POINT{(icon.left + icon.right) / 2, (icon.top + icon.bottom) / 2}, &handled);
    EXPECT_EQ(0, handled);
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), GetPropA(own.Window(), "TS-NOCLOSEVOLITLESTEMPLY"));
    RemovePropA(own.Window(), "TS-NOCLOSEVOLITLESTEMPLY");
}

TEST_F(SystrayTest, CellsComeFromTheSkinAndTheBlockIsCentredInAHorizontalBar) {
    server.Put(0, owner.Window(), 1, "a");
    server.Put(1, owner.Window(), 2, "b");
    CVellumMenuObject* bar = LoadBar(BarText("ExpandButtonEnabled=0\r\n", false, 200, 40), true, GlassSkin());
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    tray->SetSectionRect(0, 0, 150, 40, 0);
    const RECT inner = tray->m_innerRect;
    ASSERT_GT(inner.bottom - inner.top, 22);
    const RECT first = tray->m_trayHost->IconRect(0);
    const RECT second = tray->m_trayHost->IconRect(1);
    EXPECT_EQ(32, first.right - first.left);   // 2 x ItemWidthBuffer 8 + 16
    EXPECT_EQ(22, first.bottom - first.top);   // ItemHeight
    EXPECT_EQ(first.right + 1, second.left);   // ItemSpacing.cx
    EXPECT_EQ(first.top, second.top);
    EXPECT_EQ(inner.top + (inner.bottom - inner.top - 22) / 2, first.top);
    const RECT area = HostArea(tray);
    EXPECT_EQ(22, area.bottom - area.top);
}

TEST_F(SystrayTest, AnExpandedTrayContractsAfterThePointerStaysElsewhereOnTheBar) {
    server.Put(0, owner.Window(), 1, "shown");
    server.Put(1, owner.Window(), 2, "filtered");
    server.Entry(1).behavior = tray::kAlwaysHide;
    CVellumMenuObject* bar = LoadBar(BarText("UseTimeFilter=1\r\nTempDisabled=1\r\nAutocontract=1\r\n"));
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    tray->SetSectionRect(0, 0, 100, 30, 0);
    const POINT inside = {50, 15}, elsewhere = {150, 15};
    int handled = 1;

    // Elsewhere, then back before the time is up: it stays expanded.
    tray->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0, elsewhere, &handled);
    EXPECT_TRUE(tray->m_autoContractRunning);
    PumpFor(1000);
    tray->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0, inside, &handled);
    EXPECT_FALSE(tray->m_autoContractRunning);
    PumpFor(3500);
    EXPECT_TRUE(tray->TempDisabled);
    EXPECT_EQ(2, tray->m_trayHost->GetShownCount());

    // Elsewhere for good: contracted after 4 seconds.
    const DWORD start = GetTickCount();
    tray->ProcessMouseMessage(WM_MOUSEMOVE, 0, 0, elsewhere, &handled);
    ASSERT_TRUE(PumpUntil([&] { return !tray->TempDisabled; }, 8000));
    EXPECT_GE(GetTickCount() - start + 32, kAutoContractDelayMs);
    EXPECT_EQ(1, tray->m_trayHost->GetShownCount());
}

TEST_F(SystrayTest, PageShowsTheSwitchesAndTheSevenButtonStates) {
    server.Put(0, owner.Window(), 1, "shown");
    server.Put(1, owner.Window(), 2, "filtered");
    server.Entry(1).behavior = tray::kAlwaysHide;
    CVellumMenuObject* bar = LoadBar(BarText("UseTimeFilter=0\r\nbmpAllDisabled=none.bmp\r\n"));
    CVellumMenuSection_Systray* tray = Tray(bar);
    ASSERT_NE(nullptr, tray);
    HWND page = tray->CallConfigDialogEx(bar->m_hWnd);
    ASSERT_NE(nullptr, page);
    EXPECT_EQ(page, tray->CallConfigDialogEx(bar->m_hWnd)) << "one page per section";
    EXPECT_EQ(BST_UNCHECKED, IsDlgButtonChecked(page, 1243));
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, 1294));
    HWND list = GetDlgItem(page, 1290);
    ASSERT_EQ(kSystrayButtonStates, static_cast<int>(SendMessageA(list, LVM_GETITEMCOUNT, 0, 0)));
    for (int i = 0; i < kSystrayButtonStates; ++i) {
        char text[128] = "";
        LVITEMA item = {};
        item.iSubItem = 0;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        SendMessageA(list, LVM_GETITEMTEXTA, i, reinterpret_cast<LPARAM>(&item));
        EXPECT_STREQ(kSystrayButtonStateNames[i], text);
    }
    char path[128] = "";
    LVITEMA cell = {};
    cell.iSubItem = 1;
    cell.pszText = path;
    cell.cchTextMax = sizeof(path);
    SendMessageA(list, LVM_GETITEMTEXTA, kAllFilteringDisabled, reinterpret_cast<LPARAM>(&cell));
    EXPECT_STREQ("none.bmp", path);

    // "Enable Filtering" applies at once.
    EXPECT_EQ(2, tray->m_trayHost->GetShownCount());
    CheckDlgButton(page, 1243, BST_CHECKED);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1243, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1243)));
    EXPECT_TRUE(tray->UseTimeFilter);
    EXPECT_TRUE(tray->TempDisabled) << "read without TempDisabled: expanded";
    CheckDlgButton(page, 1295, BST_UNCHECKED);
    SendMessageA(page, WM_COMMAND, MAKEWPARAM(1295, BN_CLICKED), reinterpret_cast<LPARAM>(GetDlgItem(page, 1295)));
    EXPECT_FALSE(tray->TempDisabled);
    EXPECT_EQ(1, tray->m_trayHost->GetShownCount());
    // The menu command shows in the page too.
    tray->DoCustomContextMenuCommand(kCmdToggleExpanded);
    EXPECT_EQ(BST_CHECKED, IsDlgButtonChecked(page, 1295));

    SendMessageA(page, WM_COMMAND, IDOK, 0);
    EXPECT_FALSE(IsWindow(page));
    EXPECT_EQ(nullptr, tray->m_pages[0]);
}
