// The live preview with the stand-in skin editor (another process): the
// change list is bound to the window that opened the skin, edits show in the
// bars without touching the skin file, and nobody else's commands count.
// EditSkinInSkinEditor: no editor installed, starting one, an editor that
// already holds the skin, and one that hangs.
#include <gtest/gtest.h>

#include <windows.h>

#include <algorithm>
#include <memory>
#include <string>
#include <thread>
#include <vector>

#include "shell/skin_editor_link.h"
#include "skins/ini_section_reader.h"
#include "tests/packages/package_fixture.h"
#include "tests/support/test_support.h"

using namespace package_test;
using namespace testing_support;

namespace {

constexpr char kLivePreviewNote[] = "<ShowMessage><64><Live Preview Not Available>Due to the fact";

// The registry value "Path" of the editor, put back as it was at the end.
class EditorPathValue {
public:
    EditorPathValue() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSkinEditorKey, 0, KEY_READ, &key) == ERROR_SUCCESS) {
            char value[1024] = "";
            DWORD size = sizeof(value) - 1;
            had_ = RegQueryValueExA(key, "Path", nullptr, nullptr, reinterpret_cast<BYTE*>(value), &size) ==
                   ERROR_SUCCESS;
            if (had_) old_ = value;
            RegCloseKey(key);
        }
    }
    ~EditorPathValue() {
        if (had_) Set(old_);
        else Remove();
    }
    void Set(const std::string& value) {
        HKEY key;
        if (RegCreateKeyExA(HKEY_LOCAL_MACHINE, kSkinEditorKey, 0, nullptr, 0, KEY_WRITE, nullptr, &key, nullptr) !=
            ERROR_SUCCESS)
            return;
        RegSetValueExA(key, "Path", 0, REG_SZ, reinterpret_cast<const BYTE*>(value.c_str()),
                       static_cast<DWORD>(value.size() + 1));
        RegCloseKey(key);
    }
    void Remove() {
        HKEY key;
        if (RegOpenKeyExA(HKEY_LOCAL_MACHINE, kSkinEditorKey, 0, KEY_WRITE, &key) != ERROR_SUCCESS) return;
        RegDeleteValueA(key, "Path");
        RegCloseKey(key);
    }

private:
    bool had_ = false;
    std::string old_;
};

std::vector<HWND> EditorWindows() {
    std::vector<HWND> out;
    HWND w = nullptr;
    while ((w = FindWindowExA(nullptr, w, kSkinEditorClass, nullptr)) != nullptr) out.push_back(w);
    return out;
}

void EndEditors() {
    for (HWND w : EditorWindows()) {
        HANDLE process = OpenProcess(PROCESS_TERMINATE | SYNCHRONIZE, FALSE, WindowProcess(w));
        if (!process) continue;
        TerminateProcess(process, 0);
        WaitForSingleObject(process, 5000);
        CloseHandle(process);
    }
    PumpUntil([] { return EditorWindows().empty(); }, 3000);
}

// A stand-in editor started by the test; ended with it.
class StandIn {
public:
    bool Start(const std::string& args) {
        if (!process_.Start(StandInFolder() + "Glazeworks.exe", args)) return false;
        PumpUntil([&] { return (wnd_ = Find()) != nullptr; }, 10000);
        return wnd_ != nullptr;
    }
    HWND Window() const { return wnd_; }
    DWORD Id() const { return process_.Id(); }
    std::vector<std::string> Lines() const { return StandInLines(process_.Id()); }
    bool Got(const std::string& text) const {
        auto lines = Lines();
        return std::find(lines.begin(), lines.end(), text) != lines.end();
    }
    // The stand-in sends text to the main window as the editor.
    void Send(const std::string& text) { SendToWindow(wnd_, kStandInSendToMain, text); }

private:
    HWND Find() const {
        for (HWND w : EditorWindows())
            if (WindowProcess(w) == process_.Id()) return w;
        return nullptr;
    }
    ChildProcess process_;
    HWND wnd_ = nullptr;
};

BYTE BarAlpha(HWND bar) {
    BYTE alpha = 255;
    DWORD flags = 0;
    COLORREF key = 0;
    if (!GetLayeredWindowAttributes(bar, &key, &alpha, &flags) || !(flags & LWA_ALPHA)) return 255;
    return alpha;
}

class SkinEditorLink : public ::testing::Test {
protected:
    void SetUp() override {
        ProgramMainWindow();
        EndEditors();
        DeleteFileA(StandInLog().c_str());
    }
    void TearDown() override { EndEditors(); }
};

}  // namespace

TEST_F(SkinEditorLink, LivePreviewFollowsOnlyTheEditorThatOpenedTheSkin) {
    SkinnedTheme theme("PkgLivePreview");
    ASSERT_TRUE(theme.Loaded());
    const std::string skin = theme.SkinPath();
    ASSERT_FALSE(skin.empty());
    const std::string skin_bytes = ReadFileBytes(theme.SkinFile());
    HWND bar = theme.BarWindows().front();
    EXPECT_EQ(255, BarAlpha(bar));

    // The editor announces the skin on start; it is answered and bound.
    StandIn editor;
    ASSERT_TRUE(editor.Start("\"" + skin + "\""));
    ASSERT_TRUE(PumpUntil([&] { return editor.Got("<RegisterMessageTarget>"); }, 5000));
    CIniChangeList* list = BoundChangeList(editor.Window());
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(reinterpret_cast<HANDLE>(list), GetPropA(editor.Window(), kChangedListProperty));

    // An edit and a recalculation: the bars wear it, the file stays as it was.
    editor.Send("<WriteKey><General><Alpha>128");
    editor.Send("<Recalc>");
    EXPECT_TRUE(PumpUntil([&] { return BarAlpha(bar) == 128; }, 3000)) << int(BarAlpha(bar));
    EXPECT_EQ(skin_bytes, ReadFileBytes(theme.SkinFile()));

    // Another editor that never opened the skin, and one that forges the
    // property with the real change list's address: neither changes a thing.
    StandIn stranger, forger;
    ASSERT_TRUE(stranger.Start(""));
    ASSERT_TRUE(forger.Start(""));
    stranger.Send("<WriteKey><General><Alpha>40");
    stranger.Send("<Recalc>");
    char address[32];
    wsprintfA(address, "%p", static_cast<void*>(list));
    SendToWindow(forger.Window(), kStandInForgeProperty, address);
    ASSERT_EQ(reinterpret_cast<HANDLE>(list), GetPropA(forger.Window(), kChangedListProperty));
    forger.Send("<WriteKey><General><Alpha>60");
    forger.Send("<Recalc>");
    forger.Send("<SkinClosed><" + skin + ">");
    PumpFor(300);
    EXPECT_EQ(128, BarAlpha(bar));
    int pending = 0;
    EXPECT_STREQ("128", list->Lookup("General", "Alpha", nullptr, &pending));
    EXPECT_EQ(list, BoundChangeList(editor.Window()));

    // Asked to edit the skin again, the bound editor comes forward; no new one starts.
    EditorPathValue path;
    path.Set(StandInFolder());
    EXPECT_TRUE(EditSkinInSkinEditor(skin.c_str()));
    PumpFor(300);
    EXPECT_EQ(3u, EditorWindows().size());

    // Closing the skin throws the edits away: the file's values come back.
    editor.Send("<SkinClosed><" + skin + ">");
    EXPECT_TRUE(PumpUntil([&] { return BarAlpha(bar) == 255; }, 3000)) << int(BarAlpha(bar));
    EXPECT_EQ(nullptr, BoundChangeList(editor.Window()));
    EXPECT_EQ(nullptr, GetPropA(editor.Window(), kChangedListProperty));
    editor.Send("<WriteKey><General><Alpha>90");
    editor.Send("<Recalc>");
    PumpFor(300);
    EXPECT_EQ(255, BarAlpha(bar));
}

TEST_F(SkinEditorLink, WithoutTheEditorInstalledTheUserIsTold) {
    EditorPathValue path;
    struct Case {
        const char* value;   // null: no value
    };
    const std::string too_long(MAX_PATH - 5, 'p');
    const Case cases[] = {{nullptr}, {""}, {too_long.c_str()}};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.value ? std::to_string(strlen(c.value)) : "none");
        if (c.value) path.Set(c.value);
        else path.Remove();
        char out[MAX_PATH];
        EXPECT_FALSE(GetSkinEditorPath(out, sizeof(out)));
        DialogDriver driver({{"Cannot Edit Skin", {}, nullptr, IDOK}});
        EXPECT_FALSE(EditSkinInSkinEditor("C:\\Skins\\any.tsskin"));
        EXPECT_TRUE(driver.Saw("Cannot Edit Skin")) << driver.Describe();
        auto seen = driver.Seen();
        ASSERT_FALSE(seen.empty());
        EXPECT_EQ(0u, seen[0].text.find("The program Glazeworks is needed to easily edit skins in Tessellar."));
        EXPECT_TRUE(EditorWindows().empty());
    }
}

TEST_F(SkinEditorLink, AnEditorIsStartedOrReusedAndAHungOneCostsOnlyTheTimeOut) {
    EditorPathValue path;
    path.Set(StandInFolder());
    char exe[MAX_PATH];
    ASSERT_TRUE(GetSkinEditorPath(exe, sizeof(exe)));
    EXPECT_EQ(StandInFolder() + "Glazeworks.exe", exe);
    const std::string skin = ProgramFolder() + "Pkg Not Cached\\some skin.tsskin";

    // No editor runs: one starts with the skin's path in double quotes.
    EXPECT_TRUE(EditSkinInSkinEditor(skin.c_str()));
    ASSERT_TRUE(PumpUntil([] { return EditorWindows().size() == 1; }, 10000));
    const DWORD started = WindowProcess(EditorWindows()[0]);
    ASSERT_TRUE(PumpUntil([&] { return !StandInLines(started).empty(); }, 5000));
    const std::string command_line = StandInLines(started)[0];
    EXPECT_NE(std::string::npos, command_line.find("\"" + skin + "\"")) << command_line;
    EndEditors();

    // An editor that had the skin before: asked, brought forward and told
    // that no live preview is possible; nothing new starts.
    StandIn holder;
    ASSERT_TRUE(holder.Start("--quiet \"" + skin + "\""));
    EXPECT_FALSE(EditSkinInSkinEditor(skin.c_str()));
    PumpFor(300);
    auto lines = holder.Lines();
    ASSERT_GE(lines.size(), 3u);
    EXPECT_EQ("<GetOpenedSkin>", lines[1]);
    EXPECT_EQ(0u, lines[2].find(kLivePreviewNote)) << lines[2];
    EXPECT_EQ(1u, EditorWindows().size());
    EndEditors();

    // An editor that stops answering: the question waits no longer than its
    // time-out, then a new editor starts.
    StandIn hung;
    ASSERT_TRUE(hung.Start(""));
    std::thread block([&] { SendToWindow(hung.Window(), kStandInStopPumping, "8000", 200); });
    block.join();
    const DWORD before = GetTickCount();
    EXPECT_TRUE(EditSkinInSkinEditor(skin.c_str()));
    const DWORD took = GetTickCount() - before;
    EXPECT_LE(took, kSkinEditorTimeoutMs + 1500);
    EXPECT_TRUE(PumpUntil([] { return EditorWindows().size() == 2; }, 10000));
}
