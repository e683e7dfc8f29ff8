// The program's notification icon: what the shell is told, a refused add,
// long tips, the menu resources, and through the real program: the icon
// with its id, callback and tip, added again after "TaskbarCreated", and
// the menu that a right click opens.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "shell/program_tray_icon.h"
#include "tests/support/test_support.h"
#include "tests/themes/theme_fixture.h"

using namespace testing_support;
using namespace theme_test;

namespace {

constexpr UINT WM_TSTRAYICON_ = 1446;

HWND MakeOwner() { return CreatePlainWindow("TrayIconTestOwner", nullptr, "owner"); }

struct MenuLine {
    int depth;
    std::string text;
    UINT id;   // 0 for separators and submenus
};

void WalkMenu(HMENU menu, int depth, std::vector<MenuLine>* out) {
    for (int i = 0; i < GetMenuItemCount(menu); ++i) {
        char text[200] = "";
        GetMenuStringA(menu, i, text, sizeof(text), MF_BYPOSITION);
        HMENU sub = GetSubMenu(menu, i);
        UINT id = sub ? 0 : GetMenuItemID(menu, i);
        out->push_back({depth, text[0] ? text : "-", id});
        if (sub) WalkMenu(sub, depth + 1, out);
    }
}

std::vector<MenuLine> ExpectedMenu(bool styles) {
    std::vector<MenuLine> m = {
        {0, "New", 0},
        {1, "Start &New Theme...", 40025},
        {1, "-", 0},
        {1, "Create Bar...", 40014},
        {1, "Create Bar from Template...", 40031},
        {0, "&Load", 0},
        {1, "Theme Browser...", 40013},
        {1, "Bar Browser...", 40007},
    };
    if (styles) {
        m.push_back({1, "-", 0});
        m.push_back({1, "Change Theme Style...", 40033});
    }
    const std::vector<MenuLine> rest = {
        {0, "&Save", 0},
        {1, "&Save Theme", 40015},
        {1, "Save Theme as an &Alternate Style...", 40034},
        {1, "-", 0},
        {1, "Save &Theme As....", 40146},
        {1, "-", 0},
        {1, "&Pack up entire Theme...", 40024},
        {1, "&Pack up part of Theme as an Expansion Pack...", 40147},
        {0, "-", 0},
        {0, "&Configure Theme...", 40009},
        {0, "&General Options...", 40012},
        {0, "-", 0},
        {0, "&Unload Tessellar", 40008},
    };
    m.insert(m.end(), rest.begin(), rest.end());
    return m;
}

HWND FindMenuWindow(DWORD pid) {
    std::vector<HWND> menus = WindowsOfProcess(pid, "#32768", true);
    return menus.empty() ? nullptr : menus[0];
}

}  // namespace

TEST(TrayIcon, TellsTheShellAndChecksItsAnswer) {
    TrayStandIn tray;
    HWND owner = MakeOwner();
    {
        CTrayIcon icon(owner, 77, 1446);
        icon.SetTip("Tessellar");
        EXPECT_TRUE(tray.Records().empty());   // nothing before the icon is added
        tray.SetAcceptAdd(false);
        EXPECT_FALSE(icon.Add());
        EXPECT_FALSE(icon.IsAdded());
        icon.SetTip("changed");                // not added: no modify goes out
        EXPECT_FALSE(icon.Delete());
        EXPECT_EQ(1u, tray.Records().size());

        tray.SetAcceptAdd(true);
        ASSERT_TRUE(icon.Add());
        EXPECT_TRUE(icon.IsAdded());
        const TrayRecord& add = tray.Records().back();
        EXPECT_EQ(static_cast<DWORD>(NIM_ADD), add.nim);
        EXPECT_EQ(owner, add.owner);
        EXPECT_EQ(77u, add.id);
        EXPECT_EQ(1446u, add.callback);
        EXPECT_TRUE(add.flags & NIF_MESSAGE);
        EXPECT_TRUE(add.flags & NIF_TIP);
        EXPECT_EQ("changed", add.tip);

        // A tip longer than the field keeps its first 63 characters.
        const std::string long_tip(100, 'x');
        icon.SetTip(long_tip.c_str());
        EXPECT_EQ(std::string(63, 'x'), icon.Data().szTip);
        EXPECT_EQ(static_cast<DWORD>(NIM_MODIFY), tray.Records().back().nim);
        EXPECT_EQ(std::string(63, 'x'), tray.Records().back().tip);
        icon.SetTip("");
        EXPECT_FALSE(icon.Data().uFlags & NIF_TIP);

        // After a shell restart the icon is added anew.
        tray.Clear();
        EXPECT_TRUE(icon.AddAgain());
        EXPECT_EQ(1u, tray.CountOf(NIM_ADD, 77));
        tray.Clear();
    }
    // The destructor takes the icon away.
    EXPECT_EQ(1u, tray.CountOf(NIM_DELETE, 77));
    DestroyWindow(owner);
}

TEST(TrayIcon, MenuResourcesHoldTheCommandsInOrder) {
    HMODULE exe = LoadLibraryExA((BinFolder() + "Tessellar.exe").c_str(), nullptr, LOAD_LIBRARY_AS_DATAFILE);
    ASSERT_NE(nullptr, exe);
    for (int resource : {119, 121}) {
        SCOPED_TRACE(resource);
        HMENU menu = LoadMenuA(exe, MAKEINTRESOURCEA(resource));
        ASSERT_NE(nullptr, menu);
        std::vector<MenuLine> lines;
        WalkMenu(GetSubMenu(menu, 0), 0, &lines);
        const std::vector<MenuLine> expected = ExpectedMenu(resource == 121);
        ASSERT_EQ(expected.size(), lines.size());
        for (size_t i = 0; i < lines.size(); ++i) {
            EXPECT_EQ(expected[i].depth, lines[i].depth) << i;
            EXPECT_EQ(expected[i].text, lines[i].text) << i;
            EXPECT_EQ(expected[i].id, lines[i].id) << expected[i].text;
        }
        DestroyMenu(menu);
    }
    FreeLibrary(exe);
}

class TrayIconProcess : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalDeleteAtom(GlobalFindAtomA("Tessellar Starting"));
        ASSERT_EQ(nullptr, FindWindowA("Tessellar Main", nullptr)) << "a Tessellar is running";
        // No theme: the program opens without bars.
        DeleteFileA((ProgramFolder() + "Tessellar.ini").c_str());
    }
    void TearDown() override {
        if (program_.Running()) {
            if (HWND main = program_.WaitForWindow("Tessellar Main", "Tessellar", 1))
                PostMessageA(main, WM_CLOSE, 0, 0);
            // Answered while the window closes (the pump serves the tray).
            PumpUntil([&] { return !program_.Running(); }, 8000);
            if (program_.Running()) program_.Kill();
        }
    }
    HWND Start() {
        return StartTessellar(program_, "", nullptr);
    }

    ProgramStateGuard state_;
    TrayStandIn tray_;
    ChildProcess program_;
};

TEST_F(TrayIconProcess, ProgramAddsItsIconAndAddsItAgainAfterTheShellRestarts) {
    HWND main = Start();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(PumpUntil([&] { return tray_.CountOf(NIM_ADD, 2834) == 1; }, 5000));
    const TrayRecord* add = nullptr;
    for (const TrayRecord& r : tray_.Records())
        if (r.nim == NIM_ADD) add = &r;
    ASSERT_NE(nullptr, add);
    EXPECT_EQ(main, add->owner);
    EXPECT_EQ(1446u, add->callback);
    EXPECT_EQ("Tessellar", add->tip);
    EXPECT_TRUE(add->flags & NIF_ICON);

    // The shell restarted: it broadcasts "TaskbarCreated" and has no icons.
    tray_.Clear();
    PostMessageA(HWND_BROADCAST, RegisterWindowMessageA("TaskbarCreated"), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return tray_.CountOf(NIM_ADD, 2834) == 1; }, 5000));

    // On the way out the icon is removed.
    PostMessageA(main, WM_CLOSE, 0, 0);
    ASSERT_TRUE(PumpUntil([&] { return !program_.Running(); }, 10000));
    EXPECT_EQ(1u, tray_.CountOf(NIM_DELETE, 2834));
}

TEST_F(TrayIconProcess, RefusedIconIsAddedWhenTheTrayIconIsShownAgain) {
    tray_.SetAcceptAdd(false);
    HWND main = Start();
    ASSERT_NE(nullptr, main);
    ASSERT_TRUE(PumpUntil([&] { return tray_.CountOf(NIM_ADD, 2834) == 1; }, 5000));
    PumpFor(300);
    EXPECT_EQ(0u, tray_.CountOf(NIM_MODIFY, 2834));   // nothing to modify
    tray_.SetAcceptAdd(true);
    PostMessageA(main, RegisterWindowMessageA("ShowTrayIcon"), 0, 0);
    EXPECT_TRUE(PumpUntil([&] { return tray_.CountOf(NIM_ADD, 2834) == 2; }, 5000));
}

TEST_F(TrayIconProcess, RightClickOpensTheProgramMenu) {
    HWND main = Start();
    ASSERT_NE(nullptr, main);
    // Escape closes the menu without a command; the program goes on.
    PostMessageA(main, WM_TSTRAYICON_, 2834, WM_RBUTTONDOWN);
    HWND menu = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (menu = FindMenuWindow(program_.Id())) != nullptr; }, 5000));
    RECT rc = {};
    GetWindowRect(menu, &rc);
    EXPECT_GT(rc.bottom - rc.top, 100);   // the eight lines of the top level
    PostMessageA(menu, WM_KEYDOWN, VK_ESCAPE, 0);
    ASSERT_TRUE(PumpUntil([&] { return FindMenuWindow(program_.Id()) == nullptr; }, 5000));
    PumpFor(200);
    EXPECT_TRUE(program_.Running());

    // "&Unload Tessellar" by its access key ends the program.
    PostMessageA(main, WM_TSTRAYICON_, 2834, WM_RBUTTONDOWN);
    ASSERT_TRUE(PumpUntil([&] { return (menu = FindMenuWindow(program_.Id())) != nullptr; }, 5000));
    PostMessageA(menu, WM_CHAR, 'u', 0);
    ASSERT_TRUE(PumpUntil([&] { return !program_.Running(); }, 10000));
    EXPECT_EQ(0, program_.Wait(1000));
}
