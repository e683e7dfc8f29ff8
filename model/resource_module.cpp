#include "model/resource_module.h"
#include "model/vellum_menu_object.h"

HINSTANCE ResourceModuleOf(const CVellumMenuObject* bar) {
    return bar && bar->m_hModule ? bar->m_hModule : ::GetModuleHandleA(nullptr);
}
