// The clock item's page (dialog 121) and the key to the custom format's
// picture codes (dialog 168). Every change applies to the item at once; a
// change that a save writes marks the bar modified.
#include <string>
#include <vector>
#include "model/behavior_classes.h"
#include "model/vellum_menu_object.h"
#include "types/clock_item.h"
#include "types/clock_resources.h"

namespace {

const int kCustomControls[] = {IDC_CLOCK_STRING1, IDC_CLOCK_STRING2, IDC_CLOCK_FORMAT_KEY,
                               IDC_CLOCK_FIT_LINES, IDC_CLOCK_STRING1_LABEL,
                               IDC_CLOCK_STRING2_LABEL};
const int kStandardControls[] = {IDC_CLOCK_SECONDS, IDC_CLOCK_24_HOURS, IDC_CLOCK_LONG_DATE,
                                 IDC_CLOCK_TIME_BY_DEFAULT, IDC_CLOCK_DATE_BY_DEFAULT};

HWND g_format_help = nullptr;

CVellumMenuItem_Clock* PageItem(HWND page) {
    return static_cast<CVellumMenuItem_Clock*>(::GetPropA(page, "lpItem"));
}

bool Checked(HWND page, int id) { return ::IsDlgButtonChecked(page, id) == BST_CHECKED; }

void Check(HWND page, int id, BOOL on) { ::CheckDlgButton(page, id, on ? BST_CHECKED : BST_UNCHECKED); }

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

class ClockPage {
public:
    ClockPage(HWND page, CVellumMenuItem_Clock* item) : page_(page), item_(item) {}

    void Init() {
        Check(page_, IDC_CLOCK_CUSTOM, item_->UseCustomStrings);
        Check(page_, IDC_CLOCK_STANDARD, !item_->UseCustomStrings);
        ::SetDlgItemTextA(page_, IDC_CLOCK_STRING1, item_->TimeString1.c_str());
        ::SetDlgItemTextA(page_, IDC_CLOCK_STRING2, item_->TimeString2.c_str());
        Check(page_, IDC_CLOCK_FIT_LINES, item_->ShowOnlyLinesAvail);
        Check(page_, IDC_CLOCK_TIME_BY_DEFAULT, !item_->ShowDateByDefault);
        Check(page_, IDC_CLOCK_DATE_BY_DEFAULT, item_->ShowDateByDefault);
        Check(page_, IDC_CLOCK_SECONDS, item_->ShowSeconds);
        Check(page_, IDC_CLOCK_24_HOURS, item_->Force24HourTime);
        Check(page_, IDC_CLOCK_LONG_DATE, item_->LongDate);
        FillBehaviorClassCombo(item_, ::GetDlgItem(page_, IDC_CLOCK_BEHAVIOR));
        EnableModeControls();
    }

    void Command(int id, int code) {
        switch (id) {
        case IDC_CLOCK_CUSTOM:
        case IDC_CLOCK_STANDARD:
            // The pair lies apart, with the custom controls between: the
            // clicked one decides, and both marks are set here.
            Check(page_, IDC_CLOCK_CUSTOM, id == IDC_CLOCK_CUSTOM);
            Check(page_, IDC_CLOCK_STANDARD, id == IDC_CLOCK_STANDARD);
            SetCustomMode(id == IDC_CLOCK_CUSTOM);
            break;
        case IDC_CLOCK_STRING1:
        case IDC_CLOCK_STRING2:
            if (code == EN_UPDATE) TakeString(id);
            return;
        case IDC_CLOCK_FIT_LINES: {
            BOOL fit = Checked(page_, id) ? TRUE : FALSE;
            if (fit != item_->ShowOnlyLinesAvail) {
                item_->ShowOnlyLinesAvail = fit;
                if (item_->UseCustomStrings) Modified();
            }
            item_->ResetLineCount();
            item_->UpdateClockLines();
            break;
        }
        case IDC_CLOCK_FORMAT_KEY:
            ShowFormatHelp(Module());
            return;
        case IDC_CLOCK_TIME_BY_DEFAULT:
        case IDC_CLOCK_DATE_BY_DEFAULT: {
            BOOL date = id == IDC_CLOCK_DATE_BY_DEFAULT ? TRUE : FALSE;
            Check(page_, IDC_CLOCK_TIME_BY_DEFAULT, !date);
            Check(page_, IDC_CLOCK_DATE_BY_DEFAULT, date);
            SetStandardFlag(&item_->ShowDateByDefault, date);
            if (!item_->UseCustomStrings) item_->m_showingAlternate = item_->ShowDateByDefault;
            break;
        }
        case IDC_CLOCK_SECONDS:
            SetStandardFlag(&item_->ShowSeconds, Checked(page_, id));
            item_->StartTickTimer();
            break;
        case IDC_CLOCK_24_HOURS:
            SetStandardFlag(&item_->Force24HourTime, Checked(page_, id));
            break;
        case IDC_CLOCK_LONG_DATE:
            SetStandardFlag(&item_->LongDate, Checked(page_, id));
            break;
        case IDC_CLOCK_BEHAVIOR:
            if (code == CBN_SELCHANGE)
                ApplyBehaviorClassChange(item_, ::GetDlgItem(page_, IDC_CLOCK_BEHAVIOR));
            return;
        default:
            return;
        }
        AfterChange();
    }

private:
    HINSTANCE Module() const {
        CVellumMenuObject* bar = item_->m_pBar;
        return bar && bar->m_hModule ? bar->m_hModule : ::GetModuleHandleA(nullptr);
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
        std::string text = ControlText(page_, id);
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
        for (int id : kCustomControls) ::EnableWindow(::GetDlgItem(page_, id), custom ? TRUE : FALSE);
        for (int id : kStandardControls) ::EnableWindow(::GetDlgItem(page_, id), custom ? FALSE : TRUE);
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

    HWND page_;
    CVellumMenuItem_Clock* item_;
};

INT_PTR CALLBACK ClockPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    try {
        switch (msg) {
        case WM_INITDIALOG: {
            auto* item = reinterpret_cast<CVellumMenuItem_Clock*>(lp);
            ::SetPropA(page, "lpItem", item);
            if (item) ClockPage(page, item).Init();
            ::SetPropA(page, "bInitalized!", reinterpret_cast<HANDLE>(1));
            return TRUE;
        }
        case WM_COMMAND: {
            int id = LOWORD(wp);
            if (id == IDOK || id == IDCANCEL) {
                ::DestroyWindow(page);
                return TRUE;
            }
            CVellumMenuItem_Clock* item = PageItem(page);
            if (!item || !::GetPropA(page, "bInitalized!")) return TRUE;
            ClockPage(page, item).Command(id, HIWORD(wp));
            return TRUE;
        }
        case WM_DESTROY:
            if (CVellumMenuItem_Clock* item = PageItem(page))
                if (item->m_page == page) item->m_page = nullptr;
            ::RemovePropA(page, "lpItem");
            ::RemovePropA(page, "bInitalized!");
            return FALSE;
        default:
            return FALSE;
        }
    } catch (...) {
        return FALSE;
    }
}

}  // namespace

HWND CVellumMenuItem_Clock::CallConfigDialogEx(HWND parent) {
    if (m_page && ::IsWindow(m_page)) return m_page;
    HINSTANCE module = m_pBar && m_pBar->m_hModule ? m_pBar->m_hModule : ::GetModuleHandleA(nullptr);
    m_page = ::CreateDialogParamA(module, MAKEINTRESOURCEA(kClockPageDialogId), parent,
                                  ClockPageProc, reinterpret_cast<LPARAM>(this));
    return m_page;
}

HWND FindClockFormatHelp() { return g_format_help; }
