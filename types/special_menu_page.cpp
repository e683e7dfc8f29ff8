// The special menu item's page (dialog 120): the menu type and the
// behaviour class. A new type applies at the next opening of the menu and
// marks the bar modified, as the type is saved with the bar.
#include "model/behavior_classes.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "shell/config_pages.h"
#include "types/special_menu_item.h"
#include "types/special_menu_resources.h"

namespace {

// In the order of "Menu.Type".
const char* const kTypeTexts[] = {"Programs Menu", "Running Applications List"};
constexpr int kTypeCount = static_cast<int>(sizeof(kTypeTexts) / sizeof(kTypeTexts[0]));

class SpecialMenuPage : public ConfigPage {
public:
    explicit SpecialMenuPage(CVellumMenuItem_SpecialMenu* item)
        : ConfigPage(PageObjectKind::kItem, item, ConfigPageSlots(&item->m_page, 1, nullptr), 0),
          item_(item) {}

private:
    void Fill() override {
        for (const char* text : kTypeTexts) AddComboRow(IDC_SPECIAL_MENU_TYPE, text, 0);
        // A type of a file this program does not know shows no choice.
        SelectCombo(IDC_SPECIAL_MENU_TYPE,
                    item_->MenuType >= 0 && item_->MenuType < kTypeCount ? item_->MenuType : -1);
        FillBehaviorClassCombo(item_, Control(IDC_SPECIAL_MENU_BEHAVIOR));
    }

    void Apply(int id, int) override {
        if (id == IDC_SPECIAL_MENU_TYPE) {
            const int sel = ComboSelection(id);
            if (sel < 0 || sel >= kTypeCount || sel == item_->MenuType) return;
            item_->SetMenuType(sel);
            if (item_->m_pBar) item_->m_pBar->SetModified();
        } else if (id == IDC_SPECIAL_MENU_BEHAVIOR) {
            ApplyBehaviorClassChange(item_, Control(id));
        }
    }

    CVellumMenuItem_SpecialMenu* item_;
};

}  // namespace

HWND CVellumMenuItem_SpecialMenu::CallConfigDialogEx(HWND parent) {
    HINSTANCE module = ResourceModuleOf(m_pBar);
    return ConfigPage::Open(std::make_unique<SpecialMenuPage>(this), module, kSpecialMenuPageDialogId, parent);
}
