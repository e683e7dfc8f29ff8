// The main window's WM_COPYDATA text: plain commands (documents, "ReloadSkin "
// at the start only, "Configure" in any case) and the framing of the skin
// editor's bracketed commands, sent to the real main window.
#include <gtest/gtest.h>

#include <windows.h>

#include <string>
#include <vector>

#include "shell/skin_editor_link.h"
#include "shell/theme_documents.h"
#include "shell/theme_file.h"
#include "skins/ini_section_reader.h"
#include "tests/packages/package_fixture.h"
#include "tests/support/test_support.h"
#include "tests/themes/theme_fixture.h"

using namespace package_test;
using namespace testing_support;

namespace {

std::vector<std::string> g_opened;
int g_editor_calls = 0;
bool RecordOpen(const char* path) {
    g_opened.push_back(path);
    return false;
}
void RecordEditor() { ++g_editor_calls; }

LRESULT SendText(HWND sender, const std::string& text) {
    return SendToWindow(ProgramMainWindow(), 0, text, 5000, sender);
}

// An editor window of this process that records what the program sends it.
std::vector<std::string>* g_editor_inbox = nullptr;
LRESULT CALLBACK RecordingEditorProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    if (msg == WM_COPYDATA && g_editor_inbox) {
        const auto* cds = reinterpret_cast<const COPYDATASTRUCT*>(lp);
        g_editor_inbox->push_back(std::string(static_cast<const char*>(cds->lpData), strnlen(static_cast<const char*>(cds->lpData), cds->cbData)));
        return 1;
    }
    return DefWindowProcA(wnd, msg, wp, lp);
}

}  // namespace

TEST(CopyData, PlainCommandsOpenDocumentsOrTheThemeEditor) {
    struct Case {
        const char* text;
        const char* opened;   // null: no document opened
        int editor;
    };
    const Case cases[] = {
        {"C:\\Themes\\Blue\\Blue.tstheme", "C:\\Themes\\Blue\\Blue.tstheme", 0},
        {"Configure", nullptr, 1},
        {"CONFIGURE", nullptr, 1},
        {"configure", nullptr, 1},
        {"Configure now", "Configure now", 0},
        // The words inside a path are no command: the whole text is the document.
        {"C:\\My ReloadSkin Files\\x.tsbar", "C:\\My ReloadSkin Files\\x.tsbar", 0},
        // At the start they are: the rest is a skin (here not cached: nothing reloads).
        {"ReloadSkin C:\\Nowhere\\none.tsskin", "C:\\Nowhere\\none.tsskin", 0},
        {"ReloadSkin Configure", nullptr, 1},
    };
    ProgramMainWindow();
    CopyDataCommandCalls saved = CopyDataCalls();
    CopyDataCalls() = {RecordEditor, RecordOpen};
    for (const Case& c : cases) {
        SCOPED_TRACE(c.text);
        g_opened.clear();
        g_editor_calls = 0;
        EXPECT_EQ(1, SendText(nullptr, c.text));
        EXPECT_EQ(c.editor, g_editor_calls);
        if (c.opened) {
            ASSERT_EQ(1u, g_opened.size());
            EXPECT_EQ(c.opened, g_opened[0]);
        } else {
            EXPECT_TRUE(g_opened.empty());
        }
    }
    // Text without its terminator is cut at cbData; no data at all is refused.
    g_opened.clear();
    const char unterminated[] = {'a', '.', 't', 's', 'b', 'a', 'r', 'X', 'Y'};
    COPYDATASTRUCT cds = {0, 7, const_cast<char*>(unterminated)};
    EXPECT_EQ(1, SendMessageA(ProgramMainWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&cds)));
    ASSERT_EQ(1u, g_opened.size());
    EXPECT_EQ("a.tsbar", g_opened[0]);
    COPYDATASTRUCT empty = {0, 10, nullptr};
    EXPECT_EQ(0, SendMessageA(ProgramMainWindow(), WM_COPYDATA, 0, reinterpret_cast<LPARAM>(&empty)));
    EXPECT_EQ(0, SendMessageA(ProgramMainWindow(), WM_COPYDATA, 0, 0));
    CopyDataCalls() = saved;
}

TEST(CopyData, EditorCommandFramingDecidesWhatTheChangeListRecords) {
    struct Case {
        const char* text;
        const char* key;      // the key of section "Frame" to look up afterwards
        const char* value;    // the recorded value; null: nothing recorded
    };
    const std::string long_field(kEditorFieldSize, 'k');
    const std::string over_long = "<WriteKey><Frame><" + long_field + ">v";
    const std::string long_value = "<WriteKey><Frame><LongValue>" + std::string(5000, 'v');
    const Case cases[] = {
        {"<WriteKey><Frame><Empty>", "Empty", ""},
        {"<WriteKey><Frame><Brackets>x>y", "Brackets", "x>y"},
        {"<WriteKey><Frame><Angles><a><b>", "Angles", "<a><b>"},
        {"<writekey><Frame><Lower>1", "Lower", "1"},
        {long_value.c_str(), "LongValue", long_value.c_str() + 28},
        {"<WriteKey><Frame>", "Missing", nullptr},
        {"<WriteKey><Frame><Missing", "Missing", nullptr},
        {"<WriteKey", "Missing", nullptr},
        {"<WriteKey>between<Frame><Missing>v", "Missing", nullptr},
        {"<WriteKeys><Frame><Missing>v", "Missing", nullptr},
        {"<><Frame><Missing>v", "Missing", nullptr},
        {over_long.c_str(), long_field.c_str(), nullptr},
    };
    SkinnedTheme theme("PkgFraming");
    ASSERT_TRUE(theme.Loaded());
    const std::string skin = theme.SkinPath();
    ASSERT_FALSE(skin.empty());
    std::vector<std::string> inbox;
    g_editor_inbox = &inbox;
    HWND editor = CreatePlainWindow("TessPackagesRecordingEditor", RecordingEditorProc, "Recording editor");
    ASSERT_NE(nullptr, editor);

    SendText(editor, "<SkinOpened><" + skin + ">");
    ASSERT_EQ((std::vector<std::string>{"<RegisterMessageTarget>"}), inbox);
    CIniChangeList* list = BoundChangeList(editor);
    ASSERT_NE(nullptr, list);
    EXPECT_EQ(reinterpret_cast<HANDLE>(list), GetPropA(editor, kChangedListProperty));
    for (const Case& c : cases) {
        SCOPED_TRACE(std::string(c.text).substr(0, 60));
        SendText(editor, c.text);
        int pending = 0;
        const char* got = list->Lookup("Frame", c.key, nullptr, &pending);
        if (c.value) {
            ASSERT_NE(nullptr, got);
            EXPECT_STREQ(c.value, got);
        } else {
            EXPECT_EQ(nullptr, got);
        }
    }
    // DeleteKey resets a key to the reader's default; DeleteSection a whole section.
    SendText(editor, "<DeleteKey><Frame><Brackets>");
    int pending = 0;
    EXPECT_STREQ("dflt", list->Lookup("Frame", "Brackets", "dflt", &pending));
    SendText(editor, "<DeleteSection><Frame>");
    EXPECT_STREQ("dflt", list->Lookup("Frame", "Lower", "dflt", &pending));
    // Editor commands need a sending window.
    SendText(nullptr, "<WriteKey><Frame><NoSender>1");
    EXPECT_EQ(nullptr, list->Lookup("Frame", "NoSender", nullptr, &pending));
    // Nothing else was sent to the editor.
    EXPECT_EQ(1u, inbox.size());

    SendText(editor, "<SkinClosed><" + skin + ">");
    EXPECT_EQ(nullptr, BoundChangeList(editor));
    g_editor_inbox = nullptr;
    DestroyWindow(editor);
}
