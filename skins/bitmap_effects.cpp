// The soft shadow and glow behind icons and texts: a five-tap blur of a
// silhouette, then a tint of the pixels under it.
#include "skins/bitmap_helpers.h"

#include <cstdlib>
#include <cstring>
#include <string>

#include "util/handles.h"

namespace {

// Up, left, centre, right, down.
constexpr int kTapWeights[5] = {1, 1, 3, 1, 1};
constexpr int kTapX[5] = {0, -1, 0, 1, 0};
constexpr int kTapY[5] = {-1, 0, 0, 0, 1};
constexpr int kTapWeightSum = 7;

// One pass over the pixels inside [x0, x1) x [y0, y1) of a width-wide buffer.
// Taps outside the area count as 255 (outside_white) or are clamped to its edge.
void BlurArea(DWORD* pixels, int width, int x0, int y0, int x1, int y1, bool outside_white) {
    for (int y = y0; y < y1; ++y) {
        for (int x = x0; x < x1; ++x) {
            int sum[3] = {0, 0, 0};
            for (int t = 0; t < 5; ++t) {
                int tx = x + kTapX[t], ty = y + kTapY[t];
                DWORD p;
                if (tx < x0 || tx >= x1 || ty < y0 || ty >= y1) {
                    if (outside_white) {
                        p = 0x00FFFFFF;
                    } else {
                        tx = tx < x0 ? x0 : (tx >= x1 ? x1 - 1 : tx);
                        ty = ty < y0 ? y0 : (ty >= y1 ? y1 - 1 : ty);
                        p = pixels[ty * width + tx];
                    }
                } else {
                    p = pixels[ty * width + tx];
                }
                for (int c = 0; c < 3; ++c) sum[c] += kTapWeights[t] * ((p >> (8 * c)) & 0xFF);
            }
            pixels[y * width + x] = static_cast<DWORD>((sum[0] / kTapWeightSum) |
                                                       ((sum[1] / kTapWeightSum) << 8) |
                                                       ((sum[2] / kTapWeightSum) << 16));
        }
    }
}

bool BitmapDimensions(HBITMAP bitmap, int* width, int* height) {
    BITMAP bm;
    if (!bitmap || GetObjectA(bitmap, sizeof(bm), &bm) != sizeof(bm)) return false;
    *width = bm.bmWidth;
    *height = bm.bmHeight < 0 ? -bm.bmHeight : bm.bmHeight;
    return *width > 0 && *height > 0;
}

// A bitmap of the DC's kind filled with one colour, selected into its own DC.
struct PaintSurface {
    tess::ScopedMemoryDc dc;
    tess::ScopedBitmap bitmap;
    HGDIOBJ old = nullptr;

    bool Make(HDC like, int width, int height, COLORREF fill) {
        dc.reset(CreateCompatibleDC(like));
        bitmap.reset(CreateCompatibleBitmap(like, width, height));
        if (!dc || !bitmap) return false;
        old = SelectObject(dc.get(), bitmap.get());
        tess::ScopedBrush brush(CreateSolidBrush(fill));
        RECT all = {0, 0, width, height};
        FillRect(dc.get(), &all, brush.get());
        return true;
    }
    // Lets go of the bitmap so it can be read or written as pixels.
    void Deselect() {
        if (old) SelectObject(dc.get(), old);
        old = nullptr;
    }
    ~PaintSurface() { Deselect(); }
};

}  // namespace

void BlurShadowPixels(DWORD* pixels, int width, int height) {
    if (pixels && width > 0 && height > 0) BlurArea(pixels, width, 0, 0, width, height, true);
}

int BlendShadowIntoBitmap(HBITMAP target, HBITMAP shadow_mask, int blur_passes, int intensity,
                          COLORREF color) {
    int tw, th, mw, mh;
    if (!BitmapDimensions(target, &tw, &th) || !BitmapDimensions(shadow_mask, &mw, &mh) ||
        tw != mw || th != mh)
        return -1;
    DWORD* pixels = GetBitmapBits32(target, 32);
    DWORD* mask = GetBitmapBits32(shadow_mask, 32);
    if (!pixels || !mask) {
        FreeBitmapBits32(pixels);
        FreeBitmapBits32(mask);
        return 0;
    }
    for (int pass = 0; pass < blur_passes; ++pass) BlurShadowPixels(mask, mw, mh);

    const int kr = GetRValue(color), kg = GetGValue(color), kb = GetBValue(color);
    const DWORD shade = static_cast<DWORD>(kb | (kg << 8) | (kr << 16));
    const int count = tw * th;
    for (int i = 0; i < count; ++i) {
        DWORD p = pixels[i];
        if (p == 0x00FF00FFu) continue;   // untouched colour-key pixels stay keyed
        int c = 255 - static_cast<int>(mask[i] & 0xFF);
        if (intensity != 100) c = c * intensity / 100;
        if (c <= 0) continue;
        if (c >= 255) {
            pixels[i] = shade;
            continue;
        }
        int b = p & 0xFF, g = (p >> 8) & 0xFF, r = (p >> 16) & 0xFF;
        r = (r - ((c * (r - kr) + 255) >> 8)) & 0xFF;
        b = (b - ((c * (b - kb) + 255) >> 8)) & 0xFF;
        g = (g + ((c * (kg - g)) >> 8)) & 0xFF;
        pixels[i] = static_cast<DWORD>(b | (g << 8) | (r << 16));
    }
    bool ok = SetBitmapBits32(target, 32, pixels);
    FreeBitmapBits32(pixels);
    FreeBitmapBits32(mask);
    return ok ? 1 : 0;
}

int DrawShadowBitmap(HDC dc, HBITMAP shadow_mask, int x, int y, int blur_passes, int intensity,
                     COLORREF color) {
    int width, height;
    if (!dc || !BitmapDimensions(shadow_mask, &width, &height)) return 0;
    PaintSurface under;
    if (!under.Make(dc, width, height, RGB(255, 255, 255))) return 0;
    BitBlt(under.dc.get(), 0, 0, width, height, dc, x, y, SRCCOPY);
    under.Deselect();
    int result = BlendShadowIntoBitmap(under.bitmap.get(), shadow_mask, blur_passes, intensity, color);
    if (result != 1) return result;
    tess::ScopedSelect select(under.dc.get(), under.bitmap.get());
    BitBlt(dc, x, y, width, height, under.dc.get(), 0, 0, SRCCOPY);
    return 1;
}

int DrawIconWithShadow(HDC dc, HICON icon, int x, int y, int size, int blur_passes, int intensity,
                       int offset_x, int offset_y, COLORREF color) {
    if (!dc || !icon || size <= 0) return 0;
    if (blur_passes < 0) blur_passes = 0;
    const int m = 2 * blur_passes + 2;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    tess::ScopedBitmap icon_mask(info.hbmMask);
    tess::ScopedBitmap icon_color(info.hbmColor);

    if (!icon_color || !BitmapHasAlpha(icon_color.get())) {
        int mw, mh;
        PaintSurface shadow;
        if (BitmapDimensions(icon_mask.get(), &mw, &mh) &&
            shadow.Make(dc, size + 2 * m + abs(offset_x), size + 2 * m + abs(offset_y),
                        RGB(255, 255, 255))) {
            if (!icon_color) mh /= 2;   // a monochrome icon stacks AND over XOR
            tess::ScopedMemoryDc mask_dc(CreateCompatibleDC(dc));
            if (mask_dc) {
                tess::ScopedSelect sel(mask_dc.get(), icon_mask.get());
                SetTextColor(shadow.dc.get(), RGB(0, 0, 0));
                SetBkColor(shadow.dc.get(), RGB(255, 255, 255));
                SetStretchBltMode(shadow.dc.get(), COLORONCOLOR);
                StretchBlt(shadow.dc.get(), m + offset_x, m + offset_y, size, size, mask_dc.get(), 0,
                           0, mw, mh, SRCAND);
            }
            shadow.Deselect();
            DrawShadowBitmap(dc, shadow.bitmap.get(), x - m, y - m, blur_passes, intensity, color);
        }
    }
    return DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL) ? 1 : 0;
}

int DrawTextWithTabPart(HDC dc, char* text, RECT* rect, UINT format, int margin) {
    if (!dc || !text || !rect) return 0;
    char* tab = strrchr(text, '\t');
    if (!tab) return DrawTextExA(dc, text, -1, rect, format, nullptr);
    int result = DrawTextExA(dc, text, static_cast<int>(tab - text), rect, format, nullptr);
    RECT right_part = *rect;
    right_part.right -= margin;
    DrawTextExA(dc, tab + 1, -1, &right_part, format | DT_RIGHT, nullptr);
    return result;
}

int DrawTextWithShadow(HDC dc, const char* text, const RECT* rect, UINT format, int blur_passes,
                       int intensity, int offset_x, int offset_y, COLORREF color) {
    if (!dc || !text || !rect) return 0;
    if (blur_passes < 0) blur_passes = 0;
    const int m = 2 * blur_passes + 2;
    const int width = rect->right - rect->left, height = rect->bottom - rect->top;
    // DT_MODIFYSTRING may append an ellipsis: leave room for it.
    std::string copy(text);
    copy.resize(copy.size() + 8, '\0');

    PaintSurface shadow;
    if (width > 0 && height > 0 && shadow.Make(dc, width + 2 * m, height + 2 * m, RGB(255, 255, 255))) {
        {
            tess::ScopedSelect font(shadow.dc.get(), GetCurrentObject(dc, OBJ_FONT));
            SetBkMode(shadow.dc.get(), TRANSPARENT);
            SetTextColor(shadow.dc.get(), RGB(0, 0, 0));
            RECT moved = {m + offset_x, m + offset_y, m + offset_x + width, m + offset_y + height};
            std::string scratch(copy);
            DrawTextWithTabPart(shadow.dc.get(), &scratch[0], &moved, format, 10);
        }
        shadow.Deselect();
        DrawShadowBitmap(dc, shadow.bitmap.get(), rect->left - m, rect->top - m, blur_passes,
                         intensity, color);
    }
    RECT target = *rect;
    return DrawTextWithTabPart(dc, &copy[0], &target, format, 10);
}

// ---- blur of a drawn area and the glows that use it -------------------------------------------

bool BlurBitmap(HBITMAP bitmap, int passes, const RECT* rect) {
    int width, height;
    if (!BitmapDimensions(bitmap, &width, &height)) return false;
    RECT area = rect ? *rect : RECT{0, 0, width, height};
    if (area.left < 0) area.left = 0;
    if (area.top < 0) area.top = 0;
    if (area.right > width) area.right = width;
    if (area.bottom > height) area.bottom = height;
    if (area.left >= area.right || area.top >= area.bottom) return false;
    DWORD* pixels = GetBitmapBits32(bitmap, 32);
    if (!pixels) return false;
    // The rectangle is top-down; the buffer rows are bottom-up.
    const int y0 = height - area.bottom, y1 = height - area.top;
    for (int pass = 0; pass < passes; ++pass)
        BlurArea(pixels, width, area.left, y0, area.right, y1, false);
    bool ok = SetBitmapBits32(bitmap, 32, pixels);
    FreeBitmapBits32(pixels);
    return ok;
}

HBITMAP BlurBitmapOnce(HBITMAP bitmap, bool new_bitmap, const RECT* rect) {
    int width, height;
    if (!BitmapDimensions(bitmap, &width, &height)) return nullptr;
    if (!new_bitmap) return BlurBitmap(bitmap, 1, rect) ? bitmap : nullptr;
    DWORD* bits = nullptr;
    tess::ScopedBitmap copy(Create32BitDibSection(width, height, &bits));
    if (!copy) return nullptr;
    {
        tess::ScopedMemoryDc src(CreateCompatibleDC(nullptr));
        tess::ScopedMemoryDc dst(CreateCompatibleDC(nullptr));
        if (!src || !dst) return nullptr;
        tess::ScopedSelect ssel(src.get(), bitmap);
        tess::ScopedSelect dsel(dst.get(), copy.get());
        BitBlt(dst.get(), 0, 0, width, height, src.get(), 0, 0, SRCCOPY);
    }
    return BlurBitmap(copy.get(), 1, rect) ? copy.release() : nullptr;
}

namespace {

// Puts a blurred glow surface back onto the DC at a constant alpha.
void PutGlowBack(HDC dc, PaintSurface& glow, int x, int y, int width, int height, int alpha) {
    tess::ScopedSelect select(glow.dc.get(), glow.bitmap.get());
    if (alpha >= 255) {
        BitBlt(dc, x, y, width, height, glow.dc.get(), 0, 0, SRCCOPY);
        return;
    }
    BLENDFUNCTION blend = {AC_SRC_OVER, 0, static_cast<BYTE>(alpha < 0 ? 0 : alpha), 0};
    AlphaBlend(dc, x, y, width, height, glow.dc.get(), 0, 0, width, height, blend);
}

}  // namespace

int DrawIconGlow(HDC dc, HICON icon, int x, int y, int size, int width, int alpha,
                 COLORREF color) {
    if (!dc || !icon || size <= 0) return 0;
    if (width < 0) width = 0;
    const int side = size + 2 * width;
    ICONINFO info{};
    if (!GetIconInfo(icon, &info)) return 0;
    tess::ScopedBitmap icon_mask(info.hbmMask);
    tess::ScopedBitmap icon_color(info.hbmColor);
    int mw, mh;
    PaintSurface glow;
    if (BitmapDimensions(icon_mask.get(), &mw, &mh) && glow.Make(dc, side, side, 0)) {
        if (!icon_color) mh /= 2;
        BitBlt(glow.dc.get(), 0, 0, side, side, dc, x - width, y - width, SRCCOPY);
        // The silhouette in the glow colour: AND the mask, then OR the colour in.
        tess::ScopedMemoryDc mask_dc(CreateCompatibleDC(dc));
        tess::ScopedBrush brush(CreateSolidBrush(color));
        if (mask_dc && brush) {
            tess::ScopedSelect msel(mask_dc.get(), icon_mask.get());
            tess::ScopedSelect bsel(glow.dc.get(), brush.get());
            SetTextColor(glow.dc.get(), RGB(0, 0, 0));
            SetBkColor(glow.dc.get(), RGB(255, 255, 255));
            // 0xB8074A: where the mask is black, the brush; elsewhere the destination.
            StretchBlt(glow.dc.get(), width, width, size, size, mask_dc.get(), 0, 0, mw, mh,
                       0x00B8074A);
        }
        glow.Deselect();
        RECT all = {0, 0, side, side};
        BlurBitmap(glow.bitmap.get(), width, &all);
        PutGlowBack(dc, glow, x - width, y - width, side, side, alpha);
    }
    return DrawIconEx(dc, x, y, icon, size, size, 0, nullptr, DI_NORMAL) ? 1 : 0;
}

int DrawTextGlow(HDC dc, const char* text, const RECT* rect, UINT format, int width, int alpha,
                 COLORREF color) {
    if (!dc || !text || !rect) return 0;
    if (width < 0) width = 0;
    const int w = rect->right - rect->left + 2 * width, h = rect->bottom - rect->top + 2 * width;
    std::string copy(text);
    copy.resize(copy.size() + 8, '\0');
    PaintSurface glow;
    if (w > 0 && h > 0 && glow.Make(dc, w, h, 0)) {
        BitBlt(glow.dc.get(), 0, 0, w, h, dc, rect->left - width, rect->top - width, SRCCOPY);
        {
            tess::ScopedSelect font(glow.dc.get(), GetCurrentObject(dc, OBJ_FONT));
            SetBkMode(glow.dc.get(), TRANSPARENT);
            SetTextColor(glow.dc.get(), color);
            RECT moved = {width, width, w - width, h - width};
            std::string scratch(copy);
            DrawTextWithTabPart(glow.dc.get(), &scratch[0], &moved, format, 10);
        }
        glow.Deselect();
        RECT all = {0, 0, w, h};
        BlurBitmap(glow.bitmap.get(), width, &all);
        PutGlowBack(dc, glow, rect->left - width, rect->top - width, w, h, alpha);
    }
    RECT target = *rect;
    return DrawTextWithTabPart(dc, &copy[0], &target, format, 10);
}
