// The shared helpers against the real Windows APIs under Wine.
#include <gtest/gtest.h>
#include <atomic>
#include <cstring>
#include <string>
#include <thread>

#include "tests/support/test_support.h"
#include "util/general_helpers.h"

using namespace testing_support;

TEST(Paths, ParentFolder) {
    struct Case { const char* path; bool keep; bool ok; const char* expected; };
    const Case cases[] = {
        {"C:\\a\\b\\file.txt", false, true, "C:\\a\\b"},
        {"C:\\a\\b\\file.txt", true, true, "C:\\a\\b\\"},
        {"C:\\a\\b\\", false, true, "C:\\a"},        // the final backslash is no separator
        {"C:\\a\\b\\", true, true, "C:\\a\\"},
        {"file.txt", false, false, "file.txt"},      // whole path left in the buffer
        {"x", false, false, "untouched"},
        {"", false, false, "untouched"},
    };
    for (const Case& c : cases) {
        char buf[MAX_PATH] = "untouched";
        EXPECT_EQ(c.ok, GetParentFolder(buf, c.path, c.keep)) << c.path;
        EXPECT_STREQ(c.expected, buf) << c.path;
    }
    char tiny[5];
    EXPECT_TRUE(GetParentFolder(tiny, "C:\\longfolder\\x", false, sizeof(tiny)));
    EXPECT_STREQ("C:\\l", tiny);
}

TEST(Paths, FileNameOfPath) {
    struct Case { const char* path; bool ok; const char* expected; };
    const Case cases[] = {
        {"C:\\a\\b\\file.txt", true, "file.txt"},
        {"C:\\a\\folder\\", true, "folder"},
        {"\\x", true, "x"},
        {"nofolder", false, ""},
    };
    for (const Case& c : cases) {
        char buf[MAX_PATH] = "";
        EXPECT_EQ(c.ok, GetFileNameOfPath(buf, c.path)) << c.path;
        if (c.ok) {
            EXPECT_STREQ(c.expected, buf) << c.path;
        }
    }
}

TEST(Paths, ProgramFolderAndExistence) {
    char folder[MAX_PATH];
    ASSERT_TRUE(GetProgramFolder(folder));
    ASSERT_GT(strlen(folder), 3u);
    EXPECT_EQ('\\', folder[strlen(folder) - 1]);
    EXPECT_FALSE(GetProgramFolder(nullptr));
    char self[MAX_PATH];
    GetModuleFileNameA(nullptr, self, MAX_PATH);
    EXPECT_EQ(0, _strnicmp(self, folder, strlen(folder)));

    TempFolder tmp;
    ASSERT_TRUE(tmp.Write("a.txt", "x"));
    EXPECT_TRUE(FileExists(tmp.File("a.txt").c_str()));
    EXPECT_FALSE(FileExists(tmp.File("missing.txt").c_str()));
    EXPECT_FALSE(FileExists(nullptr));
    EXPECT_TRUE(PathExists(tmp.File("a.txt").c_str()));
    EXPECT_TRUE(PathExists(tmp.Path().c_str()));
    EXPECT_FALSE(PathExists(tmp.File("missing\\deeper.txt").c_str()));
    // Names the file system does not know still go to the shell.
    EXPECT_TRUE(PathExists("::{20D04FE0-3AEA-1069-A2D8-08002B30309D}"));   // My Computer

    char desktop[MAX_PATH];
    ASSERT_TRUE(GetDesktopFolderPath(desktop));
    EXPECT_EQ('\\', desktop[strlen(desktop) - 1]);
}

TEST(ShellFileOperations, MoveCopyDuplicateAndDeleteRealFolders) {
    MessageBoxWatcher boxes(IDYES);
    TempFolder tmp;
    ASSERT_TRUE(tmp.MakeFolder("src"));
    ASSERT_TRUE(tmp.Write("src\\one.txt", "1"));
    ASSERT_TRUE(tmp.MakeFolder("dest"));

    // A source ending in a backslash moves the folder itself.
    EXPECT_TRUE(MoveFiles(tmp.File("dest").c_str(), tmp.File("src\\").c_str(),
                          FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI));
    EXPECT_TRUE(FileExistsOnDisk(tmp.File("dest\\src\\one.txt")));
    EXPECT_FALSE(FileExistsOnDisk(tmp.File("src")));

    EXPECT_TRUE(CopyFiles(tmp.File("copy.txt").c_str(), tmp.File("dest\\src\\one.txt").c_str(),
                          FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI));
    EXPECT_EQ("1", tmp.Read("copy.txt"));

    // Wine asks before overwriting instead of renaming on collision; either
    // way the original must keep its content.
    boxes.SetAnswer(IDNO);
    DuplicateFileInPlace(tmp.File("copy.txt").c_str());
    EXPECT_EQ("1", tmp.Read("copy.txt"));

    // Deleting asks the shell's own confirmation (only error boxes are off).
    boxes.Clear();
    boxes.SetAnswer(IDYES);
    EXPECT_TRUE(DeleteFiles(tmp.File("dest").c_str()));
    EXPECT_FALSE(FileExistsOnDisk(tmp.File("dest")));
    EXPECT_EQ(1u, boxes.Count());
}

TEST(ShellFileOperations, FailureIsReported) {
    TempFolder tmp;
    EXPECT_FALSE(CopyFiles(tmp.File("out.txt").c_str(), tmp.File("missing.txt").c_str(),
                           FOF_SILENT | FOF_NOCONFIRMATION | FOF_NOERRORUI));
    EXPECT_FALSE(MoveFiles(nullptr, tmp.File("x").c_str(), 0)) << "a move needs a destination";
    EXPECT_FALSE(DeleteFiles(nullptr));
    std::string huge(400, 'a');
    EXPECT_FALSE(CopyFiles(tmp.File("o").c_str(), (tmp.Path() + huge).c_str(), FOF_SILENT));
}

TEST(Text, DoubleAmpersands) {
    struct Case { const char* in; size_t size; const char* out; bool complete; };
    const Case cases[] = {
        {"Tom & Jerry", 64, "Tom && Jerry", true},
        {"a&&b", 64, "a&&&&b", true},
        {"&", 3, "&&", true},
        {"no amps", 64, "no amps", true},
        {"&&&&", 5, "&&&&", false},   // cut to what fits, never past the buffer
        {"ab&", 4, "ab", false},
    };
    for (const Case& c : cases) {
        char buf[80];
        memset(buf, 'z', sizeof(buf));
        strcpy(buf, c.in);
        EXPECT_EQ(c.complete, DoubleAmpersands(buf, c.size)) << c.in;
        EXPECT_STREQ(c.out, buf) << c.in;
        if (c.size < sizeof(buf) && strlen(c.in) < c.size) {
            for (size_t i = c.size; i < sizeof(buf); ++i)
                if (i > strlen(c.in)) {
                    ASSERT_EQ('z', buf[i]) << "wrote past the buffer, " << c.in;
                }
        }
    }
}

TEST(Text, FindNoCaseAtomsAndSwap) {
    const char* text = "Tessellar Toolbar";
    EXPECT_EQ(text + 10, FindTextNoCase(text, "TOOL"));
    EXPECT_EQ(nullptr, FindTextNoCase(text, "menu"));
    EXPECT_EQ(nullptr, FindTextNoCase(nullptr, "a"));

    GlobalAddAtomA("Tessellar Test Atom");
    GlobalAddAtomA("Tessellar Test Atom");
    ASSERT_NE(0, GlobalFindAtomA("Tessellar Test Atom"));
    DeleteGlobalAtoms("Tessellar Test Atom");
    EXPECT_EQ(0, GlobalFindAtomA("Tessellar Test Atom"));

    int pair[2] = {3, 7};
    SwapInts(pair);
    EXPECT_EQ(7, pair[0]);
    EXPECT_EQ(3, pair[1]);
}

TEST(Version, ClassIsXpInTheTestPrefix) {
    EXPECT_EQ(kWinXP, GetWindowsVersionClass());
    InitWindowsVersionClass();
    EXPECT_EQ(kWinXP, WindowsVersion());
}

TEST(Registry, KeyOpenCreateAndIniInt) {
    const char* sub = "Software\\Vantrell\\TessellarTest";
    DeleteRegistryTree(HKEY_CURRENT_USER, sub);
    EXPECT_FALSE(OpenRegistryKey(HKEY_CURRENT_USER, sub, false));
    EXPECT_FALSE(OpenRegistryKey(HKEY_CURRENT_USER, nullptr, true));
    {
        tess::ScopedRegKey created = OpenRegistryKey(HKEY_CURRENT_USER, sub, true);
        ASSERT_TRUE(created);
        // Opened with full access: a value can be written through it.
        const DWORD one = 1;
        EXPECT_EQ(ERROR_SUCCESS, RegSetValueExA(created.get(), "Probe", 0, REG_DWORD,
                                                reinterpret_cast<const BYTE*>(&one), sizeof(one)));
    }
    {
        tess::ScopedRegKey opened = OpenRegistryKey(HKEY_CURRENT_USER, sub, false);
        ASSERT_TRUE(opened);
        EXPECT_EQ(ERROR_SUCCESS, RegQueryValueExA(opened.get(), "Probe", nullptr, nullptr, nullptr,
                                                  nullptr));
        // The owner closes the key: the handle is no key any more afterwards.
        HKEY raw = opened.get();
        opened.reset();
        EXPECT_NE(ERROR_SUCCESS, RegQueryValueExA(raw, "Probe", nullptr, nullptr, nullptr,
                                                  nullptr));
    }
    DeleteRegistryTree(HKEY_CURRENT_USER, sub);

    TempFolder tmp;
    std::string ini = tmp.File("t.ini");
    ASSERT_TRUE(WritePrivateProfileInt("Options", "Count", -42, ini.c_str()));
    EXPECT_EQ(-42, (int)GetPrivateProfileIntA("Options", "Count", 0, ini.c_str()));
}

// A window whose thread stops pumping: the icon helpers must not block on it.
class HungWindow {
public:
    HungWindow() {
        thread_ = std::thread([this] {
            WNDCLASSEXA wc{};
            wc.cbSize = sizeof(wc);
            wc.lpfnWndProc = DefWindowProcA;
            wc.hInstance = GetModuleHandleA(nullptr);
            wc.hIcon = LoadIconA(nullptr, IDI_APPLICATION);
            wc.hIconSm = LoadIconA(nullptr, IDI_WARNING);
            wc.lpszClassName = "HungIconWindow";
            RegisterClassExA(&wc);
            wnd_ = CreateWindowExA(0, "HungIconWindow", "hung", WS_OVERLAPPED, 0, 0, 10, 10,
                                   nullptr, nullptr, wc.hInstance, nullptr);
            ready_ = true;
            while (!release_) Sleep(10);   // never pumps
            DestroyWindow(wnd_);
            UnregisterClassA("HungIconWindow", wc.hInstance);
        });
        while (!ready_) Sleep(5);
    }
    ~HungWindow() {
        release_ = true;
        thread_.join();
    }
    HWND wnd() const { return wnd_; }

private:
    std::thread thread_;
    std::atomic<bool> ready_{false}, release_{false};
    HWND wnd_ = nullptr;
};

TEST(WindowIcons, HungWindowAnswersWithClassIconsWithinTheTimeout) {
    HungWindow hung;
    ASSERT_TRUE(hung.wnd());
    DWORD start = GetTickCount();
    HICON small_icon = GetWindowSmallIcon(hung.wnd());
    DWORD elapsed = GetTickCount() - start;
    EXPECT_EQ(LoadIconA(nullptr, IDI_WARNING), small_icon);
    EXPECT_LT(elapsed, 1500u) << "one 200 ms wait, not a block";
    start = GetTickCount();
    EXPECT_EQ(LoadIconA(nullptr, IDI_APPLICATION), GetWindowBigIcon(hung.wnd()));
    EXPECT_LT(GetTickCount() - start, 1500u);

    BOOL ok = TRUE;
    EXPECT_EQ(0, SendMessageWithTimeout(hung.wnd(), WM_NULL, 0, 0, SMTO_NORMAL, 100, &ok));
    EXPECT_FALSE(ok);
}

TEST(WindowIcons, WindowIconMessageWinsAndDuplicateIsDeep) {
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(w);
    HICON own = DuplicateIcon(LoadIconA(nullptr, IDI_QUESTION));
    ASSERT_TRUE(own);
    EXPECT_NE(LoadIconA(nullptr, IDI_QUESTION), own);
    SendMessageA(w, WM_SETICON, ICON_BIG, (LPARAM)own);
    EXPECT_EQ(own, GetWindowBigIcon(w));
    EXPECT_EQ(own, GetWindowSmallIcon(w)) << "falls back to the big icon";
    EXPECT_EQ(nullptr, DuplicateIcon(nullptr));
    DestroyWindow(w);
    DestroyIcon(own);
}

TEST(Windows, ProgramPathClassAndFocus) {
    HWND w = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 10, 10, nullptr, nullptr, nullptr, nullptr);
    ASSERT_TRUE(w);
    char full[MAX_PATH] = "x", base[MAX_PATH] = "x";
    GetWindowProgramPath(w, full, base);
    EXPECT_STRCASEEQ("util_tests.exe", base);
    EXPECT_NE(nullptr, strstr(full, "util_tests.exe"));
    GetWindowProgramPath(nullptr, full, base);
    EXPECT_STREQ("", full);
    EXPECT_STREQ("", base);

    EXPECT_TRUE(IsWindowOfClass(w, "static"));
    EXPECT_FALSE(IsWindowOfClass(w, "Button"));
    DestroyWindow(w);
    EXPECT_FALSE(IsWindowOfClass(w, "static")) << "a destroyed window has no class";
}

TEST(Windows, InsertTabAndRectangles) {
    HWND tab = CreateWindowExA(0, "SysTabControl32", "", WS_POPUP, 0, 0, 200, 40, nullptr, nullptr,
                               nullptr, nullptr);
    if (tab) {
        EXPECT_EQ(0, InsertTab(tab, "First", 0, -1, 0));
        EXPECT_EQ(1, InsertTab(tab, "Second", 1, -1, 1234));
        TCITEMA item{};
        char text[32];
        item.mask = TCIF_TEXT | TCIF_PARAM;
        item.pszText = text;
        item.cchTextMax = sizeof(text);
        ASSERT_TRUE(SendMessageA(tab, TCM_GETITEMA, 1, (LPARAM)&item));
        EXPECT_STREQ("Second", text);
        EXPECT_EQ(1234, item.lParam);
        DestroyWindow(tab);
    }
    RECT outer = {0, 0, 100, 100}, inner = {10, 10, 20, 20}, apart = {200, 200, 300, 300};
    EXPECT_TRUE(RectsIntersect(outer, inner));
    EXPECT_FALSE(RectsIntersect(outer, apart));
    EXPECT_TRUE(RectContainsRect(outer, inner));
    EXPECT_FALSE(RectContainsRect(inner, outer));
}
