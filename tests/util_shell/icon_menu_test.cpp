// CIconMenu and CWindowListMenu with real menus and windows made by the test.
#include <gtest/gtest.h>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "util/handles.h"
#include "util/icon_menu.h"
#include "util/text.h"

using namespace testing_support;

namespace {

std::string TextAt(HMENU menu, int pos) {
    char buf[1024] = "";
    GetMenuStringA(menu, pos, buf, sizeof(buf), MF_BYPOSITION);
    return buf;
}

std::vector<std::string> Texts(HMENU menu) {
    std::vector<std::string> out;
    for (int i = 0; i < GetMenuItemCount(menu); ++i) out.push_back(TextAt(menu, i));
    return out;
}

int PositionOf(HMENU menu, const std::string& text) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i)
        if (TextAt(menu, i) == text) return i;
    return -1;
}

UINT IdOf(HMENU menu, const std::string& text) {
    int pos = PositionOf(menu, text);
    if (pos < 0) return 0;
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_ID;
    GetMenuItemInfoA(menu, pos, TRUE, &info);
    return info.wID;
}

// A 16 x 16 icon of one colour.
HICON SolidIcon(COLORREF colour) {
    DWORD* bits = nullptr;
    HBITMAP color = CreateDib32(16, 16, &bits);
    for (int i = 0; i < 256; ++i)
        bits[i] = (GetRValue(colour) << 16) | (GetGValue(colour) << 8) | GetBValue(colour);
    HBITMAP mask = CreateBitmap(16, 16, 1, 1, nullptr);
    {
        tess::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
        tess::ScopedSelect sel(dc.get(), mask);
        PatBlt(dc.get(), 0, 0, 16, 16, BLACKNESS);   // all opaque
    }
    ICONINFO info{TRUE, 0, 0, mask, color};
    HICON icon = CreateIconIndirect(&info);
    DeleteObject(color);
    DeleteObject(mask);
    return icon;
}

bool IconAlive(HICON icon) {
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return false;
    DeleteObject(info.hbmColor);
    DeleteObject(info.hbmMask);
    return true;
}

int g_freed = 0;
std::vector<void*> g_freed_payloads;
void CountFree(CIconMenu*, IconMenuItemData* data) {
    ++g_freed;
    g_freed_payloads.push_back(data->payload);
}

class CountedMenu : public CIconMenu {
public:
    explicit CountedMenu(bool* gone) : CIconMenu(100), gone_(gone) {}
    ~CountedMenu() override { *gone_ = true; }

private:
    bool* gone_;
};

TEST(IconMenu, ReferenceCountingAndVersion) {
    EXPECT_EQ(3, GetMenuVersionClass());   // the prefix reports Windows XP
    bool gone = false;
    CIconMenu* menu = new CountedMenu(&gone);
    EXPECT_EQ(2, menu->AddRef());
    EXPECT_EQ(1, menu->Release());
    EXPECT_FALSE(gone);
    EXPECT_TRUE(IsMenu(menu->GetMenu()));
    EXPECT_EQ(1, menu->HandleCommand(5));
    EXPECT_EQ(0, menu->Release());
    EXPECT_TRUE(gone);
}

TEST(IconMenu, EntriesIdsDataAndFreeing) {
    g_freed = 0;
    g_freed_payloads.clear();
    HICON icon = SolidIcon(RGB(255, 0, 0));
    HICON sub_icon = SolidIcon(RGB(0, 255, 0));
    int payload1 = 1, payload2 = 2, payload3 = 3;
    {
        CIconMenu menu(500);
        menu.SetCallbacks(nullptr, CountFree, nullptr);
        menu.SetCallbacks(nullptr, nullptr, nullptr);   // nulls keep the callbacks
        IconMenuItemData plain{-1, icon, 0, &payload1};
        IconMenuItemData folder{-1, nullptr, 1, &payload2};
        ASSERT_EQ(1, menu.AppendItem("first", &plain));
        ASSERT_EQ(1, menu.AppendItem("folder", &folder));
        ASSERT_EQ(1, menu.AppendItem("no template", nullptr));
        EXPECT_EQ(3, menu.GetItemCounter());
        HMENU m = menu.GetMenu();
        EXPECT_EQ(500u, IdOf(m, "first"));
        EXPECT_EQ(501u, IdOf(m, "folder"));
        EXPECT_EQ(502u, IdOf(m, "no template"));

        // Entries draw through the owner: a callback bitmap and our data.
        MENUITEMINFOA info{};
        info.cbSize = sizeof(info);
        info.fMask = MIIM_BITMAP | MIIM_DATA | MIIM_SUBMENU;
        ASSERT_TRUE(GetMenuItemInfoA(m, 0, TRUE, &info));
        EXPECT_EQ(HBMMENU_CALLBACK, info.hbmpItem);
        auto* first_data = reinterpret_cast<IconMenuItemData*>(info.dwItemData);
        ASSERT_NE(nullptr, first_data);
        EXPECT_EQ(&payload1, first_data->payload);
        EXPECT_EQ(icon, first_data->icon);
        EXPECT_EQ(nullptr, info.hSubMenu);
        HMENU sub = GetSubMenu(m, 1);
        ASSERT_NE(nullptr, sub);
        EXPECT_EQ(0, GetMenuItemCount(sub));
        IconMenuItemData* none = menu.FindItemData(m, 502, false, false);
        ASSERT_NE(nullptr, none);
        EXPECT_EQ(-1, none->image_index);
        EXPECT_EQ(nullptr, none->icon);
        EXPECT_EQ(nullptr, none->payload);

        // An entry inside the submenu, found from the top by id and by its submenu.
        IconMenuItemData inner{-1, sub_icon, 0, &payload3};
        ASSERT_EQ(1, menu.AppendItemToMenu(sub, "inner", &inner));
        EXPECT_EQ(503u, IdOf(sub, "inner"));
        struct Case { UINT_PTR key; bool by_pos; bool by_sub; void* payload; };
        const Case cases[] = {
            {500, false, false, &payload1},
            {503, false, false, &payload3},   // recursive by id
            {1, true, false, &payload2},      // by position
            {reinterpret_cast<UINT_PTR>(sub), false, true, &payload2},
            {999, false, false, nullptr},
            {7, true, false, nullptr},
        };
        for (const Case& c : cases) {
            SCOPED_TRACE(c.key);
            IconMenuItemData* d = menu.FindItemData(nullptr, c.key, c.by_pos, c.by_sub);
            EXPECT_EQ(c.payload, d ? d->payload : nullptr);
        }
        EXPECT_EQ(0, menu.AppendItemToMenu(nullptr, "x", nullptr));

        menu.Reset();
        EXPECT_EQ(0, menu.GetItemCounter());
        EXPECT_FALSE(IsMenu(m));
        EXPECT_TRUE(IsMenu(menu.GetMenu()));
        EXPECT_EQ(4, g_freed);   // every entry, the submenu's too
        EXPECT_FALSE(IconAlive(icon));
        EXPECT_FALSE(IconAlive(sub_icon));
        ASSERT_EQ(1, menu.AppendItem("after reset", nullptr));
        EXPECT_EQ(500u, IdOf(menu.GetMenu(), "after reset"));
    }
    EXPECT_EQ(5, g_freed);   // the destructor frees the rest
}

LRESULT CALLBACK CountingProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_DRAWITEM || msg == WM_MEASUREITEM || msg == WM_USER + 7) {
        auto* seen = reinterpret_cast<int*>(GetWindowLongPtrA(wnd, GWLP_USERDATA));
        if (seen) ++*seen;
        return 77;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

void RegisterOwnerClass() {
    WNDCLASSA wc{};
    wc.lpfnWndProc = CountingProc;
    wc.hInstance = GetModuleHandleA(nullptr);
    wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
    wc.hbrBackground = static_cast<HBRUSH>(GetStockObject(WHITE_BRUSH));
    wc.lpszClassName = "IconMenuTestOwner";
    RegisterClassA(&wc);
}

HWND CountingWindow(int* seen) {
    RegisterOwnerClass();
    HWND wnd = CreateWindowExA(0, "IconMenuTestOwner", "owner", WS_POPUP, 0, 0, 50, 50, nullptr,
                               nullptr, GetModuleHandleA(nullptr), nullptr);
    SetWindowLongPtrA(wnd, GWLP_USERDATA, reinterpret_cast<LONG_PTR>(seen));
    return wnd;
}

TEST(IconMenu, SubclassDrawsAndMeasuresMenuEntriesOnly) {
    int seen = 0;
    tess::ScopedWindow owner(CountingWindow(&seen));
    ASSERT_TRUE(owner);
    CIconMenu menu(10);
    EXPECT_EQ(0, menu.AttachToWindow(nullptr));
    EXPECT_EQ(0, menu.DetachFromWindow());
    ASSERT_EQ(1, menu.AttachToWindow(owner.get()));
    EXPECT_EQ(&menu, GetPropA(owner.get(), "lpCIconMenu!"));
    EXPECT_EQ(reinterpret_cast<HANDLE>(CountingProc), GetPropA(owner.get(), "lpwpWndProc - CIconMenu"));
    EXPECT_EQ(owner.get(), menu.GetOwnerWindow());

    IconMenuItemData red{-1, SolidIcon(RGB(255, 0, 0)), 0, nullptr};
    ASSERT_EQ(1, menu.AppendItem("red", &red));
    IconMenuItemData* data = menu.FindItemData(nullptr, 10, false, false);
    ASSERT_NE(nullptr, data);

    MEASUREITEMSTRUCT measure{ODT_MENU, 0, 10, 0, 0, reinterpret_cast<ULONG_PTR>(data)};
    EXPECT_EQ(1, SendMessageA(owner.get(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));
    EXPECT_EQ(17u, measure.itemHeight);
    EXPECT_EQ(12u, measure.itemWidth);
    EXPECT_EQ(0, seen);

    DWORD* bits = nullptr;
    tess::ScopedBitmap canvas(CreateDib32(40, 40, &bits));
    for (int i = 0; i < 1600; ++i) bits[i] = 0xFFFFFF;
    tess::ScopedMemoryDc dc(CreateCompatibleDC(nullptr));
    tess::ScopedSelect sel(dc.get(), canvas.get());
    DRAWITEMSTRUCT draw{};
    draw.CtlType = ODT_MENU;
    draw.itemID = 10;
    draw.hDC = dc.get();
    draw.rcItem = {0, 20, 30, 37};
    draw.itemData = reinterpret_cast<ULONG_PTR>(data);
    EXPECT_EQ(1, SendMessageA(owner.get(), WM_DRAWITEM, 0, reinterpret_cast<LPARAM>(&draw)));
    GdiFlush();
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc.get(), 6, 20));    // icon at x 6, the entry's top
    EXPECT_EQ(RGB(255, 0, 0), GetPixel(dc.get(), 21, 35));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc.get(), 5, 25));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc.get(), 22, 25));
    EXPECT_EQ(RGB(255, 255, 255), GetPixel(dc.get(), 10, 19));

    // Owner-drawn controls and other messages still reach the window's own procedure.
    DRAWITEMSTRUCT button = draw;
    button.CtlType = ODT_BUTTON;
    EXPECT_EQ(77, SendMessageA(owner.get(), WM_DRAWITEM, 5, reinterpret_cast<LPARAM>(&button)));
    EXPECT_EQ(77, SendMessageA(owner.get(), WM_USER + 7, 0, 0));
    EXPECT_EQ(2, seen);

    // Attaching elsewhere leaves the first window as it was.
    int seen2 = 0;
    tess::ScopedWindow second(CountingWindow(&seen2));
    ASSERT_EQ(1, menu.AttachToWindow(second.get()));
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(CountingProc), GetWindowLongPtrA(owner.get(), GWLP_WNDPROC));
    EXPECT_EQ(nullptr, GetPropA(owner.get(), "lpCIconMenu!"));
    EXPECT_EQ(1, menu.DetachFromWindow());
    EXPECT_EQ(reinterpret_cast<LONG_PTR>(CountingProc), GetWindowLongPtrA(second.get(), GWLP_WNDPROC));
    EXPECT_EQ(nullptr, GetPropA(second.get(), "lpwpWndProc - CIconMenu"));
    EXPECT_EQ(77, SendMessageA(second.get(), WM_MEASUREITEM, 0, reinterpret_cast<LPARAM>(&measure)));

    // A window destroyed while attached lets go of the menu.
    HWND doomed = CountingWindow(&seen2);
    ASSERT_EQ(1, menu.AttachToWindow(doomed));
    DestroyWindow(doomed);
    EXPECT_EQ(nullptr, menu.GetOwnerWindow());
    EXPECT_EQ(0, menu.DetachFromWindow());
}

// Opens the menu for real: a timer copies the open menu window from the
// screen and closes it.
struct TrackShot {
    HWND owner;
    int ticks = 0;
    bool seen = false;
    int blue_pixels = 0;
};
TrackShot* g_shot = nullptr;

void CALLBACK ShootAndClose(HWND, UINT, UINT_PTR, DWORD) {
    HWND popup = FindWindowA("#32768", nullptr);
    ++g_shot->ticks;
    if (popup && IsWindowVisible(popup) && !g_shot->seen) {
        g_shot->seen = true;
        RECT rect;
        GetWindowRect(popup, &rect);
        rect.right = rect.left + 40;
        rect.bottom = rect.top + 30;
        ScreenCapture cap(rect);
        for (int y = 0; y < cap.Height(); ++y)
            for (int x = 0; x < cap.Width(); ++x) g_shot->blue_pixels += cap.Pixel(x, y) == RGB(0, 0, 255);
    }
    if (g_shot->seen || g_shot->ticks > 20) {
        PostMessageA(g_shot->owner, WM_CANCELMODE, 0, 0);
        if (popup) PostMessageA(popup, WM_KEYDOWN, VK_ESCAPE, 0);
    }
}

TEST(IconMenu, IconsShowInAnOpenMenu) {
    int seen = 0;
    tess::ScopedWindow owner(CountingWindow(&seen));
    ShowWindow(owner.get(), SW_SHOW);
    CIconMenu menu(10);
    menu.AttachToWindow(owner.get());
    IconMenuItemData blue{-1, SolidIcon(RGB(0, 0, 255)), 0, nullptr};
    menu.AppendItem("A blue entry", &blue);
    menu.AppendItem("Another entry", nullptr);
    TrackShot shot{owner.get()};
    g_shot = &shot;
    UINT_PTR timer = SetTimer(nullptr, 0, 200, ShootAndClose);
    SetForegroundWindow(owner.get());
    TrackPopupMenu(menu.GetMenu(), TPM_LEFTALIGN | TPM_TOPALIGN, 100, 100, 0, owner.get(), nullptr);
    KillTimer(nullptr, timer);
    g_shot = nullptr;
    menu.DetachFromWindow();
    ASSERT_TRUE(shot.seen);
    EXPECT_GE(shot.blue_pixels, 200);   // the 16 x 16 icon, drawn by our subclass
}

TEST(IconMenu, SortKeepsEntriesWhole) {
    CIconMenu menu(1);
    HMENU m = menu.GetMenu();
    EXPECT_EQ(0, menu.SortItems(nullptr, -1, -1));   // no comparator
    menu.SetCallbacks(nullptr, nullptr, CompareMenuTextNoCase);
    const std::string long_name = "m" + std::string(260, 'x');
    int payloads[6];
    const char* names[] = {"fixed", "delta", "Bravo", "charlie", "alpha", nullptr};
    for (int i = 0; names[i]; ++i) {
        IconMenuItemData d{-1, nullptr, i == 3 ? 1 : 0, &payloads[i]};
        menu.AppendItem(names[i], &d);
    }
    IconMenuItemData d{-1, nullptr, 0, &payloads[5]};
    menu.AppendItem(long_name.c_str(), &d);
    HMENU charlie_sub = GetSubMenu(m, 3);
    ASSERT_NE(nullptr, charlie_sub);
    menu.AppendItemToMenu(charlie_sub, "inside charlie", nullptr);
    EnableMenuItem(m, 2, MF_BYPOSITION | MF_GRAYED);   // "Bravo"

    EXPECT_EQ(0, menu.SortItems(nullptr, 4, -1));   // one entry: nothing to sort
    EXPECT_EQ(0, menu.SortItems(nullptr, 1, 2));
    ASSERT_EQ(1, menu.SortItems(nullptr, 0, -1));   // all but "fixed"
    std::vector<std::string> expected = {"fixed", "alpha", "Bravo", "charlie", "delta", long_name};
    EXPECT_EQ(expected, Texts(m));
    // Ids, data, state and submenus travel with their entries.
    EXPECT_EQ(5u, IdOf(m, "alpha"));
    EXPECT_EQ(&payloads[4], menu.FindItemData(nullptr, 5, false, false)->payload);
    EXPECT_EQ(&payloads[2], menu.FindItemData(nullptr, 2, true, false)->payload);
    EXPECT_TRUE(GetMenuState(m, 2, MF_BYPOSITION) & MF_GRAYED);
    EXPECT_EQ(charlie_sub, GetSubMenu(m, 3));
    EXPECT_EQ("inside charlie", TextAt(charlie_sub, 0));
    EXPECT_EQ(&payloads[3], menu.FindItemData(nullptr, reinterpret_cast<UINT_PTR>(charlie_sub), false, true)->payload);
    MENUITEMINFOA info{};
    info.cbSize = sizeof(info);
    info.fMask = MIIM_BITMAP;
    GetMenuItemInfoA(m, 1, TRUE, &info);
    EXPECT_EQ(HBMMENU_CALLBACK, info.hbmpItem);

    // A range in the middle.
    CIconMenu part(1);
    part.SetCallbacks(nullptr, nullptr, CompareMenuTextNoCase);
    for (const char* n : {"z", "d", "c", "b", "a"}) part.AppendItem(n, nullptr);
    ASSERT_EQ(1, part.SortItems(nullptr, 0, 3));
    EXPECT_EQ((std::vector<std::string>{"z", "b", "c", "d", "a"}), Texts(part.GetMenu()));
}

TEST(IconMenu, MenuTextComparators) {
    MenuSortEntry a{}, b{};
    tess::CopyText(a.text, "apple");
    tess::CopyText(b.text, "BANANA");
    EXPECT_LT(CompareMenuTextNoCase(&a, &b), 0);
    EXPECT_GT(CompareWindowTitlesNoCase(&b, &a), 0);
    tess::CopyText(b.text, "APPLE");
    EXPECT_EQ(0, CompareMenuTextNoCase(&a, &b));
    EXPECT_EQ(0, CompareMenuTextNoCase(nullptr, &b));
}

// ---- the window list -------------------------------------------------------------------

struct TestWindows {
    std::vector<HWND> all;
    TestWindows() { RegisterOwnerClass(); }
    HWND Make(const char* title, DWORD style, DWORD ex, HWND owner = nullptr, bool visible = true) {
        HWND w = CreateWindowExA(ex, "IconMenuTestOwner", title, style, 10, 10, 120, 80, owner,
                                 nullptr, GetModuleHandleA(nullptr), nullptr);
        if (visible) ShowWindow(w, SW_SHOWNOACTIVATE);
        all.push_back(w);
        return w;
    }
    ~TestWindows() {
        for (auto it = all.rbegin(); it != all.rend(); ++it)
            if (IsWindow(*it)) DestroyWindow(*it);
    }
};

TEST(WindowListMenu, ListsTheRightWindowsSorted) {
    TestWindows w;
    const DWORD app = WS_OVERLAPPEDWINDOW;
    HWND owner = w.Make("WLT owner", app, 0);
    w.Make("WLT b", app, 0);
    w.Make("WLT A", app, 0);
    w.Make("WLT c", app, 0);
    w.Make("", app, 0);                                   // no title
    w.Make("WLT tool", app, WS_EX_TOOLWINDOW);
    w.Make("WLT owned", app, 0, owner);
    w.Make("WLT owned app", app, WS_EX_APPWINDOW, owner);
    w.Make("WLT hidden", app, 0, nullptr, false);
    w.Make("WLT tool app", app, WS_EX_TOOLWINDOW | WS_EX_APPWINDOW);

    CWindowListMenu menu(1000);
    ASSERT_EQ(1, menu.Fill(owner));
    HMENU m = menu.GetMenu();
    std::vector<std::string> texts = Texts(m);
    ASSERT_GE(texts.size(), 4u);
    EXPECT_EQ("Hide WLT owner", texts[0]);
    EXPECT_EQ("Hide Others", texts[1]);
    EXPECT_EQ("Show All", texts[2]);
    EXPECT_TRUE(GetMenuState(m, 3, MF_BYPOSITION) & MF_SEPARATOR);
    EXPECT_EQ(1001u, IdOf(m, "Hide WLT owner"));
    EXPECT_EQ(1002u, IdOf(m, "Hide Others"));
    EXPECT_EQ(1003u, IdOf(m, "Show All"));

    std::vector<std::string> ours;
    for (size_t i = 4; i < texts.size(); ++i)
        if (texts[i].rfind("WLT ", 0) == 0) ours.push_back(texts[i]);
    EXPECT_EQ((std::vector<std::string>{"WLT A", "WLT b", "WLT c", "WLT owned app", "WLT owner"}), ours);
    // Everything after the separator is sorted.
    for (size_t i = 5; i < texts.size(); ++i)
        EXPECT_LE(lstrcmpiA(texts[i - 1].c_str(), texts[i].c_str()), 0) << texts[i];
    // Each window entry carries its window and a copy of its icon.
    UINT id_b = IdOf(m, "WLT b");
    IconMenuItemData* data = menu.FindItemData(nullptr, id_b, false, false);
    ASSERT_NE(nullptr, data);
    EXPECT_EQ(w.all[1], data->payload);
    ASSERT_NE(nullptr, data->icon);   // the class icon, copied
    EXPECT_NE(LoadIconA(nullptr, IDI_APPLICATION), data->icon);
    EXPECT_GE(id_b, 1004u);
}

TEST(WindowListMenu, HideTitles) {
    TestWindows w;
    struct Case { std::string title; std::string expected; };
    const std::string t259(259, 'T');
    const Case cases[] = {
        {"", "Hide Tessellar"},
        {"Short", "Hide Short"},
        {t259, "Hide " + t259},                   // the whole title, nothing overrun
        {std::string(400, 'L'), "Hide " + std::string(259, 'L')},
    };
    for (const Case& c : cases) {
        HWND owner = w.Make(c.title.c_str(), WS_POPUP, 0, nullptr, false);
        CWindowListMenu menu(1);
        menu.Fill(owner);
        EXPECT_EQ(c.expected, TextAt(menu.GetMenu(), 0)) << c.title.size();
        EXPECT_EQ(owner, menu.GetHideTarget());
    }
    CWindowListMenu no_owner(1);
    no_owner.Fill(nullptr);
    EXPECT_EQ("Hide Tessellar", TextAt(no_owner.GetMenu(), 0));
    EXPECT_EQ(1, no_owner.HandleCommand(2));   // nothing to hide, no harm
}

TEST(WindowListMenu, CommandsHideShowAndActivate) {
    TestWindows w;
    const DWORD app = WS_OVERLAPPEDWINDOW;
    HWND owner = w.Make("WLC owner", app, 0);
    HWND one = w.Make("WLC one", app, 0);
    HWND two = w.Make("WLC two", app, 0);
    HWND fixed = w.Make("WLC no minimise", WS_POPUP | WS_CAPTION, 0);
    HWND doomed = w.Make("WLC doomed", app, 0);
    CWindowListMenu menu(2000);
    menu.Fill(owner);
    HMENU m = menu.GetMenu();
    UINT id_one = IdOf(m, "WLC one");
    UINT id_doomed = IdOf(m, "WLC doomed");
    ASSERT_NE(0u, id_one);
    ASSERT_NE(0u, id_doomed);

    EXPECT_EQ(0, menu.HandleCommand(1999));
    EXPECT_EQ(0, menu.HandleCommand(2000 + menu.GetItemCounter() + 2));

    EXPECT_EQ(1, menu.HandleCommand(2002));   // Hide Others
    PumpFor(50);
    EXPECT_FALSE(IsIconic(owner));
    EXPECT_TRUE(IsIconic(one));
    EXPECT_TRUE(IsIconic(two));
    EXPECT_FALSE(IsIconic(fixed));            // no minimise box

    EXPECT_EQ(1, menu.HandleCommand(2003));   // Show All
    PumpFor(50);
    EXPECT_FALSE(IsIconic(one));
    EXPECT_FALSE(IsIconic(two));

    EXPECT_EQ(1, menu.HandleCommand(2001));   // Hide the owner
    EXPECT_TRUE(IsIconic(owner));
    menu.HandleCommand(2003);

    ShowWindow(one, SW_MINIMIZE);
    EXPECT_EQ(1, menu.HandleCommand(static_cast<int>(id_one)));
    EXPECT_FALSE(IsIconic(one));

    // A window closed since the menu was made: no action, reported as such.
    DestroyWindow(doomed);
    EXPECT_EQ(0, menu.HandleCommand(static_cast<int>(id_doomed)));
    // An id in the range without an entry.
    EXPECT_EQ(0, menu.HandleCommand(2000 + menu.GetItemCounter()));
}

}  // namespace
