// Pieces of the main window shared by its source files.
#pragma once
#include <windows.h>
#include <string>

// What becomes of a message from WM_USER upwards after the main window's
// own handling: relayed to the bars, returned with *result, or ended
// (DefWindowProc without relay).
enum class MessageOutcome { Relay, Return, End };
MessageOutcome HandleRegisteredMessage(HWND wnd, UINT msg, WPARAM wp, LPARAM lp, LRESULT* result);
// Every message from WM_USER upwards that reaches the end of the procedure:
// the stats monitor first, then every bar in registration order.
void RelayToBars(UINT msg, WPARAM wp, LPARAM lp);
// The text of a WM_COPYDATA from any process: at most cbData bytes, cut at
// the first zero and terminated here. False for a missing record or data.
bool CopyDataText(const COPYDATASTRUCT* cds, std::string* text);
// The last theme path (program folder + "LastTheme"), empty when none.
const char* GetLastThemePath();
void ReloadLastThemePath();
// Reload the theme: close every bar and load the current theme file again.
void ReloadTheme();
void CreateBarFromTemplate();

// ---- work on bars, sections and items named in messages (main_window_bars.cpp)
// Every pointer is checked against the live objects before use; anything
// else is ignored.
LRESULT ConfigurePluginFromMessage(WPARAM item);
void RemoveItemFromMessage(WPARAM item);
void RemoveSectionFromMessage(WPARAM section);
// Replaces the old item by the new one, which takes the old settings (the
// new item keeps its own action). 1 when done; 0 when the new item is not a
// record handed over for the swap, or the old item is gone (the new one is
// then freed).
LRESULT SwapItemsFromMessage(WPARAM old_item, LPARAM new_item);
LRESULT FindWindowAfterOnTop(HWND asking, int asking_order);
bool AnyBarUsesLVSkin();
// The bar named in a message, or null when it names no live bar.
class CVellumMenuObject* LiveBarFromMessage(WPARAM wp);
bool IsLiveObjectFromMessage(WPARAM wp);
bool BarStillCountsAsOpen(class CVellumMenuObject* bar);
