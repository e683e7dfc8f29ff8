#include "skins/skin_colors_fonts.h"

#include <cstdlib>
#include <cstring>

#include "util/text.h"

COLORREF ParseColorString(const char* text) {
    if (!text) return 0;
    int parts[3] = {0, 0, 0};
    const char* piece = text;
    for (int i = 0; i < 3; ++i) {
        // Each piece ends at the next blank; an empty piece reads as 0.
        const char* blank = strchr(piece, ' ');
        size_t length = blank ? static_cast<size_t>(blank - piece) : strlen(piece);
        char number[32];
        tess::CopyTextN(number, sizeof(number), piece, length);
        parts[i] = (length && number[0] != ' ') ? (atoi(number) & 0xFF) : 0;
        if (!blank) break;
        piece = blank + 1;
    }
    return RGB(parts[0], parts[1], parts[2]);
}

namespace {

BYTE QualityOf(int flags) {
    if (flags & kFontFlagNonAntialiased) return NONANTIALIASED_QUALITY;
    if (flags & kFontFlagAntialiased) return ANTIALIASED_QUALITY;
    if (flags & kFontFlagProof) return PROOF_QUALITY;
    return DEFAULT_QUALITY;
}

void StyleInto(LOGFONTA* lf, const char* face, int flags) {
    lf->lfItalic = (flags & kFontFlagItalic) ? 1 : 0;
    lf->lfUnderline = (flags & kFontFlagUnderline) ? 1 : 0;
    lf->lfStrikeOut = (flags & kFontFlagStrikeOut) ? 1 : 0;
    lf->lfQuality = QualityOf(flags);
    lf->lfCharSet = 0;
    tess::CopyText(lf->lfFaceName, face ? face : "");
}

}  // namespace

HFONT CreateFontFromFlags(const char* face, int height, int weight, int style_flags) {
    LOGFONTA lf{};
    lf.lfHeight = height;
    lf.lfWeight = weight;
    StyleInto(&lf, face, style_flags);
    return CreateFontIndirectA(&lf);
}

HFONT CreateFontForDc(HDC dc, const char* face, int height, int width, int, int,
                      int style_flags, bool logical_pixels) {
    if (!dc) return nullptr;
    int saved = SaveDC(dc);
    SetGraphicsMode(dc, GM_ADVANCED);
    ModifyWorldTransform(dc, nullptr, MWT_IDENTITY);
    SetViewportOrgEx(dc, 0, 0, nullptr);
    SetWindowOrgEx(dc, 0, 0, nullptr);

    double res_x, res_y;
    if (logical_pixels) {
        res_x = GetDeviceCaps(dc, LOGPIXELSX);
        res_y = GetDeviceCaps(dc, LOGPIXELSY);
    } else {
        int hsize = GetDeviceCaps(dc, HORZSIZE), vsize = GetDeviceCaps(dc, VERTSIZE);
        res_x = hsize ? GetDeviceCaps(dc, HORZRES) * 25.4 / hsize : 96.0;
        res_y = vsize ? GetDeviceCaps(dc, VERTRES) * 25.4 / vsize : 96.0;
    }
    POINT pt = {static_cast<LONG>(width * res_x / 72.0), static_cast<LONG>(height * res_y / 72.0)};
    DPtoLP(dc, &pt, 1);
    int y = pt.y < 0 ? -pt.y : pt.y;
    int x = pt.x < 0 ? -pt.x : pt.x;

    LOGFONTA lf{};
    lf.lfHeight = -static_cast<LONG>(y / 10.0 + 0.5);
    lf.lfWeight = (style_flags & kFontFlagBold) ? FW_BOLD : 0;
    StyleInto(&lf, face, style_flags);
    HFONT font = CreateFontIndirectA(&lf);
    if (font && width && y) {
        HGDIOBJ old = SelectObject(dc, font);
        TEXTMETRICA tm{};
        GetTextMetricsA(dc, &tm);
        SelectObject(dc, old);
        lf.lfWidth = static_cast<LONG>(static_cast<double>(x) * tm.tmAveCharWidth / y + 0.5);
        HFONT wide = CreateFontIndirectA(&lf);
        if (wide) {
            DeleteObject(font);
            font = wide;
        }
    }
    RestoreDC(dc, saved);
    return font;
}

HFONT CreatePointFont(HDC dc, const char* face, int height, int width, int style_flags,
                      bool logical_pixels) {
    return CreateFontForDc(dc, face, height, width, 0, 0, style_flags, logical_pixels);
}
