// Colour strings and fonts of skin files, shared by the skin loader and the
// skin painter.
#pragma once
#include <windows.h>

// Font style bits: 1 bold (CreateFontForDc only), 2 italic, 4 underline,
// 8 strike-out, 16 non-antialiased, 32 proof, 64 antialiased quality.
enum FontStyleFlags {
    kFontFlagBold = 1, kFontFlagItalic = 2, kFontFlagUnderline = 4, kFontFlagStrikeOut = 8,
    kFontFlagNonAntialiased = 16, kFontFlagProof = 32, kFontFlagAntialiased = 64
};

// "R G B" (blank separated, each modulo 256; missing pieces 0). Null gives 0.
COLORREF ParseColorString(const char* text);

HFONT CreateFontFromFlags(const char* face, int height, int weight, int style_flags);
// Height and width in tenths of a point; width 0 = the face's own.
HFONT CreateFontForDc(HDC dc, const char* face, int height, int width, int unused1, int unused2,
                      int style_flags, bool logical_pixels);
HFONT CreatePointFont(HDC dc, const char* face, int height, int width, int style_flags,
                      bool logical_pixels);
