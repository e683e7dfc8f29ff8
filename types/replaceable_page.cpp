// Page 152 of an ordinary section: mirroring of the active window's menu on
// or off. The change applies at once and marks the bar modified.
#include <windows.h>

#include "model/vellum_menu_object.h"
#include "shell/config_pages.h"
#include "types/replaceable.h"
#include "types/replaceable_resources.h"

namespace {

constexpr int kBehaviorPage = 2;

class ReplaceablePage : public ConfigPage {
public:
    explicit ReplaceablePage(CVellumMenuSection_Replaceable* section)
        : ConfigPage(PageObjectKind::kSection, section, PageSlotsOf(section), kBehaviorPage),
          section_(section) {}

private:
    void Fill() override { Check(IDC_REPLACEABLE_ON, section_->m_replaceable != 0); }

    void Apply(int id, int code) override {
        if (id != IDC_REPLACEABLE_ON || code != BN_CLICKED) return;
        section_->SetReplaceable(Checked(IDC_REPLACEABLE_ON));
        CVellumMenuObject* bar = section_->m_pBar;
        if (!bar) return;
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        bar->UpdatePos();
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
        bar->SetModified();
    }

    bool KeepsLastTab() const override { return true; }

    CVellumMenuSection_Replaceable* section_;
};

}  // namespace

HWND CVellumMenuSection_Replaceable::CallConfigDialogEx(HWND parent) {
    return ConfigPage::Open(std::make_unique<ReplaceablePage>(this), GetModuleHandleA(nullptr),
                            IDD_REPLACEABLE_PAGE, parent);
}
