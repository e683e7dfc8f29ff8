// The real Tessellar.exe on fixture themes: which bars open, the one message
// for a missing bar, old themes, bars read from outside the theme folder,
// the save on close by AutoSaveOption, and Start New Theme.
#include <gtest/gtest.h>

#include <windows.h>
#include <shlwapi.h>

#include <algorithm>
#include <map>
#include <string>
#include <vector>

#include "tests/support/test_support.h"
#include "tests/themes/theme_fixture.h"

using namespace testing_support;
using namespace theme_test;

namespace {

constexpr char kRootName[] = "ThemeProcessTests";
// Deadline for anything the program does in answer: generous, as a loaded
// machine may take long; the waits end as soon as the awaited state holds.
constexpr DWORD kWaitMs = 30000;

// A menu command run through SendMessageCallback: the program tells this
// thread, while it pumps, when the command's handler has returned, so a save
// it makes (or a dialog it runs) is over by then. The counter outlives any
// test, as an answer may come after a test gave up.
volatile LONG g_commands_done = 0;

void CALLBACK CommandDone(HWND, UINT, ULONG_PTR, LRESULT) { InterlockedIncrement(&g_commands_done); }

class Command {
public:
    Command(HWND main, WORD id) : before_(g_commands_done) {
        sent_ = SendMessageCallbackA(main, WM_COMMAND, id, 0, CommandDone, 0) != FALSE;
    }
    // Pumps until the handler has returned.
    bool Finish() { return sent_ && PumpUntil([&] { return g_commands_done != before_; }, kWaitMs); }

private:
    LONG before_;
    bool sent_ = false;
};

std::string Info(const std::string& extra) { return "[Theme Info]\r\nName=Fixture\r\nMarker=1\r\n" + extra; }

// Every file below a folder with its bytes.
std::map<std::string, std::string> Snapshot(const std::string& folder) {
    std::map<std::string, std::string> out;
    WIN32_FIND_DATAA fd;
    HANDLE find = FindFirstFileA((folder + "*").c_str(), &fd);
    if (find == INVALID_HANDLE_VALUE) return out;
    do {
        std::string name = fd.cFileName;
        if (name == "." || name == "..") continue;
        if (fd.dwFileAttributes & FILE_ATTRIBUTE_DIRECTORY) {
            for (auto& e : Snapshot(folder + name + "\\")) out[name + "\\" + e.first] = e.second;
        } else {
            out[name] = ReadFileBytes(folder + name);
        }
    } while (FindNextFileA(find, &fd));
    FindClose(find);
    return out;
}

class ThemeProcess : public ::testing::Test {
protected:
    void SetUp() override {
        GlobalDeleteAtom(GlobalFindAtomA("Tessellar Starting"));
        ASSERT_EQ(nullptr, FindWindowA("Tessellar Main", nullptr)) << "a Tessellar is running";
        DeleteFileA((ProgramFolder() + "Tessellar.ini").c_str());
    }
    void TearDown() override {
        StopTessellar(program_);
    }

    // Starts the program (with a theme file when given) and waits until its
    // start-up is over.
    HWND Start(const std::string& theme) {
        return StartTessellar(program_, theme.empty() ? "" : "\"" + theme + "\"", boxes_.get());
    }

    int Close(HWND main) {
        PostMessageA(main, WM_CLOSE, 0, 0);
        return program_.Wait(kWaitMs);
    }

    size_t BarWindows() { return WindowsOfProcess(program_.Id(), "Tessellar Toolbar", false).size(); }

    std::vector<std::string> BarTitles() {
        std::vector<std::string> titles;
        for (HWND w : WindowsOfProcess(program_.Id(), "Tessellar Toolbar", false)) {
            char title[200] = "";
            GetWindowTextA(w, title, sizeof(title));
            titles.push_back(title);
        }
        std::sort(titles.begin(), titles.end());
        return titles;
    }

    // The boxes the program showed, without the theme browser, which a start
    // with no bar open shows as a dialog of its own.
    static std::vector<SeenMessageBox> MessageBoxesOf(const MessageBoxWatcher& watcher) {
        std::vector<SeenMessageBox> boxes;
        for (const SeenMessageBox& box : watcher.Seen())
            if (box.caption != "Tessellar - Theme Browser") boxes.push_back(box);
        return boxes;
    }
    size_t MessageBoxes() const { return MessageBoxesOf(*boxes_).size(); }

    // The start-up answers sent messages while it waits on the tray (and on
    // message boxes), so the theme may still be loading: wait for what is
    // expected, then a little longer for anything more.
    void WaitForBars(size_t bars, size_t boxes) {
        PumpUntil([&] { return BarWindows() >= bars && (!boxes_ || MessageBoxes() >= boxes); }, kWaitMs);
        PumpFor(300);
        EXPECT_EQ(bars, BarWindows());
        if (boxes_) {
            EXPECT_EQ(boxes, MessageBoxes());
        }
    }

    ProgramStateGuard state_;
    TrayStandIn tray_;
    ThemeRoot root_{kRootName};
    std::unique_ptr<MessageBoxWatcher> boxes_{new MessageBoxWatcher(IDOK, false)};
    ChildProcess program_;
};

}  // namespace

TEST_F(ThemeProcess, OpenBarsUpToTheFirstGap) {
    root_.Write("Gap\\Bars\\one.tsbar", BarFile("One"));
    root_.Write("Gap\\Bars\\two.tsbar", BarFile("Two"));
    root_.Write("Gap\\Bars\\four.tsbar", BarFile("Four"));
    const std::string theme = root_.Write(
        "Gap\\Gap.tstheme", Info("TSVersion=150\r\n") +
                                "[OpenBars]\r\nBar1=Bars\\one.tsbar\r\nBar2=Bars\\two.tsbar\r\nBar3=\r\n"
                                "Bar4=Bars\\four.tsbar\r\n");
    HWND main = Start(theme);
    ASSERT_NE(nullptr, main);
    WaitForBars(2, 0);
    EXPECT_EQ((std::vector<std::string>{"One", "Two"}), BarTitles());
    EXPECT_EQ(std::string(kRootName) + "\\Gap\\Gap.tstheme", LastThemeValue());
    // Saved again: the two open bars, numbered without the gap.
    ASSERT_TRUE(Command(main, 40015).Finish());
    EXPECT_EQ("<missing>", IniValue(theme, "Theme Info", "Marker"));
    EXPECT_EQ("Bars\\one.tsbar", IniValue(theme, "OpenBars", "Bar1"));
    EXPECT_EQ("Bars\\two.tsbar", IniValue(theme, "OpenBars", "Bar2"));
    EXPECT_EQ("<missing>", IniValue(theme, "OpenBars", "Bar3"));
    EXPECT_EQ("<missing>", IniValue(theme, "OpenBars", "Bar4"));
    EXPECT_EQ(0, Close(main));
    EXPECT_EQ(0u, BarWindows());
}

// A bar file named on the command line opens as a bar of its own, through
// the same path as a theme's bars.
TEST_F(ThemeProcess, BarFileNamedOnTheCommandLineOpens) {
    const std::string bar = root_.Write("Loose\\loose.tsbar", BarFile("Loose"));
    HWND main = Start(bar);
    ASSERT_NE(nullptr, main);
    WaitForBars(1, 0);
    EXPECT_EQ((std::vector<std::string>{"Loose"}), BarTitles());
    // No theme holds the bar: closing would ask where to save one.
    program_.Kill();
}

TEST_F(ThemeProcess, MissingBarCostsOneMessageAndTheRestOpen) {
    root_.Write("Missing\\Bars\\one.tsbar", BarFile("One"));
    root_.Write("Missing\\Bars\\three.tsbar", BarFile("Three"));
    const std::string theme = root_.Write(
        "Missing\\Missing.tstheme", Info("TSVersion=150\r\nAutoSaveOption=2\r\n") +
                                        "[OpenBars]\r\nBar1=Bars\\one.tsbar\r\nBar2=Bars\\gone.tsbar\r\n"
                                        "Bar3=Bars\\three.tsbar\r\n");
    HWND main = Start(theme);
    ASSERT_NE(nullptr, main);
    WaitForBars(2, 1);
    EXPECT_EQ((std::vector<std::string>{"One", "Three"}), BarTitles());
    ASSERT_EQ(1u, MessageBoxes());
    const SeenMessageBox box = boxes_->Seen()[0];
    EXPECT_EQ("Tessellar - Cannot Find Bar", box.caption);
    EXPECT_EQ("The theme you are loading contains the following bar which cannot be located:\n\n" + root_.Path() +
                  "Missing\\Bars\\gone.tsbar\n\nPlease check to see if the bar exists and if so try loading it "
                  "manually.",
              box.text);
    EXPECT_EQ(0, Close(main));
}

// Themes without a version name their bars from the program folder; bars
// that lie in the theme folder are found on a second try.
TEST_F(ThemeProcess, OldThemesFindTheirBars) {
    root_.Write("Old\\Bars\\local.tsbar", BarFile("Local"));
    root_.Write("Old\\Bars\\rooted.tsbar", BarFile("Rooted"));
    const std::string theme = root_.Write(
        "Old\\Old.tstheme", Info("AutoSaveOption=2\r\n") + "[OpenBars]\r\nBar1=Bars\\local.tsbar\r\nBar2=" +
                                kRootName + "\\Old\\Bars\\rooted.tsbar\r\n");
    HWND main = Start(theme);
    ASSERT_NE(nullptr, main);
    WaitForBars(2, 0);
    EXPECT_EQ((std::vector<std::string>{"Local", "Rooted"}), BarTitles());
    EXPECT_EQ(0, Close(main));
}

// A theme may read bars and skins wherever its paths say; saving it writes
// nothing there.
TEST_F(ThemeProcess, BarsOutsideTheThemeAreReadButNeverWritten) {
    ThemeRoot outside("ThemeProcessOutside");
    outside.Write("far.tsbar", BarFile("Far"));
    outside.Write("Skins\\far.tsskin", "[General]\r\nSkinName=Far\r\n");
    root_.Write("Inside\\Bars\\near.tsbar", BarFile("Near"));
    const std::string theme = root_.Write(
        "Inside\\Inside.tstheme",
        Info("TSVersion=150\r\nAutoSaveOption=0\r\n") +
            "[OpenBars]\r\nBar1=Bars\\near.tsbar\r\nBar2=..\\..\\ThemeProcessOutside\\far.tsbar\r\n"
            "SkinForBar2=..\\..\\ThemeProcessOutside\\Skins\\far.tsskin\r\n");
    const auto before = Snapshot(outside.Path());
    HWND main = Start(theme);
    ASSERT_NE(nullptr, main);
    WaitForBars(2, 0);
    // Save Theme, then close, which saves again.
    ASSERT_TRUE(Command(main, 40015).Finish());
    EXPECT_EQ("<missing>", IniValue(theme, "Theme Info", "Marker"));
    EXPECT_EQ(0, Close(main));
    EXPECT_EQ("150", IniValue(theme, "Theme Info", "TSVersion"));
    EXPECT_EQ(before, Snapshot(outside.Path()));
    // The theme still names both bars and the outside skin where they are.
    EXPECT_EQ("Bars\\near.tsbar", IniValue(theme, "OpenBars", "Bar1"));
    EXPECT_EQ("..\\..\\ThemeProcessOutside\\far.tsbar", IniValue(theme, "OpenBars", "Bar2"));
    EXPECT_EQ("..\\..\\ThemeProcessOutside\\Skins\\far.tsskin", IniValue(theme, "OpenBars", "SkinForBar2"));
    // The bar inside the theme had its position written.
    EXPECT_NE("<missing>", IniValue(root_.Path() + "Inside\\Bars\\near.tsbar", "Object", "LastPos.x"));
}

TEST_F(ThemeProcess, ClosingSavesByAutoSaveOption) {
    const struct {
        int option;
        bool saved;
    } cases[] = {{0, true}, {1, true}, {2, false}};   // nothing modified: 1 saves without asking
    for (const auto& c : cases) {
        SCOPED_TRACE(c.option);
        const std::string theme = root_.Write(
            "Auto\\Auto.tstheme", Info("TSVersion=150\r\nAutoSaveOption=" + std::to_string(c.option) + "\r\n") +
                                      "[OpenBars]\r\n");
        HWND main = Start(theme);
        ASSERT_NE(nullptr, main);
        PumpFor(300);
        EXPECT_EQ(0, Close(main));
        EXPECT_EQ(c.saved ? "<missing>" : "1", IniValue(theme, "Theme Info", "Marker"));
        EXPECT_EQ(0u, MessageBoxes());
    }
}

TEST_F(ThemeProcess, StartNewThemeCreatesTheFolderAndTheNextStartOpensIt) {
    boxes_.reset();   // the name prompt is a dialog too: answered here by hand
    const std::string name = "ThemeProcessNew";
    const std::string folder = ProgramFolder() + name + "\\";
    RemoveTree(folder);
    HWND main = Start("");
    ASSERT_NE(nullptr, main);
    Command start_new(main, 40025);
    HWND prompt = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        for (HWND w : WindowsOfProcess(program_.Id(), "#32770", true)) {
            char title[64] = "";
            GetWindowTextA(w, title, sizeof(title));
            if (lstrcmpA(title, "Start New Theme") == 0) prompt = w;
        }
        return prompt != nullptr;
    }, kWaitMs));
    SendMessageTimeoutA(GetDlgItem(prompt, 1206), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(name.c_str()),
                        SMTO_NORMAL, kWaitMs, nullptr);
    PostMessageA(prompt, WM_COMMAND, IDOK, 0);
    const std::string theme_file = folder + name + ".tstheme";
    ASSERT_TRUE(start_new.Finish());
    EXPECT_EQ("0", IniValue(theme_file, "Theme Info", "UseLVSkin"));
    EXPECT_EQ("150", IniValue(theme_file, "Theme Info", "TSVersion"));
    for (const char* sub : {"Bars", "Bars\\Icons", "Bars\\Bitmaps", "Bars\\Templates", "Skins"})
        EXPECT_TRUE(PathIsDirectoryA((folder + sub).c_str())) << sub;
    EXPECT_EQ(name, IniValue(theme_file, "Theme Info", "Name"));
    EXPECT_EQ("v1.0", IniValue(theme_file, "Theme Info", "Version"));
    EXPECT_EQ(name + "\\" + name + ".tstheme", LastThemeValue());
    EXPECT_EQ(0, Close(main));

    // The next start without a document opens it: it is the newest recent theme.
    ClearRecentThemesKey();
    main = Start("");
    ASSERT_NE(nullptr, main);
    PumpUntil([&] { return !RecentThemes().empty(); }, kWaitMs);
    const std::vector<std::string> recent = RecentThemes();
    ASSERT_FALSE(recent.empty());
    EXPECT_EQ(theme_file, recent[0]);
    EXPECT_EQ(0, Close(main));
    RemoveTree(folder);
}

namespace {

HWND FindDialog(DWORD pid, const char* title) {
    for (HWND w : WindowsOfProcess(pid, "#32770", true)) {
        char text[128] = "";
        GetWindowTextA(w, text, sizeof(text));
        if (lstrcmpA(text, title) == 0) return w;
    }
    return nullptr;
}

void SetDialogText(HWND dlg, int id, const std::string& text) {
    SendMessageTimeoutA(GetDlgItem(dlg, id), WM_SETTEXT, 0, reinterpret_cast<LPARAM>(text.c_str()), SMTO_NORMAL,
                        kWaitMs, nullptr);
}

}  // namespace

// An edit in Theme Options marks the theme modified; the log-off question
// then refuses the session end on Cancel (once: the next query asks again)
// and the end of the session saves after Yes.
TEST_F(ThemeProcess, ThemeOptionsEditAndTheLogOffQuestion) {
    boxes_.reset();
    const std::string theme = root_.Write(
        "Opts\\Opts.tstheme", Info("TSVersion=150\r\nAutoSaveOption=1\r\n") + "[OpenBars]\r\n");
    HWND main = Start(theme);
    ASSERT_NE(nullptr, main);
    PostMessageA(main, WM_COMMAND, 40020, 0);
    HWND options = nullptr;
    ASSERT_TRUE(PumpUntil([&] { return (options = FindDialog(program_.Id(), "Theme Options")) != nullptr; }, kWaitMs));
    char name[64] = "";
    SendMessageTimeoutA(GetDlgItem(options, 1206), WM_GETTEXT, sizeof(name), reinterpret_cast<LPARAM>(name),
                        SMTO_NORMAL, kWaitMs, nullptr);
    EXPECT_STREQ("Fixture", name);
    SetDialogText(options, 1206, "Renamed");
    SetDialogText(options, 1208, "v9");
    PostMessageA(options, WM_COMMAND, IDOK, 0);
    ASSERT_TRUE(PumpUntil([&] { return FindDialog(program_.Id(), "Theme Options") == nullptr; }, kWaitMs));

    MessageBoxWatcher boxes(IDCANCEL);
    boxes.WatchProcess(program_.Id());
    DWORD_PTR result = 99;
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kWaitMs, &result));
    EXPECT_EQ(0u, result);
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kWaitMs, &result));
    EXPECT_EQ(0u, result);
    ASSERT_EQ(2u, MessageBoxesOf(boxes).size());
    EXPECT_EQ("Tessellar - Save Changes?", MessageBoxesOf(boxes)[1].caption);
    boxes.SetAnswer(IDYES);
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_QUERYENDSESSION, 0, 0, SMTO_NORMAL, kWaitMs, &result));
    EXPECT_EQ(1u, result);
    EXPECT_EQ("1", IniValue(theme, "Theme Info", "Marker"));   // nothing saved yet
    ASSERT_TRUE(SendMessageTimeoutA(main, WM_ENDSESSION, TRUE, 0, SMTO_NORMAL, kWaitMs, &result));
    EXPECT_EQ("Renamed", IniValue(theme, "Theme Info", "Name"));
    EXPECT_EQ("v9", IniValue(theme, "Theme Info", "Version"));
    EXPECT_EQ(3u, MessageBoxesOf(boxes).size());
    EXPECT_EQ(0, Close(main));
}

// Save Theme as an Alternate Style: a name like the original's is refused;
// another one becomes a new theme file of the same folder.
TEST_F(ThemeProcess, AlternateStyleBecomesANewThemeFile) {
    boxes_.reset();
    const std::string theme = root_.Write(
        "Alt\\Alt.tstheme", Info("TSVersion=150\r\nAutoSaveOption=2\r\n") + "[OpenBars]\r\n");
    HWND main = Start(theme);
    ASSERT_NE(nullptr, main);
    Command save_style(main, 40034);
    HWND dlg = nullptr;
    ASSERT_TRUE(PumpUntil([&] {
        return (dlg = FindDialog(program_.Id(), "Save Theme as an Alternate Style")) != nullptr;
    }, kWaitMs));
    {
        MessageBoxWatcher boxes(IDOK);
        boxes.WatchProcess(program_.Id());
        SetDialogText(dlg, 1227, "fixture");
        PostMessageA(dlg, WM_COMMAND, IDOK, 0);
        // The refusal is the one box; the style dialog itself is no box.
        ASSERT_TRUE(PumpUntil([&] { return boxes.Count() > 0; }, kWaitMs));
        const std::vector<SeenMessageBox> seen = boxes.Seen();
        ASSERT_EQ(1u, seen.size());
        EXPECT_EQ("Tessellar - Save as an Alt Style", seen[0].caption);
        EXPECT_EQ("Please enter a name for the alternate style different from the original!", seen[0].text);
        // Answered, the box is gone and the dialog still open.
        ASSERT_TRUE(PumpUntil([&] { return FindDialog(program_.Id(), seen[0].caption.c_str()) == nullptr; },
                              kWaitMs));
        PumpFor(200);
        EXPECT_EQ(dlg, FindDialog(program_.Id(), "Save Theme as an Alternate Style"));
        EXPECT_EQ(1u, boxes.Count());
    }
    SetDialogText(dlg, 1227, "Evening");
    PostMessageA(dlg, WM_COMMAND, IDOK, 0);
    const std::string style = root_.Path() + "Alt\\Evening.tstheme";
    ASSERT_TRUE(save_style.Finish());
    EXPECT_EQ("0", IniValue(style, "Theme Info", "UseLVSkin"));
    EXPECT_EQ("Evening", IniValue(style, "Theme Info", "Name"));
    EXPECT_EQ("Fixture", IniValue(theme, "Theme Info", "Name"));
    EXPECT_EQ(std::string(kRootName) + "\\Alt\\Evening.tstheme", LastThemeValue());
    EXPECT_EQ(0, Close(main));
}

TEST_F(ThemeProcess, LastThemeWithAFullPathOnAnotherDriveReopens) {
    // The temp folder lies on C:, the program on Z:.
    TempFolder elsewhere;
    ASSERT_TRUE(elsewhere.MakeFolder("Far"));
    const std::string theme_file = elsewhere.File("Far\\Far.tstheme");
    ASSERT_TRUE(WriteFileBytes(theme_file, Info("") + "[OpenBars]\r\n"));
    ASSERT_TRUE(WriteFileBytes(ProgramFolder() + "Tessellar.ini", "[Settings]\r\nLastTheme=" + theme_file + "\r\n"));
    ClearRecentThemesKey();
    HWND main = Start("");
    ASSERT_NE(nullptr, main);
    PumpUntil([&] { return !RecentThemes().empty(); }, kWaitMs);
    const std::vector<std::string> recent = RecentThemes();
    ASSERT_FALSE(recent.empty());
    EXPECT_STRCASEEQ(theme_file.c_str(), recent[0].c_str());
    EXPECT_EQ(0, Close(main));
}

// OLE is loaded at the program's first call into it, once the bars show; the
// bars still become drop targets through it.
TEST_F(ThemeProcess, BarsBecomeDropTargetsThroughOleLoadedOnFirstUse) {
    root_.Write("Drop\\Bars\\one.tsbar", BarFile("One"));
    const std::string theme =
        root_.Write("Drop\\Drop.tstheme", Info("TSVersion=150\r\n") + "[OpenBars]\r\nBar1=Bars\\one.tsbar\r\n");
    HWND main = Start(theme);
    ASSERT_NE(nullptr, main);
    WaitForBars(1, 0);
    const std::vector<HWND> bars = WindowsOfProcess(program_.Id(), "Tessellar Toolbar", false);
    ASSERT_EQ(1u, bars.size());
    // RegisterDragDrop marks the window with this property.
    EXPECT_TRUE(PumpUntil([&] { return GetPropA(bars[0], "OleDropTargetInterface") != nullptr; }, kWaitMs));
    EXPECT_EQ(0, Close(main));
}
