// The bar's Advanced page (transparency, hiding, the Hazeglow shadow and the
// four size rules) and its Hotkey page.
#include <windows.h>
#include <commctrl.h>
#include <cstdlib>
#include <memory>
#include "model/live_objects.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "shell/bar_pages.h"
#include "shell/bar_pages_resources.h"
#include "shell/config_pages.h"

namespace {

constexpr char kHazeglowText[] =
    "Note: This theme must be reloaded before the change in the \"Block Hazeglow Shadow\" "
    "setting can be applied.\n";
constexpr char kHazeglowCaption[] = "Tessellar - Restart to Show Setting Change";
constexpr int kOpaqueAlpha = 255;
// The pixel fields are read as at most this many characters.
constexpr int kPixelTextSize = 101;

void Relayout(CVellumMenuObject* bar) {
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    bar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
}

// One size rule on the page: the pixels field, the kind and the sign combos,
// and the axis of the bar's rule it edits.
struct SizeRuleControls {
    int pixels_id, kind_id, sign_id;
    BarSizeRule CVellumMenuObject::*rule;
    bool width;
};

const SizeRuleControls kSizeRules[] = {
    {IDC_ADV_MIN_WIDTH, IDC_ADV_MIN_WIDTH_KIND, IDC_ADV_MIN_WIDTH_SIGN, &CVellumMenuObject::ptMIN, true},
    {IDC_ADV_MIN_HEIGHT, IDC_ADV_MIN_HEIGHT_KIND, IDC_ADV_MIN_HEIGHT_SIGN, &CVellumMenuObject::ptMIN, false},
    {IDC_ADV_MAX_WIDTH, IDC_ADV_MAX_WIDTH_KIND, IDC_ADV_MAX_WIDTH_SIGN, &CVellumMenuObject::ptMAX, true},
    {IDC_ADV_MAX_HEIGHT, IDC_ADV_MAX_HEIGHT_KIND, IDC_ADV_MAX_HEIGHT_SIGN, &CVellumMenuObject::ptMAX, false},
};

bool IsSizeRuleControl(int id) {
    for (const SizeRuleControls& r : kSizeRules)
        if (id == r.pixels_id || id == r.kind_id || id == r.sign_id) return true;
    return false;
}

LONG& Axis(POINT& point, bool width) { return width ? point.x : point.y; }

// While the values go into the controls, their notifications change nothing.
bool g_exchanging = false;

void FillKindCombo(CVellumMenuObject* bar, HWND combo, bool width) {
    if (::SendMessageA(combo, CB_GETCOUNT, 0, 0) > 0) return;
    for (int kind = 0;; ++kind) {
        char text[64] = "";
        if (bar->GetSize(kind, 0, 0, width ? 1 : 0, text) < 0 || !text[0]) break;
        ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>(text));
    }
}

void FillSignCombo(HWND combo) {
    if (::SendMessageA(combo, CB_GETCOUNT, 0, 0) > 0) return;
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("+"));
    ::SendMessageA(combo, CB_ADDSTRING, 0, reinterpret_cast<LPARAM>("-"));
}

void EnableRuleFields(HWND page, const SizeRuleControls& r, int kind) {
    ::EnableWindow(::GetDlgItem(page, r.sign_id), kind >= 2);
    ::EnableWindow(::GetDlgItem(page, r.pixels_id), kind != 0);
}

class AdvancedPage : public ConfigPage {
public:
    explicit AdvancedPage(CVellumMenuObject* bar)
        : ConfigPage(PageObjectKind::kBar, bar, PageSlotsOf(bar), kBarAdvancedPage), bar_(bar) {}

protected:
    void Fill() override {
        Check(IDC_ADV_OVERRIDE_ALPHA, bar_->Alpha >= 0);
        ::SendMessageA(Control(IDC_ADV_ALPHA), TBM_SETRANGE, TRUE, MAKELPARAM(0, kOpaqueAlpha));
        ::SendMessageA(Control(IDC_ADV_ALPHA), TBM_SETPOS, TRUE,
                       bar_->Alpha >= 0 ? bar_->Alpha : kOpaqueAlpha);
        Check(IDC_ADV_HIDE_BAR, bar_->SetAsHidden);
        Check(IDC_ADV_BLOCK_HAZEGLOW, bar_->BlockHazeglow);
        Check(IDC_ADV_OTHER_BARS, !bar_->bUseScreenSizes);
        ExchangeBarSizeRules(bar_, 1);
    }

    void Apply(int id, int code) override {
        if (!IsLiveBar(bar_)) return;
        if (IsSizeRuleControl(id)) {
            if (g_exchanging) return;
            bar_->SetModified();
            bar_->ObjectExGUI_UpdateValues(0);
            bar_->UpdatePos();
            Relayout(bar_);
            return;
        }
        switch (id) {
        case IDC_ADV_OVERRIDE_ALPHA:
            if (Checked(id))
                SetAlpha(TrackPosition());
            else
                SetAlpha(-1);
            break;
        case IDC_ADV_HIDE_BAR:
            bar_->SetAsHidden = Checked(id) ? TRUE : FALSE;
            bar_->HideAsSetting(bar_->SetAsHidden);
            bar_->SetModified();
            break;
        case IDC_ADV_BLOCK_HAZEGLOW:
            ApplyHazeglowBlock();
            break;
        case IDC_ADV_OTHER_BARS:
            bar_->bUseScreenSizes = Checked(id) ? FALSE : TRUE;
            bar_->SetModified();
            Relayout(bar_);
            break;
        default:
            break;
        }
    }

    INT_PTR OnPageMessage(UINT msg, WPARAM wp, LPARAM lp) override {
        if (!IsLiveBar(bar_)) return FALSE;
        if (msg == WM_HSCROLL && reinterpret_cast<HWND>(lp) == Control(IDC_ADV_ALPHA)) {
            if (Initialized() && Checked(IDC_ADV_OVERRIDE_ALPHA)) SetAlpha(TrackPosition());
            return TRUE;
        }
        if (msg == WM_SHOWWINDOW && wp) Check(IDC_ADV_HIDE_BAR, bar_->SetAsHidden);
        return FALSE;
    }

private:
    int TrackPosition() const {
        return static_cast<int>(::SendMessageA(Control(IDC_ADV_ALPHA), TBM_GETPOS, 0, 0));
    }

    void SetAlpha(int alpha) {
        if (alpha == bar_->Alpha) return;
        bar_->Alpha = alpha;
        bar_->SetModified();
        bar_->UpdateAlpha();
    }

    void ApplyHazeglowBlock() {
        const BOOL block = Checked(IDC_ADV_BLOCK_HAZEGLOW) ? TRUE : FALSE;
        if (block == bar_->BlockHazeglow) return;
        bar_->BlockHazeglow = block;
        if (bar_->m_hWnd) {
            if (block) {
                ::RemovePropA(bar_->m_hWnd, "ADDSHADOW");
                ::RemovePropA(bar_->m_hWnd, "HZL");
            } else {
                ::SetPropA(bar_->m_hWnd, "ADDSHADOW", reinterpret_cast<HANDLE>(1));
            }
        }
        bar_->SetModified();
        ::MessageBoxA(Window(), kHazeglowText, kHazeglowCaption, MB_OK | MB_ICONINFORMATION);
    }

    CVellumMenuObject* bar_;
};

class BarHotkeyPage : public ConfigPage {
public:
    explicit BarHotkeyPage(CVellumMenuObject* bar)
        : ConfigPage(PageObjectKind::kBar, bar, PageSlotsOf(bar), kBarHotkeyPage), bar_(bar) {}

protected:
    void Fill() override {
        FillHotkeyControls(Window(), Fields());
        Check(IDC_BARKEY_HIDE_UNTIL, bar_->bHideBarUntilHotkey);
        Check(IDC_BARKEY_RESHOW_UNDER_MOUSE, bar_->bReshowUnderMouse);
        EnableOptions();
    }

    void Apply(int id, int code) override {
        if (!IsLiveBar(bar_)) return;
        if (IsHotkeyControl(id)) {
            ReadHotkeyControls(Window(), Fields());
        } else if (id == IDC_BARKEY_HIDE_UNTIL) {
            bar_->bHideBarUntilHotkey = Checked(id) ? TRUE : FALSE;
        } else if (id == IDC_BARKEY_RESHOW_UNDER_MOUSE) {
            bar_->bReshowUnderMouse = Checked(id) ? TRUE : FALSE;
        } else {
            return;
        }
        EnableOptions();
        bar_->UpdateHotkey(0);
        bar_->SetModifiedSilent();
    }

private:
    HotkeyFields Fields() {
        return HotkeyFields{&bar_->RespondToWindowsKey, &bar_->vkHotkey, &bar_->vkHotkeyModifiers};
    }

    void EnableOptions() {
        const bool none = Checked(kHotkeyNone);
        Enable(IDC_BARKEY_HIDE_UNTIL, !none);
        Enable(IDC_BARKEY_RESHOW_UNDER_MOUSE,
               !none && Checked(IDC_BARKEY_HIDE_UNTIL) && bar_->DockToEdge < 0);
    }

    CVellumMenuObject* bar_;
};

}  // namespace

HWND OpenBarAdvancedPage(CVellumMenuObject* bar, HWND parent) {
    return ConfigPage::Open(std::make_unique<AdvancedPage>(bar), ResourceModuleOf(bar),
                            IDD_BAR_ADVANCED, parent);
}

HWND OpenBarHotkeyPage(CVellumMenuObject* bar, HWND parent) {
    return ConfigPage::Open(std::make_unique<BarHotkeyPage>(bar), ResourceModuleOf(bar),
                            IDD_BAR_HOTKEY, parent);
}

int ExchangeBarSizeRules(CVellumMenuObject* bar, int to_controls) {
    if (!bar || !IsLiveBar(bar)) return 0;
    HWND page = bar->m_pages[kBarAdvancedPage];
    if (!page || !::IsWindow(page)) return 0;
    for (const SizeRuleControls& r : kSizeRules) {
        BarSizeRule& rule = bar->*(r.rule);
        HWND kind_combo = ::GetDlgItem(page, r.kind_id);
        HWND sign_combo = ::GetDlgItem(page, r.sign_id);
        int kind;
        if (to_controls) {
            g_exchanging = true;
            FillKindCombo(bar, kind_combo, r.width);
            FillSignCombo(sign_combo);
            ::SetDlgItemInt(page, r.pixels_id, static_cast<UINT>(Axis(rule.pixels, r.width)), TRUE);
            kind = Axis(rule.modifiers, r.width);
            ::SendMessageA(kind_combo, CB_SETCURSEL, static_cast<WPARAM>(kind), 0);
            ::SendMessageA(sign_combo, CB_SETCURSEL, Axis(rule.subtract, r.width) ? 1 : 0, 0);
            g_exchanging = false;
        } else {
            char text[kPixelTextSize] = "";
            ::GetDlgItemTextA(page, r.pixels_id, text, sizeof(text));
            Axis(rule.pixels, r.width) = std::atoi(text);
            kind = static_cast<int>(::SendMessageA(kind_combo, CB_GETCURSEL, 0, 0));
            if (kind >= 0) Axis(rule.modifiers, r.width) = kind;
            const LRESULT sign = ::SendMessageA(sign_combo, CB_GETCURSEL, 0, 0);
            if (sign >= 0) Axis(rule.subtract, r.width) = sign ? 1 : 0;
            kind = Axis(rule.modifiers, r.width);
        }
        EnableRuleFields(page, r, kind);
    }
    return 1;
}
