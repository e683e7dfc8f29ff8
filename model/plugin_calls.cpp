// The model's table of calls into the plug-in host, and the calls through it.
#include "model/plugin_calls.h"
#include "model/bar_window.h"

PluginCalls& GetPluginCalls() {
    // Zero-initialised before any constructor runs, so the types layer can
    // fill it from its own static constructors in any order.
    static PluginCalls calls;
    return calls;
}

void ForwardWindowMessageToPlugins(HWND wnd, UINT msg, WPARAM wp, LPARAM lp) {
    void (*forward)(HWND, UINT, WPARAM, LPARAM) = GetPluginCalls().ForwardWindowMessage;
    if (forward) forward(wnd, msg, wp, lp);
}

void TellBarPlugins(CVellumMenuObject* bar, UINT message, INT_PTR param) {
    void (*tell)(CVellumMenuObject*, UINT, INT_PTR) = GetPluginCalls().TellBarPlugins;
    if (tell) tell(bar, message, param);
}
