// Fills the table through which bars reach the shell's state.
#include "model/bar_host.h"
#include "shell/app_state.h"
#include "shell/global_settings.h"
#include "shell/bar_pages.h"
#include "shell/helper_lines.h"
#include "shell/section_pages.h"
#include "shell/theme_editor.h"
#include "shell/desktop_integration.h"
#include "shell/desktop_right_click.h"
#include "shell/skin_lists.h"
#include "shell/startup.h"
#include "shell/stats_monitor.h"
#include "util/text.h"

namespace {

int HideVolatileLayersForBars(int send) { return HideVolatileLayers(send != 0); }
void FoldSmartMenus() { SetSmartMenusExpanded(false); }
bool IsDoubleClickingDisabled() { return GetDisableDoubleClicking() != 0; }
void ExpandUserNameInPlace(char* text, size_t size) { ExpandUserNameInPath(text, text, size); }
bool IsTearOffEnabled() { return GetUseTearoff() != 0; }
void ForgetJustOpenedPopup() { SetJustOpenedPopup(nullptr); }
bool IsLayerVolatileForBars(int layer) { return IsLayerVolatile(layer) != 0; }
bool IsAutoSaveBarsOn() { return GetAutoSaveBars() != 0; }
bool AreAnimationsOff() { return GetDisableAnimations() != 0; }
bool IsBehaviorWarningHidden() { return GetHideBehaviorWarning() != 0; }
void UpdateStatsMouseHook() {
    if (CStatsMonitor* monitor = GetStatsMonitor()) monitor->UpdateMouseHook();
}
// A monitor's title may be cut at the buffer's end, never left unterminated.
bool CopyActiveWindowTitle(char* buffer, size_t size) {
    if (!buffer || !size) return false;
    buffer[0] = '\0';
    const CStatsMonitor* monitor = GetStatsMonitor();
    if (!monitor || !monitor->m_title[0]) return false;
    tess::CopyTextN(buffer, size, monitor->m_title, kStatsTitleSize);
    return true;
}

// A bar that reappears under the pointer goes there the way the desktop
// right-click menu opens.
void ReshowBarUnderPointer(CVellumMenuObject* bar) { ShowDesktopRightClickMenuAt(bar, nullptr); }

void RetitleBarInThemeEditor(CVellumMenuObject* bar, const char* title) { SetEditorNodeTitle(bar, title); }

}  // namespace

void InstallBarHostServices() {
    BarHostServices& host = GetBarHostServices();
    host.SetProgramIcons = SetProgramIcons;
    host.IsThemeLoading = IsThemeLoading;
    host.IsClosingBars = IsClosingBars;
    host.IsThemeEditorDisabled = IsThemeEditorDisabled;
    host.IsFullScreenAppActive = IsFullScreenAppActive;
    host.GetJustOpenedPopup = GetJustOpenedPopup;
    host.HideVolatileLayers = HideVolatileLayersForBars;
    host.FoldSmartMenus = FoldSmartMenus;
    host.IsLayerHidden = IsLayerHidden;
    host.IsDoubleClickingDisabled = IsDoubleClickingDisabled;
    host.AllocHotkeyId = AllocHotkeyId;
    host.ExpandUserNameInPath = ExpandUserNameInPlace;
    host.IsSynchronousCall = IsSynchronousCallFromThisThread;
    host.IsTearOffEnabled = IsTearOffEnabled;
    host.ForgetJustOpenedPopup = ForgetJustOpenedPopup;
    host.IsLayerVolatile = IsLayerVolatileForBars;
    host.IsAutoSaveBars = IsAutoSaveBarsOn;
    host.GetThemeBarsFolder = GetThemeBarsFolder;
    host.IsSavingTheme = IsSavingTheme;
    host.ImportSkinFile = ImportSkinFileForBars;
    host.AreAnimationsDisabled = AreAnimationsOff;
    host.GetActiveWindowTitle = CopyActiveWindowTitle;
    host.UpdateMouseHook = UpdateStatsMouseHook;
    host.PostHiddenTaskbarUpdate = PostHiddenTaskbarUpdate;
    host.ReshowBarUnderPointer = ReshowBarUnderPointer;
    host.IsBehaviorWarningHidden = IsBehaviorWarningHidden;
    host.DrawHelperLines = DrawHelperLinesOnBar;
    host.TellHelperLines = HelperLinesOnBarWindowChange;
    host.OpenBarPage = OpenBarPage;
    host.RetitleBarInThemeEditor = RetitleBarInThemeEditor;
    host.ExchangeBarSizeRules = ExchangeBarSizeRules;
    host.OpenSectionPage = OpenSectionPage;
    // The hidden taskbar's refresh comes with the theme's desktop
    // integration; its entry stays empty until then.
}
