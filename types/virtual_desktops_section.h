// CVellumMenuSection_VirtualDesktops ("Panorel", shown "Virtual Desktops"):
// a section without items that hosts the band window of the outside
// virtual-desktop library "Panorel.dll". It loads the library from the
// program's folder, asks it for a band window, keeps that window inside its
// rectangle (inset by the skin's section buffers and four buffers of its
// own), hands the skin's band background to the library through the shared
// band settings in the registry, and frees everything when the bar closes.
//
// Without the library or its band the section is hidden, takes no space and
// draws nothing; the user's own hidden setting, its saved key and the bar's
// modified state are kept apart from that and stay as the user left them.
#pragma once
#include <windows.h>
#include "model/vellum_menu_section.h"
#include "util/handles.h"

// The shared band settings of the library's suite (opened, never created).
constexpr char kBandSettingsKey[] = "Software\\Amberline\\Helmsway\\BandSettings";
// The library's exports: C calling convention, one window handle each.
using BandAddWindowFunction = HWND(__cdecl*)(HWND parent);
using BandWindowFunction = int(__cdecl*)(HWND band);

class TESS_EXPORT CVellumMenuSection_VirtualDesktops : public CVellumMenuSection {
public:
    CVellumMenuSection_VirtualDesktops(CVellumMenuObject* bar, int sectionNumber);
    ~CVellumMenuSection_VirtualDesktops() override;

    void InitCustomContextMenu(HMENU barMenu, HMENU sectionMenu) override;
    int GetCustomSectionName(char* out) override;
    int AllowDrop() override { return 0; }
    CVellumMenuItem* GUI_CustomEnumItems(int) override { return nullptr; }
    int SetHidden(int hidden) override;
    int SaveExternal() override;
    HICON GetCustomIcon() override;
    void Draw(HDC dc, int drawItems, int wholeRun) override;
    void ProcessUserMessage(UINT msg, WPARAM wp, LPARAM lp) override;
    SIZE CalcIdealSize() override;
    int RecalcRectsFlexible() override { return 0; }
    SIZE CalcMinMaxSize(int minimum) override;
    int SetSectionRect(int x, int y, int cx, int cy, int swap) override;
    HWND CallConfigDialogEx(HWND parent) override;

    // Compares the skin's band background with the shared band settings and,
    // unless compareOnly, writes it there when it differs. 1: it differed;
    // 0: equal, or no skin, no background or no settings key to compare with.
    int SyncBandBackground(int compareOnly);

    bool HasBand() const { return m_bandLibrary && m_bandWindow; }
    // The hidden setting as the user left it, whatever a missing band does.
    BOOL UserHidden() const { return m_heldHidden ? m_userHidden : IsHidden; }
    // The rectangle of the band window: the outer rectangle inset.
    RECT BandRect() const;
    // Opens the page's "Call Panorel's Config Dialog" of the library.
    void ShowBandPreferences();

    // ---- fields ---------------------------------------------------------------------------
    tess::ScopedModule m_bandLibrary;
    HWND m_bandWindow;
    BOOL m_bandShown;
    RECT m_buffer;   // the extra inset of the band window, in pixels
    BOOL PreventBackgroundChanging;
    // While the band is missing IsHidden is held on and the user's own
    // setting is kept here.
    BOOL m_heldHidden;
    BOOL m_userHidden;

private:
    void ReadBandKeys();
    void OpenBand();
    // The hidden rule: a section without its band stays hidden.
    void HoldHiddenWithoutBand();
    void PlaceBand();
    void ShowBand(bool show);
    void ReplaceBandForNewBackground();
    void FreeBand();
    void DestroyBandWindow();
    // Insets of the band inside the outer rectangle (skin style plus buffers).
    RECT Insets() const;
    template <typename Function>
    Function BandExport(const char* name) const;
};

