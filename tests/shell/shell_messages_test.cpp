// The main window's table of registered messages: which it ends itself,
// which it answers, and which go on to every bar.
#include <gtest/gtest.h>

#include "model/live_objects.h"

#include "shell/global_settings.h"
#include "shell/main_window_internal.h"
#include "shell/registered_messages.h"

namespace {

struct OutcomeCase {
    const char* name;
    MessageOutcome outcome;
};

const char* OutcomeName(MessageOutcome o) {
    switch (o) {
    case MessageOutcome::Relay: return "relay";
    case MessageOutcome::Return: return "return";
    case MessageOutcome::End: return "end";
    }
    return "?";
}

}  // namespace

TEST(MainWindowMessages, EachRegisteredMessageEndsReturnsOrIsRelayed) {
    const OutcomeCase cases[] = {
        {"Update Hidden Taskbar Special Delay", MessageOutcome::Relay},
        {"WM_UPDATELVSKINRUNNING", MessageOutcome::Relay},
        {"ShouldEnableMousehook", MessageOutcome::Relay},   // no "TS-DeskRClk" atom
        {"TSConfigure Plugin", MessageOutcome::Return},
        {"CMenuItem - ActivateTaskbar", MessageOutcome::Relay},
        {"GUI_SelectItem Delay", MessageOutcome::End},
        {"TS - WM_REMOVE_TEMP_NOCLOSEVOLITLE", MessageOutcome::End},
        {"HideTaskbarInternal", MessageOutcome::End},
        {"CMenuObject New Popup!", MessageOutcome::Relay},
        {"CMenuObject ThemeLoaded", MessageOutcome::Relay},
        {"CMenuObject Created", MessageOutcome::Relay},
        {"SwapItems (Behavior)", MessageOutcome::End},   // null items
        {"Remove Item Delay", MessageOutcome::End},
        {"Remove Section Delay", MessageOutcome::End},
        {"CMenuObject Showing", MessageOutcome::Relay},
        {"CMenuObject Hiding", MessageOutcome::Relay},
        {"Get After Window - Always On Top", MessageOutcome::Return},
        {"CMenuObject Closing", MessageOutcome::End},
        {"CMenuObject Closed", MessageOutcome::End},
        {"WM_FOLDERMENUEXEPIDL", MessageOutcome::Return},
        {"v1.3 Test", MessageOutcome::Return},
        {"WM_INVOKESHORTCUTCOMMAND", MessageOutcome::Return},
        {"ShowTrayIcon", MessageOutcome::Relay},
        {"UpdateHiddenLayers", MessageOutcome::Relay},
        {"TaskbarCreated", MessageOutcome::Relay},
        {"HideMenus - IsWndAllowed", MessageOutcome::Return},
        {"VolitleClose", MessageOutcome::Relay},
        {"VolitleLayerCheck", MessageOutcome::Relay},
        {"VT_THEMESTATUS", MessageOutcome::Relay},
        {"Some Plug-in's Own Message", MessageOutcome::Relay},
    };
    while (ATOM a = GlobalFindAtomA("TS-DeskRClk")) GlobalDeleteAtom(a);
    HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    for (const OutcomeCase& c : cases) {
        UINT msg = RegisterWindowMessageA(c.name);
        LRESULT result = -7;
        MessageOutcome got = HandleRegisteredMessage(wnd, msg, 0, 0, &result);
        EXPECT_STREQ(OutcomeName(c.outcome), OutcomeName(got)) << c.name;
    }
    // The hook library's window events are relayed too.
    for (UINT msg : {10876u, 10877u, 10878u}) {
        LRESULT result = 0;
        EXPECT_EQ(MessageOutcome::Relay, HandleRegisteredMessage(wnd, msg, 0, 0, &result)) << msg;
    }
    DestroyWindow(wnd);
}

TEST(MainWindowMessages, AnswersOfTheMessagesThatReturn) {
    HWND wnd = CreateWindowExA(0, "STATIC", "", WS_POPUP, 0, 0, 5, 5, nullptr, nullptr,
                               GetModuleHandleA(nullptr), nullptr);
    LRESULT result = 0;
    UINT probe = RegisterWindowMessageA("v1.3 Test");
    HandleRegisteredMessage(wnd, probe, 0, 0, &result);
    EXPECT_EQ(static_cast<LRESULT>(probe) + 1, result);
    HandleRegisteredMessage(wnd, RegisterWindowMessageA("HideMenus - IsWndAllowed"),
                            reinterpret_cast<WPARAM>(wnd), 0, &result);
    EXPECT_EQ(1, result);
    HandleRegisteredMessage(wnd, RegisterWindowMessageA("WM_INVOKESHORTCUTCOMMAND"), 0xDEADBEEF, 1, &result);
    EXPECT_EQ(0, result) << "an object the program never handed out";

    // "ShouldEnableMousehook" while the desktop right-click atom exists:
    // a same-thread send gets its registered int set, the answer is 1 and no
    // bar asked; an int the live-object check does not know stays as it is.
    ATOM atom = GlobalAddAtomA("TS-DeskRClk");
    int answer = 0;
    UINT mousehook = RegisterWindowMessageA("ShouldEnableMousehook");
    EXPECT_EQ(MessageOutcome::Return,
              HandleRegisteredMessage(wnd, mousehook, reinterpret_cast<WPARAM>(&answer), 0, &result));
    EXPECT_EQ(1, result);
    EXPECT_EQ(0, answer);
    RegisterOwnedRecord(&answer);
    EXPECT_EQ(MessageOutcome::Return,
              HandleRegisteredMessage(wnd, mousehook, reinterpret_cast<WPARAM>(&answer), 0, &result));
    UnregisterOwnedRecord(&answer);
    EXPECT_EQ(1, result);
    EXPECT_EQ(1, answer);
    // A pointer that is not writable memory is not written through.
    EXPECT_EQ(MessageOutcome::Return, HandleRegisteredMessage(wnd, mousehook, 0x00400000, 0, &result));
    GlobalDeleteAtom(atom);
    DestroyWindow(wnd);
}
