/* Stand-in for the outside hook library: the five procedures the program
   looks up, each passing every event on to the next hook. */
#include <windows.h>

#define PASS_ON(name)                                                    \
    LRESULT CALLBACK name(int code, WPARAM wp, LPARAM lp) { \
        return CallNextHookEx(NULL, code, wp, lp);                       \
    }

PASS_ON(MyHookwellProc)
PASS_ON(CBTHookProc)
PASS_ON(MouseHookProc)
PASS_ON(Win2kStartMenuProc)
PASS_ON(MyLowLevelKeyboardProc)
