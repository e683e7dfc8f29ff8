// The registered names: every name of the one table registers to a number of
// its own, and each of the bar module's fields holds the number of its name.
#include <gtest/gtest.h>
#include <windows.h>

#include <map>
#include <string>

#include "model/bar_messages.h"
#include "model/registered_names.h"

namespace {

TEST(RegisteredNames, EveryNameIsSpelledAndRegistersToANumberOfItsOwn) {
    // Registration ignores case: two names that differ only there would
    // share a number, so distinct numbers are the check.
    std::map<UINT, std::string> seen;
    for (int i = 0; i < kRegisteredNameCount; ++i) {
        const char* text = RegisteredNameText(static_cast<RegisteredName>(i));
        ASSERT_NE('\0', text[0]) << "id " << i;
        const UINT number = RegisterWindowMessageA(text);
        ASSERT_NE(0u, number) << text;
        EXPECT_TRUE(seen.emplace(number, text).second)
            << text << " registers to the number of " << seen[number];
    }
    EXPECT_STREQ("", RegisteredNameText(RegisteredName::Count));
    EXPECT_STREQ("", RegisteredNameText(static_cast<RegisteredName>(-1)));
}

struct BarField {
    UINT BarMessages::*field;
    const char* name;
};

// The names plug-ins and other programs send: spelled here as they do.
const BarField kBarFields[] = {
    {&BarMessages::FormattedFromPlugin, "FormatedMsg From Plugin"},
    {&BarMessages::MyMouseLeave, "MyMouseLeave"},
    {&BarMessages::SpeedUpdate, "SpeedUpdate!"},
    {&BarMessages::SpeedUpdateSection, "SpeedUpdate Section!"},
    {&BarMessages::LButtonUpBad, "WM_LBUTTONUP_BAD (invalid)"},
    {&BarMessages::MyShowWindow, "MyShowWindow"},
    {&BarMessages::MyShowWindow2, "MyShowWindow2"},
    {&BarMessages::MenuObjectCreated, "CMenuObject Created"},
    {&BarMessages::MenuObjectThemeLoaded, "CMenuObject ThemeLoaded"},
    {&BarMessages::MenuObjectClosing, "CMenuObject Closing"},
    {&BarMessages::MenuObjectClosed, "CMenuObject Closed"},
    {&BarMessages::MenuObjectShowing, "CMenuObject Showing"},
    {&BarMessages::MenuObjectHiding, "CMenuObject Hiding"},
    {&BarMessages::AssociatedPopupShowing, "Associated Popup Showing"},
    {&BarMessages::VolatileClose, "VolitleClose"},
    {&BarMessages::VolatileLayerCheck, "VolitleLayerCheck"},
    {&BarMessages::UpdateHiddenLayers, "UpdateHiddenLayers"},
    {&BarMessages::GetAfterWindow, "Get After Window - Always On Top"},
    {&BarMessages::QueryIsDocked, "TSQuery - IsDocked"},
    {&BarMessages::StartTrackingNewItemDelay, "CVellumMenuObject: StartTrackingNewItemDelay"},
    {&BarMessages::PopupItemClosing, "CMenuItem w/ Popup Closing"},
    {&BarMessages::SkinChanging, "This CMenuObject Skin Changing"},
    {&BarMessages::ThemeClosingCheckModified, "Theme is closing... check for modified!"},
    {&BarMessages::BarClosingFreeChildren, "Bar closing... Free child windows!"},
    {&BarMessages::BarNameChanging, "Bar name is changing! Update popups!"},
    {&BarMessages::ThemeLoadingDone, "TS Theme Loading Done"},
    {&BarMessages::ShouldEnableMousehook, "ShouldEnableMousehook"},
    {&BarMessages::HideBarExternal, "TSHideBar_External"},
    {&BarMessages::ReloadSkin, "WM_TSRELOADSKIN"},
    {&BarMessages::DoAutohide, "WM_DOAUTOHIDE"},
    {&BarMessages::AutoHideShowLeft, "TSAutoHide - ShowLeft"},
    {&BarMessages::AutoHideShowTop, "TSAutoHide - ShowTop"},
    {&BarMessages::AutoHideShowRight, "TSAutoHide - ShowRight"},
    {&BarMessages::AutoHideShowBottom, "TSAutoHide - ShowBottom"},
    {&BarMessages::OnTopAppShownOrHidden, "MyOnTopApp ShownOrHidden"},
    {&BarMessages::StatsUpdated, "Stats Updated"},
    {&BarMessages::TaskbarCreated, "TaskbarCreated"},
    {&BarMessages::DesktopRightClick, "TS Desktop Right Click"},
    {&BarMessages::UpdateLvSkinRunning, "WM_UPDATELVSKINRUNNING"},
    {&BarMessages::PluginMarkBarModified, "TessellarPlugin - MarkBarModified"},
    {&BarMessages::PluginSetItemState, "TessellarPlugin - SetItemState"},
    {&BarMessages::PluginRedrawItem, "TessellarPlugin - RedrawItem"},
    {&BarMessages::PluginRefreshItemImages, "TessellarPlugin - RefreshItemIconsBitmaps"},
    {&BarMessages::PluginRecalcAllItems, "TessellarPlugin - RecalcAllItems"},
    {&BarMessages::PluginMakePathRelative, "TessellarPlugin - MakePathRelative"},
    {&BarMessages::PluginMakePathAbsolute, "TessellarPlugin - MakePathAbsolute"},
    {&BarMessages::PluginReserveTimerId, "TessellarPlugin - ReserveCustomTimerID"},
    {&BarMessages::PluginCreateFont, "TessellarPlugin - CreateFont"},};

TEST(RegisteredNames, BarModuleFieldsHoldTheNumbersOfTheirNames) {
    const BarMessages& m = GetBarMessages();
    for (const BarField& f : kBarFields)
        EXPECT_EQ(RegisterWindowMessageA(f.name), m.*(f.field)) << f.name;
    EXPECT_EQ(&m, &GetBarMessages()) << "one table for the whole process";
}

}  // namespace
