// The clock item's page (dialog 121) and the key to the custom format's
// picture codes (dialog 168). Every change applies to the item at once; a
// change that a save writes marks the bar modified.
#include <string>
#include <vector>
#include "model/behavior_classes.h"
#include "model/resource_module.h"
#include "model/vellum_menu_object.h"
#include "shell/config_pages.h"
#include "types/clock_item.h"
#include "types/clock_resources.h"

namespace {

const int kCustomControls[] = {IDC_CLOCK_STRING1, IDC_CLOCK_STRING2, IDC_CLOCK_FORMAT_KEY,
                               IDC_CLOCK_FIT_LINES, IDC_CLOCK_STRING1_LABEL,
                               IDC_CLOCK_STRING2_LABEL};
const int kStandardControls[] = {IDC_CLOCK_SECONDS, IDC_CLOCK_24_HOURS, IDC_CLOCK_LONG_DATE,
                                 IDC_CLOCK_TIME_BY_DEFAULT, IDC_CLOCK_DATE_BY_DEFAULT};

HWND g_format_help = nullptr;

std::string ControlText(HWND page, int id) {
    HWND control = ::GetDlgItem(page, id);
    int length = ::GetWindowTextLengthA(control);
    if (length <= 0) return std::string();
    std::vector<char> text(static_cast<size_t>(length) + 1, '\0');
    ::GetWindowTextA(control, text.data(), length + 1);
    return text.data();
}

INT_PTR CALLBACK FormatHelpProc(HWND dialog, UINT msg, WPARAM wp, LPARAM) {
    switch (msg) {
    case WM_INITDIALOG:
        return TRUE;
    case WM_COMMAND:
        if (LOWORD(wp) == IDOK || LOWORD(wp) == IDCANCEL) ::DestroyWindow(dialog);
        return TRUE;
    case WM_DESTROY:
        if (g_format_help == dialog) g_format_help = nullptr;
        return FALSE;
    default:
        return FALSE;
    }
}

// Modeless and without owner: it stays while the user writes the format.
void ShowFormatHelp(HINSTANCE module) {
    if (!g_format_help || !::IsWindow(g_format_help))
        g_format_help = ::CreateDialogParamA(module, MAKEINTRESOURCEA(kClockFormatHelpDialogId),
                                             nullptr, FormatHelpProc, 0);
    if (!g_format_help) return;
    ::ShowWindow(g_format_help, SW_SHOW);
    ::SetForegroundWindow(g_format_help);
}

class ClockPage : public ConfigPage {
public:
    explicit ClockPage(CVellumMenuItem_Clock* item)
        : ConfigPage(PageObjectKind::kItem, item, ConfigPageSlots(&item->m_page, 1, nullptr), 0),
          item_(item) {}

private:
    void Fill() override {
        Check(IDC_CLOCK_CUSTOM, item_->UseCustomStrings);
        Check(IDC_CLOCK_STANDARD, !item_->UseCustomStrings);
        SetText(IDC_CLOCK_STRING1, item_->TimeString1.c_str());
        SetText(IDC_CLOCK_STRING2, item_->TimeString2.c_str());
        Check(IDC_CLOCK_FIT_LINES, item_->ShowOnlyLinesAvail);
        Check(IDC_CLOCK_TIME_BY_DEFAULT, !item_->ShowDateByDefault);
        Check(IDC_CLOCK_DATE_BY_DEFAULT, item_->ShowDateByDefault);
        Check(IDC_CLOCK_SECONDS, item_->ShowSeconds);
        Check(IDC_CLOCK_24_HOURS, item_->Force24HourTime);
        Check(IDC_CLOCK_LONG_DATE, item_->LongDate);
        FillBehaviorClassCombo(item_, Control(IDC_CLOCK_BEHAVIOR));
        EnableModeControls();
    }

    void Apply(int id, int code) override {
        switch (id) {
        case IDC_CLOCK_CUSTOM:
        case IDC_CLOCK_STANDARD:
            // The pair lies apart, with the custom controls between: the
            // clicked one decides, and both marks are set here.
            Check(IDC_CLOCK_CUSTOM, id == IDC_CLOCK_CUSTOM);
            Check(IDC_CLOCK_STANDARD, id == IDC_CLOCK_STANDARD);
            SetCustomMode(id == IDC_CLOCK_CUSTOM);
            break;
        case IDC_CLOCK_STRING1:
        case IDC_CLOCK_STRING2:
            if (code == EN_UPDATE) TakeString(id);
            return;
        case IDC_CLOCK_FIT_LINES: {
            BOOL fit = Checked(id) ? TRUE : FALSE;
            if (fit != item_->ShowOnlyLinesAvail) {
                item_->ShowOnlyLinesAvail = fit;
                if (item_->UseCustomStrings) Modified();
            }
            item_->ResetLineCount();
            item_->UpdateClockLines();
            break;
        }
        case IDC_CLOCK_FORMAT_KEY:
            ShowFormatHelp(ResourceModuleOf(item_->m_pBar));
            return;
        case IDC_CLOCK_TIME_BY_DEFAULT:
        case IDC_CLOCK_DATE_BY_DEFAULT: {
            BOOL date = id == IDC_CLOCK_DATE_BY_DEFAULT ? TRUE : FALSE;
            Check(IDC_CLOCK_TIME_BY_DEFAULT, !date);
            Check(IDC_CLOCK_DATE_BY_DEFAULT, date);
            SetStandardFlag(&item_->ShowDateByDefault, date);
            if (!item_->UseCustomStrings) item_->m_showingAlternate = item_->ShowDateByDefault;
            break;
        }
        case IDC_CLOCK_SECONDS:
            SetStandardFlag(&item_->ShowSeconds, Checked(id));
            item_->StartTickTimer();
            break;
        case IDC_CLOCK_24_HOURS:
            SetStandardFlag(&item_->Force24HourTime, Checked(id));
            break;
        case IDC_CLOCK_LONG_DATE:
            SetStandardFlag(&item_->LongDate, Checked(id));
            break;
        case IDC_CLOCK_BEHAVIOR:
            if (code == CBN_SELCHANGE)
                ApplyBehaviorClassChange(item_, Control(IDC_CLOCK_BEHAVIOR));
            return;
        default:
            return;
        }
        AfterChange();
    }

    void Modified() {
        if (item_->m_pBar) item_->m_pBar->SetModified();
    }

    void SetCustomMode(bool custom) {
        BOOL value = custom ? TRUE : FALSE;
        if (value == item_->UseCustomStrings) return;
        item_->UseCustomStrings = value;
        item_->m_showingAlternate = custom ? FALSE : item_->ShowDateByDefault;
        Modified();
    }

    // The standard keys are saved only in standard mode.
    void SetStandardFlag(BOOL* flag, bool on) {
        BOOL value = on ? TRUE : FALSE;
        if (*flag == value) return;
        *flag = value;
        if (!item_->UseCustomStrings) Modified();
    }

    void TakeString(int id) {
        std::string text = ControlText(Window(), id);
        std::string& target = id == IDC_CLOCK_STRING1 ? item_->TimeString1 : item_->TimeString2;
        if (text == target) return;
        target = text;
        if (item_->UseCustomStrings) Modified();
        item_->ResetLineCount();
        if (item_->UseCustomStrings) item_->UpdateClockLines();
        item_->m_lastTime.wYear = 0;
        item_->UpdateClockText(1);
    }

    void EnableModeControls() {
        const bool custom = item_->UseCustomStrings != FALSE;
        for (int id : kCustomControls) Enable(id, custom);
        for (int id : kStandardControls) Enable(id, !custom);
    }

    void AfterChange() {
        EnableModeControls();
        if (item_->UseCustomStrings) {
            item_->ResetLineCount();
            item_->UpdateClockLines();
        }
        item_->m_lastTime.wYear = 0;
        item_->UpdateClockText(1);
        if (item_->m_pBar) item_->m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    }

    CVellumMenuItem_Clock* item_;
};

}  // namespace

HWND CVellumMenuItem_Clock::CallConfigDialogEx(HWND parent) {
    HINSTANCE module = ResourceModuleOf(m_pBar);
    return ConfigPage::Open(std::make_unique<ClockPage>(this), module, kClockPageDialogId, parent);
}

HWND FindClockFormatHelp() { return g_format_help; }
