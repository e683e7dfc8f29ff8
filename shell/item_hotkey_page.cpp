// An item's Hotkey page: no hotkey, the Windows key, a keyboard shortcut or
// the Windows key with a plain key. The key is registered at once.
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "shell/item_pages.h"

namespace {

class HotkeyPage : public ConfigPage {
public:
    explicit HotkeyPage(CVellumMenuItem* item)
        : ConfigPage(PageObjectKind::kItem, item, PageSlotsOf(item), kItemHotkeyPage), item_(item) {}

protected:
    void Fill() override { FillHotkeyControls(Window(), Fields()); }

    void Apply(int id, int) override {
        if (!IsHotkeyControl(id)) return;
        ReadHotkeyControls(Window(), Fields());
        item_->UpdateHotkey(0);
        if (item_->m_pBar) item_->m_pBar->SetModifiedSilent();
    }

private:
    HotkeyFields Fields() {
        return HotkeyFields{&item_->RespondToWindowsKey, &item_->vkHotkey, &item_->vkHotkeyModifiers};
    }

    CVellumMenuItem* item_;
};

}  // namespace

std::unique_ptr<ConfigPage> NewHotkeyPage(CVellumMenuItem* item) { return std::make_unique<HotkeyPage>(item); }
