// Moving values between dialog controls and settings, filling list views, and
// a few small stand-alone UI routines (double-buffered background, image
// lists, memory DCs kept as window properties, tooltips).
#pragma once
#include <windows.h>
#include <commctrl.h>
#include <cstddef>

// The longest control text the pages read, terminator included.
constexpr size_t kDlgTextSize = 1060;

// ---- dialog controls -----------------------------------------------------------
int GetDlgItemCheck(HWND dialog, int id);
void SetDlgItemCheck(HWND dialog, int id, int state);
void SetDlgCheck(HWND dialog, int id, int state);
// With a buffer (kDlgTextSize characters): the text, emptied first, and its
// length; without one: the text length.
int GetDlgItemTextMax(HWND dialog, int id, char* buffer);
void SetDlgItemTextIfAny(HWND dialog, int id, const char* text);
void SetDlgText(HWND dialog, int id, const char* text);
bool UpdateIntFromDlgCheck(HWND dialog, int id, int* value);
// When the control's text differs from the buffer (letter case aside), the
// buffer takes it and the result is true. A text that does not fit the buffer
// leaves it unchanged and gives false.
bool UpdateTextFromDlgItem(HWND dialog, int id, char* buffer, size_t buffer_size);
template <size_t N>
bool UpdateTextFromDlgItem(HWND dialog, int id, char (&buffer)[N]) {
    return UpdateTextFromDlgItem(dialog, id, buffer, N);
}
bool IsDlgItemEnabled(HWND dialog, int id);
void EnableDlgItem(HWND dialog, int id, bool enable);

// ---- list views ---------------------------------------------------------------------
int ListViewInsertColumn(HWND list, int column, const char* text, int width, int sub_item,
                         bool image_column);
// Shows the last component of a path (the whole text when it has none).
void ListViewSetSubItemText(HWND list, int row, int sub_item, const char* text);
int ListViewInsertItem(HWND list, const char* text, int row, int image, void* data, int indent);

// ---- small stand-alone routines ------------------------------------------------------
// Paints the window's background (its WM_ERASEBKGND, or the procedure saved in
// the property "Wndproc") through a memory bitmap onto dc.
void PaintBackgroundBuffered(HWND wnd, HDC dc);
// The same for one rectangle of the client area.
void PaintBackgroundBufferedRect(HWND wnd, HDC dc, const RECT& rect);
// Image lists from a bitmap with magenta as the mask colour.
HIMAGELIST ImageListFromBitmapFile(const char* path, int image_width);
HIMAGELIST ImageListFromBitmapResource(HINSTANCE module, const char* name, int image_width);
// Draws an image over the window background at (x, y) of dc.
void DrawImageOverBackground(HWND wnd, HDC dc, HIMAGELIST list, int image, int x, int y);
// Draws two images of a list blended per pixel: weight 0 shows the first, 255 the second.
void DrawBlendedImages(HDC dc, HIMAGELIST list, int first, int second, int weight, int x, int y);
HBITMAP CreateDib32Section(int width, int height, void** bits);
// A memory DC with a bitmap of the window's client size, kept as the window
// properties "prophdc", "propoldbm", "propx" and "propy".
HDC CreateWindowMemoryDc(HWND wnd);
HDC GetWindowMemoryDc(HWND wnd);
void FreeWindowMemoryDc(HWND wnd);
// [Colours] key=r g b of an INI file; an empty key gives the system colour.
COLORREF ReadIniColour(const char* ini_file, const char* key, int system_colour);
// The index of the lowest set bit, -1 for 0.
int LowestSetBit(DWORD mask);
// A topmost tooltip window with one tool covering the window's client area.
HWND CreateWindowTooltip(HWND wnd, const char* text);
HWND CreateWindowTooltipWithStyle(HWND wnd, const char* text, DWORD style);
