// The item's side of the new-item wizard: a separator needs no questions;
// every other item runs the wizard the shell provides. The pages live in
// the shell; the item reaches them through its host calls.
#include "model/item_host_calls.h"
#include "model/vellum_menu_item.h"

int CVellumMenuItem::DoNewItemWizzard() {
    if (Separator) return 1;
    auto run = GetItemHostCalls().RunNewItemWizard;
    return run ? run(this) : 0;
}

void CVellumMenuItem::AddStandardWizzardPages(HPROPSHEETPAGE* pages, int* index) {
    auto add = GetItemHostCalls().AddStandardWizardPages;
    if (add && pages && index) add(this, pages, index);
}
