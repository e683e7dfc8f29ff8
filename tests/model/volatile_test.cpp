// Volatile bars: on "VolitleClose" a free volatile bar closes, a popup bar
// hides (100 ms later when it holds a system tray), and nothing happens
// while the user works in the bar's own popups or its configuration.
#include "model/bar_host.h"
#include "model/bar_messages.h"
#include "model/live_objects.h"
#include "model_fixture.h"
#include "tests/support/test_support.h"
#include "util/general_helpers.h"

using namespace model_test;
using testing_support::PumpFor;
using testing_support::PumpUntil;

namespace {

class VolatileTest : public BarTest {
protected:
    void TearDown() override {
        if (front_) DestroyWindow(front_);
        BarTest::TearDown();
    }

    // A visible window of this process in the foreground; optionally marked.
    bool PutInFront(const char* property) {
        front_ = CreateWindowExA(0, "STATIC", "front", WS_POPUP | WS_VISIBLE, 300, 300, 50, 50,
                                 nullptr, nullptr, nullptr, nullptr);
        if (property) SetPropA(front_, property, reinterpret_cast<HANDLE>(1));
        SetForegroundWindow(front_);
        return PumpUntil([this] { return GetForegroundWindow() == front_; }, 1000);
    }

    bool ShowBar(CVellumMenuObject* bar) {
        bar->Show(1);
        return PumpUntil([bar] { return IsWindowVisible(bar->m_hWnd) != 0; }, 1000);
    }

    void SendVolatileClose(CVellumMenuObject* bar) {
        SendMessageA(bar->m_hWnd, GetBarMessages().VolatileClose, 0, 0);
    }

    // A popup item in `owner` that has opened `child` as its child bar.
    CVellumMenuItem* OpenAsChild(CVellumMenuObject* owner, CVellumMenuObject* child) {
        auto* section = new RecordingSection(owner);
        owner->InsertSection(-1, section);
        auto* item = new CVellumMenuItem(owner, section, const_cast<char*>("popup"));
        section->InsertItem(-1, item);
        child->m_owningPopupItem = item;
        return item;
    }

    HWND front_ = nullptr;
};

}  // namespace

TEST_F(VolatileTest, FreeVolatileBarClosesForGood) {
    CVellumMenuObject* bar = NewRecordingBar();
    bar->m_volatile = TRUE;
    ASSERT_TRUE(ShowBar(bar));
    ASSERT_TRUE(PutInFront(nullptr));
    HWND wnd = bar->m_hWnd;
    MainWindowMessages().clear();

    SendVolatileClose(bar);
    EXPECT_FALSE(IsLiveBar(bar));
    EXPECT_FALSE(IsWindow(wnd));
    PumpFor(30);
    // The main window hears of it, and is asked to pass the close on again.
    EXPECT_EQ(1u, CountMainMessages(GetBarMessages().VolatileClose, 0));
    EXPECT_EQ(1u, CountMainMessages(GetBarMessages().MenuObjectClosed,
                                    reinterpret_cast<WPARAM>(bar)));
}

TEST_F(VolatileTest, PopupBarHidesAtOnceAndTrayBarLater) {
    RecordingSection* owner_section = nullptr;
    CVellumMenuObject* owner = NewRecordingBar(&owner_section);
    auto* popup_item = new CVellumMenuItem(owner, owner_section, const_cast<char*>("popup"));
    owner_section->InsertItem(-1, popup_item);

    CVellumMenuObject* plain = NewRecordingBar();
    CVellumMenuObject* tray = NewRecordingBar(nullptr, "System Tray");
    for (CVellumMenuObject* bar : {plain, tray}) {
        bar->m_volatile = TRUE;
        bar->m_associatedPopupItem = popup_item;
        ASSERT_TRUE(ShowBar(bar));
    }
    ASSERT_TRUE(PutInFront(nullptr));

    SendVolatileClose(plain);
    SendVolatileClose(tray);
    EXPECT_TRUE(PumpUntil([plain] { return !IsWindowVisible(plain->m_hWnd); }, 1000));
    // The tray bar waits so that a click on a tray icon reaches its owner.
    EXPECT_TRUE(IsWindowVisible(tray->m_hWnd));
    EXPECT_TRUE(PumpUntil([tray] { return !IsWindowVisible(tray->m_hWnd); }, 1000));
    EXPECT_TRUE(IsLiveBar(plain));
    EXPECT_TRUE(IsLiveBar(tray));
    plain->m_associatedPopupItem = nullptr;
    tray->m_associatedPopupItem = nullptr;
}

TEST_F(VolatileTest, BarHiddenUntilHotkeyOnlyHides) {
    CVellumMenuObject* bar = NewRecordingBar();
    bar->m_volatile = TRUE;
    bar->m_hiddenUntilHotkey = TRUE;
    ASSERT_TRUE(ShowBar(bar));
    ASSERT_TRUE(PutInFront(nullptr));
    SendVolatileClose(bar);
    EXPECT_TRUE(PumpUntil([bar] { return !IsWindowVisible(bar->m_hWnd); }, 1000));
    EXPECT_TRUE(IsLiveBar(bar));
}

TEST_F(VolatileTest, StaysWhileTheUserWorksInItsPopupsOrConfiguration) {
    const struct { const char* property; } marks[] = {{"TSConfigDialog"},
                                                      {"TS-NOCLOSEVOLITLESTEMPLY"}};
    for (const auto& mark : marks) {
        CVellumMenuObject* bar = NewRecordingBar();
        bar->m_volatile = TRUE;
        ASSERT_TRUE(ShowBar(bar));
        ASSERT_TRUE(PutInFront(mark.property)) << mark.property;
        SendVolatileClose(bar);
        PumpFor(30);
        EXPECT_TRUE(IsLiveBar(bar)) << mark.property;
        DestroyWindow(front_);
        front_ = nullptr;
    }

    // A popup two levels down is in front: the top bar stays.
    CVellumMenuObject* top = NewRecordingBar();
    CVellumMenuObject* middle = NewRecordingBar();
    CVellumMenuObject* bottom = NewRecordingBar();
    top->m_volatile = TRUE;
    OpenAsChild(top, middle);
    OpenAsChild(middle, bottom);
    ASSERT_TRUE(ShowBar(top));
    ASSERT_TRUE(ShowBar(bottom));
    SetForegroundWindow(bottom->m_hWnd);
    ASSERT_TRUE(PumpUntil([bottom] { return GetForegroundWindow() == bottom->m_hWnd; }, 1000));
    SendVolatileClose(top);
    PumpFor(30);
    EXPECT_TRUE(IsLiveBar(top));
    EXPECT_TRUE(IsWindowVisible(top->m_hWnd));
    middle->m_owningPopupItem = nullptr;
    bottom->m_owningPopupItem = nullptr;
}

TEST_F(VolatileTest, NothingHappensWhileAFileDialogIsOpenOrTheBarIsNotVolatile) {
    CVellumMenuObject* bar = NewRecordingBar();
    ASSERT_TRUE(ShowBar(bar));
    ASSERT_TRUE(PutInFront(nullptr));
    SendVolatileClose(bar);   // not volatile
    PumpFor(30);
    EXPECT_TRUE(IsLiveBar(bar));

    bar->m_volatile = TRUE;
    SetFileDialogOpen(true);
    SendVolatileClose(bar);
    PumpFor(30);
    EXPECT_TRUE(IsLiveBar(bar));

    SetFileDialogOpen(false);
    static bool editor_disabled = true;
    GetBarHostServices().IsThemeEditorDisabled = [] { return editor_disabled; };
    SendVolatileClose(bar);
    PumpFor(30);
    EXPECT_TRUE(IsLiveBar(bar));
}

TEST_F(VolatileTest, DeactivationPostsVolatileCloseToMainAndLayerCheckToItself) {
    CVellumMenuObject* bar = NewRecordingBar();
    static int layer_checks = 0;
    layer_checks = 0;
    GetBarHostServices().HideVolatileLayers = [](int send) {
        if (send) ++layer_checks;
        return 1;
    };
    SendMessageA(bar->m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
    PumpFor(50);
    EXPECT_EQ(1u, CountMainMessages(GetBarMessages().VolatileClose, 0));
    EXPECT_EQ(1, layer_checks);

    // While a file dialog is up a deactivation means nothing.
    MainWindowMessages().clear();
    SetFileDialogOpen(true);
    SendMessageA(bar->m_hWnd, WM_ACTIVATE, WA_INACTIVE, 0);
    PumpFor(50);
    EXPECT_EQ(0u, CountMainMessages(GetBarMessages().VolatileClose, 0));
}
