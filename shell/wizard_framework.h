// The new-item wizard's framework: its fonts, the creation of its pages and
// of the modal wizard sheet, the jumps between pages with a remembered way
// back, and the buttons. The standard pages are in wizard_pages.cpp; item
// types add their own pages with the same calls (the shortcut item does).
//
// A jump: a page's Next answers WizardSetNextPage(page, target), which also
// leaves the page's own template id on the sheet ("uBackToNew"); the target
// takes it as its way back ("uBackTo") the next time it calls
// InitWizardPage, and its Back answers WizardGoBack.
#pragma once
#include <windows.h>
#include <commctrl.h>

class CVellumMenuItem;

// ---- fonts (kept from the main window's creation to its end) ---------------------
void CreateWizardFonts(HINSTANCE module);
void DeleteWizardFonts();
// The label font on the control, if both exist.
void SetWizardLabelFont(HWND page, int id);

// ---- pages and the sheet ----------------------------------------------------------
// Each stores its page at pages[*index] (kMaxWizardPages at most) and
// returns false when it could not. The first page sets *index to 0, the
// others advance it first. A null procedure means the standard one.
bool CreateWizardFirstPage(CVellumMenuItem* item, int templateId, DLGPROC proc,
                           HPROPSHEETPAGE* pages, int* index);
bool CreateWizardInteriorPage(const char* headerTitle, const char* headerSubtitle, int templateId,
                              DLGPROC proc, HPROPSHEETPAGE* pages, int* index,
                              CVellumMenuItem* item);
// The closing page's data is the done flag, which is cleared here.
bool CreateWizardLastPage(int templateId, DLGPROC proc, HPROPSHEETPAGE* pages, int* index,
                          int* doneFlag);
// The modal wizard sheet, without owner window; PropertySheet's answer.
INT_PTR RunWizardSheet(HPROPSHEETPAGE* pages, int count, int watermarkId, int headerId);
// What every item's wizard does with its built pages: runs the sheet with
// the wizard's bitmaps while the item counts as in a wizard, lays the
// item's bar out again and answers the item's done flag.
int RunItemWizard(CVellumMenuItem* item, HPROPSHEETPAGE* pages, int count);

// ---- page helpers ------------------------------------------------------------------------
void CenterWindowOnScreen(HWND wnd);
// Label fonts; with the page's record its template id becomes "uThisPage";
// a pending "uBackToNew" of the sheet becomes the page's "uBackTo".
void InitWizardPage(HWND page, const PROPSHEETPAGEA* record);
// Next jumps to templateId (the page's answer), remembering the way back.
void WizardSetNextPage(HWND page, int templateId);
// Back: 1 and the answer set when the page has a way back, else 0 (the
// sheet's ordinary Back).
int WizardGoBack(HWND page);
void RemoveWizardPageProps(HWND page);
// Back and Next while the edit holds text, Back alone when it is empty.
void UpdateWizardNextButton(HWND page, int editId);
// Posts PSM_SETWIZBUTTONS to the page's sheet.
void SetWizardButtons(HWND page, DWORD flags);
// The item of the running wizard (the sheet's user data).
CVellumMenuItem* WizardItem(HWND page);
// What every interior page does with Finish (the item's done flag set)
// and Back (InitWizardPage, then WizardGoBack); false for other codes.
bool HandleWizardFinishOrBack(HWND page, UINT code);
// A page's answer to a notification.
INT_PTR WizardAnswer(HWND page, LONG_PTR result);

// The standard first and closing pages; other first and closing pages call
// them first.
INT_PTR CALLBACK StandardWizardFirstPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp);
INT_PTR CALLBACK StandardWizardLastPageProc(HWND page, UINT msg, WPARAM wp, LPARAM lp);

// ---- items under a running wizard ---------------------------------------------------
// The sheet has no owner, so the item could be removed under its pages:
// while its wizard runs, a removal is held and posted again ("Remove Item
// Delay" to the main window) when the wizard returns. True when held.
bool HoldItemRemovalDuringWizard(CVellumMenuItem* item);
bool IsItemInWizard(const CVellumMenuItem* item);

// Fills the item host calls through which items start the standard wizard
// (wizard_pages.cpp).
void InstallWizardHostCalls();
