// The graphics layer under skins and bar windows: regions cut out of bitmaps,
// 32-bpp pixel access, colour-key masks and blits, per-pixel alpha, the soft
// shadow and glow behind icons and texts, and the .bmp/.tga image loader.
// Pixel buffers are bottom-up DIB rows, one DWORD a pixel: B, G, R, A.
#pragma once
#include <windows.h>
#include <commctrl.h>

// Border widths of a bitmap; negative = no border on that side.
struct RegionMargins {
    int left;
    int top;
    int right;
    int bottom;
};

constexpr COLORREF kMagenta = RGB(255, 0, 255);

// ---- regions (bitmap_regions.cpp) ---------------------------------------------------------
// The pixels that do not match the key (within tolerance per channel), plus
// the inside of the margins; null on failure.
HRGN CreateRegionFromBitmap(HBITMAP bitmap, COLORREF key, COLORREF tolerance,
                            const RegionMargins* margins);
// The same region, equal runs of consecutive rows merged into taller rectangles.
HRGN CreateRegionFromBitmapMerged(HBITMAP bitmap, COLORREF key, COLORREF tolerance);
// A bottom-up 32-bpp DIB section; bits (optional) receive its pixels.
HBITMAP Create32BitDibSection(int width, int height, DWORD** bits);

// ---- pixel access (bitmap_pixels.cpp) -------------------------------------------------------------
// width x height x 4 bytes (plus 4 spare), bottom-up; free with FreeBitmapBits32.
DWORD* GetBitmapBits32(HBITMAP bitmap, int bit_count);
void FreeBitmapBits32(DWORD* bits);
bool SetBitmapBits32(HBITMAP bitmap, int bit_count, const DWORD* bits);
// Only on Windows XP (version class 4): any pixel with a non-zero alpha byte.
bool BitmapHasAlpha(HBITMAP bitmap);
bool BitsHaveAlpha(const DWORD* bits, int pixel_count);
// Palette entries of a 1, 4 or 8-bpp DIB (core or info header) and their size in bytes.
int GetDibColorCount(const BITMAPINFOHEADER* header);
int GetDibPaletteSize(const BITMAPINFOHEADER* header);

// ---- blits and masks (bitmap_pixels.cpp) -------------------------------------------------------------
void DrawBitmap(HDC dc, HBITMAP bitmap, int x, int y);
void BlitBitmap(HDC dc, const BITMAP* info, HBITMAP bitmap, int x, int y);
// White where the bitmap has the key colour, black elsewhere; with blackout
// the key pixels of the bitmap itself become black.
HBITMAP CreateBitmapMask(HBITMAP bitmap, COLORREF key, bool blackout);
void DrawMaskedBitmap(HDC dc, HDC image_dc, HDC mask_dc, int x, int y, int width, int height,
                      int src_x, int src_y, int src_width, int src_height);
void DrawTransparentBitmapEx(HDC dc, const BITMAP* info, HBITMAP bitmap, HBITMAP mask,
                             int x, int y, int width, int height,
                             int src_x, int src_y, int src_width, int src_height, COLORREF key);
void DrawTransparentBitmap(HDC dc, HBITMAP bitmap, int x, int y, int width, int height);
void DrawAlphaBitmap(HDC dc, HBITMAP bitmap, const DWORD* pixels, int x, int y);
// Composites premultiplied source pixels over the bitmap's own; 1 done, 0 failure.
int AlphaCompositeBits(HBITMAP bitmap, const DWORD* source, int width, int height);

// ---- shadows and glow (bitmap_effects.cpp) -----------------------------------------------------------
int DrawIconWithShadow(HDC dc, HICON icon, int x, int y, int size, int blur_passes,
                       int intensity, int offset_x, int offset_y, COLORREF color);
int DrawTextWithShadow(HDC dc, const char* text, const RECT* rect, UINT format, int blur_passes,
                       int intensity, int offset_x, int offset_y, COLORREF color);
int DrawShadowBitmap(HDC dc, HBITMAP shadow_mask, int x, int y, int blur_passes, int intensity,
                     COLORREF color);
// 1 done, -1 the sizes differ (or are empty), 0 failure.
int BlendShadowIntoBitmap(HBITMAP target, HBITMAP shadow_mask, int blur_passes, int intensity,
                          COLORREF color);
// One pass of the five-tap kernel over width x height pixels, in place; taps
// outside count as 255; alpha becomes 0.
void BlurShadowPixels(DWORD* pixels, int width, int height);
int DrawTextWithTabPart(HDC dc, char* text, RECT* rect, UINT format, int margin);
// The kernel in place inside rect (taps clamped to its edges), alpha 0.
bool BlurBitmap(HBITMAP bitmap, int passes, const RECT* rect);
// With new_bitmap the result goes to a new bitmap (returned), else in place.
HBITMAP BlurBitmapOnce(HBITMAP bitmap, bool new_bitmap, const RECT* rect);
int DrawIconGlow(HDC dc, HICON icon, int x, int y, int size, int width, int alpha, COLORREF color);
int DrawTextGlow(HDC dc, const char* text, const RECT* rect, UINT format, int width, int alpha,
                 COLORREF color);

// ---- images (tga_loader.cpp) -----------------------------------------------------------------------
bool IsTgaFile(const char* path);
// An uncompressed 32-bpp bottom-left TGA as a premultiplied DIB section;
// pixels receive the section's own bits. Null for anything else.
HBITMAP LoadTgaFile(const char* path, DWORD** pixels);
// A .bmp, or the same name with ".tga" when no .bmp loads (only when the
// caller takes the pixels).
HBITMAP LoadBitmapOrTga(HINSTANCE instance, const char* path, DWORD** pixels);
