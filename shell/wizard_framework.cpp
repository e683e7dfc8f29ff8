// The new-item wizard's framework: fonts, pages, the sheet, jumps between
// pages, buttons, and the items whose wizard is running.
#include "shell/wizard_framework.h"
#include <algorithm>
#include <vector>
#include "model/item_messages.h"
#include "model/live_objects.h"
#include "model/vellum_menu_item.h"
#include "model/vellum_menu_object.h"
#include "shell/wizard_resources.h"
#include "util/handles.h"

namespace {

constexpr char kThisPageProp[] = "uThisPage";
constexpr char kBackToProp[] = "uBackTo";
constexpr char kBackToNewProp[] = "uBackToNew";
constexpr char kConfigDialogProp[] = "TSConfigDialog";
constexpr int kFinishButtonId = 0x3025;
constexpr char kSkipText[] = "Skip Wizzard";
constexpr char kFinishText[] = "Finish";

HINSTANCE g_module = nullptr;
tess::ScopedFont g_title_font;
tess::ScopedFont g_label_font;

// Items whose wizard runs now, and removals held until it returns.
std::vector<CVellumMenuItem*> g_items_in_wizard;
std::vector<CVellumMenuItem*> g_held_removals;

HINSTANCE Module() { return g_module ? g_module : ::GetModuleHandleA(nullptr); }

HANDLE PropValue(int value) { return reinterpret_cast<HANDLE>(static_cast<INT_PTR>(value)); }

int PropInt(HWND wnd, const char* name) {
    return static_cast<int>(reinterpret_cast<INT_PTR>(::GetPropA(wnd, name)));
}

HWND Sheet(HWND page) { return ::GetParent(page); }

void SetFinishText(HWND page, const char* text) {
    ::SetDlgItemTextA(Sheet(page), kFinishButtonId, text);
}

bool StorePage(HPROPSHEETPAGE page, HPROPSHEETPAGE* pages, int index) {
    if (!page) return false;
    if (index < 0 || index >= kMaxWizardPages) {
        ::DestroyPropertySheetPage(page);
        return false;
    }
    pages[index] = page;
    return true;
}

PROPSHEETPAGEA PageRecord(int templateId, DLGPROC proc, LPARAM data) {
    PROPSHEETPAGEA record = {};
    record.dwSize = sizeof(record);
    record.hInstance = Module();
    record.pszTemplate = MAKEINTRESOURCEA(templateId);
    record.pfnDlgProc = proc;
    record.lParam = data;
    return record;
}

// Held removals go to the main window again once no wizard holds their item.
void ReleaseHeldRemovals() {
    std::vector<CVellumMenuItem*> still_held;
    for (CVellumMenuItem* item : g_held_removals) {
        if (IsItemInWizard(item)) {
            still_held.push_back(item);
            continue;
        }
        CVellumMenuObject* bar = item->m_pBar;
        if (IsLiveBar(bar) && bar->m_hMainWindow)
            ::PostMessageA(bar->m_hMainWindow, GetItemMessages().RemoveItemDelay,
                           reinterpret_cast<WPARAM>(item), 0);
    }
    g_held_removals.swap(still_held);
}

class ItemInWizard {
public:
    explicit ItemInWizard(CVellumMenuItem* item) : item_(item) { g_items_in_wizard.push_back(item); }
    ~ItemInWizard() {
        auto it = std::find(g_items_in_wizard.begin(), g_items_in_wizard.end(), item_);
        if (it != g_items_in_wizard.end()) g_items_in_wizard.erase(it);
        ReleaseHeldRemovals();
    }
    ItemInWizard(const ItemInWizard&) = delete;
    ItemInWizard& operator=(const ItemInWizard&) = delete;

private:
    CVellumMenuItem* item_;
};

}  // namespace

// ---- fonts -------------------------------------------------------------------------------

void CreateWizardFonts(HINSTANCE module) {
    g_module = module;
    NONCLIENTMETRICSA metrics = {};
    metrics.cbSize = sizeof(metrics);
    if (!::SystemParametersInfoA(SPI_GETNONCLIENTMETRICS, sizeof(metrics), &metrics, 0)) return;

    LOGFONTA title = metrics.lfMessageFont;
    lstrcpynA(title.lfFaceName, "Verdana Bold", LF_FACESIZE);
    title.lfWeight = FW_BOLD;
    tess::ScopedWindowDc screen(nullptr);
    const int dpi = screen.get() ? ::GetDeviceCaps(screen.get(), LOGPIXELSY) : 96;
    title.lfHeight = -::MulDiv(12, dpi, 72);
    g_title_font.reset(::CreateFontIndirectA(&title));

    LOGFONTA label = metrics.lfMenuFont;
    label.lfWeight = FW_BOLD;
    g_label_font.reset(::CreateFontIndirectA(&label));
}

void DeleteWizardFonts() {
    g_title_font.reset();
    g_label_font.reset();
}

void SetWizardLabelFont(HWND page, int id) {
    HWND control = ::GetDlgItem(page, id);
    if (control && g_label_font.get())
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_label_font.get()), TRUE);
}

namespace {

void SetWizardTitleFont(HWND page) {
    HWND control = ::GetDlgItem(page, IDC_WIZ_TITLE);
    if (control && g_title_font.get())
        ::SendMessageA(control, WM_SETFONT, reinterpret_cast<WPARAM>(g_title_font.get()), TRUE);
}

}  // namespace

// ---- pages and the sheet ---------------------------------------------------------------------

bool CreateWizardFirstPage(CVellumMenuItem* item, int templateId, DLGPROC proc,
                           HPROPSHEETPAGE* pages, int* index) {
    if (!pages || !index) return false;
    *index = 0;
    PROPSHEETPAGEA record = PageRecord(templateId, proc ? proc : StandardWizardFirstPageProc,
                                       reinterpret_cast<LPARAM>(item));
    record.dwFlags = PSP_HIDEHEADER;
    return StorePage(::CreatePropertySheetPageA(&record), pages, *index);
}

bool CreateWizardInteriorPage(const char* headerTitle, const char* headerSubtitle, int templateId,
                              DLGPROC proc, HPROPSHEETPAGE* pages, int* index,
                              CVellumMenuItem* item) {
    if (!pages || !index || !proc) return false;
    PROPSHEETPAGEA record = PageRecord(templateId, proc, reinterpret_cast<LPARAM>(item));
    record.dwFlags = PSP_USEHEADERTITLE | PSP_USEHEADERSUBTITLE;
    record.pszHeaderTitle = headerTitle;
    record.pszHeaderSubTitle = headerSubtitle;
    ++*index;
    return StorePage(::CreatePropertySheetPageA(&record), pages, *index);
}

bool CreateWizardLastPage(int templateId, DLGPROC proc, HPROPSHEETPAGE* pages, int* index,
                          int* doneFlag) {
    if (!pages || !index || !doneFlag) return false;
    *doneFlag = 0;
    PROPSHEETPAGEA record = PageRecord(templateId, proc ? proc : StandardWizardLastPageProc,
                                       reinterpret_cast<LPARAM>(doneFlag));
    record.dwFlags = PSP_HIDEHEADER;
    ++*index;
    return StorePage(::CreatePropertySheetPageA(&record), pages, *index);
}

INT_PTR RunWizardSheet(HPROPSHEETPAGE* pages, int count, int watermarkId, int headerId) {
    // A page that could not be made leaves a gap: the sheet gets the others.
    std::vector<HPROPSHEETPAGE> made;
    for (int i = 0; pages && i < count && i < kMaxWizardPages; ++i)
        if (pages[i]) made.push_back(pages[i]);
    if (made.empty()) return -1;

    PROPSHEETHEADERA header = {};
    header.dwSize = sizeof(header);
    header.dwFlags = PSH_WIZARD97 | PSH_WIZARDHASFINISH;
    if (watermarkId) header.dwFlags |= PSH_WATERMARK;
    if (headerId) header.dwFlags |= PSH_HEADER;
    header.hwndParent = nullptr;
    header.hInstance = Module();
    header.nPages = static_cast<UINT>(made.size());
    header.nStartPage = 0;
    header.phpage = made.data();
    header.pszbmWatermark = MAKEINTRESOURCEA(watermarkId);
    header.pszbmHeader = MAKEINTRESOURCEA(headerId);
    return ::PropertySheetA(&header);
}

int RunItemWizard(CVellumMenuItem* item, HPROPSHEETPAGE* pages, int count) {
    if (!item) return 0;
    {
        ItemInWizard running(item);
        RunWizardSheet(pages, count, IDB_WIZARD_WATERMARK, IDB_WIZARD_HEADER);
    }
    if (IsLiveBar(item->m_pBar)) item->m_pBar->RecalcRects(kRecalcRedraw, kRecalcUpdatePos);
    return item->WizardDoneFlag;
}

// ---- page helpers ----------------------------------------------------------------------------------

void CenterWindowOnScreen(HWND wnd) {
    RECT r;
    if (!wnd || !::GetWindowRect(wnd, &r)) return;
    const int width = r.right - r.left, height = r.bottom - r.top;
    const int x = (::GetSystemMetrics(SM_CXSCREEN) - width) / 2;
    const int y = (::GetSystemMetrics(SM_CYSCREEN) - height) / 2;
    ::SetWindowPos(wnd, nullptr, x, y, 0, 0, SWP_NOSIZE | SWP_NOZORDER | SWP_NOACTIVATE);
}

void InitWizardPage(HWND page, const PROPSHEETPAGEA* record) {
    for (int id : {IDC_WIZ_LABEL1, IDC_WIZ_LABEL2, IDC_WIZ_LABEL3}) SetWizardLabelFont(page, id);
    if (record && IS_INTRESOURCE(record->pszTemplate))
        ::SetPropA(page, kThisPageProp,
                   PropValue(static_cast<int>(reinterpret_cast<ULONG_PTR>(record->pszTemplate))));
    HWND sheet = Sheet(page);
    if (sheet && ::GetPropA(sheet, kBackToNewProp)) {
        ::SetPropA(page, kBackToProp, ::GetPropA(sheet, kBackToNewProp));
        ::RemovePropA(sheet, kBackToNewProp);
    }
}

INT_PTR WizardAnswer(HWND page, LONG_PTR result) {
    ::SetWindowLongPtrA(page, DWLP_MSGRESULT, result);
    return TRUE;
}

void WizardSetNextPage(HWND page, int templateId) {
    WizardAnswer(page, templateId);
    if (HWND sheet = Sheet(page)) ::SetPropA(sheet, kBackToNewProp, ::GetPropA(page, kThisPageProp));
}

int WizardGoBack(HWND page) {
    const int back_to = PropInt(page, kBackToProp);
    if (!back_to) {
        WizardAnswer(page, 0);
        return 0;
    }
    WizardAnswer(page, back_to);
    return 1;
}

void RemoveWizardPageProps(HWND page) {
    ::RemovePropA(page, kBackToProp);
    ::RemovePropA(page, kThisPageProp);
}

void SetWizardButtons(HWND page, DWORD flags) {
    if (HWND sheet = Sheet(page)) ::PostMessageA(sheet, PSM_SETWIZBUTTONS, 0, flags);
}

void UpdateWizardNextButton(HWND page, int editId) {
    const bool has_text = ::GetWindowTextLengthA(::GetDlgItem(page, editId)) > 0;
    SetWizardButtons(page, has_text ? PSWIZB_BACK | PSWIZB_NEXT : PSWIZB_BACK);
}

CVellumMenuItem* WizardItem(HWND page) {
    HWND sheet = Sheet(page);
    return sheet ? reinterpret_cast<CVellumMenuItem*>(::GetWindowLongPtrA(sheet, GWLP_USERDATA))
                 : nullptr;
}

bool HandleWizardFinishOrBack(HWND page, UINT code) {
    if (code == PSN_WIZFINISH) {
        if (CVellumMenuItem* item = WizardItem(page)) item->WizardDoneFlag = 1;
        WizardAnswer(page, 0);
        return true;
    }
    if (code == PSN_WIZBACK) {
        InitWizardPage(page, nullptr);
        WizardGoBack(page);
        return true;
    }
    return false;
}

// ---- the standard first and closing pages -------------------------------------------------------

INT_PTR CALLBACK StandardWizardFirstPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        const auto* record = reinterpret_cast<const PROPSHEETPAGEA*>(lp);
        InitWizardPage(page, record);
        HWND sheet = Sheet(page);
        ::SetPropA(sheet, kConfigDialogProp, PropValue(1));
        LPARAM item = record ? record->lParam : 0;
        ::SetWindowLongPtrA(page, GWLP_USERDATA, item);
        ::SetWindowLongPtrA(sheet, GWLP_USERDATA, item);
        SetWizardTitleFont(page);
        CenterWindowOnScreen(sheet);
        SetFinishText(page, kSkipText);
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* note = reinterpret_cast<const NMHDR*>(lp);
        if (note->code == PSN_SETACTIVE) {
            SetWizardButtons(page, PSWIZB_NEXT);
            return WizardAnswer(page, 0);
        }
        if (note->code == PSN_WIZFINISH) {
            if (CVellumMenuItem* item = WizardItem(page)) item->WizardDoneFlag = 1;
            return WizardAnswer(page, 0);
        }
        return FALSE;
    }
    case WM_DESTROY:
        RemoveWizardPageProps(page);
        ::RemovePropA(Sheet(page), kConfigDialogProp);
        ::RemovePropA(Sheet(page), kBackToNewProp);
        return FALSE;
    default:
        return FALSE;
    }
}

INT_PTR CALLBACK StandardWizardLastPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp) {
    switch (msg) {
    case WM_INITDIALOG: {
        const auto* record = reinterpret_cast<const PROPSHEETPAGEA*>(lp);
        InitWizardPage(page, record);
        ::SetWindowLongPtrA(page, GWLP_USERDATA, record ? record->lParam : 0);
        SetWizardTitleFont(page);
        return TRUE;
    }
    case WM_NOTIFY: {
        const auto* note = reinterpret_cast<const NMHDR*>(lp);
        switch (note->code) {
        case PSN_SETACTIVE:
            InitWizardPage(page, nullptr);
            SetFinishText(page, kFinishText);
            SetWizardButtons(page, PSWIZB_BACK | PSWIZB_FINISH);
            return WizardAnswer(page, 0);
        case PSN_WIZBACK:
            InitWizardPage(page, nullptr);
            SetFinishText(page, kSkipText);
            WizardGoBack(page);
            return TRUE;
        case PSN_WIZFINISH:
            if (auto* done = reinterpret_cast<int*>(::GetWindowLongPtrA(page, GWLP_USERDATA)))
                *done = 1;
            return WizardAnswer(page, 0);
        default:
            return FALSE;
        }
    }
    case WM_DESTROY:
        RemoveWizardPageProps(page);
        return FALSE;
    default:
        return FALSE;
    }
}

// ---- items under a running wizard ------------------------------------------------------------------

bool IsItemInWizard(const CVellumMenuItem* item) {
    return item && std::find(g_items_in_wizard.begin(), g_items_in_wizard.end(), item) !=
                       g_items_in_wizard.end();
}

bool HoldItemRemovalDuringWizard(CVellumMenuItem* item) {
    if (!IsItemInWizard(item)) return false;
    if (std::find(g_held_removals.begin(), g_held_removals.end(), item) == g_held_removals.end())
        g_held_removals.push_back(item);
    return true;
}
