// Page 158 of the virtual desktops section: the four buffers of the band
// window, the switch that keeps the skin's background from the library, and
// the library's own settings.
#include <windows.h>
#include <commctrl.h>
#include <cstdlib>
#include "model/vellum_menu_object.h"
#include "shell/config_pages.h"
#include "types/virtual_desktops_resources.h"
#include "types/virtual_desktops_section.h"

namespace {

constexpr int kBehaviorPage = 2;
constexpr int kBufferTextSize = 48;
constexpr int kSpinMaximum = 2000;

// The buffer an edit of the page stands for, or null for another control.
LONG* BufferOfEdit(CVellumMenuSection_VirtualDesktops* section, int id) {
    switch (id) {
    case IDC_VD_TOP: return &section->m_buffer.top;
    case IDC_VD_LEFT: return &section->m_buffer.left;
    case IDC_VD_BOTTOM: return &section->m_buffer.bottom;
    case IDC_VD_RIGHT: return &section->m_buffer.right;
    default: return nullptr;
    }
}

// The edit's text as a decimal number; text without digits is 0.
int ReadBufferText(HWND page, int id) {
    char text[kBufferTextSize + 1] = "";
    GetDlgItemTextA(page, id, text, kBufferTextSize + 1);
    return static_cast<int>(std::strtol(text, nullptr, 10));
}

void OnBufferEdit(HWND page, CVellumMenuSection_VirtualDesktops* section, int id) {
    LONG* buffer = BufferOfEdit(section, id);
    const int value = ReadBufferText(page, id);
    if (*buffer == value) return;
    *buffer = value;
    if (CVellumMenuObject* bar = section->m_pBar) {
        bar->SetModified();
        bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);   // moves the band window
    }
}

void ApplyControl(HWND page, CVellumMenuSection_VirtualDesktops* section, int id, int code) {
    if (BufferOfEdit(section, id)) {
        OnBufferEdit(page, section, id);
        return;
    }
    if (code != BN_CLICKED) return;
    if (id == IDC_VD_PREVENT_BACKGROUND) {
        section->PreventBackgroundChanging =
            IsDlgButtonChecked(page, IDC_VD_PREVENT_BACKGROUND) == BST_CHECKED;
        if (section->m_pBar) section->m_pBar->SetModified();
    } else if (id == IDC_VD_PREFERENCES) {
        section->ShowBandPreferences();
    }
}

void FillBuffer(HWND page, int edit, int spin, int value) {
    SendDlgItemMessageA(page, spin, UDM_SETRANGE32, 0, kSpinMaximum);
    SetDlgItemInt(page, edit, static_cast<UINT>(value), TRUE);
}

class VirtualDesktopsPage : public ConfigPage {
public:
    explicit VirtualDesktopsPage(CVellumMenuSection_VirtualDesktops* section)
        : ConfigPage(PageObjectKind::kSection, section, PageSlotsOf(section), kBehaviorPage),
          section_(section) {}

private:
    void Fill() override {
        FillBuffer(Window(), IDC_VD_TOP, IDC_VD_TOP_SPIN, section_->m_buffer.top);
        FillBuffer(Window(), IDC_VD_LEFT, IDC_VD_LEFT_SPIN, section_->m_buffer.left);
        FillBuffer(Window(), IDC_VD_BOTTOM, IDC_VD_BOTTOM_SPIN, section_->m_buffer.bottom);
        FillBuffer(Window(), IDC_VD_RIGHT, IDC_VD_RIGHT_SPIN, section_->m_buffer.right);
        Check(IDC_VD_PREVENT_BACKGROUND, section_->PreventBackgroundChanging != 0);
    }

    void Apply(int id, int code) override { ApplyControl(Window(), section_, id, code); }

    bool KeepsLastTab() const override { return true; }

    CVellumMenuSection_VirtualDesktops* section_;
};

}  // namespace

HWND CVellumMenuSection_VirtualDesktops::CallConfigDialogEx(HWND parent) {
    return ConfigPage::Open(std::make_unique<VirtualDesktopsPage>(this), GetModuleHandleA(nullptr),
                            IDD_VIRTUAL_DESKTOPS_PAGE, parent);
}
