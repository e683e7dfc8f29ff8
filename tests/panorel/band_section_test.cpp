// The virtual desktops section on real bars read from bar files, with the
// stand-in band library beside the test program (or missing).
#include "tests/panorel/panorel_fixture.h"
#include <algorithm>
#include "model/vellum_menu_object.h"
#include "skins/skin_record.h"
#include "types/virtual_desktops_section.h"

using namespace panorel_test;

namespace {

// A plain section with two items after the band section.
const char kSecondSection[] =
    "[Section2]\r\nItem1.Type=Default\r\nItem1.Title=One\r\nItem2.Type=Default\r\n"
    "Item2.Title=Two\r\n";

std::string Key(const std::string& file, const char* section, const char* key) {
    char value[600] = "";
    GetPrivateProfileStringA(section, key, "(none)", value, sizeof(value), file.c_str());
    return value;
}

int Width(const RECT& r) { return r.right - r.left; }

RECT Inset(const RECT& outer, const RECT& a, const RECT& b) {
    return RECT{outer.left + a.left + b.left, outer.top + a.top + b.top,
                outer.right - a.right - b.right, outer.bottom - a.bottom - b.bottom};
}

::testing::AssertionResult SameRect(const RECT& expected, const RECT& actual) {
    if (EqualRect(&expected, &actual)) return ::testing::AssertionSuccess();
    return ::testing::AssertionFailure()
           << "expected (" << expected.left << ", " << expected.top << ", " << expected.right << ", "
           << expected.bottom << "), got (" << actual.left << ", " << actual.top << ", "
           << actual.right << ", " << actual.bottom << ")";
}

std::string BufferKeys(const RECT& b) {
    return "Panorel.Buffer_Left=" + std::to_string(b.left) + "\r\nPanorel.Buffer_Top=" +
           std::to_string(b.top) + "\r\nPanorel.Buffer_Right=" + std::to_string(b.right) +
           "\r\nPanorel.Buffer_Bottom=" + std::to_string(b.bottom) + "\r\n";
}

UINT ThemeClosingMessage() { return RegisterWindowMessageA("Theme is closing... check for modified!"); }

}  // namespace

// ---- without the band --------------------------------------------------------------------------

TEST_F(PanorelTest, WithoutItsBandTheSectionIsHiddenTakesNoWidthAndLeavesTheFileAsTheUserLeftIt) {
    const std::string skin = WriteSkin("plain");
    const struct {
        const char* name;
        StandIn variant;
        bool add_window_called;
    } cases[] = {
        {"no library", StandIn::None, false},
        {"no addWindow", StandIn::NoAddWindow, false},
        {"addWindow returns none", StandIn::NoWindow, true},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        Use(c.variant);
        ClearLog();
        CVellumMenuObject* bar = LoadBar("", skin, false, kSecondSection);
        CVellumMenuSection_VirtualDesktops* band = Band(bar);
        ASSERT_NE(nullptr, band);
        ASSERT_EQ(2, bar->GetSectionCount());
        EXPECT_TRUE(band->m_valid);
        EXPECT_TRUE(band->IsHidden);
        EXPECT_FALSE(band->UserHidden());
        EXPECT_EQ(nullptr, band->m_bandWindow);
        EXPECT_FALSE(LibraryLoaded()) << "the library is let go at once";
        EXPECT_EQ(0, Width(band->m_outerRect));
        EXPECT_EQ(0, bar->m_sections[1]->m_outerRect.left) << "the next section starts at the edge";
        const std::vector<std::string> log = Log();
        const bool called = std::any_of(log.begin(), log.end(), [](const std::string& line) {
            return line.rfind("addWindow", 0) == 0;
        });
        EXPECT_EQ(c.add_window_called, called);

        bar->ProcessUserMessage(ThemeClosingMessage(), 0, 0);
        EXPECT_FALSE(bar->m_modified);
        const std::string saved = temp_.File("saved.tsbar");
        ASSERT_EQ(1, bar->Save(const_cast<char*>(saved.c_str())));
        EXPECT_EQ("(none)", Key(saved, "Section1", "Properties.IsHidden"));
        EXPECT_EQ("Panorel", Key(saved, "Section1", "Properties.Type"));
        const std::string file = BarFile(bar);
        CloseBar(bar);
        EXPECT_EQ("(none)", Key(file, "Section1", "Properties.IsHidden"));
    }
}

TEST_F(PanorelTest, TheSameFileShowsTheBandOnceTheLibraryIsBack) {
    const std::string skin = WriteSkin("plain");
    CVellumMenuObject* bar = LoadBar("", skin, false, kSecondSection);
    ASSERT_TRUE(Band(bar)->IsHidden);
    const std::string file = BarFile(bar);
    CloseBar(bar);

    Use(StandIn::Full);
    bar = LoadBarFile(file, skin);
    CVellumMenuSection_VirtualDesktops* band = Band(bar);
    ASSERT_NE(nullptr, band);
    EXPECT_FALSE(band->IsHidden);
    ASSERT_NE(nullptr, band->m_bandWindow);
    EXPECT_TRUE(VisibleStyle(band->m_bandWindow));
    EXPECT_EQ(10, Width(band->m_outerRect)) << "ideal width without insets";
    EXPECT_EQ(10, bar->m_sections[1]->m_outerRect.left);
    EXPECT_TRUE(SameRect(band->m_outerRect, ChildRect(band->m_bandWindow)));
}

TEST_F(PanorelTest, TheUsersOwnHiddenSettingIsKeptWhileTheBandIsMissing) {
    const std::string skin = WriteSkin("plain");
    CVellumMenuObject* bar = LoadBar("Properties.IsHidden=1\r\n", skin);
    CVellumMenuSection_VirtualDesktops* band = Band(bar);
    ASSERT_NE(nullptr, band);
    EXPECT_TRUE(band->UserHidden());
    bar->ProcessUserMessage(ThemeClosingMessage(), 0, 0);
    EXPECT_FALSE(bar->m_modified);
    const std::string saved = temp_.File("hidden.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(saved.c_str())));
    EXPECT_EQ("1", Key(saved, "Section1", "Properties.IsHidden"));

    // The user shows it: nothing to show, but the setting is the user's.
    band->SetHidden(0);
    EXPECT_TRUE(band->IsHidden);
    EXPECT_FALSE(band->UserHidden());
    bar->ProcessUserMessage(ThemeClosingMessage(), 0, 0);
    EXPECT_TRUE(bar->m_modified);
    ASSERT_EQ(1, bar->Save(const_cast<char*>(saved.c_str())));
    EXPECT_EQ("(none)", Key(saved, "Section1", "Properties.IsHidden"));
}

TEST_F(PanorelTest, TheFactoryOffersTheTypeOnlyWhileTheLibraryLiesBesideTheProgram) {
    CVellumMenuObject* bar = LoadBar("", WriteSkin("plain"));
    char name[64] = "";
    EXPECT_EQ(0, bar->AddSection(name, 4, 1));
    Use(StandIn::Full);
    EXPECT_EQ(1, bar->AddSection(name, 4, 1));
    EXPECT_STREQ("Virtual Desktops", name);
    EXPECT_FALSE(LibraryLoaded()) << "a query lets the library go";

    for (const char* type : {"Panorel", "virtual desktops"}) {
        int slot = bar->AddSection(const_cast<char*>(type), 2, 0);
        ASSERT_GE(slot, 0) << type;
        auto* added = dynamic_cast<CVellumMenuSection_VirtualDesktops*>(bar->m_sections[slot]);
        ASSERT_NE(nullptr, added) << type;
        EXPECT_TRUE(added->m_valid);
        EXPECT_NE(nullptr, added->m_bandWindow) << type;
    }
}

// ---- placement ----------------------------------------------------------------------------------

TEST_F(PanorelTest, TheBandIsAChildOfTheBarInsetInTheSectionAndFollowsHiding) {
    Use(StandIn::Full);
    const struct {
        const char* name;
        bool vertical;
        RECT skin_buffer;
        RECT own_buffer;
    } cases[] = {
        {"no insets", false, {0, 0, 0, 0}, {0, 0, 0, 0}},
        {"skin buffers", false, {3, 2, 4, 1}, {0, 0, 0, 0}},
        {"own buffers", false, {0, 0, 0, 0}, {5, 6, 7, 8}},
        {"both", false, {3, 2, 4, 1}, {5, 6, 7, 8}},
        {"both, vertical bar", true, {3, 2, 4, 1}, {5, 6, 7, 8}},
        {"own buffers, vertical bar", true, {0, 0, 0, 0}, {1, 9, 2, 4}},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        SkinSpec spec;
        spec.section_buffer = c.skin_buffer;
        CVellumMenuObject* bar = LoadBar(BufferKeys(c.own_buffer),
                                         WriteSkin("place" + std::to_string(++n), spec), c.vertical);
        CVellumMenuSection_VirtualDesktops* band = Band(bar);
        ASSERT_NE(nullptr, band);
        HWND wnd = band->m_bandWindow;
        ASSERT_NE(nullptr, wnd);
        EXPECT_EQ(bar->m_hWnd, GetParent(wnd));
        EXPECT_TRUE(GetWindowLongPtrA(wnd, GWL_STYLE) & WS_CHILD);
        RECT client;
        GetClientRect(bar->m_hWnd, &client);
        // One resizable section fills the bar; the band lies inside it.
        ASSERT_TRUE(SameRect(client, band->m_outerRect));
        const RECT expected = Inset(client, c.skin_buffer, c.own_buffer);
        EXPECT_TRUE(SameRect(expected, ChildRect(wnd)));
        EXPECT_TRUE(SameRect(expected, band->BandRect()));
        EXPECT_TRUE(VisibleStyle(wnd));

        band->SetHidden(1);
        EXPECT_FALSE(VisibleStyle(wnd));
        EXPECT_FALSE(band->m_bandShown);
        band->SetHidden(0);
        EXPECT_TRUE(VisibleStyle(wnd));
        // Hiding the bar's only section let the bar shrink; the band
        // follows the section wherever it is now.
        const RECT shown = Inset(band->m_outerRect, c.skin_buffer, c.own_buffer);
        EXPECT_GT(Width(band->m_outerRect), 0);
        EXPECT_TRUE(SameRect(shown, ChildRect(wnd)));

        // Placed again on every call, also when the rectangle is the same.
        MoveWindow(wnd, 0, 0, 1, 1, FALSE);
        band->SetSectionRect(band->m_outerRect.left, band->m_outerRect.top, band->m_outerRect.right,
                             band->m_outerRect.bottom, 0);
        EXPECT_TRUE(SameRect(shown, ChildRect(wnd)));
        CloseBar(bar);
    }
}

TEST_F(PanorelTest, AHiddenSectionStartsWithItsBandHidden) {
    Use(StandIn::Full);
    CVellumMenuObject* bar = LoadBar("Properties.IsHidden=1\r\n", WriteSkin("plain"));
    CVellumMenuSection_VirtualDesktops* band = Band(bar);
    ASSERT_NE(nullptr, band);
    ASSERT_NE(nullptr, band->m_bandWindow);
    EXPECT_FALSE(VisibleStyle(band->m_bandWindow));
    band->SetHidden(0);
    EXPECT_TRUE(VisibleStyle(band->m_bandWindow));
    RECT client;
    GetClientRect(bar->m_hWnd, &client);
    EXPECT_TRUE(SameRect(client, ChildRect(band->m_bandWindow)));
}

// ---- sizes -----------------------------------------------------------------------------------------

TEST_F(PanorelTest, IdealMinimumAndMaximumSizesFollowTheInsets) {
    Use(StandIn::Full);
    SkinSpec spec;
    spec.section_buffer = RECT{3, 2, 4, 1};
    const std::string skin = WriteSkin("sizes", spec);
    const std::string keys = BufferKeys(RECT{5, 6, 7, 8});
    const int across = 3 + 4 + 5 + 7, down = 2 + 1 + 6 + 8;
    const struct {
        const char* name;
        bool vertical;
        bool resizable;
        int minimum;
    } cases[] = {
        {"resizable, minimum", false, true, 1},   {"resizable, maximum", false, true, 0},
        {"resizable, vertical, minimum", true, true, 1},
        {"fixed, horizontal, minimum", false, false, 1},
        {"fixed, horizontal, maximum", false, false, 0},
        {"fixed, vertical, minimum", true, false, 1},
        {"fixed, vertical, maximum", true, false, 0},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar = LoadBar(keys, skin, c.vertical);
        CVellumMenuSection_VirtualDesktops* band = Band(bar);
        ASSERT_NE(nullptr, band);
        const SIZE ideal = band->CalcIdealSize();
        EXPECT_EQ(10 + across, ideal.cx);
        EXPECT_EQ(10 + down, ideal.cy);
        band->bResizable = c.resizable ? TRUE : FALSE;
        const SIZE current = {Width(band->m_outerRect), band->m_outerRect.bottom - band->m_outerRect.top};
        ASSERT_GT(current.cx, 10);
        ASSERT_GT(current.cy, 10);
        SIZE expected;
        if (c.resizable) {
            const int length = c.minimum ? 10 : 2000;
            expected = SIZE{length + across, length + down};
        } else if (!c.minimum) {
            expected = current;
        } else {
            expected = c.vertical ? SIZE{10, current.cy} : SIZE{current.cx, 10};
        }
        const SIZE got = band->CalcMinMaxSize(c.minimum);
        EXPECT_EQ(expected.cx, got.cx);
        EXPECT_EQ(expected.cy, got.cy);
        CloseBar(bar);
    }
}

TEST_F(PanorelTest, ABarWithAFixedBandSectionKeepsItsSizeAcrossTheBarWhenLoaded) {
    Use(StandIn::Full);
    SkinSpec spec;
    spec.section_buffer = RECT{3, 2, 4, 1};
    const std::string skin = WriteSkin("fixed", spec);
    const struct {
        const char* name;
        bool vertical;
        const char* width_key;
        int length;   // along the bar
    } cases[] = {
        {"horizontal, ideal width", false, "", 10 + 3 + 4},
        {"horizontal, the user's width", false, "Properties.LastWidth=120\r\n", 120},
        {"vertical, ideal height", true, "", 10 + 2 + 1},
        {"vertical, the user's height", true, "Properties.LastWidth=90\r\n", 90},
    };
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        CVellumMenuObject* bar =
            LoadBar(std::string("Properties.bResizable=0\r\n") + c.width_key, skin, c.vertical);
        CVellumMenuSection_VirtualDesktops* band = Band(bar);
        ASSERT_NE(nullptr, band);
        RECT client;
        GetClientRect(bar->m_hWnd, &client);
        // The file's 40 pixels across stay; along, the bar fits its fixed section.
        EXPECT_EQ(40, c.vertical ? client.right : client.bottom);
        EXPECT_EQ(c.length, c.vertical ? client.bottom : client.right);
        EXPECT_TRUE(SameRect(client, band->m_outerRect));
        EXPECT_TRUE(SameRect(band->BandRect(), ChildRect(band->m_bandWindow)));
        CloseBar(bar);
    }
}

// ---- the shared band settings -------------------------------------------------------------------------

TEST_F(PanorelTest, ConstructionWritesTheSkinsBackgroundBeforeTheBandIsMade) {
    Use(StandIn::Full);
    const std::string long_value = BackgroundPath("bg.bmp") + std::string(300, 'x');
    const struct {
        const char* name;
        bool key;
        const char* stored;   // "Background" before; null: no value
        int draw_style;
        bool prevent;
        bool written;
    } cases[] = {
        {"key without a value", true, nullptr, 3, false, true},
        {"another background", true, "C:\\Elsewhere\\other.bmp", 3, false, true},
        {"draw style 0", true, nullptr, 0, false, true},
        {"the same background in other case", true, "(upper)", 3, false, false},
        {"a value longer than the buffer", true, long_value.c_str(), 3, false, true},
        {"no key", false, nullptr, 3, false, false},
        {"prevented", true, "C:\\Elsewhere\\other.bmp", 3, true, false},
    };
    int n = 0;
    for (const auto& c : cases) {
        SCOPED_TRACE(c.name);
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kBandSettingsKey);
        SkinSpec spec;
        spec.background = "bg.bmp";
        spec.draw_style = c.draw_style;
        const std::string skin = WriteSkin("reg" + std::to_string(++n), spec);
        std::string stored = c.stored ? c.stored : "";
        if (stored == "(upper)") {
            stored = BackgroundPath("bg.bmp");
            std::transform(stored.begin(), stored.end(), stored.begin(), ::toupper);
        }
        if (c.key) {
            CreateSettingsKey();
            if (c.stored) {
                HKEY key;
                ASSERT_EQ(ERROR_SUCCESS, RegOpenKeyExA(HKEY_CURRENT_USER, kBandSettingsKey, 0,
                                                       KEY_ALL_ACCESS, &key));
                RegSetValueExA(key, "Background", 0, REG_SZ,
                               reinterpret_cast<const BYTE*>(stored.c_str()),
                               static_cast<DWORD>(stored.size() + 1));
                RegCloseKey(key);
            }
        }
        ClearLog();
        CVellumMenuObject* bar =
            LoadBar(c.prevent ? "Panorel.PreventBackgroundChanging=1\r\n" : "", skin);
        ASSERT_NE(nullptr, Band(bar));
        ASSERT_NE(nullptr, Band(bar)->m_bandWindow);
        const std::string path = bar->m_skin->Panorel_Background;
        EXPECT_EQ(0, lstrcmpiA(path.c_str(), BackgroundPath("bg.bmp").c_str())) << path;

        EXPECT_EQ(c.key, SettingsKeyExists()) << "the key is never created";
        const std::string before = c.stored ? stored : "(absent)";
        const std::string background = c.written ? path : before;
        EXPECT_EQ(c.key ? background : "(absent)", Setting("Background"));
        EXPECT_EQ(c.written ? "0" : "(absent)", Setting("UseColorOnly"));
        EXPECT_EQ(c.written && c.draw_style > 0 ? std::to_string(c.draw_style) : "(absent)",
                  Setting("BackgroundStyle"));
        // The library found the new background when it made its band.
        const std::string seen = c.key ? background : "(no key)";
        const std::vector<std::string> log = Log();
        ASSERT_FALSE(log.empty());
        EXPECT_EQ("addWindow parent=" + HandleText(bar->m_hWnd) + " background=" + seen, log.back());
        CloseBar(bar);
    }
}

TEST_F(PanorelTest, ABackgroundValueThatFillsTheBufferWithoutItsZeroCountsAsAnother) {
    Use(StandIn::Full);
    const std::string skin = WriteSkin("plain");
    CreateSettingsKey();
    // The path, filled up to the 260 bytes that are read, with no zero.
    const std::string path = BackgroundPath("bg1.bmp");
    const std::string stored = path + std::string(260 - path.size(), 'x');
    HKEY key;
    ASSERT_EQ(ERROR_SUCCESS,
              RegOpenKeyExA(HKEY_CURRENT_USER, kBandSettingsKey, 0, KEY_ALL_ACCESS, &key));
    RegSetValueExA(key, "Background", 0, REG_SZ, reinterpret_cast<const BYTE*>(stored.c_str()), 260);
    RegCloseKey(key);
    CVellumMenuObject* bar = LoadBar("", skin);
    ASSERT_NE(nullptr, Band(bar));
    EXPECT_EQ("0", Setting("UseColorOnly")) << "written anew";
    EXPECT_EQ(path, Setting("Background"));
}

TEST_F(PanorelTest, ASkinChangeReplacesTheBandOnlyForAnotherBackground) {
    Use(StandIn::Full);
    CreateSettingsKey();
    SkinSpec same;
    same.section_buffer = RECT{1, 2, 3, 4};
    SkinSpec other;
    other.background = "bg2.bmp";
    other.draw_style = 5;
    SkinSpec third;
    third.background = "bg3.bmp";
    const std::string skin_a = WriteSkin("a");
    const std::string skin_b = WriteSkin("b", same);
    const std::string skin_c = WriteSkin("c", other);
    const std::string skin_d = WriteSkin("d", third);
    CVellumMenuObject* bar = LoadBar("", skin_a);
    CVellumMenuSection_VirtualDesktops* band = Band(bar);
    ASSERT_NE(nullptr, band);
    HWND first = band->m_bandWindow;
    ASSERT_NE(nullptr, first);
    RECT client;

    // The same background: the band stays and takes the new skin's insets.
    ClearLog();
    ChangeSkin(bar, skin_b);
    EXPECT_EQ(first, band->m_bandWindow);
    EXPECT_TRUE(Log().empty());
    GetClientRect(bar->m_hWnd, &client);
    EXPECT_TRUE(SameRect(Inset(client, same.section_buffer, RECT{}), ChildRect(first)));

    // Another one: released, written, then a new band is made.
    ClearLog();
    ChangeSkin(bar, skin_c);
    const std::string background = BackgroundPath("bg2.bmp");
    EXPECT_EQ((std::vector<std::string>{"releaseWindow " + HandleText(first),
                                        "addWindow parent=" + HandleText(bar->m_hMainWindow) +
                                            " background=" + background}),
              Log());
    EXPECT_FALSE(IsWindow(first));
    HWND second = band->m_bandWindow;
    ASSERT_NE(nullptr, second);
    EXPECT_EQ(bar->m_hWnd, GetParent(second));
    GetClientRect(bar->m_hWnd, &client);
    EXPECT_TRUE(SameRect(client, ChildRect(second)));
    EXPECT_TRUE(VisibleStyle(second));
    EXPECT_EQ(background, Setting("Background"));
    EXPECT_EQ("5", Setting("BackgroundStyle"));

    // A hidden section gets its new band hidden.
    band->SetHidden(1);
    ChangeSkin(bar, skin_d);
    HWND third_band = band->m_bandWindow;
    ASSERT_NE(nullptr, third_band);
    EXPECT_NE(second, third_band);
    EXPECT_FALSE(VisibleStyle(third_band));
    band->SetHidden(0);
    EXPECT_TRUE(VisibleStyle(third_band));
    GetClientRect(bar->m_hWnd, &client);
    EXPECT_TRUE(SameRect(client, ChildRect(third_band)));
}

TEST_F(PanorelTest, ASkinChangeWritesNothingWhenPreventedOrWithoutTheKey) {
    Use(StandIn::Full);
    SkinSpec other;
    other.background = "bg2.bmp";
    const std::string skin_a = WriteSkin("a");
    const std::string skin_c = WriteSkin("c", other);
    for (bool prevent : {true, false}) {
        SCOPED_TRACE(prevent ? "prevented" : "no key");
        testing_support::DeleteRegistryTree(HKEY_CURRENT_USER, kBandSettingsKey);
        if (prevent) CreateSettingsKey();
        CVellumMenuObject* bar = LoadBar(prevent ? "Panorel.PreventBackgroundChanging=1\r\n" : "", skin_a);
        CVellumMenuSection_VirtualDesktops* band = Band(bar);
        ASSERT_NE(nullptr, band);
        HWND first = band->m_bandWindow;
        ClearLog();
        ChangeSkin(bar, skin_c);
        EXPECT_EQ(first, band->m_bandWindow);
        EXPECT_TRUE(IsWindow(first));
        EXPECT_TRUE(Log().empty());
        EXPECT_EQ(prevent, SettingsKeyExists());
        EXPECT_EQ("(absent)", Setting("Background"));
        EXPECT_EQ("(absent)", Setting("UseColorOnly"));
        CloseBar(bar);
    }
}

// ---- closing -----------------------------------------------------------------------------------------

TEST_F(PanorelTest, ClosingABarReleasesItsBandAndLeavesTheOtherBarsBandWorking) {
    Use(StandIn::Full);
    const std::string skin = WriteSkin("plain");
    CVellumMenuObject* first = LoadBar("", skin);
    CVellumMenuObject* second = LoadBar("", skin);
    HWND first_band = Band(first)->m_bandWindow;
    HWND second_band = Band(second)->m_bandWindow;
    ASSERT_NE(nullptr, first_band);
    ASSERT_NE(nullptr, second_band);

    ClearLog();
    CloseBar(first);
    EXPECT_EQ((std::vector<std::string>{"releaseWindow " + HandleText(first_band)}), Log());
    EXPECT_FALSE(IsWindow(first_band));
    EXPECT_TRUE(LibraryLoaded());
    EXPECT_EQ(kBandAlive, SendMessageA(second_band, kBandAliveMessage, 0, 0));
    EXPECT_EQ(second->m_hWnd, GetParent(second_band));
    SetWindowPos(second->m_hWnd, nullptr, 0, 0, 320, 40, SWP_NOMOVE | SWP_NOZORDER | SWP_NOACTIVATE);
    second->RecalcRects(kRecalcRedraw, kRecalcKeepPos);
    RECT client;
    GetClientRect(second->m_hWnd, &client);
    EXPECT_TRUE(SameRect(client, ChildRect(second_band)));

    ClearLog();
    CloseBar(second);
    EXPECT_EQ((std::vector<std::string>{"releaseWindow " + HandleText(second_band), "detach"}), Log());
    EXPECT_FALSE(IsWindow(second_band));
    EXPECT_FALSE(LibraryLoaded());
}

TEST_F(PanorelTest, WithoutReleaseWindowTheSectionDestroysTheBandItself) {
    Use(StandIn::NoReleaseWindow);
    CreateSettingsKey();
    SkinSpec other;
    other.background = "bg2.bmp";
    CVellumMenuObject* bar = LoadBar("", WriteSkin("a"));
    CVellumMenuSection_VirtualDesktops* band = Band(bar);
    ASSERT_NE(nullptr, band);
    HWND first = band->m_bandWindow;
    ASSERT_NE(nullptr, first);
    ChangeSkin(bar, WriteSkin("c", other));
    EXPECT_FALSE(IsWindow(first));
    HWND second = band->m_bandWindow;
    ASSERT_NE(nullptr, second);
    ClearLog();
    CloseBar(bar);
    EXPECT_FALSE(IsWindow(second));
    EXPECT_EQ((std::vector<std::string>{"detach"}), Log());
}

// ---- context menu, names and saving ------------------------------------------------------------------

TEST_F(PanorelTest, TheContextMenuLosesItemOptionsAndTheSectionNamesItself) {
    Use(StandIn::Full);
    CVellumMenuObject* bar = LoadBar("", WriteSkin("plain"));
    CVellumMenuSection_VirtualDesktops* band = Band(bar);
    ASSERT_NE(nullptr, band);
    HMENU menu = CreatePopupMenu();
    AppendMenuA(menu, MF_STRING, 40137, "Section Options");
    AppendMenuA(menu, MF_STRING, 40141, "Item Options");
    AppendMenuA(menu, MF_STRING, 40140, "ADD EXTENDED ITEMS HERE");
    band->InitCustomContextMenu(menu, menu);
    EXPECT_EQ(static_cast<UINT>(-1), GetMenuState(menu, 40141, MF_BYCOMMAND));
    EXPECT_EQ(2, GetMenuItemCount(menu));
    EXPECT_NE(static_cast<UINT>(-1), GetMenuState(menu, 40137, MF_BYCOMMAND));
    DestroyMenu(menu);

    char name[32] = "";
    EXPECT_EQ(1, band->GetCustomSectionName(name));
    EXPECT_STREQ("Virtual Desktops", name);
    EXPECT_EQ(0, band->AllowDrop());
    EXPECT_EQ(nullptr, band->GUI_CustomEnumItems(0));
    EXPECT_EQ(0, band->GetNumOfItems());
    HICON icon = band->GetCustomIcon();
    ASSERT_NE(nullptr, icon);
    ICONINFO info = {};
    ASSERT_TRUE(GetIconInfo(icon, &info));
    BITMAP bitmap = {};
    GetObjectA(info.hbmColor ? info.hbmColor : info.hbmMask, sizeof(bitmap), &bitmap);
    EXPECT_EQ(16, bitmap.bmWidth);
    if (info.hbmColor) DeleteObject(info.hbmColor);
    if (info.hbmMask) DeleteObject(info.hbmMask);
    DestroyIcon(icon);
}

TEST_F(PanorelTest, SavingWritesTheTypeThenAllFiveKeys) {
    Use(StandIn::Full);
    CVellumMenuObject* bar = LoadBar(BufferKeys(RECT{2, 1, 4, 3}) + "Panorel.PreventBackgroundChanging=1\r\n",
                                     WriteSkin("plain"));
    CVellumMenuSection_VirtualDesktops* band = Band(bar);
    ASSERT_NE(nullptr, band);
    EXPECT_TRUE(band->PreventBackgroundChanging);
    const std::string saved = temp_.File("keys.tsbar");
    ASSERT_EQ(1, bar->Save(const_cast<char*>(saved.c_str())));
    const struct {
        const char* key;
        const char* value;
    } keys[] = {{"Properties.Type", "Panorel"},       {"Panorel.Buffer_Top", "1"},
                {"Panorel.Buffer_Left", "2"},         {"Panorel.Buffer_Bottom", "3"},
                {"Panorel.Buffer_Right", "4"},        {"Panorel.PreventBackgroundChanging", "1"}};
    const std::string text = temp_.Read("keys.tsbar");
    size_t last = 0;
    for (const auto& k : keys) {
        EXPECT_EQ(k.value, Key(saved, "Section1", k.key)) << k.key;
        const size_t at = text.find(std::string(k.key) + "=");
        EXPECT_NE(std::string::npos, at) << k.key;
        EXPECT_LT(last, at) << k.key << " comes in order";
        last = at;
    }
    EXPECT_EQ("(none)", Key(saved, "Section1", "Item1.Type"));

    // All five are written, zeros too.
    band->m_buffer = RECT{0, 0, 0, 0};
    band->PreventBackgroundChanging = FALSE;
    ASSERT_EQ(1, bar->Save(const_cast<char*>(saved.c_str())));
    for (const auto& k : keys) {
        if (std::string(k.key) != "Properties.Type") {
            EXPECT_EQ("0", Key(saved, "Section1", k.key)) << k.key;
        }
    }
}
