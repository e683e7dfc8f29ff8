// Owners of menus that bars mirror: windows of this process that record the
// menu messages a mirrored menu sends its owner (commands, system commands
// and the messages before a menu or submenu shows).
#pragma once
#include <windows.h>
#include <vector>

namespace testing_support {

struct MenuMessage {
    UINT msg;
    WPARAM wp;
    LPARAM lp;
};

// What every menu owner of this process has received, in order; tests
// clear it before what they look at.
std::vector<MenuMessage>& MenuOwnerLog();

// A menu owner titled title with the menu bar (or none). A shown one is an
// overlapped window that can become the active window; a hidden one is a
// small popup that stays out of window lists.
HWND CreateMenuOwner(const char* title, HMENU menu_bar, bool shown);

}  // namespace testing_support
