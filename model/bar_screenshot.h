// Preview pictures ("_ss.bmp", 100 x 75) of bars and themes: the choice of
// the screen area to picture and the picture maker.
#pragma once
#include <windows.h>

class CVellumMenuObject;

constexpr int kThumbnailWidth = 100;
constexpr int kThumbnailHeight = 75;
constexpr int kScreenshotNone = 5;

// What a theme's picture shows ([Theme Info] "ScreenshotType").
enum ScreenshotKind : int {
    kScreenshotAuto = 0,          // the smaller bars, else the largest bar, else the screen
    kScreenshotScreen = 1,
    kScreenshotLargestBar = 2,    // in 1 x 1 tiles
    kScreenshotLargestBarHalf = 3,// in 2 x 2 tiles
    kScreenshotSmallerBars = 4,   // else the screen
};

// Writes the picture to path (an existing file is deleted first). With a
// bar, that bar alone is pictured and only kind 5 is consulted. 1 when a
// file was written, 0 otherwise.
int SaveScreenshotBitmap(const char* path, CVellumMenuObject* bar, int kind);

// 0, 1 or 2 tiles for an area (see LayoutCaptureArea).
int TilesForArea(const RECT& r);
// Grows or moves r in place: n tiles square (n > 0), 4:3 around it (n = 0),
// or TilesForArea(r) for n = -1.
void LayoutCaptureArea(RECT* r, int n);

// The screen rectangle a bar is pictured at, from its saved position.
RECT BarScreenshotRect(const CVellumMenuObject* bar);
// The capture area SaveScreenshotBitmap uses for a kind without a bar.
RECT ChooseCaptureArea(int kind);
