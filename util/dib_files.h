// Device-independent bitmaps and BMP files: the sections the preview
// pictures are drawn into, the header that describes one, the writer of a
// ".bmp" file, and the desktop background painted as the shell shows it.
#pragma once
#include <windows.h>

// Bottom-up DIB sections of 32 and 24 bits per pixel; null on failure.
HBITMAP CreateDib32(int width, int height);
HBITMAP CreateDib24(int width, int height);

// A BITMAPINFOHEADER with room for its colour table, for the bitmap's size
// and depth (rounded up to 1, 4, 8, 16, 24 or 32; BI_RGB). Allocated with
// LocalAlloc for the caller, who frees it with LocalFree; null when the
// bitmap cannot be read.
BITMAPINFOHEADER* BitmapInfoForDib(HBITMAP bitmap);

// Reads the bits of bitmap (not selected into any DC) with GetDIBits through
// dc and writes a BMP file: "BM", sizes, the offset of the bits, the header
// with its colour table, then the bits. False when anything fails; a file
// begun is then removed.
bool SaveDibToFile(const char* path, BITMAPINFOHEADER* header, HBITMAP bitmap, HDC dc);

// Paints the desktop background into dc in screen coordinates: the desktop
// colour, then the wallpaper of HKCU "Control Panel\desktop" tiled,
// stretched or centred as "TileWallpaper" and "WallpaperStyle" say.
void DrawDesktopWallpaper(HDC dc);
