// A 32-bit DIB with a memory DC to paint into, and skins written on the fly
// from INI text and bitmaps whose columns have distinct colours.
#pragma once
#include <windows.h>

#include <string>

#include "skins/skin_cache.h"
#include "tests/support/test_support.h"
#include "util/handles.h"

namespace painting {

// Colour of source column x (and row y) of the fixture bitmaps: red tells
// the column, green the row.
inline COLORREF SourceColor(int x, int y) { return RGB(10 + x, 20 + 8 * y, 90); }
constexpr COLORREF kWhite = RGB(255, 255, 255);
constexpr COLORREF kGrey = RGB(128, 128, 128);

// A top-down 32-bit DIB selected into its own memory DC, filled with one colour.
class Canvas {
public:
    Canvas(int width, int height, COLORREF fill = kGrey);
    ~Canvas();
    Canvas(const Canvas&) = delete;
    Canvas& operator=(const Canvas&) = delete;

    HDC dc() const { return dc_.get(); }
    int width() const { return width_; }
    int height() const { return height_; }
    COLORREF At(int x, int y) const;
    void Fill(COLORREF color);
    // Number of pixels in the rectangle for which test(colour) holds.
    int Count(const RECT& area, bool (*test)(COLORREF)) const;
    // Leftmost / rightmost / topmost / bottommost such pixel; -1 when none.
    int Left(bool (*test)(COLORREF)) const;
    int Right(bool (*test)(COLORREF)) const;
    int Top(bool (*test)(COLORREF)) const;
    int Bottom(bool (*test)(COLORREF)) const;

private:
    int width_, height_;
    DWORD* bits_ = nullptr;
    tess::ScopedBitmap bitmap_;
    tess::ScopedMemoryDc dc_;
    HGDIOBJ old_ = nullptr;
};

// Writes skins and their images into a temporary folder and loads them
// through the skin cache, which it empties again at the end.
class SkinFolder {
public:
    SkinFolder();
    ~SkinFolder();
    const std::string& Path() const { return temp_.Path(); }
    // A 24-bit BMP coloured by SourceColor (magenta where keyed(x) holds).
    bool WriteColumnsBmp(const std::string& name, int width, int height,
                         bool (*keyed)(int x) = nullptr) const;
    bool WriteSolidBmp(const std::string& name, int width, int height, COLORREF color) const;
    // A 32-bit TGA of one colour and alpha (straight, as files hold it).
    bool WriteSolidTga(const std::string& name, int width, int height, COLORREF color,
                       int alpha) const;
    // Writes name.tsskin and loads it (one reference, given back at the end).
    SkinRecord* Load(const std::string& text, const std::string& name = "test");

private:
    testing_support::TempFolder temp_;
};

inline bool IsWhite(COLORREF c) { return c == kWhite; }
inline bool IsInk(COLORREF c) { return c != kWhite; }
// Text colours with room for smoothed edges.
inline bool IsBluish(COLORREF c) {
    return GetBValue(c) > 150 && GetRValue(c) < 110 && GetGValue(c) < 110;
}
inline bool IsReddish(COLORREF c) {
    return GetRValue(c) > 150 && GetBValue(c) < 110 && GetGValue(c) < 110;
}
inline bool IsGreenish(COLORREF c) {
    return GetGValue(c) > GetRValue(c) + 20 && GetGValue(c) > GetBValue(c) + 20;
}

}  // namespace painting
