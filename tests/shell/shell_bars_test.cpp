// What the main window does with the bars, sections and items that messages
// name: live objects are removed or ranked, anything else is left alone.
#include <gtest/gtest.h>

#include "model/bar_window.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/app_state.h"
#include "shell/main_window_internal.h"
#include "util/bar_registry.h"
#include "tests/support/stand_in_main_window.h"
#include "tests/support/test_support.h"

using namespace testing_support;

namespace {

HWND StandInMain() {
    static HWND wnd = CreateStandInMainWindow("Shell Bars Test Main");
    return wnd;
}

class MainWindowBars : public ::testing::Test {
protected:
    CVellumMenuObject* NewBar() {
        auto* bar = new CVellumMenuObject(StandInMain());
        bars_.push_back(bar);
        return bar;
    }
    void TearDown() override {
        // These bars have no file: a modified one would ask for a name.
        for (CVellumMenuObject* bar : bars_) CloseTestBar(bar, true);
    }
    std::vector<CVellumMenuObject*> bars_;
};

}  // namespace

TEST_F(MainWindowBars, RemoveItemDelayRemovesOnlyALiveItem) {
    CVellumMenuObject* bar = NewBar();
    auto* section = new CVellumMenuSection(bar, 1, 0);
    bar->InsertSection(-1, section);
    auto* keep = new CVellumMenuItem(bar, section, const_cast<char*>("keep"));
    auto* drop = new CVellumMenuItem(bar, section, const_cast<char*>("drop"));
    section->InsertItem(-1, keep);
    section->InsertItem(-1, drop);
    int local = 0;
    for (WPARAM bogus : {WPARAM(0), WPARAM(1), WPARAM(0xDEADBEEF), reinterpret_cast<WPARAM>(&local),
                         reinterpret_cast<WPARAM>(section), reinterpret_cast<WPARAM>(bar)}) {
        RemoveItemFromMessage(bogus);
        EXPECT_EQ(2, section->GetNumOfItems()) << bogus;
    }
    bar->m_modified = FALSE;
    RemoveItemFromMessage(reinterpret_cast<WPARAM>(drop));
    EXPECT_EQ(1, section->GetNumOfItems());
    EXPECT_FALSE(IsLiveItem(drop));
    EXPECT_TRUE(IsLiveItem(keep));
    EXPECT_TRUE(bar->m_modified);
    // The same pointer a second time names nothing any more.
    RemoveItemFromMessage(reinterpret_cast<WPARAM>(drop));
    EXPECT_EQ(1, section->GetNumOfItems());
}

TEST_F(MainWindowBars, RemoveSectionDelayRemovesOnlyALiveSection) {
    CVellumMenuObject* bar = NewBar();
    auto* first = new CVellumMenuSection(bar, 1, 0);
    auto* second = new CVellumMenuSection(bar, 2, 0);
    bar->InsertSection(-1, first);
    bar->InsertSection(-1, second);
    auto* item = new CVellumMenuItem(bar, first, const_cast<char*>("item"));
    first->InsertItem(-1, item);
    for (WPARAM bogus : {WPARAM(0), WPARAM(0x00400000), reinterpret_cast<WPARAM>(item),
                         reinterpret_cast<WPARAM>(bar)}) {
        RemoveSectionFromMessage(bogus);
        EXPECT_EQ(2, bar->GetSectionCount()) << bogus;
    }
    RemoveSectionFromMessage(reinterpret_cast<WPARAM>(first));
    EXPECT_EQ(1, bar->GetSectionCount());
    EXPECT_FALSE(IsLiveSection(first));
    EXPECT_FALSE(IsLiveItem(item));
    EXPECT_TRUE(IsLiveSection(second));
}

TEST_F(MainWindowBars, SwapItemsNeedsALiveOldItemAndAnOwnedNewOne) {
    CVellumMenuObject* bar = NewBar();
    auto* section = new CVellumMenuSection(bar, 1, 0);
    bar->InsertSection(-1, section);
    auto* old_item = new CVellumMenuItem(bar, section, const_cast<char*>("old"));
    section->InsertItem(-1, old_item);
    auto* new_item = new CVellumMenuItem(bar, nullptr, const_cast<char*>("new"));
    // Not handed over as the program's own record: refused.
    EXPECT_EQ(0, SwapItemsFromMessage(reinterpret_cast<WPARAM>(old_item), reinterpret_cast<LPARAM>(new_item)));
    EXPECT_EQ(0, SwapItemsFromMessage(0xDEADBEEF, reinterpret_cast<LPARAM>(new_item)));
    EXPECT_TRUE(IsLiveItem(old_item));
    RegisterOwnedRecord(new_item);
    EXPECT_EQ(1, SwapItemsFromMessage(reinterpret_cast<WPARAM>(old_item), reinterpret_cast<LPARAM>(new_item)));
    EXPECT_FALSE(IsLiveItem(old_item));
    EXPECT_TRUE(IsLiveItem(new_item));
    EXPECT_EQ(0, section->FindItem(new_item));
    EXPECT_EQ(section, new_item->m_pSection);
    EXPECT_FALSE(IsOwnedRecord(new_item));
}

TEST_F(MainWindowBars, AfterWindowIsTheNearestLowerOnTopLayer) {
    struct BarSetup {
        int order;
        bool on_top, visible;
    };
    const BarSetup setups[] = {{2, true, true}, {5, true, true}, {3, true, false}, {4, false, true}, {0, true, true}};
    std::vector<CVellumMenuObject*> bars;
    for (const BarSetup& s : setups) {
        CVellumMenuObject* bar = NewBar();
        ASSERT_NE(nullptr, bar->m_hWnd);
        bar->AlwaysOnTop = s.on_top;
        bar->AlwaysOnTopOrder = s.order;
        if (s.visible) ShowWindow(bar->m_hWnd, SW_SHOWNOACTIVATE);
        SetWindowPos(bar->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
        bars.push_back(bar);
    }
    // Z order now, from the top: order 0, 4 (not on top), 3 (hidden), 5, 2.
    HWND asking_low = bars[0]->m_hWnd;   // order 2 at the bottom: nothing lower exists
    EXPECT_EQ(0, FindWindowAfterOnTop(asking_low, 2));
    // Order 6 asks: the highest lower order is 5, which lies above the asker
    // only when the asker is below it.
    CVellumMenuObject* asker = NewBar();
    asker->AlwaysOnTop = TRUE;
    asker->AlwaysOnTopOrder = 6;
    ShowWindow(asker->m_hWnd, SW_SHOWNOACTIVATE);
    SetWindowPos(asker->m_hWnd, HWND_TOP, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(reinterpret_cast<LRESULT>(bars[1]->m_hWnd), FindWindowAfterOnTop(asker->m_hWnd, 6));
    SetWindowPos(asker->m_hWnd, HWND_BOTTOM, 0, 0, 0, 0, SWP_NOMOVE | SWP_NOSIZE | SWP_NOACTIVATE);
    EXPECT_EQ(0, FindWindowAfterOnTop(asker->m_hWnd, 6)) << "already below the best window";
}

TEST_F(MainWindowBars, BarTitleIsTakenOnlyByAUserBar) {
    CVellumMenuObject* mail = NewBar();
    mail->SetTitle(const_cast<char*>("Mail Bar"));
    ASSERT_NE(nullptr, mail->m_hWnd);
    auto taken = [](const char* title) {
        return EnumBarWindows(IsBarTitleFreeProc, reinterpret_cast<LPARAM>(title)) == 0;
    };
    EXPECT_TRUE(taken("Mail Bar"));
    EXPECT_TRUE(taken("MAIL bar"));
    EXPECT_FALSE(taken("Mail"));
    EXPECT_FALSE(taken(nullptr));
    // An internal bar's title does not count.
    mail->m_internalBar = TRUE;
    EXPECT_FALSE(taken("Mail Bar"));
    mail->m_internalBar = FALSE;
}

TEST_F(MainWindowBars, ConfigurePluginAnswersOnlyForALiveItem) {
    CVellumMenuObject* bar = NewBar();
    auto* section = new CVellumMenuSection(bar, 1, 0);
    bar->InsertSection(-1, section);
    auto* item = new CVellumMenuItem(bar, section, const_cast<char*>("plug-in"));
    section->InsertItem(-1, item);
    EXPECT_EQ(0, ConfigurePluginFromMessage(0));
    EXPECT_EQ(0, ConfigurePluginFromMessage(0xDEADBEEF));
    EXPECT_EQ(0, ConfigurePluginFromMessage(reinterpret_cast<WPARAM>(bar)));
    bar->m_modifiedSilently = FALSE;
    EXPECT_EQ(1, ConfigurePluginFromMessage(reinterpret_cast<WPARAM>(item)));
    EXPECT_TRUE(bar->m_modifiedSilently);
}
