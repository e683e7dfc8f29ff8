// The one live-object check: pointers taken from messages are accepted only
// when they name a live bar, section or item of this process, or a record
// the program made.
#include "model/bar_messages.h"
#include "model/command_seam.h"
#include "model/live_objects.h"
#include "model_fixture.h"
#include "tests/support/test_support.h"

using namespace model_test;

namespace {

class LiveObjectsTest : public BarTest {};

}  // namespace

TEST_F(LiveObjectsTest, AcceptsLiveObjectsAndRefusesEverythingElse) {
    RecordingSection* section = nullptr;
    CVellumMenuObject* bar = NewRecordingBar(&section);
    auto* item = new CVellumMenuItem(bar, section, const_cast<char*>("item"));
    section->InsertItem(-1, item);
    CVellumMenuObject* windowless = NewBar(nullptr);

    auto* loose_section = new RecordingSection(bar);        // not in any bar
    auto* loose_item = new CVellumMenuItem(bar, section, const_cast<char*>("loose"));
    char* heap = new char[64]();
    int local = 0;

    const struct {
        const void* p;
        bool bar, section, item;
        const char* what;
    } cases[] = {
        {bar, true, false, false, "live bar"},
        {windowless, true, false, false, "bar without window"},
        {section, false, true, false, "section in a bar"},
        {item, false, false, true, "item in a section"},
        {loose_section, false, false, false, "section in no bar"},
        {loose_item, false, false, false, "item in no section"},
        {nullptr, false, false, false, "null"},
        {reinterpret_cast<void*>(1), false, false, false, "small number"},
        {reinterpret_cast<void*>(0x7FFF1234), false, false, false, "unmapped address"},
        {heap, false, false, false, "other heap memory"},
        {&local, false, false, false, "stack memory"},
    };
    for (const auto& c : cases) {
        EXPECT_EQ(c.bar, IsLiveBar(c.p)) << c.what;
        EXPECT_EQ(c.section, IsLiveSection(c.p)) << c.what;
        EXPECT_EQ(c.item, IsLiveItem(c.p)) << c.what;
        EXPECT_FALSE(IsOwnedRecord(c.p)) << c.what;
    }
    delete loose_section;
    delete loose_item;
    delete[] heap;
}

TEST_F(LiveObjectsTest, FreedObjectsAreRefused) {
    RecordingSection* section = nullptr;
    CVellumMenuObject* bar = NewRecordingBar(&section);
    auto* item = new CVellumMenuItem(bar, section, const_cast<char*>("item"));
    section->InsertItem(-1, item);
    ASSERT_TRUE(IsLiveItem(item));

    section->RemoveItem(item, 1);
    EXPECT_FALSE(IsLiveItem(item));

    CloseBar(bar);
    EXPECT_FALSE(IsLiveBar(bar));
    EXPECT_FALSE(IsLiveSection(section));
}

TEST_F(LiveObjectsTest, ObjectsOfABarBeingDeletedAreRefused) {
    RecordingSection* section = nullptr;
    CVellumMenuObject* bar = NewRecordingBar(&section);
    auto* item = new CVellumMenuItem(bar, section, const_cast<char*>("item"));
    section->InsertItem(-1, item);
    bool bar_seen = true, item_seen = true;
    section->on_message = [&](UINT msg, WPARAM, LPARAM) {
        if (msg == GetBarMessages().BarClosingFreeChildren) {
            bar_seen = IsLiveBar(bar);
            item_seen = IsLiveItem(item);
        }
    };
    CloseBar(bar);
    EXPECT_FALSE(bar_seen);
    EXPECT_FALSE(item_seen);
}

TEST_F(LiveObjectsTest, OwnedRecordsAreKnownUntilUnregistered) {
    int record = 0;
    EXPECT_FALSE(IsOwnedRecord(&record));
    RegisterOwnedRecord(&record);
    EXPECT_TRUE(IsOwnedRecord(&record));
    UnregisterOwnedRecord(&record);
    EXPECT_FALSE(IsOwnedRecord(&record));
    RegisterOwnedRecord(nullptr);
    EXPECT_FALSE(IsOwnedRecord(nullptr));
}

TEST_F(LiveObjectsTest, BogusPropertyOnABarWindowNamesNoBar) {
    CVellumMenuObject* bar = NewBar();
    CVellumMenuObject* other = NewBar();
    // Another bar's object stuck onto this window, then a stray number:
    // neither is taken for this window's bar.
    SetPropA(bar->m_hWnd, "lpMenuObject", other);
    EXPECT_EQ(nullptr, LiveBarOfWindow(bar->m_hWnd));
    SetPropA(bar->m_hWnd, "lpMenuObject", reinterpret_cast<HANDLE>(0x1234));
    EXPECT_EQ(nullptr, LiveBarOfWindow(bar->m_hWnd));
    // Messages still pass to the default handling without a crash.
    SendMessageA(bar->m_hWnd, WM_USER + 5, 0, 0);
    SetPropA(bar->m_hWnd, "lpMenuObject", bar);
    EXPECT_EQ(bar, LiveBarOfWindow(bar->m_hWnd));
}

TEST_F(LiveObjectsTest, PluginItemRequestsCheckTheItemPointer) {
    RecordingSection* section = nullptr;
    CVellumMenuObject* bar = NewRecordingBar(&section);
    auto* item = new CVellumMenuItem(bar, section, const_cast<char*>("item"));
    section->InsertItem(-1, item);
    RecordingSection* other_section = nullptr;
    CVellumMenuObject* other = NewRecordingBar(&other_section);
    auto* other_item = new CVellumMenuItem(other, other_section, const_cast<char*>("other"));
    other_section->InsertItem(-1, other_item);
    const UINT set_state = RegisterWindowMessageA("TessellarPlugin - SetItemState");

    SendMessageA(bar->m_hWnd, set_state, reinterpret_cast<WPARAM>(item), kStateSelected);
    EXPECT_EQ(static_cast<UINT>(kStateSelected), item->m_state);
    // An item of another bar, a freed pointer and a number change nothing.
    SendMessageA(bar->m_hWnd, set_state, reinterpret_cast<WPARAM>(other_item), kStateClicked);
    EXPECT_EQ(static_cast<UINT>(kStateNormal), other_item->m_state);
    PostMessageA(bar->m_hWnd, set_state, 0x2468, kStateClicked);
    testing_support::PumpFor(30);
    EXPECT_EQ(static_cast<UINT>(kStateSelected), item->m_state);
    EXPECT_TRUE(IsLiveBar(bar));
}

TEST_F(LiveObjectsTest, SystemActionsCanBeReplacedAndRestored) {
    static int exits = 0;
    SystemActions saved = GetSystemActions();
    ASSERT_NE(nullptr, saved.ExitWindows);
    ASSERT_NE(nullptr, saved.Suspend);
    ASSERT_NE(nullptr, saved.EmptyRecycleBin);
    ASSERT_NE(nullptr, saved.ShutdownDialog);
    GetSystemActions().ExitWindows = [](UINT, DWORD) -> BOOL { ++exits; return TRUE; };
    EXPECT_TRUE(GetSystemActions().ExitWindows(EWX_LOGOFF, 0));
    EXPECT_EQ(1, exits);
    ResetSystemActions();
    EXPECT_EQ(saved.ExitWindows, GetSystemActions().ExitWindows);
}
