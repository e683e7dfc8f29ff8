/* Stand-in for the outside menu-capture library: its one procedure passes
   every message on to the next hook. */
#include <windows.h>

LRESULT CALLBACK ExplorerHookProc(int code, WPARAM wp, LPARAM lp) {
    return CallNextHookEx(NULL, code, wp, lp);
}
