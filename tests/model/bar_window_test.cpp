// The bar window as other programs and the hook library see it: class,
// styles, properties, user data; and the filters of its window procedure.
#include <windows.h>
#include <commctrl.h>
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/bar_window.h"
#include "model/live_objects.h"
#include "model_fixture.h"
#include "tests/support/test_support.h"
#include "util/bar_registry.h"

using namespace model_test;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

std::string ClassOf(HWND wnd) {
    char name[64] = "";
    GetClassNameA(wnd, name, sizeof(name));
    return name;
}

class BarWindowTest : public BarTest {
protected:
    static bool IsAbove(HWND upper, HWND lower) {
        for (HWND w = GetWindow(upper, GW_HWNDNEXT); w; w = GetWindow(w, GW_HWNDNEXT))
            if (w == lower) return true;
        return false;
    }

    bool ShowBarNow(CVellumMenuObject* bar) {
        bar->Show(1);
        return PumpUntil([bar] { return IsWindowVisible(bar->m_hWnd) != 0; }, 1000);
    }
};

}  // namespace

TEST_F(BarWindowTest, WindowHasClassStylesPropertiesAndUserData) {
    CVellumMenuObject* bar = NewBar();
    HWND wnd = bar->m_hWnd;
    ASSERT_TRUE(IsWindow(wnd));

    EXPECT_EQ("Tessellar Toolbar", ClassOf(wnd));
    char title[32] = "";
    GetWindowTextA(wnd, title, sizeof(title));
    EXPECT_STREQ("Tessellar", title);
    EXPECT_EQ(0x82000800u, static_cast<DWORD>(GetWindowLongA(wnd, GWL_STYLE)) & ~WS_CLIPSIBLINGS);
    DWORD ex = static_cast<DWORD>(GetWindowLongA(wnd, GWL_EXSTYLE));
    EXPECT_EQ(static_cast<DWORD>(WS_EX_TOOLWINDOW | WS_EX_TOPMOST),
              ex & (WS_EX_TOOLWINDOW | WS_EX_TOPMOST));
    EXPECT_FALSE(IsWindowVisible(wnd));
    RECT rect;
    GetWindowRect(wnd, &rect);
    EXPECT_EQ(100, rect.right - rect.left);
    EXPECT_EQ(100, rect.bottom - rect.top);

    EXPECT_EQ(static_cast<LONG_PTR>(0x49474541), GetWindowLongPtrA(wnd, GWLP_USERDATA));
    EXPECT_EQ(static_cast<HANDLE>(bar), GetPropA(wnd, "lpMenuObject"));
    EXPECT_EQ(reinterpret_cast<HANDLE>(1), GetPropA(wnd, "ADDSHADOW"));
    HWND tips = static_cast<HWND>(GetPropA(wnd, "hwndToolTips"));
    ASSERT_TRUE(IsWindow(tips));
    EXPECT_EQ(tips, bar->m_hToolTips);
    EXPECT_EQ("tooltips_class32", ClassOf(tips));
    EXPECT_EQ(wnd, GetWindow(tips, GW_OWNER));
    EXPECT_TRUE(GetWindowLongA(tips, GWL_EXSTYLE) & WS_EX_TOPMOST);

    // The class delivers double clicks and brings the arrow and the button face.
    WNDCLASSA wc = {};
    ASSERT_TRUE(GetClassInfoA(GetModuleHandleA(nullptr), "Tessellar Toolbar", &wc));
    EXPECT_EQ(static_cast<UINT>(CS_HREDRAW | CS_VREDRAW | CS_DBLCLKS), wc.style);
    EXPECT_EQ(LoadCursorA(nullptr, IDC_ARROW), wc.hCursor);
    EXPECT_EQ(reinterpret_cast<HBRUSH>(COLOR_BTNFACE + 1), wc.hbrBackground);
    EXPECT_EQ(reinterpret_cast<WNDPROC>(BarWindowProc), wc.lpfnWndProc);

    // Registered in the bar registry, and the main window was told first.
    EXPECT_GE(FindBarWindow(nullptr, wnd), 0);
    EXPECT_EQ(1u, CountMainMessages(GetBarMessages().MenuObjectCreated,
                                    reinterpret_cast<WPARAM>(bar)));
    EXPECT_EQ(1, bar->m_refCount);
    EXPECT_TRUE(bar->m_constructed);
}

TEST_F(BarWindowTest, BarWithoutStatsMonitorOrMainWindowHasNoWindow) {
    CVellumMenuObject* no_stats = NewBar(MainWindowWithoutStats());
    EXPECT_EQ(nullptr, no_stats->m_hWnd);
    EXPECT_EQ(1u, CountMainMessages(GetBarMessages().MenuObjectCreated,
                                    reinterpret_cast<WPARAM>(no_stats)));
    no_stats->Destroy();   // posts nothing, breaks nothing
    PumpFor(50);
    EXPECT_TRUE(IsLiveBar(no_stats));

    CVellumMenuObject* template_bar = NewBar(nullptr);
    EXPECT_EQ(nullptr, template_bar->m_hWnd);
    EXPECT_EQ(nullptr, template_bar->m_hMainWindow);
    EXPECT_EQ(-1, template_bar->DockToEdge);
    EXPECT_EQ(-1, template_bar->Alpha);
    EXPECT_EQ(-1, template_bar->LastTabOrder);
    EXPECT_TRUE(template_bar->AlwaysOnTop);
    EXPECT_STREQ("", template_bar->Comments);
    EXPECT_EQ(template_bar->m_skinSlot, &template_bar->m_skin);
}

TEST_F(BarWindowTest, DesktopBarUsesItsOwnClassOnceAndIsInternal) {
    CVellumMenuObject::SetNextBarIsDesktopBar();
    CVellumMenuObject* desktop = NewBar();
    CVellumMenuObject* ordinary = NewBar();
    EXPECT_EQ("Tessellar Toolbar DESKTOP", ClassOf(desktop->m_hWnd));
    EXPECT_EQ("Tessellar Toolbar", ClassOf(ordinary->m_hWnd));

    EXPECT_TRUE(IsInternalBar(desktop));
    EXPECT_TRUE(IsInternalBarWindow(desktop->m_hWnd));
    EXPECT_FALSE(IsInternalBar(ordinary));
    EXPECT_FALSE(IsInternalBarWindow(ordinary->m_hWnd));
    ordinary->m_internalBar = TRUE;
    EXPECT_TRUE(IsInternalBar(ordinary));
    EXPECT_TRUE(IsInternalBarWindow(ordinary->m_hWnd));
    ordinary->m_internalBar = FALSE;
    ordinary->m_neverSave = TRUE;
    EXPECT_TRUE(IsInternalBar(ordinary));
    EXPECT_FALSE(IsInternalBarWindow(MainWindow()));
    EXPECT_FALSE(IsInternalBar(nullptr));
}

TEST_F(BarWindowTest, AltF4DoesNotCloseABar) {
    CVellumMenuObject* bar = NewBar();
    HWND wnd = bar->m_hWnd;
    const LPARAM alt_down = 0x20000001 | (MapVirtualKeyA(VK_F4, 0) << 16);
    EXPECT_EQ(0, SendMessageA(wnd, WM_SYSKEYDOWN, VK_F4, alt_down));
    PostMessageA(wnd, WM_SYSKEYDOWN, VK_F4, alt_down);
    PostMessageA(wnd, WM_SYSKEYUP, VK_F4, alt_down | 0xC0000000);
    PumpFor(100);
    EXPECT_TRUE(IsWindow(wnd));
    EXPECT_TRUE(IsLiveBar(bar));
}

TEST_F(BarWindowTest, SecondPressWithinDoubleClickTimeDoesNotActivate) {
    CVellumMenuObject* bar = NewBar();
    HWND wnd = bar->m_hWnd;
    // No press yet: the default answer.
    EXPECT_NE(MA_NOACTIVATE, SendMessageA(wnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(wnd),
                                          MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)));
    // The press and the question must fall within the double-click time. A
    // loaded machine may hold this thread up in between: such a try shows
    // nothing, and the next one presses again.
    bool in_time = false;
    for (int attempt = 0; attempt < 20 && !in_time; ++attempt) {
        const DWORD posted = GetTickCount();
        PostMessageA(wnd, WM_LBUTTONDOWN, MK_LBUTTON, MAKELPARAM(5, 5));
        PumpFor(30);
        EXPECT_NE(0u, bar->m_lastLeftPress);
        const LRESULT answer = SendMessageA(wnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(wnd),
                                            MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN));
        // Slack for the clock's steps and the bar's own margin.
        in_time = GetTickCount() - posted + 60 < GetDoubleClickTime();
        if (in_time) {
            EXPECT_EQ(MA_NOACTIVATE, answer);
        }
    }
    ASSERT_TRUE(in_time) << "no try came within the double-click time";
    // A double click clears the recorded press.
    SendMessageA(wnd, WM_LBUTTONDBLCLK, MK_LBUTTON, MAKELPARAM(5, 5));
    EXPECT_EQ(0u, bar->m_lastLeftPress);
    EXPECT_TRUE(bar->m_doubleClickSeen);
    EXPECT_NE(MA_NOACTIVATE, SendMessageA(wnd, WM_MOUSEACTIVATE, reinterpret_cast<WPARAM>(wnd),
                                          MAKELPARAM(HTCLIENT, WM_LBUTTONDOWN)));
}

TEST_F(BarWindowTest, QueryIsDockedAnswersByEdge) {
    CVellumMenuObject* bar = NewBar();
    const UINT query = RegisterWindowMessageA("TSQuery - IsDocked");
    const struct { int edge; LRESULT docked; } cases[] = {
        {-1, 0}, {0, 1}, {1, 1}, {2, 1}, {3, 1}};
    for (const auto& c : cases) {
        bar->DockToEdge = c.edge;
        EXPECT_EQ(c.docked, SendMessageA(bar->m_hWnd, query, 0, 0)) << "edge " << c.edge;
    }
    bar->DockToEdge = -1;
}

TEST_F(BarWindowTest, ShowAndHideGoThroughMyShowWindow) {
    CVellumMenuObject* bar = NewBar();
    const BarMessages& m = GetBarMessages();
    bar->Show(0);
    ASSERT_TRUE(PumpUntil([bar] { return IsWindowVisible(bar->m_hWnd) != 0; }, 2000));
    EXPECT_EQ(1u, CountMainMessages(m.MenuObjectShowing, reinterpret_cast<WPARAM>(bar)));
    bar->Hide(1);
    EXPECT_FALSE(IsWindowVisible(bar->m_hWnd));
    EXPECT_EQ(1u, CountMainMessages(m.MenuObjectHiding, reinterpret_cast<WPARAM>(bar)));

    // A bar whose layer is hidden is not shown.
    static bool layer_hidden = true;
    GetBarHostServices().IsLayerHidden = [](int layer) { return layer == 3 && layer_hidden; };
    bar->AlwaysOnTopOrder = 3;
    bar->Show(1);
    PumpFor(50);
    EXPECT_FALSE(IsWindowVisible(bar->m_hWnd));
    EXPECT_TRUE(bar->m_layerHidden);
    // The layer shows again: "UpdateHiddenLayers" brings the bar back.
    layer_hidden = false;
    SendMessageA(bar->m_hWnd, m.UpdateHiddenLayers, 0, 0);
    EXPECT_TRUE(PumpUntil([bar] { return IsWindowVisible(bar->m_hWnd) != 0; }, 2000));
    EXPECT_FALSE(bar->m_layerHidden);
}

TEST_F(BarWindowTest, TimerIdsCountUpPerBarAndReachPlugins) {
    CVellumMenuObject* a = NewBar();
    CVellumMenuObject* b = NewBar();
    // The state animator took the first ids of each bar for its 100 slots.
    const unsigned base = static_cast<unsigned>(a->m_lastTimerId);
    EXPECT_EQ(100u, base);
    EXPECT_EQ(base + 1, a->ReserveTimerID());
    EXPECT_EQ(base + 2, a->ReserveTimerID());
    EXPECT_EQ(base + 1, b->ReserveTimerID());

    const UINT reserve = RegisterWindowMessageA("TessellarPlugin - ReserveCustomTimerID");
    int first = 0, second = 0;
    SendMessageA(a->m_hWnd, reserve, reinterpret_cast<WPARAM>(&first), 0);
    SendMessageA(a->m_hWnd, reserve, reinterpret_cast<WPARAM>(&second), 0);
    EXPECT_EQ(static_cast<int>(base + 3), first);
    EXPECT_EQ(static_cast<int>(base + 4), second);
    // A pointer that names no memory of this process is not written through.
    SendMessageA(a->m_hWnd, reserve, 0x10, 0);
    PostMessageA(a->m_hWnd, reserve, 0x7FFF0000, 0);
    PumpFor(30);
    EXPECT_TRUE(IsLiveBar(a));
}

TEST_F(BarWindowTest, TitleKeepsVariablesAndShowsThemExpanded) {
    SetEnvironmentVariableA("TESS_MODEL_TEST", "Fen");
    CVellumMenuObject* bar = NewBar();
    bar->SetTitle(const_cast<char*>("Bar of %TESS_MODEL_TEST%"));
    EXPECT_STREQ("Bar of %TESS_MODEL_TEST%", bar->Title);
    EXPECT_STREQ("Bar of Fen", bar->m_displayTitle);
    char text[64] = "";
    GetWindowTextA(bar->m_hWnd, text, sizeof(text));
    EXPECT_STREQ("Bar of %TESS_MODEL_TEST%", text);
    // Setting the title from itself keeps it.
    bar->SetTitle(bar->Title);
    EXPECT_STREQ("Bar of %TESS_MODEL_TEST%", bar->Title);
}

TEST_F(BarWindowTest, ItemTitlesGiveMnemonicsLineBreaksAndExpansion) {
    SetEnvironmentVariableA("TESS_MODEL_TEST", "Fen");
    RecordingSection* section = nullptr;
    CVellumMenuObject* bar = NewRecordingBar(&section);
    const struct {
        const char* title;
        int mnemonic;
        const char* shown;
        const char* stored;
    } cases[] = {
        {"Save &As", 'A', "Save &As", "Save &As"},
        {"Fish && Chips", 'F', "Fish && Chips", "Fish && Chips"},
        {"end&", 'E', "end&", "end&"},
        {"Line one\\nLine two", 'L', "Line one\nLine two", "Line one\nLine two"},
        {"Hi %TESS_MODEL_TEST%", 'H', "Hi Fen", "Hi %TESS_MODEL_TEST%"},
        {"", 0, "", ""},
    };
    for (const auto& c : cases) {
        CVellumMenuItem item(bar, section, const_cast<char*>(c.title));
        EXPECT_EQ(c.mnemonic, item.m_mnemonic) << c.title;
        EXPECT_STREQ(c.shown, item.m_shownTitle) << c.title;
        EXPECT_STREQ(c.stored, item.m_title) << c.title;
        EXPECT_TRUE(item.m_valid);
    }
}

TEST_F(BarWindowTest, TooltipToolPerItemAnswersWithItsTitle) {
    RecordingSection* section = nullptr;
    CVellumMenuObject* bar = NewRecordingBar(&section);
    HWND tips = bar->m_hToolTips;
    // The section's three scroll arrows hold tools of their own.
    LRESULT before = SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0);
    auto* item = new CVellumMenuItem(bar, section, const_cast<char*>("Mail"));
    ASSERT_TRUE(section->InsertItem(-1, item));
    EXPECT_EQ(before + 1, SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0));

    NMTTDISPINFOA info = {};
    info.hdr.hwndFrom = tips;
    info.hdr.idFrom = reinterpret_cast<UINT_PTR>(item);
    info.hdr.code = TTN_NEEDTEXTA;
    SendMessageA(bar->m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&info));
    ASSERT_NE(nullptr, info.lpszText);
    EXPECT_STREQ("Mail", info.lpszText);

    // From some other window the notification is not answered.
    NMTTDISPINFOA other = info;
    other.hdr.hwndFrom = MainWindow();
    other.lpszText = nullptr;
    SendMessageA(bar->m_hWnd, WM_NOTIFY, 0, reinterpret_cast<LPARAM>(&other));
    EXPECT_EQ(nullptr, other.lpszText);

    section->RemoveItem(item, 1);
    EXPECT_EQ(before, SendMessageA(tips, TTM_GETTOOLCOUNT, 0, 0));
}

TEST_F(BarWindowTest, PluginRecordIsUnpackedOnlyWhenTheProgramMadeIt) {
    RecordingSection* section = nullptr;
    CVellumMenuObject* bar = NewRecordingBar(&section);
    const UINT formatted = RegisterWindowMessageA("FormatedMsg From Plugin");
    const UINT inner = WM_USER + 321;

    MSG* record = AllocPluginMessageRecord(inner, 5, 6);
    PostMessageA(bar->m_hWnd, formatted, reinterpret_cast<WPARAM>(record), 0);
    // Records that the program did not make: never read, never freed.
    MSG forged = {};
    forged.message = inner;
    PostMessageA(bar->m_hWnd, formatted, reinterpret_cast<WPARAM>(&forged), 0);
    PostMessageA(bar->m_hWnd, formatted, 0x1234, 0);
    PostMessageA(bar->m_hWnd, formatted, 0, 0);
    PumpFor(60);

    int seen = 0;
    for (const Delivery& d : Deliveries()) {
        if (d.msg != inner) continue;
        ++seen;
        EXPECT_EQ(5u, d.wp);
        EXPECT_EQ(6, d.lp);
    }
    EXPECT_EQ(1, seen);
    EXPECT_FALSE(IsOwnedRecord(record));
    EXPECT_TRUE(IsLiveBar(bar));
}

TEST_F(BarWindowTest, WorkAreaChangePullsABarThatSizesByItBackIn) {
    CVellumMenuObject* bar = NewBar();
    RECT work;
    SystemParametersInfoA(SPI_GETWORKAREA, 0, &work, 0);
    bar->m_placement.LastSize = SIZE{100, 30};
    bar->bRestrictMaximumSize = FALSE;   // no sections: the size is the test's
    const struct {
        BOOL screen_sizes;
        LONG modifier;
        POINT pos;
        POINT expected;
    } cases[] = {
        // Sizes by the work area: pulled back in, left and top winning.
        {FALSE, 2, {-50, work.bottom + 500}, {work.left, work.bottom - 30}},
        {FALSE, 3, {work.right - 10, -40}, {work.right - 100, work.top}},
        // Sizes by the screen, or no rule by the work area: left alone.
        {TRUE, 2, {-50, -50}, {-50, -50}},
        {FALSE, 1, {-50, -50}, {-50, -50}},
    };
    for (const auto& c : cases) {
        bar->bUseScreenSizes = c.screen_sizes;
        bar->ptMAX.modifiers.x = c.modifier;
        bar->m_placement.LastPos = c.pos;
        SendMessageA(bar->m_hWnd, WM_SETTINGCHANGE, SPI_SETWORKAREA, 0);
        EXPECT_EQ(c.expected.x, bar->m_placement.LastPos.x) << c.pos.x << "," << c.pos.y;
        EXPECT_EQ(c.expected.y, bar->m_placement.LastPos.y) << c.pos.x << "," << c.pos.y;
    }
}

TEST_F(BarWindowTest, ZOrderChangesAskTheMainWindowWhereTheLayerGoes) {
    CVellumMenuObject* bar = NewBar();
    CVellumMenuObject* upper = NewBar();
    bar->AlwaysOnTopOrder = 4;
    ASSERT_TRUE(ShowBarNow(bar));
    ASSERT_TRUE(ShowBarNow(upper));
    MainWindowMessages().clear();

    const UINT flags = SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE;
    SetWindowPos(bar->m_hWnd, HWND_TOPMOST, 0, 0, 0, 0, flags);
    ASSERT_TRUE(IsAbove(bar->m_hWnd, upper->m_hWnd));
    EXPECT_GE(CountMainMessages(GetBarMessages().GetAfterWindow,
                                reinterpret_cast<WPARAM>(bar->m_hWnd)),
              1u);

    // The main window names the window to go behind; the bar goes there
    // even when asked to come to the top.
    g_after_window_answer = upper->m_hWnd;
    SetWindowPos(bar->m_hWnd, HWND_TOP, 0, 0, 0, 0, flags);
    EXPECT_TRUE(IsAbove(upper->m_hWnd, bar->m_hWnd));
}

TEST_F(BarWindowTest, SmallIconOfAnotherWindowFallsBackToItsClass) {
    CVellumMenuObject* bar = NewBar();
    HICON small_icon = LoadIconA(nullptr, IDI_INFORMATION);
    HICON big_icon = LoadIconA(nullptr, IDI_WARNING);
    WNDCLASSEXA wc = {};
    wc.cbSize = sizeof(wc);
    wc.lpfnWndProc = DefWindowProcA;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.lpszClassName = "Tessellar Model Test Icons";
    wc.hIcon = big_icon;
    wc.hIconSm = small_icon;
    RegisterClassExA(&wc);
    HWND wnd = CreateWindowExA(0, wc.lpszClassName, "", WS_POPUP, 0, 0, 1, 1, nullptr, nullptr,
                               wc.hInstance, nullptr);
    EXPECT_EQ(small_icon, bar->GetWindowSmallIcon(wnd));
    // The window's own icon comes first.
    SendMessageA(wnd, WM_SETICON, ICON_SMALL, reinterpret_cast<LPARAM>(big_icon));
    EXPECT_EQ(big_icon, bar->GetWindowSmallIcon(wnd));
    EXPECT_EQ(nullptr, bar->GetWindowSmallIcon(nullptr));
    DestroyWindow(wnd);

    // A timed send gives the result, or 0 when it fails.
    bar->DockToEdge = 0;
    EXPECT_EQ(1u, bar->SendMessageTimeoutA(bar->m_hWnd, RegisterWindowMessageA("TSQuery - IsDocked"),
                                           0, 0, SMTO_ABORTIFHUNG, 200));
    bar->DockToEdge = -1;
    EXPECT_EQ(0u, bar->SendMessageTimeoutA(reinterpret_cast<HWND>(0x1234), WM_NULL, 0, 0,
                                           SMTO_ABORTIFHUNG, 200));
}
