// The About box (dialog 102): product, version, the build number from the
// program's version resource, two links to the maker's web sites.
#pragma once
#include <windows.h>

// What the caller hands over; copied whole, so the caller's copy may live
// on its stack.
struct AboutBoxInfo {
    HWND owner;
    HINSTANCE instance;     // dialog, cursor and version resource come from here
    int dialog_template;
    int link1_control;
    int link2_control;
    int edge1_control;
    int edge2_control;
    int build_control;
    int hand_cursor;        // low 16 bits used
};

constexpr const char kAboutLink1Url[] = "https://www.vantrell.com/tessellar/";
constexpr const char kAboutLink2Url[] = "https://forum.vantrell.com/";

// 0 for a null record or when a box is open (it comes to the front); 1 when
// a new box was made.
int ShowAboutBox(const AboutBoxInfo* info);
// The record the main window passes for its own box.
AboutBoxInfo ProgramAboutBoxInfo(HWND main_window, HINSTANCE instance);
HWND GetAboutBoxWindow();

INT_PTR CALLBACK AboutDialogProc(HWND dialog, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK LinkStaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
LRESULT CALLBACK EdgeStaticProc(HWND wnd, UINT msg, WPARAM wp, LPARAM lp);
