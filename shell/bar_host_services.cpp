// Fills the table through which bars reach the shell's state.
#include "model/bar_host.h"
#include "shell/app_state.h"
#include "shell/global_settings.h"
#include "shell/later_stubs.h"
#include "shell/startup.h"

namespace {

int HideVolatileLayersForBars(int send) { return HideVolatileLayers(send != 0); }
void FoldSmartMenus() { SetSmartMenusExpanded(false); }
bool IsDoubleClickingDisabled() { return GetDisableDoubleClicking() != 0; }
void ExpandUserNameInPlace(char* text, size_t size) { ExpandUserNameInPath(text, text, size); }
bool IsTearOffEnabled() { return GetUseTearoff() != 0; }
void ForgetJustOpenedPopup() { SetJustOpenedPopup(nullptr); }
bool IsLayerVolatileForBars(int layer) { return IsLayerVolatile(layer) != 0; }
bool IsAutoSaveBarsOn() { return GetAutoSaveBars() != 0; }

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
    // The hidden taskbar's refresh comes with the theme's desktop
    // integration; its entry stays empty until then.
}
