// The helper lines of the theme editor: while they are on, every visible
// section of the bar selected in the editor is tinted and outlined in a
// colour of its own, on the bar and on its row of the editor's tree. A hidden
// window of class "TSHelperLines" marks that the overlay is active; its
// creation and destruction switch the marks on and off.
#pragma once
#include <windows.h>
#include <commctrl.h>

class CVellumMenuObject;
class CVellumMenuSection;

// ---- the editor's side ------------------------------------------------------------------
// What the overlay needs from the theme editor: its window, its tree and the
// tree row of a section. The editor hands it over when its tree exists and
// withdraws it (null) when it goes, which closes the overlay.
struct HelperLinesEditor {
    HWND editor;
    HWND tree;
    // The row of the section's node, or null when the tree has none.
    HTREEITEM (*SectionRow)(HWND tree, const CVellumMenuSection* section);
};
void SetHelperLinesEditor(const HelperLinesEditor* editor);

// ---- the overlay -------------------------------------------------------------------------
bool RegisterHelperLinesClass(HINSTANCE instance);
// Highlights the bar (null: none). The overlay window is made only while the
// editor's tree exists.
void ShowHelperLines(CVellumMenuObject* bar);
// Closes the overlay window when it exists.
void CloseHelperLines();
// True while the overlay window exists.
bool AreHelperLinesShown();
// The highlighted bar (null: none).
CVellumMenuObject* GetHelperLinesBar();
// A bar closes: the overlay goes when it was that bar's.
void HelperLinesBarClosing(CVellumMenuObject* bar);
// The editor's switch (the global option "bHelperEnabled"): on shows the
// marks for the selected node's bar, off closes them.
void SetHelperLinesSwitch(bool on, CVellumMenuObject* selected_bar);

// ---- drawing -----------------------------------------------------------------------------
// Paints the marks into the bar's drawing bitmap: only for the highlighted
// bar while the overlay exists.
void DrawHelperLinesOnBar(HDC dc, CVellumMenuObject* bar);
// The tree's procedure while the overlay exists: the tree paints, then the
// section rows get their colours.
LRESULT CALLBACK HelperLinesTreeProc(HWND tree, UINT msg, WPARAM wp, LPARAM lp);

// ---- colours -----------------------------------------------------------------------------
constexpr int kHelperLineColorCount = 20;
// The constant alpha of every tint (of 255).
constexpr BYTE kHelperLineAlpha = 0x33;
COLORREF HelperLineColor(int index);
// Creates the colour's brush and pens once; they live until the program ends.
void CreateHelperLineColor(int index);
// The colour of a section: its place among the bar's visible sections,
// modulo 20; -1 for a hidden section or one the bar does not hold.
int HelperLineColorOfSection(CVellumMenuObject* bar, const CVellumMenuSection* section);

// ---- hooks the bar window, the editor and the relayout call: nothing to do ---------------
void HelperLinesOnBarWindowChange(CVellumMenuObject* bar, UINT msg, WPARAM wp);
void HelperLinesRefresh();
void HelperLinesOnTreeExpanded();
void HelperLinesOnEditorMoved();
void HelperLinesOnRecalcRects(CVellumMenuObject* bar);
void SetHelperLinesTreeState(int state);
