// The configure sequence ("TSConfigure Plugin"): the plug-in configures a
// temporary copy T of the item W in its modal dialog; then a new item N,
// cloned from T and keeping W's instance id, takes W's place.
#include <new>
#include "model/bar_hold.h"
#include "model/live_objects.h"
#include "model/vellum_menu_object.h"
#include "model/vellum_menu_section.h"
#include "shell/main_window.h"
#include "shell/type_services.h"
#include "types/plugin_host.h"
#include "types/plugin_item.h"
#include "util/text.h"

namespace {

CVellumMenuItem_Plugin* LoadedCopy(CVellumMenuItem_Plugin* from) {
    auto* copy = new (std::nothrow) CVellumMenuItem_Plugin(from->m_pBar, from->m_pSection, 0);
    if (!copy) return nullptr;
    from->Copy(copy, 1);
    char path[kPluginLibraryPathSize];
    tess::CopyText(path, from->m_libraryPath);
    if (!copy->LoadPlugin(path, false)) {
        delete copy;
        return nullptr;
    }
    copy->SendPluginMessage(VTM_CLONE, reinterpret_cast<INT_PTR>(from),
                            reinterpret_cast<INT_PTR>(from->m_instance));
    return copy;
}

void Discard(CVellumMenuItem_Plugin* temporary) {
    temporary->UnloadPlugin(0);
    delete temporary;
}

// The modal dialog may have closed W's bar or removed W or its section.
bool StillInPlace(CVellumMenuItem_Plugin* item, CVellumMenuObject* bar,
                  CVellumMenuSection* section) {
    return IsLiveBar(bar) && bar->m_hWnd && ::IsWindow(bar->m_hWnd) && !bar->m_closing &&
           IsLiveSection(section) && IsLiveItem(item) && item->m_pSection == section &&
           section->FindItem(item) >= 0;
}

// The sequence for a loaded W; the item now in W's place, or W when nothing changed.
CVellumMenuItem_Plugin* ReplaceByConfiguredCopy(CVellumMenuItem_Plugin* w) {
    CVellumMenuObject* bar = w->m_pBar;
    CVellumMenuSection* section = w->m_pSection;
    HWND page_parent = w->m_page && ::IsWindowVisible(w->m_page) ? ::GetParent(w->m_page) : nullptr;
    const bool page_visible = page_parent != nullptr;
    char instance_id[kPluginInstanceIdSize];
    tess::CopyText(instance_id, w->m_instanceId);

    CVellumMenuItem_Plugin* t = LoadedCopy(w);
    if (!t) return w;
    t->SendPluginMessage(VTM_CONFIGURE, t->m_capabilities,
                         reinterpret_cast<INT_PTR>(GetMainWindow()));
    if (!StillInPlace(w, bar, section)) {
        Discard(t);
        return nullptr;
    }

    const int slot = section->FindItem(w);
    section->RemoveItem(w, 0);
    w->DetachPlugin();
    w->UnloadPlugin(0);

    CVellumMenuItem_Plugin* n = LoadedCopy(t);
    if (n) {
        n->m_capabilities = t->m_capabilities;
        tess::CopyText(n->m_instanceId, instance_id);
    }
    Discard(t);
    if (!n || !section->InsertItem(slot, n)) {
        // Nothing to take W's place: W goes back, without its plug-in.
        delete n;
        section->InsertItem(slot, w);
        return w;
    }
    n->RefreshCustomStates();
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    n->AttachPlugin();
    delete w;
    if (page_visible) n->CallConfigDialogEx(page_parent);
    return n;
}

bool ConfigurePlugin(void* p) {
    CVellumMenuItem_Plugin* item = LivePluginItem(reinterpret_cast<INT_PTR>(p));
    if (!item) return false;
    CVellumMenuObject* bar = item->m_pBar;
    BarHold hold(bar);
    CVellumMenuItem_Plugin* now = item->IsPluginLoaded() ? ReplaceByConfiguredCopy(item) : item;
    // The caller marks the bar and lays it out.
    if (now && IsLiveItem(now)) SetPluginMessageForwarding(now, 0);
    return now != nullptr && now != item;
}

struct ConfigureRegistration {
    ConfigureRegistration() { GetShellTypeServices().ConfigurePluginItem = ConfigurePlugin; }
} const kConfigureRegistration;

}  // namespace
